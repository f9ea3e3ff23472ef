#include "collect/page_outcome.h"

#include <gtest/gtest.h>

#include "collect/collection_run.h"
#include "collect/engine_profile.h"
#include "collect/page_step.h"
#include "tests/collect/collect_fakes.h"
#include "text/regex_service.h"
#include "web/web_request.h"

namespace vd {
namespace {

using namespace vd::literals;
using test::PageResult;

TEST(FinalAddressSign, HostsAndPathPrefixes) {
  struct Case {
    const char* url;
    const char* sign;
    bool matches;
  } const cases[] = {
      {"http://wappass.baidu.com/static/captcha/tuxing.html?ak=1", "wappass.baidu.com", true},
      {"https://WAPPASS.Baidu.com:443/x", "wappass.baidu.com", true},
      {"http://m.wappass.baidu.com/", "wappass.baidu.com", true},
      {"http://user@qcaptcha.so.com/?ret=x", "qcaptcha.so.com", true},
      {"http://notwappass.baidu.com/", "wappass.baidu.com", false},
      // Only the host and the path count: a query naming the sign is an ordinary search.
      {"http://www.baidu.com/s?wd=wappass.baidu.com", "wappass.baidu.com", false},
      {"http://www.sogou.com/antispider/?from=%2Fweb%3Fquery%3Dx", "/antispider", true},
      {"http://www.sogou.com/ANTISPIDER", "/antispider", true},
      {"http://www.sogou.com/web?query=/antispider", "/antispider", false},
      {"http://www.sogou.com", "/antispider", false},
      {"http://www.google.com/sorry/index?continue=http://www.google.com/search", "/sorry/", true},
      {"http://www.google.com/search?q=/sorry/", "/sorry/", false},
      {"", "/sorry/", false},
      {"http://www.google.com/sorry/", "", false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(final_address_matches(c.url, c.sign), c.matches) << c.url << " " << c.sign;
  }
}

// One page step over fakes, the keyword "外星人" at page 1 unless told otherwise.
class PageOutcomeTest : public ::testing::Test {
 protected:
  PageOutcomeTest() : output(dir.file("out.htm")) { titles.set_pattern(markup_pattern()); }

  void select(SearchEngine engine) {
    controls.engines = {false, false, false, false};
    controls.engines[static_cast<int>(engine)] = true;
  }

  std::string url(SearchEngine engine, int page = 1) { return build_request_url(engine, "外星人"_gbk, page); }

  PageOutcome step(int page = 1) {
    PageStep page_step{controls, web, titles, output, run_total};
    PageOutcome outcome = PageOutcome::results;
    accepted = collect_page(page_step, "外星人"_gbk, page, previous_links, &outcome);
    return outcome;
  }

  test::TempDir dir;
  test::FakeControls controls;
  test::FakeWeb web;
  test::CountingPump pump;
  RegexService titles;
  KeywordOutput output;
  std::int32_t run_total = 0;
  std::string previous_links;
  bool accepted = false;
};

// A captcha page of each engine, told by a text of its body or by the address it was redirected to.
TEST_F(PageOutcomeTest, EveryEnginesVerificationSigns) {
  struct Case {
    SearchEngine engine;
    std::string body;       // the captcha page
    std::string final_url;  // empty: the page came from the address asked for
  } const cases[] = {
      {SearchEngine::Baidu, "<html><title>百度安全验证</title></html>"_gbk, ""},
      {SearchEngine::Baidu, "<html>captcha</html>",
       "https://wappass.baidu.com/static/captcha/tuxing.html?ak=1"},
      {SearchEngine::Search360, "<html><p>您的访问异常，请输入验证码</p></html>"_gbk, ""},
      {SearchEngine::Search360, "<html>captcha</html>",
       "http://qcaptcha.so.com/?ret=http%3A%2F%2Fwww.so.com"},
      {SearchEngine::Sogou, "<form name=\"authform\" method=\"POST\" id=\"SECCODEFORM\" action=\"/\">", ""},
      {SearchEngine::Sogou, "<html>captcha</html>", "http://www.sogou.com/antispider/?from=%2Fweb"},
      {SearchEngine::Google, "Our systems have detected Unusual Traffic from your computer network.", ""},
      {SearchEngine::Google, "<html>captcha</html>", "http://www.google.com/sorry/index?continue=x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.body + " " + c.final_url);
    select(c.engine);
    web.pages[url(c.engine)] = c.body;
    if (!c.final_url.empty()) web.final_urls[url(c.engine)] = c.final_url;
    controls.status[1].clear();
    EXPECT_EQ(step(), PageOutcome::verification);
    EXPECT_FALSE(accepted) << "a first page without entries ends the keyword, as before";
    ASSERT_FALSE(controls.status[1].empty());
    EXPECT_EQ(controls.status[1].back(), "搜索引擎要求验证，已停止该关键词"_gbk);
    web.pages.clear();
    web.final_urls.clear();
  }
}

TEST_F(PageOutcomeTest, FailuresTimeOutsAndTheEngineOwnEnd) {
  const std::string results = test::baidu_page({{"http://a.com/", "A"}});
  struct Case {
    const char* name;
    std::optional<std::string> body;  // nullopt: the request failed
    bool engine_checked;
    PageOutcome outcome;
    std::string status;  // status pane 1 at the end; "" stands for the entry's own text
  } const cases[] = {
      {"failed request", std::nullopt, true, PageOutcome::failed, "网页无法访问"_gbk},
      {"empty body", std::string(), true, PageOutcome::failed, "网页无法访问"_gbk},
      {"time-out", timeout_message(), true, PageOutcome::timed_out, "访问超时"_gbk},
      {"page without the result list", std::string("<html>no results</html>"), true,
       PageOutcome::end_of_results, "搜索中......"_gbk},
      {"no engine checked", std::nullopt, false, PageOutcome::end_of_results, "搜索中......"_gbk},
      // Results that merely hold a sign's words are results.
      {"results naming a sign", test::baidu_page({{"http://a.com/", "百度安全验证是什么"_gbk}}), true,
       PageOutcome::results, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    web.pages.clear();
    if (c.body) web.pages[url(SearchEngine::Baidu)] = *c.body;
    controls.engines = {c.engine_checked, false, false, false};
    previous_links.clear();
    controls.status[1].clear();
    EXPECT_EQ(step(), c.outcome);
    if (!c.status.empty()) EXPECT_EQ(controls.status[1].back(), c.status);
  }
  // Those that gave no entries were refused at a keyword's start; the results were accepted.
  EXPECT_TRUE(accepted);
  EXPECT_EQ(run_total, 1);
}

TEST_F(PageOutcomeTest, RepeatedResultsAreTheEnginesEnd) {
  web.pages[url(SearchEngine::Baidu)] = test::baidu_page({{"http://a.com/", "A"}});
  EXPECT_EQ(step(), PageOutcome::results);
  EXPECT_TRUE(accepted);
  EXPECT_EQ(step(), PageOutcome::end_of_results);
  EXPECT_FALSE(accepted);
}

// A run over fakes whose keywords meet different troubles.
class TroubleRunTest : public ::testing::Test {
 protected:
  TroubleRunTest() {
    titles.set_pattern(markup_pattern());
    controls.output_directory = dir.path() + "/out";
  }

  std::string url(std::string_view keyword, int page) {
    return build_request_url(SearchEngine::Baidu, keyword, page);
  }

  void run() {
    CollectionRun collection(controls, titles, web);
    collection.on_button_clicked();
    summary = collection.last_summary();
  }

  test::TempDir dir;
  test::FakeControls controls;
  test::FakeWeb web;
  test::RecordingDesktop desktop;
  RegexService titles;
  RunSummary summary;
};

TEST_F(TroubleRunTest, FinalMessageNamesTheKeywordsOfEachKindOfTrouble) {
  controls.keywords = "甲\r\n乙\r\n丙\r\n丁\r\n戊"_gbk;
  web.pages[url("甲"_gbk, 1)] = "<title>百度安全验证</title>"_gbk;
  // 乙 fails at once; 丁 gets page 1, then page 2 fails, and page 3 fails again, which ends it.
  web.pages[url("丙"_gbk, 1)] = timeout_message();
  web.pages[url("丁"_gbk, 1)] = test::baidu_page({{"http://d.com/", "D"}});
  web.pages[url("戊"_gbk, 1)] = "<title>百度安全验证</title>"_gbk;
  run();

  EXPECT_EQ(summary.verification_keywords, (std::vector<std::string>{"甲"_gbk, "戊"_gbk}));
  EXPECT_EQ(summary.failed_keywords, (std::vector<std::string>{"乙"_gbk, "丁"_gbk}));
  EXPECT_EQ(summary.timed_out_keywords, (std::vector<std::string>{"丙"_gbk}));
  EXPECT_TRUE(summary.hit_trouble());
  EXPECT_EQ(summary.total, 1);
  // What the run does with such pages is unchanged: 丁's empty page 2 was accepted, page 3 ended it.
  EXPECT_EQ(web.fetched,
            (std::vector<std::string>{url("甲"_gbk, 1), url("乙"_gbk, 1), url("丙"_gbk, 1), url("丁"_gbk, 1),
                                      url("丁"_gbk, 2), url("丁"_gbk, 3), url("戊"_gbk, 1)}));

  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(summary.final_text.find('\n'), std::string::npos);
  EXPECT_EQ(desktop.messages[0].first,
            summary.final_text + "\n" + "以下关键词被搜索引擎要求验证：甲，戊"_gbk + "\n" +
                "以下关键词的网页无法访问：乙，丁"_gbk + "\n" + "以下关键词访问超时：丙"_gbk);
}

TEST_F(TroubleRunTest, UnwritableFilesAndTroubleAreBothReported) {
  const std::string long_name(300, 'a');  // longer than a file name may be
  controls.keywords = long_name + "\r\nok";
  web.pages[url(long_name, 1)] = web.pages[url(long_name, 2)] = test::baidu_page({{"http://a.com/", "A"}});
  web.pages[url("ok", 1)] = "<title>百度安全验证</title>"_gbk;
  run();
  EXPECT_EQ(summary.unwritable_keywords, (std::vector<std::string>{long_name}));
  EXPECT_EQ(summary.verification_keywords, (std::vector<std::string>{"ok"}));
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(desktop.messages[0].first, summary.final_text + "\n" + "以下关键词的结果未能写入文件："_gbk +
                                           long_name + "\n" + "以下关键词被搜索引擎要求验证：ok"_gbk);
}

TEST_F(TroubleRunTest, RunWithoutTroubleKeepsTheMessageAsItWas) {
  controls.keywords = "x";
  // Page 2 repeats page 1: the engine's own end.
  web.pages[url("x", 1)] = web.pages[url("x", 2)] = test::baidu_page({{"http://a.com/", "A"}});
  run();
  EXPECT_FALSE(summary.hit_trouble());
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_EQ(desktop.messages[0].first, summary.final_text);
}

}  // namespace
}  // namespace vd
