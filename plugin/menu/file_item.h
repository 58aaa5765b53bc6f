// How a menu item carries the file it stands for, and the command IDs of the plug-in's items.
#pragma once

#include "toolbox/files/files.h"
#include "toolbox/menus/menus.h"

enum : MenuCommand {
  kCommandOpenItem = 'OfD%',    // every file item of the contextual menu
  kCommandShowPrefs = 'OfPF',   // the preferences item of the root submenu
  kCommandLaunchItem = 'oPt0',  // launcher items of the item-information window
};

// Menu-item properties of a file item, all under one creator.
enum : OSType {
  kItemPropCreator = 'QVRL',
  kItemPropVolume = 'vref',   // SInt16, the FSSpec's volume
  kItemPropName = 'name',     // the FSSpec's name with its length byte
  kItemPropProcess = 'psn ',  // ProcessSerialNumber of a running application (launcher only)
};

enum : SInt16 {
  kItemStyleNormal = 0,
  kItemStyleBold = 1,
  kItemStyleItalic = 2,
  kItemStyleBoldItalic = 3,
};

// The Recent Items title: up to 31 bytes of text and its NUL.
extern Str32 gRecentTitle;

// Appends the item for a file or folder at `index` (one past the menu's last item) with its
// display name, icon, style and record; false when the item no longer exists.
Boolean AppendFileItem(MenuRef menu, MenuItemIndex index, const FSSpec* item, Boolean offerSubmenu,
                       Boolean viaAlias);

// Rebuilds the FSSpec a file item stands for; false for other items and vanished files.
Boolean ReadFileItem(MenuRef menu, MenuItemIndex index, FSSpec* out);
