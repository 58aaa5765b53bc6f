// A stand-in Finder for tests: a forked child registered as type 'FNDR', signature 'MACS',
// that keeps each Apple event it receives as a file of the event's flat bytes, numbered in the
// order they were handled, for the parent to read back.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/temp_system_disk.h"
#include "tests/toolbox/appleevents/serving_child.h"
#include "toolbox/appleevents/send_receive.h"
#include "toolbox/files/files.h"
#include "toolbox/processes/processes.h"

namespace tb::test {

class RecordingFinder {
 public:
  static constexpr AEEventClass kSyncClass = 'tEST';
  static constexpr AEEventID kSyncID = 'sync';

  // Starts the child; true once it is registered and listening.
  bool Start(const std::filesystem::path& folder) {
    folder_ = folder;
    std::filesystem::create_directories(folder_);
    std::filesystem::path* kept = &folder_;
    return child_.Start([kept] {
      if (tb::processes::RegisterCurrentProcess('FNDR', 'MACS', "Finder", {}, 0) != noErr) {
        return 1;
      }
      return AEInstallEventHandler(typeWildCard, typeWildCard, NewAEEventHandlerUPP(Record), kept,
                                   false) == noErr
                 ? 0
                 : 2;
    }) == 0;
  }
  void Stop() { child_.Stop(); }
  pid_t pid() const { return child_.pid(); }
  ProcessSerialNumber psn() const {
    ProcessSerialNumber psn{};
    GetProcessForPID(child_.pid(), &psn);
    return psn;
  }

  // Waits a few seconds at most for `count` events in all; returns those that came, in order.
  std::vector<AppleEvent> WaitFor(size_t count) {
    for (int i = 0; i < 300 && Files().size() < count; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::vector<AppleEvent> events;
    for (const auto& file : Files()) {
      std::vector<unsigned char> bytes = ReadBytes(file);
      AppleEvent event{typeNull, nullptr};
      if (tb::ae::Deserialize(bytes, &event) == noErr) events.push_back(event);
    }
    return events;
  }
  // Sends a marker event of its own and waits for it: every event sent before has been
  // handled by then. Returns the events that came since the last Sync, without the marker.
  std::vector<AppleEvent> Sync() {
    ProcessSerialNumber target = psn();
    AEAddressDesc address;
    AECreateDesc(typeProcessSerialNumber, &target, sizeof target, &address);
    AppleEvent marker;
    AECreateAppleEvent(kSyncClass, kSyncID, &address, kAutoGenerateReturnID, kAnyTransactionID,
                       &marker);
    AppleEvent reply{typeNull, nullptr};
    AESend(&marker, &reply, kAEWaitReply, kAENormalPriority, 300, nullptr, nullptr);
    AEDisposeDesc(&reply);
    AEDisposeDesc(&marker);
    AEDisposeDesc(&address);
    std::vector<AppleEvent> all = WaitFor(seen_ + 1);
    std::vector<AppleEvent> fresh;
    for (size_t i = 0; i < all.size(); ++i) {
      if (i >= seen_ && i + 1 < all.size()) {
        fresh.push_back(all[i]);
      } else {
        AEDisposeDesc(&all[i]);
      }
    }
    seen_ = all.size();
    return fresh;
  }

  static void Dispose(std::vector<AppleEvent>& events) {
    for (AppleEvent& e : events) AEDisposeDesc(&e);
    events.clear();
  }

 private:
  static OSErr Record(const AppleEvent* event, AppleEvent*, SRefCon refcon) {
    static int handled = 0;
    const auto& folder = *static_cast<std::filesystem::path*>(refcon);
    char name[32];
    std::snprintf(name, sizeof name, "%04d.ae", handled++);
    std::vector<uint8_t> bytes = tb::ae::Serialize(*event);
    // Written aside and renamed, so the parent never reads half a file.
    WriteBytes(folder / (std::string(name) + ".part"), {bytes.begin(), bytes.end()});
    std::filesystem::rename(folder / (std::string(name) + ".part"), folder / name);
    return noErr;
  }

  std::vector<std::filesystem::path> Files() const {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
      if (entry.path().extension() == ".ae") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
  }

  std::filesystem::path folder_;
  ServingChild child_;
  size_t seen_ = 0;  // events up to the last marker
};

// Reading back what the Finder received.
inline OSType EventClassOf(const AppleEvent& event) {
  OSType value = 0;
  AEGetAttributePtr(&event, keyEventClassAttr, typeType, nullptr, &value, sizeof value, nullptr);
  return value;
}
inline OSType EventIDOf(const AppleEvent& event) {
  OSType value = 0;
  AEGetAttributePtr(&event, keyEventIDAttr, typeType, nullptr, &value, sizeof value, nullptr);
  return value;
}
inline DescType AddressTypeOf(const AppleEvent& event) {
  AEDesc address{typeNull, nullptr};
  if (AEGetAttributeDesc(&event, keyAddressAttr, typeWildCard, &address) != noErr) return 0;
  DescType type = address.descriptorType;
  AEDisposeDesc(&address);
  return type;
}
// The parameter as it travelled, without coercion; its type is typeNull when it is missing.
inline DescType ParamTypeOf(const AppleEvent& event, AEKeyword key) {
  AEDesc param{typeNull, nullptr};
  if (AEGetParamDesc(&event, key, typeWildCard, &param) != noErr) return typeNull;
  DescType type = param.descriptorType;
  AEDisposeDesc(&param);
  return type;
}
inline std::string FSSpecNameOf(const FSSpec& spec) {
  return std::string(reinterpret_cast<const char*>(spec.name + 1), spec.name[0]);
}

}  // namespace tb::test
