// Process Manager: the toolbox processes of this user, their front process and bundles.
//
// Every toolbox process enters itself in a per-user registry the first time it calls a
// Process Manager function (or when its host registers it at start), so each process sees
// the others. A process number is {0, pid}; pids 1 and 2, whose numbers kSystemProcess and
// kCurrentProcess take, are {1, pid}.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>

#include "toolbox/core/errors.h"
#include "toolbox/core/types.h"

struct FSSpec;
struct FSRef;

enum {
  kNoProcess = 0,
  kSystemProcess = 1,
  kCurrentProcess = 2,
};

// Process mode flags.
enum : UInt32 {
  modeReserved = 0x01000000,
  modeControlPanel = 0x00080000,
  modeLaunchDontSwitch = 0x00040000,
  modeDeskAccessory = 0x00020000,
  modeMultiLaunch = 0x00010000,
  modeNeedSuspendResume = 0x00004000,
  modeCanBackground = 0x00001000,
  modeDoesActivateOnFGSwitch = 0x00000800,
  modeOnlyBackground = 0x00000400,
  modeGetFrontClicks = 0x00000200,
  modeGetAppDiedMsg = 0x00000100,
  mode32BitCompatible = 0x00000080,
  modeHighLevelEventAware = 0x00000040,
  modeLocalAndRemoteHLEvents = 0x00000020,
  modeStationeryAware = 0x00000010,
  modeUseTextEditServices = 0x00000008,
  modeDisplayManagerAware = 0x00000004,
};

typedef struct ProcessInfoRec {
  UInt32 processInfoLength;  // set by the caller to sizeof(ProcessInfoRec)
  StringPtr processName;     // a Str31 buffer, or NULL for no name
  ProcessSerialNumber processNumber;
  UInt32 processType;
  OSType processSignature;
  UInt32 processMode;
  Ptr processLocation;  // always NULL: processes have no partition here
  UInt32 processSize;   // resident memory, bytes
  UInt32 processFreeMem;
  ProcessSerialNumber processLauncher;  // kNoProcess unless the parent is a toolbox process
  UInt32 processLaunchDate;             // ticks, on the TickCount clock
  UInt32 processActiveTime;             // CPU time, ticks
  FSSpec* processAppSpec;  // the bundle, when the File Manager can name it; may be NULL
} ProcessInfoRec;
typedef ProcessInfoRec* ProcessInfoRecPtr;

OSErr GetCurrentProcess(ProcessSerialNumber* PSN);
OSErr GetFrontProcess(ProcessSerialNumber* PSN);
OSErr SetFrontProcess(const ProcessSerialNumber* PSN);
// From kNoProcess: the first process; after the last, procNotFound and kNoProcess.
OSErr GetNextProcess(ProcessSerialNumber* PSN);
OSErr SameProcess(const ProcessSerialNumber* PSN1, const ProcessSerialNumber* PSN2,
                  Boolean* result);
OSErr GetProcessInformation(const ProcessSerialNumber* PSN, ProcessInfoRec* info);
OSStatus GetProcessPID(const ProcessSerialNumber* psn, pid_t* pid);
OSStatus GetProcessForPID(pid_t pid, ProcessSerialNumber* psn);
// The process's bundle; fnfErr when it has none. Needs the File Manager.
OSStatus GetProcessBundleLocation(const ProcessSerialNumber* psn, FSRef* location);

namespace tb::processes {

// Enters the calling process in the registry. Zero type or signature are read from the
// bundle's Info.plist (CFBundlePackageType, CFBundleSignature), else 'APPL' and '????'; an
// empty name becomes the bundle's name, else the program's name. Hosts call this at start;
// otherwise the first Process Manager call registers the process with the defaults.
OSErr RegisterCurrentProcess(OSType type, OSType signature, const std::string& name,
                             const std::filesystem::path& bundlePath, UInt32 mode);

// The registry directory, created 0700 when missing; permErr when it is not a directory of
// this user that only this user can write.
OSErr RuntimeDirectory(std::filesystem::path* dir);

// The bundle a process registered with, or nothing.
std::optional<std::filesystem::path> BundlePath(const ProcessSerialNumber& psn);

}  // namespace tb::processes
