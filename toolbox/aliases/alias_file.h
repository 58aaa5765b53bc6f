// Alias files: files with Finder flag kIsAlias whose resource fork holds the record as 'alis' 0.
#pragma once

#include <vector>

#include "toolbox/aliases/aliases.h"

namespace tb::aliases {

inline constexpr ResType kAliasResourceType = 'alis';
// Steps of alias files and links followed before a chain counts as a loop.
inline constexpr int kChainLimit = 10;

// Creates `aliasFile` (it must not exist) as an alias file to `target`: the record relative to
// the alias file as 'alis' 0, Finder flag kIsAlias, and the type and creator the Finder gives
// such files: a document's own, 'fdrp' for a folder, 'adrp' for an application (a ".app"
// package or an 'APPL' file), 'hdsk' for a volume, these three with creator 'MACS'.
OSErr MakeAliasFile(const FSSpec& target, const FSSpec& aliasFile);

// The type and creator MakeAliasFile gives an alias file to `target`.
OSErr AliasFileTypeFor(const FSSpec& target, OSType* type, OSType* creator);

// The bytes of 'alis' 0 in the file's resource fork: resNotFound when there is none,
// mapReadErr when the fork is no resource fork.
OSErr ReadAliasResource(const FSSpec& aliasFile, std::vector<uint8_t>* bytes);

}  // namespace tb::aliases
