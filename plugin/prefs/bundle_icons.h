// The plug-in's pictures: 'icns' resources of its bundle, registered with Icon Services.
#pragma once

#include "toolbox/icons/icons.h"

enum : OSType { kBundleIconCreator = 'qVRL' };

// Registers 'icns' `resourceID` of the plug-in bundle under creator 'qVRL' and `iconType`, and
// stores its IconRef (which the caller releases) in `icon`; leaves `icon` alone when the bundle
// has no such picture.
void RegisterBundleIcon(SInt16 resourceID, OSType iconType, IconRef* icon);
