// Finding the item a record names, route by route. Called with the File Manager's lock held.
#pragma once

#include <optional>

#include "toolbox/aliases/alias_record.h"
#include "toolbox/files/catalog.h"

namespace tb::aliases {

struct Search {
  std::optional<files::Node> found;
  // When nothing was found: the folder that held the item, if it is still there.
  std::optional<files::Node> parent;
  OSErr error = noErr;  // fnfErr, or nsvErr when the volume is gone too
};

// Routes, in order: the file ID on the recorded volume (at the recorded path, in the recorded
// folder, then anywhere on the volume), the path relative to `from`, the recorded folder and
// name, the POSIX path, the toolbox path. The first item of the recorded kind wins; an item
// met by ID must also have the recorded creation date (IDs come from inodes, which are reused).
Search FindTarget(const AliasData& record, const files::Node* from);

}  // namespace tb::aliases
