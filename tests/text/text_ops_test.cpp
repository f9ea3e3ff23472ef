#include "text/text_ops.h"

#include <gtest/gtest.h>

#include <climits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "text/gbk_literal.h"

namespace vd {
namespace {

using namespace vd::literals;

// Bytes with a role in the two-byte stepping: 中 is D6 D0 and 文 is CE C4, so "形" (D0 CE) sits across them.
const std::string zhong = "\xD6\xD0";
const std::string xing = "\xD0\xCE";
const std::string lone = "\xB0";  // a first byte with nothing after it

// --- cuts by count
// -------------------------------------------------------------------------------------------

struct CutCase {
  const char* name;
  std::string text;
  int position;  // middle_bytes only
  int n;
  std::string leading, trailing, middle;
};

TEST(TextCuts, ClipToTheText) {
  const CutCase cases[] = {
      {"plain", "abcdef", 2, 3, "abc", "def", "bcd"},
      {"n zero", "abcdef", 1, 0, "", "", ""},
      {"n negative", "abcdef", 1, -1, "", "", ""},
      {"n beyond", "abc", 2, 10, "abc", "abc", "bc"},
      {"n INT_MAX", "abc", 3, INT_MAX, "abc", "abc", "c"},
      {"n INT_MIN", "abc", 1, INT_MIN, "", "", ""},
      {"position 0", "abc", 0, 2, "ab", "bc", ""},
      {"position past end", "abc", 4, 1, "a", "c", ""},
      {"position INT_MIN", "abc", INT_MIN, 1, "a", "c", ""},
      {"position INT_MAX", "abc", INT_MAX, 1, "a", "c", ""},
      {"empty text", "", 1, 3, "", "", ""},
      {"halves a character", zhong + "a", 2, 1, "\xD6", "a", "\xD0"},
  };
  for (const CutCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(leading_bytes(c.text, c.n), c.leading);
    EXPECT_EQ(trailing_bytes(c.text, c.n), c.trailing);
    EXPECT_EQ(middle_bytes(c.text, c.position, c.n), c.middle);
  }
}

TEST(TextCuts, ByteLengthCountsBytes) {
  EXPECT_EQ(byte_length(""), 0);
  EXPECT_EQ(byte_length("外星人"_gbk), 6);
}

TEST(ReplaceSpan, ClipsPositionAndLength) {
  struct Case {
    const char* name;
    std::string text;
    int position, length;
    std::string replacement, expected;
  } const cases[] = {
      {"delete a prefix", "http://x", 1, 7, "", "x"},
      {"replace inside", "abcdef", 3, 2, "XY", "abXYef"},
      {"insert only", "abc", 2, 0, "X", "aXbc"},
      {"negative length removes nothing", "abc", 2, -5, "X", "aXbc"},
      {"length past the end", "abc", 2, 100, "X", "aX"},
      {"length INT_MAX", "abc", 1, INT_MAX, "", ""},
      {"position below 1 is 1", "abc", -3, 1, "X", "Xbc"},
      {"position INT_MIN", "abc", INT_MIN, 1, "", "bc"},
      {"position past the end appends", "abc", 9, 2, "X", "abcX"},
      {"position INT_MAX appends", "abc", INT_MAX, INT_MAX, "X", "abcX"},
      {"empty text", "", 1, 1, "X", "X"},
      {"halves a character", zhong, 2, 1, "", "\xD6"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(replace_span(c.text, c.position, c.length, c.replacement), c.expected);
  }
}

// --- find_part
// -----------------------------------------------------------------------------------------------

struct FindCase {
  const char* name;
  std::string text, part;
  int start;
  bool ignore_case;
  int expected;
};

TEST(FindPart, StepsOverTwoByteCharacters) {
  const FindCase cases[] = {
      {"exact", "abcABC", "C", 1, false, 6},
      {"ignore case", "abcABC", "C", 1, true, 3},
      {"from start 4", "abcABC", "C", 4, false, 6},
      {"from the last byte", "abcABC", "C", 6, false, 6},
      {"from past the end", "abcABC", "C", 7, false, -1},
      {"start 0 is offset 0", "abc", "a", 0, false, 1},
      {"negative start is offset 0", "abc", "a", -7, false, 1},
      {"start INT_MIN", "abc", "c", INT_MIN, false, 3},
      {"start INT_MAX", "abc", "c", INT_MAX, false, -1},
      {"bytes across two characters", zhong + "\xCE\xC4", xing, 1, false, -1},
      {"start on a second byte", zhong + "\xCE\xC4", xing, 2, false, 2},
      {"whole character", "a" + zhong + xing, xing, 1, false, 4},
      {"ASCII after a character", zhong + "a", "a", 1, false, 3},
      {"second byte that looks like ASCII",
       "\x81\x61"
       "a",
       "a", 1, false, 3},
      {"ignore case folds second bytes", "\x81\x41", "\x81\x61", 1, true, 1},
      {"exact does not fold second bytes", "\x81\x41", "\x81\x61", 1, false, -1},
      {"part at the very end", "xyzabc", "abc", 1, false, 4},
      {"part longer than text", "ab", "abc", 1, false, -1},
      {"part longer than the stretch", "abcd", "bcd", 3, false, -1},
      {"one-byte part matches a lone first byte", "ab" + lone, lone, 1, false, 3},
      {"lone first byte ends the walk", "a" + lone, "x", 1, false, -1},
      {"a lone byte is not the start of a pair", lone, lone + "a", 1, false, -1},
      {"empty part", "abc", "", 1, false, 1},
      {"empty part ignores start", "abc", "", 3, false, 1},
      {"empty part past the end", "abc", "", 4, false, -1},
      {"empty part in empty text", "", "", 1, false, -1},
      {"empty text", "", "a", 1, true, -1},
      {"zero bytes compare like others", std::string("a\0b", 3), std::string("\0b", 2), 1, false, 2},
  };
  for (const FindCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(find_part(c.text, c.part, c.start, c.ignore_case), c.expected);
  }
}

TEST(FindPart, DefaultStartSearchesTheWholeText) {
  EXPECT_EQ(find_part("abcABC", "B"), 5);
  EXPECT_EQ(find_part("外星人"_gbk, "人"_gbk), 5);
  EXPECT_EQ(find_part("ABCabc", "b", 1, true), 2);
}

// --- replace_parts
// -------------------------------------------------------------------------------------------

struct ReplaceCase {
  const char* name;
  std::string text, part, replacement;
  int start;
  std::optional<int> limit;
  bool match_case;
  std::string expected;
};

TEST(ReplaceParts, ReplacesAtStepsOnly) {
  const ReplaceCase cases[] = {
      {"ignoring case", "ABCabc", "b", "", 1, no_limit, false, "ACac"},
      {"matching case", "ABCabc", "b", "", 1, no_limit, true, "ABCac"},
      {"no overlap", "aaa", "aa", "b", 1, no_limit, true, "ba"},
      {"replacement not searched again", "ab", "a", "aa", 1, no_limit, true, "aab"},
      {"first bytes kept before start", "abab", "a", "x", 2, no_limit, true, "abxb"},
      {"start below 1", "abab", "a", "x", -5, no_limit, true, "xbxb"},
      {"start INT_MIN", "aa", "a", "x", INT_MIN, no_limit, true, "xx"},
      {"start past the end", "abab", "a", "x", 5, no_limit, true, "abab"},
      {"start INT_MAX", "abab", "a", "x", INT_MAX, no_limit, true, "abab"},
      {"limit", "aaaa", "a", "x", 1, 2, true, "xxaa"},
      {"limit 0", "aaaa", "a", "x", 1, 0, true, "aaaa"},
      {"negative limit is no limit", "aaaa", "a", "x", 1, -1, true, "xxxx"},
      {"limit with a lone byte left in the rest", "a" + lone, "a", "x", 1, 1, true, "x" + lone},
      {"empty part", "abc", "", "x", 1, no_limit, true, "abc"},
      {"empty text", "", "a", "x", 1, no_limit, true, ""},
      {"across two characters untouched", zhong + "\xCE\xC4", xing, "x", 1, no_limit, true,
       zhong + "\xCE\xC4"},
      {"from a second byte", zhong + "\xCE\xC4", xing, "x", 2, no_limit, true,
       "\xD6"
       "x"
       "\xC4"},
      {"two-byte part", "外星人外"_gbk, "外"_gbk, "-", 1, no_limit, true, "-星人-"_gbk},
      {"one-byte part drops a lone end byte", "ab" + lone, "a", "x", 1, no_limit, true, "xb"},
      {"one-byte part replaces a lone end byte", "ab" + lone, lone, "x", 1, no_limit, true, "abx"},
      {"longer part keeps a lone end byte", "abc" + lone, "bc", "x", 1, no_limit, true, "ax" + lone},
      {"short rest kept as it is", "abcab", "abc", "x", 1, no_limit, true, "xab"},
  };
  for (const ReplaceCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(replace_parts(c.text, c.part, c.replacement, c.start, c.limit, c.match_case), c.expected);
  }
}

TEST(ReplaceParts, DefaultsReplaceEveryExactMatchWithNothing) {
  EXPECT_EQ(replace_parts("<b>x</b>", "<b>"), "x</b>");
  EXPECT_EQ(replace_parts("aAa", "a"), "A");
}

// --- split_at
// ------------------------------------------------------------------------------------------------

struct SplitCase {
  const char* name;
  std::string text, separator;
  std::optional<int> limit;
  TextList expected;
};

TEST(SplitAt, MakesItemsAtSeparators) {
  const SplitCase cases[] = {
      {"CR LF between", "a\r\n\r\nb", "\r\n", no_limit, {"a", "", "b"}},
      {"trailing CR LF", "a\r\n", "\r\n", no_limit, {"a"}},
      {"leading CR LF", "\r\nb", "\r\n", no_limit, {"", "b"}},
      {"CR LF alone", "\r\n", "\r\n", no_limit, {""}},
      {"empty text", "", ",", no_limit, {}},
      {"no separator in text", "abc", ",", no_limit, {"abc"}},
      {"empty separator", "a,b", "", no_limit, {"a,b"}},
      {"separator longer than text", "a", ",,", no_limit, {"a"}},
      {"limit stops making items", "a,b,c", ",", 2, {"a", "b"}},
      {"limit above the count", "a,b", ",", 5, {"a", "b"}},
      {"limit 0", "a,b", ",", 0, {}},
      {"negative limit", "a,b", ",", -1, {}},
      {"separator bytes across characters", zhong + "\xCE\xC4", xing, no_limit, {zhong + "\xCE\xC4"}},
      {"two-byte separator", "外,星"_gbk + "人"_gbk, "星"_gbk, no_limit, {"外,"_gbk, "人"_gbk}},
      {"lone end byte stays in the last item", "a,b" + lone, ",", no_limit, {"a", "b" + lone}},
      {"separator inside a character is no separator", "\x81,", ",", no_limit, {"\x81,"}},
  };
  for (const SplitCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(split_at(c.text, c.separator, c.limit), c.expected);
  }
}

TEST(SplitAt, DefaultSeparatorIsComma) { EXPECT_EQ(split_at("x,y"), (TextList{"x", "y"})); }

// --- trim_spaces, ascii_lower
// --------------------------------------------------------------------------------

TEST(TrimSpaces, TrimsAsciiAndFullWidthSpaces) {
  const std::string full = "\xA1\xA1";  // 　
  struct Case {
    const char* name;
    std::string text, expected;
  } const cases[] = {
      {"both kinds", "  " + "外星人"_gbk + full, "外星人"_gbk},
      {"tab stays", "\t2012 ", "\t2012"},
      {"CR LF stay", " \r\nx\r\n ", "\r\nx\r\n"},
      {"inner spaces stay", full + "a " + full + "b" + full, "a " + full + "b"},
      {"only spaces", " " + full + " ", ""},
      {"empty", "", ""},
      {"lone end byte cut", "ab" + lone, "ab"},
      {"lone end byte after spaces cut", "ab " + lone, "ab"},
      {"only a lone byte", lone, ""},
      {"A1 A1 across characters is no space", "x\xB0\xA1\xA1", "x\xB0\xA1"},
      {"lone A1 at the end", "x \xA1", "x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(trim_spaces(c.text), c.expected);
  }
}

TEST(AsciiLower, LowersAsciiLettersOnly) {
  EXPECT_EQ(ascii_lower("ABC-"_gbk + "Ａ"_gbk), "abc-"_gbk + "Ａ"_gbk);
  EXPECT_EQ(ascii_lower("HTTP://Example.COM/Ａz"_gbk), "http://example.com/Ａz"_gbk);
  EXPECT_EQ(ascii_lower("\x81"
                        "AB"),
            "\x81"
            "Ab");  // the A is the second byte of a character
  EXPECT_EQ(ascii_lower("A" + lone), "a" + lone);
  EXPECT_EQ(ascii_lower(""), "");
  EXPECT_EQ(ascii_lower("@[`{"), "@[`{");
}

// --- compare_texts
// -------------------------------------------------------------------------------------------

int sign(int v) { return (v > 0) - (v < 0); }

TEST(CompareTexts, ComparesCharactersWithOptionalCase) {
  struct Case {
    const char* name;
    std::string a, b;
    bool match_case;
    int expected_sign;
  } const cases[] = {
      {"equal", "abc", "abc", true, 0},
      {"ascii case matters", "ABC", "abc", true, -1},
      {"ascii case ignored", "HTTP", "http", false, 0},
      {"shorter prefix first", "ab", "abc", true, -1},
      {"longer after prefix", "abc", "ab", false, 1},
      {"empty texts", "", "", false, 0},
      {"empty first", "", "a", true, -1},
      {"bytes unsigned", "\x81\x40", "a", true, 1},
      {"full-width letters ignore case", "Ａｂ"_gbk, "ａＢ"_gbk, false, 0},
      {"full-width letters keep case", "Ａ"_gbk, "ａ"_gbk, true, -1},
      {"full-width letter is not ASCII", "Ａ"_gbk, "a", false, 1},
      {"second byte is not folded as ASCII", "\x81\x41", "\x81\x61", false, -1},
      {"other characters by their bytes", "外"_gbk, "星"_gbk, false, -1},  // CD E2 against D0 C7
      {"lone byte before a pair", lone, lone + "\xA1", false, -1},
      {"folds toward lower case", "_", "A", false, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(sign(compare_texts(c.a, c.b, c.match_case)), c.expected_sign);
    EXPECT_EQ(sign(compare_texts(c.b, c.a, c.match_case)), -c.expected_sign);
  }
}

// --- the walks against a literal model of the stepping
// -------------------------------------------------------

// The walk written out step by step, as plainly as possible, to check the searches on texts built to land
// candidates on every kind of boundary.
bool same_at(const std::string& t, size_t pos, const std::string& part, bool ignore_case) {
  auto fold = [&](unsigned char c) { return ignore_case && c >= 'A' && c <= 'Z' ? c + 32 : c; };
  for (size_t i = 0; i < part.size(); ++i) {
    if (fold(t[pos + i]) != fold(part[i])) return false;
  }
  return true;
}

int model_find(const std::string& t, const std::string& part, long start, bool ignore_case) {
  size_t pos = start - 1 < 0 ? 0 : start - 1;
  if (pos >= t.size()) return -1;
  if (part.empty()) return 1;
  while (t.size() - pos >= part.size()) {
    if (same_at(t, pos, part, ignore_case)) return static_cast<int>(pos + 1);
    if (static_cast<unsigned char>(t[pos]) >= 0x80) {
      if (pos + 1 >= t.size()) return -1;
      pos += 2;
    } else {
      pos += 1;
    }
  }
  return -1;
}

std::string model_replace(const std::string& t, const std::string& part, const std::string& rep, long start,
                          bool match_case) {
  size_t pos = start - 1 < 0 ? 0 : start - 1;
  if (t.empty() || part.empty() || pos >= t.size()) return t;
  std::string out = t.substr(0, pos);
  while (t.size() - pos >= part.size()) {
    if (same_at(t, pos, part, !match_case)) {
      out += rep;
      pos += part.size();
    } else if (static_cast<unsigned char>(t[pos]) >= 0x80) {
      if (pos + 1 >= t.size()) return out;  // lone first byte dropped
      out += t.substr(pos, 2);
      pos += 2;
    } else {
      out += t[pos++];
    }
  }
  return out + t.substr(pos);
}

TextList model_split(const std::string& t, const std::string& sep) {
  TextList items;
  if (t.empty()) return items;
  if (sep.empty()) return {t};
  size_t pos = 0, item = 0;
  while (t.size() - pos >= sep.size()) {
    if (same_at(t, pos, sep, false)) {
      items.push_back(t.substr(item, pos - item));
      item = pos += sep.size();
    } else if (static_cast<unsigned char>(t[pos]) >= 0x80) {
      if (pos + 1 >= t.size()) break;
      pos += 2;
    } else {
      pos += 1;
    }
  }
  if (item < t.size()) items.push_back(t.substr(item));
  return items;
}

// find_part, replace_parts and split_at against the model on one case; a fatal failure on disagreement.
void expect_walks_agree_with_model(const std::string& text, const std::string& part, long start, bool flag) {
  SCOPED_TRACE(testing::Message() << "text " << testing::PrintToString(text) << " part "
                                  << testing::PrintToString(part) << " start " << start);
  ASSERT_EQ(find_part(text, part, static_cast<int>(start), flag), model_find(text, part, start, flag));
  ASSERT_EQ(replace_parts(text, part, "#", static_cast<int>(start), no_limit, flag),
            model_replace(text, part, "#", start, flag));
  ASSERT_EQ(split_at(text, part), model_split(text, part));
}

TEST(TextWalks, AgreeWithTheStepByStepModel) {
  // Letters in both cases, the first bytes of 中 文 形, and bytes that are first bytes and second bytes at
  // once.
  const std::string alphabet =
      "aA\xD0\xCE\xD6\xA1\x81"
      "b";
  std::mt19937 random(12345);
  auto pick = [&](size_t max_length) {
    std::string s(random() % (max_length + 1), ' ');
    for (char& c : s) c = alphabet[random() % alphabet.size()];
    return s;
  };
  for (int round = 0; round < 20000; ++round) {
    const std::string text = pick(12);
    const std::string part = pick(3);
    const long start = static_cast<long>(random() % (text.size() + 3)) - 1;
    const bool flag = random() % 2 == 0;
    expect_walks_agree_with_model(text, part, start, flag);
    if (HasFatalFailure()) return;
  }
}

// Longer texts, so that candidates fall inside whole blocks of the scan as well as in its tail, over
// alphabets that test the candidate filter: bytes that differ from a letter only in bit 0x20 without being
// letters ("@" and "`", "[" and "{", C1 and E1), bytes without case that anchor a part, and texts made mostly
// of first bytes. Parts are often cut from the text itself, case changed at random, so that most searches
// have matches to find or to reject at a wrong step.
TEST(TextWalks, LongTextsAgreeWithTheStepByStepModel) {
  struct Alphabet {
    const char* name;
    std::string bytes;
  };
  const std::vector<Alphabet> alphabets = {
      {"markup", "<a=\"zZ>@`[{ /b"},
      {"letters and near letters", "aAzZ@`[{"},
      {"mostly first bytes", "\xC1\xE1\xD6\xD0\x81\xFF\x80<aA"},
      {"first bytes only", "\xC1\xE1\xD6\xD0"},
  };
  std::mt19937 random(54321);
  for (const Alphabet& alphabet : alphabets) {
    SCOPED_TRACE(alphabet.name);
    auto pick = [&](size_t length) {
      std::string s(length, ' ');
      for (char& c : s) c = alphabet.bytes[random() % alphabet.bytes.size()];
      return s;
    };
    for (int round = 0; round < 5000; ++round) {
      const std::string text = pick(random() % 90);
      std::string part;
      if (!text.empty() && random() % 4 != 0) {
        const size_t at = random() % text.size();
        part = text.substr(at, 1 + random() % 6);
        for (char& c : part) {
          if (random() % 2 == 0 && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) c ^= 0x20;
        }
      } else {
        part = pick(1 + random() % 4);
      }
      const long start = static_cast<long>(random() % (text.size() + 3)) - 1;
      const bool flag = random() % 2 == 0;
      expect_walks_agree_with_model(text, part, start, flag);
      if (HasFatalFailure()) return;
    }
  }
}

// --- large input
// ---------------------------------------------------------------------------------------------

// Ten megabytes of two-byte characters whose second byte equals their first byte's partner: every second byte
// is a candidate for the part, so a search that re-derived boundaries from the start for each candidate would
// take hours rather than milliseconds.
TEST(TextWalks, TenMegabytesInOnePass) {
  const size_t count = 5 * 1024 * 1024;
  std::string text;
  text.reserve(2 * count + 4);
  for (size_t i = 0; i < count; ++i) text += zhong;
  const std::string across = "\xD0\xD6";  // the second byte of 中 and the first of the next
  EXPECT_EQ(find_part(text, across), -1);
  EXPECT_EQ(find_part(text, across, 2), 2);
  EXPECT_EQ(find_part(text, "\xD0\xD6x", 1, true), -1);
  EXPECT_EQ(split_at(text, across).size(), 1u);

  text += "ab";
  EXPECT_EQ(find_part(text, "B", 1, true), static_cast<int>(2 * count + 2));
  EXPECT_EQ(replace_parts(text, "b", "c").substr(2 * count), "ac");
  EXPECT_EQ(split_at(text, "a").size(), 2u);
  EXPECT_EQ(trim_spaces(text).size(), text.size());
  EXPECT_EQ(ascii_lower(text), text);
  EXPECT_EQ(compare_texts(text, text, false), 0);

  const std::string spaces(10 * 1024 * 1024, ' ');
  EXPECT_EQ(trim_spaces(spaces + "x" + spaces), "x");
}

}  // namespace
}  // namespace vd
