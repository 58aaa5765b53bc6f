// Events: class, kind, time and a table of typed parameters.
#include <chrono>
#include <cstring>
#include <map>
#include <vector>

#include "toolbox/events/events.h"

struct OpaqueEventRef {
  struct Parameter {
    EventParamType type;
    std::vector<unsigned char> bytes;
  };
  UInt32 eventClass = 0;
  UInt32 kind = 0;
  EventTime when = 0;
  EventAttributes attributes = 0;
  ItemCount refs = 1;
  std::map<EventParamName, Parameter> parameters;
};

EventTime GetCurrentEventTime() {
  using namespace std::chrono;
  return duration<double>(steady_clock::now().time_since_epoch()).count();
}

OSStatus CreateEvent(CFAllocatorRef, UInt32 eventClass, UInt32 kind, EventTime when,
                     EventAttributes flags, EventRef* outEvent) {
  if (!outEvent) return paramErr;
  auto* event = new OpaqueEventRef;
  event->eventClass = eventClass;
  event->kind = kind;
  event->when = when == 0 ? GetCurrentEventTime() : when;
  event->attributes = flags;
  *outEvent = event;
  return noErr;
}

EventRef CopyEvent(EventRef event) {
  if (!event) return nullptr;
  auto* copy = new OpaqueEventRef(*event);
  copy->refs = 1;
  return copy;
}

EventRef RetainEvent(EventRef event) {
  if (event) ++event->refs;
  return event;
}

void ReleaseEvent(EventRef event) {
  if (event && --event->refs == 0) delete event;
}

ItemCount GetEventRetainCount(EventRef event) {
  return event ? event->refs : 0;
}
UInt32 GetEventClass(EventRef event) {
  return event ? event->eventClass : 0;
}
UInt32 GetEventKind(EventRef event) {
  return event ? event->kind : 0;
}
EventTime GetEventTime(EventRef event) {
  return event ? event->when : 0;
}

OSStatus SetEventParameter(EventRef event, EventParamName name, EventParamType type, UInt32 size,
                           const void* data) {
  if (!event || (size > 0 && !data)) return paramErr;
  auto bytes = static_cast<const unsigned char*>(data);
  event->parameters[name] = {type, std::vector<unsigned char>(bytes, bytes + size)};
  return noErr;
}

// Values are handed back only as the type they were stored with: a caller asking for another
// type gets errAECoercionFail rather than bytes it would misread.
OSStatus GetEventParameter(EventRef event, EventParamName name, EventParamType desiredType,
                           EventParamType* outActualType, UInt32 bufferSize, UInt32* outActualSize,
                           void* outData) {
  if (!event) return paramErr;
  auto found = event->parameters.find(name);
  if (found == event->parameters.end()) return eventParameterNotFoundErr;
  const auto& parameter = found->second;
  if (desiredType != typeWildCard && desiredType != parameter.type) return errAECoercionFail;
  if (outActualType) *outActualType = parameter.type;
  if (outActualSize) *outActualSize = static_cast<UInt32>(parameter.bytes.size());
  if (outData) {
    size_t n = std::min<size_t>(bufferSize, parameter.bytes.size());
    if (n) std::memcpy(outData, parameter.bytes.data(), n);
  }
  return noErr;
}
