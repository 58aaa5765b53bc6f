// The items last chosen through the plug-in, kept as alias records in "Vantorel Recents".
#pragma once

#include "toolbox/files/files.h"
#include "toolbox/menus/menus.h"

enum { kMaxRecentRecords = 20 };

// Empties the menu and fills it with the recent items, newest first.
void BuildRecentMenu(MenuRef* menu);
// Records the item as the newest entry; an older entry of the same item is dropped.
OSErr AddRecentItem(const FSSpec* item);
// Empties the list (the file stays, with nothing in it).
OSErr ClearRecentItems();
// Appends one recent item at `index` (one past the menu's last item); false when it is gone.
Boolean AppendRecentItem(MenuRef* menu, MenuItemIndex index, const FSSpec* item, Boolean isFolder);
// How many entries the submenu shows, from the preferences.
int RecentItemsShown();
