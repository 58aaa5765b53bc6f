#include <gtest/gtest.h>
#include <plist/plist.h>
#include <stdlib.h>

#include <string>

#include "tests/support/temp_system_disk.h"
#include "toolbox/cf/bundle.h"
#include "toolbox/cf/bundle_info.h"
#include "toolbox/cf/string.h"
#include "toolbox/cf/url.h"

namespace {

namespace fs = std::filesystem;
using tb::test::WriteText;

std::string InfoPlist(const std::string& body) {
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
         "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
         "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
         "<plist version=\"1.0\"><dict>\n" +
         body + "</dict></plist>\n";
}

CFBundleRef CreateBundle(const fs::path& dir) {
  CFURLRef url = tb::CFURLFromPath(dir, true);
  CFBundleRef bundle = CFBundleCreate(nullptr, url);
  CFRelease(url);
  return bundle;
}

class Bundle : public tb::test::TempSystemDisk {
 protected:
  fs::path makeBundle(const std::string& name, const std::string& info) {
    fs::path dir = root() / name;
    fs::create_directories(dir / "Contents" / "Resources");
    if (!info.empty()) WriteText(dir / "Contents" / "Info.plist", info);
    return dir;
  }
};

TEST_F(Bundle, OneObjectPerDirectoryFoundByIdentifier) {
  fs::path dir = makeBundle("Tool.plugin", InfoPlist("<key>CFBundleIdentifier</key>"
                                                     "<string>com.example.tool</string>\n"));
  CFBundleRef bundle = CreateBundle(dir);
  ASSERT_NE(bundle, nullptr);
  EXPECT_EQ(CreateBundle(dir / "Contents" / ".."), bundle);
  CFRelease(bundle);
  EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.example.tool")), bundle);
  EXPECT_EQ(CFBundleGetBundleWithIdentifier(CFSTR("com.example.none")), nullptr);
  EXPECT_EQ(tb::Utf8FromCFString(CFBundleGetIdentifier(bundle)), "com.example.tool");

  CFURLRef url = CFBundleCopyBundleURL(bundle);
  EXPECT_EQ(tb::URLPath(url), fs::canonical(dir));
  CFStringRef last = CFURLCopyLastPathComponent(url);
  EXPECT_EQ(tb::Utf8FromCFString(last), "Tool.plugin");
  CFRelease(last);
  CFRelease(url);
  CFRelease(bundle);

  EXPECT_EQ(CreateBundle(root() / "missing"), nullptr);
}

TEST_F(Bundle, ReadsBinaryPlistAndSurvivesDamagedOnes) {
  plist_t dict = plist_new_dict();
  plist_dict_set_item(dict, "CFBundleIdentifier", plist_new_string("com.example.binary"));
  plist_dict_set_item(dict, "CFBundleExecutable", plist_new_string("Binary"));
  char* bin = nullptr;
  uint32_t size = 0;
  plist_to_bin(dict, &bin, &size);
  plist_free(dict);
  fs::path dir = makeBundle("Binary.bundle", std::string(bin, size));
  free(bin);
  CFBundleRef binary = CreateBundle(dir);
  EXPECT_EQ(tb::Utf8FromCFString(CFBundleGetIdentifier(binary)), "com.example.binary");
  EXPECT_EQ(tb::BundleInfoString(binary, "CFBundleExecutable"), "Binary");
  EXPECT_FALSE(CFBundleLoadExecutable(binary));  // no Contents/MacOS/Binary
  CFRelease(binary);

  for (const char* bad :
       {"<?xml version=\"1.0\"?><plist><dict><key>CFBundle", "bplist00\xD1\x01\x02\x51garbage",
        "<plist version=\"1.0\"><array/></plist>"}) {
    CFBundleRef damaged = CreateBundle(makeBundle("Damaged.bundle", bad));
    ASSERT_NE(damaged, nullptr);
    EXPECT_EQ(CFBundleGetIdentifier(damaged), nullptr);
    EXPECT_FALSE(tb::BundleInfoString(damaged, "CFBundleExecutable").has_value());
    CFRelease(damaged);
    fs::remove_all(root() / "Damaged.bundle");
  }
}

// Localized lookup across languages: which table answers depends on the user's language.
struct LookupCase {
  const char* name;
  const char* language;  // LANGUAGE
  const char* lang;      // LANG
  const char* key;
  const char* value;  // nullptr: no value argument
  const char* table;  // nullptr: Localizable
  const char* expected;
};

class LocalizedString : public Bundle, public ::testing::WithParamInterface<LookupCase> {
 protected:
  void SetUp() override {
    Bundle::SetUp();
    for (const char* variable : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) unsetenv(variable);
    const LookupCase& c = GetParam();
    if (c.language) setenv("LANGUAGE", c.language, 1);
    if (c.lang) setenv("LANG", c.lang, 1);
  }
  void strings(const fs::path& dir, const char* lproj, const char* table, const std::string& text) {
    fs::path folder = dir / "Contents" / "Resources" / (std::string(lproj) + ".lproj");
    fs::create_directories(folder);
    WriteText(folder / (std::string(table) + ".strings"), text);
  }
};

TEST_P(LocalizedString, FollowsTheLanguageOrder) {
  fs::path dir = makeBundle(
      "Localized.bundle", InfoPlist("<key>CFBundleDevelopmentRegion</key><string>German</string>"));
  strings(dir, "fr_CA", "Localizable", "\"only_ca\" = \"CA\";");
  strings(dir, "fr", "Localizable", "\"greet\" = \"Bonjour\"; \"only_fr\" = \"FR\";");
  strings(dir, "French", "Localizable", "\"greet\" = \"Salut\"; \"legacy\" = \"Ancien\";");
  strings(dir, "German", "Localizable", "\"greet\" = \"Hallo\"; \"dev\" = \"Entwicklung\";");
  strings(dir, "English", "Localizable", "\"greet\" = \"Hello\"; \"eng\" = \"English\";");
  strings(dir, "en", "Localizable", "\"en_only\" = \"en\";");
  strings(dir, "fr", "Menus", "\"greet\" = \"Menu\";");
  strings(dir, "fr", "Broken", "\"greet\" = \"Cass\xC3\xA9");
  strings(dir, "English", "Broken", "\"greet\" = \"Fallback\";");

  const LookupCase& c = GetParam();
  CFBundleRef bundle = CreateBundle(dir);
  CFStringRef key = CFStringCreateWithCString(nullptr, c.key, kCFStringEncodingUTF8);
  CFStringRef value = c.value ? tb::CFStringFromUtf8(c.value) : nullptr;
  CFStringRef table = c.table ? tb::CFStringFromUtf8(c.table) : nullptr;
  CFStringRef result = CFBundleCopyLocalizedString(bundle, key, value, table);
  EXPECT_EQ(tb::Utf8FromCFString(result), c.expected);
  CFRelease(result);
  EXPECT_EQ(CFGetRetainCount(key), 1);
  CFRelease(table);
  CFRelease(value);
  CFRelease(key);
  CFRelease(bundle);
}

const LookupCase kLookupCases[] = {
    {"RegionFirst", nullptr, "fr_CA.UTF-8", "only_ca", nullptr, nullptr, "CA"},
    {"LanguageAfterRegion", nullptr, "fr_CA.UTF-8", "greet", nullptr, nullptr, "Bonjour"},
    {"LegacyName", nullptr, "fr_CA.UTF-8", "legacy", nullptr, nullptr, "Ancien"},
    {"DevelopmentRegion", nullptr, "fr_CA.UTF-8", "dev", nullptr, nullptr, "Entwicklung"},
    {"English", nullptr, "fr_CA.UTF-8", "eng", nullptr, nullptr, "English"},
    {"EnglishIsoName", nullptr, "fr_CA.UTF-8", "en_only", nullptr, nullptr, "en"},
    {"OtherUser", nullptr, "de_DE", "greet", nullptr, nullptr, "Hallo"},
    {"LanguageListFirst", "fr:de", "en_US", "greet", nullptr, nullptr, "Bonjour"},
    {"NoUserLanguage", nullptr, "C", "greet", nullptr, nullptr, "Hallo"},
    {"MissingGivesValue", nullptr, "fr", "nope", "Default", nullptr, "Default"},
    {"MissingEmptyValueGivesKey", nullptr, "fr", "nope", "", nullptr, "nope"},
    {"MissingNoValueGivesKey", nullptr, "fr", "nope", nullptr, nullptr, "nope"},
    {"NamedTable", nullptr, "fr", "greet", nullptr, "Menus", "Menu"},
    {"DamagedTableIsSkipped", nullptr, "fr", "greet", nullptr, "Broken", "Fallback"},
};
INSTANTIATE_TEST_SUITE_P(Cases, LocalizedString, ::testing::ValuesIn(kLookupCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Bundle, LocalizedResourceFollowsTheSameOrder) {
  setenv("LANG", "fr_FR.UTF-8", 1);
  unsetenv("LANGUAGE");
  unsetenv("LC_ALL");
  unsetenv("LC_MESSAGES");
  fs::path dir = makeBundle("Nibs.bundle", InfoPlist(""));
  fs::path resources = dir / "Contents" / "Resources";
  fs::create_directories(resources / "French.lproj");
  fs::create_directories(resources / "English.lproj");
  WriteText(resources / "French.lproj" / "main.nib", "fr");
  WriteText(resources / "English.lproj" / "main.nib", "en");
  WriteText(resources / "English.lproj" / "about.nib", "en");
  WriteText(resources / "icon.png", "");
  CFBundleRef bundle = CreateBundle(dir);
  EXPECT_EQ(tb::BundleLocalizedResource(bundle, "main.nib"),
            resources / "French.lproj" / "main.nib");
  EXPECT_EQ(tb::BundleLocalizedResource(bundle, "about.nib"),
            resources / "English.lproj" / "about.nib");
  EXPECT_EQ(tb::BundleLocalizedResource(bundle, "icon.png"), resources / "icon.png");
  EXPECT_FALSE(tb::BundleLocalizedResource(bundle, "none.nib").has_value());
  CFRelease(bundle);
}

}  // namespace
