// Reading a fuzzer's input bytes as the arguments of the call under test.
//
// Layout: small parameters are taken one byte each from the front; texts are the pieces between 0xFF
// bytes (0xFF is no GBK lead byte, so real GBK text never holds it); the last piece runs to the end. An
// exhausted input gives zero bytes and empty pieces, so every input, the empty one included, is a valid
// call. Views point into the fuzzer's buffer and live as long as it.
#pragma once

#include <climits>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vd::fuzz {

inline constexpr char kPieceEnd = '\xFF';

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : rest_(reinterpret_cast<const char*>(data), size) {}

  std::uint8_t byte() {
    if (rest_.empty()) return 0;
    const auto b = static_cast<std::uint8_t>(rest_.front());
    rest_.remove_prefix(1);
    return b;
  }

  bool flag() { return (byte() & 1) != 0; }

  // A position, count or limit: mostly small values around the texts' lengths, sometimes the extremes
  // that the clipping rules must survive.
  int number() {
    const std::uint8_t b = byte();
    switch (b) {
      case 0xF0:
        return INT_MIN;
      case 0xF1:
        return INT_MAX;
      case 0xF2:
        return INT_MIN + 1;
      case 0xF3:
        return INT_MAX - 1;
      case 0xF4:
        return -1000000;
      case 0xF5:
        return 1000000;
      default:
        return static_cast<int>(b) - 8;
    }
  }

  // The text up to the next 0xFF (which is consumed), or to the end.
  std::string_view piece() {
    const std::size_t end = rest_.find(kPieceEnd);
    const std::string_view text = rest_.substr(0, end);
    rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
    return text;
  }

  std::string_view rest() {
    const std::string_view text = rest_;
    rest_ = {};
    return text;
  }

 private:
  std::string_view rest_;
};

}  // namespace vd::fuzz
