// Coercion of an item read with a type other than its own: a few numeric, truth-value, code
// and text conversions, plus those other managers install. Anything else fails cleanly.
#include <cstring>
#include <map>
#include <mutex>
#include <string>
#include <string_view>

#include "toolbox/appleevents/storage.h"
#include "toolbox/core/text.h"

namespace tb::ae {
namespace {

std::mutex& CoercionLock() {
  static std::mutex lock;
  return lock;
}
std::map<std::pair<DescType, DescType>, CoercionFn>& Installed() {
  static std::map<std::pair<DescType, DescType>, CoercionFn> table;
  return table;
}

template <typename T>
bool ReadScalar(std::span<const uint8_t> bytes, T* out) {
  if (bytes.size() != sizeof(T)) return false;
  std::memcpy(out, bytes.data(), sizeof(T));
  return true;
}
template <typename T>
std::vector<uint8_t> ScalarBytes(T value) {
  std::vector<uint8_t> bytes(sizeof(T));
  std::memcpy(bytes.data(), &value, sizeof(T));
  return bytes;
}

// The number a numeric or truth-value item stands for.
std::optional<int64_t> IntegerOf(DescType type, std::span<const uint8_t> bytes) {
  switch (type) {
    case typeShortInteger: {
      SInt16 v;
      if (ReadScalar(bytes, &v)) return v;
      return std::nullopt;
    }
    case typeLongInteger: {
      SInt32 v;
      if (ReadScalar(bytes, &v)) return v;
      return std::nullopt;
    }
    case typeBoolean:
      if (bytes.size() == 1) return bytes[0] ? 1 : 0;
      return std::nullopt;
    case typeTrue:
      return 1;
    case typeFalse:
      return 0;
    default:
      return std::nullopt;
  }
}

bool IsInteger(DescType t) {
  return t == typeShortInteger || t == typeLongInteger || t == typeBoolean || t == typeTrue ||
         t == typeFalse;
}

std::optional<std::vector<uint8_t>> IntegerAs(int64_t v, DescType to) {
  switch (to) {
    case typeShortInteger:
      if (v < INT16_MIN || v > INT16_MAX) return std::nullopt;
      return ScalarBytes(static_cast<SInt16>(v));
    case typeLongInteger:
      if (v < INT32_MIN || v > INT32_MAX) return std::nullopt;
      return ScalarBytes(static_cast<SInt32>(v));
    case typeBoolean:
      if (v != 0 && v != 1) return std::nullopt;
      return std::vector<uint8_t>{static_cast<uint8_t>(v)};
    default:
      return std::nullopt;
  }
}

bool IsText(DescType t) {
  return t == typeChar || t == typeUTF8Text || t == typeUnicodeText;
}

std::optional<std::string> Utf8Of(DescType type, std::span<const uint8_t> bytes) {
  std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  switch (type) {
    case typeChar:
      return Utf8FromMacRoman(raw);
    case typeUTF8Text:
      if (!DecodeUtf8(raw)) return std::nullopt;
      return std::string(raw);
    case typeUnicodeText: {
      if (bytes.size() % 2) return std::nullopt;
      std::u16string units(bytes.size() / 2, u'\0');
      if (!units.empty()) std::memcpy(units.data(), bytes.data(), bytes.size());
      return Utf8FromUtf16(units);
    }
    default:
      return std::nullopt;
  }
}

std::optional<std::vector<uint8_t>> TextAs(const std::string& utf8, DescType to) {
  switch (to) {
    case typeChar: {
      auto roman = MacRomanFromUtf8(utf8);
      if (!roman) return std::nullopt;
      return std::vector<uint8_t>(roman->begin(), roman->end());
    }
    case typeUTF8Text:
      return std::vector<uint8_t>(utf8.begin(), utf8.end());
    case typeUnicodeText: {
      auto units = Utf16FromUtf8(utf8);
      if (!units) return std::nullopt;
      std::vector<uint8_t> bytes(units->size() * 2);
      if (!bytes.empty()) std::memcpy(bytes.data(), units->data(), bytes.size());
      return bytes;
    }
    default:
      return std::nullopt;
  }
}

bool IsCode(DescType t) {
  return t == typeType || t == typeEnumerated || t == typeKeyword;
}

std::optional<std::vector<uint8_t>> CoerceBytes(DescType from, std::span<const uint8_t> bytes,
                                                DescType to) {
  if (IsInteger(from) && IsInteger(to)) {
    auto v = IntegerOf(from, bytes);
    if (!v) return std::nullopt;
    return IntegerAs(*v, to);
  }
  if (IsText(from) && IsText(to)) {
    auto utf8 = Utf8Of(from, bytes);
    if (!utf8) return std::nullopt;
    return TextAs(*utf8, to);
  }
  if (IsCode(from) && IsCode(to)) {
    if (bytes.size() != 4) return std::nullopt;
    return std::vector<uint8_t>(bytes.begin(), bytes.end());
  }
  CoercionFn fn = nullptr;
  {
    std::lock_guard guard(CoercionLock());
    auto found = Installed().find({from, to});
    if (found != Installed().end()) fn = found->second;
  }
  if (fn) {
    std::vector<uint8_t> out;
    if (fn(from, bytes, to, &out) == noErr) return out;
  }
  return std::nullopt;
}

}  // namespace

void InstallCoercion(DescType fromType, DescType toType, CoercionFn fn) {
  std::lock_guard guard(CoercionLock());
  if (fn) {
    Installed()[{fromType, toType}] = fn;
  } else {
    Installed().erase({fromType, toType});
  }
}

OSErr Coerce(DescType type, const OpaqueAEDataStorage* data, DescType desiredType, Value* out) {
  if (desiredType == typeWildCard || desiredType == type) {
    *out = type == typeNull ? Value() : Value(type, CloneStorage(data));
    return noErr;
  }
  if (IsContainer(type) || IsContainer(desiredType) || type == typeNull) {
    return errAECoercionFail;
  }
  static const std::vector<uint8_t> kEmpty;
  const std::vector<uint8_t>& bytes = data ? data->bytes : kEmpty;
  auto converted = CoerceBytes(type, bytes, desiredType);
  if (!converted) return errAECoercionFail;
  auto storage = std::make_unique<OpaqueAEDataStorage>();
  storage->bytes = std::move(*converted);
  *out = Value(desiredType, std::move(storage));
  return noErr;
}

}  // namespace tb::ae
