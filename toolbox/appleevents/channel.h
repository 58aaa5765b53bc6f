// The socket side of sending: where a process listens, connecting to it, and moving whole
// messages with a deadline.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "toolbox/core/errors.h"
#include "toolbox/files/posix.h"

namespace tb::ae {

using Clock = std::chrono::steady_clock;
constexpr Clock::time_point kNoDeadline = Clock::time_point::max();

// "<runtime dir>/<pid>.sock", or nothing when there is no usable runtime directory or the path
// is too long for a socket address.
std::optional<std::string> SocketPath(pid_t pid);

// Connects to the process's socket without blocking on a missing or dead listener:
// procNotFound when nobody listens there.
OSErr ConnectTo(pid_t pid, Clock::time_point deadline, files::Fd* out);

// Writes every byte (no SIGPIPE); errAETimeout past the deadline, connectionInvalid when the
// peer went away.
OSErr WriteAll(int fd, std::span<const uint8_t> bytes, Clock::time_point deadline);

// Reads one whole message body; errAETimeout past the deadline, connectionInvalid when the
// peer closed first, errAECorruptData for an oversized length.
OSErr ReadMessage(int fd, Clock::time_point deadline, std::vector<uint8_t>* body);

// Milliseconds left until the deadline for poll(): -1 without one.
int PollTimeout(Clock::time_point deadline);

}  // namespace tb::ae
