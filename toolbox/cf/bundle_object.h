// The object behind CFBundleRef.
#pragma once

#include <plist/plist.h>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "toolbox/cf/object.h"
#include "toolbox/cf/strings_file.h"

struct PlistFree {
  void operator()(plist_t p) const { plist_free(p); }
};
using PlistOwner = std::unique_ptr<std::remove_pointer_t<plist_t>, PlistFree>;

struct __CFBundle final : tb::cf::Object {
  __CFBundle(std::filesystem::path directory, PlistOwner info);
  ~__CFBundle() override;

  std::filesystem::path directory;
  PlistOwner info;  // the top-level dictionary, or null when Info.plist is missing or damaged
  CFStringRef identifier = nullptr;
  void* handle = nullptr;  // the loaded executable
  // Tables read so far by path; an absent or damaged file is remembered as nothing.
  std::map<std::filesystem::path, std::optional<tb::cf::StringsTable>> tables;
};

namespace tb::cf {
inline __CFBundle* AsBundle(CFTypeRef cf) {
  if (!cf || AsObject(cf)->type() != kBundleTypeID) return nullptr;
  return static_cast<__CFBundle*>(AsMutableObject(cf));
}
}  // namespace tb::cf
