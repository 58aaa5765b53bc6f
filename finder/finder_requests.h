// Requests to the Finder, sent as Apple events without waiting for a reply. Built into the
// plug-in and the installer alike.
#pragma once

#include "toolbox/appleevents/descriptors.h"
#include "toolbox/appleevents/send_receive.h"
#include "toolbox/files/files.h"

enum : OSType { kFinderType = 'FNDR', kFinderSignature = 'MACS' };

// The Finder's process number; false when no running process is the Finder.
Boolean FindFinderProcess(ProcessSerialNumber* finder);

// The Finder opens the item (and comes to the front).
void OpenWithFinder(const FSSpec* item);
// An event of the given class and ID about the item, addressed to the Finder by signature:
// open ('aevt' 'odoc'), reveal ('misc' 'mvis') or update ('fndr' 'fupd').
void SendFinderEvent(AEEventClass eventClass, AEEventID eventID, const FSSpec* item);
// Opens the item with an application: through that application's process when one is given
// (it comes to the front), else through the Finder; with no item, the application itself (a
// folder to open) is opened.
void OpenItemUsing(const FSSpec* application, const FSSpec* item,
                   const ProcessSerialNumber* process);
// The Finder deletes the items of a typeAEList of typeFSS.
void DeleteWithFinder(const AEDescList* items);
// The Finder copies the items of a typeAEList of typeFSS into the destination folder.
void CopyWithFinder(const AEDescList* items, const FSSpec* destination);
