#include "toolbox/cf/plugin.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <map>
#include <mutex>

#include "toolbox/cf/bundle.h"
#include "toolbox/cf/bundle_info.h"
#include "toolbox/cf/plugin_instances.h"
#include "toolbox/cf/string.h"

namespace {

using Key = std::array<UInt8, 16>;

Key KeyOf(const CFUUIDBytes& bytes) {
  Key key;
  std::memcpy(key.data(), &bytes, 16);
  return key;
}

Key KeyOf(CFUUIDRef uuid) {
  return KeyOf(CFUUIDGetUUIDBytes(uuid));
}

std::optional<Key> ParseKey(std::string_view text) {
  CFUUIDBytes bytes;
  if (!tb::ParseUUID(text, &bytes)) return std::nullopt;
  return KeyOf(bytes);
}

std::optional<std::string> StringOf(plist_t node) {
  if (!node || plist_get_node_type(node) != PLIST_STRING) return std::nullopt;
  uint64_t length = 0;
  const char* text = plist_get_string_ptr(node, &length);
  if (!text) return std::nullopt;
  return std::string(text, length);
}

// CFPlugInFactories: factory UUID -> the name of its function; malformed entries are skipped.
std::map<Key, std::string> Factories(CFBundleRef bundle) {
  std::map<Key, std::string> factories;
  plist_t dict = tb::BundleInfoValue(bundle, "CFPlugInFactories");
  if (!dict || plist_get_node_type(dict) != PLIST_DICT) return factories;
  plist_dict_iter iter = nullptr;
  plist_dict_new_iter(dict, &iter);
  if (!iter) return factories;
  while (true) {
    char* key = nullptr;
    plist_t value = nullptr;
    plist_dict_next_item(dict, iter, &key, &value);
    if (!key) break;
    std::optional<Key> factory = ParseKey(key);
    std::optional<std::string> function = StringOf(value);
    if (factory && function && !function->empty()) factories.emplace(*factory, *function);
    free(key);
  }
  free(iter);
  return factories;
}

// The factories CFPlugInTypes lists for a type, in order, that CFPlugInFactories also declares.
std::vector<Key> FactoriesForType(CFBundleRef bundle, const Key& type) {
  std::vector<Key> found;
  plist_t types = tb::BundleInfoValue(bundle, "CFPlugInTypes");
  if (!types || plist_get_node_type(types) != PLIST_DICT) return found;
  std::map<Key, std::string> factories = Factories(bundle);
  plist_dict_iter iter = nullptr;
  plist_dict_new_iter(types, &iter);
  if (!iter) return found;
  while (true) {
    char* key = nullptr;
    plist_t list = nullptr;
    plist_dict_next_item(types, iter, &key, &list);
    if (!key) break;
    std::optional<Key> listed = ParseKey(key);
    free(key);
    if (!listed || *listed != type || !list || plist_get_node_type(list) != PLIST_ARRAY) continue;
    uint32_t n = plist_array_get_size(list);
    for (uint32_t i = 0; i < n; ++i) {
      std::optional<std::string> text = StringOf(plist_array_get_item(list, i));
      std::optional<Key> factory = text ? ParseKey(*text) : std::nullopt;
      if (factory && factories.count(*factory) &&
          std::find(found.begin(), found.end(), *factory) == found.end()) {
        found.push_back(*factory);
      }
    }
  }
  free(iter);
  return found;
}

void AppendUUIDs(CFMutableArrayRef array, const std::vector<Key>& keys) {
  for (const Key& k : keys) {
    CFUUIDRef uuid =
        CFUUIDGetConstantUUIDWithBytes(nullptr, k[0], k[1], k[2], k[3], k[4], k[5], k[6], k[7],
                                       k[8], k[9], k[10], k[11], k[12], k[13], k[14], k[15]);
    CFArrayAppendValue(array, uuid);
  }
}

struct Instances {
  std::mutex lock;
  std::map<Key, CFIndex> counts;
};

Instances& TheInstances() {
  static auto* instances = new Instances();
  return *instances;
}

}  // namespace

namespace tb {

CFIndex PlugInInstanceCount(CFUUIDRef factoryID) {
  if (!factoryID) return 0;
  Instances& all = TheInstances();
  std::lock_guard guard(all.lock);
  auto found = all.counts.find(KeyOf(factoryID));
  return found == all.counts.end() ? 0 : found->second;
}

bool BundleHasLiveInstances(CFBundleRef bundle) {
  std::map<Key, std::string> factories = Factories(bundle);
  Instances& all = TheInstances();
  std::lock_guard guard(all.lock);
  for (const auto& [factory, function] : factories) {
    if (auto found = all.counts.find(factory); found != all.counts.end() && found->second > 0) {
      return true;
    }
  }
  return false;
}

}  // namespace tb

CFPlugInRef CFPlugInCreate(CFAllocatorRef allocator, CFURLRef plugInURL) {
  return CFBundleCreate(allocator, plugInURL);
}

CFBundleRef CFPlugInGetBundle(CFPlugInRef plugIn) {
  return plugIn;
}

CFArrayRef CFPlugInFindFactoriesForPlugInTypeInPlugIn(CFUUIDRef typeUUID, CFPlugInRef plugIn) {
  CFMutableArrayRef result = CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks);
  if (typeUUID && plugIn) AppendUUIDs(result, FactoriesForType(plugIn, KeyOf(typeUUID)));
  return result;
}

CFArrayRef CFPlugInFindFactoriesForPlugInType(CFUUIDRef typeUUID) {
  CFMutableArrayRef result = CFArrayCreateMutable(nullptr, 0, &kCFTypeArrayCallBacks);
  if (!typeUUID) return result;
  for (CFBundleRef bundle : tb::AllBundles()) {
    AppendUUIDs(result, FactoriesForType(bundle, KeyOf(typeUUID)));
  }
  return result;
}

void* CFPlugInInstanceCreate(CFAllocatorRef allocator, CFUUIDRef factoryUUID, CFUUIDRef typeUUID) {
  if (!factoryUUID || !typeUUID) return nullptr;
  Key factory = KeyOf(factoryUUID);
  for (CFBundleRef bundle : tb::AllBundles()) {
    std::vector<Key> forType = FactoriesForType(bundle, KeyOf(typeUUID));
    if (std::find(forType.begin(), forType.end(), factory) == forType.end()) continue;
    std::string function = Factories(bundle)[factory];
    CFStringRef name = tb::CFStringFromUtf8(function);
    void* symbol = CFBundleGetFunctionPointerForName(bundle, name);
    CFRelease(name);
    // Another plug-in may declare the same factory with code that loads.
    if (!symbol) continue;
    return reinterpret_cast<CFPlugInFactoryFunction>(symbol)(allocator, typeUUID);
  }
  return nullptr;
}

void CFPlugInAddInstanceForFactory(CFUUIDRef factoryID) {
  if (!factoryID) return;
  Instances& all = TheInstances();
  std::lock_guard guard(all.lock);
  ++all.counts[KeyOf(factoryID)];
}

void CFPlugInRemoveInstanceForFactory(CFUUIDRef factoryID) {
  if (!factoryID) return;
  Instances& all = TheInstances();
  std::lock_guard guard(all.lock);
  if (auto found = all.counts.find(KeyOf(factoryID));
      found != all.counts.end() && found->second > 0) {
    --found->second;
  }
}
