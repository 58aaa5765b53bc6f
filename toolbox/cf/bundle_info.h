// What the toolbox's own code reads from a bundle: Info.plist values and resource locations.
#pragma once

#include <plist/plist.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "toolbox/cf/base.h"

namespace tb {

std::filesystem::path BundleDirectory(CFBundleRef bundle);
// <bundle>/Contents/Resources
std::filesystem::path BundleResourcesDirectory(CFBundleRef bundle);
// A string value of Info.plist's top-level dictionary.
std::optional<std::string> BundleInfoString(CFBundleRef bundle, std::string_view key);
// Any value of Info.plist's top-level dictionary (owned by the bundle; do not free), or null.
plist_t BundleInfoValue(CFBundleRef bundle, std::string_view key);

// Every bundle created so far, in creation order (not retained).
std::vector<CFBundleRef> AllBundles();

// The .lproj names (without the extension) searched for the bundle's localized resources, best
// first: the user's languages, the development region, then English.
std::vector<std::string> LocalizationSearchOrder(CFBundleRef bundle);
// The first localized copy of a resource file in that order, else the unlocalized one.
std::optional<std::filesystem::path> BundleLocalizedResource(CFBundleRef bundle,
                                                             std::string_view fileName);

}  // namespace tb
