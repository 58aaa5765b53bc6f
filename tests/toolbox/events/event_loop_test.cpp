// The event loop: posted events, timers, the driver's idle wait and quitting.
#include <gtest/gtest.h>

#include "toolbox/events/event_loop.h"
#include "toolbox/events/target.h"

namespace {

constexpr EventTypeSpec kQuitSpec = {kEventClassApplication, kEventAppQuit};

OSStatus CountAndQuit(EventHandlerCallRef, EventRef, void* userData) {
  ++*static_cast<int*>(userData);
  QuitApplicationEventLoop();
  return noErr;
}

EventRef NewQuitEvent() {
  EventRef event = nullptr;
  CreateEvent(nullptr, kEventClassApplication, kEventAppQuit, 0, 0, &event);
  return event;
}

TEST(EventLoop, DriverPostsEventsWhileTheLoopIsIdle) {
  int handled = 0, waits = 0;
  EventHandlerRef handler = nullptr;
  InstallApplicationEventHandler(CountAndQuit, 1, &kQuitSpec, &handled, &handler);
  tb::events::SetIdleWait([&](EventTimeout maxSeconds) {
    EXPECT_LT(maxSeconds, 0);  // nothing else pending: the driver may wait for ever
    if (++waits == 2) {
      EventRef event = NewQuitEvent();
      tb::events::PostEvent(event, GetApplicationEventTarget());
      ReleaseEvent(event);  // the queue holds its own reference
    }
  });
  RunApplicationEventLoop();
  EXPECT_EQ(handled, 1);
  EXPECT_EQ(waits, 2);
  EXPECT_FALSE(tb::events::QuitRequested());
  tb::events::SetIdleWait(nullptr);
  RemoveEventHandler(handler);
}

TEST(EventLoop, PostedEventsReachTheirTargetInOrderEvenIfItIsDisposedMeanwhile) {
  std::vector<UInt32> kinds;
  tb::events::Target* target = tb::events::NewTarget();
  EventTypeSpec specs[] = {{kEventClassWindow, kEventWindowClose},
                           {kEventClassWindow, kEventWindowClosed}};
  InstallEventHandler(
      target,
      [](EventHandlerCallRef, EventRef event, void* userData) -> OSStatus {
        static_cast<std::vector<UInt32>*>(userData)->push_back(GetEventKind(event));
        return noErr;
      },
      2, specs, &kinds, nullptr);
  auto post = [&] {
    for (UInt32 kind : {UInt32{kEventWindowClose}, UInt32{kEventWindowClosed}}) {
      EventRef event = nullptr;
      CreateEvent(nullptr, kEventClassWindow, kind, 0, 0, &event);
      tb::events::PostEvent(event, target);
      ReleaseEvent(event);
    }
  };
  post();
  EXPECT_TRUE(tb::events::RunLoopOnce(kEventDurationNoWait));
  EXPECT_EQ(kinds, (std::vector<UInt32>{kEventWindowClose, kEventWindowClosed}));

  post();
  tb::events::DisposeTarget(target);  // the queue keeps the target alive until delivery
  EXPECT_TRUE(tb::events::RunLoopOnce(kEventDurationNoWait));
  EXPECT_EQ(kinds.size(), 2u);  // a disposed target has no handlers left
}

TEST(EventLoop, QuitCommandEndsTheLoop) {
  tb::events::SetIdleWait([](EventTimeout) {
    EventRef event = nullptr;
    CreateEvent(nullptr, kEventClassCommand, kEventCommandProcess, 0, 0, &event);
    HICommand quit = {0, kHICommandQuit, {nullptr, 0}};
    SetEventParameter(event, kEventParamDirectObject, typeHICommand, sizeof quit, &quit);
    tb::events::PostEvent(event, GetApplicationEventTarget());
    ReleaseEvent(event);
  });
  RunApplicationEventLoop();  // returns: the standard handler quit it
  tb::events::SetIdleWait(nullptr);
}

struct TimerState {
  int fired = 0;
  int quitAfter = 0;
  bool removeSelf = false;
};

void OnTimer(EventLoopTimerRef timer, void* userData) {
  auto* state = static_cast<TimerState*>(userData);
  ++state->fired;
  if (state->removeSelf) {
    EXPECT_EQ(RemoveEventLoopTimer(timer), noErr);
  }
  if (state->fired == state->quitAfter) QuitApplicationEventLoop();
}

TEST(EventLoop, RepeatingTimerRunsUntilTheLoopQuits) {
  TimerState state;
  state.quitAfter = 3;
  EventLoopTimerRef timer = nullptr;
  ASSERT_EQ(InstallEventLoopTimer(GetMainEventLoop(), 0, kEventDurationMicrosecond,
                                  NewEventLoopTimerUPP(OnTimer), &state, &timer),
            noErr);
  RunApplicationEventLoop();
  EXPECT_EQ(state.fired, 3);
  EXPECT_EQ(RemoveEventLoopTimer(timer), noErr);
  EXPECT_EQ(RemoveEventLoopTimer(timer), paramErr);
}

TEST(EventLoop, OneShotAndSelfRemovingTimersFireOnce) {
  TimerState once, removing;
  removing.removeSelf = true;
  InstallEventLoopTimer(GetMainEventLoop(), 0, 0, OnTimer, &once, nullptr);
  InstallEventLoopTimer(GetMainEventLoop(), 0, kEventDurationMicrosecond, OnTimer, &removing,
                        nullptr);
  for (int i = 0; i < 3; ++i) tb::events::RunLoopOnce(kEventDurationNoWait);
  EXPECT_EQ(once.fired, 1);
  EXPECT_EQ(removing.fired, 1);
  EXPECT_EQ(InstallEventLoopTimer(nullptr, 0, 0, OnTimer, &once, nullptr), paramErr);
}

}  // namespace
