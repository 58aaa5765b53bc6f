// The handlers currently installed, so that a stale or foreign EventHandlerRef is refused
// instead of followed.
#pragma once

#include "toolbox/events/target.h"

namespace tb::events {
void RememberHandler(EventHandlerRef handler);
void ForgetHandler(EventHandlerRef handler);
bool IsInstalledHandler(EventHandlerRef handler);
}  // namespace tb::events
