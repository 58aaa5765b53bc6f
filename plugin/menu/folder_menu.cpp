#include "plugin/menu/folder_menu.h"

#include "plugin/menu/catalog_records.h"
#include "plugin/menu/file_item.h"
#include "plugin/menu/root_menu.h"
#include "plugin/prefs/preferences.h"
#include "toolbox/aliases/aliases.h"
#include "toolbox/cf/string.h"
#include "toolbox/core/errors.h"

void BuildFolderMenu(const FSSpec* folder, MenuRef menu, MenuItemIndex firstIndex, Boolean indent) {
  if (firstIndex == 1) {
    if (UInt16 count = CountMenuItems(menu)) DeleteMenuItems(menu, 1, count);
  }
  const bool indented = firstIndex > 1 && indent;

  SInt32 folderID = 0;
  UInt32 entries = 0;
  if (!ReadFolderInfo(folder, &folderID, &entries)) entries = 0;

  MenuItemIndex next = firstIndex;
  for (UInt32 i = 1; i <= entries; ++i) {
    Str255 name;
    CInfoPBRec entry;
    if (!ReadFolderEntry(folder->vRefNum, folderID, i, name, &entry)) continue;
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
