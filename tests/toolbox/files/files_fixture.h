// A temporary system disk with helpers to reach its items through the File Manager.
#pragma once

#include <sys/stat.h>

#include <array>
#include <filesystem>
#include <string>

#include "tests/support/temp_system_disk.h"
#include "toolbox/files/files.h"

namespace tb::test {

using Str = std::array<unsigned char, 256>;

inline Str P(const std::string& text) {
  Str out{};
  out[0] = static_cast<unsigned char>(text.size());
  std::copy(text.begin(), text.end(), out.begin() + 1);
  return out;
}

inline std::string FromP(const unsigned char* p) {
  return std::string(p + 1, p + 1 + p[0]);
}

class FilesTest : public TempSystemDisk {
 protected:
  // The FSSpec of a toolbox partial path (":Folder:file") from the system disk's root.
  OSErr Spec(const std::string& partial, FSSpec* spec) {
    return FSMakeFSSpec(kVantorelSystemDiskVRefNum, fsRtDirID, P(partial).data(), spec);
  }
  FSSpec MustSpec(const std::string& partial) {
    FSSpec spec{};
    EXPECT_EQ(Spec(partial, &spec), noErr) << partial;
    return spec;
  }
  FSRef Ref(const std::filesystem::path& path) {
    FSRef ref{};
    EXPECT_EQ(FSPathMakeRef(reinterpret_cast<const UInt8*>(path.c_str()), &ref, nullptr), noErr)
        << path;
    return ref;
  }
  UInt32 IdOf(const std::filesystem::path& path) {
    FSRef ref = Ref(path);
    FSCatalogInfo info{};
    EXPECT_EQ(FSGetCatalogInfo(&ref, kFSCatInfoNodeID, &info, nullptr, nullptr, nullptr), noErr);
    return info.nodeID;
  }
  void Touch(const std::filesystem::path& path, const std::string& text = "") {
    WriteText(path, text);
  }
};

}  // namespace tb::test
