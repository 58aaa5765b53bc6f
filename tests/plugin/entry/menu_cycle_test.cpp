// The menu cycle's own state, with the plug-in's code linked into the test.
#include <gtest/gtest.h>

#include "plugin/entry/menu_cycle.h"
#include "plugin/entry/plugin_instance.h"
#include "plugin/menu/menu_pool.h"
#include "plugin/prefs/preferences.h"
#include "tests/support/plugin_fixture.h"
#include "toolbox/cf/url.h"
#include "toolbox/core/errors.h"

namespace {

class MenuCycle : public tb::test::PluginFixture {
 protected:
  void SetUp() override {
    PluginFixture::SetUp();
    CFURLRef url = tb::CFURLFromPath(installedBundle(), true);
    bundle_ = CFBundleCreate(nullptr, url);
    CFRelease(url);
    instance_ = AbstractCMPluginFactory(nullptr, kContextualMenuTypeID);
    folder_ = MakeFolder("Users/Shared/Work");
    AECreateList(nullptr, 0, false, &pairs_);
  }
  void TearDown() override {
    PostMenuCleanup(instance_);
    DisposeSavedContext();
    AEDisposeDesc(&pairs_);
    Release(instance_);
    CFRelease(bundle_);
    PluginFixture::TearDown();
  }

  long PairCount() {
    long n = 0;
    AECountItems(&pairs_, &n);
    return n;
  }
  bool PoolExists() {
    for (MenuRef m : gMenuPool) {
      if (m) return true;
    }
    return false;
  }

  CFBundleRef bundle_ = nullptr;
  void* instance_ = nullptr;
  FSSpec folder_;
  AEDescList pairs_;
};

TEST_F(MenuCycle, ContextsWithoutAnItemAddNothingAndInstallNothing) {
  AEDesc text;
  AECreateDesc(typeChar, "selected words", 14, &text);
  AEDesc nullDesc = {typeNull, nullptr};
  AEDescList shortSpec;  // a typeFSS item too short to be an FSSpec
  AECreateList(nullptr, 0, false, &shortSpec);
  AEPutPtr(&shortSpec, 0, typeFSS, &folder_, 6);
  const AEDesc* contexts[] = {nullptr, &nullDesc, &text, &shortSpec};
  for (const AEDesc* context : contexts) {
    EXPECT_EQ(ExamineContext(instance_, context, &pairs_), noErr);
    EXPECT_EQ(PairCount(), 0);
    EXPECT_EQ(gMenuHandlerRef, nullptr);
    EXPECT_FALSE(PoolExists());
    PostMenuCleanup(instance_);  // nothing to clean up
    EXPECT_FALSE(PoolExists());
  }
  AEDisposeDesc(&text);
  AEDisposeDesc(&shortSpec);
}

TEST_F(MenuCycle, AddedItemLeavesTheCycleActive) {
  EXPECT_EQ(ExamineContext(instance_, &Context({folder_}), &pairs_), noErr);
  EXPECT_EQ(PairCount(), 1);
  EXPECT_NE(gMenuHandlerRef, nullptr);
  for (MenuRef m : gMenuPool) {
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(CountMenuItems(m), 0);
  }
  EXPECT_EQ(gSavedContext.descriptorType, static_cast<DescType>(typeAEList));
  EXPECT_FALSE(gForceAll);
  EXPECT_EQ(gPluginBundle, bundle_);

  PostMenuCleanup(instance_);
  EXPECT_EQ(gMenuHandlerRef, nullptr);
  EXPECT_FALSE(PoolExists());
  // The context outlives the cycle until the next one begins.
  EXPECT_EQ(gSavedContext.descriptorType, static_cast<DescType>(typeAEList));
  ExamineContext(instance_, nullptr, &pairs_);
  EXPECT_EQ(gSavedContext.descriptorType, static_cast<DescType>(typeNull));
  EXPECT_EQ(gSavedContext.dataHandle, nullptr);
}

TEST_F(MenuCycle, ExcludedHostReadsNoPreferences) {
  BeFrontProcess('XCEL');
  WritePrefs({0xFF, 0xFF, 0xFF, 0xFF});
  ExamineContext(instance_, &Context({folder_}), &pairs_);
  EXPECT_EQ(PairCount(), 0);
  EXPECT_EQ(gPrefs[0] | gPrefs[1] | gPrefs[2] | gPrefs[3], 0);
}

TEST_F(MenuCycle, CapsLockAloneForcesBothSections) {
  WritePrefs({0x3F, 0x00, 0x00, 0x00});
  tb::events::SetCurrentKeyModifiers(alphaLock);
  ExamineContext(instance_, &Context({folder_}), &pairs_);
  EXPECT_EQ(PairCount(), 1);
  EXPECT_TRUE(gForceAll);
  EXPECT_EQ(gPrefs[0], 0x3F);  // the stored record was read first
}

TEST_F(MenuCycle, CommandPairHoldsTheTitleAndThePlaceholderPair) {
  ExamineContext(instance_, &Context({folder_}), &pairs_);
  AERecord pair;
  AEKeyword keyword;
  ASSERT_EQ(AEGetNthDesc(&pairs_, 1, typeAERecord, &keyword, &pair), noErr);
  char name[64];
  DescType type;
  Size size;
  ASSERT_EQ(AEGetParamPtr(&pair, keyAEName, typeChar, &type, name, sizeof name, &size), noErr);
  EXPECT_EQ(std::string(name, size), std::string("Vantorel\0", 9));

  AEDescList submenu;
  ASSERT_EQ(AEGetParamDesc(&pair, keyContextualMenuSubmenu, typeAEList, &submenu), noErr);
  long count = 0;
  AECountItems(&submenu, &count);
  ASSERT_EQ(count, 1);
  AERecord placeholder;
  AEGetNthDesc(&submenu, 1, typeAERecord, &keyword, &placeholder);
  ASSERT_EQ(AEGetParamPtr(&placeholder, keyAEName, typeChar, &type, name, sizeof name, &size),
            noErr);
  EXPECT_EQ(std::string(name, size), " ");
  SInt32 command = 0;
  ASSERT_EQ(AEGetParamPtr(&placeholder, keyContextualMenuCommandID, typeLongInteger, &type,
                          &command, sizeof command, &size),
            noErr);
  EXPECT_EQ(command, 1);
  AEDisposeDesc(&placeholder);
  AEDisposeDesc(&submenu);
  AEDisposeDesc(&pair);
}

}  // namespace
