// The receiving side of Apple events: length-prefixed messages arriving in arbitrary pieces,
// each decoded into an event.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "toolbox/appleevents/frames.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  // The first byte picks the piece size, so messages split across reads are covered too.
  size_t piece = size_t{data[0]} + 1;
  tb::ae::MessageReader reader;
  std::vector<uint8_t> body;
  for (size_t at = 1; at < size; at += piece) {
    size_t n = std::min(piece, size - at);
    reader.Append({data + at, n});
    for (;;) {
      auto status = reader.Next(&body);
      if (status != tb::ae::MessageReader::Status::kMessage) break;
      AppleEvent event;
      if (tb::ae::DecodeEvent(body, &event) == noErr) {
        // A decoded event must travel again as it came.
        std::vector<uint8_t> again = tb::ae::EncodeMessage(event);
        if (again.size() != body.size() + 4) __builtin_trap();
        AEDisposeDesc(&event);
      }
    }
  }
  return 0;
}
