// Kind strings: fixed words for containers, applications and aliases; a document's kind is the
// description of its GIO content type, guessed from its name and first bytes.
#include <fcntl.h>
#include <gio/gio.h>
#include <unistd.h>

#include <array>
#include <string>

#include "toolbox/cf/string.h"
#include "toolbox/core/text.h"
#include "toolbox/launch/item_facts.h"
#include "toolbox/launch/launch.h"

using namespace tb::launch;

namespace {

constexpr size_t kSniffBytes = 4096;

// The description of the document's content type, or empty when GIO knows nothing useful.
std::string DocumentKind(const ItemFacts& item) {
  std::array<guchar, kSniffBytes> head{};
  ssize_t got = 0;
  int fd = open(item.path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
  if (fd >= 0) {
    got = read(fd, head.data(), head.size());
    close(fd);
  }
  std::string name = tb::Utf8FromUtf16(item.name);
  gboolean uncertain = FALSE;
  gchar* type = g_content_type_guess(name.c_str(), got > 0 ? head.data() : nullptr,
                                     got > 0 ? static_cast<gsize>(got) : 0, &uncertain);
  std::string kind;
  if (type && !g_content_type_is_unknown(type)) {
    if (gchar* description = g_content_type_get_description(type)) {
      kind = description;
      g_free(description);
    }
  }
  g_free(type);
  return kind;
}

std::string KindOf(const ItemFacts& item) {
  LSItemInfoFlags flags = FlagsOf(item);
  if (flags & kLSItemInfoIsVolume) return "Volume";
  if (flags & kLSItemInfoIsApplication) return "Application";
  if (flags & kLSItemInfoIsPackage) return "Package";
  if (flags & kLSItemInfoIsContainer) return "Folder";
  if (flags & kLSItemInfoIsAliasFile) return "Alias";
  // A link is not opened to guess its target's content: the link itself is the item shown.
  if (flags & kLSItemInfoIsSymlink) return "Symbolic link";
  std::string kind = DocumentKind(item);
  return kind.empty() ? "Document" : kind;
}

}  // namespace

OSStatus LSCopyKindStringForRef(const FSRef* inFSRef, CFStringRef* outKindString) {
  if (!inFSRef || !outKindString) return paramErr;
  *outKindString = nullptr;
  ItemFacts item;
  if (OSErr err = ReadFacts(inFSRef, &item); err != noErr) return err;
  *outKindString = tb::CFStringFromUtf8(KindOf(item));
  return *outKindString ? noErr : memFullErr;
}
