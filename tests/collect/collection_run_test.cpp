#include "collect/collection_run.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>

#include "collect/engine_profile.h"
#include "tests/collect/collect_fakes.h"
#include "text/clock.h"
#include "text/regex_service.h"

namespace vd {
namespace {

using namespace vd::literals;
using test::PageResult;
using Page = std::vector<PageResult>;

// One run over fakes: controls, pages in memory, a recording desktop and a fresh output folder.
class CollectionRunTest : public ::testing::Test {
 protected:
  CollectionRunTest() {
    titles.set_pattern(markup_pattern());
    controls.output_directory = dir.path() + "/out";
  }

  std::string out() const { return dir.path() + "/out"; }

  // Serves pages 1..served.size() of a Baidu keyword; every page after the last repeats it.
  void serve_baidu(std::string_view keyword, const std::vector<Page>& served, int up_to = 12) {
    for (int page = 1; page <= up_to; ++page) {
      const Page& results = served[std::min<std::size_t>(page, served.size()) - 1];
      web.pages[build_request_url(SearchEngine::Baidu, keyword, page)] = test::baidu_page(results);
    }
  }

  void run() {
    before = local_now();
    CollectionRun collection(controls, titles, web);
    collection.on_button_clicked();
    after = local_now();
    summary = collection.last_summary();
  }

  // The name the keyword's file gets; the run may have crossed a second.
  std::string file_of(std::string_view keyword_in_name, std::string_view extension = "htm") {
    for (const DateTime& t : {before, after}) {
      const std::string name =
          std::string(keyword_in_name) + "_" + datetime_text(t) + "." + std::string(extension);
      if (std::filesystem::exists(out() + "/" + gbk_to_utf8(name))) return name;
    }
    ADD_FAILURE() << "no file for " << gbk_to_utf8(keyword_in_name);
    return {};
  }

  std::string contents_of(std::string_view keyword_in_name) {
    return test::file_in(out(), file_of(keyword_in_name));
  }

  std::vector<int> fetched_baidu_pages(std::string_view keyword) {
    std::vector<int> pages;
    for (const std::string& url : web.fetched) {
      for (int page = 1; page <= 12; ++page) {
        if (url == build_request_url(SearchEngine::Baidu, keyword, page)) pages.push_back(page);
      }
    }
    return pages;
  }

  test::TempDir dir;
  test::FakeControls controls;
  test::FakeWeb web;
  test::RecordingDesktop desktop;
  RegexService titles;
  DateTime before, after;
  RunSummary summary;
};

std::string final_text_start(int total) {
  return "已采集完成！总采集数量 "_gbk + std::to_string(total) + " 耗时 "_gbk;
}

TEST_F(CollectionRunTest, TwoKeywordsFromABoxWithSpacesAndAnEmptyLine) {
  controls.keywords = "  外星人　 \r\n\r\n2012"_gbk;
  serve_baidu("外星人"_gbk, {{{"http://a.com/", "<em>外星人</em>图片"_gbk}, {"http://b.com/", "B&amp;B"}}});
  serve_baidu("2012", {{{"http://c.com/", "C"}}});
  run();

  EXPECT_EQ(test::file_names(out()).size(), 2u);
  EXPECT_EQ(contents_of("外星人"_gbk), "http://a.com/|外星人图片\r\nhttp://b.com/|BB\r\n"_gbk);
  EXPECT_EQ(contents_of("2012"), "http://c.com/|C\r\n");
  // Page 2 repeats page 1 and ends each keyword.
  EXPECT_EQ(fetched_baidu_pages("外星人"_gbk), (std::vector<int>{1, 2}));
  EXPECT_EQ(fetched_baidu_pages("2012"), (std::vector<int>{1, 2}));

  EXPECT_EQ(controls.captions,
            (std::vector<std::string>{"停止采集"_gbk, "已采集数 2"_gbk, "已采集数 3"_gbk, "开始采集"_gbk}));
  EXPECT_EQ(controls.status[0].front(), "关键词：外星人(页号：1)"_gbk);
  EXPECT_EQ(controls.status[0].back(), "就绪"_gbk);
  const std::string& final_text = controls.status[1].back();
  EXPECT_EQ(final_text.rfind(final_text_start(3), 0), 0u);
  EXPECT_EQ(summary.final_text, final_text);
  EXPECT_EQ(summary.total, 3);
  EXPECT_FALSE(summary.stopped);
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(desktop.messages[0].first, final_text);
  EXPECT_EQ(desktop.messages[0].second, "信息："_gbk);
}

TEST_F(CollectionRunTest, PageLoopBoundsAndEnds) {
  const Page p1{{"http://1/", "1"}}, p2{{"http://2/", "2"}}, p3{{"http://3/", "3"}}, none{};
  struct Case {
    std::string name, first, limit;
    std::vector<Page> served;
    std::vector<int> fetched;
    std::string lines;
  } const cases[] = {
      {"first 3 limit 2: page 3 only", "3", "2", {p1, p2, p3}, {3}, "http://3/|3\r\n"},
      {"first 1 limit 3",
       "1",
       "3",
       {p1, p2, p3, {{"http://4/", "4"}}},
       {1, 2, 3},
       "http://1/|1\r\nhttp://2/|2\r\nhttp://3/|3\r\n"},
      {"first 3 limit 5",
       "3",
       "5",
       {p1, p2, p3, {{"http://4/", "4"}}, {{"http://5/", "5"}}, {{"6", "6"}}},
       {3, 4, 5},
       "http://3/|3\r\nhttp://4/|4\r\nhttp://5/|5\r\n"},
      {"limit 0 runs to the repeated page",
       "1",
       "0",
       {p1, p2, p3},
       {1, 2, 3, 4},
       "http://1/|1\r\nhttp://2/|2\r\nhttp://3/|3\r\n"},
      {"first 0 starts at 1", "0", "1", {p1, p2}, {1}, "http://1/|1\r\n"},
      {"first -5 starts at 1", "-5", "1", {p1, p2}, {1}, "http://1/|1\r\n"},
      {"first x starts at 1, limit x is none",
       "x",
       "x",
       {p1, p2},
       {1, 2, 3},
       "http://1/|1\r\nhttp://2/|2\r\n"},
      {"first page empty ends at once", "1", "0", {none, p2}, {1}, ""},
      {"an empty page after entries is accepted, the next ends",
       "1",
       "0",
       {p1, none, none},
       {1, 2, 3},
       "http://1/|1\r\n"},
      {"same links in another order are a new page",
       "1",
       "0",
       {{{"a", "1"}, {"b", "2"}}, {{"b", "2"}, {"a", "1"}}},
       {1, 2, 3},
       "a|1\r\nb|2\r\nb|2\r\na|1\r\n"},
      {"same links with other titles are the same page",
       "1",
       "0",
       {{{"a", "1"}}, {{"a", "other"}}},
       {1, 2},
       "a|1\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempDir case_dir;
    controls.output_directory = case_dir.path();
    controls.keywords = "k";
    controls.first_page = c.first;
    controls.page_limit = c.limit;
    web = {};
    serve_baidu("k", c.served);
    before = local_now();
    CollectionRun collection(controls, titles, web);
    collection.on_button_clicked();
    after = local_now();
    EXPECT_EQ(fetched_baidu_pages("k"), c.fetched);
    const auto names = test::file_names(case_dir.path());
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(test::file_in(case_dir.path(), names[0]), c.lines);
  }
}

TEST_F(CollectionRunTest, EveryEngineEndToEnd) {
  struct Case {
    std::array<bool, 4> buttons;
    SearchEngine engine;
    std::string page;
    std::string lines;
  } const cases[] = {
      {{true, false, false, false},
       SearchEngine::Baidu,
       test::baidu_page({{"http://www.baidu.com/link?url=X", "<b>T</b>"}}),
       "http://target/|T\r\n"},
      {{false, true, false, false},
       SearchEngine::Search360,
       test::so_page({{"/rel?a=1&amp;b=2", "T"}}),
       "/rel?a=1&amp;b=2|T\r\n"},
      {{false, false, true, true},
       SearchEngine::Sogou,
       test::sogou_page({{"http://s/", "T&nbsp;"}}),
       "http://s/|T\r\n"},
      {{false, false, false, true},
       SearchEngine::Google,
       test::google_page({{"/url?q=http://g/%20x&amp;sa=U", "T"}, {"http://direct/", "D"}}),
       "http://g/%20x|T\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.engine));
    test::TempDir case_dir;
    controls.output_directory = case_dir.path();
    controls.keywords = "外星 人"_gbk;
    controls.engines = c.buttons;
    controls.page_limit = "1";
    web = {};
    web.pages[build_request_url(c.engine, "外星 人"_gbk, 1)] = c.page;
    web.redirects["http://www.baidu.com/link?url=X"] = "http://target/";
    CollectionRun collection(controls, titles, web);
    collection.on_button_clicked();
    ASSERT_EQ(web.fetched.size(), 1u);
    EXPECT_EQ(web.fetched[0], build_request_url(c.engine, "外星 人"_gbk, 1));
    const auto names = test::file_names(case_dir.path());
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(test::file_in(case_dir.path(), names[0]), c.lines);
  }
}

TEST_F(CollectionRunTest, SameKeywordTwiceInOneSecondRewritesTheFile) {
  controls.keywords = "k\r\nk";
  serve_baidu("k", {{{"http://first.example/long", "1"}}});
  web.during_fetch = [&](const std::string&) {
    if (web.fetched.size() == 3) serve_baidu("k", {{{"s", "2"}}});  // the second keyword's first page
  };
  run();
  if (datetime_text(before) != datetime_text(after)) GTEST_SKIP() << "the run crossed a second";
  EXPECT_EQ(test::file_names(out()).size(), 1u);
  EXPECT_EQ(contents_of("k"), "s|2\r\n");  // emptied, not overwritten in place
}

TEST_F(CollectionRunTest, NoEngineCheckedMakesNoRequest) {
  controls.keywords = "k";
  controls.engines = {false, false, false, false};
  run();
  EXPECT_TRUE(web.fetched.empty());
  EXPECT_EQ(contents_of("k"), "");  // the file is left behind, empty
  EXPECT_EQ(summary.total, 0);
}

TEST_F(CollectionRunTest, EmptyBoxMakesNoFileAndReportsZero) {
  controls.keywords = "\r\n  \r\n";
  run();
  EXPECT_TRUE(test::file_names(out()).empty());  // the folder is made all the same
  EXPECT_TRUE(web.fetched.empty());
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(desktop.messages[0].first.rfind(final_text_start(0), 0), 0u);
}

TEST_F(CollectionRunTest, StopWhileAPageIsFetched) {
  controls.keywords = "k\r\nnext";
  controls.page_limit = "0";
  serve_baidu("k", {{{"1", "1"}}, {{"2", "2"}}, {{"3", "3"}}});
  CollectionRun collection(controls, titles, web);
  web.during_fetch = [&](const std::string&) {
    if (web.fetched.size() == 2) collection.on_button_clicked();
  };
  before = local_now();
  collection.on_button_clicked();
  after = local_now();

  // The page in progress is finished and written; nothing after it is started.
  EXPECT_EQ(fetched_baidu_pages("k"), (std::vector<int>{1, 2}));
  EXPECT_EQ(web.fetched.size(), 2u);
  EXPECT_EQ(contents_of("k"), "1|1\r\n2|2\r\n");
  EXPECT_EQ(test::file_names(out()).size(), 1u);
  EXPECT_EQ(controls.captions, (std::vector<std::string>{"停止采集"_gbk, "已采集数 1"_gbk, "停止采集中"_gbk,
                                                         "已采集数 2"_gbk, "开始采集"_gbk}));
  EXPECT_TRUE(collection.last_summary().stopped);
  EXPECT_EQ(collection.last_summary().final_text.rfind(final_text_start(2), 0), 0u);
  EXPECT_EQ(desktop.messages.size(), 1u);
}

TEST_F(CollectionRunTest, StopCutsThePauseShort) {
  controls.keywords = "k";
  controls.pause = "600";
  serve_baidu("k", {{{"1", "1"}}, {{"2", "2"}}});
  CollectionRun collection(controls, titles, web);
  test::CountingPump pump;
  pump.on_pump = [&](int) {
    if (controls.caption == "已采集数 1"_gbk) collection.on_button_clicked();
  };
  const auto started = std::chrono::steady_clock::now();
  collection.on_button_clicked();
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(60));
  EXPECT_EQ(web.fetched.size(), 1u);
  EXPECT_TRUE(collection.last_summary().stopped);
}

TEST_F(CollectionRunTest, PauseIsWholeSeconds) {
  controls.keywords = "k";
  controls.pause = "1.5";
  serve_baidu("k", {{{"1", "1"}}});
  const auto started = std::chrono::steady_clock::now();
  run();
  // One accepted page, one pause of 1000 ms (not 1500), then the repeated page ends the keyword.
  EXPECT_GE(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(1000));
  EXPECT_EQ(web.fetched.size(), 2u);
}

TEST_F(CollectionRunTest, SettingsAreReadWhenUsed) {
  controls.keywords = "k";
  serve_baidu("k", {{{"1", "1"}}, {{"2", "2"}}});
  web.pages[build_request_url(SearchEngine::Sogou, "k", 2)] = test::sogou_page({{"s2", "S"}});
  web.during_fetch = [&](const std::string&) {
    if (web.fetched.size() != 1) return;
    controls.engines = {false, false, true, false};  // the next page asks Sogou
    controls.line_template = "<#标题#>"_gbk;         // read per line, so page 1 already uses it
    controls.page_limit = "2";                       // read after the page
    controls.extension = "txt";                      // read per keyword: too late for this one
  };
  run();
  ASSERT_EQ(web.fetched.size(), 2u);
  EXPECT_EQ(web.fetched[1], build_request_url(SearchEngine::Sogou, "k", 2));
  EXPECT_EQ(contents_of("k"), "<1>\r\n<S>\r\n");
}

TEST_F(CollectionRunTest, KeywordsNeverNameAFileOutsideTheFolder) {
  controls.keywords = "../x\r\na/b";
  serve_baidu("../x", {{{"1", "1"}}});
  serve_baidu("a/b", {{{"2", "2"}}});
  run();
  EXPECT_EQ(contents_of(".._x"), "1|1\r\n");
  EXPECT_EQ(contents_of("a_b"), "2|2\r\n");
  EXPECT_EQ(test::file_names(out()).size(), 2u);
  EXPECT_EQ(test::file_names(dir.path()), (std::vector<std::string>{"out"}));
  // The keyword itself is unchanged in the request.
  EXPECT_EQ(fetched_baidu_pages("../x"), (std::vector<int>{1, 2}));
}

TEST_F(CollectionRunTest, KeywordWhoseFileCannotBeOpenedIsReported) {
  const std::string long_a(300, 'a'), long_b(300, 'b');  // longer than a file name may be
  controls.keywords = long_a + "\r\ngood\r\n" + long_b + "\r\n" + long_a;
  serve_baidu(long_a, {{{"a", "A"}}});
  serve_baidu("good", {{{"g", "G"}}});
  serve_baidu(long_b, {{{"b", "B"}}});
  run();

  // Its pages are still requested and counted; the other keywords are written as usual.
  EXPECT_EQ(fetched_baidu_pages(long_a), (std::vector<int>{1, 2, 1, 2}));
  EXPECT_EQ(fetched_baidu_pages(long_b), (std::vector<int>{1, 2}));
  EXPECT_EQ(contents_of("good"), "g|G\r\n");
  EXPECT_EQ(summary.total, 4);
  EXPECT_EQ(summary.unwritable_keywords, (std::vector<std::string>{long_a, long_b}));
  // The status pane keeps its usual final text; the message adds the keywords on a second line.
  EXPECT_EQ(summary.final_text.rfind(final_text_start(4), 0), 0u);
  EXPECT_EQ(summary.final_text.find('\n'), std::string::npos);
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(desktop.messages[0].first,
            summary.final_text + "\n" + "以下关键词的结果未能写入文件："_gbk + long_a + "，"_gbk + long_b);
  bool reported = false;
  for (const std::string& text : controls.status[1]) {
    if (text.starts_with("文件无法写入："_gbk) &&
        text.ends_with(long_a + "_" + datetime_text(before) + ".htm"))
      reported = true;
    if (text.starts_with("文件无法写入："_gbk) &&
        text.ends_with(long_a + "_" + datetime_text(after) + ".htm"))
      reported = true;
  }
  EXPECT_TRUE(reported);
}

}  // namespace
}  // namespace vd
