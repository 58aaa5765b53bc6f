// Reading a folder's entries by index through the catalog, as both listings do.
#pragma once

#include "toolbox/files/files.h"

// The folder's own directory ID and how many entries can be read by index; false when the
// folder cannot be read or is no folder.
Boolean ReadFolderInfo(const FSSpec* folder, SInt32* folderID, UInt32* entries);

// Entry `index` (from 1) of the folder: its catalog record, its name in `name`.
Boolean ReadFolderEntry(SInt16 vRefNum, SInt32 folderID, UInt32 index, StringPtr name,
                        CInfoPBRec* entry);
