// Resource files held in memory, for the Resource Manager's logic without the File Manager.
#pragma once

#include <memory>
#include <vector>

#include "toolbox/core/errors.h"
#include "toolbox/resources/open_files.h"

namespace tb::resources::test {

using Bytes = std::vector<unsigned char>;

class MemoryFork : public ForkStore {
 public:
  MemoryFork(SInt16 refNum, std::shared_ptr<Bytes> bytes) : refNum_(refNum), bytes_(bytes) {}
  SInt16 refNum() const override { return refNum_; }
  OSErr replace(std::span<const unsigned char> bytes) override {
    bytes_->assign(bytes.begin(), bytes.end());
    return noErr;
  }

 private:
  SInt16 refNum_;
  std::shared_ptr<Bytes> bytes_;
};

// Opens `bytes` as a resource file whose writes land back in `bytes`.
inline SInt16 OpenInMemory(std::shared_ptr<Bytes> bytes, bool writable, OSErr* err) {
  static SInt16 next = 1000;
  const SInt16 refNum = next++;
  return OpenResourceFile(*bytes, std::make_unique<MemoryFork>(refNum, bytes), writable,
                          "memory:" + std::to_string(refNum), err);
}

inline std::shared_ptr<Bytes> ForkWith(const ResourceMap& map) {
  return std::make_shared<Bytes>(SerializeResourceFork(map).value());
}

}  // namespace tb::resources::test
