// The plug-in instance the host holds, and the operations of its interface table.
#pragma once

#include "toolbox/cf/bundle.h"
#include "toolbox/cmm/contextual_menu_plugin.h"

// The product's factory, named in the bundle's Info.plist.
#define kVantorelFactoryID                                                                       \
  (CFUUIDGetConstantUUIDWithBytes(nullptr, 0x85, 0x83, 0xE6, 0x8E, 0xCC, 0xFA, 0x49, 0x29, 0x8B, \
                                  0xC7, 0x70, 0x62, 0x3B, 0xD4, 0x7D, 0xE8))

// The interface pointer handed to the host is a pointer to this record, so the table pointer
// must come first.
struct PluginInstance {
  ContextualMenuInterfaceStruct* interfaceTable;
  CFUUIDRef factoryID;
  UInt32 refCount;
  CFBundleRef bundle;
};

extern ContextualMenuInterfaceStruct gInterfaceTable;

extern "C" __attribute__((visibility("default"))) void* AbstractCMPluginFactory(
    CFAllocatorRef allocator, CFUUIDRef typeID);

HRESULT QueryInterface(void* thisInstance, REFIID iid, LPVOID* ppv);
ULONG AddRef(void* thisInstance);
ULONG Release(void* thisInstance);
OSStatus HandleSelection(void* thisInstance, AEDesc* inContext, SInt32 inCommandID);
