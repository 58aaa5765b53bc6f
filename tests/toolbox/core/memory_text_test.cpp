#include <gtest/gtest.h>

#include <cstring>

#include "toolbox/core/errors.h"
#include "toolbox/core/fourcc.h"
#include "toolbox/core/memory.h"
#include "toolbox/core/pascal.h"
#include "toolbox/core/text.h"

namespace {

TEST(Handles, GrowKeepsBytesAndLockedHandleDoesNotMove) {
  Handle h = NewHandleClear(4);
  ASSERT_NE(h, nullptr);
  std::memcpy(*h, "abcd", 4);
  SetHandleSize(h, 4096);
  EXPECT_EQ(MemError(), noErr);
  EXPECT_EQ(GetHandleSize(h), 4096);
  EXPECT_EQ(std::memcmp(*h, "abcd", 4), 0);

  HLock(h);
  Ptr before = *h;
  SetHandleSize(h, 1 << 20);
  EXPECT_EQ(MemError(), memFullErr);
  EXPECT_EQ(*h, before);
  SetHandleSize(h, 2);  // shrinking in place is allowed while locked
  EXPECT_EQ(MemError(), noErr);
  EXPECT_EQ(GetHandleSize(h), 2);
  HUnlock(h);
  DisposeHandle(h);
}

TEST(Handles, NegativeSizesAreRefused) {
  EXPECT_EQ(NewHandle(-1), nullptr);
  EXPECT_EQ(MemError(), paramErr);
  EXPECT_EQ(NewPtr(-1), nullptr);
}

TEST(Pointers, ClearedAndSized) {
  Ptr p = NewPtrClear(100);
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(GetPtrSize(p), 100);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(p[i], 0);
  DisposePtr(p);
}

TEST(FourCharCodes, LiteralsMatchTheirText) {
  EXPECT_EQ(tb::FourCC("OfD%"), static_cast<OSType>('OfD%'));
  EXPECT_EQ(tb::FourCCText('QVRL'), "QVRL");
  EXPECT_EQ(tb::FourCC("1"), static_cast<OSType>('1   '));
}

TEST(PascalStrings, LiteralsCarryTheirLength) {
  constexpr auto name = tb::PStr("Vantorel");
  EXPECT_EQ(name.bytes[0], 8);
  EXPECT_EQ(tb::PascalView(name), "Vantorel");
  Str15 small;
  tb::SetPascal(small, sizeof small, "a string longer than fifteen");
  EXPECT_EQ(small[0], 15);
}

struct RomanCase {
  const char* utf8;
  const char* roman;  // nullptr: not representable
};

TEST(MacRoman, ConvertsBothWaysAndRefusesWhatItLacks) {
  const RomanCase cases[] = {
      {"plain", "plain"},
      {"caf\xC3\xA9", "caf\x8E"},                  // é
      {"\xE2\x82\xAC", "\xDB"},                    // €
      {"\xEF\xA3\xBF", "\xF0"},                    // the Apple logo in the private use area
      {"\xE2\x84\xA2 \xE2\x88\x9E", "\xAA \xB0"},  // ™ ∞
      {"\xE6\x97\xA5", nullptr},                   // a CJK character
      {"\xF0\x9F\x98\x80", nullptr},               // an emoji
  };
  for (const auto& c : cases) {
    auto roman = tb::MacRomanFromUtf8(c.utf8);
    if (!c.roman) {
      EXPECT_FALSE(roman.has_value()) << c.utf8;
      continue;
    }
    ASSERT_TRUE(roman.has_value()) << c.utf8;
    EXPECT_EQ(*roman, c.roman);
    EXPECT_EQ(tb::Utf8FromMacRoman(*roman), c.utf8);
  }
  for (int b = 0; b < 256; ++b) {
    auto back = tb::MacRomanFromUnicode(tb::UnicodeFromMacRoman(static_cast<unsigned char>(b)));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, b);
  }
}

TEST(Utf8, MalformedInputIsRefused) {
  const char* bad[] = {"\xC0\xAF",         "\xE0\x80\xAF", "\xED\xA0\x80",
                       "\xF4\x90\x80\x80", "\xC3",         "\x80"};
  for (const char* s : bad) EXPECT_FALSE(tb::DecodeUtf8(s).has_value()) << s;
  auto utf16 = tb::Utf16FromUtf8("a\xF0\x9F\x98\x80");
  ASSERT_TRUE(utf16.has_value());
  EXPECT_EQ(utf16->size(), 3u);
  EXPECT_EQ(tb::Utf8FromUtf16(*utf16), "a\xF0\x9F\x98\x80");
}

}  // namespace
