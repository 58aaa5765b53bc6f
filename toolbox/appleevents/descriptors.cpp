#include <cstring>
#include <new>

#include "toolbox/appleevents/descriptors.h"
#include "toolbox/appleevents/storage.h"

namespace tb::ae {

std::unique_ptr<OpaqueAEDataStorage> CloneStorage(const OpaqueAEDataStorage* data) {
  if (!data) return nullptr;
  auto copy = std::make_unique<OpaqueAEDataStorage>();
  copy->bytes = data->bytes;
  copy->items.reserve(data->items.size());
  for (const Item& item : data->items) copy->items.push_back({item.key, item.value.Clone()});
  copy->attributes.reserve(data->attributes.size());
  for (const Item& item : data->attributes) {
    copy->attributes.push_back({item.key, item.value.Clone()});
  }
  return copy;
}

Value Value::Clone() const {
  return Value(type, CloneStorage(data.get()));
}

void Release(Value value, AEDesc* out) {
  out->descriptorType = value.type;
  out->dataHandle = value.data.release();
}

Value CopyOf(const AEDesc& desc) {
  if (desc.descriptorType == typeNull) return Value();
  return Value(desc.descriptorType, CloneStorage(desc.dataHandle));
}

OSErr ValueFromBytes(DescType type, std::span<const uint8_t> bytes, Value* out) {
  if (type == typeNull) {
    *out = Value(typeNull, nullptr);
    return noErr;
  }
  if (IsContainer(type)) {
    AEDesc rebuilt{typeNull, nullptr};
    OSErr err = Deserialize(bytes, &rebuilt);
    if (err != noErr) return err;
    if (rebuilt.descriptorType != type) {
      AEDisposeDesc(&rebuilt);
      return errAEWrongDataType;
    }
    *out = Value(type, std::unique_ptr<OpaqueAEDataStorage>(rebuilt.dataHandle));
    return noErr;
  }
  auto data = std::make_unique<OpaqueAEDataStorage>();
  data->bytes.assign(bytes.begin(), bytes.end());
  *out = Value(type, std::move(data));
  return noErr;
}

std::vector<uint8_t> BytesOf(DescType type, const OpaqueAEDataStorage* data) {
  if (!data || type == typeNull) return {};
  if (IsContainer(type)) return Serialize(AEDesc{type, const_cast<OpaqueAEDataStorage*>(data)});
  return data->bytes;
}

}  // namespace tb::ae

using namespace tb::ae;

namespace {

std::span<const uint8_t> BytesSpan(const void* ptr, Size size) {
  return {static_cast<const uint8_t*>(ptr), static_cast<size_t>(size)};
}

bool ValidData(const void* ptr, Size size) {
  return size >= 0 && (ptr || size == 0);
}

}  // namespace

OSErr AECreateDesc(DescType typeCode, const void* dataPtr, Size dataSize, AEDesc* result) {
  if (!result) return paramErr;
  *result = {typeNull, nullptr};
  if (!ValidData(dataPtr, dataSize)) return paramErr;
  return Guarded([&]() -> OSErr {
    Value value;
    OSErr err = ValueFromBytes(typeCode, BytesSpan(dataPtr, dataSize), &value);
    if (err == noErr) Release(std::move(value), result);
    return err;
  });
}

OSErr AEDisposeDesc(AEDesc* theAEDesc) {
  if (!theAEDesc) return noErr;
  delete theAEDesc->dataHandle;
  *theAEDesc = {typeNull, nullptr};
  return noErr;
}

OSErr AEDuplicateDesc(const AEDesc* theAEDesc, AEDesc* result) {
  if (!theAEDesc || !result) return paramErr;
  return Guarded([&]() -> OSErr {
    Value copy = CopyOf(*theAEDesc);  // before writing: source and result may be the same
    Release(std::move(copy), result);
    return noErr;
  });
}

Size AEGetDescDataSize(const AEDesc* theAEDesc) {
  if (!theAEDesc || !theAEDesc->dataHandle) return 0;
  if (!IsContainer(theAEDesc->descriptorType)) {
    return static_cast<Size>(theAEDesc->dataHandle->bytes.size());
  }
  try {
    return static_cast<Size>(BytesOf(theAEDesc->descriptorType, theAEDesc->dataHandle).size());
  } catch (const std::bad_alloc&) {
    return 0;
  }
}

OSErr AEGetDescData(const AEDesc* theAEDesc, void* dataPtr, Size maximumSize) {
  if (!theAEDesc || maximumSize < 0 || (!dataPtr && maximumSize > 0)) return paramErr;
  return Guarded([&]() -> OSErr {
    std::vector<uint8_t> bytes = BytesOf(theAEDesc->descriptorType, theAEDesc->dataHandle);
    size_t n = std::min(bytes.size(), static_cast<size_t>(maximumSize));
    if (n) std::memcpy(dataPtr, bytes.data(), n);
    return noErr;
  });
}

OSErr AEReplaceDescData(DescType typeCode, const void* dataPtr, Size dataSize, AEDesc* theAEDesc) {
  if (!theAEDesc || !ValidData(dataPtr, dataSize)) return paramErr;
  return Guarded([&]() -> OSErr {
    Value value;
    OSErr err = ValueFromBytes(typeCode, BytesSpan(dataPtr, dataSize), &value);
    if (err != noErr) return err;
    AEDisposeDesc(theAEDesc);
    Release(std::move(value), theAEDesc);
    return noErr;
  });
}

OSErr AECoerceDesc(const AEDesc* theAEDesc, DescType toType, AEDesc* result) {
  if (!theAEDesc || !result) return paramErr;
  return Guarded([&]() -> OSErr {
    Value coerced;
    OSErr err = Coerce(theAEDesc->descriptorType, theAEDesc->dataHandle, toType, &coerced);
    if (err != noErr) {
      *result = {typeNull, nullptr};
      return err;
    }
    Release(std::move(coerced), result);
    return noErr;
  });
}

OSErr AECoercePtr(DescType typeCode, const void* dataPtr, Size dataSize, DescType toType,
                  AEDesc* result) {
  if (!result) return paramErr;
  AEDesc source;
  OSErr err = AECreateDesc(typeCode, dataPtr, dataSize, &source);
  if (err != noErr) return err;
  err = AECoerceDesc(&source, toType, result);
  AEDisposeDesc(&source);
  return err;
}
