// Fork calls: opening, reading, writing, positioning and closing data and resource forks.
#include <cstring>
#include <string_view>

#include "toolbox/files/catalog.h"
#include "toolbox/files/forks.h"
#include "toolbox/files/guard.h"
#include "toolbox/files/sidecar.h"

using namespace tb::files;

namespace {

constexpr std::u16string_view kResourceForkName = u"RESOURCE_FORK";

OSErr OpenSpec(const FSSpec* spec, ForkKind kind, SInt8 permission, SInt16* refNum) {
  if (!spec || !refNum) return paramErr;
  return Guarded([&]() -> OSErr {
    auto node = NodeForSpec(spec);
    if (!node) return node.error();
    return OpenForkOf(*node, kind, permission, refNum);
  });
}

Result<ForkKind> ForkNamed(UniCharCount length, const UniChar* name) {
  if (length == 0) return ForkKind::data;
  if (!name) return OSErr{paramErr};
  std::u16string_view view(reinterpret_cast<const char16_t*>(name), length);
  if (view == kResourceForkName) return ForkKind::resource;
  return OSErr{errFSForkNotFound};
}

OSErr SetName(HFSUniStr255* out, std::u16string_view name) {
  if (!out) return paramErr;
  out->length = static_cast<UInt16>(name.size());
  std::memcpy(out->unicode, name.data(), name.size() * sizeof(UniChar));
  return noErr;
}

template <typename Call>
OSErr WithFork(SInt16 refNum, Call&& call) {
  return Guarded([&]() -> OSErr {
    OpenFork* fork = ForkByRefNum(refNum);
    if (!fork) return rfNumErr;
    return call(*fork);
  });
}

}  // namespace

OSErr FSpOpenDF(const FSSpec* spec, SInt8 permission, SInt16* refNum) {
  return OpenSpec(spec, ForkKind::data, permission, refNum);
}

OSErr FSpOpenRF(const FSSpec* spec, SInt8 permission, SInt16* refNum) {
  return OpenSpec(spec, ForkKind::resource, permission, refNum);
}

OSErr FSOpenFork(const FSRef* ref, UniCharCount forkNameLength, const UniChar* forkName,
                 SInt8 permissions, FSIORefNum* forkRefNum) {
  if (!ref || !forkRefNum) return paramErr;
  auto kind = ForkNamed(forkNameLength, forkName);
  if (!kind) return kind.error();
  return Guarded([&]() -> OSErr {
    auto node = NodeForRef(ref);
    if (!node) return node.error();
    return OpenForkOf(*node, *kind, permissions, forkRefNum);
  });
}

OSErr FSGetDataForkName(HFSUniStr255* dataForkName) {
  return SetName(dataForkName, u"");
}

OSErr FSGetResourceForkName(HFSUniStr255* resourceForkName) {
  return SetName(resourceForkName, kResourceForkName);
}

OSErr FSDeleteFork(const FSRef* ref, UniCharCount forkNameLength, const UniChar* forkName) {
  if (!ref) return paramErr;
  auto kind = ForkNamed(forkNameLength, forkName);
  if (!kind) return kind.error();
  return Guarded([&]() -> OSErr {
    auto node = NodeForRef(ref);
    if (!node) return node.error();
    if (node->isFolder()) return notAFileErr;
    if (IsLocked(*node)) return fLckdErr;
    if (IsForkOpen(*node, *kind)) return fBsyErr;
    if (*kind == ForkKind::data) {
      return truncate(node->path.c_str(), 0) == 0 ? OSErr{noErr} : ErrorFromErrno(errno);
    }
    auto sidecar = LoadSidecar(node->path);
    sidecar.resourceFork.clear();
    return StoreSidecar(node->path, sidecar);
  });
}

OSErr FSRead(SInt16 refNum, long* count, void* buffer) {
  if (!count || *count < 0 || (*count > 0 && !buffer)) return paramErr;
  return WithFork(refNum, [&](OpenFork& fork) -> OSErr {
    long wanted = *count;
    auto got = ReadFork(fork, buffer, static_cast<size_t>(wanted));
    if (!got) {
      *count = 0;
      return got.error();
    }
    *count = static_cast<long>(*got);
    return *count < wanted ? eofErr : noErr;
  });
}

OSErr FSWrite(SInt16 refNum, long* count, const void* buffer) {
  if (!count || *count < 0 || (*count > 0 && !buffer)) return paramErr;
  return WithFork(refNum, [&](OpenFork& fork) -> OSErr {
    OSErr err = WriteFork(fork, buffer, static_cast<size_t>(*count));
    if (err != noErr) *count = 0;
    return err;
  });
}

OSErr GetEOF(SInt16 refNum, long* logEOF) {
  if (!logEOF) return paramErr;
  return WithFork(refNum, [&](OpenFork& fork) -> OSErr {
    auto length = ForkLength(fork);
    if (!length) return length.error();
    *logEOF = static_cast<long>(*length);
    return noErr;
  });
}

OSErr SetEOF(SInt16 refNum, long logEOF) {
  return WithFork(refNum, [&](OpenFork& fork) { return SetForkLength(fork, logEOF); });
}

OSErr GetFPos(SInt16 refNum, long* filePos) {
  if (!filePos) return paramErr;
  return WithFork(refNum, [&](OpenFork& fork) -> OSErr {
    *filePos = static_cast<long>(fork.mark);
    return noErr;
  });
}

OSErr SetFPos(SInt16 refNum, short posMode, long posOff) {
  return WithFork(refNum, [&](OpenFork& fork) -> OSErr {
    auto length = ForkLength(fork);
    if (!length) return length.error();
    int64_t target;
    switch (posMode) {
      case fsAtMark:
        return noErr;
      case fsFromStart:
        target = posOff;
        break;
      case fsFromLEOF:
        target = *length + posOff;
        break;
      case fsFromMark:
        target = fork.mark + posOff;
        break;
      default:
        return paramErr;
    }
    if (target < 0) return posErr;
    if (target > *length) {
      fork.mark = *length;  // the platform stops at the end and says so
      return eofErr;
    }
    fork.mark = target;
    return noErr;
  });
}

OSErr FSClose(SInt16 refNum) {
  return Guarded([&]() -> OSErr { return CloseFork(refNum); });
}
