// What a record says of an item: gathered from the catalog when an alias is made or updated.
// Called with the File Manager's lock held.
#pragma once

#include "toolbox/aliases/alias_record.h"
#include "toolbox/files/catalog.h"

namespace tb::aliases {

enum class Detail { full, minimal };

// The record of `target`; `from` (may be null) adds the levels that make it relative.
OSErr DescribeItem(const files::Node& target, const files::Node* from, Detail detail,
                   AliasData* out);

// The item's path below its volume's root, starting with '/' ("/" for the root itself).
std::string PathInVolume(const files::Node& node);
// The Linux path a record's mount point and volume path name together.
std::string JoinVolumePath(const std::string& mountPoint, const std::string& inVolume);

// A catalog date as the record's high-resolution dates hold it: 1/65536 s since 1904.
uint64_t HiResDate(const UTCDateTime& date);

}  // namespace tb::aliases
