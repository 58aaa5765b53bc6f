#include <gtest/gtest.h>

#include "plugin/entry/plugin_instance.h"
#include "toolbox/cf/plugin.h"
#include "toolbox/cf/plugin_instances.h"
#include "toolbox/core/errors.h"

namespace {

constexpr CFUUIDBytes kOtherInterface = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06, 0x07, 0x08,
                                         0x09, 0x0A, 0x0B, 0x0C, 0x0D, 0x0E, 0x0F, 0x10};

PluginInstance* Create() {
  return static_cast<PluginInstance*>(AbstractCMPluginFactory(nullptr, kContextualMenuTypeID));
}

TEST(PluginFactory, OtherTypeMakesNothingAndRegistersNothing) {
  EXPECT_EQ(AbstractCMPluginFactory(nullptr, kContextualMenuInterfaceID), nullptr);
  EXPECT_EQ(AbstractCMPluginFactory(nullptr, IUnknownUUID), nullptr);
  EXPECT_EQ(tb::PlugInInstanceCount(kVantorelFactoryID), 0);
}

TEST(PluginFactory, NewInstanceIsRegisteredWithCountOne) {
  PluginInstance* instance = Create();
  ASSERT_NE(instance, nullptr);
  EXPECT_EQ(instance->interfaceTable, &gInterfaceTable);
  EXPECT_EQ(instance->refCount, 1u);
  EXPECT_TRUE(CFEqual(instance->factoryID, kVantorelFactoryID));
  EXPECT_EQ(tb::PlugInInstanceCount(kVantorelFactoryID), 1);
  EXPECT_EQ(Release(instance), 0u);
}

TEST(PluginFactory, BothInterfacesGiveTheSamePointerAndRaiseTheCount) {
  PluginInstance* instance = Create();
  void* asMenu = nullptr;
  void* asUnknown = nullptr;
  EXPECT_EQ(QueryInterface(instance, CFUUIDGetUUIDBytes(kContextualMenuInterfaceID), &asMenu),
            S_OK);
  EXPECT_EQ(instance->refCount, 2u);
  EXPECT_EQ(QueryInterface(instance, CFUUIDGetUUIDBytes(IUnknownUUID), &asUnknown), S_OK);
  EXPECT_EQ(instance->refCount, 3u);
  EXPECT_EQ(asMenu, instance);
  EXPECT_EQ(asUnknown, instance);
  Release(instance);
  Release(instance);
  Release(instance);
}

TEST(PluginFactory, OtherInterfaceIsRefusedAndLeavesTheCount) {
  PluginInstance* instance = Create();
  void* out = instance;
  EXPECT_EQ(QueryInterface(instance, kOtherInterface, &out), E_NOINTERFACE);
  EXPECT_EQ(static_cast<UInt32>(E_NOINTERFACE), 0x80000004u);
  EXPECT_EQ(out, nullptr);
  EXPECT_EQ(instance->refCount, 1u);
  Release(instance);
}

TEST(PluginFactory, HostCallingOrderLeavesOneReferenceThenFreesOnLastRelease) {
  PluginInstance* instance = Create();
  void* menuInterface = nullptr;
  QueryInterface(instance, CFUUIDGetUUIDBytes(kContextualMenuInterfaceID), &menuInterface);
  EXPECT_EQ(Release(instance), 1u);  // the creation reference
  EXPECT_EQ(instance->refCount, 1u);
  EXPECT_EQ(tb::PlugInInstanceCount(kVantorelFactoryID), 1);

  auto* table = *static_cast<ContextualMenuInterfaceStruct**>(menuInterface);
  EXPECT_EQ(table->Release(menuInterface), 0u);
  EXPECT_EQ(tb::PlugInInstanceCount(kVantorelFactoryID), 0);
}

TEST(PluginFactory, HandleSelectionDoesNothingForAnyCommand) {
  PluginInstance* instance = Create();
  for (SInt32 command : {1, 0, -1, static_cast<SInt32>('OfD%'), static_cast<SInt32>('OfPF')}) {
    EXPECT_EQ(HandleSelection(instance, nullptr, command), noErr);
  }
  EXPECT_EQ(instance->refCount, 1u);
  Release(instance);
}

}  // namespace
