#include "plugin/info/launcher_menu.h"

#include "plugin/entry/menu_cycle.h"
#include "plugin/entry/scoped_cf.h"
#include "plugin/info/launch_items.h"
#include "plugin/menu/catalog_records.h"
#include "plugin/menu/file_item.h"
#include "plugin/menu/root_menu.h"
#include "plugin/prefs/bundle_icons.h"
#include "plugin/prefs/preferences.h"
#include "toolbox/aliases/aliases.h"
#include "toolbox/cf/string.h"
#include "toolbox/core/errors.h"
#include "toolbox/core/memory.h"
#include "toolbox/core/pascal.h"
#include "toolbox/icons/icons.h"
#include "toolbox/launch/launch.h"

MenuRef gLauncherMenus[kLauncherMenuCount];

namespace {

constexpr SInt16 kApplicationsIconID = 139;
constexpr SInt16 kUtilitiesIconID = 140;
constexpr SInt16 kDeveloperIconID = 141;

bool ShowIcons() {
  return gPrefs[kPrefsMenuByte] & kPrefShowIcons;
}

CFStringRef CopyLocalized(CFStringRef key) {
  return CFBundleCopyLocalizedString(gPluginBundle, key, key, CFSTR("Localizable"));
}

// The new item's index, or 0 when the menu took nothing.
MenuItemIndex AppendLocalized(MenuRef menu, CFStringRef key) {
  ScopedCF<CFStringRef> text(CopyLocalized(key));
  MenuItemIndex index = 0;
  if (AppendMenuItemTextWithCFString(menu, text.get(), 0, 0, &index) != noErr) return 0;
  return index;
}

void AppendHeader(MenuRef menu, CFStringRef key) {
  if (MenuItemIndex index = AppendLocalized(menu, key)) {
    DisableMenuItem(menu, index);
    SetItemStyle(menu, index, kItemStyleBold);
  }
}

void AppendSeparator(MenuRef menu) {
  AppendMenu(menu, tb::PStr("-"));
}

// An enabled, indented message, with the caution icon when icons are shown.
void AppendMessage(MenuRef menu, CFStringRef key) {
  AppendMessageItem(menu, CountMenuItems(menu) + 1, key, true);
}

void SetIcon(MenuRef menu, MenuItemIndex index, IconRef icon) {
  SetMenuItemIconHandle(menu, index, kMenuIconRefType, reinterpret_cast<Handle>(icon));
  ReleaseIconRef(icon);
}

Boolean IsApplication(const FSSpec* item) {
  FSRef ref;
  LSItemInfoRecord info;
  return FSpMakeFSRef(item, &ref) == noErr &&
         LSCopyItemInfoForRef(&ref, kLSRequestBasicFlagsOnly, &info) == noErr &&
         (info.flags & kLSItemInfoIsApplication);
}

void AppendRunningApplications(MenuRef menu) {
  ProcessSerialNumber psn = {0, kNoProcess};
  while (GetNextProcess(&psn) == noErr) {
    ProcessInfoRec info = {};
    info.processInfoLength = sizeof info;
    if (GetProcessInformation(&psn, &info) != noErr) continue;  // gone since
    if (info.processMode & modeOnlyBackground) continue;
    FSRef location;
    if (GetProcessBundleLocation(&psn, &location) != noErr) continue;
    FSSpec spec;
    if (FSGetCatalogInfo(&location, kFSCatInfoNone, nullptr, nullptr, &spec, nullptr) != noErr) {
      continue;
    }
    AddLauncherItem(menu, &spec, true, false, &psn);
  }
}

// One alias record of the launch-items file: its target when that is an application or a
// folder.
Boolean AppendLaunchItem(MenuRef menu, AliasHandle alias) {
  FSRef target;
  Boolean changed = false;  // an updated record is not written back
  if (FSResolveAliasWithMountFlags(nullptr, alias, &target, &changed, kResolveAliasFileNoUI) !=
      noErr) {
    return false;
  }
  LSItemInfoRecord info;
  if (LSCopyItemInfoForRef(&target, kLSRequestBasicFlagsOnly, &info) != noErr) return false;
  FSSpec spec;
  if (FSGetCatalogInfo(&target, kFSCatInfoNone, nullptr, nullptr, &spec, nullptr) != noErr) {
    return false;
  }
  if (info.flags & kLSItemInfoIsApplication)
    return AddLauncherItem(menu, &spec, true, false, nullptr);
  if (info.flags & kLSItemInfoIsContainer)
    return AddLauncherItem(menu, &spec, false, true, nullptr);
  return false;
}

void AppendLaunchItems(MenuRef menu) {
  SInt16 file = 0;
  SInt16 count = 0;
  if (OpenLaunchItems(&file, &count) != noErr) return;
  if (count <= 0) {
    FSClose(file);
    return;
  }

  AppendSeparator(menu);
  AppendHeader(menu, CFSTR("message21"));
  bool appended = false;
  for (SInt16 i = 0; i < count; ++i) {
    AliasHandle alias = nullptr;
    if (ReadLaunchItem(file, &alias) != noErr) break;  // damaged from here on: the rest is left
    if (!alias) {
      AppendSeparator(menu);
      appended = true;
      continue;
    }
    if (AppendLaunchItem(menu, alias)) appended = true;
    DisposeHandle(reinterpret_cast<Handle>(alias));
  }
  if (!appended) AppendMessage(menu, CFSTR("message06"));
  FSClose(file);
}

// The folder `name` directly inside `parentID`: its FSSpec and directory ID. False when there
// is no such item or it is no folder.
bool FindSubfolder(SInt16 vRefNum, SInt32 parentID, ConstStr255Param name, FSSpec* spec,
                   SInt32* dirID) {
  Str255 buffer;
  CInfoPBRec pb;
  if (GetCatalogRecord(vRefNum, parentID, name, buffer, &pb) != noErr ||
      !(pb.dirInfo.ioFlAttrib & kioFlAttribDirMask)) {
    return false;
  }
  *dirID = pb.dirInfo.ioDrDirID;
  return FSMakeFSSpec(vRefNum, parentID, name, spec) == noErr;
}

bool AppendApplicationFolder(MenuRef menu, const FSSpec* folder, CFStringRef key, SInt16 iconID) {
  if (!AddLauncherItem(menu, folder, false, true, nullptr)) return false;
  const MenuItemIndex index = CountMenuItems(menu);
  ScopedCF<CFStringRef> text(CopyLocalized(key));
  SetMenuItemTextWithCFString(menu, index, text.get());
  if (ShowIcons()) {
    IconRef icon = nullptr;
    RegisterBundleIcon(iconID, kIconTypeLauncher, &icon);
    if (icon) SetIcon(menu, index, icon);
  }
  return true;
}

// "Applications" and "Developer" at the root of the system disk (the folder that holds
// "Users"), "Utilities" inside "Applications". True when any of the three was appended.
bool AppendApplicationFolders(MenuRef menu) {
  FSRef users;
  FSSpec usersSpec;
  if (FSFindFolder(kOnSystemDisk, kUsersFolderType, kDontCreateFolder, &users) != noErr ||
      FSGetCatalogInfo(&users, kFSCatInfoNone, nullptr, nullptr, &usersSpec, nullptr) != noErr) {
    return false;
  }
  const SInt16 vRefNum = usersSpec.vRefNum;
  const SInt32 rootID = usersSpec.parID;

  bool appended = false;
  FSSpec spec;
  SInt32 applicationsID = 0;
  SInt32 otherID = 0;
  if (FindSubfolder(vRefNum, rootID, tb::PStr("Applications"), &spec, &applicationsID)) {
    appended |= AppendApplicationFolder(menu, &spec, CFSTR("message23"), kApplicationsIconID);
    if (FindSubfolder(vRefNum, applicationsID, tb::PStr("Utilities"), &spec, &otherID)) {
      appended |= AppendApplicationFolder(menu, &spec, CFSTR("message24"), kUtilitiesIconID);
    }
  }
  SInt32 developerID = 0;
  if (FindSubfolder(vRefNum, rootID, tb::PStr("Developer"), &spec, &developerID) &&
      FindSubfolder(vRefNum, developerID, tb::PStr("Applications"), &spec, &otherID)) {
    appended |= AppendApplicationFolder(menu, &spec, CFSTR("message25"), kDeveloperIconID);
  }
  return appended;
}

}  // namespace

Boolean AddLauncherItem(MenuRef menu, const FSSpec* item, Boolean isApplication, Boolean isFolder,
                        const ProcessSerialNumber* process) {
  FSRef ref;
  if (FSpMakeFSRef(item, &ref) != noErr) return false;
  CFStringRef name = nullptr;
  if (LSCopyDisplayNameForRef(&ref, &name) != noErr) return false;
  ScopedCF<CFStringRef> nameHolder(name);
  MenuItemIndex index = 0;
  if (AppendMenuItemTextWithCFString(menu, name, 0, kCommandLaunchItem, &index) != noErr) {
    return false;
  }

  if (ShowIcons()) {
    IconRef icon = nullptr;
    if (GetIconRefFromFile(item, &icon, nullptr) == noErr && icon) SetIcon(menu, index, icon);
  }
  SetMenuItemProperty(menu, index, kItemPropCreator, kItemPropVolume, sizeof item->vRefNum,
                      &item->vRefNum);
  SetMenuItemProperty(menu, index, kItemPropCreator, kItemPropName, item->name[0] + 1u, item->name);
  if (process) {
    SetMenuItemProperty(menu, index, kItemPropCreator, kItemPropProcess, sizeof *process, process);
  }
  SetMenuItemRefCon(menu, index, static_cast<URefCon>(static_cast<UInt32>(item->parID)));
  SetMenuItemIndent(menu, index, 1);

  if (isFolder && !isApplication) {
    ChangeMenuItemAttributes(menu, index, kMenuItemAttrSubmenuParentChoosable, 0);
    SetMenuItemHierarchicalMenu(menu, index, gLauncherMenus[kLauncherPlaceholder]);
  }
  return true;
}

void BuildLauncherMenu(MenuRef* menu) {
  MenuRef popUp = *menu;
  if (UInt16 count = CountMenuItems(popUp)) DeleteMenuItems(popUp, 1, count);

  if (MenuItemIndex title = AppendLocalized(popUp, CFSTR("message19"))) {
    SetItemStyle(popUp, title, kItemStyleBoldItalic);
  }
  AppendSeparator(popUp);
  AppendHeader(popUp, CFSTR("message20"));
  AppendRunningApplications(popUp);
  AppendLaunchItems(popUp);
  AppendSeparator(popUp);
  AppendHeader(popUp, CFSTR("message22"));
  if (!AppendApplicationFolders(popUp)) AppendMessage(popUp, CFSTR("message26"));
}

void BuildLauncherFolderMenu(const FSSpec* folder, MenuRef menu) {
  if (UInt16 count = CountMenuItems(menu)) DeleteMenuItems(menu, 1, count);

  SInt32 folderID = 0;
  UInt32 entries = 0;
  if (!ReadFolderInfo(folder, &folderID, &entries)) return;
  if (entries == 0) {
    AppendMessageItem(menu, 1, CFSTR("message06"), false);
    return;
  }

  bool appended = false;
  for (UInt32 i = 1; i <= entries; ++i) {
    Str255 name;
    CInfoPBRec entry;
    if (!ReadFolderEntry(folder->vRefNum, folderID, i, name, &entry)) continue;
    if (entry.hFileInfo.ioFlFndrInfo.fdFlags & kIsInvisible) continue;
    FSSpec spec;
    if (FSMakeFSSpec(folder->vRefNum, folderID, name, &spec) != noErr) continue;

    Boolean isFolder = (entry.hFileInfo.ioFlAttrib & kioFlAttribDirMask) != 0;
    Boolean wasAliased = false;
    if (ResolveAliasFileWithMountFlagsNoUI(&spec, false, &isFolder, &wasAliased,
                                           kResolveAliasFileNoUI) != noErr) {
      continue;
    }
    if (spec.name[0] > 0 && spec.name[1] == '.') continue;

    if (IsApplication(&spec)) {
      appended |= AddLauncherItem(menu, &spec, true, false, nullptr);
    } else if (isFolder) {
      appended |= AddLauncherItem(menu, &spec, false, true, nullptr);
    }
  }
  if (!appended) AppendMessageItem(menu, 1, CFSTR("message06"), false);
}
