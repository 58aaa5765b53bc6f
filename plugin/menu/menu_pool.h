// The pool of menus the contextual menu is built from: one per depth, reused every time.
#pragma once

#include "toolbox/menus/menus.h"

enum {
  kPoolSize = 26,
  kPoolPlaceholder = 0,  // never filled; gives an item its submenu mark until it is pointed at
  kPoolRoot = 1,         // the plug-in's own submenu
  kPoolDeepest = 25,     // filled like the others, but has no child
};

extern MenuRef gMenuPool[kPoolSize];

// The pool menu one level below `menu`, or NULL at the deepest level or outside the pool.
MenuRef ChildMenuOf(MenuRef menu);
