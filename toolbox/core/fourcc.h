// Four-character codes: 'OfD%' literals are big-endian packed, as on the original platform.
#pragma once

#include <string>
#include <string_view>

#include "toolbox/core/types.h"

namespace tb {

constexpr OSType FourCC(std::string_view text) {
  OSType code = 0;
  for (size_t i = 0; i < 4; ++i) {
    code = (code << 8) | static_cast<unsigned char>(i < text.size() ? text[i] : ' ');
  }
  return code;
}

// The code as four characters, for messages and file names.
std::string FourCCText(OSType code);

}  // namespace tb
