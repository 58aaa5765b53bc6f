// The tables of Apple event handlers, and running the one an event calls for.
#include <map>
#include <utility>

#include "toolbox/appleevents/send_receive.h"

namespace {

struct Entry {
  AEEventHandlerUPP handler;
  SRefCon refcon;
};
using Table = std::map<std::pair<AEEventClass, AEEventID>, Entry>;

Table& TableOf(Boolean isSysHandler) {
  static Table application, system;
  return isSysHandler ? system : application;
}

const Entry* Lookup(AEEventClass eventClass, AEEventID eventID) {
  const std::pair<AEEventClass, AEEventID> keys[] = {{eventClass, eventID},
                                                     {eventClass, typeWildCard},
                                                     {typeWildCard, eventID},
                                                     {typeWildCard, typeWildCard}};
  for (Boolean sys : {false, true}) {
    const Table& table = TableOf(sys);
    for (const auto& key : keys) {
      if (auto it = table.find(key); it != table.end()) return &it->second;
    }
  }
  return nullptr;
}

}  // namespace

AEEventHandlerUPP NewAEEventHandlerUPP(AEEventHandlerProcPtr userRoutine) {
  return userRoutine;
}
void DisposeAEEventHandlerUPP(AEEventHandlerUPP) {}

OSErr AEInstallEventHandler(AEEventClass theAEEventClass, AEEventID theAEEventID,
                            AEEventHandlerUPP handler, SRefCon handlerRefcon,
                            Boolean isSysHandler) {
  if (!handler) return paramErr;
  try {
    TableOf(isSysHandler)[{theAEEventClass, theAEEventID}] = {handler, handlerRefcon};
  } catch (const std::bad_alloc&) {
    return memFullErr;
  }
  // Handlers are useless without a way in; a process that cannot listen still handles the
  // events it sends itself.
  tb::ae::StartListening();
  return noErr;
}

OSErr AERemoveEventHandler(AEEventClass theAEEventClass, AEEventID theAEEventID,
                           AEEventHandlerUPP handler, Boolean isSysHandler) {
  Table& table = TableOf(isSysHandler);
  auto it = table.find({theAEEventClass, theAEEventID});
  if (it == table.end() || (handler && it->second.handler != handler)) return errAEHandlerNotFound;
  table.erase(it);
  return noErr;
}

OSErr AEGetEventHandler(AEEventClass theAEEventClass, AEEventID theAEEventID,
                        AEEventHandlerUPP* handler, SRefCon* handlerRefcon, Boolean isSysHandler) {
  const Table& table = TableOf(isSysHandler);
  auto it = table.find({theAEEventClass, theAEEventID});
  if (it == table.end()) return errAEHandlerNotFound;
  if (handler) *handler = it->second.handler;
  if (handlerRefcon) *handlerRefcon = it->second.refcon;
  return noErr;
}

namespace tb::ae {

OSErr DispatchAppleEvent(const AppleEvent* event, AppleEvent* reply) {
  if (!event) return paramErr;
  if (event->descriptorType != typeAppleEvent) return errAENotAppleEvent;
  AEEventClass eventClass = 0;
  AEEventID eventID = 0;
  AEGetAttributePtr(event, keyEventClassAttr, typeType, nullptr, &eventClass, sizeof eventClass,
                    nullptr);
  AEGetAttributePtr(event, keyEventIDAttr, typeType, nullptr, &eventID, sizeof eventID, nullptr);
  const Entry* found = Lookup(eventClass, eventID);
  // Copied: the handler may install or remove handlers.
  Entry entry = found ? *found : Entry{nullptr, nullptr};
  OSErr err =
      entry.handler ? entry.handler(event, reply, entry.refcon) : OSErr{errAEEventNotHandled};
  if (err != noErr && reply && reply->descriptorType == typeAppleEvent) {
    DescType type;
    Size size;
    if (AESizeOfParam(reply, keyErrorNumber, &type, &size) != noErr) {
      SInt16 number = err;
      AEPutParamPtr(reply, keyErrorNumber, typeShortInteger, &number, sizeof number);
    }
  }
  return err;
}

}  // namespace tb::ae
