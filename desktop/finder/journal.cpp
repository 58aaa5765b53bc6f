// The journal of carried-out requests: in memory, and appended to a file when one is named.
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include "desktop/finder/service.h"

namespace desktop::finder {
namespace {

std::vector<std::string>& Lines() {
  static std::vector<std::string> lines;
  return lines;
}

}  // namespace

void Record(const std::string& line) {
  Lines().push_back(line);
  const char* file = getenv("VANTOREL_FINDER_JOURNAL");
  if (!file || !*file) return;
  int fd = open(file, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0600);
  if (fd < 0) return;
  // One write per line, so lines of several writers never interleave.
  std::string text = line + "\n";
  (void)!write(fd, text.data(), text.size());
  close(fd);
}

std::vector<std::string> Journal() {
  return Lines();
}

void ClearJournal() {
  Lines().clear();
}

}  // namespace desktop::finder
