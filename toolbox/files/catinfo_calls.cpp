// Catalog information: FSGetCatalogInfo, PBGetCatInfoSync and their setters.
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>

#include "toolbox/core/pascal.h"
#include "toolbox/core/text.h"
#include "toolbox/core/time.h"
#include "toolbox/files/catalog.h"
#include "toolbox/files/guard.h"
#include "toolbox/files/item_ops.h"
#include "toolbox/files/names.h"
#include "toolbox/files/snapshot.h"

using namespace tb::files;

namespace {

UInt32 MacDate(const timespec& t) {
  return tb::MacSecondsFromUnix(t.tv_sec);
}

UTCDateTime UtcDate(const timespec& t) {
  UTCDateTime out{};
  int64_t seconds = static_cast<int64_t>(t.tv_sec) + tb::kMacEpochOffset;
  if (seconds < 0) return out;
  out.highSeconds = static_cast<UInt16>(seconds >> 32);
  out.lowSeconds = static_cast<UInt32>(seconds);
  out.fraction = static_cast<UInt16>((static_cast<uint64_t>(t.tv_nsec) << 16) / 1'000'000'000);
  return out;
}

SInt32 Clamp32(uint64_t v) {
  return static_cast<SInt32>(std::min<uint64_t>(v, INT32_MAX));
}

// The facts of one item a parameter block reports.
struct Facts {
  const struct stat* st;
  timespec birth;
  uint32_t id;
  uint32_t parentId;
  const SidecarSummary* meta;
  uint32_t valence;
};

// Creation: the original platform's date when a sidecar carries one, else the file system's.
timespec Created(const timespec& birth, const SidecarSummary& meta) {
  if (meta.created) return {static_cast<time_t>(*meta.created) + 946684800, 0};
  return birth;
}

bool LockedFrom(const struct stat& st, const SidecarSummary& meta) {
  return S_ISREG(st.st_mode) ? (st.st_mode & 0222) == 0 : meta.locked;
}

void Fill(CInfoPBRec* pb, Volume* volume, const Facts& f) {
  bool folder = S_ISDIR(f.st->st_mode);
  pb->hFileInfo.ioVRefNum = volume->vRefNum;
  pb->hFileInfo.ioFRefNum = 0;
  pb->hFileInfo.ioFlAttrib = static_cast<SInt8>((folder ? kioFlAttribDirMask : 0) |
                                                (LockedFrom(*f.st, *f.meta) ? 0x01 : 0));
  pb->hFileInfo.ioACUser = 0;
  if (folder) {
    DirInfo& d = pb->dirInfo;
    FinderInfoToHost(f.meta->finderInfo, true, &d.ioDrUsrWds, &d.ioDrFndrInfo);
    d.ioDrDirID = static_cast<SInt32>(f.id);
    d.ioDrNmFls = static_cast<UInt16>(std::min<uint32_t>(f.valence, 0xFFFF));
    std::memset(d.filler3, 0, sizeof d.filler3);
    d.ioDrCrDat = MacDate(Created(f.birth, *f.meta));
    d.ioDrMdDat = MacDate(f.st->st_mtim);
    d.ioDrBkDat = 0;
    d.ioDrParID = static_cast<SInt32>(f.parentId);
    return;
  }
  HFileInfo& h = pb->hFileInfo;
  FinderInfoToHost(f.meta->finderInfo, false, &h.ioFlFndrInfo, &h.ioFlXFndrInfo);
  h.ioDirID = static_cast<SInt32>(f.id);
  h.ioFlStBlk = 0;
  h.ioFlLgLen = Clamp32(static_cast<uint64_t>(f.st->st_size));
  h.ioFlPyLen = Clamp32(static_cast<uint64_t>(f.st->st_blocks) * 512);
  h.ioFlRStBlk = 0;
  h.ioFlRLgLen = Clamp32(f.meta->resourceForkLength);
  h.ioFlRPyLen = Clamp32((f.meta->resourceForkLength + 4095) / 4096 * 4096);
  h.ioFlCrDat = MacDate(Created(f.birth, *f.meta));
  h.ioFlMdDat = MacDate(f.st->st_mtim);
  h.ioFlBkDat = 0;
  h.ioFlParID = static_cast<SInt32>(f.parentId);
  h.ioFlClpSiz = 0;
}

// Entry `index` (1-based) of folder ioDirID, in the file system's order.
OSErr GetIndexed(CInfoPBRec* pb, Volume* volume, uint32_t folderId, size_t index) {
  FolderSnapshot* snapshot = CachedSnapshot(volume, folderId, index > 1);
  if (!snapshot) {
    auto folder = FolderById(volume, folderId);
    if (!folder) return folder.error();
    auto fresh = Snapshot(folder->volume, folder->id, folder->path, index > 1);
    if (!fresh) return fresh.error();
    snapshot = *fresh;
  }
  volume = snapshot->volume;
  folderId = snapshot->folderId;
  if (index > snapshot->entries.size()) return fnfErr;
  const auto& entry = snapshot->entries[index - 1];
  struct stat st;
  timespec birth;
  if (!StatItem(snapshot->dirFd.get(), entry.name.c_str(), &st, &birth)) {
    return fnfErr;  // vanished while walking
  }
  uint32_t id = NodeId(*volume, st.st_dev, st.st_ino);
  SidecarSummary meta;
  if (entry.hasSidecar) meta = ReadSidecarSummary(snapshot->dirFd.get(), entry.name);
  uint32_t valence = 0;
  bool folder = S_ISDIR(st.st_mode);
  if (pb->hFileInfo.ioNamePtr) {
    tb::SetPascal(pb->hFileInfo.ioNamePtr, 64, SpecNameFromLinux(entry.name, id, folder));
  }
  if (folder) {
    // The folder's own snapshot gives its valence; the parent's stays cached beside it.
    std::string path = JoinPath(snapshot->path, entry.name);
    volume->paths[id] = path;
    if (auto child = Snapshot(volume, id, path, false)) valence = (*child)->entries.size();
  }
  Fill(pb, volume, {&st, birth, id, folderId, &meta, valence});
  return noErr;
}

OSErr GetNode(CInfoPBRec* pb, const Node& node, bool writeName) {
  SidecarSummary meta;
  if (!node.isRoot()) meta = ReadSidecarSummary(node.path);
  uint32_t valence = node.isFolder() ? Valence(node) : 0;
  if (writeName && pb->hFileInfo.ioNamePtr) {
    tb::SetPascal(pb->hFileInfo.ioNamePtr, 64, SpecName(node));
  }
  Fill(pb, node.volume, {&node.st, node.birth, node.id, ParentId(node), &meta, valence});
  return noErr;
}

}  // namespace

OSErr PBGetCatInfoSync(CInfoPBPtr pb) {
  if (!pb) return paramErr;
  OSErr err = Guarded([&]() -> OSErr {
    SInt16 index = pb->hFileInfo.ioFDirIndex;
    Volume* volume = VolumeByRefNum(pb->hFileInfo.ioVRefNum);
    if (!volume) return nsvErr;
    uint32_t dirId = static_cast<uint32_t>(pb->hFileInfo.ioDirID);
    if (dirId == 0) dirId = fsRtDirID;
    if (index > 0) return GetIndexed(pb, volume, dirId, static_cast<size_t>(index));
    if (index < 0) {
      auto folder = FolderById(volume, dirId);
      if (!folder) return folder.error();
      return GetNode(pb, *folder, true);
    }
    auto resolved =
        Resolve(pb->hFileInfo.ioVRefNum, pb->hFileInfo.ioDirID, pb->hFileInfo.ioNamePtr);
    if (!resolved) return resolved.error();
    if (!resolved->node) return fnfErr;
    return GetNode(pb, *resolved->node, false);
  });
  pb->hFileInfo.ioResult = err;
  return err;
}

OSErr PBSetCatInfoSync(CInfoPBPtr pb) {
  if (!pb) return paramErr;
  OSErr err = Guarded([&]() -> OSErr {
    auto resolved =
        Resolve(pb->hFileInfo.ioVRefNum, pb->hFileInfo.ioDirID, pb->hFileInfo.ioNamePtr);
    if (!resolved) return resolved.error();
    if (!resolved->node) return fnfErr;
    const Node& node = *resolved->node;
    if (node.isFolder())
      return WriteFinderInfo(node, &pb->dirInfo.ioDrUsrWds, &pb->dirInfo.ioDrFndrInfo);
    return WriteFinderInfo(node, &pb->hFileInfo.ioFlFndrInfo, &pb->hFileInfo.ioFlXFndrInfo);
  });
  pb->hFileInfo.ioResult = err;
  return err;
}

OSErr FSGetCatalogInfo(const FSRef* ref, FSCatalogInfoBitmap whichInfo, FSCatalogInfo* info,
                       HFSUniStr255* outName, FSSpec* fsSpec, FSRef* parentRef) {
  if (!ref) return paramErr;
  return Guarded([&]() -> OSErr {
    auto found = NodeForRef(ref);
    if (!found) return found.error();
    const Node& node = *found;
    const struct stat& st = node.st;
    if (info && whichInfo) {
      SidecarSummary meta;
      if (!node.isRoot() &&
          (whichInfo & (kFSCatInfoFinderInfo | kFSCatInfoFinderXInfo | kFSCatInfoRsrcSizes |
                        kFSCatInfoNodeFlags | kFSCatInfoCreateDate))) {
        meta = ReadSidecarSummary(node.path);
      }
      if (whichInfo & kFSCatInfoTextEncoding) info->textEncodingHint = 0;
      if (whichInfo & kFSCatInfoNodeFlags) {
        info->nodeFlags = static_cast<UInt16>((node.isFolder() ? kFSNodeIsDirectoryMask : 0) |
                                              (LockedFrom(st, meta) ? kFSNodeLockedMask : 0));
      }
      if (whichInfo & kFSCatInfoVolume) info->volume = node.volume->vRefNum;
      if (whichInfo & kFSCatInfoParentDirID) info->parentDirID = ParentId(node);
      if (whichInfo & kFSCatInfoNodeID) info->nodeID = node.id;
      if (whichInfo & kFSCatInfoCreateDate) info->createDate = UtcDate(Created(node.birth, meta));
      if (whichInfo & kFSCatInfoContentMod) info->contentModDate = UtcDate(st.st_mtim);
      if (whichInfo & kFSCatInfoAttrMod) info->attributeModDate = UtcDate(st.st_ctim);
      if (whichInfo & kFSCatInfoAccessDate) info->accessDate = UtcDate(st.st_atim);
      if (whichInfo & kFSCatInfoBackupDate) info->backupDate = UTCDateTime{};
      if (whichInfo & kFSCatInfoPermissions) {
        info->permissions[0] = st.st_uid;
        info->permissions[1] = st.st_gid;
        info->permissions[2] = st.st_mode;
        info->permissions[3] = 0;
      }
      if (whichInfo & kFSCatInfoFinderInfo) {
        FinderInfoToHost(meta.finderInfo, node.isFolder(), info->finderInfo, nullptr);
      }
      if (whichInfo & kFSCatInfoFinderXInfo) {
        FinderInfoToHost(meta.finderInfo, node.isFolder(), nullptr, info->extFinderInfo);
      }
      if (whichInfo & kFSCatInfoValence) info->valence = node.isFolder() ? Valence(node) : 0;
      if (whichInfo & kFSCatInfoDataSizes) {
        bool file = !node.isFolder();
        info->dataLogicalSize = file ? static_cast<UInt64>(st.st_size) : 0;
        info->dataPhysicalSize = file ? static_cast<UInt64>(st.st_blocks) * 512 : 0;
      }
      if (whichInfo & kFSCatInfoRsrcSizes) {
        info->rsrcLogicalSize = meta.resourceForkLength;
        info->rsrcPhysicalSize = (meta.resourceForkLength + 4095) / 4096 * 4096;
      }
      if (whichInfo & kFSCatInfoSharingFlags) info->sharingFlags = 0;
      if (whichInfo & kFSCatInfoUserPrivs) info->userPrivileges = 0;
    }
    if (outName) {
      std::u16string name = node.isRoot() ? tb::Utf16FromUtf8(node.volume->name).value_or(u"")
                                          : UnicodeNameFromLinux(node.leaf());
      outName->length = static_cast<UInt16>(std::min<size_t>(name.size(), 255));
      std::memcpy(outName->unicode, name.data(), outName->length * sizeof(UniChar));
    }
    if (fsSpec) {
      if (OSErr err = MakeSpec(node, fsSpec); err != noErr) return err;
    }
    if (parentRef) {
      if (node.isRoot()) {
        std::memset(parentRef, 0, sizeof *parentRef);
      } else if (auto parent = ParentOf(node)) {
        MakeRef(*parent, parentRef);
      } else {
        return parent.error();
      }
    }
    return noErr;
  });
}

OSErr FSSetCatalogInfo(const FSRef* ref, FSCatalogInfoBitmap whichInfo, const FSCatalogInfo* info) {
  if (!ref || (whichInfo && !info)) return paramErr;
  if (whichInfo & ~static_cast<FSCatalogInfoBitmap>(kFSCatInfoSettableInfo))
    return errFSBadInfoBitmap;
  return Guarded([&]() -> OSErr {
    auto node = NodeForRef(ref);
    if (!node) return node.error();
    if (whichInfo & (kFSCatInfoFinderInfo | kFSCatInfoFinderXInfo)) {
      OSErr err =
          WriteFinderInfo(*node, (whichInfo & kFSCatInfoFinderInfo) ? info->finderInfo : nullptr,
                          (whichInfo & kFSCatInfoFinderXInfo) ? info->extFinderInfo : nullptr);
      if (err != noErr) return err;
    }
    if (whichInfo & kFSCatInfoContentMod) {
      const UTCDateTime& d = info->contentModDate;
      int64_t seconds = (int64_t{d.highSeconds} << 32 | d.lowSeconds) - tb::kMacEpochOffset;
      timespec times[2] = {{0, UTIME_OMIT}, {static_cast<time_t>(seconds), 0}};
      utimensat(AT_FDCWD, node->path.c_str(), times, AT_SYMLINK_NOFOLLOW);
    }
    if ((whichInfo & kFSCatInfoPermissions) && !S_ISLNK(node->st.st_mode)) {
      // The mode bits only; owner and group need privileges the toolbox does not ask for.
      if (chmod(node->path.c_str(), info->permissions[2] & 07777) != 0)
        return ErrorFromErrno(errno);
    }
    if (whichInfo & kFSCatInfoNodeFlags) {
      // Lock last: a locked file can still take Finder information.
      auto again = NodeAtPath(node->path);
      if (!again) return again.error();
      return SetLocked(*again, (info->nodeFlags & kFSNodeLockedMask) != 0);
    }
    return noErr;
  });
}

OSErr FSpGetFInfo(const FSSpec* spec, FInfo* fndrInfo) {
  if (!spec || !fndrInfo) return paramErr;
  return Guarded([&]() -> OSErr {
    auto node = NodeForSpec(spec);
    if (!node) return node.error();
    if (node->isFolder()) return notAFileErr;
    FinderInfoToHost(ReadSidecarSummary(node->path).finderInfo, false, fndrInfo, nullptr);
    return noErr;
  });
}

OSErr FSpSetFInfo(const FSSpec* spec, const FInfo* fndrInfo) {
  if (!spec || !fndrInfo) return paramErr;
  return Guarded([&]() -> OSErr {
    auto node = NodeForSpec(spec);
    if (!node) return node.error();
    if (node->isFolder()) return notAFileErr;
    return WriteFinderInfo(*node, fndrInfo, nullptr);
  });
}
