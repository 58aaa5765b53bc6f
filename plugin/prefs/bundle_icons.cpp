#include "plugin/prefs/bundle_icons.h"

#include "plugin/entry/menu_cycle.h"
#include "toolbox/core/memory.h"
#include "toolbox/resources/bundle_resource_map.h"

void RegisterBundleIcon(SInt16 resourceID, OSType iconType, IconRef* icon) {
  SInt16 bundleFile = CFBundleOpenBundleResourceMap(gPluginBundle);
  if (bundleFile == -1) return;
  UseResFile(bundleFile);

  Handle family = Get1Resource('icns', resourceID);
  if (family) {
    HLock(family);
    RegisterIconRefFromIconFamily(kBundleIconCreator, iconType,
                                  reinterpret_cast<IconFamilyHandle>(family), icon);
    HUnlock(family);
  }
  CFBundleCloseBundleResourceMap(gPluginBundle, bundleFile);
}
