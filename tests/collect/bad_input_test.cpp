// Collection runs over hostile and oversized input: keywords that look like paths, output folders that
// cannot be written, pages of tens of megabytes or ten thousand results, titles of a megabyte, a box of
// 100,000 keywords, a server that drops a page half-way.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <filesystem>

#include "collect/collection_run.h"
#include "collect/engine_profile.h"
#include "tests/collect/collect_fakes.h"
#include "tests/support/http_server.h"
#include "text/clock.h"
#include "text/regex_service.h"
#include "web/connect_to.h"

namespace vd {
namespace {

using namespace vd::literals;
using test::PageResult;
using Page = std::vector<PageResult>;

// The local date and time `seconds` from now.
DateTime local_in(int seconds) {
  const std::time_t when = std::time(nullptr) + seconds;
  std::tm parts{};
  localtime_r(&when, &parts);
  return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday, parts.tm_hour, parts.tm_min, parts.tm_sec};
}

class BadInputRun : public testing::Test {
 protected:
  BadInputRun() {
    titles.set_pattern(markup_pattern());
    controls.output_directory = out();
    controls.line_template = "#网址#|#标题#"_gbk;
  }

  std::string out() const { return dir.path() + "/out"; }

  // Serves a 360 Search keyword: the page given as page 1, and it again for the pages after.
  void serve_so(std::string_view keyword, const std::string& page_text, int up_to = 3) {
    for (int page = 1; page <= up_to; ++page)
      web.pages[build_request_url(SearchEngine::Search360, keyword, page)] = page_text;
  }

  void run() {
    before = local_now();
    CollectionRun collection(controls, titles, web);
    collection.on_button_clicked();
    after = local_now();
    summary = collection.last_summary();
  }

  // The contents of the keyword's file (GBK name without the date), which must be the only one.
  std::string only_file(std::string_view keyword_in_name) {
    const auto names = test::file_names(out());
    EXPECT_EQ(names.size(), 1u);
    for (const DateTime& t : {before, after}) {
      const std::string name = std::string(keyword_in_name) + "_" + datetime_text(t) + ".htm";
      if (std::filesystem::exists(out() + "/" + gbk_to_utf8(name))) return test::file_in(out(), name);
    }
    ADD_FAILURE() << "no file for " << gbk_to_utf8(keyword_in_name);
    return {};
  }

  test::TempDir dir;
  test::FakeControls controls;
  test::FakeWeb web;
  test::RecordingDesktop desktop;
  RegexService titles;
  DateTime before, after;
  RunSummary summary;
};

// ".." and "/" stay inside the folder (the separator becomes "_"); empty and blank lines make no file.
TEST_F(BadInputRun, KeywordsThatLookLikePathsStayInsideTheFolder) {
  controls.engines = {false, true, false, false};
  controls.keywords = "..\r\n\r\n   \r\n/\r\n";
  serve_so("..", test::so_page({{"1", "dots"}}));
  serve_so("/", test::so_page({{"2", "slash"}}));
  run();
  std::vector<std::string> names = test::file_names(out());
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(summary.total, 2);
  EXPECT_TRUE(summary.unwritable_keywords.empty());
  for (const std::string& name : names) {
    const bool dots = name.starts_with(".._");
    EXPECT_TRUE(dots || name.starts_with("__")) << name;
    EXPECT_EQ(test::file_in(out(), name), dots ? "1|dots\r\n" : "2|slash\r\n");
  }
  EXPECT_EQ(test::file_names(dir.path()), (std::vector<std::string>{"out"}));
}

// An output folder under a regular file cannot be made (ENOTDIR; chmod would not stop root): every
// keyword is still requested, nothing is written, and the run reports every keyword.
TEST_F(BadInputRun, AnOutputFolderThatCannotBeMadeReportsEveryKeyword) {
  ASSERT_TRUE(test::write_file(dir.file("plain"), "a file"));
  controls.output_directory = dir.file("plain") + "/out";
  controls.engines = {false, true, false, false};
  controls.keywords = "one\r\ntwo";
  serve_so("one", test::so_page({{"1", "t"}}));
  serve_so("two", test::so_page({{"2", "t"}}));
  run();
  EXPECT_EQ(web.fetched.size(), 4u);  // two pages of each
  EXPECT_EQ(summary.unwritable_keywords, (std::vector<std::string>{"one", "two"}));
  ASSERT_EQ(desktop.messages.size(), 1u);
  EXPECT_NE(desktop.messages[0].first.find("以下关键词的结果未能写入文件：one，two"_gbk), std::string::npos);
  EXPECT_EQ(test::read_file(dir.file("plain")), "a file");
}

TEST_F(BadInputRun, AReadOnlyOutputFolderReportsTheKeyword) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  ASSERT_EQ(::mkdir(out().c_str(), 0555), 0);
  controls.engines = {false, true, false, false};
  controls.keywords = "one";
  serve_so("one", test::so_page({{"1", "t"}}));
  run();
  EXPECT_EQ(summary.unwritable_keywords, (std::vector<std::string>{"one"}));
  ::chmod(out().c_str(), 0755);
  EXPECT_TRUE(test::file_names(out()).empty());
}

// A folder already standing at the output file's name is left alone and the keyword reported.
TEST_F(BadInputRun, AFolderAtTheFilesNameIsReportedAndLeftAlone) {
  ASSERT_EQ(::mkdir(out().c_str(), 0777), 0);
  // Folders for the names of the next seconds, so that the run meets one whenever it opens the file.
  for (int s = 0; s < 10; ++s) {
    const std::string name = "kw_" + datetime_text(local_in(s)) + ".htm";
    std::filesystem::create_directories(out() + "/" + gbk_to_utf8(name) + "/inside");
  }
  controls.engines = {false, true, false, false};
  controls.keywords = "kw";
  serve_so("kw", test::so_page({{"1", "t"}}));
  run();
  EXPECT_EQ(summary.unwritable_keywords, (std::vector<std::string>{"kw"}));
  EXPECT_EQ(summary.total, 1);
  for (const std::string& name : test::file_names(out()))
    EXPECT_TRUE(std::filesystem::is_directory(out() + "/" + gbk_to_utf8(name) + "/inside")) << name;
}

// Ten thousand headings on one page: every one becomes a line, events are handled at each.
TEST_F(BadInputRun, TenThousandHeadingsOnOnePage) {
  Page results;
  std::string expected;
  for (int i = 0; i < 10000; ++i) {
    results.push_back({"http://r/" + std::to_string(i), "<b>t" + std::to_string(i) + "</b>"});
    expected += "http://r/" + std::to_string(i) + "|t" + std::to_string(i) + "\r\n";
  }
  controls.engines = {false, true, false, false};
  controls.keywords = "many";
  serve_so("many", test::so_page(results));
  test::CountingPump pump;
  run();
  EXPECT_EQ(summary.total, 10000);
  const std::string file = only_file("many");
  EXPECT_EQ(file.size(), expected.size());
  EXPECT_TRUE(file == expected);
  EXPECT_GE(pump.pumps, 2 * 10000);  // each heading, on both pages
}

// Titles of a megabyte reach the file cleaned, whatever markup they hold; invalid GBK in a link is
// written as it came.
TEST_F(BadInputRun, TitlesOfAMegabyteAndInvalidBytes) {
  constexpr std::size_t mb = std::size_t{1} << 20;
  const std::string angles(mb, '<');
  std::string tagged, words;
  while (tagged.size() < mb) {
    tagged += "<em>ab</em>&amp;";
    words += "ab";
  }
  controls.engines = {false, true, false, false};
  controls.keywords = "big";
  serve_so("big", test::so_page({{"1", angles}, {"2", tagged}, {"\xFF\x80\x80\xFF", "x"}}));
  run();
  EXPECT_EQ(summary.total, 3);
  const std::string expected = "1|" + angles + "\r\n2|" + words + "\r\n\xFF\x80\x80\xFF|x\r\n";
  const std::string file = only_file("big");
  EXPECT_EQ(file.size(), expected.size());
  EXPECT_TRUE(file == expected);
}

// 100,000 lines in the keyword box with no engine checked: no request, one (empty) file for each
// keyword, and a split that does not grow with the square of the box.
TEST_F(BadInputRun, AHundredThousandKeywords) {
  constexpr int count = 100000;
  std::string box;
  for (int i = 0; i < count; ++i) box += "k" + std::to_string(i) + "\r\n";
  controls.engines = {false, false, false, false};
  controls.keywords = box;
  run();
  EXPECT_TRUE(web.fetched.empty());
  EXPECT_EQ(summary.total, 0);
  EXPECT_TRUE(summary.unwritable_keywords.empty());
  std::size_t files = 0;
  for (const auto& item : std::filesystem::directory_iterator(out())) {
    ++files;
    EXPECT_EQ(item.file_size(), 0u);
    if (HasFailure()) break;
  }
  EXPECT_EQ(files, static_cast<std::size_t>(count));
}

// Through the web layer, to a server on 127.0.0.1 answering as www.so.com.
class BadInputNetworkRun : public BadInputRun {
 protected:
  void SetUp() override {
    ASSERT_TRUE(add_connect_to("www.so.com:80:127.0.0.1:" + std::to_string(server.port())));
    controls.engines = {false, true, false, false};
  }
  void TearDown() override { clear_connect_to(); }

  void run_over_network() {
    before = local_now();
    CollectionRun collection(controls, titles);
    collection.on_button_clicked();
    after = local_now();
    summary = collection.last_summary();
  }

  test::HttpServer server;
};

// A page of 50 MB is read whole (under the 64 MiB cap) and cut: its results at the very end are found.
TEST_F(BadInputNetworkRun, AFiftyMegabytePageIsReadWholeAndCut) {
  const std::string filler(50u << 20, 'f');
  const std::string page =
      "<html>" + filler + test::so_page({{"http://end/1", "one"}, {"http://end/2", "two"}});
  server.on("/s", test::HttpReply::page(page));
  controls.keywords = "huge";
  run_over_network();
  EXPECT_EQ(only_file("huge"), "http://end/1|one\r\nhttp://end/2|two\r\n");
  EXPECT_EQ(summary.total, 2);
  EXPECT_EQ(server.request_count(), 2u);  // the second page repeats the first
}

// A page dropped half-way through its body ends the keyword without taking back the lines that the
// pages before it wrote, and the next keyword is collected as usual.
TEST_F(BadInputNetworkRun, APageDroppedHalfWayLosesNoLineAlreadyWritten) {
  test::HttpReply first = test::HttpReply::page(test::so_page({{"http://a/1", "a1"}, {"http://a/2", "a2"}}));
  test::HttpReply dropped =
      test::HttpReply::page(test::so_page({{"http://b/1", "b1"}, {"http://b/2", "b2"}}));
  dropped.cut_at = dropped.wire_bytes().size() - dropped.body.size() + dropped.body.size() / 2;
  dropped.close_after_cut = true;
  server.script({first, dropped});
  server.on("/s", test::HttpReply::page(test::so_page({{"http://c/1", "c1"}})));
  controls.keywords = "kw\r\nnext";
  run_over_network();
  // Half a result list lacks its end marker: that page gives no entries and is accepted empty, so the
  // keyword goes on to the next page, which the server answers in full again.
  const auto names = test::file_names(out());
  ASSERT_EQ(names.size(), 2u);
  const bool kw_first = names[0].starts_with("kw_");
  EXPECT_EQ(test::file_in(out(), names[kw_first ? 0 : 1]),
            "http://a/1|a1\r\nhttp://a/2|a2\r\nhttp://c/1|c1\r\n");
  EXPECT_EQ(test::file_in(out(), names[kw_first ? 1 : 0]), "http://c/1|c1\r\n");
  EXPECT_EQ(server.request_count(), 6u);
  EXPECT_TRUE(summary.unwritable_keywords.empty());
}

}  // namespace
}  // namespace vd
