// The COM conventions plug-in interfaces follow: interface IDs, result codes, IUnknown's ID.
#pragma once

#include <cstddef>

#include "toolbox/cf/uuid.h"

typedef CFUUIDBytes REFIID;
typedef SInt32 HRESULT;
typedef UInt32 ULONG;
typedef void* LPVOID;

#define S_OK ((HRESULT)0)
#define E_NOINTERFACE ((HRESULT)0x80000004)

#define IUnknownUUID                                                                               \
  CFUUIDGetConstantUUIDWithBytes(NULL, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, \
                                 0x00, 0x00, 0x00, 0x00, 0x00, 0x46)
