// The desktop's script mode end to end: the built vantorel-desktop runs as a subprocess on a
// temporary system disk with the built plug-in installed, plays a script and prints what a user
// would see.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <cstdio>
#include <regex>
#include <string>

#include "tests/support/plugin_fixture.h"
#include "tests/support/temp_system_disk.h"
#include "toolbox/core/memory.h"
#include "toolbox/core/pascal.h"
#include "toolbox/files/files.h"
#include "toolbox/resources/resources.h"

namespace {

using ::testing::HasSubstr;
using ::testing::Not;

struct Played {
  std::string output;
  int status = -1;  // the exit status
};

class ScriptMode : public tb::test::TempSystemDisk {
 protected:
  void SetUp() override {
    TempSystemDisk::SetUp();
    setenv("XDG_DATA_HOME", (root() / "data").c_str(), 1);  // a private Trash
    setenv("VANTOREL_LAUNCHER", "journal", 1);              // documents open with nothing real
    work_ = disk() / "Users" / "Shared" / "Work";
    std::filesystem::create_directories(work_ / "Notes");
    tb::test::WriteText(work_ / "report.txt", "figures");
    tb::test::WriteText(work_ / "Notes" / "todo.txt", "milk");
  }

  // Runs the script from a file, or (`fromInput`) from standard input.
  Played Play(const std::string& script, const std::string& flags = "", bool fromInput = false) {
    std::filesystem::path file = root() / "script.txt";
    tb::test::WriteText(file, script);
    std::string source = fromInput ? "- <'" + file.string() + "'" : "'" + file.string() + "'";
    std::string command =
        std::string("'") + VANTOREL_BINARY_DIR + "/desktop/vantorel-desktop' --install-plugin '" +
        tb::test::BuiltBundle().string() + "' " + flags + " --script " + source + " 2>&1";
    Played run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    size_t n;
    while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, n);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
  }

  // The number printed before the item with this text (quoted as printed) at this depth of
  // indentation; 0 when the output has no such line.
  static int IndexOf(const std::string& output, const std::string& quotedText, int depth) {
    std::regex line("(^|\n)" + std::string(static_cast<size_t>(depth) * 2, ' ') + "([0-9]+) +" +
                    std::regex_replace(quotedText, std::regex(R"([\\.^$|()\[\]{}*+?])"), R"(\$&)"));
    std::smatch match;
    return std::regex_search(output, match, line) ? std::stoi(match[2]) : 0;
  }

  void WritePrefs(const std::vector<UInt8>& bytes) { tb::test::WritePrefsFile(bytes); }

  std::string Click() const { return "click \"" + work_.string() + "\"\n"; }

  std::filesystem::path work_;
};

const std::string kPluginItem = R"("Vantorel\0")";

TEST_F(ScriptMode, ClickShowsThePluginItemWithItsPlaceholder) {
  Played run = Play("# a click on a folder\nclick " + work_.string() + "\n");
  EXPECT_EQ(run.status, 0);
  EXPECT_THAT(run.output, HasSubstr("plug-in com.quobrin.vantorel\n"));
  EXPECT_THAT(run.output, HasSubstr("> click " + work_.string() + "\nmenu:\n  1 " + kPluginItem +
                                    "  >\n    1 \" \"  [1]\n"));
  EXPECT_THAT(run.output, Not(HasSubstr("error")));
}

TEST_F(ScriptMode, ReadsTheScriptFromStandardInput) {
  Played run = Play(Click() + "close\n", "--strict", true);
  EXPECT_EQ(run.status, 0);
  EXPECT_THAT(run.output, HasSubstr("menu:\n  1 " + kPluginItem + "  >\n"));
  EXPECT_THAT(run.output, HasSubstr("> close\nclosed\n"));
}

TEST_F(ScriptMode, PointingFillsTheRootSubmenuThenAFolderListing) {
  Played top = Play("click " + work_.string() + "\npoint 1\n");
  EXPECT_THAT(top.output, HasSubstr("submenu of " + kPluginItem + ":\n"));
  int notes = IndexOf(top.output, "\"Notes\"", 1);
  int report = IndexOf(top.output, "\"report.txt\"", 1);
  ASSERT_GT(notes, 0) << top.output;
  ASSERT_GT(report, 0) << top.output;

  Played sub = Play("click " + work_.string() + "\npoint 1 " + std::to_string(notes) + "\n");
  EXPECT_THAT(sub.output, HasSubstr("submenu of \"Notes\":\n"));
  EXPECT_GT(IndexOf(sub.output, "\"todo.txt\"", 1), 0) << sub.output;

  Played file = Play("click " + work_.string() + "\npoint 1 " + std::to_string(report) + "\n");
  EXPECT_THAT(file.output, HasSubstr("no submenu: \"report.txt\"\n"));
}

TEST_F(ScriptMode, ChoosingAFileOpensItAndRecordsItAsRecent) {
  Played top = Play("click " + work_.string() + "\npoint 1\n");
  int report = IndexOf(top.output, "\"report.txt\"", 1);
  int recent = IndexOf(top.output, R"("Recent Items\0")", 1);
  ASSERT_GT(report, 0) << top.output;
  ASSERT_GT(recent, 0) << top.output;

  Played run = Play(Click() + "choose 1 " + std::to_string(report) + "\nprint\n" + Click() +
                    "point 1 " + std::to_string(recent) + "\njournal\n");
  EXPECT_EQ(run.status, 0);
  std::string path = (work_ / "report.txt").string();
  EXPECT_THAT(run.output,
              HasSubstr("chose \"report.txt\"  ['OfD%']: handled\nfinder: open " + path + "\n"));
  EXPECT_THAT(run.output, HasSubstr("> print\nerror: line 3: no menu is open\n"));
  EXPECT_THAT(run.output, HasSubstr(R"(submenu of "Recent Items\0":)"));
  std::string afterRecent = run.output.substr(run.output.find("submenu of \"Recent Items"));
  EXPECT_GT(IndexOf(afterRecent, "\"report.txt\"", 1), 0) << run.output;
  EXPECT_THAT(run.output, HasSubstr("journal:\n  open " + path + "\n"));
}

TEST_F(ScriptMode, CapsLockAloneForcesTheItemWhenBothSectionsAreOff) {
  WritePrefs({0x3F, 0x00, 0x00, 0x00});
  Played run = Play(Click() + "keys caps\n" + Click() + "keys caps+control\n" + Click());
  std::string click = "> " + Click();
  EXPECT_THAT(run.output, HasSubstr(click + "menu: (empty)\n> keys caps\nkeys: caps\n" + click +
                                    "menu:\n  1 " + kPluginItem));
  // A Control-click with Caps Lock on does not force it.
  EXPECT_THAT(run.output, HasSubstr("keys: caps+control\n" + click + "menu: (empty)\n"));
}

TEST_F(ScriptMode, APlainFileGetsTheNotAFolderMessage) {
  Played run = Play("click " + (work_ / "report.txt").string() + "\npoint 1\n");
  EXPECT_THAT(run.output, HasSubstr("submenu of " + kPluginItem + ":\n"));
  EXPECT_THAT(run.output, HasSubstr("\"Not a folder\""));
}

struct ErrorCase {
  const char* name;
  std::string line;
  std::string message;
};

void PrintTo(const ErrorCase& c, std::ostream* os) {
  *os << c.name;
}

class ScriptErrors : public ScriptMode, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(ScriptErrors, ReportsTheLineAndGoesOnUnlessStrict) {
  std::string script = Click() + GetParam().line + "\nclose\n";
  std::string expected = "error: line 2: " + GetParam().message + "\n";

  Played lenient = Play(script);
  EXPECT_EQ(lenient.status, 0);
  EXPECT_THAT(lenient.output, HasSubstr(expected));
  EXPECT_THAT(lenient.output, HasSubstr("> close\nclosed\n"));

  Played strict = Play(script, "--strict");
  EXPECT_EQ(strict.status, 1);
  EXPECT_THAT(strict.output, HasSubstr(expected));
  EXPECT_THAT(strict.output, Not(HasSubstr("> close")));
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ScriptErrors,
    ::testing::Values(
        ErrorCase{"UnknownCommand", "jump 1", "unknown command \"jump\""},
        ErrorCase{"OutOfRange", "point 2", "item 2: no such item (the menu has 1)"},
        ErrorCase{"DisabledHeader", "point 1 1", R"(item 1 1 "Commands" is disabled)"},
        ErrorCase{"NotANumber", "point 1 x", "not an item number: \"x\""},
        ErrorCase{"ChoosingASubmenu", "choose 1", R"(item 1 "Vantorel\0" opens a submenu)"},
        ErrorCase{"UnknownKeys", "keys hyper", "unknown keys \"hyper\""},
        ErrorCase{"NoSuchItem", "click /no/such/item", "no such item: /no/such/item"},
        ErrorCase{"OpenQuote", "click \"unfinished", "unterminated quote"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
