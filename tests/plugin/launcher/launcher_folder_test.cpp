// Launcher folder submenus: the applications and folders inside a folder, one level at a time.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "plugin/info/launcher_menu.h"
#include "plugin/menu/file_item.h"
#include "tests/plugin/launcher/launcher_support.h"
#include "toolbox/cf/string.h"
#include "toolbox/core/errors.h"
#include "toolbox/core/pascal.h"

namespace {

using tb::test::LauncherRow;
using tb::test::NameOf;
using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;

namespace fs = std::filesystem;

const std::string kNothing = "Nothing to show";
constexpr const char* kBox = "Users/Shared/Box";

class LauncherFolder : public tb::test::LauncherFixture {
 protected:
  std::vector<LauncherRow> List(const FSSpec& folder) {
    BuildLauncherFolderMenu(&folder, gLauncherMenus[2]);
    return tb::test::RowsOf(gLauncherMenus[2]);
  }
  // A plain file with Finder type 'APPL': an application without a bundle.
  FSSpec MakeAppFile(const std::string& relative, UInt16 flags = 0) {
    FSSpec spec = MakeFile(relative, "app");
    FInfo info{};
    EXPECT_EQ(FSpGetFInfo(&spec, &info), noErr);
    info.fdType = 'APPL';
    info.fdFlags |= flags;
    EXPECT_EQ(FSpSetFInfo(&spec, &info), noErr);
    return spec;
  }
};

enum class Entry { Document, DotApp, DotFolder, InvisibleApp, App, Folder, AppFile };

struct ContentsCase {
  const char* name;
  std::vector<Entry> entries;
  std::vector<std::string> expected;
};

class FolderContents : public LauncherFolder, public ::testing::WithParamInterface<ContentsCase> {};

TEST_P(FolderContents, ListsOnlyVisibleApplicationsAndFolders) {
  FSSpec box = MakeFolder(kBox);
  const std::string in = std::string(kBox) + "/";
  for (Entry entry : GetParam().entries) {
    switch (entry) {
      case Entry::Document:
        MakeFile(in + "notes.txt", "text");
        break;
      case Entry::DotApp:
        MakeApplication(in + ".Hidden.app");
        break;
      case Entry::DotFolder:
        MakeFolder(in + ".cache");
        break;
      case Entry::InvisibleApp:
        MakeAppFile(in + "Secret", kIsInvisible);
        break;
      case Entry::App:
        MakeApplication(in + "Tool.app");
        break;
      case Entry::Folder:
        MakeFolder(in + "Sub");
        break;
      case Entry::AppFile:
        MakeAppFile(in + "Classic");
        break;
    }
  }
  std::vector<LauncherRow> rows = List(box);
  // Catalog order: whatever the folder gives.
  EXPECT_THAT(tb::test::TextsOf(rows), ::testing::UnorderedElementsAreArray(GetParam().expected));
  if (GetParam().expected == std::vector<std::string>{kNothing}) {
    EXPECT_FALSE(rows[0].enabled);
    EXPECT_EQ(rows[0].command, 0u);
    EXPECT_FALSE(rows[0].hasRecord);
  }
}

const ContentsCase kContentsCases[] = {
    {"Empty", {}, {kNothing}},
    {"OnlyDocuments", {Entry::Document}, {kNothing}},
    {"OnlyHiddenOrDotNamed", {Entry::DotApp, Entry::DotFolder, Entry::InvisibleApp}, {kNothing}},
    {"ApplicationsAndFoldersAmongOthers",
     {Entry::Document, Entry::DotApp, Entry::InvisibleApp, Entry::App, Entry::Folder,
      Entry::AppFile},
     {"Classic", "Sub", "Tool.app"}},
};
INSTANTIATE_TEST_SUITE_P(Cases, FolderContents, ::testing::ValuesIn(kContentsCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LauncherFolder, FoldersOpenSubmenusApplicationsNever) {
  FSSpec box = MakeFolder(kBox);
  MakeApplication(std::string(kBox) + "/Tool.app");
  MakeFolder(std::string(kBox) + "/Sub");
  std::vector<LauncherRow> rows = List(box);
  ASSERT_THAT(tb::test::TextsOf(rows), UnorderedElementsAre("Sub", "Tool.app"));
  if (rows[0].text != "Sub") std::swap(rows[0], rows[1]);
  for (const LauncherRow& row : rows) {
    EXPECT_EQ(row.command, static_cast<MenuCommand>('oPt0'));
    EXPECT_EQ(row.indent, 1u);
    EXPECT_EQ(row.style, 0);
    EXPECT_TRUE(row.hasRecord);
    EXPECT_FALSE(row.hasProcess);
  }
  EXPECT_EQ(rows[0].submenu, gLauncherMenus[kLauncherPlaceholder]);
  EXPECT_TRUE(rows[0].parentChoosable);
  EXPECT_EQ(rows[1].submenu, nullptr);
  EXPECT_FALSE(rows[1].parentChoosable);
}

TEST_F(LauncherFolder, AliasesAreListedAsTheirTargets) {
  FSSpec box = MakeFolder(kBox);
  FSSpec app = MakeApplication("Applications/Editor.app");
  FSSpec folder = MakeFolder("Users/Shared/Projects");
  MakeAlias(app, std::string(kBox) + "/Editor alias");
  MakeAlias(folder, std::string(kBox) + "/Projects alias");
  MakeAlias(MakeFile("Users/Shared/notes.txt"), std::string(kBox) + "/notes alias");

  std::vector<LauncherRow> rows = List(box);
  ASSERT_THAT(tb::test::TextsOf(rows), UnorderedElementsAre("Editor.app", "Projects"));
  const MenuItemIndex editor = rows[0].text == "Editor.app" ? 1 : 2;
  const MenuItemIndex projects = 3 - editor;
  FSSpec spec;
  ASSERT_TRUE(ReadFileItem(gLauncherMenus[2], editor, &spec));
  EXPECT_EQ(SInt32{spec.parID}, SInt32{app.parID});
  EXPECT_EQ(NameOf(spec), "Editor.app");
  EXPECT_EQ(rows[editor - 1].submenu, nullptr);
  ASSERT_TRUE(ReadFileItem(gLauncherMenus[2], projects, &spec));
  EXPECT_EQ(SInt32{spec.parID}, SInt32{folder.parID});
  EXPECT_EQ(NameOf(spec), "Projects");
  EXPECT_EQ(rows[projects - 1].submenu, gLauncherMenus[kLauncherPlaceholder]);
}

TEST_F(LauncherFolder, AnAliasNamedLikeADotItemIsJudgedByItsTarget) {
  FSSpec box = MakeFolder(kBox);
  MakeAlias(MakeApplication("Applications/Editor.app"), std::string(kBox) + "/Editor alias");
  MakeAlias(MakeFolder("Users/Shared/.private"), std::string(kBox) + "/Private alias");
  EXPECT_THAT(tb::test::TextsOf(List(box)), ElementsAre("Editor.app"));
}

TEST_F(LauncherFolder, AFolderThatCannotBeReadLeavesTheSubmenuEmpty) {
  AppendMenuItemTextWithCFString(gLauncherMenus[2], CFSTR("old"), 0, 0, nullptr);
  FSSpec gone = MakeFolder("Users/Shared/Gone");
  fs::remove(disk() / "Users/Shared/Gone");
  EXPECT_TRUE(List(gone).empty());

  // A file is no folder: nothing to list, rather than its record read as a folder's.
  FSSpec file = MakeFile("Users/Shared/file.txt", "text");
  EXPECT_TRUE(List(file).empty());
}

TEST_F(LauncherFolder, IconsFollowThePreference) {
  FSSpec box = MakeFolder(kBox);
  MakeApplication(std::string(kBox) + "/Tool.app");
  MakeFolder(std::string(kBox) + "/Sub");
  ShowIcons(false);
  for (const LauncherRow& row : List(box)) EXPECT_EQ(row.icon, nullptr) << row.text;
  ShowIcons(true);
  for (const LauncherRow& row : List(box)) EXPECT_NE(row.icon, nullptr) << row.text;
}

}  // namespace

namespace {

class LauncherItem : public tb::test::LauncherFixture {};

TEST_F(LauncherItem, CarriesTheProcessItIsGivenAndNothingForAVanishedItem) {
  MenuRef menu = gLauncherMenus[2];
  FSSpec app = MakeApplication("Applications/Tool.app");
  const ProcessSerialNumber psn = {0, 4242};
  EXPECT_TRUE(AddLauncherItem(menu, &app, true, true, &psn));
  std::vector<LauncherRow> rows = tb::test::RowsOf(menu);
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_TRUE(rows[0].hasProcess);
  EXPECT_EQ(rows[0].process.lowLongOfPSN, 4242u);
  EXPECT_EQ(rows[0].submenu, nullptr);  // an application never opens a submenu

  FSSpec gone = MakeFolder("Users/Shared/Gone");
  fs::remove(disk() / "Users/Shared/Gone");
  EXPECT_FALSE(AddLauncherItem(menu, &gone, false, true, nullptr));
  EXPECT_EQ(CountMenuItems(menu), 1u);
}

TEST_F(LauncherItem, AFullMenuTakesNothingAndSaysSo) {
  MenuRef menu = gLauncherMenus[2];
  while (CountMenuItems(menu) < 0xFFFF) AppendMenu(menu, tb::PStr("x"));
  FSSpec folder = MakeFolder("Users/Shared/Projects");
  EXPECT_FALSE(AddLauncherItem(menu, &folder, false, true, nullptr));
  // The last item that was there got no record of the item that was not appended.
  UInt32 size = 0;
  EXPECT_NE(GetMenuItemPropertySize(menu, 0xFFFF, 'QVRL', 'vref', &size), noErr);
  MenuRef submenu = nullptr;
  GetMenuItemHierarchicalMenu(menu, 0xFFFF, &submenu);
  EXPECT_EQ(submenu, nullptr);
}

}  // namespace
