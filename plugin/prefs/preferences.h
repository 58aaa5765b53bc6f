// The four-byte preferences record, its named bits, and its file in the Preferences folder.
#pragma once

#include "toolbox/core/types.h"

// Byte 0 first, in memory and in the file.
typedef UInt8 PrefsRecord[4];
extern PrefsRecord gPrefs;

enum {
  kPrefsMenuByte = 0,   // what the menu shows
  kPrefsStyleByte = 1,  // styles, Recent Items, windows
};

// Byte 0.
enum : UInt8 {
  kPrefShowCommands = 0x80,
  kPrefShowContents = 0x40,
  kPrefFolderSubmenus = 0x20,
  kPrefResolveAliases = 0x10,
  kPrefItalicAliases = 0x08,
  kPrefShowInvisibles = 0x04,
  kPrefPackageSubmenus = 0x02,
  kPrefShowIcons = 0x01,
};

// Byte 1.
enum : UInt8 {
  kPrefStyleSymlinks = 0x80,
  kPrefBoldApplications = 0x40,
  kPrefHideRecentItems = 0x20,
  kPrefRecentCountMask = 0x18,
  kPrefPrefsToolbarHidden = 0x04,
  kPrefInfoToolbarHidden = 0x02,
  kPrefStyleReserved = 0x01,  // read by no one; kept as it was
};

// Byte 0 after ResetPreferences.
constexpr UInt8 kPrefMenuDefaults = kPrefShowCommands | kPrefShowContents | kPrefFolderSubmenus |
                                    kPrefResolveAliases | kPrefItalicAliases | kPrefShowIcons;

void ResetPreferences();
void LoadPreferences();
void SavePreferences();
