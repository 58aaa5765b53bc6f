#include "plugin/info/item_operations.h"

#include <cstring>

#include "finder/finder_requests.h"
#include "plugin/menu/catalog_records.h"
#include "toolbox/launch/launch.h"

OSErr SetInfoItemCode(const FSSpec* item, int selector, const char* text, SInt32 length) {
  if (!item) return paramErr;
  char code[4] = {' ', ' ', ' ', ' '};
  if (text && length > 0) std::memcpy(code, text, length < 4 ? length : 4);
  OSType value = (OSType(UInt8(code[0])) << 24) | (OSType(UInt8(code[1])) << 16) |
                 (OSType(UInt8(code[2])) << 8) | OSType(UInt8(code[3]));

  FInfo info;
  if (OSErr err = FSpGetFInfo(item, &info); err != noErr) return err;  // a folder has none
  if (selector == kInfoCodeType) info.fdType = value;
  if (selector == kInfoCodeCreator) info.fdCreator = value;
  if (OSErr err = FSpSetFInfo(item, &info); err != noErr) return err;

  SendFinderEvent('fndr', 'fupd', item);
  return noErr;
}

OSErr ToggleInfoItemFlag(const FSSpec* item, UInt16 mask) {
  if (!item) return paramErr;
  Str255 name;
  CInfoPBRec pb;
  if (OSErr err = GetItemRecord(item, name, &pb); err != noErr) return err;

  OSErr err;
  if (mask == kToggleLock) {
    err = (pb.hFileInfo.ioFlAttrib & kioFlAttribLockedMask) ? FSpRstFLock(item) : FSpSetFLock(item);
  } else {
    // fdFlags and frFlags lie at the same place of the record.
    pb.hFileInfo.ioFlFndrInfo.fdFlags ^= mask;
    pb.hFileInfo.ioNamePtr = name;
    pb.hFileInfo.ioVRefNum = item->vRefNum;
    pb.hFileInfo.ioDirID = item->parID;  // the read left the item's own ID here
    pb.hFileInfo.ioFDirIndex = 0;
    err = PBSetCatInfoSync(&pb);
  }

  // The display is brought up to date in any case; a refused change is still reported.
  SendFinderEvent('fndr', 'fupd', item);
  return err;
}

void ToggleExtensionHidden(const FSSpec* item) {
  if (!item) return;
  FSRef ref;
  if (FSpMakeFSRef(item, &ref) == noErr) {
    LSItemInfoRecord info;
    // The basic flags leave out the extension flag; it has to be asked for. Without the
    // current state there is nothing to invert: the extension is left as it is.
    if (LSCopyItemInfoForRef(&ref, kLSRequestBasicFlagsOnly | kLSRequestExtensionFlagsOnly,
                             &info) == noErr) {
      LSSetExtensionHiddenForRef(&ref, (info.flags & kLSItemInfoExtensionIsHidden) == 0);
    }
  }
  SendFinderEvent('fndr', 'fupd', item);
}
