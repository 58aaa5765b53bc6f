// A value or the result code saying why there is none.
#pragma once

#include <optional>
#include <utility>

#include "toolbox/core/errors.h"

namespace tb::files {

template <typename T>
class Result {
 public:
  Result(T value) : value_(std::move(value)) {}
  Result(OSErr error) : error_(error) {}
  explicit operator bool() const { return value_.has_value(); }
  OSErr error() const { return value_ ? OSErr{noErr} : error_; }
  T& operator*() { return *value_; }
  const T& operator*() const { return *value_; }
  T* operator->() { return &*value_; }
  const T* operator->() const { return &*value_; }

 private:
  std::optional<T> value_;
  OSErr error_ = noErr;
};

}  // namespace tb::files
