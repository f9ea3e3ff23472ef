// A page's redirect links resolved several at a time give the entries, their order and the stop at the
// first link without target that the one-after-another walk gives.
#include <gtest/gtest.h>

#include <utility>

#include "collect/collection_run.h"
#include "collect/page_step.h"
#include "tests/collect/collect_fakes.h"
#include "tests/support/fixture_engine.h"
#include "tests/support/http_server.h"
#include "text/encoding.h"
#include "text/regex_service.h"
#include "web/connect_to.h"

namespace vd {
namespace {

using namespace vd::literals;
using test::HttpReply;
using test::HttpRequest;
using test::PageResult;

constexpr int kParallelCounts[] = {1, 10};

// Records each batch of redirect links asked for together, with its parallel count.
class BatchWeb : public test::FakeWeb {
 public:
  std::vector<std::pair<std::vector<std::string>, int>> batches;
  std::vector<RedirectAnswer> query_redirects(const std::vector<std::string>& urls, int parallel) override {
    batches.emplace_back(urls, parallel);
    return FakeWeb::query_redirects(urls, parallel);
  }
};

struct PageRead {
  PageEntries page;
  std::vector<std::string> statuses;
  std::vector<std::pair<std::vector<std::string>, int>> batches;
};

PageRead read_baidu_page(const std::string& page_text, const BatchWeb& web_setup, int parallel) {
  BatchWeb web = web_setup;
  test::FakeControls controls;
  RegexService titles;
  titles.set_pattern(markup_pattern());
  KeywordOutput output;
  std::int32_t total = 0;
  web.pages[build_request_url(SearchEngine::Baidu, "k", 1)] = page_text;
  PageStep step{controls, web, titles, output, total, parallel};
  PageRead read;
  read.page = read_result_page(step, engine_profile(SearchEngine::Baidu), "k", 1);
  read.statuses = controls.status[1];
  read.batches = web.batches;
  return read;
}

std::string link(const char* token) { return std::string("http://www.baidu.com/link?url=") + token; }

TEST(ParallelRedirects, SameEntriesOrderAndStopAsOneAfterAnother) {
  BatchWeb web;
  web.redirects[link("A")] = "http://a.com/";
  web.redirects[link("B")] = "http://b.com/";
  web.redirects[link("C")] = "http://c.com/";
  web.redirect_bodies[link("R")] =
      "<meta http-equiv=\"refresh\" content=\"0; url=http://r.com/?a=1&amp;b=2\">";
  web.redirect_bodies[link("blank")] = "<html>no target here</html>";
  // A heading whose href is not in double quotes ends the walk.
  const std::string unquoted_heading = "<h3 class=\"t\"><a href='http://q.com/'>Q</a></h3>";
  const std::string baidu_end = "</div><p id=\"page\" >";
  struct Case {
    const char* name;
    std::string page;
    std::vector<std::string> links;
    std::vector<std::string> batch;  // the links asked for together when several run at a time
  };
  const Case cases[] = {
      {"direct links only",
       test::baidu_page({{"http://d1.com/", "1"}, {"http://d2.com/", "2"}}),
       {"http://d1.com/", "http://d2.com/"},
       {}},
      {"redirect links",
       test::baidu_page({{link("A"), "<em>A</em>"}, {link("B"), "B"}, {link("C"), "C"}}),
       {"http://a.com/", "http://b.com/", "http://c.com/"},
       {link("A"), link("B"), link("C")}},
      {"a failed redirect in the middle",
       test::baidu_page({{link("A"), "A"},
                         {"http://d.com/", "D"},
                         {link("lost"), "L"},
                         {link("B"), "B"},
                         {"http://e.com/", "E"}}),
       {"http://a.com/", "http://d.com/", ""},
       {link("A"), link("lost"), link("B")}},
      {"a failure first",
       test::baidu_page({{link("lost"), "L"}, {link("A"), "A"}}),
       {""},
       {link("lost"), link("A")}},
      {"a refresh page, then one without a target",
       test::baidu_page({{link("R"), "R"}, {link("blank"), "N"}, {link("C"), "C"}}),
       {"http://r.com/?a=1&b=2", ""},
       {link("R"), link("blank"), link("C")}},
      {"a heading without a quoted href ends the walk before the later redirects",
       "<div id=\"content_left\"><h3 class=\"t\"><a href=\"" + link("A") + "\">A</a></h3>" +
           unquoted_heading + "<h3 class=\"t\"><a href=\"" + link("B") + "\">B</a></h3>" + baidu_end,
       {"http://a.com/"},
       {link("A")}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const PageRead in_turn = read_baidu_page(c.page, web, 1);
    const PageRead together = read_baidu_page(c.page, web, 10);
    for (const PageRead* read : {&in_turn, &together}) {
      std::vector<std::string> links;
      std::string page_links;
      for (const ResultEntry& entry : read->page.entries) {
        links.push_back(entry.link);
        page_links += entry.link + "\r\n";
      }
      EXPECT_EQ(links, c.links);
      EXPECT_EQ(read->page.page_links, page_links);
    }
    ASSERT_EQ(together.page.entries.size(), in_turn.page.entries.size());
    for (std::size_t i = 0; i < in_turn.page.entries.size(); ++i)
      EXPECT_EQ(together.page.entries[i].title, in_turn.page.entries[i].title);
    EXPECT_EQ(together.statuses, in_turn.statuses);
    EXPECT_TRUE(in_turn.batches.empty());
    ASSERT_EQ(together.batches.size(), 1u);
    EXPECT_EQ(together.batches[0].first, c.batch);
    EXPECT_EQ(together.batches[0].second, 10);
  }
}

// An access that answers fewer queries than it was asked: the links left over have no target.
class ShortWeb : public BatchWeb {
 public:
  std::vector<RedirectAnswer> query_redirects(const std::vector<std::string>& urls, int parallel) override {
    std::vector<RedirectAnswer> answers = BatchWeb::query_redirects(urls, parallel);
    answers.resize(1);
    return answers;
  }
};

TEST(ParallelRedirects, MissingAnswersCountAsFailedQueries) {
  ShortWeb web;
  web.redirects[link("A")] = "http://a.com/";
  web.redirects[link("B")] = "http://b.com/";
  test::FakeControls controls;
  RegexService titles;
  titles.set_pattern(markup_pattern());
  KeywordOutput output;
  std::int32_t total = 0;
  web.pages[build_request_url(SearchEngine::Baidu, "k", 1)] =
      test::baidu_page({{link("A"), "A"}, {link("B"), "B"}, {link("C"), "C"}});
  PageStep step{controls, web, titles, output, total, 4};
  const PageEntries page = read_result_page(step, engine_profile(SearchEngine::Baidu), "k", 1);
  EXPECT_EQ(page.page_links, "http://a.com/\r\n\r\n");
}

// A Baidu search page served on 127.0.0.1 under Baidu's own host, with its redirect links answered in
// each of the ways a redirect link can be answered.
class RedirectAnswers : public testing::Test {
 protected:
  RedirectAnswers() {
    titles.set_pattern(markup_pattern());
    server.otherwise([this](const HttpRequest& request) { return answer(request); });
    clear_connect_to();
    EXPECT_TRUE(add_connect_to("www.baidu.com:80:127.0.0.1:" + std::to_string(server.port())));
  }
  ~RedirectAnswers() override { clear_connect_to(); }

  HttpReply answer(const HttpRequest& request) const {
    if (request.path == "/s") {
      return HttpReply::page(test::baidu_page({{link("moved"), "M"},
                                               {link("meta"), "R"},
                                               {"http://direct.example/", "D"},
                                               {link("script"), "S"},
                                               {link("blank"), "B"},
                                               {link("later"), "L"}}));
    }
    const std::string token = test::query_value(request.target, "url");
    if (token == "moved" || token == "later") return HttpReply::redirect("http://a.example/" + token);
    if (token == "meta")
      return HttpReply::page(
          "<html><head><META CONTENT='3;URL=http://b.example/2?x=1&amp;y=2' "
          "HTTP-EQUIV='Refresh'></head></html>");
    if (token == "script")
      return HttpReply::page(
          gbk_to_utf8("<meta charset=\"utf-8\"><script>window.location.replace(\"http:\\/\\/"
                      "c.example\\/外星人\");</script>"_gbk));
    return HttpReply::page("<html><body>please wait</body></html>");
  }

  PageEntries read(int parallel) {
    test::FakeControls controls;
    KeywordOutput output;
    std::int32_t total = 0;
    PageStep step{controls, network_web_access(), titles, output, total, parallel};
    return read_result_page(step, engine_profile(SearchEngine::Baidu), "k", 1);
  }

  std::vector<std::string> queried_tokens() const {
    std::vector<std::string> tokens;
    for (const HttpRequest& request : server.requests())
      if (request.path == "/link") tokens.push_back(test::query_value(request.target, "url"));
    std::sort(tokens.begin(), tokens.end());
    return tokens;
  }

  test::HttpServer server;
  RegexService titles;
};

TEST_F(RedirectAnswers, LocationRefreshPageScriptAndNeitherThroughTheWebLayer) {
  const std::string expected =
      "http://a.example/moved\r\nhttp://b.example/2?x=1&y=2\r\nhttp://direct.example/\r\n"
      "http://c.example/外星人\r\n\r\n"_gbk;
  for (const int parallel : kParallelCounts) {
    SCOPED_TRACE(parallel);
    server.clear_requests();
    const PageEntries page = read(parallel);
    EXPECT_EQ(page.page_links, expected);
    ASSERT_EQ(page.entries.size(), 5u);
    EXPECT_EQ(page.entries[4].title, "B");
    // One after another, the walk stops before the link after the failed one; together, it was asked
    // for too and its answer dropped.
    std::vector<std::string> tokens = {"blank", "meta", "moved", "script"};
    if (parallel > 1) tokens.push_back("later");
    std::sort(tokens.begin(), tokens.end());
    EXPECT_EQ(queried_tokens(), tokens);
  }
}

TEST(ParallelRedirectsRun, FixtureEngineFileIsTheSameAsOneAfterAnother) {
  test::FixtureEngine engine(test::FixtureOptions{.pages = 2, .entries = 10});
  clear_connect_to();
  ASSERT_TRUE(add_connect_to(engine.connect_to("www.baidu.com")));
  test::RecordingDesktop desktop;
  RegexService titles;
  titles.set_pattern(markup_pattern());
  for (const int parallel : kParallelCounts) {
    SCOPED_TRACE(parallel);
    engine.server().clear_requests();
    test::TempDir dir;
    test::FakeControls controls;
    controls.output_directory = dir.path();
    controls.keywords = "外星人"_gbk;
    controls.line_template = "#网址# #标题#"_gbk;
    CollectionRun run(controls, titles, network_web_access(), parallel);
    run.on_button_clicked();
    const auto names = test::file_names(dir.path());
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(test::file_in(dir.path(), names[0]),
              engine.expected_file(test::kFixtureBaidu, "外星人"_gbk, 1, 0, "#网址# #标题#"_gbk));
    EXPECT_EQ(run.last_summary().total, 20);
    EXPECT_FALSE(run.last_summary().hit_trouble());
    // Three pages (the third repeats the second) and one query per link.
    EXPECT_EQ(engine.server().request_count(), 3u + 30u);
  }
  clear_connect_to();
}

}  // namespace
}  // namespace vd
