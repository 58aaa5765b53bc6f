// Catalog: IDs, names, indexed enumeration, FSSpec records, volumes and standard folders.
#include <dirent.h>
#include <fcntl.h>
#include <gmock/gmock.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "tests/toolbox/files/files_fixture.h"
#include "toolbox/core/text.h"
#include "toolbox/files/names.h"

namespace tb::test {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAreArray;

class Catalog : public FilesTest {
 protected:
  std::string PathOf(const FSSpec& spec) {
    FSRef ref{};
    EXPECT_EQ(FSpMakeFSRef(&spec, &ref), noErr);
    UInt8 path[4096] = {};
    EXPECT_EQ(FSRefMakePath(&ref, path, sizeof path), noErr);
    return reinterpret_cast<char*>(path);
  }
};

// Run in a second process by IdsSurviveRenameAndOtherProcesses: reports what a fresh toolbox
// finds for a path and for an ID.
TEST(CatalogChild, Report) {
  const char* path = getenv("VANTOREL_CHILD_PATH");
  const char* id = getenv("VANTOREL_CHILD_ID");
  const char* out = getenv("VANTOREL_CHILD_OUT");
  if (!path || !id || !out) GTEST_SKIP() << "runs only as the child of another test";
  FSRef ref{};
  FSCatalogInfo info{};
  ASSERT_EQ(FSPathMakeRef(reinterpret_cast<const UInt8*>(path), &ref, nullptr), noErr);
  ASSERT_EQ(FSGetCatalogInfo(&ref, kFSCatInfoNodeID, &info, nullptr, nullptr, nullptr), noErr);
  FSSpec byId{};
  std::ofstream(out) << info.nodeID << "\n"
                     << FSMakeFSSpec(kVantorelSystemDiskVRefNum,
                                     static_cast<SInt32>(std::stoul(id)), nullptr, &byId)
                     << "\n"
                     << FromP(byId.name) << "\n";
}

TEST_F(Catalog, IdsSurviveRenameAndOtherProcesses) {
  fs::create_directories(disk() / "A" / "Deep");
  FSSpec folder = MustSpec(":A:Deep");
  UInt32 before = IdOf(disk() / "A" / "Deep");
  ASSERT_GE(before, 16u);
  ASSERT_EQ(FSpRename(&folder, P("Deeper").data()), noErr);
  EXPECT_EQ(IdOf(disk() / "A" / "Deeper"), before);
  FSSpec again{};
  ASSERT_EQ(FSMakeFSSpec(kVantorelSystemDiskVRefNum, static_cast<SInt32>(before), nullptr, &again),
            noErr);
  EXPECT_EQ(FromP(again.name), "Deeper");

  fs::path out = root() / "child.txt";
  std::string command = "VANTOREL_CHILD_PATH='" + (disk() / "A" / "Deeper").string() +
                        "' VANTOREL_CHILD_ID=" + std::to_string(before) + " VANTOREL_CHILD_OUT='" +
                        out.string() + "' /proc/" + std::to_string(getpid()) +
                        "/exe --gtest_filter=CatalogChild.Report > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  std::ifstream in(out);
  UInt32 childId = 0;
  int childErr = -1;
  std::string childName;
  in >> childId >> childErr;
  in.ignore();
  std::getline(in, childName);
  EXPECT_EQ(childId, before);
  EXPECT_EQ(childErr, noErr);  // a fresh process finds the folder by its ID alone
  EXPECT_EQ(childName, "Deeper");
}

TEST_F(Catalog, IndexedWalkFollowsReaddirOrderWithoutSidecars) {
  fs::create_directories(disk() / "W" / "sub");
  for (auto name : {"b", "a", "c.txt", "._gone", "e"}) Touch(disk() / "W" / name);
  FSSpec a = MustSpec(":W:a");
  FInfo finder{};
  finder.fdType = 'TEXT';
  ASSERT_EQ(FSpSetFInfo(&a, &finder), noErr);
  std::vector<std::string> expected;
  DIR* dir = opendir((disk() / "W").c_str());
  while (dirent* d = readdir(dir)) {
    std::string name = d->d_name;
    if (name != "." && name != ".." && !name.starts_with("._")) expected.push_back(name);
  }
  closedir(dir);

  SInt16 vRefNum = 0;
  SInt32 dirId = 0;
  {
    CInfoPBRec pb{};
    Str name = P("W");
    pb.hFileInfo.ioNamePtr = name.data();
    pb.hFileInfo.ioVRefNum = kVantorelSystemDiskVRefNum;
    pb.hFileInfo.ioDirID = fsRtDirID;
    ASSERT_EQ(PBGetCatInfoSync(&pb), noErr);
    EXPECT_TRUE(pb.hFileInfo.ioFlAttrib & kioFlAttribDirMask);
    EXPECT_EQ(size_t{pb.dirInfo.ioDrNmFls}, expected.size());
    vRefNum = pb.hFileInfo.ioVRefNum;
    dirId = pb.dirInfo.ioDrDirID;
  }
  std::vector<std::string> walked;
  for (SInt16 i = 1;; ++i) {
    CInfoPBRec pb{};
    Str name{};
    pb.hFileInfo.ioNamePtr = name.data();
    pb.hFileInfo.ioVRefNum = vRefNum;
    pb.hFileInfo.ioDirID = dirId;
    pb.hFileInfo.ioFDirIndex = i;
    OSErr err = PBGetCatInfoSync(&pb);
    if (err != noErr) {
      EXPECT_EQ(err, fnfErr);
      EXPECT_EQ(i, static_cast<SInt16>(expected.size() + 1));
      break;
    }
    walked.push_back(FromP(name.data()));
    EXPECT_EQ(SInt32{pb.hFileInfo.ioFlParID}, dirId);
    bool isDir = pb.hFileInfo.ioFlAttrib & kioFlAttribDirMask;
    EXPECT_EQ(isDir, walked.back() == "sub");
    EXPECT_EQ(pb.hFileInfo.ioFlFndrInfo.fdType, walked.back() == "a" ? 'TEXT' : 0u);
  }
  EXPECT_THAT(walked, ElementsAreArray(expected));
}

TEST_F(Catalog, EnumerationSeesChangesToTheFolder) {
  fs::create_directories(disk() / "W");
  Touch(disk() / "W" / "one");
  SInt32 dirId = static_cast<SInt32>(IdOf(disk() / "W"));
  auto count = [&] {
    SInt16 n = 0;
    for (;; ++n) {
      CInfoPBRec pb{};
      pb.hFileInfo.ioVRefNum = kVantorelSystemDiskVRefNum;
      pb.hFileInfo.ioDirID = dirId;
      pb.hFileInfo.ioFDirIndex = static_cast<SInt16>(n + 1);
      if (PBGetCatInfoSync(&pb) != noErr) return n;
    }
  };
  EXPECT_EQ(count(), 1);
  Touch(disk() / "W" / "two");  // within the same timestamp tick, often
  EXPECT_EQ(count(), 2);
  fs::remove(disk() / "W" / "one");
  EXPECT_EQ(count(), 1);
}

TEST_F(Catalog, EntryCountIsCappedInSixteenBitsButNotInValence) {
  fs::path big = disk() / "Big";
  fs::create_directory(big);
  for (int i = 0; i < 65537; ++i) {
    int fd = open((big / std::to_string(i)).c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    ASSERT_GE(fd, 0);
    close(fd);
  }
  CInfoPBRec pb{};
  Str name = P("Big");
  pb.hFileInfo.ioNamePtr = name.data();
  pb.hFileInfo.ioVRefNum = kVantorelSystemDiskVRefNum;
  pb.hFileInfo.ioDirID = fsRtDirID;
  ASSERT_EQ(PBGetCatInfoSync(&pb), noErr);
  EXPECT_EQ(UInt16{pb.dirInfo.ioDrNmFls}, 65535);
  FSRef ref = Ref(big);
  FSCatalogInfo info{};
  ASSERT_EQ(FSGetCatalogInfo(&ref, kFSCatInfoValence, &info, nullptr, nullptr, nullptr), noErr);
  EXPECT_EQ(UInt32{info.valence}, 65537u);
}

struct NameCase {
  const char* label;
  std::string leaf;
  bool folder;
};

class Names : public Catalog, public ::testing::WithParamInterface<NameCase> {};

TEST_P(Names, SpecNameFindsTheItemAndUnicodeNameIsFull) {
  const NameCase& c = GetParam();
  fs::path path = disk() / c.leaf;
  if (c.folder) {
    fs::create_directory(path);
  } else {
    Touch(path);
  }
  UInt32 id = IdOf(path);
  FSRef ref = Ref(path);
  FSSpec spec{};
  HFSUniStr255 unicode{};
  ASSERT_EQ(FSGetCatalogInfo(&ref, kFSCatInfoNone, nullptr, &unicode, &spec, nullptr), noErr);
  std::string name = FromP(spec.name);
  EXPECT_LE(name.size(), 63u);
  EXPECT_EQ(name, tb::files::SpecNameFromLinux(c.leaf, id, c.folder));

  FSSpec found{};
  ASSERT_EQ(FSMakeFSSpec(kVantorelSystemDiskVRefNum, fsRtDirID, spec.name, &found), noErr);
  EXPECT_EQ(PathOf(found), path.string());

  std::u16string expected = *tb::Utf16FromUtf8(c.leaf);
  std::replace(expected.begin(), expected.end(), u':', u'/');
  EXPECT_EQ(std::u16string(reinterpret_cast<char16_t*>(unicode.unicode), unicode.length), expected);
  FSRef parent = Ref(disk()), byUnicode{};
  ASSERT_EQ(FSMakeFSRefUnicode(&parent, unicode.length, unicode.unicode, 0, &byUnicode), noErr);
  EXPECT_EQ(FSCompareFSRefs(&byUnicode, &ref), noErr);
}

INSTANTIATE_TEST_SUITE_P(
    AllNames, Names,
    ::testing::Values(NameCase{"Plain", "Read Me", false},
                      NameCase{"MacRoman", "caf\xC3\xA9.txt", false},
                      NameCase{"Colon", "a:b", false},
                      NameCase{"TooLong", std::string(80, 'x') + ".text", false},
                      NameCase{"LongFolder", std::string(70, 'f') + ".d", true},
                      NameCase{"NotMacRoman", "\xE6\x97\xA5\xE6\x9C\xAC.txt", false}),
    [](const auto& info) { return info.param.label; });

TEST(ShortNames, KeepPrefixIdAndExtension) {
  using tb::files::SpecNameFromLinux;
  std::string longName = std::string(80, 'x') + ".text";
  EXPECT_EQ(SpecNameFromLinux(longName, 0x1A2B, false), std::string(53, 'x') + "#1A2B.text");
  EXPECT_EQ(SpecNameFromLinux(longName, 0x1A2B, true), std::string(58, 'x') + "#1A2B");
  EXPECT_EQ(SpecNameFromLinux("\xE6\x97\xA5.txt", 0x40, false), "#40.txt");
  EXPECT_EQ(SpecNameFromLinux("caf\xC3\xA9", 0x40, false), "caf\x8E");
}

TEST_F(Catalog, MakeFSSpecResultCodes) {
  fs::create_directories(disk() / "D" / "E");
  Touch(disk() / "D" / "f");
  SInt32 dId = static_cast<SInt32>(IdOf(disk() / "D"));
  struct Case {
    SInt16 vRefNum;
    SInt32 dirId;
    std::string name;
    OSErr err;
    SInt32 parId;
    std::string specName;
  };
  const Case cases[] = {
      {kVantorelSystemDiskVRefNum, dId, "f", noErr, dId, "f"},
      {kVantorelSystemDiskVRefNum, dId, "missing", fnfErr, dId, "missing"},
      {kVantorelSystemDiskVRefNum, fsRtDirID, ":D:f", noErr, dId, "f"},
      {kVantorelSystemDiskVRefNum, fsRtDirID, ":D:E:", noErr, dId, "E"},
      {kVantorelSystemDiskVRefNum, fsRtDirID, ":D:E::f", noErr, dId, "f"},
      {kVantorelSystemDiskVRefNum, fsRtDirID, ":D:nope:f", dirNFErr, 0, ""},
      {kVantorelSystemDiskVRefNum, fsRtDirID, ":D:f:g", dirNFErr, 0, ""},
      {kVantorelSystemDiskVRefNum, dId, "", noErr, fsRtDirID, "D"},
      {0, fsRtDirID, "Macintosh HD:D:f", noErr, dId, "f"},
      {kVantorelSystemDiskVRefNum, fsRtParID, "Macintosh HD", noErr, fsRtParID, "Macintosh HD"},
      {kVantorelSystemDiskVRefNum, 0x7FFFFFF0, "f", dirNFErr, 0, ""},
      {-3, fsRtDirID, "f", nsvErr, 0, ""},
      {kVantorelSystemDiskVRefNum, dId, std::string(70, 'y'), bdNamErr, 0, ""},
      {kVantorelSystemDiskVRefNum, dId, "._f", fnfErr, dId, "._f"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FSSpec spec{};
    EXPECT_EQ(FSMakeFSSpec(c.vRefNum, c.dirId, P(c.name).data(), &spec), c.err);
    if (c.err == noErr || c.err == fnfErr) {
      EXPECT_EQ(SInt32{spec.parID}, c.parId);
      EXPECT_EQ(FromP(spec.name), c.specName);
    }
  }
}

TEST_F(Catalog, SymbolicLinkIsAFileOfItsOwn) {
  fs::create_directories(disk() / "Target");
  fs::create_directory_symlink("Target", disk() / "Link");
  FSRef ref{};
  Boolean isDirectory = true;
  std::string path = (disk() / "Link").string();
  ASSERT_EQ(FSPathMakeRef(reinterpret_cast<const UInt8*>(path.c_str()), &ref, &isDirectory), noErr);
  EXPECT_FALSE(isDirectory);
  EXPECT_NE(IdOf(disk() / "Link"), IdOf(disk() / "Target"));
  CInfoPBRec pb{};
  Str name = P("Link");
  pb.hFileInfo.ioNamePtr = name.data();
  pb.hFileInfo.ioVRefNum = kVantorelSystemDiskVRefNum;
  pb.hFileInfo.ioDirID = fsRtDirID;
  ASSERT_EQ(PBGetCatInfoSync(&pb), noErr);
  EXPECT_FALSE(pb.hFileInfo.ioFlAttrib & kioFlAttribDirMask);
}

TEST_F(Catalog, VolumesAndTheirRoots) {
  FSRef root{}, disk_{};
  Boolean isDirectory = false;
  ASSERT_EQ(FSPathMakeRef(reinterpret_cast<const UInt8*>("/"), &root, &isDirectory), noErr);
  EXPECT_TRUE(isDirectory);
  FSCatalogInfo info{};
  ASSERT_EQ(FSGetCatalogInfo(&root, kFSCatInfoVolume | kFSCatInfoNodeID | kFSCatInfoParentDirID,
                             &info, nullptr, nullptr, nullptr),
            noErr);
  EXPECT_EQ(SInt16{info.volume}, kVantorelRootVRefNum);
  EXPECT_EQ(UInt32{info.nodeID}, UInt32{fsRtDirID});
  EXPECT_EQ(UInt32{info.parentDirID}, UInt32{fsRtParID});
  disk_ = Ref(disk());
  ASSERT_EQ(FSGetCatalogInfo(&disk_, kFSCatInfoVolume | kFSCatInfoNodeID, &info, nullptr, nullptr,
                             nullptr),
            noErr);
  EXPECT_EQ(SInt16{info.volume}, kVantorelSystemDiskVRefNum);
  EXPECT_EQ(UInt32{info.nodeID}, UInt32{fsRtDirID});

  // Reached from the root volume, the system disk's directory is the system disk's root.
  FSRef tempRef = Ref(this->root()), viaRoot{};
  ASSERT_EQ(FSGetCatalogInfo(&tempRef, kFSCatInfoVolume, &info, nullptr, nullptr, nullptr), noErr);
  EXPECT_EQ(SInt16{info.volume}, kVantorelRootVRefNum);
  const UniChar diskName[] = {'d', 'i', 's', 'k'};
  ASSERT_EQ(FSMakeFSRefUnicode(&tempRef, 4, diskName, 0, &viaRoot), noErr);
  EXPECT_EQ(FSCompareFSRefs(&viaRoot, &disk_), noErr);
  Touch(disk() / "inside");
  SInt32 tempId = static_cast<SInt32>(IdOf(this->root()));
  SInt32 diskIdOnRoot = 0;
  for (SInt16 i = 1;; ++i) {
    CInfoPBRec walk{};
    Str entry{};
    walk.hFileInfo.ioNamePtr = entry.data();
    walk.hFileInfo.ioVRefNum = kVantorelRootVRefNum;
    walk.hFileInfo.ioDirID = tempId;
    walk.hFileInfo.ioFDirIndex = i;
    if (PBGetCatInfoSync(&walk) != noErr) break;
    if (FromP(entry.data()) == "disk") diskIdOnRoot = walk.dirInfo.ioDrDirID;
  }
  ASSERT_NE(diskIdOnRoot, 0);
  CInfoPBRec inside{};
  inside.hFileInfo.ioVRefNum = kVantorelRootVRefNum;
  inside.hFileInfo.ioDirID = diskIdOnRoot;
  inside.hFileInfo.ioFDirIndex = 1;
  ASSERT_EQ(PBGetCatInfoSync(&inside), noErr);
  EXPECT_EQ(SInt16{inside.hFileInfo.ioVRefNum}, kVantorelSystemDiskVRefNum);
  EXPECT_EQ(SInt32{inside.hFileInfo.ioFlParID}, fsRtDirID);

  HParamBlockRec pb{};
  Str name{};
  pb.volumeParam.ioNamePtr = name.data();
  pb.volumeParam.ioVolIndex = 1;
  ASSERT_EQ(PBHGetVInfoSync(&pb), noErr);
  EXPECT_EQ(FromP(name.data()), "Macintosh HD");
  EXPECT_EQ(SInt16{pb.volumeParam.ioVRefNum}, kVantorelSystemDiskVRefNum);
  pb.volumeParam.ioVolIndex = 3;
  EXPECT_EQ(PBHGetVInfoSync(&pb), nsvErr);
}

TEST_F(Catalog, VolumeQueryByNameTakesOnlyFullPathsAsVolumeNames) {
  struct Case {
    const char* name;
    SInt16 vRefNum;
    OSErr result;
    SInt16 volume;
  };
  const Case cases[] = {
      {"Macintosh HD:", kVantorelRootVRefNum, noErr, kVantorelSystemDiskVRefNum},
      {"Macintosh HD:Users:x", kVantorelRootVRefNum, noErr, kVantorelSystemDiskVRefNum},
      {"No Such Volume:", kVantorelSystemDiskVRefNum, nsvErr, 0},
      // An item's plain or partial name: the volume is the one of ioVRefNum.
      {"Box", kVantorelSystemDiskVRefNum, noErr, kVantorelSystemDiskVRefNum},
      {"Box", kVantorelRootVRefNum, noErr, kVantorelRootVRefNum},
      {":Users:Box", kVantorelSystemDiskVRefNum, noErr, kVantorelSystemDiskVRefNum},
  };
  for (const Case& c : cases) {
    Str name = P(c.name);
    HParamBlockRec pb{};
    pb.volumeParam.ioNamePtr = name.data();
    pb.volumeParam.ioVRefNum = c.vRefNum;
    pb.volumeParam.ioVolIndex = -1;
    EXPECT_EQ(PBHGetVInfoSync(&pb), c.result) << c.name;
    if (c.result == noErr) {
      EXPECT_EQ(SInt16{pb.volumeParam.ioVRefNum}, c.volume) << c.name;
    }
  }
}

TEST_F(Catalog, FindFolderGivesTheSystemDiskFolders) {
  struct Case {
    OSType type;
    fs::path expected;
  };
  SInt16 vRefNum = 0;
  SInt32 dirId = 0;
  ASSERT_EQ(FindFolder(kOnSystemDisk, kCurrentUserFolderType, kDontCreateFolder, &vRefNum, &dirId),
            noErr);
  FSSpec home{};
  ASSERT_EQ(FSMakeFSSpec(vRefNum, dirId, nullptr, &home), noErr);
  fs::path homePath = PathOf(home);
  EXPECT_EQ(homePath.parent_path(), fs::canonical(disk() / "Users"));
  for (const Case& c : {Case{kPreferencesFolderType, homePath / "Library" / "Preferences"},
                        Case{kUsersFolderType, disk() / "Users"},
                        Case{kApplicationsFolderType, disk() / "Applications"}}) {
    ASSERT_EQ(FindFolder(kOnSystemDisk, c.type, kDontCreateFolder, &vRefNum, &dirId), noErr);
    EXPECT_EQ(vRefNum, kVantorelSystemDiskVRefNum);
    EXPECT_EQ(SInt32(IdOf(c.expected)), dirId);
  }
  EXPECT_EQ(FindFolder(kUserDomain, kDesktopFolderType, kDontCreateFolder, &vRefNum, &dirId),
            fnfErr);
  ASSERT_EQ(FindFolder(kUserDomain, kDesktopFolderType, kCreateFolder, &vRefNum, &dirId), noErr);
  EXPECT_TRUE(fs::is_directory(homePath / "Desktop"));
}

}  // namespace
}  // namespace tb::test
