// The object behind CFStringRef.
#pragma once

#include <string>

#include "toolbox/cf/object.h"

struct __CFString final : tb::cf::Object {
  explicit __CFString(std::u16string text, bool isMutable = false)
      : Object(tb::cf::kStringTypeID), text(std::move(text)), isMutable(isMutable) {}

  bool equals(const Object& other) const override {
    return text == static_cast<const __CFString&>(other).text;
  }
  CFHashCode hash() const override {
    CFHashCode h = 14695981039346656037ull;  // FNV-1a over the code units
    for (char16_t c : text) h = (h ^ c) * 1099511628211ull;
    return h;
  }

  std::u16string text;
  bool isMutable;
};

namespace tb::cf {
// The string object, or null when `cf` is not a string.
inline const __CFString* AsString(CFTypeRef cf) {
  if (!cf || AsObject(cf)->type() != kStringTypeID) return nullptr;
  return static_cast<const __CFString*>(AsObject(cf));
}
}  // namespace tb::cf
