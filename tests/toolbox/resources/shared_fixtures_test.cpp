// Resource files written by the original platform's tools read as its decompiler reported them,
// through the codec and through a data-fork open.
#include <gtest/gtest.h>
#include <plist/plist.h>

#include <map>

#include "tests/support/temp_system_disk.h"
#include "toolbox/core/fourcc.h"
#include "toolbox/core/memory.h"
#include "toolbox/core/pascal.h"
#include "toolbox/core/text.h"
#include "toolbox/resources/resource_map.h"
#include "toolbox/resources/resource_open.h"
#include "toolbox/resources/resources.h"

namespace tb::resources {
namespace {

using Bytes = std::vector<unsigned char>;

struct Expected {
  std::optional<UInt16> attributes;
  std::map<ResType, std::vector<Resource>> types;
};

Expected LoadExpected(const std::filesystem::path& path) {
  const Bytes xml = tb::test::ReadBytes(path);
  plist_t root = nullptr;
  plist_from_memory(reinterpret_cast<const char*>(xml.data()), static_cast<uint32_t>(xml.size()),
                    &root);
  EXPECT_NE(root, nullptr) << path;
  Expected expected;
  if (!root) return expected;
  auto integer = [](plist_t node) {
    uint64_t value = 0;  // negative numbers come back in two's complement
    plist_get_uint_val(node, &value);
    return static_cast<int64_t>(value);
  };
  auto text = [](plist_t node) {
    char* value = nullptr;
    plist_get_string_val(node, &value);
    std::string result = value ? value : "";
    free(value);
    return result;
  };
  if (plist_t attrs = plist_dict_get_item(root, "Attributes")) {
    expected.attributes = static_cast<UInt16>(integer(attrs));
  }
  plist_t types = plist_dict_get_item(root, "Resources");
  plist_dict_iter it = nullptr;
  plist_dict_new_iter(types, &it);
  for (;;) {
    char* key = nullptr;
    plist_t list = nullptr;
    plist_dict_next_item(types, it, &key, &list);
    if (!key) break;
    auto& resources = expected.types[FourCC(key)];
    free(key);
    for (uint32_t i = 0; i < plist_array_get_size(list); ++i) {
      plist_t item = plist_array_get_item(list, i);
      Resource res;
      res.id = static_cast<SInt16>(integer(plist_dict_get_item(item, "ID")));
      if (plist_t a = plist_dict_get_item(item, "Attributes")) {
        res.attributes = static_cast<UInt8>(integer(a));
      }
      if (plist_t n = plist_dict_get_item(item, "Name")) {
        res.name = MacRomanFromUtf8(text(n)).value_or("?");
      }
      plist_t data = plist_dict_get_item(item, "Data");
      if (plist_get_node_type(data) == PLIST_STRING) {  // 'TEXT' shown as text
        std::string roman = MacRomanFromUtf8(text(data)).value_or("?");
        res.data.assign(roman.begin(), roman.end());
      } else {
        char* bytes = nullptr;
        uint64_t length = 0;
        plist_get_data_val(data, &bytes, &length);
        res.data.assign(bytes, bytes + length);
        free(bytes);
      }
      resources.push_back(std::move(res));
    }
  }
  free(it);
  plist_free(root);
  return expected;
}

void ExpectMatches(const ResourceMap& map, const Expected& expected) {
  if (expected.attributes) {
    EXPECT_EQ(map.attributes, *expected.attributes);
  }
  std::map<ResType, const ResourceType*> got;
  for (const auto& type : map.types) got[type.type] = &type;
  ASSERT_EQ(got.size(), expected.types.size());
  for (const auto& [type, resources] : expected.types) {
    SCOPED_TRACE(FourCCText(type));
    ASSERT_TRUE(got.count(type));
    const auto& have = got[type]->resources;
    ASSERT_EQ(have.size(), resources.size());
    for (const auto& want : resources) {
      SCOPED_TRACE(want.id);
      auto match = std::find_if(have.begin(), have.end(), [&](auto& r) { return r.id == want.id; });
      ASSERT_NE(match, have.end());
      EXPECT_EQ(match->attributes, want.attributes);
      EXPECT_EQ(match->name, want.name);
      EXPECT_EQ(match->data, want.data);
    }
  }
}

class SharedResourceFork : public tb::test::TempSystemDisk,
                           public ::testing::WithParamInterface<const char*> {
 protected:
  void SetUp() override {
    TempSystemDisk::SetUp();
    auto fixtures = tb::test::SharedFixtures();
    if (!fixtures) GTEST_SKIP() << "shared fixtures not present: resource-fork fixtures skipped";
    folder = *fixtures / "resource-forks" / GetParam();
  }
  std::filesystem::path folder;
};

TEST_P(SharedResourceFork, ParsesAsTheDecompilerReported) {
  const Bytes fork = tb::test::ReadBytes(folder / "resources.rsrc");
  ResourceMap map;
  ASSERT_EQ(ParseResourceFork(fork, &map), noErr);
  const Expected expected = LoadExpected(folder / "expected.plist");
  ExpectMatches(map, expected);

  // Written back by us, it reads the same.
  ResourceMap again;
  ASSERT_EQ(ParseResourceFork(SerializeResourceFork(map).value(), &again), noErr);
  ExpectMatches(again, expected);
}

TEST_P(SharedResourceFork, EveryResourceLoadsFromADataForkOpen) {
  const Expected expected = LoadExpected(folder / "expected.plist");
  tb::test::WriteBytes(disk() / "Fixture.rsrc", tb::test::ReadBytes(folder / "resources.rsrc"));
  FSSpec spec{};
  ASSERT_EQ(FSMakeFSSpec(kVantorelSystemDiskVRefNum, fsRtDirID, PStr("Fixture.rsrc"), &spec),
            noErr);
  SInt16 ref = OpenResFileInDataFork(spec, fsRdPerm);
  ASSERT_NE(ref, -1) << ResError();
  EXPECT_EQ(CurResFile(), ref);
  for (const auto& [type, resources] : expected.types) {
    EXPECT_EQ(Count1Resources(type), static_cast<SInt16>(resources.size()));
    for (const auto& want : resources) {
      Handle h = Get1Resource(type, want.id);
      ASSERT_NE(h, nullptr) << FourCCText(type) << " " << want.id;
      EXPECT_EQ(Bytes(*h, *h + GetHandleSize(h)), want.data);
    }
  }
  CloseResFile(ref);
}

INSTANTIATE_TEST_SUITE_P(Fixtures, SharedResourceFork,
                         ::testing::Values("empty", "basic", "sillyballs", "teachtext"));

}  // namespace
}  // namespace tb::resources
