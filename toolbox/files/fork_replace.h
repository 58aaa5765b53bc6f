// Whole-fork replacement for the Resource Manager, which rewrites a resource file at once.
#pragma once

#include <cstddef>

#include "toolbox/core/types.h"

namespace tb::files {

// Replaces the whole content of a fork open with write permission and leaves the mark at its
// end. A resource fork (in the AppleDouble file) is rewritten through a temporary file and a
// rename; a data fork is rewritten in place, since a new inode would change the file's ID.
OSErr ReplaceForkContents(SInt16 refNum, const void* bytes, size_t size);

}  // namespace tb::files
