#include "toolbox/appleevents/self_queue.h"

#include <deque>

namespace tb::ae {
namespace {

std::deque<AppleEvent>& Queue() {
  static std::deque<AppleEvent> queue;
  return queue;
}

}  // namespace

void PostOwnEvent(AppleEvent* event) {
  Queue().push_back(*event);
  *event = {typeNull, nullptr};
}

bool HasOwnEvents() {
  return !Queue().empty();
}

bool TakeOwnEvent(AppleEvent* out) {
  if (Queue().empty()) return false;
  *out = Queue().front();
  Queue().pop_front();
  return true;
}

}  // namespace tb::ae
