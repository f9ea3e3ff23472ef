// The program's regular-expression service: one pattern with its options, searches, match access,
// replacement and the escaping of pattern characters, on GBK text.
//
// Texts go to the engine as UTF-16 converted from GBK and come back converted to GBK, so a two-byte
// character is one character to a pattern. Without an engine (never made, or released) the service
// still records pattern and options, and every result is empty: 0, false, the empty text. A pattern
// that the engine rejects gives the same empty results. Main thread only.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "text/regex_engine.h"

namespace vd {

// The pattern given to the service at start-up: tags and character references, deleted from titles.
const std::string& markup_pattern();

class RegexService {
 public:
  // Makes the service with its own engine; no pattern yet, option bits 0.
  RegexService();
  // A service that has no engine, as when the engine could not be made.
  static RegexService without_engine();

  // Drops the engine and the matches and clears the pattern.
  void release_service();
  // A service that shares this one's engine and match collection, with copies of its option bits and
  // pattern text.
  RegexService copy_service() const;

  // Option bits: 1 when keep_case is false (ignore case), 2 when one_line is false (multi-line), 4 when
  // first_only is false (global). The same pattern with the same bits sends nothing to the engine; an
  // empty pattern keeps the current one and sets the options only. Always true.
  bool set_pattern(std::string_view pattern, bool keep_case = false, bool one_line = false,
                   bool first_only = false);
  // set_pattern with the flags in direct sense: each true switches its option on.
  bool set_pattern_direct(std::string_view pattern, bool ignore_case = true, bool multi_line = true,
                          bool global = true);

  // Runs the pattern on text and keeps the matches (the previous ones are let go); the match count.
  int find_matches(std::string_view text);
  int set_pattern_and_find(std::string_view pattern, std::string_view text, bool keep_case = false,
                           bool one_line = false, bool first_only = false);
  int match_count() const;
  // Groups of the first kept match.
  int group_count() const;
  // Match n (1-based) of the kept matches, group g (0 the whole match): the engine's UTF-16 value, or
  // the GBK text. Empty when there is no such match or group.
  std::u16string match_value(int n, int group) const;
  std::string match_text(int n, int group = 0) const;
  // Length of match n, group g, in UTF-16 units / in GBK bytes; 0 when there is no such match or group.
  int match_char_length(int n, int group) const;
  int match_byte_length(int n, int group) const;

  // Every match (only the first unless global) replaced; $1..$99, $&, $`, $' and $$ in the replacement
  // stand for groups, the match, the text before and after it, and "$".
  std::string replace_matches(std::string_view text, std::string_view replacement);
  // The same after set_pattern(new_pattern, keep_case, one_line, first_only).
  std::string replace_matches(std::string_view text, std::string_view replacement,
                              std::string_view new_pattern, bool keep_case = false, bool one_line = false,
                              bool first_only = false);
  bool is_match(std::string_view text);

  std::string current_pattern() const { return pattern_text_; }
  int option_bits() const { return option_bits_; }
  // The engine, shared with copies; null without one.
  const RegexEngine* engine() const { return engine_object_.get(); }

  // A wildcard text ("*" any run, "?" one character or none) as a pattern.
  static std::string wildcard_pattern(std::string_view wildcard);
  // A backslash before each of \ ^ $ + . { } [ ] = ( ) ? * | and the double quote.
  static std::string escape_pattern(std::string_view text);
  // The same without the vertical bar.
  static std::string escape_pattern_keep_bar(std::string_view text);

 private:
  struct NoEngine {};
  explicit RegexService(NoEngine) {}
  const PatternMatch* match_at(int n) const;
  const std::u16string* group_at(int n, int group) const;

  std::shared_ptr<RegexEngine> engine_object_;
  std::shared_ptr<const PatternMatches> last_matches_;
  int option_bits_ = 0;
  std::string pattern_text_;
};

}  // namespace vd
