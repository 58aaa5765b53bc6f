#include "plugin/menu/folder_entries.h"

#include "toolbox/core/errors.h"
#include "toolbox/core/memory.h"

Boolean ReadFolderInfo(const FSSpec* folder, SInt32* folderID, UInt32* entries) {
  // Room for any length byte: a damaged one reads zeros, never past the buffer.
  Str255 folderName = {};
  BlockMoveData(folder->name, folderName, sizeof folder->name);
  CInfoPBRec pb = {};
  pb.dirInfo.ioNamePtr = folderName;
  pb.dirInfo.ioVRefNum = folder->vRefNum;
  pb.dirInfo.ioDrDirID = folder->parID;
  pb.dirInfo.ioFDirIndex = 0;
  // A file's record would be read as a folder's, with a meaningless entry count.
  if (PBGetCatInfoSync(&pb) != noErr || !(pb.dirInfo.ioFlAttrib & kioFlAttribDirMask)) {
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
