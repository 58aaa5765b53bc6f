// Registry entry files are written by other processes of the user: parse or refuse, never
// crash, and whatever parses writes back as an entry that parses the same.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "toolbox/processes/entry_file.h"
#include "toolbox/processes/proc_stat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tb::processes;
  if (auto entry = ParseEntry({data, size})) {
    auto again = ParseEntry(EncodeEntry(*entry));
    if (!again || !(*again == *entry)) abort();
  }
  std::string_view text(reinterpret_cast<const char*>(data), size);
  ParseProcStat(text);
  PidOfEntryFileName(text);
  return 0;
}
