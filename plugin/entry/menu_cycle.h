// The work done before each contextual menu opens and after it closes.
#pragma once

#include "toolbox/appleevents/descriptors.h"
#include "toolbox/cf/bundle.h"
#include "toolbox/events/events.h"

extern AEDesc gSavedContext;
extern EventHandlerRef gMenuHandlerRef;
extern CFBundleRef gPluginBundle;
extern Boolean gForceAll;
extern Str31 gPluginTitle;  // up to 29 bytes of text and a NUL that belongs to the title

// Front processes in which the plug-in never adds its item.
extern const OSType kExcludedHosts[4];

OSStatus ExamineContext(void* thisInstance, const AEDesc* inContext, AEDescList* outCommandPairs);
void PostMenuCleanup(void* thisInstance);
void DisposeSavedContext();
Boolean IsHostExcluded();

void AddCommandPair(ConstStr255Param name, SInt32 commandID, AEDescList* list);
void AddSubmenuPair(AEDescList* list, ConstStr255Param name, const AEDescList* submenu);

// Loads a localized title and ends it with a NUL counted in its length, so that the item
// showing it can be told from a file item of the same name.
void LoadTaggedTitle(CFBundleRef bundle, CFStringRef key, CFIndex bufferSize,
                     ConstStr255Param fallback, StringPtr out);

// Fills submenus when they are pointed at and carries out the chosen command.
OSStatus MenuEventHandler(EventHandlerCallRef caller, EventRef event, void* userData);
void HandleMenuTarget(EventRef event, const AEDesc* context);
OSStatus HandleMenuCommand(EventRef event);
