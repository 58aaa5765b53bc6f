#include "toolbox/appleevents/frames.h"

#include <algorithm>

namespace tb::ae {

std::vector<uint8_t> EncodeMessage(const AppleEvent& event) {
  std::vector<uint8_t> body = Serialize(event);
  if (body.size() > kMaxMessageBytes) return {};
  std::vector<uint8_t> message;
  message.reserve(4 + body.size());
  uint32_t n = static_cast<uint32_t>(body.size());
  for (int shift = 24; shift >= 0; shift -= 8) message.push_back(static_cast<uint8_t>(n >> shift));
  message.insert(message.end(), body.begin(), body.end());
  return message;
}

void MessageReader::Append(std::span<const uint8_t> bytes) {
  if (bad_) return;
  // Drop what was handed out before growing, so the buffer stays one message long at most.
  if (start_ > 0 && (start_ == buffer_.size() || start_ >= buffer_.size() / 2)) {
    buffer_.erase(buffer_.begin(), buffer_.begin() + static_cast<std::ptrdiff_t>(start_));
    start_ = 0;
  }
  buffer_.insert(buffer_.end(), bytes.begin(), bytes.end());
}

MessageReader::Status MessageReader::Next(std::vector<uint8_t>* body) {
  if (bad_) return Status::kBad;
  if (buffered() < 4) return Status::kNeedMore;
  const uint8_t* p = buffer_.data() + start_;
  size_t length = (size_t{p[0]} << 24) | (size_t{p[1]} << 16) | (size_t{p[2]} << 8) | p[3];
  if (length > kMaxMessageBytes) {
    bad_ = true;
    buffer_.clear();
    start_ = 0;
    return Status::kBad;
  }
  if (buffered() - 4 < length) return Status::kNeedMore;
  body->assign(p + 4, p + 4 + length);
  start_ += 4 + length;
  return Status::kMessage;
}

OSErr DecodeEvent(std::span<const uint8_t> body, AppleEvent* out) {
  OSErr err = Deserialize(body, out);
  if (err != noErr) return err;
  if (out->descriptorType != typeAppleEvent) {
    AEDisposeDesc(out);
    return errAECorruptData;
  }
  return noErr;
}

}  // namespace tb::ae
