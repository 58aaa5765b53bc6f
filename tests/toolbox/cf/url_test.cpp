#include <gtest/gtest.h>

#include <cstring>

#include "toolbox/cf/string.h"
#include "toolbox/cf/url.h"

namespace {

TEST(CFURL, FileSystemPathsRoundTrip) {
  const char* path = "/tmp/Caf\xC3\xA9 folder/";
  CFURLRef url = CFURLCreateFromFileSystemRepresentation(
      nullptr, reinterpret_cast<const UInt8*>(path), static_cast<CFIndex>(std::strlen(path)), true);
  ASSERT_NE(url, nullptr);
  EXPECT_TRUE(CFURLHasDirectoryPath(url));

  UInt8 buffer[64];
  ASSERT_TRUE(CFURLGetFileSystemRepresentation(url, true, buffer, sizeof buffer));
  EXPECT_STREQ(reinterpret_cast<char*>(buffer), "/tmp/Caf\xC3\xA9 folder");  // no trailing slash
  EXPECT_FALSE(CFURLGetFileSystemRepresentation(url, true, buffer, 17));     // 17 bytes + NUL
  EXPECT_TRUE(CFURLGetFileSystemRepresentation(url, true, buffer, 18));

  CFStringRef text = CFURLCopyFileSystemPath(url, kCFURLPOSIXPathStyle);
  CFURLRef again = CFURLCreateWithFileSystemPath(nullptr, text, kCFURLPOSIXPathStyle, true);
  EXPECT_TRUE(CFEqual(url, again));
  EXPECT_EQ(CFURLCreateWithFileSystemPath(nullptr, text, kCFURLHFSPathStyle, true), nullptr);

  CFURLRef child = CFURLCreateCopyAppendingPathComponent(nullptr, url, CFSTR("a.txt"), false);
  EXPECT_EQ(tb::URLPath(child), "/tmp/Caf\xC3\xA9 folder/a.txt");
  CFStringRef last = CFURLCopyLastPathComponent(child);
  EXPECT_EQ(tb::Utf8FromCFString(last), "a.txt");

  CFRelease(last);
  CFRelease(child);
  CFRelease(again);
  CFRelease(text);
  CFRelease(url);
}

}  // namespace
