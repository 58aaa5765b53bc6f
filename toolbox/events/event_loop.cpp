// The main event loop: a queue of posted events, timers, and a driver-supplied idle wait.
#include "toolbox/events/event_loop.h"

#include <chrono>

#include <algorithm>
#include <deque>
#include <memory>
#include <thread>
#include <vector>

#include "toolbox/events/target.h"

struct OpaqueEventLoopRef {};

struct OpaqueEventLoopTimerRef {
  EventTime due = 0;
  EventTimerInterval interval = 0;
  EventLoopTimerUPP proc = nullptr;
  void* userData = nullptr;
  bool removed = false;
};

namespace {

struct Posted {
  EventRef event;
  EventTargetRef target;
};

struct Loop {
  OpaqueEventLoopRef ref;
  std::deque<Posted> queue;
  std::vector<std::unique_ptr<OpaqueEventLoopTimerRef>> timers;
  tb::events::IdleWait idleWait;
  tb::events::LoopSource source;
  bool quit = false;
};

Loop& MainLoop() {
  static Loop loop;
  return loop;
}

constexpr EventTime kNever = -1;

EventTime NextDue(const Loop& loop) {
  EventTime next = kNever;
  for (const auto& t : loop.timers) {
    if (!t->removed && t->due >= 0 && (next < 0 || t->due < next)) next = t->due;
  }
  return next;
}

void FireDueTimers(Loop& loop) {
  EventTime now = GetCurrentEventTime();
  // Collect first: a timer proc may install or remove timers.
  std::vector<OpaqueEventLoopTimerRef*> due;
  for (const auto& t : loop.timers) {
    if (!t->removed && t->due >= 0 && t->due <= now) due.push_back(t.get());
  }
  for (auto* t : due) {
    if (t->removed) continue;
    t->due = t->interval > 0 ? now + t->interval : kNever;
    t->proc(t, t->userData);
  }
  std::erase_if(loop.timers, [](const auto& t) { return t->removed; });
}

}  // namespace

EventLoopRef GetMainEventLoop() {
  return &MainLoop().ref;
}
EventLoopRef GetCurrentEventLoop() {
  return GetMainEventLoop();
}

EventLoopTimerUPP NewEventLoopTimerUPP(EventLoopTimerProcPtr proc) {
  return proc;
}
void DisposeEventLoopTimerUPP(EventLoopTimerUPP) {}

OSStatus InstallEventLoopTimer(EventLoopRef loop, EventTimerInterval fireDelay,
                               EventTimerInterval interval, EventLoopTimerUPP proc, void* userData,
                               EventLoopTimerRef* outTimer) {
  if (loop != GetMainEventLoop() || !proc) return paramErr;
  auto timer = std::make_unique<OpaqueEventLoopTimerRef>();
  timer->due = fireDelay < 0 ? kNever : GetCurrentEventTime() + fireDelay;
  timer->interval = std::max(0.0, interval);
  timer->proc = proc;
  timer->userData = userData;
  if (outTimer) *outTimer = timer.get();
  MainLoop().timers.push_back(std::move(timer));
  return noErr;
}

static bool IsLiveTimer(EventLoopTimerRef timer) {
  for (const auto& t : MainLoop().timers) {
    if (t.get() == timer && !t->removed) return true;
  }
  return false;
}

// The record is freed on the loop's next turn, so a timer may remove itself while firing.
OSStatus RemoveEventLoopTimer(EventLoopTimerRef timer) {
  if (!IsLiveTimer(timer)) return paramErr;
  timer->removed = true;
  return noErr;
}

OSStatus SetEventLoopTimerNextFireTime(EventLoopTimerRef timer, EventTimerInterval nextFire) {
  if (!IsLiveTimer(timer)) return paramErr;
  timer->due = nextFire < 0 ? kNever : GetCurrentEventTime() + nextFire;
  return noErr;
}

void QuitApplicationEventLoop() {
  MainLoop().quit = true;
}

void RunApplicationEventLoop() {
  Loop& loop = MainLoop();
  loop.quit = false;
  while (tb::events::RunLoopOnce(kEventDurationForever)) {
  }
  loop.quit = false;
}

namespace tb::events {

void PostEvent(EventRef event, EventTargetRef target) {
  if (!event || !target) return;
  RetainTarget(target);
  MainLoop().queue.push_back({RetainEvent(event), target});
}

void SetIdleWait(IdleWait wait) {
  MainLoop().idleWait = std::move(wait);
}

void SetLoopSource(LoopSource source) {
  MainLoop().source = std::move(source);
}

bool QuitRequested() {
  return MainLoop().quit;
}

bool RunLoopOnce(EventTimeout timeoutSeconds) {
  Loop& loop = MainLoop();
  if (loop.quit) return false;
  bool served = false;
  if (loop.queue.empty()) {
    EventTime now = GetCurrentEventTime();
    EventTime due = NextDue(loop);
    EventTimeout wait = timeoutSeconds;
    if (due >= 0)
      wait = wait < 0 ? std::max(0.0, due - now) : std::min(wait, std::max(0.0, due - now));
    if (wait != 0) {
      if (loop.idleWait) {
        // The driver cannot see the source's sockets: give the source a turn now and then.
        constexpr EventTimeout kSourceTurn = 0.05;
        loop.idleWait(loop.source && (wait < 0 || wait > kSourceTurn) ? kSourceTurn : wait);
      } else if (loop.source) {
        loop.source(wait);
        served = true;
      } else {
        // Without a driver only a timer can wake the loop; with none due, idle in short naps
        // rather than spinning.
        double nap = wait < 0 ? 0.01 : wait;
        std::this_thread::sleep_for(std::chrono::duration<double>(nap));
      }
    }
  }
  if (loop.source && !served && !loop.quit) loop.source(0);
  while (!loop.queue.empty() && !loop.quit) {
    Posted posted = loop.queue.front();
    loop.queue.pop_front();
    SendEventToEventTarget(posted.event, posted.target);
    ReleaseEvent(posted.event);
    ReleaseTarget(posted.target);
  }
  if (!loop.quit) FireDueTimers(loop);
  return !loop.quit;
}

}  // namespace tb::events
