// The plug-in's pictures, registered from its bundle's resource file.
#include <gtest/gtest.h>

#include "plugin/entry/menu_cycle.h"
#include "plugin/prefs/bundle_icons.h"
#include "tests/support/plugin_fixture.h"
#include "toolbox/cf/url.h"
#include "toolbox/core/errors.h"

namespace {

class BundleIcons : public tb::test::PluginFixture {
 protected:
  void SetUp() override {
    PluginFixture::SetUp();
    CFURLRef url = tb::CFURLFromPath(installedBundle(), true);
    gPluginBundle = CFBundleCreate(nullptr, url);
    CFRelease(url);
  }
  void TearDown() override {
    CFRelease(gPluginBundle);
    gPluginBundle = nullptr;
    PluginFixture::TearDown();
  }
};

TEST_F(BundleIcons, OnePictureRegistersUnderTwoTypes) {
  IconRef recent = nullptr;
  IconRef image = nullptr;
  RegisterBundleIcon(131, 'OfRE', &recent);
  RegisterBundleIcon(131, 'imGR', &image);
  ASSERT_NE(recent, nullptr);
  ASSERT_NE(image, nullptr);
  EXPECT_TRUE(IsValidIconRef(recent));
  EXPECT_TRUE(IsValidIconRef(image));
  auto a = tb::icons::FamilyData(recent);
  auto b = tb::icons::FamilyData(image);
  ASSERT_GT(a.size(), 8u);
  EXPECT_TRUE(std::equal(a.begin(), a.end(), b.begin(), b.end()));
  ReleaseIconRef(recent);
  ReleaseIconRef(image);

  // Controls name the picture by creator and type after the caller has let go.
  for (OSType type : {OSType{'OfRE'}, OSType{'imGR'}}) {
    IconRef found = nullptr;
    EXPECT_TRUE(tb::icons::Lookup(kBundleIconCreator, type, &found));
    EXPECT_NE(found, nullptr);
  }
}

TEST_F(BundleIcons, EveryPictureOfTheBundleRegisters) {
  for (SInt16 id : {121, 122, 123, 124, 125, 126, 127, 128, 129, 131,
                    132, 133, 134, 135, 136, 137, 138, 139, 140, 141}) {
    IconRef icon = nullptr;
    RegisterBundleIcon(id, 'TEST', &icon);
    ASSERT_NE(icon, nullptr) << id;
    ReleaseIconRef(icon);
  }
}

TEST_F(BundleIcons, MissingPictureGivesNoIconRef) {
  IconRef icon = nullptr;
  RegisterBundleIcon(130, 'none', &icon);
  EXPECT_EQ(icon, nullptr);
  IconRef found = nullptr;
  EXPECT_FALSE(tb::icons::Lookup(kBundleIconCreator, 'none', &found));
}

}  // namespace
