// The version-2 alias record: its fields, read from and written to the stored big-endian bytes.
// Reading treats the bytes as hostile: every length is checked against the record's size.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "toolbox/aliases/aliases.h"

namespace tb::aliases {

inline constexpr size_t kFixedPartSize = 150;
inline constexpr uint16_t kRecordVersion = 2;
inline constexpr size_t kVolumeNameLimit = 27;
inline constexpr size_t kNameLimit = 63;

enum : int16_t {
  kTagParentName = 0,
  kTagDirectoryIds = 1,
  kTagAbsolutePath = 2,
  kTagUnicodeName = 14,
  kTagUnicodeVolumeName = 15,
  kTagVolumeDateHiRes = 16,
  kTagCreationDateHiRes = 17,
  kTagPosixPath = 18,
  kTagMountPoint = 19,
  kTagEnd = -1,
};

enum : uint16_t { kKindFile = 0, kKindFolder = 1 };

struct AliasData {
  OSType userType = 0;
  uint16_t kind = kKindFile;
  std::string volumeName;  // Mac Roman, toolbox form
  uint32_t volumeDate = 0;
  uint16_t fsSignature = 0x482B;  // 'H+'
  uint16_t driveType = 0;         // fixed disk
  uint32_t parentId = 0;
  std::string name;  // Mac Roman, toolbox form (the FSSpec name)
  uint32_t fileId = 0xFFFFFFFF;
  uint32_t creationDate = 0;
  OSType fileType = 0;
  OSType creator = 0;
  int16_t levelsFrom = -1;
  int16_t levelsTo = -1;
  uint32_t volumeAttributes = 0;
  uint16_t volumeFsId = 0;

  std::optional<std::string> parentName;
  std::vector<uint32_t> directoryIds;  // innermost first
  std::optional<std::string> absolutePath;
  std::optional<std::u16string> unicodeName;
  std::optional<std::u16string> unicodeVolumeName;
  std::optional<uint64_t> volumeDateHiRes;
  std::optional<uint64_t> creationDateHiRes;
  std::optional<std::string> posixPath;  // from the volume's root, starting with '/'
  std::optional<std::string> mountPoint;
};

// noErr and the fields, or paramErr for bytes that are no sound version-2 record.
OSErr ParseAliasRecord(std::span<const uint8_t> bytes, AliasData* out);
std::vector<uint8_t> SerializeAliasRecord(const AliasData& data);

// The record held by a handle (checked against the handle's size).
OSErr ReadAliasHandle(AliasHandle alias, AliasData* out);
// Replaces the handle's bytes, resizing it.
OSErr WriteAliasHandle(AliasHandle alias, const std::vector<uint8_t>& bytes);
// A new handle holding the bytes.
OSErr NewAliasHandle(const std::vector<uint8_t>& bytes, AliasHandle* alias);

}  // namespace tb::aliases
