// The classic resource-fork format: parsing a fork's bytes into a model and writing it back.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "toolbox/core/types.h"

namespace tb::resources {

// Map attributes.
enum : UInt16 { kMapReadOnly = 0x80, kMapCompact = 0x40, kMapChanged = 0x20 };
// Resource attributes.
enum : UInt8 {
  kResSysHeap = 0x40,
  kResPurgeable = 0x20,
  kResLocked = 0x10,
  kResProtected = 0x08,
  kResPreload = 0x04,
  kResChanged = 0x02,
};

struct Resource {
  SInt16 id = 0;
  std::optional<std::string> name;  // Mac Roman bytes; never empty when present
  UInt8 attributes = 0;
  std::vector<unsigned char> data;
};

struct ResourceType {
  ResType type = 0;
  std::vector<Resource> resources;
};

// Bytes 16..255 of a fork: reserved for the system (112) and the application (128).
using ReservedArea = std::array<unsigned char, 240>;

struct ResourceMap {
  UInt16 attributes = 0;
  std::vector<ResourceType> types;
  ReservedArea reserved{};
};

// noErr and the model, or mapReadErr for anything that is not a sound resource fork
// (an empty fork included: it holds no map).
OSErr ParseResourceFork(std::span<const unsigned char> fork, ResourceMap* out);

// The fork's bytes: header, reserved areas, data from offset 256, then the map.
// Fails (nothing) only when the data grows past what 24-bit offsets can address.
std::optional<std::vector<unsigned char>> SerializeResourceFork(const ResourceMap& map);

// The model of the 286-byte fork the original platform writes for a new resource file.
ResourceMap EmptyResourceMap();

}  // namespace tb::resources
