#include "collect/text_between.h"

#include "text/text_ops.h"

namespace vd {

namespace {

// One attempt: steps 1 to 4 of the cut.
std::string one_attempt(std::string_view text, std::string_view start_marker, std::string_view end_marker,
                        int& position) {
  // An empty end marker touches the start marker wherever it is: nothing between them. Returning early
  // also keeps the position from moving back, so a walk always advances.
  if (end_marker.empty()) return {};
  const int start_at = find_part(text, start_marker, position, true);
  if (start_at < 0) return {};
  const int content_at = start_at + byte_length(start_marker);
  const int end_at = find_part(text, end_marker, content_at, true);
  if (end_at < 0) return {};
  position = end_at + byte_length(end_marker);
  return middle_bytes(text, content_at, end_at - content_at);
}

// Byte by byte: a double quote is never the second byte of a two-byte character, and a marker that ends
// in a lone first byte keeps it.
std::string without_quotes(std::string_view marker) {
  std::string bare(marker);
  std::erase(bare, '"');
  return bare;
}

}  // namespace

std::string text_between(std::string_view text, std::string_view start_marker, std::string_view end_marker,
                         int& position) {
  std::string found = one_attempt(text, start_marker, end_marker, position);
  if (!found.empty()) return found;
  return one_attempt(text, without_quotes(start_marker), without_quotes(end_marker), position);
}

MarkerCut cut_between_any(std::string_view text, const MarkerAlternatives& markers, int& position) {
  int first_position = position;
  for (std::size_t i = 0; i < markers.size(); ++i) {
    int at = position;
    std::string found = text_between(text, markers[i].start, markers[i].end, at);
    if (!found.empty()) {
      position = at;
      return {std::move(found), static_cast<int>(i)};
    }
    if (i == 0) first_position = at;
  }
  position = first_position;
  return {};
}

std::string text_between_any(std::string_view text, const MarkerAlternatives& markers, int& position) {
  return cut_between_any(text, markers, position).text;
}

}  // namespace vd
