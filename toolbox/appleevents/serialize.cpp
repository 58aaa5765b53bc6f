// The flat byte form of a descriptor tree, as it travels between processes.
//
//   header:  'VAED' (4), version 1 (2), reserved 0 (2), then one node
//   node:    type (4), then
//            list/record: item count (4), items
//            Apple event: attribute count (4), attributes, parameter count (4), parameters
//            other types: data length (4), data (typeNull: length 0)
//   item:    keyword (4; 0 in a plain list), node
//
// Numbers are big-endian; item data is kept as the descriptor holds it. Readers accept only
// this exact form (no trailing bytes, bounded nesting), so bytes from another process can
// never make a malformed tree.
#include "toolbox/appleevents/storage.h"

namespace tb::ae {
namespace {

constexpr uint32_t kMagic = 'VAED';
constexpr uint16_t kVersion = 1;
constexpr size_t kSmallestItem = 12;  // keyword, type, length

void Put32(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v >> 24));
  out.push_back(static_cast<uint8_t>(v >> 16));
  out.push_back(static_cast<uint8_t>(v >> 8));
  out.push_back(static_cast<uint8_t>(v));
}

void PutNode(std::vector<uint8_t>& out, DescType type, const OpaqueAEDataStorage* data);

void PutItems(std::vector<uint8_t>& out, const std::vector<Item>& items, bool keyed) {
  Put32(out, static_cast<uint32_t>(items.size()));
  for (const Item& item : items) {
    Put32(out, keyed ? item.key : 0);
    PutNode(out, item.value.type, item.value.data.get());
  }
}

void PutNode(std::vector<uint8_t>& out, DescType type, const OpaqueAEDataStorage* data) {
  static const OpaqueAEDataStorage kEmpty;
  if (!data) data = &kEmpty;
  Put32(out, type);
  if (type == typeAppleEvent) PutItems(out, data->attributes, true);
  if (IsContainer(type)) {
    PutItems(out, data->items, IsKeyed(type));
  } else if (type == typeNull) {
    Put32(out, 0);
  } else {
    Put32(out, static_cast<uint32_t>(data->bytes.size()));
    out.insert(out.end(), data->bytes.begin(), data->bytes.end());
  }
}

class Reader {
 public:
  explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}

  bool Read32(uint32_t* v) {
    if (left() < 4) return false;
    const uint8_t* p = bytes_.data() + pos_;
    *v = (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
    pos_ += 4;
    return true;
  }
  size_t left() const { return bytes_.size() - pos_; }

  bool ReadNode(int depth, Value* out) {
    uint32_t type;
    if (!Read32(&type)) return false;
    if (type == typeNull) {
      uint32_t length;
      if (!Read32(&length) || length != 0) return false;
      *out = Value();
      return true;
    }
    auto data = std::make_unique<OpaqueAEDataStorage>();
    if (IsContainer(type)) {
      if (depth >= kMaxNesting) return false;
      if (type == typeAppleEvent && !ReadItems(depth + 1, true, &data->attributes)) return false;
      if (!ReadItems(depth + 1, IsKeyed(type), &data->items)) return false;
    } else {
      uint32_t length;
      if (!Read32(&length) || length > left()) return false;
      data->bytes.assign(bytes_.begin() + pos_, bytes_.begin() + pos_ + length);
      pos_ += length;
    }
    *out = Value(type, std::move(data));
    return true;
  }

 private:
  bool ReadItems(int depth, bool keyed, std::vector<Item>* items) {
    uint32_t count;
    if (!Read32(&count) || count > left() / kSmallestItem) return false;
    items->reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
      Item item;
      if (!Read32(&item.key)) return false;
      if (!keyed && item.key != 0) return false;
      if (!ReadNode(depth, &item.value)) return false;
      items->push_back(std::move(item));
    }
    return true;
  }

  std::span<const uint8_t> bytes_;
  size_t pos_ = 0;
};

}  // namespace

std::vector<uint8_t> Serialize(const AEDesc& desc) {
  std::vector<uint8_t> out;
  Put32(out, kMagic);
  out.push_back(static_cast<uint8_t>(kVersion >> 8));
  out.push_back(static_cast<uint8_t>(kVersion));
  out.push_back(0);
  out.push_back(0);
  PutNode(out, desc.descriptorType, desc.dataHandle);
  return out;
}

OSErr Deserialize(std::span<const uint8_t> bytes, AEDesc* out) {
  if (!out) return paramErr;
  *out = {typeNull, nullptr};
  return Guarded([&]() -> OSErr {
    Reader reader(bytes);
    uint32_t magic, version;
    if (!reader.Read32(&magic) || magic != kMagic) return OSErr{errAECorruptData};
    if (!reader.Read32(&version) || version != (uint32_t{kVersion} << 16)) {
      return OSErr{errAECorruptData};
    }
    Value value;
    if (!reader.ReadNode(0, &value) || reader.left() != 0) return OSErr{errAECorruptData};
    Release(std::move(value), out);
    return OSErr{noErr};
  });
}

}  // namespace tb::ae
