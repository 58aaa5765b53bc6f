// The registry of running toolbox processes: one entry file per process in the runtime
// directory, plus a marker naming the front process.
#pragma once

#include <optional>
#include <vector>

#include "toolbox/processes/entry_file.h"
#include "toolbox/processes/processes.h"

namespace tb::processes {

// Registers this process with the defaults unless it already is registered.
OSErr EnsureRegistered();
// This process's entry as registered (or as it would be), whether or not the file exists.
ProcessEntry CurrentEntry();

// The live registered processes, ordered by pid; entries of exited processes (and of pids
// now used by another process) are removed on the way.
OSErr LiveEntries(std::vector<ProcessEntry>* out);

// The front process: the one the marker names while it lives, else the most recently started
// live process that is not background-only.
OSErr FrontEntry(ProcessEntry* out);
OSErr MarkFront(const ProcessEntry& entry);

// Process numbers: {0, pid}; pids 1 and 2, which the constants take, are {1, pid}.
ProcessSerialNumber PsnOfPid(pid_t pid);
// The pid a process number stands for (kCurrentProcess is this process), or nothing.
std::optional<pid_t> PidOfPsn(const ProcessSerialNumber& psn);

}  // namespace tb::processes
