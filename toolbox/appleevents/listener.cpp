// The receiving side: this process's listening socket, the connections of senders, and
// handling the events they bring on the main thread.
#include <errno.h>
#include <poll.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <mutex>
#include <vector>

#include "toolbox/appleevents/channel.h"
#include "toolbox/appleevents/frames.h"
#include "toolbox/appleevents/self_queue.h"
#include "toolbox/appleevents/send_receive.h"
#include "toolbox/events/event_loop.h"
#include "toolbox/processes/registry.h"

namespace tb::ae {
namespace {

// Beyond this many open connections, new ones are closed at once.
constexpr size_t kMaxConnections = 64;
// A reply the sender does not read within this time is dropped.
constexpr auto kReplyWriteTime = std::chrono::seconds(1);

struct Connection {
  files::Fd fd;
  pid_t peer = 0;
  MessageReader reader;
  bool closed = false;
};

struct Listener {
  pid_t owner = 0;  // differs from getpid() in a forked child, which must not serve the parent's
  files::Fd socket;
  std::string path;
  std::vector<Connection> connections;
  bool dispatching = false;
};

Listener& State() {
  static Listener listener;
  return listener;
}

// A forked child inherits the descriptors but not the role: it forgets them without touching
// the parent's socket file.
void ForgetInherited(Listener& l) {
  if (l.owner == getpid()) return;
  l.socket.reset();
  l.connections.clear();
  l.path.clear();
  l.owner = getpid();
}

void RemoveSocketFile() {
  Listener& l = State();
  if (l.owner == getpid() && !l.path.empty()) unlink(l.path.c_str());
}

void AcceptAll(Listener& l) {
  for (;;) {
    int fd = accept4(l.socket.get(), nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EINTR) continue;
      return;
    }
    files::Fd owned(fd);
    ucred cred{};
    socklen_t length = sizeof cred;
    // The directory is private, but a peer of another user must never be served.
    if (getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &cred, &length) != 0 || cred.uid != geteuid()) {
      continue;
    }
    if (l.connections.size() >= kMaxConnections) continue;
    Connection c;
    c.fd = std::move(owned);
    c.peer = cred.pid;
    l.connections.push_back(std::move(c));
  }
}

// Reads what is there, never holding more than one largest message (with its length) at a
// time; the rest waits in the socket until the messages held are handled. A connection at its
// end or out of step is marked closed.
void ReadAvailable(Connection& c) {
  constexpr size_t kMostHeld = kMaxMessageBytes + 4;
  uint8_t chunk[65536];
  while (c.reader.buffered() < kMostHeld) {
    size_t room = std::min(sizeof chunk, kMostHeld - c.reader.buffered());
    ssize_t n = recv(c.fd.get(), chunk, room, 0);
    if (n > 0) {
      c.reader.Append({chunk, static_cast<size_t>(n)});
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n == 0 || errno != EAGAIN) c.closed = true;
    return;
  }
}

void SetSender(AppleEvent* event, pid_t peer) {
  ProcessSerialNumber psn = processes::PsnOfPid(peer);
  AEPutAttributePtr(event, keyOriginalAddressAttr, typeProcessSerialNumber, &psn, sizeof psn);
  SInt32 pid = peer;
  AEPutAttributePtr(event, keySenderPIDAttr, typeSInt32, &pid, sizeof pid);
}

bool WantsReply(const AppleEvent& event) {
  Boolean wanted = false;
  AEGetAttributePtr(&event, keyReplyRequestedAttr, typeBoolean, nullptr, &wanted, sizeof wanted,
                    nullptr);
  return wanted;
}

// Handles one event; the reply goes back on the connection when the sender waits for it.
void Handle(AppleEvent* event, int replyFd) {
  AppleEvent reply{typeNull, nullptr};
  bool wantsReply = replyFd >= 0 && WantsReply(*event);
  if (wantsReply) {
    SInt16 returnID = 0;
    SInt32 transaction = 0;
    AEGetAttributePtr(event, keyReturnIDAttr, typeShortInteger, nullptr, &returnID, sizeof returnID,
                      nullptr);
    AEGetAttributePtr(event, keyTransactionIDAttr, typeSInt32, nullptr, &transaction,
                      sizeof transaction, nullptr);
    AECreateAppleEvent(kCoreEventClass, kAEAnswer, nullptr, returnID, transaction, &reply);
  }
  DispatchAppleEvent(event, wantsReply ? &reply : nullptr);
  if (wantsReply) {
    std::vector<uint8_t> message = EncodeMessage(reply);
    if (!message.empty()) WriteAll(replyFd, message, Clock::now() + kReplyWriteTime);
  }
  AEDisposeDesc(&reply);
}

// Handles the whole messages a connection holds; returns how many.
int HandleMessages(Connection& c) {
  int handled = 0;
  std::vector<uint8_t> body;
  for (;;) {
    auto status = c.reader.Next(&body);
    if (status == MessageReader::Status::kNeedMore) break;
    if (status == MessageReader::Status::kBad) {
      c.closed = true;
      break;
    }
    AppleEvent event;
    if (DecodeEvent(body, &event) != noErr) {
      c.closed = true;  // garbage: nothing after it can be trusted either
      break;
    }
    SetSender(&event, c.peer);
    Handle(&event, c.fd.get());
    AEDisposeDesc(&event);
    ++handled;
  }
  return handled;
}

int HandleOwnEvents() {
  int handled = 0;
  AppleEvent event;
  while (TakeOwnEvent(&event)) {
    SetSender(&event, getpid());
    Handle(&event, -1);
    AEDisposeDesc(&event);
    ++handled;
  }
  return handled;
}

// One wait on the sockets and the handling of what came; returns the events handled.
int ServeOnce(Listener& l, int pollMillis) {
  std::vector<pollfd> fds;
  if (l.socket) fds.push_back({l.socket.get(), POLLIN, 0});
  for (const Connection& c : l.connections) fds.push_back({c.fd.get(), POLLIN, 0});
  if (HasOwnEvents()) pollMillis = 0;
  if (fds.empty()) {
    if (pollMillis != 0) poll(nullptr, 0, pollMillis);
  } else if (poll(fds.data(), fds.size(), pollMillis) <= 0) {
    return HandleOwnEvents();
  }
  size_t first = l.socket ? 1 : 0;
  size_t existing = l.connections.size();
  for (size_t i = 0; i < existing; ++i) {
    if (fds[first + i].revents) ReadAvailable(l.connections[i]);
  }
  if (l.socket && (fds[0].revents & POLLIN)) AcceptAll(l);
  int handled = HandleOwnEvents();
  for (size_t i = 0; i < l.connections.size(); ++i) {
    // A new connection may already hold its message (the sender wrote before we accepted).
    if (i >= existing) ReadAvailable(l.connections[i]);
    handled += HandleMessages(l.connections[i]);
  }
  std::erase_if(l.connections, [](const Connection& c) { return c.closed; });
  return handled;
}

}  // namespace

OSErr StartListening() {
  Listener& l = State();
  ForgetInherited(l);
  if (l.socket) return noErr;
  processes::EnsureRegistered();
  auto path = SocketPath(getpid());
  if (!path) return permErr;
  files::Fd fd(socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!fd) return ioErr;
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, path->c_str(), path->size() + 1);
  unlink(path->c_str());  // left by an earlier process with this pid
  if (bind(fd.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return ioErr;
  chmod(path->c_str(), 0600);
  if (listen(fd.get(), 32) != 0) {
    unlink(path->c_str());
    return ioErr;
  }
  l.socket = std::move(fd);
  l.path = *path;
  static std::once_flag once;
  std::call_once(once, [] { atexit(RemoveSocketFile); });
  events::SetLoopSource([](EventTimeout maxSeconds) { ProcessPendingEvents(maxSeconds); });
  return noErr;
}

void StopListening() {
  Listener& l = State();
  ForgetInherited(l);
  if (!l.path.empty()) unlink(l.path.c_str());
  l.socket.reset();
  l.connections.clear();
  l.path.clear();
  events::SetLoopSource(nullptr);
}

int ProcessPendingEvents(double timeoutSeconds) {
  Listener& l = State();
  ForgetInherited(l);
  if (l.dispatching) return 0;
  l.dispatching = true;
  Clock::time_point deadline =
      timeoutSeconds < 0 ? kNoDeadline
                         : Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                              std::chrono::duration<double>(timeoutSeconds));
  int handled = 0;
  // A connection or a partial message wakes the wait without an event to handle: wait on
  // until one is handled or the time is up.
  do {
    if (!l.socket && l.connections.empty() && !HasOwnEvents()) {
      // Nothing can arrive: wait out a bounded time, never an unbounded one.
      if (deadline != kNoDeadline) poll(nullptr, 0, PollTimeout(deadline));
      break;
    }
    handled = ServeOnce(l, PollTimeout(deadline));
  } while (handled == 0 && Clock::now() < deadline);
  l.dispatching = false;
  return handled;
}

}  // namespace tb::ae
