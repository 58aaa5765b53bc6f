// The 'icns' family reader and registration on arbitrary bytes: every element must lie inside
// the family, and registration either refuses the bytes or keeps exactly the family's length.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "toolbox/core/memory.h"
#include "toolbox/icons/icon_family.h"
#include "toolbox/icons/icons.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::span<const uint8_t> bytes(data, size);
  if (auto elements = tb::icons::ParseIconFamily(bytes)) {
    for (const auto& e : *elements) {
      if (e.data.data() < data || e.data.data() + e.data.size() > data + size) abort();
      volatile uint8_t sink = 0;
      for (uint8_t b : e.data) sink ^= b;  // reads every byte: ASan checks the bounds
    }
  }
  Handle h = tb::NewHandleWith(data, static_cast<Size>(size));
  if (!h) return 0;
  IconRef icon = nullptr;
  if (RegisterIconRefFromIconFamily('fuzz', 'icon', h, &icon) == noErr) {
    if (tb::icons::FamilyData(icon).size() > size) abort();
    ReleaseIconRef(icon);
    UnregisterIconRef('fuzz', 'icon');
  }
  DisposeHandle(h);
  return 0;
}
