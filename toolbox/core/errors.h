// Result codes. Values are those of the original platform, so stored and exchanged codes agree.
#pragma once

#include "toolbox/core/types.h"

enum {
  noErr = 0,
  // File Manager
  dirFulErr = -33,
  dskFulErr = -34,
  nsvErr = -35,
  ioErr = -36,
  bdNamErr = -37,
  fnOpnErr = -38,
  eofErr = -39,
  posErr = -40,
  tmfoErr = -42,
  fnfErr = -43,
  wPrErr = -44,
  fLckdErr = -45,
  vLckdErr = -46,
  fBsyErr = -47,
  dupFNErr = -48,
  opWrErr = -49,
  paramErr = -50,
  rfNumErr = -51,
  permErr = -54,
  wrPermErr = -61,
  dirNFErr = -120,
  badMovErr = -122,
  notAFileErr = -1302,
  diffVolErr = -1303,
  errFSBadFSRef = -1401,
  errFSBadForkName = -1402,
  errFSBadBuffer = -1403,
  errFSBadForkRef = -1404,
  errFSBadInfoBitmap = -1405,
  errFSNotAFolder = -1407,
  errFSForkNotFound = -1409,
  errFSNameTooLong = -1410,
  errFSNoMoreItems = -1417,
  errFSRefsDifferent = -1420,
  pathTooLongErr = -2095,
  // Memory Manager
  memFullErr = -108,
  nilHandleErr = -109,
  memWZErr = -111,
  userCanceledErr = -128,
  // Resource Manager
  resNotFound = -192,
  resFNotFound = -193,
  addResFailed = -194,
  rmvResFailed = -196,
  resAttrErr = -198,
  mapReadErr = -199,
  // Process Manager
  procNotFound = -600,
  // Apple Event Manager
  errAECoercionFail = -1700,
  errAEDescNotFound = -1701,
  errAECorruptData = -1702,
  errAEWrongDataType = -1703,
  errAENotAEDesc = -1704,
  errAEBadListItem = -1705,
  errAEEventNotHandled = -1708,
  errAEUnknownSendMode = -1710,
  errAEUnknownAddressType = -1716,
  errAENotARecord = -1723,
  // Icon Services
  invalidIconRefErr = -2580,
  noSuchIconErr = -2582,
  noIconDataAvailableErr = -2583,
  // Menu Manager
  menuPropertyInvalidErr = -5603,
  menuPropertyNotFoundErr = -5604,
  menuNotFoundErr = -5606,
  menuItemNotFoundErr = -5620,
  // Carbon Event Manager
  eventInternalErr = -9868,
  eventKindIncorrectErr = -9869,
  eventParameterNotFoundErr = -9870,
  eventNotHandledErr = -9874,
  // Launch Services
  kLSUnknownErr = -10810,
  kLSApplicationNotFoundErr = -10814,
  // Core Foundation plug-ins
  coreFoundationUnknownErr = -4960,
};
