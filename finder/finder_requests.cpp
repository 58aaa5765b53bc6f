#include "finder/finder_requests.h"

#include "toolbox/core/errors.h"
#include "toolbox/processes/processes.h"

namespace {

constexpr SInt32 kFinderTimeout = 600;  // ticks

// Builds the event for a target address, lets `fill` add its parameters, sends it without
// waiting, and releases everything.
template <typename Fill>
void Send(const AEAddressDesc& target, AEEventClass eventClass, AEEventID eventID, SInt32 timeout,
          Fill fill) {
  AppleEvent event = {typeNull, nullptr};
  if (AECreateAppleEvent(eventClass, eventID, &target, kAutoGenerateReturnID, kAnyTransactionID,
                         &event) == noErr) {
    fill(event);
    AppleEvent reply = {typeNull, nullptr};
    AESend(&event, &reply, kAENoReply, kAEHighPriority, timeout, nullptr, nullptr);
    AEDisposeDesc(&reply);
  }
  AEDisposeDesc(&event);
}

template <typename Fill>
void SendToProcess(const ProcessSerialNumber& process, AEEventClass eventClass, AEEventID eventID,
                   SInt32 timeout, Fill fill) {
  AEAddressDesc target = {typeNull, nullptr};
  AECreateDesc(typeProcessSerialNumber, &process, sizeof process, &target);
  Send(target, eventClass, eventID, timeout, fill);
  AEDisposeDesc(&target);
}

template <typename Fill>
void SendToFinderSignature(AEEventClass eventClass, AEEventID eventID, SInt32 timeout, Fill fill) {
  OSType signature = kFinderSignature;
  AEAddressDesc target = {typeNull, nullptr};
  AECreateDesc(typeApplSignature, &signature, sizeof signature, &target);
  Send(target, eventClass, eventID, timeout, fill);
  AEDisposeDesc(&target);
}

void PutItem(AppleEvent& event, AEKeyword key, const FSSpec* item) {
  if (item) AEPutParamPtr(&event, key, typeFSS, item, sizeof *item);
}

}  // namespace

Boolean FindFinderProcess(ProcessSerialNumber* finder) {
  ProcessSerialNumber psn = {0, kNoProcess};
  while (GetNextProcess(&psn) == noErr) {
    ProcessInfoRec info = {};
    info.processInfoLength = sizeof info;
    if (GetProcessInformation(&psn, &info) == noErr && info.processType == kFinderType &&
        info.processSignature == kFinderSignature) {
      *finder = psn;
      return true;
    }
  }
  return false;
}

void OpenWithFinder(const FSSpec* item) {
  ProcessSerialNumber finder;
  if (!FindFinderProcess(&finder)) return;  // no Finder: the request goes nowhere
  SetFrontProcess(&finder);
  SendToProcess(finder, kCoreEventClass, kAEOpenDocuments, kFinderTimeout,
                [&](AppleEvent& event) { PutItem(event, keyDirectObject, item); });
}

void SendFinderEvent(AEEventClass eventClass, AEEventID eventID, const FSSpec* item) {
  SendToFinderSignature(eventClass, eventID, kAEDefaultTimeout,
                        [&](AppleEvent& event) { PutItem(event, keyDirectObject, item); });
}

void OpenItemUsing(const FSSpec* application, const FSSpec* item,
                   const ProcessSerialNumber* process) {
  if (process) {
    SetFrontProcess(process);
    SendToProcess(*process, kCoreEventClass, kAEOpenDocuments, kFinderTimeout,
                  [&](AppleEvent& event) { PutItem(event, keyDirectObject, item); });
    return;
  }
  ProcessSerialNumber finder;
  if (!FindFinderProcess(&finder)) return;
  SendToProcess(finder, kCoreEventClass, kAEOpenDocuments, kFinderTimeout, [&](AppleEvent& event) {
    if (item) {
      PutItem(event, keyDirectObject, item);
      if (application) PutItem(event, keyAEUsing, application);
    } else if (application) {
      PutItem(event, keyDirectObject, application);
    }
  });
}

void DeleteWithFinder(const AEDescList* items) {
  SendToFinderSignature(kAECoreSuite, kAEDelete, kFinderTimeout,
                        [&](AppleEvent& event) { AEPutParamDesc(&event, keyDirectObject, items); });
}

void CopyWithFinder(const AEDescList* items, const FSSpec* destination) {
  SendToFinderSignature(kAECoreSuite, kAEClone, kFinderTimeout, [&](AppleEvent& event) {
    AEPutParamDesc(&event, keyDirectObject, items);
    PutItem(event, keyAEInsertHere, destination);
  });
}
