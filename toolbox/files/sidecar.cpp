#include "toolbox/files/sidecar.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "toolbox/files/posix.h"

namespace tb::files {
namespace {

SidecarSummary Summarize(int fd) {
  SidecarSummary out;
  if (fd < 0) return out;
  uint8_t prefix[4096];
  ssize_t got = pread(fd, prefix, sizeof prefix, 0);
  if (got <= 0) return out;
  // A short read of a regular file ends at its end; only a larger file needs its size asked.
  uint64_t size = static_cast<uint64_t>(got);
  if (got == sizeof prefix) {
    struct stat st;
    if (fstat(fd, &st) != 0) return out;
    size = static_cast<uint64_t>(st.st_size);
  }
  auto descriptors = appledouble::ReadDescriptors(
      std::span<const uint8_t>(prefix, static_cast<size_t>(got)), size);
  if (!descriptors) return out;
  auto readAt = [&](const appledouble::Descriptor& d, uint8_t* into, size_t n) {
    n = std::min<uint64_t>(n, d.length);
    if (d.offset + n <= static_cast<uint64_t>(got)) {
      std::memcpy(into, prefix + d.offset, n);
    } else if (pread(fd, into, n, static_cast<off_t>(d.offset)) != static_cast<ssize_t>(n)) {
      std::memset(into, 0, n);
    }
  };
  bool seenInfo = false, seenFork = false;
  for (auto& d : *descriptors) {
    if (d.id == appledouble::kFinderInfo && !seenInfo) {
      seenInfo = true;
      readAt(d, out.finderInfo.data(), out.finderInfo.size());
    } else if (d.id == appledouble::kResourceFork && !seenFork) {
      seenFork = true;
      out.resourceForkLength = d.length;
    } else if (d.id == appledouble::kFileDates && d.length >= 4) {
      uint8_t date[4] = {};
      readAt(d, date, 4);
      auto value = static_cast<int32_t>((uint32_t{date[0]} << 24) | (uint32_t{date[1]} << 16) |
                                        (uint32_t{date[2]} << 8) | date[3]);
      if (value != INT32_MIN) out.created = value;  // 0x80000000: unknown
    } else if (d.id == appledouble::kMacFileInfo && d.length >= 4) {
      uint8_t info[4] = {};
      readAt(d, info, 4);
      out.locked = (info[3] & 0x01) != 0;
    }
  }
  return out;
}

}  // namespace

bool IsSidecarName(std::string_view leaf) {
  return leaf.size() > 2 && leaf.starts_with("._");
}

std::string SidecarPath(std::string_view itemPath) {
  auto slash = itemPath.rfind('/');
  std::string out(itemPath.substr(0, slash + 1));
  out += "._";
  out += itemPath.substr(slash + 1);
  return out;
}

SidecarSummary ReadSidecarSummary(int dirFd, std::string_view leaf) {
  std::string name = "._";
  name += leaf;
  Fd fd(openat(dirFd, name.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
  return Summarize(fd.get());
}

SidecarSummary ReadSidecarSummary(std::string_view itemPath) {
  Fd fd(open(SidecarPath(itemPath).c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
  return Summarize(fd.get());
}

appledouble::Sidecar LoadSidecar(std::string_view itemPath) {
  auto bytes = ReadWholeFile(SidecarPath(itemPath));
  if (!bytes) return {};
  auto decoded = appledouble::Decode(*bytes);
  return decoded ? std::move(*decoded) : appledouble::Sidecar{};
}

OSErr WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes) {
  std::string temp = path + ".vtmp-XXXXXX";
  Fd fd(mkstemp(temp.data()));
  if (!fd) return ErrorFromErrno(errno);
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd.get(), bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      OSErr err = ErrorFromErrno(errno ? errno : EIO);
      unlink(temp.c_str());
      return err;
    }
    done += static_cast<size_t>(n);
  }
  fchmod(fd.get(), 0644);
  if (fsync(fd.get()) != 0 || rename(temp.c_str(), path.c_str()) != 0) {
    OSErr err = ErrorFromErrno(errno);
    unlink(temp.c_str());
    return err;
  }
  return noErr;
}

OSErr StoreSidecar(std::string_view itemPath, const appledouble::Sidecar& sidecar) {
  std::string path = SidecarPath(itemPath);
  if (sidecar.empty()) {
    if (unlink(path.c_str()) != 0 && errno != ENOENT) return ErrorFromErrno(errno);
    return noErr;
  }
  auto bytes = appledouble::Encode(sidecar);
  return WriteFileAtomically(path, bytes);
}

OSErr MoveSidecar(std::string_view fromItemPath, std::string_view toItemPath) {
  std::string from = SidecarPath(fromItemPath), to = SidecarPath(toItemPath);
  if (rename(from.c_str(), to.c_str()) != 0 && errno != ENOENT) return ErrorFromErrno(errno);
  return noErr;
}

void RemoveSidecar(std::string_view itemPath) {
  unlink(SidecarPath(itemPath).c_str());
}

OSErr CopySidecar(std::string_view fromItemPath, std::string_view toItemPath) {
  auto bytes = ReadWholeFile(SidecarPath(fromItemPath));
  if (!bytes) {
    RemoveSidecar(toItemPath);  // the copy has no metadata either
    return noErr;
  }
  return WriteFileAtomically(SidecarPath(toItemPath), *bytes);
}

}  // namespace tb::files
