#include "web/percent_encoding.h"

#include "text/encoding.h"
#include "text/event_pump.h"
#include "text/numbers.h"

namespace vd {

namespace {

bool stays_plain(unsigned char b) {
  return (b >= 0x2C && b <= 0x39) || (b >= 0x41 && b <= 0x5A) || (b >= 0x61 && b <= 0x7A);
}

}  // namespace

std::string percent_encode(std::string_view text, bool keep_plain) {
  const Bytes utf8 = text_to_bytes(gbk_to_utf8(text));
  std::string result;
  result.reserve(utf8.size() * 3);
  for (const char c : utf8) {
    const unsigned char b = static_cast<unsigned char>(c);
    if (keep_plain && stays_plain(b)) {
      result += char_text(b);
    } else {
      const std::string hex = upper_hex(b);
      result += '%';
      if (hex.size() == 1) result += '0';
      result += hex;
    }
    pump_events();
  }
  return result;
}

}  // namespace vd
