#include "collect/output_records.h"

#include <gtest/gtest.h>

#include "tests/collect/collect_fakes.h"
#include "text/regex_service.h"

namespace vd {
namespace {

using namespace vd::literals;

TEST(ReplaceList, NamesAndValuesPairUpByPlace) {
  struct Case {
    std::string text, names, values;
    bool match_case;
    std::string result;
  } const cases[] = {
      {"<a><b>", "<a>|<b>", "1|2", true, "12"},
      {"<a><b>", "<a>|<b>", "1", true, "1"},       // a missing value is empty
      {"<a><b>", "<a>|<b>", "1|2|3", true, "12"},  // extra values are dropped
      {"<a><b>", "<a>|<b>", "|2", true, "2"},      // an empty first value still counts
      {"<a><b>", "<a>|<b>", "1|", true, "1"},      // a trailing empty piece does not
      {"<A><b>", "<a>|<b>", "1|2", true, "<A>2"},
      {"<A><b>", "<a>|<b>", "1|2", false, "12"},
      {"<a>", "<a>|<b>", "<b>|2", true, "2"},  // later names see earlier values
  };
  for (const auto& c : cases) {
    EXPECT_EQ(replace_list(c.text, c.names, c.values, c.match_case), c.result) << c.text << " / " << c.values;
  }
}

TEST(RenderLine, TemplateCases) {
  const std::string default_template = "<a href=\"#网址#\" target=\"_blank\">#标题#</a><br>"_gbk;
  struct Case {
    std::string name, line_template, link, title, line;
  } const cases[] = {
      {"default template", default_template, "http://a.com/", "T",
       "<a href=\"http://a.com/\" target=\"_blank\">T</a><br>"},
      {"title cut at its first bar", "#网址# #标题#"_gbk, "L", "T1|T2", "L T1"},
      {"link cut at its bar, the rest taking the title's place", "#网址# #标题#"_gbk, "L1|L2|L3", "T",
       "L1 L2"},
      {"link twice", "#网址##网址#"_gbk, "L", "T", "LL"},
      {"no placeholder", "plain", "L", "T", "plain"},
      {"link holding the title placeholder", "#网址#"_gbk, "x#标题#y"_gbk, "T", "xTy"},
      {"empty link", "[#网址#][#标题#]"_gbk, "", "T", "[][T]"},
      {"empty title", "[#网址#][#标题#]"_gbk, "L", "", "[L][]"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(render_line(c.line_template, {c.title, c.link}), c.line) << c.name;
  }
}

TEST(CleanTitle, MarkupAndReferencesGo) {
  RegexService titles;
  titles.set_pattern(markup_pattern());
  struct Case {
    std::string title, cleaned;
  } const cases[] = {
      {"Tom &amp; Jerry", "Tom  Jerry"},
      {"A&nbsp;B&#39;C", "ABC"},
      {"x&AMP;y", "xy"},
      {"&#x27;", "&#x27;"},
      {"a < b > c", "a  c"},
      {"<em>外星人</em>图片"_gbk, "外星人图片"_gbk},
      {"a<b", "a<b"},
      {" spaced ", " spaced "},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(clean_title(titles, c.title), c.cleaned) << c.title;
  }
}

class WriteAcceptedPage : public ::testing::Test {
 protected:
  test::TempDir dir;
  test::FakeControls controls;
  std::int32_t total = 5;
  std::string previous = "old\r\n";
};

TEST_F(WriteAcceptedPage, WritesOneLinePerEntryAndShowsTheTotal) {
  KeywordOutput output(dir.file("out.htm"));
  ASSERT_TRUE(output.is_open());
  controls.line_template = "#标题#=#网址#"_gbk;
  const PageEntries page{{{"A", "http://a/"}, {"B", ""}}, "http://a/\r\n\r\n"};
  write_accepted_page(controls, output, total, page, previous);
  output.close();
  EXPECT_EQ(test::read_file(dir.file("out.htm")), "A=http://a/\r\nB=\r\n");
  EXPECT_EQ(previous, page.page_links);
  EXPECT_EQ(total, 7);
  EXPECT_EQ(controls.caption, "已采集数 7"_gbk);
  EXPECT_FALSE(output.failed());
}

TEST_F(WriteAcceptedPage, EmptyPageStillShowsTheTotal) {
  KeywordOutput output(dir.file("out.htm"));
  write_accepted_page(controls, output, total, PageEntries{}, previous);
  output.close();
  EXPECT_EQ(test::read_file(dir.file("out.htm")), "");
  EXPECT_EQ(previous, "");
  EXPECT_EQ(controls.caption, "已采集数 5"_gbk);
}

TEST_F(WriteAcceptedPage, TemplateIsReadForEveryLine) {
  KeywordOutput output(dir.file("out.htm"));
  int reads = 0;
  struct CountingControls : test::FakeControls {
    int* reads;
    std::string template_text() override { return std::to_string(++*reads); }
  } counting;
  counting.reads = &reads;
  write_accepted_page(counting, output, total, PageEntries{{{"A", "a"}, {"B", "b"}}, "a\r\nb\r\n"}, previous);
  output.close();
  EXPECT_EQ(test::read_file(dir.file("out.htm")), "1\r\n2\r\n");
}

TEST_F(WriteAcceptedPage, LinesThatCannotBeWrittenAreReported) {
  KeywordOutput output(dir.file("missing/out.htm"));
  ASSERT_FALSE(output.is_open());
  write_accepted_page(controls, output, total, PageEntries{{{"A", "a"}}, "a\r\n"}, previous);
  EXPECT_TRUE(output.failed());
  EXPECT_EQ(total, 6);  // the total counts collected entries, as the button shows them
  EXPECT_EQ(controls.status[1].back(), "文件无法写入："_gbk + dir.file("missing/out.htm"));
}

TEST(KeywordOutputFile, FailedWriteIsRemembered) {
  KeywordOutput output("/dev/full");
  if (!output.is_open()) GTEST_SKIP() << "no /dev/full here";
  EXPECT_FALSE(output.write_line("x"));
  EXPECT_TRUE(output.failed());
}

}  // namespace
}  // namespace vd
