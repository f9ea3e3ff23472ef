// The pattern engine behind RegexService: PCRE2 on UTF-16 text with the dialect of the script
// engines (alternatives tried left to right, "." any character but a line feed, lazy quantifiers,
// "$" only at the end unless multi-line, \xhh and \uhhhh escapes, $1 $& $` $' $$ in replacements).
//
// It holds the pattern and the three options as properties, and compiles the pattern on first use
// after a change. A pattern that PCRE2 rejects, or a match that runs out of its limits, is an error:
// the operation answers std::nullopt. Not thread-safe; the service uses it on the main thread only.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vd {

struct PatternMatch {
  std::u16string value;
  int first_index = 0;                 // in UTF-16 units from the start of the text
  std::vector<std::u16string> groups;  // one per capture group; a group that took no part is empty
};

using PatternMatches = std::vector<PatternMatch>;

class RegexEngine {
 public:
  RegexEngine();
  ~RegexEngine();
  RegexEngine(const RegexEngine&) = delete;
  RegexEngine& operator=(const RegexEngine&) = delete;

  void set_pattern(std::u16string_view pattern);
  void set_ignore_case(bool on);
  void set_multiline(bool on);
  // Global: every match rather than only the first one.
  void set_global(bool on);

  const std::u16string& pattern() const { return pattern_; }
  bool ignore_case() const { return ignore_case_; }
  bool multiline() const { return multiline_; }
  bool global() const { return global_; }
  // How many property writes the engine has received; lets callers see that nothing was sent.
  int property_writes() const { return property_writes_; }

  // The matches, scanning from the start and resuming after each match; after an empty match the
  // scan moves on by one character. Only the first match unless global.
  std::optional<PatternMatches> execute(std::u16string_view text);
  std::optional<std::u16string> replace(std::u16string_view text, std::u16string_view replacement);
  std::optional<bool> test(std::u16string_view text);

 private:
  struct Compiled;
  // Compiles when the pattern or the options changed since the last compilation; null when rejected.
  const Compiled* compiled();
  template <typename OnMatch>
  bool each_match(std::u16string_view text, OnMatch&& on_match);

  std::u16string pattern_;
  bool ignore_case_ = false;
  bool multiline_ = false;
  bool global_ = false;
  int property_writes_ = 0;
  bool stale_ = true;
  std::unique_ptr<Compiled> compiled_;
};

}  // namespace vd
