// Releases a Core Foundation reference when the scope that made it ends.
#pragma once

#include "toolbox/cf/base.h"

template <typename Ref>
class ScopedCF {
 public:
  explicit ScopedCF(Ref ref = nullptr) : ref_(ref) {}
  ~ScopedCF() {
    if (ref_) CFRelease(ref_);
  }
  ScopedCF(const ScopedCF&) = delete;
  ScopedCF& operator=(const ScopedCF&) = delete;

  Ref get() const { return ref_; }
  explicit operator bool() const { return ref_ != nullptr; }

 private:
  Ref ref_;
};
