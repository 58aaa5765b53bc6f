#include "toolbox/files/appledouble.h"

#include <algorithm>
#include <cstring>

namespace tb::files::appledouble {
namespace {

uint32_t Be32(const uint8_t* p) {
  return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}
uint16_t Be16(const uint8_t* p) {
  return static_cast<uint16_t>((p[0] << 8) | p[1]);
}
void PutBe32(std::vector<uint8_t>& out, uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<uint8_t>(v >> shift));
}
void PutBe16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v >> 8));
  out.push_back(static_cast<uint8_t>(v));
}

// The attribute count of an "ATTR" block at the start of the Finder-info tail (after 2 pad
// bytes), or 0 when there is none.
uint16_t AttributeCount(const std::vector<uint8_t>& tail) {
  for (size_t at : {size_t{2}, size_t{0}}) {
    if (tail.size() >= at + 36 && std::memcmp(tail.data() + at, "ATTR", 4) == 0) {
      return Be16(tail.data() + at + 34);
    }
  }
  return 0;
}

}  // namespace

Result<std::vector<Descriptor>> ReadDescriptors(std::span<const uint8_t> prefix,
                                                uint64_t fileSize) {
  if (prefix.size() > fileSize) prefix = prefix.first(static_cast<size_t>(fileSize));
  if (prefix.size() < kHeaderSize) return OSErr{ioErr};
  uint32_t version = Be32(prefix.data() + 4);
  if (Be32(prefix.data()) != kMagic || (version != kVersion && version != 0x00010000)) {
    return OSErr{ioErr};
  }
  size_t count = Be16(prefix.data() + 24);
  if (kHeaderSize + count * kDescriptorSize > prefix.size()) return OSErr{ioErr};
  std::vector<Descriptor> out;
  out.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* d = prefix.data() + kHeaderSize + i * kDescriptorSize;
    Descriptor e;
    e.id = Be32(d);
    if (e.id == 0) continue;  // invalid; ignored
    e.offset = std::min<uint64_t>(Be32(d + 4), fileSize);
    e.length = std::min<uint64_t>(Be32(d + 8), fileSize - e.offset);
    out.push_back(e);
  }
  return out;
}

bool Sidecar::locked() const {
  for (auto& e : others) {
    if (e.id == kMacFileInfo && e.bytes.size() >= 4) return (e.bytes[3] & 0x01) != 0;
  }
  return false;
}

void Sidecar::setLocked(bool lock) {
  for (auto& e : others) {
    if (e.id != kMacFileInfo) continue;
    if (e.bytes.size() < 4) e.bytes.resize(4);
    e.bytes[3] = static_cast<uint8_t>(lock ? (e.bytes[3] | 0x01) : (e.bytes[3] & ~0x01));
    return;
  }
  if (lock) others.push_back({kMacFileInfo, {0, 0, 0, 0x01}});
}

bool Sidecar::empty() const {
  if (std::any_of(finderInfo.begin(), finderInfo.end(), [](uint8_t b) { return b != 0; })) {
    return false;
  }
  if (!resourceFork.empty() || AttributeCount(finderInfoTail) != 0) return false;
  for (auto& e : others) {
    bool blankFileInfo = e.id == kMacFileInfo &&
                         std::all_of(e.bytes.begin(), e.bytes.end(), [](uint8_t b) { return !b; });
    if (!blankFileInfo) return false;
  }
  return true;
}

Result<Sidecar> Decode(std::span<const uint8_t> bytes) {
  auto descriptors = ReadDescriptors(bytes, bytes.size());
  if (!descriptors) return descriptors.error();
  Sidecar out;
  bool seenFinderInfo = false, seenFork = false;
  for (auto& d : *descriptors) {
    auto entry = bytes.subspan(static_cast<size_t>(d.offset), static_cast<size_t>(d.length));
    if (d.id == kFinderInfo && !seenFinderInfo) {
      seenFinderInfo = true;
      size_t n = std::min(entry.size(), out.finderInfo.size());
      std::copy_n(entry.begin(), n, out.finderInfo.begin());
      if (entry.size() > n) out.finderInfoTail.assign(entry.begin() + n, entry.end());
    } else if (d.id == kResourceFork && !seenFork) {
      seenFork = true;
      out.resourceFork.assign(entry.begin(), entry.end());
    } else if (d.id != kFinderInfo && d.id != kResourceFork) {
      out.others.push_back({d.id, {entry.begin(), entry.end()}});
    }
  }
  return out;
}

std::vector<uint8_t> Encode(const Sidecar& sidecar) {
  size_t count = 2 + sidecar.others.size();
  std::vector<uint8_t> out;
  PutBe32(out, kMagic);
  PutBe32(out, kVersion);
  const char filler[] = "Mac OS X        ";
  out.insert(out.end(), filler, filler + 16);
  PutBe16(out, static_cast<uint16_t>(count));

  uint32_t offset = static_cast<uint32_t>(kHeaderSize + count * kDescriptorSize);
  auto describe = [&](uint32_t id, size_t length) {
    PutBe32(out, id);
    PutBe32(out, offset);
    PutBe32(out, static_cast<uint32_t>(length));
    offset += static_cast<uint32_t>(length);
  };
  describe(kFinderInfo, 32 + sidecar.finderInfoTail.size());
  for (auto& e : sidecar.others) describe(e.id, e.bytes.size());
  describe(kResourceFork, sidecar.resourceFork.size());

  out.insert(out.end(), sidecar.finderInfo.begin(), sidecar.finderInfo.end());
  out.insert(out.end(), sidecar.finderInfoTail.begin(), sidecar.finderInfoTail.end());
  for (auto& e : sidecar.others) out.insert(out.end(), e.bytes.begin(), e.bytes.end());
  out.insert(out.end(), sidecar.resourceFork.begin(), sidecar.resourceFork.end());
  return out;
}

}  // namespace tb::files::appledouble
