// What the Finder service's pieces share: the callbacks, the journal, the items of a request.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "desktop/finder/finder.h"
#include "toolbox/appleevents/send_receive.h"
#include "toolbox/files/files.h"

namespace desktop::finder {

const Callbacks& CurrentCallbacks();
// Through the host's launcher, or the real one.
bool Launch(const LaunchRequest& request);
// Adds a line to the journal (and its file).
void Record(const std::string& line);

struct Item {
  FSSpec spec;
  std::string path;  // Linux path
};
// The items of a parameter: one typeFSS descriptor or a list of them. Items that do not exist
// are left out; the result is the first error met (noErr when every item was found).
OSErr ItemsOf(const AppleEvent* event, AEKeyword key, std::vector<Item>* items);
// The Linux path of an existing item.
std::optional<std::string> PathOf(const FSSpec& spec);
std::string FolderOf(const std::string& path);
std::string LeafOf(const std::string& path);
// The path with every byte but unreserved ones and '/' percent-encoded, as URIs carry it.
std::string EscapedPath(const std::string& path);

// Request handlers.
OSErr HandleOpen(const AppleEvent* event, AppleEvent* reply, SRefCon);

// The URL an internet-location file points to: a 'url ' resource 256 in a file of type
// 'ilht' or 'LINK', or the URL of a ".webloc" or ".url" file.
std::optional<std::string> InternetLocationURL(const Item& item);

// Moves the item (and its sidecar) into the user's trash, with its .trashinfo record;
// fLckdErr for a locked item.
OSErr MoveToTrash(const Item& item);
// Copies the item (folders whole) into `folder`, with its metadata; dupFNErr when the folder
// already holds an item of that name.
OSErr CopyInto(const std::string& path, const std::string& folder);

}  // namespace desktop::finder
