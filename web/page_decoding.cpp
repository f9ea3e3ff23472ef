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

// The bytes that every marker begins with; the page is searched for these once rather than once for each
// marker.
const std::string& shared_marker_start() {
  static const std::string start = [] {
    const TextList& markers = charset_markers();
    std::string common = markers.empty() ? std::string() : markers.front();
    for (const std::string& marker : markers) {
      std::size_t n = 0;
      while (n < common.size() && n < marker.size() && common[n] == marker[n]) ++n;
      common.resize(n);
    }
    return common;
  }();
  return start;
}

bool same_without_case(unsigned char page_byte, unsigned char marker_byte) {
  auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c + 32) : c; };
  return fold(page_byte) == fold(marker_byte);
}

bool marker_at(std::string_view text, std::size_t offset, std::string_view marker) {
  if (text.size() - offset < marker.size()) return false;
  for (std::size_t i = 0; i < marker.size(); ++i) {
    if (!same_without_case(static_cast<unsigned char>(text[offset + i]),
                           static_cast<unsigned char>(marker[i]))) {
      return false;
    }
  }
  return true;
}

// Whether any marker is found, letter case ignored, as a search for each marker from the page's start
// would find it. A marker's match starts a step of that search, and so is a match of the shared start at a
// step start; each match of the shared start is tried against every marker. After a match the search goes
// on at the next step start, which keeps the steps of a search from the page's start.
bool declares_utf8(std::string_view text) {
  const std::string& start = shared_marker_start();
  if (start.empty()) {
    for (const std::string& marker : charset_markers()) {
      if (find_part(text, marker, 1, true) != -1) return true;
    }
    return false;
  }
  int from = 1;
  for (;;) {
    const int hit = find_part(text, start, from, true);
    if (hit == -1) return false;
    const auto offset = static_cast<std::size_t>(hit - 1);
    for (const std::string& marker : charset_markers()) {
      if (marker_at(text, offset, marker)) return true;
    }
    from = hit + (static_cast<unsigned char>(text[offset]) >= 0x80 ? 2 : 1);
  }
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
