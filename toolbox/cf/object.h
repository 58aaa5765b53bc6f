// The common base of every Core Foundation object: a type, a plain reference count (the toolbox
// runs its objects on one thread) and the per-type equality and hash CFEqual/CFHash dispatch to.
#pragma once

#include "toolbox/cf/base.h"

namespace tb::cf {

enum TypeIDs : CFTypeID {
  kStringTypeID = 7,
  kArrayTypeID = 19,
  kUUIDTypeID = 29,
  kURLTypeID = 30,
  kBundleTypeID = 31,
};

class Object {
 public:
  explicit Object(CFTypeID type) : type_(type) {}
  virtual ~Object() = default;
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  CFTypeID type() const { return type_; }
  // Constants (CFSTR strings, constant UUIDs) live as long as the process; retain and release
  // leave them alone.
  void makeImmortal() { immortal_ = true; }
  bool immortal() const { return immortal_; }
  CFIndex retainCount() const { return refs_; }
  void retain() {
    if (!immortal_) ++refs_;
  }
  // True when this release dropped the last reference.
  bool release() { return !immortal_ && --refs_ == 0; }

  // Called only with an object of the same type.
  virtual bool equals(const Object& other) const { return this == &other; }
  virtual CFHashCode hash() const { return reinterpret_cast<CFHashCode>(this) >> 4; }

 private:
  CFTypeID type_;
  CFIndex refs_ = 1;
  bool immortal_ = false;
};

inline const Object* AsObject(CFTypeRef cf) {
  return static_cast<const Object*>(cf);
}
inline Object* AsMutableObject(CFTypeRef cf) {
  return const_cast<Object*>(static_cast<const Object*>(cf));
}

}  // namespace tb::cf
