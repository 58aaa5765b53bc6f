// What Launch Services knows of one item, gathered once from the File Manager and the file
// system: its Unicode name, Finder information, and whether it is a folder, volume or link.
#pragma once

#include <string>
#include <string_view>

#include "toolbox/files/files.h"
#include "toolbox/launch/launch.h"

namespace tb::launch {

struct ItemFacts {
  std::u16string name;  // as the File Manager gives it ('/' where Linux has ':')
  std::string path;     // the Linux path
  bool isFolder = false;
  bool isVolume = false;
  bool isSymlink = false;
  UInt16 finderFlags = 0;
  OSType type = 0;  // files only
  OSType creator = 0;
};

// noErr and the facts, or the File Manager's error for an unknown item.
OSErr ReadFacts(const FSRef* ref, ItemFacts* out);

// The extension of a name without its dot ("txt" of "a.txt"), or empty when there is none:
// a leading dot (".profile") or a trailing one ("a.") marks no extension, nor does one
// holding a space or a '/'.
std::u16string_view ExtensionOf(std::u16string_view name);
bool IsBundleExtension(std::u16string_view extension);

// The flags of the item (every flag, before a request narrows them).
LSItemInfoFlags FlagsOf(const ItemFacts& item);

}  // namespace tb::launch
