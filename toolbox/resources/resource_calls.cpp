// Resource Manager calls on the chain of open files: counting, getting and changing resources.
#include "toolbox/core/errors.h"
#include "toolbox/core/memory.h"
#include "toolbox/core/pascal.h"
#include "toolbox/resources/open_files.h"
#include "toolbox/resources/resources.h"

using tb::resources::LoadedResource;
using tb::resources::OpenFiles;
using tb::resources::ResourceFile;

namespace tb::resources {
namespace {
OSErr gResError = noErr;
}  // namespace

void SetResError(OSErr err) {
  gResError = err;
}
}  // namespace tb::resources

namespace {

using tb::resources::SetResError;

// The resource a handle stands for, or nullptr with ResError set.
LoadedResource* Locate(Handle h, ResourceFile** file = nullptr, ResType* type = nullptr) {
  ResourceFile* home = OpenFiles::shared().home(h);
  LoadedResource* res = home ? home->findHandle(h, type) : nullptr;
  if (file) *file = home;
  SetResError(res ? noErr : resNotFound);
  return res;
}

Handle Load(ResourceFile* file, LoadedResource* res) {
  if (!res) {
    SetResError(resNotFound);
    return nullptr;
  }
  Handle h = file->load(*res);
  SetResError(h ? noErr : memFullErr);
  return h;
}

// Keeps a changed resource's data when its handle leaves the file's care.
void KeepData(LoadedResource* res) {
  if (!res->handle || !(res->resource.attributes & tb::resources::kResChanged)) return;
  res->resource.data.assign(*res->handle, *res->handle + GetHandleSize(res->handle));
}

}  // namespace

OSErr ResError() {
  return tb::resources::gResError;
}

SInt16 CountResources(ResType theType) {
  size_t count = 0;
  for (auto* file : OpenFiles::shared().chain()) {
    if (auto* type = file->findType(theType)) count += type->resources.size();
  }
  SetResError(noErr);
  return static_cast<SInt16>(std::min<size_t>(count, 0x7FFF));
}

SInt16 Count1Resources(ResType theType) {
  auto* file = OpenFiles::shared().current();
  auto* type = file ? file->findType(theType) : nullptr;
  SetResError(noErr);
  return type ? static_cast<SInt16>(std::min<size_t>(type->resources.size(), 0x7FFF)) : 0;
}

SInt16 Count1Types() {
  auto* file = OpenFiles::shared().current();
  SetResError(noErr);
  return file ? static_cast<SInt16>(std::min<size_t>(file->types().size(), 0x7FFF)) : 0;
}

void Get1IndType(ResType* theType, SInt16 index) {
  if (!theType) return SetResError(paramErr);
  *theType = 0;
  auto* file = OpenFiles::shared().current();
  if (!file || index < 1 || static_cast<size_t>(index) > file->types().size()) {
    return SetResError(resNotFound);
  }
  *theType = file->types()[index - 1].type;
  SetResError(noErr);
}

Handle GetResource(ResType theType, SInt16 theID) {
  for (auto* file : OpenFiles::shared().chain()) {
    if (auto* res = file->find(theType, theID)) return Load(file, res);
  }
  SetResError(resNotFound);
  return nullptr;
}

Handle Get1Resource(ResType theType, SInt16 theID) {
  auto* file = OpenFiles::shared().current();
  return Load(file, file ? file->find(theType, theID) : nullptr);
}

Handle GetNamedResource(ResType theType, ConstStr255Param name) {
  for (auto* file : OpenFiles::shared().chain()) {
    if (auto* res = file->findNamed(theType, tb::PascalView(name))) return Load(file, res);
  }
  SetResError(resNotFound);
  return nullptr;
}

Handle Get1NamedResource(ResType theType, ConstStr255Param name) {
  auto* file = OpenFiles::shared().current();
  return Load(file, file ? file->findNamed(theType, tb::PascalView(name)) : nullptr);
}

Handle Get1IndResource(ResType theType, SInt16 index) {
  auto* file = OpenFiles::shared().current();
  auto* type = file ? file->findType(theType) : nullptr;
  if (!type || index < 1 || static_cast<size_t>(index) > type->resources.size()) {
    SetResError(resNotFound);
    return nullptr;
  }
  return Load(file, &type->resources[index - 1]);
}

void GetResInfo(Handle theResource, SInt16* theID, ResType* theType, Str255 name) {
  ResType type = 0;
  auto* res = Locate(theResource, nullptr, &type);
  if (!res) return;
  if (theID) *theID = res->resource.id;
  if (theType) *theType = type;
  if (name) tb::SetPascal(name, 256, res->resource.name.value_or(""));
}

SInt16 GetResAttrs(Handle theResource) {
  auto* res = Locate(theResource);
  return res ? res->resource.attributes : 0;
}

void SetResAttrs(Handle theResource, SInt16 attrs) {
  ResourceFile* file = nullptr;
  auto* res = Locate(theResource, &file);
  if (!res) return;
  if (!file->writable()) return SetResError(wrPermErr);
  // The new attributes reach the disk with the map; the data is not marked changed.
  res->resource.attributes = (static_cast<UInt8>(attrs) & ~tb::resources::kResChanged) |
                             (res->resource.attributes & tb::resources::kResChanged);
  file->markChanged();
}

void SetResInfo(Handle theResource, SInt16 theID, ConstStr255Param name) {
  ResourceFile* file = nullptr;
  auto* res = Locate(theResource, &file);
  if (!res) return;
  if (!file->writable() || (res->resource.attributes & tb::resources::kResProtected)) {
    return SetResError(resAttrErr);
  }
  res->resource.id = theID;
  if (name) {
    res->resource.name.reset();
    if (name[0] > 0) res->resource.name.emplace(tb::PascalView(name));
  }
  file->markChanged();
}

SInt16 GetResFileAttrs(SInt16 refNum) {
  auto* file = OpenFiles::shared().find(refNum);
  SetResError(file ? noErr : resFNotFound);
  return file ? static_cast<SInt16>(file->attributes()) : 0;
}

void SetResFileAttrs(SInt16 refNum, SInt16 attrs) {
  auto* file = OpenFiles::shared().find(refNum);
  if (!file) return SetResError(resFNotFound);
  file->setAttributes(static_cast<UInt16>(attrs));
  SetResError(noErr);
}

void AddResource(Handle theData, ResType theType, SInt16 theID, ConstStr255Param name) {
  auto& files = OpenFiles::shared();
  ResourceFile* file = files.current();
  if (!theData || !file || !file->writable() || files.home(theData)) {
    return SetResError(addResFailed);
  }
  tb::resources::Resource res;
  res.id = theID;
  if (name && name[0] > 0) res.name.emplace(tb::PascalView(name));
  res.attributes = tb::resources::kResChanged;
  file->add(theType, std::move(res), theData);
  SetResError(noErr);
}

void RemoveResource(Handle theResource) {
  ResourceFile* file = OpenFiles::shared().home(theResource);
  if (!file) return SetResError(rmvResFailed);
  if (!file->writable()) return SetResError(rmvResFailed);
  auto* res = file->findHandle(theResource);
  if (res->resource.attributes & tb::resources::kResProtected) return SetResError(rmvResFailed);
  file->remove(theResource);  // the handle is now an ordinary one, the caller's
  SetResError(noErr);
}

void DetachResource(Handle theResource) {
  auto* res = Locate(theResource);
  if (!res) return;
  KeepData(res);
  res->handle = nullptr;
}

void ReleaseResource(Handle theResource) {
  auto* res = Locate(theResource);
  if (!res) return;
  KeepData(res);
  DisposeHandle(res->handle);
  res->handle = nullptr;
}

void ChangedResource(Handle theResource) {
  ResourceFile* file = nullptr;
  auto* res = Locate(theResource, &file);
  if (!res) return;
  if (res->resource.attributes & tb::resources::kResProtected) return SetResError(resAttrErr);
  if (!file->writable()) return SetResError(wrPermErr);
  res->resource.attributes |= tb::resources::kResChanged;
  file->markChanged();
}

void WriteResource(Handle theResource) {
  ResourceFile* file = nullptr;
  auto* res = Locate(theResource, &file);
  if (!res) return;
  if (!(res->resource.attributes & tb::resources::kResChanged)) return;
  // The map and every resource are written together, so the fork is consistent on disk.
  SetResError(file->update());
}

void UseResFile(SInt16 refNum) {
  SetResError(OpenFiles::shared().use(refNum) ? noErr : resFNotFound);
}

SInt16 CurResFile() {
  SetResError(noErr);
  return OpenFiles::shared().currentRefNum();
}

void UpdateResFile(SInt16 refNum) {
  auto* file = OpenFiles::shared().find(refNum);
  SetResError(file ? file->update() : OSErr{resFNotFound});
}

void CloseResFile(SInt16 refNum) {
  SetResError(OpenFiles::shared().close(refNum));
}

SInt16 HomeResFile(Handle theResource) {
  ResourceFile* file = OpenFiles::shared().home(theResource);
  SetResError(file ? noErr : resNotFound);
  return file ? file->refNum() : -1;
}
