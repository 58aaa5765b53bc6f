#include "tests/plugin/recents/recents_support.h"

#include "plugin/entry/menu_cycle.h"
#include "plugin/menu/menu_pool.h"
#include "plugin/menu/recent_items.h"
#include "plugin/prefs/preferences.h"
#include "toolbox/aliases/aliases.h"
#include "toolbox/cf/string.h"
#include "toolbox/cf/url.h"
#include "toolbox/core/errors.h"
#include "toolbox/core/memory.h"
#include "toolbox/core/pascal.h"

namespace tb::test {

void RecentsFixture::SetUp() {
  PluginFixture::SetUp();
  CFURLRef url = tb::CFURLFromPath(installedBundle(), true);
  gPluginBundle = CFBundleCreate(nullptr, url);
  CFRelease(url);
  for (MenuRef& m : gMenuPool) CreateNewMenu(0, 0, &m);
  ResetPreferences();
  SInt16 vRefNum;
  SInt32 dirID;
  ASSERT_EQ(FindFolder(kOnSystemDisk, kPreferencesFolderType, kCreateFolder, &vRefNum, &dirID),
            noErr);
  ASSERT_EQ(FSMakeFSSpec(vRefNum, dirID, tb::PStr("Vantorel Recents"), &recents_), fnfErr);
}

void RecentsFixture::TearDown() {
  for (MenuRef& m : gMenuPool) {
    DisposeMenu(m);
    m = nullptr;
  }
  if (gPluginBundle) CFRelease(gPluginBundle);
  gPluginBundle = nullptr;
  PluginFixture::TearDown();
}

void RecentsFixture::SetCountBits(UInt8 bits) {
  gPrefs[kPrefsStyleByte] =
      static_cast<UInt8>((gPrefs[kPrefsStyleByte] & ~kPrefRecentCountMask) | bits);
}

std::vector<MenuRow> RowsOf(MenuRef menu) {
  std::vector<MenuRow> rows;
  for (MenuItemIndex i = 1; i <= CountMenuItems(menu); ++i) {
    MenuRow row;
    CFStringRef text = nullptr;
    CopyMenuItemTextAsCFString(menu, i, &text);
    row.text = tb::Utf8FromCFString(text);
    if (text) CFRelease(text);
    GetMenuItemCommandID(menu, i, &row.command);
    row.enabled = IsMenuItemEnabled(menu, i);
    GetMenuItemHierarchicalMenu(menu, i, &row.submenu);
    rows.push_back(row);
  }
  return rows;
}

std::vector<MenuRow> RecentsFixture::Build() {
  BuildRecentMenu(&gMenuPool[2]);
  return RowsOf(gMenuPool[2]);
}

std::vector<std::string> RecentsFixture::BuildTexts() {
  std::vector<std::string> texts;
  for (const MenuRow& row : Build()) texts.push_back(row.text);
  return texts;
}

bool RecentsFixture::RecentsFileExists() {
  FSRef ref;
  return FSpMakeFSRef(&recents_, &ref) == noErr;
}

std::vector<unsigned char> RecentsFixture::RecentsBytes() {
  SInt16 file = 0;
  EXPECT_EQ(FSpOpenDF(&recents_, fsRdPerm, &file), noErr);
  long length = 0;
  GetEOF(file, &length);
  std::vector<unsigned char> bytes(static_cast<size_t>(length));
  long count = length;
  if (length > 0) {
    EXPECT_EQ(FSRead(file, &count, bytes.data()), noErr);
  }
  FSClose(file);
  return bytes;
}

void RecentsFixture::SetRecentsBytes(const std::vector<unsigned char>& bytes) {
  if (!RecentsFileExists()) {
    ASSERT_EQ(FSpCreate(&recents_, 'QVRL', 'pref', smSystemScript), noErr);
  }
  SInt16 file = 0;
  ASSERT_EQ(FSpOpenDF(&recents_, fsRdWrPerm, &file), noErr);
  SetEOF(file, 0);
  long count = static_cast<long>(bytes.size());
  if (count > 0) {
    EXPECT_EQ(FSWrite(file, &count, bytes.data()), noErr);
  }
  FSClose(file);
}

std::string NameOf(const FSSpec& spec) {
  return std::string(tb::PascalView(spec.name));
}

std::vector<std::string> RecentsFixture::RecordNames() {
  std::vector<unsigned char> bytes = RecentsBytes();
  std::vector<std::string> names;
  size_t at = 0;
  while (at < bytes.size()) {
    EXPECT_LE(at + 4, bytes.size()) << "a tail that is no record";
    if (at + 4 > bytes.size()) break;
    size_t length = (size_t{bytes[at]} << 24) | (size_t{bytes[at + 1]} << 16) |
                    (size_t{bytes[at + 2]} << 8) | bytes[at + 3];
    at += 4;
    EXPECT_LE(at + length, bytes.size()) << "a record past the end";
    if (at + length > bytes.size()) break;
    Handle h = tb::NewHandleWith(bytes.data() + at, static_cast<Size>(length));
    auto alias = reinterpret_cast<AliasHandle>(h);
    EXPECT_EQ(GetAliasSize(alias), static_cast<Size>(length)) << "length and record disagree";
    FSSpec target;
    Boolean changed = false;
    names.push_back(ResolveAlias(nullptr, alias, &target, &changed) == noErr ? NameOf(target)
                                                                             : "?");
    DisposeHandle(h);
    at += length;
  }
  return names;
}

FSSpec RecentsFixture::Item(const std::string& name) {
  return MakeFile("Users/Shared/Items/" + name);
}

std::vector<unsigned char> RecentsFixture::RecordOf(const FSSpec& item) {
  AliasHandle alias = nullptr;
  EXPECT_EQ(NewAlias(nullptr, &item, &alias), noErr);
  Size size = GetHandleSize(reinterpret_cast<Handle>(alias));
  std::vector<unsigned char> out;
  PutBE32(out, static_cast<unsigned long>(static_cast<UInt32>(size)));
  out.insert(out.end(), reinterpret_cast<unsigned char*>(*alias),
             reinterpret_cast<unsigned char*>(*alias) + size);
  DisposeHandle(reinterpret_cast<Handle>(alias));
  return out;
}

}  // namespace tb::test
