// Descriptor trees received from another process: the flat form must parse or fail cleanly,
// and whatever parses must read back and flatten to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "toolbox/appleevents/descriptors.h"

namespace {

void Walk(const AEDesc& desc, int depth) {
  long count = 0;
  if (AECountItems(&desc, &count) != noErr) {
    uint8_t buffer[16];
    AEGetDescData(&desc, buffer, sizeof buffer);
    return;
  }
  static const DescType kWanted[] = {typeWildCard, typeChar,    typeUTF8Text, typeUnicodeText,
                                     typeFSS,      typeSInt16,  typeSInt32,   typeBoolean,
                                     typeType,     typeAERecord};
  for (long i = 1; i <= count; ++i) {
    for (DescType want : kWanted) {
      uint8_t buffer[8];
      Size actual = 0;
      AEGetNthPtr(&desc, i, want, nullptr, nullptr, buffer, sizeof buffer, &actual);
    }
    AEDesc item;
    AEKeyword key;
    if (AEGetNthDesc(&desc, i, typeWildCard, &key, &item) == noErr) {
      if (AECheckIsRecord(&desc)) {
        AEDesc same;
        if (AEGetParamDesc(&desc, key, typeWildCard, &same) != noErr) abort();
        AEDisposeDesc(&same);
      }
      Walk(item, depth + 1);
      AEDisposeDesc(&item);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  AEDesc desc;
  if (tb::ae::Deserialize({data, size}, &desc) != noErr) {
    if (desc.descriptorType != typeNull || desc.dataHandle) abort();
    return 0;
  }
  std::vector<uint8_t> again = tb::ae::Serialize(desc);
  if (again.size() != size || !std::equal(again.begin(), again.end(), data)) abort();
  Walk(desc, 0);
  AEDesc copy;
  AEDuplicateDesc(&desc, &copy);
  if (tb::ae::Serialize(copy) != again) abort();
  AEDisposeDesc(&copy);
  AEDisposeDesc(&desc);
  return 0;
}
