// Menu Manager: menus and their items (text, command, state, style, icon, submenu, properties).
// Item indexes are 1-based; an index out of range gives menuItemNotFoundErr, or is ignored by
// calls without a result.
#pragma once

#include <cstdint>

#include "toolbox/cf/base.h"
#include "toolbox/core/errors.h"
#include "toolbox/core/qd_style.h"
#include "toolbox/core/types.h"
#include "toolbox/events/events.h"

typedef struct OpaqueMenuRef* MenuRef;
typedef SInt16 MenuID;
typedef UInt16 MenuItemIndex;
typedef UInt32 MenuCommand;
typedef UInt32 MenuAttributes;
typedef UInt32 MenuItemAttributes;
// Wide enough for a pointer as well as the 32-bit values older code keeps there.
typedef uintptr_t URefCon;

enum : MenuAttributes {
  kMenuAttrExcludesMarkColumn = 1 << 0,
  kMenuAttrAutoDisable = 1 << 2,
  kMenuAttrUsePencilGlyph = 1 << 3,
  kMenuAttrHidden = 1 << 4,
  kMenuAttrCondenseSeparators = 1 << 5,
  kMenuAttrDoNotCacheImage = 1 << 6,
  kMenuAttrDoNotUseUserCommandKeys = 1 << 7,
};

enum : MenuItemAttributes {
  kMenuItemAttrDisabled = 1 << 0,
  kMenuItemAttrIconDisabled = 1 << 1,
  kMenuItemAttrSubmenuParentChoosable = 1 << 2,
  kMenuItemAttrDynamic = 1 << 3,
  kMenuItemAttrNotPreviousAlternate = 1 << 4,
  kMenuItemAttrHidden = 1 << 5,
  kMenuItemAttrSeparator = 1 << 6,
  kMenuItemAttrSectionHeader = 1 << 7,
  kMenuItemAttrIgnoreMeta = 1 << 8,
  kMenuItemAttrAutoRepeat = 1 << 9,
  kMenuItemAttrUseVirtualKey = 1 << 10,
  kMenuItemAttrCustomDraw = 1 << 11,
  kMenuItemAttrIncludeInCmdKeyMatching = 1 << 12,
  kMenuItemAttrAutoDisable = 1 << 13,
  kMenuItemAttrUpdateSingleItem = 1 << 14,
};

// Icon types of SetMenuItemIconHandle.
enum : UInt8 {
  kMenuNoIcon = 0,
  kMenuIconType = 1,
  kMenuShrinkIconType = 2,
  kMenuSmallIconType = 3,
  kMenuColorIconType = 4,
  kMenuIconSuiteType = 5,
  kMenuIconRefType = 6,
  kMenuCGImageRefType = 7,
  kMenuSystemIconSelectorType = 8,
  kMenuIconResourceType = 9,
};

enum : CharParameter { noMark = 0, checkMark = 0x12 };

// Menus (reference counted; DisposeMenu is a release).
OSStatus CreateNewMenu(MenuID menuID, MenuAttributes attributes, MenuRef* outMenu);
OSStatus RetainMenu(MenuRef menu);
OSStatus ReleaseMenu(MenuRef menu);
void DisposeMenu(MenuRef menu);
ItemCount GetMenuRetainCount(MenuRef menu);
MenuID GetMenuID(MenuRef menu);
void SetMenuID(MenuRef menu, MenuID menuID);
OSStatus GetMenuAttributes(MenuRef menu, MenuAttributes* outAttributes);
OSStatus ChangeMenuAttributes(MenuRef menu, MenuAttributes setTheseAttributes,
                              MenuAttributes clearTheseAttributes);
OSStatus SetMenuTitleWithCFString(MenuRef menu, CFStringRef title);
OSStatus CopyMenuTitleAsCFString(MenuRef menu, CFStringRef* outTitle);
EventTargetRef GetMenuEventTarget(MenuRef menu);

// Adding and removing items. AppendMenu reads the classic metacharacters: ';' (or Return)
// separates items, "-" alone is a separator line, '(' disables the item, '!c' sets mark c,
// '<B' '<I' '<U' '<O' '<S' add bold, italic, underline, outline, shadow, '/c' sets the command
// key c, '^n' the icon number n. The other calls take their text literally.
void AppendMenu(MenuRef menu, ConstStr255Param data);
void InsertMenuItem(MenuRef menu, ConstStr255Param itemString, short afterItem);
OSStatus AppendMenuItemText(MenuRef menu, ConstStr255Param inString);
OSStatus InsertMenuItemText(MenuRef menu, ConstStr255Param inString, MenuItemIndex afterItem);
OSStatus AppendMenuItemTextWithCFString(MenuRef menu, CFStringRef inString,
                                        MenuItemAttributes inAttributes, MenuCommand inCommandID,
                                        MenuItemIndex* outNewItem);
OSStatus InsertMenuItemTextWithCFString(MenuRef menu, CFStringRef inString, MenuItemIndex afterItem,
                                        MenuItemAttributes inAttributes, MenuCommand inCommandID);
void DeleteMenuItem(MenuRef menu, MenuItemIndex item);
OSStatus DeleteMenuItems(MenuRef menu, MenuItemIndex firstItem, ItemCount numItems);
UInt16 CountMenuItems(MenuRef menu);

// Item text. Pascal texts are Mac Roman; characters Mac Roman lacks read back as '?', and
// the text is cut at 255 bytes.
void GetMenuItemText(MenuRef menu, MenuItemIndex item, Str255 itemString);
void SetMenuItemText(MenuRef menu, MenuItemIndex item, ConstStr255Param itemString);
OSStatus SetMenuItemTextWithCFString(MenuRef menu, MenuItemIndex item, CFStringRef inString);
OSStatus CopyMenuItemTextAsCFString(MenuRef menu, MenuItemIndex item, CFStringRef* outString);

// Item state. Item 0 of Enable/Disable/IsMenuItemEnabled stands for the whole menu.
void SetItemStyle(MenuRef menu, short item, StyleParameter chStyle);
void GetItemStyle(MenuRef menu, short item, Style* chStyle);
OSStatus SetMenuItemIndent(MenuRef menu, MenuItemIndex item, UInt32 indent);
OSStatus GetMenuItemIndent(MenuRef menu, MenuItemIndex item, UInt32* outIndent);
void DisableMenuItem(MenuRef menu, MenuItemIndex item);
void EnableMenuItem(MenuRef menu, MenuItemIndex item);
Boolean IsMenuItemEnabled(MenuRef menu, MenuItemIndex item);
void CheckMenuItem(MenuRef menu, short item, Boolean checked);
void SetItemMark(MenuRef menu, short item, CharParameter markChar);
void GetItemMark(MenuRef menu, short item, CharParameter* markChar);
void SetItemCmd(MenuRef menu, short item, CharParameter cmdChar);
void GetItemCmd(MenuRef menu, short item, CharParameter* cmdChar);
OSErr SetMenuItemCommandID(MenuRef menu, SInt16 item, MenuCommand commandID);
OSErr GetMenuItemCommandID(MenuRef menu, SInt16 item, MenuCommand* outCommandID);
// The itemIndex-th (1-based) item with the command, searching the menu and then its
// submenus, depth first.
OSStatus GetIndMenuItemWithCommandID(MenuRef menu, MenuCommand commandID, UInt32 itemIndex,
                                     MenuRef* outMenu, MenuItemIndex* outIndex);
OSStatus ChangeMenuItemAttributes(MenuRef menu, MenuItemIndex item,
                                  MenuItemAttributes setTheseAttributes,
                                  MenuItemAttributes clearTheseAttributes);
OSStatus GetMenuItemAttributes(MenuRef menu, MenuItemIndex item, MenuItemAttributes* outAttributes);

// Icons are kept as the caller's pointer and type. An IconRef (kMenuIconRefType) is held through
// the hooks of tb::menus::SetIconRetainHooks; other icon data stays the caller's.
OSErr SetMenuItemIconHandle(MenuRef menu, SInt16 item, UInt8 iconType, Handle iconHandle);
OSErr GetMenuItemIconHandle(MenuRef menu, SInt16 item, UInt8* outIconType, Handle* outIconHandle);

// Submenus: the parent item retains its submenu while it is attached.
OSStatus SetMenuItemHierarchicalMenu(MenuRef menu, MenuItemIndex item, MenuRef hierMenu);
OSStatus GetMenuItemHierarchicalMenu(MenuRef menu, MenuItemIndex item, MenuRef* outHierMenu);

// Properties: bytes by creator and tag. Item 0 holds properties of the menu itself.
OSStatus SetMenuItemProperty(MenuRef menu, MenuItemIndex item, OSType propertyCreator,
                             OSType propertyTag, UInt32 propertySize, const void* propertyData);
OSStatus GetMenuItemProperty(MenuRef menu, MenuItemIndex item, OSType propertyCreator,
                             OSType propertyTag, UInt32 bufferSize, UInt32* actualSize,
                             void* propertyBuffer);
OSStatus GetMenuItemPropertySize(MenuRef menu, MenuItemIndex item, OSType propertyCreator,
                                 OSType propertyTag, UInt32* size);
OSStatus RemoveMenuItemProperty(MenuRef menu, MenuItemIndex item, OSType propertyCreator,
                                OSType propertyTag);

OSErr SetMenuItemRefCon(MenuRef menu, MenuItemIndex item, URefCon refCon);
OSErr GetMenuItemRefCon(MenuRef menu, MenuItemIndex item, URefCon* outRefCon);
