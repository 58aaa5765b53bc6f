#include <gtest/gtest.h>

#include <vector>

#include "toolbox/appleevents/descriptors.h"

namespace {

// An 'odoc' event to a signature, direct object a list of two items, plus a nested record.
AppleEvent SampleEvent() {
  AEDesc target, list, record;
  OSType sig = 'MACS';
  AECreateDesc(typeApplSignature, &sig, 4, &target);
  AppleEvent event;
  AECreateAppleEvent(kAECoreSuite, kAEDelete, &target, 7, kAnyTransactionID, &event);
  AECreateList(nullptr, 0, false, &list);
  AEPutPtr(&list, 0, typeFSS, "first-item", 10);
  AEPutPtr(&list, 0, typeNull, nullptr, 0);
  AEPutParamDesc(&event, keyDirectObject, &list);
  AECreateList(nullptr, 0, true, &record);
  AEPutParamPtr(&record, keyAEName, typeUTF8Text, "n\xC3\xA9", 3);
  AEPutParamDesc(&event, keyAEInsertHere, &record);
  AEDisposeDesc(&target);
  AEDisposeDesc(&list);
  AEDisposeDesc(&record);
  return event;
}

TEST(Serialization, RoundTripsAnEventTree) {
  AppleEvent event = SampleEvent();
  std::vector<uint8_t> bytes = tb::ae::Serialize(event);
  AppleEvent back;
  ASSERT_EQ(tb::ae::Deserialize(bytes, &back), noErr);
  EXPECT_EQ(back.descriptorType, typeAppleEvent);
  EXPECT_EQ(tb::ae::Serialize(back), bytes);

  AEDesc list;
  ASSERT_EQ(AEGetParamDesc(&back, keyDirectObject, typeAEList, &list), noErr);
  long count = 0;
  ASSERT_EQ(AECountItems(&list, &count), noErr);
  EXPECT_EQ(count, 2);
  DescType type = 0;
  char buf[16];
  Size size = 0;
  ASSERT_EQ(AEGetNthPtr(&list, 2, typeWildCard, nullptr, &type, buf, 16, &size), noErr);
  EXPECT_EQ(type, typeNull);
  EXPECT_EQ(size, 0);
  OSType sig = 0;
  ASSERT_EQ(AEGetAttributePtr(&back, keyAddressAttr, typeApplSignature, nullptr, &sig, 4, nullptr),
            noErr);
  EXPECT_EQ(sig, 'MACS');
  AEDisposeDesc(&list);
  AEDisposeDesc(&back);
  AEDisposeDesc(&event);
}

TEST(Serialization, EveryTruncationAndTrailingByteIsRefused) {
  AppleEvent event = SampleEvent();
  std::vector<uint8_t> bytes = tb::ae::Serialize(event);
  AEDisposeDesc(&event);
  for (size_t n = 0; n < bytes.size(); ++n) {
    AEDesc out{'junk', nullptr};
    EXPECT_EQ(tb::ae::Deserialize({bytes.data(), n}, &out), errAECorruptData) << n;
    EXPECT_EQ(out.descriptorType, typeNull);
    EXPECT_EQ(out.dataHandle, nullptr);
  }
  bytes.push_back(0);
  AEDesc out;
  EXPECT_EQ(tb::ae::Deserialize(bytes, &out), errAECorruptData);
}

std::vector<uint8_t> Header() {
  return {'V', 'A', 'E', 'D', 0, 1, 0, 0};
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}

TEST(Serialization, HostileShapesAreRefused) {
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
  };
  std::vector<Case> cases;
  {
    auto b = Header();  // lists nested one deeper than allowed
    for (int i = 0; i <= tb::ae::kMaxNesting; ++i) {
      Put32(b, typeAEList);
      Put32(b, 1);
      Put32(b, 0);
    }
    Put32(b, typeNull);
    Put32(b, 0);
    cases.push_back({"too deep", b});
  }
  {
    auto b = Header();  // a count no input could hold
    Put32(b, typeAERecord);
    Put32(b, 0xFFFFFFFF);
    cases.push_back({"huge count", b});
  }
  {
    auto b = Header();  // a data length past the end
    Put32(b, typeChar);
    Put32(b, 0x7FFFFFFF);
    b.push_back('x');
    cases.push_back({"long data", b});
  }
  {
    auto b = Header();  // a keyword inside a plain list
    Put32(b, typeAEList);
    Put32(b, 1);
    Put32(b, keyAEName);
    Put32(b, typeNull);
    Put32(b, 0);
    cases.push_back({"keyed list item", b});
  }
  {
    auto b = Header();  // typeNull with data
    Put32(b, typeNull);
    Put32(b, 1);
    b.push_back(0);
    cases.push_back({"null with data", b});
  }
  {
    auto b = Header();
    b[5] = 2;  // a later version
    Put32(b, typeNull);
    Put32(b, 0);
    cases.push_back({"version", b});
  }
  for (const auto& c : cases) {
    AEDesc out;
    EXPECT_EQ(tb::ae::Deserialize(c.bytes, &out), errAECorruptData) << c.name;
  }

  // The deepest accepted nesting still parses.
  auto b = Header();
  for (int i = 0; i < tb::ae::kMaxNesting; ++i) {
    Put32(b, typeAEList);
    Put32(b, 1);
    Put32(b, 0);
  }
  Put32(b, typeNull);
  Put32(b, 0);
  AEDesc out;
  ASSERT_EQ(tb::ae::Deserialize(b, &out), noErr);
  EXPECT_EQ(tb::ae::Serialize(out), b);
  AEDisposeDesc(&out);
}

}  // namespace
