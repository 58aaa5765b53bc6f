// Resource files on real files of a temporary system disk: the resource fork (in the
// AppleDouble sidecar) and maps kept in a data fork.
#include <gtest/gtest.h>

#include "tests/support/temp_system_disk.h"
#include "toolbox/core/memory.h"
#include "toolbox/core/pascal.h"
#include "toolbox/resources/resource_map.h"
#include "toolbox/resources/resource_open.h"
#include "toolbox/resources/resources.h"

namespace tb::resources {
namespace {

using Bytes = std::vector<unsigned char>;

class ResourceFiles : public tb::test::TempSystemDisk {
 protected:
  FSSpec Spec(const char* name) {
    Str255 pname;
    SetPascal(pname, sizeof pname, name);
    FSSpec spec{};
    OSErr err = FSMakeFSSpec(kVantorelSystemDiskVRefNum, fsRtDirID, pname, &spec);
    EXPECT_TRUE(err == noErr || err == fnfErr) << err;
    return spec;
  }

  // The resource fork's bytes, read through the File Manager.
  Bytes ResourceFork(const FSSpec& spec) {
    SInt16 ref = 0;
    if (FSpOpenRF(&spec, fsRdPerm, &ref) != noErr) return {};
    long size = 0;
    GetEOF(ref, &size);
    Bytes bytes(static_cast<size_t>(size));
    long count = size;
    if (size > 0) FSRead(ref, &count, bytes.data());
    FSClose(ref);
    bytes.resize(static_cast<size_t>(count));
    return bytes;
  }

  static Handle HandleOf(const Bytes& b) {
    return NewHandleWith(b.data(), static_cast<Size>(b.size()));
  }
  static Bytes Data(Handle h) { return h ? Bytes(*h, *h + GetHandleSize(h)) : Bytes{}; }
};

TEST_F(ResourceFiles, CreateWritesTheEmptyMapOnceWithTypeAndCreator) {
  FSSpec spec = Spec("Prefs");
  FSpCreateResFile(&spec, 'Vtrl', 'pref', smSystemScript);
  ASSERT_EQ(ResError(), noErr);
  FInfo info{};
  ASSERT_EQ(FSpGetFInfo(&spec, &info), noErr);
  EXPECT_EQ(info.fdType, static_cast<OSType>('pref'));
  EXPECT_EQ(info.fdCreator, static_cast<OSType>('Vtrl'));
  const Bytes empty = SerializeResourceFork(EmptyResourceMap()).value();
  EXPECT_EQ(ResourceFork(spec), empty);
  EXPECT_EQ(empty.size(), 286u);

  // Once there is a map, creating again changes nothing.
  SInt16 ref = FSpOpenResFile(&spec, fsRdWrPerm);
  ASSERT_NE(ref, -1);
  AddResource(HandleOf({1, 2}), 'pref', 1, nullptr);
  CloseResFile(ref);
  const Bytes withResource = ResourceFork(spec);
  FSpCreateResFile(&spec, 'XXXX', 'YYYY', smSystemScript);
  EXPECT_EQ(ResError(), dupFNErr);
  EXPECT_EQ(ResourceFork(spec), withResource);
  ASSERT_EQ(FSpGetFInfo(&spec, &info), noErr);
  EXPECT_EQ(info.fdType, static_cast<OSType>('pref'));
}

TEST_F(ResourceFiles, CreateAddsAMapToAnExistingFileWithoutTouchingItsData) {
  tb::test::WriteText(disk() / "Notes", "data fork");
  FSSpec spec = Spec("Notes");
  FSpCreateResFile(&spec, 'Vtrl', 'pref', smSystemScript);
  ASSERT_EQ(ResError(), noErr);
  EXPECT_EQ(ResourceFork(spec).size(), 286u);
  EXPECT_EQ(tb::test::ReadBytes(disk() / "Notes"),
            (Bytes{'d', 'a', 't', 'a', ' ', 'f', 'o', 'r', 'k'}));
}

TEST_F(ResourceFiles, RoundTripThroughAClosedFile) {
  FSSpec spec = Spec("Settings");
  FSpCreateResFile(&spec, 'Vtrl', 'pref', smSystemScript);
  SInt16 ref = FSpOpenResFile(&spec, fsRdWrPerm);
  ASSERT_NE(ref, -1);
  EXPECT_EQ(CurResFile(), ref);
  EXPECT_EQ(FSpOpenResFile(&spec, fsRdWrPerm), ref);  // the same file, the same number
  EXPECT_EQ(FSpDelete(&spec), fBsyErr);               // held open while the map is
  AddResource(HandleOf({0, 0, 0, 1}), 'pref', 1, nullptr);
  AddResource(HandleOf({'h', 'i'}), 'STR ', -4000, PStr("greeting"));
  ASSERT_EQ(ResError(), noErr);
  CloseResFile(ref);
  ASSERT_EQ(ResError(), noErr);

  ref = FSpOpenResFile(&spec, fsRdPerm);
  ASSERT_NE(ref, -1);
  EXPECT_EQ(Data(Get1Resource('pref', 1)), (Bytes{0, 0, 0, 1}));
  Handle str = Get1Resource('STR ', -4000);
  EXPECT_EQ(Data(str), (Bytes{'h', 'i'}));
  Str255 name;
  GetResInfo(str, nullptr, nullptr, name);
  EXPECT_EQ(PascalView(name), "greeting");

  Handle refused = HandleOf({9});
  AddResource(refused, 'pref', 2, nullptr);  // read-only: refused
  EXPECT_EQ(ResError(), addResFailed);
  DisposeHandle(refused);
  CloseResFile(ref);
  EXPECT_EQ(FSpDelete(&spec), noErr);
}

TEST_F(ResourceFiles, FilesWithoutAMapDoNotOpen) {
  FSSpec missing = Spec("Missing");
  EXPECT_EQ(FSpOpenResFile(&missing, fsRdPerm), -1);
  EXPECT_EQ(ResError(), fnfErr);

  tb::test::WriteText(disk() / "Plain", "no resource fork");
  FSSpec plain = Spec("Plain");
  EXPECT_EQ(FSpOpenResFile(&plain, fsRdWrPerm), -1);
  EXPECT_EQ(ResError(), mapReadErr);
  EXPECT_EQ(FSpDelete(&plain), noErr);  // nothing was left open

  tb::test::WriteBytes(disk() / "Damaged.rsrc", {0, 0, 1, 0, 0, 0, 1, 0});
  FSSpec damaged = Spec("Damaged.rsrc");
  EXPECT_EQ(OpenResFileInDataFork(damaged, fsRdPerm), -1);
  EXPECT_EQ(ResError(), mapReadErr);
}

TEST_F(ResourceFiles, MapsInADataForkOpenAndWriteBack) {
  auto fixtures = tb::test::SharedFixtures();
  if (!fixtures) GTEST_SKIP() << "shared fixtures not present: data-fork map test skipped";
  const auto folder = disk() / "Applications" / "Tool.app" / "Contents" / "Resources";
  std::filesystem::create_directories(folder);
  std::filesystem::copy_file(*fixtures / "resource-forks/basic/resources.rsrc",
                             folder / "Tool.rsrc");
  std::filesystem::permissions(folder / "Tool.rsrc", std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);  // the fixture is read-only

  SInt16 ref = OpenResFileAtPath(folder / "Tool.rsrc", fsRdWrPerm);
  ASSERT_NE(ref, -1) << ResError();
  EXPECT_EQ(Count1Resources('TEXT'), 2);
  Handle fox = Get1NamedResource('TEXT', PStr("QuickBrownFox"));
  ASSERT_NE(fox, nullptr);
  SInt16 id = 0;
  GetResInfo(fox, &id, nullptr, nullptr);
  EXPECT_EQ(id, -200);
  EXPECT_EQ(GetResAttrs(fox), 72);
  AddResource(HandleOf({7}), 'pref', 1, nullptr);
  CloseResFile(ref);
  ASSERT_EQ(ResError(), noErr);

  ResourceMap map;
  ASSERT_EQ(ParseResourceFork(tb::test::ReadBytes(folder / "Tool.rsrc"), &map), noErr);
  size_t count = 0;
  for (auto& type : map.types) count += type.resources.size();
  EXPECT_EQ(count, 6u);
}

TEST_F(ResourceFiles, CurrentPermissionFallsBackToReadOnlyOnALockedFile) {
  FSSpec spec = Spec("Locked");
  FSpCreateResFile(&spec, 'Vtrl', 'pref', smSystemScript);
  ASSERT_EQ(FSpSetFLock(&spec), noErr);
  SInt16 ref = FSpOpenResFile(&spec, fsCurPerm);
  ASSERT_NE(ref, -1) << ResError();
  Handle refused = HandleOf({1});
  AddResource(refused, 'pref', 1, nullptr);
  EXPECT_EQ(ResError(), addResFailed);
  DisposeHandle(refused);
  CloseResFile(ref);
  EXPECT_EQ(FSpOpenResFile(&spec, fsRdWrPerm), -1);
  EXPECT_NE(ResError(), noErr);
}

}  // namespace
}  // namespace tb::resources
