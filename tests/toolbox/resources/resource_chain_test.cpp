// The Resource Manager's calls over resource files held in memory: the chain, getting,
// adding, removing, and what reaches the fork when a file is updated or closed.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/toolbox/resources/memory_fork.h"
#include "toolbox/core/memory.h"
#include "toolbox/core/pascal.h"
#include "toolbox/resources/resources.h"

namespace tb::resources {
namespace {

using test::Bytes;
using test::ForkWith;
using test::OpenInMemory;

Bytes Data(Handle h) {
  return h ? Bytes(*h, *h + GetHandleSize(h)) : Bytes{};
}

Handle HandleOf(const Bytes& bytes) {
  return NewHandleWith(bytes.data(), static_cast<Size>(bytes.size()));
}

SInt16 Open(std::shared_ptr<Bytes> fork, bool writable = true) {
  OSErr err = noErr;
  SInt16 refNum = OpenInMemory(fork, writable, &err);
  EXPECT_EQ(err, noErr);
  return refNum;
}

ResourceMap Parsed(const Bytes& fork) {
  ResourceMap map;
  EXPECT_EQ(ParseResourceFork(fork, &map), noErr);
  return map;
}

const Resource* FindIn(const ResourceMap& map, ResType type, SInt16 id) {
  for (auto& t : map.types) {
    for (auto& r : t.resources) {
      if (t.type == type && r.id == id) return &r;
    }
  }
  return nullptr;
}

// Two files: the older holds 'STR ' 1 and 'pref' 1, the newer (current) 'pref' 1 and 'pref' 2.
class TwoFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    ResourceMap older, newer;
    older.types = {{'STR ', {{1, "old", 0, {'o'}}}}, {'pref', {{1, std::nullopt, 0, {'O'}}}}};
    newer.types = {{'pref', {{1, std::nullopt, 0, {'N'}}, {2, "two", 0, {'2'}}}}};
    olderFork = ForkWith(older);
    newerFork = ForkWith(newer);
    olderRef = Open(olderFork);
    newerRef = Open(newerFork);
  }
  void TearDown() override {
    CloseResFile(newerRef);
    CloseResFile(olderRef);
  }
  std::shared_ptr<Bytes> olderFork, newerFork;
  SInt16 olderRef = 0, newerRef = 0;
};

TEST_F(TwoFiles, GetResourceSearchesDownTheChainGet1OnlyTheCurrentFile) {
  EXPECT_EQ(CurResFile(), newerRef);
  EXPECT_EQ(Data(GetResource('pref', 1)), Bytes{'N'});  // the newer file shadows the older
  EXPECT_EQ(Data(GetResource('STR ', 1)), Bytes{'o'});
  EXPECT_EQ(HomeResFile(GetResource('STR ', 1)), olderRef);
  EXPECT_EQ(Get1Resource('STR ', 1), nullptr);
  EXPECT_EQ(ResError(), resNotFound);
  EXPECT_EQ(CountResources('pref'), 3);
  EXPECT_EQ(Count1Resources('pref'), 2);
  EXPECT_NE(GetNamedResource('STR ', PStr("old")), nullptr);
  EXPECT_EQ(Get1NamedResource('STR ', PStr("old")), nullptr);

  UseResFile(olderRef);  // now the newer file is above the current one and not searched
  EXPECT_EQ(Data(GetResource('pref', 1)), Bytes{'O'});
  EXPECT_EQ(GetResource('pref', 2), nullptr);
  EXPECT_EQ(CountResources('pref'), 1);

  UseResFile(4242);
  EXPECT_EQ(ResError(), resFNotFound);
  EXPECT_EQ(CurResFile(), olderRef);
}

TEST_F(TwoFiles, RepeatedGetsReturnTheSameHandleUntilReleased) {
  Handle h = GetResource('pref', 2);
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(GetResource('pref', 2), h);
  EXPECT_EQ(Get1Resource('pref', 2), h);

  SInt16 id = 0;
  ResType type = 0;
  Str255 name;
  GetResInfo(h, &id, &type, name);
  EXPECT_EQ(ResError(), noErr);
  EXPECT_EQ(id, 2);
  EXPECT_EQ(type, static_cast<ResType>('pref'));
  EXPECT_EQ(PascalView(name), "two");

  ReleaseResource(h);
  EXPECT_EQ(ResError(), noErr);
  Handle again = GetResource('pref', 2);
  EXPECT_EQ(Data(again), Bytes{'2'});
  EXPECT_EQ(HomeResFile(again), newerRef);
}

TEST_F(TwoFiles, ClosingTheCurrentFileMakesTheOlderCurrentAndKeepsDetachedHandles) {
  Handle detached = Get1Resource('pref', 2);
  DetachResource(detached);
  EXPECT_EQ(HomeResFile(detached), -1);
  CloseResFile(newerRef);
  EXPECT_EQ(ResError(), noErr);
  EXPECT_EQ(CurResFile(), olderRef);
  EXPECT_EQ(Data(detached), Bytes{'2'});  // still the caller's, still valid
  DisposeHandle(detached);
  EXPECT_EQ(Data(GetResource('pref', 1)), Bytes{'O'});
  newerRef = -1;  // already closed
}

TEST_F(TwoFiles, ReplacingAResourceKeepsOneCopyAndLeavesOthersAlone) {
  const Bytes before = *newerFork;
  Handle old = Get1Resource('pref', 1);
  RemoveResource(old);
  EXPECT_EQ(ResError(), noErr);
  EXPECT_EQ(Data(old), Bytes{'N'});  // an ordinary handle now, the caller's
  DisposeHandle(old);
  AddResource(HandleOf({'n', 'e', 'w'}), 'pref', 1, PStr("renewed"));
  EXPECT_EQ(ResError(), noErr);
  EXPECT_EQ(Count1Resources('pref'), 2);
  EXPECT_EQ(*newerFork, before);  // nothing written before an update

  UpdateResFile(newerRef);
  ASSERT_EQ(ResError(), noErr);
  ResourceMap written = Parsed(*newerFork);
  ASSERT_EQ(written.types.size(), 1u);
  ASSERT_EQ(written.types[0].resources.size(), 2u);
  const Resource* one = FindIn(written, 'pref', 1);
  ASSERT_NE(one, nullptr);
  EXPECT_EQ(one->data, (Bytes{'n', 'e', 'w'}));
  EXPECT_EQ(one->name, "renewed");
  EXPECT_EQ(one->attributes, 0);  // "changed" is not stored
  EXPECT_EQ(FindIn(written, 'pref', 2)->data, Bytes{'2'});
  EXPECT_EQ(FindIn(written, 'pref', 2)->name, "two");
  EXPECT_EQ(written.attributes & kMapChanged, 0);
  EXPECT_EQ(Parsed(*olderFork).types.size(), 2u);  // the other file was not touched
}

TEST_F(TwoFiles, ChangedResourceWritesTheHandlesData) {
  Handle h = Get1Resource('pref', 2);
  SetHandleSize(h, 3);
  std::memcpy(*h, "abc", 3);
  CloseResFile(newerRef);  // not marked changed: nothing to write
  EXPECT_EQ(FindIn(Parsed(*newerFork), 'pref', 2)->data, Bytes{'2'});

  newerRef = Open(newerFork);
  h = Get1Resource('pref', 2);
  SetHandleSize(h, 3);
  std::memcpy(*h, "abc", 3);
  ChangedResource(h);
  EXPECT_EQ(GetResAttrs(h) & resChanged, resChanged);
  ReleaseResource(h);  // the change survives the handle
  CloseResFile(newerRef);
  EXPECT_EQ(FindIn(Parsed(*newerFork), 'pref', 2)->data, (Bytes{'a', 'b', 'c'}));
  newerRef = -1;
}

TEST_F(TwoFiles, HandlesThatAreNotResourcesAreRefused) {
  Handle plain = HandleOf({1});
  RemoveResource(plain);
  EXPECT_EQ(ResError(), rmvResFailed);
  GetResAttrs(plain);
  EXPECT_EQ(ResError(), resNotFound);
  EXPECT_EQ(HomeResFile(plain), -1);
  AddResource(plain, 'pref', 9, nullptr);
  EXPECT_EQ(ResError(), noErr);
  AddResource(plain, 'pref', 10, nullptr);  // already a resource
  EXPECT_EQ(ResError(), addResFailed);
  EXPECT_EQ(Count1Resources('pref'), 3);
}

TEST(ResourceFileInMemory, ReadOnlyFileRefusesChanges) {
  ResourceMap map;
  map.types = {{'pref', {{1, std::nullopt, 0, {1}}}}};
  auto fork = ForkWith(map);
  const Bytes before = *fork;
  SInt16 ref = Open(fork, /*writable=*/false);
  Handle extra = HandleOf({2});
  AddResource(extra, 'pref', 2, nullptr);
  EXPECT_EQ(ResError(), addResFailed);
  Handle pref = Get1Resource('pref', 1);
  RemoveResource(pref);
  EXPECT_EQ(ResError(), rmvResFailed);
  ChangedResource(pref);
  EXPECT_NE(ResError(), noErr);
  CloseResFile(ref);
  EXPECT_EQ(ResError(), noErr);
  EXPECT_EQ(*fork, before);
  DisposeHandle(extra);
}

TEST(ResourceFileInMemory, InfoAndFileAttributesReachTheFork) {
  ResourceMap map;
  map.types = {{'pref', {{1, "old name", 0, {1}}}}};
  auto fork = ForkWith(map);
  SInt16 ref = Open(fork);
  Handle h = Get1Resource('pref', 1);
  SetResInfo(h, -5, PStr(""));
  SetResAttrs(h, resPurgeable);
  SetResFileAttrs(ref, mapCompact);
  CloseResFile(ref);
  ASSERT_EQ(ResError(), noErr);
  ResourceMap written = Parsed(*fork);
  EXPECT_EQ(written.attributes, mapCompact);
  const Resource* res = FindIn(written, 'pref', -5);
  ASSERT_NE(res, nullptr);
  EXPECT_FALSE(res->name.has_value());
  EXPECT_EQ(res->attributes, resPurgeable);
  EXPECT_EQ(res->data, Bytes{1});

  // A map marked read-only is never rewritten.
  ref = Open(fork);
  SetResFileAttrs(ref, mapReadOnly);
  const Bytes before = *fork;
  CloseResFile(ref);
  EXPECT_EQ(ResError(), noErr);
  EXPECT_EQ(*fork, before);
}

TEST(ResourceFileInMemory, RoundTripThroughCloseAndReopen) {
  auto fork = std::make_shared<Bytes>(SerializeResourceFork(EmptyResourceMap()).value());
  SInt16 ref = Open(fork);
  EXPECT_EQ(Count1Types(), 0);
  struct Row {
    ResType type;
    SInt16 id;
    const char* name;  // nullptr: no name
    Bytes data;
  };
  const Row rows[] = {
      {'pref', 1, nullptr, {0, 1, 2, 3}},
      {'pref', -32768, "lowest", {}},
      {'STR#', 128, "", {0, 2, 'a', 'b'}},  // the empty name is no name
      {'icl8', -16455, "custom icon", Bytes(1024, 0xA5)},
  };
  for (const auto& row : rows) {
    Str255 name;
    SetPascal(name, sizeof name, row.name ? row.name : "");
    AddResource(HandleOf(row.data), row.type, row.id, row.name ? name : nullptr);
    ASSERT_EQ(ResError(), noErr);
  }
  CloseResFile(ref);
  ASSERT_EQ(ResError(), noErr);

  ref = Open(fork);
  EXPECT_EQ(Count1Types(), 3);
  for (const auto& row : rows) {
    SCOPED_TRACE(row.id);
    Handle h = Get1Resource(row.type, row.id);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(Data(h), row.data);
    Str255 name;
    GetResInfo(h, nullptr, nullptr, name);
    EXPECT_EQ(PascalView(name), row.name ? row.name : "");
    EXPECT_EQ(GetResAttrs(h), 0);
  }
  CloseResFile(ref);
}

}  // namespace
}  // namespace tb::resources
