#include "plugin/prefs/preferences.h"

#include "toolbox/core/errors.h"
#include "toolbox/core/memory.h"
#include "toolbox/core/pascal.h"
#include "toolbox/files/files.h"
#include "toolbox/resources/resources.h"

PrefsRecord gPrefs;

namespace {

constexpr tb::PStr kPrefsFileName("Vantorel Preferences");
constexpr OSType kPrefsCreator = 'QVRL';
constexpr OSType kPrefsType = 'pref';
constexpr ResType kPrefsResType = 'pref';
constexpr SInt16 kPrefsResID = 1;

// The FSSpec of the preferences file; fnfErr (with a usable spec) when it does not exist yet.
OSErr PreferencesFileSpec(FSSpec* spec) {
  SInt16 vRefNum;
  SInt32 dirID;
  OSErr err =
      FindFolder(kOnSystemDisk, kPreferencesFolderType, kDontCreateFolder, &vRefNum, &dirID);
  if (err != noErr) return err;
  return FSMakeFSSpec(vRefNum, dirID, kPrefsFileName, spec);
}

}  // namespace

void ResetPreferences() {
  gPrefs[kPrefsMenuByte] = kPrefMenuDefaults;
  gPrefs[kPrefsStyleByte] &= kPrefStyleReserved;
}

void LoadPreferences() {
  ResetPreferences();

  FSSpec spec;
  if (PreferencesFileSpec(&spec) != noErr) return;

  SInt16 file = FSpOpenResFile(&spec, fsRdPerm);
  if (ResError() != noErr) return;

  // Only this file is asked: a host's own open resource files may carry a 'pref' 1 of theirs.
  UseResFile(file);
  if (Count1Resources(kPrefsResType) > 0) {
    Handle pref = Get1Resource(kPrefsResType, kPrefsResID);
    // A shorter resource is never written by us; use what it has rather than read past it.
    if (pref) {
      Size size = GetHandleSize(pref);
      HLock(pref);
      BlockMoveData(*pref, gPrefs, size < Size{sizeof gPrefs} ? size : Size{sizeof gPrefs});
      HUnlock(pref);
    }
  }
  CloseResFile(file);
}

void SavePreferences() {
  FSSpec spec;
  OSErr err = PreferencesFileSpec(&spec);
  if (err == fnfErr) err = FSpCreate(&spec, kPrefsCreator, kPrefsType, smSystemScript);
  if (err != noErr) return;

  FSpCreateResFile(&spec, kPrefsCreator, kPrefsType,
                   smSystemScript);  // fails harmlessly if present

  SInt16 file = FSpOpenResFile(&spec, fsRdWrPerm);
  if (ResError() != noErr) {
    if (file != -1) CloseResFile(file);
    return;
  }

  UseResFile(file);
  if (Handle old = Get1Resource(kPrefsResType, kPrefsResID)) {
    RemoveResource(old);
    DisposeHandle(old);
  }

  Handle pref = NewHandle(sizeof gPrefs);
  if (pref) {
    HLock(pref);
    BlockMoveData(gPrefs, *pref, sizeof gPrefs);
    HUnlock(pref);
    AddResource(pref, kPrefsResType, kPrefsResID, tb::PStr(""));
    if (ResError() != noErr) DisposeHandle(pref);
  }
  CloseResFile(file);
}
