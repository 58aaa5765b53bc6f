// The stored record: its bytes field by field, the names it answers, damaged records.
#include <map>

#include "tests/toolbox/aliases/alias_fixture.h"

namespace tb::test {
namespace {

namespace fs = std::filesystem;

unsigned long BE(const std::vector<unsigned char>& b, size_t at, int width) {
  unsigned long v = 0;
  for (int i = 0; i < width; ++i) v = (v << 8) | b.at(at + i);
  return v;
}

std::string PascalAt(const std::vector<unsigned char>& b, size_t at) {
  return std::string(b.begin() + at + 1, b.begin() + at + 1 + b[at]);
}

// Tag -> value; fails the test when the tags do not end with the end mark at the record's end.
std::map<int, std::string> Tags(const std::vector<unsigned char>& b) {
  std::map<int, std::string> tags;
  size_t at = 150, size = BE(b, 4, 2);
  while (at + 4 <= size) {
    int tag = static_cast<int16_t>(BE(b, at, 2));
    size_t length = BE(b, at + 2, 2);
    if (tag == -1) {
      EXPECT_EQ(length, 0u);
      EXPECT_EQ(at + 4, size) << "end mark last";
      return tags;
    }
    tags[tag] = std::string(b.begin() + at + 4, b.begin() + at + 4 + length);
    at += 4 + length + (length & 1);
  }
  ADD_FAILURE() << "no end mark";
  return tags;
}

std::string Utf16Tag(const std::string& ascii) {
  std::string out{char(0), char(ascii.size())};
  for (char c : ascii) out += std::string{char(0), c};
  return out;
}

std::string BE32(unsigned long v) {
  return {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
}

class AliasRecordBytes : public AliasTest {};

TEST_F(AliasRecordBytes, FileRecordHasEveryField) {
  fs::create_directories(disk() / "Docs");
  Touch(disk() / "Docs" / "report.txt", "hello");
  SetTypeCreator(disk() / "Docs" / "report.txt", 'TEXT', 'ttxt');
  OwnedAlias alias = AliasTo(disk() / "Docs" / "report.txt");
  ASSERT_TRUE(alias);
  auto b = AliasBytes(alias.get());

  HParamBlockRec vol{};
  vol.volumeParam.ioVRefNum = kVantorelSystemDiskVRefNum;
  ASSERT_EQ(PBHGetVInfoSync(&vol), noErr);
  CInfoPBRec cat{};
  Str name = P(":Docs:report.txt");
  cat.hFileInfo.ioNamePtr = name.data();
  cat.hFileInfo.ioVRefNum = kVantorelSystemDiskVRefNum;
  cat.hFileInfo.ioDirID = fsRtDirID;
  ASSERT_EQ(PBGetCatInfoSync(&cat), noErr);

  const unsigned long volumeDate = vol.volumeParam.ioVCrDate;
  const unsigned long created = cat.hFileInfo.ioFlCrDat;
  ASSERT_GE(b.size(), 150u);
  EXPECT_EQ(BE(b, 0, 4), 0u);        // user type
  EXPECT_EQ(BE(b, 4, 2), b.size());  // record size
  EXPECT_EQ(GetAliasSize(alias.get()), Size(b.size()));
  EXPECT_EQ(BE(b, 6, 2), 2u);  // version
  EXPECT_EQ(BE(b, 8, 2), 0u);  // kind: file
  EXPECT_EQ(PascalAt(b, 10), "Macintosh HD");
  EXPECT_EQ(BE(b, 38, 4), volumeDate);
  EXPECT_EQ(BE(b, 42, 2), 0x482Bu);  // 'H+'
  EXPECT_EQ(BE(b, 44, 2), 0u);       // fixed disk
  EXPECT_EQ(BE(b, 46, 4), IdOf(disk() / "Docs"));
  EXPECT_EQ(PascalAt(b, 50), "report.txt");
  EXPECT_EQ(BE(b, 114, 4), IdOf(disk() / "Docs" / "report.txt"));
  EXPECT_EQ(BE(b, 118, 4), created);
  EXPECT_EQ(BE(b, 122, 4), UInt32('TEXT'));
  EXPECT_EQ(BE(b, 126, 4), UInt32('ttxt'));
  EXPECT_EQ(BE(b, 130, 2), 0xFFFFu);  // levels from
  EXPECT_EQ(BE(b, 132, 2), 0xFFFFu);  // levels to
  for (size_t i = 134; i < 150; ++i) EXPECT_EQ(b[i], 0) << i;

  auto tags = Tags(b);
  EXPECT_EQ(tags[0], "Docs");
  EXPECT_EQ(tags[1], BE32(IdOf(disk() / "Docs")));
  EXPECT_EQ(tags[2], "Macintosh HD:Docs:report.txt");
  EXPECT_EQ(tags[14], Utf16Tag("report.txt"));
  EXPECT_EQ(tags[15], Utf16Tag("Macintosh HD"));
  ASSERT_EQ(tags[16].size(), 8u);
  ASSERT_EQ(tags[17].size(), 8u);
  std::vector<unsigned char> volDate(tags[16].begin(), tags[16].end());
  std::vector<unsigned char> crDate(tags[17].begin(), tags[17].end());
  EXPECT_EQ(BE(volDate, 2, 4), volumeDate);  // 1/65536 s since 1904
  EXPECT_EQ(BE(crDate, 2, 4), created);
  EXPECT_EQ(tags[18], "/Docs/report.txt");
  EXPECT_EQ(tags[19], fs::canonical(disk()).string());
}

TEST_F(AliasRecordBytes, FolderAndColonNames) {
  fs::create_directories(disk() / "Docs" / "a:b");
  OwnedAlias alias = AliasTo(disk() / "Docs" / "a:b");
  auto b = AliasBytes(alias.get());
  EXPECT_EQ(BE(b, 8, 2), 1u);  // kind: folder
  EXPECT_EQ(PascalAt(b, 50), "a/b");
  EXPECT_EQ(BE(b, 122, 8), 0u);  // no type or creator
  auto tags = Tags(b);
  EXPECT_EQ(tags[2], "Macintosh HD:Docs:a/b");
  EXPECT_EQ(tags[14], Utf16Tag("a/b"));
  EXPECT_EQ(tags[18], "/Docs/a:b");
}

TEST_F(AliasRecordBytes, RootVolumeItemAndMinimalRecord) {
  fs::create_directories(root() / "outside");
  Touch(root() / "outside" / "f");
  OwnedAlias alias = AliasTo(root() / "outside" / "f");
  auto tags = Tags(AliasBytes(alias.get()));
  EXPECT_EQ(PascalAt(AliasBytes(alias.get()), 10), "Linux");
  EXPECT_EQ(tags[19], "/");
  EXPECT_EQ(tags[18], fs::canonical(root() / "outside" / "f").string());

  FSSpec spec = SpecAt(root() / "outside" / "f");
  AliasHandle minimal = nullptr;
  ASSERT_EQ(NewAliasMinimal(&spec, &minimal), noErr);
  OwnedAlias owned(minimal);
  auto minimalTags = Tags(AliasBytes(minimal));
  EXPECT_FALSE(minimalTags.count(2));
  EXPECT_TRUE(minimalTags.count(18));
  FSSpec found{};
  Boolean changed = true;
  EXPECT_EQ(ResolveAlias(nullptr, minimal, &found, &changed), noErr);
  EXPECT_EQ(Describe(found), Describe(spec));
  EXPECT_FALSE(changed);
}

TEST_F(AliasRecordBytes, InfoNamesAndUserType) {
  fs::create_directories(disk() / "A" / "B");
  Touch(disk() / "A" / "B" / "doc");
  OwnedAlias alias = AliasTo(disk() / "A" / "B" / "doc");
  struct Case {
    AliasInfoType index;
    const char* expected;
  };
  for (Case c :
       {Case{asiAliasName, "doc"}, Case{asiParentName, "B"}, Case{2, "A"}, Case{3, ""},
        Case{asiVolumeName, "Macintosh HD"}, Case{asiServerName, ""}, Case{asiZoneName, ""}}) {
    Str63 out;
    ASSERT_EQ(GetAliasInfo(alias.get(), c.index, out), noErr) << c.index;
    EXPECT_EQ(FromP(out), c.expected) << c.index;
  }
  Str63 out;
  EXPECT_EQ(GetAliasInfo(alias.get(), -4, out), paramErr);

  EXPECT_EQ(GetAliasUserType(alias.get()), 0u);
  SetAliasUserType(alias.get(), 'QVRL');
  EXPECT_EQ(GetAliasUserType(alias.get()), UInt32('QVRL'));
  EXPECT_EQ(AliasBytes(alias.get())[0], 'Q');
}

// Damaged records: every one gives paramErr from reading and from resolving.
struct Damage {
  const char* name;
  void (*apply)(std::vector<unsigned char>& b);
};

void PutBE16At(std::vector<unsigned char>& b, size_t at, unsigned v) {
  b[at] = static_cast<unsigned char>(v >> 8);
  b[at + 1] = static_cast<unsigned char>(v);
}

const Damage kDamages[] = {
    {"shorter than the fixed part", [](auto& b) { b.resize(149); }},
    {"empty", [](auto& b) { b.clear(); }},
    {"cut inside the tags", [](auto& b) { b.resize(b.size() - 10); }},
    {"size below the fixed part", [](auto& b) { PutBE16At(b, 4, 149); }},
    {"size past the handle", [](auto& b) { PutBE16At(b, 4, unsigned(b.size() + 1)); }},
    {"size without the end mark", [](auto& b) { PutBE16At(b, 4, unsigned(b.size() - 4)); }},
    {"unknown version", [](auto& b) { PutBE16At(b, 6, 3); }},
    {"unknown kind", [](auto& b) { PutBE16At(b, 8, 7); }},
    {"volume name too long", [](auto& b) { b[10] = 28; }},
    {"tag length past the end", [](auto& b) { PutBE16At(b, 152, 0xFFF0); }},
    {"unicode count past the tag",
     [](auto& b) {
       // the file name tag (14) comes after tags 0, 1 and 2; find it by walking
       size_t at = 150;
       while (((b[at] << 8) | b[at + 1]) != 14) {
         size_t len = (b[at + 2] << 8) | b[at + 3];
         at += 4 + len + (len & 1);
       }
       PutBE16At(b, at + 4, 200);
     }},
};

class DamagedRecords : public AliasTest, public ::testing::WithParamInterface<Damage> {};

TEST_P(DamagedRecords, GiveParamErr) {
  fs::create_directories(disk() / "Docs");
  Touch(disk() / "Docs" / "f");
  auto bytes = AliasBytes(AliasTo(disk() / "Docs" / "f").get());
  GetParam().apply(bytes);
  OwnedAlias damaged = AliasFromBytes(bytes);
  ASSERT_TRUE(damaged);
  Str63 name;
  EXPECT_EQ(GetAliasInfo(damaged.get(), asiAliasName, name), paramErr);
  FSSpec spec{};
  Boolean changed = false;
  EXPECT_EQ(ResolveAlias(nullptr, damaged.get(), &spec, &changed), paramErr);
  FSRef ref{};
  EXPECT_EQ(FSResolveAlias(nullptr, damaged.get(), &ref, &changed), paramErr);
}

INSTANTIATE_TEST_SUITE_P(Table, DamagedRecords, ::testing::ValuesIn(kDamages),
                         [](const auto& info) {
                           std::string n = info.param.name;
                           for (char& c : n)
                             c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                           return n;
                         });

}  // namespace
}  // namespace tb::test
