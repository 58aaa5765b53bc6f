// Folder listings: what is listed, where it goes in the menu, and which items get a submenu.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "plugin/menu/file_item.h"
#include "plugin/menu/folder_menu.h"
#include "plugin/menu/menu_pool.h"
#include "plugin/prefs/preferences.h"
#include "tests/plugin/listing/listing_fixture.h"
#include "toolbox/cf/string.h"
#include "toolbox/core/errors.h"

namespace listing {
namespace {

class FolderMenu : public ListingFixture {
 protected:
  MenuRef submenu() const { return gMenuPool[2]; }
  std::vector<std::string> SortedTexts(MenuRef menu) const {
    std::vector<std::string> texts = Texts(menu);
    std::sort(texts.begin(), texts.end());
    return texts;
  }
};

// Where the listing goes: a submenu of its own (first index 1), or after the root's items,
// indented and with messages under headers only there.
struct PlacementCase {
  const char* name;
  MenuItemIndex firstIndex;
  bool indent;
  bool icons;
  bool empty;
};

void PrintTo(const PlacementCase& c, std::ostream* os) {
  *os << c.name;
}

class FolderMenuPlacement : public FolderMenu,
                            public ::testing::WithParamInterface<PlacementCase> {};

TEST_P(FolderMenuPlacement, IndentsAndStylesOnlyInTheRootWithHeaders) {
  const PlacementCase& c = GetParam();
  SetPrefs(c.icons ? kPrefMenuDefaults : kPrefMenuDefaults & ~kPrefShowIcons);
  FSSpec folder = MakeFolder("Users/Shared/Docs");
  if (!c.empty) MakeFile("Users/Shared/Docs/a.txt");
  // Items a caller left before the listing.
  for (MenuItemIndex i = 1; i < c.firstIndex; ++i) {
    AppendMenuItemTextWithCFString(root(), CFSTR("kept"), 0, 0, nullptr);
  }
  std::vector<Row> before = Rows(root());

  BuildFolderMenu(&folder, root(), c.firstIndex, c.indent);

  const bool indented = c.firstIndex > 1 && c.indent;
  std::vector<Row> expected = before;
  if (c.empty) {
    expected.push_back(Message("message06", indented, c.icons));
  } else {
    expected.push_back(File("a.txt", indented ? 1 : 0, c.icons ? Icon::file : Icon::none));
  }
  EXPECT_EQ(Rows(root()), expected);
}

INSTANTIATE_TEST_SUITE_P(
    AllPlacements, FolderMenuPlacement,
    ::testing::Values(PlacementCase{"Submenu", 1, false, true, false},
                      PlacementCase{"SubmenuAskedToIndent", 1, true, true, false},
                      PlacementCase{"RootWithoutHeaders", 3, false, true, false},
                      PlacementCase{"RootWithHeaders", 3, true, true, false},
                      PlacementCase{"EmptySubmenu", 1, false, true, true},
                      PlacementCase{"EmptySubmenuAskedToIndent", 1, true, true, true},
                      PlacementCase{"EmptyRootWithoutHeaders", 3, false, true, true},
                      PlacementCase{"EmptyRootWithHeaders", 3, true, true, true},
                      PlacementCase{"EmptyRootWithHeadersNoIcons", 3, true, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FolderMenu, FirstIndexOneReplacesAnEarlierListing) {
  FSSpec many = MakeFolder("Users/Shared/Many");
  for (const char* name : {"1.txt", "2.txt", "3.txt"})
    MakeFile(std::string("Users/Shared/Many/") + name);
  FSSpec one = MakeFolder("Users/Shared/One");
  MakeFile("Users/Shared/One/only.txt");

  BuildFolderMenu(&many, submenu(), 1, false);
  ASSERT_EQ(CountMenuItems(submenu()), 3);
  BuildFolderMenu(&one, submenu(), 1, false);
  EXPECT_EQ(Texts(submenu()), std::vector<std::string>{"only.txt"});

  FSSpec item;
  ASSERT_TRUE(ReadFileItem(submenu(), 1, &item));
  FSSpec expected = SpecOf(disk() / "Users/Shared/One/only.txt");
  EXPECT_EQ(SInt32{item.parID}, SInt32{expected.parID});
  EXPECT_EQ(std::string(reinterpret_cast<char*>(item.name + 1), item.name[0]), "only.txt");
}

TEST_F(FolderMenu, EveryItemCarriesItsOwnRecord) {
  FSSpec folder = MakeFolder("Users/Shared/Docs");
  MakeFolder("Users/Shared/Docs/Sub");
  MakeFile("Users/Shared/Docs/a.txt");
  MakeFile("Users/Shared/Docs/b.txt");
  BuildFolderMenu(&folder, submenu(), 1, false);
  ASSERT_EQ(CountMenuItems(submenu()), 3);
  for (MenuItemIndex i = 1; i <= 3; ++i) {
    FSSpec item;
    ASSERT_TRUE(ReadFileItem(submenu(), i, &item));
    std::string name(reinterpret_cast<char*>(item.name + 1), item.name[0]);
    EXPECT_EQ(RowAt(submenu(), i).text, name);
    FSSpec expected = SpecOf(disk() / "Users/Shared/Docs" / name);
    EXPECT_EQ(SInt32{item.parID}, SInt32{expected.parID});
  }
}

// The disk itself is named by its parent 1 and the volume's name.
TEST_F(FolderMenu, VolumeRootListsTheTopLevel) {
  FSSpec volume = SpecOf(disk());
  ASSERT_EQ(SInt32{volume.parID}, 1);
  BuildFolderMenu(&volume, submenu(), 1, false);
  EXPECT_EQ(SortedTexts(submenu()), (std::vector<std::string>{"Applications", "Library", "Users"}));
}

TEST_F(FolderMenu, MissingFolderListsNothingToShow) {
  FSSpec gone = MakeFolder("Users/Shared/Gone");
  std::filesystem::remove(disk() / "Users/Shared/Gone");
  BuildFolderMenu(&gone, submenu(), 1, false);
  EXPECT_EQ(Rows(submenu()), std::vector<Row>{Message("message06", false, true)});
}

// Entry indexes are signed 16-bit: past 32,767 they turn negative, which names the folder
// itself. A child named like the folder must then not be listed again for every such index.
TEST_F(FolderMenu, IndexesStopWhereTheyWouldNameTheFolderItself) {
  FSSpec folder = MakeFolder("Users/Shared/Big");
  MakeFile("Users/Shared/Big/Big");
  for (int i = 0; i < 32768; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "f%05d", i);
    tb::test::WriteText(disk() / "Users/Shared/Big" / name, "");
  }
  SetPrefs(kPrefMenuDefaults & ~kPrefShowIcons);

  BuildFolderMenu(&folder, submenu(), 1, false);
  ASSERT_EQ(CountMenuItems(submenu()), 32767);
  Str255 text;
  int named = 0;
  for (MenuItemIndex i = 1; i <= 32767; ++i) {
    GetMenuItemText(submenu(), i, text);
    if (text[0] == 3 && std::memcmp(text + 1, "Big", 3) == 0) ++named;
  }
  EXPECT_LE(named, 1);
}

// Hidden entries: the invisible Finder flag (files and folders) and names starting with ".".
struct HiddenCase {
  const char* name;
  bool withVisible;
  bool showInvisibles;
  std::vector<std::string> expected;  // sorted; "message06" for the message
};

void PrintTo(const HiddenCase& c, std::ostream* os) {
  *os << c.name;
}

class FolderMenuHidden : public FolderMenu, public ::testing::WithParamInterface<HiddenCase> {};

TEST_P(FolderMenuHidden, ListsHiddenEntriesOnlyWhenAsked) {
  const HiddenCase& c = GetParam();
  FSSpec folder = MakeFolder("Users/Shared/Docs");
  MakeInvisible(MakeFile("Users/Shared/Docs/secret.txt"));
  MakeInvisible(MakeFolder("Users/Shared/Docs/Secret Folder"));
  MakeFile("Users/Shared/Docs/.profile");  // visible by its flags, hidden by its name
  MakeFolder("Users/Shared/Docs/.cache");
  if (c.withVisible) MakeFile("Users/Shared/Docs/shown.txt");
  SetPrefs(c.showInvisibles ? kPrefMenuDefaults | kPrefShowInvisibles : kPrefMenuDefaults);

  BuildFolderMenu(&folder, submenu(), 1, false);
  std::vector<std::string> expected;
  for (const std::string& text : c.expected) {
    expected.push_back(text == "message06" ? Localized("message06") : text);
  }
  EXPECT_EQ(SortedTexts(submenu()), expected);
}

INSTANTIATE_TEST_SUITE_P(
    AllCases, FolderMenuHidden,
    ::testing::Values(
        HiddenCase{"OnlyHidden", false, false, {"message06"}},
        HiddenCase{
            "OnlyHiddenShown", false, true, {".cache", ".profile", "Secret Folder", "secret.txt"}},
        HiddenCase{"Mixed", true, false, {"shown.txt"}},
        HiddenCase{"MixedShown",
                   true,
                   true,
                   {".cache", ".profile", "Secret Folder", "secret.txt", "shown.txt"}}),
    [](const auto& info) { return std::string(info.param.name); });

// Which listed entries open a submenu, and how aliases look.
enum class Entry {
  folder,
  package,
  aliasToFolder,
  aliasToPackage,
  aliasChainToFolder,
  aliasToGoneFolder,
  symlinkToFolder,
  file,
  aliasToFile
};

struct SubmenuCase {
  const char* name;
  Entry entry;
  bool resolveAliases;
  bool packageSubmenus;
  UInt8 stylePrefs;
  bool expectSubmenu;
  Style expectStyle;
};

void PrintTo(const SubmenuCase& c, std::ostream* os) {
  *os << c.name;
}

class FolderMenuSubmenus : public FolderMenu, public ::testing::WithParamInterface<SubmenuCase> {
 protected:
  // Makes the entry in "Docs" (its targets elsewhere) and returns its name.
  std::string MakeEntry(Entry entry) {
    FSSpec target = MakeFolder("Users/Shared/Target");
    MakeFile("Users/Shared/Target/inside.txt");
    FSSpec app = MakeFolder("Applications/Tool.app");
    FSSpec file = MakeFile("Users/Shared/target.txt");
    switch (entry) {
      case Entry::folder:
        MakeFolder("Users/Shared/Docs/Folder");
        return "Folder";
      case Entry::package:
        MakeFolder("Users/Shared/Docs/Tool.app");
        return "Tool.app";
      case Entry::aliasToFolder:
        MakeAlias(target, "Users/Shared/Docs/Target alias");
        return "Target alias";
      case Entry::aliasToPackage:
        MakeAlias(app, "Users/Shared/Docs/Tool alias");
        return "Tool alias";
      case Entry::aliasChainToFolder:
        MakeAlias(MakeAlias(target, "Users/Shared/Target alias"),
                  "Users/Shared/Docs/Target alias alias");
        return "Target alias alias";
      case Entry::aliasToGoneFolder: {
        FSSpec gone = MakeFolder("Users/Shared/Gone");
        MakeAlias(gone, "Users/Shared/Docs/Gone alias");
        std::filesystem::remove(disk() / "Users/Shared/Gone");
        return "Gone alias";
      }
      case Entry::symlinkToFolder:
        std::filesystem::create_symlink("../Target", disk() / "Users/Shared/Docs/Target link");
        return "Target link";
      case Entry::file:
        MakeFile("Users/Shared/Docs/file.txt");
        return "file.txt";
      case Entry::aliasToFile:
        MakeAlias(file, "Users/Shared/Docs/target alias");
        return "target alias";
    }
    return "";
  }
};

TEST_P(FolderMenuSubmenus, SubmenuFollowsWhatTheEntryLeadsTo) {
  const SubmenuCase& c = GetParam();
  FSSpec folder = MakeFolder("Users/Shared/Docs");
  std::string name = MakeEntry(c.entry);
  UInt8 prefs = kPrefMenuDefaults & ~kPrefShowIcons & ~kPrefResolveAliases;
  if (c.resolveAliases) prefs |= kPrefResolveAliases;
  if (c.packageSubmenus) prefs |= kPrefPackageSubmenus;
  SetPrefs(prefs, c.stylePrefs);

  BuildFolderMenu(&folder, submenu(), 1, false);
  // The entry itself is listed and recorded, never its target.
  EXPECT_EQ(Rows(submenu()),
            std::vector<Row>{File(name, 0, Icon::none,
                                  c.expectSubmenu ? Submenu::placeholder : Submenu::none,
                                  c.expectStyle)});
  FSSpec item;
  ASSERT_TRUE(ReadFileItem(submenu(), 1, &item));
  EXPECT_EQ(std::string(reinterpret_cast<char*>(item.name + 1), item.name[0]), name);
  if (c.expectSubmenu) {
    MenuItemAttributes attributes = 0;
    GetMenuItemAttributes(submenu(), 1, &attributes);
    EXPECT_TRUE(attributes & kMenuItemAttrSubmenuParentChoosable);
  }
}

constexpr Style kItalic = kItemStyleItalic;

INSTANTIATE_TEST_SUITE_P(
    AllEntries, FolderMenuSubmenus,
    ::testing::Values(
        SubmenuCase{"Folder", Entry::folder, true, false, 0, true, 0},
        SubmenuCase{"FolderNotResolving", Entry::folder, false, false, 0, true, 0},
        SubmenuCase{"Package", Entry::package, true, false, 0, false, 0},
        SubmenuCase{"PackageWithPackageSubmenus", Entry::package, true, true, 0, true, 0},
        SubmenuCase{"AliasToFolder", Entry::aliasToFolder, true, false, 0, true, kItalic},
        SubmenuCase{"AliasToFolderNotResolving", Entry::aliasToFolder, false, false, 0, false,
                    kItalic},
        // The package test looks at the alias file, which is no package.
        SubmenuCase{"AliasToPackage", Entry::aliasToPackage, true, false, 0, true, kItalic},
        // One step only: the target is the second alias file, not a folder.
        SubmenuCase{"AliasChainToFolder", Entry::aliasChainToFolder, true, false, 0, false,
                    kItalic},
        SubmenuCase{"AliasToGoneFolder", Entry::aliasToGoneFolder, true, false, 0, false, kItalic},
        // Links are files in the catalog; the link rule styles them whatever resolved them.
        SubmenuCase{"SymlinkToFolder", Entry::symlinkToFolder, true, false, kPrefStyleSymlinks,
                    true, kItemStyleBoldItalic},
        SubmenuCase{"SymlinkToFolderNotResolving", Entry::symlinkToFolder, false, false,
                    kPrefStyleSymlinks, false, kItemStyleBoldItalic},
        SubmenuCase{"File", Entry::file, true, false, 0, false, 0},
        SubmenuCase{"AliasToFile", Entry::aliasToFile, true, false, 0, false, kItalic}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace listing
