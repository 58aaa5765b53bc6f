#include <cstdio>
#include <set>

#include "desktop/cmm/describe_menu.h"
#include "desktop/cmm/plugin_host.h"
#include "toolbox/cf/string.h"
#include "toolbox/core/errors.h"
#include "toolbox/core/fourcc.h"
#include "toolbox/core/qd_style.h"

namespace desktop::cmm {
namespace {

std::string VisibleText(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\0') {
      out += "\\0";
    } else {
      out += c;
    }
  }
  return out;
}

std::string CommandText(MenuCommand command) {
  if (command == 0) return "";
  std::string code = tb::FourCCText(command);
  bool printable = true;
  for (char c : code) printable = printable && c >= 0x20 && c < 0x7F;
  return printable && command > 0xFFFF ? "'" + code + "'" : std::to_string(command);
}

void Describe(MenuRef menu, int depth, bool numbered, std::set<MenuRef>& open, std::string& out) {
  if (!menu || !open.insert(menu).second) return;  // a menu inside itself is shown once
  UInt16 count = CountMenuItems(menu);
  for (MenuItemIndex i = 1; i <= count; ++i) {
    CFStringRef text = nullptr;
    CopyMenuItemTextAsCFString(menu, i, &text);
    UInt32 indent = 0;
    GetMenuItemIndent(menu, i, &indent);
    std::string line(static_cast<size_t>(depth) * 2, ' ');
    if (numbered) line += std::to_string(i) + " ";
    line += std::string(indent * 2, ' ');
    line += "\"" + VisibleText(tb::Utf8FromCFString(text)) + "\"";
    if (text) CFRelease(text);

    MenuCommand command = 0;
    GetMenuItemCommandID(menu, i, &command);
    if (auto c = CommandText(command); !c.empty()) line += "  [" + c + "]";
    Style style = 0;
    GetItemStyle(menu, i, &style);
    if (style & bold) line += "  bold";
    if (style & italic) line += "  italic";
    if (!IsMenuItemEnabled(menu, i)) line += "  disabled";
    UInt8 iconType = 0;
    Handle icon = nullptr;
    if (GetMenuItemIconHandle(menu, i, &iconType, &icon) == noErr && icon) line += "  icon";
    MenuRef submenu = nullptr;
    GetMenuItemHierarchicalMenu(menu, i, &submenu);
    if (submenu) line += "  >";
    out += line + "\n";
    Describe(submenu, depth + 1, numbered, open, out);
  }
  open.erase(menu);
}

}  // namespace

std::string DescribeMenu(MenuRef menu) {
  std::string out;
  std::set<MenuRef> open;
  Describe(menu, 0, false, open, out);
  return out;
}

std::string DescribeMenuNumbered(MenuRef menu, int depth) {
  std::string out;
  std::set<MenuRef> open;
  Describe(menu, depth, true, open, out);
  return out;
}

}  // namespace desktop::cmm
