#include "collect/result_page.h"

#include <gtest/gtest.h>

#include "collect/page_step.h"
#include "tests/collect/collect_fakes.h"
#include "text/regex_service.h"

namespace vd {
namespace {

using namespace vd::literals;
using test::PageResult;

struct BlockCase {
  std::string name;
  SearchEngine engine;
  std::string page;
  std::string block;
};

TEST(ResultBlock, EachEngineAndItsSecondTry) {
  const BlockCase cases[] = {
      {"baidu", SearchEngine::Baidu, "x<div id=\"content_left\">R<p id=\"page\" >y", "R"},
      {"baidu second try", SearchEngine::Baidu, "<div id=\"content_left\">R<p id=\"page\">", "R"},
      {"baidu unquoted", SearchEngine::Baidu, "<div id=content_left>R<p id=page >", "R"},
      {"baidu unquoted second try", SearchEngine::Baidu, "<div id=content_left>R<p id=page>", "R"},
      {"baidu without page marker", SearchEngine::Baidu, "<div id=\"content_left\">R", ""},
      {"360", SearchEngine::Search360, "<ul id=\"m-result\" class=\"result\">R<div id=\"page\">", "R"},
      {"360 upper case", SearchEngine::Search360, "<UL ID=\"m-result\" CLASS=\"result\">R<DIV ID=\"page\">",
       "R"},
      {"360 unquoted", SearchEngine::Search360, "<ul id=m-result class=result>R<div id=page>", "R"},
      {"360 has no second try", SearchEngine::Search360,
       "<ul id=\"m-result\" class=\"result\">R<div id=\"page\" >", ""},
      {"sogou", SearchEngine::Sogou, "<div class=\"results\" >R<table id=\"hint_container\">", "R"},
      {"sogou second try", SearchEngine::Sogou, "<div class=\"results\">R<table id=\"hint_container\">", "R"},
      {"google", SearchEngine::Google, "<div><ol>R</ol>", ">R"},
      {"no result list", SearchEngine::Google, "<html>nothing</html>", ""},
      {"empty page", SearchEngine::Baidu, "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(cut_result_block(c.page, engine_profile(c.engine)), c.block) << c.name;
  }
}

std::vector<RawEntry> walk(std::string_view block, SearchEngine engine) {
  std::vector<RawEntry> entries;
  walk_entries(block, engine_profile(engine), [&](RawEntry&& e) {
    entries.push_back(std::move(e));
    return true;
  });
  return entries;
}

struct WalkCase {
  std::string name;
  SearchEngine engine;
  std::string block;
  std::vector<PageResult> expected;  // link before any redirect query, raw title
};

TEST(EntryWalk, Cases) {
  const WalkCase cases[] = {
      {"entries in page order",
       SearchEngine::Baidu,
       "<h3 class=t><a href=\"L1\" target=\"_blank\">T1</a></h3><h3 class=t><a href=\"L2\">T2</a></h3>",
       {{"L1", "T1"}, {"L2", "T2"}}},
      {"upper-case tags and attribute",
       SearchEngine::Baidu,
       "<H3 class=t><A HREF=\"L\">T</A></H3>",
       {{"L", "T"}}},
      {"inner markup reaches the cleaning",
       SearchEngine::Baidu,
       "<h3 ><a href=\"L\"><em>外星人</em>图片</a></h3>"_gbk,
       {{"L", "<em>外星人</em>图片"_gbk}}},
      {"first anchor of a heading only",
       SearchEngine::Search360,
       "<h3><a href=\"L1\">T1</a> <a href=\"L2\">T2</a></h3>",
       {{"L1", "T1"}}},
      {"heading without anchor ends the walk",
       SearchEngine::Baidu,
       "<h3 ><a href=\"L1\">T1</a></h3><h3 >plain</h3><h3 ><a href=\"L3\">T3</a></h3>",
       {{"L1", "T1"}}},
      {"single-quoted href ends the walk",
       SearchEngine::Baidu,
       "<h3 ><a href=\"L1\">T1</a></h3><h3 ><a href='L2'>T2</a></h3><h3 ><a href=\"L3\">T3</a></h3>",
       {{"L1", "T1"}}},
      {"unquoted href ends the walk", SearchEngine::Search360, "<h3><a href=L1>T1</a></h3>", {}},
      {"baidu heading needs its space", SearchEngine::Baidu, "<h3><a href=\"L\">T</a></h3>", {}},
      {"sogou anchor without space", SearchEngine::Sogou, "<h3><a\nhref=\"L\">T</a></h3>", {{"L", "T"}}},
      {"empty title kept", SearchEngine::Sogou, "<h3><a href=\"L\"></a></h3>", {{"L", ""}}},
      {"google wrapped target",
       SearchEngine::Google,
       "<h3 class=r><a href=\"/url?q=http://a.com/%E4%B8%AD&amp;sa=U&amp;ei=x\">T</a></h3>",
       {{"http://a.com/%E4%B8%AD", "T"}}},
      {"google direct link ends the walk",
       SearchEngine::Google,
       "<h3><a href=\"/url?q=http://a.com/&amp;sa=U\">T1</a></h3><h3><a href=\"http://b.com/\">T2</a></h3>"
       "<h3><a href=\"/url?q=http://c.com/&amp;sa=U\">T3</a></h3>",
       {{"http://a.com/", "T1"}}},
      {"google wrapped target without &amp; ends the walk",
       SearchEngine::Google,
       "<h3><a href=\"/url?q=http://a.com/\">T</a></h3>",
       {}},
      {"360 links kept as found",
       SearchEngine::Search360,
       "<h3><a href=\"/link?a=1&amp;b=2\">T</a></h3>",
       {{"/link?a=1&amp;b=2", "T"}}},
  };
  for (const auto& c : cases) {
    const auto entries = walk(c.block, c.engine);
    ASSERT_EQ(entries.size(), c.expected.size()) << c.name;
    for (std::size_t i = 0; i < entries.size(); ++i) {
      EXPECT_EQ(entries[i].link, c.expected[i].href) << c.name;
      EXPECT_EQ(entries[i].title, c.expected[i].title) << c.name;
    }
  }
}

TEST(EntryWalk, HandlesEventsOncePerHeadingAndStopsWhenTheSinkSaysSo) {
  test::CountingPump pump;
  const std::string block =
      "<h3 ><a href=\"1\">a</a></h3><h3 ><a href=\"2\">b</a></h3><h3 ><a href=\"3\">c</a></h3>";
  int seen = 0;
  walk_entries(block, engine_profile(SearchEngine::Baidu), [&](RawEntry&&) {
    ++seen;
    EXPECT_EQ(pump.pumps, seen);  // the events before each heading have been handled
    return true;
  });
  EXPECT_EQ(seen, 3);
  EXPECT_EQ(pump.pumps, 4);  // the fourth finds no heading

  seen = 0;
  walk_entries(block, engine_profile(SearchEngine::Baidu), [&](RawEntry&&) { return ++seen < 2; });
  EXPECT_EQ(seen, 2);
}

// The page step's reading half: links resolved, titles cleaned, status per entry.
class ResultPageRead : public ::testing::Test {
 protected:
  ResultPageRead() { titles.set_pattern(markup_pattern()); }

  PageEntries read(SearchEngine engine, const std::string& page_text, std::string_view keyword = "k") {
    web.pages[build_request_url(engine, keyword, 1)] = page_text;
    PageStep step{controls, web, titles, output, total};
    return read_result_page(step, engine_profile(engine), keyword, 1);
  }

  test::FakeControls controls;
  test::FakeWeb web;
  RegexService titles;
  KeywordOutput output;
  std::int32_t total = 0;
};

TEST_F(ResultPageRead, BaiduRedirectsAreResolvedWhereverThePrefixStands) {
  web.redirects["http://www.baidu.com/link?url=A"] = "http://a.com/";
  web.redirects["HTTP://WWW.BAIDU.COM/LINK?URL=B"] = "http://b.com/";
  web.redirects["x http://www.baidu.com/link?url=C"] = "http://c.com/";
  const auto page =
      read(SearchEngine::Baidu, test::baidu_page({{"http://www.baidu.com/link?url=A", "<em>A</em>"},
                                                  {"HTTP://WWW.BAIDU.COM/LINK?URL=B", "B&amp;b"},
                                                  {"x http://www.baidu.com/link?url=C", "C"},
                                                  {"http://direct.com/", "D"}}));
  ASSERT_EQ(page.entries.size(), 4u);
  EXPECT_EQ(page.entries[0].link, "http://a.com/");
  EXPECT_EQ(page.entries[0].title, "A");
  EXPECT_EQ(page.entries[1].link, "http://b.com/");
  EXPECT_EQ(page.entries[1].title, "Bb");
  EXPECT_EQ(page.entries[2].link, "http://c.com/");
  EXPECT_EQ(page.entries[3].link, "http://direct.com/");
  EXPECT_EQ(page.page_links, "http://a.com/\r\nhttp://b.com/\r\nhttp://c.com/\r\nhttp://direct.com/\r\n");
  EXPECT_EQ(web.queried.size(), 3u);  // the direct link is not queried
  ASSERT_FALSE(controls.status[1].empty());
  EXPECT_EQ(controls.status[1].back(), "标题：D(网址：http://direct.com/)"_gbk);
}

TEST_F(ResultPageRead, FailedBaiduRedirectKeepsTheEntryAndEndsThePage) {
  web.redirects["http://www.baidu.com/link?url=A"] = "http://a.com/";
  const auto page = read(SearchEngine::Baidu, test::baidu_page({{"http://www.baidu.com/link?url=A", "A"},
                                                                {"http://www.baidu.com/link?url=lost", "B"},
                                                                {"http://www.baidu.com/link?url=C", "C"}}));
  ASSERT_EQ(page.entries.size(), 2u);
  EXPECT_EQ(page.entries[1].link, "");
  EXPECT_EQ(page.entries[1].title, "B");
  EXPECT_EQ(page.page_links, "http://a.com/\r\n\r\n");
  EXPECT_EQ(web.queried.size(), 2u);
  EXPECT_EQ(controls.status[1].back(), "标题：B(网址：)"_gbk);
}

TEST_F(ResultPageRead, OtherEnginesMakeNoRedirectQuery) {
  const auto page = read(SearchEngine::Sogou, test::sogou_page({{"http://www.baidu.com/link?url=A", "A"}}));
  ASSERT_EQ(page.entries.size(), 1u);
  EXPECT_EQ(page.entries[0].link, "http://www.baidu.com/link?url=A");
  EXPECT_TRUE(web.queried.empty());
}

TEST_F(ResultPageRead, FailedOrTimedOutRequestGivesNoEntries) {
  EXPECT_TRUE(read(SearchEngine::Baidu, "").entries.empty());
  EXPECT_TRUE(read(SearchEngine::Google, "request timed out").entries.empty());
  EXPECT_EQ(web.fetched.size(), 2u);
}

}  // namespace
}  // namespace vd
