// IconRef objects with reference counts, and the registry holding one reference to each icon
// registered by (creator, type). Main thread only, like the rest of the toolbox.
#pragma once

#include <cstdint>
#include <span>

#include "toolbox/icons/icons.h"

namespace tb::icons {

// A new icon holding a copy of the family, with one reference; nullptr when memory runs out.
IconRef NewIcon(std::span<const uint8_t> family);
// A pointer to an icon not yet freed.
bool IsLive(IconRef icon);
void Retain(IconRef icon);
// Frees the icon with its last reference.
void Release(IconRef icon);
uint32_t Owners(IconRef icon);

// Registers the icon under (creator, type) with a reference of the registry's own, dropping the
// registry's reference to the icon registered there before.
void Register(OSType creator, OSType type, IconRef icon);
// The icon registered under (creator, type), or nullptr (no reference is added).
IconRef Registered(OSType creator, OSType type);
bool Unregister(OSType creator, OSType type);

// The 'icns' family of a system icon (creator kSystemIconsCreator) built into the toolbox, or an
// empty span for a type it does not have.
std::span<const uint8_t> SystemIconFamily(OSType type);

}  // namespace tb::icons
