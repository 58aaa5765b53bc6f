// The recents file on hostile bytes: building the Recent Items submenu from it and recording a
// new item over it. No crash, no allocation from an unchecked length, and what the recording
// writes back is always a well-formed list of at most 20 records.
#include <sys/stat.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "plugin/menu/menu_pool.h"
#include "plugin/menu/recent_items.h"
#include "plugin/prefs/preferences.h"
#include "toolbox/core/pascal.h"
#include "toolbox/files/files.h"
#include "toolbox/menus/menus.h"

namespace {

FSSpec gRecents;
FSSpec gItem;

void WriteAll(const FSSpec& spec, const uint8_t* data, size_t size) {
  SInt16 file = 0;
  if (FSpOpenDF(&spec, fsRdWrPerm, &file) != noErr) abort();
  SetEOF(file, 0);
  long count = static_cast<long>(size);
  if (count > 0) FSWrite(file, &count, data);
  FSClose(file);
}

std::vector<uint8_t> ReadAll(const FSSpec& spec) {
  SInt16 file = 0;
  if (FSpOpenDF(&spec, fsRdPerm, &file) != noErr) abort();
  long length = 0;
  GetEOF(file, &length);
  std::vector<uint8_t> bytes(static_cast<size_t>(length));
  long count = length;
  if (length > 0) FSRead(file, &count, bytes.data());
  FSClose(file);
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  static char dir[] = "/tmp/recents-fuzz-XXXXXX";
  if (!mkdtemp(dir)) abort();
  atexit([] { std::filesystem::remove_all(dir); });
  setenv("VANTOREL_SYSTEM_DISK", dir, 1);
  setenv("VANTOREL_RUNTIME_DIR", (std::string(dir) + "-run").c_str(), 1);
  SInt16 vRefNum;
  SInt32 dirID;
  if (FindFolder(kOnSystemDisk, kPreferencesFolderType, kCreateFolder, &vRefNum, &dirID) != noErr)
    abort();
  FSMakeFSSpec(vRefNum, dirID, tb::PStr("Vantorel Recents"), &gRecents);
  if (FSpCreate(&gRecents, 'QVRL', 'pref', smSystemScript) != noErr) abort();
  FSMakeFSSpec(vRefNum, dirID, tb::PStr("item"), &gItem);
  if (FSpCreate(&gItem, 'ttxt', 'TEXT', smSystemScript) != noErr) abort();
  for (MenuRef& m : gMenuPool) CreateNewMenu(0, 0, &m);
  ResetPreferences();
  gPrefs[kPrefsStyleByte] |= kPrefRecentCountMask;  // show all 20
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  WriteAll(gRecents, data, size);
  BuildRecentMenu(&gMenuPool[2]);
  if (CountMenuItems(gMenuPool[2]) < 1 || CountMenuItems(gMenuPool[2]) > kMaxRecentRecords) abort();

  if (AddRecentItem(&gItem) != noErr) abort();
  std::vector<uint8_t> written = ReadAll(gRecents);
  size_t at = 0;
  int records = 0;
  while (at < written.size()) {
    if (at + 4 > written.size()) abort();
    uint32_t length = (uint32_t{written[at]} << 24) | (uint32_t{written[at + 1]} << 16) |
                      (uint32_t{written[at + 2]} << 8) | written[at + 3];
    if (length == 0 || length > written.size() - at - 4) abort();
    at += 4 + length;
    ++records;
  }
  if (records < 1 || records > kMaxRecentRecords) abort();
  return 0;
}
