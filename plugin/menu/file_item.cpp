#include "plugin/menu/file_item.h"

#include "plugin/entry/scoped_cf.h"
#include "plugin/menu/menu_pool.h"
#include "plugin/prefs/preferences.h"
#include "toolbox/core/errors.h"
#include "toolbox/icons/icons.h"
#include "toolbox/launch/launch.h"

Str32 gRecentTitle;

namespace {

void SetItemIcon(MenuRef menu, MenuItemIndex index, const FSSpec* item) {
  IconRef icon = nullptr;
  if (GetIconRefFromFile(item, &icon, nullptr) != noErr || !icon) return;
  SetMenuItemIconHandle(menu, index, kMenuIconRefType, reinterpret_cast<Handle>(icon));
  ReleaseIconRef(icon);
}

void SetItemRecord(MenuRef menu, MenuItemIndex index, const FSSpec* item) {
  SetMenuItemProperty(menu, index, kItemPropCreator, kItemPropVolume, sizeof item->vRefNum,
                      &item->vRefNum);
  SetMenuItemProperty(menu, index, kItemPropCreator, kItemPropName, item->name[0] + 1u, item->name);
  SetMenuItemRefCon(menu, index, static_cast<URefCon>(static_cast<UInt32>(item->parID)));
}

}  // namespace

Boolean AppendFileItem(MenuRef menu, MenuItemIndex index, const FSSpec* item, Boolean offerSubmenu,
                       Boolean viaAlias) {
  FSRef ref;
  if (FSpMakeFSRef(item, &ref) != noErr) return false;

  CFStringRef name = nullptr;
  LSCopyDisplayNameForRef(&ref, &name);
  ScopedCF<CFStringRef> nameHolder(name);
  AppendMenuItemTextWithCFString(menu, name, 0, kCommandOpenItem, nullptr);

  if (gPrefs[kPrefsMenuByte] & kPrefShowIcons) SetItemIcon(menu, index, item);
  SetItemRecord(menu, index, item);

  LSItemInfoRecord info;
  if (LSCopyItemInfoForRef(&ref, kLSRequestBasicFlagsOnly, &info) == noErr) {
    const UInt8 menuPrefs = gPrefs[kPrefsMenuByte];
    const UInt8 stylePrefs = gPrefs[kPrefsStyleByte];
    if (!(menuPrefs & kPrefPackageSubmenus) && (info.flags & kLSItemInfoIsPackage)) {
      offerSubmenu = false;
    }
    // Each rule replaces the style of the one before; the last that applies wins.
    if ((menuPrefs & kPrefItalicAliases) && (viaAlias || (info.flags & kLSItemInfoIsAliasFile))) {
      SetItemStyle(menu, index, kItemStyleItalic);
    }
    if ((stylePrefs & kPrefStyleSymlinks) && (info.flags & kLSItemInfoIsSymlink)) {
      SetItemStyle(menu, index, kItemStyleBoldItalic);
    }
    if ((stylePrefs & kPrefBoldApplications) && (info.flags & kLSItemInfoIsApplication)) {
      SetItemStyle(menu, index, kItemStyleBold);
    }
  }

  if (offerSubmenu && (gPrefs[kPrefsMenuByte] & kPrefFolderSubmenus)) {
    ChangeMenuItemAttributes(menu, index, kMenuItemAttrSubmenuParentChoosable, 0);
    SetMenuItemHierarchicalMenu(menu, index, gMenuPool[kPoolPlaceholder]);
  }
  return true;
}

Boolean ReadFileItem(MenuRef menu, MenuItemIndex index, FSSpec* out) {
  SInt16 vRefNum;
  UInt32 size = 0;
  if (GetMenuItemProperty(menu, index, kItemPropCreator, kItemPropVolume, sizeof vRefNum, &size,
                          &vRefNum) != noErr ||
      size != sizeof vRefNum) {
    return false;
  }
  Str255 name = {0};
  if (GetMenuItemProperty(menu, index, kItemPropCreator, kItemPropName, sizeof name, &size, name) !=
          noErr ||
      size == 0 || name[0] + 1u > size) {
    return false;
  }
  URefCon parent = 0;
  GetMenuItemRefCon(menu, index, &parent);
  return FSMakeFSSpec(vRefNum, static_cast<SInt32>(parent), name, out) == noErr;
}
