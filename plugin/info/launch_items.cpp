#include "plugin/info/launch_items.h"

#include "toolbox/core/errors.h"
#include "toolbox/core/memory.h"
#include "toolbox/core/pascal.h"

namespace {

constexpr tb::PStr kLaunchItemsFileName("Launch Items Setting");

OSErr ReadBytes(SInt16 file, void* buffer, long size) {
  long count = size;
  OSErr err = FSRead(file, &count, buffer);
  if (err == noErr && count != size) err = eofErr;
  return err;
}

// Bytes between the mark and the end of the file.
long Remaining(SInt16 file) {
  long end = 0;
  long mark = 0;
  if (GetEOF(file, &end) != noErr || GetFPos(file, &mark) != noErr || mark > end) return 0;
  return end - mark;
}

}  // namespace

OSErr OpenLaunchItems(SInt16* file, SInt16* count) {
  SInt16 vRefNum;
  SInt32 dirID;
  OSErr err =
      FindFolder(kOnSystemDisk, kPreferencesFolderType, kDontCreateFolder, &vRefNum, &dirID);
  if (err != noErr) return err;
  FSSpec spec;
  err = FSMakeFSSpec(vRefNum, dirID, kLaunchItemsFileName, &spec);
  if (err != noErr) return err;
  err = FSpOpenDF(&spec, fsRdPerm, file);
  if (err != noErr) return err;

  UInt8 bytes[2];
  err = eofErr;
  if (Remaining(*file) >= static_cast<long>(sizeof bytes))
    err = ReadBytes(*file, bytes, sizeof bytes);
  if (err != noErr) {
    FSClose(*file);
    *file = 0;
    return err;
  }
  *count = static_cast<SInt16>((bytes[0] << 8) | bytes[1]);
  return noErr;
}

OSErr ReadLaunchItem(SInt16 file, AliasHandle* alias) {
  *alias = nullptr;
  UInt8 bytes[4];
  if (Remaining(file) < static_cast<long>(sizeof bytes)) return eofErr;
  OSErr err = ReadBytes(file, bytes, sizeof bytes);
  if (err != noErr) return err;
  const SInt32 length = static_cast<SInt32>((UInt32{bytes[0]} << 24) | (UInt32{bytes[1]} << 16) |
                                            (UInt32{bytes[2]} << 8) | bytes[3]);
  if (length == 0) return noErr;
  // Checked against what the file holds before anything is allocated for it.
  if (length < 0 || length > Remaining(file)) return eofErr;

  Handle data = NewHandle(length);
  if (!data) return memFullErr;
  HLock(data);
  err = ReadBytes(file, *data, length);
  HUnlock(data);
  if (err != noErr) {
    DisposeHandle(data);
    return err;
  }
  *alias = reinterpret_cast<AliasHandle>(data);
  return noErr;
}
