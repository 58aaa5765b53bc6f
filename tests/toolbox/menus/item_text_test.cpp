// Item texts through the Pascal and CFString paths, and AppendMenu's metacharacters.
#include "menu_fixture.h"

namespace {

using namespace std::string_literals;

struct TextCase {
  const char* name;
  bool viaCF;         // appended as CFString (UTF-8 below), else as Pascal Mac Roman bytes
  std::string given;  // UTF-8 or Mac Roman bytes
  std::string pascal;
  std::string utf8;
};

class ItemText : public MenuTest, public ::testing::WithParamInterface<TextCase> {};

TEST_P(ItemText, ReadsBackThroughBothPaths) {
  const TextCase& c = GetParam();
  if (c.viaCF) {
    EXPECT_EQ(AppendCF(c.given), 1);
  } else {
    Str255 text;
    tb::SetPascal(text, sizeof text, c.given);
    ASSERT_EQ(AppendMenuItemText(menu_, text), noErr);
  }
  ASSERT_EQ(CountMenuItems(menu_), 1);
  EXPECT_EQ(PascalText(1), c.pascal);
  EXPECT_EQ(CFText(1), c.utf8);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ItemText,
    ::testing::ValuesIn(std::vector<TextCase>{
        {"PlainPascal", false, "Documents", "Documents", "Documents"},
        {"TrailingNulPascal", false, "Vantorel\0"s, "Vantorel\0"s, "Vantorel\0"s},
        {"TrailingNulCF", true, "Recent Items\0"s, "Recent Items\0"s, "Recent Items\0"s},
        {"MacRomanHighBytes", false, "Caf\x8E \xA5", "Caf\x8E \xA5", "Caf\xC3\xA9 \xE2\x80\xA2"},
        {"UnicodeToMacRoman", true, "Caf\xC3\xA9", "Caf\x8E", "Caf\xC3\xA9"},
        {"MissingInMacRoman", true, "\xE6\x97\xA5 x", "? x", "\xE6\x97\xA5 x"},
        {"NoMetacharacters", false, "a;b(-", "a;b(-", "a;b(-"},
        {"LoneDashIsText", false, "-", "-", "-"},
        {"LongCFCutAt255", true, std::string(300, 'x'), std::string(255, 'x'),
         std::string(300, 'x')},
    }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MenuTest, SetTextReplacesThroughEitherPath) {
  AppendCF("old");
  SetMenuItemText(menu_, 1, tb::PStr("new\xA5"));
  EXPECT_EQ(CFText(1), "new\xE2\x80\xA2");
  CFStringRef text = tb::CFStringFromUtf8(
      "\xC3\xBC"
      "ber\0"s);
  EXPECT_EQ(SetMenuItemTextWithCFString(menu_, 1, text), noErr);
  EXPECT_EQ(SetMenuItemTextWithCFString(menu_, 2, text), menuItemNotFoundErr);
  CFRelease(text);
  EXPECT_EQ(PascalText(1),
            "\x9F"
            "ber\0"s);
  // Out of range: an empty text, nothing else touched.
  EXPECT_EQ(PascalText(0), "");
  EXPECT_EQ(PascalText(2), "");
  SetMenuItemText(menu_, 5, tb::PStr("x"));
  EXPECT_EQ(CountMenuItems(menu_), 1);
}

struct AppendMenuCase {
  const char* name;
  const char* data;
  std::vector<std::string> texts;
  std::vector<MenuItemAttributes> attributes;
};

class AppendMenuMeta : public MenuTest, public ::testing::WithParamInterface<AppendMenuCase> {};

TEST_P(AppendMenuMeta, SplitsAndReadsMetacharacters) {
  const AppendMenuCase& c = GetParam();
  Str255 data;
  tb::SetPascal(data, sizeof data, c.data);
  AppendMenu(menu_, data);
  ASSERT_EQ(CountMenuItems(menu_), c.texts.size());
  for (MenuItemIndex i = 1; i <= c.texts.size(); ++i) {
    EXPECT_EQ(PascalText(i), c.texts[i - 1]) << "item " << i;
    MenuItemAttributes attributes = 0;
    EXPECT_EQ(GetMenuItemAttributes(menu_, i, &attributes), noErr);
    EXPECT_EQ(attributes, c.attributes[i - 1]) << "item " << i;
    EXPECT_EQ(IsMenuItemEnabled(menu_, i), !(attributes & kMenuItemAttrDisabled));
  }
}

constexpr MenuItemAttributes kSeparator = kMenuItemAttrSeparator | kMenuItemAttrDisabled;

INSTANTIATE_TEST_SUITE_P(
    Cases, AppendMenuMeta,
    ::testing::ValuesIn(std::vector<AppendMenuCase>{
        {"Single", "Open", {"Open"}, {0}},
        {"Split", "Open;Close\rQuit", {"Open", "Close", "Quit"}, {0, 0, 0}},
        {"Separator", "About;-;Quit", {"About", "-", "Quit"}, {0, kSeparator, 0}},
        {"DisabledSeparator", "(-", {"-"}, {kSeparator}},
        {"Disabled", "(Paste;Copy", {"Paste", "Copy"}, {kMenuItemAttrDisabled, 0}},
        {"Decorations", "Bold<B<I/B!\x12^1", {"Bold"}, {0}},
    }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MenuTest, AppendMenuDecorationsLandOnTheItem) {
  AppendMenu(menu_, tb::PStr("Bold<B<I/K!\x12^3;Plain"));
  Style style = 0;
  GetItemStyle(menu_, 1, &style);
  EXPECT_EQ(style, bold | italic);
  CharParameter key = 0, mark = 0;
  GetItemCmd(menu_, 1, &key);
  GetItemMark(menu_, 1, &mark);
  EXPECT_EQ(key, 'K');
  EXPECT_EQ(mark, checkMark);
  EXPECT_EQ(tb::menus::View(menu_)->items[0].iconNumber, 3);
  GetItemStyle(menu_, 2, &style);
  EXPECT_EQ(style, normal);
}

TEST_F(MenuTest, InsertPlacesAfterTheGivenItem) {
  AppendMenu(menu_, tb::PStr("a;d"));
  InsertMenuItem(menu_, tb::PStr("b;c"), 1);
  ASSERT_EQ(InsertMenuItemText(menu_, tb::PStr("first"), 0), noErr);
  CFStringRef last = tb::CFStringFromUtf8("last");
  ASSERT_EQ(InsertMenuItemTextWithCFString(menu_, last, 99, 0, 'LAST'), noErr);
  CFRelease(last);
  std::vector<std::string> texts;
  for (MenuItemIndex i = 1; i <= CountMenuItems(menu_); ++i) texts.push_back(PascalText(i));
  EXPECT_EQ(texts, (std::vector<std::string>{"first", "a", "b", "c", "d", "last"}));
  MenuCommand command = 0;
  EXPECT_EQ(GetMenuItemCommandID(menu_, 6, &command), noErr);
  EXPECT_EQ(command, 'LAST');
}

TEST_F(MenuTest, TitleRoundTrips) {
  CFStringRef title = tb::CFStringFromUtf8("F\xC3\xA4hre");
  EXPECT_EQ(SetMenuTitleWithCFString(menu_, title), noErr);
  CFRelease(title);
  CFStringRef copy = nullptr;
  EXPECT_EQ(CopyMenuTitleAsCFString(menu_, &copy), noErr);
  EXPECT_EQ(tb::Utf8FromCFString(copy), "F\xC3\xA4hre");
  CFRelease(copy);
  EXPECT_EQ(GetMenuID(menu_), 128);
}

}  // namespace
