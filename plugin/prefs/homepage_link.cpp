#include "plugin/prefs/homepage_link.h"

#include <cstring>

#include "finder/finder_requests.h"
#include "toolbox/core/memory.h"
#include "toolbox/core/pascal.h"
#include "toolbox/files/files.h"
#include "toolbox/resources/resources.h"

namespace {

constexpr tb::PStr kHomepageFileName("Vantorel Homepage");
constexpr char kHomepageURL[] = "https://www.quobrin.com/vantorel/";
constexpr OSType kLinkType = 'ilht';
constexpr OSType kLinkCreator = 'MACS';
constexpr Size kDragSize = 48;

void PutBE16(UInt8* at, UInt16 value) {
  at[0] = UInt8(value >> 8);
  at[1] = UInt8(value);
}
void PutBE32(UInt8* at, UInt32 value) {
  PutBE16(at, UInt16(value >> 16));
  PutBE16(at + 2, UInt16(value));
}

// The table naming the file's two data resources.
Handle NewDragData() {
  Handle drag = NewHandleClear(kDragSize);
  if (!drag) return nullptr;
  HLock(drag);
  UInt8* bytes = reinterpret_cast<UInt8*>(*drag);
  PutBE32(bytes + 0, 1);
  PutBE32(bytes + 12, 2);
  PutBE32(bytes + 16, 'TEXT');
  PutBE16(bytes + 22, 256);
  PutBE32(bytes + 32, 'url ');
  PutBE16(bytes + 38, 256);
  HUnlock(drag);
  return drag;
}

Handle NewURLData() {
  Size length = Size(sizeof kHomepageURL - 1);
  Handle url = NewHandleClear(length);
  if (!url) return nullptr;
  HLock(url);
  std::memcpy(*url, kHomepageURL, size_t(length));
  HUnlock(url);
  return url;
}

void CreateHomepageFile(const FSSpec* spec) {
  Handle drag = NewDragData();
  Handle url = NewURLData();

  FSpCreateResFile(spec, kLinkCreator, kLinkType, smSystemScript);
  SInt16 file = drag && url ? FSpOpenResFile(spec, fsRdWrPerm) : -1;
  if (file == -1 || ResError() != noErr) {
    if (file != -1) CloseResFile(file);
    if (drag) DisposeHandle(drag);
    if (url) DisposeHandle(url);
    return;
  }

  SInt16 saved = CurResFile();
  UseResFile(file);
  AddResource(drag, 'drag', 128, tb::PStr(""));
  if (ResError() != noErr) DisposeHandle(drag);
  AddResource(url, 'TEXT', 256, tb::PStr(""));
  if (ResError() != noErr) {
    DisposeHandle(url);
    url = nullptr;
  }
  UpdateResFile(file);
  // Detached after the first write, the same bytes go in again under the second type.
  if (url) {
    DetachResource(url);
    AddResource(url, 'url ', 256, tb::PStr(""));
    if (ResError() != noErr) DisposeHandle(url);
  }
  CloseResFile(file);
  UseResFile(saved);
}

}  // namespace

void OpenHomepage() {
  SInt16 vRefNum;
  SInt32 dirID;
  if (FindFolder(kOnSystemDisk, kPreferencesFolderType, kDontCreateFolder, &vRefNum, &dirID) !=
      noErr) {
    return;
  }
  FSSpec spec;
  OSErr err = FSMakeFSSpec(vRefNum, dirID, kHomepageFileName, &spec);
  if (err == fnfErr) {
    CreateHomepageFile(&spec);
  } else if (err != noErr) {
    return;
  }
  OpenWithFinder(&spec);
}
