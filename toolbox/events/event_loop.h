// The application event loop and its timers. Events reach the loop through a queue that a
// screen driver (or a test) fills with tb::events::PostEvent; the driver may also supply the
// wait between turns, so that it can read its input while the loop is idle.
#pragma once

#include <functional>

#include "toolbox/events/events.h"

typedef struct OpaqueEventLoopRef* EventLoopRef;
typedef struct OpaqueEventLoopTimerRef* EventLoopTimerRef;
typedef void (*EventLoopTimerProcPtr)(EventLoopTimerRef inTimer, void* inUserData);
typedef EventLoopTimerProcPtr EventLoopTimerUPP;

EventLoopRef GetMainEventLoop();
EventLoopRef GetCurrentEventLoop();

EventLoopTimerUPP NewEventLoopTimerUPP(EventLoopTimerProcPtr proc);
void DisposeEventLoopTimerUPP(EventLoopTimerUPP upp);
// Fires first after `fireDelay` seconds, then every `interval` seconds (0: once).
OSStatus InstallEventLoopTimer(EventLoopRef loop, EventTimerInterval fireDelay,
                               EventTimerInterval interval, EventLoopTimerUPP proc, void* userData,
                               EventLoopTimerRef* outTimer);
OSStatus RemoveEventLoopTimer(EventLoopTimerRef timer);
OSStatus SetEventLoopTimerNextFireTime(EventLoopTimerRef timer, EventTimerInterval nextFire);

// Runs until QuitApplicationEventLoop is called (from a handler or a timer).
void RunApplicationEventLoop();
void QuitApplicationEventLoop();

namespace tb::events {

// Queues the event (retaining it) for delivery to `target` on the loop's next turn.
void PostEvent(EventRef event, EventTargetRef target);

// One turn of the loop: delivers the queued events and fires the due timers; when there is
// nothing to do, waits up to `timeoutSeconds` (kEventDurationForever: until something happens)
// for the next timer or for the driver's input. Returns false once the loop was told to quit.
bool RunLoopOnce(EventTimeout timeoutSeconds);

// The driver's wait: called with the longest time it may block (negative: no limit), it returns
// after that time or as soon as it has posted events. Without one the loop sleeps.
using IdleWait = std::function<void(EventTimeout maxSeconds)>;
void SetIdleWait(IdleWait wait);

// Work that arrives outside the queue (Apple events from other processes). The loop calls it
// every turn: with the time it may wait for work when the loop would otherwise sleep, else with
// 0. With a driver's idle wait in place the driver waits instead, for short turns, so both are
// served.
using LoopSource = std::function<void(EventTimeout maxSeconds)>;
void SetLoopSource(LoopSource source);

// Whether QuitApplicationEventLoop was called since the loop last started.
bool QuitRequested();

}  // namespace tb::events
