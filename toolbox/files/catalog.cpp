#include "toolbox/files/catalog.h"

#include <dirent.h>
#include <fcntl.h>

#include <cerrno>
#include <cstring>
#include <deque>
#include <vector>

#include "toolbox/core/pascal.h"
#include "toolbox/core/text.h"
#include "toolbox/files/names.h"
#include "toolbox/files/posix.h"
#include "toolbox/files/sidecar.h"
#include "toolbox/files/snapshot.h"

namespace tb::files {
namespace {

constexpr uint32_t kRefMagic = 'VtRf';
constexpr size_t kWalkLimit = 500'000;

std::string ParentPath(const std::string& path) {
  auto slash = path.rfind('/');
  if (slash == std::string::npos || slash == 0) return "/";
  return path.substr(0, slash);
}

// Finds an ID the map does not know by walking the volume, noting the folders met on the way.
Result<Node> Walk(Volume* volume, uint32_t id) {
  std::deque<std::string> folders{volume->root};
  size_t seen = 0;
  while (!folders.empty() && seen < kWalkLimit) {
    std::string folder = std::move(folders.front());
    folders.pop_front();
    DIR* dir = opendir(folder.c_str());
    if (!dir) continue;
    struct stat fst;
    dev_t dev = fstat(dirfd(dir), &fst) == 0 ? fst.st_dev : volume->dev;
    while (dirent* d = readdir(dir)) {
      std::string_view name = d->d_name;
      if (name == "." || name == ".." || IsSidecarName(name)) continue;
      ++seen;
      std::string path = JoinPath(folder, name);
      uint32_t entryId = NodeId(*volume, dev, d->d_ino);
      bool isDir = d->d_type == DT_DIR;
      if (d->d_type == DT_UNKNOWN) {
        struct stat st;
        isDir = lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
      }
      if (isDir) volume->paths[entryId] = path;
      if (entryId == id) {
        closedir(dir);
        auto node = NodeAtPath(path);
        if (node && node->id == id) return node;
        return OSErr{fnfErr};
      }
      if (isDir) folders.push_back(std::move(path));
    }
    closedir(dir);
  }
  return OSErr{fnfErr};
}

void PutBE(uint8_t* at, uint64_t value, int bytes) {
  for (int i = bytes - 1; i >= 0; --i, value >>= 8) at[i] = static_cast<uint8_t>(value);
}
uint64_t GetBE(const uint8_t* at, int bytes) {
  uint64_t v = 0;
  for (int i = 0; i < bytes; ++i) v = (v << 8) | at[i];
  return v;
}

}  // namespace

std::string_view Node::leaf() const {
  auto slash = path.rfind('/');
  return std::string_view(path).substr(slash + 1);
}

Result<Node> NodeAtPath(const std::string& path) {
  Node node;
  if (!StatItem(AT_FDCWD, path.c_str(), &node.st, &node.birth)) return ErrorFromErrno(errno);
  node.volume = VolumeForPath(path);
  node.id = NodeId(*node.volume, node.st.st_dev, node.st.st_ino);
  node.path = node.id == fsRtDirID ? node.volume->root : path;
  node.volume->paths[node.id] = node.path;
  return node;
}

Result<Node> NodeById(Volume* volume, uint32_t id) {
  if (!volume) return OSErr{nsvErr};
  if (id == fsRtDirID) {
    auto root = NodeAtPath(volume->root);
    if (!root || root->volume != volume) return OSErr{nsvErr};
    return root;
  }
  if (id < 16) return OSErr{fnfErr};
  if (auto it = volume->paths.find(id); it != volume->paths.end()) {
    std::string path = it->second;
    auto node = NodeAtPath(path);
    // The system disk's directory, met on the root volume, is the system disk's root.
    bool sameItem =
        node && ((node->volume == volume && node->id == id) ||
                 (node->isRoot() && NodeId(*volume, node->st.st_dev, node->st.st_ino) == id));
    if (sameItem) return node;
    volume->paths.erase(id);
  }
  if (volume == SystemDisk()) return Walk(volume, id);
  return OSErr{fnfErr};
}

Result<Node> FolderById(Volume* volume, uint32_t id) {
  auto node = NodeById(volume, id);
  if (!node) return node.error() == nsvErr ? OSErr{nsvErr} : OSErr{dirNFErr};
  if (!node->isFolder()) return OSErr{dirNFErr};
  return node;
}

Result<Node> ChildByLinuxName(const Node& folder, const std::string& leaf) {
  if (IsSidecarName(leaf) || leaf.find('/') != std::string::npos) return OSErr{fnfErr};
  auto node = NodeAtPath(JoinPath(folder.path, leaf));
  if (!node) return node.error() == dirNFErr ? OSErr{fnfErr} : node.error();
  return node;
}

Result<Node> ChildByToolboxName(const Node& folder, std::string_view macRoman) {
  auto leaf = LinuxNameFromToolbox(macRoman);
  if (!leaf) return OSErr{bdNamErr};
  auto node = ChildByLinuxName(folder, *leaf);
  if (node || node.error() != fnfErr) return node;
  auto id = ShortenedNameId(macRoman);
  if (!id) return OSErr{fnfErr};
  auto snapshot = Snapshot(folder.volume, folder.id, folder.path, false);
  if (!snapshot) return OSErr{fnfErr};
  for (auto& e : (*snapshot)->entries) {
    if (NodeId(*folder.volume, folder.st.st_dev, e.ino) != *id) continue;
    auto found = ChildByLinuxName(folder, e.name);
    if (found && found->id == *id) return found;
  }
  return OSErr{fnfErr};
}

uint32_t ParentId(const Node& node) {
  if (node.isRoot()) return fsRtParID;
  auto parent = ParentOf(node);
  return parent ? parent->id : 0;
}

Result<Node> ParentOf(const Node& node) {
  if (node.isRoot()) return OSErr{fnfErr};
  return NodeAtPath(ParentPath(node.path));
}

Result<Resolved> Resolve(SInt16 vRefNum, SInt32 dirID, ConstStr255Param name) {
  Volume* volume = VolumeByRefNum(vRefNum);
  if (!volume) return OSErr{nsvErr};
  std::string_view text = PascalView(name);
  Node current;
  auto colon = text.find(':');
  if (colon != std::string_view::npos && colon > 0) {
    volume = VolumeByName(text.substr(0, colon));
    if (!volume) return OSErr{nsvErr};
    auto root = NodeById(volume, fsRtDirID);
    if (!root) return root.error();
    current = *root;
    text.remove_prefix(colon);
  } else if (dirID == fsRtParID) {
    auto root = NodeById(volume, fsRtDirID);
    if (!root) return root.error();
    auto volumeName = MacRomanFromUtf8(volume->name);
    if (!text.empty() && (!volumeName || text != *volumeName)) return OSErr{fnfErr};
    return Resolved{*root, "", std::string(text), *root};
  } else {
    auto folder =
        dirID == 0 ? NodeById(volume, fsRtDirID) : FolderById(volume, static_cast<uint32_t>(dirID));
    if (!folder) return folder.error();
    current = *folder;
  }
  if (text.starts_with(':')) text.remove_prefix(1);
  std::vector<std::string_view> parts;
  if (!text.empty()) {
    for (;;) {
      auto next = text.find(':');
      parts.push_back(text.substr(0, next));
      if (next == std::string_view::npos) break;
      text.remove_prefix(next + 1);
    }
  }
  if (parts.size() > 1 && parts.back().empty()) parts.pop_back();
  if (parts.empty()) return Resolved{current, "", "", current};

  for (size_t i = 0; i + 1 < parts.size(); ++i) {
    Result<Node> next =
        parts[i].empty() ? ParentOf(current) : ChildByToolboxName(current, parts[i]);
    if (!next) return next.error() == bdNamErr ? OSErr{bdNamErr} : OSErr{dirNFErr};
    if (!next->isFolder()) return OSErr{dirNFErr};
    current = std::move(*next);
  }
  std::string_view last = parts.back();
  if (last.empty()) {
    auto parent = ParentOf(current);
    if (!parent) return OSErr{dirNFErr};
    return Resolved{current, "", "", *parent};
  }
  auto node = ChildByToolboxName(current, last);
  if (node) return Resolved{current, std::string(node->leaf()), std::string(last), *node};
  if (node.error() != fnfErr) return node.error();
  auto leaf = LinuxNameFromToolbox(last);
  if (!leaf || last.size() > kSpecNameLimit) return OSErr{bdNamErr};
  return Resolved{current, *leaf, std::string(last), std::nullopt};
}

Result<Node> NodeForSpec(const FSSpec* spec) {
  if (!spec) return OSErr{paramErr};
  auto resolved = Resolve(spec->vRefNum, spec->parID, spec->name);
  if (!resolved) return resolved.error();
  if (!resolved->node) return OSErr{fnfErr};
  return std::move(*resolved->node);
}

Result<Node> NodeForRef(const FSRef* ref) {
  if (!ref || GetBE(ref->hidden, 4) != kRefMagic) return OSErr{paramErr};
  Volume* volume = VolumeByRefNum(static_cast<SInt16>(GetBE(ref->hidden + 4, 2)));
  if (!volume || GetBE(ref->hidden + 4, 2) == 0) return OSErr{nsvErr};
  return NodeById(volume, static_cast<uint32_t>(GetBE(ref->hidden + 8, 4)));
}

void MakeRef(const Node& node, FSRef* ref) {
  std::memset(ref->hidden, 0, sizeof ref->hidden);
  PutBE(ref->hidden, kRefMagic, 4);
  PutBE(ref->hidden + 4, static_cast<uint16_t>(node.volume->vRefNum), 2);
  PutBE(ref->hidden + 8, node.id, 4);
  PutBE(ref->hidden + 16, static_cast<uint64_t>(node.st.st_ino), 8);
  PutBE(ref->hidden + 24, static_cast<uint64_t>(node.st.st_dev), 8);
}

std::string SpecName(const Node& node) {
  if (node.isRoot()) {
    auto name = MacRomanFromUtf8(node.volume->name);
    return name ? *name : std::string("Volume");
  }
  return SpecNameFromLinux(node.leaf(), node.id, node.isFolder());
}

OSErr MakeSpec(const Node& node, FSSpec* spec) {
  spec->vRefNum = node.volume->vRefNum;
  spec->parID = static_cast<SInt32>(ParentId(node));
  SetPascal(spec->name, sizeof spec->name, SpecName(node));
  return spec->parID == 0 ? fnfErr : noErr;
}

void NotePathChange(Volume* volume, const std::string& from, const std::string& to) {
  for (auto& [id, path] : volume->paths) {
    if (path == from) {
      path = to;
    } else if (path.size() > from.size() && path.starts_with(from) && path[from.size()] == '/') {
      path = to + path.substr(from.size());
    }
  }
}

bool IsLocked(const Node& node) {
  if (S_ISREG(node.st.st_mode)) return (node.st.st_mode & 0222) == 0;
  if (node.isRoot()) return false;
  return ReadSidecarSummary(node.path).locked;
}

}  // namespace tb::files
