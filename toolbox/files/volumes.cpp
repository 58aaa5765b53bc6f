#include "toolbox/files/volumes.h"

#include <limits.h>
#include <pwd.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>

#include "toolbox/core/text.h"

namespace tb::files {
namespace {

std::string DefaultSystemDiskPath() {
  if (const char* data = getenv("XDG_DATA_HOME"); data && *data) {
    return std::string(data) + "/vantorel/System Disk";
  }
  std::string home;
  if (const char* h = getenv("HOME"); h && *h) {
    home = h;
  } else if (const passwd* pw = getpwuid(getuid())) {
    home = pw->pw_dir;
  }
  return home + "/.local/share/vantorel/System Disk";
}

void Mount(Volume& v, const std::string& path) {
  char resolved[PATH_MAX];
  v.root = realpath(path.c_str(), resolved) ? resolved : path;
  struct stat st {};
  if (lstat(v.root.c_str(), &st) == 0) {
    v.dev = st.st_dev;
    v.ino = st.st_ino;
    v.created = st.st_mtime;
  }
  v.paths.clear();
  v.paths[2] = v.root;
}

struct Mounted {
  std::string configured;  // the system disk path as last read from the environment
  Volume systemDisk;
  Volume root;
  Mounted() {
    systemDisk.vRefNum = kVantorelSystemDiskVRefNum;
    systemDisk.name = kSystemDiskName;
    root.vRefNum = kVantorelRootVRefNum;
    root.name = kRootVolumeName;
  }
};

Mounted& Volumes() {
  static Mounted* mounted = [] {
    auto* m = new Mounted;
    Mount(m->root, "/");
    return m;
  }();
  return *mounted;
}

}  // namespace

std::recursive_mutex& FilesMutex() {
  static std::recursive_mutex* mutex = new std::recursive_mutex;
  return *mutex;
}

std::string LoginName() {
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_name) return pw->pw_name;
  if (const char* user = getenv("USER"); user && *user) return user;
  return "user";
}

Volume* SystemDisk() {
  auto& m = Volumes();
  const char* env = getenv("VANTOREL_SYSTEM_DISK");
  if (env && *env && m.configured == env && !m.systemDisk.root.empty()) return &m.systemDisk;
  std::string wanted = env && *env ? env : DefaultSystemDiskPath();
  if (wanted != m.configured || m.systemDisk.root.empty()) {
    std::error_code ignored;
    namespace fs = std::filesystem;
    fs::path base(wanted);
    for (const char* sub : {"Library/Contextual Menu Items", "Applications/Utilities"}) {
      fs::create_directories(base / sub, ignored);
    }
    fs::create_directories(base / "Users" / LoginName() / "Library" / "Preferences", ignored);
    m.configured = wanted;
    Mount(m.systemDisk, wanted);
  }
  return &m.systemDisk;
}

Volume* RootVolume() {
  return &Volumes().root;
}

Volume* VolumeByRefNum(SInt16 vRefNum) {
  if (vRefNum == 0 || vRefNum == kVantorelSystemDiskVRefNum) return SystemDisk();
  if (vRefNum == kVantorelRootVRefNum) return RootVolume();
  return nullptr;
}

Volume* VolumeByIndex(int index) {
  if (index == 1) return SystemDisk();
  if (index == 2) return RootVolume();
  return nullptr;
}

Volume* VolumeByName(std::string_view macRomanName) {
  std::string utf8 = Utf8FromMacRoman(macRomanName);
  for (Volume* v : {SystemDisk(), RootVolume()}) {
    if (v->name == utf8) return v;
  }
  return nullptr;
}

Volume* VolumeForPath(std::string_view path) {
  Volume* disk = SystemDisk();
  if (path == disk->root || (path.starts_with(disk->root) && path.size() > disk->root.size() &&
                             path[disk->root.size()] == '/')) {
    return disk;
  }
  return RootVolume();
}

uint32_t NodeId(const Volume& volume, dev_t dev, ino_t ino) {
  if (dev == volume.dev && ino == volume.ino) return fsRtDirID;
  uint64_t x = static_cast<uint64_t>(ino);
  if (dev != volume.dev) x ^= (static_cast<uint64_t>(dev) + 1) * 0x9E3779B97F4A7C15ull;
  auto id = static_cast<uint32_t>(x ^ (x >> 32));
  return id < 16 ? id + 16 : id;
}

std::string JoinPath(std::string_view folder, std::string_view leaf) {
  std::string out(folder);
  if (out.empty() || out.back() != '/') out += '/';
  out += leaf;
  return out;
}

}  // namespace tb::files
