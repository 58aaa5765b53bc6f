#include "tests/support/temp_system_disk.h"

#include <stdlib.h>

#include <fstream>
#include <iterator>

namespace tb::test {

void TempSystemDisk::SetUp() {
  std::string pattern = (std::filesystem::temp_directory_path() / "vantorel-test-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  root_ = pattern;
  std::filesystem::create_directories(disk());
  std::filesystem::create_directories(runtime());
  // The process registry refuses a runtime directory others could write to.
  std::filesystem::permissions(runtime(), std::filesystem::perms::owner_all);
  setenv("VANTOREL_SYSTEM_DISK", disk().c_str(), 1);
  setenv("VANTOREL_RUNTIME_DIR", runtime().c_str(), 1);
}

void TempSystemDisk::TearDown() {
  if (root_.empty()) return;
  std::error_code ignored;
  // Locked files lose their write bits; give them back so the tree can be removed.
  for (auto& entry : std::filesystem::recursive_directory_iterator(root_, ignored)) {
    std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
  }
  std::filesystem::remove_all(root_, ignored);
}

std::vector<unsigned char> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::filesystem::path& path, const std::vector<unsigned char>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

void WriteText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

std::optional<std::filesystem::path> SharedFixtures() {
  if (const char* env = getenv("VANTOREL_FIXTURES"); env && std::filesystem::is_directory(env)) {
    return std::filesystem::path(env);
  }
  auto beside = std::filesystem::path(VANTOREL_SOURCE_DIR) / ".." / "shared" / "fixtures";
  if (std::filesystem::is_directory(beside)) return beside;
  return std::nullopt;
}

std::filesystem::path BuiltBundle() {
  return std::filesystem::path(VANTOREL_BINARY_DIR) / "Vantorel.plugin";
}

void PutBE16(std::vector<unsigned char>& out, unsigned value) {
  out.push_back(static_cast<unsigned char>(value >> 8));
  out.push_back(static_cast<unsigned char>(value));
}

void PutBE32(std::vector<unsigned char>& out, unsigned long value) {
  PutBE16(out, static_cast<unsigned>((value >> 16) & 0xFFFF));
  PutBE16(out, static_cast<unsigned>(value & 0xFFFF));
}

}  // namespace tb::test
