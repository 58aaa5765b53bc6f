// Launch Services: how the desktop presents an item (display name, kind) and what it is
// (package, application, alias file, symbolic link, ...), from its name and Finder flags.
#pragma once

#include "toolbox/cf/base.h"
#include "toolbox/core/errors.h"
#include "toolbox/core/types.h"
#include "toolbox/files/files.h"

typedef OptionBits LSRequestedInfo;
typedef OptionBits LSItemInfoFlags;
typedef UInt32 LSKindID;

enum : LSRequestedInfo {
  kLSRequestExtension = 0x00000001,
  kLSRequestTypeCreator = 0x00000002,
  // Everything but the application-type and extension flags.
  kLSRequestBasicFlagsOnly = 0x00000004,
  kLSRequestAppTypeFlags = 0x00000008,
  kLSRequestAllFlags = 0x00000010,
  kLSRequestIconAndKind = 0x00000020,
  kLSRequestExtensionFlagsOnly = 0x00000040,
  kLSRequestAllInfo = 0xFFFFFFFF,
};

enum : LSItemInfoFlags {
  kLSItemInfoIsPlainFile = 0x00000001,
  kLSItemInfoIsPackage = 0x00000002,
  kLSItemInfoIsApplication = 0x00000004,
  kLSItemInfoIsContainer = 0x00000008,
  kLSItemInfoIsAliasFile = 0x00000010,
  kLSItemInfoIsSymlink = 0x00000020,
  kLSItemInfoIsInvisible = 0x00000040,
  kLSItemInfoIsNativeApp = 0x00000080,
  kLSItemInfoIsVolume = 0x00001000,
  kLSItemInfoExtensionIsHidden = 0x00100000,
};

typedef struct LSItemInfoRecord {
  LSItemInfoFlags flags;
  OSType filetype;
  OSType creator;
  CFStringRef extension;     // kLSRequestExtension: a new string the caller releases, or NULL
  CFStringRef iconFileName;  // always NULL here
  LSKindID kindID;           // always 0 here
} LSItemInfoRecord;

// The item's name as the user sees it (a new string): Unicode, '/' where the Linux name has
// ':', without the extension when the item's extension-hidden Finder flag is set. A volume's
// root shows the volume name.
OSStatus LSCopyDisplayNameForRef(const FSRef* inRef, CFStringRef* outDisplayName);
// The record is cleared first; only what `inWhichInfo` asks for is filled. Symbolic links are
// described themselves, never followed.
OSStatus LSCopyItemInfoForRef(const FSRef* inItemRef, LSRequestedInfo inWhichInfo,
                              LSItemInfoRecord* outItemInfo);
// "Folder", "Volume", "Application", "Alias", "Package", "Symbolic link", or for a document the
// description of its content type ("plain text document"), "Document" when nothing is known.
OSStatus LSCopyKindStringForRef(const FSRef* inFSRef, CFStringRef* outKindString);
// Sets or clears the item's extension-hidden Finder flag.
OSStatus LSSetExtensionHiddenForRef(const FSRef* inRef, Boolean inHide);
