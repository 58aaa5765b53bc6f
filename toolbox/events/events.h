// Carbon Event Manager: events with typed parameters, event targets and their handler chains,
// the keyboard modifier state.
#pragma once

#include "toolbox/cf/base.h"
#include "toolbox/core/desc_types.h"
#include "toolbox/core/errors.h"
#include "toolbox/core/types.h"

typedef struct OpaqueEventRef* EventRef;
typedef struct OpaqueEventTargetRef* EventTargetRef;
typedef struct OpaqueEventHandlerRef* EventHandlerRef;
typedef struct OpaqueEventHandlerCallRef* EventHandlerCallRef;
typedef struct OpaqueMenuRef* MenuRef;
typedef UInt16 MenuItemIndex;
typedef UInt32 MenuCommand;

typedef OSType EventParamName;
typedef OSType EventParamType;
typedef UInt32 EventAttributes;
typedef double EventTime;
typedef EventTime EventTimeout;
typedef EventTime EventTimerInterval;

typedef OSStatus (*EventHandlerProcPtr)(EventHandlerCallRef inHandlerCallRef, EventRef inEvent,
                                        void* inUserData);
typedef EventHandlerProcPtr EventHandlerUPP;

typedef struct EventTypeSpec {
  UInt32 eventClass;
  UInt32 eventKind;
} EventTypeSpec;

typedef struct HICommand {
  UInt32 attributes;
  UInt32 commandID;
  struct {
    MenuRef menuRef;
    MenuItemIndex menuItemIndex;
  } menu;
} HICommand;

// Command IDs the toolbox itself knows. The application target's standard handler quits the
// event loop on kHICommandQuit.
enum : UInt32 {
  kHICommandOK = 'ok  ',
  kHICommandCancel = 'not!',
  kHICommandQuit = 'quit',
  kHICommandAbout = 'abou',
  kHICommandClose = 'clos',
};

enum { kHICommandFromMenu = 1 << 0, kHICommandFromControl = 1 << 1, kHICommandFromWindow = 1 << 2 };

enum { kEventAttributeNone = 0, kEventAttributeUserEvent = 1 << 0 };

constexpr EventTime kEventDurationSecond = 1.0;
constexpr EventTime kEventDurationMillisecond = kEventDurationSecond / 1000;
constexpr EventTime kEventDurationMicrosecond = kEventDurationSecond / 1000000;
constexpr EventTime kEventDurationNanosecond = kEventDurationSecond / 1000000000;
constexpr EventTime kEventDurationMinute = kEventDurationSecond * 60;
constexpr EventTime kEventDurationHour = kEventDurationMinute * 60;
constexpr EventTime kEventDurationDay = kEventDurationHour * 24;
constexpr EventTime kEventDurationNoWait = 0.0;
constexpr EventTime kEventDurationForever = -1.0;

// Event classes.
enum : UInt32 {
  kEventClassMouse = 'mous',
  kEventClassKeyboard = 'keyb',
  kEventClassTextInput = 'text',
  kEventClassApplication = 'appl',
  kEventClassAppleEvent = 'eppc',
  kEventClassMenu = 'menu',
  kEventClassWindow = 'wind',
  kEventClassControl = 'cntl',
  kEventClassCommand = 'cmds',
  kEventClassHIObject = 'hiob',
  kEventClassToolbar = 'tbar',
  kEventClassToolbarItem = 'tbit',
};

// Event kinds, by class.
enum : UInt32 {
  kEventCommandProcess = 1,
  kEventCommandUpdateStatus = 2,
};
enum : UInt32 {
  kEventMenuBeginTracking = 1,
  kEventMenuEndTracking = 2,
  kEventMenuOpening = 4,
  kEventMenuClosed = 5,
  kEventMenuTargetItem = 14,
};
enum : UInt32 {
  kEventWindowDrawContent = 2,
  kEventWindowActivated = 5,
  kEventWindowDeactivated = 6,
  kEventWindowBoundsChanged = 27,
  kEventWindowClose = 72,
  kEventWindowClosed = 73,
};
enum : UInt32 { kEventControlHit = 1, kEventControlDraw = 4 };
enum : UInt32 {
  kEventHIObjectConstruct = 1,
  kEventHIObjectInitialize = 2,
  kEventHIObjectDestruct = 3,
};
enum : UInt32 {
  kEventToolbarGetDefaultIdentifiers = 1,
  kEventToolbarGetAllowedIdentifiers = 2,
  kEventToolbarCreateItemWithIdentifier = 3,
};
enum : UInt32 {
  kEventRawKeyDown = 1,
  kEventRawKeyRepeat = 2,
  kEventRawKeyUp = 3,
  kEventRawKeyModifiersChanged = 4,
};
enum : UInt32 { kEventAppActivated = 1, kEventAppDeactivated = 2, kEventAppQuit = 3 };

// Parameter names.
enum : EventParamName {
  kEventParamDirectObject = '----',
  kEventParamMenuItemIndex = 'item',
  kEventParamMenuCommand = 'mcmd',
  kEventParamMenuRef = 'menu',
  kEventParamKeyModifiers = 'kmod',
  kEventParamKeyCode = 'kcod',
  kEventParamKeyMacCharCodes = 'kchr',
  kEventParamAttributes = 'attr',
  kEventParamWindowRef = 'wind',
  kEventParamControlRef = 'ctrl',
  kEventParamControlPart = 'cprt',
  kEventParamHIObjectInstance = 'hioi',
  kEventParamToolbar = 'tbar',
  kEventParamToolbarItem = 'tbit',
  kEventParamToolbarItemIdentifier = 'tbii',
  kEventParamMutableArray = 'marr',
};

// Parameter types (the descriptor types shared with Apple events are in desc_types.h).
enum : EventParamType {
  typeHICommand = 'hcmd',
  typeMenuRef = 'menu',
  typeMenuItemIndex = 'midx',
  typeMenuCommand = 'mcmd',
  typeWindowRef = 'wind',
  typeControlRef = 'ctrl',
  typeControlPartCode = 'cprt',
  typeHIObjectRef = 'hiob',
  typeHIToolbarRef = 'tbar',
  typeHIToolbarItemRef = 'tbit',
  typeEventRef = 'evrf',
};

// Keyboard modifiers, as GetCurrentKeyModifiers and kEventParamKeyModifiers report them.
enum : UInt32 {
  cmdKeyBit = 8,
  shiftKeyBit = 9,
  alphaLockBit = 10,
  optionKeyBit = 11,
  controlKeyBit = 12,
  cmdKey = 1 << cmdKeyBit,
  shiftKey = 1 << shiftKeyBit,
  alphaLock = 1 << alphaLockBit,
  optionKey = 1 << optionKeyBit,
  controlKey = 1 << controlKeyBit,
};

// Events. `when` 0 stands for now.
OSStatus CreateEvent(CFAllocatorRef allocator, UInt32 eventClass, UInt32 kind, EventTime when,
                     EventAttributes flags, EventRef* outEvent);
EventRef CopyEvent(EventRef event);
EventRef RetainEvent(EventRef event);
void ReleaseEvent(EventRef event);
ItemCount GetEventRetainCount(EventRef event);
UInt32 GetEventClass(EventRef event);
UInt32 GetEventKind(EventRef event);
EventTime GetEventTime(EventRef event);
EventTime GetCurrentEventTime();

// Parameters are stored as raw bytes with their type; reference-counted values (CFStrings,
// menus) are not retained by the event.
OSStatus SetEventParameter(EventRef event, EventParamName name, EventParamType type, UInt32 size,
                           const void* data);
OSStatus GetEventParameter(EventRef event, EventParamName name, EventParamType desiredType,
                           EventParamType* outActualType, UInt32 bufferSize, UInt32* outActualSize,
                           void* outData);

// Targets and handlers.
EventTargetRef GetApplicationEventTarget();
EventHandlerUPP NewEventHandlerUPP(EventHandlerProcPtr proc);
void DisposeEventHandlerUPP(EventHandlerUPP upp);
OSStatus InstallEventHandler(EventTargetRef target, EventHandlerUPP handler, ItemCount numTypes,
                             const EventTypeSpec* list, void* userData, EventHandlerRef* outRef);
OSStatus InstallApplicationEventHandler(EventHandlerUPP handler, ItemCount numTypes,
                                        const EventTypeSpec* list, void* userData,
                                        EventHandlerRef* outRef);
OSStatus RemoveEventHandler(EventHandlerRef handler);
OSStatus AddEventTypesToHandler(EventHandlerRef handler, ItemCount numTypes,
                                const EventTypeSpec* list);
OSStatus RemoveEventTypesFromHandler(EventHandlerRef handler, ItemCount numTypes,
                                     const EventTypeSpec* list);
OSStatus SendEventToEventTarget(EventRef event, EventTargetRef target);
OSStatus CallNextEventHandler(EventHandlerCallRef callRef, EventRef event);

UInt32 GetCurrentKeyModifiers();

namespace tb::events {
// The modifier state a screen driver (or a test) reports.
void SetCurrentKeyModifiers(UInt32 modifiers);
}  // namespace tb::events
