// Hostile and oversized input to the text helpers: titles of a megabyte, settings files with repeated
// keys or garbage around the section.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "text/encoding.h"
#include "text/gbk_literal.h"
#include "text/markup_matches.h"
#include "text/regex_engine.h"
#include "text/regex_service.h"
#include "text/settings_file.h"

namespace vd {
namespace {

using namespace vd::literals;
using vd::test::read_file;
using vd::test::TempDir;
using vd::test::write_file;

using Spans = std::vector<std::pair<std::size_t, std::size_t>>;

Spans engine_spans(RegexEngine& engine, std::u16string_view text) {
  Spans spans;
  const auto matches = engine.execute(text);
  if (!matches) return {{SIZE_MAX, SIZE_MAX}};
  for (const PatternMatch& m : *matches) spans.emplace_back(m.first_index, m.first_index + m.value.size());
  return spans;
}

// The direct scan must find exactly what PCRE2's backtracking search finds. The same pattern inside a
// group is a text the scan does not take, so the engine answers it by PCRE2.
TEST(MarkupScan, FindsWhatTheBacktrackingSearchFinds) {
  const std::u16string alphabet = u"<<>>&&&##;;aAzZkK1 9\n\r\u4E2D\u017F\u212A";
  std::mt19937 random(11);
  for (const bool ignore_case : {true, false}) {
    for (const bool global : {true, false}) {
      RegexEngine scan;
      scan.set_pattern(kMarkupPattern16);
      RegexEngine pcre;
      pcre.set_pattern(u"(?:<.*?>|&[a-z]+?;|&#\\d+?;)");
      for (RegexEngine* e : {&scan, &pcre}) {
        e->set_ignore_case(ignore_case);
        e->set_global(global);
      }
      for (int round = 0; round < 3000; ++round) {
        std::u16string text;
        const std::size_t length = random() % 24;
        for (std::size_t i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
        ASSERT_EQ(engine_spans(scan, text), engine_spans(pcre, text))
            << "ignore_case " << ignore_case << " global " << global << " text "
            << testing::PrintToString(gbk_to_utf8(utf16_to_gbk(text)));
        ASSERT_EQ(scan.replace(text, u"[$&]"), pcre.replace(text, u"[$&]"));
        ASSERT_EQ(scan.test(text), pcre.test(text));
      }
    }
  }
}

// A backtracking search reads to the end of the line from every "<" that has no ">" after it: on a
// megabyte that is hours. Each case finishes at once, and is cleaned exactly.
TEST(MarkupScan, ATitleOfAMegabyteIsCleanedInOnePass) {
  constexpr std::size_t mb = std::size_t{1} << 20;
  std::string tags;
  std::string words;
  while (tags.size() < mb) {
    tags += "<em>" + "外星人"_gbk + "</em>&nbsp;&#39;";
    words += "外星人"_gbk;
  }
  struct Case {
    const char* name;
    std::string title;
    std::string cleaned;
  };
  const Case cases[] = {
      {"only <", std::string(mb, '<'), std::string(mb, '<')},
      {"< then a tag on the next line", std::string(mb, '<') + "\n<b>x", std::string(mb, '<') + "\nx"},
      {"two-byte characters and <",
       [&] {
         std::string t;
         while (t.size() < mb) t += "啊<"_gbk;
         return t;
       }(),
       [&] {
         std::string t;
         while (t.size() < mb) t += "啊<"_gbk;
         return t;
       }()},
      {"one tag spanning the megabyte", "<" + std::string(mb, 'x') + ">after", "after"},
      {"& and letters without ;", "&" + std::string(mb, 'a'), "&" + std::string(mb, 'a')},
      {"tags and references", tags, words},
  };
  RegexService titles;
  titles.set_pattern(markup_pattern());
  for (const Case& c : cases) {
    const std::string cleaned = titles.replace_matches(c.title, "");
    EXPECT_EQ(cleaned.size(), c.cleaned.size()) << c.name;
    EXPECT_TRUE(cleaned == c.cleaned) << c.name;
  }
}

class SettingsBadInputTest : public testing::Test {
 protected:
  std::string path() const { return dir.file("verodero.ini"); }
  void SetUp() override {
    settings.set_file(path());
    settings.set_section(settings_section());
  }

  TempDir dir;
  SettingsFile settings;
};

// A hand-edited file may hold a key twice, or the section twice: the first one read is the one written,
// so a save and a load agree, and the rest of the file is kept.
TEST_F(SettingsBadInputTest, ARepeatedKeyReadsAndWritesItsFirstOccurrence) {
  const std::string section = "[" + "基本"_gbk + "]\r\n";
  const std::string ext = "扩展名"_gbk;
  struct Case {
    const char* name;
    std::string contents;
    std::string read;
    std::string after_write;
  };
  const Case cases[] = {
      {"twice in one section", section + ext + "=txt\r\n" + ext + "=htm\r\n", "txt",
       section + ext + "=csv\r\n" + ext + "=htm\r\n"},
      {"in a repeated section", section + "a=1\r\n[x]\r\n" + ext + "=no\r\n" + section + ext + "=htm\r\n",
       "htm", section + "a=1\r\n[x]\r\n" + ext + "=no\r\n" + section + ext + "=csv\r\n"},
      {"in both copies of the section", section + ext + "=txt\r\n" + section + ext + "=htm\r\n", "txt",
       section + ext + "=csv\r\n" + section + ext + "=htm\r\n"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(write_file(path(), c.contents));
    EXPECT_EQ(settings.read_text(ext, "d"), c.read) << c.name;
    ASSERT_TRUE(settings.write_text(ext, "csv")) << c.name;
    EXPECT_EQ(settings.read_text(ext, "d"), "csv") << c.name;
    EXPECT_EQ(read_file(path()), c.after_write) << c.name;
  }
}

// Writing into a file of binary garbage adds the section and keeps every byte that was there.
TEST_F(SettingsBadInputTest, WritingIntoGarbageKeepsTheGarbage) {
  std::mt19937 random(3);
  std::string garbage(1 << 20, '\0');
  for (char& c : garbage) c = static_cast<char>(random());
  garbage += "\xB0";  // a lone first byte at the very end
  ASSERT_TRUE(write_file(path(), garbage));
  ASSERT_TRUE(settings.write_text("扩展名"_gbk, "txt"));
  ASSERT_TRUE(settings.write_option("百度"_gbk, true));
  EXPECT_EQ(settings.read_text("扩展名"_gbk, "d"), "txt");
  EXPECT_TRUE(settings.read_option("百度"_gbk, false));
  const std::string after = read_file(path());
  ASSERT_GE(after.size(), garbage.size());
  EXPECT_TRUE(after.compare(0, garbage.size(), garbage) == 0);
}

}  // namespace
}  // namespace vd
