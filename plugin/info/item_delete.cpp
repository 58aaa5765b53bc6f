#include "plugin/info/item_operations.h"

#include <cstring>

#include "plugin/menu/catalog_records.h"

namespace {

// One folder deletion, shared by every level of the recursion.
struct FolderDeleteState {
  OSErr error;
  Str63 itemName;
  union {
    CInfoPBRec cat;     // lookups
    HParamBlockRec io;  // deletions and unlocking
  } pb;
};

OSErr LookUpFolderID(SInt16 vRefNum, SInt32 dirID, ConstStr255Param name, SInt32* id,
                     Boolean* isFolder) {
  Str255 nameCopy;
  CInfoPBRec pb;
  if (OSErr err = GetCatalogRecord(vRefNum, dirID, name, nameCopy, &pb); err != noErr) return err;
  *isFolder = (pb.hFileInfo.ioFlAttrib & kioFlAttribDirMask) != 0;
  *id = *isFolder ? pb.dirInfo.ioDrDirID : pb.hFileInfo.ioFlParID;
  return noErr;
}

OSErr ResolveVolumeRef(ConstStr255Param name, SInt16 vRefNum, SInt16* realVRefNum) {
  Str255 buffer;  // the query writes the volume's name here
  HParamBlockRec pb{};
  pb.volumeParam.ioVRefNum = vRefNum;
  if (name) {
    std::memcpy(buffer, name, name[0] + 1);
    pb.volumeParam.ioNamePtr = buffer;
    pb.volumeParam.ioVolIndex = -1;
  } else {
    pb.volumeParam.ioNamePtr = nullptr;
    pb.volumeParam.ioVolIndex = 0;
  }
  if (OSErr err = PBHGetVInfoSync(&pb); err != noErr) return err;
  *realVRefNum = pb.volumeParam.ioVRefNum;
  return noErr;
}

// Deletes the folder's contents depth first, always taking its first remaining item; the
// result is left in state.error.
void EmptyFolderByID(SInt32 folderID, FolderDeleteState& state) {
  do {
    state.pb.cat.hFileInfo.ioNamePtr = state.itemName;
    state.pb.cat.hFileInfo.ioFDirIndex = 1;
    state.pb.cat.hFileInfo.ioDirID = folderID;
    state.error = PBGetCatInfoSync(&state.pb.cat);
    if (state.error != noErr) break;

    SInt32 target = folderID;
    if (state.pb.cat.hFileInfo.ioFlAttrib & kioFlAttribDirMask) {
      target = state.pb.cat.dirInfo.ioDrDirID;
      EmptyFolderByID(target, state);
      state.pb.io.fileParam.ioNamePtr = nullptr;  // the emptied subfolder goes by its ID alone
    }
    if (state.error == noErr) {
      state.pb.io.fileParam.ioDirID = target;
      state.pb.io.fileParam.ioFVersNum = 0;
      state.error = PBHDeleteSync(&state.pb.io);
      if (state.error == fLckdErr) {
        PBHRstFLockSync(&state.pb.io);
        state.error = PBHDeleteSync(&state.pb.io);
      }
    }
  } while (state.error == noErr);

  if (state.error == fnfErr) state.error = noErr;  // nothing left: the folder is empty
}

OSErr EmptyFolder(SInt16 vRefNum, SInt32 dirID, ConstStr255Param name) {
  SInt32 folderID;
  Boolean isFolder;
  if (OSErr err = LookUpFolderID(vRefNum, dirID, name, &folderID, &isFolder); err != noErr) {
    return err;
  }
  if (!isFolder) return dirNFErr;
  SInt16 realVRefNum;
  if (OSErr err = ResolveVolumeRef(name, vRefNum, &realVRefNum); err != noErr) return err;

  FolderDeleteState state{};
  state.pb.cat.hFileInfo.ioVRefNum = realVRefNum;
  EmptyFolderByID(folderID, state);
  return state.error;
}

OSErr DeleteFolder(SInt16 vRefNum, SInt32 dirID, ConstStr255Param name) {
  if (OSErr err = EmptyFolder(vRefNum, dirID, name); err != noErr) return err;
  OSErr err = HDelete(vRefNum, dirID, name);
  if (err == fLckdErr) {
    HRstFLock(vRefNum, dirID, name);
    err = HDelete(vRefNum, dirID, name);
  }
  return err;
}

OSErr DeleteFileUnlocking(const FSSpec* file) {
  OSErr err = FSpDelete(file);
  if (err == noErr) return noErr;
  if (FSpRstFLock(file) != noErr) return err;
  return FSpDelete(file);
}

}  // namespace

OSErr DeleteInfoItem(const FSSpec* item) {
  if (!item) return paramErr;
  Str255 name;
  CInfoPBRec pb;
  if (OSErr err = GetItemRecord(item, name, &pb); err != noErr) return err;

  if (pb.hFileInfo.ioFlAttrib & kioFlAttribDirMask) {
    // A volume's root cannot go; emptying it first would delete the whole volume for nothing.
    if (pb.dirInfo.ioDrDirID == fsRtDirID) return fBsyErr;
    return DeleteFolder(item->vRefNum, item->parID, item->name);
  }
  return DeleteFileUnlocking(item);
}
