#include "text/regex_service.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/gbk_literal.h"

namespace vd {
namespace {

using namespace vd::literals;

struct ReplaceCase {
  std::string text;
  std::string expected;
};

// The title cleaning: the start-up pattern with all three flags left out, empty replacement.
TEST(RegexServiceMarkup, DeletesTagsAndReferences) {
  RegexService service;
  ASSERT_TRUE(service.set_pattern(markup_pattern()));
  const std::vector<ReplaceCase> cases = {
      {"<em>外星人</em>图片"_gbk, "外星人图片"_gbk},
      {"A&nbsp;B&#39;C", "ABC"},
      {"&AMP;", ""},                         // letter case ignored
      {"&#x27;", "&#x27;"},                  // hexadecimal references are not matched
      {"&amp;lt;", "lt;"},                   // the scan resumes after a match
      {"1 < 2 and 3 > 2", "1  2"},           // "<" to the next ">", tag or not
      {"a<b", "a<b"},                        // no later ">"
      {"<a\nhref=x>t</a>", "<a\nhref=x>t"},  // "." stops at a line feed
      {"<span title=\"中文\">标题</span>"_gbk, "标题"_gbk},
      {"&#;&;", "&#;&;"},
      {"", ""},
  };
  for (const ReplaceCase& c : cases) EXPECT_EQ(service.replace_matches(c.text, ""), c.expected) << c.text;
}

TEST(RegexServiceMarkup, PatternText) { EXPECT_EQ(markup_pattern(), "<.*?>|&[a-z]+?;|&#\\d+?;"); }

TEST(RegexServiceOptions, FlagsGiveOptionBits) {
  struct Case {
    bool keep_case, one_line, first_only;
    int bits;
  };
  const std::vector<Case> cases = {
      {false, false, false, 7}, {true, false, false, 6}, {false, true, false, 5},
      {false, false, true, 3},  {true, true, true, 0},
  };
  for (const Case& c : cases) {
    RegexService service;
    service.set_pattern("x", c.keep_case, c.one_line, c.first_only);
    EXPECT_EQ(service.option_bits(), c.bits);
    EXPECT_EQ(service.engine()->ignore_case(), (c.bits & 1) != 0);
    EXPECT_EQ(service.engine()->multiline(), (c.bits & 2) != 0);
    EXPECT_EQ(service.engine()->global(), (c.bits & 4) != 0);

    RegexService direct;
    direct.set_pattern_direct("x", !c.keep_case, !c.one_line, !c.first_only);
    EXPECT_EQ(direct.option_bits(), c.bits);
  }
  RegexService defaults;
  defaults.set_pattern_direct("x");
  EXPECT_EQ(defaults.option_bits(), 7);
}

TEST(RegexServiceOptions, SamePatternAndFlagsSendNothing) {
  RegexService service;
  service.set_pattern(markup_pattern());
  const int writes = service.engine()->property_writes();
  EXPECT_TRUE(service.set_pattern(markup_pattern()));
  EXPECT_EQ(service.engine()->property_writes(), writes);
  service.set_pattern(markup_pattern(), true);
  EXPECT_GT(service.engine()->property_writes(), writes);
}

TEST(RegexServiceOptions, EmptyPatternSetsOptionsOnly) {
  RegexService service;
  service.set_pattern("[a-z]+");
  EXPECT_EQ(service.replace_matches("abcXYZ1", "-"), "-1");
  service.set_pattern("", true);
  EXPECT_EQ(service.current_pattern(), "[a-z]+");
  EXPECT_EQ(service.option_bits(), 6);
  EXPECT_EQ(service.replace_matches("abcXYZ1", "-"), "-XYZ1");  // the case now counts
}

TEST(RegexServiceOptions, FreshServiceWithEmptyPatternAndNoFlagsSendsNothing) {
  RegexService service;
  service.set_pattern("", true, true, true);  // bits 0 and empty pattern: the state it was made in
  EXPECT_EQ(service.engine()->property_writes(), 0);
}

TEST(RegexServiceFailures, WithoutEngineEverythingIsEmpty) {
  RegexService service = RegexService::without_engine();
  EXPECT_TRUE(service.set_pattern(markup_pattern()));
  EXPECT_EQ(service.current_pattern(), markup_pattern());  // still recorded
  EXPECT_EQ(service.option_bits(), 7);
  EXPECT_EQ(service.replace_matches("外星人"_gbk, ""), "");
  EXPECT_EQ(service.find_matches("<b>"), 0);
  EXPECT_EQ(service.match_count(), 0);
  EXPECT_FALSE(service.is_match("<b>"));
  EXPECT_EQ(service.match_text(1), "");
  EXPECT_EQ(service.engine(), nullptr);
}

TEST(RegexServiceFailures, RejectedPatternGivesEmptyResultsAndKeepsState) {
  RegexService service;
  service.set_pattern("[a-z]");
  EXPECT_EQ(service.find_matches("ab"), 2);
  service.set_pattern("(unclosed");
  EXPECT_EQ(service.replace_matches("unclosed", "x"), "");
  EXPECT_EQ(service.find_matches("unclosed"), 0);
  EXPECT_EQ(service.match_count(), 0);  // the earlier matches are let go
  EXPECT_FALSE(service.is_match("unclosed"));
  EXPECT_EQ(service.current_pattern(), "(unclosed");
  // A good pattern afterwards works again.
  service.set_pattern("c");
  EXPECT_EQ(service.replace_matches("unclosed", "k"), "unklosed");
}

TEST(RegexServiceFailures, ReleasedServiceHasNoEngine) {
  RegexService service;
  service.set_pattern("a");
  service.find_matches("aa");
  service.release_service();
  EXPECT_EQ(service.current_pattern(), "");
  EXPECT_EQ(service.match_count(), 0);
  EXPECT_EQ(service.replace_matches("aa", "b"), "");
}

TEST(RegexServiceMatches, CountsGroupsAndLengths) {
  RegexService service;
  EXPECT_EQ(service.set_pattern_and_find("(\\d+)-(\\d+)?", "12-34 x 5-"), 2);
  EXPECT_EQ(service.match_count(), 2);
  EXPECT_EQ(service.group_count(), 2);
  EXPECT_EQ(service.match_text(1), "12-34");
  EXPECT_EQ(service.match_text(1, 2), "34");
  EXPECT_EQ(service.match_text(2), "5-");
  EXPECT_EQ(service.match_text(2, 1), "5");
  EXPECT_EQ(service.match_text(2, 2), "");  // the group took no part
  EXPECT_EQ(service.match_value(1, 1), u"12");
  // No such match or group.
  EXPECT_EQ(service.match_text(0), "");
  EXPECT_EQ(service.match_text(3), "");
  EXPECT_EQ(service.match_text(1, 3), "");
  EXPECT_EQ(service.match_char_length(3, 0), 0);

  EXPECT_EQ(service.set_pattern_and_find("(中+)a"_gbk, "x中中a"_gbk), 1);
  EXPECT_EQ(service.match_text(1), "中中a"_gbk);
  EXPECT_EQ(service.match_char_length(1, 0), 3);
  EXPECT_EQ(service.match_char_length(1, 1), 2);
  EXPECT_EQ(service.match_byte_length(1, 1), 4);
  EXPECT_EQ(service.match_byte_length(1, 0), 5);

  EXPECT_EQ(service.set_pattern_and_find("x", "abc"), 0);
  EXPECT_EQ(service.group_count(), 0);
}

TEST(RegexServiceMatches, FirstOnlyAndEmptyMatches) {
  RegexService service;
  EXPECT_EQ(service.replace_matches("aaa", "b", "a", false, false, true), "baa");
  EXPECT_EQ(service.replace_matches("aaa", "b", "a"), "bbb");
  // After an empty match the scan moves on by one character.
  EXPECT_EQ(service.replace_matches("abc", "-", "x*"), "-a-b-c-");
  EXPECT_EQ(service.replace_matches("中文"_gbk, "-", "x*"), "-中-文-"_gbk);
  EXPECT_EQ(service.replace_matches("", "-", "x*"), "-");
  EXPECT_EQ(service.set_pattern_and_find("a*", "baa"), 3);  // "", "aa", ""
  EXPECT_EQ(service.match_text(2), "aa");
}

TEST(RegexServiceMatches, ReplacementReferences) {
  RegexService service;
  service.set_pattern("(\\w+)@(\\w+)");
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"$2 at $1", "<b at a>"},
      {"[$&]", "<[a@b]>"},
      {"$$1", "<$1>"},
      {"$`", "<<>"},
      {"$'", "<>>"},
      {"$3", "<$3>"},
      {"$10", "<a0>"},
      {"$", "<$>"},
      {"$x", "<$x>"},
      {"中$1"_gbk, "<中a>"_gbk},
  };
  for (const auto& [replacement, expected] : cases) {
    EXPECT_EQ(service.replace_matches("<a@b>", replacement), expected) << replacement;
  }
}

TEST(RegexServiceDialect, BehavesLikeTheScriptEngines) {
  struct Case {
    const char* name;
    std::string pattern;
    bool keep_case, one_line;
    std::string text;
    std::string first_match;  // empty: no match expected
  };
  const std::vector<Case> cases = {
      {"alternatives left to right", "a|ab", false, false, "ab", "a"},
      {"dot skips a line feed", "a.b", false, false, "a\nb", ""},
      {"dot takes a carriage return", "a.b", false, false, "a\rb", "a\rb"},
      {"lazy star", "<.*?>", false, false, "<a><b>", "<a>"},
      {"lazy plus", "x.+?y", false, false, "xAyBy", "xAy"},
      {"class ignores case", "[a-z]+", false, false, "ABc", "ABc"},
      {"class keeps case", "[a-z]+", true, false, "ABc", "c"},
      {"digit class", "\\d+", false, false, "x42y", "42"},
      {"one character per two-byte character", "^..$", false, false, "中文"_gbk, "中文"_gbk},
      {"multi-line start of line", "^b", false, false, "a\nb", "b"},
      {"one line start of text only", "^b", false, true, "a\nb", ""},
      {"dollar at the very end only", "a$", false, true, "a\n", ""},
      {"hex escape", "\\x41", true, false, "zA", "A"},
      {"unicode escape", "\\u4E2D", true, false, "x中"_gbk, "中"_gbk},
  };
  for (const Case& c : cases) {
    RegexService service;
    service.set_pattern(c.pattern, c.keep_case, c.one_line);
    const bool found = !c.first_match.empty();
    EXPECT_EQ(service.is_match(c.text), found) << c.name;
    EXPECT_EQ(service.find_matches(c.text) > 0, found) << c.name;
    EXPECT_EQ(service.match_text(1), c.first_match) << c.name;
  }
}

TEST(RegexServiceCopy, SharesEngineAndMatchesCopiesState) {
  RegexService original;
  original.set_pattern("a", true);
  original.find_matches("aXa");
  RegexService copy = original.copy_service();
  EXPECT_EQ(copy.engine(), original.engine());
  EXPECT_EQ(copy.match_count(), 2);
  EXPECT_EQ(copy.current_pattern(), "a");
  EXPECT_EQ(copy.option_bits(), 6);

  // The engine is one object: a pattern set through the copy is the one the original runs.
  copy.set_pattern("X", true);
  EXPECT_EQ(original.current_pattern(), "a");
  EXPECT_EQ(original.replace_matches("aXa", "-"), "a-a");
  // Matches found through one do not replace the other's collection.
  copy.find_matches("XXX");
  EXPECT_EQ(original.match_count(), 2);
  EXPECT_EQ(copy.match_count(), 3);
  // Releasing one leaves the other working.
  copy.release_service();
  EXPECT_EQ(original.replace_matches("XX", "-"), "--");
}

TEST(RegexServiceEscaping, EscapesEachCharacterOnce) {
  struct Case {
    std::string text, wildcard, escaped, escaped_keep_bar;
  };
  const std::vector<Case> cases = {
      {"*.txt", ".*\\.txt", "\\*\\.txt", "\\*\\.txt"},
      {"a?b", "a.?b", "a\\?b", "a\\?b"},
      {"a\\b", "a\\\\b", "a\\\\b", "a\\\\b"},
      {"(x)|[y]", "\\(x\\)|\\[y\\]", "\\(x\\)\\|\\[y\\]", "\\(x\\)|\\[y\\]"},
      {"^$+{}=\"", "\\^\\$\\+\\{\\}\\=\\\"", "\\^\\$\\+\\{\\}\\=\\\"", "\\^\\$\\+\\{\\}\\=\\\""},
      {"", "", "", ""},
      // A two-byte character whose second byte is a backslash is one character and stays whole.
      {"\x81\\", "\x81\\", "\x81\\", "\x81\\"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RegexService::wildcard_pattern(c.text), c.wildcard) << c.text;
    EXPECT_EQ(RegexService::escape_pattern(c.text), c.escaped) << c.text;
    EXPECT_EQ(RegexService::escape_pattern_keep_bar(c.text), c.escaped_keep_bar) << c.text;
  }
}

TEST(RegexServiceEscaping, EscapedTextMatchesItselfLiterally) {
  const std::string text = "a\\^$+.{}[]=()?*|\"b中"_gbk;
  RegexService service;
  service.set_pattern(RegexService::escape_pattern(text), true);
  EXPECT_EQ(service.replace_matches("<" + text + ">", "-"), "<->");
  EXPECT_FALSE(service.is_match("a\\^$+.{}[]=()?*|\"B中"_gbk));

  service.set_pattern(RegexService::wildcard_pattern("f*.t?t"), true);
  EXPECT_TRUE(service.is_match("file.txt"));
  EXPECT_TRUE(service.is_match("f.tt"));
  EXPECT_FALSE(service.is_match("fileXtxt"));
}

// Text handed to the engine directly may be broken UTF-16; that is an error, not a crash.
TEST(RegexEngine, BrokenUtf16IsAnError) {
  RegexEngine engine;
  engine.set_pattern(u"a");
  engine.set_global(true);
  const std::u16string broken = std::u16string(1, u'\xD800') + u"a";
  EXPECT_FALSE(engine.replace(broken, u"b").has_value());
  EXPECT_FALSE(engine.execute(broken).has_value());
  EXPECT_FALSE(engine.test(broken).has_value());
  EXPECT_EQ(engine.replace(u"\U0001F600a", u"b"), u"\U0001F600b");
}

}  // namespace
}  // namespace vd
