// A temporary system disk and runtime directory for one test, removed afterwards.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tb::test {

class TempSystemDisk : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // The temporary directory holding everything of this test.
  const std::filesystem::path& root() const { return root_; }
  // The system disk's Linux directory (VANTOREL_SYSTEM_DISK).
  std::filesystem::path disk() const { return root_ / "disk"; }
  // The process registry's directory (VANTOREL_RUNTIME_DIR).
  std::filesystem::path runtime() const { return root_ / "run"; }

 private:
  std::filesystem::path root_;
};

std::vector<unsigned char> ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::vector<unsigned char>& bytes);
void WriteText(const std::filesystem::path& path, const std::string& text);

// The fixtures made by the original platform's tools, when the shared folder is present.
std::optional<std::filesystem::path> SharedFixtures();
// The plug-in bundle the build produced.
std::filesystem::path BuiltBundle();
// Big-endian byte helpers for fixtures built byte by byte.
void PutBE16(std::vector<unsigned char>& out, unsigned value);
void PutBE32(std::vector<unsigned char>& out, unsigned long value);

}  // namespace tb::test
