// Event targets inside the toolbox. Windows, controls, menus, toolbars and HIObjects each own
// one, made with NewTarget; EventTargetRef is a pointer to it.
#pragma once

#include <memory>
#include <vector>

#include "toolbox/events/events.h"

// A handler installed on a target. Dispatch holds it by shared_ptr, so removing a handler while
// it runs only marks it removed.
struct OpaqueEventHandlerRef {
  EventTargetRef target = nullptr;
  EventHandlerUPP proc = nullptr;
  void* userData = nullptr;
  std::vector<EventTypeSpec> types;
  bool removed = false;

  bool Accepts(UInt32 eventClass, UInt32 kind) const;
};

struct OpaqueEventTargetRef {
  std::vector<std::shared_ptr<OpaqueEventHandlerRef>> handlers;  // in install order
  EventHandlerUPP standardHandler = nullptr;
  void* standardUserData = nullptr;
  OpaqueEventTargetRef* parent = nullptr;  // retained
  int refs = 1;
  bool disposed = false;
};

namespace tb::events {

using Target = OpaqueEventTargetRef;

// A new target (owned by the caller until DisposeTarget). Events the target leaves unhandled
// continue to `parent`, which the target keeps alive.
Target* NewTarget(Target* parent = nullptr);
// Removes the target's handlers and its parent link. The memory stays valid while an event is
// being dispatched to it, so an owner may dispose its target from inside one of its handlers.
void DisposeTarget(Target* target);
void SetTargetParent(Target* target, Target* parent);
// The fallback that runs after the target's own handlers, the way the platform's standard window
// and menu handlers do. nullptr removes it. CallNextEventHandler inside it gives
// eventNotHandledErr.
void SetStandardHandler(Target* target, EventHandlerUPP handler, void* userData);

void RetainTarget(Target* target);
void ReleaseTarget(Target* target);

}  // namespace tb::events
