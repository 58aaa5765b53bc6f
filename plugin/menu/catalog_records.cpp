#include "plugin/menu/catalog_records.h"

#include "toolbox/core/errors.h"
#include "toolbox/core/memory.h"

OSErr GetCatalogRecord(SInt16 vRefNum, SInt32 dirID, ConstStr255Param name, Str255 nameBuffer,
                       CInfoPBRec* pb) {
  BlockMoveData(name, nameBuffer, name[0] + 1);
  *pb = {};
  pb->hFileInfo.ioNamePtr = nameBuffer;
  pb->hFileInfo.ioVRefNum = vRefNum;
  pb->hFileInfo.ioDirID = dirID;
  pb->hFileInfo.ioFDirIndex = 0;
  return PBGetCatInfoSync(pb);
}

OSErr GetItemRecord(const FSSpec* item, Str255 nameBuffer, CInfoPBRec* pb) {
  Str255 name = {};
  BlockMoveData(item->name, name, sizeof item->name);
  if (name[0] > sizeof item->name - 1) name[0] = 0;  // damaged: no name rather than a misread
  return GetCatalogRecord(item->vRefNum, item->parID, name, nameBuffer, pb);
}

Boolean ReadFolderInfo(const FSSpec* folder, SInt32* folderID, UInt32* entries) {
  Str255 name;
  CInfoPBRec pb;
  // A file's record would be read as a folder's, with a meaningless entry count.
  if (GetItemRecord(folder, name, &pb) != noErr || !(pb.dirInfo.ioFlAttrib & kioFlAttribDirMask)) {
    return false;
  }
  *folderID = pb.dirInfo.ioDrDirID;
  // ioFDirIndex is signed 16-bit: an index past 32,767 would wrap to the folder itself.
  UInt16 count = pb.dirInfo.ioDrNmFls;
  *entries = count < 0x7FFF ? count : 0x7FFF;
  return true;
}

Boolean ReadFolderEntry(SInt16 vRefNum, SInt32 folderID, UInt32 index, StringPtr name,
                        CInfoPBRec* entry) {
  *entry = {};
  entry->hFileInfo.ioNamePtr = name;
  entry->hFileInfo.ioVRefNum = vRefNum;
  entry->hFileInfo.ioDirID = folderID;
  entry->hFileInfo.ioFDirIndex = static_cast<SInt16>(index);
  return PBGetCatInfoSync(entry) == noErr;
}
