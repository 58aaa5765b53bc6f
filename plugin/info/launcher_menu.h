// The launcher: the item-information window's pop-up menu of the applications and folders its
// item can be opened with, and the folder submenus under it, filled one level at a time.
#pragma once

#include "toolbox/files/files.h"
#include "toolbox/menus/menus.h"
#include "toolbox/processes/processes.h"

enum {
  kLauncherMenuCount = 26,
  kLauncherPlaceholder = 0,  // never filled; gives folder items their submenu mark
  kLauncherPopUp = 1,        // the pop-up button's menu
  kLauncherDeepest = 25,     // folder items here keep the placeholder
};

// Created (menu ID 0, no attributes) with the item-information window and disposed of with it.
extern MenuRef gLauncherMenus[kLauncherMenuCount];

// The one picture type the three application-folder icons are registered under.
enum : OSType { kIconTypeLauncher = 'oPt0' };

// Empties the pop-up's menu and fills it: running applications, launch items, application
// folders.
void BuildLauncherMenu(MenuRef* menu);

// Appends a launcher item for `item` at the end of `menu` (a folder that is no application
// gets the placeholder submenu; `process`, or NULL, marks a running application); false when
// nothing was appended.
Boolean AddLauncherItem(MenuRef menu, const FSSpec* item, Boolean isApplication, Boolean isFolder,
                        const ProcessSerialNumber* process);

// Empties `menu` and lists the applications and folders inside `folder`.
void BuildLauncherFolderMenu(const FSSpec* folder, MenuRef menu);
