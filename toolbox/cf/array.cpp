#include "toolbox/cf/array.h"

#include <vector>

#include "toolbox/cf/object.h"

namespace {

const void* RetainValue(CFAllocatorRef, const void* value) {
  return CFRetain(value);
}
void ReleaseValue(CFAllocatorRef, const void* value) {
  CFRelease(value);
}

}  // namespace

const CFArrayCallBacks kCFTypeArrayCallBacks = {0, RetainValue, ReleaseValue, nullptr, CFEqual};

struct __CFArray final : tb::cf::Object {
  __CFArray(const CFArrayCallBacks* callBacks, bool isMutable)
      : Object(tb::cf::kArrayTypeID),
        callBacks(callBacks ? *callBacks : CFArrayCallBacks{}),
        isMutable(isMutable) {}
  ~__CFArray() override {
    for (const void* v : values) drop(v);
  }

  const void* keep(const void* v) const {
    return callBacks.retain ? callBacks.retain(nullptr, v) : v;
  }
  void drop(const void* v) const {
    if (callBacks.release) callBacks.release(nullptr, v);
  }
  bool same(const void* a, const void* b) const {
    return a == b || (callBacks.equal && callBacks.equal(a, b));
  }

  bool equals(const Object& other) const override {
    const auto& o = static_cast<const __CFArray&>(other);
    if (values.size() != o.values.size()) return false;
    for (size_t i = 0; i < values.size(); ++i) {
      if (!same(values[i], o.values[i])) return false;
    }
    return true;
  }
  CFHashCode hash() const override { return values.size(); }

  CFArrayCallBacks callBacks;
  bool isMutable;
  std::vector<const void*> values;
};

namespace {

const __CFArray* AsArray(CFArrayRef a) {
  if (!a || tb::cf::AsObject(a)->type() != tb::cf::kArrayTypeID) return nullptr;
  return static_cast<const __CFArray*>(tb::cf::AsObject(a));
}

__CFArray* AsMutable(CFMutableArrayRef a) {
  const __CFArray* array = AsArray(a);
  return array && array->isMutable ? const_cast<__CFArray*>(array) : nullptr;
}

__CFArray* Copy(const __CFArray& from, bool isMutable) {
  auto* array = new __CFArray(&from.callBacks, isMutable);
  array->values.reserve(from.values.size());
  for (const void* v : from.values) array->values.push_back(array->keep(v));
  return array;
}

bool ValidRange(const __CFArray& a, CFRange r) {
  return r.location >= 0 && r.length >= 0 && static_cast<size_t>(r.location) <= a.values.size() &&
         static_cast<size_t>(r.length) <= a.values.size() - static_cast<size_t>(r.location);
}

}  // namespace

CFTypeID CFArrayGetTypeID(void) {
  return tb::cf::kArrayTypeID;
}

CFArrayRef CFArrayCreate(CFAllocatorRef, const void** values, CFIndex numValues,
                         const CFArrayCallBacks* callBacks) {
  if (numValues < 0 || (!values && numValues > 0)) return nullptr;
  auto* array = new __CFArray(callBacks, false);
  array->values.reserve(static_cast<size_t>(numValues));
  for (CFIndex i = 0; i < numValues; ++i) array->values.push_back(array->keep(values[i]));
  return array;
}

CFArrayRef CFArrayCreateCopy(CFAllocatorRef, CFArrayRef theArray) {
  const __CFArray* a = AsArray(theArray);
  return a ? Copy(*a, false) : nullptr;
}

CFMutableArrayRef CFArrayCreateMutable(CFAllocatorRef, CFIndex, const CFArrayCallBacks* callBacks) {
  return new __CFArray(callBacks, true);
}

CFMutableArrayRef CFArrayCreateMutableCopy(CFAllocatorRef, CFIndex, CFArrayRef theArray) {
  const __CFArray* a = AsArray(theArray);
  return a ? Copy(*a, true) : nullptr;
}

CFIndex CFArrayGetCount(CFArrayRef theArray) {
  const __CFArray* a = AsArray(theArray);
  return a ? static_cast<CFIndex>(a->values.size()) : 0;
}

const void* CFArrayGetValueAtIndex(CFArrayRef theArray, CFIndex idx) {
  const __CFArray* a = AsArray(theArray);
  if (!a || idx < 0 || static_cast<size_t>(idx) >= a->values.size()) return nullptr;
  return a->values[static_cast<size_t>(idx)];
}

CFIndex CFArrayGetFirstIndexOfValue(CFArrayRef theArray, CFRange range, const void* value) {
  const __CFArray* a = AsArray(theArray);
  if (!a || !ValidRange(*a, range)) return kCFNotFound;
  for (CFIndex i = range.location; i < range.location + range.length; ++i) {
    if (a->same(a->values[static_cast<size_t>(i)], value)) return i;
  }
  return kCFNotFound;
}

Boolean CFArrayContainsValue(CFArrayRef theArray, CFRange range, const void* value) {
  return CFArrayGetFirstIndexOfValue(theArray, range, value) != kCFNotFound;
}

void CFArrayAppendValue(CFMutableArrayRef theArray, const void* value) {
  if (__CFArray* a = AsMutable(theArray)) a->values.push_back(a->keep(value));
}

void CFArrayInsertValueAtIndex(CFMutableArrayRef theArray, CFIndex idx, const void* value) {
  __CFArray* a = AsMutable(theArray);
  if (!a || idx < 0 || static_cast<size_t>(idx) > a->values.size()) return;
  a->values.insert(a->values.begin() + idx, a->keep(value));
}

void CFArrayRemoveValueAtIndex(CFMutableArrayRef theArray, CFIndex idx) {
  __CFArray* a = AsMutable(theArray);
  if (!a || idx < 0 || static_cast<size_t>(idx) >= a->values.size()) return;
  const void* v = a->values[static_cast<size_t>(idx)];
  a->values.erase(a->values.begin() + idx);
  a->drop(v);
}

void CFArrayRemoveAllValues(CFMutableArrayRef theArray) {
  __CFArray* a = AsMutable(theArray);
  if (!a) return;
  std::vector<const void*> old;
  old.swap(a->values);
  for (const void* v : old) a->drop(v);
}
