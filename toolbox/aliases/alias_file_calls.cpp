// Resolving alias files and symbolic links in place.
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include "toolbox/aliases/alias_file.h"
#include "toolbox/aliases/alias_record.h"
#include "toolbox/core/memory.h"
#include "toolbox/files/catalog.h"
#include "toolbox/files/guard.h"
#include "toolbox/files/sidecar.h"
#include "toolbox/resources/resource_map.h"

using namespace tb::aliases;

namespace {

enum class Kind { plain, aliasFile, symlink };

// Larger forks are not alias files.
constexpr long kLargestAliasFork = 1 << 20;

struct Item {
  Kind kind = Kind::plain;
  bool isFolder = false;
  std::string path;
};

OSErr Classify(const FSSpec& spec, Item* item) {
  return tb::files::Guarded([&]() -> OSErr {
    auto node = tb::files::NodeForSpec(&spec);
    if (!node) return node.error();
    item->isFolder = node->isFolder();
    item->path = node->path;
    item->kind = Kind::plain;
    if (S_ISLNK(node->st.st_mode)) {
      item->kind = Kind::symlink;
    } else if (S_ISREG(node->st.st_mode)) {
      auto summary = tb::files::ReadSidecarSummary(node->path);
      UInt16 flags = static_cast<UInt16>((summary.finderInfo[8] << 8) | summary.finderInfo[9]);
      if (flags & kIsAlias) item->kind = Kind::aliasFile;
    }
    return noErr;
  });
}

OSErr SpecForPath(const std::string& path, FSSpec* spec) {
  FSRef ref;
  OSErr err = FSPathMakeRef(reinterpret_cast<const UInt8*>(path.c_str()), &ref, nullptr);
  if (err != noErr) return err == dirNFErr ? OSErr{fnfErr} : err;
  return FSGetCatalogInfo(&ref, kFSCatInfoNone, nullptr, nullptr, spec, nullptr);
}

// A link's target, relative links taken from the link's folder; a dangling link is fnfErr.
OSErr FollowLink(const std::string& linkPath, FSSpec* next) {
  char buffer[PATH_MAX];
  ssize_t n = readlink(linkPath.c_str(), buffer, sizeof buffer - 1);
  if (n <= 0) return fnfErr;
  std::string target(buffer, static_cast<size_t>(n));
  if (target.front() != '/') {
    auto slash = linkPath.rfind('/');
    target = (slash == 0 ? std::string("/") : linkPath.substr(0, slash + 1)) + target;
  }
  return SpecForPath(target, next);
}

OSErr FollowAliasFile(const FSSpec& aliasFile, FSSpec* next) {
  std::vector<uint8_t> bytes;
  if (OSErr err = ReadAliasResource(aliasFile, &bytes); err != noErr) return err;
  Handle h = tb::NewHandleWith(bytes.data(), static_cast<Size>(bytes.size()));
  if (!h) return memFullErr;
  Boolean changed = false;
  OSErr err = ResolveAlias(&aliasFile, reinterpret_cast<AliasHandle>(h), next, &changed);
  DisposeHandle(h);
  return err;
}

}  // namespace

namespace tb::aliases {

OSErr ReadAliasResource(const FSSpec& aliasFile, std::vector<uint8_t>* bytes) {
  SInt16 refNum = 0;
  OSErr err = FSpOpenRF(&aliasFile, fsRdPerm, &refNum);
  if (err != noErr) return err == errFSForkNotFound ? OSErr{resNotFound} : err;
  long size = 0;
  err = GetEOF(refNum, &size);
  std::vector<uint8_t> fork;
  if (err == noErr && (size <= 0 || size > kLargestAliasFork)) err = mapReadErr;
  if (err == noErr) {
    fork.resize(static_cast<size_t>(size));
    long count = size;
    err = FSRead(refNum, &count, fork.data());
    if (err == eofErr || (err == noErr && count != size)) err = count == size ? noErr : mapReadErr;
  }
  FSClose(refNum);
  if (err != noErr) return err;
  resources::ResourceMap map;
  if (err = resources::ParseResourceFork(fork, &map); err != noErr) return err;
  for (auto& type : map.types) {
    if (type.type != kAliasResourceType) continue;
    for (auto& res : type.resources) {
      if (res.id != 0) continue;
      *bytes = std::move(res.data);
      return noErr;
    }
  }
  return resNotFound;
}

}  // namespace tb::aliases

OSErr ResolveAliasFileWithMountFlags(FSSpec* theSpec, Boolean resolveAliasChains,
                                     Boolean* targetIsFolder, Boolean* wasAliased,
                                     unsigned long /*mountFlags*/) {
  if (!theSpec || !targetIsFolder || !wasAliased) return paramErr;
  // On failure the flags still say something defined: an alias file or link that cannot be
  // resolved is aliased, and no folder.
  *targetIsFolder = false;
  *wasAliased = false;
  FSSpec current = *theSpec;
  bool aliased = false;
  Item item;
  for (int steps = 0;; ++steps) {
    if (OSErr err = Classify(current, &item); err != noErr) return err;
    if (steps == 0) *wasAliased = item.kind != Kind::plain;
    if (item.kind == Kind::plain || (aliased && !resolveAliasChains)) break;
    if (steps == kChainLimit) return fnfErr;  // a loop, or a chain too long to be meant
    FSSpec next{};
    OSErr err =
        item.kind == Kind::symlink ? FollowLink(item.path, &next) : FollowAliasFile(current, &next);
    if (err != noErr) return err;
    current = next;
    aliased = true;
  }
  *theSpec = current;
  *targetIsFolder = item.isFolder;
  *wasAliased = aliased;
  return noErr;
}

OSErr ResolveAliasFile(FSSpec* theSpec, Boolean resolveAliasChains, Boolean* targetIsFolder,
                       Boolean* wasAliased) {
  return ResolveAliasFileWithMountFlags(theSpec, resolveAliasChains, targetIsFolder, wasAliased,
                                        kResolveAliasFileNoUI);
}

OSErr ResolveAliasFileWithMountFlagsNoUI(FSSpec* theSpec, Boolean resolveAliasChains,
                                         Boolean* targetIsFolder, Boolean* wasAliased,
                                         unsigned long mountFlags) {
  return ResolveAliasFileWithMountFlags(theSpec, resolveAliasChains, targetIsFolder, wasAliased,
                                        mountFlags);
}

OSErr FSResolveAliasFileWithMountFlags(FSRef* theRef, Boolean resolveAliasChains,
                                       Boolean* targetIsFolder, Boolean* wasAliased,
                                       unsigned long mountFlags) {
  if (!theRef) return paramErr;
  FSSpec spec;
  OSErr err = FSGetCatalogInfo(theRef, kFSCatInfoNone, nullptr, nullptr, &spec, nullptr);
  if (err != noErr) return err;
  err = ResolveAliasFileWithMountFlags(&spec, resolveAliasChains, targetIsFolder, wasAliased,
                                       mountFlags);
  if (err != noErr) return err;
  return FSpMakeFSRef(&spec, theRef);
}

OSErr FSResolveAliasFile(FSRef* theRef, Boolean resolveAliasChains, Boolean* targetIsFolder,
                         Boolean* wasAliased) {
  return FSResolveAliasFileWithMountFlags(theRef, resolveAliasChains, targetIsFolder, wasAliased,
                                          kResolveAliasFileNoUI);
}
