#include "text/text_ops.h"

#include <algorithm>
#include <bit>
#include <climits>
#include <cstdint>
#include <cstring>

// SSE2 is part of every x86-64 processor; elsewhere the candidate scan runs byte by byte.
#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define VD_TEXT_OPS_SSE2 1
#else
#define VD_TEXT_OPS_SSE2 0
#endif

namespace vd {

namespace {

using Size = std::size_t;
constexpr Size npos = std::string_view::npos;

unsigned char byte_at(std::string_view text, Size i) { return static_cast<unsigned char>(text[i]); }

bool is_lead(unsigned char c) { return c >= 0x80; }

unsigned char fold_ascii(unsigned char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

// A byte count as a position or length the callers can hold. Texts beyond 2 GiB do not occur (the web layer
// caps bodies far below that); saturating keeps the value meaningful rather than wrapping negative.
int to_int(Size n) { return n > static_cast<Size>(INT_MAX) ? INT_MAX : static_cast<int>(n); }

// The 0-based offset of a 1-based position, raised to 0. Computed in 64 bits so that INT_MIN does not wrap.
Size offset_of(int position) {
  const std::int64_t p = static_cast<std::int64_t>(position) - 1;
  return p < 0 ? 0 : static_cast<Size>(p);
}

// Answers whether an offset is the start of a step of the walk (a one-byte character, or the first byte of a
// two-byte one), for offsets asked in increasing order.
//
// A byte below 0x80 is never a first byte, so the offset after it always starts a step; from there a run of
// bytes of 0x80 or above pairs up from its first byte. A query therefore looks back only over the run of high
// bytes before it, and never past the last offset already known to start a step, so a whole search costs one
// pass over the text however many candidates it checks.
class StepStarts {
 public:
  StepStarts(std::string_view text, Size known_start) : text_(text), known_(known_start) {}

  // pos must not lie before the last answer's pos.
  bool starts_step(Size pos) {
    Size run_start = pos;
    while (run_start > known_ && is_lead(byte_at(text_, run_start - 1))) --run_start;
    const bool starts = (pos - run_start) % 2 == 0;
    // When pos is the second byte of a pair, the next step starts right after it.
    known_ = starts ? pos : pos + 1;
    return starts;
  }

 private:
  std::string_view text_;
  Size known_;
};

bool equal_at(std::string_view text, Size pos, std::string_view part, bool ignore_case) {
  if (!ignore_case) return std::memcmp(text.data() + pos, part.data(), part.size()) == 0;
  for (Size i = 0; i < part.size(); ++i) {
    if (fold_ascii(byte_at(text, pos + i)) != fold_ascii(byte_at(part, i))) return false;
  }
  return true;
}

// How one byte of the part is tested in the candidate scan: a text byte b passes when (b | fold) == want.
// For an ASCII letter searched without case, fold is 0x20 and want the small letter, which lets exactly the
// letter's two cases through (they differ only in bit 0x20); any other byte must be itself.
struct ByteTest {
  unsigned char fold;
  unsigned char want;
};

ByteTest test_for(unsigned char c, bool ignore_case) {
  const unsigned char small = fold_ascii(c);
  if (ignore_case && small >= 'a' && small <= 'z') return {0x20, small};
  return {0, c};
}

bool passes(ByteTest test, unsigned char b) { return static_cast<unsigned char>(b | test.fold) == test.want; }

// Offsets in [pos, last] where both the part's first byte (at the offset) and its last byte (at offset +
// last_offset) pass their tests, handed to accept in increasing order; the first offset accept takes is the
// answer, npos when it takes none. Testing two bytes of the part at once keeps candidates rare even where
// the first byte is common in pages ("<"), and a letter costs no more than a byte without case. The caller
// guarantees last + last_offset < text.size().
template <typename Accept>
Size scan_candidates(std::string_view text, Size pos, Size last, Size last_offset, ByteTest first,
                     ByteTest final, Accept accept) {
  const auto* data = reinterpret_cast<const unsigned char*>(text.data());
#if VD_TEXT_OPS_SSE2
  const __m128i first_fold = _mm_set1_epi8(static_cast<char>(first.fold));
  const __m128i first_want = _mm_set1_epi8(static_cast<char>(first.want));
  const __m128i final_fold = _mm_set1_epi8(static_cast<char>(final.fold));
  const __m128i final_want = _mm_set1_epi8(static_cast<char>(final.want));
  constexpr Size block = 16;
  // Whole blocks of 16 candidate offsets; both loads stay inside the text because the last offset of a
  // block is at most last.
  for (; pos + (block - 1) <= last; pos += block) {
    const __m128i at_first = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos));
    const __m128i at_final = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + pos + last_offset));
    const __m128i both = _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(at_first, first_fold), first_want),
                                       _mm_cmpeq_epi8(_mm_or_si128(at_final, final_fold), final_want));
    auto mask = static_cast<unsigned>(_mm_movemask_epi8(both));
    while (mask != 0) {
      const Size candidate = pos + static_cast<Size>(std::countr_zero(mask));
      if (accept(candidate)) return candidate;
      mask &= mask - 1;
    }
  }
#endif
  for (; pos <= last; ++pos) {
    if (passes(first, data[pos]) && passes(final, data[pos + last_offset]) && accept(pos)) return pos;
  }
  return npos;
}

// The offset of the first match of a non-empty part at a step start at or after from, which the walk takes as
// a step start whatever byte it falls on; npos when there is none. Matches are tried only where the whole
// part fits, so a lone first byte at the end never needs special handling here: it can only be matched in
// place. The bytes are compared before the step is checked, so the look back over high bytes that the check
// may take is paid only at real matches, and never twice over the same bytes.
Size find_step_match(std::string_view text, std::string_view part, Size from, bool ignore_case) {
  const Size length = text.size();
  if (part.empty() || from >= length || length - from < part.size()) return npos;
  const Size last = length - part.size();
  const Size last_offset = part.size() - 1;
  StepStarts steps(text, from);
  return scan_candidates(text, from, last, last_offset, test_for(byte_at(part, 0), ignore_case),
                         test_for(byte_at(part, last_offset), ignore_case), [&](Size pos) {
                           return equal_at(text, pos, part, ignore_case) && steps.starts_step(pos);
                         });
}

bool is_full_width_space(std::string_view text, Size i) {
  return i + 1 < text.size() && byte_at(text, i) == 0xA1 && byte_at(text, i + 1) == 0xA1;
}

// A character as compare_texts orders it: its bytes with letter case folded when asked; second is -1 for a
// one-byte character or a lone first byte at the end.
struct CharUnit {
  int first;
  int second;
};

CharUnit unit_at(std::string_view text, Size i, bool fold) {
  const unsigned char c = byte_at(text, i);
  if (!is_lead(c)) return {fold ? fold_ascii(c) : c, -1};
  if (i + 1 >= text.size()) return {c, -1};
  unsigned char d = byte_at(text, i + 1);
  // Full-width Ａ-Ｚ (A3 C1..A3 DA) fold onto ａ-ｚ (A3 E1..A3 FA).
  if (fold && c == 0xA3 && d >= 0xC1 && d <= 0xDA) d = static_cast<unsigned char>(d + 0x20);
  return {c, d};
}

}  // namespace

int byte_length(std::string_view text) { return to_int(text.size()); }

std::string leading_bytes(std::string_view text, int n) {
  if (n <= 0) return {};
  return std::string(text.substr(0, static_cast<Size>(n)));
}

std::string trailing_bytes(std::string_view text, int n) {
  if (n <= 0) return {};
  const Size count = std::min(static_cast<Size>(n), text.size());
  return std::string(text.substr(text.size() - count));
}

std::string middle_bytes(std::string_view text, int position, int n) {
  const std::int64_t p = static_cast<std::int64_t>(position) - 1;
  if (p < 0 || static_cast<Size>(p) >= text.size() || n <= 0) return {};
  return std::string(text.substr(static_cast<Size>(p), static_cast<Size>(n)));
}

std::string replace_span(std::string_view text, int position, int length, std::string_view replacement) {
  const Size p = std::min(offset_of(position), text.size());
  const Size removed = length > 0 ? std::min(static_cast<Size>(length), text.size() - p) : 0;
  std::string out;
  out.reserve(text.size() - removed + replacement.size());
  out.append(text.substr(0, p));
  out.append(replacement);
  out.append(text.substr(p + removed));
  return out;
}

int find_part(std::string_view text, std::string_view part, int start, bool ignore_case) {
  const Size from = offset_of(start);
  if (from >= text.size()) return -1;
  // The empty part is found at the first byte of the text, not at the start position.
  if (part.empty()) return 1;
  const Size hit = find_step_match(text, part, from, ignore_case);
  return hit == npos ? -1 : to_int(hit + 1);
}

std::string replace_parts(std::string_view text, std::string_view part, std::string_view replacement,
                          int start, std::optional<int> limit, bool match_case) {
  const Size from = offset_of(start);
  if (text.empty() || part.empty() || from >= text.size() || (limit && *limit == 0)) return std::string(text);

  std::string out;
  out.reserve(text.size());
  out.append(text.substr(0, from));
  Size pos = from;
  int count = 0;
  for (;;) {
    const Size hit = find_step_match(text, part, pos, !match_case);
    if (hit == npos) break;
    out.append(text.substr(pos, hit - pos));
    out.append(replacement);
    pos = hit + part.size();
    // A negative limit is never reached: no limit.
    if (limit && ++count == *limit) {
      out.append(text.substr(pos));
      return out;
    }
  }
  // The walk copies character by character until fewer bytes remain than the part has. Only a one-byte part
  // lets it reach a lone first byte at the very end, and that byte is dropped rather than copied.
  Size end = text.size();
  if (part.size() == 1 && pos < end && is_lead(byte_at(text, end - 1)) &&
      StepStarts(text, pos).starts_step(end - 1)) {
    --end;
  }
  out.append(text.substr(pos, end - pos));
  return out;
}

TextList split_at(std::string_view text, std::string_view separator, std::optional<int> limit) {
  TextList items;
  if (text.empty() || (limit && *limit <= 0)) return items;
  if (separator.empty()) {
    items.emplace_back(text);
    return items;
  }
  Size item_start = 0;
  for (;;) {
    const Size hit = find_step_match(text, separator, item_start, false);
    if (hit == npos) break;
    items.emplace_back(text.substr(item_start, hit - item_start));
    if (limit && items.size() == static_cast<Size>(*limit)) return items;
    item_start = hit + separator.size();
  }
  // A lone first byte at the end ends the walk but still belongs to the last item.
  if (item_start < text.size()) items.emplace_back(text.substr(item_start));
  return items;
}

std::string trim_spaces(std::string_view text) {
  const Size length = text.size();
  Size begin = 0;
  for (;;) {
    if (begin < length && byte_at(text, begin) == ' ') {
      begin += 1;
    } else if (is_full_width_space(text, begin)) {
      begin += 2;
    } else {
      break;
    }
  }
  // The end of the last character that is not a space; the walk forward keeps two-byte characters whole, so
  // a trailing A1 A1 is only a space when it really is one character.
  Size end = begin;
  Size i = begin;
  while (i < length) {
    const unsigned char c = byte_at(text, i);
    if (c == ' ') {
      i += 1;
    } else if (!is_lead(c)) {
      end = i += 1;
    } else if (i + 1 >= length) {
      break;  // a lone first byte at the end is cut off
    } else if (is_full_width_space(text, i)) {
      i += 2;
    } else {
      end = i += 2;
    }
  }
  return std::string(text.substr(begin, end - begin));
}

std::string ascii_lower(std::string_view text) {
  std::string out(text);
  for (Size i = 0; i < out.size(); ++i) {
    const unsigned char c = byte_at(out, i);
    if (is_lead(c)) {
      ++i;  // the second byte stays as it is
    } else {
      out[i] = static_cast<char>(fold_ascii(c));
    }
  }
  return out;
}

int compare_texts(std::string_view a, std::string_view b, bool match_case) {
  const bool fold = !match_case;
  Size i = 0;
  // While the texts agree, their characters start at the same offsets.
  while (i < a.size() && i < b.size()) {
    const CharUnit x = unit_at(a, i, fold);
    const CharUnit y = unit_at(b, i, fold);
    if (x.first != y.first) return x.first < y.first ? -1 : 1;
    if (x.second != y.second) return x.second < y.second ? -1 : 1;
    i += x.second < 0 ? 1 : 2;
  }
  if (a.size() == b.size()) return 0;
  return i >= a.size() ? -1 : 1;
}

}  // namespace vd
