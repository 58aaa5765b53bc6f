#include "toolbox/cf/string_encoding.h"

#include <bit>

#include "toolbox/core/text.h"

namespace tb::cf {
namespace {

std::u16string Utf16FromBytes(std::string_view bytes, bool bigEndian) {
  std::u16string out;
  out.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    auto hi = static_cast<unsigned char>(bytes[bigEndian ? i : i + 1]);
    auto lo = static_cast<unsigned char>(bytes[bigEndian ? i + 1 : i]);
    out.push_back(static_cast<char16_t>(hi << 8 | lo));
  }
  return out;
}

std::string BytesFromUtf16(std::u16string_view text, bool bigEndian) {
  std::string out;
  out.reserve(text.size() * 2);
  for (char16_t c : text) {
    char hi = static_cast<char>(c >> 8), lo = static_cast<char>(c & 0xFF);
    out.push_back(bigEndian ? hi : lo);
    out.push_back(bigEndian ? lo : hi);
  }
  return out;
}

constexpr bool kHostBigEndian = std::endian::native == std::endian::big;

// Single-byte encodings: each character must map to one byte.
template <typename ByteOf>
std::optional<std::string> EncodeSingleByte(std::u16string_view text, ByteOf byteOf) {
  std::string out;
  out.reserve(text.size());
  for (char32_t c : DecodeUtf16(text)) {
    std::optional<unsigned char> b = byteOf(c);
    if (!b) return std::nullopt;
    out.push_back(static_cast<char>(*b));
  }
  return out;
}

}  // namespace

std::optional<std::u16string> DecodeBytes(std::string_view bytes, CFStringEncoding encoding) {
  switch (encoding) {
    case kCFStringEncodingUTF8:
      return Utf16FromUtf8(bytes);
    case kCFStringEncodingMacRoman: {
      std::u32string text;
      text.reserve(bytes.size());
      for (char b : bytes) text.push_back(UnicodeFromMacRoman(static_cast<unsigned char>(b)));
      return EncodeUtf16(text);
    }
    case kCFStringEncodingASCII:
    case kCFStringEncodingISOLatin1: {
      unsigned limit = encoding == kCFStringEncodingASCII ? 0x80 : 0x100;
      std::u16string out;
      out.reserve(bytes.size());
      for (char b : bytes) {
        auto u = static_cast<unsigned char>(b);
        if (u >= limit) return std::nullopt;
        out.push_back(u);
      }
      return out;
    }
    case kCFStringEncodingUTF16: {
      if (bytes.size() % 2) return std::nullopt;
      if (bytes.starts_with("\xFE\xFF")) return Utf16FromBytes(bytes.substr(2), true);
      if (bytes.starts_with("\xFF\xFE")) return Utf16FromBytes(bytes.substr(2), false);
      return Utf16FromBytes(bytes, kHostBigEndian);
    }
    case kCFStringEncodingUTF16BE:
    case kCFStringEncodingUTF16LE:
      if (bytes.size() % 2) return std::nullopt;
      return Utf16FromBytes(bytes, encoding == kCFStringEncodingUTF16BE);
    default:
      return std::nullopt;
  }
}

std::optional<std::string> EncodeText(std::u16string_view text, CFStringEncoding encoding) {
  switch (encoding) {
    case kCFStringEncodingUTF8:
      return Utf8FromUtf16(text);
    case kCFStringEncodingMacRoman:
      return EncodeSingleByte(text, MacRomanFromUnicode);
    case kCFStringEncodingASCII:
      return EncodeSingleByte(text, [](char32_t c) -> std::optional<unsigned char> {
        if (c < 0x80) return static_cast<unsigned char>(c);
        return std::nullopt;
      });
    case kCFStringEncodingISOLatin1:
      return EncodeSingleByte(text, [](char32_t c) -> std::optional<unsigned char> {
        if (c < 0x100) return static_cast<unsigned char>(c);
        return std::nullopt;
      });
    case kCFStringEncodingUTF16:
      return BytesFromUtf16(text, kHostBigEndian);
    case kCFStringEncodingUTF16BE:
    case kCFStringEncodingUTF16LE:
      return BytesFromUtf16(text, encoding == kCFStringEncodingUTF16BE);
    default:
      return std::nullopt;
  }
}

std::u16string LenientUtf16FromUtf8(std::string_view utf8) {
  if (auto strict = Utf16FromUtf8(utf8)) return *strict;
  std::u32string text;
  size_t i = 0;
  while (i < utf8.size()) {
    auto lead = static_cast<unsigned char>(utf8[i]);
    size_t n = lead < 0x80                    ? 1
               : lead >= 0xC2 && lead <= 0xDF ? 2
               : lead >= 0xE0 && lead <= 0xEF ? 3
               : lead >= 0xF0 && lead <= 0xF4 ? 4
                                              : 0;
    std::optional<std::u32string> one;
    if (n && i + n <= utf8.size()) one = DecodeUtf8(utf8.substr(i, n));
    if (one && one->size() == 1) {
      text += *one;
      i += n;
    } else {
      text.push_back(0xFFFD);
      ++i;
    }
  }
  return EncodeUtf16(text);
}

}  // namespace tb::cf
