// The icons of files and folders: a custom icon from the item's resource fork when its Finder
// flags say it has one, else the generic icon of its kind.
#include <cstring>
#include <vector>

#include "toolbox/icons/icon_family.h"
#include "toolbox/icons/icon_registry.h"
#include "toolbox/icons/icons.h"
#include "toolbox/launch/launch.h"
#include "toolbox/resources/resource_map.h"

using namespace tb::icons;

namespace {

// Larger forks are not read for an icon.
constexpr long kForkLimit = 16 * 1024 * 1024;

std::vector<unsigned char> ReadResourceFork(const FSRef* ref) {
  HFSUniStr255 forkName{};
  FSGetResourceForkName(&forkName);
  FSIORefNum fork = 0;
  if (FSOpenFork(ref, forkName.length, forkName.unicode, fsRdPerm, &fork) != noErr) return {};
  std::vector<unsigned char> bytes;
  long size = 0;
  if (GetEOF(fork, &size) == noErr && size > 0 && size <= kForkLimit) {
    bytes.resize(static_cast<size_t>(size));
    long count = size;
    if (FSRead(fork, &count, bytes.data()) != noErr || count != size) bytes.clear();
  }
  FSClose(fork);
  return bytes;
}

// The custom icon of a file is in its own fork; a folder's is in its "Icon\r" file.
IconRef CustomIcon(const FSRef* ref, bool isFolder) {
  FSRef holder = *ref;
  if (isFolder) {
    static const UniChar kIconFile[] = {'I', 'c', 'o', 'n', '\r'};
    if (FSMakeFSRefUnicode(ref, 5, kIconFile, 0, &holder) != noErr) return nullptr;
  }
  std::vector<unsigned char> fork = ReadResourceFork(&holder);
  if (fork.empty()) return nullptr;
  tb::resources::ResourceMap map;
  if (tb::resources::ParseResourceFork(fork, &map) != noErr) return nullptr;
  for (const auto& type : map.types) {
    if (type.type != kIconFamilyType) continue;
    for (const auto& res : type.resources) {
      if (res.id != kCustomIconResource) continue;
      auto family = SoundFamily(res.data);
      return family ? NewIcon(*family) : nullptr;
    }
  }
  return nullptr;
}

OSType GenericIconType(LSItemInfoFlags flags) {
  if (flags & (kLSItemInfoIsAliasFile | kLSItemInfoIsSymlink)) return kVantorelGenericAliasIcon;
  if (flags & kLSItemInfoIsApplication) return kGenericApplicationIcon;
  if (flags & kLSItemInfoIsPackage) return kVantorelGenericPackageIcon;
  if (flags & kLSItemInfoIsContainer) return kGenericFolderIcon;
  return kGenericDocumentIcon;
}

}  // namespace

OSErr GetIconRefFromFSRef(const FSRef* ref, IconRef* theIconRef, SInt16* theLabel) {
  if (!ref || !theIconRef) return paramErr;
  *theIconRef = nullptr;
  FSCatalogInfo info{};
  OSErr err = FSGetCatalogInfo(ref, kFSCatInfoNodeFlags | kFSCatInfoFinderInfo, &info, nullptr,
                               nullptr, nullptr);
  if (err != noErr) return err;
  UInt16 finderFlags;
  std::memcpy(&finderFlags, info.finderInfo + 8, sizeof finderFlags);  // FInfo and DInfo alike
  if (theLabel) *theLabel = static_cast<SInt16>((finderFlags & kColor) >> 1);
  if (finderFlags & kHasCustomIcon) {
    if (IconRef icon = CustomIcon(ref, (info.nodeFlags & kFSNodeIsDirectoryMask) != 0)) {
      *theIconRef = icon;
      return noErr;
    }
  }
  LSItemInfoRecord item;
  err = LSCopyItemInfoForRef(ref, kLSRequestBasicFlagsOnly, &item);
  if (err != noErr) return err;
  return GetIconRef(kOnSystemDisk, kSystemIconsCreator, GenericIconType(item.flags), theIconRef);
}

OSErr GetIconRefFromFile(const FSSpec* theFile, IconRef* theIconRef, SInt16* theLabel) {
  if (!theFile || !theIconRef) return paramErr;
  *theIconRef = nullptr;
  FSRef ref;
  OSErr err = FSpMakeFSRef(theFile, &ref);
  if (err != noErr) return err;
  return GetIconRefFromFSRef(&ref, theIconRef, theLabel);
}
