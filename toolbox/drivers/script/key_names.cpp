#include "toolbox/drivers/script/key_names.h"

#include "toolbox/events/events.h"

namespace tb::drivers::script {
namespace {

struct KeyName {
  std::string_view name;
  UInt32 mask;
};

constexpr KeyName kKeys[] = {
    {"cmd", cmdKey},       {"shift", shiftKey},     {"caps", alphaLock},
    {"option", optionKey}, {"control", controlKey},
};

}  // namespace

bool ParseModifiers(std::string_view text, UInt32* modifiers) {
  if (text == "none") {
    *modifiers = 0;
    return true;
  }
  UInt32 result = 0;
  while (true) {
    size_t plus = text.find('+');
    std::string_view part = text.substr(0, plus);
    bool known = false;
    for (const KeyName& key : kKeys) {
      if (part == key.name) {
        result |= key.mask;
        known = true;
      }
    }
    if (!known) return false;
    if (plus == std::string_view::npos) break;
    text.remove_prefix(plus + 1);
  }
  *modifiers = result;
  return true;
}

std::string ModifiersText(UInt32 modifiers) {
  std::string text;
  for (const KeyName& key : kKeys) {
    if (!(modifiers & key.mask)) continue;
    if (!text.empty()) text += '+';
    text += key.name;
  }
  return text.empty() ? "none" : text;
}

}  // namespace tb::drivers::script
