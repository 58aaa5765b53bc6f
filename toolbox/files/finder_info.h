// Finder information between its stored form (32 big-endian bytes) and the host-order
// structures of the surface.
#pragma once

#include <array>
#include <cstdint>

#include "toolbox/files/files.h"

namespace tb::files {

using StoredFinderInfo = std::array<uint8_t, 32>;

// The first and second 16 bytes in host order, laid out as FInfo/FXInfo (files) or
// DInfo/DXInfo (folders).
void FinderInfoToHost(const StoredFinderInfo& stored, bool isFolder, void* info16, void* ext16);
// Writes either half (a null half is left as stored).
void FinderInfoFromHost(StoredFinderInfo& stored, bool isFolder, const void* info16,
                        const void* ext16);

}  // namespace tb::files
