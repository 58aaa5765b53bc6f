// Pascal strings: literals built at compile time and views for C++ code inside the toolbox.
#pragma once

#include <algorithm>
#include <cstring>
#include <string_view>

#include "toolbox/core/types.h"

namespace tb {

// A Pascal string literal: PStr("Vantorel") converts to ConstStr255Param.
template <size_t N>
struct PStr {
  static_assert(N - 1 <= 255, "a Pascal string holds at most 255 bytes");
  unsigned char bytes[N];
  constexpr PStr(const char (&text)[N]) : bytes{} {
    bytes[0] = static_cast<unsigned char>(N - 1);
    for (size_t i = 0; i + 1 < N; ++i) bytes[i + 1] = static_cast<unsigned char>(text[i]);
  }
  constexpr operator ConstStr255Param() const { return bytes; }
  constexpr ConstStr255Param data() const { return bytes; }
};

inline std::string_view PascalView(ConstStr255Param p) {
  if (!p) return {};
  return {reinterpret_cast<const char*>(p + 1), p[0]};
}

// Stores text as a Pascal string in a buffer of `capacity` bytes (length byte included),
// cutting what does not fit.
inline void SetPascal(StringPtr out, size_t capacity, std::string_view text) {
  if (!out || capacity == 0) return;
  size_t n = std::min({text.size(), capacity - 1, size_t{255}});
  out[0] = static_cast<unsigned char>(n);
  std::memcpy(out + 1, text.data(), n);
}

inline void CopyPascal(ConstStr255Param from, StringPtr to, size_t capacity) {
  SetPascal(to, capacity, PascalView(from));
}

inline bool PascalEqual(ConstStr255Param a, ConstStr255Param b) {
  return PascalView(a) == PascalView(b);
}

}  // namespace tb
