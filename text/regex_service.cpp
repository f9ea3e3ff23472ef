#include "text/regex_service.h"

#include "text/encoding.h"
#include "text/text_ops.h"

namespace vd {

const std::string& markup_pattern() {
  static const std::string pattern = "<.*?>|&[a-z]+?;|&#\\d+?;";
  return pattern;
}

RegexService::RegexService() : engine_object_(std::make_shared<RegexEngine>()) {}

RegexService RegexService::without_engine() { return RegexService(NoEngine{}); }

void RegexService::release_service() {
  engine_object_.reset();
  last_matches_.reset();
  pattern_text_.clear();
}

RegexService RegexService::copy_service() const { return *this; }

bool RegexService::set_pattern(std::string_view pattern, bool keep_case, bool one_line, bool first_only) {
  const int bits = (keep_case ? 0 : 1) + (one_line ? 0 : 2) + (first_only ? 0 : 4);
  if (pattern == pattern_text_ && bits == option_bits_) return true;
  if (!pattern.empty()) {
    pattern_text_ = pattern;
    if (engine_object_) engine_object_->set_pattern(gbk_to_utf16(pattern));
  }
  option_bits_ = bits;
  if (engine_object_) {
    engine_object_->set_ignore_case((bits & 1) != 0);
    engine_object_->set_multiline((bits & 2) != 0);
    engine_object_->set_global((bits & 4) != 0);
  }
  return true;
}

bool RegexService::set_pattern_direct(std::string_view pattern, bool ignore_case, bool multi_line,
                                      bool global) {
  return set_pattern(pattern, !ignore_case, !multi_line, !global);
}

int RegexService::find_matches(std::string_view text) {
  last_matches_.reset();
  if (!engine_object_) return 0;
  std::optional<PatternMatches> matches = engine_object_->execute(gbk_to_utf16(text));
  if (!matches) return 0;
  last_matches_ = std::make_shared<const PatternMatches>(std::move(*matches));
  return match_count();
}

int RegexService::set_pattern_and_find(std::string_view pattern, std::string_view text, bool keep_case,
                                       bool one_line, bool first_only) {
  if (!set_pattern(pattern, keep_case, one_line, first_only)) return 0;
  return find_matches(text);
}

int RegexService::match_count() const { return last_matches_ ? static_cast<int>(last_matches_->size()) : 0; }

int RegexService::group_count() const {
  const PatternMatch* first = match_at(1);
  return first != nullptr ? static_cast<int>(first->groups.size()) : 0;
}

const PatternMatch* RegexService::match_at(int n) const {
  if (!last_matches_ || n < 1 || n > static_cast<int>(last_matches_->size())) return nullptr;
  return &(*last_matches_)[n - 1];
}

const std::u16string* RegexService::group_at(int n, int group) const {
  const PatternMatch* match = match_at(n);
  if (match == nullptr || group < 0 || group > static_cast<int>(match->groups.size())) return nullptr;
  return group == 0 ? &match->value : &match->groups[group - 1];
}

std::u16string RegexService::match_value(int n, int group) const {
  const std::u16string* value = group_at(n, group);
  return value != nullptr ? *value : std::u16string();
}

std::string RegexService::match_text(int n, int group) const { return utf16_to_gbk(match_value(n, group)); }

int RegexService::match_char_length(int n, int group) const {
  const std::u16string* value = group_at(n, group);
  return value != nullptr ? static_cast<int>(value->size()) : 0;
}

int RegexService::match_byte_length(int n, int group) const {
  const std::u16string* value = group_at(n, group);
  return value != nullptr ? static_cast<int>(utf16_to_gbk(*value).size()) : 0;
}

std::string RegexService::replace_matches(std::string_view text, std::string_view replacement) {
  if (!engine_object_) return {};
  std::optional<std::u16string> result =
      engine_object_->replace(gbk_to_utf16(text), gbk_to_utf16(replacement));
  return result ? utf16_to_gbk(*result) : std::string();
}

std::string RegexService::replace_matches(std::string_view text, std::string_view replacement,
                                          std::string_view new_pattern, bool keep_case, bool one_line,
                                          bool first_only) {
  set_pattern(new_pattern, keep_case, one_line, first_only);
  return replace_matches(text, replacement);
}

bool RegexService::is_match(std::string_view text) {
  if (!engine_object_) return false;
  return engine_object_->test(gbk_to_utf16(text)).value_or(false);
}

namespace {

// A backslash before each of the characters, one character after the other, the backslash first.
// replace_parts steps over two-byte characters, so a second byte that equals one of them stays.
std::string escaped(std::string_view text, std::string_view characters) {
  std::string out(text);
  for (const char c : characters) {
    const std::string one(1, c);
    out = replace_parts(out, one, "\\" + one);
  }
  return out;
}

}  // namespace

std::string RegexService::wildcard_pattern(std::string_view wildcard) {
  std::string out = escaped(wildcard, "\\^$+.{}[]=()\"");
  out = replace_parts(out, "*", ".*");
  return replace_parts(out, "?", ".?");
}

std::string RegexService::escape_pattern(std::string_view text) {
  return escaped(text, "\\^$+.{}[]=()?*|\"");
}

std::string RegexService::escape_pattern_keep_bar(std::string_view text) {
  return escaped(text, "\\^$+.{}[]=()?*\"");
}

}  // namespace vd
