// Memory Manager: handles (relocatable blocks reached through a master pointer) and pointers.
#pragma once

#include "toolbox/core/types.h"

Handle NewHandle(Size byteCount);
Handle NewHandleClear(Size byteCount);
void DisposeHandle(Handle h);
void HLock(Handle h);
void HUnlock(Handle h);
Size GetHandleSize(Handle h);
// Fails with memFullErr when a locked handle would have to move.
void SetHandleSize(Handle h, Size newSize);
OSErr PtrToHand(const void* srcPtr, Handle* dstHndl, long size);
OSErr HandToHand(Handle* theHndl);

Ptr NewPtr(Size byteCount);
Ptr NewPtrClear(Size byteCount);
void DisposePtr(Ptr p);
Size GetPtrSize(Ptr p);

void BlockMoveData(const void* srcPtr, void* destPtr, Size byteCount);
void BlockMove(const void* srcPtr, void* destPtr, Size byteCount);

// The result of the last Memory Manager call of this thread.
OSErr MemError();

namespace tb {
bool IsHandleLocked(Handle h);
// A handle holding a copy of the bytes, or nullptr when memory runs out.
Handle NewHandleWith(const void* bytes, Size size);
}  // namespace tb
