#include "plugin/menu/folder_menu.h"

#include "plugin/menu/file_item.h"
#include "plugin/menu/root_menu.h"
#include "plugin/prefs/preferences.h"
#include "toolbox/aliases/aliases.h"
#include "toolbox/cf/string.h"
#include "toolbox/core/errors.h"
#include "toolbox/core/memory.h"

void BuildFolderMenu(const FSSpec* folder, MenuRef menu, MenuItemIndex firstIndex, Boolean indent) {
  if (firstIndex == 1) {
    if (UInt16 count = CountMenuItems(menu)) DeleteMenuItems(menu, 1, count);
  }
  const bool indented = firstIndex > 1 && indent;

  // Room for any length byte: a damaged one reads zeros, never past the buffer.
  Str255 folderName = {};
  BlockMoveData(folder->name, folderName, sizeof folder->name);
  CInfoPBRec pb = {};
  pb.dirInfo.ioNamePtr = folderName;
  pb.dirInfo.ioVRefNum = folder->vRefNum;
  pb.dirInfo.ioDrDirID = folder->parID;
  pb.dirInfo.ioFDirIndex = 0;
  SInt32 folderID = 0;
  UInt16 entries = 0;
  if (PBGetCatInfoSync(&pb) == noErr) {
    folderID = pb.dirInfo.ioDrDirID;
    entries = pb.dirInfo.ioDrNmFls;
  }

  // ioFDirIndex is signed 16-bit: an index past 32,767 would wrap to the folder itself.
  const UInt32 last = entries < 0x7FFF ? entries : 0x7FFF;
  MenuItemIndex next = firstIndex;
  for (UInt32 i = 1; i <= last; ++i) {
    Str255 name;
    CInfoPBRec entry = {};
    entry.hFileInfo.ioNamePtr = name;
    entry.hFileInfo.ioVRefNum = folder->vRefNum;
    entry.hFileInfo.ioDirID = folderID;
    entry.hFileInfo.ioFDirIndex = static_cast<SInt16>(i);
    if (PBGetCatInfoSync(&entry) != noErr) continue;
    Boolean isFolder = (entry.hFileInfo.ioFlAttrib & kioFlAttribDirMask) != 0;

    // Filtered before anything else is read: hidden entries cost no lookups. fdFlags and
    // frFlags share their place in the record.
    if (!(gPrefs[kPrefsMenuByte] & kPrefShowInvisibles)) {
      UInt16 finderFlags = entry.hFileInfo.ioFlFndrInfo.fdFlags;
      if ((finderFlags & kIsInvisible) || (name[0] > 0 && name[1] == '.')) continue;
    }

    FSSpec spec;
    if (FSMakeFSSpec(folder->vRefNum, folderID, name, &spec) != noErr) continue;

    Boolean viaAlias = false;
    if (gPrefs[kPrefsMenuByte] & kPrefResolveAliases) {
      FSSpec target = spec;
      Boolean targetIsFolder = isFolder;
      ResolveAliasFileWithMountFlagsNoUI(&target, false, &targetIsFolder, &viaAlias,
                                         kResolveAliasFileNoUI);
      isFolder = targetIsFolder;
    }

    if (!AppendFileItem(menu, next, &spec, isFolder, viaAlias)) continue;
    if (indented) SetMenuItemIndent(menu, next, 1);
    ++next;
  }

  if (next == firstIndex) AppendMessageItem(menu, next, CFSTR("message06"), indented);
}
