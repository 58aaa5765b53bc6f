// Open forks: the reference numbers FSRead/FSWrite use, and the busy state of files.
//
// While any fork of a file is open, the process holds an OFD read lock on its data file; other
// toolbox processes see it and refuse to delete the file (fBsyErr).
#pragma once

#include <sys/types.h>

#include <string>

#include "toolbox/files/catalog.h"
#include "toolbox/files/posix.h"

namespace tb::files {

enum class ForkKind { data, resource };

struct OpenFork {
  SInt16 refNum = 0;
  ForkKind kind = ForkKind::data;
  std::string path;  // the item's path (its sidecar holds a resource fork)
  dev_t dev = 0;
  ino_t ino = 0;
  bool canWrite = false;
  Fd fd;      // the data fork, opened for reading (and writing)
  Fd lockFd;  // a resource fork's hold on its data file
  int64_t mark = 0;
};

OSErr OpenForkOf(const Node& node, ForkKind kind, SInt8 permission, SInt16* refNum);
OpenFork* ForkByRefNum(SInt16 refNum);
OSErr CloseFork(SInt16 refNum);

// Open in this process, or held open by another toolbox process.
bool IsBusy(const Node& node);
bool IsForkOpen(const Node& node, ForkKind kind);
// Open forks follow their item when the toolbox renames or moves it.
void NoteForkPathChange(const std::string& from, const std::string& to);

// Fork contents.
Result<int64_t> ForkLength(OpenFork& fork);
// Reads up to `count` bytes at the mark; fewer at the end of the fork.
Result<size_t> ReadFork(OpenFork& fork, void* buffer, size_t count);
OSErr WriteFork(OpenFork& fork, const void* buffer, size_t count);
OSErr SetForkLength(OpenFork& fork, int64_t length);
OSErr ReplaceFork(OpenFork& fork, const void* bytes, size_t size);

}  // namespace tb::files
