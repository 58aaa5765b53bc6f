#include "toolbox/files/item_ops.h"

#include <sys/stat.h>

#include <cerrno>

#include "toolbox/files/posix.h"
#include "toolbox/files/snapshot.h"

namespace tb::files {

OSErr WriteFinderInfo(const Node& node, const void* info16, const void* ext16) {
  if (node.isRoot()) return noErr;  // a volume's root has nowhere to keep it
  auto sidecar = LoadSidecar(node.path);
  FinderInfoFromHost(sidecar.finderInfo, node.isFolder(), info16, ext16);
  return StoreSidecar(node.path, sidecar);
}

OSErr SetLocked(const Node& node, bool locked) {
  if (node.isRoot()) return locked ? vLckdErr : noErr;
  if (S_ISREG(node.st.st_mode)) {
    mode_t mode = node.st.st_mode & 07777;
    mode = locked ? (mode & ~mode_t{0222}) : (mode | S_IWUSR);
    if (chmod(node.path.c_str(), mode) != 0) return ErrorFromErrno(errno);
    return noErr;
  }
  auto sidecar = LoadSidecar(node.path);
  if (sidecar.locked() == locked) return noErr;
  sidecar.setLocked(locked);
  return StoreSidecar(node.path, sidecar);
}

uint32_t Valence(const Node& folder) {
  auto snapshot = Snapshot(folder.volume, folder.id, folder.path, false);
  return snapshot ? static_cast<uint32_t>((*snapshot)->entries.size()) : 0;
}

}  // namespace tb::files
