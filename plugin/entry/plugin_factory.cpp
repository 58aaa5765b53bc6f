#include "plugin/entry/plugin_instance.h"
#include "toolbox/cf/plugin.h"
#include "toolbox/cf/string.h"
#include "toolbox/core/memory.h"

void* AbstractCMPluginFactory(CFAllocatorRef allocator, CFUUIDRef typeID) {
  if (!CFEqual(typeID, kContextualMenuTypeID)) return nullptr;

  auto* instance = reinterpret_cast<PluginInstance*>(NewPtrClear(sizeof(PluginInstance)));
  if (!instance) return nullptr;  // the host takes NULL as "nothing made"

  instance->interfaceTable = &gInterfaceTable;
  instance->factoryID = static_cast<CFUUIDRef>(CFRetain(kVantorelFactoryID));
  CFPlugInAddInstanceForFactory(instance->factoryID);
  instance->refCount = 1;
  instance->bundle = CFBundleGetBundleWithIdentifier(CFSTR("com.quobrin.vantorel"));
  return instance;
}
