#include "toolbox/processes/proc_stat.h"

#include <unistd.h>

#include <charconv>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace tb::processes {
namespace {

template <typename T>
bool Number(std::string_view token, T* out) {
  auto [end, ec] = std::from_chars(token.data(), token.data() + token.size(), *out);
  return ec == std::errc() && end == token.data() + token.size();
}

std::string ReadSmallFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string text(1024, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  text.resize(static_cast<size_t>(in.gcount()));
  return text;
}

}  // namespace

std::optional<ProcStat> ParseProcStat(std::string_view text) {
  // The command name sits in parentheses and may itself hold spaces and parentheses.
  size_t close = text.rfind(')');
  if (close == std::string_view::npos) return std::nullopt;
  std::vector<std::string_view> fields;
  size_t pos = close + 1;
  while (pos < text.size() && fields.size() < 20) {
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\n')) ++pos;
    size_t end = pos;
    while (end < text.size() && text[end] != ' ' && text[end] != '\n') ++end;
    if (end > pos) fields.push_back(text.substr(pos, end - pos));
    pos = end;
  }
  // fields[0] is the state (the stat file's third field), fields[19] the start time (22nd).
  if (fields.size() < 20 || fields[0].size() != 1) return std::nullopt;
  ProcStat stat;
  stat.state = fields[0][0];
  if (!Number(fields[1], &stat.ppid) || !Number(fields[11], &stat.userTicks) ||
      !Number(fields[12], &stat.systemTicks) || !Number(fields[19], &stat.startTime)) {
    return std::nullopt;
  }
  return stat;
}

std::optional<ProcStat> ReadProcStat(pid_t pid) {
  if (pid <= 0) return std::nullopt;
  return ParseProcStat(ReadSmallFile("/proc/" + std::to_string(pid) + "/stat"));
}

bool IsAlive(pid_t pid, uint64_t startTime) {
  auto stat = ReadProcStat(pid);
  // A zombie has exited; only its parent has not collected it yet.
  return stat && stat->state != 'Z' && stat->state != 'X' && stat->startTime == startTime;
}

uint64_t ResidentBytes(pid_t pid) {
  std::istringstream in(ReadSmallFile("/proc/" + std::to_string(pid) + "/statm"));
  uint64_t size = 0, resident = 0;
  if (!(in >> size >> resident)) return 0;
  return resident * static_cast<uint64_t>(sysconf(_SC_PAGESIZE));
}

}  // namespace tb::processes
