// Resource files on disk: creating an empty map, opening a fork as a resource file.
#include <string>
#include <vector>

#include "toolbox/core/errors.h"
#include "toolbox/core/pascal.h"
#include "toolbox/core/text.h"
#include "toolbox/files/fork_replace.h"
#include "toolbox/resources/open_files.h"
#include "toolbox/resources/resource_open.h"
#include "toolbox/resources/resources.h"

namespace tb::resources {
namespace {

// A fork is read whole; the format cannot address much more than this anyway.
constexpr long kLargestFork = 64L << 20;

// An open fork of the File Manager, closed with the resource file.
class OpenFork : public ForkStore {
 public:
  explicit OpenFork(SInt16 refNum) : refNum_(refNum) {}
  ~OpenFork() override { FSClose(refNum_); }
  SInt16 refNum() const override { return refNum_; }
  OSErr replace(std::span<const unsigned char> bytes) override {
    return files::ReplaceForkContents(refNum_, bytes.data(), bytes.size());
  }

 private:
  SInt16 refNum_;
};

enum class Fork { resource, data };

std::string KeyOf(const FSRef& ref, Fork fork) {
  std::string key(fork == Fork::data ? "d" : "r");
  key.append(reinterpret_cast<const char*>(ref.hidden), sizeof ref.hidden);
  return key;
}

OSErr OpenForkOf(const FSRef& ref, Fork fork, SInt8 permission, SInt16* refNum) {
  HFSUniStr255 name;
  OSErr err = fork == Fork::data ? FSGetDataForkName(&name) : FSGetResourceForkName(&name);
  if (err != noErr) return err;
  return FSOpenFork(&ref, name.length, name.unicode, permission, refNum);
}

OSErr ReadWholeFork(SInt16 refNum, std::vector<unsigned char>* out) {
  long size = 0;
  if (OSErr err = GetEOF(refNum, &size); err != noErr) return err;
  if (size < 0 || size > kLargestFork) return mapReadErr;
  if (OSErr err = SetFPos(refNum, fsFromStart, 0); err != noErr) return err;
  out->resize(static_cast<size_t>(size));
  long count = size;
  OSErr err = size > 0 ? FSRead(refNum, &count, out->data()) : OSErr{noErr};
  if (err == eofErr && count == size) err = noErr;
  if (err == noErr && count != size) err = ioErr;
  return err;
}

bool IsWriteRefusal(OSErr err) {
  return err == permErr || err == wrPermErr || err == fLckdErr || err == vLckdErr ||
         err == wPrErr || err == opWrErr;
}

SInt16 OpenAt(const FSRef& ref, Fork fork, SInt8 permission) {
  const std::string key = KeyOf(ref, fork);
  if (ResourceFile* open = OpenFiles::shared().findKey(key)) {
    OpenFiles::shared().use(open->refNum());
    SetResError(noErr);
    return open->refNum();
  }
  bool writable = permission != fsRdPerm;
  SInt16 refNum = 0;
  OSErr err = OpenForkOf(ref, fork, writable ? fsRdWrPerm : fsRdPerm, &refNum);
  if (permission == fsCurPerm && IsWriteRefusal(err)) {
    writable = false;
    err = OpenForkOf(ref, fork, fsRdPerm, &refNum);
  }
  if (err == errFSForkNotFound || err == eofErr) err = mapReadErr;  // no fork: no map
  if (err != noErr) {
    SetResError(err);
    return -1;
  }
  auto store = std::make_unique<OpenFork>(refNum);  // closes the fork if the map is bad
  std::vector<unsigned char> bytes;
  if (err = ReadWholeFork(refNum, &bytes); err != noErr) {
    SetResError(err);
    return -1;
  }
  SInt16 result = OpenResourceFile(bytes, std::move(store), writable, key, &err);
  SetResError(err);
  return result;
}

SInt16 OpenSpec(const FSSpec* spec, Fork fork, SInt8 permission) {
  FSRef ref{};
  OSErr err = spec ? FSpMakeFSRef(spec, &ref) : OSErr{paramErr};
  if (err != noErr) {
    SetResError(err);
    return -1;
  }
  return OpenAt(ref, fork, permission);
}

}  // namespace

SInt16 OpenResFileInDataFork(const FSSpec& spec, SInt8 permission) {
  return OpenSpec(&spec, Fork::data, permission);
}

SInt16 OpenResFileAtPath(const std::filesystem::path& path, SInt8 permission) {
  std::error_code error;
  std::string absolute = std::filesystem::absolute(path, error).lexically_normal().string();
  FSRef ref{};
  OSErr err = error
                  ? bdNamErr
                  : FSPathMakeRef(reinterpret_cast<const UInt8*>(absolute.c_str()), &ref, nullptr);
  if (err != noErr) {
    SetResError(err);
    return -1;
  }
  return OpenAt(ref, Fork::data, permission);
}

}  // namespace tb::resources

SInt16 FSpOpenResFile(const FSSpec* spec, SInt8 permission) {
  return tb::resources::OpenSpec(spec, tb::resources::Fork::resource, permission);
}

void FSpCreateResFile(const FSSpec* spec, OSType creator, OSType fileType, ScriptCode scriptTag) {
  using namespace tb::resources;
  if (!spec) return SetResError(paramErr);
  OSErr err = FSpCreate(spec, creator, fileType, scriptTag);
  if (err != noErr && err != dupFNErr) return SetResError(err);
  FSRef ref{};
  if (err = FSpMakeFSRef(spec, &ref); err != noErr) return SetResError(err);
  if (OpenFiles::shared().findKey(KeyOf(ref, Fork::resource))) return SetResError(dupFNErr);

  SInt16 refNum = 0;
  if (err = OpenForkOf(ref, Fork::resource, fsRdWrPerm, &refNum); err != noErr) {
    return SetResError(err);
  }
  OpenFork fork(refNum);
  long size = 0;
  err = GetEOF(refNum, &size);
  if (err == noErr && size > 0) err = dupFNErr;  // a map is there already: leave it alone
  if (err == noErr) {
    auto bytes = SerializeResourceFork(EmptyResourceMap());
    err = fork.replace(*bytes);
  }
  SetResError(err);
}
