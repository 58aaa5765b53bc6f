#include "toolbox/files/finder_info.h"

#include <cstring>

namespace tb::files {
namespace {

// Field widths of each 16-byte half, in order.
constexpr uint8_t kFileInfo[] = {4, 4, 2, 2, 2, 2};
constexpr uint8_t kFolderInfo[] = {2, 2, 2, 2, 2, 2, 2, 2};
constexpr uint8_t kFileExt[] = {2, 2, 2, 2, 1, 1, 2, 4};
constexpr uint8_t kFolderExt[] = {2, 2, 4, 1, 1, 2, 4};

template <size_t N>
void Convert(const uint8_t (&widths)[N], const uint8_t* from, uint8_t* to, bool toHost) {
  size_t at = 0;
  for (uint8_t w : widths) {
    uint64_t v = 0;
    if (toHost) {
      for (int i = 0; i < w; ++i) v = (v << 8) | from[at + i];
      if (w == 1) to[at] = static_cast<uint8_t>(v);
      if (w == 2) {
        uint16_t x = static_cast<uint16_t>(v);
        std::memcpy(to + at, &x, 2);
      }
      if (w == 4) {
        uint32_t x = static_cast<uint32_t>(v);
        std::memcpy(to + at, &x, 4);
      }
    } else {
      if (w == 1) v = from[at];
      if (w == 2) {
        uint16_t x;
        std::memcpy(&x, from + at, 2);
        v = x;
      }
      if (w == 4) {
        uint32_t x;
        std::memcpy(&x, from + at, 4);
        v = x;
      }
      for (int i = w - 1; i >= 0; --i, v >>= 8) to[at + i] = static_cast<uint8_t>(v);
    }
    at += w;
  }
}

}  // namespace

void FinderInfoToHost(const StoredFinderInfo& stored, bool isFolder, void* info16, void* ext16) {
  if (info16) {
    auto* out = static_cast<uint8_t*>(info16);
    isFolder ? Convert(kFolderInfo, stored.data(), out, true)
             : Convert(kFileInfo, stored.data(), out, true);
  }
  if (ext16) {
    auto* out = static_cast<uint8_t*>(ext16);
    isFolder ? Convert(kFolderExt, stored.data() + 16, out, true)
             : Convert(kFileExt, stored.data() + 16, out, true);
  }
}

void FinderInfoFromHost(StoredFinderInfo& stored, bool isFolder, const void* info16,
                        const void* ext16) {
  if (info16) {
    auto* in = static_cast<const uint8_t*>(info16);
    isFolder ? Convert(kFolderInfo, in, stored.data(), false)
             : Convert(kFileInfo, in, stored.data(), false);
  }
  if (ext16) {
    auto* in = static_cast<const uint8_t*>(ext16);
    isFolder ? Convert(kFolderExt, in, stored.data() + 16, false)
             : Convert(kFileExt, in, stored.data() + 16, false);
  }
}

}  // namespace tb::files
