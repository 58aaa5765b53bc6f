// Reading 'icns' families; every length is checked against what is left.
#include "toolbox/icons/icon_family.h"

namespace tb::icons {

namespace {

constexpr size_t kHeader = 8;

uint32_t BE32(std::span<const uint8_t> b, size_t at) {
  return uint32_t{b[at]} << 24 | uint32_t{b[at + 1]} << 16 | uint32_t{b[at + 2]} << 8 |
         uint32_t{b[at + 3]};
}

}  // namespace

std::optional<std::vector<IconElement>> ParseIconFamily(std::span<const uint8_t> bytes) {
  if (bytes.size() < kHeader || BE32(bytes, 0) != 'icns') return std::nullopt;
  uint32_t length = BE32(bytes, 4);
  if (length < kHeader || length > bytes.size()) return std::nullopt;
  std::span<const uint8_t> family = bytes.first(length);
  std::vector<IconElement> elements;
  size_t at = kHeader;
  while (at < family.size()) {
    if (family.size() - at < kHeader) return std::nullopt;
    uint32_t size = BE32(family, at + 4);
    if (size < kHeader || size > family.size() - at) return std::nullopt;
    elements.push_back({BE32(family, at), family.subspan(at + kHeader, size - kHeader)});
    at += size;
  }
  return elements;
}

std::optional<std::span<const uint8_t>> SoundFamily(std::span<const uint8_t> bytes) {
  auto elements = ParseIconFamily(bytes);
  if (!elements || elements->empty()) return std::nullopt;
  return bytes.first(BE32(bytes, 4));
}

}  // namespace tb::icons
