// The two mounted volumes: the system disk (a directory of its own) and the Linux root "/".
#pragma once

#include <sys/stat.h>

#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

#include "toolbox/core/types.h"
#include "toolbox/files/files.h"

namespace tb::files {

// Volume names, kept in one place (alias records store them).
inline constexpr const char* kSystemDiskName = "Macintosh HD";
inline constexpr const char* kRootVolumeName = "Linux";

struct Volume {
  SInt16 vRefNum = 0;
  std::string name;
  std::string root;  // absolute, resolved, without a trailing '/' (except "/")
  dev_t dev = 0;
  ino_t ino = 0;
  time_t created = 0;
  // Paths of the IDs met so far; verified by inode before use.
  std::unordered_map<uint32_t, std::string> paths;
};

// Every call of the File Manager holds this lock.
std::recursive_mutex& FilesMutex();

// The system disk follows VANTOREL_SYSTEM_DISK as it is at each call (tests set it per test).
Volume* SystemDisk();
Volume* RootVolume();
// 0 means the default volume, the system disk. Null for an unknown number.
Volume* VolumeByRefNum(SInt16 vRefNum);
Volume* VolumeByIndex(int index);  // 1-based
Volume* VolumeByName(std::string_view macRomanName);
// The volume holding an absolute, resolved path: items under the system disk's directory are
// on the system disk, everything else on the root volume. The root volume lists the system
// disk's directory as an ordinary entry, but reaching it (by name, ID or path) lands on the
// system disk's root, so nothing is seen twice under two volumes.
Volume* VolumeForPath(std::string_view path);

// The 32-bit ID of an item: 2 for the volume's root, else the inode folded to 32 bits (mixed
// with the device when it is not the volume's), never below 16.
uint32_t NodeId(const Volume& volume, dev_t dev, ino_t ino);

std::string JoinPath(std::string_view folder, std::string_view leaf);
std::string LoginName();

}  // namespace tb::files
