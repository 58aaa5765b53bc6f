// Forks: reading and writing data and resource forks, positions, sharing, whole replacement.
#include <sys/stat.h>

#include "tests/toolbox/files/files_fixture.h"
#include "toolbox/files/appledouble.h"
#include "toolbox/files/fork_replace.h"

namespace tb::test {
namespace {

namespace fs = std::filesystem;

class Forks : public FilesTest {
 protected:
  void SetUp() override {
    FilesTest::SetUp();
    Touch(disk() / "doc");
    spec_ = MustSpec(":doc");
  }
  std::string ReadAll(SInt16 refNum) {
    EXPECT_EQ(SetFPos(refNum, fsFromStart, 0), noErr);
    std::string out(1000, '\0');
    long count = static_cast<long>(out.size());
    EXPECT_EQ(FSRead(refNum, &count, out.data()), eofErr);
    out.resize(static_cast<size_t>(count));
    return out;
  }
  FSSpec spec_{};
};

TEST_F(Forks, DataForkReadsWritesAndPositions) {
  SInt16 refNum = 0;
  ASSERT_EQ(FSpOpenDF(&spec_, fsRdWrPerm, &refNum), noErr);
  long count = 11;
  ASSERT_EQ(FSWrite(refNum, &count, "hello world"), noErr);
  long value = 0;
  ASSERT_EQ(GetEOF(refNum, &value), noErr);
  EXPECT_EQ(value, 11);
  ASSERT_EQ(GetFPos(refNum, &value), noErr);
  EXPECT_EQ(value, 11);
  EXPECT_EQ(ReadAll(refNum), "hello world");
  EXPECT_EQ(SetFPos(refNum, fsFromLEOF, -5), noErr);
  char five[5];
  count = 5;
  EXPECT_EQ(FSRead(refNum, &count, five), noErr);
  EXPECT_EQ(std::string(five, 5), "world");
  EXPECT_EQ(SetFPos(refNum, fsFromMark, 1), eofErr);
  EXPECT_EQ(SetFPos(refNum, fsFromStart, -1), posErr);
  ASSERT_EQ(SetEOF(refNum, 5), noErr);
  EXPECT_EQ(ReadAll(refNum), "hello");
  ASSERT_EQ(FSClose(refNum), noErr);
  EXPECT_EQ(FSClose(refNum), rfNumErr);
  count = 1;
  EXPECT_EQ(FSRead(refNum, &count, five), rfNumErr);
}

TEST_F(Forks, OneWriterManyReaders) {
  SInt16 writer = 0, reader = 0, second = 0;
  ASSERT_EQ(FSpOpenDF(&spec_, fsRdWrPerm, &writer), noErr);
  EXPECT_EQ(FSpOpenDF(&spec_, fsWrPerm, &second), opWrErr);
  ASSERT_EQ(FSpOpenDF(&spec_, fsRdPerm, &reader), noErr);
  long count = 1;
  EXPECT_EQ(FSWrite(reader, &count, "x"), wrPermErr);
  FSClose(reader);
  FSClose(writer);
}

TEST_F(Forks, ResourceForkLivesInTheSidecar) {
  FSRef ref = Ref(disk() / "doc");
  HFSUniStr255 forkName{};
  ASSERT_EQ(FSGetResourceForkName(&forkName), noErr);
  SInt16 refNum = 0;
  ASSERT_EQ(FSOpenFork(&ref, forkName.length, forkName.unicode, fsRdWrPerm, &refNum), noErr);
  EXPECT_FALSE(fs::exists(disk() / "._doc"));  // nothing written yet
  long count = 4;
  ASSERT_EQ(FSWrite(refNum, &count, "RSRC"), noErr);
  auto sidecar = ReadBytes(disk() / "._doc");
  ASSERT_EQ(sidecar.size(), 86u);
  EXPECT_EQ(std::string(sidecar.end() - 4, sidecar.end()), "RSRC");
  EXPECT_EQ(ReadAll(refNum), "RSRC");

  CInfoPBRec pb{};
  Str name = P("doc");
  pb.hFileInfo.ioNamePtr = name.data();
  pb.hFileInfo.ioVRefNum = kVantorelSystemDiskVRefNum;
  pb.hFileInfo.ioDirID = fsRtDirID;
  ASSERT_EQ(PBGetCatInfoSync(&pb), noErr);
  EXPECT_EQ(SInt32{pb.hFileInfo.ioFlRLgLen}, 4);
  EXPECT_EQ(SInt32{pb.hFileInfo.ioFlLgLen}, 0);
  ASSERT_EQ(FSClose(refNum), noErr);

  ASSERT_EQ(FSDeleteFork(&ref, forkName.length, forkName.unicode), noErr);
  EXPECT_FALSE(fs::exists(disk() / "._doc"));
  UniChar bogus[] = {'x'};
  EXPECT_EQ(FSOpenFork(&ref, 1, bogus, fsRdPerm, &refNum), errFSForkNotFound);
}

TEST_F(Forks, ReplaceForkContentsRewritesWholeForks) {
  FInfo info{};
  info.fdType = 'rsrc';
  ASSERT_EQ(FSpSetFInfo(&spec_, &info), noErr);
  SInt16 rsrc = 0, data = 0;
  ASSERT_EQ(FSpOpenRF(&spec_, fsRdWrPerm, &rsrc), noErr);
  long count = 10;
  ASSERT_EQ(FSWrite(rsrc, &count, "0123456789"), noErr);
  ASSERT_EQ(tb::files::ReplaceForkContents(rsrc, "new", 3), noErr);
  long mark = 0;
  ASSERT_EQ(GetFPos(rsrc, &mark), noErr);
  EXPECT_EQ(mark, 3);
  EXPECT_EQ(ReadAll(rsrc), "new");
  auto decoded = tb::files::appledouble::Decode(ReadBytes(disk() / "._doc"));
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->finderInfo[3], 'c');  // Finder info kept beside the new fork

  UInt32 id = IdOf(disk() / "doc");
  ASSERT_EQ(FSpOpenDF(&spec_, fsRdWrPerm, &data), noErr);
  count = 6;
  ASSERT_EQ(FSWrite(data, &count, "longer"), noErr);
  ASSERT_EQ(tb::files::ReplaceForkContents(data, "ab", 2), noErr);
  EXPECT_EQ(ReadAll(data), "ab");
  EXPECT_EQ(IdOf(disk() / "doc"), id);  // rewritten in place: same file, same ID
  SInt16 reader = 0;
  ASSERT_EQ(FSpOpenDF(&spec_, fsRdPerm, &reader), noErr);
  EXPECT_EQ(tb::files::ReplaceForkContents(reader, "x", 1), wrPermErr);
  EXPECT_EQ(tb::files::ReplaceForkContents(999, "x", 1), rfNumErr);
  FSClose(reader);
  FSClose(data);
  FSClose(rsrc);
}

}  // namespace
}  // namespace tb::test
