// Making FSSpec and FSRef records, and paths.
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstring>

#include "toolbox/core/pascal.h"
#include "toolbox/files/catalog.h"
#include "toolbox/files/guard.h"
#include "toolbox/files/names.h"

using namespace tb::files;

OSErr FSMakeFSSpec(SInt16 vRefNum, SInt32 dirID, ConstStr255Param fileName, FSSpec* spec) {
  if (!spec) return paramErr;
  return Guarded([&]() -> OSErr {
    auto resolved = Resolve(vRefNum, dirID, fileName);
    if (!resolved) return resolved.error();
    if (resolved->node) return MakeSpec(*resolved->node, spec);
    spec->vRefNum = resolved->parent.volume->vRefNum;
    spec->parID = static_cast<SInt32>(resolved->parent.id);
    tb::SetPascal(spec->name, sizeof spec->name, resolved->specName);
    return fnfErr;
  });
}

OSErr FSpMakeFSRef(const FSSpec* source, FSRef* newRef) {
  if (!source || !newRef) return paramErr;
  return Guarded([&]() -> OSErr {
    auto node = NodeForSpec(source);
    if (!node) return node.error();
    MakeRef(*node, newRef);
    return noErr;
  });
}

OSErr FSMakeFSRefUnicode(const FSRef* parentRef, UniCharCount nameLength, const UniChar* name,
                         TextEncoding textEncodingHint, FSRef* newRef) {
  if (!parentRef || !newRef || (nameLength && !name) || nameLength > 255) return paramErr;
  return Guarded([&]() -> OSErr {
    auto parent = NodeForRef(parentRef);
    if (!parent) return parent.error();
    if (!parent->isFolder()) return errFSNotAFolder;
    auto leaf = LinuxNameFromUnicode(
        std::u16string_view(reinterpret_cast<const char16_t*>(name), nameLength));
    if (!leaf) return nameLength == 0 ? errFSBadFSRef : bdNamErr;
    auto node = ChildByLinuxName(*parent, *leaf);
    if (!node) return node.error();
    MakeRef(*node, newRef);
    return noErr;
  });
}

OSErr FSCompareFSRefs(const FSRef* ref1, const FSRef* ref2) {
  if (!ref1 || !ref2) return paramErr;
  return Guarded([&]() -> OSErr {
    auto a = NodeForRef(ref1);
    if (!a) return a.error();
    auto b = NodeForRef(ref2);
    if (!b) return b.error();
    if (a->volume != b->volume) return diffVolErr;
    return a->id == b->id ? noErr : errFSRefsDifferent;
  });
}

OSStatus FSRefMakePath(const FSRef* ref, UInt8* path, UInt32 maxPathSize) {
  if (!ref || !path || maxPathSize == 0) return paramErr;
  return Guarded([&]() -> OSErr {
    auto node = NodeForRef(ref);
    if (!node) return node.error();
    if (node->path.size() + 1 > maxPathSize) return pathTooLongErr;
    std::memcpy(path, node->path.c_str(), node->path.size() + 1);
    return noErr;
  });
}

OSStatus FSPathMakeRef(const UInt8* path, FSRef* ref, Boolean* isDirectory) {
  if (!path || !ref) return paramErr;
  return Guarded([&]() -> OSErr {
    std::string text(reinterpret_cast<const char*>(path));
    if (text.empty()) return fnfErr;
    if (text[0] != '/') {
      char cwd[PATH_MAX];
      if (!getcwd(cwd, sizeof cwd)) return ioErr;
      text = JoinPath(cwd, text);
    }
    while (text.size() > 1 && text.back() == '/') text.pop_back();
    // Resolve the folders on the way, not the leaf: a symbolic link is an item of its own.
    std::string resolved;
    auto slash = text.rfind('/');
    std::string parent = slash == 0 ? "/" : text.substr(0, slash);
    std::string leaf = text.substr(slash + 1);
    char buffer[PATH_MAX];
    if (!realpath(parent.c_str(), buffer)) return errno == ENOENT ? fnfErr : dirNFErr;
    if (leaf.empty()) {
      resolved = buffer;
    } else if (leaf == "." || leaf == "..") {
      if (!realpath(text.c_str(), buffer)) return fnfErr;
      resolved = buffer;
    } else {
      resolved = JoinPath(buffer, leaf);
    }
    auto node = NodeAtPath(resolved);
    if (!node) return node.error();
    MakeRef(*node, ref);
    if (isDirectory) *isDirectory = node->isFolder();
    return noErr;
  });
}
