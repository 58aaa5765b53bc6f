// The menu-tracking half of the Contextual Menu Manager: what the host does while the user
// moves through the contextual menu it built from the plug-ins' command pairs.
//
// Pointing at an item sends kEventMenuTargetItem before its submenu is looked at, so a plug-in
// can fill the submenu just in time. Choosing an item sends kEventCommandProcess; when no
// handler takes it and the item came from a plug-in's command pairs, that plug-in's
// HandleSelection gets the context and the command ID. The menu then closes and every plug-in
// gets PostMenuCleanup.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "desktop/cmm/plugin_host.h"

namespace desktop::cmm {

// Why a path through the menu could not be followed.
enum class PathError {
  none,
  noMenu,  // no contextual menu is open
  emptyPath,
  outOfRange,  // the index names no item of its menu
  disabled,    // a disabled item or a separator cannot be pointed at or chosen
  noSubmenu,   // a step before the last names an item without a submenu
  hasSubmenu,  // an item with a submenu opens it; it cannot be chosen
};

// Where a path led: the last item pointed at, and the submenu it opened (or nullptr). On an
// error, `step` is the index into the path where it stopped, and `menu` and `item` the item
// there (menu nullptr when no menu was open).
struct PathResult {
  PathError error = PathError::none;
  size_t step = 0;
  MenuRef menu = nullptr;
  MenuItemIndex item = 0;
  MenuRef submenu = nullptr;
};

struct ChoiceResult {
  PathResult path;
  std::string itemText;  // the chosen item's text, UTF-8
  MenuCommand command = 0;
  // kEventCommandProcess's result, or eventNotHandledErr when the item has no command ID and
  // no event was sent.
  OSStatus commandResult = eventNotHandledErr;
  bool handedToPlugin = false;  // HandleSelection was called
  OSStatus selectionResult = noErr;
};

class MenuTracking {
 public:
  explicit MenuTracking(ContextualMenuHost& host) : host_(host) {}
  ~MenuTracking();
  MenuTracking(const MenuTracking&) = delete;
  MenuTracking& operator=(const MenuTracking&) = delete;

  // A click on `items` with `modifiers` down: the host asks the plug-ins and builds the menu
  // (an open menu is closed first).
  MenuRef Open(const std::vector<FSSpec>& items, UInt32 modifiers);
  MenuRef menu() const { return host_.menu(); }

  // Points at path[0] of the open menu, then path[1] of the submenu that opened, and so on.
  PathResult Point(std::span<const MenuItemIndex> path);
  // Points along the path and chooses its last item with `modifiers` down, then closes the
  // menu. A path that cannot be followed chooses nothing and leaves the menu open.
  ChoiceResult Choose(std::span<const MenuItemIndex> path, UInt32 modifiers);
  // Closes the menu without a choice.
  void Close();

 private:
  ContextualMenuHost& host_;
  // The host's context as handed to HandleSelection: the clicked items as typeFSS.
  AEDescList context_ = {typeNull, nullptr};
};

}  // namespace desktop::cmm
