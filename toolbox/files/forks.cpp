#include "toolbox/files/forks.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <memory>

#include "toolbox/files/fork_replace.h"
#include "toolbox/files/guard.h"
#include "toolbox/files/sidecar.h"

namespace tb::files {
namespace {

std::map<SInt16, std::unique_ptr<OpenFork>>& Table() {
  static auto* table = new std::map<SInt16, std::unique_ptr<OpenFork>>;
  return *table;
}

SInt16 FreeRefNum() {
  auto& table = Table();
  for (SInt16 n = 1; n < 0x7FFF; ++n) {
    if (!table.count(n)) return n;
  }
  return 0;
}

bool HoldReadLock(int fd) {
  struct flock lock {};
  lock.l_type = F_RDLCK;
  lock.l_whence = SEEK_SET;
  return fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

// The resource fork's place inside the sidecar; length 0 when there is none.
struct ForkRange {
  Fd fd;
  uint64_t offset = 0;
  uint64_t length = 0;
};
ForkRange ResourceRange(const std::string& itemPath) {
  ForkRange out;
  out.fd.reset(open(SidecarPath(itemPath).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
  if (!out.fd) return out;
  uint8_t prefix[4096];
  struct stat st;
  ssize_t got = pread(out.fd.get(), prefix, sizeof prefix, 0);
  if (got <= 0 || fstat(out.fd.get(), &st) != 0) return out;
  auto descriptors =
      appledouble::ReadDescriptors(std::span<const uint8_t>(prefix, static_cast<size_t>(got)),
                                   static_cast<uint64_t>(st.st_size));
  if (!descriptors) return out;
  for (auto& d : *descriptors) {
    if (d.id == appledouble::kResourceFork) {
      out.offset = d.offset;
      out.length = d.length;
      break;
    }
  }
  return out;
}

}  // namespace

OSErr OpenForkOf(const Node& node, ForkKind kind, SInt8 permission, SInt16* refNum) {
  if (node.isFolder()) return notAFileErr;
  if (permission < fsCurPerm || permission > fsRdWrPerm) return paramErr;
  bool locked = IsLocked(node);
  bool writerOpen = false;
  for (auto& [n, f] : Table()) {
    if (f->dev == node.st.st_dev && f->ino == node.st.st_ino && f->kind == kind && f->canWrite) {
      writerOpen = true;
    }
  }
  bool wantWrite = permission == fsWrPerm || permission == fsRdWrPerm;
  if (wantWrite && locked) return permErr;
  if (wantWrite && writerOpen) return opWrErr;
  bool canWrite = wantWrite || (permission == fsCurPerm && !locked && !writerOpen);

  auto fork = std::make_unique<OpenFork>();
  fork->kind = kind;
  fork->path = node.path;
  fork->dev = node.st.st_dev;
  fork->ino = node.st.st_ino;
  fork->canWrite = canWrite;
  if (kind == ForkKind::data) {
    fork->fd.reset(open(node.path.c_str(), (canWrite ? O_RDWR : O_RDONLY) | O_CLOEXEC));
    if (!fork->fd) return ErrorFromErrno(errno);
    HoldReadLock(fork->fd.get());
  } else if (S_ISREG(node.st.st_mode)) {
    fork->lockFd.reset(open(node.path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
    if (fork->lockFd) HoldReadLock(fork->lockFd.get());
  }
  fork->refNum = FreeRefNum();
  if (fork->refNum == 0) return tmfoErr;
  *refNum = fork->refNum;
  Table()[*refNum] = std::move(fork);
  return noErr;
}

OpenFork* ForkByRefNum(SInt16 refNum) {
  auto it = Table().find(refNum);
  return it == Table().end() ? nullptr : it->second.get();
}

OSErr CloseFork(SInt16 refNum) {
  return Table().erase(refNum) ? noErr : rfNumErr;
}

bool IsForkOpen(const Node& node, ForkKind kind) {
  for (auto& [n, f] : Table()) {
    if (f->dev == node.st.st_dev && f->ino == node.st.st_ino && f->kind == kind) return true;
  }
  return false;
}

bool IsBusy(const Node& node) {
  if (IsForkOpen(node, ForkKind::data) || IsForkOpen(node, ForkKind::resource)) return true;
  if (!S_ISREG(node.st.st_mode)) return false;
  Fd probe(open(node.path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK));
  if (!probe) return false;
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  if (fcntl(probe.get(), F_OFD_GETLK, &lock) != 0) return false;
  return lock.l_type != F_UNLCK;
}

void NoteForkPathChange(const std::string& from, const std::string& to) {
  for (auto& [n, f] : Table()) {
    if (f->path == from) {
      f->path = to;
    } else if (f->path.size() > from.size() && f->path.starts_with(from) &&
               f->path[from.size()] == '/') {
      f->path = to + f->path.substr(from.size());
    }
  }
}

Result<int64_t> ForkLength(OpenFork& fork) {
  if (fork.kind == ForkKind::data) {
    struct stat st;
    if (fstat(fork.fd.get(), &st) != 0) return ErrorFromErrno(errno);
    return static_cast<int64_t>(st.st_size);
  }
  return static_cast<int64_t>(ResourceRange(fork.path).length);
}

Result<size_t> ReadFork(OpenFork& fork, void* buffer, size_t count) {
  int fd = fork.fd.get();
  uint64_t base = 0, end = UINT64_MAX;
  ForkRange range;
  if (fork.kind == ForkKind::resource) {
    range = ResourceRange(fork.path);
    if (!range.fd || static_cast<uint64_t>(fork.mark) >= range.length) return size_t{0};
    fd = range.fd.get();
    base = range.offset;
    end = range.length;
    count = static_cast<size_t>(std::min<uint64_t>(count, end - static_cast<uint64_t>(fork.mark)));
  }
  size_t done = 0;
  auto* out = static_cast<uint8_t*>(buffer);
  while (done < count) {
    ssize_t n = pread(fd, out + done, count - done, static_cast<off_t>(base + fork.mark + done));
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return ErrorFromErrno(errno);
    if (n == 0) break;
    done += static_cast<size_t>(n);
  }
  fork.mark += static_cast<int64_t>(done);
  return done;
}

OSErr WriteFork(OpenFork& fork, const void* buffer, size_t count) {
  if (!fork.canWrite) return wrPermErr;
  const auto* in = static_cast<const uint8_t*>(buffer);
  if (fork.kind == ForkKind::resource) {
    auto sidecar = LoadSidecar(fork.path);
    auto& bytes = sidecar.resourceFork;
    size_t at = static_cast<size_t>(fork.mark);
    if (bytes.size() < at + count) bytes.resize(at + count);
    std::copy(in, in + count, bytes.begin() + static_cast<ptrdiff_t>(at));
    if (OSErr err = StoreSidecar(fork.path, sidecar); err != noErr) return err;
    fork.mark += static_cast<int64_t>(count);
    return noErr;
  }
  size_t done = 0;
  while (done < count) {
    ssize_t n =
        pwrite(fork.fd.get(), in + done, count - done, static_cast<off_t>(fork.mark + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return ErrorFromErrno(errno ? errno : EIO);
    done += static_cast<size_t>(n);
  }
  fork.mark += static_cast<int64_t>(done);
  return noErr;
}

OSErr SetForkLength(OpenFork& fork, int64_t length) {
  if (!fork.canWrite) return wrPermErr;
  if (length < 0) return posErr;
  if (fork.kind == ForkKind::resource) {
    auto sidecar = LoadSidecar(fork.path);
    sidecar.resourceFork.resize(static_cast<size_t>(length));
    if (OSErr err = StoreSidecar(fork.path, sidecar); err != noErr) return err;
  } else if (ftruncate(fork.fd.get(), length) != 0) {
    return ErrorFromErrno(errno);
  }
  fork.mark = std::min(fork.mark, length);
  return noErr;
}

OSErr ReplaceFork(OpenFork& fork, const void* bytes, size_t size) {
  if (!fork.canWrite) return wrPermErr;
  const auto* in = static_cast<const uint8_t*>(bytes);
  if (fork.kind == ForkKind::resource) {
    auto sidecar = LoadSidecar(fork.path);
    sidecar.resourceFork.assign(in, in + size);
    if (OSErr err = StoreSidecar(fork.path, sidecar); err != noErr) return err;
    fork.mark = static_cast<int64_t>(size);
    return noErr;
  }
  if (ftruncate(fork.fd.get(), 0) != 0) return ErrorFromErrno(errno);
  fork.mark = 0;
  return WriteFork(fork, bytes, size);
}

OSErr ReplaceForkContents(SInt16 refNum, const void* bytes, size_t size) {
  if (!bytes && size) return paramErr;
  return Guarded([&]() -> OSErr {
    OpenFork* fork = ForkByRefNum(refNum);
    if (!fork) return rfNumErr;
    return ReplaceFork(*fork, bytes, size);
  });
}

}  // namespace tb::files
