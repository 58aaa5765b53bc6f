#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <map>
#include <tuple>
#include <vector>

#include "plugin/prefs/preferences.h"
#include "tests/support/temp_system_disk.h"
#include "toolbox/core/memory.h"
#include "toolbox/core/pascal.h"
#include "toolbox/files/files.h"
#include "toolbox/resources/resources.h"

namespace {

using Bytes = std::array<UInt8, 4>;

Bytes Prefs() {
  return {gPrefs[0], gPrefs[1], gPrefs[2], gPrefs[3]};
}
void SetPrefs(Bytes b) {
  std::memcpy(gPrefs, b.data(), 4);
}

class Preferences : public tb::test::TempSystemDisk {
 protected:
  FSSpec PrefsFile() {
    SInt16 vRefNum;
    SInt32 dirID;
    EXPECT_EQ(
        FindFolder(kOnSystemDisk, kPreferencesFolderType, kDontCreateFolder, &vRefNum, &dirID),
        noErr);
    FSSpec spec;
    FSMakeFSSpec(vRefNum, dirID, tb::PStr("Vantorel Preferences"), &spec);
    return spec;
  }

  // Writes a preferences file holding the given resources, as another writer might have.
  void WritePrefsFile(const std::vector<std::tuple<ResType, SInt16, std::vector<UInt8>>>& rsrcs) {
    FSSpec spec = PrefsFile();
    FSpCreateResFile(&spec, 'QVRL', 'pref', smSystemScript);
    ASSERT_EQ(ResError(), noErr);
    SInt16 file = FSpOpenResFile(&spec, fsRdWrPerm);
    ASSERT_EQ(ResError(), noErr);
    for (const auto& [type, id, data] : rsrcs) {
      Handle h = tb::NewHandleWith(data.data(), static_cast<Size>(data.size()));
      AddResource(h, type, id, tb::PStr(""));
      ASSERT_EQ(ResError(), noErr);
    }
    CloseResFile(file);
  }

  // Every resource of the preferences file: type, ID, name and data.
  struct Stored {
    ResType type;
    SInt16 id;
    std::string name;
    std::vector<UInt8> data;
  };
  std::vector<Stored> ReadPrefsFile(std::initializer_list<ResType> types) {
    std::vector<Stored> found;
    FSSpec spec = PrefsFile();
    SInt16 file = FSpOpenResFile(&spec, fsRdPerm);
    EXPECT_EQ(ResError(), noErr);
    UseResFile(file);
    for (ResType type : types) {
      for (SInt16 i = 1; i <= Count1Resources(type); ++i) {
        Handle h = Get1IndResource(type, i);
        SInt16 id;
        ResType t;
        Str255 name;
        GetResInfo(h, &id, &t, name);
        found.push_back({t, id, std::string(tb::PascalView(name)),
                         std::vector<UInt8>(*h, *h + GetHandleSize(h))});
      }
    }
    CloseResFile(file);
    return found;
  }
};

TEST_F(Preferences, NoFileGivesTheDefaults) {
  LoadPreferences();
  EXPECT_EQ(Prefs(), (Bytes{0xF9, 0x00, 0x00, 0x00}));
}

TEST_F(Preferences, ResetKeepsTheReservedBitAndBytes) {
  SetPrefs({0x00, 0xFF, 0x12, 0x34});
  ResetPreferences();
  EXPECT_EQ(Prefs(), (Bytes{0xF9, 0x01, 0x12, 0x34}));
}

TEST_F(Preferences, StoredRecordIsDecodedBitByBit) {
  WritePrefsFile({{'pref', 1, {0x00, 0xFE, 0x00, 0x00}}});
  LoadPreferences();

  struct Bit {
    int byte;
    UInt8 mask;
    bool set;
  };
  const Bit bits[] = {
      {0, kPrefShowCommands, false},     {0, kPrefShowContents, false},
      {0, kPrefFolderSubmenus, false},   {0, kPrefResolveAliases, false},
      {0, kPrefItalicAliases, false},    {0, kPrefShowInvisibles, false},
      {0, kPrefPackageSubmenus, false},  {0, kPrefShowIcons, false},
      {1, kPrefStyleSymlinks, true},     {1, kPrefBoldApplications, true},
      {1, kPrefHideRecentItems, true},   {1, kPrefPrefsToolbarHidden, true},
      {1, kPrefInfoToolbarHidden, true},
  };
  for (const Bit& b : bits) {
    EXPECT_EQ((gPrefs[b.byte] & b.mask) != 0, b.set)
        << "byte " << b.byte << " mask " << int(b.mask);
  }
  EXPECT_EQ(gPrefs[1] & kPrefRecentCountMask, kPrefRecentCountMask);  // 20 items
}

TEST_F(Preferences, OnlyTheFirstFourBytesOfALongerResourceAreUsed) {
  WritePrefsFile({{'pref', 1, {0x80, 0x40, 0xAA, 0xBB, 0xCC, 0xDD}}});
  LoadPreferences();
  EXPECT_EQ(Prefs(), (Bytes{0x80, 0x40, 0xAA, 0xBB}));
}

TEST_F(Preferences, AShortResourceIsUsedAsFarAsItGoes) {
  WritePrefsFile({{'pref', 1, {0x40}}});
  LoadPreferences();
  EXPECT_EQ(Prefs(), (Bytes{0x40, 0x00, 0x00, 0x00}));
}

TEST_F(Preferences, SaveCreatesTheFileWithOneFourByteResource) {
  SetPrefs({0xC1, 0x18, 0x00, 0x07});
  SavePreferences();

  FSSpec spec = PrefsFile();
  FInfo info;
  ASSERT_EQ(FSpGetFInfo(&spec, &info), noErr);
  EXPECT_EQ(info.fdType, static_cast<OSType>('pref'));
  EXPECT_EQ(info.fdCreator, static_cast<OSType>('QVRL'));

  auto stored = ReadPrefsFile({'pref'});
  ASSERT_EQ(stored.size(), 1u);
  EXPECT_EQ(stored[0].id, 1);
  EXPECT_EQ(stored[0].name, "");
  EXPECT_EQ(stored[0].data, (std::vector<UInt8>{0xC1, 0x18, 0x00, 0x07}));

  SetPrefs({0, 0, 0, 0});
  LoadPreferences();
  EXPECT_EQ(Prefs(), (Bytes{0xC1, 0x18, 0x00, 0x07}));
}

TEST_F(Preferences, SaveReplacesItsResourceAndLeavesOthersAlone) {
  WritePrefsFile({{'pref', 1, {0x00, 0x00, 0x00, 0x00}},
                  {'pref', 2, {0x01, 0x02}},
                  {'STR ', 128, {3, 'a', 'b', 'c'}}});
  SetPrefs({0xF9, 0x20, 0x00, 0x00});
  SavePreferences();
  SavePreferences();

  auto stored = ReadPrefsFile({'pref', 'STR '});
  ASSERT_EQ(stored.size(), 3u);
  std::map<std::pair<ResType, SInt16>, std::vector<UInt8>> byKey;
  for (const auto& s : stored) byKey[{s.type, s.id}] = s.data;
  using Key = std::pair<ResType, SInt16>;
  EXPECT_EQ(byKey[Key('pref', 1)], (std::vector<UInt8>{0xF9, 0x20, 0x00, 0x00}));
  EXPECT_EQ(byKey[Key('pref', 2)], (std::vector<UInt8>{0x01, 0x02}));
  EXPECT_EQ(byKey[Key('STR ', 128)], (std::vector<UInt8>{3, 'a', 'b', 'c'}));
}

TEST_F(Preferences, AnotherOpenResourceFileDoesNotStandInForOurs) {
  // A host keeps its own resource file open; its 'pref' 1 is not ours to read.
  FSSpec hostFile;
  SInt16 vRefNum;
  SInt32 dirID;
  FindFolder(kOnSystemDisk, kPreferencesFolderType, kDontCreateFolder, &vRefNum, &dirID);
  FSMakeFSSpec(vRefNum, dirID, tb::PStr("Host Resources"), &hostFile);
  FSpCreateResFile(&hostFile, 'HOST', 'rsrc', smSystemScript);
  SInt16 host = FSpOpenResFile(&hostFile, fsRdWrPerm);
  ASSERT_EQ(ResError(), noErr);
  std::vector<UInt8> foreign = {0x00, 0x00, 0x00, 0x00};
  AddResource(tb::NewHandleWith(foreign.data(), 4), 'pref', 1, tb::PStr(""));
  UpdateResFile(host);

  WritePrefsFile({{'STR ', 128, {0}}});  // our file, without 'pref' 1
  UseResFile(host);
  LoadPreferences();
  EXPECT_EQ(Prefs(), (Bytes{0xF9, 0x00, 0x00, 0x00}));
  CloseResFile(host);
}

}  // namespace
