// The AppleDouble reader on hostile bytes: no crash, no read past the end, and whatever it
// accepts survives a rewrite unchanged.
#include <cstdint>
#include <cstdlib>
#include <span>

#include "toolbox/files/appledouble.h"

namespace ad = tb::files::appledouble;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::span<const uint8_t> bytes(data, size);
  // A prefix with a larger claimed file size, as the catalog reads sidecars.
  (void)ad::ReadDescriptors(bytes.first(size / 2), size);
  auto decoded = ad::Decode(bytes);
  if (!decoded) return 0;
  (void)decoded->empty();
  (void)decoded->locked();
  auto again = ad::Decode(ad::Encode(*decoded));
  if (!again || again->finderInfo != decoded->finderInfo ||
      again->finderInfoTail != decoded->finderInfoTail ||
      again->resourceFork != decoded->resourceFork ||
      again->others.size() != decoded->others.size()) {
    abort();
  }
  for (size_t i = 0; i < again->others.size(); ++i) {
    if (again->others[i].id != decoded->others[i].id ||
        again->others[i].bytes != decoded->others[i].bytes) {
      abort();
    }
  }
  return 0;
}
