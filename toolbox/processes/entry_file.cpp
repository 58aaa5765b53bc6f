// Entry file layout, big-endian:
//   'VPRC' (4), version 1 (2), reserved 0 (2), pid (4), start time (8), type (4),
//   signature (4), mode (4), name length (2) + UTF-8 name, path length (2) + path.
#include "toolbox/processes/entry_file.h"

#include <charconv>
#include <string_view>

#include "toolbox/core/text.h"

namespace tb::processes {
namespace {

constexpr uint32_t kMagic = 'VPRC';
constexpr uint16_t kVersion = 1;

void PutN(std::vector<uint8_t>& out, uint64_t v, int bytes) {
  for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

class Reader {
 public:
  explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  bool Get(int n, uint64_t* v) {
    if (bytes_.size() - pos_ < static_cast<size_t>(n)) return false;
    *v = 0;
    for (int i = 0; i < n; ++i) *v = (*v << 8) | bytes_[pos_++];
    return true;
  }
  bool GetString(size_t limit, std::string* out) {
    uint64_t length;
    if (!Get(2, &length) || length > limit || length > bytes_.size() - pos_) return false;
    out->assign(reinterpret_cast<const char*>(bytes_.data() + pos_), length);
    pos_ += length;
    return true;
  }

 private:
  std::span<const uint8_t> bytes_;
  size_t pos_ = 0;
};

bool ValidPath(const std::string& path) {
  return path.empty() || (path[0] == '/' && path.find('\0') == std::string::npos);
}

}  // namespace

std::vector<uint8_t> EncodeEntry(const ProcessEntry& e) {
  std::vector<uint8_t> out;
  PutN(out, kMagic, 4);
  PutN(out, kVersion, 2);
  PutN(out, 0, 2);
  PutN(out, static_cast<uint32_t>(e.pid), 4);
  PutN(out, e.startTime, 8);
  PutN(out, e.type, 4);
  PutN(out, e.signature, 4);
  PutN(out, e.mode, 4);
  PutN(out, e.name.size(), 2);
  out.insert(out.end(), e.name.begin(), e.name.end());
  PutN(out, e.bundlePath.size(), 2);
  out.insert(out.end(), e.bundlePath.begin(), e.bundlePath.end());
  return out;
}

std::optional<ProcessEntry> ParseEntry(std::span<const uint8_t> bytes) {
  if (bytes.size() > kMaxEntryBytes) return std::nullopt;
  Reader r(bytes);
  uint64_t magic, version, reserved, pid, start, type, signature, mode;
  if (!r.Get(4, &magic) || magic != kMagic) return std::nullopt;
  if (!r.Get(2, &version) || version != kVersion) return std::nullopt;
  if (!r.Get(2, &reserved) || !r.Get(4, &pid) || !r.Get(8, &start) || !r.Get(4, &type) ||
      !r.Get(4, &signature) || !r.Get(4, &mode)) {
    return std::nullopt;
  }
  if (pid == 0 || pid > 0x7FFFFFFF) return std::nullopt;
  ProcessEntry e;
  e.pid = static_cast<pid_t>(pid);
  e.startTime = start;
  e.type = static_cast<OSType>(type);
  e.signature = static_cast<OSType>(signature);
  e.mode = static_cast<UInt32>(mode);
  if (!r.GetString(kMaxNameBytes, &e.name) || !DecodeUtf8(e.name)) return std::nullopt;
  if (!r.GetString(kMaxPathBytes, &e.bundlePath) || !ValidPath(e.bundlePath)) return std::nullopt;
  return e;
}

std::string EntryFileName(pid_t pid) {
  return std::to_string(pid) + ".process";
}

std::optional<pid_t> PidOfEntryFileName(std::string_view name) {
  constexpr std::string_view kSuffix = ".process";
  if (name.size() <= kSuffix.size() || !name.ends_with(kSuffix)) return std::nullopt;
  std::string_view digits = name.substr(0, name.size() - kSuffix.size());
  if (digits.size() > 10 || digits[0] == '0') return std::nullopt;
  long value = 0;
  auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
  if (ec != std::errc() || end != digits.data() + digits.size() || value <= 0 ||
      value > 0x7FFFFFFF) {
    return std::nullopt;
  }
  return static_cast<pid_t>(value);
}

}  // namespace tb::processes
