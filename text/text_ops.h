// Text operations on GBK byte text.
//
// Contract for every function here: text is GBK bytes in std::string / std::string_view; lengths and
// positions count bytes, positions are 1-based and -1 means "not found". A byte of 0x80 or above starts a
// two-byte character: the walking operations (find_part, replace_parts, split_at, trim_spaces, ascii_lower)
// step over such a pair as one unit and only try matches at the start of a step. The cuts by count
// (leading_bytes, trailing_bytes, middle_bytes, replace_span) ignore characters and may split one.
// Nothing here throws, keeps state, or reads outside its arguments; every function is safe on any thread.
// Positions and counts of any value (INT_MIN, INT_MAX) are clipped to the text. The walks take one pass
// over the text and allocate nothing beyond their result. Texts are assumed shorter than 2^31 bytes.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vd {

using TextList = std::vector<std::string>;

// "No limit" for replace_parts and split_at.
inline constexpr std::optional<int> no_limit = std::nullopt;

int byte_length(std::string_view text);

// The first n bytes; empty when n <= 0.
std::string leading_bytes(std::string_view text, int n);
// The last n bytes; empty when n <= 0.
std::string trailing_bytes(std::string_view text, int n);
// n bytes from 1-based position; empty when the position is outside the text or n <= 0.
std::string middle_bytes(std::string_view text, int position, int n);
// Removes min(length, rest) bytes at position (clipped to the text), then inserts the replacement there.
std::string replace_span(std::string_view text, int position, int length, std::string_view replacement = {});

// Position of the first match of part at or after start, or -1. ignore_case folds A-Z to a-z on every
// compared byte (second bytes of two-byte characters included). A start on the second byte of a character
// is taken as the start of a step. An empty part gives 1 (not start) when the searched stretch is not empty.
int find_part(std::string_view text, std::string_view part, int start = 1, bool ignore_case = false);

// Replaces non-overlapping occurrences of part, starting at start, at most limit times (a negative limit is
// no limit). Note the sense of the flag: match_case true compares exactly, false ignores the case of ASCII
// letters. With a one-byte part, a lone first byte at the very end that is not replaced is dropped.
std::string replace_parts(std::string_view text, std::string_view part, std::string_view replacement = {},
                          int start = 1, std::optional<int> limit = no_limit, bool match_case = true);

// Splits at every exact occurrence of separator. A trailing empty piece is not an item. With a limit, at
// most that many items are made and the text after the last of them is dropped; a limit <= 0 gives none.
TextList split_at(std::string_view text, std::string_view separator = ",",
                  std::optional<int> limit = no_limit);

// Trims ASCII spaces and full-width spaces (A1 A1) at both ends; a lone lead byte at the end goes too.
std::string trim_spaces(std::string_view text);

// A-Z to a-z; two-byte characters untouched.
std::string ascii_lower(std::string_view text);

// Character-wise comparison; with match_case false, ASCII and full-width letters compare without case.
int compare_texts(std::string_view a, std::string_view b, bool match_case);

}  // namespace vd
