// A forked child process that runs a step, reports back, and lives until told to stop.
#pragma once

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace tb::test {

class ChildProcess {
 public:
  // Runs `step` in the child; the child then waits until Stop(). The step's byte result is
  // handed back by Start().
  int Start(const std::function<int()>& step) {
    int up[2], down[2];
    if (pipe(up) != 0 || pipe(down) != 0) return -1;
    pid_ = fork();
    if (pid_ == 0) {
      close(up[0]);
      close(down[1]);
      unsigned char result = static_cast<unsigned char>(step());
      (void)!write(up[1], &result, 1);
      char ignored;
      while (read(down[0], &ignored, 1) > 0) {
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
  // Ends the child and collects it, so its pid is gone.
  void Stop() {
    if (pid_ <= 0) return;
    close(toChild_);
    int status;
    waitpid(pid_, &status, 0);
    pid_ = 0;
  }
  pid_t pid() const { return pid_; }
  ~ChildProcess() { Stop(); }

 private:
  pid_t pid_ = 0;
  int toChild_ = -1;
};

}  // namespace tb::test
