#include "plugin/entry/menu_cycle.h"

namespace {

// A record holding the item's name, ready for its command ID or submenu.
bool NewNamedPair(ConstStr255Param name, AERecord* pair) {
  if (AECreateList(nullptr, 0, true, pair) != noErr) return false;
  if (AEPutParamPtr(pair, keyAEName, typeChar, name + 1, name[0]) != noErr) {
    AEDisposeDesc(pair);
    return false;
  }
  return true;
}

}  // namespace

void AddCommandPair(ConstStr255Param name, SInt32 commandID, AEDescList* list) {
  AERecord pair;
  if (!NewNamedPair(name, &pair)) return;
  AEPutParamPtr(&pair, keyContextualMenuCommandID, typeLongInteger, &commandID, sizeof commandID);
  AEPutDesc(list, 0, &pair);
  AEDisposeDesc(&pair);
}

void AddSubmenuPair(AEDescList* list, ConstStr255Param name, const AEDescList* submenu) {
  AERecord pair;
  if (!NewNamedPair(name, &pair)) return;
  AEPutParamDesc(&pair, keyContextualMenuSubmenu, submenu);
  AEPutDesc(list, 0, &pair);
  AEDisposeDesc(&pair);
}
