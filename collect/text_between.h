// The marker cut that all result parsing uses.
//
// Texts are GBK; positions are 1-based byte positions (0 and 1 both mean the beginning). Markers are
// found by the case-insensitive search of find_part, which matches only at character boundaries.
#pragma once

#include <string>
#include <string_view>

#include "collect/engine_profile.h"

namespace vd {

// The bytes between the first start marker at or after position and the next end marker after it; on
// success position moves to the byte just after the end marker. When that yields empty text (a marker
// missing, or the markers touching), a second attempt runs with every double quote removed from both
// markers, from the position as it then stands; its text is the result. So "<div id=\"x\">" also finds
// <div id=x>, while "href=\"" with "\"" never reads an unquoted value (its second form has an empty end
// marker, which yields empty text).
std::string text_between(std::string_view text, std::string_view start_marker, std::string_view end_marker,
                         int& position);

// text_between with each pair in turn, every one from the given position; the first non-empty text wins
// and its position is kept. When none yields text, position is left as the first pair's cut left it.
std::string text_between_any(std::string_view text, const MarkerAlternatives& markers, int& position);

// The index of the pair that won the last cut, for callers that need that pair's end marker.
struct MarkerCut {
  std::string text;
  int pair_index = -1;  // -1 when no pair yielded text
};
MarkerCut cut_between_any(std::string_view text, const MarkerAlternatives& markers, int& position);

}  // namespace vd
