// A forked child that registers as a toolbox process, runs a setup step (installing Apple
// event handlers), and serves Apple events until stopped or killed.
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

#include "toolbox/appleevents/send_receive.h"

namespace tb::test {

class ServingChild {
 public:
  // Returns the setup step's result (0 when all went well), once the child serves.
  int Start(const std::function<int()>& setup) {
    int up[2], down[2];
    if (pipe(up) != 0 || pipe(down) != 0) return -1;
    pid_ = fork();
    if (pid_ == 0) {
      close(up[0]);
      close(down[1]);
      unsigned char result = static_cast<unsigned char>(setup());
      (void)!write(up[1], &result, 1);
      for (;;) {
        pollfd p{down[0], POLLIN, 0};
        if (poll(&p, 1, 0) > 0) break;  // the parent closed its end
        tb::ae::ProcessPendingEvents(0.02);
      }
      _exit(0);
    }
    close(up[1]);
    close(down[0]);
    toChild_ = down[1];
    unsigned char result = 0xFF;
    if (read(up[0], &result, 1) != 1) result = 0xFF;
    close(up[0]);
    return result;
  }
  // Ends the child as a crash would: its socket file and registry entry stay behind.
  void Kill() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    close(toChild_);
    Reap();
  }
  void Stop() {
    if (pid_ <= 0) return;
    close(toChild_);
    Reap();
  }
  // Whether the child is still there (it serves until told to stop).
  bool Running() const { return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }
  pid_t pid() const { return pid_; }
  ~ServingChild() { Stop(); }

 private:
  void Reap() {
    int status;
    waitpid(pid_, &status, 0);
    pid_ = 0;
  }
  pid_t pid_ = 0;
  int toChild_ = -1;
};

}  // namespace tb::test
