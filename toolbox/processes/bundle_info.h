// What a process's bundle says of it: Info.plist type, signature, name, background mode.
#pragma once

#include <filesystem>
#include <string>

#include "toolbox/core/types.h"

namespace tb::processes {

struct BundleFacts {
  OSType type = 0;              // CFBundlePackageType, 0 when absent or not four bytes
  OSType signature = 0;         // CFBundleSignature, likewise
  std::string name;             // CFBundleName, else CFBundleExecutable, else empty
  bool backgroundOnly = false;  // LSBackgroundOnly
};

// Reads <bundle>/Contents/Info.plist; a missing or unreadable file gives empty facts.
BundleFacts ReadBundleFacts(const std::filesystem::path& bundle);

}  // namespace tb::processes
