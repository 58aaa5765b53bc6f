// Item state, properties, reference constants, icons, submenus and deletion.
#include "menu_fixture.h"

namespace {

TEST_F(MenuTest, StyleIndentEnableAndAttributes) {
  AppendMenu(menu_, tb::PStr("a;b"));
  SetItemStyle(menu_, 1, bold | italic);
  EXPECT_EQ(SetMenuItemIndent(menu_, 2, 1), noErr);
  DisableMenuItem(menu_, 2);
  ChangeMenuItemAttributes(menu_, 1, kMenuItemAttrSubmenuParentChoosable, 0);

  Style style = 0;
  GetItemStyle(menu_, 1, &style);
  EXPECT_EQ(style, bold | italic);
  UInt32 indent = 9;
  EXPECT_EQ(GetMenuItemIndent(menu_, 2, &indent), noErr);
  EXPECT_EQ(indent, 1u);
  EXPECT_TRUE(IsMenuItemEnabled(menu_, 1));
  EXPECT_FALSE(IsMenuItemEnabled(menu_, 2));
  MenuItemAttributes attributes = 0;
  GetMenuItemAttributes(menu_, 2, &attributes);
  EXPECT_EQ(attributes, kMenuItemAttrDisabled);
  EnableMenuItem(menu_, 2);
  EXPECT_TRUE(IsMenuItemEnabled(menu_, 2));
  ChangeMenuItemAttributes(menu_, 1, kMenuItemAttrHidden, kMenuItemAttrSubmenuParentChoosable);
  GetMenuItemAttributes(menu_, 1, &attributes);
  EXPECT_EQ(attributes, kMenuItemAttrHidden);

  // Item 0 is the menu as a whole.
  DisableMenuItem(menu_, 0);
  EXPECT_FALSE(IsMenuItemEnabled(menu_, 0));
  EXPECT_TRUE(IsMenuItemEnabled(menu_, 1));
}

TEST_F(MenuTest, OutOfRangeItemsGiveErrorsAndChangeNothing) {
  AppendMenu(menu_, tb::PStr("a"));
  UInt32 indent;
  MenuCommand command;
  URefCon refCon;
  MenuRef submenu;
  MenuItemAttributes attributes;
  for (MenuItemIndex bad : {MenuItemIndex{0}, MenuItemIndex{2}, MenuItemIndex{0xFFFF}}) {
    EXPECT_EQ(SetMenuItemIndent(menu_, bad, 1), menuItemNotFoundErr);
    EXPECT_EQ(GetMenuItemIndent(menu_, bad, &indent), menuItemNotFoundErr);
    EXPECT_EQ(GetMenuItemCommandID(menu_, bad, &command), menuItemNotFoundErr);
    EXPECT_EQ(SetMenuItemRefCon(menu_, bad, 1), menuItemNotFoundErr);
    EXPECT_EQ(GetMenuItemRefCon(menu_, bad, &refCon), menuItemNotFoundErr);
    EXPECT_EQ(GetMenuItemHierarchicalMenu(menu_, bad, &submenu), menuItemNotFoundErr);
    EXPECT_EQ(ChangeMenuItemAttributes(menu_, bad, 1, 0), menuItemNotFoundErr);
    EXPECT_EQ(GetMenuItemAttributes(menu_, bad, &attributes), menuItemNotFoundErr);
    EXPECT_EQ(SetMenuItemIconHandle(menu_, bad, kMenuIconRefType, nullptr), menuItemNotFoundErr);
    SetItemStyle(menu_, bad, bold);
    DisableMenuItem(menu_, bad == 0 ? 2 : bad);
  }
  EXPECT_EQ(DeleteMenuItems(menu_, 2, 1), menuItemNotFoundErr);
  EXPECT_EQ(CountMenuItems(menu_), 1);
  EXPECT_TRUE(IsMenuItemEnabled(menu_, 1));
  EXPECT_EQ(tb::menus::View(menu_)->items[0].style, normal);
}

TEST_F(MenuTest, PropertiesAreKeptByCreatorAndTag) {
  AppendMenu(menu_, tb::PStr("file;other"));
  SInt16 vref = -100;
  unsigned char name[] = {4, 'a', 'b', 'c', 'd'};
  ASSERT_EQ(SetMenuItemProperty(menu_, 1, 'QVRL', 'vref', sizeof vref, &vref), noErr);
  ASSERT_EQ(SetMenuItemProperty(menu_, 1, 'QVRL', 'name', sizeof name, name), noErr);

  SInt16 readVref = 0;
  UInt32 size = 0;
  EXPECT_EQ(GetMenuItemProperty(menu_, 1, 'QVRL', 'vref', sizeof readVref, &size, &readVref),
            noErr);
  EXPECT_EQ(readVref, -100);
  EXPECT_EQ(size, 2u);
  unsigned char buffer[256] = {};
  EXPECT_EQ(GetMenuItemProperty(menu_, 1, 'QVRL', 'name', sizeof buffer, &size, buffer), noErr);
  EXPECT_EQ(size, 5u);
  EXPECT_EQ(std::string(buffer, buffer + 5), std::string(name, name + 5));
  // A buffer too small gets only what fits.
  unsigned char small[3] = {0, 0, 0xEE};
  EXPECT_EQ(GetMenuItemProperty(menu_, 1, 'QVRL', 'name', 2, &size, small), noErr);
  EXPECT_EQ(size, 2u);
  EXPECT_EQ(small[1], 'a');
  EXPECT_EQ(small[2], 0xEE);
  EXPECT_EQ(GetMenuItemPropertySize(menu_, 1, 'QVRL', 'name', &size), noErr);
  EXPECT_EQ(size, 5u);

  // Another creator, another item, the menu itself: none of them see it.
  EXPECT_EQ(GetMenuItemProperty(menu_, 1, 'qVRL', 'vref', 2, &size, &readVref),
            menuPropertyNotFoundErr);
  EXPECT_EQ(GetMenuItemProperty(menu_, 2, 'QVRL', 'vref', 2, &size, &readVref),
            menuPropertyNotFoundErr);
  EXPECT_EQ(GetMenuItemPropertySize(menu_, 0, 'QVRL', 'vref', &size), menuPropertyNotFoundErr);
  EXPECT_EQ(GetMenuItemProperty(menu_, 3, 'QVRL', 'vref', 2, &size, &readVref),
            menuItemNotFoundErr);

  EXPECT_EQ(RemoveMenuItemProperty(menu_, 1, 'QVRL', 'vref'), noErr);
  EXPECT_EQ(RemoveMenuItemProperty(menu_, 1, 'QVRL', 'vref'), menuPropertyNotFoundErr);
  EXPECT_EQ(GetMenuItemPropertySize(menu_, 1, 'QVRL', 'vref', &size), menuPropertyNotFoundErr);
}

TEST_F(MenuTest, RefConAndCommandRoundTrip) {
  AppendCF("x", 'OfD%');
  AppendCF("y");
  EXPECT_EQ(SetMenuItemRefCon(menu_, 1, 0xFFFFFFFFu), noErr);
  URefCon refCon = 0;
  EXPECT_EQ(GetMenuItemRefCon(menu_, 1, &refCon), noErr);
  EXPECT_EQ(refCon, 0xFFFFFFFFu);
  EXPECT_EQ(GetMenuItemRefCon(menu_, 2, &refCon), noErr);
  EXPECT_EQ(refCon, 0u);
  EXPECT_EQ(SetMenuItemCommandID(menu_, 2, 'OfPF'), noErr);
  MenuRef found = nullptr;
  MenuItemIndex index = 0;
  EXPECT_EQ(GetIndMenuItemWithCommandID(menu_, 'OfPF', 1, &found, &index), noErr);
  EXPECT_EQ(found, menu_);
  EXPECT_EQ(index, 2);
  EXPECT_EQ(GetIndMenuItemWithCommandID(menu_, 'OfPF', 2, &found, &index), menuItemNotFoundErr);
}

TEST_F(MenuTest, DeleteMenuItemsRemovesTheRange) {
  AppendMenu(menu_, tb::PStr("1;2;3;4;5"));
  EXPECT_EQ(DeleteMenuItems(menu_, 2, 2), noErr);
  DeleteMenuItem(menu_, 1);
  ASSERT_EQ(CountMenuItems(menu_), 2);
  EXPECT_EQ(PascalText(1), "4");
  EXPECT_EQ(PascalText(2), "5");
  EXPECT_EQ(DeleteMenuItems(menu_, 1, CountMenuItems(menu_)), noErr);
  EXPECT_EQ(CountMenuItems(menu_), 0);
  EXPECT_EQ(DeleteMenuItems(menu_, 1, 0), noErr);
}

TEST_F(MenuTest, SubmenuIsRetainedWhileAttached) {
  MenuRef child = nullptr, other = nullptr;
  ASSERT_EQ(CreateNewMenu(0, 0, &child), noErr);
  ASSERT_EQ(CreateNewMenu(0, 0, &other), noErr);
  AppendMenu(menu_, tb::PStr("folder;again"));
  AppendMenu(child, tb::PStr("inside"));
  EXPECT_EQ(SetMenuItemHierarchicalMenu(menu_, 1, child), noErr);
  EXPECT_EQ(SetMenuItemHierarchicalMenu(menu_, 2, child), noErr);
  EXPECT_EQ(GetMenuRetainCount(child), 3u);
  MenuRef attached = nullptr;
  EXPECT_EQ(GetMenuItemHierarchicalMenu(menu_, 1, &attached), noErr);
  EXPECT_EQ(attached, child);

  // Replacing releases the old one; deleting the item releases its submenu.
  EXPECT_EQ(SetMenuItemHierarchicalMenu(menu_, 2, other), noErr);
  EXPECT_EQ(GetMenuRetainCount(child), 2u);
  DeleteMenuItem(menu_, 2);
  EXPECT_EQ(GetMenuRetainCount(other), 1u);
  EXPECT_EQ(SetMenuItemHierarchicalMenu(menu_, 1, menu_), paramErr);

  // The parent going away leaves the child to its owner, still usable.
  DisposeMenu(menu_);
  menu_ = nullptr;
  EXPECT_EQ(GetMenuRetainCount(child), 1u);
  EXPECT_EQ(CountMenuItems(child), 1);
  DisposeMenu(child);
  DisposeMenu(other);
  // Disposed menus are refused, not followed.
  EXPECT_EQ(CountMenuItems(child), 0);
  EXPECT_EQ(tb::menus::View(child), nullptr);
  EXPECT_EQ(ReleaseMenu(child), paramErr);
}

int gAcquired = 0;
int gReleased = 0;

TEST_F(MenuTest, IconsAreKeptAndIconRefsHeldThroughHooks) {
  tb::menus::SetIconRetainHooks([](void*) { ++gAcquired; }, [](void*) { ++gReleased; });
  AppendMenu(menu_, tb::PStr("a;b"));
  int iconRef = 0, handleData = 0;
  auto* fakeIcon = reinterpret_cast<Handle>(&iconRef);
  auto* fakeHandle = reinterpret_cast<Handle>(&handleData);
  EXPECT_EQ(SetMenuItemIconHandle(menu_, 1, kMenuIconRefType, fakeIcon), noErr);
  EXPECT_EQ(SetMenuItemIconHandle(menu_, 2, kMenuIconType, fakeHandle), noErr);
  UInt8 type = 0;
  Handle icon = nullptr;
  EXPECT_EQ(GetMenuItemIconHandle(menu_, 1, &type, &icon), noErr);
  EXPECT_EQ(type, kMenuIconRefType);
  EXPECT_EQ(icon, fakeIcon);
  EXPECT_EQ(gAcquired, 1);
  EXPECT_EQ(SetMenuItemIconHandle(menu_, 2, kMenuIconRefType, fakeIcon), noErr);
  EXPECT_EQ(SetMenuItemIconHandle(menu_, 1, kMenuNoIcon, nullptr), noErr);
  EXPECT_EQ(gReleased, 1);
  DisposeMenu(menu_);
  menu_ = nullptr;
  EXPECT_EQ(gAcquired, 2);
  EXPECT_EQ(gReleased, 2);
  tb::menus::SetIconRetainHooks(nullptr, nullptr);
}

}  // namespace
