// AppendMenu and InsertMenuItem: item texts with the classic metacharacters.
#include "toolbox/core/pascal.h"
#include "toolbox/menus/menu_store.h"

using tb::menus::Item;

namespace {

Style StyleOf(unsigned char code) {
  switch (code) {
    case 'B':
      return bold;
    case 'I':
      return italic;
    case 'U':
      return underline;
    case 'O':
      return outline;
    case 'S':
      return shadow;
    case 'C':
      return condense;
    case 'E':
      return extend;
    default:
      return normal;
  }
}

// One item's definition, metacharacters read and removed.
Item ParseItem(std::string_view definition) {
  Item item;
  std::string text;
  for (size_t i = 0; i < definition.size(); ++i) {
    unsigned char c = definition[i];
    bool hasArgument = i + 1 < definition.size();
    switch (c) {
      case '(':
        item.attributes |= kMenuItemAttrDisabled;
        break;
      case '!':
        if (hasArgument) item.mark = static_cast<unsigned char>(definition[++i]);
        break;
      case '<':
        if (hasArgument) item.style |= StyleOf(definition[++i]);
        break;
      case '/':
        if (hasArgument) item.commandKey = static_cast<unsigned char>(definition[++i]);
        break;
      case '^':
        if (hasArgument) item.iconNumber = static_cast<unsigned char>(definition[++i]) - '0';
        break;
      default:
        text.push_back(static_cast<char>(c));
    }
  }
  if (text == "-") item.attributes |= kMenuItemAttrSeparator | kMenuItemAttrDisabled;
  item.text = tb::menus::Utf16FromMacRoman(text);
  return item;
}

std::vector<Item> ParseItems(ConstStr255Param data) {
  std::vector<Item> items;
  std::string_view rest = tb::PascalView(data);
  while (true) {
    size_t end = rest.find_first_of(";\r");
    items.push_back(ParseItem(rest.substr(0, end)));
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return items;
}

}  // namespace

void AppendMenu(MenuRef menu, ConstStr255Param data) {
  if (!tb::menus::Live(menu) || !data) return;
  auto& items = menu->menu.items;
  for (Item& item : ParseItems(data)) {
    if (items.size() >= 0xFFFF) break;  // item indexes are 16-bit
    items.push_back(std::move(item));
  }
}

void InsertMenuItem(MenuRef menu, ConstStr255Param itemString, short afterItem) {
  if (!tb::menus::Live(menu) || !itemString) return;
  auto& items = menu->menu.items;
  size_t at = afterItem < 0 ? 0 : std::min<size_t>(afterItem, items.size());
  for (Item& item : ParseItems(itemString)) {
    if (items.size() >= 0xFFFF) break;
    items.insert(items.begin() + at++, std::move(item));
  }
}
