// The `.strings` table format of localized resources: `"key" = "value";` entries.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <span>
#include <string>

namespace tb::cf {

using StringsTable = std::map<std::u16string, std::u16string, std::less<>>;

// The table in a file's bytes (UTF-8 with or without a byte-order mark, or UTF-16 with one), or
// nothing when the file is damaged: bad encoding, an unterminated string or comment, a missing
// '=' or ';'. Later entries replace earlier ones with the same key.
std::optional<StringsTable> ParseStringsFile(std::span<const std::byte> bytes);

}  // namespace tb::cf
