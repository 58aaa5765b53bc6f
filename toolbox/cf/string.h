// CFString: immutable and mutable Unicode strings (UTF-16 inside).
#pragma once

#include <string_view>

#include "toolbox/cf/base.h"

typedef UInt32 CFStringEncoding;
enum : CFStringEncoding {
  kCFStringEncodingMacRoman = 0,
  kCFStringEncodingISOLatin1 = 0x0201,
  kCFStringEncodingASCII = 0x0600,
  kCFStringEncodingUnicode = 0x0100,
  kCFStringEncodingUTF8 = 0x08000100,
  kCFStringEncodingUTF16 = 0x0100,
  kCFStringEncodingUTF16BE = 0x10000100,
  kCFStringEncodingUTF16LE = 0x14000100,
};

enum : CFOptionFlags {
  kCFCompareCaseInsensitive = 1,
  kCFCompareBackwards = 4,
  kCFCompareAnchored = 8,
  kCFCompareNonliteral = 16,
  kCFCompareLocalized = 32,
  kCFCompareNumerically = 64,
};

namespace tb {
// The interned constant behind CFSTR: one object per text, never freed.
CFStringRef ConstantString(std::string_view utf8);
}  // namespace tb

// A constant string from a literal (UTF-8 source text); releasing it is harmless.
#define CFSTR(cStr) tb::ConstantString("" cStr)

CFTypeID CFStringGetTypeID(void);

CFStringRef CFStringCreateWithCString(CFAllocatorRef alloc, const char* cStr,
                                      CFStringEncoding encoding);
CFStringRef CFStringCreateWithPascalString(CFAllocatorRef alloc, ConstStr255Param pStr,
                                           CFStringEncoding encoding);
CFStringRef CFStringCreateWithCharacters(CFAllocatorRef alloc, const UniChar* chars,
                                         CFIndex numChars);
CFStringRef CFStringCreateWithBytes(CFAllocatorRef alloc, const UInt8* bytes, CFIndex numBytes,
                                    CFStringEncoding encoding, Boolean isExternalRepresentation);
CFStringRef CFStringCreateCopy(CFAllocatorRef alloc, CFStringRef theString);

CFIndex CFStringGetLength(CFStringRef theString);
UniChar CFStringGetCharacterAtIndex(CFStringRef theString, CFIndex idx);
void CFStringGetCharacters(CFStringRef theString, CFRange range, UniChar* buffer);
// The text NUL-terminated in `buffer`; false when it does not fit or a character has no form
// in the encoding.
Boolean CFStringGetCString(CFStringRef theString, char* buffer, CFIndex bufferSize,
                           CFStringEncoding encoding);
// The text as a Pascal string; `bufferSize` counts the length byte. False when a character has
// no form in the encoding or the text needs more than bufferSize - 1 (or 255) bytes.
Boolean CFStringGetPascalString(CFStringRef theString, StringPtr buffer, CFIndex bufferSize,
                                CFStringEncoding encoding);

CFComparisonResult CFStringCompare(CFStringRef theString1, CFStringRef theString2,
                                   CFOptionFlags compareOptions);
Boolean CFStringHasPrefix(CFStringRef theString, CFStringRef prefix);
Boolean CFStringHasSuffix(CFStringRef theString, CFStringRef suffix);

// maxLength 0 means no limit; a limit is accepted and not enforced.
CFMutableStringRef CFStringCreateMutable(CFAllocatorRef alloc, CFIndex maxLength);
CFMutableStringRef CFStringCreateMutableCopy(CFAllocatorRef alloc, CFIndex maxLength,
                                             CFStringRef theString);
void CFStringAppend(CFMutableStringRef theString, CFStringRef appendedString);
void CFStringAppendCString(CFMutableStringRef theString, const char* cStr,
                           CFStringEncoding encoding);
void CFStringAppendPascalString(CFMutableStringRef theString, ConstStr255Param pStr,
                                CFStringEncoding encoding);
void CFStringAppendCharacters(CFMutableStringRef theString, const UniChar* chars, CFIndex numChars);

namespace tb {
// The string's UTF-16 text (empty for a null reference); valid while the string lives and is
// not changed.
std::u16string_view CFStringView(CFStringRef string);
// A new string (caller releases) holding these UTF-16 units.
CFStringRef CFStringFromUtf16(std::u16string_view utf16);
}  // namespace tb
