#include "toolbox/files/snapshot.h"

#include <dirent.h>
#include <fcntl.h>
#include <time.h>

#include <algorithm>
#include <cerrno>
#include <memory>
#include <unordered_set>

#include "toolbox/files/sidecar.h"

namespace tb::files {
namespace {

constexpr size_t kKept = 16;
constexpr int64_t kRacyNanoseconds = 50'000'000;

std::vector<std::unique_ptr<FolderSnapshot>>& Cache() {
  static auto* cache = new std::vector<std::unique_ptr<FolderSnapshot>>;
  return *cache;
}

int64_t Nanos(const timespec& t) {
  return int64_t{t.tv_sec} * 1'000'000'000 + t.tv_nsec;
}

bool SameTimes(const struct stat& a, const struct stat& b) {
  return a.st_ino == b.st_ino && a.st_dev == b.st_dev && Nanos(a.st_mtim) == Nanos(b.st_mtim) &&
         Nanos(a.st_ctim) == Nanos(b.st_ctim);
}

bool Current(FolderSnapshot& s, bool continuing) {
  struct stat now;
  if (fstat(s.dirFd.get(), &now) != 0 || now.st_nlink == 0 || !SameTimes(now, s.folder)) {
    return false;
  }
  return continuing || !s.racy;
}

OSErr Fill(FolderSnapshot& s) {
  int fd = dup(s.dirFd.get());
  if (fd < 0) return ErrorFromErrno(errno);
  DIR* dir = fdopendir(fd);
  if (!dir) {
    close(fd);
    return ErrorFromErrno(errno);
  }
  std::unordered_set<std::string> sidecars;
  s.entries.clear();
  while (dirent* d = readdir(dir)) {
    std::string_view name = d->d_name;
    if (name == "." || name == "..") continue;
    if (IsSidecarName(name)) {
      sidecars.emplace(name.substr(2));
      continue;
    }
    s.entries.push_back({std::string(name), d->d_ino, d->d_type, false});
  }
  closedir(dir);
  if (!sidecars.empty()) {
    for (auto& e : s.entries) e.hasSidecar = sidecars.count(e.name) != 0;
  }
  timespec now;
  clock_gettime(CLOCK_REALTIME, &now);
  int64_t changed = std::max(Nanos(s.folder.st_mtim), Nanos(s.folder.st_ctim));
  s.racy = Nanos(now) - changed < kRacyNanoseconds;
  return noErr;
}

}  // namespace

FolderSnapshot* CachedSnapshot(Volume* volume, uint32_t folderId, bool continuing) {
  auto& cache = Cache();
  for (size_t i = 0; i < cache.size(); ++i) {
    auto& s = *cache[i];
    if (s.volume != volume || s.folderId != folderId) continue;
    if (!Current(s, continuing)) return nullptr;
    if (i != 0) std::rotate(cache.begin(), cache.begin() + i, cache.begin() + i + 1);
    return cache.front().get();
  }
  return nullptr;
}

Result<FolderSnapshot*> Snapshot(Volume* volume, uint32_t folderId, const std::string& path,
                                 bool continuing) {
  if (auto* s = CachedSnapshot(volume, folderId, continuing)) return s;
  auto s = std::make_unique<FolderSnapshot>();
  s->volume = volume;
  s->folderId = folderId;
  s->path = path;
  s->dirFd.reset(open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!s->dirFd) return errno == ENOTDIR ? OSErr{dirNFErr} : ErrorFromErrno(errno);
  if (fstat(s->dirFd.get(), &s->folder) != 0) return ErrorFromErrno(errno);
  if (OSErr err = Fill(*s); err != noErr) return err;
  auto& cache = Cache();
  std::erase_if(cache,
                [&](auto& old) { return old->volume == volume && old->folderId == folderId; });
  cache.insert(cache.begin(), std::move(s));
  if (cache.size() > kKept) cache.pop_back();
  return cache.front().get();
}

void ForgetSnapshots() {
  Cache().clear();
}

}  // namespace tb::files
