#include "toolbox/processes/registry.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <mutex>

#include "toolbox/core/fourcc.h"
#include "toolbox/processes/bundle_info.h"
#include "toolbox/processes/proc_stat.h"

namespace tb::processes {
namespace {

constexpr const char* kFrontMarker = "front";
constexpr uint32_t kFrontMagic = 'VFRN';
constexpr OSType kDefaultType = 'APPL';
constexpr OSType kDefaultSignature = tb::FourCC("????");

struct Self {
  std::mutex lock;
  pid_t pid = 0;  // the process this state describes; differs from getpid() after a fork
  ProcessEntry entry;
  bool written = false;
};
Self& SelfState() {
  static Self self;
  return self;
}

// A regular file of this user in the registry directory, read whole up to `limit` bytes.
std::optional<std::vector<uint8_t>> ReadOwnFile(const std::filesystem::path& path, size_t limit) {
  int fd = open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat st;
  std::optional<std::vector<uint8_t>> result;
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == geteuid()) {
    std::vector<uint8_t> bytes(limit + 1);
    size_t got = 0;
    while (got < bytes.size()) {
      ssize_t n = read(fd, bytes.data() + got, bytes.size() - got);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) break;
      got += static_cast<size_t>(n);
    }
    if (got <= limit) {
      bytes.resize(got);
      result = std::move(bytes);
    }
  }
  close(fd);
  return result;
}

// Writes through a temporary file and a rename, so readers see the old or the new file whole.
OSErr WriteAtomically(const std::filesystem::path& dir, const std::string& name,
                      const std::vector<uint8_t>& bytes) {
  std::filesystem::path temp = dir / ("." + name + "." + std::to_string(getpid()) + ".tmp");
  unlink(temp.c_str());
  int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return errno == EACCES ? permErr : ioErr;
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  bool ok = done == bytes.size() && close(fd) == 0;
  if (!ok || rename(temp.c_str(), (dir / name).c_str()) != 0) {
    unlink(temp.c_str());
    return ioErr;
  }
  return noErr;
}

std::string ProgramName() {
  std::string name = program_invocation_short_name ? program_invocation_short_name : "";
  return name.empty() ? "process" : name;
}

ProcessEntry MakeEntry(OSType type, OSType signature, const std::string& name,
                       const std::filesystem::path& bundlePath, UInt32 mode) {
  ProcessEntry e;
  e.pid = getpid();
  if (auto stat = ReadProcStat(e.pid)) e.startTime = stat->startTime;
  BundleFacts facts;
  if (!bundlePath.empty()) {
    std::error_code ec;
    auto absolute = std::filesystem::absolute(bundlePath, ec);
    e.bundlePath = (ec ? bundlePath : absolute).lexically_normal().string();
    if (e.bundlePath.size() > 1 && e.bundlePath.back() == '/') e.bundlePath.pop_back();
    facts = ReadBundleFacts(e.bundlePath);
  }
  e.type = type ? type : facts.type ? facts.type : kDefaultType;
  e.signature = signature ? signature : facts.signature ? facts.signature : kDefaultSignature;
  e.mode = mode | (facts.backgroundOnly ? UInt32{modeOnlyBackground} : 0);
  e.name = !name.empty()           ? name
           : !facts.name.empty()   ? facts.name
           : !e.bundlePath.empty() ? std::filesystem::path(e.bundlePath).stem().string()
                                   : ProgramName();
  if (e.name.size() > kMaxNameBytes) e.name.resize(kMaxNameBytes);
  if (e.bundlePath.size() > kMaxPathBytes) e.bundlePath.clear();
  return e;
}

// Takes this process's entry out of the registry when it exits normally; a crash leaves it
// for the next reader to prune.
void RemoveOwnEntry() {
  Self& self = SelfState();
  std::lock_guard guard(self.lock);
  if (self.pid != getpid() || !self.written) return;
  std::filesystem::path dir;
  if (RuntimeDirectory(&dir) != noErr) return;
  unlink((dir / EntryFileName(self.pid)).c_str());
}

// Must hold the lock.
OSErr WriteSelf(Self& self) {
  std::filesystem::path dir;
  OSErr err = RuntimeDirectory(&dir);
  if (err == noErr) err = WriteAtomically(dir, EntryFileName(self.pid), EncodeEntry(self.entry));
  self.written = err == noErr;
  if (self.written) {
    static std::once_flag once;
    std::call_once(once, [] { atexit(RemoveOwnEntry); });
  }
  return err;
}

// Removes an entry file once it is known to name a dead process, unless the process that
// now has the pid has written its own entry in the meantime.
void Prune(const std::filesystem::path& path, const std::optional<ProcessEntry>& seen) {
  auto again = ReadOwnFile(path, kMaxEntryBytes);
  if (!again) return;
  auto now = ParseEntry(*again);
  if (seen && now && (now->pid != seen->pid || now->startTime != seen->startTime)) return;
  unlink(path.c_str());
}

}  // namespace

OSErr RegisterCurrentProcess(OSType type, OSType signature, const std::string& name,
                             const std::filesystem::path& bundlePath, UInt32 mode) {
  Self& self = SelfState();
  std::lock_guard guard(self.lock);
  self.pid = getpid();
  self.entry = MakeEntry(type, signature, name, bundlePath, mode);
  return WriteSelf(self);
}

OSErr EnsureRegistered() {
  Self& self = SelfState();
  std::lock_guard guard(self.lock);
  if (self.pid != getpid()) {
    self.pid = getpid();
    self.entry = MakeEntry(0, 0, "", {}, 0);
    self.written = false;
  }
  if (self.written) {
    // Written once, but the directory may have been emptied (a new login session) since.
    std::filesystem::path dir;
    struct stat st;
    if (RuntimeDirectory(&dir) == noErr &&
        lstat((dir / EntryFileName(self.pid)).c_str(), &st) == 0) {
      return noErr;
    }
  }
  return WriteSelf(self);
}

ProcessEntry CurrentEntry() {
  EnsureRegistered();
  Self& self = SelfState();
  std::lock_guard guard(self.lock);
  return self.entry;
}

OSErr LiveEntries(std::vector<ProcessEntry>* out) {
  out->clear();
  std::filesystem::path dir;
  OSErr err = RuntimeDirectory(&dir);
  if (err != noErr) return err;
  DIR* stream = opendir(dir.c_str());
  if (!stream) return ioErr;
  while (dirent* d = readdir(stream)) {
    auto pid = PidOfEntryFileName(d->d_name);
    if (!pid) continue;
    std::filesystem::path path = dir / d->d_name;
    auto bytes = ReadOwnFile(path, kMaxEntryBytes);
    if (!bytes) continue;  // not ours to judge
    auto entry = ParseEntry(*bytes);
    if (entry && entry->pid == *pid && IsAlive(entry->pid, entry->startTime)) {
      out->push_back(std::move(*entry));
    } else {
      Prune(path, entry);
    }
  }
  closedir(stream);
  std::sort(out->begin(), out->end(),
            [](const ProcessEntry& a, const ProcessEntry& b) { return a.pid < b.pid; });
  return noErr;
}

OSErr FrontEntry(ProcessEntry* out) {
  std::vector<ProcessEntry> live;
  OSErr err = LiveEntries(&live);
  if (err != noErr) return err;
  std::filesystem::path dir;
  RuntimeDirectory(&dir);
  if (auto marker = ReadOwnFile(dir / kFrontMarker, 16); marker && marker->size() == 16) {
    auto get = [&](size_t at, int n) {
      uint64_t v = 0;
      for (int i = 0; i < n; ++i) v = (v << 8) | (*marker)[at + i];
      return v;
    };
    if (get(0, 4) == kFrontMagic) {
      for (const ProcessEntry& e : live) {
        if (e.pid == static_cast<pid_t>(get(4, 4)) && e.startTime == get(8, 8) &&
            !(e.mode & modeOnlyBackground)) {
          *out = e;
          return noErr;
        }
      }
    }
  }
  const ProcessEntry* latest = nullptr;
  for (const ProcessEntry& e : live) {
    if (e.mode & modeOnlyBackground) continue;
    if (!latest || e.startTime > latest->startTime ||
        (e.startTime == latest->startTime && e.pid > latest->pid)) {
      latest = &e;
    }
  }
  if (!latest) return procNotFound;
  *out = *latest;
  return noErr;
}

OSErr MarkFront(const ProcessEntry& entry) {
  std::filesystem::path dir;
  OSErr err = RuntimeDirectory(&dir);
  if (err != noErr) return err;
  std::vector<uint8_t> bytes;
  auto put = [&](uint64_t v, int n) {
    for (int i = n - 1; i >= 0; --i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  put(kFrontMagic, 4);
  put(static_cast<uint32_t>(entry.pid), 4);
  put(entry.startTime, 8);
  return WriteAtomically(dir, kFrontMarker, bytes);
}

ProcessSerialNumber PsnOfPid(pid_t pid) {
  if (pid > kCurrentProcess) return {0, static_cast<UInt32>(pid)};
  return {1, static_cast<UInt32>(pid)};
}

std::optional<pid_t> PidOfPsn(const ProcessSerialNumber& psn) {
  if (psn.highLongOfPSN == 0) {
    if (psn.lowLongOfPSN == kCurrentProcess) return getpid();
    if (psn.lowLongOfPSN <= kSystemProcess || psn.lowLongOfPSN > 0x7FFFFFFF) return std::nullopt;
    return static_cast<pid_t>(psn.lowLongOfPSN);
  }
  if (psn.highLongOfPSN == 1 && psn.lowLongOfPSN >= 1 && psn.lowLongOfPSN <= kCurrentProcess) {
    return static_cast<pid_t>(psn.lowLongOfPSN);
  }
  return std::nullopt;
}

}  // namespace tb::processes
