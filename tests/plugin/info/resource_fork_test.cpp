// Removing a file's resource fork: the fork goes, the custom-icon flag alone is cleared.
#include "plugin/info/item_operations.h"
#include "tests/plugin/info/info_fixture.h"

namespace {

class ResourceFork : public tb::test::InfoFixture {};

constexpr UInt16 kOtherFlags = kIsInvisible | kIsAlias | kHasBundle | kNameLocked;

TEST_F(ResourceFork, RemovesTheForkAndClearsOnlyTheCustomIconFlag) {
  struct Case {
    const char* label;
    const char* fork;
  };
  for (const Case& c : {Case{"with a fork", "icns bytes"}, Case{"without a fork", ""}}) {
    SCOPED_TRACE(c.label);
    std::filesystem::remove_all(disk() / "Users/Shared");
    FSSpec item = MakeFile("Users/Shared/doc.txt", "data stays");
    if (*c.fork) WriteResourceFork(item, c.fork);
    SetFlags(item, kOtherFlags | kHasCustomIcon);

    EXPECT_EQ(RemoveResourceFork(&item), noErr);
    EXPECT_EQ(ResourceForkSize(item), 0u);
    EXPECT_EQ(FlagsOf(item), kOtherFlags);
    EXPECT_EQ(std::filesystem::file_size(disk() / "Users/Shared/doc.txt"), 10u);
  }
  EXPECT_TRUE(Requests().empty());  // the caller asks for the update
}

TEST_F(ResourceFork, FolderIsLeftAlone) {
  FSSpec folder = MakeFolder("Users/Shared/Box");
  SetFlags(folder, kOtherFlags | kHasCustomIcon);
  EXPECT_EQ(RemoveResourceFork(&folder), noErr);
  EXPECT_EQ(FlagsOf(folder), kOtherFlags | kHasCustomIcon);
}

TEST_F(ResourceFork, GoneItemGivesItsError) {
  FSSpec item = MakeFile("Users/Shared/doc.txt");
  ASSERT_EQ(FSpDelete(&item), noErr);
  EXPECT_EQ(RemoveResourceFork(&item), fnfErr);
}

// When the fork cannot be deleted, the icon it holds keeps its flag and the refusal is reported.
TEST_F(ResourceFork, ForkThatStaysKeepsItsFlag) {
  FSSpec locked = MakeFile("Users/Shared/locked");
  WriteResourceFork(locked, "icns bytes");
  SetFlags(locked, kHasCustomIcon);
  ASSERT_EQ(FSpSetFLock(&locked), noErr);
  EXPECT_EQ(RemoveResourceFork(&locked), fLckdErr);
  EXPECT_EQ(ResourceForkSize(locked), 10u);
  EXPECT_EQ(FlagsOf(locked), UInt16{kHasCustomIcon});

  FSSpec open = MakeFile("Users/Shared/open");
  WriteResourceFork(open, "icns bytes");
  SetFlags(open, kHasCustomIcon);
  SInt16 ref;
  ASSERT_EQ(FSpOpenRF(&open, fsRdPerm, &ref), noErr);
  EXPECT_EQ(RemoveResourceFork(&open), fBsyErr);
  FSClose(ref);
  EXPECT_EQ(ResourceForkSize(open), 10u);
  EXPECT_EQ(FlagsOf(open), UInt16{kHasCustomIcon});
}

}  // namespace
