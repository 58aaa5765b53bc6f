// Folder Manager: the standard folders of the system disk.
#include <sys/stat.h>

#include <cerrno>
#include <string>

#include "toolbox/files/catalog.h"
#include "toolbox/files/guard.h"
#include "toolbox/files/posix.h"

using namespace tb::files;

namespace {

// The folder of a type, relative to the system disk's root; empty when unknown.
std::string FolderFor(SInt16 domain, OSType type) {
  std::string user = "Users/" + LoginName();
  bool userDomain = domain == kUserDomain;
  switch (type) {
    case kPreferencesFolderType:
      return user + "/Library/Preferences";
    case kUsersFolderType:
      return "Users";
    case kApplicationsFolderType:
      return userDomain ? user + "/Applications" : "Applications";
    case kCurrentUserFolderType:
      return user;
    case kDesktopFolderType:
      return user + "/Desktop";
    case kDomainLibraryFolderType:
      return userDomain ? user + "/Library" : "Library";
    case kContextualMenuItemsFolderType:
      return userDomain ? user + "/Library/Contextual Menu Items" : "Library/Contextual Menu Items";
    default:
      return {};
  }
}

OSErr Find(SInt16 vRefNum, OSType type, Boolean create, Node* found) {
  Volume* disk = SystemDisk();
  bool known = vRefNum == kOnSystemDisk || vRefNum == kUserDomain || vRefNum == kLocalDomain ||
               vRefNum == kSystemDomain || vRefNum == disk->vRefNum || vRefNum == 0;
  if (!known) return nsvErr;
  std::string relative = FolderFor(vRefNum, type);
  if (relative.empty()) return fnfErr;
  std::string path = disk->root;
  size_t start = 0;
  while (start <= relative.size()) {
    size_t slash = relative.find('/', start);
    path = JoinPath(path, relative.substr(start, slash - start));
    struct stat st;
    if (lstat(path.c_str(), &st) != 0) {
      if (!create) return fnfErr;
      if (mkdir(path.c_str(), 0777) != 0 && errno != EEXIST) return ErrorFromErrno(errno);
    } else if (!S_ISDIR(st.st_mode)) {
      return dirNFErr;
    }
    if (slash == std::string::npos) break;
    start = slash + 1;
  }
  auto node = NodeAtPath(path);
  if (!node) return node.error();
  *found = std::move(*node);
  return noErr;
}

}  // namespace

OSErr FindFolder(SInt16 vRefNum, OSType folderType, Boolean createFolder, SInt16* foundVRefNum,
                 SInt32* foundDirID) {
  if (!foundVRefNum || !foundDirID) return paramErr;
  return Guarded([&]() -> OSErr {
    Node node;
    if (OSErr err = Find(vRefNum, folderType, createFolder, &node); err != noErr) return err;
    *foundVRefNum = node.volume->vRefNum;
    *foundDirID = static_cast<SInt32>(node.id);
    return noErr;
  });
}

OSErr FSFindFolder(SInt16 vRefNum, OSType folderType, Boolean createFolder, FSRef* foundRef) {
  if (!foundRef) return paramErr;
  return Guarded([&]() -> OSErr {
    Node node;
    if (OSErr err = Find(vRefNum, folderType, createFolder, &node); err != noErr) return err;
    MakeRef(node, foundRef);
    return noErr;
  });
}
