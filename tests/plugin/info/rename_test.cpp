// Renaming the shown item: what the folder holds afterwards, the caller's FSSpec, the update.
#include <filesystem>

#include "plugin/entry/scoped_cf.h"
#include "plugin/info/item_operations.h"
#include "tests/plugin/info/info_fixture.h"
#include "toolbox/cf/string.h"

namespace {

namespace fs = std::filesystem;

struct RenameCase {
  const char* label;
  std::u16string edited;
  std::string expectedLeaf;  // the Linux name afterwards; "doc.txt" when refused
  bool renamed;
};
void PrintTo(const RenameCase& c, std::ostream* os) {
  *os << c.label;
}

std::u16string Repeat(char16_t c, size_t n) {
  return std::u16string(n, c);
}

const RenameCase kRenames[] = {
    {"SameName", u"doc.txt", "doc.txt", false},
    {"OnlyCaseDiffers", u"Doc.txt", "Doc.txt", true},
    {"TakenName", u"other.txt", "doc.txt", false},
    {"Empty", u"", "doc.txt", false},
    {"SlashIsAColonOnLinux", u"a/b.txt", "a:b.txt", true},
    {"ColonIsRefused", u"a:b.txt", "doc.txt", false},
    {"DotDotIsRefused", u"..", "doc.txt", false},
    {"CutTo255Units", Repeat(u'x', 300), std::string(255, 'x'), true},
    // A surrogate pair across the cut is dropped whole, not left half a character.
    {"CutKeepsWholeCharacters", Repeat(u'x', 254) + u"\U0001F600" + Repeat(u'y', 10),
     std::string(254, 'x'), true},
    // 255 units, but more bytes than a Linux name can hold.
    {"TooLongForTheDisk", Repeat(u'\u00E9', 200), "doc.txt", false},
};

class Rename : public tb::test::InfoFixture, public ::testing::WithParamInterface<RenameCase> {};

TEST_P(Rename, RenamesOrLeavesTheItem) {
  const RenameCase& c = GetParam();
  FSSpec item = MakeFile("Users/Shared/doc.txt", "text");
  MakeFile("Users/Shared/other.txt", "other");
  FSSpec before = item;

  ScopedCF<CFStringRef> name(CFStringCreateWithCharacters(
      kCFAllocatorDefault, reinterpret_cast<const UniChar*>(c.edited.data()),
      static_cast<CFIndex>(c.edited.size())));
  RenameInfoItem(&item, name.get());

  fs::path folder = disk() / "Users" / "Shared";
  EXPECT_TRUE(fs::exists(folder / c.expectedLeaf));
  EXPECT_EQ(fs::file_size(folder / "other.txt"), 5u);
  if (c.renamed) {
    EXPECT_FALSE(fs::exists(folder / "doc.txt") && c.expectedLeaf != "doc.txt");
    FSSpec expected = SpecOf(folder / c.expectedLeaf);
    EXPECT_EQ(tb::test::FSSpecNameOf(item), tb::test::FSSpecNameOf(expected));
    EXPECT_EQ(SInt32{item.parID}, SInt32{before.parID});
    EXPECT_EQ(Requests(), Update(tb::test::FSSpecNameOf(expected)));
  } else {
    EXPECT_EQ(0, memcmp(&item, &before, sizeof item));
    EXPECT_TRUE(Requests().empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Names, Rename, ::testing::ValuesIn(kRenames),
                         [](const auto& info) { return std::string(info.param.label); });

class RenameItem : public tb::test::InfoFixture {};

TEST_F(RenameItem, LockedItemIsNotRenamed) {
  FSSpec item = MakeFile("Users/Shared/doc.txt", "text");
  ASSERT_EQ(FSpSetFLock(&item), noErr);
  FSSpec before = item;
  ScopedCF<CFStringRef> name(CFStringCreateWithCString(nullptr, "new.txt", kCFStringEncodingUTF8));
  RenameInfoItem(&item, name.get());
  EXPECT_TRUE(fs::exists(disk() / "Users/Shared/doc.txt"));
  EXPECT_EQ(0, memcmp(&item, &before, sizeof item));
  EXPECT_TRUE(Requests().empty());
}

// The Finder information and resource fork stay with the item whatever its new name.
TEST_F(RenameItem, MetadataFollowsOrTheRenameIsRefused) {
  for (size_t length : {60, 253, 254, 255}) {
    SCOPED_TRACE(length);
    fs::remove_all(disk() / "Users/Shared");
    FSSpec item = MakeFile("Users/Shared/doc.txt", "text");
    WriteResourceFork(item, "fork bytes");
    FInfo info{};
    ASSERT_EQ(FSpGetFInfo(&item, &info), noErr);
    info.fdType = 'TEXT';
    ASSERT_EQ(FSpSetFInfo(&item, &info), noErr);

    std::u16string edited(length, u'n');
    ScopedCF<CFStringRef> name(CFStringCreateWithCharacters(
        nullptr, reinterpret_cast<const UniChar*>(edited.data()), CFIndex(length)));
    RenameInfoItem(&item, name.get());
    Requests();

    FInfo after{};
    ASSERT_EQ(FSpGetFInfo(&item, &after), noErr);
    EXPECT_EQ(after.fdType, OSType{'TEXT'});
    EXPECT_EQ(ResourceForkSize(item), 10u);
  }
}

}  // namespace
