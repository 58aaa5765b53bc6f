// Type and creator from a text, the lock and Finder-flag toggles, extension visibility.
#include "plugin/info/item_operations.h"
#include "tests/plugin/info/info_fixture.h"
#include "toolbox/launch/launch.h"

namespace {

struct CodeCase {
  const char* label;
  const char* text;
  SInt32 length;
  OSType expected;
};
void PrintTo(const CodeCase& c, std::ostream* os) {
  *os << c.label;
}

const CodeCase kCodes[] = {
    {"Four", "TEXT", 4, 'TEXT'},
    {"TwoArePadded", "ab", 2, 'ab  '},
    {"SevenAreCut", "abcdefg", 7, 'abcd'},
    {"EmptyIsFourSpaces", "", 0, '    '},
    {"NegativeLengthIsEmpty", "abcd", -3, '    '},
    {"NoTextIsEmpty", nullptr, 4, '    '},
    {"LengthCountsNotTheTerminator", "ab\0d", 4, 'ab\0d'},
};

class InfoCode : public tb::test::InfoFixture, public ::testing::WithParamInterface<CodeCase> {};

TEST_P(InfoCode, WritesTheFourBytesToTypeOrCreatorOnly) {
  const CodeCase& c = GetParam();
  FSSpec item = MakeFile("Users/Shared/doc.txt");
  FInfo start{};
  start.fdType = 'oldT';
  start.fdCreator = 'oldC';
  start.fdFlags = kIsInvisible;
  ASSERT_EQ(FSpSetFInfo(&item, &start), noErr);

  ASSERT_EQ(SetInfoItemCode(&item, kInfoCodeType, c.text, c.length), noErr);
  FInfo info{};
  ASSERT_EQ(FSpGetFInfo(&item, &info), noErr);
  EXPECT_EQ(info.fdType, c.expected);
  EXPECT_EQ(info.fdCreator, OSType{'oldC'});

  ASSERT_EQ(SetInfoItemCode(&item, kInfoCodeCreator, c.text, c.length), noErr);
  ASSERT_EQ(FSpGetFInfo(&item, &info), noErr);
  EXPECT_EQ(info.fdType, c.expected);
  EXPECT_EQ(info.fdCreator, c.expected);
  EXPECT_EQ(info.fdFlags, UInt16{kIsInvisible});
  EXPECT_EQ(Requests(), (std::vector<std::string>{"fndr/fupd doc.txt", "fndr/fupd doc.txt"}));
}

INSTANTIATE_TEST_SUITE_P(Texts, InfoCode, ::testing::ValuesIn(kCodes),
                         [](const auto& info) { return std::string(info.param.label); });

class InfoItem : public tb::test::InfoFixture {};

TEST_F(InfoItem, SameCodeIsStillWrittenAndAnnounced) {
  FSSpec item = MakeFile("Users/Shared/doc.txt");
  ASSERT_EQ(SetInfoItemCode(&item, kInfoCodeType, "TEXT", 4), noErr);
  Requests();
  ASSERT_EQ(SetInfoItemCode(&item, kInfoCodeType, "TEXT", 4), noErr);
  EXPECT_EQ(Requests(), Update("doc.txt"));
}

TEST_F(InfoItem, FolderGetsNoCodeAndNoRequest) {
  FSSpec folder = MakeFolder("Users/Shared/Box");
  UInt16 flags = FlagsOf(folder);
  EXPECT_NE(SetInfoItemCode(&folder, kInfoCodeType, "TEXT", 4), noErr);
  EXPECT_EQ(FlagsOf(folder), flags);
  EXPECT_TRUE(Requests().empty());
}

struct FlagCase {
  const char* label;
  bool folder;
  UInt16 mask;
};
void PrintTo(const FlagCase& c, std::ostream* os) {
  *os << c.label;
}

const FlagCase kFlags[] = {
    {"FileInvisible", false, kIsInvisible},    {"FileAlias", false, kIsAlias},
    {"FileCustomIcon", false, kHasCustomIcon}, {"FolderInvisible", true, kIsInvisible},
    {"FolderAlias", true, kIsAlias},           {"FolderCustomIcon", true, kHasCustomIcon},
};

class FlagToggle : public tb::test::InfoFixture, public ::testing::WithParamInterface<FlagCase> {};

TEST_P(FlagToggle, TogglesThatBitAloneAndBackAgain) {
  const FlagCase& c = GetParam();
  FSSpec item = c.folder ? MakeFolder("Users/Shared/Box") : MakeFile("Users/Shared/Box");
  const UInt16 start = kHasBundle | kNameLocked | kIsStationery;
  SetFlags(item, start);

  ASSERT_EQ(ToggleInfoItemFlag(&item, c.mask), noErr);
  EXPECT_EQ(FlagsOf(item), start | c.mask);
  EXPECT_FALSE(IsLocked(item));
  ASSERT_EQ(ToggleInfoItemFlag(&item, c.mask), noErr);
  EXPECT_EQ(FlagsOf(item), start);
  EXPECT_EQ(Requests(), (std::vector<std::string>{"fndr/fupd Box", "fndr/fupd Box"}));
}

INSTANTIATE_TEST_SUITE_P(Flags, FlagToggle, ::testing::ValuesIn(kFlags),
                         [](const auto& info) { return std::string(info.param.label); });

TEST_F(InfoItem, LockToggleLocksAndUnlocksFilesAndFolders) {
  for (bool folder : {false, true}) {
    SCOPED_TRACE(folder ? "folder" : "file");
    FSSpec item = folder ? MakeFolder("Users/Shared/Box") : MakeFile("Users/Shared/doc");
    SetFlags(item, kIsInvisible);
    ASSERT_EQ(ToggleInfoItemFlag(&item, kToggleLock), noErr);
    EXPECT_TRUE(IsLocked(item));
    FSSpec trash = item;  // a locked item cannot be deleted
    EXPECT_EQ(FSpDelete(&trash), fLckdErr);
    ASSERT_EQ(ToggleInfoItemFlag(&item, kToggleLock), noErr);
    EXPECT_FALSE(IsLocked(item));
    EXPECT_EQ(FlagsOf(item), UInt16{kIsInvisible});
    EXPECT_EQ(Requests().size(), 2u);
  }
}

// The lock guards name and contents, not the Finder's flags or codes.
TEST_F(InfoItem, LockedFileStillTakesFlagsAndCodes) {
  FSSpec item = MakeFile("Users/Shared/doc");
  ASSERT_EQ(FSpSetFLock(&item), noErr);
  EXPECT_EQ(ToggleInfoItemFlag(&item, kIsInvisible), noErr);
  EXPECT_EQ(FlagsOf(item), UInt16{kIsInvisible});
  EXPECT_EQ(SetInfoItemCode(&item, kInfoCodeType, "TEXT", 4), noErr);
  EXPECT_TRUE(IsLocked(item));
}

TEST_F(InfoItem, GoneItemGivesTheLookupErrorAndNoRequest) {
  FSSpec item = MakeFile("Users/Shared/doc");
  ASSERT_EQ(FSpDelete(&item), noErr);
  EXPECT_EQ(ToggleInfoItemFlag(&item, kIsInvisible), fnfErr);
  EXPECT_EQ(ToggleInfoItemFlag(&item, kToggleLock), fnfErr);
  EXPECT_TRUE(Requests().empty());
}

// A lock the file system refuses is reported, not passed off as done.
TEST_F(InfoItem, RefusedLockIsReported) {
  FSSpec root{};
  const unsigned char empty[1] = {0};
  ASSERT_EQ(FSMakeFSSpec(kVantorelSystemDiskVRefNum, fsRtDirID, empty, &root), noErr);
  ASSERT_EQ(SInt32{root.parID}, SInt32{fsRtParID});
  EXPECT_NE(ToggleInfoItemFlag(&root, kToggleLock), noErr);
  EXPECT_FALSE(IsLocked(root));
}

bool ExtensionHidden(const FSSpec& item) {
  FSRef ref;
  LSItemInfoRecord info{};
  EXPECT_EQ(FSpMakeFSRef(&item, &ref), noErr);
  EXPECT_EQ(LSCopyItemInfoForRef(&ref, kLSRequestExtensionFlagsOnly, &info), noErr);
  return (info.flags & kLSItemInfoExtensionIsHidden) != 0;
}

// Shown, hidden, shown again: the second toggle must see that the first one hid it.
TEST_F(InfoItem, ExtensionVisibilityToggles) {
  FSSpec item = MakeFile("Users/Shared/doc.txt");
  SetFlags(item, kIsInvisible);
  ToggleExtensionHidden(&item);
  EXPECT_TRUE(ExtensionHidden(item));
  ToggleExtensionHidden(&item);
  EXPECT_FALSE(ExtensionHidden(item));
  EXPECT_EQ(FlagsOf(item), UInt16{kIsInvisible});
  EXPECT_EQ(Requests(), (std::vector<std::string>{"fndr/fupd doc.txt", "fndr/fupd doc.txt"}));
}

TEST_F(InfoItem, ExtensionToggleOnGoneItemStillAsksForAnUpdate) {
  FSSpec item = MakeFile("Users/Shared/doc.txt");
  ASSERT_EQ(FSpDelete(&item), noErr);
  ToggleExtensionHidden(&item);
  EXPECT_FALSE(std::filesystem::exists(disk() / "Users/Shared/doc.txt"));
  EXPECT_FALSE(std::filesystem::exists(disk() / "Users/Shared/._doc.txt"));
  EXPECT_EQ(Requests(), Update("doc.txt"));
}

}  // namespace
