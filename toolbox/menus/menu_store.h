// The live menus and the helpers every menu call uses to reach them.
#pragma once

#include "toolbox/menus/menu_model.h"

struct OpaqueMenuRef {
  tb::menus::Menu menu;
  tb::events::Target* target = nullptr;
  ItemCount refs = 1;
};

namespace tb::menus {

// The menu record of a live MenuRef, or nullptr.
OpaqueMenuRef* Live(MenuRef menu);
// The item (1-based) of a live menu, or nullptr.
Item* ItemAt(MenuRef menu, long index);
// What a removed item holds: its submenu and its icon.
void ReleaseItemContents(Item& item);
void AcquireIcon(const Item& item);

std::u16string Utf16FromMacRoman(std::string_view macRoman);
// Mac Roman bytes, '?' for what Mac Roman lacks, cut at 255 bytes.
std::string MacRomanFromUtf16Lossy(std::u16string_view text);

}  // namespace tb::menus
