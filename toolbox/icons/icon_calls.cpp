// The Icon Services calls over the registry.
#include <algorithm>

#include "toolbox/core/memory.h"
#include "toolbox/icons/icon_family.h"
#include "toolbox/icons/icon_registry.h"
#include "toolbox/icons/icons.h"

using namespace tb::icons;

namespace {

// The registered icon, else the built-in system icon, registered on first use.
IconRef Find(OSType creator, OSType type) {
  if (IconRef icon = Registered(creator, type)) return icon;
  if (creator != kSystemIconsCreator) return nullptr;
  std::span<const uint8_t> family = SystemIconFamily(type);
  if (family.empty()) return nullptr;
  IconRef icon = NewIcon(family);
  if (!icon) return nullptr;
  Register(creator, type, icon);
  Release(icon);  // the registry's reference remains
  return icon;
}

}  // namespace

namespace tb::icons {

bool Lookup(OSType creator, OSType type, IconRef* out) {
  IconRef icon = Find(creator, type);
  if (out) *out = icon;
  return icon != nullptr;
}

}  // namespace tb::icons

OSErr RegisterIconRefFromIconFamily(OSType creator, OSType iconType, IconFamilyHandle iconFamily,
                                    IconRef* theIconRef) {
  if (!theIconRef) return paramErr;
  *theIconRef = nullptr;
  if (!iconFamily) return paramErr;
  if (!*iconFamily) return noIconDataAvailableErr;  // an emptied handle
  Size size = GetHandleSize(iconFamily);
  if (size <= 0) return noIconDataAvailableErr;
  auto family =
      SoundFamily({reinterpret_cast<const uint8_t*>(*iconFamily), static_cast<size_t>(size)});
  if (!family) return noIconDataAvailableErr;
  IconRef icon = NewIcon(*family);
  if (!icon) return memFullErr;
  Register(creator, iconType, icon);
  *theIconRef = icon;
  return noErr;
}

OSErr GetIconRef(SInt16 vRefNum, OSType creator, OSType iconType, IconRef* theIconRef) {
  if (!theIconRef) return paramErr;
  *theIconRef = nullptr;
  IconRef icon = Find(creator, iconType);
  if (!icon) return noSuchIconErr;
  Retain(icon);
  *theIconRef = icon;
  return noErr;
}

OSErr AcquireIconRef(IconRef theIconRef) {
  if (!IsLive(theIconRef)) return invalidIconRefErr;
  Retain(theIconRef);
  return noErr;
}

OSErr ReleaseIconRef(IconRef theIconRef) {
  if (!IsLive(theIconRef)) return invalidIconRefErr;
  Release(theIconRef);
  return noErr;
}

OSErr GetIconRefOwners(IconRef theIconRef, UInt16* owners) {
  if (!owners) return paramErr;
  if (!IsLive(theIconRef)) return invalidIconRefErr;
  *owners = static_cast<UInt16>(std::min<uint32_t>(Owners(theIconRef), 0xFFFF));
  return noErr;
}

Boolean IsValidIconRef(IconRef theIconRef) {
  return IsLive(theIconRef);
}

OSErr UnregisterIconRef(OSType creator, OSType iconType) {
  return Unregister(creator, iconType) ? noErr : noSuchIconErr;
}
