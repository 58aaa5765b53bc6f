#include "toolbox/aliases/resolve.h"

#include <dirent.h>

#include "toolbox/aliases/alias_target.h"
#include "toolbox/core/pascal.h"
#include "toolbox/core/text.h"
#include "toolbox/core/time.h"
#include "toolbox/files/names.h"
#include "toolbox/files/sidecar.h"

namespace tb::aliases {
namespace {

using files::Node;
using files::Volume;

bool KindMatches(const AliasData& record, const Node& node) {
  return node.isFolder() == (record.kind == kKindFolder);
}

std::optional<Node> Accept(const AliasData& record, files::Result<Node> node) {
  if (!node || !KindMatches(record, *node)) return std::nullopt;
  return std::move(*node);
}

Volume* FindVolume(const AliasData& record) {
  if (Volume* v = files::VolumeByName(record.volumeName)) return v;
  std::optional<std::string> unicode;
  if (record.unicodeVolumeName) unicode = Utf8FromUtf16(*record.unicodeVolumeName);
  for (Volume* v : {files::SystemDisk(), files::RootVolume()}) {
    if (unicode && v->name == *unicode) return v;
  }
  // A volume whose name changed is still known by its creation date.
  for (Volume* v : {files::SystemDisk(), files::RootVolume()}) {
    auto root = files::NodeById(v, fsRtDirID);
    if (root && MacSecondsFromUnix(root->st.st_mtim.tv_sec) == record.volumeDate) return v;
  }
  return nullptr;
}

std::optional<std::string> RecordedPath(const AliasData& record) {
  if (!record.posixPath || !record.mountPoint) return std::nullopt;
  if (record.posixPath->empty() || record.posixPath->front() != '/') return std::nullopt;
  if (record.mountPoint->empty() || record.mountPoint->front() != '/') return std::nullopt;
  return JoinVolumePath(*record.mountPoint, *record.posixPath);
}

std::string ParentPath(const std::string& path) {
  auto slash = path.rfind('/');
  return slash == 0 || slash == std::string::npos ? "/" : path.substr(0, slash);
}

// The recorded folder: by its ID, or (when the volume's IDs are not known in this process) at
// the recorded path, if the folder there still has that ID.
std::optional<Node> RecordedFolder(const AliasData& record, Volume* volume,
                                   const std::optional<std::string>& path) {
  if (record.parentId == fsRtParID) return std::nullopt;
  if (auto folder = files::FolderById(volume, record.parentId)) return std::move(*folder);
  if (!path || *path == "/") return std::nullopt;
  auto folder = files::NodeAtPath(ParentPath(*path));
  if (folder && folder->volume == volume && folder->id == record.parentId && folder->isFolder()) {
    return std::move(*folder);
  }
  return std::nullopt;
}

// The entry of a folder that has an ID: how a renamed item is met again.
std::optional<Node> ChildWithId(const Node& folder, uint32_t id) {
  DIR* dir = opendir(folder.path.c_str());
  if (!dir) return std::nullopt;
  std::optional<std::string> leaf;
  while (dirent* d = readdir(dir)) {
    std::string_view name = d->d_name;
    if (name == "." || name == ".." || files::IsSidecarName(name)) continue;
    if (files::NodeId(*folder.volume, folder.st.st_dev, d->d_ino) == id) {
      leaf = std::string(name);
      break;
    }
  }
  closedir(dir);
  if (!leaf) return std::nullopt;
  auto node = files::ChildByLinuxName(folder, *leaf);
  if (!node || node->id != id) return std::nullopt;
  return std::move(*node);
}

// An ID found again is the recorded item only if it was created when the item was: Linux
// hands a deleted file's inode, and so its ID, to the next file made.
bool SameCreation(const AliasData& record, const Node& node) {
  if (record.creationDate == 0 && !record.creationDateHiRes) return true;
  FSRef ref;
  files::MakeRef(node, &ref);
  FSCatalogInfo info{};
  if (FSGetCatalogInfo(&ref, kFSCatInfoCreateDate, &info, nullptr, nullptr, nullptr) != noErr) {
    return false;
  }
  if (record.creationDateHiRes) return HiResDate(info.createDate) == *record.creationDateHiRes;
  return info.createDate.lowSeconds == record.creationDate;
}

std::optional<Node> SameItem(const AliasData& record, std::optional<Node> node) {
  if (!node || !KindMatches(record, *node) || !SameCreation(record, *node)) return std::nullopt;
  return node;
}

std::optional<Node> ById(const AliasData& record, Volume* volume,
                         const std::optional<std::string>& path,
                         const std::optional<Node>& folder) {
  if (record.fileId == 0 || record.fileId == 0xFFFFFFFF) return std::nullopt;
  if (path) {
    auto node = files::NodeAtPath(*path);
    if (node && node->volume == volume && node->id == record.fileId) {
      if (auto same = SameItem(record, std::move(*node))) return same;
    }
  }
  if (folder) {
    if (auto same = SameItem(record, ChildWithId(*folder, record.fileId))) return same;
  }
  auto node = files::NodeById(volume, record.fileId);
  return node ? SameItem(record, std::move(*node)) : std::nullopt;
}

// The target's place seen from `from`: up levelsFrom, then down the last levelsTo names of the
// recorded path.
std::optional<Node> Relative(const AliasData& record, const Node& from) {
  if (record.levelsFrom < 0 || record.levelsTo < 0 || !record.posixPath) return std::nullopt;
  std::string base = from.path;
  for (int i = 0; i < record.levelsFrom; ++i) base = ParentPath(base);
  std::vector<std::string> tail;
  std::string rest = *record.posixPath;
  for (int i = 0; i < record.levelsTo; ++i) {
    if (rest.empty() || rest == "/") return std::nullopt;
    auto slash = rest.rfind('/');
    if (slash == std::string::npos) return std::nullopt;
    tail.insert(tail.begin(), rest.substr(slash + 1));
    rest.resize(slash);
  }
  for (auto& leaf : tail) {
    if (leaf.empty() || leaf == "." || leaf == "..") return std::nullopt;
    base = files::JoinPath(base, leaf);
  }
  return Accept(record, files::NodeAtPath(base));
}

std::optional<Node> ByName(const AliasData& record, const Node& folder) {
  if (!record.name.empty()) {
    if (auto node = Accept(record, files::ChildByToolboxName(folder, record.name))) return node;
  }
  if (record.unicodeName) {
    if (auto leaf = files::LinuxNameFromUnicode(*record.unicodeName)) {
      return Accept(record, files::ChildByLinuxName(folder, *leaf));
    }
  }
  return std::nullopt;
}

std::optional<Node> ByToolboxPath(const AliasData& record) {
  if (!record.absolutePath || record.absolutePath->empty() || record.absolutePath->size() > 255 ||
      record.absolutePath->front() == ':') {
    return std::nullopt;
  }
  Str255 path;
  SetPascal(path, sizeof path, *record.absolutePath);
  auto resolved = files::Resolve(0, 0, path);
  if (!resolved || !resolved->node) return std::nullopt;
  return Accept(record, std::move(*resolved->node));
}

}  // namespace

Search FindTarget(const AliasData& record, const files::Node* from) {
  Search search;
  Volume* volume = FindVolume(record);
  auto path = RecordedPath(record);
  if (volume) {
    auto folder = RecordedFolder(record, volume, path);
    if ((search.found = ById(record, volume, path, folder))) return search;
    if (from && (search.found = Relative(record, *from))) return search;
    if (folder && (search.found = ByName(record, *folder))) return search;
    search.parent = folder;
  }
  if (path) {
    if ((search.found = Accept(record, files::NodeAtPath(*path)))) return search;
  }
  if ((search.found = ByToolboxPath(record))) return search;
  search.error = volume ? OSErr{fnfErr} : OSErr{nsvErr};
  return search;
}

}  // namespace tb::aliases
