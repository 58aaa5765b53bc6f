// Creating, deleting, locking, renaming and moving items; sidecars follow their items.
#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "toolbox/core/pascal.h"
#include "toolbox/files/catalog.h"
#include "toolbox/files/forks.h"
#include "toolbox/files/guard.h"
#include "toolbox/files/item_ops.h"
#include "toolbox/files/names.h"
#include "toolbox/files/sidecar.h"
#include "toolbox/files/snapshot.h"

using namespace tb::files;

namespace {

// Where a new item goes: the folder must exist and the name must be free.
Result<Resolved> PlaceFor(const FSSpec* spec) {
  auto resolved = Resolve(spec->vRefNum, spec->parID, spec->name);
  if (!resolved) return resolved.error();
  if (resolved->node) return OSErr{dupFNErr};
  return resolved;
}

// Removes a folder whose only contents are sidecars of items that are gone.
OSErr RemoveFolder(const Node& folder) {
  DIR* dir = opendir(folder.path.c_str());
  if (!dir) return ErrorFromErrno(errno);
  std::vector<std::string> orphans;
  bool hasEntries = false;
  while (dirent* d = readdir(dir)) {
    std::string_view name = d->d_name;
    if (name == "." || name == "..") continue;
    if (IsSidecarName(name)) {
      orphans.emplace_back(name);
    } else {
      hasEntries = true;
      break;
    }
  }
  closedir(dir);
  if (hasEntries) return fBsyErr;
  for (auto& name : orphans) unlink(JoinPath(folder.path, name).c_str());
  if (rmdir(folder.path.c_str()) != 0)
    return errno == ENOTEMPTY ? OSErr{fBsyErr} : ErrorFromErrno(errno);
  return noErr;
}

OSErr DeleteNode(const Node& node) {
  if (node.isRoot()) return fBsyErr;
  if (IsLocked(node)) return fLckdErr;
  if (node.isFolder()) {
    if (OSErr err = RemoveFolder(node); err != noErr) return err;
  } else {
    if (IsBusy(node)) return fBsyErr;
    if (unlink(node.path.c_str()) != 0) return ErrorFromErrno(errno);
  }
  RemoveSidecar(node.path);
  node.volume->paths.erase(node.id);
  return noErr;
}

OSErr DeleteAt(SInt16 vRefNum, SInt32 dirID, ConstStr255Param name) {
  return Guarded([&]() -> OSErr {
    auto resolved = Resolve(vRefNum, dirID, name);
    if (!resolved) return resolved.error();
    if (!resolved->node) return fnfErr;
    return DeleteNode(*resolved->node);
  });
}

OSErr LockAt(SInt16 vRefNum, SInt32 dirID, ConstStr255Param name, bool locked) {
  return Guarded([&]() -> OSErr {
    auto resolved = Resolve(vRefNum, dirID, name);
    if (!resolved) return resolved.error();
    if (!resolved->node) return fnfErr;
    return SetLocked(*resolved->node, locked);
  });
}

// Moves an item and its sidecar to `to` (a free name), keeping the maps right.
OSErr MoveNode(const Node& node, const std::string& to) {
  if (node.isRoot()) return paramErr;
  if (IsLocked(node)) return fLckdErr;
  if (to == node.path) return noErr;
  struct stat existing;
  if (lstat(to.c_str(), &existing) == 0) {
    bool sameItem = existing.st_ino == node.st.st_ino && existing.st_dev == node.st.st_dev;
    if (!sameItem) return dupFNErr;
  }
  if (renameat2(AT_FDCWD, node.path.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0) {
    if (errno != EINVAL && errno != ENOSYS) return ErrorFromErrno(errno);
    if (rename(node.path.c_str(), to.c_str()) != 0) return ErrorFromErrno(errno);
  }
  if (OSErr err = MoveSidecar(node.path, to); err != noErr) {
    // The item goes back rather than lose its metadata (a name too long for "._name").
    if (renameat2(AT_FDCWD, to.c_str(), AT_FDCWD, node.path.c_str(), RENAME_NOREPLACE) != 0) {
      rename(to.c_str(), node.path.c_str());
    }
    return err;
  }
  NotePathChange(node.volume, node.path, to);
  NoteForkPathChange(node.path, to);
  ForgetSnapshots();  // they name their folders by path
  return noErr;
}

std::string Sibling(const Node& node, const std::string& leaf) {
  auto slash = node.path.rfind('/');
  return JoinPath(slash == 0 ? "/" : node.path.substr(0, slash), leaf);
}

}  // namespace

OSErr FSpCreate(const FSSpec* spec, OSType creator, OSType fileType, ScriptCode scriptTag) {
  if (!spec) return paramErr;
  return Guarded([&]() -> OSErr {
    auto place = PlaceFor(spec);
    if (!place) return place.error();
    std::string path = JoinPath(place->parent.path, place->leaf);
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return ErrorFromErrno(errno);
    close(fd);
    if (creator == 0 && fileType == 0) return noErr;
    auto node = NodeAtPath(path);
    if (!node) return node.error();
    FInfo info{};
    info.fdType = fileType;
    info.fdCreator = creator;
    return WriteFinderInfo(*node, &info, nullptr);
  });
}

OSErr FSpDirCreate(const FSSpec* spec, ScriptCode scriptTag, SInt32* createdDirID) {
  if (!spec) return paramErr;
  return Guarded([&]() -> OSErr {
    auto place = PlaceFor(spec);
    if (!place) return place.error();
    std::string path = JoinPath(place->parent.path, place->leaf);
    if (mkdir(path.c_str(), 0777) != 0) return ErrorFromErrno(errno);
    auto node = NodeAtPath(path);
    if (!node) return node.error();
    if (createdDirID) *createdDirID = static_cast<SInt32>(node->id);
    return noErr;
  });
}

OSErr DirCreate(SInt16 vRefNum, SInt32 parentDirID, ConstStr255Param directoryName,
                SInt32* createdDirID) {
  if (!directoryName || directoryName[0] == 0) return bdNamErr;
  FSSpec spec{};
  OSErr err = FSMakeFSSpec(vRefNum, parentDirID, directoryName, &spec);
  if (err == noErr) return dupFNErr;
  if (err != fnfErr) return err;
  return FSpDirCreate(&spec, smSystemScript, createdDirID);
}

OSErr FSpDelete(const FSSpec* spec) {
  if (!spec) return paramErr;
  return DeleteAt(spec->vRefNum, spec->parID, spec->name);
}

OSErr HDelete(SInt16 vRefNum, SInt32 dirID, ConstStr255Param fileName) {
  return DeleteAt(vRefNum, dirID, fileName);
}

OSErr PBHDeleteSync(HParmBlkPtr pb) {
  if (!pb) return paramErr;
  auto& f = pb->fileParam;
  f.ioResult = DeleteAt(f.ioVRefNum, f.ioDirID, f.ioNamePtr);
  return f.ioResult;
}

OSErr FSpSetFLock(const FSSpec* spec) {
  if (!spec) return paramErr;
  return LockAt(spec->vRefNum, spec->parID, spec->name, true);
}

OSErr FSpRstFLock(const FSSpec* spec) {
  if (!spec) return paramErr;
  return LockAt(spec->vRefNum, spec->parID, spec->name, false);
}

OSErr HRstFLock(SInt16 vRefNum, SInt32 dirID, ConstStr255Param fileName) {
  return LockAt(vRefNum, dirID, fileName, false);
}

OSErr PBHRstFLockSync(HParmBlkPtr pb) {
  if (!pb) return paramErr;
  auto& f = pb->fileParam;
  f.ioResult = LockAt(f.ioVRefNum, f.ioDirID, f.ioNamePtr, false);
  return f.ioResult;
}

OSErr FSpRename(const FSSpec* spec, ConstStr255Param newName) {
  if (!spec || !newName) return paramErr;
  return Guarded([&]() -> OSErr {
    auto node = NodeForSpec(spec);
    if (!node) return node.error();
    auto leaf = LinuxNameFromToolbox(tb::PascalView(newName));
    if (!leaf) return bdNamErr;
    return MoveNode(*node, Sibling(*node, *leaf));
  });
}

OSErr FSRenameUnicode(const FSRef* ref, UniCharCount nameLength, const UniChar* name,
                      TextEncoding textEncodingHint, FSRef* newRef) {
  if (!ref || (nameLength && !name) || nameLength > 255) return paramErr;
  return Guarded([&]() -> OSErr {
    auto node = NodeForRef(ref);
    if (!node) return node.error();
    auto leaf = LinuxNameFromUnicode(
        std::u16string_view(reinterpret_cast<const char16_t*>(name), nameLength));
    if (!leaf) return bdNamErr;
    std::string to = Sibling(*node, *leaf);
    if (OSErr err = MoveNode(*node, to); err != noErr) return err;
    if (newRef) {
      auto moved = NodeAtPath(to);
      if (!moved) return moved.error();
      MakeRef(*moved, newRef);
    }
    return noErr;
  });
}

OSErr FSpCatMove(const FSSpec* source, const FSSpec* dest) {
  if (!source || !dest) return paramErr;
  return Guarded([&]() -> OSErr {
    auto node = NodeForSpec(source);
    if (!node) return node.error();
    auto folder = NodeForSpec(dest);
    if (!folder) return folder.error() == fnfErr ? OSErr{dirNFErr} : folder.error();
    if (!folder->isFolder()) return dirNFErr;
    if (folder->volume != node->volume) return diffVolErr;
    if (folder->path == node->path || folder->path.starts_with(node->path + "/")) return badMovErr;
    return MoveNode(*node, JoinPath(folder->path, node->leaf()));
  });
}
