// Item facts and the flags derived from them.
#include "toolbox/launch/item_facts.h"

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstring>

namespace tb::launch {

namespace {

// The Finder flags sit at offset 8 of both FInfo and DInfo.
UInt16 FinderFlagsOf(const FSCatalogInfo& info) {
  UInt16 flags;
  std::memcpy(&flags, info.finderInfo + 8, sizeof flags);
  return flags;
}

bool IEqualsAscii(std::u16string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char16_t c = a[i];
    if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    char d = b[i];
    if (d >= 'A' && d <= 'Z') d = static_cast<char>(d - 'A' + 'a');
    if (c != static_cast<char16_t>(d)) return false;
  }
  return true;
}

}  // namespace

OSErr ReadFacts(const FSRef* ref, ItemFacts* out) {
  if (!ref || !out) return paramErr;
  FSCatalogInfo info{};
  HFSUniStr255 name{};
  OSErr err = FSGetCatalogInfo(
      ref, kFSCatInfoNodeFlags | kFSCatInfoNodeID | kFSCatInfoParentDirID | kFSCatInfoFinderInfo,
      &info, &name, nullptr, nullptr);
  if (err != noErr) return err;
  *out = ItemFacts{};
  out->name.assign(reinterpret_cast<const char16_t*>(name.unicode), name.length);
  out->isFolder = (info.nodeFlags & kFSNodeIsDirectoryMask) != 0;
  out->isVolume = info.nodeID == fsRtDirID;
  out->finderFlags = out->isVolume ? 0 : FinderFlagsOf(info);
  if (!out->isFolder) {
    FInfo finfo;
    std::memcpy(&finfo, info.finderInfo, sizeof finfo);
    out->type = finfo.fdType;
    out->creator = finfo.fdCreator;
  }
  std::array<UInt8, PATH_MAX> path{};
  if (FSRefMakePath(ref, path.data(), path.size()) == noErr) {
    out->path = reinterpret_cast<const char*>(path.data());
    struct stat st;
    out->isSymlink = lstat(out->path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
  }
  return noErr;
}

std::u16string_view ExtensionOf(std::u16string_view name) {
  size_t dot = name.rfind(u'.');
  if (dot == std::u16string_view::npos || dot == 0 || dot + 1 == name.size()) return {};
  std::u16string_view ext = name.substr(dot + 1);
  if (ext.find_first_of(u" /") != std::u16string_view::npos) return {};
  return ext;
}

bool IsBundleExtension(std::u16string_view extension) {
  static constexpr std::string_view kBundles[] = {
      "app",        "bundle", "plugin", "framework",   "kext",     "pkg",    "mpkg",
      "component",  "wdgt",   "rtfd",   "qlgenerator", "prefPane", "saver",  "service",
      "mdimporter", "xpc",    "appex",  "menu",        "docset",   "action", "workflow"};
  return std::any_of(std::begin(kBundles), std::end(kBundles),
                     [&](std::string_view b) { return IEqualsAscii(extension, b); });
}

LSItemInfoFlags FlagsOf(const ItemFacts& item) {
  LSItemInfoFlags flags = 0;
  if (item.isVolume) return kLSItemInfoIsContainer | kLSItemInfoIsVolume;
  std::u16string_view ext = ExtensionOf(item.name);
  if (item.isFolder) {
    flags |= kLSItemInfoIsContainer;
    if (IsBundleExtension(ext) || (item.finderFlags & kHasBundle)) flags |= kLSItemInfoIsPackage;
    if ((flags & kLSItemInfoIsPackage) && IEqualsAscii(ext, "app")) {
      flags |= kLSItemInfoIsApplication | kLSItemInfoIsNativeApp;
    }
  } else {
    flags |= kLSItemInfoIsPlainFile;
    if (item.finderFlags & kIsAlias) flags |= kLSItemInfoIsAliasFile;
    if (item.type == 'APPL') flags |= kLSItemInfoIsApplication | kLSItemInfoIsNativeApp;
  }
  if (item.isSymlink) flags |= kLSItemInfoIsSymlink;
  if ((item.finderFlags & kIsInvisible) || (!item.name.empty() && item.name[0] == u'.')) {
    flags |= kLSItemInfoIsInvisible;
  }
  if (item.finderFlags & kExtensionHidden) flags |= kLSItemInfoExtensionIsHidden;
  return flags;
}

}  // namespace tb::launch
