// Menus as text for people and scripts (DescribeMenu itself is declared with the host).
#pragma once

#include <string>

#include "toolbox/menus/menus.h"

namespace desktop::cmm {

// As DescribeMenu, with each item's index before its text, so that a path through the menu
// can be read off the lines; every line starts with `depth` levels of indentation.
std::string DescribeMenuNumbered(MenuRef menu, int depth = 0);

}  // namespace desktop::cmm
