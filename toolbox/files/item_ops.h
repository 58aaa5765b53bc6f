// Changes to an item's metadata shared by several calls: Finder information and the lock.
#pragma once

#include "toolbox/files/catalog.h"
#include "toolbox/files/finder_info.h"
#include "toolbox/files/sidecar.h"

namespace tb::files {

// Writes the host-order halves given (null halves are kept) into the item's sidecar.
OSErr WriteFinderInfo(const Node& node, const void* info16, const void* ext16);
// A file loses (or gets back, for its owner) its write bits; other items record the lock in
// their sidecar.
OSErr SetLocked(const Node& node, bool locked);
// The number of entries of a folder (sidecars excluded).
uint32_t Valence(const Node& folder);

}  // namespace tb::files
