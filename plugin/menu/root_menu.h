// The root submenu: the commands section, and the contents section with Recent Items and the
// listing of the clicked folder (or the message that takes its place).
#pragma once

#include "toolbox/appleevents/descriptors.h"
#include "toolbox/cf/base.h"
#include "toolbox/menus/menus.h"

enum : OSType { kIconTypeRecent = 'OfRE', kIconTypePrefs = 'OfPF' };

void BuildRootMenu(MenuRef menu, const AEDesc* context);

// Appends the localized text of `key` as a message: with headers shown an enabled, indented
// item with the caution icon (when icons are on), else a disabled plain item.
void AppendMessageItem(MenuRef menu, MenuItemIndex index, CFStringRef key, Boolean showHeaders);
