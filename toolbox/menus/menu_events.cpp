// The events of menu tracking, sent on behalf of a host or a screen driver.
#include "toolbox/menus/menu_store.h"

namespace tb::menus {
namespace {

// Sends a new event of the class and kind to the target after `fill` has set its parameters.
template <typename Fill>
OSStatus Send(UInt32 eventClass, UInt32 kind, EventTargetRef target, Fill fill) {
  EventRef event = nullptr;
  OSStatus err = CreateEvent(nullptr, eventClass, kind, 0, kEventAttributeUserEvent, &event);
  if (err != noErr) return err;
  fill(event);
  err = SendEventToEventTarget(event, target);
  ReleaseEvent(event);
  return err;
}

}  // namespace

OSStatus SendTargetItem(MenuRef menu, MenuItemIndex index) {
  Item* item = ItemAt(menu, index);
  if (!item) return Live(menu) ? menuItemNotFoundErr : paramErr;
  MenuCommand command = item->command;
  // The menu stays alive through the handlers, which may well release their own references.
  RetainMenu(menu);
  OSStatus result = Send(kEventClassMenu, kEventMenuTargetItem, menu->target, [&](EventRef event) {
    SetEventParameter(event, kEventParamDirectObject, typeMenuRef, sizeof menu, &menu);
    SetEventParameter(event, kEventParamMenuItemIndex, typeMenuItemIndex, sizeof index, &index);
    SetEventParameter(event, kEventParamMenuCommand, typeMenuCommand, sizeof command, &command);
  });
  ReleaseMenu(menu);
  return result;
}

OSStatus SendCommandProcess(MenuRef menu, MenuItemIndex index) {
  Item* item = ItemAt(menu, index);
  if (!item) return Live(menu) ? menuItemNotFoundErr : paramErr;
  HICommand command{};
  command.attributes = kHICommandFromMenu;
  command.commandID = item->command;
  command.menu.menuRef = menu;
  command.menu.menuItemIndex = index;
  UInt32 modifiers = GetCurrentKeyModifiers();
  RetainMenu(menu);
  OSStatus result =
      Send(kEventClassCommand, kEventCommandProcess, menu->target, [&](EventRef event) {
        SetEventParameter(event, kEventParamDirectObject, typeHICommand, sizeof command, &command);
        SetEventParameter(event, kEventParamKeyModifiers, typeUInt32, sizeof modifiers, &modifiers);
      });
  ReleaseMenu(menu);
  return result;
}

}  // namespace tb::menus
