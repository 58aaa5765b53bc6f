// The Process Manager calls over the registry.
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "toolbox/core/text.h"
#include "toolbox/files/files.h"
#include "toolbox/processes/proc_stat.h"
#include "toolbox/processes/registry.h"

using namespace tb::processes;

namespace {

// The live entry of a process number; this process is always found, registry or not.
OSErr Lookup(const ProcessSerialNumber* psn, ProcessEntry* out) {
  if (!psn) return paramErr;
  auto pid = PidOfPsn(*psn);
  if (!pid) return paramErr;
  if (*pid == getpid()) {
    *out = CurrentEntry();
    return noErr;
  }
  std::vector<ProcessEntry> live;
  OSErr err = LiveEntries(&live);
  if (err != noErr) return err;
  for (const ProcessEntry& e : live) {
    if (e.pid == *pid) {
      *out = e;
      return noErr;
    }
  }
  return procNotFound;
}

// A process name as the Str31 the caller provides: Mac Roman, '?' for other characters.
void StoreName(const std::string& utf8, StringPtr out) {
  std::string roman;
  if (auto chars = tb::DecodeUtf8(utf8)) {
    for (char32_t c : *chars) {
      if (roman.size() == 31) break;
      roman.push_back(static_cast<char>(tb::MacRomanFromUnicode(c).value_or('?')));
    }
  }
  out[0] = static_cast<unsigned char>(roman.size());
  std::memcpy(out + 1, roman.data(), roman.size());
}

UInt32 Ticks(uint64_t clockTicks) {
  long perSecond = sysconf(_SC_CLK_TCK);
  if (perSecond <= 0) return 0;
  return static_cast<UInt32>(clockTicks * 60 / static_cast<uint64_t>(perSecond));
}

bool BundleRef(const std::string& bundle, FSRef* ref) {
  Boolean isDirectory = false;
  return FSPathMakeRef(reinterpret_cast<const UInt8*>(bundle.c_str()), ref, &isDirectory) == noErr;
}

}  // namespace

OSErr GetCurrentProcess(ProcessSerialNumber* PSN) {
  if (!PSN) return paramErr;
  EnsureRegistered();  // the answer does not depend on the registry being usable
  *PSN = PsnOfPid(getpid());
  return noErr;
}

OSErr GetFrontProcess(ProcessSerialNumber* PSN) {
  if (!PSN) return paramErr;
  EnsureRegistered();
  ProcessEntry front;
  OSErr err = FrontEntry(&front);
  if (err != noErr) return err;
  *PSN = PsnOfPid(front.pid);
  return noErr;
}

OSErr SetFrontProcess(const ProcessSerialNumber* PSN) {
  EnsureRegistered();
  ProcessEntry entry;
  OSErr err = Lookup(PSN, &entry);
  if (err != noErr) return err;
  if (entry.mode & modeOnlyBackground) return appIsDaemon;
  return MarkFront(entry);
}

OSErr GetNextProcess(ProcessSerialNumber* PSN) {
  if (!PSN) return paramErr;
  pid_t after = 0;
  if (PSN->highLongOfPSN != 0 || PSN->lowLongOfPSN != kNoProcess) {
    auto pid = PidOfPsn(*PSN);
    if (!pid) return paramErr;
    after = *pid;
  }
  EnsureRegistered();
  std::vector<ProcessEntry> live;
  OSErr err = LiveEntries(&live);
  if (err != noErr) return err;
  // By pid, so a walk goes on past a process that has exited since the previous call.
  auto next = std::find_if(live.begin(), live.end(),
                           [after](const ProcessEntry& e) { return e.pid > after; });
  if (next == live.end()) {
    *PSN = {0, kNoProcess};
    return procNotFound;
  }
  *PSN = PsnOfPid(next->pid);
  return noErr;
}

OSErr SameProcess(const ProcessSerialNumber* PSN1, const ProcessSerialNumber* PSN2,
                  Boolean* result) {
  if (!PSN1 || !PSN2 || !result) return paramErr;
  auto a = PidOfPsn(*PSN1);
  auto b = PidOfPsn(*PSN2);
  if (!a || !b) return paramErr;
  *result = *a == *b;
  return noErr;
}

OSErr GetProcessInformation(const ProcessSerialNumber* PSN, ProcessInfoRec* info) {
  if (!info || info->processInfoLength < sizeof(ProcessInfoRec)) return paramErr;
  ProcessEntry entry;
  OSErr err = Lookup(PSN, &entry);
  if (err != noErr) return err;
  if (info->processName) StoreName(entry.name, info->processName);
  info->processNumber = PsnOfPid(entry.pid);
  info->processType = entry.type;
  info->processSignature = entry.signature;
  info->processMode = entry.mode;
  info->processLocation = nullptr;
  info->processSize = static_cast<UInt32>(std::min<uint64_t>(ResidentBytes(entry.pid), UINT32_MAX));
  info->processFreeMem = 0;
  info->processLauncher = {0, kNoProcess};
  info->processLaunchDate = Ticks(entry.startTime);
  info->processActiveTime = 0;
  if (auto stat = ReadProcStat(entry.pid)) {
    info->processActiveTime = Ticks(stat->userTicks + stat->systemTicks);
    ProcessEntry parent;
    ProcessSerialNumber parentPsn = PsnOfPid(stat->ppid);
    if (stat->ppid > 0 && Lookup(&parentPsn, &parent) == noErr) info->processLauncher = parentPsn;
  }
  if (info->processAppSpec && !entry.bundlePath.empty()) {
    FSRef ref;
    if (BundleRef(entry.bundlePath, &ref)) {
      FSGetCatalogInfo(&ref, kFSCatInfoNone, nullptr, nullptr, info->processAppSpec, nullptr);
    }
  }
  return noErr;
}

OSStatus GetProcessPID(const ProcessSerialNumber* psn, pid_t* pid) {
  if (!pid) return paramErr;
  ProcessEntry entry;
  OSErr err = Lookup(psn, &entry);
  if (err != noErr) return err;
  *pid = entry.pid;
  return noErr;
}

OSStatus GetProcessForPID(pid_t pid, ProcessSerialNumber* psn) {
  if (!psn || pid <= 0) return paramErr;
  ProcessSerialNumber candidate = PsnOfPid(pid);
  ProcessEntry entry;
  OSErr err = Lookup(&candidate, &entry);
  if (err != noErr) return err;
  *psn = candidate;
  return noErr;
}

OSStatus GetProcessBundleLocation(const ProcessSerialNumber* psn, FSRef* location) {
  if (!location) return paramErr;
  ProcessEntry entry;
  OSErr err = Lookup(psn, &entry);
  if (err != noErr) return err;
  if (entry.bundlePath.empty()) return fnfErr;
  return BundleRef(entry.bundlePath, location) ? noErr : fnfErr;
}

namespace tb::processes {

std::optional<std::filesystem::path> BundlePath(const ProcessSerialNumber& psn) {
  ProcessEntry entry;
  if (Lookup(&psn, &entry) != noErr || entry.bundlePath.empty()) return std::nullopt;
  return std::filesystem::path(entry.bundlePath);
}

}  // namespace tb::processes
