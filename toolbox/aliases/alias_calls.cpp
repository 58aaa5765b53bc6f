// Making, resolving and reading alias records.
#include <cstring>

#include "toolbox/aliases/alias_record.h"
#include "toolbox/aliases/alias_target.h"
#include "toolbox/aliases/resolve.h"
#include "toolbox/core/memory.h"
#include "toolbox/core/pascal.h"
#include "toolbox/files/guard.h"

using namespace tb::aliases;
using tb::files::Guarded;
using tb::files::Node;

namespace {

// The file a record is relative to; one that cannot be found makes the record absolute.
std::optional<Node> FromNode(const FSSpec* spec) {
  if (!spec) return std::nullopt;
  auto node = tb::files::NodeForSpec(spec);
  if (!node) return std::nullopt;
  return std::move(*node);
}
std::optional<Node> FromNode(const FSRef* ref) {
  if (!ref) return std::nullopt;
  auto node = tb::files::NodeForRef(ref);
  if (!node) return std::nullopt;
  return std::move(*node);
}

template <typename Target, typename From>
OSErr MakeAlias(const From* fromFile, const Target* target, Detail detail, AliasHandle* alias) {
  if (!target || !alias) return paramErr;
  *alias = nullptr;
  return Guarded([&]() -> OSErr {
    tb::files::Result<Node> node = OSErr{paramErr};
    if constexpr (std::is_same_v<Target, FSSpec>) {
      node = tb::files::NodeForSpec(target);
    } else {
      node = tb::files::NodeForRef(target);
    }
    if (!node) return node.error();
    auto from = FromNode(fromFile);
    AliasData data;
    if (OSErr err = DescribeItem(*node, from ? &*from : nullptr, detail, &data); err != noErr) {
      return err;
    }
    return NewAliasHandle(SerializeAliasRecord(data), alias);
  });
}

// What tells that a record no longer says where its item is.
bool Moved(const AliasData& a, const AliasData& b) {
  return a.kind != b.kind || a.volumeName != b.volumeName || a.parentId != b.parentId ||
         a.name != b.name || a.fileId != b.fileId || a.posixPath != b.posixPath ||
         a.mountPoint != b.mountPoint || a.unicodeName != b.unicodeName;
}

// Finds the record's item and brings the record up to date when the item moved.
template <typename From>
OSErr ResolveToNode(const From* fromFile, AliasHandle alias, Node* out, Boolean* wasChanged,
                    FSSpec* missing) {
  if (!alias) return paramErr;
  if (wasChanged) *wasChanged = false;
  AliasData record;
  if (OSErr err = ReadAliasHandle(alias, &record); err != noErr) return err;
  auto from = FromNode(fromFile);
  Search search = FindTarget(record, from ? &*from : nullptr);
  if (!search.found) {
    if (missing && search.parent) {
      missing->vRefNum = search.parent->volume->vRefNum;
      missing->parID = static_cast<SInt32>(search.parent->id);
      tb::SetPascal(missing->name, sizeof missing->name, record.name);
    }
    return search.error;
  }
  AliasData fresh;
  // Keep the record's level of detail: a minimal one has no toolbox path.
  Detail detail = record.absolutePath ? Detail::full : Detail::minimal;
  if (DescribeItem(*search.found, from ? &*from : nullptr, detail, &fresh) == noErr &&
      Moved(record, fresh)) {
    fresh.userType = record.userType;
    if (OSErr err = WriteAliasHandle(alias, SerializeAliasRecord(fresh)); err != noErr) {
      return err;
    }
    if (wasChanged) *wasChanged = true;
  }
  *out = std::move(*search.found);
  return noErr;
}

}  // namespace

OSErr NewAlias(const FSSpec* fromFile, const FSSpec* target, AliasHandle* alias) {
  return MakeAlias(fromFile, target, Detail::full, alias);
}

OSErr NewAliasMinimal(const FSSpec* target, AliasHandle* alias) {
  return MakeAlias(static_cast<const FSSpec*>(nullptr), target, Detail::minimal, alias);
}

OSErr FSNewAlias(const FSRef* fromFile, const FSRef* target, AliasHandle* alias) {
  return MakeAlias(fromFile, target, Detail::full, alias);
}

OSErr FSNewAliasMinimal(const FSRef* target, AliasHandle* alias) {
  return MakeAlias(static_cast<const FSRef*>(nullptr), target, Detail::minimal, alias);
}

OSErr ResolveAliasWithMountFlags(const FSSpec* fromFile, AliasHandle alias, FSSpec* target,
                                 Boolean* wasChanged, unsigned long /*mountFlags*/) {
  if (!target || !wasChanged) return paramErr;
  return Guarded([&]() -> OSErr {
    Node node;
    if (OSErr err = ResolveToNode(fromFile, alias, &node, wasChanged, target); err != noErr) {
      return err;
    }
    return tb::files::MakeSpec(node, target);
  });
}

OSErr ResolveAlias(const FSSpec* fromFile, AliasHandle alias, FSSpec* target, Boolean* wasChanged) {
  return ResolveAliasWithMountFlags(fromFile, alias, target, wasChanged, 0);
}

OSErr FSResolveAliasWithMountFlags(const FSRef* fromFile, AliasHandle alias, FSRef* target,
                                   Boolean* wasChanged, unsigned long /*mountFlags*/) {
  if (!target || !wasChanged) return paramErr;
  return Guarded([&]() -> OSErr {
    Node node;
    OSErr err = ResolveToNode(fromFile, alias, &node, wasChanged, static_cast<FSSpec*>(nullptr));
    if (err != noErr) return err;
    tb::files::MakeRef(node, target);
    return noErr;
  });
}

OSErr FSResolveAlias(const FSRef* fromFile, AliasHandle alias, FSRef* target, Boolean* wasChanged) {
  return FSResolveAliasWithMountFlags(fromFile, alias, target, wasChanged, 0);
}

OSErr UpdateAlias(const FSSpec* fromFile, const FSSpec* target, AliasHandle alias,
                  Boolean* wasChanged) {
  if (!target || !alias || !*alias || !wasChanged) return paramErr;
  *wasChanged = false;
  AliasHandle fresh = nullptr;
  if (OSErr err = NewAlias(fromFile, target, &fresh); err != noErr) return err;
  auto h = reinterpret_cast<Handle>(alias);
  auto f = reinterpret_cast<Handle>(fresh);
  Size oldSize = GetHandleSize(h);
  Size newSize = GetHandleSize(f);
  // The caller's user type stays.
  if (oldSize >= 4) std::memcpy(*f, *h, 4);
  bool same = oldSize == newSize && std::memcmp(*h, *f, static_cast<size_t>(newSize)) == 0;
  OSErr err = noErr;
  if (!same) {
    SetHandleSize(h, newSize);
    err = MemError();
    if (err == noErr) {
      std::memcpy(*h, *f, static_cast<size_t>(newSize));
      *wasChanged = true;
    }
  }
  DisposeHandle(f);
  return err;
}

OSErr GetAliasInfo(AliasHandle alias, AliasInfoType index, Str63 theString) {
  if (!theString) return paramErr;
  theString[0] = 0;
  AliasData record;
  if (OSErr err = ReadAliasHandle(alias, &record); err != noErr) return err;
  switch (index) {
    case asiZoneName:
    case asiServerName:
      return noErr;  // local volumes only
    case asiVolumeName:
      tb::SetPascal(theString, 28, record.volumeName);
      return noErr;
    case asiAliasName:
      tb::SetPascal(theString, 64, record.name);
      return noErr;
    default:
      break;
  }
  if (index < asiZoneName) return paramErr;
  // Folder names: the parent's is kept on its own; the others come from the toolbox path
  // "Volume:outer:...:parent:name".
  if (index == asiParentName && record.parentName) {
    tb::SetPascal(theString, 64, *record.parentName);
    return noErr;
  }
  if (!record.absolutePath) return noErr;
  std::vector<std::string_view> parts;
  std::string_view path = *record.absolutePath;
  while (!path.empty()) {
    auto colon = path.find(':');
    parts.push_back(path.substr(0, colon));
    if (colon == std::string_view::npos) break;
    path.remove_prefix(colon + 1);
  }
  // parts: volume, folders..., name. Index 1 is the folder holding the item.
  if (static_cast<size_t>(index) + 1 < parts.size()) {
    tb::SetPascal(theString, 64, parts[parts.size() - 1 - static_cast<size_t>(index)]);
  }
  return noErr;
}

OSType GetAliasUserType(AliasHandle alias) {
  if (!alias || !*alias || GetHandleSize(reinterpret_cast<Handle>(alias)) < 4) return 0;
  const auto* b = reinterpret_cast<const uint8_t*>(*alias);
  return (OSType{b[0]} << 24) | (OSType{b[1]} << 16) | (OSType{b[2]} << 8) | b[3];
}

void SetAliasUserType(AliasHandle alias, OSType userType) {
  if (!alias || !*alias || GetHandleSize(reinterpret_cast<Handle>(alias)) < 4) return;
  auto* b = reinterpret_cast<uint8_t*>(*alias);
  for (int i = 0; i < 4; ++i) b[i] = static_cast<uint8_t>(userType >> (24 - 8 * i));
}

Size GetAliasSize(AliasHandle alias) {
  if (!alias || !*alias || GetHandleSize(reinterpret_cast<Handle>(alias)) < 6) return 0;
  const auto* b = reinterpret_cast<const uint8_t*>(*alias);
  return (Size{b[4]} << 8) | b[5];
}
