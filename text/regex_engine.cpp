#include "text/regex_engine.h"

#define PCRE2_CODE_UNIT_WIDTH 16
#include <pcre2.h>

#include "text/markup_matches.h"

namespace vd {

namespace {

struct CodeFree {
  void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct MatchDataFree {
  void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};
struct CompileContextFree {
  void operator()(pcre2_compile_context* context) const { pcre2_compile_context_free(context); }
};

// PCRE2 10.42 refuses a null subject even when its length is 0.
PCRE2_SPTR16 units(std::u16string_view text) {
  static const char16_t empty[1] = {};
  return reinterpret_cast<PCRE2_SPTR16>(text.data() != nullptr ? text.data() : empty);
}

bool is_high_surrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool is_low_surrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

bool is_valid_utf16(std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (is_low_surrogate(text[i])) return false;
    if (is_high_surrogate(text[i])) {
      if (i + 1 == text.size() || !is_low_surrogate(text[i + 1])) return false;
      ++i;
    }
  }
  return true;
}

}  // namespace

struct RegexEngine::Compiled {
  std::unique_ptr<pcre2_code, CodeFree> code;
  std::unique_ptr<pcre2_match_data, MatchDataFree> match_data;
  int capture_count = 0;
};

RegexEngine::RegexEngine() = default;
RegexEngine::~RegexEngine() = default;

void RegexEngine::set_pattern(std::u16string_view pattern) {
  ++property_writes_;
  if (pattern == pattern_) return;
  pattern_ = pattern;
  stale_ = true;
}

void RegexEngine::set_ignore_case(bool on) {
  ++property_writes_;
  if (on == ignore_case_) return;
  ignore_case_ = on;
  stale_ = true;
}

void RegexEngine::set_multiline(bool on) {
  ++property_writes_;
  if (on == multiline_) return;
  multiline_ = on;
  stale_ = true;
}

void RegexEngine::set_global(bool on) {
  ++property_writes_;
  global_ = on;
}

const RegexEngine::Compiled* RegexEngine::compiled() {
  if (!stale_) return compiled_.get();
  stale_ = false;
  compiled_.reset();

  std::unique_ptr<pcre2_compile_context, CompileContextFree> context(pcre2_compile_context_create(nullptr));
  if (!context) return nullptr;
  if (pcre2_set_newline(context.get(), PCRE2_NEWLINE_LF) != 0) return nullptr;
  if (pcre2_set_compile_extra_options(context.get(), PCRE2_EXTRA_ALT_BSUX) != 0) return nullptr;

  uint32_t options = PCRE2_UTF | PCRE2_ALT_BSUX | PCRE2_DOLLAR_ENDONLY;
  if (ignore_case_) options |= PCRE2_CASELESS;
  if (multiline_) options |= PCRE2_MULTILINE;
  int error_code = 0;
  PCRE2_SIZE error_offset = 0;
  auto result = std::make_unique<Compiled>();
  result->code.reset(
      pcre2_compile(units(pattern_), pattern_.size(), options, &error_code, &error_offset, context.get()));
  if (!result->code) return nullptr;
  uint32_t capture_count = 0;
  if (pcre2_pattern_info(result->code.get(), PCRE2_INFO_CAPTURECOUNT, &capture_count) != 0) return nullptr;
  result->capture_count = static_cast<int>(capture_count);
  result->match_data.reset(pcre2_match_data_create_from_pattern(result->code.get(), nullptr));
  if (!result->match_data) return nullptr;
  compiled_ = std::move(result);
  return compiled_.get();
}

// Calls on_match(ovector, capture_count) for each match in scan order. False on any engine error.
template <typename OnMatch>
bool RegexEngine::each_match(std::u16string_view text, OnMatch&& on_match) {
  const Compiled* c = compiled();
  if (c == nullptr) return false;
  // PCRE2 would check the whole text again on every call of the scan; it is checked once here.
  if (!is_valid_utf16(text)) return false;
  if (pattern_ == kMarkupPattern16) {
    // The same matches without the backtracking search's cost on long lines.
    for (const auto& [begin, end] : markup_matches(text, ignore_case_, global_)) {
      const PCRE2_SIZE ovector[2] = {begin, end};
      on_match(ovector, c->capture_count);
    }
    return true;
  }
  PCRE2_SIZE start = 0;
  for (;;) {
    const int rc = pcre2_match(c->code.get(), units(text), text.size(), start, PCRE2_NO_UTF_CHECK,
                               c->match_data.get(), nullptr);
    if (rc == PCRE2_ERROR_NOMATCH) return true;
    if (rc < 0) return false;
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(c->match_data.get());
    // \K inside a look-ahead can put the start after the end; such a match has no meaning here.
    if (ovector[0] > ovector[1]) return false;
    on_match(ovector, c->capture_count);
    if (!global_) return true;
    start = ovector[1];
    if (ovector[0] == ovector[1]) {
      if (start >= text.size()) return true;
      start += (is_high_surrogate(text[start]) && start + 1 < text.size()) ? 2 : 1;
    }
  }
}

namespace {

std::u16string_view group_of(std::u16string_view text, const PCRE2_SIZE* ovector, int group) {
  const PCRE2_SIZE begin = ovector[2 * group];
  const PCRE2_SIZE end = ovector[2 * group + 1];
  if (begin == PCRE2_UNSET || end == PCRE2_UNSET || begin > end) return {};
  return text.substr(begin, end - begin);
}

// The replacement with $$, $&, $`, $' and $n / $nn (n a capture group of the pattern) expanded;
// any other "$" stands for itself.
void append_expanded(std::u16string& out, std::u16string_view replacement, std::u16string_view text,
                     const PCRE2_SIZE* ovector, int capture_count) {
  auto is_digit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
  for (std::size_t i = 0; i < replacement.size(); ++i) {
    const char16_t c = replacement[i];
    if (c != u'$' || i + 1 == replacement.size()) {
      out += c;
      continue;
    }
    const char16_t next = replacement[i + 1];
    if (next == u'$') {
      out += u'$';
      ++i;
    } else if (next == u'&') {
      out += group_of(text, ovector, 0);
      ++i;
    } else if (next == u'`') {
      out += text.substr(0, ovector[0]);
      ++i;
    } else if (next == u'\'') {
      out += text.substr(ovector[1]);
      ++i;
    } else if (is_digit(next)) {
      const int one = next - u'0';
      const bool has_second = i + 2 < replacement.size() && is_digit(replacement[i + 2]);
      const int two = has_second ? one * 10 + (replacement[i + 2] - u'0') : 0;
      if (has_second && two >= 1 && two <= capture_count) {
        out += group_of(text, ovector, two);
        i += 2;
      } else if (one >= 1 && one <= capture_count) {
        out += group_of(text, ovector, one);
        ++i;
      } else {
        out += c;
      }
    } else {
      out += c;
    }
  }
}

}  // namespace

std::optional<PatternMatches> RegexEngine::execute(std::u16string_view text) {
  PatternMatches matches;
  const bool ok = each_match(text, [&](const PCRE2_SIZE* ovector, int capture_count) {
    PatternMatch m;
    m.value = group_of(text, ovector, 0);
    m.first_index = static_cast<int>(ovector[0]);
    for (int g = 1; g <= capture_count; ++g) m.groups.emplace_back(group_of(text, ovector, g));
    matches.push_back(std::move(m));
  });
  if (!ok) return std::nullopt;
  return matches;
}

std::optional<std::u16string> RegexEngine::replace(std::u16string_view text,
                                                   std::u16string_view replacement) {
  std::u16string out;
  PCRE2_SIZE copied = 0;
  const bool ok = each_match(text, [&](const PCRE2_SIZE* ovector, int capture_count) {
    out += text.substr(copied, ovector[0] - copied);
    append_expanded(out, replacement, text, ovector, capture_count);
    copied = ovector[1];
  });
  if (!ok) return std::nullopt;
  out += text.substr(copied);
  return out;
}

std::optional<bool> RegexEngine::test(std::u16string_view text) {
  const Compiled* c = compiled();
  if (c == nullptr) return std::nullopt;
  if (pattern_ == kMarkupPattern16 && is_valid_utf16(text))
    return !markup_matches(text, ignore_case_, false).empty();
  const int rc = pcre2_match(c->code.get(), units(text), text.size(), 0, 0, c->match_data.get(), nullptr);
  if (rc == PCRE2_ERROR_NOMATCH) return false;
  if (rc < 0) return std::nullopt;
  return true;
}

}  // namespace vd
