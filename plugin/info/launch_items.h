// "Launch Items Setting" in the Preferences folder: a big-endian record count, then that many
// records of a length and an alias record (length 0: a separator). Only ever read here.
#pragma once

#include "toolbox/aliases/aliases.h"
#include "toolbox/files/files.h"

// The file, opened read-only, and its record count; fnfErr when there is no such file,
// eofErr when it is empty or too short for a count.
OSErr OpenLaunchItems(SInt16* file, SInt16* count);

// Reads the next record of the open file. noErr with *alias NULL for a separator, noErr with a
// new handle (the caller disposes of it) for an alias record; eofErr, and nothing read, when
// the rest of the file cannot be such a record (a negative length, or one past the end).
OSErr ReadLaunchItem(SInt16 file, AliasHandle* alias);
