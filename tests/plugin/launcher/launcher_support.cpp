#include "tests/plugin/launcher/launcher_support.h"

#include "plugin/entry/menu_cycle.h"
#include "plugin/info/launcher_menu.h"
#include "plugin/menu/file_item.h"
#include "plugin/prefs/preferences.h"
#include "toolbox/aliases/alias_file.h"
#include "toolbox/aliases/aliases.h"
#include "toolbox/cf/string.h"
#include "toolbox/cf/url.h"
#include "toolbox/core/errors.h"
#include "toolbox/core/memory.h"
#include "toolbox/core/pascal.h"

namespace tb::test {

namespace {

FSSpec LaunchItemsSpec() {
  SInt16 vRefNum;
  SInt32 dirID;
  EXPECT_EQ(FindFolder(kOnSystemDisk, kPreferencesFolderType, kCreateFolder, &vRefNum, &dirID),
            noErr);
  FSSpec spec{};
  FSMakeFSSpec(vRefNum, dirID, tb::PStr("Launch Items Setting"), &spec);
  return spec;
}

}  // namespace

void LauncherFixture::SetUp() {
  PluginFixture::SetUp();
  CFURLRef url = tb::CFURLFromPath(installedBundle(), true);
  gPluginBundle = CFBundleCreate(nullptr, url);
  CFRelease(url);
  for (MenuRef& m : gLauncherMenus) CreateNewMenu(0, 0, &m);
  ResetPreferences();
}

void LauncherFixture::TearDown() {
  for (MenuRef& m : gLauncherMenus) {
    DisposeMenu(m);
    m = nullptr;
  }
  if (gPluginBundle) CFRelease(gPluginBundle);
  gPluginBundle = nullptr;
  PluginFixture::TearDown();
}

void LauncherFixture::ShowIcons(bool on) {
  if (on) {
    gPrefs[kPrefsMenuByte] |= kPrefShowIcons;
  } else {
    gPrefs[kPrefsMenuByte] &= static_cast<UInt8>(~kPrefShowIcons);
  }
}

std::vector<LauncherRow> LauncherFixture::BuildPopUp() {
  BuildLauncherMenu(&gLauncherMenus[kLauncherPopUp]);
  return RowsOf(gLauncherMenus[kLauncherPopUp]);
}

std::vector<std::string> LauncherFixture::PopUpTexts() {
  return TextsOf(BuildPopUp());
}

void LauncherFixture::SetLaunchItems(const std::vector<unsigned char>& bytes) {
  FSSpec spec = LaunchItemsSpec();
  FSRef ref;
  if (FSpMakeFSRef(&spec, &ref) != noErr) {
    ASSERT_EQ(FSpCreate(&spec, 'LnIt', 'pref', smSystemScript), noErr);
  }
  SInt16 file = 0;
  ASSERT_EQ(FSpOpenDF(&spec, fsRdWrPerm, &file), noErr);
  SetEOF(file, 0);
  long count = static_cast<long>(bytes.size());
  if (count > 0) {
    EXPECT_EQ(FSWrite(file, &count, bytes.data()), noErr);
  }
  FSClose(file);
}

std::vector<unsigned char> LauncherFixture::LaunchItemsBytes() {
  FSSpec spec = LaunchItemsSpec();
  SInt16 file = 0;
  EXPECT_EQ(FSpOpenDF(&spec, fsRdPerm, &file), noErr);
  long length = 0;
  GetEOF(file, &length);
  std::vector<unsigned char> bytes(static_cast<size_t>(length));
  long count = length;
  if (length > 0) {
    EXPECT_EQ(FSRead(file, &count, bytes.data()), noErr);
  }
  FSClose(file);
  return bytes;
}

FSSpec LauncherFixture::MakeApplication(const std::string& relative) {
  MakeFile(relative + "/Contents/MacOS/" + std::filesystem::path(relative).stem().string(),
           "#!/bin/sh\n");
  return SpecOf(disk() / relative);
}

FSSpec LauncherFixture::MakeAlias(const FSSpec& target, const std::string& relative) {
  std::filesystem::create_directories((disk() / relative).parent_path());
  FSSpec folder = SpecOf((disk() / relative).parent_path());
  CInfoPBRec pb = {};
  Str255 name = {};
  BlockMoveData(folder.name, name, folder.name[0] + 1);
  pb.dirInfo.ioNamePtr = name;
  pb.dirInfo.ioVRefNum = folder.vRefNum;
  pb.dirInfo.ioDrDirID = folder.parID;
  EXPECT_EQ(PBGetCatInfoSync(&pb), noErr);
  FSSpec alias{};
  Str255 leaf;
  tb::SetPascal(leaf, sizeof leaf, std::filesystem::path(relative).filename().string());
  FSMakeFSSpec(folder.vRefNum, pb.dirInfo.ioDrDirID, leaf, &alias);
  EXPECT_EQ(tb::aliases::MakeAliasFile(target, alias), noErr);
  return alias;
}

std::vector<unsigned char> LaunchItemsFile(int count,
                                           const std::vector<std::vector<unsigned char>>& records) {
  std::vector<unsigned char> out;
  PutBE16(out, static_cast<unsigned>(count) & 0xFFFF);
  for (const auto& record : records) out.insert(out.end(), record.begin(), record.end());
  return out;
}

std::vector<unsigned char> AliasRecordOf(const FSSpec& item) {
  AliasHandle alias = nullptr;
  EXPECT_EQ(NewAlias(nullptr, &item, &alias), noErr);
  Size size = GetHandleSize(reinterpret_cast<Handle>(alias));
  std::vector<unsigned char> out;
  PutBE32(out, static_cast<unsigned long>(static_cast<UInt32>(size)));
  out.insert(out.end(), reinterpret_cast<unsigned char*>(*alias),
             reinterpret_cast<unsigned char*>(*alias) + size);
  DisposeHandle(reinterpret_cast<Handle>(alias));
  return out;
}

std::vector<unsigned char> SeparatorRecord() {
  return {0, 0, 0, 0};
}

std::vector<LauncherRow> RowsOf(MenuRef menu) {
  std::vector<LauncherRow> rows;
  for (MenuItemIndex i = 1; i <= CountMenuItems(menu); ++i) {
    LauncherRow row;
    MenuItemAttributes attributes = 0;
    GetMenuItemAttributes(menu, i, &attributes);
    if (attributes & kMenuItemAttrSeparator) {
      row.text = "---";
    } else {
      CFStringRef text = nullptr;
      CopyMenuItemTextAsCFString(menu, i, &text);
      row.text = tb::Utf8FromCFString(text);
      if (text) CFRelease(text);
    }
    row.parentChoosable = attributes & kMenuItemAttrSubmenuParentChoosable;
    GetMenuItemCommandID(menu, i, &row.command);
    row.enabled = IsMenuItemEnabled(menu, i);
    GetItemStyle(menu, i, &row.style);
    GetMenuItemIndent(menu, i, &row.indent);
    GetMenuItemHierarchicalMenu(menu, i, &row.submenu);
    UInt8 iconType = 0;
    Handle icon = nullptr;
    if (GetMenuItemIconHandle(menu, i, &iconType, &icon) == noErr && icon) {
      EXPECT_EQ(iconType, kMenuIconRefType);
      row.icon = reinterpret_cast<IconRef>(icon);
    }
    UInt32 size = 0;
    row.hasRecord =
        GetMenuItemPropertySize(menu, i, kItemPropCreator, kItemPropVolume, &size) == noErr;
    row.hasProcess = GetMenuItemProperty(menu, i, kItemPropCreator, kItemPropProcess,
                                         sizeof row.process, &size, &row.process) == noErr &&
                     size == sizeof row.process;
    rows.push_back(row);
  }
  return rows;
}

std::vector<std::string> TextsOf(const std::vector<LauncherRow>& rows) {
  std::vector<std::string> texts;
  for (const LauncherRow& row : rows) texts.push_back(row.text);
  return texts;
}

std::string NameOf(const FSSpec& spec) {
  return std::string(tb::PascalView(spec.name));
}

}  // namespace tb::test
