// The menu event dispatcher, driven by the menu-tracking events a host sends during one menu
// cycle: submenus filled when pointed at, file items opened through the Finder and recorded.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "plugin/entry/menu_cycle.h"
#include "plugin/entry/plugin_instance.h"
#include "plugin/menu/file_item.h"
#include "plugin/menu/menu_pool.h"
#include "plugin/prefs/preferences.h"
#include "tests/plugin/finder/recording_finder.h"
#include "tests/support/plugin_fixture.h"
#include "toolbox/aliases/alias_file.h"
#include "toolbox/cf/string.h"
#include "toolbox/cf/url.h"
#include "toolbox/core/errors.h"
#include "toolbox/core/pascal.h"
#include "toolbox/menus/menu_model.h"

namespace {

namespace fs = std::filesystem;
using tb::menus::SendCommandProcess;
using tb::menus::SendTargetItem;
using tb::test::RecordingFinder;
using ::testing::ElementsAre;

const std::string kRecentText("Recent Items\0", 13);
const std::string kNothing = "Nothing to show";

std::string TextOf(MenuRef menu, MenuItemIndex index) {
  CFStringRef text = nullptr;
  CopyMenuItemTextAsCFString(menu, index, &text);
  std::string out = tb::Utf8FromCFString(text);
  if (text) CFRelease(text);
  return out;
}

std::vector<std::string> Texts(MenuRef menu) {
  std::vector<std::string> texts;
  for (MenuItemIndex i = 1; i <= CountMenuItems(menu); ++i) texts.push_back(TextOf(menu, i));
  return texts;
}

// The index of the item with this text; 0 when there is none.
MenuItemIndex Find(MenuRef menu, const std::string& text) {
  for (MenuItemIndex i = 1; i <= CountMenuItems(menu); ++i) {
    if (TextOf(menu, i) == text) return i;
  }
  return 0;
}

MenuRef SubmenuOf(MenuRef menu, MenuItemIndex index) {
  MenuRef submenu = nullptr;
  GetMenuItemHierarchicalMenu(menu, index, &submenu);
  return submenu;
}

class MenuDispatch : public tb::test::PluginFixture {
 protected:
  void SetUp() override {
    PluginFixture::SetUp();
    CFURLRef url = tb::CFURLFromPath(installedBundle(), true);
    bundle_ = CFBundleCreate(nullptr, url);
    CFRelease(url);
    instance_ = AbstractCMPluginFactory(nullptr, kContextualMenuTypeID);
    folder_ = MakeFolder("Users/Shared/Work");
    MakeFolder("Users/Shared/Work/Sub");
    MakeFile("Users/Shared/Work/Sub/deep.txt");
    notes_ = MakeFile("Users/Shared/Work/notes.txt", "notes");
  }
  void TearDown() override {
    RecordingFinder::Dispose(events_);
    finder_.Stop();
    PostMenuCleanup(instance_);
    DisposeSavedContext();
    if (host_) DisposeMenu(host_);
    AEDisposeDesc(&pairs_);
    Release(instance_);
    CFRelease(bundle_);
    PluginFixture::TearDown();
  }

  // ExamineContext for the folder, then the host's menu: its own item, then the plug-in's.
  void OpenCycle() {
    AECreateList(nullptr, 0, false, &pairs_);
    ASSERT_EQ(ExamineContext(instance_, &Context({folder_}), &pairs_), noErr);
    ASSERT_NE(gMenuHandlerRef, nullptr);
    CreateNewMenu(0, 0, &host_);
    AppendMenuItemTextWithCFString(host_, CFSTR("Host Command"), 0, 'hOST', nullptr);
    AppendMenuItemText(host_, gPluginTitle);
    pluginItem_ = 2;
  }
  // Points at the plug-in's item and returns the root submenu.
  MenuRef PointAtPlugin() {
    EXPECT_EQ(SendTargetItem(host_, pluginItem_), eventNotHandledErr);
    return SubmenuOf(host_, pluginItem_);
  }
  // The pool menu `k` holding one file item for `item`; returns its index.
  MenuItemIndex PutItem(int k, const FSSpec& item, bool offerSubmenu, bool viaAlias = false) {
    auto index = static_cast<MenuItemIndex>(CountMenuItems(gMenuPool[k]) + 1);
    EXPECT_TRUE(AppendFileItem(gMenuPool[k], index, &item, offerSubmenu, viaAlias));
    return index;
  }
  bool ContextKept() { return gSavedContext.descriptorType == typeAEList; }

  CFBundleRef bundle_ = nullptr;
  void* instance_ = nullptr;
  FSSpec folder_{}, notes_{};
  AEDescList pairs_{typeNull, nullptr};
  MenuRef host_ = nullptr;
  MenuItemIndex pluginItem_ = 0;
  RecordingFinder finder_;
  std::vector<AppleEvent> events_;
};

TEST_F(MenuDispatch, ThePluginsItemGetsTheRootSubmenuEveryTime) {
  OpenCycle();
  EXPECT_EQ(SubmenuOf(host_, pluginItem_), nullptr);
  MenuRef root = PointAtPlugin();
  ASSERT_EQ(root, gMenuPool[kPoolRoot]);
  std::vector<std::string> first = Texts(root);
  EXPECT_NE(Find(root, kRecentText), 0);
  EXPECT_NE(Find(root, "Sub"), 0);
  EXPECT_NE(Find(root, "notes.txt"), 0);

  // Again in the same cycle: rebuilt, not appended to; a new entry shows.
  MakeFile("Users/Shared/Work/later.txt");
  EXPECT_EQ(PointAtPlugin(), gMenuPool[kPoolRoot]);
  std::vector<std::string> second = Texts(root);
  EXPECT_EQ(second.size(), first.size() + 1);
  EXPECT_NE(Find(root, "later.txt"), 0);

  // The host's own item is left alone.
  EXPECT_EQ(SendTargetItem(host_, 1), eventNotHandledErr);
  EXPECT_EQ(SubmenuOf(host_, 1), nullptr);
}

TEST_F(MenuDispatch, RecentItemsAndFolderItemsOfTheRootFillPoolMenuTwo) {
  OpenCycle();
  MenuRef root = PointAtPlugin();
  MenuItemIndex recent = Find(root, kRecentText);
  ASSERT_NE(recent, 0);
  EXPECT_EQ(SubmenuOf(root, recent), gMenuPool[kPoolPlaceholder]);
  EXPECT_EQ(SendTargetItem(root, recent), eventNotHandledErr);
  EXPECT_EQ(SubmenuOf(root, recent), gMenuPool[2]);
  EXPECT_THAT(Texts(gMenuPool[2]), ElementsAre(kNothing));

  MenuItemIndex sub = Find(root, "Sub");
  ASSERT_NE(sub, 0);
  EXPECT_EQ(SendTargetItem(root, sub), eventNotHandledErr);
  EXPECT_EQ(SubmenuOf(root, sub), gMenuPool[2]);
  EXPECT_THAT(Texts(gMenuPool[2]), ElementsAre("deep.txt"));
}

TEST_F(MenuDispatch, AFolderItemOfPoolMenuKListsIntoTheNext) {
  OpenCycle();
  FSSpec sub = SpecOf(disk() / "Users/Shared/Work/Sub");
  for (int k : {1, 3, 24}) {
    MenuItemIndex index = PutItem(k, sub, true);
    EXPECT_EQ(SendTargetItem(gMenuPool[k], index), eventNotHandledErr);
    EXPECT_EQ(SubmenuOf(gMenuPool[k], index), gMenuPool[k + 1]) << k;
    EXPECT_THAT(Texts(gMenuPool[k + 1]), ElementsAre("deep.txt")) << k;
  }
}

TEST_F(MenuDispatch, TheDeepestPoolMenuKeepsItsPlaceholder) {
  OpenCycle();
  FSSpec sub = SpecOf(disk() / "Users/Shared/Work/Sub");
  MenuItemIndex index = PutItem(kPoolDeepest, sub, true);
  EXPECT_EQ(SendTargetItem(gMenuPool[kPoolDeepest], index), eventNotHandledErr);
  EXPECT_EQ(SubmenuOf(gMenuPool[kPoolDeepest], index), gMenuPool[kPoolPlaceholder]);
  for (MenuRef m : gMenuPool) {
    if (m != gMenuPool[kPoolDeepest]) {
      EXPECT_EQ(CountMenuItems(m), 0);
    }
  }
}

TEST_F(MenuDispatch, ItemsThatOpenNoSubmenuBuildNothing) {
  OpenCycle();
  FSSpec sub = SpecOf(disk() / "Users/Shared/Work/Sub");
  MenuItemIndex file = PutItem(3, notes_, false);
  gPrefs[kPrefsMenuByte] &= static_cast<UInt8>(~kPrefFolderSubmenus);
  MenuItemIndex plainFolder = PutItem(3, sub, true);  // appended without a submenu
  gPrefs[kPrefsMenuByte] |= kPrefFolderSubmenus;
  AppendMenuItemTextWithCFString(gMenuPool[3], CFSTR("A message"), 0, 0, nullptr);
  for (MenuItemIndex index : {file, plainFolder, MenuItemIndex{3}}) {
    EXPECT_EQ(SendTargetItem(gMenuPool[3], index), eventNotHandledErr);
    EXPECT_EQ(SubmenuOf(gMenuPool[3], index), nullptr) << index;
    EXPECT_EQ(CountMenuItems(gMenuPool[4]), 0) << index;
  }
}

TEST_F(MenuDispatch, AnAliasToAFolderListsItsTargetThroughAChain) {
  OpenCycle();
  FSSpec target = MakeFolder("Users/Shared/Target");
  MakeFile("Users/Shared/Target/inside.txt");
  FSSpec first{}, second{};
  ASSERT_EQ(FSMakeFSSpec(target.vRefNum, target.parID, tb::PStr("first alias"), &first), fnfErr);
  ASSERT_EQ(tb::aliases::MakeAliasFile(target, first), noErr);
  ASSERT_EQ(FSMakeFSSpec(target.vRefNum, target.parID, tb::PStr("second alias"), &second), fnfErr);
  ASSERT_EQ(tb::aliases::MakeAliasFile(first, second), noErr);

  MenuItemIndex index = PutItem(3, second, true, true);
  EXPECT_EQ(SendTargetItem(gMenuPool[3], index), eventNotHandledErr);
  EXPECT_EQ(SubmenuOf(gMenuPool[3], index), gMenuPool[4]);
  EXPECT_THAT(Texts(gMenuPool[4]), ElementsAre("inside.txt"));
}

TEST_F(MenuDispatch, AFolderDeletedAfterListingBuildsAndOpensNothing) {
  ASSERT_TRUE(finder_.Start(root() / "received"));
  OpenCycle();
  FSSpec gone = MakeFolder("Users/Shared/Gone");
  MenuItemIndex index = PutItem(3, gone, true);
  fs::remove_all(disk() / "Users/Shared/Gone");

  EXPECT_EQ(SendTargetItem(gMenuPool[3], index), eventNotHandledErr);
  EXPECT_EQ(SubmenuOf(gMenuPool[3], index), gMenuPool[kPoolPlaceholder]);
  EXPECT_EQ(CountMenuItems(gMenuPool[4]), 0);

  ASSERT_TRUE(ContextKept());
  EXPECT_EQ(SendCommandProcess(gMenuPool[3], index), noErr);  // handled all the same
  EXPECT_EQ(gSavedContext.descriptorType, static_cast<DescType>(typeNull));
  events_ = finder_.Sync();
  EXPECT_TRUE(events_.empty());
  FSSpec recents;
  SInt16 vRefNum;
  SInt32 dirID;
  ASSERT_EQ(FindFolder(kOnSystemDisk, kPreferencesFolderType, kCreateFolder, &vRefNum, &dirID),
            noErr);
  EXPECT_EQ(FSMakeFSSpec(vRefNum, dirID, tb::PStr("Vantorel Recents"), &recents), fnfErr);
}

TEST_F(MenuDispatch, CommandsThatAreNotThePluginsArePassedOn) {
  OpenCycle();
  EXPECT_EQ(SendCommandProcess(host_, 1), eventNotHandledErr);  // the host's own item
  EXPECT_TRUE(ContextKept());
  // The plug-in's placeholder pair and its preferences command are not carried out here.
  MenuRef root = PointAtPlugin();
  MenuItemIndex prefs = 0;
  for (MenuItemIndex i = 1; i <= CountMenuItems(root); ++i) {
    MenuCommand command = 0;
    GetMenuItemCommandID(root, i, &command);
    if (command == kCommandShowPrefs) prefs = i;
  }
  ASSERT_NE(prefs, 0);
  EXPECT_EQ(SendCommandProcess(root, prefs), eventNotHandledErr);
  EXPECT_TRUE(ContextKept());
}

TEST_F(MenuDispatch, AFileNamedLikeTheRecentItemsTitleIsAFileItem) {
  MakeFile("Users/Shared/Work/Recent Items");
  MakeFile("Users/Shared/Work/Vantorel");
  OpenCycle();
  MenuRef root = PointAtPlugin();
  for (const char* name : {"Recent Items", "Vantorel"}) {
    MenuItemIndex index = Find(root, name);
    ASSERT_NE(index, 0) << name;
    EXPECT_EQ(SendTargetItem(root, index), eventNotHandledErr);
    EXPECT_EQ(SubmenuOf(root, index), nullptr) << name;
    EXPECT_EQ(CountMenuItems(gMenuPool[2]), 0) << name;
    EXPECT_EQ(SubmenuOf(host_, pluginItem_), gMenuPool[kPoolRoot]);
  }
}

TEST_F(MenuDispatch, NoRecentItemsTitleYetMatchesNoEmptyItem) {
  gRecentTitle[0] = 0;  // no root submenu has been built in this process
  OpenCycle();
  AppendMenuItemTextWithCFString(host_, CFSTR(""), 0, 0, nullptr);
  EXPECT_EQ(SendTargetItem(host_, 3), eventNotHandledErr);
  EXPECT_EQ(SubmenuOf(host_, 3), nullptr);
  EXPECT_EQ(CountMenuItems(gMenuPool[2]), 0);
}

TEST_F(MenuDispatch, ChoosingAFileItemOpensItThroughTheFinderAndRecordsIt) {
  ASSERT_TRUE(finder_.Start(root() / "received"));
  FSSpec alias{};
  ASSERT_EQ(FSMakeFSSpec(notes_.vRefNum, notes_.parID, tb::PStr("notes alias"), &alias), fnfErr);
  ASSERT_EQ(tb::aliases::MakeAliasFile(notes_, alias), noErr);
  OpenCycle();
  MenuRef root = PointAtPlugin();

  for (const char* name : {"notes.txt", "notes alias"}) {
    MenuItemIndex index = Find(root, name);
    ASSERT_NE(index, 0) << name;
    if (!ContextKept()) AEDuplicateDesc(&Context({folder_}), &gSavedContext);
    EXPECT_EQ(SendCommandProcess(root, index), noErr);
    EXPECT_EQ(gSavedContext.descriptorType, static_cast<DescType>(typeNull));

    RecordingFinder::Dispose(events_);
    events_ = finder_.Sync();
    ASSERT_EQ(events_.size(), 1u) << name;
    EXPECT_EQ(tb::test::EventClassOf(events_[0]), static_cast<OSType>('aevt'));
    EXPECT_EQ(tb::test::EventIDOf(events_[0]), static_cast<OSType>('odoc'));
    FSSpec sent{};
    ASSERT_EQ(
        AEGetParamPtr(&events_[0], keyDirectObject, typeFSS, nullptr, &sent, sizeof sent, nullptr),
        noErr);
    EXPECT_EQ(tb::test::FSSpecNameOf(sent), name);  // an alias file goes as itself
  }

  // Both recorded, newest first; the Recent Items submenu shows them (the alias as its
  // target).
  MenuItemIndex recent = Find(root, kRecentText);
  ASSERT_NE(recent, 0);
  SendTargetItem(root, recent);
  EXPECT_THAT(Texts(gMenuPool[2]), ElementsAre("notes.txt", "notes.txt"));
  FSSpec first{};
  ASSERT_TRUE(ReadFileItem(gMenuPool[2], 1, &first));
  EXPECT_EQ(tb::test::FSSpecNameOf(first), "notes.txt");

  // Choosing from the Recent Items submenu counts as well.
  AEDuplicateDesc(&Context({folder_}), &gSavedContext);
  EXPECT_EQ(SendCommandProcess(gMenuPool[2], 1), noErr);
  RecordingFinder::Dispose(events_);
  events_ = finder_.Sync();
  EXPECT_EQ(events_.size(), 1u);
}

}  // namespace
