// Item properties: bytes stored under a creator and a tag.
#include <cstring>

#include "toolbox/menus/menu_store.h"

using tb::menus::Properties;

namespace {

// The property table of an item (item 0: the menu's own), or the call's error.
OSStatus TableOf(MenuRef menu, MenuItemIndex index, Properties** out) {
  if (!tb::menus::Live(menu)) return paramErr;
  if (index == 0) {
    *out = &menu->menu.properties;
    return noErr;
  }
  tb::menus::Item* item = tb::menus::ItemAt(menu, index);
  if (!item) return menuItemNotFoundErr;
  *out = &item->properties;
  return noErr;
}

}  // namespace

OSStatus SetMenuItemProperty(MenuRef menu, MenuItemIndex item, OSType propertyCreator,
                             OSType propertyTag, UInt32 propertySize, const void* propertyData) {
  if (propertySize > 0 && !propertyData) return paramErr;
  if (propertyCreator == 0) return menuPropertyInvalidErr;
  Properties* table;
  if (OSStatus err = TableOf(menu, item, &table); err != noErr) return err;
  auto bytes = static_cast<const unsigned char*>(propertyData);
  (*table)[{propertyCreator, propertyTag}].assign(bytes, bytes + propertySize);
  return noErr;
}

OSStatus GetMenuItemProperty(MenuRef menu, MenuItemIndex item, OSType propertyCreator,
                             OSType propertyTag, UInt32 bufferSize, UInt32* actualSize,
                             void* propertyBuffer) {
  Properties* table;
  if (OSStatus err = TableOf(menu, item, &table); err != noErr) return err;
  auto found = table->find({propertyCreator, propertyTag});
  if (found == table->end()) return menuPropertyNotFoundErr;
  const auto& bytes = found->second;
  size_t n = std::min<size_t>(bufferSize, bytes.size());
  if (n && !propertyBuffer) return paramErr;
  if (n) std::memcpy(propertyBuffer, bytes.data(), n);
  if (actualSize) *actualSize = static_cast<UInt32>(n);
  return noErr;
}

OSStatus GetMenuItemPropertySize(MenuRef menu, MenuItemIndex item, OSType propertyCreator,
                                 OSType propertyTag, UInt32* size) {
  if (!size) return paramErr;
  Properties* table;
  if (OSStatus err = TableOf(menu, item, &table); err != noErr) return err;
  auto found = table->find({propertyCreator, propertyTag});
  if (found == table->end()) return menuPropertyNotFoundErr;
  *size = static_cast<UInt32>(found->second.size());
  return noErr;
}

OSStatus RemoveMenuItemProperty(MenuRef menu, MenuItemIndex item, OSType propertyCreator,
                                OSType propertyTag) {
  Properties* table;
  if (OSStatus err = TableOf(menu, item, &table); err != noErr) return err;
  return table->erase({propertyCreator, propertyTag}) ? noErr : menuPropertyNotFoundErr;
}
