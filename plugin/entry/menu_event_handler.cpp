#include <cstring>

#include "finder/finder_requests.h"
#include "plugin/entry/menu_cycle.h"
#include "plugin/menu/file_item.h"
#include "plugin/menu/folder_menu.h"
#include "plugin/menu/menu_pool.h"
#include "plugin/menu/recent_items.h"
#include "plugin/menu/root_menu.h"
#include "toolbox/aliases/aliases.h"
#include "toolbox/core/errors.h"

namespace {

// The whole text, length byte and trailing NUL included, so a file named like a title is
// still a file item. A title not loaded yet (length 0) names no item, not every empty one.
bool IsTitle(ConstStr255Param text, ConstStr255Param title) {
  return title[0] != 0 && text[0] == title[0] && std::memcmp(text, title, title[0] + 1u) == 0;
}

}  // namespace

void HandleMenuTarget(EventRef event, const AEDesc* context) {
  MenuRef menu = nullptr;
  MenuItemIndex index = 0;
  if (GetEventParameter(event, kEventParamDirectObject, typeMenuRef, nullptr, sizeof menu, nullptr,
                        &menu) != noErr ||
      GetEventParameter(event, kEventParamMenuItemIndex, typeMenuItemIndex, nullptr, sizeof index,
                        nullptr, &index) != noErr) {
    return;
  }
  Str255 text = {0};
  GetMenuItemText(menu, index, text);

  if (IsTitle(text, gPluginTitle)) {
    BuildRootMenu(gMenuPool[kPoolRoot], context);
    SetMenuItemHierarchicalMenu(menu, index, gMenuPool[kPoolRoot]);
    return;
  }
  if (IsTitle(text, gRecentTitle)) {
    BuildRecentMenu(&gMenuPool[2]);
    SetMenuItemHierarchicalMenu(menu, index, gMenuPool[2]);
    return;
  }

  MenuRef child = ChildMenuOf(menu);
  if (!child) return;
  FSSpec item;
  if (!ReadFileItem(menu, index, &item)) return;
  Boolean isFolder = false;
  Boolean wasAliased = false;
  if (ResolveAliasFileWithMountFlagsNoUI(&item, true, &isFolder, &wasAliased,
                                         kResolveAliasFileNoUI) != noErr ||
      !isFolder) {
    return;
  }
  MenuRef submenu = nullptr;
  GetMenuItemHierarchicalMenu(menu, index, &submenu);
  if (!submenu) return;  // the item was offered no submenu
  BuildFolderMenu(&item, child, 1, false);
  SetMenuItemHierarchicalMenu(menu, index, child);
}

OSStatus HandleMenuCommand(EventRef event) {
  HICommand command;
  if (GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command,
                        nullptr, &command) != noErr) {
    return eventNotHandledErr;
  }
  if (command.commandID != kCommandOpenItem) return eventNotHandledErr;

  FSSpec item;
  if (ReadFileItem(command.menu.menuRef, command.menu.menuItemIndex, &item)) {
    OpenWithFinder(&item);
    AddRecentItem(&item);
  }
  DisposeSavedContext();
  return noErr;
}

OSStatus MenuEventHandler(EventHandlerCallRef caller, EventRef event, void* userData) {
  switch (GetEventClass(event)) {
    case kEventClassMenu:
      if (GetEventKind(event) == kEventMenuTargetItem) {
        HandleMenuTarget(event, static_cast<const AEDesc*>(userData));
      }
      return eventNotHandledErr;  // the host's own menu handling goes on
    case kEventClassCommand:
      return HandleMenuCommand(event);
    default:
      return eventNotHandledErr;
  }
}
