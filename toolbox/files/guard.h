// Every File Manager call runs under the manager's lock, and nothing thrown inside (memory
// exhaustion) crosses the surface.
#pragma once

#include <mutex>

#include "toolbox/files/volumes.h"

namespace tb::files {

template <typename Call>
OSErr Guarded(Call&& call) {
  try {
    std::lock_guard lock(FilesMutex());
    return call();
  } catch (...) {
    return memFullErr;
  }
}

}  // namespace tb::files
