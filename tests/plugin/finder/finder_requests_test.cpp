// The requests sent to the Finder, as a Finder process receives them.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>

#include "finder/finder_requests.h"
#include "tests/plugin/finder/recording_finder.h"
#include "tests/support/plugin_fixture.h"
#include "toolbox/core/errors.h"

namespace {

using tb::test::AddressTypeOf;
using tb::test::EventClassOf;
using tb::test::EventIDOf;
using tb::test::FSSpecNameOf;
using tb::test::ParamTypeOf;
using tb::test::RecordingFinder;

class FinderRequests : public tb::test::PluginFixture {
 protected:
  void SetUp() override {
    PluginFixture::SetUp();
    BeFrontProcess('hOST');  // the Finder alone answers to 'MACS'
    doc_ = MakeFile("Users/Shared/doc.txt", "text");
    app_ = MakeFolder("Applications/Editor.app");
    folder_ = MakeFolder("Users/Shared/Box");
  }
  void TearDown() override {
    RecordingFinder::Dispose(events_);
    finder_.Stop();
    PluginFixture::TearDown();
  }

  void StartFinder() { ASSERT_TRUE(finder_.Start(root() / "received")); }
  // The one event the Finder got since the last call (the test fails on any other count).
  const AppleEvent& OnlyEvent() {
    RecordingFinder::Dispose(events_);
    events_ = finder_.Sync();
    EXPECT_EQ(events_.size(), 1u);
    static AppleEvent none{typeNull, nullptr};
    return events_.empty() ? none : events_[0];
  }
  static std::string NameParam(const AppleEvent& event, AEKeyword key) {
    FSSpec spec{};
    if (AEGetParamPtr(&event, key, typeFSS, nullptr, &spec, sizeof spec, nullptr) != noErr) {
      return "<none>";
    }
    return FSSpecNameOf(spec);
  }
  static bool ReplyWanted(const AppleEvent& event) {
    Boolean wanted = true;
    AEGetAttributePtr(&event, keyReplyRequestedAttr, typeBoolean, nullptr, &wanted, sizeof wanted,
                      nullptr);
    return wanted;
  }
  ProcessSerialNumber AddressedProcess(const AppleEvent& event) {
    ProcessSerialNumber psn{};
    AEGetAttributePtr(&event, keyAddressAttr, typeProcessSerialNumber, nullptr, &psn, sizeof psn,
                      nullptr);
    return psn;
  }
  OSType AddressedSignature(const AppleEvent& event) {
    OSType signature = 0;
    AEGetAttributePtr(&event, keyAddressAttr, typeApplSignature, nullptr, &signature,
                      sizeof signature, nullptr);
    return signature;
  }
  bool IsFront(const ProcessSerialNumber& psn) {
    ProcessSerialNumber front{};
    Boolean same = false;
    GetFrontProcess(&front);
    SameProcess(&front, &psn, &same);
    return same;
  }
  AEDescList ItemList(std::initializer_list<FSSpec> items) {
    AEDescList list;
    AECreateList(nullptr, 0, false, &list);
    for (const FSSpec& item : items) AEPutPtr(&list, 0, typeFSS, &item, sizeof item);
    return list;
  }
  std::vector<std::string> ListNames(const AppleEvent& event) {
    std::vector<std::string> names;
    AEDescList list{typeNull, nullptr};
    if (AEGetParamDesc(&event, keyDirectObject, typeAEList, &list) != noErr) return names;
    long count = 0;
    AECountItems(&list, &count);
    for (long i = 1; i <= count; ++i) {
      FSSpec spec{};
      AEKeyword key;
      DescType type;
      Size size;
      AEGetNthPtr(&list, i, typeFSS, &key, &type, &spec, sizeof spec, &size);
      EXPECT_EQ(type, static_cast<DescType>(typeFSS));
      names.push_back(FSSpecNameOf(spec));
    }
    AEDisposeDesc(&list);
    return names;
  }

  RecordingFinder finder_;
  std::vector<AppleEvent> events_;
  FSSpec doc_{}, app_{}, folder_{};
};

TEST_F(FinderRequests, FindsTheFinderByTypeAndSignature) {
  ProcessSerialNumber psn{};
  EXPECT_FALSE(FindFinderProcess(&psn));  // only this process, signature 'hOST'
  StartFinder();
  ASSERT_TRUE(FindFinderProcess(&psn));
  Boolean same = false;
  ProcessSerialNumber expected = finder_.psn();
  SameProcess(&psn, &expected, &same);
  EXPECT_TRUE(same);
}

TEST_F(FinderRequests, OpenWithFinderGoesToItsProcessAndBringsItForward) {
  StartFinder();
  OpenWithFinder(&doc_);
  const AppleEvent& event = OnlyEvent();
  EXPECT_EQ(EventClassOf(event), static_cast<OSType>('aevt'));
  EXPECT_EQ(EventIDOf(event), static_cast<OSType>('odoc'));
  EXPECT_EQ(AddressTypeOf(event), static_cast<DescType>(typeProcessSerialNumber));
  ProcessSerialNumber addressed = AddressedProcess(event), finder = finder_.psn();
  Boolean same = false;
  SameProcess(&addressed, &finder, &same);
  EXPECT_TRUE(same);
  EXPECT_EQ(ParamTypeOf(event, keyDirectObject), static_cast<DescType>(typeFSS));
  EXPECT_EQ(NameParam(event, keyDirectObject), "doc.txt");
  EXPECT_FALSE(ReplyWanted(event));
  EXPECT_TRUE(IsFront(finder));
}

// SendFinderEvent: any class and ID, by signature, nothing brought forward.
TEST_F(FinderRequests, SendFinderEventAddressesTheSignature) {
  StartFinder();
  struct {
    AEEventClass eventClass;
    AEEventID id;
  } const requests[] = {{'aevt', 'odoc'}, {'misc', 'mvis'}, {'fndr', 'fupd'}};
  for (const auto& r : requests) {
    SendFinderEvent(r.eventClass, r.id, &doc_);
    const AppleEvent& event = OnlyEvent();
    EXPECT_EQ(EventClassOf(event), r.eventClass);
    EXPECT_EQ(EventIDOf(event), r.id);
    EXPECT_EQ(AddressTypeOf(event), static_cast<DescType>(typeApplSignature));
    EXPECT_EQ(AddressedSignature(event), static_cast<OSType>('MACS'));
    EXPECT_EQ(ParamTypeOf(event, keyDirectObject), static_cast<DescType>(typeFSS));
    EXPECT_EQ(NameParam(event, keyDirectObject), "doc.txt");
    EXPECT_FALSE(ReplyWanted(event));
  }
  EXPECT_FALSE(IsFront(finder_.psn()));
}

TEST_F(FinderRequests, OpenItemUsingThroughTheFinder) {
  StartFinder();
  struct {
    const FSSpec* application;
    const FSSpec* item;
    const char* direct;
    const char* usingApp;  // "<none>": no 'usin'
  } const cases[] = {
      {&app_, &doc_, "doc.txt", "Editor.app"},
      {nullptr, &doc_, "doc.txt", "<none>"},
      {&folder_, nullptr, "Box", "<none>"},  // no item: the "application" (a folder) opens
  };
  for (const auto& c : cases) {
    OpenItemUsing(c.application, c.item, nullptr);
    const AppleEvent& event = OnlyEvent();
    EXPECT_EQ(EventClassOf(event), static_cast<OSType>('aevt'));
    EXPECT_EQ(EventIDOf(event), static_cast<OSType>('odoc'));
    EXPECT_EQ(AddressTypeOf(event), static_cast<DescType>(typeProcessSerialNumber));
    EXPECT_EQ(NameParam(event, keyDirectObject), c.direct);
    EXPECT_EQ(NameParam(event, keyAEUsing), c.usingApp);
    if (std::string(c.usingApp) != "<none>") {
      EXPECT_EQ(ParamTypeOf(event, keyAEUsing), static_cast<DescType>(typeFSS));
    }
  }
  EXPECT_FALSE(IsFront(finder_.psn()));
}

TEST_F(FinderRequests, OpenItemUsingARunningProcessGoesToThatProcess) {
  StartFinder();  // it stands for the running application here
  ProcessSerialNumber process = finder_.psn();
  OpenItemUsing(&app_, &doc_, &process);
  const AppleEvent& event = OnlyEvent();
  EXPECT_EQ(EventIDOf(event), static_cast<OSType>('odoc'));
  EXPECT_EQ(AddressTypeOf(event), static_cast<DescType>(typeProcessSerialNumber));
  EXPECT_EQ(NameParam(event, keyDirectObject), "doc.txt");
  EXPECT_EQ(ParamTypeOf(event, keyAEUsing), static_cast<DescType>(typeNull));
  EXPECT_TRUE(IsFront(process));
}

TEST_F(FinderRequests, DeleteAndCopyCarryAListOfItems) {
  StartFinder();
  AEDescList items = ItemList({doc_, app_});
  DeleteWithFinder(&items);
  {
    const AppleEvent& event = OnlyEvent();
    EXPECT_EQ(EventClassOf(event), static_cast<OSType>('core'));
    EXPECT_EQ(EventIDOf(event), static_cast<OSType>('delo'));
    EXPECT_EQ(AddressedSignature(event), static_cast<OSType>('MACS'));
    EXPECT_EQ(ParamTypeOf(event, keyDirectObject), static_cast<DescType>(typeAEList));
    EXPECT_EQ(ListNames(event), (std::vector<std::string>{"doc.txt", "Editor.app"}));
    EXPECT_FALSE(ReplyWanted(event));
  }
  CopyWithFinder(&items, &folder_);
  {
    const AppleEvent& event = OnlyEvent();
    EXPECT_EQ(EventClassOf(event), static_cast<OSType>('core'));
    EXPECT_EQ(EventIDOf(event), static_cast<OSType>('clon'));
    EXPECT_EQ(AddressedSignature(event), static_cast<OSType>('MACS'));
    EXPECT_EQ(ParamTypeOf(event, keyDirectObject), static_cast<DescType>(typeAEList));
    EXPECT_EQ(ListNames(event), (std::vector<std::string>{"doc.txt", "Editor.app"}));
    EXPECT_EQ(ParamTypeOf(event, keyAEInsertHere), static_cast<DescType>(typeFSS));
    EXPECT_EQ(NameParam(event, keyAEInsertHere), "Box");
  }
  AEDisposeDesc(&items);
  EXPECT_FALSE(IsFront(finder_.psn()));
}

// With no Finder every request ends at once and quietly, the front process untouched.
TEST_F(FinderRequests, NoFinderRunningEndsQuickly) {
  ProcessSerialNumber self{};
  GetCurrentProcess(&self);
  AEDescList items = ItemList({doc_});
  auto start = std::chrono::steady_clock::now();
  OpenWithFinder(&doc_);
  SendFinderEvent('misc', 'mvis', &doc_);
  OpenItemUsing(&app_, &doc_, nullptr);
  OpenItemUsing(nullptr, &folder_, nullptr);
  DeleteWithFinder(&items);
  CopyWithFinder(&items, &folder_);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_TRUE(IsFront(self));
  AEDisposeDesc(&items);
}

// A Finder that has died (its registry entry and socket left behind) is no Finder either.
TEST_F(FinderRequests, AFinderThatDiedIsPassedOver) {
  StartFinder();
  pid_t dead = finder_.pid();
  kill(dead, SIGKILL);
  finder_.Stop();
  ProcessSerialNumber psn{};
  EXPECT_FALSE(FindFinderProcess(&psn));
  OpenWithFinder(&doc_);  // goes nowhere
}

}  // namespace
