// Text encodings inside the toolbox: UTF-8, UTF-16 and Mac Roman (the system script).
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tb {

// The Unicode character of a Mac Roman byte (every byte has one).
char32_t UnicodeFromMacRoman(unsigned char byte);
// The Mac Roman byte of a character, or nothing when Mac Roman lacks it.
std::optional<unsigned char> MacRomanFromUnicode(char32_t c);

// UTF-8 decoding that rejects malformed input (overlong forms, surrogates, truncation).
std::optional<std::u32string> DecodeUtf8(std::string_view utf8);
std::string EncodeUtf8(std::u32string_view text);
void AppendUtf8(std::string& out, char32_t c);

// UTF-16 with surrogate pairs; an unpaired surrogate decodes as U+FFFD.
std::u32string DecodeUtf16(std::u16string_view utf16);
std::u16string EncodeUtf16(std::u32string_view text);

std::optional<std::u16string> Utf16FromUtf8(std::string_view utf8);
std::string Utf8FromUtf16(std::u16string_view utf16);

// Mac Roman bytes for UTF-8 text, or nothing when a character has no Mac Roman form.
std::optional<std::string> MacRomanFromUtf8(std::string_view utf8);
std::string Utf8FromMacRoman(std::string_view macRoman);

}  // namespace tb
