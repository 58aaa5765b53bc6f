#include "toolbox/resources/bundle_resource_map.h"

#include "toolbox/cf/bundle_info.h"
#include "toolbox/resources/open_files.h"
#include "toolbox/resources/resource_open.h"

CFBundleRefNum CFBundleOpenBundleResourceMap(CFBundleRef bundle) {
  if (!bundle) {
    tb::resources::SetResError(paramErr);
    return -1;
  }
  // Named after the executable, else after the bundle folder.
  std::string name = tb::BundleInfoString(bundle, "CFBundleExecutable")
                         .value_or(tb::BundleDirectory(bundle).stem().string());
  auto file = tb::BundleLocalizedResource(bundle, name + ".rsrc");
  if (!file) {
    tb::resources::SetResError(resFNotFound);
    return -1;
  }
  return tb::resources::OpenResFileAtPath(*file, fsRdPerm);
}

void CFBundleCloseBundleResourceMap(CFBundleRef bundle, CFBundleRefNum refNum) {
  CloseResFile(refNum);
}
