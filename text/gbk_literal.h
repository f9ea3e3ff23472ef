// GBK literals written in UTF-8 source: "外星人"_gbk is a const std::string& holding the GBK bytes.
// Each literal is converted once, on first use, and cached for the program's life (thread-safe).
// Never compare a plain UTF-8 literal with GBK text; write the literal with _gbk.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <string_view>

#include "text/encoding.h"

namespace vd {

template <std::size_t N>
struct Utf8Literal {
  char bytes[N];
  constexpr Utf8Literal(const char (&s)[N]) { std::copy_n(s, N, bytes); }
  constexpr std::string_view view() const { return {bytes, N - 1}; }
};

namespace literals {
template <Utf8Literal S>
const std::string& operator""_gbk() {
  static const std::string converted = utf8_to_gbk_small(S.view());
  return converted;
}
}  // namespace literals

}  // namespace vd
