// The toolbox's own view of a menu, for screen drivers and hosts that render menus and track
// them: they read everything from here and keep no state of their own.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "toolbox/events/target.h"
#include "toolbox/menus/menus.h"

namespace tb::menus {

// A property key: creator, then tag.
using PropertyKey = std::pair<OSType, OSType>;
using Properties = std::map<PropertyKey, std::vector<unsigned char>>;

struct Item {
  std::u16string text;
  MenuCommand command = 0;
  MenuItemAttributes attributes = 0;  // kMenuItemAttrDisabled doubles as the enabled state
  Style style = normal;
  UInt32 indent = 0;
  CharParameter mark = noMark;
  CharParameter commandKey = 0;
  UInt8 iconNumber = 0;  // from AppendMenu's '^'
  UInt8 iconType = kMenuNoIcon;
  void* icon = nullptr;       // a Handle or an IconRef, by iconType
  MenuRef submenu = nullptr;  // retained while attached
  URefCon refCon = 0;
  Properties properties;

  bool enabled() const { return !(attributes & kMenuItemAttrDisabled); }
  bool separator() const { return attributes & kMenuItemAttrSeparator; }
};

struct Menu {
  MenuID id = 0;
  MenuAttributes attributes = 0;
  std::u16string title;
  bool enabled = true;
  std::vector<Item> items;  // items[0] is item 1
  Properties properties;    // item 0
};

// The menu behind a live MenuRef, or nullptr for a null or disposed one.
const Menu* View(MenuRef menu);
tb::events::Target* MenuTarget(MenuRef menu);

// How the menu holds an IconRef: `acquire` runs when one is set on an item, `release` when it
// is replaced, its item deleted or the menu freed. Icon Services installs them; without them
// the menu keeps the bare pointer.
using IconHook = void (*)(void* icon);
void SetIconRetainHooks(IconHook acquire, IconHook release);

// Menu tracking, for hosts and screen drivers. Both events go to the menu's target, whose
// parent is the application target. SendTargetItem sends kEventMenuTargetItem (the MenuRef as
// kEventParamDirectObject, kEventParamMenuItemIndex, kEventParamMenuCommand);
// SendCommandProcess sends kEventCommandProcess with the item's HICommand
// (kHICommandFromMenu) and the current key modifiers. Each returns the handlers' result.
OSStatus SendTargetItem(MenuRef menu, MenuItemIndex item);
OSStatus SendCommandProcess(MenuRef menu, MenuItemIndex item);

}  // namespace tb::menus
