// Icon objects and the registry.
#include "toolbox/icons/icon_registry.h"

#include <algorithm>
#include <map>
#include <new>
#include <unordered_set>
#include <utility>
#include <vector>

struct OpaqueIconRef {
  uint32_t references = 1;
  std::vector<uint8_t> family;
};

namespace tb::icons {

namespace {

struct State {
  std::unordered_set<IconRef> live;
  std::map<std::pair<OSType, OSType>, IconRef> registered;
};

// Never destroyed: icons may still be released by other objects' destructors at exit.
State& Shared() {
  static State* state = new State;
  return *state;
}

}  // namespace

IconRef NewIcon(std::span<const uint8_t> family) {
  auto* icon = new (std::nothrow) OpaqueIconRef;
  if (!icon) return nullptr;
  try {
    icon->family.assign(family.begin(), family.end());
    Shared().live.insert(icon);
  } catch (const std::bad_alloc&) {
    delete icon;
    return nullptr;
  }
  return icon;
}

bool IsLive(IconRef icon) {
  return icon && Shared().live.count(icon) != 0;
}

void Retain(IconRef icon) {
  ++icon->references;
}

void Release(IconRef icon) {
  if (--icon->references > 0) return;
  Shared().live.erase(icon);
  delete icon;
}

uint32_t Owners(IconRef icon) {
  return icon->references;
}

void Register(OSType creator, OSType type, IconRef icon) {
  Retain(icon);
  IconRef& slot = Shared().registered[{creator, type}];
  IconRef old = std::exchange(slot, icon);
  if (old) Release(old);
}

IconRef Registered(OSType creator, OSType type) {
  auto& registered = Shared().registered;
  auto found = registered.find({creator, type});
  return found == registered.end() ? nullptr : found->second;
}

bool Unregister(OSType creator, OSType type) {
  auto& registered = Shared().registered;
  auto found = registered.find({creator, type});
  if (found == registered.end()) return false;
  IconRef icon = found->second;
  registered.erase(found);
  Release(icon);
  return true;
}

std::span<const uint8_t> FamilyData(IconRef icon) {
  if (!IsLive(icon)) return {};
  return icon->family;
}

}  // namespace tb::icons
