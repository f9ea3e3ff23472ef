#include "text/encoding.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

namespace vd {
namespace {

struct Case {
  const char* name;
  std::string input;
  std::string expected;
};

// Expectations are written as explicit bytes: GBK on one side, UTF-8 or Big5 on the other.
TEST(Utf8ToGbk, ConvertsReplacesAndCuts) {
  const std::vector<Case> cases = {
      {"empty", "", ""},
      {"ascii", "abc", "abc"},
      {"chinese", "\xE4\xB8\xAD\xE6\x96\x87", "\xD6\xD0\xCE\xC4"},
      {"euro sign is byte 0x80", "\xE2\x82\xAC", "\x80"},
      {"character GBK lacks", "a\xF0\x9F\x98\x80z", "a?z"},
      {"invalid byte", "a\xFFz", "a?z"},
      {"sequence cut short at the end", "a\xE4\xB8", "a?"},
      {"lead without trail mid-text", "\xE4z", "?z"},
      {"encoded surrogate", "\xED\xA0\x80", "???"},
      {"zero byte ends the result", std::string("ab\0cd", 5), "ab"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(utf8_to_gbk(c.input), c.expected) << c.name;
    EXPECT_EQ(utf8_to_gbk_plain(c.input), c.expected) << c.name;
  }
}

TEST(Utf8ToGbk, ComposesCombiningMarksOnlyWhenAsked) {
  const std::string e_acute_decomposed = "e\xCC\x81";      // e + U+0301
  EXPECT_EQ(utf8_to_gbk(e_acute_decomposed), "\xA8\xA6");  // the precomposed GBK letter
  EXPECT_EQ(utf8_to_gbk_plain(e_acute_decomposed), "e?");
  // A mark with no precomposed form in GBK stays a separate "?".
  EXPECT_EQ(utf8_to_gbk("q\xCC\x81"), "q?");
}

// Only the text after its longest already composed start is composed, so marks must still find their base
// letters across that point, and composed stretches after it must come out unchanged.
TEST(Utf8ToGbk, ComposesMarksAfterALongComposedStart) {
  const std::string ascii(100, 'a');
  std::string chinese_utf8, chinese_gbk;
  for (int i = 0; i < 3000; ++i) {
    chinese_utf8 += "\xE4\xB8\xAD";
    chinese_gbk += "\xD6\xD0";
  }
  const std::vector<Case> cases = {
      {"already composed", ascii + "\xC3\xA9", ascii + "\xA8\xA6"},
      {"mark after a long start", ascii + "e\xCC\x81", ascii + "\xA8\xA6"},
      {"two marks composed in turn", ascii + "u\xCC\x88\xCC\x81", ascii + "\xA8\xB6"},
      {"mark on a precomposed letter", ascii + "\xC3\xBC\xCC\x8C", ascii + "\xA8\xB7"},
      {"mark that has nothing to join", ascii + "u\xCC\x81\xCC\x88", ascii + "\xA8\xB2?"},
      {"marks at both ends of a long middle", "e\xCC\x81" + chinese_utf8 + "n\xCC\x81",
       "\xA8\xA6" + chinese_gbk + "\xA8\xBD"},
      {"zero byte after a mark", ascii + "e\xCC\x81" + std::string(1, '\0') + "tail", ascii + "\xA8\xA6"},
  };
  for (const Case& c : cases) EXPECT_EQ(utf8_to_gbk(c.input), c.expected) << c.name;
}

TEST(GbkToUtf8, ConvertsReplacesAndCuts) {
  const std::vector<Case> cases = {
      {"empty", "", ""},
      {"ascii", "abc", "abc"},
      {"one chinese character", "\xD6\xD0", "\xE4\xB8\xAD"},
      {"euro sign", "\x80", "\xE2\x82\xAC"},
      {"full-width space", "\xA1\xA1", "\xE3\x80\x80"},
      {"lone lead byte at the end", "a\x81", "a\xEF\xBF\xBD"},
      {"zero byte ends the result", std::string("\xD6\xD0\0\xD6\xD0", 5), "\xE4\xB8\xAD"},
  };
  for (const Case& c : cases) EXPECT_EQ(gbk_to_utf8(c.input), c.expected) << c.name;
}

TEST(GbkUtf16, RoundTripsAndReplacesWhatGbkLacks) {
  const std::string gbk = "a\xD6\xD0\x80\xA1\xA1z";
  const std::u16string utf16 = gbk_to_utf16(gbk);
  EXPECT_EQ(utf16, u"a\u4E2D\u20AC\u3000z");
  EXPECT_EQ(utf16_to_gbk(utf16), gbk);
  EXPECT_EQ(utf16_to_gbk(u"\U0001F600"), "?");
  EXPECT_EQ(utf16_to_gbk(std::u16string(1, u'\xD800') + u"x"), "?x");  // unpaired surrogate
  // Both directions keep zero characters: the pattern service hands counted text through them.
  EXPECT_EQ(gbk_to_utf16(std::string("a\0b", 3)), std::u16string(u"a\0b", 3));
  EXPECT_EQ(utf16_to_gbk(std::u16string(u"a\0b", 3)), std::string("a\0b", 3));
}

TEST(Big5ToGbkSimplified, MapsTraditionalAndEndsAtCharactersGbkLacks) {
  const std::vector<Case> cases = {
      {"empty", "", ""},
      {"ascii", "abc", "abc"},
      {"character the same in both forms", "\xA4\xA4", "\xD6\xD0"},                // 中
      {"traditional becomes simplified", "\xB0\xEA\xA4\xE5", "\xB9\xFA\xCE\xC4"},  // 國文 -> 国文
      {"character GBK lacks ends the text", "\xA4\xA4\xA1\x45z", "\xD6\xD0"},      // U+2027
      {"invalid trail byte becomes ?", "a\xA4\x20z", "a? z"},
      {"lead byte cut short at the end", "a\xA4", "a?"},
      {"zero byte ends the result", std::string("a\0b", 3), "a"},
  };
  for (const Case& c : cases) EXPECT_EQ(big5_to_gbk_simplified(c.input), c.expected) << c.name;
}

TEST(IsValidUtf8, AcceptsWellFormedOnly) {
  const std::vector<std::pair<std::string, bool>> cases = {
      {"", true},
      {"plain ascii", true},
      {"\xE4\xB8\xAD", true},
      {"\xF0\x9F\x98\x80", true},
      {"\xF4\x8F\xBF\xBF", true},   // U+10FFFF
      {"\xD6\xD0", false},          // GBK, not UTF-8
      {"\xC0\xAF", false},          // overlong
      {"\xE0\x80\xAF", false},      // overlong
      {"\xED\xA0\x80", false},      // surrogate
      {"\xF4\x90\x80\x80", false},  // above U+10FFFF
      {"\xE4\xB8", false},          // cut short
      {"\x80", false},              // stray trail byte
      {"\xFF", false},
  };
  for (const auto& [bytes, valid] : cases)
    EXPECT_EQ(is_valid_utf8(bytes), valid) << testing::PrintToString(bytes);
}

// Page-sized text passes through whole, in both directions (the output buffers grow as needed).
TEST(Encoding, LargeTextsConvertWhole) {
  std::string gbk;
  for (int i = 0; i < 100000; ++i) gbk += (i % 3 == 0) ? "a" : "\xD6\xD0";
  const std::string utf8 = gbk_to_utf8(gbk);
  EXPECT_EQ(utf8.size(), 33334u + 66666u * 3);
  EXPECT_EQ(utf8_to_gbk(utf8), gbk);
}

// Each thread has its own converters; concurrent conversions must not disturb one another.
TEST(Encoding, ConcurrentConversionsAgree) {
  const std::string gbk = "\xCD\xE2\xD0\xC7\xC8\xCB abc \x80";
  const std::string utf8 = gbk_to_utf8(gbk);
  std::vector<std::thread> threads;
  std::vector<int> failures(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 2000; ++i) {
        if (gbk_to_utf8(gbk) != utf8 || utf8_to_gbk(utf8) != gbk) ++failures[t];
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (int f : failures) EXPECT_EQ(f, 0);
}

}  // namespace
}  // namespace vd
