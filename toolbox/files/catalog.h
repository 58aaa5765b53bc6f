// The catalog: items of a volume by ID, by name in a folder, by path, by FSSpec and FSRef.
#pragma once

#include <sys/stat.h>

#include <optional>
#include <string>
#include <string_view>

#include "toolbox/files/files.h"
#include "toolbox/files/result.h"
#include "toolbox/files/volumes.h"

namespace tb::files {

// An item that exists, as last seen (lstat: a symbolic link is an item of its own).
struct Node {
  Volume* volume = nullptr;
  uint32_t id = 0;
  std::string path;
  struct stat st {};
  timespec birth{};  // creation time

  bool isFolder() const { return S_ISDIR(st.st_mode); }
  bool isRoot() const { return id == fsRtDirID; }
  std::string_view leaf() const;
};

// The item at an absolute path (resolved parent), on the volume that holds it.
Result<Node> NodeAtPath(const std::string& path);
// The item of an ID (2 is the root). A miss walks the system disk; on the root volume it fails.
Result<Node> NodeById(Volume* volume, uint32_t id);
// A folder of an ID; dirNFErr when there is none.
Result<Node> FolderById(Volume* volume, uint32_t id);
// An entry of a folder by its Linux leaf (sidecars are not entries).
Result<Node> ChildByLinuxName(const Node& folder, const std::string& leaf);
// An entry of a folder by its toolbox name, full or shortened ("name#ID.ext").
Result<Node> ChildByToolboxName(const Node& folder, std::string_view macRoman);
uint32_t ParentId(const Node& node);  // 1 for a root
Result<Node> ParentOf(const Node& node);

// What a (volume, folder ID, partial path) designates: the folder it ends in and the leaf,
// with the item when it exists.
struct Resolved {
  Node parent;           // meaningless when `node` is a volume's root
  std::string leaf;      // the Linux leaf asked for
  std::string specName;  // the toolbox name as given
  std::optional<Node> node;
};
Result<Resolved> Resolve(SInt16 vRefNum, SInt32 dirID, ConstStr255Param name);
Result<Node> NodeForSpec(const FSSpec* spec);
Result<Node> NodeForRef(const FSRef* ref);

void MakeRef(const Node& node, FSRef* ref);
OSErr MakeSpec(const Node& node, FSSpec* spec);
std::string SpecName(const Node& node);

// Keeps the ID map right after the toolbox renamed or moved an item.
void NotePathChange(Volume* volume, const std::string& from, const std::string& to);

// Locks: a file without write bits; anything else by its sidecar's file info.
bool IsLocked(const Node& node);

}  // namespace tb::files
