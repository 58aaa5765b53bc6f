// The launcher's pop-up menu: running applications, the launch-items file, the application
// folders.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <climits>
#include <filesystem>

#include "plugin/info/launcher_menu.h"
#include "plugin/menu/file_item.h"
#include "tests/plugin/launcher/launcher_support.h"
#include "tests/support/child_process.h"
#include "toolbox/cf/string.h"
#include "toolbox/core/errors.h"
#include "toolbox/processes/processes.h"

namespace {

using tb::test::LauncherRow;
using tb::test::NameOf;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace fs = std::filesystem;

// The bundle's texts.
const std::string kTitle = "Open With";
const std::string kRunning = "Running Applications";
const std::string kLaunchItems = "Launch Items";
const std::string kFolders = "Application Folders";
const std::string kNothing = "Nothing to show";
const std::string kNoFolders = "No application folders";

class LauncherMenu : public tb::test::LauncherFixture {
 protected:
  void SetUp() override {
    LauncherFixture::SetUp();
    tool_ = MakeApplication("Applications/Tool.app");
    projects_ = MakeFolder("Users/Shared/Projects");
    notes_ = MakeFile("Users/Shared/notes.txt", "notes");
  }

  // The rows between the running applications and the application folders.
  std::vector<std::string> LaunchSection() {
    std::vector<std::string> texts = PopUpTexts();
    auto header = std::find(texts.begin(), texts.end(), kRunning);
    auto folders = std::find(texts.begin(), texts.end(), kFolders);
    EXPECT_NE(header, texts.end());
    EXPECT_NE(folders, texts.end());
    if (header == texts.end() || folders == texts.end()) return {};
    return std::vector<std::string>(header + 1, folders - 1);  // the separator before the header
  }

  FSSpec tool_{};
  FSSpec projects_{};
  FSSpec notes_{};
};

TEST_F(LauncherMenu, LaysOutTitleHeadersAndTheApplicationFolders) {
  std::vector<LauncherRow> rows = BuildPopUp();
  ASSERT_THAT(tb::test::TextsOf(rows),
              ElementsAre(kTitle, "---", kRunning, "---", kFolders, "Applications", "Utilities"));
  EXPECT_EQ(rows[0].style, 3);
  EXPECT_TRUE(rows[0].enabled);
  EXPECT_EQ(rows[0].command, 0u);
  for (size_t header : {2u, 4u}) {
    EXPECT_EQ(rows[header].style, 1);
    EXPECT_FALSE(rows[header].enabled);
  }
  const char* paths[] = {"Applications", "Applications/Utilities"};
  for (size_t i = 0; i < 2; ++i) {
    const LauncherRow& row = rows[5 + i];
    EXPECT_EQ(row.command, static_cast<MenuCommand>('oPt0'));
    EXPECT_EQ(row.indent, 1u);
    EXPECT_EQ(row.style, 0);
    EXPECT_EQ(row.submenu, gLauncherMenus[kLauncherPlaceholder]);
    EXPECT_TRUE(row.parentChoosable);
    EXPECT_FALSE(row.hasProcess);
    FSSpec spec;
    ASSERT_TRUE(ReadFileItem(gLauncherMenus[kLauncherPopUp], 6 + i, &spec));
    FSSpec expected = SpecOf(disk() / paths[i]);
    EXPECT_EQ(SInt32{spec.parID}, SInt32{expected.parID});
    EXPECT_EQ(NameOf(spec), NameOf(expected));
  }
}

TEST_F(LauncherMenu, AFolderItemsRecordListsThatFolderOneLevelDown) {
  BuildPopUp();
  FSSpec applications;
  ASSERT_TRUE(ReadFileItem(gLauncherMenus[kLauncherPopUp], 6, &applications));
  BuildLauncherFolderMenu(&applications, gLauncherMenus[2]);
  EXPECT_THAT(tb::test::TextsOf(tb::test::RowsOf(gLauncherMenus[2])),
              ::testing::UnorderedElementsAre("Tool.app", "Utilities"));
}

TEST_F(LauncherMenu, RebuildingReplacesWhatTheMenuHeld) {
  AppendMenuItemTextWithCFString(gLauncherMenus[kLauncherPopUp], CFSTR("old"), 0, 0, nullptr);
  BuildPopUp();
  EXPECT_EQ(PopUpTexts().front(), kTitle);
  EXPECT_EQ(PopUpTexts().size(), 7u);
}

struct FolderCase {
  const char* name;
  std::vector<const char*> folders;  // made on the system disk
  std::vector<const char*> files;
  std::vector<std::string> expected;  // the rows after the folders' header
};

class ApplicationFolders : public tb::test::LauncherFixture,
                           public ::testing::WithParamInterface<FolderCase> {};

TEST_P(ApplicationFolders, EachIsListedOnlyWhenItExists) {
  // The disk is set up at its first use, its default folders too.
  SInt16 vRefNum;
  SInt32 dirID;
  ASSERT_EQ(FindFolder(kOnSystemDisk, kUsersFolderType, kDontCreateFolder, &vRefNum, &dirID),
            noErr);
  fs::remove_all(disk() / "Applications");
  for (const char* folder : GetParam().folders) MakeFolder(folder);
  for (const char* file : GetParam().files) MakeFile(file);
  std::vector<LauncherRow> rows = BuildPopUp();
  std::vector<std::string> texts = tb::test::TextsOf(rows);
  auto header = std::find(texts.begin(), texts.end(), kFolders);
  ASSERT_NE(header, texts.end());
  EXPECT_EQ(std::vector<std::string>(header + 1, texts.end()), GetParam().expected);
  if (GetParam().expected == std::vector<std::string>{kNoFolders}) {
    EXPECT_TRUE(rows.back().enabled);
    EXPECT_EQ(rows.back().indent, 1u);
    EXPECT_EQ(rows.back().command, 0u);
  }
}

const FolderCase kFolderCases[] = {
    {"AllThree",
     {"Applications/Utilities", "Developer/Applications"},
     {},
     {"Applications", "Utilities", "Developer Applications"}},
    {"None", {}, {}, {kNoFolders}},
    {"OnlyDeveloper", {"Developer/Applications"}, {}, {"Developer Applications"}},
    {"DeveloperWithoutApplications", {"Applications", "Developer"}, {}, {"Applications"}},
    {"FilesOfTheseNamesAreNoFolders",
     {"Developer"},
     {"Applications", "Developer/Applications"},
     {kNoFolders}},
    {"UtilitiesAFile", {"Applications"}, {"Applications/Utilities"}, {"Applications"}},
};
INSTANTIATE_TEST_SUITE_P(Cases, ApplicationFolders, ::testing::ValuesIn(kFolderCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LauncherMenu, ListsRunningApplicationsButNotBackgroundOnesOrThoseWithoutBundle) {
  FSSpec editor = MakeApplication("Applications/Editor.app");
  MakeApplication("Applications/Daemon.app");
  const fs::path editorPath = disk() / "Applications/Editor.app";
  const fs::path daemonPath = disk() / "Applications/Daemon.app";
  tb::test::ChildProcess daemon, app, bare;
  ASSERT_EQ(daemon.Start([&] {
    return tb::processes::RegisterCurrentProcess('APPL', 'dmn ', "", daemonPath,
                                                 modeOnlyBackground);
  }),
            noErr);
  ASSERT_EQ(app.Start([&] {
    return tb::processes::RegisterCurrentProcess('APPL', 'EDIT', "", editorPath, 0);
  }),
            noErr);
  ASSERT_EQ(
      bare.Start([] { return tb::processes::RegisterCurrentProcess('APPL', 'BARE', "", {}, 0); }),
      noErr);

  std::vector<LauncherRow> rows = BuildPopUp();
  std::vector<std::string> texts = tb::test::TextsOf(rows);
  ASSERT_GE(texts.size(), 4u);
  EXPECT_EQ(texts[2], kRunning);
  EXPECT_EQ(texts[3], "Editor.app");
  EXPECT_EQ(texts[4], "---");  // nothing else: the daemon and the bare process are left out

  const LauncherRow& row = rows[3];
  ProcessSerialNumber expected;
  ASSERT_EQ(GetProcessForPID(app.pid(), &expected), noErr);
  ASSERT_TRUE(row.hasProcess);
  EXPECT_EQ(row.process.highLongOfPSN, expected.highLongOfPSN);
  EXPECT_EQ(row.process.lowLongOfPSN, expected.lowLongOfPSN);
  EXPECT_EQ(row.submenu, nullptr);  // an application bundle is a folder, but never a submenu
  EXPECT_EQ(row.command, static_cast<MenuCommand>('oPt0'));
  EXPECT_EQ(row.indent, 1u);
  FSSpec spec;
  ASSERT_TRUE(ReadFileItem(gLauncherMenus[kLauncherPopUp], 4, &spec));
  EXPECT_EQ(SInt32{spec.parID}, SInt32{editor.parID});
  EXPECT_EQ(NameOf(spec), "Editor.app");
}

enum class Rec { App, Folder, Document, Gone, Separator, Garbage };

constexpr int kAsMany = INT_MIN;  // the count field holds the number of records given

struct LaunchItemsCase {
  const char* name;
  std::vector<Rec> records;
  int count;
  std::vector<unsigned char> tail;  // raw bytes after the records
  std::vector<std::string> expected;
  bool noCount = false;  // the file is the tail alone
};

class LaunchItems : public LauncherMenu, public ::testing::WithParamInterface<LaunchItemsCase> {
 protected:
  std::vector<unsigned char> Record(Rec rec) {
    switch (rec) {
      case Rec::App:
        return tb::test::AliasRecordOf(tool_);
      case Rec::Folder:
        return tb::test::AliasRecordOf(projects_);
      case Rec::Document:
        return tb::test::AliasRecordOf(notes_);
      case Rec::Gone: {
        FSSpec gone = MakeFile("Users/Shared/gone.app");
        std::vector<unsigned char> record = tb::test::AliasRecordOf(gone);
        fs::remove(disk() / "Users/Shared/gone.app");
        return record;
      }
      case Rec::Separator:
        return tb::test::SeparatorRecord();
      case Rec::Garbage:
        return {0, 0, 0, 8, 'n', 'o', 't', ' ', 'a', 'l', 'i', 's'};
    }
    return {};
  }
};

TEST_P(LaunchItems, SectionShowsWhatTheFileHolds) {
  const LaunchItemsCase& c = GetParam();
  if (c.noCount) {
    SetLaunchItems(c.tail);
  } else {
    std::vector<std::vector<unsigned char>> records;
    for (Rec rec : c.records) records.push_back(Record(rec));
    records.push_back(c.tail);
    SetLaunchItems(tb::test::LaunchItemsFile(
        c.count == kAsMany ? static_cast<int>(c.records.size()) : c.count, records));
  }
  std::vector<unsigned char> before = LaunchItemsBytes();
  EXPECT_EQ(LaunchSection(), c.expected);
  EXPECT_EQ(LaunchItemsBytes(), before);  // only ever read
}

const std::vector<std::string> kHeader = {"---", kLaunchItems};
std::vector<std::string> Section(std::vector<std::string> rows) {
  rows.insert(rows.begin(), kHeader.begin(), kHeader.end());
  return rows;
}

const LaunchItemsCase kLaunchItemsCases[] = {
    {"ApplicationsAndFolders",
     {Rec::App, Rec::Folder},
     kAsMany,
     {},
     Section({"Tool.app", "Projects"})},
    {"AllSeparators", {Rec::Separator, Rec::Separator}, kAsMany, {}, Section({"---", "---"})},
    {"DocumentsAndGoneItemsOnly",
     {Rec::Document, Rec::Gone, Rec::Garbage},
     kAsMany,
     {},
     Section({kNothing})},
    {"DocumentsAreSkipped",
     {Rec::Document, Rec::App, Rec::Separator, Rec::Gone, Rec::Folder},
     kAsMany,
     {},
     Section({"Tool.app", "---", "Projects"})},
    {"EmptyFile", {}, 0, {}, {}, true},
    {"CountZero", {Rec::App}, 0, {}, {}},
    {"CountNegative", {Rec::App}, -1, {}, {}},
    {"CountOnlyByte", {}, 0, {0x00}, {}, true},
    {"CountPastTheRecords", {Rec::App, Rec::Folder}, 5, {}, Section({"Tool.app", "Projects"})},
    {"LengthPastTheEnd", {Rec::App}, 2, {0, 0, 0, 100, 1, 2, 3}, Section({"Tool.app"})},
    {"NegativeLength", {Rec::App}, 3, {0xFF, 0xFF, 0xFF, 0xF0, 0, 0, 0, 0}, Section({"Tool.app"})},
    {"HugeLength", {Rec::App}, 3, {0x7F, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0}, Section({"Tool.app"})},
    {"TruncatedLength", {Rec::App}, 2, {0, 0}, Section({"Tool.app"})},
    {"DamageBeforeAnything", {}, 1, {0x80, 0, 0, 0}, Section({kNothing})},
    {"GarbageIsSkippedAndReadingGoesOn",
     {Rec::Garbage, Rec::Folder},
     kAsMany,
     {},
     Section({"Projects"})},
};
INSTANTIATE_TEST_SUITE_P(Cases, LaunchItems, ::testing::ValuesIn(kLaunchItemsCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LauncherMenu, NoLaunchItemsFileShowsNoSection) {
  EXPECT_EQ(LaunchSection(), std::vector<std::string>{});
}

TEST_F(LauncherMenu, LaunchItemStandsForTheResolvedTargetWithoutProcess) {
  SetLaunchItems(tb::test::LaunchItemsFile(1, {tb::test::AliasRecordOf(projects_)}));
  // Renamed since the record was made: found by ID, and the file stays as it was.
  fs::rename(disk() / "Users/Shared/Projects", disk() / "Users/Shared/Work");
  std::vector<unsigned char> before = LaunchItemsBytes();
  std::vector<LauncherRow> rows = BuildPopUp();
  ASSERT_GE(rows.size(), 6u);
  EXPECT_EQ(rows[5].text, "Work");
  EXPECT_FALSE(rows[5].hasProcess);
  EXPECT_EQ(rows[5].submenu, gLauncherMenus[kLauncherPlaceholder]);
  EXPECT_TRUE(rows[5].parentChoosable);
  FSSpec spec;
  ASSERT_TRUE(ReadFileItem(gLauncherMenus[kLauncherPopUp], 6, &spec));
  EXPECT_EQ(NameOf(spec), "Work");
  EXPECT_EQ(SInt32{spec.parID}, SInt32{projects_.parID});
  EXPECT_EQ(LaunchItemsBytes(), before);
}

TEST_F(LauncherMenu, IconsOffMeansNoIconAnywhere) {
  ShowIcons(false);
  MakeFolder("Developer/Applications");
  SetLaunchItems(tb::test::LaunchItemsFile(
      2, {tb::test::AliasRecordOf(tool_), tb::test::AliasRecordOf(projects_)}));
  tb::test::ChildProcess app;
  const fs::path toolPath = disk() / "Applications/Tool.app";
  ASSERT_EQ(app.Start([&] {
    return tb::processes::RegisterCurrentProcess('APPL', 'TOOL', "", toolPath, 0);
  }),
            noErr);
  std::vector<LauncherRow> rows = BuildPopUp();
  EXPECT_EQ(rows.size(), 13u);
  for (const LauncherRow& row : rows) EXPECT_EQ(row.icon, nullptr) << row.text;

  // The two messages that would carry the caution icon.
  fs::remove_all(disk() / "Applications");
  fs::remove_all(disk() / "Developer");
  SetLaunchItems(tb::test::LaunchItemsFile(1, {tb::test::AliasRecordOf(notes_)}));
  rows = BuildPopUp();
  EXPECT_THAT(tb::test::TextsOf(rows), ::testing::Contains(kNothing));
  EXPECT_EQ(rows.back().text, kNoFolders);
  for (const LauncherRow& row : rows) EXPECT_EQ(row.icon, nullptr) << row.text;
}

TEST_F(LauncherMenu, IconsOnGiveFileIconsCautionIconsAndThreeFolderPictures) {
  ShowIcons(true);
  MakeFolder("Developer/Applications");
  SetLaunchItems(tb::test::LaunchItemsFile(1, {tb::test::AliasRecordOf(tool_)}));
  std::vector<LauncherRow> rows = BuildPopUp();
  ASSERT_THAT(tb::test::TextsOf(rows),
              ElementsAre(kTitle, "---", kRunning, "---", kLaunchItems, "Tool.app", "---", kFolders,
                          "Applications", "Utilities", "Developer Applications"));
  EXPECT_NE(rows[5].icon, nullptr);
  // Three pictures registered one after another under one type: each item keeps its own.
  IconRef last = nullptr;
  ASSERT_EQ(GetIconRef(kOnSystemDisk, 'qVRL', 'oPt0', &last), noErr);
  EXPECT_NE(rows[8].icon, nullptr);
  EXPECT_NE(rows[9].icon, nullptr);
  EXPECT_NE(rows[8].icon, rows[9].icon);
  EXPECT_NE(rows[8].icon, last);
  EXPECT_NE(rows[9].icon, last);
  EXPECT_EQ(rows[10].icon, last);
  ReleaseIconRef(last);

  fs::remove_all(disk() / "Applications");
  fs::remove_all(disk() / "Developer");
  SetLaunchItems(tb::test::LaunchItemsFile(1, {tb::test::AliasRecordOf(notes_)}));
  rows = BuildPopUp();
  IconRef caution = nullptr;
  ASSERT_EQ(GetIconRef(kOnSystemDisk, kSystemIconsCreator, kAlertCautionIcon, &caution), noErr);
  ASSERT_EQ(rows[5].text, kNothing);
  EXPECT_EQ(rows[5].icon, caution);
  EXPECT_EQ(rows.back().text, kNoFolders);
  EXPECT_EQ(rows.back().icon, caution);
  ReleaseIconRef(caution);
}

}  // namespace
