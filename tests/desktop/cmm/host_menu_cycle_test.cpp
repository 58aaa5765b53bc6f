// The contextual-menu cycle as a host runs it: the built bundle loaded from the system disk
// through CFPlugIn, a context of clicked items, the menu built from the plug-in's pairs.
#include <gtest/gtest.h>

#include "desktop/cmm/plugin_host.h"
#include "tests/support/plugin_fixture.h"
#include "toolbox/cf/bundle.h"
#include "toolbox/cf/string.h"
#include "toolbox/events/events.h"

namespace {

using desktop::cmm::ContextualMenuHost;

struct Item {
  std::string text;
  MenuCommand command = 0;
  MenuRef submenu = nullptr;
};

Item ItemOf(MenuRef menu, MenuItemIndex index) {
  Item item;
  CFStringRef text = nullptr;
  CopyMenuItemTextAsCFString(menu, index, &text);
  item.text = tb::Utf8FromCFString(text);
  if (text) CFRelease(text);
  GetMenuItemCommandID(menu, index, &item.command);
  GetMenuItemHierarchicalMenu(menu, index, &item.submenu);
  return item;
}

const std::string kDefaultTitle("Vantorel\0", 9);

class HostMenuCycle : public tb::test::PluginFixture {
 protected:
  void SetUp() override {
    PluginFixture::SetUp();
    folder_ = MakeFolder("Users/Shared/Work");
  }

  // Opens the menu for the items and returns its texts (the host's menu has nothing else).
  std::vector<Item> Open(const std::vector<FSSpec>& items) {
    if (host_.plugins().empty()) host_.LoadPlugins();
    EXPECT_EQ(host_.plugins().size(), 1u);
    MenuRef menu = host_.OpenMenu(items);
    std::vector<Item> rows;
    for (MenuItemIndex i = 1; i <= CountMenuItems(menu); ++i) rows.push_back(ItemOf(menu, i));
    return rows;
  }

  ContextualMenuHost host_;
  FSSpec folder_;
};

TEST_F(HostMenuCycle, LoadsTheBundleThroughCFPlugIn) {
  host_.LoadPlugins();
  ASSERT_EQ(host_.plugins().size(), 1u);
  EXPECT_EQ(tb::Utf8FromCFString(CFBundleGetIdentifier(host_.plugins()[0].plugin)),
            "com.quobrin.vantorel");
}

TEST_F(HostMenuCycle, AFolderGetsTheTitledItemWithItsPlaceholder) {
  auto rows = Open({folder_});
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].text, kDefaultTitle);  // the NUL belongs to the title
  ASSERT_NE(rows[0].submenu, nullptr);
  ASSERT_EQ(CountMenuItems(rows[0].submenu), 1);
  Item placeholder = ItemOf(rows[0].submenu, 1);
  EXPECT_EQ(placeholder.text, " ");
  EXPECT_EQ(placeholder.command, 1u);
  host_.CloseMenu();
}

TEST_F(HostMenuCycle, ClicksThatStillGetTheItem) {
  FSSpec file = MakeFile("Users/Shared/notes.txt", "hello");
  EXPECT_EQ(Open({file}).size(), 1u);           // a plain file
  EXPECT_EQ(Open({folder_, file}).size(), 1u);  // several items: only the first is checked
}

TEST_F(HostMenuCycle, ClicksThatGetNothing) {
  FSSpec gone = MakeFile("Users/Shared/gone.txt");
  std::filesystem::remove(disk() / "Users/Shared/gone.txt");
  EXPECT_TRUE(Open({gone}).empty());
  EXPECT_TRUE(Open({}).empty());
}

TEST_F(HostMenuCycle, ExcludedHostGetsNothing) {
  BeFrontProcess('XCEL');
  EXPECT_TRUE(Open({folder_}).empty());
}

TEST_F(HostMenuCycle, BothSectionsOffNeedCapsLockAlone) {
  WritePrefs({0x3F, 0x00, 0x00, 0x00});
  struct Case {
    UInt32 modifiers;
    size_t items;
  };
  const Case cases[] = {
      {0, 0},
      {alphaLock, 1},
      {alphaLock | controlKey, 0},  // a Control-click with Caps Lock on does not force
      {alphaLock | shiftKey, 0},
      {controlKey, 0},
  };
  for (const Case& c : cases) {
    tb::events::SetCurrentKeyModifiers(c.modifiers);
    EXPECT_EQ(Open({folder_}).size(), c.items) << "modifiers " << c.modifiers;
    host_.CloseMenu();
  }
}

struct TitleCase {
  const char* name;
  std::string strings;
  std::string title;
};

void PrintTo(const TitleCase& c, std::ostream* os) {
  *os << c.name;
}

class HostTitle : public HostMenuCycle, public ::testing::WithParamInterface<TitleCase> {};

TEST_P(HostTitle, TitleIsTheLocalizedNameAndItsNul) {
  WriteStrings(GetParam().strings);
  auto rows = Open({folder_});
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].text, GetParam().title);
}

const std::string k29(29, 'x');
const std::string k30(30, 'x');

INSTANTIATE_TEST_SUITE_P(
    Titles, HostTitle,
    ::testing::Values(
        TitleCase{"Fits29", "\"Plugin name\" = \"" + k29 + "\";", k29 + std::string(1, '\0')},
        TitleCase{"TooLong30", "\"Plugin name\" = \"" + k30 + "\";", kDefaultTitle},
        // Mac Roman has é, so it fits as one byte.
        TitleCase{"MacRoman", "\"Plugin name\" = \"Caf\xC3\xA9\";",
                  std::string("Caf\xC3\xA9\0", 6)},
        // Nothing in Mac Roman stands for this character.
        TitleCase{"NotMacRoman", "\"Plugin name\" = \"\xE6\x97\xA5\";", kDefaultTitle},
        TitleCase{"MissingKey", "\"other\" = \"x\";", std::string("Plugin name\0", 12)}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
