// A fresh menu per test, and helpers to read item texts back.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "toolbox/cf/string.h"
#include "toolbox/core/pascal.h"
#include "toolbox/menus/menu_model.h"
#include "toolbox/menus/menus.h"

class MenuTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(CreateNewMenu(128, 0, &menu_), noErr); }
  void TearDown() override {
    if (menu_) DisposeMenu(menu_);
  }

  // The item's text through the Pascal path (Mac Roman bytes).
  std::string PascalText(MenuItemIndex item) {
    Str255 text;
    GetMenuItemText(menu_, item, text);
    return std::string(tb::PascalView(text));
  }
  // The item's text through the CFString path, as UTF-8.
  std::string CFText(MenuItemIndex item) {
    CFStringRef text = nullptr;
    if (CopyMenuItemTextAsCFString(menu_, item, &text) != noErr) return "<error>";
    std::string utf8 = tb::Utf8FromCFString(text);
    CFRelease(text);
    return utf8;
  }
  MenuItemIndex AppendCF(std::string_view utf8, MenuCommand command = 0) {
    CFStringRef text = tb::CFStringFromUtf8(utf8);
    MenuItemIndex index = 0;
    EXPECT_EQ(AppendMenuItemTextWithCFString(menu_, text, 0, command, &index), noErr);
    CFRelease(text);
    return index;
  }

  MenuRef menu_ = nullptr;
};
