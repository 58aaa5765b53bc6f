// File and Folder Manager: volumes, catalog items, Finder information, forks and folders.
//
// Two volumes are mounted: the system disk (a Linux directory, VANTOREL_SYSTEM_DISK) and the
// Linux root "/". Finder information and resource forks live in AppleDouble "._name" files
// beside each item. Structures keep the original platform's 68k (2-byte) packing so shared
// fields of the parameter blocks overlap as callers expect; values are in host byte order.
#pragma once

#include "toolbox/core/errors.h"
#include "toolbox/core/types.h"

#pragma pack(push, 2)

typedef SInt16 FSVolumeRefNum;
typedef SInt16 FSIORefNum;
typedef UInt32 FSCatalogInfoBitmap;

// Volumes and their fixed directory IDs.
enum {
  kVantorelSystemDiskVRefNum = -100,  // the system disk
  kVantorelRootVRefNum = -101,        // the Linux root "/"
  fsRtParID = 1,                      // the parent of every volume's root
  fsRtDirID = 2,                      // every volume's root folder
};

typedef struct FSSpec {
  SInt16 vRefNum;
  SInt32 parID;
  Str63 name;
} FSSpec;
typedef FSSpec* FSSpecPtr;

// Opaque; holds the volume and the item's 32-bit node ID.
typedef struct FSRef {
  UInt8 hidden[80];
} FSRef;
typedef FSRef* FSRefPtr;

typedef struct HFSUniStr255 {
  UInt16 length;
  UniChar unicode[255];
} HFSUniStr255;

// Finder information, 16 + 16 bytes (big-endian on disk, host order here).
typedef struct FInfo {
  OSType fdType;
  OSType fdCreator;
  UInt16 fdFlags;
  Point fdLocation;
  SInt16 fdFldr;
} FInfo;

typedef struct FXInfo {
  SInt16 fdIconID;
  SInt16 fdReserved[3];
  SInt8 fdScript;
  SInt8 fdXFlags;
  SInt16 fdComment;
  SInt32 fdPutAway;
} FXInfo;

typedef struct DInfo {
  Rect frRect;
  UInt16 frFlags;
  Point frLocation;
  SInt16 frView;
} DInfo;

typedef struct DXInfo {
  Point frScroll;
  SInt32 frOpenChain;
  SInt8 frScript;
  SInt8 frXFlags;
  SInt16 frComment;
  SInt32 frPutAway;
} DXInfo;

// Finder flags (fdFlags / frFlags).
enum {
  kIsOnDesk = 0x0001,
  kColor = 0x000E,
  kIsShared = 0x0040,
  kHasNoINITs = 0x0080,
  kHasBeenInited = 0x0100,
  kHasCustomIcon = 0x0400,
  kIsStationery = 0x0800,
  kNameLocked = 0x1000,
  kHasBundle = 0x2000,
  kIsInvisible = 0x4000,
  kIsAlias = 0x8000,
  kExtensionHidden = 0x0010,  // "extension hidden" as later systems use this bit
};

typedef struct UTCDateTime {
  UInt16 highSeconds;
  UInt32 lowSeconds;
  UInt16 fraction;
} UTCDateTime;

typedef struct FSCatalogInfo {
  UInt16 nodeFlags;
  FSVolumeRefNum volume;
  UInt32 parentDirID;
  UInt32 nodeID;
  UInt8 sharingFlags;
  UInt8 userPrivileges;
  UInt8 reserved1;
  UInt8 reserved2;
  UTCDateTime createDate;
  UTCDateTime contentModDate;
  UTCDateTime attributeModDate;
  UTCDateTime accessDate;
  UTCDateTime backupDate;
  UInt32 permissions[4];  // owner, group, mode, reserved
  UInt8 finderInfo[16];   // FInfo or DInfo
  UInt8 extFinderInfo[16];
  UInt64 dataLogicalSize;
  UInt64 dataPhysicalSize;
  UInt64 rsrcLogicalSize;
  UInt64 rsrcPhysicalSize;
  UInt32 valence;  // entries of a folder
  TextEncoding textEncodingHint;
} FSCatalogInfo;

enum {
  kFSCatInfoNone = 0x00000000,
  kFSCatInfoTextEncoding = 0x00000001,
  kFSCatInfoNodeFlags = 0x00000002,
  kFSCatInfoVolume = 0x00000004,
  kFSCatInfoParentDirID = 0x00000008,
  kFSCatInfoNodeID = 0x00000010,
  kFSCatInfoCreateDate = 0x00000020,
  kFSCatInfoContentMod = 0x00000040,
  kFSCatInfoAttrMod = 0x00000080,
  kFSCatInfoAccessDate = 0x00000100,
  kFSCatInfoBackupDate = 0x00000200,
  kFSCatInfoPermissions = 0x00000400,
  kFSCatInfoFinderInfo = 0x00000800,
  kFSCatInfoFinderXInfo = 0x00001000,
  kFSCatInfoValence = 0x00002000,
  kFSCatInfoDataSizes = 0x00004000,
  kFSCatInfoRsrcSizes = 0x00008000,
  kFSCatInfoSharingFlags = 0x00010000,
  kFSCatInfoUserPrivs = 0x00020000,
  kFSCatInfoGettableInfo = 0x0003FFFF,
  kFSCatInfoSettableInfo = 0x00001FE3,
};

enum {
  kFSNodeLockedMask = 0x0001,
  kFSNodeIsDirectoryMask = 0x0010,
};

// Attribute bits of ioFlAttrib.
enum {
  kioFlAttribLockedMask = 0x01,
  kioFlAttribDirMask = 0x10,
};

// Parameter blocks. Only the synchronous calls exist; the queue header is kept for layout.
#define VANTOREL_PB_HEADER \
  void* qLink;             \
  SInt16 qType;            \
  SInt16 ioTrap;           \
  Ptr ioCmdAddr;           \
  void* ioCompletion;      \
  OSErr ioResult;          \
  StringPtr ioNamePtr;     \
  SInt16 ioVRefNum;

typedef struct HFileInfo {
  VANTOREL_PB_HEADER
  SInt16 ioFRefNum;
  SInt8 ioFVersNum;
  SInt8 filler1;
  SInt16 ioFDirIndex;
  SInt8 ioFlAttrib;
  SInt8 ioACUser;
  FInfo ioFlFndrInfo;
  SInt32 ioDirID;
  UInt16 ioFlStBlk;
  SInt32 ioFlLgLen;
  SInt32 ioFlPyLen;
  UInt16 ioFlRStBlk;
  SInt32 ioFlRLgLen;
  SInt32 ioFlRPyLen;
  UInt32 ioFlCrDat;
  UInt32 ioFlMdDat;
  UInt32 ioFlBkDat;
  FXInfo ioFlXFndrInfo;
  SInt32 ioFlParID;
  SInt32 ioFlClpSiz;
} HFileInfo;

typedef struct DirInfo {
  VANTOREL_PB_HEADER
  SInt16 ioFRefNum;
  SInt8 ioFVersNum;
  SInt8 filler1;
  SInt16 ioFDirIndex;
  SInt8 ioFlAttrib;
  SInt8 ioACUser;
  DInfo ioDrUsrWds;
  SInt32 ioDrDirID;
  UInt16 ioDrNmFls;  // entries, capped at 65,535 (FSCatalogInfo.valence has the full count)
  SInt16 filler3[9];
  UInt32 ioDrCrDat;
  UInt32 ioDrMdDat;
  UInt32 ioDrBkDat;
  DXInfo ioDrFndrInfo;
  SInt32 ioDrParID;
} DirInfo;

typedef union CInfoPBRec {
  HFileInfo hFileInfo;
  DirInfo dirInfo;
} CInfoPBRec;
typedef CInfoPBRec* CInfoPBPtr;

typedef struct HFileParam {
  VANTOREL_PB_HEADER
  SInt16 ioFRefNum;
  SInt8 ioFVersNum;
  SInt8 filler1;
  SInt16 ioFDirIndex;
  SInt8 ioFlAttrib;
  SInt8 ioFlVersNum;
  FInfo ioFlFndrInfo;
  SInt32 ioDirID;
  UInt16 ioFlStBlk;
  SInt32 ioFlLgLen;
  SInt32 ioFlPyLen;
  UInt16 ioFlRStBlk;
  SInt32 ioFlRLgLen;
  SInt32 ioFlRPyLen;
  UInt32 ioFlCrDat;
  UInt32 ioFlMdDat;
} HFileParam;

typedef struct HVolumeParam {
  VANTOREL_PB_HEADER
  SInt32 filler2;
  SInt16 ioVolIndex;  // > 0: the n-th volume; 0: by ioVRefNum; < 0: by name, else ioVRefNum
  UInt32 ioVCrDate;
  UInt32 ioVLsMod;
  SInt16 ioVAtrb;
  UInt16 ioVNmFls;  // files in the root folder, capped at 65,535
  UInt16 ioVBitMap;
  UInt16 ioAllocPtr;
  UInt16 ioVNmAlBlks;
  UInt32 ioVAlBlkSiz;
  UInt32 ioVClpSiz;
  UInt16 ioAlBlSt;
  UInt32 ioVNxtCNID;
  UInt16 ioVFrBlk;
  UInt16 ioVSigWord;
  SInt16 ioVDrvInfo;
  SInt16 ioVDRefNum;
  SInt16 ioVFSID;
  UInt32 ioVBkUp;
  SInt16 ioVSeqNum;
  UInt32 ioVWrCnt;
  UInt32 ioVFilCnt;
  UInt32 ioVDirCnt;
  SInt32 ioVFndrInfo[8];
} HVolumeParam;

typedef union HParamBlockRec {
  HFileParam fileParam;
  HVolumeParam volumeParam;
} HParamBlockRec;
typedef HParamBlockRec* HParmBlkPtr;

#undef VANTOREL_PB_HEADER

#pragma pack(pop)

// Fork access permissions and positioning modes.
enum { fsCurPerm = 0, fsRdPerm = 1, fsWrPerm = 2, fsRdWrPerm = 3 };
enum { fsAtMark = 0, fsFromStart = 1, fsFromLEOF = 2, fsFromMark = 3 };

// Folder Manager.
enum {
  kOnSystemDisk = -32768,
  kSystemDomain = -32766,
  kLocalDomain = -32765,
  kUserDomain = -32763,
};
enum { kCreateFolder = true, kDontCreateFolder = false };
enum : OSType {
  kPreferencesFolderType = 'pref',
  kUsersFolderType = 'usrs',
  kApplicationsFolderType = 'apps',
  kCurrentUserFolderType = 'cusr',
  kContextualMenuItemsFolderType = 'cmnu',
  kDomainLibraryFolderType = 'dlib',
  kDesktopFolderType = 'desk',
};

OSErr FindFolder(SInt16 vRefNum, OSType folderType, Boolean createFolder, SInt16* foundVRefNum,
                 SInt32* foundDirID);
OSErr FSFindFolder(SInt16 vRefNum, OSType folderType, Boolean createFolder, FSRef* foundRef);

// FSSpec and FSRef records.
// fnfErr with a usable spec when only the leaf is missing; dirNFErr when a folder on the way is.
// Accepts partial paths (":Folder:file", "::" for the parent), full paths ("Volume:Folder"),
// shortened names ("prefix#1A2B.ext") and an empty name for the folder dirID itself.
OSErr FSMakeFSSpec(SInt16 vRefNum, SInt32 dirID, ConstStr255Param fileName, FSSpec* spec);
OSErr FSpMakeFSRef(const FSSpec* source, FSRef* newRef);
OSErr FSMakeFSRefUnicode(const FSRef* parentRef, UniCharCount nameLength, const UniChar* name,
                         TextEncoding textEncodingHint, FSRef* newRef);
OSErr FSCompareFSRefs(const FSRef* ref1, const FSRef* ref2);
OSStatus FSRefMakePath(const FSRef* ref, UInt8* path, UInt32 maxPathSize);
OSStatus FSPathMakeRef(const UInt8* path, FSRef* ref, Boolean* isDirectory);

// Catalog information.
OSErr FSGetCatalogInfo(const FSRef* ref, FSCatalogInfoBitmap whichInfo, FSCatalogInfo* catalogInfo,
                       HFSUniStr255* outName, FSSpec* fsSpec, FSRef* parentRef);
OSErr FSSetCatalogInfo(const FSRef* ref, FSCatalogInfoBitmap whichInfo,
                       const FSCatalogInfo* catalogInfo);
// ioFDirIndex 0: the item (ioVRefNum, ioDirID, ioNamePtr); -1: the folder ioDirID itself;
// n > 0: the n-th entry of folder ioDirID in the file system's order (fnfErr past the end).
// Names written to ioNamePtr are at most 63 bytes: pass a Str63 or a Str255.
OSErr PBGetCatInfoSync(CInfoPBPtr paramBlock);
OSErr PBSetCatInfoSync(CInfoPBPtr paramBlock);
OSErr PBHGetVInfoSync(HParmBlkPtr paramBlock);
// Folders give notAFileErr.
OSErr FSpGetFInfo(const FSSpec* spec, FInfo* fndrInfo);
OSErr FSpSetFInfo(const FSSpec* spec, const FInfo* fndrInfo);

// Creating, deleting, locking, renaming, moving.
OSErr FSpCreate(const FSSpec* spec, OSType creator, OSType fileType, ScriptCode scriptTag);
OSErr FSpDirCreate(const FSSpec* spec, ScriptCode scriptTag, SInt32* createdDirID);
OSErr DirCreate(SInt16 vRefNum, SInt32 parentDirID, ConstStr255Param directoryName,
                SInt32* createdDirID);
OSErr FSpDelete(const FSSpec* spec);
OSErr HDelete(SInt16 vRefNum, SInt32 dirID, ConstStr255Param fileName);
OSErr PBHDeleteSync(HParmBlkPtr paramBlock);
OSErr FSpSetFLock(const FSSpec* spec);
OSErr FSpRstFLock(const FSSpec* spec);
OSErr HRstFLock(SInt16 vRefNum, SInt32 dirID, ConstStr255Param fileName);
OSErr PBHRstFLockSync(HParmBlkPtr paramBlock);
OSErr FSRenameUnicode(const FSRef* ref, UniCharCount nameLength, const UniChar* name,
                      TextEncoding textEncodingHint, FSRef* newRef);
OSErr FSpRename(const FSSpec* spec, ConstStr255Param newName);
OSErr FSpCatMove(const FSSpec* source, const FSSpec* dest);

// Forks. Opening for writing: permErr on a locked file, opWrErr when this process already
// writes that fork; reading is shared. A file with an open fork cannot be deleted (fBsyErr).
OSErr FSpOpenDF(const FSSpec* spec, SInt8 permission, SInt16* refNum);
OSErr FSpOpenRF(const FSSpec* spec, SInt8 permission, SInt16* refNum);
OSErr FSOpenFork(const FSRef* ref, UniCharCount forkNameLength, const UniChar* forkName,
                 SInt8 permissions, FSIORefNum* forkRefNum);
OSErr FSGetDataForkName(HFSUniStr255* dataForkName);
OSErr FSGetResourceForkName(HFSUniStr255* resourceForkName);
OSErr FSDeleteFork(const FSRef* ref, UniCharCount forkNameLength, const UniChar* forkName);
OSErr FSRead(SInt16 refNum, long* count, void* buffer);
OSErr FSWrite(SInt16 refNum, long* count, const void* buffer);
OSErr GetEOF(SInt16 refNum, long* logEOF);
OSErr SetEOF(SInt16 refNum, long logEOF);
OSErr GetFPos(SInt16 refNum, long* filePos);
OSErr SetFPos(SInt16 refNum, short posMode, long posOff);
OSErr FSClose(SInt16 refNum);
