// The root submenu: its layouts, the message that replaces the listing, Recent Items.
#include <gtest/gtest.h>

#include <filesystem>

#include "plugin/entry/menu_cycle.h"
#include "plugin/menu/file_item.h"
#include "plugin/menu/menu_pool.h"
#include "plugin/menu/root_menu.h"
#include "plugin/prefs/preferences.h"
#include "tests/plugin/listing/listing_fixture.h"
#include "toolbox/cf/string.h"
#include "toolbox/core/errors.h"

namespace listing {
namespace {

constexpr UInt8 kCommands = kPrefShowCommands;
constexpr UInt8 kContents = kPrefShowContents;
constexpr UInt8 kIcons = kPrefShowIcons;
constexpr UInt8 kHideRecent = kPrefHideRecentItems;

// The items a root submenu can hold; `file` is the one entry of the clicked folder.
enum class Kind { commandsHeader, prefs, separator, contentsHeader, recent, file };
struct Want {
  Kind kind;
  UInt32 indent = 0;
};

class RootMenu : public ListingFixture {
 protected:
  // The clicked folder, holding one file.
  const AEDescList& ClickedFolder() {
    MakeFile("Users/Shared/Docs/a.txt", "a");
    return Context({SpecOf(disk() / "Users/Shared/Docs")});
  }
  Row Expand(Want want, bool icons) const {
    switch (want.kind) {
      case Kind::commandsHeader:
        return Header("message01");
      case Kind::contentsHeader:
        return Header("message02");
      case Kind::separator:
        return Separator();
      case Kind::prefs:
        return {
            Localized("message07"),          true, 0, want.indent, kCommandShowPrefs, Submenu::none,
            icons ? Icon::prefs : Icon::none};
      case Kind::recent:
        return {Localized("message10") + '\0',    true, 0, want.indent, 0, Submenu::placeholder,
                icons ? Icon::recent : Icon::none};
      case Kind::file:
        return File("a.txt", want.indent, icons ? Icon::file : Icon::none);
    }
    return {};
  }
};

struct LayoutCase {
  const char* name;
  UInt8 menuPrefs;
  UInt8 stylePrefs;
  bool forceAll;
  std::vector<Want> expected;
};

void PrintTo(const LayoutCase& c, std::ostream* os) {
  *os << c.name;
}

class RootMenuLayout : public RootMenu, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(RootMenuLayout, BuildsItemsInOrder) {
  const LayoutCase& c = GetParam();
  SetPrefs(c.menuPrefs, c.stylePrefs);
  gForceAll = c.forceAll;
  BuildRootMenu(root(), &ClickedFolder());

  std::vector<Row> expected;
  for (Want want : c.expected) expected.push_back(Expand(want, c.menuPrefs & kIcons));
  EXPECT_EQ(Rows(root()), expected);
}

const std::vector<Want> kFullLayout = {{Kind::commandsHeader}, {Kind::prefs, 1},  {Kind::separator},
                                       {Kind::contentsHeader}, {Kind::recent, 1}, {Kind::separator},
                                       {Kind::file, 1}};
const std::vector<Want> kFullLayoutNoRecent = {{Kind::commandsHeader},
                                               {Kind::prefs, 1},
                                               {Kind::separator},
                                               {Kind::contentsHeader},
                                               {Kind::file, 1}};

INSTANTIATE_TEST_SUITE_P(
    AllLayouts, RootMenuLayout,
    ::testing::Values(
        LayoutCase{"CommandsOnly", kCommands | kIcons, 0, false, {{Kind::prefs}}},
        LayoutCase{"ContentsOnly",
                   kContents | kIcons,
                   0,
                   false,
                   {{Kind::recent}, {Kind::separator}, {Kind::file}}},
        // The listing starts at item 1: no separator before it, no indentation.
        LayoutCase{
            "ContentsOnlyRecentHidden", kContents | kIcons, kHideRecent, false, {{Kind::file}}},
        LayoutCase{"Both", kCommands | kContents | kIcons, 0, false, kFullLayout},
        LayoutCase{"BothWithoutIcons", kCommands | kContents, 0, false, kFullLayout},
        LayoutCase{"BothRecentHidden", kCommands | kContents | kIcons, kHideRecent, false,
                   kFullLayoutNoRecent},
        // Caps Lock with both sections switched off shows everything.
        LayoutCase{"ForceAll", kIcons, 0, true, kFullLayout},
        LayoutCase{"ForceAllRecentHidden", kIcons, kHideRecent, true, kFullLayoutNoRecent}),
    [](const auto& info) { return std::string(info.param.name); });

// What the contents section shows for each kind of context.
enum class Clicked {
  nothing,
  emptyList,
  twoItems,
  plainFile,
  aliasToFile,
  aliasToFolder,
  aliasChainToFolder,
  aliasToGoneFolder,
  shortSpec
};

struct ContextCase {
  const char* name;
  Clicked clicked;
  const char* message;  // the one message item expected, or null for the listing of "Docs"
};

void PrintTo(const ContextCase& c, std::ostream* os) {
  *os << c.name;
}

class RootMenuContext : public RootMenu, public ::testing::WithParamInterface<ContextCase> {
 protected:
  const AEDesc& ContextFor(Clicked clicked) {
    FSSpec docs = MakeFolder("Users/Shared/Docs");
    MakeFile("Users/Shared/Docs/a.txt", "a");
    FSSpec file = MakeFile("Users/Shared/b.txt", "b");
    switch (clicked) {
      case Clicked::nothing:
        return null_;
      case Clicked::emptyList:
        return Context({});
      case Clicked::twoItems:
        return Context({docs, file});
      case Clicked::plainFile:
        return Context({file});
      case Clicked::aliasToFile:
        return Context({MakeAlias(file, "Users/Shared/b alias")});
      case Clicked::aliasToFolder:
        return Context({MakeAlias(docs, "Users/Shared/Docs alias")});
      case Clicked::aliasChainToFolder: {
        FSSpec first = MakeAlias(docs, "Users/Shared/Docs alias");
        return Context({MakeAlias(first, "Users/Shared/Docs alias alias")});
      }
      case Clicked::aliasToGoneFolder: {
        FSSpec gone = MakeFolder("Users/Shared/Gone");
        FSSpec alias = MakeAlias(gone, "Users/Shared/Gone alias");
        std::filesystem::remove(disk() / "Users/Shared/Gone");
        return Context({alias});
      }
      case Clicked::shortSpec: {
        // A host that puts a truncated record in the list: it cannot be read as an FSSpec.
        AEDescList& list = Context({});
        AEPutPtr(&list, 0, typeFSS, &docs, 6);
        return list;
      }
    }
    return null_;
  }

  AEDesc null_ = {typeNull, nullptr};
};

TEST_P(RootMenuContext, ContentsSectionShowsListingOrOneMessage) {
  const ContextCase& c = GetParam();
  SetPrefs(kContents | kIcons, kHideRecent);
  BuildRootMenu(root(), &ContextFor(c.clicked));
  if (c.message) {
    EXPECT_EQ(Rows(root()), std::vector<Row>{Message(c.message, false, true)});
  } else {
    EXPECT_EQ(Rows(root()), std::vector<Row>{File("a.txt", 0)});
  }
}

INSTANTIATE_TEST_SUITE_P(
    AllContexts, RootMenuContext,
    ::testing::Values(ContextCase{"Nothing", Clicked::nothing, "message05"},
                      ContextCase{"EmptyList", Clicked::emptyList, "message06"},
                      ContextCase{"TwoItems", Clicked::twoItems, "message03"},
                      ContextCase{"PlainFile", Clicked::plainFile, "message04"},
                      ContextCase{"AliasToFile", Clicked::aliasToFile, "message04"},
                      ContextCase{"AliasToFolder", Clicked::aliasToFolder, nullptr},
                      ContextCase{"AliasChainToFolder", Clicked::aliasChainToFolder, nullptr},
                      ContextCase{"AliasToGoneFolder", Clicked::aliasToGoneFolder, "message06"},
                      ContextCase{"TruncatedSpec", Clicked::shortSpec, "message06"}),
    [](const auto& info) { return std::string(info.param.name); });

// Message items: enabled, indented and with the caution icon under headers; else disabled and
// plain.
struct MessageCase {
  const char* name;
  bool headers;
  bool icons;
};

void PrintTo(const MessageCase& c, std::ostream* os) {
  *os << c.name;
}

class MessageItems : public ListingFixture, public ::testing::WithParamInterface<MessageCase> {};

TEST_P(MessageItems, LookFollowsHeaders) {
  const MessageCase& c = GetParam();
  SetPrefs(c.icons ? kPrefShowIcons : 0);
  AppendMenuItemTextWithCFString(root(), CFSTR("before"), 0, 0, nullptr);
  AppendMessageItem(root(), 2, CFSTR("message04"), c.headers);
  ASSERT_EQ(CountMenuItems(root()), 2);
  EXPECT_EQ(RowAt(root(), 2), Message("message04", c.headers, c.icons));
}

INSTANTIATE_TEST_SUITE_P(AllLooks, MessageItems,
                         ::testing::Values(MessageCase{"HeadersIcons", true, true},
                                           MessageCase{"HeadersNoIcons", true, false},
                                           MessageCase{"NoHeadersIcons", false, true},
                                           MessageCase{"NoHeadersNoIcons", false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RootMenu, MessagesUnderHeadersInTheFullLayout) {
  SetPrefs(kCommands | kContents | kIcons);
  struct {
    FSSpec clicked;
    const char* message;
  } cases[] = {{MakeFile("Users/Shared/b.txt"), "message04"},
               {MakeFolder("Users/Shared/Empty"), "message06"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    BuildRootMenu(root(), &Context({c.clicked}));
    ASSERT_EQ(CountMenuItems(root()), 7);
    EXPECT_EQ(RowAt(root(), 7), Message(c.message, true, true));
  }
}

TEST_F(RootMenu, RecentItemsIsTaggedAndChoosableWithPlaceholder) {
  SetPrefs(kContents);
  BuildRootMenu(root(), &ClickedFolder());

  Str255 text;
  GetMenuItemText(root(), 1, text);
  std::string expected = Localized("message10") + '\0';
  ASSERT_EQ(text[0], expected.size());
  EXPECT_EQ(std::string(reinterpret_cast<char*>(text + 1), text[0]), expected);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(gRecentTitle + 1), gRecentTitle[0]), expected);

  MenuRef submenu = nullptr;
  GetMenuItemHierarchicalMenu(root(), 1, &submenu);
  EXPECT_EQ(submenu, gMenuPool[kPoolPlaceholder]);
  MenuItemAttributes attributes = 0;
  GetMenuItemAttributes(root(), 1, &attributes);
  EXPECT_TRUE(attributes & kMenuItemAttrSubmenuParentChoosable);
  MenuCommand command = 1;
  GetMenuItemCommandID(root(), 1, &command);
  EXPECT_EQ(command, 0u);  // choosing it carries out nothing
}

TEST_F(RootMenu, RecentItemsTitleComesFromTheStringsTable) {
  WriteStrings("\"message10\" = \"Lately\";\n");
  SetPrefs(kContents);
  BuildRootMenu(root(), &ClickedFolder());
  EXPECT_EQ(RowAt(root(), 1).text, std::string("Lately") + '\0');
}

TEST_F(RootMenu, BuildingTwiceGivesTheSameMenu) {
  SetPrefs(kCommands | kContents | kIcons);
  const AEDescList& context = ClickedFolder();
  BuildRootMenu(root(), &context);
  std::vector<Row> first = Rows(root());
  BuildRootMenu(root(), &context);
  EXPECT_EQ(Rows(root()), first);
  EXPECT_EQ(first.size(), 7u);
}

TEST_F(RootMenu, FileItemsOfTheListingCarryTheirRecord) {
  SetPrefs(kCommands | kContents);
  BuildRootMenu(root(), &ClickedFolder());
  ASSERT_EQ(CountMenuItems(root()), 7);
  FSSpec item;
  ASSERT_TRUE(ReadFileItem(root(), 7, &item));
  FSSpec expected = SpecOf(disk() / "Users/Shared/Docs/a.txt");
  EXPECT_EQ(item.vRefNum, expected.vRefNum);
  EXPECT_EQ(SInt32{item.parID}, SInt32{expected.parID});
  EXPECT_EQ(std::string(reinterpret_cast<char*>(item.name + 1), item.name[0]), "a.txt");
  EXPECT_FALSE(ReadFileItem(root(), 2, &item));  // the preferences command is no file item
}

}  // namespace
}  // namespace listing
