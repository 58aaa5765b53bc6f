// Menu tracking events reaching an application handler with their parameters.
#include "menu_fixture.h"

namespace {

struct Seen {
  UInt32 eventClass = 0, kind = 0;
  MenuRef menu = nullptr;
  MenuItemIndex index = 0;
  HICommand command{};
  UInt32 modifiers = 0;
  OSStatus reply = noErr;
  int calls = 0;
};

OSStatus Record(EventHandlerCallRef, EventRef event, void* userData) {
  auto* seen = static_cast<Seen*>(userData);
  ++seen->calls;
  seen->eventClass = GetEventClass(event);
  seen->kind = GetEventKind(event);
  if (seen->eventClass == kEventClassMenu) {
    GetEventParameter(event, kEventParamDirectObject, typeMenuRef, nullptr, sizeof seen->menu,
                      nullptr, &seen->menu);
    GetEventParameter(event, kEventParamMenuItemIndex, typeMenuItemIndex, nullptr,
                      sizeof seen->index, nullptr, &seen->index);
  } else {
    GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof seen->command,
                      nullptr, &seen->command);
    GetEventParameter(event, kEventParamKeyModifiers, typeUInt32, nullptr, sizeof seen->modifiers,
                      nullptr, &seen->modifiers);
  }
  return seen->reply;
}

const EventTypeSpec kTracking[] = {{kEventClassCommand, kEventCommandProcess},
                                   {kEventClassMenu, kEventMenuTargetItem}};

TEST_F(MenuTest, TargetItemAndCommandReachTheApplication) {
  AppendCF("Vantorel");
  AppendCF("file", 'OfD%');
  Seen seen;
  seen.reply = eventNotHandledErr;
  EventHandlerRef handler = nullptr;
  ASSERT_EQ(InstallApplicationEventHandler(Record, 2, kTracking, &seen, &handler), noErr);

  EXPECT_EQ(tb::menus::SendTargetItem(menu_, 1), eventNotHandledErr);
  EXPECT_EQ(seen.eventClass, kEventClassMenu);
  EXPECT_EQ(seen.kind, kEventMenuTargetItem);
  EXPECT_EQ(seen.menu, menu_);
  EXPECT_EQ(seen.index, 1);

  seen.reply = noErr;
  tb::events::SetCurrentKeyModifiers(cmdKey);
  EXPECT_EQ(tb::menus::SendCommandProcess(menu_, 2), noErr);
  EXPECT_EQ(seen.kind, kEventCommandProcess);
  EXPECT_EQ(seen.command.attributes, kHICommandFromMenu);
  EXPECT_EQ(seen.command.commandID, 'OfD%');
  EXPECT_EQ(seen.command.menu.menuRef, menu_);
  EXPECT_EQ(seen.command.menu.menuItemIndex, 2);
  EXPECT_EQ(seen.modifiers, cmdKey);
  EXPECT_EQ(seen.calls, 2);

  EXPECT_EQ(tb::menus::SendTargetItem(menu_, 3), menuItemNotFoundErr);
  EXPECT_EQ(seen.calls, 2);
  RemoveEventHandler(handler);
  EXPECT_EQ(tb::menus::SendCommandProcess(menu_, 2), eventNotHandledErr);
}

// The menu handler of a contextual-menu cycle may dispose of the very menus being tracked.
OSStatus DisposeDuringTracking(EventHandlerCallRef, EventRef event, void* userData) {
  auto* menu = static_cast<MenuRef*>(userData);
  DisposeMenu(*menu);
  *menu = nullptr;
  return noErr;
}

TEST_F(MenuTest, HandlersOnTheMenuTargetRunFirstAndMayDisposeTheMenu) {
  AppendCF("x", 'cmd1');
  Seen atApplication;
  EventHandlerRef appHandler = nullptr;
  InstallApplicationEventHandler(Record, 2, kTracking, &atApplication, &appHandler);
  MenuRef owned = menu_;
  ASSERT_EQ(InstallEventHandler(GetMenuEventTarget(menu_), DisposeDuringTracking, 2, kTracking,
                                &owned, nullptr),
            noErr);
  EXPECT_EQ(tb::menus::SendTargetItem(menu_, 1), noErr);
  EXPECT_EQ(owned, nullptr);
  EXPECT_EQ(atApplication.calls, 0);
  EXPECT_EQ(tb::menus::View(menu_), nullptr);
  menu_ = nullptr;
  RemoveEventHandler(appHandler);
}

}  // namespace
