// A bundle's resource file: Contents/Resources/<executable name>.rsrc, its map in the data fork.
#pragma once

#include "toolbox/cf/base.h"
#include "toolbox/resources/resources.h"

typedef SInt16 CFBundleRefNum;

// Opens the bundle's resource file read-only and makes it the current resource file; -1 when
// the bundle has none (ResError tells why).
CFBundleRefNum CFBundleOpenBundleResourceMap(CFBundleRef bundle);
void CFBundleCloseBundleResourceMap(CFBundleRef bundle, CFBundleRefNum refNum);
