#include "plugin/menu/recent_items.h"

#include <cstring>

#include "plugin/entry/menu_cycle.h"
#include "plugin/entry/scoped_cf.h"
#include "plugin/menu/file_item.h"
#include "plugin/prefs/preferences.h"
#include "toolbox/aliases/aliases.h"
#include "toolbox/cf/string.h"
#include "toolbox/core/errors.h"
#include "toolbox/core/memory.h"
#include "toolbox/core/pascal.h"

namespace {

constexpr tb::PStr kRecentsFileName("Vantorel Recents");
constexpr OSType kRecentsCreator = 'QVRL';
constexpr OSType kRecentsType = 'pref';
// The system never writes a record near this size; a larger length is damage.
constexpr SInt32 kLargestRecord = 1 << 20;

OSErr PreferencesFolder(SInt16* vRefNum, SInt32* dirID) {
  return FindFolder(kOnSystemDisk, kPreferencesFolderType, kDontCreateFolder, vRefNum, dirID);
}

OSErr RecentsFileSpec(FSSpec* spec) {
  SInt16 vRefNum;
  SInt32 dirID;
  OSErr err = PreferencesFolder(&vRefNum, &dirID);
  if (err != noErr) return err;
  return FSMakeFSSpec(vRefNum, dirID, kRecentsFileName, spec);
}

// Reads one record of the open file: its length, then its alias bytes into a new handle.
// Subtracts what the record claims from `remaining`. Nothing (and the reading ends) for a
// length that could not be a record.
AliasHandle ReadRecord(SInt16 file, long* remaining) {
  UInt8 bytes[4];
  long count = sizeof bytes;
  if (FSRead(file, &count, bytes) != noErr || count != sizeof bytes) {
    *remaining = 0;
    return nullptr;
  }
  SInt32 length = static_cast<SInt32>((UInt32{bytes[0]} << 24) | (UInt32{bytes[1]} << 16) |
                                      (UInt32{bytes[2]} << 8) | bytes[3]);
  if (length < 0 || length > kLargestRecord) {
    *remaining = 0;
    return nullptr;
  }
  *remaining -= length + 4;
  Handle alias = NewHandle(length);
  if (!alias) {
    *remaining = 0;
    return nullptr;
  }
  HLock(alias);
  count = length;
  OSErr err = FSRead(file, &count, *alias);
  HUnlock(alias);
  // A length that runs past the end: the bytes that are there are used.
  if (err != noErr && err != eofErr) {
    DisposeHandle(alias);
    *remaining = 0;
    return nullptr;
  }
  if (count < length) SetHandleSize(alias, count);
  return reinterpret_cast<AliasHandle>(alias);
}

void WriteRecord(SInt16 file, Handle alias, SInt32 size) {
  UInt8 bytes[4] = {static_cast<UInt8>(size >> 24), static_cast<UInt8>(size >> 16),
                    static_cast<UInt8>(size >> 8), static_cast<UInt8>(size)};
  long count = sizeof bytes;
  FSWrite(file, &count, bytes);
  HLock(alias);
  count = size;
  FSWrite(file, &count, *alias);
  HUnlock(alias);
}

bool SameItem(const FSSpec& a, const FSSpec& b) {
  return a.parID == b.parID && a.vRefNum == b.vRefNum &&
         std::memcmp(a.name, b.name, a.name[0] + 1u) == 0;
}

}  // namespace

int RecentItemsShown() {
  switch (gPrefs[kPrefsStyleByte] & kPrefRecentCountMask) {
    case 0x08:
      return 15;
    case 0x10:
      return 5;
    case 0x18:
      return 20;
    default:
      return 10;
  }
}

Boolean AppendRecentItem(MenuRef* menu, MenuItemIndex index, const FSSpec* item, Boolean isFolder) {
  return AppendFileItem(*menu, index, item, isFolder, false);
}

void BuildRecentMenu(MenuRef* menu) {
  if (UInt16 count = CountMenuItems(*menu)) DeleteMenuItems(*menu, 1, count);
  const int shown = RecentItemsShown();
  MenuItemIndex next = 1;

  FSSpec spec;
  SInt16 file = 0;
  if (RecentsFileSpec(&spec) == noErr && FSpOpenDF(&spec, fsRdPerm, &file) == noErr) {
    long remaining = 0;
    GetEOF(file, &remaining);
    for (int slot = 0; slot < shown && remaining > 4; ++slot) {
      AliasHandle alias = ReadRecord(file, &remaining);
      if (!alias) break;
      FSSpec target;
      Boolean changed = false;
      if (ResolveAliasWithMountFlags(nullptr, alias, &target, &changed, kResolveAliasFileNoUI) ==
          noErr) {
        Boolean isFolder = false;
        Boolean wasAliased = false;
        if (ResolveAliasFileWithMountFlagsNoUI(&target, false, &isFolder, &wasAliased,
                                               kResolveAliasFileNoUI) != noErr) {
          isFolder = false;
        }
        if (AppendRecentItem(menu, next, &target, isFolder)) ++next;
      }
      DisposeHandle(reinterpret_cast<Handle>(alias));
    }
    FSClose(file);
  }

  if (next == 1) {
    ScopedCF<CFStringRef> text(CFBundleCopyLocalizedString(
        gPluginBundle, CFSTR("message06"), CFSTR("message06"), CFSTR("Localizable")));
    AppendMenuItemTextWithCFString(*menu, text.get(), 0, 0, nullptr);
    DisableMenuItem(*menu, 1);
  }
}

OSErr AddRecentItem(const FSSpec* item) {
  // A missing Preferences folder is not a missing file: nothing is created then.
  SInt16 vRefNum;
  SInt32 dirID;
  OSErr err = PreferencesFolder(&vRefNum, &dirID);
  if (err != noErr) return err;
  FSSpec spec;
  err = FSMakeFSSpec(vRefNum, dirID, kRecentsFileName, &spec);
  if (err == fnfErr) err = FSpCreate(&spec, kRecentsCreator, kRecentsType, smSystemScript);
  if (err != noErr) return err;

  // Without an alias of the new item the list is still rewritten, minus its dead entries.
  AliasHandle slots[kMaxRecentRecords] = {};
  SInt32 sizes[kMaxRecentRecords] = {};
  if (NewAlias(nullptr, item, &slots[0]) == noErr && slots[0]) {
    sizes[0] = static_cast<SInt32>(GetHandleSize(reinterpret_cast<Handle>(slots[0])));
  }

  SInt16 file = 0;
  err = FSpOpenDF(&spec, fsRdWrPerm, &file);
  if (err != noErr) {
    if (slots[0]) DisposeHandle(reinterpret_cast<Handle>(slots[0]));
    return err;
  }

  long remaining = 0;
  GetEOF(file, &remaining);
  int nextFree = 1;
  while (remaining > 4 && nextFree < kMaxRecentRecords) {
    AliasHandle alias = ReadRecord(file, &remaining);
    if (!alias) break;
    FSSpec target;
    Boolean changed = false;
    if (ResolveAliasWithMountFlags(nullptr, alias, &target, &changed, kResolveAliasFileNoUI) !=
            noErr ||
        SameItem(target, *item)) {
      DisposeHandle(reinterpret_cast<Handle>(alias));  // gone, or an older entry of the item
      continue;
    }
    slots[nextFree] = alias;
    sizes[nextFree] = static_cast<SInt32>(GetHandleSize(reinterpret_cast<Handle>(alias)));
    ++nextFree;
  }

  SetEOF(file, 0);
  SetFPos(file, fsFromStart, 0);
  for (int i = 0; i < kMaxRecentRecords; ++i) {
    if (!slots[i]) continue;
    if (sizes[i] != 0) WriteRecord(file, reinterpret_cast<Handle>(slots[i]), sizes[i]);
    DisposeHandle(reinterpret_cast<Handle>(slots[i]));
  }
  return FSClose(file);
}

OSErr ClearRecentItems() {
  FSSpec spec;
  OSErr err = RecentsFileSpec(&spec);
  if (err != noErr) return err;
  SInt16 file = 0;
  err = FSpOpenDF(&spec, fsRdWrPerm, &file);
  if (err != noErr) return err;
  SetEOF(file, 0);
  return FSClose(file);
}
