// Core Foundation base: reference-counted objects, the opaque references every manager passes
// around, and the conversions the toolbox's own C++ code uses to reach a CFString's text.
#pragma once

#include <string>
#include <string_view>

#include "toolbox/core/types.h"

typedef const void* CFTypeRef;
typedef long CFIndex;
typedef unsigned long CFTypeID;
typedef unsigned long CFHashCode;
typedef unsigned long CFOptionFlags;

typedef struct CFRange {
  CFIndex location;
  CFIndex length;
} CFRange;
inline CFRange CFRangeMake(CFIndex location, CFIndex length) {
  return {location, length};
}

typedef const struct __CFAllocator* CFAllocatorRef;
typedef const struct __CFString* CFStringRef;
typedef struct __CFString* CFMutableStringRef;
typedef const struct __CFUUID* CFUUIDRef;
typedef const struct __CFArray* CFArrayRef;
typedef struct __CFArray* CFMutableArrayRef;
typedef struct __CFBundle* CFBundleRef;
typedef struct __CFBundle* CFPlugInRef;
typedef const struct __CFURL* CFURLRef;

typedef enum {
  kCFCompareLessThan = -1,
  kCFCompareEqualTo = 0,
  kCFCompareGreaterThan = 1
} CFComparisonResult;

constexpr CFIndex kCFNotFound = -1;
// Only the default allocator exists; the argument is accepted and ignored everywhere.
constexpr CFAllocatorRef kCFAllocatorDefault = nullptr;

CFTypeRef CFRetain(CFTypeRef cf);
void CFRelease(CFTypeRef cf);
Boolean CFEqual(CFTypeRef cf1, CFTypeRef cf2);
CFHashCode CFHash(CFTypeRef cf);
CFIndex CFGetRetainCount(CFTypeRef cf);
CFTypeID CFGetTypeID(CFTypeRef cf);

namespace tb {
// The string's text as UTF-8 (empty for a null reference).
std::string Utf8FromCFString(CFStringRef string);
// A new string (caller releases) with the UTF-8 text; invalid sequences become U+FFFD.
CFStringRef CFStringFromUtf8(std::string_view utf8);
}  // namespace tb
