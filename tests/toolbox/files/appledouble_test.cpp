// AppleDouble codec: the three layouts met in the wild, what we write, and what we keep.
#include "toolbox/files/appledouble.h"

#include <gmock/gmock.h>

#include "tests/toolbox/files/files_fixture.h"
#include "toolbox/files/sidecar.h"

namespace tb::test {
namespace {

namespace ad = tb::files::appledouble;
using Bytes = std::vector<unsigned char>;

void Header(Bytes& out, std::initializer_list<std::array<unsigned long, 3>> entries) {
  PutBE32(out, 0x00051607);
  PutBE32(out, 0x00020000);
  for (char c : std::string("Mac OS X        ")) out.push_back(static_cast<unsigned char>(c));
  PutBE16(out, static_cast<unsigned>(entries.size()));
  for (auto& e : entries) {
    PutBE32(out, e[0]);
    PutBE32(out, e[1]);
    PutBE32(out, e[2]);
  }
}

Bytes FinderInfo() {
  Bytes out = {'T', 'E', 'X', 'T', 't', 't', 'x', 't', 0x40, 0x10};
  out.resize(32);
  out[24] = 0x80;  // extended flags
  return out;
}

// An "ATTR" block (with the 2 pad bytes before it) holding `count` attributes, padded to `size`.
Bytes AttrTail(size_t size, unsigned count, unsigned long totalSize) {
  Bytes out = {0, 0, 'A', 'T', 'T', 'R'};
  PutBE32(out, 0);          // debug tag
  PutBE32(out, totalSize);  // total size
  PutBE32(out, 120);        // data start
  PutBE32(out, 0);          // data length
  out.resize(out.size() + 12);
  PutBE16(out, 0);      // flags
  PutBE16(out, count);  // attributes
  out.resize(size);
  return out;
}

Bytes Pattern(size_t n, unsigned char seed) {
  Bytes out(n);
  for (size_t i = 0; i < n; ++i) out[i] = static_cast<unsigned char>(seed + i * 7);
  return out;
}

Bytes KernelLayout() {
  Bytes out;
  Header(out, {{{9, 0x32, 0xEB0}}, {{2, 0xEE2, 0x11E}}});
  auto info = FinderInfo();
  out.insert(out.end(), info.begin(), info.end());
  auto tail = AttrTail(0xEB0 - 32, 0, 0xEE2);
  out.insert(out.end(), tail.begin(), tail.end());
  auto fork = Pattern(0x11E, 1);
  out.insert(out.end(), fork.begin(), fork.end());
  return out;
}

Bytes PackedLayout() {
  Bytes out;
  auto tail = AttrTail(2 + 36 + 24, 1, 50 + 32 + 62);
  Header(out, {{{9, 50, 32 + tail.size()}}, {{2, 50 + 32 + tail.size(), 0}}});
  auto info = FinderInfo();
  out.insert(out.end(), info.begin(), info.end());
  out.insert(out.end(), tail.begin(), tail.end());
  return out;
}

Bytes MinimalLayout() {
  Bytes out;
  Header(out, {{{9, 50, 32}}, {{2, 82, 0}}});
  auto info = FinderInfo();
  out.insert(out.end(), info.begin(), info.end());
  return out;
}

struct LayoutCase {
  const char* name;
  Bytes (*make)();
  size_t size;
  size_t forkLength;
  size_t tailLength;
};

class AppleDoubleLayouts : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(AppleDoubleLayouts, ReadsAndRewritesByteForByte) {
  Bytes file = GetParam().make();
  ASSERT_EQ(file.size(), GetParam().size);
  auto decoded = ad::Decode(file);
  ASSERT_TRUE(decoded);
  EXPECT_THAT(Bytes(decoded->finderInfo.begin(), decoded->finderInfo.end()),
              ::testing::ElementsAreArray(FinderInfo()));
  EXPECT_EQ(decoded->resourceFork.size(), GetParam().forkLength);
  EXPECT_EQ(decoded->finderInfoTail.size(), GetParam().tailLength);
  // Our writer's layout is the one these files already have: rewriting changes nothing.
  EXPECT_EQ(ad::Encode(*decoded), file);
}

INSTANTIATE_TEST_SUITE_P(AllLayouts, AppleDoubleLayouts,
                         ::testing::Values(LayoutCase{"kernel", KernelLayout, 4096, 0x11E,
                                                      0xEB0 - 32},
                                           LayoutCase{"packed", PackedLayout, 82 + 62, 0, 62},
                                           LayoutCase{"minimal", MinimalLayout, 82, 0, 0}),
                         [](const auto& info) { return info.param.name; });

TEST(AppleDouble, AcceptsAnyOrderKeepsUnknownEntriesAndCutsForkAtEnd) {
  Bytes file;
  // Fork first (its length runs 100 bytes past the end), a comment, Finder info last.
  Header(file, {{{2, 62 + 12, 105}}, {{4, 62 + 17, 3}}, {{9, 62 + 20, 32}}});
  file.resize(62);
  PutBE32(file, 0);  // padding before the data, as some writers leave
  PutBE32(file, 0);
  PutBE32(file, 0);
  Bytes fork = {'f', 'o', 'r', 'k', '!'};
  file.insert(file.end(), fork.begin(), fork.end());
  file.insert(file.end(), {'h', 'i', '!'});
  auto info = FinderInfo();
  file.insert(file.end(), info.begin(), info.end());

  auto decoded = ad::Decode(file);
  ASSERT_TRUE(decoded);
  EXPECT_EQ(decoded->resourceFork.size(), file.size() - 74);  // cut at the end of the file
  ASSERT_EQ(decoded->others.size(), 1u);
  EXPECT_EQ(decoded->others[0].id, 4u);
  EXPECT_EQ(decoded->others[0].bytes, Bytes({'h', 'i', '!'}));

  decoded->resourceFork = fork;
  Bytes expected;
  Header(expected, {{{9, 62, 32}}, {{4, 94, 3}}, {{2, 97, 5}}});
  expected.insert(expected.end(), info.begin(), info.end());
  expected.insert(expected.end(), {'h', 'i', '!'});
  expected.insert(expected.end(), fork.begin(), fork.end());
  EXPECT_EQ(ad::Encode(*decoded), expected);
}

TEST(AppleDouble, WritesTheTwoEntryLayout) {
  ad::Sidecar sidecar;
  auto info = FinderInfo();
  std::copy(info.begin(), info.end(), sidecar.finderInfo.begin());
  sidecar.resourceFork = {1, 2, 3};
  Bytes expected;
  Header(expected, {{{9, 50, 32}}, {{2, 82, 3}}});
  expected.insert(expected.end(), info.begin(), info.end());
  expected.insert(expected.end(), {1, 2, 3});
  EXPECT_EQ(ad::Encode(sidecar), expected);
}

TEST(AppleDouble, RejectsDamagedHeaders) {
  Bytes good = MinimalLayout();
  Bytes badMagic = good;
  badMagic[3] = 0x00;  // AppleSingle
  Bytes tooManyEntries = good;
  tooManyEntries[25] = 200;
  for (const Bytes& b : {badMagic, tooManyEntries, Bytes(good.begin(), good.begin() + 20)}) {
    EXPECT_FALSE(ad::Decode(b));
  }
}

TEST(AppleDouble, EmptyMeansNothingWorthAFile) {
  ad::Sidecar sidecar;
  EXPECT_TRUE(sidecar.empty());
  sidecar.setLocked(true);
  EXPECT_FALSE(sidecar.empty());
  sidecar.setLocked(false);
  EXPECT_TRUE(sidecar.empty());
  auto withAttribute = ad::Decode(PackedLayout());  // its ATTR block holds one attribute
  withAttribute->finderInfo.fill(0);
  EXPECT_FALSE(withAttribute->empty());
}

TEST(AppleDouble, SharedFixturesRoundTrip) {
  auto fixtures = SharedFixtures();
  if (!fixtures) GTEST_SKIP() << "shared fixtures folder not present; skipping real sidecars";
  struct Case {
    const char* file;
    uint16_t flags;
    bool zeroInfo;
  };
  for (auto c :
       {Case{"extension-hidden.4096", 0x0010, false}, Case{"quarantine-xattr.4096", 0, true}}) {
    SCOPED_TRACE(c.file);
    Bytes file = ReadBytes(*fixtures / "appledouble" / c.file);
    ASSERT_EQ(file.size(), 4096u);
    auto decoded = ad::Decode(file);
    ASSERT_TRUE(decoded);
    EXPECT_EQ((decoded->finderInfo[8] << 8) | decoded->finderInfo[9], c.flags);
    EXPECT_EQ(decoded->resourceFork.size(), 286u);  // the empty fork
    EXPECT_FALSE(decoded->empty());
    EXPECT_EQ(ad::Encode(*decoded), file);
  }
}

// Through the File Manager: changing Finder info keeps the ATTR block and the fork in place.
class SidecarFile : public FilesTest {};

TEST_F(SidecarFile, SetFinderInfoKeepsAttrBlock) {
  Touch(disk() / "doc.txt", "x");
  Bytes original = KernelLayout();
  WriteBytes(disk() / "._doc.txt", original);
  FSSpec spec = MustSpec(":doc.txt");
  FInfo info{};
  ASSERT_EQ(FSpGetFInfo(&spec, &info), noErr);
  EXPECT_EQ(info.fdType, 'TEXT');
  EXPECT_EQ(info.fdCreator, 'ttxt');
  EXPECT_EQ(info.fdFlags, 0x4010);
  info.fdCreator = 'R*ch';
  ASSERT_EQ(FSpSetFInfo(&spec, &info), noErr);
  Bytes expected = original;
  expected[0x32 + 4] = 'R';
  expected[0x32 + 5] = '*';
  expected[0x32 + 6] = 'c';
  expected[0x32 + 7] = 'h';
  EXPECT_EQ(ReadBytes(disk() / "._doc.txt"), expected);
}

TEST_F(SidecarFile, CreationDateComesFromTheFileDatesEntry) {
  Touch(disk() / "old.txt", "x");
  Bytes sidecar;
  Header(sidecar, {{{8, 62, 16}}, {{9, 78, 32}}, {{2, 110, 0}}});
  PutBE32(sidecar, 86400);       // created one day after 2000-01-01
  PutBE32(sidecar, 0x80000000);  // the other dates unknown
  PutBE32(sidecar, 0x80000000);
  PutBE32(sidecar, 0x80000000);
  auto info = FinderInfo();
  sidecar.insert(sidecar.end(), info.begin(), info.end());
  WriteBytes(disk() / "._old.txt", sidecar);
  FSRef ref = Ref(disk() / "old.txt");
  FSCatalogInfo catalog{};
  ASSERT_EQ(FSGetCatalogInfo(&ref, kFSCatInfoCreateDate, &catalog, nullptr, nullptr, nullptr),
            noErr);
  EXPECT_EQ(UInt32{catalog.createDate.lowSeconds}, 3029529600u + 86400u);
}

TEST_F(SidecarFile, BlankMetadataRemovesTheSidecar) {
  Touch(disk() / "doc.txt");
  FSSpec spec = MustSpec(":doc.txt");
  FInfo info{};
  info.fdType = 'TEXT';
  ASSERT_EQ(FSpSetFInfo(&spec, &info), noErr);
  EXPECT_EQ(ReadBytes(disk() / "._doc.txt").size(), 82u);
  info.fdType = 0;
  ASSERT_EQ(FSpSetFInfo(&spec, &info), noErr);
  EXPECT_FALSE(std::filesystem::exists(disk() / "._doc.txt"));
}

}  // namespace
}  // namespace tb::test
