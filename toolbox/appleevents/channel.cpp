#include "toolbox/appleevents/channel.h"

#include <errno.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <cstring>
#include <thread>

#include "toolbox/appleevents/frames.h"
#include "toolbox/processes/processes.h"

namespace tb::ae {

std::optional<std::string> SocketPath(pid_t pid) {
  std::filesystem::path dir;
  if (processes::RuntimeDirectory(&dir) != noErr) return std::nullopt;
  std::string path = (dir / (std::to_string(pid) + ".sock")).string();
  if (path.size() >= sizeof(sockaddr_un{}.sun_path)) return std::nullopt;
  return path;
}

int PollTimeout(Clock::time_point deadline) {
  if (deadline == kNoDeadline) return -1;
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  if (left.count() <= 0) return 0;
  return static_cast<int>(std::min<long long>(left.count() + 1, 1 << 30));
}

OSErr ConnectTo(pid_t pid, Clock::time_point deadline, files::Fd* out) {
  auto path = SocketPath(pid);
  if (!path) return procNotFound;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path->c_str(), path->size() + 1);
  for (;;) {
    files::Fd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
    if (!fd) return connectionInvalid;
    if (connect(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
      *out = std::move(fd);
      return noErr;
    }
    // A full backlog is the only reason worth waiting for; a missing file, or one nobody
    // listens on (a process that died), means the process is gone.
    if (errno != EAGAIN && errno != EINTR) return procNotFound;
    if (Clock::now() >= deadline) return errAETimeout;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

OSErr WriteAll(int fd, std::span<const uint8_t> bytes, Clock::time_point deadline) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL);
    if (n > 0) {
      done += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return connectionInvalid;
    pollfd p{fd, POLLOUT, 0};
    int ready = poll(&p, 1, PollTimeout(deadline));
    if (ready == 0) return errAETimeout;
    if (ready < 0 && errno != EINTR) return connectionInvalid;
  }
  return noErr;
}

OSErr ReadMessage(int fd, Clock::time_point deadline, std::vector<uint8_t>* body) {
  MessageReader reader;
  uint8_t chunk[16384];
  for (;;) {
    switch (reader.Next(body)) {
      case MessageReader::Status::kMessage:
        return noErr;
      case MessageReader::Status::kBad:
        return errAECorruptData;
      case MessageReader::Status::kNeedMore:
        break;
    }
    ssize_t n = recv(fd, chunk, sizeof chunk, 0);
    if (n > 0) {
      reader.Append({chunk, static_cast<size_t>(n)});
      continue;
    }
    if (n == 0) return connectionInvalid;
    if (errno == EINTR) continue;
    if (errno != EAGAIN) return connectionInvalid;
    pollfd p{fd, POLLIN, 0};
    int ready = poll(&p, 1, PollTimeout(deadline));
    if (ready == 0) return errAETimeout;
    if (ready < 0 && errno != EINTR) return connectionInvalid;
  }
}

}  // namespace tb::ae
