// The Finder service: carries out the Apple events other toolbox processes send the Finder
// (open, reveal, update, delete, copy) on real files, and keeps a journal of what it did.
//
// A host registers as the Finder (type 'FNDR', signature 'MACS'), sets the callbacks it has a
// use for, and calls InstallHandlers; events are then handled as its event loop runs.
// RunHeadless does all of this for a process with no screen.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "toolbox/core/errors.h"

namespace desktop::finder {

// Something to start: `program` with `arguments` (an application, given the documents), or,
// with no program, `uri` with the user's default application for it.
struct LaunchRequest {
  std::string program;
  std::vector<std::string> arguments;
  std::string uri;
};
// Starts what was asked, detached; false when it could not be started.
using Launcher = std::function<bool(const LaunchRequest&)>;

struct Callbacks {
  // A folder to show in the browser.
  std::function<void(const std::string& folder)> openFolder;
  // The browser shows `folder` with `item` selected.
  std::function<void(const std::string& folder, const std::string& item)> reveal;
  // The browser re-reads `folder`, which holds the changed `item`.
  std::function<void(const std::string& folder, const std::string& item)> update;
  // Replaces the real launcher (fork and exec, or GIO's default application).
  Launcher launcher;
};

// Missing callbacks do nothing but the journal entry; a missing launcher is the real one.
void SetCallbacks(Callbacks callbacks);

// Installs the handlers for 'aevt' 'odoc', 'misc' 'mvis', 'fndr' 'fupd', 'core' 'delo' and
// 'core' 'clon' (which also opens the process's Apple event socket).
OSErr InstallHandlers();
void RemoveHandlers();

// One line per request carried out, oldest first:
//   "open <path>"                  a folder opened in the browser, or a document (or the URL
//                                  of an internet-location file) opened with its default
//                                  application
//   "launch <app>" / "launch <app> <doc>"
//   "reveal <path>", "update <path>", "trash <path>", "copy <path> -> <folder>"
// Paths are Linux paths. Each line is also appended to the file VANTOREL_FINDER_JOURNAL names,
// when set.
std::vector<std::string> Journal();
void ClearJournal();

// Registers the process as the Finder, installs the handlers and serves Apple events for
// `seconds`, or (negative) until an 'aevt' 'quit' event or QuitApplicationEventLoop. Returns
// noErr, or why it could not start.
OSErr RunHeadless(double seconds);

}  // namespace desktop::finder
