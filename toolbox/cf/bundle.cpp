#include "toolbox/cf/bundle.h"

#include <dlfcn.h>

#include <fstream>
#include <mutex>
#include <vector>

#include "toolbox/cf/bundle_info.h"
#include "toolbox/cf/bundle_object.h"
#include "toolbox/cf/string.h"
#include "toolbox/cf/url.h"

namespace {

constexpr std::uintmax_t kMaxInfoPlistSize = 8 << 20;

struct Registry {
  std::mutex lock;
  std::vector<__CFBundle*> bundles;  // each holds one reference kept for the process's life
};

Registry& TheRegistry() {
  static auto* registry = new Registry();
  return *registry;
}

// Info.plist's top-level dictionary, or null when the file is missing, too large or damaged.
PlistOwner ReadInfo(const std::filesystem::path& directory) {
  std::filesystem::path file = directory / "Contents" / "Info.plist";
  std::error_code ec;
  std::uintmax_t size = std::filesystem::file_size(file, ec);
  if (ec || size == 0 || size > kMaxInfoPlistSize) return nullptr;
  std::ifstream in(file, std::ios::binary);
  std::string bytes(size, '\0');
  if (!in.read(bytes.data(), static_cast<std::streamsize>(size))) return nullptr;
  plist_t root = nullptr;
  plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
  PlistOwner owner(root);
  if (!root || plist_get_node_type(root) != PLIST_DICT) return nullptr;
  return owner;
}

}  // namespace

__CFBundle::__CFBundle(std::filesystem::path dir, PlistOwner infoDict)
    : Object(tb::cf::kBundleTypeID), directory(std::move(dir)), info(std::move(infoDict)) {
  if (auto id = tb::BundleInfoString(this, "CFBundleIdentifier")) {
    identifier = tb::CFStringFromUtf8(*id);
  }
}

__CFBundle::~__CFBundle() {
  CFRelease(identifier);
  if (handle) dlclose(handle);
}

namespace tb {

std::filesystem::path BundleDirectory(CFBundleRef bundle) {
  const __CFBundle* b = cf::AsBundle(bundle);
  return b ? b->directory : std::filesystem::path();
}

std::filesystem::path BundleResourcesDirectory(CFBundleRef bundle) {
  const __CFBundle* b = cf::AsBundle(bundle);
  return b ? b->directory / "Contents" / "Resources" : std::filesystem::path();
}

plist_t BundleInfoValue(CFBundleRef bundle, std::string_view key) {
  const __CFBundle* b = cf::AsBundle(bundle);
  if (!b || !b->info) return nullptr;
  return plist_dict_get_item(b->info.get(), std::string(key).c_str());
}

std::optional<std::string> BundleInfoString(CFBundleRef bundle, std::string_view key) {
  plist_t value = BundleInfoValue(bundle, key);
  if (!value || plist_get_node_type(value) != PLIST_STRING) return std::nullopt;
  uint64_t length = 0;
  const char* text = plist_get_string_ptr(value, &length);
  if (!text) return std::nullopt;
  return std::string(text, length);
}

std::vector<CFBundleRef> AllBundles() {
  Registry& registry = TheRegistry();
  std::lock_guard guard(registry.lock);
  return {registry.bundles.begin(), registry.bundles.end()};
}

}  // namespace tb

CFTypeID CFBundleGetTypeID(void) {
  return tb::cf::kBundleTypeID;
}

CFBundleRef CFBundleCreate(CFAllocatorRef, CFURLRef bundleURL) {
  std::filesystem::path path = tb::URLPath(bundleURL);
  std::error_code ec;
  if (path.empty() || !std::filesystem::is_directory(path, ec)) return nullptr;
  path = std::filesystem::weakly_canonical(path, ec);
  if (ec) return nullptr;

  Registry& registry = TheRegistry();
  std::lock_guard guard(registry.lock);
  for (__CFBundle* b : registry.bundles) {
    if (b->directory == path) {
      b->retain();
      return b;
    }
  }
  auto* bundle = new __CFBundle(path, ReadInfo(path));
  registry.bundles.push_back(bundle);
  bundle->retain();  // the caller's reference; the registry keeps the first
  return bundle;
}

CFBundleRef CFBundleGetBundleWithIdentifier(CFStringRef bundleID) {
  if (!bundleID) return nullptr;
  for (CFBundleRef b : tb::AllBundles()) {
    if (CFStringRef id = tb::cf::AsBundle(b)->identifier; id && CFEqual(id, bundleID)) return b;
  }
  return nullptr;
}

CFStringRef CFBundleGetIdentifier(CFBundleRef bundle) {
  const __CFBundle* b = tb::cf::AsBundle(bundle);
  return b ? b->identifier : nullptr;
}

CFURLRef CFBundleCopyBundleURL(CFBundleRef bundle) {
  const __CFBundle* b = tb::cf::AsBundle(bundle);
  return b ? tb::CFURLFromPath(b->directory, true) : nullptr;
}

CFURLRef CFBundleCopyResourcesDirectoryURL(CFBundleRef bundle) {
  const __CFBundle* b = tb::cf::AsBundle(bundle);
  return b ? tb::CFURLFromPath(tb::BundleResourcesDirectory(bundle), true) : nullptr;
}
