#include "plugin/menu/root_menu.h"

#include "plugin/entry/menu_cycle.h"
#include "plugin/entry/scoped_cf.h"
#include "plugin/menu/file_item.h"
#include "plugin/menu/folder_menu.h"
#include "plugin/menu/menu_pool.h"
#include "plugin/prefs/bundle_icons.h"
#include "plugin/prefs/preferences.h"
#include "toolbox/aliases/aliases.h"
#include "toolbox/cf/string.h"
#include "toolbox/core/errors.h"
#include "toolbox/core/pascal.h"

namespace {

// "Recent Items" and its NUL.
constexpr unsigned char kRecentFallback[] = {13,  'R', 'e', 'c', 'e', 'n', 't',
                                             ' ', 'I', 't', 'e', 'm', 's', 0};
constexpr CFIndex kRecentBufferSize = 32;

constexpr SInt16 kPrefsIconID = 129;
constexpr SInt16 kRecentIconID = 131;

CFStringRef CopyLocalized(CFStringRef key) {
  return CFBundleCopyLocalizedString(gPluginBundle, key, key, CFSTR("Localizable"));
}

void AppendLocalized(MenuRef menu, CFStringRef key, MenuCommand command) {
  ScopedCF<CFStringRef> text(CopyLocalized(key));
  AppendMenuItemTextWithCFString(menu, text.get(), 0, command, nullptr);
}

void AppendHeader(MenuRef menu, MenuItemIndex index, CFStringRef key) {
  AppendLocalized(menu, key, 0);
  DisableMenuItem(menu, index);
  SetItemStyle(menu, index, kItemStyleBold);
}

void SetBundleIcon(MenuRef menu, MenuItemIndex index, SInt16 resourceID, OSType iconType) {
  IconRef icon = nullptr;
  RegisterBundleIcon(resourceID, iconType, &icon);
  if (!icon) return;
  SetMenuItemIconHandle(menu, index, kMenuIconRefType, reinterpret_cast<Handle>(icon));
  ReleaseIconRef(icon);
}

void AppendSeparator(MenuRef menu) {
  AppendMenu(menu, tb::PStr("-"));
}

}  // namespace

void AppendMessageItem(MenuRef menu, MenuItemIndex index, CFStringRef key, Boolean showHeaders) {
  AppendLocalized(menu, key, 0);
  if (!showHeaders) {
    DisableMenuItem(menu, index);
    return;
  }
  if (gPrefs[kPrefsMenuByte] & kPrefShowIcons) {
    IconRef caution = nullptr;
    if (GetIconRef(kOnSystemDisk, kSystemIconsCreator, kAlertCautionIcon, &caution) == noErr) {
      SetMenuItemIconHandle(menu, index, kMenuIconRefType, reinterpret_cast<Handle>(caution));
      ReleaseIconRef(caution);
    }
  }
  SetMenuItemIndent(menu, index, 1);
}

void BuildRootMenu(MenuRef menu, const AEDesc* context) {
  if (UInt16 count = CountMenuItems(menu)) DeleteMenuItems(menu, 1, count);

  const UInt8 menuPrefs = gPrefs[kPrefsMenuByte];
  const bool showCommands = gForceAll || (menuPrefs & kPrefShowCommands);
  const bool showContents = gForceAll || (menuPrefs & kPrefShowContents);
  const bool showHeaders =
      gForceAll || ((menuPrefs & kPrefShowCommands) && (menuPrefs & kPrefShowContents));
  const bool showIcons = menuPrefs & kPrefShowIcons;
  const UInt32 indent = showHeaders ? 1 : 0;
  MenuItemIndex next = 1;

  if (showCommands) {
    if (showHeaders) {
      AppendHeader(menu, next, CFSTR("message01"));
      next = 2;
    }
    AppendLocalized(menu, CFSTR("message07"), kCommandShowPrefs);
    if (showIcons) SetBundleIcon(menu, next, kPrefsIconID, kIconTypePrefs);
    SetMenuItemIndent(menu, next, indent);
    ++next;
  }
  if (!showContents) return;

  if (next > 1) {
    AppendSeparator(menu);
    ++next;
  }
  if (showHeaders) {
    AppendHeader(menu, next, CFSTR("message02"));
    ++next;
  }
  if (!(gPrefs[kPrefsStyleByte] & kPrefHideRecentItems)) {
    LoadTaggedTitle(gPluginBundle, CFSTR("message10"), kRecentBufferSize, kRecentFallback,
                    gRecentTitle);
    AppendMenuItemText(menu, gRecentTitle);
    if (showIcons) SetBundleIcon(menu, next, kRecentIconID, kIconTypeRecent);
    SetMenuItemIndent(menu, next, indent);
    SetMenuItemHierarchicalMenu(menu, next, gMenuPool[kPoolPlaceholder]);
    ChangeMenuItemAttributes(menu, next, kMenuItemAttrSubmenuParentChoosable, 0);
    AppendSeparator(menu);
    next += 2;
  }

  const MenuItemIndex start = next;
  long count = 0;
  FSSpec item = {};
  AEKeyword keyword;
  DescType type;
  Size size = 0;
  if (!context || context->descriptorType == typeNull) {
    AppendMessageItem(menu, next++, CFSTR("message05"), showHeaders);
  } else if (AECountItems(context, &count) == noErr && count >= 2) {
    AppendMessageItem(menu, next++, CFSTR("message03"), showHeaders);
  } else if (AEGetNthPtr(context, 1, typeFSS, &keyword, &type, &item, sizeof item, &size) ==
                 noErr &&
             size == sizeof item) {  // a shorter record would leave the name unset
    Boolean isFolder = false;
    Boolean wasAliased = false;
    if (ResolveAliasFileWithMountFlagsNoUI(&item, true, &isFolder, &wasAliased,
                                           kResolveAliasFileNoUI) == noErr) {
      if (isFolder) {
        BuildFolderMenu(&item, menu, next, showHeaders);
      } else {
        AppendMessageItem(menu, next, CFSTR("message04"), showHeaders);
      }
      ++next;
    }
  }
  if (next == start) AppendMessageItem(menu, next, CFSTR("message06"), showHeaders);
}
