// Events a process sends itself without waiting: queued, and handled on the loop's next turn
// like those of other processes.
#pragma once

#include "toolbox/appleevents/descriptors.h"

namespace tb::ae {

// Takes over the event.
void PostOwnEvent(AppleEvent* event);
bool HasOwnEvents();
// The oldest queued event, moved into `out`; false when there is none.
bool TakeOwnEvent(AppleEvent* out);

}  // namespace tb::ae
