#include "toolbox/core/time.h"

UInt32 TickCount() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<UInt32>(now.tv_sec * 60 + now.tv_nsec / (1000000000 / 60));
}
