// The per-user runtime directory holding the registry. Anyone who can write into it could
// pose as a process, so a directory others can write into is refused rather than used.
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "toolbox/processes/processes.h"

namespace tb::processes {
namespace {

std::filesystem::path RuntimeDirPath() {
  if (const char* env = getenv("VANTOREL_RUNTIME_DIR"); env && *env) return env;
  if (const char* xdg = getenv("XDG_RUNTIME_DIR"); xdg && *xdg) {
    return std::filesystem::path(xdg) / "vantorel";
  }
  return "/tmp/vantorel-" + std::to_string(geteuid());
}

}  // namespace

OSErr RuntimeDirectory(std::filesystem::path* dir) {
  std::filesystem::path path = RuntimeDirPath();
  if (!path.is_absolute()) return paramErr;
  std::error_code ignored;
  std::filesystem::create_directories(path.parent_path(), ignored);
  if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST) return ioErr;
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return ioErr;
  if (!S_ISDIR(st.st_mode) || st.st_uid != geteuid() || (st.st_mode & (S_IWGRP | S_IWOTH))) {
    return permErr;
  }
  *dir = path;
  return noErr;
}

}  // namespace tb::processes
