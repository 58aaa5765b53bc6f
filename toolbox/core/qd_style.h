// Text styles of QuickDraw, used by menu items and controls.
#pragma once

#include "toolbox/core/types.h"

typedef unsigned char Style;
typedef short StyleParameter;
typedef SInt16 CharParameter;

enum : Style {
  normal = 0,
  bold = 1,
  italic = 2,
  underline = 4,
  outline = 8,
  shadow = 0x10,
  condense = 0x20,
  extend = 0x40,
};
