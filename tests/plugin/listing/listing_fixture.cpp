#include "tests/plugin/listing/listing_fixture.h"

#include <gtest/gtest.h>

#include "plugin/entry/menu_cycle.h"
#include "plugin/menu/file_item.h"
#include "plugin/menu/menu_pool.h"
#include "plugin/prefs/bundle_icons.h"
#include "plugin/prefs/preferences.h"
#include "toolbox/aliases/alias_file.h"
#include "toolbox/cf/string.h"
#include "toolbox/cf/url.h"
#include "toolbox/core/errors.h"
#include "toolbox/icons/icons.h"

namespace listing {

void PrintTo(const Row& row, std::ostream* os) {
  std::string text;
  for (char c : row.text) text += c ? std::string(1, c) : std::string("\\0");
  *os << "{\"" << text << "\" " << (row.enabled ? "enabled" : "disabled") << " style "
      << int{row.style} << " indent " << row.indent << " command " << row.command << " submenu "
      << static_cast<int>(row.submenu) << " icon " << static_cast<int>(row.icon) << "}";
}

void ListingFixture::SetUp() {
  PluginFixture::SetUp();
  CFURLRef url = tb::CFURLFromPath(installedBundle(), true);
  gPluginBundle = CFBundleCreate(nullptr, url);
  CFRelease(url);
  ASSERT_NE(gPluginBundle, nullptr);
  for (MenuRef& m : gMenuPool) CreateNewMenu(0, 0, &m);
  gForceAll = false;
  SetPrefs(kPrefMenuDefaults);
}

void ListingFixture::TearDown() {
  for (MenuRef& m : gMenuPool) {
    DisposeMenu(m);
    m = nullptr;
  }
  CFRelease(gPluginBundle);
  gPluginBundle = nullptr;
  gForceAll = false;
  PluginFixture::TearDown();
}

void ListingFixture::SetPrefs(UInt8 menuByte, UInt8 styleByte) {
  gPrefs[kPrefsMenuByte] = menuByte;
  gPrefs[kPrefsStyleByte] = styleByte;
}

MenuRef ListingFixture::root() const {
  return gMenuPool[kPoolRoot];
}

std::string ListingFixture::Localized(const char* key) const {
  CFStringRef k = CFStringCreateWithCString(nullptr, key, kCFStringEncodingUTF8);
  CFStringRef text = CFBundleCopyLocalizedString(gPluginBundle, k, k, CFSTR("Localizable"));
  std::string out = tb::Utf8FromCFString(text);
  CFRelease(text);
  CFRelease(k);
  // Expected texts come from the bundle's table, not from the key standing in for a text.
  EXPECT_NE(out, key) << "the bundle's strings table lacks " << key;
  return out;
}

Row ListingFixture::RowAt(MenuRef menu, MenuItemIndex index) const {
  Row row{};
  CFStringRef text = nullptr;
  if (CopyMenuItemTextAsCFString(menu, index, &text) == noErr && text) {
    row.text = tb::Utf8FromCFString(text);
    CFRelease(text);
  }
  row.enabled = IsMenuItemEnabled(menu, index);
  GetItemStyle(menu, index, &row.style);
  GetMenuItemIndent(menu, index, &row.indent);
  GetMenuItemCommandID(menu, index, &row.command);

  MenuRef submenu = nullptr;
  GetMenuItemHierarchicalMenu(menu, index, &submenu);
  row.submenu = !submenu                                 ? Submenu::none
                : submenu == gMenuPool[kPoolPlaceholder] ? Submenu::placeholder
                                                         : Submenu::other;

  UInt8 type = 0;
  Handle handle = nullptr;
  GetMenuItemIconHandle(menu, index, &type, &handle);
  auto icon = reinterpret_cast<IconRef>(handle);
  IconRef prefs = nullptr, recent = nullptr, caution = nullptr;
  tb::icons::Lookup(kBundleIconCreator, 'OfPF', &prefs);
  tb::icons::Lookup(kBundleIconCreator, 'OfRE', &recent);
  tb::icons::Lookup(kSystemIconsCreator, kAlertCautionIcon, &caution);
  if (!icon) {
    row.icon = Icon::none;
  } else {
    EXPECT_EQ(type, kMenuIconRefType);
    row.icon = icon == prefs     ? Icon::prefs
               : icon == recent  ? Icon::recent
               : icon == caution ? Icon::caution
                                 : Icon::file;
  }
  return row;
}

std::vector<Row> ListingFixture::Rows(MenuRef menu) const {
  std::vector<Row> rows;
  for (MenuItemIndex i = 1; i <= CountMenuItems(menu); ++i) rows.push_back(RowAt(menu, i));
  return rows;
}

std::vector<std::string> ListingFixture::Texts(MenuRef menu) const {
  std::vector<std::string> texts;
  for (const Row& row : Rows(menu)) texts.push_back(row.text);
  return texts;
}

Row ListingFixture::Separator() const {
  return {"-", false, 0, 0, 0, Submenu::none, Icon::none};
}

Row ListingFixture::Header(const char* key) const {
  return {Localized(key), false, kItemStyleBold, 0, 0, Submenu::none, Icon::none};
}

Row ListingFixture::Message(const char* key, bool headers, bool icons) const {
  if (!headers) return {Localized(key), false, 0, 0, 0, Submenu::none, Icon::none};
  return {Localized(key), true, 0, 1, 0, Submenu::none, icons ? Icon::caution : Icon::none};
}

Row ListingFixture::File(const std::string& name, UInt32 indent, Icon icon, Submenu submenu,
                         Style style) const {
  return {name, true, style, indent, kCommandOpenItem, submenu, icon};
}

FSSpec ListingFixture::MakeAlias(const FSSpec& target, const std::string& relative) {
  FSSpec folder = SpecOf((disk() / relative).parent_path());
  CInfoPBRec pb = {};
  pb.dirInfo.ioNamePtr = folder.name;
  pb.dirInfo.ioVRefNum = folder.vRefNum;
  pb.dirInfo.ioDrDirID = folder.parID;
  EXPECT_EQ(PBGetCatInfoSync(&pb), noErr);
  std::string leaf = (disk() / relative).filename().string();
  Str255 name;
  name[0] = static_cast<UInt8>(leaf.size());
  std::copy(leaf.begin(), leaf.end(), name + 1);
  FSSpec alias;
  FSMakeFSSpec(folder.vRefNum, pb.dirInfo.ioDrDirID, name, &alias);
  EXPECT_EQ(tb::aliases::MakeAliasFile(target, alias), noErr) << relative;
  return alias;
}

void ListingFixture::MakeInvisible(const FSSpec& item) {
  CInfoPBRec pb = {};
  Str63 name;
  std::copy(std::begin(item.name), std::end(item.name), name);
  pb.hFileInfo.ioNamePtr = name;
  pb.hFileInfo.ioVRefNum = item.vRefNum;
  pb.hFileInfo.ioDirID = item.parID;
  ASSERT_EQ(PBGetCatInfoSync(&pb), noErr);
  // Files keep the flag in fdFlags, folders in frFlags.
  if (pb.hFileInfo.ioFlAttrib & kioFlAttribDirMask) {
    pb.dirInfo.ioDrUsrWds.frFlags |= kIsInvisible;
  } else {
    pb.hFileInfo.ioFlFndrInfo.fdFlags |= kIsInvisible;
  }
  pb.hFileInfo.ioDirID = item.parID;
  ASSERT_EQ(PBSetCatInfoSync(&pb), noErr);
}

}  // namespace listing
