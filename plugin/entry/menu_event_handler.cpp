#include "plugin/entry/menu_cycle.h"
#include "toolbox/core/errors.h"

// Until submenus are filled on demand, every event goes on to the host's own handlers.
OSStatus MenuEventHandler(EventHandlerCallRef caller, EventRef event, void* userData) {
  return eventNotHandledErr;
}
