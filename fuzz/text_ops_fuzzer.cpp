// The GBK text walks driven by the input: find_part, replace_parts, split_at, trim_spaces and the cuts,
// with their documented properties checked on every input.
//
// Input: operation byte, two numbers, a flag, then the text, the part and the replacement as pieces.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "text/text_ops.h"

namespace {

using vd::fuzz::FuzzInput;

std::string joined(const vd::TextList& items, std::string_view separator) {
  std::string out;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i > 0) out += separator;
    out += items[i];
  }
  return out;
}

bool same_folded(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto fold = [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; };
    if (fold(static_cast<unsigned char>(a[i])) != fold(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

int sign(int x) { return (x > 0) - (x < 0); }

void check_find(std::string_view text, std::string_view part, int start) {
  const int exact = vd::find_part(text, part, start, false);
  const int folded = vd::find_part(text, part, start, true);
  const long long from = start < 1 ? 1 : start;
  for (const int hit : {exact, folded}) {
    VD_FUZZ_CHECK(hit == -1 || (hit >= 1 && hit <= vd::byte_length(text)));
  }
  if (part.empty()) {
    VD_FUZZ_CHECK(exact == (from <= static_cast<long long>(text.size()) ? 1 : -1));
    return;
  }
  if (exact > 0) {
    VD_FUZZ_CHECK(exact >= from);
    VD_FUZZ_CHECK(text.substr(exact - 1, part.size()) == part);
    // An exact match is also a match without case, so the folded search stops there or before.
    VD_FUZZ_CHECK(folded > 0 && folded <= exact);
  }
  if (folded > 0) {
    VD_FUZZ_CHECK(folded >= from);
    VD_FUZZ_CHECK(same_folded(text.substr(folded - 1, part.size()), part));
  }
}

void check_replace(std::string_view text, std::string_view part, std::string_view replacement, int start,
                   int limit, bool match_case) {
  const std::string replaced = vd::replace_parts(text, part, replacement, start, limit, match_case);
  (void)vd::replace_parts(text, part, replacement, start, vd::no_limit, match_case);
  VD_FUZZ_CHECK(vd::replace_parts(text, part, replacement, start, 0, match_case) == text);
  // A part replaced by itself leaves the text, but for the lone lead byte at the end that a one-byte part
  // drops.
  const std::string same = vd::replace_parts(text, part, part, start, vd::no_limit, true);
  VD_FUZZ_CHECK(same == text || (part.size() == 1 && same == text.substr(0, text.size() - 1)));
  if (replacement.empty() && part.size() > 1) VD_FUZZ_CHECK(replaced.size() <= text.size());
}

void check_split(std::string_view text, std::string_view separator, int limit) {
  const vd::TextList items = vd::split_at(text, separator);
  if (text.empty()) {
    VD_FUZZ_CHECK(items.empty());
  } else if (separator.empty()) {
    VD_FUZZ_CHECK(items.size() == 1 && items[0] == text);
  } else {
    // The items with their separators give the text back; a trailing empty piece is no item.
    const std::string whole = joined(items, separator);
    VD_FUZZ_CHECK(whole == text || whole + std::string(separator) == text);
  }
  const vd::TextList limited = vd::split_at(text, separator, limit);
  if (limit <= 0) {
    VD_FUZZ_CHECK(limited.empty());
  } else {
    VD_FUZZ_CHECK(limited.size() <= static_cast<std::size_t>(limit));
    VD_FUZZ_CHECK(text.substr(0, joined(limited, separator).size()) == joined(limited, separator));
  }
}

void check_trim(std::string_view text) {
  const std::string trimmed = vd::trim_spaces(text);
  VD_FUZZ_CHECK(text.find(trimmed) != std::string_view::npos);
  VD_FUZZ_CHECK(vd::trim_spaces(trimmed) == trimmed);
  VD_FUZZ_CHECK(vd::ascii_lower(text).size() == text.size());
}

void check_cuts(std::string_view text, int position, int n, std::string_view replacement) {
  const auto length = static_cast<long long>(text.size());
  VD_FUZZ_CHECK(static_cast<long long>(vd::leading_bytes(text, n).size()) <= (n > 0 ? n : 0));
  VD_FUZZ_CHECK(static_cast<long long>(vd::trailing_bytes(text, n).size()) <= length);
  const std::string middle = vd::middle_bytes(text, position, n);
  VD_FUZZ_CHECK(middle.empty() || text.substr(position - 1, middle.size()) == middle);
  const std::string spliced = vd::replace_span(text, position, n, replacement);
  VD_FUZZ_CHECK(spliced.size() <= text.size() + replacement.size());
}

void check_compare(std::string_view a, std::string_view b, bool match_case) {
  VD_FUZZ_CHECK(vd::compare_texts(a, a, match_case) == 0);
  VD_FUZZ_CHECK(sign(vd::compare_texts(a, b, match_case)) == -sign(vd::compare_texts(b, a, match_case)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput input(data, size);
  const std::uint8_t operation = input.byte();
  const int first = input.number();
  const int second = input.number();
  const bool flag = input.flag();
  const std::string_view text = input.piece();
  const std::string_view part = input.piece();
  const std::string_view replacement = input.rest();
  switch (operation % 6) {
    case 0:
      check_find(text, part, first);
      break;
    case 1:
      check_replace(text, part, replacement, first, second, flag);
      break;
    case 2:
      check_split(text, part, first);
      break;
    case 3:
      check_trim(text);
      break;
    case 4:
      check_cuts(text, first, second, replacement);
      break;
    default:
      check_compare(text, part, flag);
      break;
  }
  return 0;
}
