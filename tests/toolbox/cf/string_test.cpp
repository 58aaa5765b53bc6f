#include <gtest/gtest.h>

#include <cstring>

#include "toolbox/cf/string.h"
#include "toolbox/cf/text_encoding.h"
#include "toolbox/core/pascal.h"

namespace {

// Releases a reference at the end of a test.
struct Owned {
  CFTypeRef ref;
  ~Owned() { CFRelease(ref); }
};

TEST(CFString, RoundTripsThroughEveryEncoding) {
  CFStringRef s =
      CFStringCreateWithCString(nullptr, "Caf\xC3\xA9 \xE2\x84\xA2", kCFStringEncodingUTF8);
  Owned own{s};
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(CFStringGetLength(s), 6);
  EXPECT_EQ(CFStringGetCharacterAtIndex(s, 3), 0x00E9);

  char c[32];
  ASSERT_TRUE(CFStringGetCString(s, c, sizeof c, kCFStringEncodingMacRoman));
  EXPECT_STREQ(c, "Caf\x8E \xAA");
  EXPECT_FALSE(CFStringGetCString(s, c, sizeof c, kCFStringEncodingASCII));
  EXPECT_FALSE(CFStringGetCString(s, c, 9, kCFStringEncodingUTF8));  // 9 bytes need 10
  ASSERT_TRUE(CFStringGetCString(s, c, 10, kCFStringEncodingUTF8));
  EXPECT_STREQ(c, "Caf\xC3\xA9 \xE2\x84\xA2");

  Str255 p;
  ASSERT_TRUE(CFStringGetPascalString(s, p, sizeof p, GetApplicationTextEncoding()));
  CFStringRef back = CFStringCreateWithPascalString(nullptr, p, kCFStringEncodingMacRoman);
  Owned ownBack{back};
  EXPECT_TRUE(CFEqual(s, back));
  EXPECT_EQ(CFHash(s), CFHash(back));

  UniChar units[3];
  CFStringGetCharacters(s, CFRangeMake(2, 3), units);
  EXPECT_EQ(units[0], u'f');
  EXPECT_EQ(units[1], 0xE9);
  EXPECT_EQ(units[2], u' ');
  EXPECT_EQ(tb::Utf8FromCFString(s), "Caf\xC3\xA9 \xE2\x84\xA2");
}

TEST(CFString, InvalidInputGivesNull) {
  EXPECT_EQ(CFStringCreateWithCString(nullptr, "\xC3(", kCFStringEncodingUTF8), nullptr);
  EXPECT_EQ(CFStringCreateWithCString(nullptr, "\xE9", kCFStringEncodingASCII), nullptr);
  const UInt8 odd[] = {0xFE, 0xFF, 0x00};
  EXPECT_EQ(CFStringCreateWithBytes(nullptr, odd, 3, kCFStringEncodingUTF16, false), nullptr);
  // The internal helper never fails: bad bytes become U+FFFD.
  CFStringRef lenient = tb::CFStringFromUtf8(
      "a\xFF"
      "b");
  Owned own{lenient};
  EXPECT_EQ(std::u16string(tb::CFStringView(lenient)), u"a\uFFFDb");
}

TEST(CFString, PascalStringFailsForMissingCharacterAndOverflow) {
  Owned cjk{CFStringCreateWithCString(nullptr, "Tokyo \xE6\x9D\xB1", kCFStringEncodingUTF8)};
  Str255 p;
  EXPECT_FALSE(CFStringGetPascalString(static_cast<CFStringRef>(cjk.ref), p, sizeof p,
                                       kCFStringEncodingMacRoman));
  EXPECT_TRUE(CFStringGetPascalString(static_cast<CFStringRef>(cjk.ref), p, sizeof p,
                                      kCFStringEncodingUTF8));

  // bufferSize 30 counts the length byte: 29 bytes fit, 30 do not, and nothing is written
  // beyond the buffer.
  unsigned char buffer[31];
  std::memset(buffer, 0xAA, sizeof buffer);
  Owned fits{CFStringCreateWithCString(nullptr, std::string(29, 'x').c_str(), 0)};
  Owned tooLong{CFStringCreateWithCString(nullptr, std::string(30, 'x').c_str(), 0)};
  EXPECT_FALSE(CFStringGetPascalString(static_cast<CFStringRef>(tooLong.ref), buffer, 30, 0));
  ASSERT_TRUE(CFStringGetPascalString(static_cast<CFStringRef>(fits.ref), buffer, 30, 0));
  EXPECT_EQ(buffer[0], 29);
  EXPECT_EQ(buffer[30], 0xAA);
  Owned big{CFStringCreateWithCString(nullptr, std::string(256, 'x').c_str(), 0)};
  unsigned char large[300];
  EXPECT_FALSE(CFStringGetPascalString(static_cast<CFStringRef>(big.ref), large, sizeof large, 0));
}

TEST(CFString, CompareAndAffixes) {
  CFStringRef a = CFSTR("Apple"), b = CFSTR("apple"), c = CFSTR("Apples");
  EXPECT_EQ(CFStringCompare(a, b, 0), kCFCompareLessThan);
  EXPECT_EQ(CFStringCompare(a, b, kCFCompareCaseInsensitive), kCFCompareEqualTo);
  EXPECT_EQ(CFStringCompare(c, a, 0), kCFCompareGreaterThan);
  EXPECT_EQ(CFStringCompare(CFSTR("\xC3\x89t\xC3\xA9"), CFSTR("\xC3\xA9T\xC3\x89"),
                            kCFCompareCaseInsensitive),
            kCFCompareEqualTo);
  EXPECT_FALSE(CFEqual(a, b));
  EXPECT_TRUE(CFStringHasPrefix(c, a));
  EXPECT_TRUE(CFStringHasSuffix(c, CFSTR("les")));
  EXPECT_FALSE(CFStringHasSuffix(a, c));
}

TEST(CFString, ConstantsAreInternedAndSurviveRelease) {
  CFStringRef s = CFSTR("Vantorel");
  EXPECT_EQ(s, CFSTR("Vantorel"));
  CFRelease(s);
  CFRelease(s);
  EXPECT_EQ(CFStringGetLength(s), 8);
  EXPECT_EQ(CFGetTypeID(s), CFStringGetTypeID());
}

TEST(CFString, MutableAppendAndCopies) {
  CFMutableStringRef m = CFStringCreateMutable(nullptr, 0);
  CFStringAppend(m, CFSTR("Open "));
  CFStringAppendCString(m, "with ", kCFStringEncodingASCII);
  CFStringAppendPascalString(m, tb::PStr("\x8E"), kCFStringEncodingMacRoman);
  CFStringAppend(m, m);
  EXPECT_EQ(tb::Utf8FromCFString(m), "Open with \xC3\xA9Open with \xC3\xA9");

  CFStringRef frozen = CFStringCreateCopy(nullptr, m);
  CFStringAppendCString(m, "!", kCFStringEncodingUTF8);
  EXPECT_EQ(CFStringGetLength(frozen), 22);
  EXPECT_EQ(CFStringGetLength(m), 23);

  CFMutableStringRef copy = CFStringCreateMutableCopy(nullptr, 0, frozen);
  EXPECT_TRUE(CFEqual(copy, frozen));
  EXPECT_EQ(CFGetRetainCount(copy), 1);
  CFRetain(copy);
  EXPECT_EQ(CFGetRetainCount(copy), 2);
  CFRelease(copy);
  CFRelease(copy);
  CFRelease(frozen);
  CFRelease(m);
}

}  // namespace
