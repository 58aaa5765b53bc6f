// A forked child process that runs a step, reports its result back, and lives until told to
// stop, doing `idle` over and over meanwhile (serving Apple events, say) when one is given.
#pragma once

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace tb::test {

class ChildProcess {
 public:
  // Runs `step` in the child; its byte result is handed back once the child has run it.
  int Start(const std::function<int()>& step, const std::function<void()>& idle = {}) {
    int up[2], down[2];
    if (pipe(up) != 0 || pipe(down) != 0) return -1;
    pid_ = fork();
    if (pid_ == 0) {
      close(up[0]);
      close(down[1]);
      unsigned char result = static_cast<unsigned char>(step());
      (void)!write(up[1], &result, 1);
      if (idle) {
        for (;;) {
          pollfd p{down[0], POLLIN, 0};
          if (poll(&p, 1, 0) > 0) break;  // the parent closed its end
          idle();
        }
      } else {
        char ignored;
        while (read(down[0], &ignored, 1) > 0) {
        }
      }
      _exit(0);  // no exit handlers: the child leaves its registry entry behind, as a crash would
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
    Stop();
  }
  // Ends the child and collects it, so its pid is gone.
  void Stop() {
    if (pid_ <= 0) return;
    close(toChild_);
    int status;
    waitpid(pid_, &status, 0);
    pid_ = 0;
  }
  // Whether the child is still there.
  bool Running() const { return pid_ > 0 && waitpid(pid_, nullptr, WNOHANG) == 0; }
  pid_t pid() const { return pid_; }
  ~ChildProcess() { Stop(); }

 private:
  pid_t pid_ = 0;
  int toChild_ = -1;
};

}  // namespace tb::test
