#include "toolbox/core/text.h"

#include <array>

namespace tb {
namespace {

// Unicode characters of Mac Roman bytes 0x80 to 0xFF.
constexpr std::array<char16_t, 128> kMacRomanHigh = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4, 0x00E3,
    0x00E5, 0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3,
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3,
    0x00A7, 0x2022, 0x00B6, 0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8,
    0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA,
    0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB,
    0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D,
    0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02,
    0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1, 0x00CB, 0x00C8, 0x00CD, 0x00CE,
    0x00CF, 0x00CC, 0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC,
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7};

bool IsSurrogate(char32_t c) {
  return c >= 0xD800 && c <= 0xDFFF;
}

}  // namespace

char32_t UnicodeFromMacRoman(unsigned char byte) {
  return byte < 0x80 ? byte : kMacRomanHigh[byte - 0x80];
}

std::optional<unsigned char> MacRomanFromUnicode(char32_t c) {
  if (c < 0x80) return static_cast<unsigned char>(c);
  for (size_t i = 0; i < kMacRomanHigh.size(); ++i) {
    if (kMacRomanHigh[i] == c) return static_cast<unsigned char>(0x80 + i);
  }
  return std::nullopt;
}

std::optional<std::u32string> DecodeUtf8(std::string_view utf8) {
  std::u32string out;
  out.reserve(utf8.size());
  size_t i = 0;
  while (i < utf8.size()) {
    unsigned char lead = utf8[i];
    if (lead < 0x80) {
      out.push_back(lead);
      ++i;
      continue;
    }
    size_t extra;
    char32_t c, min;
    if ((lead & 0xE0) == 0xC0) {
      extra = 1, c = lead & 0x1F, min = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2, c = lead & 0x0F, min = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3, c = lead & 0x07, min = 0x10000;
    } else {
      return std::nullopt;
    }
    if (utf8.size() - i <= extra) return std::nullopt;
    for (size_t k = 1; k <= extra; ++k) {
      unsigned char next = utf8[i + k];
      if ((next & 0xC0) != 0x80) return std::nullopt;
      c = (c << 6) | (next & 0x3F);
    }
    if (c < min || c > 0x10FFFF || IsSurrogate(c)) return std::nullopt;
    out.push_back(c);
    i += extra + 1;
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out.push_back(static_cast<char>(c));
  } else if (c < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (c >> 6)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else if (c < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (c >> 12)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (c >> 18)));
    out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
  }
}

std::string EncodeUtf8(std::u32string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char32_t c : text) AppendUtf8(out, c);
  return out;
}

std::u32string DecodeUtf16(std::u16string_view utf16) {
  std::u32string out;
  out.reserve(utf16.size());
  for (size_t i = 0; i < utf16.size(); ++i) {
    char32_t c = utf16[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    } else if (IsSurrogate(c)) {
      c = 0xFFFD;
    }
    out.push_back(c);
  }
  return out;
}

std::u16string EncodeUtf16(std::u32string_view text) {
  std::u16string out;
  out.reserve(text.size());
  for (char32_t c : text) {
    if (c >= 0x10000) {
      c -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (c >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (c & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(c));
    }
  }
  return out;
}

std::optional<std::u16string> Utf16FromUtf8(std::string_view utf8) {
  auto decoded = DecodeUtf8(utf8);
  if (!decoded) return std::nullopt;
  return EncodeUtf16(*decoded);
}

std::string Utf8FromUtf16(std::u16string_view utf16) {
  return EncodeUtf8(DecodeUtf16(utf16));
}

std::optional<std::string> MacRomanFromUtf8(std::string_view utf8) {
  auto decoded = DecodeUtf8(utf8);
  if (!decoded) return std::nullopt;
  std::string out;
  out.reserve(decoded->size());
  for (char32_t c : *decoded) {
    auto byte = MacRomanFromUnicode(c);
    if (!byte) return std::nullopt;
    out.push_back(static_cast<char>(*byte));
  }
  return out;
}

std::string Utf8FromMacRoman(std::string_view macRoman) {
  std::string out;
  out.reserve(macRoman.size());
  for (unsigned char byte : macRoman) AppendUtf8(out, UnicodeFromMacRoman(byte));
  return out;
}

}  // namespace tb
