// Names: Linux leaf names (UTF-8, may hold ':') against toolbox names (Mac Roman or UTF-16,
// with '/' where Linux has ':').
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tb::files {

constexpr size_t kSpecNameLimit = 63;

// The FSSpec name of an item: its Mac Roman name, or when that is longer than 63 bytes or not
// Mac Roman, a prefix, '#', the ID in hexadecimal and (files only) the extension.
std::string SpecNameFromLinux(std::string_view leaf, uint32_t id, bool isFolder);
// The Linux leaf of a toolbox name; nothing for names no item can have.
std::optional<std::string> LinuxNameFromToolbox(std::string_view macRoman);
// The ID a shortened name carries ("prefix#1A2B.ext"), if it has that shape.
std::optional<uint32_t> ShortenedNameId(std::string_view macRoman);

std::u16string UnicodeNameFromLinux(std::string_view leaf);
std::optional<std::string> LinuxNameFromUnicode(std::u16string_view name);

}  // namespace tb::files
