#include <dlfcn.h>

#include "toolbox/cf/bundle.h"
#include "toolbox/cf/bundle_info.h"
#include "toolbox/cf/bundle_object.h"
#include "toolbox/cf/plugin_instances.h"
#include "toolbox/cf/string.h"
#include "toolbox/cf/url.h"

namespace {

// Contents/MacOS/<CFBundleExecutable>, or nothing when the name is missing or not a plain name.
std::optional<std::filesystem::path> ExecutablePath(CFBundleRef bundle) {
  std::optional<std::string> name = tb::BundleInfoString(bundle, "CFBundleExecutable");
  if (!name || name->empty() || *name == "." || *name == ".." ||
      name->find_first_of(std::string_view("/\0", 2)) != std::string::npos) {
    return std::nullopt;
  }
  return tb::BundleDirectory(bundle) / "Contents" / "MacOS" / *name;
}

}  // namespace

CFURLRef CFBundleCopyExecutableURL(CFBundleRef bundle) {
  std::optional<std::filesystem::path> path = ExecutablePath(bundle);
  return path ? tb::CFURLFromPath(*path, false) : nullptr;
}

Boolean CFBundleLoadExecutable(CFBundleRef bundle) {
  __CFBundle* b = tb::cf::AsBundle(bundle);
  if (!b) return false;
  if (b->handle) return true;
  std::optional<std::filesystem::path> path = ExecutablePath(bundle);
  if (!path) return false;
  b->handle = dlopen(path->c_str(), RTLD_NOW | RTLD_LOCAL);
  return b->handle != nullptr;
}

Boolean CFBundleIsExecutableLoaded(CFBundleRef bundle) {
  const __CFBundle* b = tb::cf::AsBundle(bundle);
  return b && b->handle;
}

void* CFBundleGetFunctionPointerForName(CFBundleRef bundle, CFStringRef functionName) {
  if (!functionName || !CFBundleLoadExecutable(bundle)) return nullptr;
  std::string name = tb::Utf8FromCFString(functionName);
  if (name.empty()) return nullptr;
  return dlsym(tb::cf::AsBundle(bundle)->handle, name.c_str());
}

void CFBundleUnloadExecutable(CFBundleRef bundle) {
  __CFBundle* b = tb::cf::AsBundle(bundle);
  if (!b || !b->handle || tb::BundleHasLiveInstances(bundle)) return;
  dlclose(b->handle);
  b->handle = nullptr;
}
