// CFPlugIn: bundles whose factories (declared in Info.plist) create instances of plug-in types.
#pragma once

#include "toolbox/cf/array.h"
#include "toolbox/cf/base.h"
#include "toolbox/cf/uuid.h"

typedef void* (*CFPlugInFactoryFunction)(CFAllocatorRef allocator, CFUUIDRef typeUUID);

// The plug-in is its bundle (caller releases); NULL when the directory does not exist.
CFPlugInRef CFPlugInCreate(CFAllocatorRef allocator, CFURLRef plugInURL);
CFBundleRef CFPlugInGetBundle(CFPlugInRef plugIn);

// New arrays (caller releases) of factory UUIDs that create the type: from CFPlugInTypes, kept
// only when CFPlugInFactories names the factory's function.
CFArrayRef CFPlugInFindFactoriesForPlugInTypeInPlugIn(CFUUIDRef typeUUID, CFPlugInRef plugIn);
// Over every plug-in created so far.
CFArrayRef CFPlugInFindFactoriesForPlugInType(CFUUIDRef typeUUID);

// Loads the plug-in that declares the factory and calls its factory function; NULL when none
// declares it for this type or its code cannot be loaded.
void* CFPlugInInstanceCreate(CFAllocatorRef allocator, CFUUIDRef factoryUUID, CFUUIDRef typeUUID);

// Factories call these as instances are made and freed.
void CFPlugInAddInstanceForFactory(CFUUIDRef factoryID);
void CFPlugInRemoveInstanceForFactory(CFUUIDRef factoryID);
