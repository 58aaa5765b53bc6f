// Shared set-up for the root submenu and folder listing tests: the menu pool, the bundle, the
// preferences as the menu cycle leaves them, and menus read back as rows a user would see.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "tests/support/plugin_fixture.h"
#include "toolbox/menus/menus.h"

namespace listing {

enum class Icon { none, file, prefs, recent, caution };
enum class Submenu { none, placeholder, other };

// One menu item as shown: separators read as "-".
struct Row {
  std::string text;
  bool enabled;
  Style style;
  UInt32 indent;
  MenuCommand command;
  Submenu submenu;
  Icon icon;
  bool operator==(const Row&) const = default;
};
void PrintTo(const Row& row, std::ostream* os);

class ListingFixture : public tb::test::PluginFixture {
 protected:
  void SetUp() override;
  void TearDown() override;

  void SetPrefs(UInt8 menuByte, UInt8 styleByte = 0);
  MenuRef root() const;

  // The bundle's text for `key`, as the menu shows it.
  std::string Localized(const char* key) const;
  Row RowAt(MenuRef menu, MenuItemIndex index) const;
  std::vector<Row> Rows(MenuRef menu) const;
  std::vector<std::string> Texts(MenuRef menu) const;

  // Expected rows.
  Row Separator() const;
  Row Header(const char* key) const;
  Row Message(const char* key, bool headers, bool icons) const;
  Row File(const std::string& name, UInt32 indent, Icon icon = Icon::file,
           Submenu submenu = Submenu::none, Style style = 0) const;

  // An alias file at `relative` on the system disk that points at `target`.
  FSSpec MakeAlias(const FSSpec& target, const std::string& relative);
  // Sets the invisible Finder flag of a file or folder.
  void MakeInvisible(const FSSpec& item);
};

}  // namespace listing
