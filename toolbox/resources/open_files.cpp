#include "toolbox/resources/open_files.h"

#include <algorithm>
#include <cstring>

#include "toolbox/core/errors.h"
#include "toolbox/core/memory.h"

namespace tb::resources {

ResourceFile::ResourceFile(std::unique_ptr<ForkStore> store, ResourceMap map, bool writable,
                           std::string key)
    : store_(std::move(store)),
      reserved_(map.reserved),
      attributes_(map.attributes),
      writable_(writable),
      key_(std::move(key)) {
  for (auto& type : map.types) {
    // Some writers split one type over two entries; keep one entry per type.
    TypeEntry* entry = findType(type.type);
    if (!entry) entry = &types_.emplace_back(TypeEntry{type.type, {}});
    for (auto& res : type.resources) entry->resources.push_back({std::move(res), nullptr});
  }
  attributes_ &= ~kMapChanged;
}

ResourceFile::~ResourceFile() {
  for (auto& type : types_) {
    for (auto& res : type.resources) DisposeHandle(res.handle);
  }
}

TypeEntry* ResourceFile::findType(ResType type) {
  for (auto& entry : types_) {
    if (entry.type == type) return &entry;
  }
  return nullptr;
}

LoadedResource* ResourceFile::find(ResType type, SInt16 id) {
  if (auto* entry = findType(type)) {
    for (auto& res : entry->resources) {
      if (res.resource.id == id) return &res;
    }
  }
  return nullptr;
}

LoadedResource* ResourceFile::findNamed(ResType type, std::string_view name) {
  if (auto* entry = findType(type)) {
    for (auto& res : entry->resources) {
      if (res.resource.name.value_or("") == name) return &res;
    }
  }
  return nullptr;
}

LoadedResource* ResourceFile::findHandle(Handle h, ResType* type) {
  if (!h) return nullptr;
  for (auto& entry : types_) {
    for (auto& res : entry.resources) {
      if (res.handle == h) {
        if (type) *type = entry.type;
        return &res;
      }
    }
  }
  return nullptr;
}

Handle ResourceFile::load(LoadedResource& res) {
  if (!res.handle) {
    res.handle =
        NewHandleWith(res.resource.data.data(), static_cast<Size>(res.resource.data.size()));
  }
  return res.handle;
}

LoadedResource& ResourceFile::add(ResType type, Resource resource, Handle h) {
  TypeEntry* entry = findType(type);
  if (!entry) entry = &types_.emplace_back(TypeEntry{type, {}});
  markChanged();
  return entry->resources.emplace_back(LoadedResource{std::move(resource), h});
}

void ResourceFile::remove(Handle h) {
  for (auto t = types_.begin(); t != types_.end(); ++t) {
    auto& list = t->resources;
    auto it = std::find_if(list.begin(), list.end(), [h](auto& r) { return r.handle == h; });
    if (it == list.end()) continue;
    list.erase(it);
    if (list.empty()) types_.erase(t);
    markChanged();
    return;
  }
}

ResourceMap ResourceFile::snapshot() const {
  ResourceMap map;
  map.reserved = reserved_;
  map.attributes = attributes_ & ~kMapChanged;
  for (const auto& entry : types_) {
    ResourceType type{entry.type, {}};
    for (const auto& res : entry.resources) {
      Resource copy = res.resource;
      copy.attributes &= ~kResChanged;
      if (res.handle && (res.resource.attributes & kResChanged)) {
        const Size size = GetHandleSize(res.handle);
        copy.data.assign(*res.handle, *res.handle + size);
      }
      type.resources.push_back(std::move(copy));
    }
    map.types.push_back(std::move(type));
  }
  return map;
}

OSErr ResourceFile::update() {
  if (!changed() || (attributes_ & kMapReadOnly)) return noErr;  // a read-only map stays as is
  if (!writable_) return wrPermErr;
  ResourceMap map = snapshot();
  auto bytes = SerializeResourceFork(map);
  if (!bytes) return memFullErr;
  if (OSErr err = store_->replace(*bytes); err != noErr) return err;
  // What is on disk is now what the handles hold.
  size_t t = 0;
  for (auto& entry : types_) {
    size_t r = 0;
    for (auto& res : entry.resources) {
      res.resource.data = std::move(map.types[t].resources[r++].data);
      res.resource.attributes &= ~kResChanged;
    }
    ++t;
  }
  attributes_ &= ~kMapChanged;
  return noErr;
}

OpenFiles& OpenFiles::shared() {
  static OpenFiles files;
  return files;
}

SInt16 OpenFiles::add(std::unique_ptr<ResourceFile> file) {
  current_ = file->refNum();
  files_.push_back(std::move(file));
  return current_;
}

ResourceFile* OpenFiles::find(SInt16 refNum) {
  for (auto& file : files_) {
    if (file->refNum() == refNum) return file.get();
  }
  return nullptr;
}

ResourceFile* OpenFiles::findKey(const std::string& key) {
  for (auto& file : files_) {
    if (file->key() == key) return file.get();
  }
  return nullptr;
}

ResourceFile* OpenFiles::home(Handle h) {
  if (!h) return nullptr;
  for (auto& file : files_) {
    if (file->findHandle(h)) return file.get();
  }
  return nullptr;
}

std::vector<ResourceFile*> OpenFiles::chain() {
  std::vector<ResourceFile*> result;
  bool found = false;
  for (auto it = files_.rbegin(); it != files_.rend(); ++it) {
    found = found || (*it)->refNum() == current_;
    if (found) result.push_back(it->get());
  }
  return result;
}

ResourceFile* OpenFiles::current() {
  return find(current_);
}

bool OpenFiles::use(SInt16 refNum) {
  if (refNum != 0 && !find(refNum)) return false;
  current_ = refNum;
  return true;
}

OSErr OpenFiles::close(SInt16 refNum) {
  auto it = std::find_if(files_.begin(), files_.end(),
                         [refNum](auto& f) { return f->refNum() == refNum; });
  if (it == files_.end()) return resFNotFound;
  OSErr err = (*it)->update();
  if (current_ == refNum) {
    // The next older file becomes current, as when the newest file of a chain closes.
    current_ = it == files_.begin() ? 0 : (*(it - 1))->refNum();
  }
  files_.erase(it);
  return err;
}

SInt16 OpenResourceFile(std::span<const unsigned char> bytes, std::unique_ptr<ForkStore> store,
                        bool writable, std::string key, OSErr* err) {
  ResourceMap map;
  if (OSErr parsed = ParseResourceFork(bytes, &map); parsed != noErr) {
    *err = parsed;
    return -1;
  }
  auto file =
      std::make_unique<ResourceFile>(std::move(store), std::move(map), writable, std::move(key));
  *err = noErr;
  return OpenFiles::shared().add(std::move(file));
}

}  // namespace tb::resources
