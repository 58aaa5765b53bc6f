// The script driver's words and key names.
#include <gtest/gtest.h>

#include <sstream>

#include "toolbox/drivers/script/key_names.h"
#include "toolbox/drivers/script/script_reader.h"
#include "toolbox/events/events.h"

namespace {

using namespace tb::drivers::script;

TEST(ScriptReader, SplitsWordsWithQuotesAndSkipsComments) {
  std::istringstream in(
      "click \"/a b/c\" d\n"
      "\n"
      "  # a comment\n"
      "point 1\t2\r\n"
      "say \"q\\\"x\"\n"
      "click \"open\n");
  Reader reader(in);
  Command command;
  std::string error;
  ASSERT_TRUE(reader.Next(&command, &error));
  EXPECT_EQ(command.line, 1);
  EXPECT_EQ(command.words, (std::vector<std::string>{"click", "/a b/c", "d"}));
  ASSERT_TRUE(reader.Next(&command, &error));
  EXPECT_EQ(command.line, 4);
  EXPECT_EQ(command.words, (std::vector<std::string>{"point", "1", "2"}));
  ASSERT_TRUE(reader.Next(&command, &error));
  EXPECT_EQ(command.words, (std::vector<std::string>{"say", "q\"x"}));
  ASSERT_TRUE(reader.Next(&command, &error));  // a line that cannot be split still comes back
  EXPECT_EQ(error, "unterminated quote");
  EXPECT_TRUE(command.words.empty());
  EXPECT_FALSE(reader.Next(&command, &error));
}

TEST(ScriptReader, ItemIndexesAreOneTo65535) {
  struct Case {
    const char* word;
    bool ok;
    UInt16 index;
  };
  const Case cases[] = {{"1", true, 1},      {"65535", true, 65535}, {"0", false, 0},
                        {"65536", false, 0}, {"-1", false, 0},       {"2x", false, 0},
                        {"", false, 0}};
  for (const Case& c : cases) {
    UInt16 index = 0;
    EXPECT_EQ(ParseItemIndex(c.word, &index), c.ok) << c.word;
    if (c.ok) {
      EXPECT_EQ(index, c.index);
    }
  }
}

TEST(KeyNames, ParseAndPrintInAFixedOrder) {
  UInt32 modifiers = 1;
  EXPECT_TRUE(ParseModifiers("none", &modifiers));
  EXPECT_EQ(modifiers, 0u);
  EXPECT_TRUE(ParseModifiers("control+caps+cmd", &modifiers));
  EXPECT_EQ(modifiers, UInt32{controlKey | alphaLock | cmdKey});
  EXPECT_EQ(ModifiersText(modifiers), "cmd+caps+control");
  EXPECT_EQ(ModifiersText(0), "none");
  for (const char* bad : {"", "cmd+", "+cmd", "hyper", "cmd+none"}) {
    EXPECT_FALSE(ParseModifiers(bad, &modifiers)) << bad;
  }
}

}  // namespace
