// The changes the item-information window makes to the one item it shows. Each asks the Finder
// to update its display of the item where it changed something (but RemoveResourceFork, whose
// caller sends that request).
#pragma once

#include "toolbox/cf/base.h"
#include "toolbox/core/types.h"
#include "toolbox/files/files.h"

// Selectors of SetInfoItemCode.
enum { kInfoCodeType = 1, kInfoCodeCreator = 2 };
// The mask of ToggleInfoItemFlag that stands for the lock; any other mask is one Finder flag.
enum : UInt16 { kToggleLock = 1 };

// Renames the item; on success the item names it under its new name.
void RenameInfoItem(FSSpec* item, CFStringRef editedName);
// Sets the file type or creator from a text, padded with spaces or cut to four bytes.
OSErr SetInfoItemCode(const FSSpec* item, int selector, const char* text, SInt32 length);
// Locks or unlocks the item, or toggles one of its Finder flags.
OSErr ToggleInfoItemFlag(const FSSpec* item, UInt16 mask);
void ToggleExtensionHidden(const FSSpec* item);
// Deletes a file's resource fork and clears its custom-icon flag; folders are left alone.
OSErr RemoveResourceFork(const FSSpec* item);
// Deletes the item at once (not to the Trash); a folder with everything in it, unlocking
// locked items on the way.
OSErr DeleteInfoItem(const FSSpec* item);
