// The keyboard modifier state, as the screen driver last reported it.
#include "toolbox/events/events.h"

namespace {
UInt32 gModifiers = 0;
}

UInt32 GetCurrentKeyModifiers() {
  return gModifiers;
}

namespace tb::events {
void SetCurrentKeyModifiers(UInt32 modifiers) {
  gModifiers = modifiers;
}
}  // namespace tb::events
