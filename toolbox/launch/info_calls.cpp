// Display names, item information and the extension-hidden flag.
#include <cstring>

#include "toolbox/cf/string.h"
#include "toolbox/launch/item_facts.h"
#include "toolbox/launch/launch.h"

using namespace tb::launch;

namespace {

constexpr LSItemInfoFlags kAppTypeFlags = kLSItemInfoIsNativeApp;
constexpr LSItemInfoFlags kExtensionFlags = kLSItemInfoExtensionIsHidden;

// The flags a request asks for.
LSItemInfoFlags RequestedFlags(LSRequestedInfo which) {
  LSItemInfoFlags wanted = 0;
  if (which & (kLSRequestBasicFlagsOnly | kLSRequestAllFlags | kLSRequestAppTypeFlags)) {
    wanted |= ~(kAppTypeFlags | kExtensionFlags);
  }
  if (which & (kLSRequestAppTypeFlags | kLSRequestAllFlags)) wanted |= kAppTypeFlags;
  if (which & (kLSRequestExtensionFlagsOnly | kLSRequestAllFlags)) wanted |= kExtensionFlags;
  return wanted;
}

}  // namespace

OSStatus LSCopyDisplayNameForRef(const FSRef* inRef, CFStringRef* outDisplayName) {
  if (!inRef || !outDisplayName) return paramErr;
  *outDisplayName = nullptr;
  ItemFacts item;
  if (OSErr err = ReadFacts(inRef, &item); err != noErr) return err;
  std::u16string_view shown = item.name;
  if (!item.isVolume && (item.finderFlags & kExtensionHidden)) {
    std::u16string_view ext = ExtensionOf(shown);
    if (!ext.empty()) shown.remove_suffix(ext.size() + 1);
  }
  *outDisplayName = tb::CFStringFromUtf16(shown);
  return *outDisplayName ? noErr : memFullErr;
}

OSStatus LSCopyItemInfoForRef(const FSRef* inItemRef, LSRequestedInfo inWhichInfo,
                              LSItemInfoRecord* outItemInfo) {
  if (!inItemRef || !outItemInfo) return paramErr;
  std::memset(outItemInfo, 0, sizeof *outItemInfo);
  ItemFacts item;
  if (OSErr err = ReadFacts(inItemRef, &item); err != noErr) return err;
  outItemInfo->flags = FlagsOf(item) & RequestedFlags(inWhichInfo);
  if (inWhichInfo & kLSRequestTypeCreator) {
    outItemInfo->filetype = item.type;
    outItemInfo->creator = item.creator;
  }
  if ((inWhichInfo & kLSRequestExtension) && !item.isVolume) {
    std::u16string_view ext = ExtensionOf(item.name);
    if (!ext.empty()) {
      outItemInfo->extension = tb::CFStringFromUtf16(ext);
      if (!outItemInfo->extension) return memFullErr;
    }
  }
  return noErr;
}

OSStatus LSSetExtensionHiddenForRef(const FSRef* inRef, Boolean inHide) {
  if (!inRef) return paramErr;
  FSCatalogInfo info{};
  OSErr err = FSGetCatalogInfo(inRef, kFSCatInfoFinderInfo, &info, nullptr, nullptr, nullptr);
  if (err != noErr) return err;
  UInt16 flags;
  std::memcpy(&flags, info.finderInfo + 8, sizeof flags);  // fdFlags and frFlags alike
  UInt16 changed = inHide ? (flags | kExtensionHidden) : (flags & ~kExtensionHidden);
  if (changed == flags) return noErr;
  std::memcpy(info.finderInfo + 8, &changed, sizeof changed);
  return FSSetCatalogInfo(inRef, kFSCatInfoFinderInfo, &info);
}
