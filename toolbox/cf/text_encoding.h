// The application's text encoding: the encoding of its Pascal strings and resources.
#pragma once

#include "toolbox/core/types.h"

enum : TextEncoding { kTextEncodingMacRoman = 0 };

// The system script here is Roman, so applications use Mac Roman.
TextEncoding GetApplicationTextEncoding(void);
