// Scalar types, strings and opaque references of the toolbox surface.
#pragma once

#include <cstddef>
#include <cstdint>

typedef uint8_t UInt8;
typedef int8_t SInt8;
typedef uint16_t UInt16;
typedef int16_t SInt16;
typedef uint32_t UInt32;
typedef int32_t SInt32;
typedef uint64_t UInt64;
typedef int64_t SInt64;

typedef unsigned char Boolean;
typedef SInt16 OSErr;
typedef SInt32 OSStatus;

typedef UInt32 FourCharCode;
typedef FourCharCode OSType;
typedef FourCharCode ResType;
typedef FourCharCode DescType;
typedef FourCharCode AEKeyword;

typedef char* Ptr;
typedef Ptr* Handle;
typedef long Size;
typedef void* LogicalAddress;
typedef const void* ConstLogicalAddress;

typedef UInt32 OptionBits;
typedef unsigned long ItemCount;
typedef unsigned long ByteCount;
typedef SInt64 ByteOffset;
typedef UInt16 UniChar;
typedef unsigned long UniCharCount;
typedef SInt16 ScriptCode;
typedef UInt32 TextEncoding;

// Pascal strings: a length byte, then that many bytes of text.
typedef unsigned char Str255[256];
typedef unsigned char Str63[64];
typedef unsigned char Str32[33];
typedef unsigned char Str31[32];
typedef unsigned char Str27[28];
typedef unsigned char Str15[16];
typedef unsigned char* StringPtr;
typedef const unsigned char* ConstStringPtr;
typedef const unsigned char* ConstStr255Param;
typedef const unsigned char* ConstStr63Param;
typedef const unsigned char* ConstStr31Param;

typedef struct Point {
  SInt16 v;
  SInt16 h;
} Point;

typedef struct Rect {
  SInt16 top;
  SInt16 left;
  SInt16 bottom;
  SInt16 right;
} Rect;

typedef struct ProcessSerialNumber {
  UInt32 highLongOfPSN;
  UInt32 lowLongOfPSN;
} ProcessSerialNumber;

enum { smSystemScript = -1, smRoman = 0 };
