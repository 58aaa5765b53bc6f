// Menu records: creation, reference counts, title, attributes, event target.
#include <unordered_set>

#include "toolbox/cf/string.h"
#include "toolbox/core/text.h"
#include "toolbox/menus/menu_store.h"

namespace tb::menus {
namespace {

std::unordered_set<MenuRef>& LiveMenus() {
  static std::unordered_set<MenuRef> live;
  return live;
}

IconHook gAcquireIcon = nullptr;
IconHook gReleaseIcon = nullptr;

void FreeMenu(MenuRef menu) {
  LiveMenus().erase(menu);
  for (Item& item : menu->menu.items) ReleaseItemContents(item);
  tb::events::DisposeTarget(menu->target);
  delete menu;
}

}  // namespace

OpaqueMenuRef* Live(MenuRef menu) {
  return menu && LiveMenus().count(menu) ? menu : nullptr;
}

Item* ItemAt(MenuRef menu, long index) {
  OpaqueMenuRef* m = Live(menu);
  if (!m || index < 1 || static_cast<size_t>(index) > m->menu.items.size()) return nullptr;
  return &m->menu.items[index - 1];
}

void AcquireIcon(const Item& item) {
  if (item.iconType == kMenuIconRefType && item.icon && gAcquireIcon) gAcquireIcon(item.icon);
}

void ReleaseItemContents(Item& item) {
  if (item.iconType == kMenuIconRefType && item.icon && gReleaseIcon) gReleaseIcon(item.icon);
  item.icon = nullptr;
  item.iconType = kMenuNoIcon;
  MenuRef submenu = item.submenu;
  item.submenu = nullptr;
  if (submenu) ReleaseMenu(submenu);
}

void SetIconRetainHooks(IconHook acquire, IconHook release) {
  gAcquireIcon = acquire;
  gReleaseIcon = release;
}

const Menu* View(MenuRef menu) {
  OpaqueMenuRef* m = Live(menu);
  return m ? &m->menu : nullptr;
}

tb::events::Target* MenuTarget(MenuRef menu) {
  OpaqueMenuRef* m = Live(menu);
  return m ? m->target : nullptr;
}

std::u16string Utf16FromMacRoman(std::string_view macRoman) {
  std::u32string text;
  for (unsigned char byte : macRoman) text.push_back(UnicodeFromMacRoman(byte));
  return EncodeUtf16(text);
}

std::string MacRomanFromUtf16Lossy(std::u16string_view text) {
  std::string bytes;
  for (char32_t c : DecodeUtf16(text)) {
    if (bytes.size() == 255) break;
    bytes.push_back(static_cast<char>(MacRomanFromUnicode(c).value_or('?')));
  }
  return bytes;
}

}  // namespace tb::menus

using tb::menus::Live;

OSStatus CreateNewMenu(MenuID menuID, MenuAttributes attributes, MenuRef* outMenu) {
  if (!outMenu) return paramErr;
  auto* menu = new OpaqueMenuRef;
  menu->menu.id = menuID;
  menu->menu.attributes = attributes;
  menu->target = tb::events::NewTarget(GetApplicationEventTarget());
  tb::menus::LiveMenus().insert(menu);
  *outMenu = menu;
  return noErr;
}

OSStatus RetainMenu(MenuRef menu) {
  if (!Live(menu)) return paramErr;
  ++menu->refs;
  return noErr;
}

OSStatus ReleaseMenu(MenuRef menu) {
  if (!Live(menu)) return paramErr;
  if (--menu->refs == 0) tb::menus::FreeMenu(menu);
  return noErr;
}

void DisposeMenu(MenuRef menu) {
  ReleaseMenu(menu);
}

ItemCount GetMenuRetainCount(MenuRef menu) {
  return Live(menu) ? menu->refs : 0;
}

MenuID GetMenuID(MenuRef menu) {
  return Live(menu) ? menu->menu.id : 0;
}

void SetMenuID(MenuRef menu, MenuID menuID) {
  if (Live(menu)) menu->menu.id = menuID;
}

OSStatus GetMenuAttributes(MenuRef menu, MenuAttributes* outAttributes) {
  if (!Live(menu) || !outAttributes) return paramErr;
  *outAttributes = menu->menu.attributes;
  return noErr;
}

OSStatus ChangeMenuAttributes(MenuRef menu, MenuAttributes setTheseAttributes,
                              MenuAttributes clearTheseAttributes) {
  if (!Live(menu)) return paramErr;
  menu->menu.attributes = (menu->menu.attributes | setTheseAttributes) & ~clearTheseAttributes;
  return noErr;
}

OSStatus SetMenuTitleWithCFString(MenuRef menu, CFStringRef title) {
  if (!Live(menu)) return paramErr;
  menu->menu.title = std::u16string(tb::CFStringView(title));
  return noErr;
}

OSStatus CopyMenuTitleAsCFString(MenuRef menu, CFStringRef* outTitle) {
  if (!Live(menu) || !outTitle) return paramErr;
  *outTitle = tb::CFStringFromUtf16(menu->menu.title);
  return noErr;
}

EventTargetRef GetMenuEventTarget(MenuRef menu) {
  return tb::menus::MenuTarget(menu);
}
