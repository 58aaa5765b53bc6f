// Item state: style, indent, enabling, marks, command IDs and keys, attributes, icons,
// submenus and reference constants.
#include "toolbox/menus/menu_store.h"

using tb::menus::Item;
using tb::menus::ItemAt;
using tb::menus::Live;

namespace {

// The status of a call on an item: paramErr for a dead menu, menuItemNotFoundErr for a bad
// index.
OSStatus Lookup(MenuRef menu, long index, Item** out) {
  if (!Live(menu)) return paramErr;
  *out = ItemAt(menu, index);
  return *out ? noErr : menuItemNotFoundErr;
}

}  // namespace

void SetItemStyle(MenuRef menu, short index, StyleParameter chStyle) {
  if (Item* item = ItemAt(menu, index)) item->style = static_cast<Style>(chStyle);
}

void GetItemStyle(MenuRef menu, short index, Style* chStyle) {
  if (!chStyle) return;
  Item* item = ItemAt(menu, index);
  *chStyle = item ? item->style : Style{normal};
}

OSStatus SetMenuItemIndent(MenuRef menu, MenuItemIndex index, UInt32 indent) {
  Item* item;
  OSStatus err = Lookup(menu, index, &item);
  if (err == noErr) item->indent = indent;
  return err;
}

OSStatus GetMenuItemIndent(MenuRef menu, MenuItemIndex index, UInt32* outIndent) {
  Item* item;
  if (!outIndent) return paramErr;
  OSStatus err = Lookup(menu, index, &item);
  if (err == noErr) *outIndent = item->indent;
  return err;
}

static void SetEnabled(MenuRef menu, MenuItemIndex index, bool enabled) {
  if (index == 0) {
    if (Live(menu)) menu->menu.enabled = enabled;
  } else if (Item* item = ItemAt(menu, index)) {
    if (enabled) {
      item->attributes &= ~kMenuItemAttrDisabled;
    } else {
      item->attributes |= kMenuItemAttrDisabled;
    }
  }
}

void DisableMenuItem(MenuRef menu, MenuItemIndex index) {
  SetEnabled(menu, index, false);
}
void EnableMenuItem(MenuRef menu, MenuItemIndex index) {
  SetEnabled(menu, index, true);
}

Boolean IsMenuItemEnabled(MenuRef menu, MenuItemIndex index) {
  if (index == 0) return Live(menu) && menu->menu.enabled;
  Item* item = ItemAt(menu, index);
  return item && item->enabled();
}

void CheckMenuItem(MenuRef menu, short index, Boolean checked) {
  SetItemMark(menu, index, checked ? checkMark : noMark);
}

void SetItemMark(MenuRef menu, short index, CharParameter markChar) {
  if (Item* item = ItemAt(menu, index)) item->mark = markChar;
}

void GetItemMark(MenuRef menu, short index, CharParameter* markChar) {
  if (!markChar) return;
  Item* item = ItemAt(menu, index);
  *markChar = item ? item->mark : CharParameter{noMark};
}

void SetItemCmd(MenuRef menu, short index, CharParameter cmdChar) {
  if (Item* item = ItemAt(menu, index)) item->commandKey = cmdChar;
}

void GetItemCmd(MenuRef menu, short index, CharParameter* cmdChar) {
  if (!cmdChar) return;
  Item* item = ItemAt(menu, index);
  *cmdChar = item ? item->commandKey : 0;
}

OSErr SetMenuItemCommandID(MenuRef menu, SInt16 index, MenuCommand commandID) {
  Item* item;
  OSStatus err = Lookup(menu, index, &item);
  if (err == noErr) item->command = commandID;
  return static_cast<OSErr>(err);
}

OSErr GetMenuItemCommandID(MenuRef menu, SInt16 index, MenuCommand* outCommandID) {
  Item* item;
  if (!outCommandID) return paramErr;
  OSStatus err = Lookup(menu, index, &item);
  if (err == noErr) *outCommandID = item->command;
  return static_cast<OSErr>(err);
}

static bool FindCommand(MenuRef menu, MenuCommand commandID, UInt32& remaining, MenuRef* outMenu,
                        MenuItemIndex* outIndex, int depth) {
  if (!Live(menu) || depth > 64) return false;  // the depth bound stops submenu cycles
  auto& items = menu->menu.items;
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i].command == commandID && --remaining == 0) {
      if (outMenu) *outMenu = menu;
      if (outIndex) *outIndex = static_cast<MenuItemIndex>(i + 1);
      return true;
    }
  }
  for (const Item& item : items) {
    if (FindCommand(item.submenu, commandID, remaining, outMenu, outIndex, depth + 1)) {
      return true;
    }
  }
  return false;
}

OSStatus GetIndMenuItemWithCommandID(MenuRef menu, MenuCommand commandID, UInt32 itemIndex,
                                     MenuRef* outMenu, MenuItemIndex* outIndex) {
  if (!Live(menu) || itemIndex == 0) return paramErr;
  UInt32 remaining = itemIndex;
  return FindCommand(menu, commandID, remaining, outMenu, outIndex, 0) ? noErr
                                                                       : menuItemNotFoundErr;
}

OSStatus ChangeMenuItemAttributes(MenuRef menu, MenuItemIndex index,
                                  MenuItemAttributes setTheseAttributes,
                                  MenuItemAttributes clearTheseAttributes) {
  Item* item;
  OSStatus err = Lookup(menu, index, &item);
  if (err == noErr) {
    item->attributes = (item->attributes | setTheseAttributes) & ~clearTheseAttributes;
  }
  return err;
}

OSStatus GetMenuItemAttributes(MenuRef menu, MenuItemIndex index,
                               MenuItemAttributes* outAttributes) {
  Item* item;
  if (!outAttributes) return paramErr;
  OSStatus err = Lookup(menu, index, &item);
  if (err == noErr) *outAttributes = item->attributes;
  return err;
}

OSErr SetMenuItemIconHandle(MenuRef menu, SInt16 index, UInt8 iconType, Handle iconHandle) {
  Item* item;
  OSStatus err = Lookup(menu, index, &item);
  if (err != noErr) return static_cast<OSErr>(err);
  Item replaced;
  replaced.iconType = item->iconType;
  replaced.icon = item->icon;
  item->iconType = iconHandle ? iconType : UInt8{kMenuNoIcon};
  item->icon = iconHandle;
  tb::menus::AcquireIcon(*item);  // before the release, in case it is the same icon
  tb::menus::ReleaseItemContents(replaced);
  return noErr;
}

OSErr GetMenuItemIconHandle(MenuRef menu, SInt16 index, UInt8* outIconType, Handle* outIconHandle) {
  Item* item;
  OSStatus err = Lookup(menu, index, &item);
  if (err != noErr) return static_cast<OSErr>(err);
  if (outIconType) *outIconType = item->iconType;
  if (outIconHandle) *outIconHandle = static_cast<Handle>(item->icon);
  return noErr;
}

OSStatus SetMenuItemHierarchicalMenu(MenuRef menu, MenuItemIndex index, MenuRef hierMenu) {
  Item* item;
  OSStatus err = Lookup(menu, index, &item);
  if (err != noErr) return err;
  if (hierMenu && (!Live(hierMenu) || hierMenu == menu)) return paramErr;
  if (hierMenu) RetainMenu(hierMenu);
  MenuRef old = item->submenu;
  item->submenu = hierMenu;
  if (old) ReleaseMenu(old);
  return noErr;
}

OSStatus GetMenuItemHierarchicalMenu(MenuRef menu, MenuItemIndex index, MenuRef* outHierMenu) {
  Item* item;
  if (!outHierMenu) return paramErr;
  OSStatus err = Lookup(menu, index, &item);
  if (err == noErr) *outHierMenu = item->submenu;
  return err;
}

OSErr SetMenuItemRefCon(MenuRef menu, MenuItemIndex index, URefCon refCon) {
  Item* item;
  OSStatus err = Lookup(menu, index, &item);
  if (err == noErr) item->refCon = refCon;
  return static_cast<OSErr>(err);
}

OSErr GetMenuItemRefCon(MenuRef menu, MenuItemIndex index, URefCon* outRefCon) {
  Item* item;
  if (!outRefCon) return paramErr;
  OSStatus err = Lookup(menu, index, &item);
  if (err == noErr) *outRefCon = item->refCon;
  return static_cast<OSErr>(err);
}
