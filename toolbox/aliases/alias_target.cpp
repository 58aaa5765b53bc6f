#include "toolbox/aliases/alias_target.h"

#include <cstring>

#include "toolbox/core/text.h"
#include "toolbox/core/time.h"
#include "toolbox/files/names.h"

namespace tb::aliases {
namespace {

std::vector<std::string_view> Components(std::string_view path) {
  std::vector<std::string_view> parts;
  while (!path.empty()) {
    auto slash = path.find('/');
    if (slash != 0) parts.push_back(path.substr(0, slash));
    if (slash == std::string_view::npos) break;
    path.remove_prefix(slash + 1);
  }
  return parts;
}

std::string MacRomanName(const std::string& utf8) {
  return MacRomanFromUtf8(utf8).value_or("");
}

}  // namespace

std::string PathInVolume(const files::Node& node) {
  const std::string& root = node.volume->root;
  if (root == "/") return node.path;
  if (node.path.size() <= root.size()) return "/";
  return node.path.substr(root.size());
}

uint64_t HiResDate(const UTCDateTime& date) {
  uint64_t seconds = (static_cast<uint64_t>(date.highSeconds) << 32) | date.lowSeconds;
  return (seconds << 16) | date.fraction;
}

std::string JoinVolumePath(const std::string& mountPoint, const std::string& inVolume) {
  if (mountPoint == "/" || mountPoint.empty()) return inVolume;
  if (inVolume == "/") return mountPoint;
  return mountPoint + inVolume;
}

OSErr DescribeItem(const files::Node& target, const files::Node* from, Detail detail,
                   AliasData* out) {
  files::Volume* volume = target.volume;
  auto root = files::NodeById(volume, fsRtDirID);
  if (!root) return root.error();

  FSRef ref;
  files::MakeRef(target, &ref);
  FSCatalogInfo info{};
  OSErr err = FSGetCatalogInfo(&ref, kFSCatInfoCreateDate | kFSCatInfoFinderInfo, &info, nullptr,
                               nullptr, nullptr);
  if (err != noErr) return err;

  AliasData d;
  d.kind = target.isFolder() ? kKindFolder : kKindFile;
  d.volumeName = MacRomanName(volume->name);
  d.volumeDate = MacSecondsFromUnix(root->st.st_mtim.tv_sec);
  d.parentId = files::ParentId(target);
  d.name = files::SpecName(target);
  d.fileId = target.id;
  d.creationDate = info.createDate.lowSeconds;
  if (!target.isFolder()) {
    FInfo finder;
    std::memcpy(&finder, info.finderInfo, sizeof finder);
    d.fileType = finder.fdType;
    d.creator = finder.fdCreator;
  }
  d.unicodeName =
      target.isRoot() ? *Utf16FromUtf8(volume->name) : files::UnicodeNameFromLinux(target.leaf());
  d.unicodeVolumeName = *Utf16FromUtf8(volume->name);
  d.posixPath = PathInVolume(target);
  d.mountPoint = volume->root;

  if (from && from->volume == volume) {
    // Levels up from the file to the folder both share, and down from there to the target.
    std::string fromPath = PathInVolume(*from);
    auto fromParts = Components(fromPath);
    auto toParts = Components(*d.posixPath);
    size_t common = 0;
    while (common < fromParts.size() && common < toParts.size() &&
           fromParts[common] == toParts[common]) {
      ++common;
    }
    d.levelsFrom = static_cast<int16_t>(fromParts.size() - common);
    d.levelsTo = static_cast<int16_t>(toParts.size() - common);
  }

  if (detail == Detail::full) {
    d.volumeDateHiRes = static_cast<uint64_t>(d.volumeDate) << 16;
    d.creationDateHiRes = HiResDate(info.createDate);
    // Folder names from the parent up to the volume's root, for the names and the ID path.
    std::vector<std::string> names;
    files::Node current = target;
    while (!current.isRoot()) {
      names.push_back(files::SpecName(current));
      auto parent = files::ParentOf(current);
      if (!parent) return parent.error();
      current = std::move(*parent);
      if (!current.isRoot()) d.directoryIds.push_back(current.id);
    }
    if (names.size() > 1) {
      d.parentName = names[1];
    } else if (!target.isRoot()) {
      d.parentName = d.volumeName;
    }
    std::string path = d.volumeName + ":";
    for (auto it = names.rbegin(); it != names.rend(); ++it) {
      if (it != names.rbegin()) path += ':';
      path += *it;
    }
    d.absolutePath = path;
  }
  *out = std::move(d);
  return noErr;
}

}  // namespace tb::aliases
