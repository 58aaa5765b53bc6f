// What the kernel says of a process: /proc/<pid>/stat.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <string_view>

namespace tb::processes {

struct ProcStat {
  char state = '?';
  pid_t ppid = 0;
  uint64_t userTicks = 0;  // clock ticks (sysconf(_SC_CLK_TCK))
  uint64_t systemTicks = 0;
  uint64_t startTime = 0;  // clock ticks after boot
};

std::optional<ProcStat> ParseProcStat(std::string_view text);
std::optional<ProcStat> ReadProcStat(pid_t pid);
// Running, and the same process as the one that started at `startTime` (not a reused pid).
bool IsAlive(pid_t pid, uint64_t startTime);
// Resident memory in bytes, 0 when unknown.
uint64_t ResidentBytes(pid_t pid);

}  // namespace tb::processes
