#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/temp_system_disk.h"
#include "toolbox/cf/strings_file.h"
#include "toolbox/core/text.h"

namespace {

using tb::cf::ParseStringsFile;
using tb::cf::StringsTable;

std::vector<std::byte> Bytes(std::string_view text) {
  auto* p = reinterpret_cast<const std::byte*>(text.data());
  return {p, p + text.size()};
}

std::vector<std::byte> Utf16WithMark(std::u16string_view text, bool bigEndian) {
  std::vector<std::byte> out;
  auto put = [&](char16_t c) {
    std::byte hi{static_cast<unsigned char>(c >> 8)}, lo{static_cast<unsigned char>(c & 0xFF)};
    out.push_back(bigEndian ? hi : lo);
    out.push_back(bigEndian ? lo : hi);
  };
  put(0xFEFF);
  for (char16_t c : text) put(c);
  return out;
}

struct ParseCase {
  const char* name;
  std::vector<std::byte> bytes;
  StringsTable expected;
};

class StringsFileParse : public ::testing::TestWithParam<ParseCase> {};

TEST_P(StringsFileParse, GivesTheTable) {
  std::optional<StringsTable> table = ParseStringsFile(GetParam().bytes);
  ASSERT_TRUE(table.has_value());
  EXPECT_EQ(*table, GetParam().expected);
}

const ParseCase kParseCases[] = {
    {"Utf8",
     Bytes("\"Open\" = \"Ouvrir \xC3\xA0\";\n\"Plugin name\"=\"Vantorel\";"),
     {{u"Open", u"Ouvrir \u00E0"}, {u"Plugin name", u"Vantorel"}}},
    {"Utf8WithMark", Bytes("\xEF\xBB\xBF\"a\" = \"b\";"), {{u"a", u"b"}}},
    {"Utf16BigEndian",
     Utf16WithMark(u"\"cl\u00E9\" = \"\u6771\u4EAC\";", true),
     {{u"cl\u00E9", u"\u6771\u4EAC"}}},
    {"Utf16LittleEndian", Utf16WithMark(u"/* c */ \"k\" = 'v';", false), {{u"k", u"v"}}},
    {"Escapes",
     Bytes(R"("e" = "q\" b\\ \a\b\f\n\r\t\v \101\0618 \U00e9\U263a\UD83D\UDE00 \z\'";)"),
     {{u"e", u"q\" b\\ \a\b\f\n\r\t\v A18 \u00E9\u263A\U0001F600 z'"}}},
    {"Comments",
     Bytes("// line \"x\" = \"y\";\n/* block\n \"z\"; */ \"a\" /* in */ = // here\n \"b\" ;// end"),
     {{u"a", u"b"}}},
    {"KeyAlone", Bytes("\"same\"; single;"), {{u"same", u"same"}, {u"single", u"single"}}},
    {"UnquotedTokens", Bytes("path/to:x.y-z = $value_1;"), {{u"path/to:x.y-z", u"$value_1"}}},
    {"LaterEntryWins", Bytes("\"k\" = \"1\"; \"k\" = \"2\";"), {{u"k", u"2"}}},
    {"Empty", Bytes(" \n/* nothing */\n"), {}},
};
INSTANTIATE_TEST_SUITE_P(Cases, StringsFileParse, ::testing::ValuesIn(kParseCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(StringsFile, DamagedFilesFailCleanly) {
  const std::vector<std::vector<std::byte>> damaged = {
      Bytes("\"a\" = \"b"),                                // unterminated string
      Bytes("\"a\" = \"b\"; /* open"),                     // unterminated comment
      Bytes("\"a\" = \"b\""),                              // missing ';'
      Bytes("\"a\" \"b\";"),                               // missing '='
      Bytes("\"a\" = ;"),                                  // missing value
      Bytes("\"a\" = \"b\\"),                              // backslash at the end
      Bytes("= \"b\";"),                                   // missing key
      Bytes("\"a\" = \"\xC3(\";"),                         // invalid UTF-8
      Bytes(std::string_view("\xFE\xFF\x00\x22\x00", 5)),  // odd UTF-16 length
      Bytes("\"a\" = b c;"),                               // two tokens
  };
  for (size_t i = 0; i < damaged.size(); ++i) {
    EXPECT_FALSE(ParseStringsFile(damaged[i]).has_value()) << "case " << i;
  }
}

TEST(StringsFile, ReadsThePlugInsOwnTable) {
  std::vector<unsigned char> raw =
      tb::test::ReadBytes(std::filesystem::path(VANTOREL_SOURCE_DIR) /
                          "resources/plugin/English.lproj/Localizable.strings");
  ASSERT_FALSE(raw.empty());
  std::optional<StringsTable> table = ParseStringsFile(std::as_bytes(std::span(raw)));
  ASSERT_TRUE(table.has_value());
  EXPECT_EQ(table->at(u"Plugin name"), u"Vantorel");
}

}  // namespace
