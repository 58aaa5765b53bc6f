#include <cstring>

#include "plugin/info/item_operations.h"

OSErr RemoveResourceFork(const FSSpec* item) {
  if (!item) return paramErr;
  FSRef ref;
  if (OSErr err = FSpMakeFSRef(item, &ref); err != noErr) return err;

  FSCatalogInfo info;
  if (OSErr err = FSGetCatalogInfo(&ref, kFSCatInfoNodeFlags | kFSCatInfoFinderInfo, &info, nullptr,
                                   nullptr, nullptr);
      err != noErr) {
    return err;
  }
  if (info.nodeFlags & kFSNodeIsDirectoryMask) return noErr;

  HFSUniStr255 forkName;
  if (OSErr err = FSGetResourceForkName(&forkName); err != noErr) return err;

  // A missing fork is what this operation wants; any other refusal (a locked or open file)
  // leaves the fork, so the custom icon it holds keeps its flag.
  OSErr err = FSDeleteFork(&ref, forkName.length, forkName.unicode);
  if (err != noErr && err != errFSForkNotFound && err != eofErr) return err;

  FInfo finder;
  std::memcpy(&finder, info.finderInfo, sizeof finder);
  finder.fdFlags &= 0xFBFF;
  std::memcpy(info.finderInfo, &finder, sizeof finder);
  return FSSetCatalogInfo(&ref, kFSCatInfoFinderInfo, &info);
}
