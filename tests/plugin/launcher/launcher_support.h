// A plug-in fixture with the launcher's menus, the launch-items file written byte by byte, and
// menu rows read back as a user or the window's handler would see them.
#pragma once

#include <string>
#include <vector>

#include "tests/support/plugin_fixture.h"
#include "toolbox/files/files.h"
#include "toolbox/icons/icons.h"
#include "toolbox/menus/menus.h"

namespace tb::test {

struct LauncherRow {
  std::string text;  // "---" for a separator
  MenuCommand command = 0;
  bool enabled = true;
  Style style = 0;
  UInt32 indent = 0;
  MenuRef submenu = nullptr;
  bool parentChoosable = false;
  IconRef icon = nullptr;
  bool hasRecord = false;  // a 'vref' property
  bool hasProcess = false;
  ProcessSerialNumber process = {};
};

class LauncherFixture : public PluginFixture {
 protected:
  void SetUp() override;
  void TearDown() override;

  void ShowIcons(bool on);
  // Builds the pop-up menu into gLauncherMenus[1] and returns its rows.
  std::vector<LauncherRow> BuildPopUp();
  // The texts of BuildPopUp's rows.
  std::vector<std::string> PopUpTexts();

  // "Launch Items Setting" in the Preferences folder, with exactly these bytes.
  void SetLaunchItems(const std::vector<unsigned char>& bytes);
  std::vector<unsigned char> LaunchItemsBytes();

  // An application bundle (a ".app" folder) at `relative` on the system disk.
  FSSpec MakeApplication(const std::string& relative);
  // An alias file at `relative` to `target`.
  FSSpec MakeAlias(const FSSpec& target, const std::string& relative);
};

// The file's bytes: a big-endian count, then each record as given.
std::vector<unsigned char> LaunchItemsFile(int count,
                                           const std::vector<std::vector<unsigned char>>& records);
// One record: big-endian length and a new alias record of `item`.
std::vector<unsigned char> AliasRecordOf(const FSSpec& item);
// A separator record: length 0.
std::vector<unsigned char> SeparatorRecord();

std::vector<LauncherRow> RowsOf(MenuRef menu);
std::vector<std::string> TextsOf(const std::vector<LauncherRow>& rows);
std::string NameOf(const FSSpec& spec);

}  // namespace tb::test
