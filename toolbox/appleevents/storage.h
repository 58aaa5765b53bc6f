// The data behind descriptors: plain bytes, or the items of a list, record or Apple event.
#pragma once

#include <memory>
#include <new>
#include <span>
#include <vector>

#include "toolbox/appleevents/descriptors.h"

namespace tb::ae {

struct Item;

// One descriptor's value, owned. A typeNull value has no storage.
struct Value {
  DescType type = typeNull;
  std::unique_ptr<OpaqueAEDataStorage> data;

  Value() = default;
  Value(DescType t, std::unique_ptr<OpaqueAEDataStorage> d) : type(t), data(std::move(d)) {}
  Value(Value&&) = default;
  Value& operator=(Value&&) = default;
  Value Clone() const;
};

struct Item {
  AEKeyword key = 0;  // 0 in a plain list
  Value value;
};

// Lists, records and Apple events keep items; every other type keeps bytes.
inline bool IsContainer(DescType type) {
  return type == typeAEList || type == typeAERecord || type == typeAppleEvent;
}
inline bool IsKeyed(DescType type) {
  return type == typeAERecord || type == typeAppleEvent;
}

}  // namespace tb::ae

struct OpaqueAEDataStorage {
  std::vector<uint8_t> bytes;
  std::vector<tb::ae::Item> items;
  std::vector<tb::ae::Item> attributes;  // Apple events only
};

namespace tb::ae {

// Moves a value into a caller's descriptor (which must hold nothing that needs disposing).
void Release(Value value, AEDesc* out);
// A deep copy of a descriptor's value.
Value CopyOf(const AEDesc& desc);
// A value made from bytes; a container type is rebuilt from its flattened form.
OSErr ValueFromBytes(DescType type, std::span<const uint8_t> bytes, Value* out);
// The bytes a descriptor shows through AEGetDescData.
std::vector<uint8_t> BytesOf(DescType type, const OpaqueAEDataStorage* data);

// The value converted to another type, or errAECoercionFail. typeWildCard and the value's own
// type return a copy.
OSErr Coerce(DescType type, const OpaqueAEDataStorage* data, DescType desiredType, Value* out);
std::unique_ptr<OpaqueAEDataStorage> CloneStorage(const OpaqueAEDataStorage* data);

// Runs a toolbox call body, turning an out-of-memory into memFullErr.
template <typename F>
OSErr Guarded(F&& body) {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return memFullErr;
  }
}

}  // namespace tb::ae
