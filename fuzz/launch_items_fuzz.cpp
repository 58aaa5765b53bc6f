// The launch-items file on hostile bytes: building the launcher's pop-up menu from it. No
// crash, no allocation from an unchecked length, no read past the file, and never more items
// than the records the file could hold.
#include <sys/stat.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "plugin/info/launcher_menu.h"
#include "plugin/prefs/preferences.h"
#include "toolbox/core/pascal.h"
#include "toolbox/files/files.h"
#include "toolbox/menus/menus.h"

namespace {

FSSpec gLaunchItems;

void WriteAll(const FSSpec& spec, const uint8_t* data, size_t size) {
  SInt16 file = 0;
  if (FSpOpenDF(&spec, fsRdWrPerm, &file) != noErr) abort();
  SetEOF(file, 0);
  long count = static_cast<long>(size);
  if (count > 0) FSWrite(file, &count, data);
  FSClose(file);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static char dir[] = "/tmp/launch-items-fuzz-XXXXXX";
  if (!mkdtemp(dir)) abort();
  atexit([] {
    std::filesystem::remove_all(dir);
    std::filesystem::remove_all(std::string(dir) + "-run");
  });
  setenv("VANTOREL_SYSTEM_DISK", dir, 1);
  setenv("VANTOREL_RUNTIME_DIR", (std::string(dir) + "-run").c_str(), 1);
  SInt16 vRefNum;
  SInt32 dirID;
  if (FindFolder(kOnSystemDisk, kPreferencesFolderType, kCreateFolder, &vRefNum, &dirID) != noErr)
    abort();
  FSMakeFSSpec(vRefNum, dirID, tb::PStr("Launch Items Setting"), &gLaunchItems);
  if (FSpCreate(&gLaunchItems, 'LnIt', 'pref', smSystemScript) != noErr) abort();
  for (MenuRef& m : gLauncherMenus) CreateNewMenu(0, 0, &m);
  ResetPreferences();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  WriteAll(gLaunchItems, data, size);
  BuildLauncherMenu(&gLauncherMenus[kLauncherPopUp]);
  // Title, separators, headers, folders and messages: at most 12 besides one item per record,
  // and a record takes at least its 4 length bytes.
  const size_t records = size >= 2 ? (size - 2) / 4 : 0;
  if (CountMenuItems(gLauncherMenus[kLauncherPopUp]) > 12 + records) abort();
  return 0;
}
