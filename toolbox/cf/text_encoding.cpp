#include "toolbox/cf/text_encoding.h"

TextEncoding GetApplicationTextEncoding(void) {
  return kTextEncodingMacRoman;
}
