// Internet-location files: the classic kind (a 'url ' resource), ".webloc" property lists and
// ".url" shortcut files.
#include <plist/plist.h>

#include <fstream>
#include <iterator>
#include <memory>

#include "desktop/finder/service.h"
#include "toolbox/core/memory.h"
#include "toolbox/resources/resources.h"

namespace desktop::finder {
namespace {

// Link files are small; anything larger is not one.
constexpr size_t kMaxLinkFileBytes = 64 * 1024;

bool EndsWith(const std::string& s, std::string_view tail) {
  if (s.size() < tail.size()) return false;
  for (size_t i = 0; i < tail.size(); ++i) {
    char c = s[s.size() - tail.size() + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != tail[i]) return false;
  }
  return true;
}

std::optional<std::string> ReadSmallFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes;
  bytes.resize(kMaxLinkFileBytes + 1);
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(in.gcount()));
  if (bytes.size() > kMaxLinkFileBytes) return std::nullopt;
  return bytes;
}

// Only URLs a browser can open, and nothing that could be taken for an option.
std::optional<std::string> Plausible(std::string url) {
  while (!url.empty() &&
         (url.back() == '\r' || url.back() == '\n' || url.back() == ' ' || url.back() == '\0')) {
    url.pop_back();
  }
  auto colon = url.find(':');
  if (colon == std::string::npos || colon == 0) return std::nullopt;
  for (char c : url) {
    if (static_cast<unsigned char>(c) < 0x20) return std::nullopt;
  }
  return url;
}

std::optional<std::string> FromResource(const FSSpec& spec) {
  FInfo info;
  if (FSpGetFInfo(&spec, &info) != noErr) return std::nullopt;
  if (info.fdType != 'ilht' && info.fdType != 'LINK') return std::nullopt;
  SInt16 file = FSpOpenResFile(&spec, fsRdPerm);
  if (file < 0 || ResError() != noErr) return std::nullopt;
  std::optional<std::string> url;
  if (Handle h = Get1Resource('url ', 256)) {
    HLock(h);
    url = std::string(*h, static_cast<size_t>(GetHandleSize(h)));
    HUnlock(h);
    ReleaseResource(h);
  }
  CloseResFile(file);
  if (!url) return std::nullopt;
  return Plausible(*url);
}

std::optional<std::string> FromWebloc(const std::string& path) {
  auto bytes = ReadSmallFile(path);
  if (!bytes) return std::nullopt;
  plist_t root = nullptr;
  plist_from_memory(bytes->data(), static_cast<uint32_t>(bytes->size()), &root);
  if (!root) return std::nullopt;
  std::optional<std::string> url;
  if (plist_get_node_type(root) == PLIST_DICT) {
    plist_t node = plist_dict_get_item(root, "URL");
    if (node && plist_get_node_type(node) == PLIST_STRING) {
      char* text = nullptr;
      plist_get_string_val(node, &text);
      if (text) url = text;
      free(text);
    }
  }
  plist_free(root);
  if (!url) return std::nullopt;
  return Plausible(*url);
}

std::optional<std::string> FromShortcut(const std::string& path) {
  auto bytes = ReadSmallFile(path);
  if (!bytes) return std::nullopt;
  bool inSection = false;
  size_t at = 0;
  while (at < bytes->size()) {
    size_t end = bytes->find('\n', at);
    if (end == std::string::npos) end = bytes->size();
    std::string line = bytes->substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '[') {
      inSection = line == "[InternetShortcut]";
    } else if (inSection && line.starts_with("URL=")) {
      return Plausible(line.substr(4));
    }
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> InternetLocationURL(const Item& item) {
  if (EndsWith(item.path, ".webloc")) return FromWebloc(item.path);
  if (EndsWith(item.path, ".url")) return FromShortcut(item.path);
  return FromResource(item.spec);
}

}  // namespace desktop::finder
