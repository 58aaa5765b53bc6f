#include "tests/support/plugin_fixture.h"

#include "toolbox/core/memory.h"
#include "toolbox/core/pascal.h"
#include "toolbox/processes/processes.h"
#include "toolbox/resources/resources.h"

namespace tb::test {

void PluginFixture::SetUp() {
  TempSystemDisk::SetUp();
  namespace fs = std::filesystem;
  fs::path folder = disk() / "Library" / "Contextual Menu Items";
  fs::create_directories(folder);
  fs::copy(BuiltBundle(), folder / "Vantorel.plugin", fs::copy_options::recursive);
  BeFrontProcess('MACS');
}

void PluginFixture::TearDown() {
  AEDisposeDesc(&context_);
  TempSystemDisk::TearDown();
}

std::filesystem::path PluginFixture::installedBundle() const {
  return disk() / "Library" / "Contextual Menu Items" / "Vantorel.plugin";
}

void PluginFixture::WriteStrings(const std::string& text) {
  WriteText(installedBundle() / "Contents" / "Resources" / "English.lproj" / "Localizable.strings",
            text);
}

void PluginFixture::BeFrontProcess(OSType signature) {
  ASSERT_EQ(tb::processes::RegisterCurrentProcess('APPL', signature, "Host", {}, 0), noErr);
  ProcessSerialNumber self;
  ASSERT_EQ(GetCurrentProcess(&self), noErr);
  ASSERT_EQ(SetFrontProcess(&self), noErr);
}

void WritePrefsFile(const std::vector<UInt8>& bytes) {
  SInt16 vRefNum;
  SInt32 dirID;
  ASSERT_EQ(FindFolder(kOnSystemDisk, kPreferencesFolderType, kCreateFolder, &vRefNum, &dirID),
            noErr);
  FSSpec spec;
  FSMakeFSSpec(vRefNum, dirID, tb::PStr("Vantorel Preferences"), &spec);
  FSpCreateResFile(&spec, 'QVRL', 'pref', smSystemScript);
  SInt16 file = FSpOpenResFile(&spec, fsRdWrPerm);
  ASSERT_EQ(ResError(), noErr);
  if (Handle old = Get1Resource('pref', 1)) {
    RemoveResource(old);
    DisposeHandle(old);
  }
  AddResource(tb::NewHandleWith(bytes.data(), static_cast<Size>(bytes.size())), 'pref', 1,
              tb::PStr(""));
  ASSERT_EQ(ResError(), noErr);
  CloseResFile(file);
}

FSSpec PluginFixture::SpecOf(const std::filesystem::path& path) {
  FSRef ref;
  FSSpec spec = {};
  EXPECT_EQ(FSPathMakeRef(reinterpret_cast<const UInt8*>(path.c_str()), &ref, nullptr), noErr)
      << path;
  EXPECT_EQ(FSGetCatalogInfo(&ref, kFSCatInfoNone, nullptr, nullptr, &spec, nullptr), noErr);
  return spec;
}

FSSpec PluginFixture::MakeFolder(const std::string& relative) {
  std::filesystem::create_directories(disk() / relative);
  return SpecOf(disk() / relative);
}

FSSpec PluginFixture::MakeFile(const std::string& relative, const std::string& content) {
  std::filesystem::create_directories((disk() / relative).parent_path());
  WriteText(disk() / relative, content);
  return SpecOf(disk() / relative);
}

AEDescList& PluginFixture::Context(const std::vector<FSSpec>& items) {
  AEDisposeDesc(&context_);
  AECreateList(nullptr, 0, false, &context_);
  for (const FSSpec& item : items) AEPutPtr(&context_, 0, typeFSS, &item, sizeof item);
  return context_;
}

}  // namespace tb::test
