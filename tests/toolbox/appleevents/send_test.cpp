#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>

#include "tests/support/temp_system_disk.h"
#include "tests/toolbox/appleevents/serving_child.h"
#include "toolbox/appleevents/send_receive.h"
#include "toolbox/events/event_loop.h"
#include "toolbox/processes/processes.h"

namespace {

namespace fs = std::filesystem;
using tb::test::ServingChild;

constexpr AEEventClass kTestClass = 'tEST';
constexpr AEEventID kEcho = 'echo';
constexpr AEEventID kNote = 'note';

std::string TextParam(const AppleEvent* event, AEKeyword key) {
  char buffer[256];
  Size size = 0;
  if (AEGetParamPtr(event, key, typeUTF8Text, nullptr, buffer, sizeof buffer, &size) != noErr) {
    return "<none>";
  }
  return std::string(buffer, static_cast<size_t>(std::min<Size>(size, sizeof buffer)));
}

// Answers with the direct object and " back", and the sender's pid as the system saw it.
OSErr Echo(const AppleEvent* event, AppleEvent* reply, SRefCon) {
  std::string text = TextParam(event, keyDirectObject) + " back";
  AEPutParamPtr(reply, keyDirectObject, typeUTF8Text, text.data(), static_cast<Size>(text.size()));
  ProcessSerialNumber sender{};
  AEGetAttributePtr(event, keyOriginalAddressAttr, typeProcessSerialNumber, nullptr, &sender,
                    sizeof sender, nullptr);
  SInt32 pid = static_cast<SInt32>(sender.lowLongOfPSN);
  AEPutParamPtr(reply, 'spid', typeSInt32, &pid, sizeof pid);
  return noErr;
}

// Records the direct object in the file the refcon names.
OSErr Note(const AppleEvent* event, AppleEvent*, SRefCon refcon) {
  tb::test::WriteText(*static_cast<fs::path*>(refcon), TextParam(event, keyDirectObject));
  return noErr;
}

class AppleEventSending : public tb::test::TempSystemDisk {
 protected:
  void SetUp() override {
    TempSystemDisk::SetUp();
    noted_ = root() / "noted.txt";
  }

  int ServeAsFinder(ServingChild& child) {
    fs::path* noted = &noted_;
    return child.Start([noted] {
      if (tb::processes::RegisterCurrentProcess('FNDR', 'MACS', "Finder", {}, 0) != noErr) return 1;
      if (AEInstallEventHandler(kTestClass, kEcho, NewAEEventHandlerUPP(Echo), nullptr, false))
        return 2;
      if (AEInstallEventHandler(kTestClass, kNote, NewAEEventHandlerUPP(Note), noted, false))
        return 3;
      return 0;
    });
  }

  static AppleEvent Event(DescType addressType, const void* address, Size size, AEEventID id,
                          const std::string& text) {
    AEAddressDesc target;
    AECreateDesc(addressType, address, size, &target);
    AppleEvent event;
    AECreateAppleEvent(kTestClass, id, &target, kAutoGenerateReturnID, kAnyTransactionID, &event);
    AEPutParamPtr(&event, keyDirectObject, typeUTF8Text, text.data(),
                  static_cast<Size>(text.size()));
    AEDisposeDesc(&target);
    return event;
  }
  static AppleEvent ToSignature(OSType signature, AEEventID id, const std::string& text) {
    return Event(typeApplSignature, &signature, sizeof signature, id, text);
  }
  static AppleEvent ToPid(pid_t pid, AEEventID id, const std::string& text) {
    ProcessSerialNumber psn{0, static_cast<UInt32>(pid)};
    return Event(typeProcessSerialNumber, &psn, sizeof psn, id, text);
  }

  // Polls for the file the Note handler writes.
  std::string WaitForNote() {
    for (int i = 0; i < 200 && !fs::exists(noted_); ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::string text;
    auto bytes = tb::test::ReadBytes(noted_);
    return std::string(bytes.begin(), bytes.end());
  }

  // Sends and waits; returns the reply's text and sender pid.
  static std::pair<std::string, SInt32> Ask(AppleEvent event) {
    AppleEvent reply;
    OSErr err = AESend(&event, &reply, kAEWaitReply, kAENormalPriority, 120, nullptr, nullptr);
    AEDisposeDesc(&event);
    EXPECT_EQ(err, noErr);
    SInt32 pid = 0;
    AEGetParamPtr(&reply, 'spid', typeSInt32, nullptr, &pid, sizeof pid, nullptr);
    std::string text = TextParam(&reply, keyDirectObject);
    AEDisposeDesc(&reply);
    return {text, pid};
  }

  fs::path noted_;
};

TEST_F(AppleEventSending, ReachesTheFinderBySignatureAndByProcessNumber) {
  ServingChild finder;
  ASSERT_EQ(ServeAsFinder(finder), 0);

  EXPECT_EQ(Ask(ToSignature('MACS', kEcho, "hi")),
            std::make_pair(std::string("hi back"), getpid()));
  EXPECT_EQ(Ask(ToPid(finder.pid(), kEcho, "psn")).first, "psn back");

  // A message far larger than one socket buffer arrives in many reads.
  AppleEvent big = ToPid(finder.pid(), kEcho, "big");
  std::vector<uint8_t> bulk(3 << 20, 0x5A);
  AEPutParamPtr(&big, 'bulk', 'tdta', bulk.data(), static_cast<Size>(bulk.size()));
  EXPECT_EQ(Ask(big).first, "big back");

  AppleEvent note = ToPid(finder.pid(), kNote, "posted");
  EXPECT_EQ(AESend(&note, nullptr, kAENoReply, kAEHighPriority, 600, nullptr, nullptr), noErr);
  AEDisposeDesc(&note);
  EXPECT_EQ(WaitForNote(), "posted");
}

TEST_F(AppleEventSending, UnhandledEventAnswersWithItsError) {
  ServingChild finder;
  ASSERT_EQ(ServeAsFinder(finder), 0);
  AppleEvent event = ToSignature('MACS', 'nope', "x");
  AppleEvent reply;
  ASSERT_EQ(AESend(&event, &reply, kAEWaitReply, kAENormalPriority, 120, nullptr, nullptr), noErr);
  SInt16 number = 0;
  EXPECT_EQ(AEGetParamPtr(&reply, keyErrorNumber, typeShortInteger, nullptr, &number, sizeof number,
                          nullptr),
            noErr);
  EXPECT_EQ(number, errAEEventNotHandled);
  AEDisposeDesc(&event);
  AEDisposeDesc(&reply);
}

TEST_F(AppleEventSending, NobodyThereIsProcNotFoundAtOnce) {
  ServingChild finder;
  ASSERT_EQ(ServeAsFinder(finder), 0);
  pid_t dead = finder.pid();
  finder.Kill();  // its socket file and registry entry stay behind
  ASSERT_TRUE(fs::exists(runtime() / (std::to_string(dead) + ".sock")));

  SInt32 kernelPid = dead;
  AppleEvent events[] = {ToSignature('XXXX', kNote, "a"), ToSignature('MACS', kNote, "b"),
                         ToPid(dead, kNote, "c"),
                         Event(typeKernelProcessID, &kernelPid, sizeof kernelPid, kNote, "d")};
  auto start = std::chrono::steady_clock::now();
  for (AppleEvent& event : events) {
    for (AESendMode mode : {kAENoReply, kAEWaitReply}) {
      AppleEvent reply;
      EXPECT_EQ(AESend(&event, &reply, mode, kAEHighPriority, 600, nullptr, nullptr), procNotFound);
    }
    AEDisposeDesc(&event);
  }
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  EXPECT_FALSE(fs::exists(noted_));
}

// Raw bytes straight to the child's socket.
void SendRaw(pid_t pid, const fs::path& runtime, const std::vector<uint8_t>& bytes) {
  int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::string path = (runtime / (std::to_string(pid) + ".sock")).string();
  std::strcpy(address.sun_path, path.c_str());
  ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  (void)!send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
  close(fd);
}

TEST_F(AppleEventSending, BadMessagesAreDroppedAndTheListenerGoesOn) {
  ServingChild finder;
  ASSERT_EQ(ServeAsFinder(finder), 0);
  const std::vector<std::vector<uint8_t>> bad = {
      {0xFF, 0xFF, 0xFF, 0xFF, 'V', 'A', 'E', 'D'},              // length beyond the limit
      {0x01, 0x00, 0x00, 0x01},                                  // 16 MB + 1
      {0x00, 0x00, 0x00, 0x08, 'j', 'u', 'n', 'k', 0, 1, 2, 3},  // not a descriptor
      {0x00, 0x00, 0x00, 0x10, 'V', 'A'},                        // cut short
      {0x00, 0x00, 0x00, 0x10, 'V', 'A', 'E', 'D', 0, 1, 0, 0,   // a descriptor, not an event
       'l',  'o',  'n',  'g',  0,   0,   0,   0},
  };
  for (const auto& bytes : bad) SendRaw(finder.pid(), runtime(), bytes);
  EXPECT_EQ(Ask(ToSignature('MACS', kEcho, "still")).first, "still back");
  EXPECT_TRUE(finder.Running());
}

TEST_F(AppleEventSending, EventsToItselfAreHandledOnTheLoopsNextTurn) {
  ASSERT_EQ(AEInstallEventHandler(kTestClass, kNote, NewAEEventHandlerUPP(Note), &noted_, false),
            noErr);
  ASSERT_EQ(
      AEInstallEventHandler(kTestClass, typeWildCard, NewAEEventHandlerUPP(Echo), nullptr, false),
      noErr);
  AppleEvent note = ToPid(getpid(), kNote, "self");
  ASSERT_EQ(AESend(&note, nullptr, kAENoReply, kAEHighPriority, 600, nullptr, nullptr), noErr);
  AEDisposeDesc(&note);
  EXPECT_FALSE(fs::exists(noted_));
  tb::events::RunLoopOnce(0);
  EXPECT_EQ(WaitForNote(), "self");
  // A wildcard entry catches what has no exact one; asking itself answers at once.
  EXPECT_EQ(Ask(ToPid(getpid(), 'othr', "any")).first, "any back");
  EXPECT_EQ(AERemoveEventHandler(kTestClass, typeWildCard, nullptr, false), noErr);
  EXPECT_EQ(AERemoveEventHandler(kTestClass, typeWildCard, nullptr, false), errAEHandlerNotFound);
}

}  // namespace
