// The Finder without a screen: Apple events only, for the installer's tests and scripts.
#include <chrono>

#include "desktop/finder/service.h"
#include "toolbox/events/event_loop.h"
#include "toolbox/processes/processes.h"

namespace desktop::finder {
namespace {

OSErr HandleQuit(const AppleEvent*, AppleEvent*, SRefCon) {
  QuitApplicationEventLoop();
  return noErr;
}

}  // namespace

OSErr RunHeadless(double seconds) {
  OSErr err = tb::processes::RegisterCurrentProcess('FNDR', 'MACS', "Finder", {}, 0);
  if (err != noErr) return err;
  err = InstallHandlers();
  if (err != noErr) return err;
  AEInstallEventHandler(kCoreEventClass, kAEQuitApplication, NewAEEventHandlerUPP(HandleQuit),
                        nullptr, false);
  using Clock = std::chrono::steady_clock;
  auto deadline = Clock::now() + std::chrono::duration<double>(seconds);
  for (;;) {
    double left = kEventDurationForever;
    if (seconds >= 0) {
      left = std::chrono::duration<double>(deadline - Clock::now()).count();
      if (left <= 0) break;
    }
    if (!tb::events::RunLoopOnce(left)) break;
  }
  return noErr;
}

}  // namespace desktop::finder
