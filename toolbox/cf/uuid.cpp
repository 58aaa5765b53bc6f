#include "toolbox/cf/uuid.h"

#include <array>
#include <cstring>
#include <map>
#include <mutex>

#include "toolbox/cf/object.h"

namespace {
using Bytes = std::array<UInt8, 16>;
}  // namespace

struct __CFUUID final : tb::cf::Object {
  explicit __CFUUID(const Bytes& bytes) : Object(tb::cf::kUUIDTypeID), bytes(bytes) {}
  bool equals(const Object& other) const override {
    return bytes == static_cast<const __CFUUID&>(other).bytes;
  }
  CFHashCode hash() const override {
    CFHashCode h = 0;
    for (UInt8 b : bytes) h = h * 31 + b;
    return h;
  }
  Bytes bytes;
};

namespace {

Bytes FromStruct(const CFUUIDBytes& b) {
  Bytes out;
  static_assert(sizeof(CFUUIDBytes) == 16);
  std::memcpy(out.data(), &b, 16);
  return out;
}

const __CFUUID* AsUUID(CFUUIDRef uuid) {
  if (!uuid || tb::cf::AsObject(uuid)->type() != tb::cf::kUUIDTypeID) return nullptr;
  return static_cast<const __CFUUID*>(tb::cf::AsObject(uuid));
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

namespace tb {

bool ParseUUID(std::string_view text, CFUUIDBytes* out) {
  // 8-4-4-4-12 hexadecimal digits.
  if (text.size() != 36) return false;
  Bytes bytes{};
  size_t b = 0;
  for (size_t i = 0; i < text.size();) {
    if (i == 8 || i == 13 || i == 18 || i == 23) {
      if (text[i] != '-') return false;
      ++i;
      continue;
    }
    int hi = HexValue(text[i]), lo = HexValue(text[i + 1]);
    if (hi < 0 || lo < 0) return false;
    bytes[b++] = static_cast<UInt8>(hi << 4 | lo);
    i += 2;
  }
  std::memcpy(out, bytes.data(), 16);
  return true;
}

}  // namespace tb

CFTypeID CFUUIDGetTypeID(void) {
  return tb::cf::kUUIDTypeID;
}

CFUUIDRef CFUUIDGetConstantUUIDWithBytes(CFAllocatorRef, UInt8 b0, UInt8 b1, UInt8 b2, UInt8 b3,
                                         UInt8 b4, UInt8 b5, UInt8 b6, UInt8 b7, UInt8 b8, UInt8 b9,
                                         UInt8 b10, UInt8 b11, UInt8 b12, UInt8 b13, UInt8 b14,
                                         UInt8 b15) {
  static std::mutex lock;
  static auto* table = new std::map<Bytes, CFUUIDRef>();
  Bytes bytes{b0, b1, b2, b3, b4, b5, b6, b7, b8, b9, b10, b11, b12, b13, b14, b15};
  std::lock_guard guard(lock);
  auto [at, added] = table->try_emplace(bytes, nullptr);
  if (added) {
    auto* uuid = new __CFUUID(bytes);
    uuid->makeImmortal();
    at->second = uuid;
  }
  return at->second;
}

CFUUIDRef CFUUIDCreateWithBytes(CFAllocatorRef, UInt8 b0, UInt8 b1, UInt8 b2, UInt8 b3, UInt8 b4,
                                UInt8 b5, UInt8 b6, UInt8 b7, UInt8 b8, UInt8 b9, UInt8 b10,
                                UInt8 b11, UInt8 b12, UInt8 b13, UInt8 b14, UInt8 b15) {
  return new __CFUUID(Bytes{b0, b1, b2, b3, b4, b5, b6, b7, b8, b9, b10, b11, b12, b13, b14, b15});
}

CFUUIDRef CFUUIDCreateFromUUIDBytes(CFAllocatorRef, CFUUIDBytes bytes) {
  return new __CFUUID(FromStruct(bytes));
}

CFUUIDBytes CFUUIDGetUUIDBytes(CFUUIDRef uuid) {
  CFUUIDBytes out{};
  if (const __CFUUID* u = AsUUID(uuid)) std::memcpy(&out, u->bytes.data(), 16);
  return out;
}

CFUUIDRef CFUUIDCreateFromString(CFAllocatorRef alloc, CFStringRef uuidStr) {
  CFUUIDBytes bytes;
  if (!tb::ParseUUID(tb::Utf8FromCFString(uuidStr), &bytes)) return nullptr;
  return CFUUIDCreateFromUUIDBytes(alloc, bytes);
}

CFStringRef CFUUIDCreateString(CFAllocatorRef, CFUUIDRef uuid) {
  const __CFUUID* u = AsUUID(uuid);
  if (!u) return nullptr;
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (size_t i = 0; i < 16; ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) text.push_back('-');
    text.push_back(kHex[u->bytes[i] >> 4]);
    text.push_back(kHex[u->bytes[i] & 0xF]);
  }
  return tb::CFStringFromUtf8(text);
}
