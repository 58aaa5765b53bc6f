// Folder snapshots: the entries of a folder in the file system's order, so that reading
// entries 1, 2, 3… costs one step each. A snapshot is reused while the folder's inode, change
// and modification times stay the same.
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <vector>

#include "toolbox/files/posix.h"
#include "toolbox/files/result.h"
#include "toolbox/files/volumes.h"

namespace tb::files {

struct FolderSnapshot {
  struct Entry {
    std::string name;  // Linux leaf
    ino_t ino = 0;
    unsigned char type = 0;  // d_type
    bool hasSidecar = false;
  };
  Volume* volume = nullptr;
  uint32_t folderId = 0;
  std::string path;  // the folder's path when the snapshot was taken
  Fd dirFd;
  struct stat folder {};
  bool racy = false;  // taken within the file system's timestamp granularity of a change
  std::vector<Entry> entries;
};

// The snapshot of folder `folderId` at `path` (already known to be that folder). With
// `continuing`, a walk in progress keeps its snapshot even when a change could have gone
// unseen within one timestamp tick.
Result<FolderSnapshot*> Snapshot(Volume* volume, uint32_t folderId, const std::string& path,
                                 bool continuing);
// A cached snapshot of the folder when it is still current, without touching the path.
FolderSnapshot* CachedSnapshot(Volume* volume, uint32_t folderId, bool continuing);
void ForgetSnapshots();

}  // namespace tb::files
