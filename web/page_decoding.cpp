#include "web/page_decoding.h"

#include "text/encoding.h"
#include "text/text_ops.h"

namespace vd {

namespace {

// The stored marker list: items separated by "[fg]", each '' standing for a double quote.
constexpr std::string_view charset_marker_list = "charset=utf-8[fg]charset=''utf-8''";

const TextList& charset_markers() {
  static const TextList markers = split_at(replace_parts(charset_marker_list, "''", "\""), "[fg]");
  return markers;
}

bool declares_utf8(std::string_view text) {
  for (const std::string& marker : charset_markers()) {
    if (find_part(text, marker, 1, true) != -1) return true;
  }
  return false;
}

}  // namespace

std::string decode_page_text(std::string_view text, int decode_mode) {
  if (decode_mode == 2 || (decode_mode == 0 && declares_utf8(text))) return utf8_to_gbk(text);
  return std::string(text);
}

Bytes convert_body(std::string_view body, int conversion) {
  switch (conversion) {
    case 1:
      return text_to_bytes(utf8_to_gbk_plain(bytes_to_text(body)));
    case 2:
      return text_to_bytes(big5_to_gbk_simplified(bytes_to_text(body)));
    default:
      return Bytes(body);
  }
}

}  // namespace vd
