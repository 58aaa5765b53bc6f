// Time: ticks (1/60 s) since the system started, and the toolbox's date epoch.
#pragma once

#include <ctime>

#include "toolbox/core/types.h"

UInt32 TickCount();

namespace tb {
// Seconds between 1904-01-01 (toolbox dates) and 1970-01-01 (Unix time).
constexpr int64_t kMacEpochOffset = 2082844800;
inline UInt32 MacSecondsFromUnix(time_t t) {
  return static_cast<UInt32>(t + kMacEpochOffset);
}
inline time_t UnixFromMacSeconds(UInt32 s) {
  return static_cast<time_t>(s) - kMacEpochOffset;
}
}  // namespace tb
