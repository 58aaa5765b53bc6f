#include <gtest/gtest.h>

#include "tests/support/temp_system_disk.h"
#include "toolbox/processes/entry_file.h"
#include "toolbox/processes/proc_stat.h"

namespace {

using tb::processes::EncodeEntry;
using tb::processes::ParseEntry;
using tb::processes::ProcessEntry;

const ProcessEntry kEntry{4321,
                          987654321,
                          'FNDR',
                          'MACS',
                          0x1000,
                          "Finder \xC3\xA9",
                          "/sys disk/Applications/Finder.app"};

TEST(EntryFile, LayoutAndRoundTrip) {
  std::vector<unsigned char> expected;
  for (char c : std::string("VPRC")) expected.push_back(static_cast<unsigned char>(c));
  tb::test::PutBE16(expected, 1);
  tb::test::PutBE16(expected, 0);
  tb::test::PutBE32(expected, 4321);
  tb::test::PutBE32(expected, 0);
  tb::test::PutBE32(expected, 987654321);
  tb::test::PutBE32(expected, 'FNDR');
  tb::test::PutBE32(expected, 'MACS');
  tb::test::PutBE32(expected, 0x1000);
  tb::test::PutBE16(expected, static_cast<unsigned>(kEntry.name.size()));
  expected.insert(expected.end(), kEntry.name.begin(), kEntry.name.end());
  tb::test::PutBE16(expected, static_cast<unsigned>(kEntry.bundlePath.size()));
  expected.insert(expected.end(), kEntry.bundlePath.begin(), kEntry.bundlePath.end());
  auto bytes = EncodeEntry(kEntry);
  EXPECT_EQ(std::vector<unsigned char>(bytes.begin(), bytes.end()), expected);
  EXPECT_EQ(ParseEntry(bytes), kEntry);
  bytes.push_back(7);  // a later version's extra field
  EXPECT_EQ(ParseEntry(bytes), kEntry);
}

TEST(EntryFile, MalformedEntriesAreRefused) {
  auto good = EncodeEntry(kEntry);
  for (size_t n = 0; n < good.size(); ++n) {
    EXPECT_FALSE(ParseEntry({good.data(), n})) << n;
  }
  struct Case {
    const char* name;
    ProcessEntry entry;
  };
  ProcessEntry badName = kEntry, relative = kEntry, zeroPid = kEntry;
  badName.name = "\xC3";
  relative.bundlePath = "Applications/Finder.app";
  zeroPid.pid = 0;
  for (const Case& c :
       {Case{"invalid UTF-8", badName}, Case{"relative path", relative}, Case{"pid 0", zeroPid}}) {
    EXPECT_FALSE(ParseEntry(EncodeEntry(c.entry))) << c.name;
  }
  auto wrongMagic = good;
  wrongMagic[0] = 'X';
  EXPECT_FALSE(ParseEntry(wrongMagic));
  auto longName = good;
  longName[32] = 0xFF;  // name length 0xFF.. runs past the end
  EXPECT_FALSE(ParseEntry(longName));

  EXPECT_EQ(tb::processes::PidOfEntryFileName("123.process"), 123);
  for (const char* bad : {"0123.process", ".process", "12a.process", "99999999999.process",
                          "123.process.tmp", ".123.process.55.tmp"}) {
    EXPECT_FALSE(tb::processes::PidOfEntryFileName(bad)) << bad;
  }
}

TEST(ProcStat, CommandNamesWithParenthesesAndSpaces) {
  std::string line =
      "77 (a) b (c) S 12 77 77 0 -1 4194304 100 0 0 0 25 5 0 0 20 0 1 0 123456 1000 200";
  auto stat = tb::processes::ParseProcStat(line);
  ASSERT_TRUE(stat);
  EXPECT_EQ(stat->state, 'S');
  EXPECT_EQ(stat->ppid, 12);
  EXPECT_EQ(stat->userTicks, 25u);
  EXPECT_EQ(stat->systemTicks, 5u);
  EXPECT_EQ(stat->startTime, 123456u);
  EXPECT_FALSE(tb::processes::ParseProcStat("77 (x) S 12"));
  EXPECT_FALSE(tb::processes::ParseProcStat("no parenthesis"));
}

}  // namespace
