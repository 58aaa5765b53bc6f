// Installing and removing handlers, and sending events through a target's handler chain.
#include <algorithm>
#include <unordered_set>

#include "toolbox/events/handler_registry.h"
#include "toolbox/events/target.h"

using tb::events::Target;

namespace {

std::unordered_set<EventHandlerRef>& Installed() {
  static std::unordered_set<EventHandlerRef> installed;
  return installed;
}

using Chain = std::vector<std::shared_ptr<OpaqueEventHandlerRef>>;

// Newest first: the handler installed last sees the event first.
Chain MatchingHandlers(const Target* target, UInt32 eventClass, UInt32 kind) {
  Chain chain;
  for (auto it = target->handlers.rbegin(); it != target->handlers.rend(); ++it) {
    if ((*it)->Accepts(eventClass, kind)) chain.push_back(*it);
  }
  return chain;
}

}  // namespace

// Where a running handler stands in its target's chain, for CallNextEventHandler.
struct OpaqueEventHandlerCallRef {
  Target* target;
  const Chain* chain;
  size_t next;            // first handler after the running one
  bool inStandard;        // the running one is the standard handler: nothing follows it
  bool consumed = false;  // CallNextEventHandler already ran the rest of the chain
};

namespace {

OSStatus RunChain(Target* target, const Chain& chain, size_t start, EventRef event) {
  for (size_t i = start; i < chain.size(); ++i) {
    const auto& handler = chain[i];
    if (handler->removed) continue;
    OpaqueEventHandlerCallRef call{target, &chain, i + 1, false};
    OSStatus result = handler->proc(&call, event, handler->userData);
    if (result != eventNotHandledErr || call.consumed) return result;
  }
  if (target->disposed || !target->standardHandler) return eventNotHandledErr;
  OpaqueEventHandlerCallRef call{target, &chain, chain.size(), true};
  return target->standardHandler(&call, event, target->standardUserData);
}

}  // namespace

bool OpaqueEventHandlerRef::Accepts(UInt32 eventClass, UInt32 kind) const {
  return std::any_of(types.begin(), types.end(), [&](const EventTypeSpec& spec) {
    return spec.eventClass == eventClass && spec.eventKind == kind;
  });
}

namespace tb::events {
void RememberHandler(EventHandlerRef handler) {
  Installed().insert(handler);
}
void ForgetHandler(EventHandlerRef handler) {
  Installed().erase(handler);
}
bool IsInstalledHandler(EventHandlerRef handler) {
  return Installed().count(handler) != 0;
}
}  // namespace tb::events

EventHandlerUPP NewEventHandlerUPP(EventHandlerProcPtr proc) {
  return proc;
}
void DisposeEventHandlerUPP(EventHandlerUPP) {}

OSStatus InstallEventHandler(EventTargetRef target, EventHandlerUPP handler, ItemCount numTypes,
                             const EventTypeSpec* list, void* userData, EventHandlerRef* outRef) {
  if (!target || target->disposed || !handler || (numTypes > 0 && !list)) return paramErr;
  auto record = std::make_shared<OpaqueEventHandlerRef>();
  record->target = target;
  record->proc = handler;
  record->userData = userData;
  record->types.assign(list, list + numTypes);
  target->handlers.push_back(record);
  tb::events::RememberHandler(record.get());
  if (outRef) *outRef = record.get();
  return noErr;
}

OSStatus InstallApplicationEventHandler(EventHandlerUPP handler, ItemCount numTypes,
                                        const EventTypeSpec* list, void* userData,
                                        EventHandlerRef* outRef) {
  return InstallEventHandler(GetApplicationEventTarget(), handler, numTypes, list, userData,
                             outRef);
}

OSStatus RemoveEventHandler(EventHandlerRef handler) {
  if (!tb::events::IsInstalledHandler(handler)) return paramErr;
  tb::events::ForgetHandler(handler);
  handler->removed = true;
  auto& handlers = handler->target->handlers;
  // Erasing drops the target's reference; a dispatch in progress keeps its own.
  std::erase_if(handlers, [&](const auto& h) { return h.get() == handler; });
  return noErr;
}

OSStatus AddEventTypesToHandler(EventHandlerRef handler, ItemCount numTypes,
                                const EventTypeSpec* list) {
  if (!tb::events::IsInstalledHandler(handler) || (numTypes > 0 && !list)) return paramErr;
  handler->types.insert(handler->types.end(), list, list + numTypes);
  return noErr;
}

OSStatus RemoveEventTypesFromHandler(EventHandlerRef handler, ItemCount numTypes,
                                     const EventTypeSpec* list) {
  if (!tb::events::IsInstalledHandler(handler) || (numTypes > 0 && !list)) return paramErr;
  for (ItemCount i = 0; i < numTypes; ++i) {
    std::erase_if(handler->types, [&](const EventTypeSpec& spec) {
      return spec.eventClass == list[i].eventClass && spec.eventKind == list[i].eventKind;
    });
  }
  return noErr;
}

OSStatus SendEventToEventTarget(EventRef event, EventTargetRef target) {
  if (!event || !target) return paramErr;
  UInt32 eventClass = GetEventClass(event), kind = GetEventKind(event);
  RetainEvent(event);
  tb::events::RetainTarget(target);
  OSStatus result = eventNotHandledErr;
  for (Target* current = target; current;) {
    Chain chain = MatchingHandlers(current, eventClass, kind);
    result = RunChain(current, chain, 0, event);
    Target* next = result == eventNotHandledErr ? current->parent : nullptr;
    tb::events::RetainTarget(next);
    tb::events::ReleaseTarget(current);
    current = next;
  }
  ReleaseEvent(event);
  return result;
}

OSStatus CallNextEventHandler(EventHandlerCallRef callRef, EventRef event) {
  if (!callRef || !event) return paramErr;
  if (callRef->inStandard || callRef->consumed) return eventNotHandledErr;
  callRef->consumed = true;
  return RunChain(callRef->target, *callRef->chain, callRef->next, event);
}
