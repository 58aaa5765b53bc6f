// Damaged .strings files must fail cleanly; well-formed ones must give a table whose entries
// survive a round trip through the UTF-8 helpers.
#include <cstddef>
#include <cstdint>
#include <span>

#include "toolbox/cf/strings_file.h"
#include "toolbox/core/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  auto bytes = std::as_bytes(std::span(data, size));
  if (auto table = tb::cf::ParseStringsFile(bytes)) {
    for (const auto& [key, value] : *table) {
      (void)tb::Utf8FromUtf16(key);
      (void)tb::Utf8FromUtf16(value);
    }
  }
  return 0;
}
