// Copying keeps what the Finder keeps: contents, permissions, dates and the sidecars (Finder
// information and resource forks). The copy is built under a hidden name and renamed into
// place, so nobody (the Contextual Menu Manager loading a bundle, say) sees half of it.
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>

#include "desktop/finder/service.h"
#include "toolbox/files/posix.h"
#include "toolbox/files/sidecar.h"

namespace desktop::finder {
namespace {

constexpr int kMaxDepth = 256;

void KeepDates(int fd, const struct stat& st) {
  const timespec times[2] = {st.st_atim, st.st_mtim};
  futimens(fd, times);
}

bool CopyFile(const std::string& from, const std::string& to, const struct stat& st) {
  tb::files::Fd in(open(from.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW));
  if (!in) return false;
  tb::files::Fd out(open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
  if (!out) return false;
  char buffer[65536];
  for (;;) {
    ssize_t n = read(in.get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) break;
    for (ssize_t done = 0; done < n;) {
      ssize_t w = write(out.get(), buffer + done, static_cast<size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) return false;
      done += w;
    }
  }
  fchmod(out.get(), st.st_mode & 07777);
  KeepDates(out.get(), st);
  return true;
}

// Sidecars inside a folder are plain files there and come along with the rest.
bool CopyTree(const std::string& from, const std::string& to, int depth) {
  struct stat st;
  if (depth > kMaxDepth || lstat(from.c_str(), &st) != 0) return false;
  if (S_ISLNK(st.st_mode)) {
    std::error_code error;
    auto target = std::filesystem::read_symlink(from, error);
    return !error && symlink(target.c_str(), to.c_str()) == 0;
  }
  if (S_ISREG(st.st_mode)) return CopyFile(from, to, st);
  if (!S_ISDIR(st.st_mode)) return true;  // devices and pipes are not copied
  if (mkdir(to.c_str(), 0700) != 0) return false;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(from, error)) {
    std::string leaf = entry.path().filename().string();
    if (!CopyTree(from + "/" + leaf, to + "/" + leaf, depth + 1)) return false;
  }
  if (error) return false;
  tb::files::Fd dir(open(to.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir) {
    KeepDates(dir.get(), st);
    fchmod(dir.get(), st.st_mode & 07777);
  }
  return true;
}

bool Inside(const std::string& folder, const std::string& item) {
  std::error_code error;
  auto f = std::filesystem::weakly_canonical(folder, error).string();
  auto i = std::filesystem::weakly_canonical(item, error).string();
  return f == i || f.starts_with(i + "/");
}

}  // namespace

OSErr CopyInto(const std::string& path, const std::string& folder) {
  struct stat st;
  if (stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return dirNFErr;
  if (Inside(folder, path)) return badMovErr;
  std::string target = folder + "/" + LeafOf(path);
  if (lstat(target.c_str(), &st) == 0) return dupFNErr;
  static std::atomic<unsigned> counter{0};
  std::string temp =
      folder + "/.vantorel-copy-" + std::to_string(getpid()) + "-" + std::to_string(++counter);
  if (!CopyTree(path, temp, 0)) {
    std::error_code error;
    std::filesystem::remove_all(temp, error);
    return errno == ENOSPC ? OSErr{dskFulErr} : OSErr{ioErr};
  }
  if (renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) != 0) {
    int error = errno;
    std::error_code ignored;
    std::filesystem::remove_all(temp, ignored);
    return error == EEXIST ? OSErr{dupFNErr} : OSErr{ioErr};
  }
  tb::files::CopySidecar(path, target);
  return noErr;
}

}  // namespace desktop::finder
