// Catalog records read by name or by index, as the listings and item operations read them.
#pragma once

#include "toolbox/files/files.h"

// The record of `name` in folder `dirID`. `nameBuffer` holds the name for the call (the
// record points to it) and must live as long as `pb` is used.
OSErr GetCatalogRecord(SInt16 vRefNum, SInt32 dirID, ConstStr255Param name, Str255 nameBuffer,
                       CInfoPBRec* pb);
// The same for the item an FSSpec names; a damaged length byte reads zeros, never past it.
OSErr GetItemRecord(const FSSpec* item, Str255 nameBuffer, CInfoPBRec* pb);

// The folder's own directory ID and how many entries can be read by index; false when the
// folder cannot be read or is no folder.
Boolean ReadFolderInfo(const FSSpec* folder, SInt32* folderID, UInt32* entries);

// Entry `index` (from 1) of the folder: its catalog record, its name in `name`.
Boolean ReadFolderEntry(SInt16 vRefNum, SInt32 folderID, UInt32 index, StringPtr name,
                        CInfoPBRec* entry);
