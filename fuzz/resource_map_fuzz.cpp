// The resource-map reader on arbitrary bytes: it must fail cleanly or give a model that
// writes and reads back the same.
#include <cstdlib>

#include "toolbox/core/errors.h"
#include "toolbox/resources/resource_map.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace tb::resources;
  ResourceMap map;
  if (ParseResourceFork({data, size}, &map) != noErr) return 0;
  auto bytes = SerializeResourceFork(map);
  if (!bytes) return 0;
  ResourceMap again;
  if (ParseResourceFork(*bytes, &again) != noErr) std::abort();
  size_t before = 0, after = 0;
  for (auto& type : map.types) before += type.resources.size();
  for (auto& type : again.types) after += type.resources.size();
  if (before != after || again.attributes != map.attributes) std::abort();
  return 0;
}
