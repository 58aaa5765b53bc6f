// One registry entry: the file a toolbox process writes about itself in the runtime directory.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "toolbox/core/types.h"

namespace tb::processes {

struct ProcessEntry {
  pid_t pid = 0;
  uint64_t startTime = 0;  // clock ticks after boot (/proc/<pid>/stat); tells reused pids apart
  OSType type = 0;
  OSType signature = 0;
  UInt32 mode = 0;
  std::string name;        // UTF-8
  std::string bundlePath;  // absolute Linux path, or empty

  bool operator==(const ProcessEntry&) const = default;
};

// Limits on the variable parts; longer entries are refused when written and when read.
constexpr size_t kMaxNameBytes = 1024;
constexpr size_t kMaxPathBytes = 4096;
constexpr size_t kMaxEntryBytes = 16384;

std::vector<uint8_t> EncodeEntry(const ProcessEntry& entry);
// Nothing when the bytes are not a well-formed entry. Bytes after the last field are ignored,
// so later versions can add fields.
std::optional<ProcessEntry> ParseEntry(std::span<const uint8_t> bytes);

// The file name of a process's entry, and the pid a file name stands for.
std::string EntryFileName(pid_t pid);
std::optional<pid_t> PidOfEntryFileName(std::string_view name);

}  // namespace tb::processes
