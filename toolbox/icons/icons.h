// Icon Services: icon references (IconRef) kept in a registry by creator and type, made from
// 'icns' icon families, the system's generic icons, and the icons of files.
#pragma once

#include <cstdint>
#include <span>

#include "toolbox/core/errors.h"
#include "toolbox/core/types.h"
#include "toolbox/files/files.h"

typedef struct OpaqueIconRef* IconRef;
// A handle to an 'icns' family as stored: 'icns', the family's length, then its elements, all
// big-endian.
typedef Handle IconFamilyHandle;

enum : OSType {
  kIconFamilyType = 'icns',
  kSystemIconsCreator = 'macs',
  // System icons (creator kSystemIconsCreator).
  kAlertCautionIcon = 'caut',
  kGenericFolderIcon = 'fldr',
  kGenericApplicationIcon = 'APPL',
  kGenericDocumentIcon = 'docu',
  // This toolbox's own generic icons for alias files (and symbolic links) and packages.
  kVantorelGenericAliasIcon = 'alis',
  kVantorelGenericPackageIcon = 'pack',
};

enum { kCustomIconResource = -16455 };

// A new IconRef for a copy of the family (the handle may be disposed afterwards), registered
// under (creator, iconType) in place of any icon registered there before. The caller owns one
// reference; the registry keeps its own. A damaged family gives noIconDataAvailableErr.
OSErr RegisterIconRefFromIconFamily(OSType creator, OSType iconType, IconFamilyHandle iconFamily,
                                    IconRef* theIconRef);
// The registered icon, else the system icon of that type (creator kSystemIconsCreator), with a
// new reference for the caller; noSuchIconErr when there is none.
OSErr GetIconRef(SInt16 vRefNum, OSType creator, OSType iconType, IconRef* theIconRef);
// The item's custom icon (its 'icns' kCustomIconResource, used when the custom-icon Finder flag
// is set), else the generic icon of its kind. `theLabel` (may be NULL) gets the colour label.
OSErr GetIconRefFromFile(const FSSpec* theFile, IconRef* theIconRef, SInt16* theLabel);
OSErr GetIconRefFromFSRef(const FSRef* ref, IconRef* theIconRef, SInt16* theLabel);
OSErr AcquireIconRef(IconRef theIconRef);
// The icon is freed when its last reference goes; the registry's reference keeps registered ones.
OSErr ReleaseIconRef(IconRef theIconRef);
OSErr GetIconRefOwners(IconRef theIconRef, UInt16* owners);
Boolean IsValidIconRef(IconRef theIconRef);
// Drops the registry's reference; holders keep their icons.
OSErr UnregisterIconRef(OSType creator, OSType iconType);

namespace tb::icons {

// For screen drivers: the 'icns' family of a live IconRef (empty for an invalid one); valid
// while the caller holds a reference.
std::span<const uint8_t> FamilyData(IconRef icon);
// The registered icon of (creator, type), or a system icon, without a new reference.
bool Lookup(OSType creator, OSType type, IconRef* out);

}  // namespace tb::icons
