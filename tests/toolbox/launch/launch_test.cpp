// Launch Services on real items of a temporary system disk: flags, display names, kinds and the
// extension-hidden flag.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>

#include "tests/support/temp_system_disk.h"
#include "toolbox/cf/string.h"
#include "toolbox/core/text.h"
#include "toolbox/launch/launch.h"

namespace {

namespace fs = std::filesystem;
using tb::test::TempSystemDisk;

class LaunchServices : public TempSystemDisk {
 public:
  FSRef Ref(const fs::path& path) {
    FSRef ref{};
    EXPECT_EQ(FSPathMakeRef(reinterpret_cast<const UInt8*>(path.c_str()), &ref, nullptr), noErr)
        << path;
    return ref;
  }
  FSSpec Spec(const fs::path& path) {
    FSRef ref = Ref(path);
    FSSpec spec{};
    EXPECT_EQ(FSGetCatalogInfo(&ref, kFSCatInfoNone, nullptr, nullptr, &spec, nullptr), noErr);
    return spec;
  }
  void SetFileFlags(const fs::path& path, UInt16 flags, OSType type = 0) {
    FSSpec spec = Spec(path);
    FInfo info{};
    ASSERT_EQ(FSpGetFInfo(&spec, &info), noErr);
    info.fdFlags = flags;
    if (type) info.fdType = type;
    ASSERT_EQ(FSpSetFInfo(&spec, &info), noErr);
  }
  void SetFolderFlags(const fs::path& path, UInt16 flags) {
    FSRef ref = Ref(path);
    FSCatalogInfo info{};
    ASSERT_EQ(FSGetCatalogInfo(&ref, kFSCatInfoFinderInfo, &info, nullptr, nullptr, nullptr),
              noErr);
    std::memcpy(info.finderInfo + 8, &flags, sizeof flags);
    ASSERT_EQ(FSSetCatalogInfo(&ref, kFSCatInfoFinderInfo, &info), noErr);
  }
  std::string Text(CFStringRef s) {
    std::string text = tb::Utf8FromCFString(s);
    if (s) CFRelease(s);
    return text;
  }
  std::string DisplayName(const fs::path& path) {
    FSRef ref = Ref(path);
    CFStringRef name = nullptr;
    EXPECT_EQ(LSCopyDisplayNameForRef(&ref, &name), noErr);
    return Text(name);
  }
  std::string Kind(const fs::path& path) {
    FSRef ref = Ref(path);
    CFStringRef kind = nullptr;
    EXPECT_EQ(LSCopyKindStringForRef(&ref, &kind), noErr);
    return Text(kind);
  }
  LSItemInfoFlags Flags(const fs::path& path, LSRequestedInfo which = kLSRequestAllFlags) {
    FSRef ref = Ref(path);
    LSItemInfoRecord info;
    EXPECT_EQ(LSCopyItemInfoForRef(&ref, which, &info), noErr);
    if (info.extension) CFRelease(info.extension);
    return info.flags;
  }
};

// Each case builds one item in the disk's root and names the flags it must have.
struct FlagCase {
  const char* label;
  const char* name;
  std::function<void(LaunchServices&, const fs::path&)> make;
  LSItemInfoFlags expected;
};

void Folder(LaunchServices&, const fs::path& p) {
  fs::create_directory(p);
}
void File(LaunchServices&, const fs::path& p) {
  tb::test::WriteText(p, "text\n");
}

const LSItemInfoFlags kAppFlags = kLSItemInfoIsApplication | kLSItemInfoIsNativeApp;

class ItemFlags : public LaunchServices, public ::testing::WithParamInterface<FlagCase> {};

TEST_P(ItemFlags, MatchTheItem) {
  const FlagCase& c = GetParam();
  fs::path path = disk() / c.name;
  c.make(*this, path);
  EXPECT_EQ(Flags(path), c.expected) << c.label;
}

const FlagCase kFlagCases[] = {
    {"plain folder", "Docs", Folder, kLSItemInfoIsContainer},
    {"application bundle", "Tool.app", Folder,
     kLSItemInfoIsContainer | kLSItemInfoIsPackage | kAppFlags},
    {"bundle by extension", "Thing.plugin", Folder, kLSItemInfoIsContainer | kLSItemInfoIsPackage},
    {"bundle by Finder flag", "Bundled",
     [](LaunchServices& t, const fs::path& p) {
       Folder(t, p);
       t.SetFolderFlags(p, kHasBundle);
     },
     kLSItemInfoIsContainer | kLSItemInfoIsPackage},
    {"plain file", "notes.txt", File, kLSItemInfoIsPlainFile},
    {"alias file", "notes alias",
     [](LaunchServices& t, const fs::path& p) {
       File(t, p);
       t.SetFileFlags(p, kIsAlias);
     },
     kLSItemInfoIsPlainFile | kLSItemInfoIsAliasFile},
    {"symbolic link to a folder", "link",
     [](LaunchServices& t, const fs::path& p) {
       fs::create_directory(p.parent_path() / "target");
       fs::create_directory_symlink("target", p);
     },
     kLSItemInfoIsPlainFile | kLSItemInfoIsSymlink},
    {"hidden extension", "report.txt",
     [](LaunchServices& t, const fs::path& p) {
       File(t, p);
       t.SetFileFlags(p, kExtensionHidden);
     },
     kLSItemInfoIsPlainFile | kLSItemInfoExtensionIsHidden},
    {"invisible by flag", "secret",
     [](LaunchServices& t, const fs::path& p) {
       File(t, p);
       t.SetFileFlags(p, kIsInvisible);
     },
     kLSItemInfoIsPlainFile | kLSItemInfoIsInvisible},
    {"dot-file", ".profile", File, kLSItemInfoIsPlainFile | kLSItemInfoIsInvisible},
    {"file of type APPL", "Classic Tool",
     [](LaunchServices& t, const fs::path& p) {
       File(t, p);
       t.SetFileFlags(p, 0, 'APPL');
     },
     kLSItemInfoIsPlainFile | kAppFlags},
};
INSTANTIATE_TEST_SUITE_P(Items, ItemFlags, ::testing::ValuesIn(kFlagCases));

TEST_F(LaunchServices, RequestsNarrowTheAnswer) {
  fs::path app = disk() / "Tool.app";
  fs::create_directory(app);
  SetFolderFlags(app, kExtensionHidden);
  EXPECT_EQ(Flags(app, kLSRequestBasicFlagsOnly),
            kLSItemInfoIsContainer | kLSItemInfoIsPackage | kLSItemInfoIsApplication);
  EXPECT_EQ(Flags(app, kLSRequestExtensionFlagsOnly), kLSItemInfoExtensionIsHidden);
  EXPECT_EQ(Flags(app, kLSRequestExtension), 0u);

  FSRef ref = Ref(app);
  LSItemInfoRecord info;
  ASSERT_EQ(LSCopyItemInfoForRef(&ref, kLSRequestExtension | kLSRequestTypeCreator, &info), noErr);
  EXPECT_EQ(Text(info.extension), "app");

  fs::path doc = disk() / "letter";
  tb::test::WriteText(doc, "x");
  SetFileFlags(doc, 0, 'TEXT');
  ref = Ref(doc);
  ASSERT_EQ(LSCopyItemInfoForRef(&ref, kLSRequestTypeCreator, &info), noErr);
  EXPECT_EQ(info.filetype, static_cast<OSType>('TEXT'));
  EXPECT_EQ(info.extension, nullptr);
  ASSERT_EQ(LSCopyItemInfoForRef(&ref, kLSRequestAllInfo, &info), noErr);
  EXPECT_EQ(info.extension, nullptr);  // no extension to give
}

TEST_F(LaunchServices, VolumeRootIsAContainerShowingTheVolumeName) {
  EXPECT_EQ(Flags(disk()), kLSItemInfoIsContainer | kLSItemInfoIsVolume);
  FSRef ref = Ref(disk());
  HFSUniStr255 volumeName{};
  ASSERT_EQ(FSGetCatalogInfo(&ref, kFSCatInfoNone, nullptr, &volumeName, nullptr, nullptr), noErr);
  std::string expected = tb::Utf8FromUtf16(std::u16string_view(
      reinterpret_cast<const char16_t*>(volumeName.unicode), volumeName.length));
  EXPECT_FALSE(expected.empty());
  EXPECT_EQ(DisplayName(disk()), expected);
  EXPECT_EQ(Kind(disk()), "Volume");
}

TEST_F(LaunchServices, DisplayNames) {
  struct Case {
    const char* linuxName;
    UInt16 flags;
    const char* shown;
  } cases[] = {
      {"report.txt", kExtensionHidden, "report"},
      {"report.txt", 0, "report.txt"},
      {".profile", kExtensionHidden, ".profile"},  // a leading dot is no extension
      {"a:b.txt", 0, "a/b.txt"},                   // shown once swapped, not twice
      {"archive.tar.gz", kExtensionHidden, "archive.tar"},
      {"trailing.", kExtensionHidden, "trailing."},
  };
  for (const Case& c : cases) {
    fs::path path = disk() / c.linuxName;
    tb::test::WriteText(path, "x");
    SetFileFlags(path, c.flags);
    EXPECT_EQ(DisplayName(path), c.shown) << c.linuxName;
    fs::remove(path);
    fs::remove(disk() / (std::string("._") + c.linuxName));
  }
  fs::path app = disk() / "Tool.app";
  fs::create_directory(app);
  SetFolderFlags(app, kExtensionHidden);
  EXPECT_EQ(DisplayName(app), "Tool");
}

TEST_F(LaunchServices, KindStrings) {
  fs::create_directory(disk() / "Docs");
  fs::create_directory(disk() / "Tool.app");
  fs::create_directory(disk() / "Thing.plugin");
  tb::test::WriteText(disk() / "notes.txt", "Some plain text.\n");
  tb::test::WriteText(disk() / "alias", "");
  SetFileFlags(disk() / "alias", kIsAlias);
  fs::create_symlink("notes.txt", disk() / "link");
  tb::test::WriteBytes(disk() / "blob", {0x00, 0xFF, 0x13, 0x37, 0x00, 0x01, 0x02});

  EXPECT_EQ(Kind(disk() / "Docs"), "Folder");
  EXPECT_EQ(Kind(disk() / "Tool.app"), "Application");
  EXPECT_EQ(Kind(disk() / "Thing.plugin"), "Package");
  EXPECT_EQ(Kind(disk() / "alias"), "Alias");
  EXPECT_EQ(Kind(disk() / "link"), "Symbolic link");
  std::string text = Kind(disk() / "notes.txt");
  EXPECT_FALSE(text.empty());
  EXPECT_NE(text, "Document");
  EXPECT_FALSE(Kind(disk() / "blob").empty());
}

TEST_F(LaunchServices, ExtensionHiddenRoundTrip) {
  fs::path path = disk() / "report.txt";
  tb::test::WriteText(path, "x");
  SetFileFlags(path, kIsInvisible, 'TEXT');
  FSRef ref = Ref(path);
  ASSERT_EQ(LSSetExtensionHiddenForRef(&ref, true), noErr);
  EXPECT_EQ(DisplayName(path), "report");
  FSSpec spec = Spec(path);
  FInfo info{};
  ASSERT_EQ(FSpGetFInfo(&spec, &info), noErr);
  EXPECT_EQ(info.fdFlags, kIsInvisible | kExtensionHidden);  // other flags kept
  EXPECT_EQ(info.fdType, static_cast<OSType>('TEXT'));
  ASSERT_EQ(LSSetExtensionHiddenForRef(&ref, false), noErr);
  EXPECT_EQ(DisplayName(path), "report.txt");
  ASSERT_EQ(FSpGetFInfo(&spec, &info), noErr);
  EXPECT_EQ(info.fdFlags, kIsInvisible);

  fs::path folder = disk() / "Tool.app";
  fs::create_directory(folder);
  FSRef folderRef = Ref(folder);
  ASSERT_EQ(LSSetExtensionHiddenForRef(&folderRef, true), noErr);
  EXPECT_EQ(Flags(folder, kLSRequestExtensionFlagsOnly), kLSItemInfoExtensionIsHidden);
}

TEST_F(LaunchServices, VanishedItemGivesTheFileManagersError) {
  fs::path path = disk() / "gone.txt";
  tb::test::WriteText(path, "x");
  FSRef ref = Ref(path);
  fs::remove(path);
  CFStringRef s = nullptr;
  LSItemInfoRecord info;
  EXPECT_EQ(LSCopyDisplayNameForRef(&ref, &s), fnfErr);
  EXPECT_EQ(LSCopyKindStringForRef(&ref, &s), fnfErr);
  EXPECT_EQ(LSCopyItemInfoForRef(&ref, kLSRequestAllInfo, &info), fnfErr);
  EXPECT_EQ(LSSetExtensionHiddenForRef(&ref, true), fnfErr);
  EXPECT_EQ(LSCopyDisplayNameForRef(nullptr, &s), paramErr);
}

}  // namespace
