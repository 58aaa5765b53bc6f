// Small POSIX helpers of the File Manager: descriptor ownership, errno to result codes.
#pragma once

#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "toolbox/core/errors.h"

namespace tb::files {

class Fd {
 public:
  Fd() = default;
  explicit Fd(int fd) : fd_(fd) {}
  Fd(Fd&& other) noexcept : fd_(other.release()) {}
  Fd& operator=(Fd&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  ~Fd() { reset(); }
  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  int release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }
  void reset(int fd = -1) {
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
  }

 private:
  int fd_ = -1;
};

OSErr ErrorFromErrno(int error);
// lstat (relative to `dirFd`, or AT_FDCWD) that also gives the creation time where the file
// system keeps one (else the older of the change and modification times).
bool StatItem(int dirFd, const char* path, struct stat* st, struct timespec* birth);
std::optional<std::vector<uint8_t>> ReadWholeFile(const std::string& path);

}  // namespace tb::files
