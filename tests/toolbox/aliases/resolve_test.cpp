// Resolving records: the same item, renamed, moved, deleted, replaced, in another process.
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "tests/toolbox/aliases/alias_fixture.h"

namespace tb::test {
namespace {

namespace fs = std::filesystem;

struct Outcome {
  OSErr err;
  FSSpec spec;
  Boolean changed;
};

Outcome Resolve(AliasHandle alias) {
  Outcome out{};
  out.err =
      ResolveAliasWithMountFlags(nullptr, alias, &out.spec, &out.changed, kResolveAliasFileNoUI);
  return out;
}

std::string AliasName(AliasHandle alias) {
  Str63 name;
  EXPECT_EQ(GetAliasInfo(alias, asiAliasName, name), noErr);
  return FromP(name);
}

class AliasResolution : public AliasTest {
 protected:
  void SetUp() override {
    AliasTest::SetUp();
    fs::create_directories(disk() / "Docs");
    fs::create_directories(disk() / "Other");
    Touch(disk() / "Docs" / "report.txt", "v1");
  }
  fs::path report() { return disk() / "Docs" / "report.txt"; }
};

TEST_F(AliasResolution, SameItemLeavesTheRecordAlone) {
  OwnedAlias alias = AliasTo(report());
  auto before = AliasBytes(alias.get());
  Outcome r = Resolve(alias.get());
  ASSERT_EQ(r.err, noErr);
  EXPECT_EQ(Describe(r.spec), Describe(SpecAt(report())));
  EXPECT_FALSE(r.changed);
  EXPECT_EQ(AliasBytes(alias.get()), before);

  FSRef ref{};
  Boolean changed = true;
  ASSERT_EQ(FSResolveAlias(nullptr, alias.get(), &ref, &changed), noErr);
  FSRef expected = Ref(report());
  EXPECT_EQ(FSCompareFSRefs(&ref, &expected), noErr);
  EXPECT_FALSE(changed);
}

TEST_F(AliasResolution, RenamedOrMovedItemIsFoundAndRecorded) {
  struct Case {
    const char* name;
    fs::path to;  // relative to the system disk
  };
  for (Case c : {Case{"renamed in its folder", "Docs/final report.txt"},
                 Case{"moved to another folder", "Other/report.txt"},
                 Case{"moved and renamed", "Other/moved.txt"}}) {
    SCOPED_TRACE(c.name);
    Touch(report(), "v1");
    OwnedAlias alias = AliasTo(report());
    UInt32 id = IdOf(report());
    fs::rename(report(), disk() / c.to);
    Outcome r = Resolve(alias.get());
    ASSERT_EQ(r.err, noErr);
    EXPECT_EQ(Describe(r.spec), Describe(SpecAt(disk() / c.to)));
    EXPECT_TRUE(r.changed);
    EXPECT_EQ(AliasName(alias.get()), c.to.filename().string());
    // The updated record now resolves directly, unchanged.
    Outcome again = Resolve(alias.get());
    EXPECT_EQ(again.err, noErr);
    EXPECT_FALSE(again.changed);
    EXPECT_EQ(IdOf(disk() / c.to), id);
    fs::remove(disk() / c.to);
  }
}

TEST_F(AliasResolution, DeletedItemIsFnfErrWithItsSpec) {
  OwnedAlias alias = AliasTo(report());
  auto before = AliasBytes(alias.get());
  fs::remove(report());
  Outcome r = Resolve(alias.get());
  EXPECT_EQ(r.err, fnfErr);
  EXPECT_EQ(r.spec.parID, SInt32(IdOf(disk() / "Docs")));
  EXPECT_EQ(FromP(r.spec.name), "report.txt");
  EXPECT_EQ(AliasBytes(alias.get()), before);

  fs::remove_all(disk() / "Docs");  // the folder too
  EXPECT_EQ(Resolve(alias.get()).err, fnfErr);
}

// The file ID wins over the name: a new item under the old name is taken only when the
// original is gone.
TEST_F(AliasResolution, ReplacedItemIsFoundByFolderAndName) {
  OwnedAlias alias = AliasTo(report());
  Touch(disk() / "Docs" / "new", "v2");  // made while the old one exists: another ID
  fs::remove(report());
  fs::rename(disk() / "Docs" / "new", report());
  Outcome r = Resolve(alias.get());
  ASSERT_EQ(r.err, noErr);
  EXPECT_EQ(Describe(r.spec), Describe(SpecAt(report())));
  EXPECT_TRUE(r.changed);  // the record now holds the new item's ID
  auto b = AliasBytes(alias.get());
  UInt32 recorded = (UInt32(b[114]) << 24) | (b[115] << 16) | (b[116] << 8) | b[117];
  EXPECT_EQ(recorded, IdOf(report()));
}

TEST_F(AliasResolution, MovedItemWinsOverANewOneUnderItsName) {
  OwnedAlias alias = AliasTo(report());
  fs::rename(report(), disk() / "Other" / "report.txt");
  Touch(report(), "impostor");
  Outcome r = Resolve(alias.get());
  ASSERT_EQ(r.err, noErr);
  EXPECT_EQ(Describe(r.spec), Describe(SpecAt(disk() / "Other" / "report.txt")));
}

TEST_F(AliasResolution, FolderRecordDoesNotTakeAFileOfItsName) {
  fs::create_directories(disk() / "Docs" / "Sub");
  OwnedAlias alias = AliasTo(disk() / "Docs" / "Sub");
  fs::remove(disk() / "Docs" / "Sub");
  Touch(disk() / "Docs" / "Sub");
  EXPECT_EQ(Resolve(alias.get()).err, fnfErr);
}

TEST_F(AliasResolution, RootVolumeItemRenamedInItsFolder) {
  fs::create_directories(root() / "outside");
  Touch(root() / "outside" / "a");
  OwnedAlias alias = AliasTo(root() / "outside" / "a");
  fs::rename(root() / "outside" / "a", root() / "outside" / "b");
  Outcome r = Resolve(alias.get());
  ASSERT_EQ(r.err, noErr);
  EXPECT_EQ(r.spec.vRefNum, kVantorelRootVRefNum);
  EXPECT_EQ(FromP(r.spec.name), "b");
  EXPECT_TRUE(r.changed);
}

TEST_F(AliasResolution, UnknownVolumeIsNsvErr) {
  OwnedAlias alias = AliasTo(report());
  auto b = AliasBytes(alias.get());
  const std::string other = "Elsewhere";
  b[10] = static_cast<unsigned char>(other.size());
  std::copy(other.begin(), other.end(), b.begin() + 11);
  for (size_t i = 38; i < 42; ++i) b[i] = 0;  // and a creation date no volume has
  // Drop every tag: no path, no Unicode volume name.
  b.resize(154);
  b[4] = 0;
  b[5] = 154;
  b[150] = b[151] = 0xFF;
  b[152] = b[153] = 0;
  OwnedAlias lost = AliasFromBytes(b);
  EXPECT_EQ(Resolve(lost.get()).err, nsvErr);
}

TEST_F(AliasResolution, UpdateAliasRewritesForANewTarget) {
  Touch(disk() / "Other" / "x");
  OwnedAlias alias = AliasTo(report());
  SetAliasUserType(alias.get(), 'QVRL');
  FSSpec same = SpecAt(report()), other = SpecAt(disk() / "Other" / "x");
  Boolean changed = true;
  ASSERT_EQ(UpdateAlias(nullptr, &same, alias.get(), &changed), noErr);
  EXPECT_FALSE(changed);
  ASSERT_EQ(UpdateAlias(nullptr, &other, alias.get(), &changed), noErr);
  EXPECT_TRUE(changed);
  EXPECT_EQ(GetAliasUserType(alias.get()), UInt32('QVRL'));
  EXPECT_EQ(Describe(Resolve(alias.get()).spec), Describe(other));
}

TEST_F(AliasResolution, RelativeRecordFollowsItsFileWhenBothMove) {
  fs::create_directories(disk() / "Pack" / "inner");
  Touch(disk() / "Pack" / "inner" / "t");
  Touch(disk() / "Pack" / "from");
  FSSpec from = SpecAt(disk() / "Pack" / "from"), target = SpecAt(disk() / "Pack" / "inner" / "t");
  AliasHandle h = nullptr;
  ASSERT_EQ(NewAlias(&from, &target, &h), noErr);
  OwnedAlias alias(h);
  auto b = AliasBytes(h);
  EXPECT_EQ((b[130] << 8) | b[131], 1);  // up from "from" to Pack
  EXPECT_EQ((b[132] << 8) | b[133], 2);  // down to inner/t
  // Copy the whole folder: the copy's target has another ID, but the same place relative to
  // the copy of "from".
  fs::copy(disk() / "Pack", disk() / "Copy", fs::copy_options::recursive);
  fs::remove_all(disk() / "Pack");
  FSSpec copyFrom = SpecAt(disk() / "Copy" / "from");
  FSSpec found{};
  Boolean changed = false;
  ASSERT_EQ(ResolveAlias(&copyFrom, h, &found, &changed), noErr);
  EXPECT_EQ(Describe(found), Describe(SpecAt(disk() / "Copy" / "inner" / "t")));
}

// Across processes: IDs are stable, so a fresh process finds moved and renamed items. The
// parent writes records to files and runs this program again for the child test below.
TEST_F(AliasResolution, AnotherProcessFindsMovedItems) {
  fs::create_directories(root() / "outside");
  Touch(root() / "outside" / "a");
  std::vector<fs::path> targets = {report(), root() / "outside" / "a"};
  std::vector<fs::path> moved = {disk() / "Other" / "moved.txt", root() / "outside" / "b"};
  std::string list;
  for (size_t i = 0; i < targets.size(); ++i) {
    fs::path record = root() / ("record" + std::to_string(i));
    WriteBytes(record, AliasBytes(AliasTo(targets[i]).get()));
    list += record.string() + "\n";
  }
  for (size_t i = 0; i < targets.size(); ++i) fs::rename(targets[i], moved[i]);
  WriteText(root() / "records", list);

  pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    setenv("VANTOREL_ALIAS_CHILD", (root() / "records").c_str(), 1);
    execl("/proc/self/exe", "child", "--gtest_filter=AliasChild.*", static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  std::ifstream results(root() / "records.out");
  std::string line;
  for (size_t i = 0; i < moved.size(); ++i) {
    ASSERT_TRUE(std::getline(results, line));
    EXPECT_EQ(line, "0 " + Describe(SpecAt(moved[i])));
  }
}

// Runs only as the child of the test above.
TEST(AliasChild, ResolvesRecordsFromFiles) {
  const char* list = getenv("VANTOREL_ALIAS_CHILD");
  if (!list) GTEST_SKIP() << "runs as a child process only";
  std::ifstream in(list);
  std::ofstream out(std::string(list) + ".out");
  std::string path;
  while (std::getline(in, path)) {
    OwnedAlias alias = AliasFromBytes(ReadBytes(path));
    Outcome r = Resolve(alias.get());
    out << r.err << " " << Describe(r.spec) << "\n";
  }
}

}  // namespace
}  // namespace tb::test
