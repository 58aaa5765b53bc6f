// AESend: finding the target process and carrying the event (and its reply) over its socket.
#include <unistd.h>

#include <algorithm>

#include "toolbox/appleevents/channel.h"
#include "toolbox/appleevents/frames.h"
#include "toolbox/appleevents/self_queue.h"
#include "toolbox/appleevents/send_receive.h"
#include "toolbox/appleevents/storage.h"
#include "toolbox/processes/registry.h"

using namespace tb::ae;

namespace {

constexpr SInt32 kTicksPerSecond = 60;
constexpr SInt32 kDefaultTimeoutTicks = 60 * kTicksPerSecond;
// Posting without a reply waits at most this long for a busy receiver to take the message.
constexpr auto kLongestPost = std::chrono::seconds(2);

template <typename T>
bool ReadExact(const AEDesc& desc, T* out) {
  if (AEGetDescDataSize(&desc) != static_cast<Size>(sizeof(T))) return false;
  return AEGetDescData(&desc, out, sizeof(T)) == noErr;
}

bool IsRegistered(pid_t pid) {
  std::vector<tb::processes::ProcessEntry> live;
  if (tb::processes::LiveEntries(&live) != noErr) return false;
  return std::any_of(live.begin(), live.end(), [&](const auto& e) { return e.pid == pid; });
}

OSErr TargetPid(const AppleEvent* event, pid_t* pid) {
  AEDesc address{typeNull, nullptr};
  if (AEGetAttributeDesc(event, keyAddressAttr, typeWildCard, &address) != noErr) {
    return procNotFound;
  }
  OSErr err = noErr;
  switch (address.descriptorType) {
    case typeProcessSerialNumber: {
      ProcessSerialNumber psn;
      auto found = ReadExact(address, &psn) ? tb::processes::PidOfPsn(psn) : std::nullopt;
      if (!found) {
        err = procNotFound;
      } else {
        *pid = *found;
        if (*pid != getpid() && !IsRegistered(*pid)) err = procNotFound;
      }
      break;
    }
    case typeApplSignature: {
      OSType signature;
      std::vector<tb::processes::ProcessEntry> live;
      err = procNotFound;
      if (ReadExact(address, &signature) && tb::processes::LiveEntries(&live) == noErr) {
        for (const auto& e : live) {
          if (e.signature == signature) {
            *pid = e.pid;
            err = noErr;
            break;
          }
        }
      }
      break;
    }
    case typeKernelProcessID: {
      SInt32 value;
      err = ReadExact(address, &value) && value > 0 ? OSErr{noErr} : OSErr{procNotFound};
      *pid = value;
      break;
    }
    default:
      err = errAEUnknownAddressType;
  }
  AEDisposeDesc(&address);
  return err;
}

Clock::time_point DeadlineOf(SInt32 ticks) {
  if (ticks == kNoTimeOut) return kNoDeadline;
  if (ticks <= 0) ticks = kDefaultTimeoutTicks;
  return Clock::now() + std::chrono::milliseconds(int64_t{ticks} * 1000 / kTicksPerSecond);
}

OSErr MakeReply(const AppleEvent* event, AppleEvent* reply) {
  SInt16 returnID = 0;
  SInt32 transaction = 0;
  AEGetAttributePtr(event, keyReturnIDAttr, typeShortInteger, nullptr, &returnID, sizeof returnID,
                    nullptr);
  AEGetAttributePtr(event, keyTransactionIDAttr, typeSInt32, nullptr, &transaction,
                    sizeof transaction, nullptr);
  return AECreateAppleEvent(kCoreEventClass, kAEAnswer, nullptr, returnID, transaction, reply);
}

// An event to this process: handled now when the caller waits for the answer, else queued for
// the loop's next turn.
OSErr SendToSelf(const AppleEvent* event, AppleEvent* reply, bool waitReply) {
  AppleEvent copy{typeNull, nullptr};
  OSErr err = AEDuplicateDesc(event, &copy);
  if (err != noErr) return err;
  ProcessSerialNumber self = tb::processes::PsnOfPid(getpid());
  AEPutAttributePtr(&copy, keyOriginalAddressAttr, typeProcessSerialNumber, &self, sizeof self);
  SInt32 pid = getpid();
  AEPutAttributePtr(&copy, keySenderPIDAttr, typeSInt32, &pid, sizeof pid);
  if (!waitReply) {
    PostOwnEvent(&copy);
    return noErr;
  }
  err = MakeReply(event, reply);
  if (err == noErr) DispatchAppleEvent(&copy, reply);
  AEDisposeDesc(&copy);
  return err;
}

}  // namespace

OSErr AESend(const AppleEvent* theAppleEvent, AppleEvent* reply, AESendMode sendMode,
             AESendPriority, SInt32 timeOutInTicks, AEIdleUPP, AEFilterUPP) {
  if (!theAppleEvent) return paramErr;
  if (theAppleEvent->descriptorType != typeAppleEvent) return errAENotAppleEvent;
  AESendMode replyMode = sendMode & kAEWaitReply;
  if (replyMode != kAENoReply && replyMode != kAEWaitReply) return errAEUnknownSendMode;
  bool waitReply = replyMode == kAEWaitReply;
  if (waitReply && !reply) return paramErr;
  if (reply) *reply = {typeNull, nullptr};

  pid_t pid = 0;
  OSErr err = TargetPid(theAppleEvent, &pid);
  if (err != noErr) return err;
  if (pid == getpid()) return SendToSelf(theAppleEvent, reply, waitReply);

  Clock::time_point deadline = DeadlineOf(timeOutInTicks);
  if (!waitReply) deadline = std::min(deadline, Clock::now() + kLongestPost);
  tb::files::Fd connection;
  err = ConnectTo(pid, deadline, &connection);
  if (err != noErr) return err;

  std::vector<uint8_t> message;
  err = Guarded([&]() -> OSErr {
    AppleEvent copy{typeNull, nullptr};
    OSErr e = AEDuplicateDesc(theAppleEvent, &copy);
    if (e != noErr) return e;
    Boolean wanted = waitReply;
    AEPutAttributePtr(&copy, keyReplyRequestedAttr, typeBoolean, &wanted, sizeof wanted);
    message = EncodeMessage(copy);
    AEDisposeDesc(&copy);
    return message.empty() ? OSErr{paramErr} : OSErr{noErr};  // too large to send
  });
  if (err != noErr) return err;
  err = WriteAll(connection.get(), message, deadline);
  if (err != noErr || !waitReply) return err;

  std::vector<uint8_t> body;
  err = ReadMessage(connection.get(), deadline, &body);
  if (err != noErr) return err;
  return DecodeEvent(body, reply);
}
