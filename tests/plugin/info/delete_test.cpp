// Deleting the shown item: at once, a folder with everything in it, locked items included.
#include <filesystem>

#include "plugin/info/item_operations.h"
#include "tests/plugin/info/info_fixture.h"
#include "tests/support/temp_system_disk.h"

namespace {

namespace fs = std::filesystem;

class Delete : public tb::test::InfoFixture {
 protected:
  void Lock(const std::string& relative) {
    FSSpec spec = SpecOf(disk() / relative);
    ASSERT_EQ(FSpSetFLock(&spec), noErr) << relative;
  }
  // The names of a folder's items in the catalog's order.
  std::vector<std::string> CatalogOrder(const FSSpec& folder) {
    CInfoPBRec pb = CatInfo(folder);
    SInt32 id = pb.dirInfo.ioDrDirID;
    std::vector<std::string> names;
    for (SInt16 i = 1;; ++i) {
      Str255 name;
      CInfoPBRec walk{};
      walk.hFileInfo.ioNamePtr = name;
      walk.hFileInfo.ioVRefNum = folder.vRefNum;
      walk.hFileInfo.ioDirID = id;
      walk.hFileInfo.ioFDirIndex = i;
      if (PBGetCatInfoSync(&walk) != noErr) break;
      names.emplace_back(reinterpret_cast<char*>(name + 1), name[0]);
    }
    return names;
  }
};

TEST_F(Delete, LockedFileIsDeleted) {
  FSSpec item = MakeFile("Users/Shared/doc.txt", "text");
  WriteResourceFork(item, "fork");
  ASSERT_EQ(FSpSetFLock(&item), noErr);
  EXPECT_EQ(DeleteInfoItem(&item), noErr);
  EXPECT_FALSE(fs::exists(disk() / "Users/Shared/doc.txt"));
  EXPECT_FALSE(fs::exists(disk() / "Users/Shared/._doc.txt"));
  EXPECT_TRUE(fs::is_empty(disk() / "Users/Shared"));
  EXPECT_TRUE(Requests().empty());
}

TEST_F(Delete, FolderTreeWithLockedItemsGoesEntirely) {
  FSSpec top = MakeFolder("Users/Shared/Top");
  MakeFile("Users/Shared/Top/a.txt", "a");
  MakeFile("Users/Shared/Top/Sub/b.txt", "b");
  MakeFile("Users/Shared/Top/Sub/Deeper/c.txt", "c");
  MakeFile("Users/Shared/Top/Sub/Deeper/Deepest/d.txt", "d");
  MakeFolder("Users/Shared/Top/Sub/Empty");
  for (const char* item :
       {"Users/Shared/Top/a.txt", "Users/Shared/Top/Sub/Deeper/c.txt",
        "Users/Shared/Top/Sub/Deeper/Deepest/d.txt", "Users/Shared/Top/Sub/Deeper/Deepest",
        "Users/Shared/Top/Sub", "Users/Shared/Top/Sub/Empty", "Users/Shared/Top"}) {
    Lock(item);
  }
  MakeFile("Users/Shared/beside.txt", "stays");

  EXPECT_EQ(DeleteInfoItem(&top), noErr);
  EXPECT_FALSE(fs::exists(disk() / "Users/Shared/Top"));
  EXPECT_FALSE(fs::exists(disk() / "Users/Shared/._Top"));
  EXPECT_TRUE(fs::exists(disk() / "Users/Shared/beside.txt"));
}

TEST_F(Delete, EmptyFolderIsDeleted) {
  FSSpec folder = MakeFolder("Users/Shared/Empty");
  EXPECT_EQ(DeleteInfoItem(&folder), noErr);
  EXPECT_FALSE(fs::exists(disk() / "Users/Shared/Empty"));
}

TEST_F(Delete, OpenFileStopsTheDeletionThere) {
  FSSpec folder = MakeFolder("Users/Shared/Box");
  for (const char* name : {"a", "b", "c", "d", "e", "f"}) {
    MakeFile(std::string("Users/Shared/Box/") + name, name);
  }
  std::vector<std::string> order = CatalogOrder(folder);
  ASSERT_EQ(order.size(), 6u);
  const std::string busy = order[3];
  FSSpec open = SpecOf(disk() / "Users/Shared/Box" / busy);
  SInt16 ref;
  ASSERT_EQ(FSpOpenDF(&open, fsRdPerm, &ref), noErr);

  EXPECT_EQ(DeleteInfoItem(&folder), fBsyErr);
  FSClose(ref);
  for (size_t i = 0; i < order.size(); ++i) {
    EXPECT_EQ(fs::exists(disk() / "Users/Shared/Box" / order[i]), i >= 3) << order[i];
  }
}

TEST_F(Delete, OpenFileDeepDownKeepsEveryFolderAroundIt) {
  FSSpec top = MakeFolder("Users/Shared/Top");
  FSSpec open = MakeFile("Users/Shared/Top/Sub/Deeper/open.txt", "busy");
  Lock("Users/Shared/Top/Sub");
  SInt16 ref;
  ASSERT_EQ(FSpOpenDF(&open, fsRdPerm, &ref), noErr);
  EXPECT_EQ(DeleteInfoItem(&top), fBsyErr);
  FSClose(ref);
  EXPECT_TRUE(fs::exists(disk() / "Users/Shared/Top/Sub/Deeper/open.txt"));
}

// Links are deleted as the items they are: what they point at stays.
TEST_F(Delete, SymbolicLinksAreNotFollowed) {
  MakeFile("Users/Shared/Outside/keep.txt", "keep");
  FSSpec folder = MakeFolder("Users/Shared/Box");
  fs::create_directory_symlink(disk() / "Users/Shared/Outside", disk() / "Users/Shared/Box/link");
  fs::create_directory_symlink(disk() / "Users/Shared/Outside", disk() / "Users/Shared/top-link");
  FSSpec topLink = SpecOf(disk() / "Users/Shared/top-link");

  EXPECT_EQ(DeleteInfoItem(&folder), noErr);
  EXPECT_EQ(DeleteInfoItem(&topLink), noErr);
  EXPECT_FALSE(fs::exists(disk() / "Users/Shared/Box"));
  EXPECT_FALSE(fs::is_symlink(disk() / "Users/Shared/top-link"));
  EXPECT_TRUE(fs::exists(disk() / "Users/Shared/Outside/keep.txt"));
}

TEST_F(Delete, GoneItemGivesTheLookupError) {
  FSSpec item = MakeFile("Users/Shared/doc.txt");
  ASSERT_EQ(FSpDelete(&item), noErr);
  EXPECT_EQ(DeleteInfoItem(&item), fnfErr);
}

// A volume's root cannot be deleted, so its contents are not emptied out either.
TEST_F(Delete, VolumeRootKeepsItsContents) {
  MakeFile("Users/Shared/doc.txt", "text");
  FSSpec root{};
  const unsigned char empty[1] = {0};
  ASSERT_EQ(FSMakeFSSpec(kVantorelSystemDiskVRefNum, fsRtDirID, empty, &root), noErr);
  EXPECT_NE(DeleteInfoItem(&root), noErr);
  EXPECT_TRUE(fs::exists(disk() / "Users/Shared/doc.txt"));
}

}  // namespace
