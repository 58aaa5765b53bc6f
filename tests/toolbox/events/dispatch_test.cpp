// Handler chains: order, pass-through, CallNextEventHandler, standard handler, parents, removal.
#include <gtest/gtest.h>

#include <string>

#include "toolbox/events/events.h"
#include "toolbox/events/target.h"

namespace {

constexpr EventTypeSpec kHit = {kEventClassControl, kEventControlHit};

// A handler that appends its tag to the trace and then does what its mode says.
struct Step {
  enum Mode { kHandle, kPass, kCallNextThenHandle, kRemoveSelfThenPass } mode;
  char tag;
  std::string* trace;
  EventHandlerRef self = nullptr;
};

OSStatus StepHandler(EventHandlerCallRef call, EventRef event, void* userData) {
  auto* step = static_cast<Step*>(userData);
  *step->trace += step->tag;
  switch (step->mode) {
    case Step::kHandle:
      return noErr;
    case Step::kPass:
      return eventNotHandledErr;
    case Step::kCallNextThenHandle: {
      OSStatus next = CallNextEventHandler(call, event);
      *step->trace += next == noErr ? "+" : "-";
      return noErr;
    }
    case Step::kRemoveSelfThenPass:
      RemoveEventHandler(step->self);
      return eventNotHandledErr;
  }
  return eventNotHandledErr;
}

OSStatus StandardHandler(EventHandlerCallRef call, EventRef event, void* userData) {
  *static_cast<std::string*>(userData) += 'S';
  EXPECT_EQ(CallNextEventHandler(call, event), eventNotHandledErr);
  return noErr;
}

EventRef NewHit() {
  EventRef event = nullptr;
  EXPECT_EQ(CreateEvent(nullptr, kEventClassControl, kEventControlHit, 0, 0, &event), noErr);
  return event;
}

struct ChainCase {
  const char* name;
  std::vector<Step::Mode> modes;  // in install order; tags 'a', 'b', …
  bool standard;
  const char* trace;
  OSStatus result;
};

class HandlerChain : public ::testing::TestWithParam<ChainCase> {};

TEST_P(HandlerChain, RunsNewestFirstUntilHandled) {
  const ChainCase& c = GetParam();
  std::string trace;
  tb::events::Target* target = tb::events::NewTarget();
  std::vector<Step> steps;
  steps.reserve(c.modes.size());
  for (size_t i = 0; i < c.modes.size(); ++i) {
    steps.push_back({c.modes[i], static_cast<char>('a' + i), &trace});
    ASSERT_EQ(InstallEventHandler(target, NewEventHandlerUPP(StepHandler), 1, &kHit, &steps.back(),
                                  &steps.back().self),
              noErr);
  }
  if (c.standard) tb::events::SetStandardHandler(target, StandardHandler, &trace);
  EventRef event = NewHit();
  EXPECT_EQ(SendEventToEventTarget(event, target), c.result);
  EXPECT_EQ(trace, c.trace);
  ReleaseEvent(event);
  tb::events::DisposeTarget(target);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HandlerChain,
    ::testing::ValuesIn(std::vector<ChainCase>{
        {"LastInstalledHandles", {Step::kHandle, Step::kHandle}, true, "b", noErr},
        {"PassesToOlder", {Step::kHandle, Step::kPass}, true, "ba", noErr},
        {"AllPassReachStandard", {Step::kPass, Step::kPass}, true, "baS", noErr},
        {"AllPassNoStandard", {Step::kPass, Step::kPass}, false, "ba", eventNotHandledErr},
        {"CallNextRunsRestOnce", {Step::kHandle, Step::kCallNextThenHandle}, true, "ba+", noErr},
        {"CallNextReachesStandard", {Step::kPass, Step::kCallNextThenHandle}, true, "baS+", noErr},
        {"CallNextAtEnd", {Step::kCallNextThenHandle}, false, "a-", noErr},
        {"RemovedWhileRunning", {Step::kHandle, Step::kRemoveSelfThenPass}, false, "ba", noErr},
    }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EventDispatch, RemovedHandlerIsGoneForNextEventAndRefIsRefused) {
  std::string trace;
  Step step{Step::kRemoveSelfThenPass, 'a', &trace};
  ASSERT_EQ(InstallApplicationEventHandler(StepHandler, 1, &kHit, &step, &step.self), noErr);
  EventRef event = NewHit();
  EXPECT_EQ(SendEventToEventTarget(event, GetApplicationEventTarget()), eventNotHandledErr);
  EXPECT_EQ(SendEventToEventTarget(event, GetApplicationEventTarget()), eventNotHandledErr);
  EXPECT_EQ(trace, "a");
  EXPECT_EQ(RemoveEventHandler(step.self), paramErr);
  ReleaseEvent(event);
}

// A handler that removes another one that would run after it: the other must not run.
struct Remover {
  EventHandlerRef victim;
  std::string* trace;
};
OSStatus RemoveOther(EventHandlerCallRef, EventRef, void* userData) {
  auto* r = static_cast<Remover*>(userData);
  *r->trace += 'r';
  RemoveEventHandler(r->victim);
  return eventNotHandledErr;
}

TEST(EventDispatch, HandlerRemovedByAnEarlierOneDoesNotRun) {
  std::string trace;
  tb::events::Target* target = tb::events::NewTarget();
  Step victim{Step::kHandle, 'v', &trace};
  ASSERT_EQ(InstallEventHandler(target, StepHandler, 1, &kHit, &victim, &victim.self), noErr);
  Remover remover{victim.self, &trace};
  ASSERT_EQ(InstallEventHandler(target, RemoveOther, 1, &kHit, &remover, nullptr), noErr);
  EventRef event = NewHit();
  EXPECT_EQ(SendEventToEventTarget(event, target), eventNotHandledErr);
  EXPECT_EQ(trace, "r");
  ReleaseEvent(event);
  tb::events::DisposeTarget(target);
}

OSStatus DisposeOwnTarget(EventHandlerCallRef, EventRef, void* userData) {
  tb::events::DisposeTarget(static_cast<tb::events::Target*>(userData));
  return eventNotHandledErr;
}

TEST(EventDispatch, UnhandledEventsContinueToParentTargets) {
  std::string trace;
  tb::events::Target* window = tb::events::NewTarget(GetApplicationEventTarget());
  tb::events::Target* control = tb::events::NewTarget(window);
  Step inControl{Step::kPass, 'c', &trace}, inWindow{Step::kPass, 'w', &trace},
      inApp{Step::kHandle, 'p', &trace};
  InstallEventHandler(control, StepHandler, 1, &kHit, &inControl, nullptr);
  InstallEventHandler(window, StepHandler, 1, &kHit, &inWindow, nullptr);
  InstallApplicationEventHandler(StepHandler, 1, &kHit, &inApp, &inApp.self);
  tb::events::SetStandardHandler(window, StandardHandler, &trace);
  tb::events::SetStandardHandler(window, nullptr, nullptr);

  EventRef event = NewHit();
  EXPECT_EQ(SendEventToEventTarget(event, control), noErr);
  EXPECT_EQ(trace, "cwp");

  // Handled at the control: the window and the application never see it.
  trace.clear();
  inControl.mode = Step::kHandle;
  EXPECT_EQ(SendEventToEventTarget(event, control), noErr);
  EXPECT_EQ(trace, "c");

  // The window disposing of itself mid-dispatch: the control still reaches nothing beyond it,
  // and nothing is touched after being freed.
  tb::events::DisposeTarget(control);
  trace.clear();
  InstallEventHandler(window, DisposeOwnTarget, 1, &kHit, window, nullptr);
  EXPECT_EQ(SendEventToEventTarget(event, window), eventNotHandledErr);
  EXPECT_EQ(trace, "");
  RemoveEventHandler(inApp.self);
  ReleaseEvent(event);
}

TEST(EventDispatch, HandlersSeeOnlyTheirTypes) {
  std::string trace;
  Step step{Step::kHandle, 'a', &trace};
  EventTypeSpec close = {kEventClassWindow, kEventWindowClose};
  tb::events::Target* target = tb::events::NewTarget();
  InstallEventHandler(target, StepHandler, 1, &close, &step, &step.self);
  EventRef event = NewHit();
  EXPECT_EQ(SendEventToEventTarget(event, target), eventNotHandledErr);
  EXPECT_EQ(AddEventTypesToHandler(step.self, 1, &kHit), noErr);
  EXPECT_EQ(SendEventToEventTarget(event, target), noErr);
  EXPECT_EQ(RemoveEventTypesFromHandler(step.self, 1, &kHit), noErr);
  EXPECT_EQ(SendEventToEventTarget(event, target), eventNotHandledErr);
  EXPECT_EQ(trace, "a");
  ReleaseEvent(event);
  tb::events::DisposeTarget(target);
}

}  // namespace
