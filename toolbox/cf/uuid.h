// CFUUID: 128-bit identifiers of plug-in types, factories and interfaces.
#pragma once

#include "toolbox/cf/base.h"

typedef struct CFUUIDBytes {
  UInt8 byte0, byte1, byte2, byte3, byte4, byte5, byte6, byte7;
  UInt8 byte8, byte9, byte10, byte11, byte12, byte13, byte14, byte15;
} CFUUIDBytes;

CFTypeID CFUUIDGetTypeID(void);

// The one shared object for these bytes: the same pointer on every call, never freed.
CFUUIDRef CFUUIDGetConstantUUIDWithBytes(CFAllocatorRef alloc, UInt8 byte0, UInt8 byte1,
                                         UInt8 byte2, UInt8 byte3, UInt8 byte4, UInt8 byte5,
                                         UInt8 byte6, UInt8 byte7, UInt8 byte8, UInt8 byte9,
                                         UInt8 byte10, UInt8 byte11, UInt8 byte12, UInt8 byte13,
                                         UInt8 byte14, UInt8 byte15);
CFUUIDRef CFUUIDCreateWithBytes(CFAllocatorRef alloc, UInt8 byte0, UInt8 byte1, UInt8 byte2,
                                UInt8 byte3, UInt8 byte4, UInt8 byte5, UInt8 byte6, UInt8 byte7,
                                UInt8 byte8, UInt8 byte9, UInt8 byte10, UInt8 byte11, UInt8 byte12,
                                UInt8 byte13, UInt8 byte14, UInt8 byte15);
CFUUIDRef CFUUIDCreateFromUUIDBytes(CFAllocatorRef alloc, CFUUIDBytes bytes);
CFUUIDBytes CFUUIDGetUUIDBytes(CFUUIDRef uuid);
// Reads "2F6522E9-3E66-11D5-80A7-003065B300BC" (either case); NULL when malformed.
CFUUIDRef CFUUIDCreateFromString(CFAllocatorRef alloc, CFStringRef uuidStr);
// The upper-case string form.
CFStringRef CFUUIDCreateString(CFAllocatorRef alloc, CFUUIDRef uuid);

namespace tb {
// The bytes of a UUID string, or false when the text is malformed.
bool ParseUUID(std::string_view text, CFUUIDBytes* out);
}  // namespace tb
