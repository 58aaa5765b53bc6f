#include "finder/finder_requests.h"
#include "plugin/entry/scoped_cf.h"
#include "plugin/info/item_operations.h"
#include "toolbox/cf/string.h"

namespace {

constexpr CFIndex kMaxNameUnits = 255;
constexpr TextEncoding kNoEncodingHint = 0xFFFF;

bool IsHighSurrogate(UniChar unit) {
  return unit >= 0xD800 && unit <= 0xDBFF;
}

}  // namespace

void RenameInfoItem(FSSpec* item, CFStringRef editedName) {
  if (!item || !editedName) return;

  FSRef ref;
  if (FSpMakeFSRef(item, &ref) != noErr) return;

  HFSUniStr255 current;
  if (FSGetCatalogInfo(&ref, kFSCatInfoNone, nullptr, &current, nullptr, nullptr) != noErr) return;
  ScopedCF<CFStringRef> currentName(
      CFStringCreateWithCharacters(kCFAllocatorDefault, current.unicode, current.length));
  if (currentName && CFStringCompare(editedName, currentName.get(), 0) == kCFCompareEqualTo) {
    return;
  }

  CFIndex length = CFStringGetLength(editedName);
  UniChar units[kMaxNameUnits + 1];
  if (length > kMaxNameUnits) {
    // Cutting between the halves of a surrogate pair would leave a broken character at the end.
    CFStringGetCharacters(editedName, CFRangeMake(0, kMaxNameUnits + 1), units);
    length = IsHighSurrogate(units[kMaxNameUnits - 1]) ? kMaxNameUnits - 1 : kMaxNameUnits;
  } else {
    CFStringGetCharacters(editedName, CFRangeMake(0, length), units);
  }

  FSRef renamed;
  if (FSRenameUnicode(&ref, static_cast<UniCharCount>(length), units, kNoEncodingHint, &renamed) !=
      noErr) {
    return;
  }

  FSSpec newSpec;
  if (FSGetCatalogInfo(&renamed, kFSCatInfoNone, nullptr, nullptr, &newSpec, nullptr) != noErr) {
    return;
  }
  *item = newSpec;
  SendFinderEvent('fndr', 'fupd', item);
}
