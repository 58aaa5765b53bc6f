#include "toolbox/resources/resource_map.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "toolbox/core/errors.h"

namespace tb::resources {
namespace {

constexpr size_t kHeaderSize = 16;
constexpr size_t kDataStart = 256;
constexpr size_t kMapHeaderSize = 28;  // header copy, next map, file ref, attributes, offsets
constexpr size_t kTypeEntrySize = 8;
constexpr size_t kRefEntrySize = 12;
constexpr UInt16 kNoName = 0xFFFF;

// Big-endian reads from a range already checked by the caller.
UInt32 BE(std::span<const unsigned char> b, size_t at, size_t width) {
  UInt32 v = 0;
  for (size_t i = 0; i < width; ++i) v = (v << 8) | b[at + i];
  return v;
}

void PutBE(std::vector<unsigned char>& out, size_t at, UInt32 value, size_t width) {
  for (size_t i = 0; i < width; ++i) {
    out[at + i] = static_cast<unsigned char>(value >> (8 * (width - 1 - i)));
  }
}

void AppendBE(std::vector<unsigned char>& out, UInt32 value, size_t width) {
  out.resize(out.size() + width);
  PutBE(out, out.size() - width, value, width);
}

bool Fits(size_t offset, size_t length, size_t limit) {
  return offset <= limit && length <= limit - offset;
}

struct Range {
  size_t begin, end;
};

}  // namespace

OSErr ParseResourceFork(std::span<const unsigned char> fork, ResourceMap* out) {
  if (!out) return paramErr;
  if (fork.size() < kHeaderSize) return mapReadErr;
  const size_t dataOffset = BE(fork, 0, 4), mapOffset = BE(fork, 4, 4);
  const size_t dataLength = BE(fork, 8, 4), mapLength = BE(fork, 12, 4);
  if (!Fits(dataOffset, dataLength, fork.size()) || !Fits(mapOffset, mapLength, fork.size())) {
    return mapReadErr;
  }
  if (dataOffset < kHeaderSize || mapOffset < kHeaderSize) return mapReadErr;
  if (mapLength < kMapHeaderSize + 2) return mapReadErr;

  const auto data = fork.subspan(dataOffset, dataLength);
  const auto map = fork.subspan(mapOffset, mapLength);
  ResourceMap result;
  if (fork.size() >= kDataStart) {
    std::copy_n(fork.begin() + kHeaderSize, result.reserved.size(), result.reserved.begin());
  }
  result.attributes = static_cast<UInt16>(BE(map, 22, 2));
  const size_t typeList = BE(map, 24, 2), nameList = BE(map, 26, 2);
  if (!Fits(typeList, 2, map.size()) || nameList > map.size()) return mapReadErr;

  const size_t typeCount = (BE(map, typeList, 2) + 1) & 0xFFFF;  // 0xFFFF: none
  const size_t typeEntries = typeList + 2;
  if (!Fits(typeEntries, typeCount * kTypeEntrySize, map.size())) return mapReadErr;

  // Reference lists must lie inside the map and not overlap the type entries or each other,
  // which also bounds the number of resources by the map's size.
  std::vector<Range> used{{typeList, typeEntries + typeCount * kTypeEntrySize}};
  result.types.reserve(typeCount);
  for (size_t t = 0; t < typeCount; ++t) {
    const size_t entry = typeEntries + t * kTypeEntrySize;
    ResourceType type;
    type.type = BE(map, entry, 4);
    const size_t count = BE(map, entry + 4, 2) + 1;
    const size_t refList = typeList + BE(map, entry + 6, 2);
    if (!Fits(refList, count * kRefEntrySize, map.size())) return mapReadErr;
    used.push_back({refList, refList + count * kRefEntrySize});

    type.resources.reserve(count);
    for (size_t r = 0; r < count; ++r) {
      const size_t ref = refList + r * kRefEntrySize;
      Resource res;
      res.id = static_cast<SInt16>(BE(map, ref, 2));
      const size_t nameOffset = BE(map, ref + 2, 2);
      res.attributes = map[ref + 4];
      const size_t dataAt = BE(map, ref + 5, 3);

      if (nameOffset != kNoName) {
        const size_t at = nameList + nameOffset;
        if (at >= map.size()) return mapReadErr;
        const size_t length = map[at];
        if (!Fits(at + 1, length, map.size())) return mapReadErr;
        if (length > 0) res.name.emplace(reinterpret_cast<const char*>(&map[at + 1]), length);
      }
      if (!Fits(dataAt, 4, data.size())) return mapReadErr;
      const size_t length = BE(data, dataAt, 4);
      if (!Fits(dataAt + 4, length, data.size())) return mapReadErr;
      res.data.assign(data.begin() + dataAt + 4, data.begin() + dataAt + 4 + length);
      type.resources.push_back(std::move(res));
    }
    result.types.push_back(std::move(type));
  }

  std::sort(used.begin(), used.end(), [](Range a, Range b) { return a.begin < b.begin; });
  for (size_t i = 1; i < used.size(); ++i) {
    if (used[i].begin < used[i - 1].end) return mapReadErr;
  }
  *out = std::move(result);
  return noErr;
}

std::optional<std::vector<unsigned char>> SerializeResourceFork(const ResourceMap& map) {
  std::vector<const ResourceType*> types;
  for (const auto& type : map.types) {
    if (type.resources.empty()) continue;
    if (type.resources.size() > 0x10000) return std::nullopt;
    types.push_back(&type);
  }
  if (types.size() > 0x10000) return std::nullopt;

  std::vector<unsigned char> fork(kDataStart, 0);
  std::copy(map.reserved.begin(), map.reserved.end(), fork.begin() + kHeaderSize);

  // Data area: each resource's length and bytes, in map order.
  std::vector<size_t> dataOffsets;
  for (const auto* type : types) {
    for (const auto& res : type->resources) {
      const size_t offset = fork.size() - kDataStart;
      if (offset > 0xFFFFFF || res.data.size() > 0xFFFFFFFFu) return std::nullopt;
      dataOffsets.push_back(offset);
      AppendBE(fork, static_cast<UInt32>(res.data.size()), 4);
      fork.insert(fork.end(), res.data.begin(), res.data.end());
    }
  }
  const size_t dataLength = fork.size() - kDataStart;
  const size_t mapOffset = fork.size();
  if (mapOffset > 0xFFFFFFFFu) return std::nullopt;

  std::vector<unsigned char> m(kMapHeaderSize, 0);
  PutBE(m, 22, map.attributes, 2);
  PutBE(m, 24, kMapHeaderSize, 2);
  AppendBE(m, static_cast<UInt32>(types.size() - 1), 2);  // 0xFFFF when there are none
  size_t refList = 2 + types.size() * kTypeEntrySize;     // from the type list's start
  for (const auto* type : types) {
    if (refList > 0xFFFF) return std::nullopt;
    AppendBE(m, type->type, 4);
    AppendBE(m, static_cast<UInt32>(type->resources.size() - 1), 2);
    AppendBE(m, static_cast<UInt32>(refList), 2);
    refList += type->resources.size() * kRefEntrySize;
  }
  std::vector<unsigned char> names;
  size_t index = 0;
  for (const auto* type : types) {
    for (const auto& res : type->resources) {
      AppendBE(m, static_cast<UInt16>(res.id), 2);
      if (res.name && !res.name->empty()) {
        if (names.size() >= kNoName) return std::nullopt;
        AppendBE(m, static_cast<UInt32>(names.size()), 2);
        const size_t length = std::min<size_t>(res.name->size(), 255);
        names.push_back(static_cast<unsigned char>(length));
        names.insert(names.end(), res.name->begin(), res.name->begin() + length);
      } else {
        AppendBE(m, kNoName, 2);
      }
      m.push_back(res.attributes);
      AppendBE(m, static_cast<UInt32>(dataOffsets[index++]), 3);
      AppendBE(m, 0, 4);
    }
  }
  if (m.size() > 0xFFFF) return std::nullopt;
  PutBE(m, 26, static_cast<UInt32>(m.size()), 2);
  m.insert(m.end(), names.begin(), names.end());

  const UInt32 header[4] = {static_cast<UInt32>(kDataStart), static_cast<UInt32>(mapOffset),
                            static_cast<UInt32>(dataLength), static_cast<UInt32>(m.size())};
  for (size_t i = 0; i < 4; ++i) {
    PutBE(fork, i * 4, header[i], 4);
    PutBE(m, i * 4, header[i], 4);
  }
  fork.insert(fork.end(), m.begin(), m.end());
  return fork;
}

ResourceMap EmptyResourceMap() {
  ResourceMap map;
  constexpr std::string_view kBlank = "This resource fork intentionally left blank   ";
  std::memcpy(map.reserved.data(), kBlank.data(), kBlank.size());  // a NUL follows
  return map;
}

}  // namespace tb::resources
