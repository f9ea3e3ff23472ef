// Title cleaning with the markup pattern through the regular-expression service, and the patterns the
// service makes from plain text (escape_pattern, wildcard_pattern), on any GBK bytes.
//
// Input: a flag byte, then the text.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>

#include "collect/output_records.h"
#include "fuzz/fuzz_check.h"
#include "fuzz/fuzz_input.h"
#include "text/encoding.h"
#include "text/regex_service.h"

namespace {

// Text that the converters and the text walks read alike: valid GBK (it survives the way through UTF-8)
// without 0x80 and 0xFF, which the code page reads as one-byte characters (the euro sign, a private-use
// character) but the text walks as lead bytes, so a pattern character after them would go unescaped.
bool is_plain_gbk(std::string_view text) {
  return text.find_first_of(std::string_view("\x80\xFF\0", 3)) == std::string_view::npos &&
         vd::utf8_to_gbk_plain(vd::gbk_to_utf8(text)) == text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  vd::fuzz::FuzzInput input(data, size);
  const bool first_only = input.flag();
  const std::string_view text = input.rest();

  // Main thread only: libFuzzer and the replay run the target on one thread.
  static vd::RegexService titles = [] {
    vd::RegexService service;
    service.set_pattern(vd::markup_pattern());
    return service;
  }();
  const std::string cleaned = vd::clean_title(titles, text);
  VD_FUZZ_CHECK(cleaned.size() <= vd::utf16_to_gbk(vd::gbk_to_utf16(text)).size());

  const int count = titles.find_matches(text);
  VD_FUZZ_CHECK(count >= 0);
  for (int n = 1; n <= count; ++n) VD_FUZZ_CHECK(!titles.match_text(n).empty());
  VD_FUZZ_CHECK(titles.match_text(count + 1).empty());

  if (!text.empty() && is_plain_gbk(text)) {
    // A text made into a pattern matches itself.
    vd::RegexService literal;
    literal.set_pattern(vd::RegexService::escape_pattern(text), false, false, first_only);
    VD_FUZZ_CHECK(literal.is_match(text));
    literal.set_pattern(vd::RegexService::escape_pattern_keep_bar(text) + "|x");
    VD_FUZZ_CHECK(literal.is_match(text));
    // "*" and "?" become ".*" and ".?": with more than a couple of them the engine's backtracking limit,
    // not the pattern, decides whether a long text matches.
    if (std::count(text.begin(), text.end(), '*') + std::count(text.begin(), text.end(), '?') <= 2) {
      vd::RegexService wildcard;
      wildcard.set_pattern(vd::RegexService::wildcard_pattern(text));
      VD_FUZZ_CHECK(wildcard.is_match(text));
    }
  }
  return 0;
}
