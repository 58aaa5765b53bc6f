// The home-page link file: made once in the Preferences folder, then opened by the Finder.
#include <sys/stat.h>

#include <filesystem>

#include "plugin/prefs/homepage_link.h"
#include "tests/plugin/info/info_fixture.h"
#include "toolbox/core/memory.h"
#include "toolbox/core/pascal.h"
#include "toolbox/resources/resources.h"

namespace {

namespace fs = std::filesystem;

const std::vector<unsigned char> kDragBytes = {
    0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x02,
    0x54, 0x45, 0x58, 0x54, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x75, 0x72, 0x6C, 0x20, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

class Homepage : public tb::test::InfoFixture {
 protected:
  void SetUp() override {
    InfoFixture::SetUp();
    SInt16 vRefNum;
    SInt32 dirID;
    ASSERT_EQ(FindFolder(kOnSystemDisk, kPreferencesFolderType, kCreateFolder, &vRefNum, &dirID),
              noErr);
    FSSpec folder{};
    const unsigned char here[1] = {0};
    ASSERT_EQ(FSMakeFSSpec(vRefNum, dirID, here, &folder), noErr);
    FSRef ref;
    ASSERT_EQ(FSpMakeFSRef(&folder, &ref), noErr);
    UInt8 path[1024];
    ASSERT_EQ(FSRefMakePath(&ref, path, sizeof path), noErr);
    prefs_ = reinterpret_cast<char*>(path);
  }
  fs::path File() const { return prefs_ / "Vantorel Homepage"; }
  FSSpec Spec() { return SpecOf(File()); }

  struct Resource {
    ResType type;
    SInt16 id;
    std::string name;
    std::vector<unsigned char> bytes;
  };
  // Every resource of the file, type by type.
  std::vector<Resource> Resources() {
    FSSpec spec = Spec();
    SInt16 file = FSpOpenResFile(&spec, fsRdPerm);
    EXPECT_EQ(ResError(), noErr);
    std::vector<Resource> out;
    if (file == -1) return out;
    UseResFile(file);
    for (SInt16 t = 1; t <= Count1Types(); ++t) {
      ResType type;
      Get1IndType(&type, t);
      for (SInt16 i = 1; i <= Count1Resources(type); ++i) {
        Handle h = Get1IndResource(type, i);
        Resource r;
        Str255 name;
        GetResInfo(h, &r.id, &r.type, name);
        r.name.assign(reinterpret_cast<char*>(name + 1), name[0]);
        HLock(h);
        r.bytes.assign(reinterpret_cast<unsigned char*>(*h),
                       reinterpret_cast<unsigned char*>(*h) + GetHandleSize(h));
        HUnlock(h);
        out.push_back(r);
      }
    }
    CloseResFile(file);
    return out;
  }
  static const Resource* Find(const std::vector<Resource>& all, ResType type, SInt16 id) {
    for (const Resource& r : all) {
      if (r.type == type && r.id == id) return &r;
    }
    return nullptr;
  }

  fs::path prefs_;
};

TEST_F(Homepage, FirstUseMakesTheLinkFileAndOpensIt) {
  OpenHomepage();
  ASSERT_TRUE(fs::exists(File()));
  EXPECT_EQ(fs::file_size(File()), 0u);  // only the resource fork carries data

  FInfo info{};
  FSSpec spec = Spec();
  ASSERT_EQ(FSpGetFInfo(&spec, &info), noErr);
  EXPECT_EQ(info.fdType, OSType{'ilht'});
  EXPECT_EQ(info.fdCreator, OSType{'MACS'});

  std::vector<Resource> all = Resources();
  ASSERT_EQ(all.size(), 3u);
  const Resource* drag = Find(all, 'drag', 128);
  const Resource* text = Find(all, 'TEXT', 256);
  const Resource* url = Find(all, 'url ', 256);
  ASSERT_TRUE(drag && text && url);
  EXPECT_EQ(drag->bytes, kDragBytes);
  EXPECT_FALSE(text->bytes.empty());
  EXPECT_EQ(text->bytes, url->bytes);
  std::string address(text->bytes.begin(), text->bytes.end());
  EXPECT_EQ(address.rfind("http", 0), 0u) << address;
  EXPECT_EQ(address.find('\0'), std::string::npos);
  for (const Resource& r : all) EXPECT_EQ(r.name, "");

  EXPECT_EQ(Requests(), (std::vector<std::string>{"aevt/odoc Vantorel Homepage"}));
}

TEST_F(Homepage, LaterUsesOpenTheFileAsItIs) {
  OpenHomepage();
  Requests();
  std::vector<unsigned char> before = tb::test::ReadBytes(prefs_ / "._Vantorel Homepage");
  struct stat first {};
  ASSERT_EQ(stat(File().c_str(), &first), 0);

  OpenHomepage();
  struct stat second {};
  ASSERT_EQ(stat(File().c_str(), &second), 0);
  EXPECT_EQ(second.st_mtim.tv_sec, first.st_mtim.tv_sec);
  EXPECT_EQ(second.st_mtim.tv_nsec, first.st_mtim.tv_nsec);
  EXPECT_EQ(tb::test::ReadBytes(prefs_ / "._Vantorel Homepage"), before);
  EXPECT_EQ(Requests(), (std::vector<std::string>{"aevt/odoc Vantorel Homepage"}));
}

TEST_F(Homepage, ExistingFileWithOtherContentsIsOpenedUnchanged) {
  tb::test::WriteText(File(), "someone else's file");
  OpenHomepage();
  EXPECT_EQ(tb::test::ReadBytes(File()).size(), 19u);
  EXPECT_FALSE(fs::exists(prefs_ / "._Vantorel Homepage"));
  EXPECT_EQ(Requests(), (std::vector<std::string>{"aevt/odoc Vantorel Homepage"}));
}

TEST_F(Homepage, NoPreferencesFolderMakesNothing) {
  fs::remove_all(prefs_);
  OpenHomepage();
  EXPECT_FALSE(fs::exists(prefs_));
  EXPECT_TRUE(Requests().empty());
}

}  // namespace
