// The resource-fork codec: exact bytes, round trips and damaged maps.
#include "toolbox/resources/resource_map.h"

#include <gtest/gtest.h>

#include <functional>

#include "tests/support/temp_system_disk.h"
#include "toolbox/core/errors.h"

namespace tb::resources {
namespace {

using Bytes = std::vector<unsigned char>;
using test::PutBE16;
using test::PutBE32;

void Put24(Bytes& out, unsigned value) {
  out.push_back(static_cast<unsigned char>(value >> 16));
  PutBE16(out, value & 0xFFFF);
}

void PutHeader(Bytes& out, unsigned dataLength, unsigned mapLength) {
  PutBE32(out, 256);
  PutBE32(out, 256 + dataLength);
  PutBE32(out, dataLength);
  PutBE32(out, mapLength);
}

// One 'pref' ID 1 holding DE AD BE EF, no name: the smallest file with a resource.
Bytes OnePrefBytes() {
  Bytes b;
  PutHeader(b, 8, 50);
  b.resize(256, 0);
  PutBE32(b, 4);
  for (unsigned char c : {0xDE, 0xAD, 0xBE, 0xEF}) b.push_back(c);
  PutHeader(b, 8, 50);  // the map's copy of the header
  PutBE32(b, 0);        // next map
  PutBE16(b, 0);        // file reference
  PutBE16(b, 0);        // attributes
  PutBE16(b, 28);       // type list
  PutBE16(b, 50);       // name list (empty)
  PutBE16(b, 0);        // one type
  PutBE32(b, 'pref');
  PutBE16(b, 0);       // one resource
  PutBE16(b, 10);      // its reference list, from the type list
  PutBE16(b, 1);       // ID
  PutBE16(b, 0xFFFF);  // no name
  b.push_back(0);      // attributes
  Put24(b, 0);         // data offset
  PutBE32(b, 0);
  return b;
}

Bytes EmptyForkBytes() {
  Bytes b;
  PutHeader(b, 0, 30);
  const std::string blank = "This resource fork intentionally left blank   ";
  b.insert(b.end(), blank.begin(), blank.end());
  b.resize(256, 0);
  PutHeader(b, 0, 30);
  PutBE32(b, 0);
  PutBE16(b, 0);
  PutBE16(b, 0);
  PutBE16(b, 28);
  PutBE16(b, 30);
  PutBE16(b, 0xFFFF);
  return b;
}

Bytes Serialize(const ResourceMap& map) {
  auto bytes = SerializeResourceFork(map);
  EXPECT_TRUE(bytes.has_value());
  return bytes.value_or(Bytes{});
}

TEST(ResourceMapBytes, OneUnnamedResourceIsWrittenExactly) {
  ResourceMap map;
  map.types.push_back({'pref', {{1, std::nullopt, 0, {0xDE, 0xAD, 0xBE, 0xEF}}}});
  EXPECT_EQ(Serialize(map), OnePrefBytes());

  map.types[0].resources[0].name = "";  // an empty name is no name
  EXPECT_EQ(Serialize(map), OnePrefBytes());
}

TEST(ResourceMapBytes, EmptyMapIsThePlatforms286ByteFork) {
  const Bytes bytes = Serialize(EmptyResourceMap());
  ASSERT_EQ(bytes.size(), 286u);
  EXPECT_EQ(bytes, EmptyForkBytes());
  ResourceMap parsed;
  ASSERT_EQ(ParseResourceFork(bytes, &parsed), noErr);
  EXPECT_TRUE(parsed.types.empty());
}

TEST(ResourceMapBytes, RewritingTheSharedEmptyForkKeepsItsBytes) {
  auto fixtures = test::SharedFixtures();
  if (!fixtures) GTEST_SKIP() << "shared fixtures not present";
  // This copy has a zeroed system area; rewriting keeps whatever the reserved areas hold.
  const Bytes original = test::ReadBytes(*fixtures / "resource-forks/empty/resources.rsrc");
  ResourceMap parsed;
  ASSERT_EQ(ParseResourceFork(original, &parsed), noErr);
  EXPECT_TRUE(parsed.types.empty());
  EXPECT_EQ(Serialize(parsed), original);
}

TEST(ResourceMapBytes, RoundTripKeepsOrderNamesAttributesAndReservedAreas) {
  ResourceMap map;
  map.attributes = kMapCompact;
  map.reserved[0] = 'V';
  map.reserved[239] = 0x7E;
  map.types.push_back({'STR ',
                       {{128, "greeting", kResPurgeable, {5, 'h', 'e', 'l', 'l', 'o'}},
                        {-16455, std::nullopt, 0, {}},
                        {-1, std::string(255, 'n'), kResLocked | kResPreload, Bytes(70000, 7)}}});
  map.types.push_back({'pref', {{1, std::nullopt, 0, {1, 2, 3, 4}}}});
  map.types.push_back({'TEXT', {{32767, "\xA5 Read Me", kResProtected, {'x'}}}});

  ResourceMap parsed;
  ASSERT_EQ(ParseResourceFork(Serialize(map), &parsed), noErr);
  EXPECT_EQ(parsed.attributes, map.attributes);
  EXPECT_EQ(parsed.reserved, map.reserved);
  ASSERT_EQ(parsed.types.size(), map.types.size());
  for (size_t t = 0; t < map.types.size(); ++t) {
    SCOPED_TRACE(t);
    EXPECT_EQ(parsed.types[t].type, map.types[t].type);
    ASSERT_EQ(parsed.types[t].resources.size(), map.types[t].resources.size());
    for (size_t r = 0; r < map.types[t].resources.size(); ++r) {
      const auto &got = parsed.types[t].resources[r], &want = map.types[t].resources[r];
      EXPECT_EQ(got.id, want.id);
      EXPECT_EQ(got.name, want.name);
      EXPECT_EQ(got.attributes, want.attributes);
      EXPECT_EQ(got.data, want.data);
    }
  }
}

TEST(ResourceMapBytes, ZeroLengthNameReadsAsNoName) {
  Bytes b = OnePrefBytes();
  // Point the reference at a zero-length name appended to the name list.
  b[256 + 8 + 38 + 2] = 0;
  b[256 + 8 + 38 + 3] = 0;
  b.push_back(0);
  b[15] = b[256 + 8 + 15] = 51;  // map length, in the header and its copy
  ResourceMap parsed;
  ASSERT_EQ(ParseResourceFork(b, &parsed), noErr);
  EXPECT_FALSE(parsed.types.at(0).resources.at(0).name.has_value());
}

// Offsets into OnePrefBytes().
constexpr size_t kMap = 264, kTypeList = kMap + 28, kRef = kTypeList + 10;

struct DamageCase {
  const char* name;
  std::function<void(Bytes&)> damage;
};

void SetBE(Bytes& b, size_t at, unsigned long value, size_t width) {
  for (size_t i = 0; i < width; ++i)
    b[at + i] = static_cast<unsigned char>(value >> (8 * (width - 1 - i)));
}

const DamageCase kDamage[] = {
    {"empty fork", [](Bytes& b) { b.clear(); }},
    {"truncated header", [](Bytes& b) { b.resize(12); }},
    {"truncated map", [](Bytes& b) { b.resize(b.size() - 1); }},
    {"map offset past end", [](Bytes& b) { SetBE(b, 4, 0x10000, 4); }},
    {"map length past end", [](Bytes& b) { SetBE(b, 12, 51, 4); }},
    {"data offset past end", [](Bytes& b) { SetBE(b, 0, 0xFFFFFFF0, 4); }},
    {"data length past end", [](Bytes& b) { SetBE(b, 8, 0x7FFFFFFF, 4); }},
    {"map shorter than its header", [](Bytes& b) { SetBE(b, 12, 20, 4); }},
    {"type list offset past map", [](Bytes& b) { SetBE(b, kMap + 24, 49, 2); }},
    {"name list offset past map", [](Bytes& b) { SetBE(b, kMap + 26, 51, 2); }},
    {"type count 0x7FFF in a short map", [](Bytes& b) { SetBE(b, kTypeList, 0x7FFF, 2); }},
    {"resource count past map", [](Bytes& b) { SetBE(b, kTypeList + 6, 0xFFFE, 2); }},
    {"ref list offset past end", [](Bytes& b) { SetBE(b, kTypeList + 8, 0xFFF0, 2); }},
    {"ref list overlapping the type list", [](Bytes& b) { SetBE(b, kTypeList + 8, 0, 2); }},
    {"name offset past name list", [](Bytes& b) { SetBE(b, kRef + 2, 0, 2); }},
    {"data offset past data area", [](Bytes& b) { SetBE(b, kRef + 5, 8, 3); }},
    {"data length past data area", [](Bytes& b) { SetBE(b, 256, 5, 4); }},
    {"huge data length", [](Bytes& b) { SetBE(b, 256, 0xFFFFFFFF, 4); }},
};

class DamagedMap : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedMap, GivesMapReadErr) {
  Bytes b = OnePrefBytes();
  GetParam().damage(b);
  ResourceMap parsed;
  EXPECT_EQ(ParseResourceFork(b, &parsed), mapReadErr);
}

INSTANTIATE_TEST_SUITE_P(AllDamage, DamagedMap, ::testing::ValuesIn(kDamage), [](const auto& info) {
  std::string name = info.param.name;
  for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
});

}  // namespace
}  // namespace tb::resources
