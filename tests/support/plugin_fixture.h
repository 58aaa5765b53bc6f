// Shared set-up for tests that drive the plug-in: a temporary system disk with the built
// bundle installed, the test process registered as the front application, and helpers to
// make contexts and preference files.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/temp_system_disk.h"
#include "toolbox/appleevents/descriptors.h"
#include "toolbox/files/files.h"

namespace tb::test {

// Stores a 'pref' 1 resource with these bytes in the user's preferences file (replacing one
// that is there), as the plug-in's preferences window would.
void WritePrefsFile(const std::vector<UInt8>& bytes);

class PluginFixture : public TempSystemDisk {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The installed copy of the plug-in bundle.
  std::filesystem::path installedBundle() const;
  // Replaces the installed bundle's English strings table.
  void WriteStrings(const std::string& text);
  // Registers this process as the front application with the given signature.
  void BeFrontProcess(OSType signature);
  // Stores a 'pref' 1 resource with these bytes in the user's preferences file.
  void WritePrefs(const std::vector<UInt8>& bytes) { WritePrefsFile(bytes); }

  // A folder or file made on the system disk, and its FSSpec.
  FSSpec MakeFolder(const std::string& relative);
  FSSpec MakeFile(const std::string& relative, const std::string& content = "");
  FSSpec SpecOf(const std::filesystem::path& path);
  // A context as a host makes it: a list of typeFSS items.
  AEDescList& Context(const std::vector<FSSpec>& items);

 private:
  AEDescList context_ = {typeNull, nullptr};
};

}  // namespace tb::test
