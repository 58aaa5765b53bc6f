#include <gtest/gtest.h>

#include "toolbox/cf/array.h"
#include "toolbox/cf/plugin_com.h"
#include "toolbox/cf/string.h"
#include "toolbox/cf/uuid.h"

namespace {

TEST(CFUUID, ConstantsAreOneObjectPerValue) {
  CFUUIDRef a = IUnknownUUID;
  EXPECT_EQ(a, IUnknownUUID);
  CFRelease(a);  // harmless on a constant
  CFUUIDBytes bytes = CFUUIDGetUUIDBytes(a);
  EXPECT_EQ(bytes.byte8, 0xC0);
  EXPECT_EQ(bytes.byte15, 0x46);

  CFUUIDRef created = CFUUIDCreateFromUUIDBytes(nullptr, bytes);
  EXPECT_NE(created, a);
  EXPECT_TRUE(CFEqual(created, a));
  EXPECT_EQ(CFHash(created), CFHash(a));
  EXPECT_EQ(CFGetTypeID(created), CFUUIDGetTypeID());
  CFRelease(created);
}

TEST(CFUUID, ParsesAndFormatsTheStringForm) {
  CFUUIDRef type = CFUUIDCreateFromString(nullptr, CFSTR("2f6522e9-3E66-11D5-80A7-003065B300BC"));
  ASSERT_NE(type, nullptr);
  CFUUIDRef constant =
      CFUUIDGetConstantUUIDWithBytes(nullptr, 0x2F, 0x65, 0x22, 0xE9, 0x3E, 0x66, 0x11, 0xD5, 0x80,
                                     0xA7, 0x00, 0x30, 0x65, 0xB3, 0x00, 0xBC);
  EXPECT_TRUE(CFEqual(type, constant));
  CFStringRef text = CFUUIDCreateString(nullptr, type);
  EXPECT_EQ(tb::Utf8FromCFString(text), "2F6522E9-3E66-11D5-80A7-003065B300BC");
  CFRelease(text);
  CFRelease(type);

  for (const char* bad :
       {"", "2F6522E9-3E66-11D5-80A7-003065B300B", "2F6522E9-3E66-11D5-80A7-003065B300BCX",
        "2F6522E9+3E66-11D5-80A7-003065B300BC", "2F6522E9-3E66-11D5-80A7-003065B300BG"}) {
    CFStringRef s = CFStringCreateWithCString(nullptr, bad, kCFStringEncodingUTF8);
    EXPECT_EQ(CFUUIDCreateFromString(nullptr, s), nullptr) << bad;
    CFRelease(s);
  }
}

TEST(CFArray, RetainsElementsWithTypeCallBacks) {
  CFStringRef a = CFStringCreateWithCString(nullptr, "a", kCFStringEncodingUTF8);
  CFStringRef b = CFStringCreateWithCString(nullptr, "b", kCFStringEncodingUTF8);
  const void* values[] = {a, b};
  CFArrayRef fixed = CFArrayCreate(nullptr, values, 2, &kCFTypeArrayCallBacks);
  EXPECT_EQ(CFGetRetainCount(a), 2);

  CFMutableArrayRef list = CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks);
  CFArrayAppendValue(list, a);
  CFArrayAppendValue(list, b);
  CFArrayAppendValue(list, a);
  EXPECT_EQ(CFGetRetainCount(a), 4);
  EXPECT_EQ(CFArrayGetCount(list), 3);
  // Found by equality, not identity.
  EXPECT_EQ(CFArrayGetFirstIndexOfValue(list, CFRangeMake(0, 3), CFSTR("b")), 1);
  EXPECT_EQ(CFArrayGetFirstIndexOfValue(list, CFRangeMake(2, 1), CFSTR("b")), kCFNotFound);
  EXPECT_FALSE(CFArrayContainsValue(list, CFRangeMake(0, 3), CFSTR("c")));
  EXPECT_FALSE(CFArrayContainsValue(list, CFRangeMake(2, 5), CFSTR("a")));  // bad range

  CFArrayRemoveValueAtIndex(list, 0);
  EXPECT_EQ(CFGetRetainCount(a), 3);
  EXPECT_EQ(CFArrayGetValueAtIndex(list, 0), b);
  EXPECT_EQ(CFArrayGetValueAtIndex(list, 9), nullptr);
  CFArrayRemoveAllValues(list);
  EXPECT_EQ(CFGetRetainCount(a), 2);
  CFArrayAppendValue(const_cast<CFMutableArrayRef>(fixed), a);  // immutable: ignored
  EXPECT_EQ(CFArrayGetCount(fixed), 2);
  CFRelease(list);
  CFRelease(fixed);
  EXPECT_EQ(CFGetRetainCount(a), 1);
  EXPECT_EQ(CFGetRetainCount(b), 1);

  // Without callbacks the array neither retains nor compares by value.
  CFArrayRef plain = CFArrayCreate(nullptr, values, 2, nullptr);
  EXPECT_EQ(CFGetRetainCount(a), 1);
  CFStringRef other = CFStringCreateWithCString(nullptr, "a", kCFStringEncodingUTF8);
  EXPECT_FALSE(CFArrayContainsValue(plain, CFRangeMake(0, 2), other));
  CFRelease(other);
  CFRelease(plain);
  CFRelease(a);
  CFRelease(b);
}

}  // namespace
