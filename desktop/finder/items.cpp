// The items a request names, as FSSpecs and Linux paths.
#include "desktop/finder/service.h"

namespace desktop::finder {
namespace {

OSErr Found(const FSSpec& spec, std::vector<Item>* items) {
  auto path = PathOf(spec);
  if (!path) return fnfErr;
  items->push_back({spec, *path});
  return noErr;
}

}  // namespace

std::optional<std::string> PathOf(const FSSpec& spec) {
  FSRef ref;
  if (FSpMakeFSRef(&spec, &ref) != noErr) return std::nullopt;
  UInt8 path[4096];
  if (FSRefMakePath(&ref, path, sizeof path) != noErr) return std::nullopt;
  return std::string(reinterpret_cast<const char*>(path));
}

std::string FolderOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

std::string LeafOf(const std::string& path) {
  auto slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string EscapedPath(const std::string& path) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                 c == '/' || c == '-' || c == '_' || c == '.' || c == '~';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

OSErr ItemsOf(const AppleEvent* event, AEKeyword key, std::vector<Item>* items) {
  items->clear();
  AEDesc param{typeNull, nullptr};
  OSErr err = AEGetParamDesc(event, key, typeWildCard, &param);
  if (err != noErr) return err;
  FSSpec spec;
  if (param.descriptorType != typeAEList) {
    Size size = 0;
    err = AEGetParamPtr(event, key, typeFSS, nullptr, &spec, sizeof spec, &size);
    if (err == noErr && size != static_cast<Size>(sizeof spec)) err = errAECoercionFail;
    if (err == noErr) err = Found(spec, items);
    AEDisposeDesc(&param);
    return err;
  }
  long count = 0;
  AECountItems(&param, &count);
  OSErr first = noErr;
  for (long i = 1; i <= count; ++i) {
    Size size = 0;
    OSErr e = AEGetNthPtr(&param, i, typeFSS, nullptr, nullptr, &spec, sizeof spec, &size);
    if (e == noErr && size != static_cast<Size>(sizeof spec)) e = errAECoercionFail;
    if (e == noErr) e = Found(spec, items);
    if (first == noErr) first = e;
  }
  AEDisposeDesc(&param);
  return first;
}

}  // namespace desktop::finder
