// A folder's entries as menu items, one level at a time.
#pragma once

#include "toolbox/files/files.h"
#include "toolbox/menus/menus.h"

// Lists `folder` into `menu` from `firstIndex` on (1: the menu is emptied first); entries are
// indented when `indent` is set and the listing continues another menu.
void BuildFolderMenu(const FSSpec* folder, MenuRef menu, MenuItemIndex firstIndex, Boolean indent);
