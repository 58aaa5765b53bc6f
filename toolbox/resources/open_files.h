// The open resource files: their maps in memory, their loaded handles, and the chain searched
// from the current file down to the oldest one.
#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "toolbox/core/types.h"
#include "toolbox/resources/resource_map.h"

namespace tb::resources {

// Where a resource file's bytes live; held open for as long as the resource file is.
class ForkStore {
 public:
  virtual ~ForkStore() = default;
  // The reference number the resource file takes (the open fork's).
  virtual SInt16 refNum() const = 0;
  // Replaces the whole fork.
  virtual OSErr replace(std::span<const unsigned char> bytes) = 0;
};

struct LoadedResource {
  Resource resource;
  Handle handle = nullptr;  // while loaded; owned by the file
};

struct TypeEntry {
  ResType type = 0;
  std::vector<LoadedResource> resources;
};

class ResourceFile {
 public:
  ResourceFile(std::unique_ptr<ForkStore> store, ResourceMap map, bool writable, std::string key);
  ~ResourceFile();  // disposes the loaded handles
  ResourceFile(const ResourceFile&) = delete;
  ResourceFile& operator=(const ResourceFile&) = delete;

  SInt16 refNum() const { return store_->refNum(); }
  const std::string& key() const { return key_; }
  bool writable() const { return writable_ && !(attributes_ & kMapReadOnly); }
  UInt16 attributes() const { return attributes_; }
  void markChanged() { attributes_ |= kMapChanged; }
  // Marks the map changed, so the new attributes are written.
  void setAttributes(UInt16 attributes) { attributes_ = attributes | kMapChanged; }
  bool changed() const { return attributes_ & kMapChanged; }

  std::vector<TypeEntry>& types() { return types_; }
  TypeEntry* findType(ResType type);
  LoadedResource* find(ResType type, SInt16 id);
  LoadedResource* findNamed(ResType type, std::string_view name);
  LoadedResource* findHandle(Handle h, ResType* type = nullptr);
  // Loads the resource's data into its handle (once).
  Handle load(LoadedResource& res);
  LoadedResource& add(ResType type, Resource resource, Handle h);
  // Drops the entry; its handle, if any, is the caller's afterwards.
  void remove(Handle h);

  // Writes the file when something changed; clears the changed marks.
  OSErr update();

 private:
  ResourceMap snapshot() const;

  std::unique_ptr<ForkStore> store_;
  ReservedArea reserved_;
  UInt16 attributes_;
  std::vector<TypeEntry> types_;
  bool writable_;
  std::string key_;
};

// The chain of open resource files, newest last.
class OpenFiles {
 public:
  static OpenFiles& shared();

  // Makes the file current; returns its reference number.
  SInt16 add(std::unique_ptr<ResourceFile> file);
  ResourceFile* find(SInt16 refNum);
  ResourceFile* findKey(const std::string& key);
  // The file owning a resource handle.
  ResourceFile* home(Handle h);
  // From the current file down to the oldest; empty when none is current.
  std::vector<ResourceFile*> chain();
  ResourceFile* current();
  SInt16 currentRefNum() const { return current_; }
  bool use(SInt16 refNum);
  // Writes what changed and disposes the file's handles.
  OSErr close(SInt16 refNum);

 private:
  std::vector<std::unique_ptr<ResourceFile>> files_;
  SInt16 current_ = 0;  // 0: the system file, which holds nothing here
};

// Opens a resource file over a store; the common end of every open call. Sets nothing but the
// chain; returns the reference number or a (negative) result code in *err.
SInt16 OpenResourceFile(std::span<const unsigned char> bytes, std::unique_ptr<ForkStore> store,
                        bool writable, std::string key, OSErr* err);

void SetResError(OSErr err);

}  // namespace tb::resources
