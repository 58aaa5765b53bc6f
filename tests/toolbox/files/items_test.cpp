// Items: creating, locking, busy files, sidecars that follow their items, deleting folders.
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "tests/toolbox/files/files_fixture.h"
#include "toolbox/files/sidecar.h"

namespace tb::test {
namespace {

namespace fs = std::filesystem;

class Items : public FilesTest {
 protected:
  void SetUp() override {
    FilesTest::SetUp();
    fs::create_directories(disk() / "Dest");
  }
  CInfoPBRec CatInfo(const std::string& partial) {
    CInfoPBRec pb{};
    Str name = P(partial);
    pb.hFileInfo.ioNamePtr = name.data();
    pb.hFileInfo.ioVRefNum = kVantorelSystemDiskVRefNum;
    pb.hFileInfo.ioDirID = fsRtDirID;
    EXPECT_EQ(PBGetCatInfoSync(&pb), noErr) << partial;
    pb.hFileInfo.ioNamePtr = nullptr;
    return pb;
  }
};

TEST_F(Items, CreateGivesTypeCreatorAndIds) {
  FSSpec spec{};
  ASSERT_EQ(Spec(":new.txt", &spec), fnfErr);
  ASSERT_EQ(FSpCreate(&spec, 'ttxt', 'TEXT', smSystemScript), noErr);
  EXPECT_EQ(FSpCreate(&spec, 'ttxt', 'TEXT', smSystemScript), dupFNErr);
  FInfo info{};
  ASSERT_EQ(FSpGetFInfo(&spec, &info), noErr);
  EXPECT_EQ(info.fdType, 'TEXT');
  EXPECT_EQ(info.fdCreator, 'ttxt');

  FSSpec folder{};
  SInt32 created = 0, viaDirCreate = 0;
  ASSERT_EQ(Spec(":Folder", &folder), fnfErr);
  ASSERT_EQ(FSpDirCreate(&folder, smSystemScript, &created), noErr);
  EXPECT_EQ(UInt32(created), IdOf(disk() / "Folder"));
  EXPECT_EQ(FSpGetFInfo(&folder, &info), notAFileErr);
  ASSERT_EQ(DirCreate(kVantorelSystemDiskVRefNum, created, P("Inner").data(), &viaDirCreate),
            noErr);
  EXPECT_EQ(UInt32(viaDirCreate), IdOf(disk() / "Folder" / "Inner"));
  EXPECT_EQ(DirCreate(kVantorelSystemDiskVRefNum, created, P("Inner").data(), &viaDirCreate),
            dupFNErr);
}

TEST_F(Items, FolderFinderInfoLivesInTheParentsSidecar) {
  fs::create_directory(disk() / "F");
  CInfoPBRec pb = CatInfo(":F");
  pb.dirInfo.ioDrUsrWds.frFlags = kIsInvisible | kHasCustomIcon;
  pb.dirInfo.ioDrUsrWds.frLocation = {10, 20};
  Str name = P(":F");
  pb.hFileInfo.ioNamePtr = name.data();
  pb.hFileInfo.ioDirID = fsRtDirID;
  ASSERT_EQ(PBSetCatInfoSync(&pb), noErr);
  ASSERT_TRUE(fs::exists(disk() / "._F"));
  auto bytes = ReadBytes(disk() / "._F");
  ASSERT_EQ(bytes.size(), 82u);
  EXPECT_EQ(bytes[50 + 8], 0x44);  // frFlags, big-endian
  EXPECT_EQ(bytes[50 + 9], 0x00);
  EXPECT_EQ(bytes[50 + 11], 10);  // location v
  EXPECT_EQ(CatInfo(":F").dirInfo.ioDrUsrWds.frFlags, kIsInvisible | kHasCustomIcon);
}

TEST_F(Items, SetCatalogInfoWritesFinderInfoAndLock) {
  Touch(disk() / "doc", "x");
  FSRef ref = Ref(disk() / "doc");
  FSCatalogInfo info{};
  FInfo finder{};
  finder.fdType = 'APPL';
  finder.fdCreator = 'Vtrl';
  finder.fdFlags = kHasBundle;
  std::memcpy(info.finderInfo, &finder, sizeof finder);
  info.nodeFlags = kFSNodeLockedMask;
  ASSERT_EQ(FSSetCatalogInfo(&ref, kFSCatInfoFinderInfo | kFSCatInfoNodeFlags, &info), noErr);
  EXPECT_EQ(FSSetCatalogInfo(&ref, kFSCatInfoValence, &info), errFSBadInfoBitmap);

  FSCatalogInfo back{};
  ASSERT_EQ(FSGetCatalogInfo(&ref, kFSCatInfoFinderInfo | kFSCatInfoNodeFlags, &back, nullptr,
                             nullptr, nullptr),
            noErr);
  FInfo got{};
  std::memcpy(&got, back.finderInfo, sizeof got);
  EXPECT_EQ(got.fdType, 'APPL');
  EXPECT_EQ(got.fdCreator, 'Vtrl');
  EXPECT_EQ(got.fdFlags, kHasBundle);
  EXPECT_EQ(back.nodeFlags & kFSNodeLockedMask, kFSNodeLockedMask);
  auto stored = ReadBytes(disk() / "._doc");
  ASSERT_EQ(stored.size(), 82u);
  EXPECT_EQ(std::string(stored.begin() + 50, stored.begin() + 58), "APPLVtrl");
}

struct LockCase {
  const char* label;
  bool folder;
};

class Locks : public Items, public ::testing::WithParamInterface<LockCase> {};

TEST_P(Locks, LockedItemRefusesChangesUntilUnlocked) {
  fs::path path = disk() / "item";
  GetParam().folder ? (void)fs::create_directory(path) : Touch(path, "data");
  FSSpec spec = MustSpec(":item"), dest = MustSpec(":Dest");
  ASSERT_EQ(FSpSetFLock(&spec), noErr);
  EXPECT_TRUE(CatInfo(":item").hFileInfo.ioFlAttrib & kioFlAttribLockedMask);
  FSRef ref = Ref(path);
  FSCatalogInfo info{};
  ASSERT_EQ(FSGetCatalogInfo(&ref, kFSCatInfoNodeFlags, &info, nullptr, nullptr, nullptr), noErr);
  EXPECT_TRUE(info.nodeFlags & kFSNodeLockedMask);
  struct stat st;
  ASSERT_EQ(lstat(path.c_str(), &st), 0);
  if (GetParam().folder) {
    EXPECT_NE(st.st_mode & 0200, 0u);  // a folder's contents stay changeable
    EXPECT_TRUE(fs::exists(disk() / "._item"));
  } else {
    EXPECT_EQ(st.st_mode & 0222, 0u);  // read-only for other programs too
    SInt16 refNum = 0;
    EXPECT_EQ(FSpOpenDF(&spec, fsRdWrPerm, &refNum), permErr);
  }
  EXPECT_EQ(FSpRename(&spec, P("renamed").data()), fLckdErr);
  EXPECT_EQ(FSpCatMove(&spec, &dest), fLckdErr);
  EXPECT_EQ(FSpDelete(&spec), fLckdErr);
  EXPECT_TRUE(fs::exists(path));

  HParamBlockRec pb{};
  Str name = P("item");
  pb.fileParam.ioNamePtr = name.data();
  pb.fileParam.ioVRefNum = kVantorelSystemDiskVRefNum;
  pb.fileParam.ioDirID = fsRtDirID;
  ASSERT_EQ(PBHRstFLockSync(&pb), noErr);
  EXPECT_FALSE(CatInfo(":item").hFileInfo.ioFlAttrib & kioFlAttribLockedMask);
  EXPECT_FALSE(fs::exists(disk() / "._item"));  // nothing left worth a sidecar
  EXPECT_EQ(FSpRename(&spec, P("renamed").data()), noErr);
}

INSTANTIATE_TEST_SUITE_P(FilesAndFolders, Locks,
                         ::testing::Values(LockCase{"File", false}, LockCase{"Folder", true}),
                         [](const auto& info) { return info.param.label; });

TEST_F(Items, FileWithAnOpenForkIsBusy) {
  Touch(disk() / "busy", "data");
  FSSpec spec = MustSpec(":busy");
  SInt16 refNum = 0;
  ASSERT_EQ(FSpOpenRF(&spec, fsRdPerm, &refNum), noErr);
  EXPECT_EQ(FSpDelete(&spec), fBsyErr);
  ASSERT_EQ(FSClose(refNum), noErr);

  // Another process holding the data fork open keeps the file busy for this one.
  int toParent[2], toChild[2];
  ASSERT_EQ(pipe(toParent), 0);
  ASSERT_EQ(pipe(toChild), 0);
  pid_t child = fork();
  if (child == 0) {
    SInt16 childRef = 0;
    char ready = FSpOpenDF(&spec, fsRdPerm, &childRef) == noErr ? 'y' : 'n', done;
    (void)!write(toParent[1], &ready, 1);
    (void)!read(toChild[0], &done, 1);
    _exit(0);
  }
  char ready = 0;
  ASSERT_EQ(read(toParent[0], &ready, 1), 1);
  ASSERT_EQ(ready, 'y');
  EXPECT_EQ(FSpDelete(&spec), fBsyErr);
  (void)!write(toChild[1], "x", 1);
  waitpid(child, nullptr, 0);
  EXPECT_EQ(FSpDelete(&spec), noErr);
  EXPECT_FALSE(fs::exists(disk() / "busy"));
}

TEST_F(Items, SidecarFollowsRenameMoveAndDelete) {
  Touch(disk() / "a", "data");
  FSSpec spec = MustSpec(":a");
  FInfo info{};
  info.fdType = 'TEXT';
  ASSERT_EQ(FSpSetFInfo(&spec, &info), noErr);
  ASSERT_TRUE(fs::exists(disk() / "._a"));

  ASSERT_EQ(FSpRename(&spec, P("b").data()), noErr);
  EXPECT_FALSE(fs::exists(disk() / "._a"));
  EXPECT_TRUE(fs::exists(disk() / "._b"));

  FSSpec moved = MustSpec(":b"), dest = MustSpec(":Dest");
  ASSERT_EQ(FSpCatMove(&moved, &dest), noErr);
  EXPECT_TRUE(fs::exists(disk() / "Dest" / "b"));
  EXPECT_TRUE(fs::exists(disk() / "Dest" / "._b"));
  EXPECT_FALSE(fs::exists(disk() / "._b"));
  FSSpec inDest = MustSpec(":Dest:b");
  ASSERT_EQ(FSpGetFInfo(&inDest, &info), noErr);
  EXPECT_EQ(info.fdType, 'TEXT');

  Touch(disk() / "b");
  FSSpec clash = MustSpec(":b");
  EXPECT_EQ(FSpCatMove(&clash, &dest), dupFNErr);
  EXPECT_EQ(FSpCatMove(&dest, &dest), badMovErr);

  ASSERT_EQ(FSpDelete(&inDest), noErr);
  EXPECT_FALSE(fs::exists(disk() / "Dest" / "b"));
  EXPECT_FALSE(fs::exists(disk() / "Dest" / "._b"));
}

// Linux names hold 255 bytes, so "._name" holds two fewer: an item with metadata keeps its
// name rather than lose the metadata; one without any takes the longer name.
TEST_F(Items, RenameRefusedWhenTheSidecarCouldNotFollow) {
  Touch(disk() / "a", "data");
  FSSpec spec = MustSpec(":a");
  FInfo info{};
  info.fdType = 'TEXT';
  ASSERT_EQ(FSpSetFInfo(&spec, &info), noErr);
  FSRef ref = Ref(disk() / "a");
  for (size_t length : {254, 255}) {
    std::u16string name(length, u'n');
    EXPECT_EQ(
        FSRenameUnicode(&ref, length, reinterpret_cast<const UniChar*>(name.data()), 0, nullptr),
        bdNamErr);
    EXPECT_TRUE(fs::exists(disk() / "a"));
    EXPECT_FALSE(fs::exists(disk() / std::string(length, 'n')));
    ASSERT_EQ(FSpGetFInfo(&spec, &info), noErr);
    EXPECT_EQ(info.fdType, 'TEXT');
  }
  std::u16string fits(253, u'n');
  EXPECT_EQ(FSRenameUnicode(&ref, 253, reinterpret_cast<const UniChar*>(fits.data()), 0, nullptr),
            noErr);
  EXPECT_TRUE(fs::exists(disk() / ("._" + std::string(253, 'n'))));

  Touch(disk() / "plain");
  FSRef plain = Ref(disk() / "plain");
  std::u16string longest(255, u'p');
  EXPECT_EQ(
      FSRenameUnicode(&plain, 255, reinterpret_cast<const UniChar*>(longest.data()), 0, nullptr),
      noErr);
  EXPECT_TRUE(fs::exists(disk() / std::string(255, 'p')));
}

TEST_F(Items, CopiedItemGetsTheSidecar) {
  Touch(disk() / "orig", "x");
  FSSpec spec = MustSpec(":orig");
  FInfo info{};
  info.fdCreator = 'Vtrl';
  ASSERT_EQ(FSpSetFInfo(&spec, &info), noErr);
  fs::copy_file(disk() / "orig", disk() / "Dest" / "copy");
  ASSERT_EQ(tb::files::CopySidecar((disk() / "orig").string(), (disk() / "Dest" / "copy").string()),
            noErr);
  EXPECT_EQ(ReadBytes(disk() / "Dest" / "._copy"), ReadBytes(disk() / "._orig"));
  FSSpec copy = MustSpec(":Dest:copy");
  FInfo got{};
  ASSERT_EQ(FSpGetFInfo(&copy, &got), noErr);
  EXPECT_EQ(got.fdCreator, 'Vtrl');
}

TEST_F(Items, FolderDeletesOnlyWhenItHoldsNoEntries) {
  fs::create_directory(disk() / "Orphans");
  Touch(disk() / "Orphans" / "._gone");
  fs::create_directory(disk() / "Full");
  Touch(disk() / "Full" / "kept");
  FSSpec orphans = MustSpec(":Orphans"), full = MustSpec(":Full");
  EXPECT_EQ(FSpDelete(&full), fBsyErr);
  EXPECT_EQ(HDelete(kVantorelSystemDiskVRefNum, fsRtDirID, P("Orphans").data()), noErr);
  EXPECT_FALSE(fs::exists(disk() / "Orphans"));
  EXPECT_EQ(FSpDelete(&orphans), fnfErr);
}

}  // namespace
}  // namespace tb::test
