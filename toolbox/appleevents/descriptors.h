// Apple Event Manager: descriptors, lists, records and Apple events (building, not sending).
//
// A descriptor owns its data: every put copies, every get hands back a copy, and each
// descriptor a call returns must be released with AEDisposeDesc.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "toolbox/core/desc_types.h"
#include "toolbox/core/errors.h"
#include "toolbox/core/types.h"

// The data behind a descriptor; opaque to callers. NULL for typeNull.
typedef struct OpaqueAEDataStorage* AEDataStorage;

typedef struct AEDesc {
  DescType descriptorType;
  AEDataStorage dataHandle;
} AEDesc;
typedef AEDesc* AEDescPtr;
typedef AEDesc AEDescList;
typedef AEDesc AERecord;
typedef AEDesc AEAddressDesc;
typedef AEDesc AppleEvent;
typedef AppleEvent* AppleEventPtr;

typedef FourCharCode AEEventClass;
typedef FourCharCode AEEventID;
typedef SInt16 AEReturnID;
typedef SInt32 AETransactionID;
typedef SInt32 AESendMode;
typedef SInt16 AESendPriority;

// The scalar types shared with Carbon event parameters are in desc_types.h.
enum : DescType {
  typeNull = 'null',
  typeUTF8Text = 'utf8',
  typeUnicodeText = 'utxt',  // UTF-16 in the host's byte order
  typeShortInteger = 'shor',
  typeIEEE32BitFloatingPoint = 'sing',
  typeTrue = 'true',
  typeFalse = 'fals',
  typeKeyword = 'keyw',
  typeEnumerated = 'enum',
  typeFSS = 'fss ',
  typeFSRef = 'fsrf',
  typeAlias = 'alis',
  typeFileURL = 'furl',
  typeAEList = 'list',
  typeAERecord = 'reco',
  typeAppleEvent = 'aevt',
  typeProcessSerialNumber = 'psn ',
  typeApplSignature = 'sign',
  typeKernelProcessID = 'kpid',
  typeApplicationBundleID = 'bund',
};

enum : AEKeyword {
  keyDirectObject = '----',
  keyAEName = 'pnam',
  keyAEUsing = 'usin',
  keyAEInsertHere = 'insh',
  keyErrorNumber = 'errn',
  keyErrorString = 'errs',
  keyContextualMenuCommandID = 'cmcd',
  keyContextualMenuSubmenu = 'cmsb',
  // Attributes of an Apple event.
  keyEventClassAttr = 'evcl',
  keyEventIDAttr = 'evid',
  keyAddressAttr = 'addr',
  keyReturnIDAttr = 'rtid',
  keyTransactionIDAttr = 'tran',
  keyTimeoutAttr = 'timo',
  keyEventSourceAttr = 'esrc',
};

// Event classes and IDs.
enum : FourCharCode {
  kCoreEventClass = 'aevt',
  kAEOpenApplication = 'oapp',
  kAEReopenApplication = 'rapp',
  kAEOpenDocuments = 'odoc',
  kAEPrintDocuments = 'pdoc',
  kAEQuitApplication = 'quit',
  kAEAnswer = 'ansr',
  kAECoreSuite = 'core',
  kAEDelete = 'delo',
  kAEClone = 'clon',
  kAEMiscStandards = 'misc',
  kAEMakeObjectsVisible = 'mvis',
  kAEFinderSuite = 'fndr',
  kAESync = 'fupd',  // the Finder's "update": re-read an item after a change
};

enum {
  kAutoGenerateReturnID = -1,
  kAnyTransactionID = 0,
};

// Send modes, priorities and timeouts (used when sending, which lives elsewhere).
enum : AESendMode {
  kAENoReply = 0x00000001,
  kAEQueueReply = 0x00000002,
  kAEWaitReply = 0x00000003,
  kAENeverInteract = 0x00000010,
  kAECanInteract = 0x00000020,
  kAEAlwaysInteract = 0x00000030,
  kAECanSwitchLayer = 0x00000040,
  kAEDontReconnect = 0x00000080,
  kAEWantReceipt = 0x00000200,
  kAEDontRecord = 0x00001000,
  kAEDontExecute = 0x00002000,
};
enum : AESendPriority { kAENormalPriority = 0, kAEHighPriority = 1 };
enum { kAEDefaultTimeout = -1, kNoTimeOut = -2 };

// Plain descriptors.
OSErr AECreateDesc(DescType typeCode, const void* dataPtr, Size dataSize, AEDesc* result);
// Safe on a typeNull descriptor; leaves the descriptor typeNull with a NULL handle.
OSErr AEDisposeDesc(AEDesc* theAEDesc);
OSErr AEDuplicateDesc(const AEDesc* theAEDesc, AEDesc* result);
Size AEGetDescDataSize(const AEDesc* theAEDesc);
// Copies at most maximumSize bytes. Lists, records and events give their flattened form.
OSErr AEGetDescData(const AEDesc* theAEDesc, void* dataPtr, Size maximumSize);
OSErr AEReplaceDescData(DescType typeCode, const void* dataPtr, Size dataSize, AEDesc* theAEDesc);
OSErr AECoerceDesc(const AEDesc* theAEDesc, DescType toType, AEDesc* result);
OSErr AECoercePtr(DescType typeCode, const void* dataPtr, Size dataSize, DescType toType,
                  AEDesc* result);

// Lists and records. Index 0 (or count + 1) appends; 1 to count replaces.
OSErr AECreateList(const void* factoringPtr, Size factoredSize, Boolean isRecord,
                   AEDescList* resultList);
OSErr AECountItems(const AEDescList* theAEDescList, long* theCount);
OSErr AEPutPtr(AEDescList* theAEDescList, long index, DescType typeCode, const void* dataPtr,
               Size dataSize);
OSErr AEPutDesc(AEDescList* theAEDescList, long index, const AEDesc* theAEDesc);
OSErr AEGetNthPtr(const AEDescList* theAEDescList, long index, DescType desiredType,
                  AEKeyword* theAEKeyword, DescType* typeCode, void* dataPtr, Size maximumSize,
                  Size* actualSize);
OSErr AEGetNthDesc(const AEDescList* theAEDescList, long index, DescType desiredType,
                   AEKeyword* theAEKeyword, AEDesc* result);
OSErr AESizeOfNthItem(const AEDescList* theAEDescList, long index, DescType* typeCode,
                      Size* dataSize);
OSErr AEDeleteItem(AEDescList* theAEDescList, long index);
Boolean AECheckIsRecord(const AEDesc* theDesc);

// Keyed items of records and Apple events.
OSErr AEPutParamPtr(AppleEvent* theAppleEvent, AEKeyword theAEKeyword, DescType typeCode,
                    const void* dataPtr, Size dataSize);
OSErr AEPutParamDesc(AppleEvent* theAppleEvent, AEKeyword theAEKeyword, const AEDesc* theAEDesc);
OSErr AEGetParamPtr(const AppleEvent* theAppleEvent, AEKeyword theAEKeyword, DescType desiredType,
                    DescType* typeCode, void* dataPtr, Size maximumSize, Size* actualSize);
OSErr AEGetParamDesc(const AppleEvent* theAppleEvent, AEKeyword theAEKeyword, DescType desiredType,
                     AEDesc* result);
OSErr AESizeOfParam(const AppleEvent* theAppleEvent, AEKeyword theAEKeyword, DescType* typeCode,
                    Size* dataSize);
OSErr AEDeleteParam(AppleEvent* theAppleEvent, AEKeyword theAEKeyword);

inline OSErr AEPutKeyPtr(AERecord* r, AEKeyword k, DescType t, const void* p, Size s) {
  return AEPutParamPtr(r, k, t, p, s);
}
inline OSErr AEPutKeyDesc(AERecord* r, AEKeyword k, const AEDesc* d) {
  return AEPutParamDesc(r, k, d);
}
inline OSErr AEGetKeyPtr(const AERecord* r, AEKeyword k, DescType want, DescType* t, void* p,
                         Size max, Size* actual) {
  return AEGetParamPtr(r, k, want, t, p, max, actual);
}
inline OSErr AEGetKeyDesc(const AERecord* r, AEKeyword k, DescType want, AEDesc* result) {
  return AEGetParamDesc(r, k, want, result);
}
inline OSErr AEDeleteKeyDesc(AERecord* r, AEKeyword k) {
  return AEDeleteParam(r, k);
}

// Apple events: class, ID, target, return and transaction IDs are attributes.
OSErr AECreateAppleEvent(AEEventClass theAEEventClass, AEEventID theAEEventID,
                         const AEAddressDesc* target, AEReturnID returnID,
                         AETransactionID transactionID, AppleEvent* result);
OSErr AEPutAttributePtr(AppleEvent* theAppleEvent, AEKeyword theAEKeyword, DescType typeCode,
                        const void* dataPtr, Size dataSize);
OSErr AEPutAttributeDesc(AppleEvent* theAppleEvent, AEKeyword theAEKeyword,
                         const AEDesc* theAEDesc);
OSErr AEGetAttributePtr(const AppleEvent* theAppleEvent, AEKeyword theAEKeyword,
                        DescType desiredType, DescType* typeCode, void* dataPtr, Size maximumSize,
                        Size* actualSize);
OSErr AEGetAttributeDesc(const AppleEvent* theAppleEvent, AEKeyword theAEKeyword,
                         DescType desiredType, AEDesc* result);

namespace tb::ae {

// A flat, self-contained byte form of a descriptor tree, for sending between processes.
std::vector<uint8_t> Serialize(const AEDesc& desc);
// Rebuilds a descriptor from Serialize's bytes; anything else gives errAECorruptData and
// leaves `out` typeNull.
OSErr Deserialize(std::span<const uint8_t> bytes, AEDesc* out);

// Deepest nesting of lists, records and events that Deserialize accepts.
constexpr int kMaxNesting = 32;

// A coercion between two plain types that another manager knows how to make (an alias to a
// FSSpec, for instance). Returns noErr and fills `out`, or errAECoercionFail.
using CoercionFn = OSErr (*)(DescType fromType, std::span<const uint8_t> data, DescType toType,
                             std::vector<uint8_t>* out);
// Adds (or, with nullptr, removes) the coercion from one type to another.
void InstallCoercion(DescType fromType, DescType toType, CoercionFn fn);

}  // namespace tb::ae
