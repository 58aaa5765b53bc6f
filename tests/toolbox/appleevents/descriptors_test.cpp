#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "toolbox/appleevents/descriptors.h"

namespace {

// Owns a descriptor for the length of a test.
struct Desc {
  AEDesc d{typeNull, nullptr};
  ~Desc() { AEDisposeDesc(&d); }
  AEDesc* operator&() { return &d; }
};

std::string TextParam(const AERecord* record, AEKeyword key) {
  char buffer[256];
  Size actual = 0;
  DescType type = 0;
  if (AEGetParamPtr(record, key, typeChar, &type, buffer, sizeof buffer, &actual) != noErr) {
    return "<missing>";
  }
  return std::string(buffer, std::min<Size>(actual, sizeof buffer));
}

SInt32 LongAt(const AEDescList* list, long index) {
  SInt32 value = -1;
  EXPECT_EQ(
      AEGetNthPtr(list, index, typeLongInteger, nullptr, nullptr, &value, sizeof value, nullptr),
      noErr);
  return value;
}

TEST(Descriptors, CommandPairsNestAsTheContextualMenuExpects) {
  // A submenu of one command pair, attached by key to an outer pair appended to the list.
  Desc submenu, pair, outer, list;
  ASSERT_EQ(AECreateList(nullptr, 0, false, &submenu), noErr);
  ASSERT_EQ(AECreateList(nullptr, 0, true, &pair), noErr);
  ASSERT_EQ(AEPutParamPtr(&pair, keyAEName, typeChar, " ", 1), noErr);
  SInt32 command = 1;
  ASSERT_EQ(AEPutParamPtr(&pair, keyContextualMenuCommandID, typeLongInteger, &command, 4), noErr);
  ASSERT_EQ(AEPutDesc(&submenu, 0, &pair), noErr);

  ASSERT_EQ(AECreateList(nullptr, 0, true, &outer), noErr);
  ASSERT_EQ(AEPutParamPtr(&outer, keyAEName, typeChar, "Vantorel\0", 9), noErr);
  ASSERT_EQ(AEPutParamDesc(&outer, keyContextualMenuSubmenu, &submenu), noErr);
  ASSERT_EQ(AECreateList(nullptr, 0, false, &list), noErr);
  ASSERT_EQ(AEPutDesc(&list, 0, &outer), noErr);
  AEDisposeDesc(&outer);  // the list holds its own copy
  AEDisposeDesc(&submenu);

  long count = 0;
  ASSERT_EQ(AECountItems(&list, &count), noErr);
  EXPECT_EQ(count, 1);
  Desc item, sub, inner;
  AEKeyword key = 0;
  ASSERT_EQ(AEGetNthDesc(&list, 1, typeWildCard, &key, &item), noErr);
  EXPECT_EQ(key, typeWildCard);
  EXPECT_EQ(item.d.descriptorType, typeAERecord);
  EXPECT_EQ(TextParam(&item.d, keyAEName), std::string("Vantorel\0", 9));
  ASSERT_EQ(AEGetParamDesc(&item.d, keyContextualMenuSubmenu, typeAEList, &sub), noErr);
  ASSERT_EQ(AECountItems(&sub.d, &count), noErr);
  EXPECT_EQ(count, 1);
  ASSERT_EQ(AEGetNthDesc(&sub.d, 1, typeAERecord, nullptr, &inner), noErr);
  EXPECT_EQ(TextParam(&inner.d, keyAEName), " ");
  SInt32 read = 0;
  DescType type = 0;
  ASSERT_EQ(
      AEGetParamPtr(&inner.d, keyContextualMenuCommandID, typeWildCard, &type, &read, 4, nullptr),
      noErr);
  EXPECT_EQ(type, typeLongInteger);
  EXPECT_EQ(read, 1);
}

TEST(Descriptors, IndexedPutsAppendReplaceOrRefuse) {
  Desc list;
  ASSERT_EQ(AECreateList(nullptr, 0, false, &list), noErr);
  auto put = [&](long index, SInt32 v) {
    return AEPutPtr(&list, index, typeLongInteger, &v, sizeof v);
  };
  EXPECT_EQ(put(0, 10), noErr);             // append
  EXPECT_EQ(put(2, 20), noErr);             // count + 1 appends
  EXPECT_EQ(put(1, 11), noErr);             // replaces
  EXPECT_EQ(put(4, 40), errAEBadListItem);  // past the end + 1
  EXPECT_EQ(put(-1, 0), errAEBadListItem);
  long count = 0;
  ASSERT_EQ(AECountItems(&list, &count), noErr);
  ASSERT_EQ(count, 2);
  EXPECT_EQ(LongAt(&list, 1), 11);
  EXPECT_EQ(LongAt(&list, 2), 20);

  SInt32 v;
  for (long bad : {0L, 3L, -5L}) {
    EXPECT_EQ(AEGetNthPtr(&list, bad, typeWildCard, nullptr, nullptr, &v, 4, nullptr),
              errAEBadListItem)
        << bad;
  }
  EXPECT_EQ(AEDeleteItem(&list, 3), errAEBadListItem);
  EXPECT_EQ(AEDeleteItem(&list, 1), noErr);
  EXPECT_EQ(LongAt(&list, 1), 20);
}

TEST(Descriptors, KeyedAccessRules) {
  Desc list, record, text;
  ASSERT_EQ(AECreateList(nullptr, 0, false, &list), noErr);
  ASSERT_EQ(AECreateList(nullptr, 0, true, &record), noErr);
  ASSERT_EQ(AECreateDesc(typeChar, "abc", 3, &text), noErr);
  SInt32 v = 5;
  EXPECT_EQ(AEPutParamPtr(&list, keyAEName, typeLongInteger, &v, 4), errAEWrongDataType);
  EXPECT_EQ(AEPutParamDesc(&text, keyAEName, &list), errAEWrongDataType);
  long count;
  EXPECT_EQ(AECountItems(&text, &count), errAEWrongDataType);
  EXPECT_EQ(AEGetParamPtr(&record, keyAEName, typeWildCard, nullptr, &v, 4, nullptr),
            errAEDescNotFound);
  EXPECT_EQ(AEDeleteParam(&record, keyAEName), errAEDescNotFound);

  // A second put under the same key replaces the first; records also take indexed access.
  ASSERT_EQ(AEPutParamPtr(&record, keyAEName, typeChar, "one", 3), noErr);
  ASSERT_EQ(AEPutParamPtr(&record, keyDirectObject, typeLongInteger, &v, 4), noErr);
  ASSERT_EQ(AEPutParamPtr(&record, keyAEName, typeChar, "two", 3), noErr);
  ASSERT_EQ(AECountItems(&record, &count), noErr);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(TextParam(&record.d, keyAEName), "two");
  AEKeyword key = 0;
  char buf[8];
  ASSERT_EQ(AEGetNthPtr(&record, 2, typeWildCard, &key, nullptr, buf, sizeof buf, nullptr), noErr);
  EXPECT_EQ(key, keyDirectObject);
  ASSERT_EQ(AEPutParamDesc(&record, keyAEUsing, &list), noErr);
  EXPECT_EQ(AEGetParamPtr(&record, keyAEUsing, typeChar, nullptr, buf, sizeof buf, nullptr),
            errAECoercionFail);
  ASSERT_EQ(AEDeleteParam(&record, keyAEUsing), noErr);
  ASSERT_EQ(AEDeleteParam(&record, keyAEName), noErr);
  ASSERT_EQ(AECountItems(&record, &count), noErr);
  EXPECT_EQ(count, 1);
}

struct CoercionCase {
  const char* name;
  DescType type;
  std::vector<uint8_t> data;
  DescType desired;
  OSErr err;
  DescType gotType;
  std::vector<uint8_t> got;
};

std::vector<uint8_t> Bytes(const void* p, size_t n) {
  auto b = static_cast<const uint8_t*>(p);
  return {b, b + n};
}
template <typename T>
std::vector<uint8_t> Of(T v) {
  return Bytes(&v, sizeof v);
}
std::vector<uint8_t> Str(const char* s) {
  return Bytes(s, std::strlen(s));
}

class Coercions : public ::testing::TestWithParam<CoercionCase> {};

TEST_P(Coercions, ReadsAsDesiredTypeOrFailsCleanly) {
  const CoercionCase& c = GetParam();
  Desc list;
  ASSERT_EQ(AECreateList(nullptr, 0, false, &list), noErr);
  ASSERT_EQ(AEPutPtr(&list, 0, c.type, c.data.data(), static_cast<Size>(c.data.size())), noErr);
  std::array<uint8_t, 128> buffer;
  buffer.fill(0xEE);
  DescType type = 0;
  Size actual = -1;
  OSErr err =
      AEGetNthPtr(&list, 1, c.desired, nullptr, &type, buffer.data(), buffer.size(), &actual);
  ASSERT_EQ(err, c.err);
  if (err != noErr) {
    EXPECT_EQ(buffer[0], 0xEE) << "nothing is written on failure";
    return;
  }
  EXPECT_EQ(type, c.gotType);
  ASSERT_EQ(actual, static_cast<Size>(c.got.size()));
  EXPECT_EQ(std::vector<uint8_t>(buffer.begin(), buffer.begin() + actual), c.got);
}

const uint8_t kFSS[70] = {0xFF, 0x9C, 0, 0, 0, 2, 4, 'D', 'o', 'c', 's'};

INSTANTIATE_TEST_SUITE_P(
    Table, Coercions,
    ::testing::Values(
        CoercionCase{"wildcard", typeFSS, Bytes(kFSS, 70), typeWildCard, noErr, typeFSS,
                     Bytes(kFSS, 70)},
        CoercionCase{"same", typeFSS, Bytes(kFSS, 70), typeFSS, noErr, typeFSS, Bytes(kFSS, 70)},
        CoercionCase{
            "text_is_not_a_file", typeChar, Str("hello"), typeFSS, errAECoercionFail, 0, {}},
        CoercionCase{"long_to_short", typeLongInteger, Of<SInt32>(-7), typeShortInteger, noErr,
                     typeShortInteger, Of<SInt16>(-7)},
        CoercionCase{"long_too_big",
                     typeLongInteger,
                     Of<SInt32>(70000),
                     typeShortInteger,
                     errAECoercionFail,
                     0,
                     {}},
        CoercionCase{"short_to_long", typeShortInteger, Of<SInt16>(300), typeLongInteger, noErr,
                     typeLongInteger, Of<SInt32>(300)},
        CoercionCase{
            "bad_long_size", typeLongInteger, {1, 2}, typeShortInteger, errAECoercionFail, 0, {}},
        CoercionCase{"true_to_bool", typeTrue, {}, typeBoolean, noErr, typeBoolean, {1}},
        CoercionCase{"utf8_to_text", typeUTF8Text, Str("caf\xC3\xA9"), typeChar, noErr, typeChar,
                     Str("caf\x8E")},
        CoercionCase{"utf8_not_roman",
                     typeUTF8Text,
                     Str("\xE4\xB8\xAD"),
                     typeChar,
                     errAECoercionFail,
                     0,
                     {}},
        CoercionCase{"text_to_utf8", typeChar, Str("caf\x8E"), typeUTF8Text, noErr, typeUTF8Text,
                     Str("caf\xC3\xA9")},
        CoercionCase{"bad_utf8", typeUTF8Text, {0xC3}, typeChar, errAECoercionFail, 0, {}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Descriptors, ReadsNeverPassMaximumSizeAndReportFullSize) {
  Desc list;
  ASSERT_EQ(AECreateList(nullptr, 0, false, &list), noErr);
  ASSERT_EQ(AEPutPtr(&list, 0, typeFSS, kFSS, sizeof kFSS), noErr);
  std::array<uint8_t, 16> buffer;
  buffer.fill(0xEE);
  Size actual = 0;
  ASSERT_EQ(AEGetNthPtr(&list, 1, typeFSS, nullptr, nullptr, buffer.data(), 8, &actual), noErr);
  EXPECT_EQ(actual, 70);
  EXPECT_EQ(std::memcmp(buffer.data(), kFSS, 8), 0);
  EXPECT_EQ(buffer[8], 0xEE);
  // Asking for the size alone.
  ASSERT_EQ(AEGetNthPtr(&list, 1, typeFSS, nullptr, nullptr, nullptr, 0, &actual), noErr);
  EXPECT_EQ(actual, 70);
}

TEST(Descriptors, DisposeDuplicateAndData) {
  AEDesc null{typeNull, nullptr};
  EXPECT_EQ(AEDisposeDesc(&null), noErr);
  EXPECT_EQ(AEDisposeDesc(&null), noErr);
  EXPECT_EQ(null.descriptorType, typeNull);
  EXPECT_EQ(null.dataHandle, nullptr);

  Desc original, copy;
  ASSERT_EQ(AECreateList(nullptr, 0, false, &original), noErr);
  SInt32 v = 1;
  ASSERT_EQ(AEPutPtr(&original, 0, typeLongInteger, &v, 4), noErr);
  ASSERT_EQ(AEDuplicateDesc(&original.d, &copy), noErr);
  v = 2;
  ASSERT_EQ(AEPutPtr(&original, 1, typeLongInteger, &v, 4), noErr);
  EXPECT_EQ(LongAt(&copy.d, 1), 1);  // deep copy

  // A list's data is its flattened form, and rebuilding from it gives the same list.
  std::vector<uint8_t> flat(AEGetDescDataSize(&copy.d));
  ASSERT_EQ(AEGetDescData(&copy.d, flat.data(), flat.size()), noErr);
  Desc rebuilt;
  ASSERT_EQ(AECreateDesc(typeAEList, flat.data(), flat.size(), &rebuilt), noErr);
  EXPECT_EQ(LongAt(&rebuilt.d, 1), 1);
  Desc junk;
  EXPECT_EQ(AECreateDesc(typeAEList, "junk", 4, &junk), errAECorruptData);
  EXPECT_EQ(junk.d.descriptorType, typeNull);

  Desc text;
  ASSERT_EQ(AECreateDesc(typeChar, "abcdef", 6, &text), noErr);
  EXPECT_EQ(AEGetDescDataSize(&text.d), 6);
  char four[5] = "....";
  ASSERT_EQ(AEGetDescData(&text.d, four, 3), noErr);
  EXPECT_STREQ(four, "abc.");
}

TEST(AppleEvents, CarryClassIdTargetAndParameters) {
  Desc target, event, items;
  ProcessSerialNumber psn{0, 4242};
  ASSERT_EQ(AECreateDesc(typeProcessSerialNumber, &psn, sizeof psn, &target), noErr);
  ASSERT_EQ(AECreateAppleEvent(kCoreEventClass, kAEOpenDocuments, &target.d, kAutoGenerateReturnID,
                               kAnyTransactionID, &event),
            noErr);
  EXPECT_EQ(event.d.descriptorType, typeAppleEvent);
  ASSERT_EQ(AEPutParamPtr(&event, keyDirectObject, typeFSS, kFSS, sizeof kFSS), noErr);

  OSType code = 0;
  ASSERT_EQ(AEGetAttributePtr(&event.d, keyEventClassAttr, typeType, nullptr, &code, 4, nullptr),
            noErr);
  EXPECT_EQ(code, kCoreEventClass);
  ASSERT_EQ(AEGetAttributePtr(&event.d, keyEventIDAttr, typeType, nullptr, &code, 4, nullptr),
            noErr);
  EXPECT_EQ(code, kAEOpenDocuments);
  ProcessSerialNumber got{};
  DescType type = 0;
  ASSERT_EQ(
      AEGetAttributePtr(&event.d, keyAddressAttr, typeWildCard, &type, &got, sizeof got, nullptr),
      noErr);
  EXPECT_EQ(type, typeProcessSerialNumber);
  EXPECT_EQ(got.lowLongOfPSN, 4242u);
  AEReturnID id = 0;
  ASSERT_EQ(
      AEGetAttributePtr(&event.d, keyReturnIDAttr, typeShortInteger, nullptr, &id, 2, nullptr),
      noErr);
  EXPECT_NE(id, kAutoGenerateReturnID);
  EXPECT_NE(id, 0);
  long count = 0;
  ASSERT_EQ(AECountItems(&event.d, &count), noErr);
  EXPECT_EQ(count, 1);  // attributes are not parameters
  uint8_t fss[70];
  ASSERT_EQ(AEGetParamPtr(&event.d, keyDirectObject, typeFSS, nullptr, fss, 70, nullptr), noErr);
  EXPECT_EQ(std::memcmp(fss, kFSS, 70), 0);

  // Attributes belong to events only.
  ASSERT_EQ(AECreateList(nullptr, 0, true, &items), noErr);
  EXPECT_EQ(AEPutAttributePtr(&items, keyEventIDAttr, typeType, &code, 4), errAENotAppleEvent);
  EXPECT_EQ(AEGetAttributePtr(&event.d, keyTimeoutAttr, typeWildCard, nullptr, &code, 4, nullptr),
            errAEDescNotFound);
}

// A coercion another manager installs, here a stand-in for alias resolution.
OSErr AliasToSpec(DescType, std::span<const uint8_t> data, DescType, std::vector<uint8_t>* out) {
  if (data.size() != 1) return errAECoercionFail;
  out->assign(kFSS, kFSS + 70);
  return noErr;
}

TEST(Descriptors, InstalledCoercionsAreUsedUntilRemoved) {
  Desc list;
  ASSERT_EQ(AECreateList(nullptr, 0, false, &list), noErr);
  ASSERT_EQ(AEPutPtr(&list, 0, typeAlias, "a", 1), noErr);
  uint8_t fss[70] = {};
  tb::ae::InstallCoercion(typeAlias, typeFSS, AliasToSpec);
  EXPECT_EQ(AEGetNthPtr(&list, 1, typeFSS, nullptr, nullptr, fss, 70, nullptr), noErr);
  EXPECT_EQ(std::memcmp(fss, kFSS, 70), 0);
  tb::ae::InstallCoercion(typeAlias, typeFSS, nullptr);
  EXPECT_EQ(AEGetNthPtr(&list, 1, typeFSS, nullptr, nullptr, fss, 70, nullptr), errAECoercionFail);
}

}  // namespace
