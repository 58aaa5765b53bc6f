// Sidecar I/O: the AppleDouble file "._name" beside an item.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "toolbox/files/appledouble.h"

namespace tb::files {

bool IsSidecarName(std::string_view leaf);
std::string SidecarPath(std::string_view itemPath);

// What the catalog shows of a sidecar, read cheaply (header and Finder info only).
struct SidecarSummary {
  std::array<uint8_t, 32> finderInfo{};  // big-endian, as stored
  bool locked = false;
  uint64_t resourceForkLength = 0;
  std::optional<int32_t> created;  // file dates entry: seconds since 2000-01-01 GMT
};
// From "._leaf" inside the open folder `dirFd`; a missing or unreadable file reads as blank.
SidecarSummary ReadSidecarSummary(int dirFd, std::string_view leaf);
SidecarSummary ReadSidecarSummary(std::string_view itemPath);

// The whole sidecar; a missing or damaged file reads as an empty one.
appledouble::Sidecar LoadSidecar(std::string_view itemPath);
// Rewrites the sidecar through a temporary file and a rename, or removes it when empty.
OSErr StoreSidecar(std::string_view itemPath, const appledouble::Sidecar& sidecar);

// The sidecar follows its item: rename or remove it (a missing sidecar is fine).
OSErr MoveSidecar(std::string_view fromItemPath, std::string_view toItemPath);
void RemoveSidecar(std::string_view itemPath);
// For copies made outside the File Manager (the desktop's copy): the copy gets the metadata.
OSErr CopySidecar(std::string_view fromItemPath, std::string_view toItemPath);

// Writes a whole file through a temporary file in the same folder and a rename.
OSErr WriteFileAtomically(const std::string& path, std::span<const uint8_t> bytes);

}  // namespace tb::files
