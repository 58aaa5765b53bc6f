// The messages Apple events travel in between processes: a 4-byte big-endian length, then the
// event's flat byte form.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "toolbox/appleevents/descriptors.h"

namespace tb::ae {

// Larger messages are refused by senders and receivers alike.
constexpr size_t kMaxMessageBytes = size_t{16} << 20;

// The whole message for an event; empty when the event is too large to send.
std::vector<uint8_t> EncodeMessage(const AppleEvent& event);

// Gathers the bytes read from one connection and hands out whole messages.
class MessageReader {
 public:
  enum class Status { kNeedMore, kMessage, kBad };

  void Append(std::span<const uint8_t> bytes);
  // kMessage moves the next whole message's body into `body`; kBad once a length prefix is
  // beyond kMaxMessageBytes (the connection can no longer be trusted to stay in step).
  Status Next(std::vector<uint8_t>* body);
  size_t buffered() const { return buffer_.size() - start_; }

 private:
  std::vector<uint8_t> buffer_;
  size_t start_ = 0;
  bool bad_ = false;
};

// A message body back to an Apple event; errAECorruptData for anything else (a well-formed
// descriptor of another type included).
OSErr DecodeEvent(std::span<const uint8_t> body, AppleEvent* out);

}  // namespace tb::ae
