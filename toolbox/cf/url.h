// CFURL for file-system locations (file URLs only).
#pragma once

#include <filesystem>

#include "toolbox/cf/base.h"

typedef enum { kCFURLPOSIXPathStyle = 0, kCFURLHFSPathStyle = 1 } CFURLPathStyle;

CFTypeID CFURLGetTypeID(void);

// Relative paths are taken from the current directory.
CFURLRef CFURLCreateFromFileSystemRepresentation(CFAllocatorRef alloc, const UInt8* buffer,
                                                 CFIndex bufLen, Boolean isDirectory);
// The NUL-terminated path; false when it does not fit in maxBufLen bytes.
Boolean CFURLGetFileSystemRepresentation(CFURLRef url, Boolean resolveAgainstBase, UInt8* buffer,
                                         CFIndex maxBufLen);
// Only the POSIX style is supported; other styles give NULL.
CFURLRef CFURLCreateWithFileSystemPath(CFAllocatorRef alloc, CFStringRef filePath,
                                       CFURLPathStyle pathStyle, Boolean isDirectory);
CFStringRef CFURLCopyFileSystemPath(CFURLRef anURL, CFURLPathStyle pathStyle);
CFStringRef CFURLCopyLastPathComponent(CFURLRef url);
CFURLRef CFURLCreateCopyAppendingPathComponent(CFAllocatorRef alloc, CFURLRef url,
                                               CFStringRef pathComponent, Boolean isDirectory);
Boolean CFURLHasDirectoryPath(CFURLRef anURL);

namespace tb {
// The URL's absolute path (empty for a null reference).
std::filesystem::path URLPath(CFURLRef url);
// A new file URL (caller releases) for a Linux path.
CFURLRef CFURLFromPath(const std::filesystem::path& path, bool isDirectory);
}  // namespace tb
