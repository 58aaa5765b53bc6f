// Deleting moves to the user's freedesktop trash: the item under files/, a .trashinfo record
// under info/ saying where it came from, and its sidecar beside it under the matching name.
#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <filesystem>

#include "desktop/finder/service.h"
#include "toolbox/files/sidecar.h"

namespace desktop::finder {
namespace {

// Trashed names are tried as "name", "name.2", ... up to this many.
constexpr int kMaxNameTries = 1000;

std::optional<std::string> TrashDirectory() {
  const char* data = getenv("XDG_DATA_HOME");
  if (data && data[0] == '/') return std::string(data) + "/Trash";
  const char* home = getenv("HOME");
  if (home && home[0] == '/') return std::string(home) + "/.local/share/Trash";
  return std::nullopt;
}

std::string TrashInfo(const std::string& path) {
  char date[32] = "";
  time_t now = time(nullptr);
  struct tm local;
  if (localtime_r(&now, &local)) strftime(date, sizeof date, "%Y-%m-%dT%H:%M:%S", &local);
  return "[Trash Info]\nPath=" + EscapedPath(path) + "\nDeletionDate=" + date + "\n";
}

// Moves across file systems by copying, when a rename cannot.
OSErr MoveItem(const std::string& from, const std::string& to) {
  if (rename(from.c_str(), to.c_str()) == 0) return noErr;
  if (errno != EXDEV) return errno == EACCES || errno == EPERM ? OSErr{permErr} : OSErr{ioErr};
  std::error_code error;
  std::filesystem::copy(
      from, to,
      std::filesystem::copy_options::recursive | std::filesystem::copy_options::copy_symlinks,
      error);
  if (!error) std::filesystem::remove_all(from, error);
  return error ? OSErr{ioErr} : OSErr{noErr};
}

}  // namespace

OSErr MoveToTrash(const Item& item) {
  const std::string& path = item.path;
  FSRef ref;
  FSCatalogInfo catalog;
  if (FSpMakeFSRef(&item.spec, &ref) != noErr ||
      FSGetCatalogInfo(&ref, kFSCatInfoNodeFlags, &catalog, nullptr, nullptr, nullptr) != noErr) {
    return fnfErr;
  }
  if (catalog.nodeFlags & kFSNodeLockedMask) return fLckdErr;
  auto trash = TrashDirectory();
  if (!trash) return dirNFErr;
  std::error_code error;
  std::filesystem::create_directories(*trash + "/files", error);
  std::filesystem::create_directories(*trash + "/info", error);
  chmod(trash->c_str(), 0700);

  std::string leaf = LeafOf(path);
  for (int n = 1; n <= kMaxNameTries; ++n) {
    std::string name = n == 1 ? leaf : leaf + "." + std::to_string(n);
    std::string info = *trash + "/info/" + name + ".trashinfo";
    std::string target = *trash + "/files/" + name;
    // The info file, made exclusively, reserves the name.
    int fd = open(info.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return ioErr;
    }
    struct stat taken;
    if (lstat(target.c_str(), &taken) == 0) {
      close(fd);
      unlink(info.c_str());
      continue;
    }
    std::string text = TrashInfo(path);
    bool written = write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size());
    if (close(fd) != 0 || !written) {
      unlink(info.c_str());
      return ioErr;
    }
    OSErr err = MoveItem(path, target);
    if (err != noErr) {
      unlink(info.c_str());
      return err;
    }
    if (tb::files::MoveSidecar(path, target) != noErr) {
      tb::files::CopySidecar(path, target);
      tb::files::RemoveSidecar(path);
    }
    return noErr;
  }
  return dupFNErr;
}

}  // namespace desktop::finder
