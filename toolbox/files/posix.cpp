#include "toolbox/files/posix.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

#include <cerrno>

namespace tb::files {

OSErr ErrorFromErrno(int error) {
  switch (error) {
    case 0:
      return noErr;
    case ENOENT:
      return fnfErr;
    case ENOTDIR:
      return dirNFErr;
    case EEXIST:
      return dupFNErr;
    case ENOTEMPTY:
      return fBsyErr;
    case EBUSY:
      return fBsyErr;
    case EACCES:
    case EPERM:
      return permErr;
    case EROFS:
      return wPrErr;
    case ENOSPC:
      return dskFulErr;
    case ENAMETOOLONG:
      return bdNamErr;
    case ENOMEM:
      return memFullErr;
    case EMFILE:
    case ENFILE:
      return tmfoErr;
    case EXDEV:
      return badMovErr;
    default:
      return ioErr;
  }
}

bool StatItem(int dirFd, const char* path, struct stat* st, struct timespec* birth) {
  struct statx x;
  if (statx(dirFd, path, AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME, &x) != 0) {
    return false;
  }
  *st = {};
  st->st_mode = x.stx_mode;
  st->st_ino = x.stx_ino;
  st->st_dev = makedev(x.stx_dev_major, x.stx_dev_minor);
  st->st_nlink = x.stx_nlink;
  st->st_uid = x.stx_uid;
  st->st_gid = x.stx_gid;
  st->st_size = static_cast<off_t>(x.stx_size);
  st->st_blocks = static_cast<blkcnt_t>(x.stx_blocks);
  auto time = [](const statx_timestamp& t) { return timespec{t.tv_sec, t.tv_nsec}; };
  st->st_atim = time(x.stx_atime);
  st->st_mtim = time(x.stx_mtime);
  st->st_ctim = time(x.stx_ctime);
  if (birth) {
    if (x.stx_mask & STATX_BTIME) {
      *birth = time(x.stx_btime);
    } else {
      *birth = st->st_mtim.tv_sec < st->st_ctim.tv_sec ? st->st_mtim : st->st_ctim;
    }
  }
  return true;
}

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path) {
  Fd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
  if (!fd) return std::nullopt;
  struct stat st;
  if (fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
  std::vector<uint8_t> out;
  out.reserve(static_cast<size_t>(st.st_size));
  uint8_t buffer[65536];
  for (;;) {
    ssize_t n = read(fd.get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return std::nullopt;
    if (n == 0) break;
    out.insert(out.end(), buffer, buffer + n);
  }
  return out;
}

}  // namespace tb::files
