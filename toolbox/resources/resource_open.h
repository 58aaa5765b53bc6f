// Opening resource files kept in a data fork (bundles' Contents/Resources/<name>.rsrc).
#pragma once

#include <filesystem>

#include "toolbox/files/files.h"

namespace tb::resources {

// Opens the map held in the file's data fork, as FSpOpenResFile does for the resource fork:
// the reference number (the file becomes current) or -1 with ResError set.
SInt16 OpenResFileInDataFork(const FSSpec& spec, SInt8 permission);
// The same for a Linux path, found on the volume of the Linux root.
SInt16 OpenResFileAtPath(const std::filesystem::path& path, SInt8 permission);

}  // namespace tb::resources
