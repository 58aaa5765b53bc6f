// Live plug-in instances, counted per factory, so that a bundle's code stays loaded under them.
#pragma once

#include "toolbox/cf/base.h"

namespace tb {
// The instances of a factory added and not yet removed.
CFIndex PlugInInstanceCount(CFUUIDRef factoryID);
// True while any factory the bundle declares has live instances.
bool BundleHasLiveInstances(CFBundleRef bundle);
}  // namespace tb
