#include "desktop/cmm/menu_tracking.h"

#include "toolbox/cf/string.h"
#include "toolbox/core/errors.h"
#include "toolbox/events/events.h"
#include "toolbox/menus/menu_model.h"

namespace desktop::cmm {

MenuTracking::~MenuTracking() {
  Close();
}

MenuRef MenuTracking::Open(const std::vector<FSSpec>& items, UInt32 modifiers) {
  Close();
  AECreateList(nullptr, 0, false, &context_);
  for (const FSSpec& item : items) AEPutPtr(&context_, 0, typeFSS, &item, sizeof item);
  tb::events::SetCurrentKeyModifiers(modifiers);
  return host_.OpenMenu(items);
}

PathResult MenuTracking::Point(std::span<const MenuItemIndex> path) {
  PathResult result;
  MenuRef menu = host_.menu();
  if (!menu) {
    result.error = PathError::noMenu;
    return result;
  }
  if (path.empty()) {
    result.error = PathError::emptyPath;
    return result;
  }
  for (size_t step = 0; step < path.size(); ++step) {
    MenuItemIndex index = path[step];
    result.step = step;
    result.menu = menu;
    result.item = index;
    result.submenu = nullptr;
    const tb::menus::Menu* view = tb::menus::View(menu);
    if (!view || index < 1 || index > view->items.size()) {
      result.error = PathError::outOfRange;
      return result;
    }
    const tb::menus::Item& item = view->items[index - 1];
    if (!item.enabled() || item.separator()) {
      result.error = PathError::disabled;
      return result;
    }
    // The Menu Manager asks the handlers first, then opens whatever submenu the item has now.
    tb::menus::SendTargetItem(menu, index);
    MenuRef submenu = nullptr;
    GetMenuItemHierarchicalMenu(menu, index, &submenu);
    result.submenu = submenu;
    if (step + 1 < path.size() && !submenu) {
      result.error = PathError::noSubmenu;
      return result;
    }
    menu = submenu;
  }
  return result;
}

ChoiceResult MenuTracking::Choose(std::span<const MenuItemIndex> path, UInt32 modifiers) {
  ChoiceResult result;
  result.path = Point(path);
  if (result.path.error != PathError::none) return result;
  if (result.path.submenu) {
    result.path.error = PathError::hasSubmenu;
    return result;
  }
  MenuRef menu = result.path.menu;
  MenuItemIndex item = result.path.item;
  CFStringRef text = nullptr;
  CopyMenuItemTextAsCFString(menu, item, &text);
  result.itemText = tb::Utf8FromCFString(text);
  if (text) CFRelease(text);

  tb::events::SetCurrentKeyModifiers(modifiers);
  GetMenuItemCommandID(menu, item, &result.command);
  // Only an item with a command ID makes a command event.
  if (result.command != 0) result.commandResult = tb::menus::SendCommandProcess(menu, item);
  if (result.commandResult == eventNotHandledErr) {
    if (const LoadedPlugin* owner = host_.OwnerOf(menu, item)) {
      result.handedToPlugin = true;
      result.selectionResult =
          (*owner->interface)
              ->HandleSelection(owner->interface, &context_, static_cast<SInt32>(result.command));
    }
  }
  Close();
  return result;
}

void MenuTracking::Close() {
  host_.CloseMenu();
  AEDisposeDesc(&context_);
}

}  // namespace desktop::cmm
