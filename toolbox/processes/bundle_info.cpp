#include "toolbox/processes/bundle_info.h"

#include <plist/plist.h>

#include <fstream>
#include <memory>
#include <vector>

namespace tb::processes {
namespace {

constexpr std::streamsize kMaxInfoPlist = 1 << 20;

std::string StringValue(plist_t dict, const char* key) {
  plist_t node = plist_dict_get_item(dict, key);
  if (!node || plist_get_node_type(node) != PLIST_STRING) return {};
  char* value = nullptr;
  plist_get_string_val(node, &value);
  std::string text = value ? value : "";
  free(value);
  return text;
}

OSType CodeValue(plist_t dict, const char* key) {
  std::string text = StringValue(dict, key);
  if (text.size() != 4) return 0;
  OSType code = 0;
  for (unsigned char c : text) code = (code << 8) | c;
  return code;
}

bool BoolValue(plist_t dict, const char* key) {
  plist_t node = plist_dict_get_item(dict, key);
  if (!node) return false;
  if (plist_get_node_type(node) == PLIST_BOOLEAN) {
    uint8_t value = 0;
    plist_get_bool_val(node, &value);
    return value != 0;
  }
  std::string text = StringValue(dict, key);
  return text == "1" || text == "YES" || text == "true";
}

}  // namespace

BundleFacts ReadBundleFacts(const std::filesystem::path& bundle) {
  BundleFacts facts;
  std::ifstream in(bundle / "Contents" / "Info.plist", std::ios::binary);
  if (!in) return facts;
  std::vector<char> bytes(kMaxInfoPlist);
  in.read(bytes.data(), kMaxInfoPlist);
  bytes.resize(static_cast<size_t>(in.gcount()));
  if (bytes.empty()) return facts;
  plist_t root = nullptr;
  plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
  std::unique_ptr<void, void (*)(plist_t)> owner(root, plist_free);
  if (!root || plist_get_node_type(root) != PLIST_DICT) return facts;
  facts.type = CodeValue(root, "CFBundlePackageType");
  facts.signature = CodeValue(root, "CFBundleSignature");
  facts.name = StringValue(root, "CFBundleName");
  if (facts.name.empty()) facts.name = StringValue(root, "CFBundleExecutable");
  facts.backgroundOnly = BoolValue(root, "LSBackgroundOnly");
  return facts;
}

}  // namespace tb::processes
