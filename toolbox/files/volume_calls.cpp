// Volume information: PBHGetVInfoSync.
#include <sys/statvfs.h>

#include <algorithm>
#include <cstring>

#include "toolbox/core/pascal.h"
#include "toolbox/core/text.h"
#include "toolbox/core/time.h"
#include "toolbox/files/catalog.h"
#include "toolbox/files/guard.h"
#include "toolbox/files/item_ops.h"

using namespace tb::files;

namespace {
UInt32 MacDate(const timespec& t) {
  return tb::MacSecondsFromUnix(t.tv_sec);
}
// Only a full path ("Volume:..." or "Volume:") names a volume; a plain or partial name is an
// item's, and the volume is then the one of ioVRefNum.
bool HasVolumeName(std::string_view name) {
  auto colon = name.find(':');
  return colon != std::string_view::npos && colon > 0;
}
}  // namespace

OSErr PBHGetVInfoSync(HParmBlkPtr pb) {
  if (!pb) return paramErr;
  HVolumeParam& v = pb->volumeParam;
  OSErr err = Guarded([&]() -> OSErr {
    Volume* volume = nullptr;
    if (v.ioVolIndex > 0) {
      volume = VolumeByIndex(v.ioVolIndex);
    } else if (v.ioVolIndex < 0 && v.ioNamePtr && HasVolumeName(tb::PascalView(v.ioNamePtr))) {
      std::string_view name = tb::PascalView(v.ioNamePtr);
      volume = VolumeByName(name.substr(0, name.find(':')));
    } else {
      volume = VolumeByRefNum(v.ioVRefNum);
    }
    if (!volume) return nsvErr;
    auto root = NodeById(volume, fsRtDirID);
    if (!root) return root.error();
    if (v.ioNamePtr) {
      auto name = tb::MacRomanFromUtf8(volume->name);
      tb::SetPascal(v.ioNamePtr, 28, name.value_or(""));
    }
    struct statvfs fs {};
    statvfs(volume->root.c_str(), &fs);
    uint64_t blockSize = fs.f_frsize ? fs.f_frsize : 4096;
    v.ioVRefNum = volume->vRefNum;
    v.ioVCrDate = MacDate(root->st.st_mtim);
    v.ioVLsMod = MacDate(root->st.st_mtim);
    v.ioVAtrb = 0;
    v.ioVNmFls = static_cast<UInt16>(std::min<uint32_t>(Valence(*root), 0xFFFF));
    v.ioVBitMap = 0;
    v.ioAllocPtr = 0;
    v.ioVNmAlBlks = static_cast<UInt16>(std::min<uint64_t>(fs.f_blocks, 0xFFFF));
    v.ioVAlBlkSiz = static_cast<UInt32>(blockSize);
    v.ioVClpSiz = static_cast<UInt32>(blockSize);
    v.ioAlBlSt = 0;
    v.ioVNxtCNID = 0;
    v.ioVFrBlk = static_cast<UInt16>(std::min<uint64_t>(fs.f_bavail, 0xFFFF));
    v.ioVSigWord = 0x482B;  // 'H+'
    v.ioVDrvInfo = 0;
    v.ioVDRefNum = volume->vRefNum;
    v.ioVFSID = 0;
    v.ioVBkUp = 0;
    v.ioVSeqNum = 0;
    v.ioVWrCnt = 0;
    v.ioVFilCnt = 0;
    v.ioVDirCnt = 0;
    std::memset(v.ioVFndrInfo, 0, sizeof v.ioVFndrInfo);
    return noErr;
  });
  v.ioResult = err;
  return err;
}
