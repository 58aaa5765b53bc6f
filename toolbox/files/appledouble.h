// AppleDouble sidecar files: a pure codec over bytes (no file access here).
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "toolbox/files/result.h"

namespace tb::files::appledouble {

constexpr uint32_t kMagic = 0x00051607;
constexpr uint32_t kVersion = 0x00020000;
constexpr size_t kHeaderSize = 26;
constexpr size_t kDescriptorSize = 12;

enum EntryId : uint32_t {
  kDataFork = 1,
  kResourceFork = 2,
  kRealName = 3,
  kComment = 4,
  kFileDates = 8,
  kFinderInfo = 9,
  kMacFileInfo = 10,
};

struct Descriptor {
  uint32_t id = 0;
  uint64_t offset = 0;  // bounded by the file size
  uint64_t length = 0;  // cut at the end of the file
};

// The descriptors of a sidecar, read from its first bytes. `prefix` may be shorter than the
// file; `fileSize` bounds every offset and length.
Result<std::vector<Descriptor>> ReadDescriptors(std::span<const uint8_t> prefix, uint64_t fileSize);

struct Entry {
  uint32_t id = 0;
  std::vector<uint8_t> bytes;
};

// Everything a sidecar holds, decoded.
struct Sidecar {
  std::array<uint8_t, 32> finderInfo{};  // big-endian, as stored
  // Bytes of the Finder-info entry past its 32 bytes (pad and "ATTR" block), kept as they are.
  std::vector<uint8_t> finderInfoTail;
  std::vector<uint8_t> resourceFork;
  std::vector<Entry> others;  // every other entry, in file order (file info, dates, unknown)

  bool locked() const;  // Macintosh file info, attribute bit 0x01
  void setLocked(bool locked);
  // Nothing worth a file: Finder info all zero, no resource fork, no attributes, no lock, no
  // other entries.
  bool empty() const;
};

Result<Sidecar> Decode(std::span<const uint8_t> bytes);
// The two-entry layout (Finder info at 50, resource fork last), with kept entries between.
std::vector<uint8_t> Encode(const Sidecar& sidecar);

}  // namespace tb::files::appledouble
