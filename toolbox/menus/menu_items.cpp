// Adding, removing and naming menu items.
#include "toolbox/cf/string.h"
#include "toolbox/core/pascal.h"
#include "toolbox/menus/menu_store.h"

using tb::menus::Item;
using tb::menus::ItemAt;
using tb::menus::Live;

namespace {

// Inserts after `afterItem` (0: first; past the end: last); returns the new item's index.
MenuItemIndex InsertItem(MenuRef menu, Item item, long afterItem) {
  auto& items = menu->menu.items;
  size_t at = afterItem < 0 ? 0 : std::min<size_t>(afterItem, items.size());
  items.insert(items.begin() + at, std::move(item));
  return static_cast<MenuItemIndex>(at + 1);
}

bool Full(MenuRef menu) {
  return menu->menu.items.size() >= 0xFFFF;
}

}  // namespace

OSStatus AppendMenuItemText(MenuRef menu, ConstStr255Param inString) {
  return InsertMenuItemText(menu, inString, 0xFFFF);
}

OSStatus InsertMenuItemText(MenuRef menu, ConstStr255Param inString, MenuItemIndex afterItem) {
  if (!Live(menu) || !inString) return paramErr;
  if (Full(menu)) return memFullErr;
  Item item;
  item.text = tb::menus::Utf16FromMacRoman(tb::PascalView(inString));
  InsertItem(menu, std::move(item), afterItem);
  return noErr;
}

OSStatus AppendMenuItemTextWithCFString(MenuRef menu, CFStringRef inString,
                                        MenuItemAttributes inAttributes, MenuCommand inCommandID,
                                        MenuItemIndex* outNewItem) {
  if (!Live(menu)) return paramErr;
  if (Full(menu)) return memFullErr;
  Item item;
  item.text = std::u16string(tb::CFStringView(inString));
  item.attributes = inAttributes;
  item.command = inCommandID;
  MenuItemIndex index = InsertItem(menu, std::move(item), 0xFFFF);
  if (outNewItem) *outNewItem = index;
  return noErr;
}

OSStatus InsertMenuItemTextWithCFString(MenuRef menu, CFStringRef inString, MenuItemIndex afterItem,
                                        MenuItemAttributes inAttributes, MenuCommand inCommandID) {
  if (!Live(menu)) return paramErr;
  if (Full(menu)) return memFullErr;
  Item item;
  item.text = std::u16string(tb::CFStringView(inString));
  item.attributes = inAttributes;
  item.command = inCommandID;
  InsertItem(menu, std::move(item), afterItem);
  return noErr;
}

void DeleteMenuItem(MenuRef menu, MenuItemIndex item) {
  DeleteMenuItems(menu, item, 1);
}

OSStatus DeleteMenuItems(MenuRef menu, MenuItemIndex firstItem, ItemCount numItems) {
  if (!Live(menu)) return paramErr;
  auto& items = menu->menu.items;
  if (numItems == 0) return noErr;
  if (firstItem < 1 || firstItem > items.size()) return menuItemNotFoundErr;
  numItems = std::min<ItemCount>(numItems, items.size() - (firstItem - 1));  // up to the end
  // Move the items out first: releasing a submenu may free menus, but never this one, which
  // the caller holds.
  std::vector<Item> removed(std::make_move_iterator(items.begin() + (firstItem - 1)),
                            std::make_move_iterator(items.begin() + (firstItem - 1 + numItems)));
  items.erase(items.begin() + (firstItem - 1), items.begin() + (firstItem - 1 + numItems));
  for (Item& item : removed) tb::menus::ReleaseItemContents(item);
  return noErr;
}

UInt16 CountMenuItems(MenuRef menu) {
  return Live(menu) ? static_cast<UInt16>(menu->menu.items.size()) : 0;
}

void GetMenuItemText(MenuRef menu, MenuItemIndex index, Str255 itemString) {
  if (!itemString) return;
  Item* item = ItemAt(menu, index);
  tb::SetPascal(itemString, 256, item ? tb::menus::MacRomanFromUtf16Lossy(item->text) : "");
}

void SetMenuItemText(MenuRef menu, MenuItemIndex index, ConstStr255Param itemString) {
  Item* item = ItemAt(menu, index);
  if (item && itemString) item->text = tb::menus::Utf16FromMacRoman(tb::PascalView(itemString));
}

OSStatus SetMenuItemTextWithCFString(MenuRef menu, MenuItemIndex index, CFStringRef inString) {
  if (!Live(menu)) return paramErr;
  Item* item = ItemAt(menu, index);
  if (!item) return menuItemNotFoundErr;
  item->text = std::u16string(tb::CFStringView(inString));
  return noErr;
}

OSStatus CopyMenuItemTextAsCFString(MenuRef menu, MenuItemIndex index, CFStringRef* outString) {
  if (!Live(menu) || !outString) return paramErr;
  Item* item = ItemAt(menu, index);
  if (!item) return menuItemNotFoundErr;
  *outString = tb::CFStringFromUtf16(item->text);
  return noErr;
}
