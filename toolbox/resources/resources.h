// Resource Manager: resource files, the chain of open files, and resources as handles.
#pragma once

#include "toolbox/core/types.h"

#include "toolbox/files/files.h"  // FSSpec and the fork permissions fsRdPerm, fsRdWrPerm …

// Resource attributes (GetResAttrs).
enum {
  resSysHeap = 0x40,
  resPurgeable = 0x20,
  resLocked = 0x10,
  resProtected = 0x08,
  resPreload = 0x04,
  resChanged = 0x02,
};

// Map attributes.
enum { mapReadOnly = 0x80, mapCompact = 0x40, mapChanged = 0x20 };

// Result of the last Resource Manager call.
OSErr ResError();

// Files
void FSpCreateResFile(const FSSpec* spec, OSType creator, OSType fileType, ScriptCode scriptTag);
// The file's reference number, or -1 (see ResError). The file becomes the current one.
SInt16 FSpOpenResFile(const FSSpec* spec, SInt8 permission);
void UseResFile(SInt16 refNum);
SInt16 CurResFile();
void UpdateResFile(SInt16 refNum);
void CloseResFile(SInt16 refNum);
SInt16 HomeResFile(Handle theResource);

// Counting and getting
SInt16 CountResources(ResType theType);
SInt16 Count1Resources(ResType theType);
SInt16 Count1Types();
void Get1IndType(ResType* theType, SInt16 index);
Handle GetResource(ResType theType, SInt16 theID);
Handle Get1Resource(ResType theType, SInt16 theID);
Handle GetNamedResource(ResType theType, ConstStr255Param name);
Handle Get1NamedResource(ResType theType, ConstStr255Param name);
Handle Get1IndResource(ResType theType, SInt16 index);
void GetResInfo(Handle theResource, SInt16* theID, ResType* theType, Str255 name);
SInt16 GetResAttrs(Handle theResource);

// Changing
void AddResource(Handle theData, ResType theType, SInt16 theID, ConstStr255Param name);
void RemoveResource(Handle theResource);
void DetachResource(Handle theResource);
void ReleaseResource(Handle theResource);
void ChangedResource(Handle theResource);
void WriteResource(Handle theResource);
void SetResAttrs(Handle theResource, SInt16 attrs);
// A nullptr name keeps the name; the empty name removes it.
void SetResInfo(Handle theResource, SInt16 theID, ConstStr255Param name);
SInt16 GetResFileAttrs(SInt16 refNum);
void SetResFileAttrs(SInt16 refNum, SInt16 attrs);
