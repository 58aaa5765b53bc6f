// Starting applications and default applications, unless the host supplies its own launcher.
#include <fcntl.h>
#include <gio/gio.h>
#include <sys/wait.h>
#include <unistd.h>

#include "desktop/finder/service.h"

namespace desktop::finder {
namespace {

Callbacks& Stored() {
  static Callbacks callbacks;
  return callbacks;
}

// Runs the program in a grandchild that the init process adopts, so it outlives the desktop
// and leaves no zombie; the exec's outcome comes back through a close-on-exec pipe.
bool Spawn(const LaunchRequest& request) {
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(request.program.c_str()));
  for (const auto& a : request.arguments) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  int status[2];
  if (pipe2(status, O_CLOEXEC) != 0) return false;
  pid_t child = fork();
  if (child < 0) {
    close(status[0]);
    close(status[1]);
    return false;
  }
  if (child == 0) {
    close(status[0]);
    setsid();
    if (fork() != 0) _exit(0);
    int null = open("/dev/null", O_RDWR);
    if (null >= 0) {
      dup2(null, 0);
      dup2(null, 1);
    }
    execv(argv[0], argv.data());
    char failed = 1;
    (void)!write(status[1], &failed, 1);
    _exit(127);
  }
  close(status[1]);
  waitpid(child, nullptr, 0);
  char failed = 0;
  bool started = read(status[0], &failed, 1) != 1;
  close(status[0]);
  return started;
}

bool OpenDefault(const std::string& uri) {
  GError* error = nullptr;
  bool ok = g_app_info_launch_default_for_uri(uri.c_str(), nullptr, &error);
  if (error) g_error_free(error);
  return ok;
}

}  // namespace

void SetCallbacks(Callbacks callbacks) {
  Stored() = std::move(callbacks);
}

const Callbacks& CurrentCallbacks() {
  return Stored();
}

bool Launch(const LaunchRequest& request) {
  if (Stored().launcher) return Stored().launcher(request);
  if (!request.program.empty()) return Spawn(request);
  return !request.uri.empty() && OpenDefault(request.uri);
}

}  // namespace desktop::finder
