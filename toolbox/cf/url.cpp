#include "toolbox/cf/url.h"

#include <cstring>

#include "toolbox/cf/object.h"
#include "toolbox/cf/string.h"

struct __CFURL final : tb::cf::Object {
  __CFURL(std::string path, bool isDirectory)
      : Object(tb::cf::kURLTypeID), path(std::move(path)), isDirectory(isDirectory) {}
  bool equals(const Object& other) const override {
    const auto& o = static_cast<const __CFURL&>(other);
    return path == o.path && isDirectory == o.isDirectory;
  }
  CFHashCode hash() const override { return std::hash<std::string>()(path); }

  std::string path;  // absolute, no trailing slash except for the root
  bool isDirectory;
};

namespace {

const __CFURL* AsURL(CFURLRef url) {
  if (!url || tb::cf::AsObject(url)->type() != tb::cf::kURLTypeID) return nullptr;
  return static_cast<const __CFURL*>(tb::cf::AsObject(url));
}

CFURLRef NewURL(std::string_view path, bool isDirectory) {
  if (path.empty() || path.find('\0') != std::string_view::npos) return nullptr;
  std::error_code ec;
  std::filesystem::path p = std::filesystem::absolute(std::filesystem::path(path), ec);
  if (ec) return nullptr;
  std::string text = p.string();
  while (text.size() > 1 && text.back() == '/') text.pop_back();
  return new __CFURL(std::move(text), isDirectory);
}

}  // namespace

namespace tb {

std::filesystem::path URLPath(CFURLRef url) {
  const __CFURL* u = AsURL(url);
  return u ? std::filesystem::path(u->path) : std::filesystem::path();
}

CFURLRef CFURLFromPath(const std::filesystem::path& path, bool isDirectory) {
  return NewURL(path.string(), isDirectory);
}

}  // namespace tb

CFTypeID CFURLGetTypeID(void) {
  return tb::cf::kURLTypeID;
}

CFURLRef CFURLCreateFromFileSystemRepresentation(CFAllocatorRef, const UInt8* buffer,
                                                 CFIndex bufLen, Boolean isDirectory) {
  if (!buffer || bufLen <= 0) return nullptr;
  return NewURL(
      std::string_view(reinterpret_cast<const char*>(buffer), static_cast<size_t>(bufLen)),
      isDirectory);
}

Boolean CFURLGetFileSystemRepresentation(CFURLRef url, Boolean, UInt8* buffer, CFIndex maxBufLen) {
  const __CFURL* u = AsURL(url);
  if (!u || !buffer || maxBufLen <= 0 || u->path.size() >= static_cast<size_t>(maxBufLen)) {
    return false;
  }
  std::memcpy(buffer, u->path.c_str(), u->path.size() + 1);
  return true;
}

CFURLRef CFURLCreateWithFileSystemPath(CFAllocatorRef, CFStringRef filePath,
                                       CFURLPathStyle pathStyle, Boolean isDirectory) {
  if (pathStyle != kCFURLPOSIXPathStyle || !filePath) return nullptr;
  return NewURL(tb::Utf8FromCFString(filePath), isDirectory);
}

CFStringRef CFURLCopyFileSystemPath(CFURLRef anURL, CFURLPathStyle pathStyle) {
  const __CFURL* u = AsURL(anURL);
  if (!u || pathStyle != kCFURLPOSIXPathStyle) return nullptr;
  return tb::CFStringFromUtf8(u->path);
}

CFStringRef CFURLCopyLastPathComponent(CFURLRef url) {
  const __CFURL* u = AsURL(url);
  if (!u) return nullptr;
  if (u->path == "/") return tb::CFStringFromUtf8("/");
  return tb::CFStringFromUtf8(u->path.substr(u->path.rfind('/') + 1));
}

CFURLRef CFURLCreateCopyAppendingPathComponent(CFAllocatorRef, CFURLRef url,
                                               CFStringRef pathComponent, Boolean isDirectory) {
  const __CFURL* u = AsURL(url);
  if (!u || !pathComponent) return nullptr;
  std::string path = u->path;
  if (path != "/") path.push_back('/');
  path += tb::Utf8FromCFString(pathComponent);
  return NewURL(path, isDirectory);
}

Boolean CFURLHasDirectoryPath(CFURLRef anURL) {
  const __CFURL* u = AsURL(anURL);
  return u && u->isDirectory;
}
