// The 'icns' icon family format: 'icns', a 4-byte length covering the whole family, then
// elements of a 4-byte type, a 4-byte length covering the element's header, and its data.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "toolbox/core/types.h"

namespace tb::icons {

struct IconElement {
  OSType type = 0;
  std::span<const uint8_t> data;  // without the element's 8-byte header
};

// The family's elements, or nothing when the bytes are no sound family: a wrong magic, a family
// length beyond the bytes or below 8, an element that runs past the family's end. Bytes after
// the family's length are ignored.
std::optional<std::vector<IconElement>> ParseIconFamily(std::span<const uint8_t> bytes);

// The family's bytes (the header's length of them) when sound and holding at least one element.
std::optional<std::span<const uint8_t>> SoundFamily(std::span<const uint8_t> bytes);

}  // namespace tb::icons
