#include "desktop/script/item_paths.h"

#include <string>

#include "toolbox/core/errors.h"

namespace desktop::script {

bool SpecForPath(const std::filesystem::path& path, FSSpec* spec) {
  std::error_code error;
  std::string absolute = std::filesystem::absolute(path, error).lexically_normal().string();
  if (error) return false;
  if (absolute.size() > 1 && absolute.back() == '/') absolute.pop_back();
  FSRef ref;
  return FSPathMakeRef(reinterpret_cast<const UInt8*>(absolute.c_str()), &ref, nullptr) == noErr &&
         FSGetCatalogInfo(&ref, kFSCatInfoNone, nullptr, nullptr, spec, nullptr) == noErr;
}

}  // namespace desktop::script
