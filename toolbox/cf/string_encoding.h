// Conversions between a string's UTF-16 text and the byte encodings CFString accepts.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "toolbox/cf/string.h"

namespace tb::cf {

// The text of bytes in an encoding, or nothing when they are not valid in it (or the encoding
// is unknown). UTF-16 without a byte-order mark is read in the host's order.
std::optional<std::u16string> DecodeBytes(std::string_view bytes, CFStringEncoding encoding);
// The bytes of the text in an encoding, or nothing when a character has no form in it.
std::optional<std::string> EncodeText(std::u16string_view text, CFStringEncoding encoding);
// UTF-8 to UTF-16 where each malformed sequence becomes U+FFFD.
std::u16string LenientUtf16FromUtf8(std::string_view utf8);

}  // namespace tb::cf
