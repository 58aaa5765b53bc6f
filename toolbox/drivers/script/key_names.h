// Modifier keys by name, as a script writes them: "none", or names joined with '+' from
// "cmd", "shift", "caps", "option", "control".
#pragma once

#include <string>
#include <string_view>

#include "toolbox/core/types.h"

namespace tb::drivers::script {

// False for an unknown name or an empty part.
bool ParseModifiers(std::string_view text, UInt32* modifiers);
// The names of the keys in `modifiers`, in the order above, or "none".
std::string ModifiersText(UInt32 modifiers);

}  // namespace tb::drivers::script
