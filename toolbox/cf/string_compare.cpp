#include <algorithm>

#include "toolbox/cf/string.h"

namespace {

// Simple case folding for the scripts a user's file names commonly hold: Latin, Greek and
// Cyrillic capitals map to their small letters.
char16_t Fold(char16_t c) {
  if (c >= u'A' && c <= u'Z') return c + 0x20;
  if (c < 0x80) return c;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
  if (c >= 0x100 && c <= 0x17F && c != 0x130 && c != 0x131 && c != 0x138 && c != 0x149) {
    // Latin Extended-A pairs capitals with the next code; two runs pair odd with even.
    bool oddCapitals = (c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E);
    if (oddCapitals) return (c & 1) ? c + 1 : c;
    if (c == 0x178) return 0xFF;
    return (c & 1) ? c : c + 1;
  }
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 0x20;
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;
  return c;
}

CFComparisonResult Order(int difference) {
  return difference < 0   ? kCFCompareLessThan
         : difference > 0 ? kCFCompareGreaterThan
                          : kCFCompareEqualTo;
}

}  // namespace

CFComparisonResult CFStringCompare(CFStringRef theString1, CFStringRef theString2,
                                   CFOptionFlags compareOptions) {
  std::u16string_view a = tb::CFStringView(theString1), b = tb::CFStringView(theString2);
  bool fold = compareOptions & kCFCompareCaseInsensitive;
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    char16_t x = fold ? Fold(a[i]) : a[i];
    char16_t y = fold ? Fold(b[i]) : b[i];
    if (x != y) return Order(int(x) - int(y));
  }
  return Order(a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0);
}

Boolean CFStringHasPrefix(CFStringRef theString, CFStringRef prefix) {
  return tb::CFStringView(theString).starts_with(tb::CFStringView(prefix));
}

Boolean CFStringHasSuffix(CFStringRef theString, CFStringRef suffix) {
  return tb::CFStringView(theString).ends_with(tb::CFStringView(suffix));
}
