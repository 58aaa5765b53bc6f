#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "tests/support/temp_system_disk.h"
#include "toolbox/cf/bundle.h"
#include "toolbox/cf/plugin.h"
#include "toolbox/cf/plugin_instances.h"
#include "toolbox/cf/string.h"
#include "toolbox/cf/url.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kType = "2F6522E9-3E66-11D5-80A7-003065B300BC";
constexpr const char* kFactory = "8583E68E-CCFA-4929-8BC7-70623BD47DE8";
constexpr const char* kUndeclared = "11111111-2222-3333-4444-555555555555";
constexpr const char* kOtherFactory = "AAAAAAAA-BBBB-CCCC-DDDD-EEEEEEEEEEEE";

CFUUIDRef UUID(const char* text) {
  CFStringRef s = tb::CFStringFromUtf8(text);
  CFUUIDRef uuid = CFUUIDCreateFromString(nullptr, s);
  CFRelease(s);
  return uuid;
}

std::string Text(CFUUIDRef uuid) {
  CFStringRef s = CFUUIDCreateString(nullptr, uuid);
  std::string text = tb::Utf8FromCFString(s);
  CFRelease(s);
  return text;
}

std::vector<std::string> Texts(CFArrayRef array) {
  std::vector<std::string> out;
  for (CFIndex i = 0; i < CFArrayGetCount(array); ++i) {
    out.push_back(Text(static_cast<CFUUIDRef>(CFArrayGetValueAtIndex(array, i))));
  }
  return out;
}

class PlugIn : public tb::test::TempSystemDisk {
 protected:
  CFPlugInRef makePlugIn(const std::string& name, const std::string& dictBody) {
    fs::path dir = root() / name;
    fs::create_directories(dir / "Contents" / "MacOS");
    tb::test::WriteText(
        dir / "Contents" / "Info.plist",
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" + dictBody +
            "</dict></plist>\n");
    CFURLRef url = tb::CFURLFromPath(dir, true);
    CFPlugInRef plugIn = CFPlugInCreate(nullptr, url);
    CFRelease(url);
    return plugIn;
  }
};

// Factories listed for the type but not declared, or malformed, are left out.
std::string Declarations(const std::string& function) {
  return std::string("<key>CFBundleExecutable</key><string>Code</string>") +
         "<key>CFPlugInFactories</key><dict><key>" + kFactory + "</key><string>" + function +
         "</string><key>not-a-uuid</key><string>Ignored</string></dict>"
         "<key>CFPlugInTypes</key><dict><key>" +
         kType + "</key><array><string>" + kUndeclared +
         "</string><string>junk</string><integer>4</integer><string>" + kFactory +
         "</string></array></dict>";
}

TEST_F(PlugIn, FindsDeclaredFactoriesForAType) {
  CFPlugInRef plugIn = makePlugIn("Menu.plugin", Declarations("Make"));
  ASSERT_NE(plugIn, nullptr);
  EXPECT_EQ(CFPlugInGetBundle(plugIn), plugIn);
  CFUUIDRef type = UUID(kType);
  CFArrayRef factories = CFPlugInFindFactoriesForPlugInTypeInPlugIn(type, plugIn);
  EXPECT_EQ(Texts(factories), std::vector<std::string>{kFactory});
  CFRelease(factories);

  CFUUIDRef otherType = UUID(kUndeclared);
  factories = CFPlugInFindFactoriesForPlugInTypeInPlugIn(otherType, plugIn);
  EXPECT_EQ(CFArrayGetCount(factories), 0);
  CFRelease(factories);

  CFPlugInRef second =
      makePlugIn("Second.plugin",
                 std::string("<key>CFPlugInFactories</key><dict><key>") + kOtherFactory +
                     "</key><string>Make</string></dict><key>CFPlugInTypes</key><dict><key>" +
                     kType + "</key><array><string>" + kOtherFactory + "</string></array></dict>");
  CFPlugInRef broken = makePlugIn("Broken.plugin", "<key>CFPlugInTypes</key><string>x</string>");
  CFPlugInRef damaged = makePlugIn("Damaged.plugin", "<key>CFPlugInTypes</key><dict><key>");
  factories = CFPlugInFindFactoriesForPlugInType(type);
  std::vector<std::string> all = Texts(factories);
  EXPECT_NE(std::find(all.begin(), all.end(), kFactory), all.end());
  EXPECT_NE(std::find(all.begin(), all.end(), kOtherFactory), all.end());
  CFRelease(factories);
  factories = CFPlugInFindFactoriesForPlugInTypeInPlugIn(type, broken);
  EXPECT_EQ(CFArrayGetCount(factories), 0);
  CFRelease(factories);
  factories = CFPlugInFindFactoriesForPlugInTypeInPlugIn(type, damaged);
  EXPECT_EQ(CFArrayGetCount(factories), 0);
  CFRelease(factories);
  CFUUIDRef other = UUID(kOtherFactory);
  EXPECT_EQ(CFPlugInInstanceCreate(nullptr, other, type), nullptr);  // no code
  CFRelease(other);

  CFRelease(damaged);
  CFRelease(broken);
  CFRelease(second);
  CFRelease(otherType);
  CFRelease(type);
  CFRelease(plugIn);
}

// The bundle's code is the toolbox library itself, whose CFUUIDCreateString (found by its
// symbol name) has the factory function's signature: the instance is the type's UUID string.
TEST_F(PlugIn, InstanceCreateLoadsTheCodeAndCallsTheFactory) {
  Dl_info info{};
  ASSERT_NE(dladdr(reinterpret_cast<void*>(&CFUUIDCreateString), &info), 0);
  ASSERT_NE(info.dli_sname, nullptr);
  CFPlugInRef plugIn = makePlugIn("Code.plugin", Declarations(info.dli_sname));
  fs::create_symlink(fs::absolute(info.dli_fname),
                     root() / "Code.plugin" / "Contents" / "MacOS" / "Code");

  CFUUIDRef type = UUID(kType), factory = UUID(kFactory);
  EXPECT_FALSE(CFBundleIsExecutableLoaded(plugIn));
  CFUUIDRef undeclared = UUID(kUndeclared);
  EXPECT_EQ(CFPlugInInstanceCreate(nullptr, factory, undeclared), nullptr);
  CFRelease(undeclared);
  auto instance = static_cast<CFStringRef>(CFPlugInInstanceCreate(nullptr, factory, type));
  ASSERT_NE(instance, nullptr);
  EXPECT_EQ(tb::Utf8FromCFString(instance), kType);
  CFRelease(instance);
  EXPECT_TRUE(CFBundleIsExecutableLoaded(plugIn));

  CFPlugInAddInstanceForFactory(factory);
  CFPlugInAddInstanceForFactory(factory);
  EXPECT_EQ(tb::PlugInInstanceCount(factory), 2);
  CFBundleUnloadExecutable(plugIn);
  EXPECT_TRUE(CFBundleIsExecutableLoaded(plugIn));  // instances still alive
  CFPlugInRemoveInstanceForFactory(factory);
  CFPlugInRemoveInstanceForFactory(factory);
  CFPlugInRemoveInstanceForFactory(factory);
  EXPECT_EQ(tb::PlugInInstanceCount(factory), 0);
  CFBundleUnloadExecutable(plugIn);
  EXPECT_FALSE(CFBundleIsExecutableLoaded(plugIn));

  CFRelease(factory);
  CFRelease(type);
  CFRelease(plugIn);
}

}  // namespace
