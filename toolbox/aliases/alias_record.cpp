#include "toolbox/aliases/alias_record.h"

#include <cstring>

#include "toolbox/core/memory.h"

namespace tb::aliases {
namespace {

// Longer strings are left out of the record, so that it stays within its 16-bit size.
constexpr size_t kTagTextLimit = 8192;

class Reader {
 public:
  explicit Reader(std::span<const uint8_t> bytes) : bytes_(bytes) {}
  uint64_t be(size_t at, int width) const {
    uint64_t v = 0;
    for (int i = 0; i < width; ++i) v = (v << 8) | bytes_[at + i];
    return v;
  }
  // A Pascal string stored in a field of `capacity` bytes (length byte included).
  std::optional<std::string> pascal(size_t at, size_t capacity) const {
    size_t n = bytes_[at];
    if (n + 1 > capacity) return std::nullopt;
    return std::string(reinterpret_cast<const char*>(&bytes_[at + 1]), n);
  }

 private:
  std::span<const uint8_t> bytes_;
};

void PutBE(std::vector<uint8_t>& out, size_t at, uint64_t value, int width) {
  for (int i = width - 1; i >= 0; --i, value >>= 8) out[at + i] = static_cast<uint8_t>(value);
}

void PutPascal(std::vector<uint8_t>& out, size_t at, const std::string& text, size_t limit) {
  size_t n = std::min(text.size(), limit);
  out[at] = static_cast<uint8_t>(n);
  std::memcpy(&out[at + 1], text.data(), n);
}

void AppendTag(std::vector<uint8_t>& out, int16_t tag, std::span<const uint8_t> value) {
  size_t at = out.size();
  out.resize(at + 4 + value.size() + (value.size() & 1), 0);
  PutBE(out, at, static_cast<uint16_t>(tag), 2);
  PutBE(out, at + 2, value.size(), 2);
  if (!value.empty()) std::memcpy(&out[at + 4], value.data(), value.size());
}

void AppendText(std::vector<uint8_t>& out, int16_t tag, const std::optional<std::string>& text) {
  if (!text || text->size() > kTagTextLimit) return;
  AppendTag(out, tag, {reinterpret_cast<const uint8_t*>(text->data()), text->size()});
}

void AppendUnicode(std::vector<uint8_t>& out, int16_t tag,
                   const std::optional<std::u16string>& text) {
  if (!text || text->size() > 255) return;
  std::vector<uint8_t> value(2 + 2 * text->size());
  PutBE(value, 0, text->size(), 2);
  for (size_t i = 0; i < text->size(); ++i) PutBE(value, 2 + 2 * i, (*text)[i], 2);
  AppendTag(out, tag, value);
}

void AppendDate(std::vector<uint8_t>& out, int16_t tag, const std::optional<uint64_t>& date) {
  if (!date) return;
  std::vector<uint8_t> value(8);
  PutBE(value, 0, *date, 8);
  AppendTag(out, tag, value);
}

std::optional<std::u16string> UnicodeValue(std::span<const uint8_t> value) {
  if (value.size() < 2) return std::nullopt;
  Reader r(value);
  size_t count = r.be(0, 2);
  if (2 + 2 * count > value.size()) return std::nullopt;
  std::u16string text(count, u'\0');
  for (size_t i = 0; i < count; ++i) text[i] = static_cast<char16_t>(r.be(2 + 2 * i, 2));
  return text;
}

// One tag's value into the fields; a value of the wrong shape makes the record damaged.
bool ReadTag(int16_t tag, std::span<const uint8_t> value, AliasData* out) {
  std::string text(reinterpret_cast<const char*>(value.data()), value.size());
  Reader r(value);
  switch (tag) {
    case kTagParentName:
      out->parentName = text;
      return true;
    case kTagDirectoryIds:
      if (value.size() % 4) return false;
      out->directoryIds.clear();
      for (size_t i = 0; i < value.size(); i += 4) {
        out->directoryIds.push_back(static_cast<uint32_t>(r.be(i, 4)));
      }
      return true;
    case kTagAbsolutePath:
      out->absolutePath = text;
      return true;
    case kTagUnicodeName:
    case kTagUnicodeVolumeName: {
      auto unicode = UnicodeValue(value);
      if (!unicode) return false;
      (tag == kTagUnicodeName ? out->unicodeName : out->unicodeVolumeName) = std::move(*unicode);
      return true;
    }
    case kTagVolumeDateHiRes:
    case kTagCreationDateHiRes:
      if (value.size() != 8) return false;
      (tag == kTagVolumeDateHiRes ? out->volumeDateHiRes : out->creationDateHiRes) = r.be(0, 8);
      return true;
    case kTagPosixPath:
      out->posixPath = text;
      return true;
    case kTagMountPoint:
      out->mountPoint = text;
      return true;
    default:
      return true;  // tags this system does not use are passed over
  }
}

}  // namespace

OSErr ParseAliasRecord(std::span<const uint8_t> bytes, AliasData* out) {
  if (bytes.size() < kFixedPartSize) return paramErr;
  Reader r(bytes);
  size_t size = r.be(4, 2);
  if (size < kFixedPartSize || size > bytes.size()) return paramErr;
  if (r.be(6, 2) != kRecordVersion) return paramErr;
  AliasData d;
  d.userType = static_cast<OSType>(r.be(0, 4));
  d.kind = static_cast<uint16_t>(r.be(8, 2));
  auto volume = r.pascal(10, 28);
  auto name = r.pascal(50, 64);
  if (!volume || !name || d.kind > kKindFolder) return paramErr;
  d.volumeName = std::move(*volume);
  d.name = std::move(*name);
  d.volumeDate = static_cast<uint32_t>(r.be(38, 4));
  d.fsSignature = static_cast<uint16_t>(r.be(42, 2));
  d.driveType = static_cast<uint16_t>(r.be(44, 2));
  d.parentId = static_cast<uint32_t>(r.be(46, 4));
  d.fileId = static_cast<uint32_t>(r.be(114, 4));
  d.creationDate = static_cast<uint32_t>(r.be(118, 4));
  d.fileType = static_cast<OSType>(r.be(122, 4));
  d.creator = static_cast<OSType>(r.be(126, 4));
  d.levelsFrom = static_cast<int16_t>(r.be(130, 2));
  d.levelsTo = static_cast<int16_t>(r.be(132, 2));
  d.volumeAttributes = static_cast<uint32_t>(r.be(134, 4));
  d.volumeFsId = static_cast<uint16_t>(r.be(138, 2));

  // Tagged data up to the end mark, all of it inside the record's own size.
  size_t at = kFixedPartSize;
  for (;;) {
    if (size - at < 4) return paramErr;  // no room for the end mark
    auto tag = static_cast<int16_t>(r.be(at, 2));
    size_t length = r.be(at + 2, 2);
    at += 4;
    if (tag == kTagEnd) break;
    size_t padded = length + (length & 1);
    if (padded > size - at) return paramErr;
    if (!ReadTag(tag, bytes.subspan(at, length), &d)) return paramErr;
    at += padded;
  }
  *out = std::move(d);
  return noErr;
}

std::vector<uint8_t> SerializeAliasRecord(const AliasData& d) {
  std::vector<uint8_t> out(kFixedPartSize, 0);
  PutBE(out, 0, d.userType, 4);
  PutBE(out, 6, kRecordVersion, 2);
  PutBE(out, 8, d.kind, 2);
  PutPascal(out, 10, d.volumeName, kVolumeNameLimit);
  PutBE(out, 38, d.volumeDate, 4);
  PutBE(out, 42, d.fsSignature, 2);
  PutBE(out, 44, d.driveType, 2);
  PutBE(out, 46, d.parentId, 4);
  PutPascal(out, 50, d.name, kNameLimit);
  PutBE(out, 114, d.fileId, 4);
  PutBE(out, 118, d.creationDate, 4);
  PutBE(out, 122, d.fileType, 4);
  PutBE(out, 126, d.creator, 4);
  PutBE(out, 130, static_cast<uint16_t>(d.levelsFrom), 2);
  PutBE(out, 132, static_cast<uint16_t>(d.levelsTo), 2);
  PutBE(out, 134, d.volumeAttributes, 4);
  PutBE(out, 138, d.volumeFsId, 2);

  AppendText(out, kTagParentName, d.parentName);
  if (!d.directoryIds.empty() && d.directoryIds.size() <= 1024) {
    std::vector<uint8_t> ids(4 * d.directoryIds.size());
    for (size_t i = 0; i < d.directoryIds.size(); ++i) PutBE(ids, 4 * i, d.directoryIds[i], 4);
    AppendTag(out, kTagDirectoryIds, ids);
  }
  AppendText(out, kTagAbsolutePath, d.absolutePath);
  AppendUnicode(out, kTagUnicodeName, d.unicodeName);
  AppendUnicode(out, kTagUnicodeVolumeName, d.unicodeVolumeName);
  AppendDate(out, kTagVolumeDateHiRes, d.volumeDateHiRes);
  AppendDate(out, kTagCreationDateHiRes, d.creationDateHiRes);
  AppendText(out, kTagPosixPath, d.posixPath);
  AppendText(out, kTagMountPoint, d.mountPoint);
  AppendTag(out, kTagEnd, {});
  PutBE(out, 4, out.size(), 2);
  return out;
}

OSErr ReadAliasHandle(AliasHandle alias, AliasData* out) {
  if (!alias || !*alias) return paramErr;
  Size size = GetHandleSize(reinterpret_cast<Handle>(alias));
  if (size <= 0) return paramErr;
  return ParseAliasRecord({reinterpret_cast<const uint8_t*>(*alias), static_cast<size_t>(size)},
                          out);
}

OSErr WriteAliasHandle(AliasHandle alias, const std::vector<uint8_t>& bytes) {
  auto h = reinterpret_cast<Handle>(alias);
  SetHandleSize(h, static_cast<Size>(bytes.size()));
  if (OSErr err = MemError(); err != noErr) return err;
  std::memcpy(*h, bytes.data(), bytes.size());
  return noErr;
}

OSErr NewAliasHandle(const std::vector<uint8_t>& bytes, AliasHandle* alias) {
  Handle h = NewHandleWith(bytes.data(), static_cast<Size>(bytes.size()));
  if (!h) return memFullErr;
  *alias = reinterpret_cast<AliasHandle>(h);
  return noErr;
}

}  // namespace tb::aliases
