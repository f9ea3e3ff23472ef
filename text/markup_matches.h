// The matches of the markup pattern "<.*?>|&[a-z]+?;|&#\d+?;" found by a direct scan rather than by
// backtracking.
//
// A backtracking search of that pattern retries "<.*?>" at every "<" and reads to the end of the line
// each time it fails, so a long line of "<" without ">" costs time in the square of its length (a title
// of a megabyte would take hours). This scan gives the same matches in one pass over the text.
#pragma once

#include <cstddef>
#include <string_view>
#include <utility>
#include <vector>

namespace vd {

// The pattern text as the engine receives it.
inline constexpr std::u16string_view kMarkupPattern16 = u"<.*?>|&[a-z]+?;|&#\\d+?;";

// [begin, end) in UTF-16 units of each match, in order, each search resuming at the end of the last
// match, exactly as the engine finds them: "." is any character but a line feed, the letters are a-z
// (A-Z too, and the two characters that fold onto them, when ignore_case), the digits 0-9. Only the
// first match unless global.
std::vector<std::pair<std::size_t, std::size_t>> markup_matches(std::u16string_view text, bool ignore_case,
                                                                bool global);

}  // namespace vd
