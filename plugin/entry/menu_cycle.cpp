#include "plugin/entry/menu_cycle.h"

#include "plugin/entry/plugin_instance.h"
#include "plugin/menu/menu_pool.h"
#include "plugin/prefs/preferences.h"
#include "toolbox/cf/string.h"
#include "toolbox/core/errors.h"
#include "toolbox/core/pascal.h"
#include "toolbox/files/files.h"

AEDesc gSavedContext = {typeNull, nullptr};
EventHandlerRef gMenuHandlerRef = nullptr;
CFBundleRef gPluginBundle = nullptr;
Boolean gForceAll = false;
Str31 gPluginTitle;

namespace {

// "Vantorel" and its NUL.
constexpr unsigned char kTitleFallback[] = {9, 'V', 'a', 'n', 't', 'o', 'r', 'e', 'l', 0};
constexpr CFIndex kTitleBufferSize = 30;
constexpr SInt32 kPlaceholderCommand = 1;

}  // namespace

void DisposeSavedContext() {
  if (gSavedContext.descriptorType == typeNull) return;
  AEDisposeDesc(&gSavedContext);
  gSavedContext.descriptorType = typeNull;
  gSavedContext.dataHandle = nullptr;
}

OSStatus ExamineContext(void* thisInstance, const AEDesc* inContext, AEDescList* outCommandPairs) {
  auto* instance = static_cast<PluginInstance*>(thisInstance);

  DisposeSavedContext();
  gMenuHandlerRef = nullptr;
  if (!inContext || inContext->descriptorType == typeNull) return noErr;

  // Only item 1 is examined; the root submenu tells the user about anything else.
  // A short typeFSS item would leave part of the FSSpec unset: it is no file.
  FSSpec item = {};
  AEKeyword keyword;
  DescType actualType;
  Size actualSize = 0;
  if (AEGetNthPtr(inContext, 1, typeFSS, &keyword, &actualType, &item, sizeof item, &actualSize) !=
          noErr ||
      actualSize != sizeof item) {
    return noErr;
  }
  FSRef ref;
  if (FSpMakeFSRef(&item, &ref) != noErr) return noErr;

  if (IsHostExcluded()) return noErr;
  LoadPreferences();

  if (GetCurrentKeyModifiers() == alphaLock) {
    gForceAll = true;
  } else {
    if (!(gPrefs[kPrefsMenuByte] & (kPrefShowCommands | kPrefShowContents))) return noErr;
    gForceAll = false;
  }

  gPluginBundle = instance->bundle;

  for (int k = 0; k < kPoolSize; ++k) CreateNewMenu(0, 0, &gMenuPool[k]);

  LoadTaggedTitle(gPluginBundle, CFSTR("Plugin name"), kTitleBufferSize, kTitleFallback,
                  gPluginTitle);

  AEDescList placeholder;
  AECreateList(nullptr, 0, false, &placeholder);
  AddCommandPair(tb::PStr(" "), kPlaceholderCommand, &placeholder);
  AddSubmenuPair(outCommandPairs, gPluginTitle, &placeholder);
  AEDisposeDesc(&placeholder);

  AEDuplicateDesc(inContext, &gSavedContext);

  static const EventTypeSpec kMenuEvents[] = {
      {kEventClassCommand, kEventCommandProcess},
      {kEventClassMenu, kEventMenuTargetItem},
  };
  InstallEventHandler(GetApplicationEventTarget(), NewEventHandlerUPP(MenuEventHandler), 2,
                      kMenuEvents, &gSavedContext, &gMenuHandlerRef);
  return noErr;
}

void PostMenuCleanup(void* thisInstance) {
  if (!gMenuHandlerRef) return;
  RemoveEventHandler(gMenuHandlerRef);
  gMenuHandlerRef = nullptr;
  for (int k = 0; k < kPoolSize; ++k) {
    DisposeMenu(gMenuPool[k]);
    gMenuPool[k] = nullptr;
  }
}
