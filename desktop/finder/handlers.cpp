// The Apple event handlers of the Finder service: reveal, update, delete and copy here, open in
// open_request.cpp.
#include "desktop/finder/service.h"

namespace desktop::finder {
namespace {

OSErr HandleReveal(const AppleEvent* event, AppleEvent*, SRefCon) {
  std::vector<Item> items;
  OSErr err = ItemsOf(event, keyDirectObject, &items);
  for (const Item& item : items) {
    if (CurrentCallbacks().reveal) CurrentCallbacks().reveal(FolderOf(item.path), item.path);
    Record("reveal " + item.path);
  }
  return err;
}

OSErr HandleUpdate(const AppleEvent* event, AppleEvent*, SRefCon) {
  std::vector<Item> items;
  OSErr err = ItemsOf(event, keyDirectObject, &items);
  for (const Item& item : items) {
    if (CurrentCallbacks().update) CurrentCallbacks().update(FolderOf(item.path), item.path);
    Record("update " + item.path);
  }
  return err;
}

OSErr HandleDelete(const AppleEvent* event, AppleEvent*, SRefCon) {
  std::vector<Item> items;
  OSErr err = ItemsOf(event, keyDirectObject, &items);
  for (const Item& item : items) {
    OSErr e = MoveToTrash(item);
    if (e == noErr) {
      Record("trash " + item.path);
    } else if (err == noErr) {
      err = e;
    }
  }
  return err;
}

OSErr HandleCopy(const AppleEvent* event, AppleEvent*, SRefCon) {
  std::vector<Item> destination;
  OSErr err = ItemsOf(event, keyAEInsertHere, &destination);
  if (destination.size() != 1) return err != noErr ? err : OSErr{paramErr};
  const std::string& folder = destination.front().path;
  std::vector<Item> items;
  err = ItemsOf(event, keyDirectObject, &items);
  for (const Item& item : items) {
    OSErr e = CopyInto(item.path, folder);
    if (e == noErr) {
      Record("copy " + item.path + " -> " + folder);
    } else if (err == noErr) {
      err = e;
    }
  }
  return err;
}

struct Handler {
  AEEventClass eventClass;
  AEEventID eventID;
  AEEventHandlerProcPtr proc;
};
constexpr Handler kHandlers[] = {
    {kCoreEventClass, kAEOpenDocuments, HandleOpen},
    {kAEMiscStandards, kAEMakeObjectsVisible, HandleReveal},
    {kAEFinderSuite, kAESync, HandleUpdate},
    {kAECoreSuite, kAEDelete, HandleDelete},
    {kAECoreSuite, kAEClone, HandleCopy},
};

}  // namespace

OSErr InstallHandlers() {
  for (const Handler& h : kHandlers) {
    OSErr err = AEInstallEventHandler(h.eventClass, h.eventID, NewAEEventHandlerUPP(h.proc),
                                      nullptr, false);
    if (err != noErr) return err;
  }
  return tb::ae::StartListening();
}

void RemoveHandlers() {
  for (const Handler& h : kHandlers) {
    AERemoveEventHandler(h.eventClass, h.eventID, NewAEEventHandlerUPP(h.proc), false);
  }
}

}  // namespace desktop::finder
