// Lists and records: items by index, and by key in records and Apple events.
#include "toolbox/appleevents/items.h"

using namespace tb::ae;

namespace {

// The list item keyword reported for items of a plain list.
constexpr AEKeyword kListItemKeyword = typeWildCard;

bool InRange(const std::vector<Item>& items, long index) {
  return index >= 1 && static_cast<size_t>(index) <= items.size();
}

OSErr PutAt(AEDescList* list, long index, Value value) {
  std::vector<Item>* items;
  OSErr err = WritableItems(list, &items);
  if (err != noErr) return err;
  AEKeyword key = IsKeyed(list->descriptorType) ? kListItemKeyword : 0;
  if (index == 0 || static_cast<size_t>(index) == items->size() + 1) {
    items->push_back({key, std::move(value)});
  } else if (InRange(*items, index)) {
    (*items)[index - 1].value = std::move(value);  // a record's item keeps its keyword
  } else {
    return errAEBadListItem;
  }
  return noErr;
}

const Item* NthItem(const AEDescList* list, long index, OSErr* err) {
  const std::vector<Item>* items;
  *err = ReadableItems(list, &items);
  if (*err != noErr) return nullptr;
  if (!InRange(*items, index)) {
    *err = errAEBadListItem;
    return nullptr;
  }
  return &(*items)[index - 1];
}

AEKeyword ReportedKey(const AEDescList* list, const Item& item) {
  return IsKeyed(list->descriptorType) ? item.key : kListItemKeyword;
}

OSErr KeyedItems(const AERecord* record, const std::vector<Item>** items) {
  OSErr err = ReadableItems(record, items);
  if (err == noErr && !IsKeyed(record->descriptorType)) err = errAEWrongDataType;
  return err;
}

}  // namespace

OSErr AECreateList(const void* factoringPtr, Size factoredSize, Boolean isRecord,
                   AEDescList* resultList) {
  // Factoring only saved memory on the original platform; the items are kept whole here.
  if (!resultList) return paramErr;
  *resultList = {typeNull, nullptr};
  if (factoredSize < 0) return paramErr;
  return Guarded([&]() -> OSErr {
    resultList->dataHandle = new OpaqueAEDataStorage();
    resultList->descriptorType = isRecord ? typeAERecord : typeAEList;
    return noErr;
  });
}

OSErr AECountItems(const AEDescList* theAEDescList, long* theCount) {
  if (!theCount) return paramErr;
  const std::vector<Item>* items;
  OSErr err = ReadableItems(theAEDescList, &items);
  if (err != noErr) return err;
  *theCount = static_cast<long>(items->size());
  return noErr;
}

Boolean AECheckIsRecord(const AEDesc* theDesc) {
  return theDesc && IsKeyed(theDesc->descriptorType);
}

OSErr AEPutPtr(AEDescList* theAEDescList, long index, DescType typeCode, const void* dataPtr,
               Size dataSize) {
  return Guarded([&]() -> OSErr {
    Value value;
    OSErr err = ValueFromPtr(typeCode, dataPtr, dataSize, &value);
    if (err != noErr) return err;
    return PutAt(theAEDescList, index, std::move(value));
  });
}

OSErr AEPutDesc(AEDescList* theAEDescList, long index, const AEDesc* theAEDesc) {
  if (!theAEDesc) return paramErr;
  return Guarded([&]() -> OSErr { return PutAt(theAEDescList, index, CopyOf(*theAEDesc)); });
}

OSErr AEGetNthPtr(const AEDescList* theAEDescList, long index, DescType desiredType,
                  AEKeyword* theAEKeyword, DescType* typeCode, void* dataPtr, Size maximumSize,
                  Size* actualSize) {
  return Guarded([&]() -> OSErr {
    OSErr err;
    const Item* item = NthItem(theAEDescList, index, &err);
    if (!item) return err;
    err = ReadInto(item->value, desiredType, typeCode, dataPtr, maximumSize, actualSize);
    if (err == noErr && theAEKeyword) *theAEKeyword = ReportedKey(theAEDescList, *item);
    return err;
  });
}

OSErr AEGetNthDesc(const AEDescList* theAEDescList, long index, DescType desiredType,
                   AEKeyword* theAEKeyword, AEDesc* result) {
  if (!result) return paramErr;
  return Guarded([&]() -> OSErr {
    OSErr err;
    const Item* item = NthItem(theAEDescList, index, &err);
    if (!item) {
      *result = {typeNull, nullptr};
      return err;
    }
    err = ReadDesc(item->value, desiredType, result);
    if (err == noErr && theAEKeyword) *theAEKeyword = ReportedKey(theAEDescList, *item);
    return err;
  });
}

OSErr AESizeOfNthItem(const AEDescList* theAEDescList, long index, DescType* typeCode,
                      Size* dataSize) {
  return Guarded([&]() -> OSErr {
    OSErr err;
    const Item* item = NthItem(theAEDescList, index, &err);
    if (!item) return err;
    if (typeCode) *typeCode = item->value.type;
    if (dataSize)
      *dataSize = static_cast<Size>(BytesOf(item->value.type, item->value.data.get()).size());
    return noErr;
  });
}

OSErr AEDeleteItem(AEDescList* theAEDescList, long index) {
  std::vector<Item>* items;
  OSErr err = Guarded([&]() -> OSErr { return WritableItems(theAEDescList, &items); });
  if (err != noErr) return err;
  if (!InRange(*items, index)) return errAEBadListItem;
  items->erase(items->begin() + (index - 1));
  return noErr;
}

OSErr AEPutParamPtr(AppleEvent* theAppleEvent, AEKeyword theAEKeyword, DescType typeCode,
                    const void* dataPtr, Size dataSize) {
  return Guarded([&]() -> OSErr {
    if (!theAppleEvent) return OSErr{paramErr};
    if (!IsKeyed(theAppleEvent->descriptorType)) return OSErr{errAEWrongDataType};
    Value value;
    OSErr err = ValueFromPtr(typeCode, dataPtr, dataSize, &value);
    if (err != noErr) return err;
    std::vector<Item>* items;
    err = WritableItems(theAppleEvent, &items);
    if (err == noErr) PutKeyed(*items, theAEKeyword, std::move(value));
    return err;
  });
}

OSErr AEPutParamDesc(AppleEvent* theAppleEvent, AEKeyword theAEKeyword, const AEDesc* theAEDesc) {
  if (!theAppleEvent || !theAEDesc) return paramErr;
  return Guarded([&]() -> OSErr {
    if (!IsKeyed(theAppleEvent->descriptorType)) return OSErr{errAEWrongDataType};
    Value value = CopyOf(*theAEDesc);  // first: the record may be put into itself
    std::vector<Item>* items;
    OSErr err = WritableItems(theAppleEvent, &items);
    if (err == noErr) PutKeyed(*items, theAEKeyword, std::move(value));
    return err;
  });
}

OSErr AEGetParamPtr(const AppleEvent* theAppleEvent, AEKeyword theAEKeyword, DescType desiredType,
                    DescType* typeCode, void* dataPtr, Size maximumSize, Size* actualSize) {
  return Guarded([&]() -> OSErr {
    const std::vector<Item>* items;
    OSErr err = KeyedItems(theAppleEvent, &items);
    if (err != noErr) return err;
    const Item* item = FindKey(*items, theAEKeyword);
    if (!item) return OSErr{errAEDescNotFound};
    return ReadInto(item->value, desiredType, typeCode, dataPtr, maximumSize, actualSize);
  });
}

OSErr AEGetParamDesc(const AppleEvent* theAppleEvent, AEKeyword theAEKeyword, DescType desiredType,
                     AEDesc* result) {
  if (!result) return paramErr;
  return Guarded([&]() -> OSErr {
    *result = {typeNull, nullptr};
    const std::vector<Item>* items;
    OSErr err = KeyedItems(theAppleEvent, &items);
    if (err != noErr) return err;
    const Item* item = FindKey(*items, theAEKeyword);
    if (!item) return OSErr{errAEDescNotFound};
    return ReadDesc(item->value, desiredType, result);
  });
}

OSErr AESizeOfParam(const AppleEvent* theAppleEvent, AEKeyword theAEKeyword, DescType* typeCode,
                    Size* dataSize) {
  return Guarded([&]() -> OSErr {
    const std::vector<Item>* items;
    OSErr err = KeyedItems(theAppleEvent, &items);
    if (err != noErr) return err;
    const Item* item = FindKey(*items, theAEKeyword);
    if (!item) return OSErr{errAEDescNotFound};
    if (typeCode) *typeCode = item->value.type;
    if (dataSize)
      *dataSize = static_cast<Size>(BytesOf(item->value.type, item->value.data.get()).size());
    return OSErr{noErr};
  });
}

OSErr AEDeleteParam(AppleEvent* theAppleEvent, AEKeyword theAEKeyword) {
  if (!theAppleEvent) return paramErr;
  if (!IsKeyed(theAppleEvent->descriptorType)) return errAEWrongDataType;
  if (!theAppleEvent->dataHandle) return errAEDescNotFound;
  auto& items = theAppleEvent->dataHandle->items;
  for (auto it = items.begin(); it != items.end(); ++it) {
    if (it->key == theAEKeyword) {
      items.erase(it);
      return noErr;
    }
  }
  return errAEDescNotFound;
}
