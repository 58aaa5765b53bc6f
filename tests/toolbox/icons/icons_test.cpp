// Icon Services: registering 'icns' families, reference counts, system icons and the icons of
// real files on a temporary system disk.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>

#include "tests/support/temp_system_disk.h"
#include "toolbox/core/memory.h"
#include "toolbox/icons/icon_family.h"
#include "toolbox/icons/icons.h"
#include "toolbox/resources/resources.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;
using tb::test::PutBE32;

constexpr OSType kCreator = 'qVRL';

// A real 16-pixel family: 'is32' (each channel one colour, run-length coded as 130 + 126 pixels)
// and its 's8mk' mask.
Bytes SmallFamily(unsigned char red) {
  Bytes is32;
  for (unsigned char value :
       {red, static_cast<unsigned char>(0x40), static_cast<unsigned char>(0x80)}) {
    is32.insert(is32.end(), {0xFF, value, 0xFB, value});
  }
  Bytes mask(256, 0xFF);
  Bytes out;
  PutBE32(out, 'icns');
  PutBE32(out, 8 + 8 + is32.size() + 8 + mask.size());
  PutBE32(out, 'is32');
  PutBE32(out, 8 + is32.size());
  out.insert(out.end(), is32.begin(), is32.end());
  PutBE32(out, 's8mk');
  PutBE32(out, 8 + mask.size());
  out.insert(out.end(), mask.begin(), mask.end());
  return out;
}

Handle HandleOf(const Bytes& bytes) {
  return tb::NewHandleWith(bytes.data(), static_cast<Size>(bytes.size()));
}

Bytes FamilyOf(IconRef icon) {
  auto data = tb::icons::FamilyData(icon);
  return Bytes(data.begin(), data.end());
}

UInt16 OwnersOf(IconRef icon) {
  UInt16 owners = 0;
  EXPECT_EQ(GetIconRefOwners(icon, &owners), noErr);
  return owners;
}

Bytes SystemFamily(OSType type) {
  IconRef icon = nullptr;
  EXPECT_EQ(GetIconRef(kOnSystemDisk, kSystemIconsCreator, type, &icon), noErr);
  Bytes family = FamilyOf(icon);
  ReleaseIconRef(icon);
  return family;
}

TEST(IconRegistry, RegisteredIconOutlivesTheCallersReferenceAndTheHandle) {
  Bytes family = SmallFamily(0xC0);
  family.insert(family.end(), {1, 2, 3});  // bytes past the family's length are not part of it
  Handle h = HandleOf(family);
  IconRef icon = nullptr;
  ASSERT_EQ(RegisterIconRefFromIconFamily(kCreator, 'OfRE', h, &icon), noErr);
  DisposeHandle(h);
  EXPECT_EQ(OwnersOf(icon), 2);  // the caller and the registry
  ASSERT_EQ(ReleaseIconRef(icon), noErr);
  EXPECT_TRUE(IsValidIconRef(icon));

  IconRef found = nullptr;
  ASSERT_EQ(GetIconRef(0, kCreator, 'OfRE', &found), noErr);
  EXPECT_EQ(FamilyOf(found), Bytes(family.begin(), family.end() - 3));
  EXPECT_EQ(OwnersOf(found), 2);
  ReleaseIconRef(found);
  IconRef looked = nullptr;
  EXPECT_TRUE(tb::icons::Lookup(kCreator, 'OfRE', &looked));
  EXPECT_EQ(looked, found);
  EXPECT_EQ(OwnersOf(looked), 1);  // Lookup adds no reference
}

TEST(IconRegistry, OneFamilyUnderTwoTypesGivesTwoUsableIcons) {
  Bytes family = SmallFamily(0x11);
  Handle h = HandleOf(family);
  IconRef first = nullptr, second = nullptr;
  ASSERT_EQ(RegisterIconRefFromIconFamily(kCreator, 'OfRE', h, &first), noErr);
  ASSERT_EQ(RegisterIconRefFromIconFamily(kCreator, 'imGR', h, &second), noErr);
  DisposeHandle(h);
  EXPECT_NE(first, second);
  EXPECT_EQ(FamilyOf(first), family);
  EXPECT_EQ(FamilyOf(second), family);
  ReleaseIconRef(first);
  ReleaseIconRef(second);
  for (OSType type : {OSType('OfRE'), OSType('imGR')}) {
    IconRef icon = nullptr;
    ASSERT_EQ(GetIconRef(0, kCreator, type, &icon), noErr);
    EXPECT_EQ(FamilyOf(icon), family);
    ReleaseIconRef(icon);
  }
}

TEST(IconRegistry, ReRegisteringReplacesTheEntryAndHoldersKeepTheOldIcon) {
  Handle a = HandleOf(SmallFamily(1));
  Handle b = HandleOf(SmallFamily(2));
  IconRef old = nullptr, fresh = nullptr;
  ASSERT_EQ(RegisterIconRefFromIconFamily(kCreator, 'oPt0', a, &old), noErr);
  ASSERT_EQ(RegisterIconRefFromIconFamily(kCreator, 'oPt0', b, &fresh), noErr);
  EXPECT_NE(old, fresh);
  EXPECT_EQ(OwnersOf(old), 1);  // only its caller now
  EXPECT_EQ(FamilyOf(old), SmallFamily(1));
  IconRef found = nullptr;
  ASSERT_EQ(GetIconRef(0, kCreator, 'oPt0', &found), noErr);
  EXPECT_EQ(found, fresh);
  ReleaseIconRef(found);

  ASSERT_EQ(ReleaseIconRef(old), noErr);
  EXPECT_FALSE(IsValidIconRef(old));  // freed with its last reference
  EXPECT_EQ(ReleaseIconRef(old), invalidIconRefErr);
  EXPECT_EQ(AcquireIconRef(old), invalidIconRefErr);
  EXPECT_TRUE(tb::icons::FamilyData(old).empty());

  ASSERT_EQ(AcquireIconRef(fresh), noErr);
  EXPECT_EQ(OwnersOf(fresh), 3);
  ReleaseIconRef(fresh);
  ReleaseIconRef(fresh);
  ASSERT_EQ(UnregisterIconRef(kCreator, 'oPt0'), noErr);
  EXPECT_FALSE(IsValidIconRef(fresh));
  EXPECT_EQ(GetIconRef(0, kCreator, 'oPt0', &found), noSuchIconErr);
  DisposeHandle(a);
  DisposeHandle(b);
}

TEST(IconRegistry, DamagedFamiliesAreRefused) {
  const Bytes good = SmallFamily(3);
  auto patched = [&](size_t at, unsigned long value) {
    Bytes b = good;
    b[at] = value >> 24 & 0xFF, b[at + 1] = value >> 16 & 0xFF, b[at + 2] = value >> 8 & 0xFF,
    b[at + 3] = value & 0xFF;
    return b;
  };
  struct Case {
    const char* label;
    Bytes bytes;
  } cases[] = {
      {"wrong magic", patched(0, 'icnz')},
      {"length past the bytes", patched(4, good.size() + 1)},
      {"length below the header", patched(4, 4)},
      {"element past the family", patched(12, 0x7FFFFFF0)},
      {"element shorter than its header", patched(12, 7)},
      {"element header cut", Bytes{'i', 'c', 'n', 's', 0, 0, 0, 12, 'i', 's', '3', '2'}},
      {"no elements", patched(4, 8)},
      {"three bytes", Bytes{'i', 'c', 'n'}},
  };
  for (const Case& c : cases) {
    Handle h = HandleOf(c.bytes);
    IconRef icon = reinterpret_cast<IconRef>(1);
    EXPECT_EQ(RegisterIconRefFromIconFamily(kCreator, 'BAD ', h, &icon), noIconDataAvailableErr)
        << c.label;
    EXPECT_EQ(icon, nullptr) << c.label;
    DisposeHandle(h);
  }
  IconRef icon = nullptr;
  EXPECT_EQ(GetIconRef(0, kCreator, 'BAD ', &icon), noSuchIconErr);
  Handle empty = NewHandle(0);
  EXPECT_EQ(RegisterIconRefFromIconFamily(kCreator, 'BAD ', empty, &icon), noIconDataAvailableErr);
  DisposeHandle(empty);
  EXPECT_EQ(RegisterIconRefFromIconFamily(kCreator, 'BAD ', nullptr, &icon), paramErr);
}

TEST(IconRegistry, SystemIconsAreBuiltIn) {
  for (OSType type :
       {kAlertCautionIcon, kGenericFolderIcon, kGenericApplicationIcon, kGenericDocumentIcon,
        kVantorelGenericAliasIcon, kVantorelGenericPackageIcon}) {
    Bytes family = SystemFamily(type);
    auto elements = tb::icons::ParseIconFamily(family);
    ASSERT_TRUE(elements.has_value());
    std::vector<OSType> types;
    for (const auto& e : *elements) types.push_back(e.type);
    for (OSType wanted : {OSType('is32'), OSType('il32'), OSType('it32')}) {
      EXPECT_NE(std::find(types.begin(), types.end(), wanted), types.end());
    }
  }
  IconRef icon = nullptr;
  EXPECT_EQ(GetIconRef(kOnSystemDisk, kSystemIconsCreator, 'zzzz', &icon), noSuchIconErr);
  EXPECT_EQ(GetIconRef(kOnSystemDisk, 'othr', kAlertCautionIcon, &icon), noSuchIconErr);
}

class FileIcons : public tb::test::TempSystemDisk {
 public:
  FSSpec Spec(const fs::path& path) {
    FSRef ref{};
    EXPECT_EQ(FSPathMakeRef(reinterpret_cast<const UInt8*>(path.c_str()), &ref, nullptr), noErr);
    FSSpec spec{};
    EXPECT_EQ(FSGetCatalogInfo(&ref, kFSCatInfoNone, nullptr, nullptr, &spec, nullptr), noErr);
    return spec;
  }
  void SetFlags(const fs::path& path, UInt16 flags) {
    FSRef ref{};
    ASSERT_EQ(FSPathMakeRef(reinterpret_cast<const UInt8*>(path.c_str()), &ref, nullptr), noErr);
    FSCatalogInfo info{};
    ASSERT_EQ(FSGetCatalogInfo(&ref, kFSCatInfoFinderInfo, &info, nullptr, nullptr, nullptr),
              noErr);
    std::memcpy(info.finderInfo + 8, &flags, sizeof flags);
    ASSERT_EQ(FSSetCatalogInfo(&ref, kFSCatInfoFinderInfo, &info), noErr);
  }
  void AddCustomIcon(const fs::path& holder, const Bytes& family) {
    if (!fs::exists(holder)) tb::test::WriteText(holder, "");
    FSSpec spec = Spec(holder);
    FSpCreateResFile(&spec, 'ttxt', 'TEXT', smSystemScript);
    SInt16 file = FSpOpenResFile(&spec, fsRdWrPerm);
    ASSERT_EQ(ResError(), noErr);
    AddResource(HandleOf(family), 'icns', kCustomIconResource,
                reinterpret_cast<const unsigned char*>(""));
    ASSERT_EQ(ResError(), noErr);
    CloseResFile(file);
  }
  Bytes IconOf(const fs::path& path, SInt16* label = nullptr) {
    FSSpec spec = Spec(path);
    IconRef icon = nullptr;
    EXPECT_EQ(GetIconRefFromFile(&spec, &icon, label), noErr) << path;
    Bytes family = FamilyOf(icon);
    EXPECT_EQ(ReleaseIconRef(icon), noErr);
    return family;
  }
};

TEST_F(FileIcons, CustomIconFromTheResourceForkWhenTheFlagIsSet) {
  fs::path file = disk() / "painted.txt";
  tb::test::WriteText(file, "x");
  AddCustomIcon(file, SmallFamily(0x77));
  EXPECT_EQ(IconOf(file), SystemFamily(kGenericDocumentIcon));  // flag clear: generic
  SetFlags(file, kHasCustomIcon | 0x000C);
  SInt16 label = -1;
  EXPECT_EQ(IconOf(file, &label), SmallFamily(0x77));
  EXPECT_EQ(label, 6);

  fs::path folder = disk() / "Painted";
  fs::create_directory(folder);
  AddCustomIcon(folder / "Icon\r", SmallFamily(0x55));
  SetFlags(folder, kHasCustomIcon);
  EXPECT_EQ(IconOf(folder), SmallFamily(0x55));

  // A flag without a usable icon falls back to the generic one.
  fs::path bare = disk() / "bare";
  tb::test::WriteText(bare, "x");
  SetFlags(bare, kHasCustomIcon);
  EXPECT_EQ(IconOf(bare), SystemFamily(kGenericDocumentIcon));
}

TEST_F(FileIcons, GenericIconsByKind) {
  fs::create_directory(disk() / "Docs");
  fs::create_directory(disk() / "Tool.app");
  fs::create_directory(disk() / "Thing.plugin");
  tb::test::WriteText(disk() / "notes.txt", "x");
  tb::test::WriteText(disk() / "alias", "");
  SetFlags(disk() / "alias", kIsAlias);
  fs::create_symlink("notes.txt", disk() / "link");
  struct Case {
    const char* name;
    OSType icon;
  } cases[] = {
      {"Docs", kGenericFolderIcon},
      {"Tool.app", kGenericApplicationIcon},
      {"Thing.plugin", kVantorelGenericPackageIcon},
      {"notes.txt", kGenericDocumentIcon},
      {"alias", kVantorelGenericAliasIcon},
      {"link", kVantorelGenericAliasIcon},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IconOf(disk() / c.name), SystemFamily(c.icon)) << c.name;
  }
  FSSpec gone{};
  gone.vRefNum = kVantorelSystemDiskVRefNum;
  gone.parID = fsRtDirID;
  gone.name[0] = 4;
  std::memcpy(gone.name + 1, "gone", 4);
  IconRef icon = nullptr;
  EXPECT_EQ(GetIconRefFromFile(&gone, &icon, nullptr), fnfErr);
  EXPECT_EQ(icon, nullptr);
}

}  // namespace
