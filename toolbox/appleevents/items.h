// Shared steps of the list, record and event calls: finding the items, reading one out.
#pragma once

#include "toolbox/appleevents/storage.h"

namespace tb::ae {

// The item vector of a list, record or event, created on first write; errAEWrongDataType for
// any other descriptor.
OSErr WritableItems(AEDesc* desc, std::vector<Item>** items);
// The items to read; an empty vector for a container without storage.
OSErr ReadableItems(const AEDesc* desc, const std::vector<Item>** items);

const Item* FindKey(const std::vector<Item>& items, AEKeyword key);
// Replaces the item with the key, or appends it.
void PutKeyed(std::vector<Item>& items, AEKeyword key, Value value);

// Coerces the item and copies at most maximumSize bytes of it; the full size goes to
// actualSize. Any output pointer may be NULL.
OSErr ReadInto(const Value& value, DescType desiredType, DescType* typeCode, void* dataPtr,
               Size maximumSize, Size* actualSize);
// Coerces the item into a new descriptor.
OSErr ReadDesc(const Value& value, DescType desiredType, AEDesc* result);

// A value made from a caller's pointer and size; checks both.
OSErr ValueFromPtr(DescType type, const void* dataPtr, Size dataSize, Value* out);

}  // namespace tb::ae
