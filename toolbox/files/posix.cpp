#include "toolbox/files/posix.h"

#include <fcntl.h>
#include <sys/stat.h>

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
