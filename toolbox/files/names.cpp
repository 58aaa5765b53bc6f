#include "toolbox/files/names.h"

#include <algorithm>
#include <cstdio>

#include "toolbox/core/text.h"

namespace tb::files {
namespace {

std::string Swap(std::string text, char from, char to) {
  std::replace(text.begin(), text.end(), from, to);
  return text;
}

// The extension a shortened name keeps: '.' and 1 to 5 printable ASCII characters.
std::string_view Extension(std::string_view leaf) {
  auto dot = leaf.rfind('.');
  if (dot == std::string_view::npos || dot == 0) return {};
  auto ext = leaf.substr(dot);
  if (ext.size() < 2 || ext.size() > 6) return {};
  for (char c : ext.substr(1)) {
    if (static_cast<unsigned char>(c) < 0x21 || static_cast<unsigned char>(c) > 0x7E) return {};
  }
  return ext;
}

// Mac Roman text of the characters that have a Mac Roman form.
std::string MappableMacRoman(std::string_view utf8) {
  std::string out;
  if (auto decoded = DecodeUtf8(utf8)) {
    for (char32_t c : *decoded) {
      if (auto b = MacRomanFromUnicode(c)) out.push_back(static_cast<char>(*b));
    }
  } else {
    for (char c : utf8) {
      if (static_cast<unsigned char>(c) >= 0x20 && static_cast<unsigned char>(c) < 0x7F) {
        out.push_back(c);
      }
    }
  }
  return out;
}

}  // namespace

std::string SpecNameFromLinux(std::string_view leaf, uint32_t id, bool isFolder) {
  bool plainAscii =
      leaf.size() <= kSpecNameLimit &&
      std::all_of(leaf.begin(), leaf.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
  if (plainAscii) return Swap(std::string(leaf), ':', '/');  // the common case, without decoding
  if (auto roman = MacRomanFromUtf8(leaf); roman && roman->size() <= kSpecNameLimit) {
    return Swap(std::move(*roman), ':', '/');
  }
  std::string_view ext = isFolder ? std::string_view{} : Extension(leaf);
  char tag[16];
  std::snprintf(tag, sizeof tag, "#%X", id);
  std::string prefix = MappableMacRoman(leaf.substr(0, leaf.size() - ext.size()));
  size_t room = kSpecNameLimit - std::string_view(tag).size() - ext.size();
  if (prefix.size() > room) prefix.resize(room);
  return Swap(prefix + tag + std::string(ext), ':', '/');
}

std::optional<std::string> LinuxNameFromToolbox(std::string_view macRoman) {
  if (macRoman.empty() || macRoman.find(':') != std::string_view::npos) return std::nullopt;
  std::string utf8 = Swap(Utf8FromMacRoman(macRoman), '/', ':');
  if (utf8 == "." || utf8 == ".." || utf8.find('\0') != std::string::npos) return std::nullopt;
  return utf8;
}

std::optional<uint32_t> ShortenedNameId(std::string_view name) {
  auto hash = name.rfind('#');
  if (hash == std::string_view::npos) return std::nullopt;
  uint64_t id = 0;
  size_t i = hash + 1, digits = 0;
  for (; i < name.size() && digits <= 8; ++i, ++digits) {
    char c = name[i];
    int v = c >= '0' && c <= '9' ? c - '0' : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
    if (v < 0) break;
    id = id * 16 + static_cast<uint64_t>(v);
  }
  if (digits == 0 || digits > 8) return std::nullopt;
  if (i < name.size() && name[i] != '.') return std::nullopt;
  return static_cast<uint32_t>(id);
}

std::u16string UnicodeNameFromLinux(std::string_view leaf) {
  std::u16string out;
  if (auto decoded = DecodeUtf8(leaf)) {
    out = EncodeUtf16(*decoded);
  } else {
    out = *Utf16FromUtf8(Utf8FromMacRoman(leaf));  // not UTF-8: shown byte by byte
  }
  std::replace(out.begin(), out.end(), u':', u'/');
  return out;
}

std::optional<std::string> LinuxNameFromUnicode(std::u16string_view name) {
  if (name.empty()) return std::nullopt;
  std::u16string swapped(name);
  if (swapped.find(u':') != std::u16string::npos) return std::nullopt;
  std::replace(swapped.begin(), swapped.end(), u'/', u':');
  std::string utf8 = Utf8FromUtf16(swapped);
  if (utf8 == "." || utf8 == ".." || utf8.find('\0') != std::string::npos) return std::nullopt;
  return utf8;
}

}  // namespace tb::files
