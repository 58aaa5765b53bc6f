#include "toolbox/cf/string.h"

#include <cstring>
#include <map>
#include <mutex>

#include "toolbox/cf/string_encoding.h"
#include "toolbox/cf/string_object.h"
#include "toolbox/core/text.h"

using tb::cf::AsString;

namespace {

CFStringRef NewString(std::u16string text) {
  return new __CFString(std::move(text));
}

CFStringRef NewStringFromBytes(std::string_view bytes, CFStringEncoding encoding) {
  std::optional<std::u16string> text = tb::cf::DecodeBytes(bytes, encoding);
  return text ? NewString(std::move(*text)) : nullptr;
}

}  // namespace

namespace tb {

CFStringRef ConstantString(std::string_view utf8) {
  static std::mutex lock;
  static auto* table = new std::map<std::string, CFStringRef, std::less<>>();
  std::lock_guard guard(lock);
  if (auto found = table->find(utf8); found != table->end()) return found->second;
  // Literals are UTF-8 source text; bytes that are not UTF-8 are read as Mac Roman.
  std::optional<std::u16string> text = tb::cf::DecodeBytes(utf8, kCFStringEncodingUTF8);
  if (!text) text = tb::cf::DecodeBytes(utf8, kCFStringEncodingMacRoman);
  auto* string = new __CFString(std::move(*text));
  string->makeImmortal();
  table->emplace(std::string(utf8), string);
  return string;
}

std::string Utf8FromCFString(CFStringRef string) {
  return Utf8FromUtf16(CFStringView(string));
}

CFStringRef CFStringFromUtf8(std::string_view utf8) {
  return NewString(cf::LenientUtf16FromUtf8(utf8));
}

std::u16string_view CFStringView(CFStringRef string) {
  const __CFString* s = AsString(string);
  return s ? std::u16string_view(s->text) : std::u16string_view();
}

CFStringRef CFStringFromUtf16(std::u16string_view utf16) {
  return NewString(std::u16string(utf16));
}

}  // namespace tb

CFTypeID CFStringGetTypeID(void) {
  return tb::cf::kStringTypeID;
}

CFStringRef CFStringCreateWithCString(CFAllocatorRef, const char* cStr, CFStringEncoding encoding) {
  if (!cStr) return nullptr;
  return NewStringFromBytes(std::string_view(cStr), encoding);
}

CFStringRef CFStringCreateWithPascalString(CFAllocatorRef, ConstStr255Param pStr,
                                           CFStringEncoding encoding) {
  if (!pStr) return nullptr;
  return NewStringFromBytes(std::string_view(reinterpret_cast<const char*>(pStr + 1), pStr[0]),
                            encoding);
}

CFStringRef CFStringCreateWithCharacters(CFAllocatorRef, const UniChar* chars, CFIndex numChars) {
  if (numChars < 0 || (!chars && numChars > 0)) return nullptr;
  return NewString(
      std::u16string(reinterpret_cast<const char16_t*>(chars), static_cast<size_t>(numChars)));
}

CFStringRef CFStringCreateWithBytes(CFAllocatorRef, const UInt8* bytes, CFIndex numBytes,
                                    CFStringEncoding encoding, Boolean) {
  if (numBytes < 0 || (!bytes && numBytes > 0)) return nullptr;
  return NewStringFromBytes(
      std::string_view(reinterpret_cast<const char*>(bytes), static_cast<size_t>(numBytes)),
      encoding);
}

CFStringRef CFStringCreateCopy(CFAllocatorRef, CFStringRef theString) {
  const __CFString* s = AsString(theString);
  if (!s) return nullptr;
  // An immutable string can be shared rather than copied.
  if (!s->isMutable) return static_cast<CFStringRef>(CFRetain(s));
  return NewString(s->text);
}

CFIndex CFStringGetLength(CFStringRef theString) {
  return static_cast<CFIndex>(tb::CFStringView(theString).size());
}

UniChar CFStringGetCharacterAtIndex(CFStringRef theString, CFIndex idx) {
  std::u16string_view text = tb::CFStringView(theString);
  if (idx < 0 || static_cast<size_t>(idx) >= text.size()) return 0;
  return text[static_cast<size_t>(idx)];
}

void CFStringGetCharacters(CFStringRef theString, CFRange range, UniChar* buffer) {
  std::u16string_view text = tb::CFStringView(theString);
  if (!buffer || range.location < 0 || range.length <= 0 ||
      static_cast<size_t>(range.location) > text.size() ||
      static_cast<size_t>(range.length) > text.size() - static_cast<size_t>(range.location)) {
    return;
  }
  std::memcpy(buffer, text.data() + range.location,
              static_cast<size_t>(range.length) * sizeof(UniChar));
}

Boolean CFStringGetCString(CFStringRef theString, char* buffer, CFIndex bufferSize,
                           CFStringEncoding encoding) {
  if (!AsString(theString) || !buffer || bufferSize <= 0) return false;
  std::optional<std::string> bytes = tb::cf::EncodeText(tb::CFStringView(theString), encoding);
  if (!bytes || bytes->size() >= static_cast<size_t>(bufferSize)) return false;
  std::memcpy(buffer, bytes->data(), bytes->size());
  buffer[bytes->size()] = '\0';
  return true;
}

Boolean CFStringGetPascalString(CFStringRef theString, StringPtr buffer, CFIndex bufferSize,
                                CFStringEncoding encoding) {
  if (!AsString(theString) || !buffer || bufferSize <= 0) return false;
  std::optional<std::string> bytes = tb::cf::EncodeText(tb::CFStringView(theString), encoding);
  if (!bytes || bytes->size() > 255 || bytes->size() >= static_cast<size_t>(bufferSize)) {
    return false;
  }
  buffer[0] = static_cast<unsigned char>(bytes->size());
  std::memcpy(buffer + 1, bytes->data(), bytes->size());
  return true;
}
