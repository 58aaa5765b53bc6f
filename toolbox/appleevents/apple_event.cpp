// Apple events: a record of parameters plus attributes (class, ID, target, return ID, ...).
#include <atomic>

#include "toolbox/appleevents/items.h"

using namespace tb::ae;

namespace {

AEReturnID NextReturnID() {
  // Any value but the "generate one" marker and 0, unique within the process for a long while.
  static std::atomic<uint16_t> counter{0};
  for (;;) {
    auto id = static_cast<AEReturnID>(++counter);
    if (id != kAutoGenerateReturnID && id != 0) return id;
  }
}

OSErr Attributes(AppleEvent* event, std::vector<Item>** attributes) {
  if (!event) return paramErr;
  if (event->descriptorType != typeAppleEvent) return errAENotAppleEvent;
  if (!event->dataHandle) event->dataHandle = new OpaqueAEDataStorage();
  *attributes = &event->dataHandle->attributes;
  return noErr;
}

OSErr Attribute(const AppleEvent* event, AEKeyword key, const Item** item) {
  if (!event) return paramErr;
  if (event->descriptorType != typeAppleEvent) return errAENotAppleEvent;
  *item = event->dataHandle ? FindKey(event->dataHandle->attributes, key) : nullptr;
  return *item ? noErr : errAEDescNotFound;
}

template <typename T>
Value Scalar(DescType type, T v) {
  Value value;
  ValueFromPtr(type, &v, sizeof v, &value);
  return value;
}

}  // namespace

OSErr AECreateAppleEvent(AEEventClass theAEEventClass, AEEventID theAEEventID,
                         const AEAddressDesc* target, AEReturnID returnID,
                         AETransactionID transactionID, AppleEvent* result) {
  if (!result) return paramErr;
  *result = {typeNull, nullptr};
  return Guarded([&]() -> OSErr {
    auto storage = std::make_unique<OpaqueAEDataStorage>();
    auto& attributes = storage->attributes;
    attributes.push_back({keyEventClassAttr, Scalar(typeType, theAEEventClass)});
    attributes.push_back({keyEventIDAttr, Scalar(typeType, theAEEventID)});
    if (target && target->descriptorType != typeNull) {
      attributes.push_back({keyAddressAttr, CopyOf(*target)});
    }
    if (returnID == kAutoGenerateReturnID) returnID = NextReturnID();
    attributes.push_back({keyReturnIDAttr, Scalar(typeShortInteger, returnID)});
    attributes.push_back({keyTransactionIDAttr, Scalar(typeLongInteger, transactionID)});
    Release(Value(typeAppleEvent, std::move(storage)), result);
    return noErr;
  });
}

OSErr AEPutAttributePtr(AppleEvent* theAppleEvent, AEKeyword theAEKeyword, DescType typeCode,
                        const void* dataPtr, Size dataSize) {
  return Guarded([&]() -> OSErr {
    Value value;
    OSErr err = ValueFromPtr(typeCode, dataPtr, dataSize, &value);
    if (err != noErr) return err;
    std::vector<Item>* attributes;
    err = Attributes(theAppleEvent, &attributes);
    if (err == noErr) PutKeyed(*attributes, theAEKeyword, std::move(value));
    return err;
  });
}

OSErr AEPutAttributeDesc(AppleEvent* theAppleEvent, AEKeyword theAEKeyword,
                         const AEDesc* theAEDesc) {
  if (!theAEDesc) return paramErr;
  return Guarded([&]() -> OSErr {
    Value value = CopyOf(*theAEDesc);
    std::vector<Item>* attributes;
    OSErr err = Attributes(theAppleEvent, &attributes);
    if (err == noErr) PutKeyed(*attributes, theAEKeyword, std::move(value));
    return err;
  });
}

OSErr AEGetAttributePtr(const AppleEvent* theAppleEvent, AEKeyword theAEKeyword,
                        DescType desiredType, DescType* typeCode, void* dataPtr, Size maximumSize,
                        Size* actualSize) {
  return Guarded([&]() -> OSErr {
    const Item* item;
    OSErr err = Attribute(theAppleEvent, theAEKeyword, &item);
    if (err != noErr) return err;
    return ReadInto(item->value, desiredType, typeCode, dataPtr, maximumSize, actualSize);
  });
}

OSErr AEGetAttributeDesc(const AppleEvent* theAppleEvent, AEKeyword theAEKeyword,
                         DescType desiredType, AEDesc* result) {
  if (!result) return paramErr;
  return Guarded([&]() -> OSErr {
    *result = {typeNull, nullptr};
    const Item* item;
    OSErr err = Attribute(theAppleEvent, theAEKeyword, &item);
    if (err != noErr) return err;
    return ReadDesc(item->value, desiredType, result);
  });
}
