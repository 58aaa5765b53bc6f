#include <cstring>

#include "toolbox/cf/string.h"
#include "toolbox/cf/string_encoding.h"
#include "toolbox/cf/string_object.h"

namespace {

__CFString* MutableString(CFMutableStringRef theString) {
  const __CFString* s = tb::cf::AsString(theString);
  return s && s->isMutable ? const_cast<__CFString*>(s) : nullptr;
}

void AppendBytes(CFMutableStringRef theString, std::string_view bytes, CFStringEncoding encoding) {
  __CFString* s = MutableString(theString);
  if (!s) return;
  if (std::optional<std::u16string> text = tb::cf::DecodeBytes(bytes, encoding)) s->text += *text;
}

}  // namespace

CFMutableStringRef CFStringCreateMutable(CFAllocatorRef, CFIndex) {
  return new __CFString(std::u16string(), true);
}

CFMutableStringRef CFStringCreateMutableCopy(CFAllocatorRef, CFIndex, CFStringRef theString) {
  return new __CFString(std::u16string(tb::CFStringView(theString)), true);
}

void CFStringAppend(CFMutableStringRef theString, CFStringRef appendedString) {
  __CFString* s = MutableString(theString);
  if (!s) return;
  // Copy first: the appended string may be the string itself.
  std::u16string tail(tb::CFStringView(appendedString));
  s->text += tail;
}

void CFStringAppendCString(CFMutableStringRef theString, const char* cStr,
                           CFStringEncoding encoding) {
  if (cStr) AppendBytes(theString, std::string_view(cStr), encoding);
}

void CFStringAppendPascalString(CFMutableStringRef theString, ConstStr255Param pStr,
                                CFStringEncoding encoding) {
  if (pStr) {
    AppendBytes(theString, std::string_view(reinterpret_cast<const char*>(pStr + 1), pStr[0]),
                encoding);
  }
}

void CFStringAppendCharacters(CFMutableStringRef theString, const UniChar* chars,
                              CFIndex numChars) {
  __CFString* s = MutableString(theString);
  if (!s || !chars || numChars <= 0) return;
  s->text.append(reinterpret_cast<const char16_t*>(chars), static_cast<size_t>(numChars));
}
