#include "text/markup_matches.h"

namespace vd {

namespace {

constexpr std::size_t npos = std::u16string_view::npos;

bool is_letter(char16_t c, bool ignore_case) {
  if (c >= u'a' && c <= u'z') return true;
  if (!ignore_case) return false;
  // U+017F (long s) and U+212A (Kelvin sign) fold onto s and k.
  return (c >= u'A' && c <= u'Z') || c == u'\u017F' || c == u'\u212A';
}

bool is_digit(char16_t c) { return c >= u'0' && c <= u'9'; }

// The end of "&" letters ";" or "&#" digits ";" starting at i (text[i] is "&"), or npos.
std::size_t reference_end(std::u16string_view text, std::size_t i, bool ignore_case) {
  std::size_t j = i + 1;
  while (j < text.size() && is_letter(text[j], ignore_case)) ++j;
  if (j > i + 1 && j < text.size() && text[j] == u';') return j + 1;
  if (i + 1 < text.size() && text[i + 1] == u'#') {
    j = i + 2;
    while (j < text.size() && is_digit(text[j])) ++j;
    if (j > i + 2 && j < text.size() && text[j] == u';') return j + 1;
  }
  return npos;
}

}  // namespace

std::vector<std::pair<std::size_t, std::size_t>> markup_matches(std::u16string_view text, bool ignore_case,
                                                                bool global) {
  std::vector<std::pair<std::size_t, std::size_t>> matches;
  // The first ">" or line feed after the last "<" looked at; it stays the answer for every later "<"
  // before it, which keeps the scan linear.
  std::size_t stop = npos;
  bool stop_known = false;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t end = npos;
    if (text[i] == u'<') {
      if (!stop_known || (stop != npos && stop <= i)) {
        stop = text.find_first_of(u">\n", i + 1);
        stop_known = true;
      }
      if (stop != npos && text[stop] == u'>') end = stop + 1;
    } else if (text[i] == u'&') {
      end = reference_end(text, i, ignore_case);
    }
    if (end == npos) {
      ++i;
      continue;
    }
    matches.emplace_back(i, end);
    if (!global) break;
    i = end;
  }
  return matches;
}

}  // namespace vd
