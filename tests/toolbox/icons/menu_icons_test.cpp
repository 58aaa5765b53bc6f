// A menu item keeps its own reference to the IconRef it shows.
#include <gtest/gtest.h>

#include "toolbox/cf/string.h"
#include "toolbox/core/memory.h"
#include "toolbox/icons/icons.h"
#include "toolbox/menus/menus.h"

namespace {

TEST(MenuIcons, ItemHoldsItsIconUntilReplacedOrDisposed) {
  IconRef icon = nullptr;
  ASSERT_EQ(GetIconRef(kOnSystemDisk, kSystemIconsCreator, kGenericDocumentIcon, &icon), noErr);
  ASSERT_EQ(UnregisterIconRef(kSystemIconsCreator, kGenericDocumentIcon), noErr);  // ours alone
  MenuRef menu = nullptr;
  ASSERT_EQ(CreateNewMenu(1, 0, &menu), noErr);
  ASSERT_EQ(AppendMenuItemTextWithCFString(menu, CFSTR("a"), 0, 0, nullptr), noErr);
  ASSERT_EQ(AppendMenuItemTextWithCFString(menu, CFSTR("b"), 0, 0, nullptr), noErr);
  ASSERT_EQ(SetMenuItemIconHandle(menu, 1, kMenuIconRefType, reinterpret_cast<Handle>(icon)),
            noErr);
  ASSERT_EQ(SetMenuItemIconHandle(menu, 2, kMenuIconRefType, reinterpret_cast<Handle>(icon)),
            noErr);
  ASSERT_EQ(ReleaseIconRef(icon), noErr);  // as the plug-in does once it handed the icon on
  UInt16 owners = 0;
  ASSERT_EQ(GetIconRefOwners(icon, &owners), noErr);
  EXPECT_EQ(owners, 2);
  DeleteMenuItem(menu, 1);
  ASSERT_EQ(GetIconRefOwners(icon, &owners), noErr);
  EXPECT_EQ(owners, 1);
  DisposeMenu(menu);
  EXPECT_FALSE(IsValidIconRef(icon));
}

}  // namespace
