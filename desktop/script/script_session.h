// The desktop's script mode: a user's actions read one per line, what the user would see
// written back as plain, stable lines.
//
//   keys none|cmd|shift|caps|option|control[+...]   the keys held from now on
//   click PATH [PATH...]     the contextual menu for those items, printed with item numbers
//   point I [J...]           points at item I of the menu, J of the submenu that opened, ...;
//                            prints the submenu reached
//   choose I [J...]          points along the path, chooses the last item, closes the menu,
//                            lets the Finder serve its Apple events and prints what it did
//   close                    closes the menu without a choice
//   print                    the open menu
//   journal                  everything the Finder carried out
//   ls PATH                  a folder's items, as the Finder lists them
//   # ...                    a comment
//
// Every command is echoed first as "> <line>". A line that fails prints "error: line N: ..."
// and the script goes on, or (strict) stops.
#pragma once

#include <istream>
#include <ostream>

#include "desktop/cmm/plugin_host.h"

namespace desktop::script {

struct Options {
  bool strict = false;  // stop at the first failing line
};

// Runs the script with the host's plug-ins (already loaded). Returns 0, or 1 when a line failed
// under `strict`.
int RunScript(std::istream& in, std::ostream& out, cmm::ContextualMenuHost& host,
              const Options& options);

}  // namespace desktop::script
