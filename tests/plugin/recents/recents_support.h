// A plug-in fixture with the globals a menu cycle sets, and the recents file read and written
// through the File Manager.
#pragma once

#include <string>
#include <vector>

#include "tests/support/plugin_fixture.h"
#include "toolbox/files/files.h"
#include "toolbox/menus/menus.h"

namespace tb::test {

struct MenuRow {
  std::string text;
  MenuCommand command = 0;
  bool enabled = true;
  MenuRef submenu = nullptr;
};

class RecentsFixture : public PluginFixture {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Sets the two bits of the shown count (0x00, 0x08, 0x10 or 0x18).
  void SetCountBits(UInt8 bits);

  // Builds the Recent Items submenu into pool menu 2 and returns its rows.
  std::vector<MenuRow> Build();
  // Only the texts of Build's rows.
  std::vector<std::string> BuildTexts();

  bool RecentsFileExists();
  std::vector<unsigned char> RecentsBytes();
  void SetRecentsBytes(const std::vector<unsigned char>& bytes);
  // The names the file's records resolve to, in file order; "?" for one that does not resolve.
  // Fails the test when the records do not fill the file exactly.
  std::vector<std::string> RecordNames();

  // A file in the folder the tests' items live in.
  FSSpec Item(const std::string& name);
  // One record as the file holds it: big-endian length, then a new alias record of `item`.
  std::vector<unsigned char> RecordOf(const FSSpec& item);

  FSSpec recents_{};
};

std::vector<MenuRow> RowsOf(MenuRef menu);
std::string NameOf(const FSSpec& spec);

}  // namespace tb::test
