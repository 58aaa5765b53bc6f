// A forked child that registers as a toolbox process, runs a setup step (installing Apple
// event handlers), and serves Apple events until stopped or killed.
#pragma once

#include "tests/support/child_process.h"
#include "toolbox/appleevents/send_receive.h"

namespace tb::test {

class ServingChild : public ChildProcess {
 public:
  // Returns the setup step's result (0 when all went well), once the child serves.
  int Start(const std::function<int()>& setup) {
    return ChildProcess::Start(setup, [] { tb::ae::ProcessPendingEvents(0.02); });
  }
};

}  // namespace tb::test
