#include "toolbox/core/memory.h"

#include <cstdlib>
#include <cstring>

#include "toolbox/core/errors.h"

namespace {

// The handle is the address of `master`, so *h is the block's current address.
struct MasterBlock {
  char* master;
  Size size;
  bool locked;
};

thread_local OSErr gMemError = noErr;

MasterBlock* Block(Handle h) {
  return reinterpret_cast<MasterBlock*>(h);
}

Handle Allocate(Size byteCount, bool clear) {
  if (byteCount < 0) {
    gMemError = paramErr;
    return nullptr;
  }
  auto* block = static_cast<MasterBlock*>(std::malloc(sizeof(MasterBlock)));
  char* bytes = static_cast<char*>(clear ? std::calloc(1, byteCount ? byteCount : 1)
                                         : std::malloc(byteCount ? byteCount : 1));
  if (!block || !bytes) {
    std::free(block);
    std::free(bytes);
    gMemError = memFullErr;
    return nullptr;
  }
  *block = {bytes, byteCount, false};
  gMemError = noErr;
  return &block->master;
}

// Pointer blocks keep their size in a header before the caller's bytes.
constexpr size_t kPtrHeader = alignof(std::max_align_t);

Ptr AllocatePtr(Size byteCount, bool clear) {
  if (byteCount < 0) {
    gMemError = paramErr;
    return nullptr;
  }
  size_t total = kPtrHeader + static_cast<size_t>(byteCount);
  char* raw = static_cast<char*>(clear ? std::calloc(1, total) : std::malloc(total));
  if (!raw) {
    gMemError = memFullErr;
    return nullptr;
  }
  std::memcpy(raw, &byteCount, sizeof byteCount);
  gMemError = noErr;
  return raw + kPtrHeader;
}

}  // namespace

Handle NewHandle(Size byteCount) {
  return Allocate(byteCount, false);
}
Handle NewHandleClear(Size byteCount) {
  return Allocate(byteCount, true);
}

void DisposeHandle(Handle h) {
  gMemError = noErr;
  if (!h) return;
  std::free(Block(h)->master);
  std::free(Block(h));
}

void HLock(Handle h) {
  gMemError = h ? noErr : nilHandleErr;
  if (h) Block(h)->locked = true;
}

void HUnlock(Handle h) {
  gMemError = h ? noErr : nilHandleErr;
  if (h) Block(h)->locked = false;
}

Size GetHandleSize(Handle h) {
  gMemError = h ? noErr : nilHandleErr;
  return h ? Block(h)->size : 0;
}

void SetHandleSize(Handle h, Size newSize) {
  if (!h) {
    gMemError = nilHandleErr;
    return;
  }
  if (newSize < 0) {
    gMemError = paramErr;
    return;
  }
  MasterBlock* block = Block(h);
  if (newSize <= block->size) {
    block->size = newSize;  // shrinking never moves the block
    gMemError = noErr;
    return;
  }
  if (block->locked) {
    gMemError = memFullErr;
    return;
  }
  char* grown = static_cast<char*>(std::realloc(block->master, newSize));
  if (!grown) {
    gMemError = memFullErr;
    return;
  }
  block->master = grown;
  block->size = newSize;
  gMemError = noErr;
}

OSErr PtrToHand(const void* srcPtr, Handle* dstHndl, long size) {
  if (!dstHndl || size < 0 || (!srcPtr && size > 0)) return gMemError = paramErr;
  *dstHndl = tb::NewHandleWith(srcPtr, size);
  return gMemError;
}

OSErr HandToHand(Handle* theHndl) {
  if (!theHndl || !*theHndl) return gMemError = nilHandleErr;
  Handle copy = tb::NewHandleWith(**theHndl, GetHandleSize(*theHndl));
  if (!copy) return gMemError;
  *theHndl = copy;
  return gMemError = noErr;
}

Ptr NewPtr(Size byteCount) {
  return AllocatePtr(byteCount, false);
}
Ptr NewPtrClear(Size byteCount) {
  return AllocatePtr(byteCount, true);
}

void DisposePtr(Ptr p) {
  gMemError = noErr;
  if (p) std::free(p - kPtrHeader);
}

Size GetPtrSize(Ptr p) {
  if (!p) {
    gMemError = paramErr;
    return 0;
  }
  Size size;
  std::memcpy(&size, p - kPtrHeader, sizeof size);
  gMemError = noErr;
  return size;
}

void BlockMoveData(const void* srcPtr, void* destPtr, Size byteCount) {
  if (byteCount > 0) std::memmove(destPtr, srcPtr, byteCount);
}

void BlockMove(const void* srcPtr, void* destPtr, Size byteCount) {
  BlockMoveData(srcPtr, destPtr, byteCount);
}

OSErr MemError() {
  return gMemError;
}

namespace tb {

bool IsHandleLocked(Handle h) {
  return h && Block(h)->locked;
}

Handle NewHandleWith(const void* bytes, Size size) {
  Handle h = NewHandle(size);
  if (h && size > 0) std::memcpy(*h, bytes, size);
  return h;
}

}  // namespace tb
