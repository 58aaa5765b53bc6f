#include "plugin/menu/menu_pool.h"

MenuRef gMenuPool[kPoolSize];

MenuRef ChildMenuOf(MenuRef menu) {
  for (int k = kPoolRoot; k <= kPoolDeepest; ++k) {
    if (gMenuPool[k] == menu) return k < kPoolDeepest ? gMenuPool[k + 1] : nullptr;
  }
  return nullptr;
}
