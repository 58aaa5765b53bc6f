// Every Core Foundation piece the toolbox offers, for code that wants them all at once.
#pragma once

#include "toolbox/cf/array.h"
#include "toolbox/cf/base.h"
#include "toolbox/cf/bundle.h"
#include "toolbox/cf/plugin.h"
#include "toolbox/cf/plugin_com.h"
#include "toolbox/cf/string.h"
#include "toolbox/cf/text_encoding.h"
#include "toolbox/cf/url.h"
#include "toolbox/cf/uuid.h"
