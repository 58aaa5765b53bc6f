// The recent items: the file of alias records in the Preferences folder and the submenu built
// from it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "plugin/menu/file_item.h"
#include "plugin/menu/menu_pool.h"
#include "plugin/menu/recent_items.h"
#include "plugin/prefs/preferences.h"
#include "tests/plugin/recents/recents_support.h"
#include "toolbox/aliases/alias_file.h"
#include "toolbox/cf/string.h"
#include "toolbox/core/errors.h"
#include "toolbox/core/pascal.h"
#include "toolbox/icons/icons.h"

namespace {

using tb::test::MenuRow;
using tb::test::NameOf;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace fs = std::filesystem;

const std::string kNothing = "Nothing to show";  // "message06" of the bundle's table

class RecentItems : public tb::test::RecentsFixture {
 protected:
  // Items "item 01" to "item <n>", recorded in that order (so the newest is the last).
  std::vector<FSSpec> AddNumbered(int n) {
    std::vector<FSSpec> items;
    for (int i = 1; i <= n; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "item %02d", i);
      items.push_back(Item(name));
      EXPECT_EQ(AddRecentItem(&items.back()), noErr);
    }
    return items;
  }
  static std::vector<std::string> Numbered(std::initializer_list<int> numbers) {
    std::vector<std::string> names;
    for (int i : numbers) {
      char name[16];
      std::snprintf(name, sizeof name, "item %02d", i);
      names.push_back(name);
    }
    return names;
  }
  void ExpectOnlyTheMessage() {
    std::vector<MenuRow> rows = Build();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].text, kNothing);
    EXPECT_FALSE(rows[0].enabled);
    EXPECT_EQ(rows[0].command, 0u);
  }
};

TEST_F(RecentItems, NoFileOrAnEmptyOneShowsOnlyTheDisabledMessage) {
  // Whatever the menu held before is replaced.
  AppendMenuItemTextWithCFString(gMenuPool[2], CFSTR("old"), 0, 0, nullptr);
  AppendMenuItemTextWithCFString(gMenuPool[2], CFSTR("older"), 0, 0, nullptr);
  ExpectOnlyTheMessage();
  EXPECT_FALSE(RecentsFileExists());  // building creates nothing

  SetRecentsBytes({});
  ExpectOnlyTheMessage();
}

TEST_F(RecentItems, FileHoldsLengthPrefixedAliasRecordsNewestFirst) {
  FSSpec a = Item("a.txt");
  FSSpec b = Item("b.txt");
  EXPECT_EQ(AddRecentItem(&a), noErr);
  ASSERT_TRUE(RecentsFileExists());
  FInfo info{};
  ASSERT_EQ(FSpGetFInfo(&recents_, &info), noErr);
  EXPECT_EQ(info.fdCreator, static_cast<OSType>('QVRL'));
  EXPECT_EQ(info.fdType, static_cast<OSType>('pref'));
  EXPECT_EQ(RecentsBytes(), RecordOf(a));  // exactly one record, as NewAlias makes it

  EXPECT_EQ(AddRecentItem(&b), noErr);
  EXPECT_THAT(RecordNames(), ElementsAre("b.txt", "a.txt"));
  EXPECT_THAT(BuildTexts(), ElementsAre("b.txt", "a.txt"));
}

TEST_F(RecentItems, ChoosingAListedItemMovesItToTheTop) {
  std::vector<FSSpec> items = AddNumbered(3);
  EXPECT_EQ(AddRecentItem(&items[0]), noErr);
  EXPECT_THAT(RecordNames(), ElementsAreArray(Numbered({1, 3, 2})));
  EXPECT_EQ(AddRecentItem(&items[0]), noErr);  // already on top: nothing changes
  EXPECT_THAT(RecordNames(), ElementsAreArray(Numbered({1, 3, 2})));
}

TEST_F(RecentItems, ANewItemPushesOutTheTwentieth) {
  std::vector<FSSpec> items = AddNumbered(20);
  EXPECT_EQ(RecordNames().size(), 20u);
  FSSpec newest = Item("item 21");
  EXPECT_EQ(AddRecentItem(&newest), noErr);
  std::vector<std::string> expected = Numbered({21});
  for (int i = 20; i >= 2; --i) expected.push_back(Numbered({i})[0]);
  EXPECT_THAT(RecordNames(), ElementsAreArray(expected));

  SetCountBits(0x18);
  EXPECT_THAT(BuildTexts(), ElementsAreArray(expected));
}

TEST_F(RecentItems, CountComesFromTheTwoPreferenceBits) {
  AddNumbered(20);
  struct {
    UInt8 bits;
    int shown;
  } const cases[] = {{0x00, 10}, {0x08, 15}, {0x10, 5}, {0x18, 20}};
  for (const auto& c : cases) {
    SetCountBits(c.bits);
    EXPECT_EQ(RecentItemsShown(), c.shown) << int{c.bits};
    std::vector<std::string> texts = BuildTexts();
    ASSERT_EQ(texts.size(), static_cast<size_t>(c.shown)) << int{c.bits};
    EXPECT_EQ(texts.front(), "item 20");
  }
}

TEST_F(RecentItems, AnEntryThatNoLongerResolvesStillTakesItsSlot) {
  std::vector<FSSpec> items = AddNumbered(20);
  fs::remove(disk() / "Users/Shared/Items/item 19");  // the second record
  SetCountBits(0x10);                                 // five
  EXPECT_THAT(BuildTexts(), ElementsAreArray(Numbered({20, 18, 17, 16})));

  // The next recording drops it from the file.
  EXPECT_EQ(AddRecentItem(&items[0]), noErr);
  std::vector<std::string> names = RecordNames();
  EXPECT_EQ(names.size(), 19u);
  EXPECT_EQ(std::count(names.begin(), names.end(), "?"), 0);
  EXPECT_EQ(names.front(), "item 01");
}

// An item that cannot be recorded (it is gone) still has the list rewritten without its dead
// entries; nothing new is added.
TEST_F(RecentItems, RecordingAGoneItemOnlyDropsDeadEntries) {
  std::vector<FSSpec> items = AddNumbered(3);
  fs::remove(disk() / "Users/Shared/Items/item 02");
  FSSpec gone = Item("gone");
  fs::remove(disk() / "Users/Shared/Items/gone");
  EXPECT_EQ(AddRecentItem(&gone), noErr);
  EXPECT_THAT(RecordNames(), ElementsAreArray(Numbered({3, 1})));
}

TEST_F(RecentItems, NamesDifferingOnlyInCaseAreTwoEntries) {
  FSSpec lower = Item("report.txt");
  FSSpec upper = Item("Report.txt");
  EXPECT_EQ(AddRecentItem(&lower), noErr);
  EXPECT_EQ(AddRecentItem(&upper), noErr);
  EXPECT_THAT(RecordNames(), ElementsAre("Report.txt", "report.txt"));
  EXPECT_THAT(BuildTexts(), ElementsAre("Report.txt", "report.txt"));
}

TEST_F(RecentItems, ClearingLeavesAnEmptyFile) {
  AddNumbered(3);
  EXPECT_EQ(ClearRecentItems(), noErr);
  ASSERT_TRUE(RecentsFileExists());
  EXPECT_TRUE(RecentsBytes().empty());
  ExpectOnlyTheMessage();
}

TEST_F(RecentItems, ClearingWithoutAFileCreatesNothing) {
  EXPECT_EQ(ClearRecentItems(), fnfErr);
  EXPECT_FALSE(RecentsFileExists());
}

TEST_F(RecentItems, WithoutAPreferencesFolderNothingIsRecorded) {
  fs::path preferences = disk() / "Users";
  for (const auto& user : fs::directory_iterator(preferences)) {
    fs::remove_all(user.path() / "Library" / "Preferences");
  }
  FSSpec a = Item("a.txt");
  EXPECT_EQ(AddRecentItem(&a), fnfErr);
  for (const auto& entry : fs::recursive_directory_iterator(disk())) {
    EXPECT_EQ(entry.path().filename().string().find("Vantorel Recents"), std::string::npos)
        << entry.path();
  }
  ExpectOnlyTheMessage();
}

TEST_F(RecentItems, AnAliasFileEntryShowsItsTarget) {
  FSSpec folder = MakeFolder("Users/Shared/Projects");
  MakeFolder("Users/Shared/Projects/Inner");
  FSSpec aliasFile;
  ASSERT_EQ(FSMakeFSSpec(folder.vRefNum, folder.parID, tb::PStr("Projects alias"), &aliasFile),
            fnfErr);
  ASSERT_EQ(tb::aliases::MakeAliasFile(folder, aliasFile), noErr);
  EXPECT_EQ(AddRecentItem(&aliasFile), noErr);
  EXPECT_THAT(RecordNames(), ElementsAre("Projects alias"));  // recorded as chosen

  std::vector<MenuRow> rows = Build();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].text, "Projects");
  EXPECT_EQ(rows[0].command, static_cast<MenuCommand>(kCommandOpenItem));
  EXPECT_EQ(rows[0].submenu, gMenuPool[kPoolPlaceholder]);  // a folder, offered its submenu
  Style style = 0;
  GetItemStyle(gMenuPool[2], 1, &style);
  EXPECT_EQ(style, 0);  // the target is no alias file itself
  // The target's icon, not the alias file's.
  UInt8 iconType = 0;
  Handle icon = nullptr;
  GetMenuItemIconHandle(gMenuPool[2], 1, &iconType, &icon);
  ASSERT_EQ(iconType, kMenuIconRefType);
  IconRef targetIcon = nullptr, aliasIcon = nullptr;
  ASSERT_EQ(GetIconRefFromFile(&folder, &targetIcon, nullptr), noErr);
  ASSERT_EQ(GetIconRefFromFile(&aliasFile, &aliasIcon, nullptr), noErr);
  auto shown = tb::icons::FamilyData(reinterpret_cast<IconRef>(icon));
  auto wanted = tb::icons::FamilyData(targetIcon);
  auto other = tb::icons::FamilyData(aliasIcon);
  EXPECT_TRUE(std::equal(shown.begin(), shown.end(), wanted.begin(), wanted.end()));
  EXPECT_FALSE(std::equal(shown.begin(), shown.end(), other.begin(), other.end()));
  ReleaseIconRef(targetIcon);
  ReleaseIconRef(aliasIcon);

  FSSpec back;
  ASSERT_TRUE(ReadFileItem(gMenuPool[2], 1, &back));
  EXPECT_EQ(NameOf(back), "Projects");
  EXPECT_EQ(SInt32{back.parID}, SInt32{folder.parID});
}

TEST_F(RecentItems, AFolderGetsNoSubmenuWhenSubmenusAreOff) {
  FSSpec folder = MakeFolder("Users/Shared/Projects");
  EXPECT_EQ(AddRecentItem(&folder), noErr);
  gPrefs[kPrefsMenuByte] &= static_cast<UInt8>(~kPrefFolderSubmenus);
  std::vector<MenuRow> rows = Build();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].submenu, nullptr);
}

// Damaged files: the reading never allocates from a length it has not checked, never reads
// past the end, and the next recording leaves a well-formed file.
struct DamageCase {
  const char* name;
  // The file's bytes, given the records of "a.txt" and "b.txt".
  std::vector<unsigned char> (*bytes)(const std::vector<unsigned char>& a,
                                      const std::vector<unsigned char>& b);
  std::vector<std::string> shown;  // empty: only the message
  std::vector<std::string> afterAdding;
};

// The record, its length field claiming `extra` bytes more than follow.
std::vector<unsigned char> ClaimingMore(std::vector<unsigned char> record, unsigned extra) {
  unsigned long length = (record[0] << 24) | (record[1] << 16) | (record[2] << 8) | record[3];
  std::vector<unsigned char> field;
  tb::test::PutBE32(field, length + extra);
  std::copy(field.begin(), field.end(), record.begin());
  return record;
}

void PrintTo(const DamageCase& c, std::ostream* out) {
  *out << c.name;
}

std::vector<unsigned char> Join(std::vector<unsigned char> x, const std::vector<unsigned char>& y) {
  x.insert(x.end(), y.begin(), y.end());
  return x;
}

const DamageCase kDamageCases[] = {
    {"NegativeLength",
     [](const auto&, const auto&) {
       return std::vector<unsigned char>{0xFF, 0xFF, 0xFF, 0xF0, 1, 2, 3, 4, 5, 6, 7, 8};
     },
     {},
     {"new.txt"}},
    {"HugeLength",
     [](const auto&, const auto&) {
       return std::vector<unsigned char>{0x7F, 0xFF, 0xFF, 0xFF, 1, 2, 3, 4, 5, 6, 7, 8};
     },
     {},
     {"new.txt"}},
    {"NegativeLengthAfterAGoodRecord",
     [](const auto& a, const auto&) {
       return Join(a, {0x80, 0x00, 0x00, 0x00, 1, 2, 3, 4});
     },
     {"a.txt"},
     {"new.txt", "a.txt"}},
    {"LengthPastTheEnd",
     [](const auto& a, const auto&) { return ClaimingMore(a, 100); },
     {"a.txt"},
     {"new.txt", "a.txt"}},
    {"TailOfThreeBytes",
     [](const auto& a, const auto&) {
       return Join(a, {0, 0, 0});
     },
     {"a.txt"},
     {"new.txt", "a.txt"}},
    {"TailOfFourBytes",
     [](const auto& a, const auto&) {
       return Join(a, {0, 0, 0, 0x10});
     },
     {"a.txt"},
     {"new.txt", "a.txt"}},
    {"EmptyRecordThenAGoodOne",
     [](const auto&, const auto& b) {
       return Join({0, 0, 0, 0}, b);
     },
     {"b.txt"},
     {"new.txt", "b.txt"}},
    {"JunkRecordThenAGoodOne",
     [](const auto& a, const auto&) {
       return Join({0, 0, 0, 8, 'n', 'o', 't', ' ', 'a', 'n', 'y', '!'}, a);
     },
     {"a.txt"},
     {"new.txt", "a.txt"}},
};

class DamagedRecents : public tb::test::RecentsFixture,
                       public ::testing::WithParamInterface<DamageCase> {};

TEST_P(DamagedRecents, ReadsWhatIsThereAndRewritesCleanly) {
  FSSpec a = Item("a.txt");
  FSSpec b = Item("b.txt");
  FSSpec added = Item("new.txt");
  const DamageCase& c = GetParam();
  SetRecentsBytes(c.bytes(RecordOf(a), RecordOf(b)));

  std::vector<std::string> texts = BuildTexts();
  if (c.shown.empty()) {
    EXPECT_THAT(texts, ElementsAre(kNothing));
  } else {
    EXPECT_THAT(texts, ElementsAreArray(c.shown));
  }
  EXPECT_EQ(AddRecentItem(&added), noErr);
  EXPECT_THAT(RecordNames(), ElementsAreArray(c.afterAdding));
}

INSTANTIATE_TEST_SUITE_P(Cases, DamagedRecents, ::testing::ValuesIn(kDamageCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
