#include "toolbox/core/fourcc.h"

namespace tb {

std::string FourCCText(OSType code) {
  std::string text(4, ' ');
  for (int i = 0; i < 4; ++i) text[i] = static_cast<char>((code >> (24 - 8 * i)) & 0xFF);
  return text;
}

}  // namespace tb
