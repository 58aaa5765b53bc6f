// Items on a temporary system disk, a stand-in Finder that records what it is asked, and ways
// to read back an item's catalog state.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/plugin/finder/recording_finder.h"
#include "tests/support/plugin_fixture.h"
#include "toolbox/files/files.h"

namespace tb::test {

// One request as the Finder got it: "class/id name-of-direct-object".
inline std::string Describe(const AppleEvent& event) {
  auto code = [](OSType value) {
    std::string text(4, ' ');
    for (int i = 0; i < 4; ++i) text[i] = static_cast<char>(value >> (24 - 8 * i));
    return text;
  };
  FSSpec spec{};
  std::string name = "<none>";
  if (AEGetParamPtr(&event, keyDirectObject, typeFSS, nullptr, &spec, sizeof spec, nullptr) ==
      noErr) {
    name = FSSpecNameOf(spec);
  }
  return code(EventClassOf(event)) + "/" + code(EventIDOf(event)) + " " + name;
}

class InfoFixture : public PluginFixture {
 protected:
  void SetUp() override {
    PluginFixture::SetUp();
    BeFrontProcess('hOST');  // the stand-in alone answers to 'MACS'
    ASSERT_TRUE(finder_.Start(root() / "received"));
  }
  void TearDown() override {
    finder_.Stop();
    PluginFixture::TearDown();
  }

  // The requests the Finder got since the last call.
  std::vector<std::string> Requests() {
    std::vector<AppleEvent> events = finder_.Sync();
    std::vector<std::string> out;
    for (const AppleEvent& event : events) out.push_back(Describe(event));
    RecordingFinder::Dispose(events);
    return out;
  }
  static std::vector<std::string> Update(const std::string& name) { return {"fndr/fupd " + name}; }

  // The catalog record of an item, read by name; ioResult holds the lookup's result.
  static CInfoPBRec CatInfo(const FSSpec& item) {
    static Str255 name;
    std::copy(item.name, item.name + 64, name);
    CInfoPBRec pb{};
    pb.hFileInfo.ioNamePtr = name;
    pb.hFileInfo.ioVRefNum = item.vRefNum;
    pb.hFileInfo.ioDirID = item.parID;
    pb.hFileInfo.ioResult = PBGetCatInfoSync(&pb);
    return pb;
  }
  static UInt16 FlagsOf(const FSSpec& item) { return CatInfo(item).hFileInfo.ioFlFndrInfo.fdFlags; }
  static bool IsLocked(const FSSpec& item) {
    return (CatInfo(item).hFileInfo.ioFlAttrib & kioFlAttribLockedMask) != 0;
  }
  static bool Exists(const FSSpec& item) { return CatInfo(item).hFileInfo.ioResult == noErr; }
  static void SetFlags(const FSSpec& item, UInt16 flags) {
    CInfoPBRec pb = CatInfo(item);
    ASSERT_EQ(pb.hFileInfo.ioResult, noErr);
    pb.hFileInfo.ioFlFndrInfo.fdFlags = flags;
    pb.hFileInfo.ioDirID = item.parID;
    ASSERT_EQ(PBSetCatInfoSync(&pb), noErr);
  }
  static UInt64 ResourceForkSize(const FSSpec& item) {
    FSRef ref;
    FSCatalogInfo info{};
    if (FSpMakeFSRef(&item, &ref) != noErr) return ~UInt64{0};
    FSGetCatalogInfo(&ref, kFSCatInfoRsrcSizes, &info, nullptr, nullptr, nullptr);
    return info.rsrcLogicalSize;
  }
  static void WriteResourceFork(const FSSpec& item, const std::string& bytes) {
    SInt16 ref;
    ASSERT_EQ(FSpOpenRF(&item, fsRdWrPerm, &ref), noErr);
    long count = static_cast<long>(bytes.size());
    ASSERT_EQ(FSWrite(ref, &count, bytes.data()), noErr);
    FSClose(ref);
  }

  RecordingFinder finder_;
};

}  // namespace tb::test
