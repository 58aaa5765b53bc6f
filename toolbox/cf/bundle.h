// CFBundle: a directory with Contents/Info.plist, its localized strings and its executable.
#pragma once

#include "toolbox/cf/base.h"

CFTypeID CFBundleGetTypeID(void);

// The bundle of a directory (caller releases). The same directory always gives the same object;
// NULL when the directory does not exist.
CFBundleRef CFBundleCreate(CFAllocatorRef alloc, CFURLRef bundleURL);
// A bundle created before with this CFBundleIdentifier (not retained), or NULL.
CFBundleRef CFBundleGetBundleWithIdentifier(CFStringRef bundleID);
// The bundle's CFBundleIdentifier (not retained), or NULL.
CFStringRef CFBundleGetIdentifier(CFBundleRef bundle);
CFURLRef CFBundleCopyBundleURL(CFBundleRef bundle);
CFURLRef CFBundleCopyResourcesDirectoryURL(CFBundleRef bundle);
CFURLRef CFBundleCopyExecutableURL(CFBundleRef bundle);

// The text for `key` in the table (NULL: "Localizable") of the first localization that has it,
// in the user's language order; else `value` when non-empty, else the key. Caller releases.
CFStringRef CFBundleCopyLocalizedString(CFBundleRef bundle, CFStringRef key, CFStringRef value,
                                        CFStringRef tableName);

#define CFCopyLocalizedStringFromTableInBundle(key, tbl, bundle, comment) \
  CFBundleCopyLocalizedString((bundle), (key), (key), (tbl))

Boolean CFBundleLoadExecutable(CFBundleRef bundle);
Boolean CFBundleIsExecutableLoaded(CFBundleRef bundle);
// Loads the executable when needed; NULL when it or the symbol is missing.
void* CFBundleGetFunctionPointerForName(CFBundleRef bundle, CFStringRef functionName);
// Keeps the code loaded while instances made by the bundle's factories are alive.
void CFBundleUnloadExecutable(CFBundleRef bundle);
