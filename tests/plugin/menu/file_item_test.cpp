// File items: how a menu item is appended for a file or folder and read back.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstring>

#include "plugin/menu/file_item.h"
#include "plugin/menu/menu_pool.h"
#include "plugin/prefs/preferences.h"
#include "tests/support/plugin_fixture.h"
#include "toolbox/cf/string.h"
#include "toolbox/core/errors.h"

namespace {

constexpr UInt8 kAllStyles = kPrefStyleSymlinks | kPrefBoldApplications;

class FileItems : public tb::test::PluginFixture {
 protected:
  void SetUp() override {
    PluginFixture::SetUp();
    for (MenuRef& m : gMenuPool) CreateNewMenu(0, 0, &m);
    menu_ = gMenuPool[kPoolRoot];
  }
  void TearDown() override {
    for (MenuRef& m : gMenuPool) {
      DisposeMenu(m);
      m = nullptr;
    }
    PluginFixture::TearDown();
  }

  void SetPrefs(UInt8 menuByte, UInt8 styleByte) {
    gPrefs[kPrefsMenuByte] = menuByte;
    gPrefs[kPrefsStyleByte] = styleByte;
  }
  void SetFinderFlags(const FSSpec& spec, OSType type, UInt16 flags) {
    FInfo info;
    ASSERT_EQ(FSpGetFInfo(&spec, &info), noErr);
    info.fdType = type;
    info.fdFlags = flags;
    ASSERT_EQ(FSpSetFInfo(&spec, &info), noErr);
  }
  // Appends `spec` as the next item and returns its index.
  MenuItemIndex Append(const FSSpec& spec, bool offerSubmenu, bool viaAlias = false) {
    auto index = static_cast<MenuItemIndex>(CountMenuItems(menu_) + 1);
    EXPECT_TRUE(AppendFileItem(menu_, index, &spec, offerSubmenu, viaAlias));
    return index;
  }
  Style StyleOf(MenuItemIndex index) {
    Style style = 0;
    GetItemStyle(menu_, index, &style);
    return style;
  }
  MenuRef SubmenuOf(MenuItemIndex index) {
    MenuRef submenu = nullptr;
    GetMenuItemHierarchicalMenu(menu_, index, &submenu);
    return submenu;
  }

  MenuRef menu_ = nullptr;
};

TEST_F(FileItems, RecordCarriesVolumeNameAndParent) {
  FSSpec file = MakeFile("Users/Shared/report.txt", "text");
  SetPrefs(kPrefMenuDefaults, 0);
  MenuItemIndex index = Append(file, false);

  CFStringRef text = nullptr;
  CopyMenuItemTextAsCFString(menu_, index, &text);
  EXPECT_EQ(tb::Utf8FromCFString(text), "report.txt");
  CFRelease(text);
  MenuCommand command = 0;
  GetMenuItemCommandID(menu_, index, &command);
  EXPECT_EQ(command, kCommandOpenItem);

  UInt32 size = 0;
  GetMenuItemPropertySize(menu_, index, kItemPropCreator, kItemPropVolume, &size);
  EXPECT_EQ(size, 2u);
  GetMenuItemPropertySize(menu_, index, kItemPropCreator, kItemPropName, &size);
  EXPECT_EQ(size, file.name[0] + 1u);
  URefCon refCon = 0;
  GetMenuItemRefCon(menu_, index, &refCon);
  EXPECT_EQ(refCon, static_cast<URefCon>(SInt32{file.parID}));

  FSSpec back;
  ASSERT_TRUE(ReadFileItem(menu_, index, &back));
  EXPECT_EQ(back.vRefNum, file.vRefNum);
  EXPECT_EQ(SInt32{back.parID}, SInt32{file.parID});
  EXPECT_EQ(std::memcmp(back.name, file.name, file.name[0] + 1), 0);

  std::filesystem::remove(disk() / "Users/Shared/report.txt");
  EXPECT_FALSE(ReadFileItem(menu_, index, &back));
}

TEST_F(FileItems, ItemsThatAreNotFileItemsReadAsNothing) {
  AppendMenuItemTextWithCFString(menu_, CFSTR("Header"), 0, 0, nullptr);
  FSSpec out;
  EXPECT_FALSE(ReadFileItem(menu_, 1, &out));
}

TEST_F(FileItems, VanishedItemTakesNoIndex) {
  FSSpec gone = MakeFile("Users/Shared/gone.txt");
  std::filesystem::remove(disk() / "Users/Shared/gone.txt");
  EXPECT_FALSE(AppendFileItem(menu_, 1, &gone, false, false));
  EXPECT_EQ(CountMenuItems(menu_), 0);
}

TEST_F(FileItems, IconsFollowThePreference) {
  FSSpec file = MakeFile("Users/Shared/a.txt");
  SetPrefs(kPrefMenuDefaults, 0);
  MenuItemIndex withIcon = Append(file, false);
  SetPrefs(kPrefMenuDefaults & ~kPrefShowIcons, 0);
  MenuItemIndex without = Append(file, false);

  UInt8 type = 0;
  Handle icon = nullptr;
  GetMenuItemIconHandle(menu_, withIcon, &type, &icon);
  EXPECT_EQ(type, kMenuIconRefType);
  EXPECT_NE(icon, nullptr);
  icon = nullptr;
  GetMenuItemIconHandle(menu_, without, &type, &icon);
  EXPECT_EQ(icon, nullptr);
}

struct SubmenuCase {
  const char* name;
  const char* path;  // relative to the system disk; a trailing '/' makes a folder
  UInt8 menuPrefs;
  bool offerSubmenu;
  bool expectSubmenu;
};

void PrintTo(const SubmenuCase& c, std::ostream* os) {
  *os << c.name;
}

class FileItemSubmenus : public FileItems, public ::testing::WithParamInterface<SubmenuCase> {};

TEST_P(FileItemSubmenus, SubmenuOnlyWhereOffered) {
  const SubmenuCase& c = GetParam();
  std::string path = c.path;
  FSSpec spec = path.back() == '/' ? MakeFolder(path.substr(0, path.size() - 1)) : MakeFile(path);
  SetPrefs(c.menuPrefs, 0);
  MenuItemIndex index = Append(spec, c.offerSubmenu);

  MenuItemAttributes attributes = 0;
  GetMenuItemAttributes(menu_, index, &attributes);
  if (c.expectSubmenu) {
    EXPECT_EQ(SubmenuOf(index), gMenuPool[kPoolPlaceholder]);
    EXPECT_TRUE(attributes & kMenuItemAttrSubmenuParentChoosable);  // still choosable itself
  } else {
    EXPECT_EQ(SubmenuOf(index), nullptr);
    EXPECT_FALSE(attributes & kMenuItemAttrSubmenuParentChoosable);
  }
}

constexpr UInt8 kWithPackages = kPrefMenuDefaults | kPrefPackageSubmenus;
constexpr UInt8 kNoSubmenus = kPrefMenuDefaults & ~kPrefFolderSubmenus;

INSTANTIATE_TEST_SUITE_P(
    Cases, FileItemSubmenus,
    ::testing::Values(
        SubmenuCase{"Folder", "Users/Shared/Docs/", kPrefMenuDefaults, true, true},
        SubmenuCase{"FolderSubmenusOff", "Users/Shared/Docs/", kNoSubmenus, true, false},
        SubmenuCase{"PackageWithoutPref", "Applications/Tool.app/", kPrefMenuDefaults, true, false},
        SubmenuCase{"PackageWithPref", "Applications/Tool.app/", kWithPackages, true, true},
        SubmenuCase{"FileNotOffered", "Users/Shared/a.txt", kPrefMenuDefaults, false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FileItems, StylePrecedenceEndsWithApplications) {
  // A symbolic link that is also an application (its own Finder info says 'APPL').
  MakeFile("Applications/Real Tool", "");
  std::filesystem::create_symlink("Real Tool", disk() / "Applications/Tool Link");
  FSSpec link = SpecOf(disk() / "Applications/Tool Link");
  SetFinderFlags(link, 'APPL', 0);

  SetPrefs(kPrefMenuDefaults, kAllStyles);
  EXPECT_EQ(StyleOf(Append(link, false)), kItemStyleBold);
  SetPrefs(kPrefMenuDefaults, kPrefStyleSymlinks);
  EXPECT_EQ(StyleOf(Append(link, false)), kItemStyleBoldItalic);
  SetPrefs(kPrefMenuDefaults & ~kPrefItalicAliases, 0);
  EXPECT_EQ(StyleOf(Append(link, false)), kItemStyleNormal);
}

TEST_F(FileItems, AliasFilesAreItalicWhetherOrNotResolved) {
  FSSpec alias = MakeFile("Users/Shared/Docs alias");
  SetFinderFlags(alias, 'fdrp', kIsAlias);
  FSSpec plain = MakeFile("Users/Shared/plain.txt");

  SetPrefs(kPrefMenuDefaults, 0);
  EXPECT_EQ(StyleOf(Append(alias, false, false)), kItemStyleItalic);
  EXPECT_EQ(StyleOf(Append(alias, true, true)), kItemStyleItalic);
  EXPECT_EQ(StyleOf(Append(plain, false, true)), kItemStyleItalic);  // found through an alias
  EXPECT_EQ(StyleOf(Append(plain, false, false)), kItemStyleNormal);
  SetPrefs(kPrefMenuDefaults & ~kPrefItalicAliases, 0);
  EXPECT_EQ(StyleOf(Append(alias, false, true)), kItemStyleNormal);
}

TEST_F(FileItems, PoolLevelsHaveAChildUpToTheDeepest) {
  EXPECT_EQ(ChildMenuOf(gMenuPool[kPoolRoot]), gMenuPool[2]);
  EXPECT_EQ(ChildMenuOf(gMenuPool[24]), gMenuPool[kPoolDeepest]);
  EXPECT_EQ(ChildMenuOf(gMenuPool[kPoolDeepest]), nullptr);
  EXPECT_EQ(ChildMenuOf(gMenuPool[kPoolPlaceholder]), nullptr);
  MenuRef outside = nullptr;
  CreateNewMenu(0, 0, &outside);
  EXPECT_EQ(ChildMenuOf(outside), nullptr);
  EXPECT_EQ(ChildMenuOf(nullptr), nullptr);
  DisposeMenu(outside);
}

}  // namespace
