// A temporary system disk with helpers for alias records and alias files.
#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "tests/toolbox/files/files_fixture.h"
#include "toolbox/aliases/aliases.h"
#include "toolbox/core/memory.h"

namespace tb::test {

struct AliasDisposer {
  void operator()(AliasPtr* h) const { DisposeHandle(reinterpret_cast<Handle>(h)); }
};
using OwnedAlias = std::unique_ptr<AliasPtr, AliasDisposer>;

inline std::vector<unsigned char> AliasBytes(AliasHandle h) {
  auto* p = reinterpret_cast<unsigned char*>(*h);
  return {p, p + GetHandleSize(reinterpret_cast<Handle>(h))};
}

inline OwnedAlias AliasFromBytes(const std::vector<unsigned char>& bytes) {
  Handle h = tb::NewHandleWith(bytes.data(), static_cast<Size>(bytes.size()));
  return OwnedAlias(reinterpret_cast<AliasHandle>(h));
}

inline std::string Describe(const FSSpec& s) {
  return std::to_string(s.vRefNum) + " " + std::to_string(s.parID) + " " + FromP(s.name);
}

class AliasTest : public FilesTest {
 protected:
  FSSpec SpecAt(const std::filesystem::path& path) {
    FSRef ref = Ref(path);
    FSSpec spec{};
    EXPECT_EQ(FSGetCatalogInfo(&ref, kFSCatInfoNone, nullptr, nullptr, &spec, nullptr), noErr)
        << path;
    return spec;
  }
  OwnedAlias AliasTo(const std::filesystem::path& path) {
    FSSpec spec = SpecAt(path);
    AliasHandle h = nullptr;
    EXPECT_EQ(NewAlias(nullptr, &spec, &h), noErr) << path;
    return OwnedAlias(h);
  }
  void SetTypeCreator(const std::filesystem::path& path, OSType type, OSType creator) {
    FSSpec spec = SpecAt(path);
    FInfo info{};
    ASSERT_EQ(FSpGetFInfo(&spec, &info), noErr);
    info.fdType = type;
    info.fdCreator = creator;
    ASSERT_EQ(FSpSetFInfo(&spec, &info), noErr);
  }
};

}  // namespace tb::test
