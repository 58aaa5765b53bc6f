// Apple Event Manager: sending Apple events to other toolbox processes and handling those
// that arrive.
//
// Each receiving process listens on a Unix-domain socket "<pid>.sock" in the per-user
// runtime directory. A message is a 4-byte big-endian length followed by the flat byte form of
// the event (tb::ae::Serialize). A reply, when one is asked for, comes back the same way on the
// same connection. Incoming events are handled on the main thread, one turn of the event loop
// at a time (or through tb::ae::ProcessPendingEvents).
#pragma once

#include "toolbox/appleevents/descriptors.h"

typedef void* SRefCon;

typedef OSErr (*AEEventHandlerProcPtr)(const AppleEvent* theAppleEvent, AppleEvent* reply,
                                       SRefCon handlerRefcon);
typedef AEEventHandlerProcPtr AEEventHandlerUPP;

// Called while AESend waits for a reply, and to filter events meanwhile. Accepted for the
// signature's sake; the wait here handles no other events, so neither is ever called.
typedef Boolean (*AEIdleProcPtr)(void* theEvent, SInt32* sleepTime, void* mouseRgn);
typedef AEIdleProcPtr AEIdleUPP;
typedef Boolean (*AEFilterProcPtr)(void* theEvent, SInt32 returnID, SInt32 transactionID,
                                   const AEAddressDesc* sender);
typedef AEFilterProcPtr AEFilterUPP;

enum : AEKeyword {
  // Set by the receiving side from the connection's credentials: who sent the event.
  keyOriginalAddressAttr = 'from',  // typeProcessSerialNumber
  keySenderPIDAttr = 'spid',        // typeSInt32
  // Set by AESend: whether the sender waits for a reply (typeBoolean).
  keyReplyRequestedAttr = 'repq',
};

AEEventHandlerUPP NewAEEventHandlerUPP(AEEventHandlerProcPtr userRoutine);
void DisposeAEEventHandlerUPP(AEEventHandlerUPP userUPP);

// typeWildCard matches any class or ID; an exact entry wins over a wildcard one, and the
// application's table over the system's. Installing the first handler opens the process's
// listening socket.
OSErr AEInstallEventHandler(AEEventClass theAEEventClass, AEEventID theAEEventID,
                            AEEventHandlerUPP handler, SRefCon handlerRefcon, Boolean isSysHandler);
OSErr AERemoveEventHandler(AEEventClass theAEEventClass, AEEventID theAEEventID,
                           AEEventHandlerUPP handler, Boolean isSysHandler);
OSErr AEGetEventHandler(AEEventClass theAEEventClass, AEEventID theAEEventID,
                        AEEventHandlerUPP* handler, SRefCon* handlerRefcon, Boolean isSysHandler);

// The target is the event's keyAddressAttr: typeProcessSerialNumber (a registered process),
// typeApplSignature (the first registered process with that signature) or
// typeKernelProcessID. A target that is not running, or not listening, gives procNotFound at
// once. kAENoReply posts and returns; kAEWaitReply waits up to timeOutInTicks (ticks of 1/60 s;
// kAEDefaultTimeout about a minute, kNoTimeOut forever) and fills `reply` with the answer
// event, whose keyErrorNumber carries the handler's error (errAETimeout when none came).
// kAEQueueReply is not supported (errAEUnknownSendMode).
OSErr AESend(const AppleEvent* theAppleEvent, AppleEvent* reply, AESendMode sendMode,
             AESendPriority sendPriority, SInt32 timeOutInTicks, AEIdleUPP idleProc,
             AEFilterUPP filterProc);

namespace tb::ae {

// Opens this process's listening socket (once) and has the event loop serve it. Also done by
// the first AEInstallEventHandler.
OSErr StartListening();
// Closes the socket and removes its file; pending connections are dropped.
void StopListening();

// Serves incoming events: waits up to `timeoutSeconds` (negative: no limit) for the first,
// then handles every message already received. Returns the number of events handled. Does
// nothing (0) when called from inside a handler.
int ProcessPendingEvents(double timeoutSeconds);

// Runs the handler for the event's class and ID; errAEEventNotHandled when none matches. A
// failing handler's error is put in the reply's keyErrorNumber unless it set one itself.
OSErr DispatchAppleEvent(const AppleEvent* event, AppleEvent* reply);

}  // namespace tb::ae
