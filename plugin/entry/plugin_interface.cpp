#include "plugin/entry/menu_cycle.h"
#include "plugin/entry/plugin_instance.h"
#include "plugin/entry/scoped_cf.h"
#include "toolbox/cf/plugin.h"
#include "toolbox/core/errors.h"
#include "toolbox/core/memory.h"

ContextualMenuInterfaceStruct gInterfaceTable = {
    nullptr, QueryInterface, AddRef, Release, ExamineContext, HandleSelection, PostMenuCleanup,
};

HRESULT QueryInterface(void* thisInstance, REFIID iid, LPVOID* ppv) {
  ScopedCF<CFUUIDRef> interfaceID(CFUUIDCreateFromUUIDBytes(nullptr, iid));
  if (!interfaceID) return E_NOINTERFACE;

  if (CFEqual(interfaceID.get(), kContextualMenuInterfaceID) ||
      CFEqual(interfaceID.get(), IUnknownUUID)) {
    AddRef(thisInstance);
    *ppv = thisInstance;
    return S_OK;
  }
  *ppv = nullptr;
  return E_NOINTERFACE;
}

ULONG AddRef(void* thisInstance) {
  auto* instance = static_cast<PluginInstance*>(thisInstance);
  return ++instance->refCount;
}

ULONG Release(void* thisInstance) {
  auto* instance = static_cast<PluginInstance*>(thisInstance);
  if (--instance->refCount != 0) return instance->refCount;
  if (instance->factoryID) {
    CFPlugInRemoveInstanceForFactory(instance->factoryID);
    CFRelease(instance->factoryID);
  }
  DisposePtr(reinterpret_cast<Ptr>(instance));
  return 0;
}

// Every visible item is carried out by the menu event handler; the host only ever sends the
// hidden placeholder command here.
OSStatus HandleSelection(void* thisInstance, AEDesc* inContext, SInt32 inCommandID) {
  return noErr;
}
