#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>

#include "toolbox/cf/bundle.h"
#include "toolbox/cf/bundle_info.h"
#include "toolbox/cf/bundle_object.h"
#include "toolbox/cf/string.h"

namespace {

constexpr std::uintmax_t kMaxStringsFileSize = 8 << 20;

// The .lproj names older bundles use for common languages.
constexpr std::array<std::pair<std::string_view, std::string_view>, 14> kLegacyNames = {{
    {"en", "English"},
    {"fr", "French"},
    {"de", "German"},
    {"it", "Italian"},
    {"es", "Spanish"},
    {"nl", "Dutch"},
    {"sv", "Swedish"},
    {"da", "Danish"},
    {"no", "Norwegian"},
    {"nb", "Norwegian"},
    {"fi", "Finnish"},
    {"pt", "Portuguese"},
    {"ja", "Japanese"},
    {"ko", "Korean"},
}};

std::optional<std::string_view> LegacyName(std::string_view code) {
  for (auto [iso, legacy] : kLegacyNames) {
    if (iso == code) return legacy;
  }
  return std::nullopt;
}

void AddOnce(std::vector<std::string>& names, std::string_view name) {
  if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end()) {
    names.emplace_back(name);
  }
}

// "fr_CA.UTF-8@euro" adds fr_CA, fr-CA, fr, French.
void AddLocale(std::vector<std::string>& names, std::string_view locale) {
  locale = locale.substr(0, locale.find_first_of(".@"));
  if (locale.empty() || locale == "C" || locale == "POSIX") return;
  AddOnce(names, locale);
  size_t sep = locale.find_first_of("_-");
  std::string_view language = locale.substr(0, sep);
  if (sep != std::string_view::npos) {
    std::string hyphen(locale);
    hyphen[sep] = '-';
    AddOnce(names, hyphen);
    AddOnce(names, language);
  }
  if (auto legacy = LegacyName(language)) AddOnce(names, *legacy);
}

std::vector<std::string> UserLanguages() {
  std::vector<std::string> names;
  if (const char* list = std::getenv("LANGUAGE"); list && *list) {
    std::string_view rest(list);
    while (!rest.empty()) {
      size_t colon = rest.find(':');
      AddLocale(names, rest.substr(0, colon));
      rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
  }
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    if (const char* value = std::getenv(variable); value && *value) {
      AddLocale(names, value);
      break;
    }
  }
  return names;
}

std::optional<tb::cf::StringsTable> ReadTable(const std::filesystem::path& file) {
  std::error_code ec;
  std::uintmax_t size = std::filesystem::file_size(file, ec);
  if (ec || size > kMaxStringsFileSize) return std::nullopt;
  std::ifstream in(file, std::ios::binary);
  std::string bytes(size, '\0');
  if (!in.read(bytes.data(), static_cast<std::streamsize>(size))) return std::nullopt;
  return tb::cf::ParseStringsFile(std::as_bytes(std::span(bytes)));
}

const std::optional<tb::cf::StringsTable>& CachedTable(__CFBundle& bundle,
                                                       const std::filesystem::path& file) {
  auto found = bundle.tables.find(file);
  if (found == bundle.tables.end()) found = bundle.tables.emplace(file, ReadTable(file)).first;
  return found->second;
}

}  // namespace

namespace tb {

std::vector<std::string> LocalizationSearchOrder(CFBundleRef bundle) {
  std::vector<std::string> names = UserLanguages();
  if (auto region = BundleInfoString(bundle, "CFBundleDevelopmentRegion")) {
    AddLocale(names, *region);
  }
  AddOnce(names, "English");
  AddOnce(names, "en");
  return names;
}

std::optional<std::filesystem::path> BundleLocalizedResource(CFBundleRef bundle,
                                                             std::string_view fileName) {
  if (!cf::AsBundle(bundle) || fileName.empty()) return std::nullopt;
  std::filesystem::path resources = BundleResourcesDirectory(bundle);
  std::error_code ec;
  for (const std::string& name : LocalizationSearchOrder(bundle)) {
    std::filesystem::path candidate = resources / (name + ".lproj") / fileName;
    if (std::filesystem::exists(candidate, ec)) return candidate;
  }
  std::filesystem::path plain = resources / fileName;
  if (std::filesystem::exists(plain, ec)) return plain;
  return std::nullopt;
}

}  // namespace tb

CFStringRef CFBundleCopyLocalizedString(CFBundleRef bundle, CFStringRef key, CFStringRef value,
                                        CFStringRef tableName) {
  if (!key) return value ? static_cast<CFStringRef>(CFRetain(value)) : nullptr;
  if (__CFBundle* b = tb::cf::AsBundle(bundle)) {
    std::string table = tableName ? tb::Utf8FromCFString(tableName) : "Localizable";
    if (table.empty() || table.find('/') != std::string::npos) table = "Localizable";
    std::filesystem::path resources = tb::BundleResourcesDirectory(bundle);
    std::u16string_view wanted = tb::CFStringView(key);
    for (const std::string& name : tb::LocalizationSearchOrder(bundle)) {
      const auto& strings = CachedTable(*b, resources / (name + ".lproj") / (table + ".strings"));
      if (!strings) continue;
      if (auto found = strings->find(wanted); found != strings->end()) {
        return tb::CFStringFromUtf16(found->second);
      }
    }
  }
  if (value && CFStringGetLength(value) > 0) return CFStringCreateCopy(nullptr, value);
  return CFStringCreateCopy(nullptr, key);
}
