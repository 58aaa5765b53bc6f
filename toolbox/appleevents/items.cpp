#include "toolbox/appleevents/items.h"

#include <algorithm>
#include <cstring>

namespace tb::ae {

OSErr WritableItems(AEDesc* desc, std::vector<Item>** items) {
  if (!desc) return paramErr;
  if (!IsContainer(desc->descriptorType)) return errAEWrongDataType;
  if (!desc->dataHandle) desc->dataHandle = new OpaqueAEDataStorage();
  *items = &desc->dataHandle->items;
  return noErr;
}

OSErr ReadableItems(const AEDesc* desc, const std::vector<Item>** items) {
  static const std::vector<Item> kNone;
  if (!desc) return paramErr;
  if (!IsContainer(desc->descriptorType)) return errAEWrongDataType;
  *items = desc->dataHandle ? &desc->dataHandle->items : &kNone;
  return noErr;
}

const Item* FindKey(const std::vector<Item>& items, AEKeyword key) {
  auto found =
      std::find_if(items.begin(), items.end(), [key](const Item& item) { return item.key == key; });
  return found == items.end() ? nullptr : &*found;
}

void PutKeyed(std::vector<Item>& items, AEKeyword key, Value value) {
  for (Item& item : items) {
    if (item.key == key) {
      item.value = std::move(value);
      return;
    }
  }
  items.push_back({key, std::move(value)});
}

OSErr ReadInto(const Value& value, DescType desiredType, DescType* typeCode, void* dataPtr,
               Size maximumSize, Size* actualSize) {
  if (maximumSize < 0 || (!dataPtr && maximumSize > 0)) return paramErr;
  Value coerced;
  OSErr err = Coerce(value.type, value.data.get(), desiredType, &coerced);
  if (err != noErr) return err;
  std::vector<uint8_t> bytes = BytesOf(coerced.type, coerced.data.get());
  size_t n = std::min(bytes.size(), static_cast<size_t>(maximumSize));
  if (n) std::memcpy(dataPtr, bytes.data(), n);
  if (typeCode) *typeCode = coerced.type;
  if (actualSize) *actualSize = static_cast<Size>(bytes.size());
  return noErr;
}

OSErr ReadDesc(const Value& value, DescType desiredType, AEDesc* result) {
  if (!result) return paramErr;
  *result = {typeNull, nullptr};
  Value coerced;
  OSErr err = Coerce(value.type, value.data.get(), desiredType, &coerced);
  if (err == noErr) Release(std::move(coerced), result);
  return err;
}

OSErr ValueFromPtr(DescType type, const void* dataPtr, Size dataSize, Value* out) {
  if (dataSize < 0 || (!dataPtr && dataSize > 0)) return paramErr;
  return ValueFromBytes(type, {static_cast<const uint8_t*>(dataPtr), static_cast<size_t>(dataSize)},
                        out);
}

}  // namespace tb::ae
