// Menu items hold their own reference to an IconRef, as on the original platform: the Menu
// Manager asks Icon Services through its retain hooks, installed when the library loads.
#include "toolbox/icons/icons.h"
#include "toolbox/menus/menu_model.h"

namespace {

void AcquireMenuIcon(void* icon) {
  AcquireIconRef(static_cast<IconRef>(icon));
}

void ReleaseMenuIcon(void* icon) {
  ReleaseIconRef(static_cast<IconRef>(icon));
}

// The Menu Manager's hooks are constant-initialised, so this may run before or after its file.
const bool kMenuHooksInstalled =
    (tb::menus::SetIconRetainHooks(AcquireMenuIcon, ReleaseMenuIcon), true);

}  // namespace
