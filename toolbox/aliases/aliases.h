// Alias Manager: records that find a file or folder again after it was renamed or moved, and
// alias files (Finder flag kIsAlias with an 'alis' resource 0) resolved like symbolic links.
//
// An AliasHandle holds the version-2 record exactly as it is stored: big-endian, a 150-byte
// fixed part and tagged data. Read its header with GetAliasUserType and GetAliasSize rather
// than through the AliasRecord fields, which are big-endian bytes.
#pragma once

#include "toolbox/core/errors.h"
#include "toolbox/core/types.h"
#include "toolbox/files/files.h"

#pragma pack(push, 2)
typedef struct AliasRecord {
  OSType userType;           // big-endian in the record
  unsigned short aliasSize;  // big-endian: the whole record, tags and end mark included
} AliasRecord;
#pragma pack(pop)
typedef AliasRecord* AliasPtr;
typedef AliasPtr* AliasHandle;

// GetAliasInfo indexes; 1 and up name the folders above the target, innermost first.
typedef SInt16 AliasInfoType;
enum {
  asiZoneName = -3,
  asiServerName = -2,
  asiVolumeName = -1,
  asiAliasName = 0,
  asiParentName = 1,
};

// Mount flags. No call ever shows user interface, so kResolveAliasFileNoUI changes nothing;
// the file ID is always tried first.
enum {
  kResolveAliasFileNoUI = 0x00000001,
  kResolveAliasTryFileIDFirst = 0x00000002,
};

// Creating. fromFile (may be NULL) makes the record relative to that file as well.
OSErr NewAlias(const FSSpec* fromFile, const FSSpec* target, AliasHandle* alias);
OSErr NewAliasMinimal(const FSSpec* target, AliasHandle* alias);
OSErr FSNewAlias(const FSRef* fromFile, const FSRef* target, AliasHandle* alias);
OSErr FSNewAliasMinimal(const FSRef* target, AliasHandle* alias);

// Resolving a record. When the item was found by another route than the one recorded, or its
// name or folder changed, the record in the handle is rewritten (the handle may grow) and
// *wasChanged is true. fnfErr when the item is gone (the FSSpec forms then still give the
// spec it had, when its folder exists), nsvErr when its volume is.
OSErr ResolveAlias(const FSSpec* fromFile, AliasHandle alias, FSSpec* target, Boolean* wasChanged);
OSErr ResolveAliasWithMountFlags(const FSSpec* fromFile, AliasHandle alias, FSSpec* target,
                                 Boolean* wasChanged, unsigned long mountFlags);
OSErr FSResolveAlias(const FSRef* fromFile, AliasHandle alias, FSRef* target, Boolean* wasChanged);
OSErr FSResolveAliasWithMountFlags(const FSRef* fromFile, AliasHandle alias, FSRef* target,
                                   Boolean* wasChanged, unsigned long mountFlags);

// Resolving alias files and symbolic links in place. An item that is neither is left as it is
// (wasAliased false). With resolveAliasChains, resolution goes on while the target is itself
// an alias file or link, for at most 10 steps; a longer chain (a loop) gives fnfErr. On any
// error *theSpec is left alone, *targetIsFolder is false and *wasAliased tells whether the
// item itself is an alias file or link. A damaged 'alis' resource gives the record's paramErr,
// a missing one resNotFound, an alias file without a resource fork mapReadErr.
OSErr ResolveAliasFile(FSSpec* theSpec, Boolean resolveAliasChains, Boolean* targetIsFolder,
                       Boolean* wasAliased);
OSErr ResolveAliasFileWithMountFlags(FSSpec* theSpec, Boolean resolveAliasChains,
                                     Boolean* targetIsFolder, Boolean* wasAliased,
                                     unsigned long mountFlags);
OSErr ResolveAliasFileWithMountFlagsNoUI(FSSpec* theSpec, Boolean resolveAliasChains,
                                         Boolean* targetIsFolder, Boolean* wasAliased,
                                         unsigned long mountFlags);
OSErr FSResolveAliasFile(FSRef* theRef, Boolean resolveAliasChains, Boolean* targetIsFolder,
                         Boolean* wasAliased);
OSErr FSResolveAliasFileWithMountFlags(FSRef* theRef, Boolean resolveAliasChains,
                                       Boolean* targetIsFolder, Boolean* wasAliased,
                                       unsigned long mountFlags);

// Rewrites the record for target (relative to fromFile when given); *wasChanged tells whether
// its bytes differ from before.
OSErr UpdateAlias(const FSSpec* fromFile, const FSSpec* target, AliasHandle alias,
                  Boolean* wasChanged);

// Names kept in the record: the target's, its volume's, its folders'. An index past the
// outermost folder, the server and the zone give the empty string.
OSErr GetAliasInfo(AliasHandle alias, AliasInfoType index, Str63 theString);

// The header of a record; 0 for a handle that holds no record.
OSType GetAliasUserType(AliasHandle alias);
void SetAliasUserType(AliasHandle alias, OSType userType);
Size GetAliasSize(AliasHandle alias);
