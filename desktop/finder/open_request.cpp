// 'aevt' 'odoc': folders open in the browser, applications start, documents open with the
// application asked for or their default one, internet-location files open their URL.
#include <plist/plist.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include "desktop/finder/service.h"
#include "toolbox/launch/launch.h"
#include "toolbox/processes/processes.h"

namespace desktop::finder {
namespace {

constexpr size_t kMaxInfoPlistBytes = 1 << 20;

bool IsRunnableFile(const std::string& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || access(path.c_str(), X_OK) != 0) {
    return false;
  }
  // Execute bits alone say little (whole volumes carry them): a program starts with either.
  char head[4] = {};
  std::ifstream in(path, std::ios::binary);
  in.read(head, sizeof head);
  return (in.gcount() == 4 && std::string_view(head, 4) ==
                                  "\x7F"
                                  "ELF") ||
         (in.gcount() >= 2 && head[0] == '#' && head[1] == '!');
}

std::optional<std::string> BundleExecutableName(const std::string& bundle) {
  std::ifstream in(bundle + "/Contents/Info.plist", std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes(kMaxInfoPlistBytes + 1, '\0');
  in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bytes.resize(static_cast<size_t>(in.gcount()));
  if (bytes.size() > kMaxInfoPlistBytes) return std::nullopt;
  plist_t root = nullptr;
  plist_from_memory(bytes.data(), static_cast<uint32_t>(bytes.size()), &root);
  if (!root) return std::nullopt;
  std::optional<std::string> name;
  plist_t node = plist_get_node_type(root) == PLIST_DICT
                     ? plist_dict_get_item(root, "CFBundleExecutable")
                     : nullptr;
  if (node && plist_get_node_type(node) == PLIST_STRING) {
    char* text = nullptr;
    plist_get_string_val(node, &text);
    if (text) name = text;
    free(text);
  }
  plist_free(root);
  if (!name || name->empty() || name->find('/') != std::string::npos || *name == "." ||
      *name == "..") {
    return std::nullopt;
  }
  return name;
}

bool IsApplicationPackage(const Item& item) {
  FSRef ref;
  LSItemInfoRecord info;
  if (FSpMakeFSRef(&item.spec, &ref) != noErr ||
      LSCopyItemInfoForRef(&ref, kLSRequestAllFlags, &info) != noErr) {
    return false;
  }
  return (info.flags & kLSItemInfoIsApplication) && (info.flags & kLSItemInfoIsContainer);
}

// The program an application item runs: a bundle's executable, or the file itself.
std::optional<std::string> ProgramOf(const Item& app) {
  if (IsApplicationPackage(app)) {
    auto name = BundleExecutableName(app.path);
    if (!name) return std::nullopt;
    std::string program = app.path + "/Contents/MacOS/" + *name;
    if (!IsRunnableFile(program)) return std::nullopt;
    return program;
  }
  if (IsRunnableFile(app.path)) return app.path;
  return std::nullopt;
}

OSErr OpenItem(const Item& item) {
  if (auto program = ProgramOf(item)) {
    if (!Launch({*program, {}, {}})) return fnfErr;
    Record("launch " + item.path);
    return noErr;
  }
  struct stat st;
  if (stat(item.path.c_str(), &st) != 0) return fnfErr;
  if (S_ISDIR(st.st_mode)) {
    if (CurrentCallbacks().openFolder) CurrentCallbacks().openFolder(item.path);
    Record("open " + item.path);
    return noErr;
  }
  if (auto url = InternetLocationURL(item)) {
    if (!Launch({{}, {}, *url})) return errAEEventNotHandled;
    Record("open " + *url);
    return noErr;
  }
  if (!Launch({{}, {}, "file://" + EscapedPath(item.path)})) return errAEEventNotHandled;
  Record("open " + item.path);
  return noErr;
}

}  // namespace

OSErr HandleOpen(const AppleEvent* event, AppleEvent*, SRefCon) {
  std::vector<Item> items;
  OSErr err = ItemsOf(event, keyDirectObject, &items);
  std::vector<Item> apps;
  DescType type;
  Size size;
  if (AESizeOfParam(event, keyAEUsing, &type, &size) == noErr) {
    OSErr appErr = ItemsOf(event, keyAEUsing, &apps);
    if (apps.size() != 1) return appErr != noErr ? appErr : OSErr{paramErr};
    auto program = ProgramOf(apps.front());
    if (!program) return errAEEventNotHandled;
    for (const Item& item : items) {
      if (Launch({*program, {item.path}, {}})) {
        Record("launch " + apps.front().path + " " + item.path);
      } else if (err == noErr) {
        err = errAEEventNotHandled;
      }
    }
    return err;
  }
  for (const Item& item : items) {
    OSErr e = OpenItem(item);
    if (err == noErr) err = e;
  }
  return err;
}

}  // namespace desktop::finder
