// Event targets: their handler lists, parents and standard handlers.
#include "toolbox/events/target.h"

#include "toolbox/events/event_loop.h"
#include "toolbox/events/handler_registry.h"

namespace tb::events {

Target* NewTarget(Target* parent) {
  auto* target = new Target;
  SetTargetParent(target, parent);
  return target;
}

void RetainTarget(Target* target) {
  if (target) ++target->refs;
}

void ReleaseTarget(Target* target) {
  if (target && --target->refs == 0) {
    ReleaseTarget(target->parent);
    delete target;
  }
}

void SetTargetParent(Target* target, Target* parent) {
  if (!target || target->disposed) return;
  for (Target* t = parent; t; t = t->parent) {
    if (t == target) return;  // a cycle would send events round for ever
  }
  RetainTarget(parent);
  ReleaseTarget(target->parent);
  target->parent = parent;
}

void SetStandardHandler(Target* target, EventHandlerUPP handler, void* userData) {
  if (!target || target->disposed) return;
  target->standardHandler = handler;
  target->standardUserData = userData;
}

void DisposeTarget(Target* target) {
  if (!target || target->disposed) return;
  target->disposed = true;
  for (auto& handler : target->handlers) {
    handler->removed = true;
    ForgetHandler(handler.get());
  }
  target->handlers.clear();
  target->standardHandler = nullptr;
  ReleaseTarget(target->parent);
  target->parent = nullptr;
  ReleaseTarget(target);
}

}  // namespace tb::events

namespace {

// The application's standard handler: a quit command ends RunApplicationEventLoop.
OSStatus StandardApplicationHandler(EventHandlerCallRef, EventRef event, void*) {
  if (GetEventClass(event) != kEventClassCommand || GetEventKind(event) != kEventCommandProcess) {
    return eventNotHandledErr;
  }
  HICommand command;
  if (GetEventParameter(event, kEventParamDirectObject, typeHICommand, nullptr, sizeof command,
                        nullptr, &command) != noErr ||
      command.commandID != kHICommandQuit) {
    return eventNotHandledErr;
  }
  QuitApplicationEventLoop();
  return noErr;
}

}  // namespace

EventTargetRef GetApplicationEventTarget() {
  // Lives for the whole process.
  static tb::events::Target* application = [] {
    tb::events::Target* target = tb::events::NewTarget();
    tb::events::SetStandardHandler(target, StandardApplicationHandler, nullptr);
    return target;
  }();
  return application;
}
