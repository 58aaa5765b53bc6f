// The contextual-menu plug-in interface shared by hosts and plug-ins: the type and interface
// UUIDs and the table of operations a plug-in instance points to.
#pragma once

#include "toolbox/appleevents/descriptors.h"
#include "toolbox/cf/plugin_com.h"
#include "toolbox/cf/uuid.h"

#define kContextualMenuTypeID                                                                    \
  (CFUUIDGetConstantUUIDWithBytes(nullptr, 0x2F, 0x65, 0x22, 0xE9, 0x3E, 0x66, 0x11, 0xD5, 0x80, \
                                  0xA7, 0x00, 0x30, 0x65, 0xB3, 0x00, 0xBC))
#define kContextualMenuInterfaceID                                                               \
  (CFUUIDGetConstantUUIDWithBytes(nullptr, 0x32, 0x99, 0x7B, 0x62, 0x3E, 0x66, 0x11, 0xD5, 0xBE, \
                                  0xAB, 0x00, 0x30, 0x65, 0xB3, 0x00, 0xBC))

struct ContextualMenuInterfaceStruct {
  void* _reserved;
  HRESULT (*QueryInterface)(void* thisPointer, REFIID iid, LPVOID* ppv);
  ULONG (*AddRef)(void* thisPointer);
  ULONG (*Release)(void* thisPointer);
  OSStatus (*ExamineContext)(void* thisInstance, const AEDesc* inContext,
                             AEDescList* outCommandPairs);
  OSStatus (*HandleSelection)(void* thisInstance, AEDesc* inContext, SInt32 inCommandID);
  void (*PostMenuCleanup)(void* thisInstance);
};
