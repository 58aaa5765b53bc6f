#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <set>

#include "tests/support/child_process.h"
#include "tests/support/temp_system_disk.h"
#include "toolbox/core/fourcc.h"
#include "toolbox/core/pascal.h"
#include "toolbox/files/files.h"
#include "toolbox/processes/entry_file.h"
#include "toolbox/processes/proc_stat.h"
#include "toolbox/processes/processes.h"

namespace {

namespace fs = std::filesystem;
using tb::test::ChildProcess;

class ProcessRegistry : public tb::test::TempSystemDisk {
 protected:
  void SetUp() override {
    TempSystemDisk::SetUp();
    chmod(runtime().c_str(), 0700);  // whatever the umask made of it
  }

  static std::set<pid_t> Walk() {
    std::set<pid_t> pids;
    ProcessSerialNumber psn{0, kNoProcess};
    OSErr err;
    while ((err = GetNextProcess(&psn)) == noErr) {
      EXPECT_EQ(psn.highLongOfPSN, 0u);
      pids.insert(static_cast<pid_t>(psn.lowLongOfPSN));
      if (pids.size() > 100) break;
    }
    EXPECT_EQ(err, procNotFound);
    EXPECT_EQ(psn.lowLongOfPSN, static_cast<UInt32>(kNoProcess));
    return pids;
  }

  static ProcessInfoRec Info(pid_t pid, StringPtr name = nullptr) {
    ProcessInfoRec info{};
    info.processInfoLength = sizeof info;
    info.processName = name;
    ProcessSerialNumber psn{0, static_cast<UInt32>(pid)};
    EXPECT_EQ(GetProcessInformation(&psn, &info), noErr) << pid;
    return info;
  }

  static int RegisterAs(OSType signature, UInt32 mode = 0) {
    return tb::processes::RegisterCurrentProcess('APPL', signature, "child", {}, mode);
  }
};

TEST_F(ProcessRegistry, ListsItselfAndAnotherProcessWithItsSignature) {
  ProcessSerialNumber self;
  ASSERT_EQ(GetCurrentProcess(&self), noErr);
  EXPECT_EQ(self.highLongOfPSN, 0u);
  EXPECT_EQ(self.lowLongOfPSN, static_cast<UInt32>(getpid()));
  struct stat st;
  ASSERT_EQ(stat((runtime() / (std::to_string(getpid()) + ".process")).c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);

  ChildProcess child;
  ASSERT_EQ(child.Start([] { return RegisterAs('XCEL'); }), noErr);
  EXPECT_EQ(Walk(), (std::set<pid_t>{getpid(), child.pid()}));

  Str31 name;
  ProcessInfoRec mine = Info(getpid(), name);
  EXPECT_EQ(mine.processType, 'APPL');
  EXPECT_EQ(mine.processSignature, tb::FourCC("????"));
  EXPECT_EQ(tb::PascalView(name), "test_toolbox_processes");
  ProcessInfoRec other = Info(child.pid());
  EXPECT_EQ(other.processSignature, 'XCEL');
  EXPECT_EQ(other.processNumber.lowLongOfPSN, static_cast<UInt32>(child.pid()));
  EXPECT_EQ(other.processLauncher.lowLongOfPSN, static_cast<UInt32>(getpid()));

  ProcessSerialNumber found;
  ASSERT_EQ(GetProcessForPID(child.pid(), &found), noErr);
  pid_t pid = 0;
  ASSERT_EQ(GetProcessPID(&found, &pid), noErr);
  EXPECT_EQ(pid, child.pid());
  Boolean same = false;
  ProcessSerialNumber current{0, kCurrentProcess};
  ASSERT_EQ(SameProcess(&current, &self, &same), noErr);
  EXPECT_TRUE(same);
  ASSERT_EQ(SameProcess(&current, &found, &same), noErr);
  EXPECT_FALSE(same);
}

TEST_F(ProcessRegistry, FrontProcessIsSharedBetweenProcesses) {
  ProcessSerialNumber self, front;
  ASSERT_EQ(GetCurrentProcess(&self), noErr);
  ChildProcess child;
  // The child brings itself to the front; the parent sees it there.
  ASSERT_EQ(child.Start([] {
    RegisterAs('XCEL');
    ProcessSerialNumber current{0, kCurrentProcess};
    return SetFrontProcess(&current);
  }),
            noErr);
  ASSERT_EQ(GetFrontProcess(&front), noErr);
  EXPECT_EQ(front.lowLongOfPSN, static_cast<UInt32>(child.pid()));

  ASSERT_EQ(SetFrontProcess(&self), noErr);
  ASSERT_EQ(GetFrontProcess(&front), noErr);
  EXPECT_EQ(front.lowLongOfPSN, self.lowLongOfPSN);

  // A front process that exits leaves the most recently started live one in front.
  ProcessSerialNumber childPsn{0, static_cast<UInt32>(child.pid())};
  ASSERT_EQ(SetFrontProcess(&childPsn), noErr);
  child.Stop();
  ASSERT_EQ(GetFrontProcess(&front), noErr);
  EXPECT_EQ(front.lowLongOfPSN, self.lowLongOfPSN);

  ChildProcess daemon;
  ASSERT_EQ(daemon.Start([] { return RegisterAs('dmn ', modeOnlyBackground); }), noErr);
  ProcessSerialNumber daemonPsn{0, static_cast<UInt32>(daemon.pid())};
  EXPECT_EQ(SetFrontProcess(&daemonPsn), appIsDaemon);
  ASSERT_EQ(GetFrontProcess(&front), noErr);
  EXPECT_EQ(front.lowLongOfPSN, self.lowLongOfPSN);  // never a background-only process
}

TEST_F(ProcessRegistry, EntriesOfExitedProcessesArePruned) {
  ChildProcess child;
  ASSERT_EQ(child.Start([] { return RegisterAs('XCEL'); }), noErr);
  pid_t gone = child.pid();
  fs::path entry = runtime() / (std::to_string(gone) + ".process");
  ASSERT_TRUE(fs::exists(entry));
  child.Stop();

  EXPECT_EQ(Walk(), (std::set<pid_t>{getpid()}));
  EXPECT_FALSE(fs::exists(entry));
  ProcessSerialNumber psn{0, static_cast<UInt32>(gone)};
  ProcessInfoRec info{};
  info.processInfoLength = sizeof info;
  EXPECT_EQ(GetProcessInformation(&psn, &info), procNotFound);
}

TEST_F(ProcessRegistry, EntryForAReusedPidIsIgnored) {
  // A running process that never registered stands in for one that took over a dead pid.
  ChildProcess stranger;
  ASSERT_EQ(stranger.Start([] { return 0; }), 0);
  auto stat = tb::processes::ReadProcStat(stranger.pid());
  ASSERT_TRUE(stat);
  tb::processes::ProcessEntry entry{
      stranger.pid(), stat->startTime + 1, 'APPL', 'OLD ', 0, "old", ""};
  fs::path path = runtime() / tb::processes::EntryFileName(stranger.pid());
  tb::test::WriteBytes(path, [&] {
    auto bytes = tb::processes::EncodeEntry(entry);
    return std::vector<unsigned char>(bytes.begin(), bytes.end());
  }());
  EXPECT_EQ(Walk(), (std::set<pid_t>{getpid()}));
  EXPECT_FALSE(fs::exists(path));

  // The same entry with the right start time is listed.
  entry.startTime = stat->startTime;
  auto bytes = tb::processes::EncodeEntry(entry);
  tb::test::WriteBytes(path, std::vector<unsigned char>(bytes.begin(), bytes.end()));
  EXPECT_EQ(Walk(), (std::set<pid_t>{getpid(), stranger.pid()}));
}

TEST_F(ProcessRegistry, RuntimeDirectoryOthersCanWriteIsRefused) {
  chmod(runtime().c_str(), 0777);
  EXPECT_EQ(tb::processes::RegisterCurrentProcess('APPL', 'TEST', "", {}, 0), permErr);
  ProcessSerialNumber psn{0, kNoProcess};
  EXPECT_EQ(GetNextProcess(&psn), permErr);
  EXPECT_TRUE(fs::is_empty(runtime()));
  // The process still knows itself.
  ASSERT_EQ(GetCurrentProcess(&psn), noErr);
  EXPECT_EQ(Info(getpid()).processSignature, 'TEST');

  chmod(runtime().c_str(), 0720);
  EXPECT_EQ(GetNextProcess(&psn), permErr);

  fs::path real = root() / "real-run";
  fs::create_directory(real);
  chmod(real.c_str(), 0700);
  fs::path link = root() / "linked-run";
  fs::create_directory_symlink(real, link);
  setenv("VANTOREL_RUNTIME_DIR", link.c_str(), 1);
  psn = {0, kNoProcess};
  EXPECT_EQ(GetNextProcess(&psn), permErr);

  if (geteuid() == 0) {
    chmod(runtime().c_str(), 0700);
    ASSERT_EQ(chown(runtime().c_str(), 65534, 65534), 0);
    setenv("VANTOREL_RUNTIME_DIR", runtime().c_str(), 1);
    psn = {0, kNoProcess};
    EXPECT_EQ(GetNextProcess(&psn), permErr);
  }
}

TEST_F(ProcessRegistry, RuntimeDirectoryIsCreatedPrivate) {
  fs::path fresh = root() / "nested" / "run";
  setenv("VANTOREL_RUNTIME_DIR", fresh.c_str(), 1);
  ProcessSerialNumber psn{0, kNoProcess};
  ASSERT_EQ(GetNextProcess(&psn), noErr);
  EXPECT_EQ(psn.lowLongOfPSN, static_cast<UInt32>(getpid()));
  EXPECT_EQ(fs::status(fresh).permissions(), fs::perms::owner_all);
}

TEST_F(ProcessRegistry, InformationFromTheBundleAndNameRules) {
  fs::path bundle = disk() / "Applications" / "Finder.app";
  fs::create_directories(bundle / "Contents");
  tb::test::WriteText(bundle / "Contents" / "Info.plist", R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0"><dict>
<key>CFBundlePackageType</key><string>FNDR</string>
<key>CFBundleSignature</key><string>MACS</string>
<key>CFBundleName</key><string>Finder</string>
</dict></plist>)");
  ASSERT_EQ(tb::processes::RegisterCurrentProcess(0, 0, "", bundle, 0), noErr);
  Str31 name;
  ProcessInfoRec info = Info(getpid(), name);
  EXPECT_EQ(info.processType, 'FNDR');
  EXPECT_EQ(info.processSignature, 'MACS');
  EXPECT_EQ(tb::PascalView(name), "Finder");
  EXPECT_EQ(info.processAppSpec, nullptr);
  ProcessSerialNumber self{0, kCurrentProcess};
  EXPECT_EQ(tb::processes::BundlePath(self), bundle);

  // Names are Mac Roman Str31: cut to 31 bytes, '?' for what Mac Roman lacks.
  ASSERT_EQ(tb::processes::RegisterCurrentProcess(
                'APPL', 'ABCD', "Caf\xC3\xA9 \xE4\xB8\xAD and a name far too long, really", {}, 0),
            noErr);
  unsigned char guard[40];
  std::fill(std::begin(guard), std::end(guard), 0xEE);
  Info(getpid(), guard);
  EXPECT_EQ(tb::PascalView(guard), "Caf\x8E ? and a name far too long,");
  EXPECT_EQ(guard[32], 0xEE);
  EXPECT_EQ(tb::processes::BundlePath(self), std::nullopt);
  FSRef* noRef = reinterpret_cast<FSRef*>(guard);
  EXPECT_EQ(GetProcessBundleLocation(&self, noRef), fnfErr);

  ProcessInfoRec shortRec{};
  shortRec.processInfoLength = 8;
  EXPECT_EQ(GetProcessInformation(&self, &shortRec), paramErr);
  ProcessSerialNumber none{0, kNoProcess};
  info.processName = nullptr;
  EXPECT_EQ(GetProcessInformation(&none, &info), paramErr);
  ProcessSerialNumber init{1, 1};
  EXPECT_EQ(GetProcessInformation(&init, &info), procNotFound);
}

TEST_F(ProcessRegistry, BundleLocationComesFromTheFileManager) {
  fs::path bundle = disk() / "Applications" / "Tool.app";
  fs::create_directories(bundle / "Contents");
  ASSERT_EQ(tb::processes::RegisterCurrentProcess('APPL', 'TOOL', "", bundle, 0), noErr);
  ProcessSerialNumber self{0, kCurrentProcess};
  FSRef location;
  ASSERT_EQ(GetProcessBundleLocation(&self, &location), noErr);
  UInt8 path[1024];
  ASSERT_EQ(FSRefMakePath(&location, path, sizeof path), noErr);
  EXPECT_EQ(fs::path(reinterpret_cast<const char*>(path)), fs::canonical(bundle));

  FSSpec appSpec;
  ProcessInfoRec info = {};
  info.processInfoLength = sizeof info;
  info.processAppSpec = &appSpec;
  ASSERT_EQ(GetProcessInformation(&self, &info), noErr);
  EXPECT_EQ(tb::PascalView(appSpec.name), "Tool.app");
}

}  // namespace
