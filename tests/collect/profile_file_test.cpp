#include "collect/profile_file.h"

#include <gtest/gtest.h>

#include "collect/page_step.h"
#include "tests/collect/collect_fakes.h"
#include "text/regex_service.h"

namespace vd {
namespace {

using namespace vd::literals;

// Every field of every row set to something else than the built-in value.
ProfileTable scrambled_table() {
  ProfileTable table = engine_profiles();
  for (EngineProfile& p : table) {
    p.host = "scrambled.test";
    p.path_and_query = "/x?";
    p.encode_keyword = !p.encode_keyword;
    p.page_parameter = "&x=";
    p.page_value = {7, 7};
    for (MarkerAlternatives* markers : {&p.block, &p.heading, &p.anchor, &p.title, &p.link, &p.link_unwrap}) {
      *markers = {{"s1", "e1"}, {"s2", "e2"}, {"s3", "e3"}};
    }
    p.redirect_prefix = "scrambled";
    p.verification = {{"a", "b"}, {"/c"}};
  }
  return table;
}

TEST(ProfileFile, PrintedTableReadsBackExactly) {
  const ProfileLoad builtin = parse_profiles(profiles_file_text(engine_profiles()), scrambled_table());
  EXPECT_TRUE(builtin.warnings.empty()) << profile_warnings_text(builtin);
  EXPECT_TRUE(builtin.profiles == engine_profiles());

  // Values that only survive with their quotes: blanks at an end, quotes at both ends.
  ProfileTable tricky = engine_profiles();
  tricky[0].heading = {{" <h3 ", "</h3>"}, {"\"q\"", "\""}};
  tricky[0].verification.body_texts = {" 验证 "_gbk};
  tricky[0].redirect_prefix = {};
  tricky[3].link_unwrap = {};
  const ProfileLoad back = parse_profiles(profiles_file_text(tricky));
  EXPECT_TRUE(back.warnings.empty()) << profile_warnings_text(back);
  EXPECT_TRUE(back.profiles == tricky);
}

TEST(ProfileFile, KeysLeftOutKeepTheBuiltInValues) {
  const std::string file =
      "; the Baidu of another year\n"
      "[baidu]\r\n"
      "block.end = <p id=\"page\" > || <p id=\"page\"> || <div id=\"page\" >\r\n"
      "HEADING.Start = \"<h3 \"\n"
      "unwrap.start = /x?u=\n"
      "\n"
      "[Sogou]\n"
      "  block.end   =   </table>  \n"
      "encode_keyword = no\n"
      "page_offset = -1\n"
      "page_factor = 2.5\n"
      "verify.body = 验证码 || 请输入\n"
      "[google]\n"
      "unwrap.start =\n"
      "verify.address = /sorry/ || ipv4.google.com\n";
  const ProfileLoad load = parse_profiles(file);
  ProfileTable expected = engine_profiles();
  expected[0].block = {{"<div id=\"content_left\">", "<p id=\"page\" >"},
                       {"<div id=\"content_left\">", "<p id=\"page\">"},
                       {"<div id=\"content_left\">", "<div id=\"page\" >"}};
  expected[0].heading = {{"<h3 ", "</h3>"}};
  expected[2].block = {{"<div class=\"results\" >", "</table>"}, {"<div class=\"results\">", "</table>"}};
  expected[2].encode_keyword = false;
  expected[2].page_value = {-1, 2.5};
  expected[2].verification.body_texts = {"验证码"_gbk, "请输入"_gbk};
  expected[3].link_unwrap = {};
  expected[3].verification.final_addresses = {"/sorry/", "ipv4.google.com"};
  for (int i = 0; i < kEngineCount; ++i)
    EXPECT_TRUE(load.profiles[i] == expected[i]) << engine_name(expected[i].engine);
  // The unwrap start of Baidu has no end to go with it.
  ASSERT_EQ(load.warnings.size(), 1u) << profile_warnings_text(load);
  EXPECT_EQ(load.warnings[0].line, 5);
  EXPECT_EQ(load.warnings[0].reason, "no unwrap.end to pair with");
}

TEST(ProfileFile, GbkAndUtf8FilesReadTheSame) {
  const std::string utf8 = "[baidu]\nverify.body = 百度安全验证 || 安全\n";
  const ProfileLoad from_utf8 = parse_profiles(utf8);
  const ProfileLoad from_bom = parse_profiles("\xEF\xBB\xBF" + utf8);
  const ProfileLoad from_gbk = parse_profiles(utf8_to_gbk(utf8));
  const std::vector<std::string> expected = {"百度安全验证"_gbk, "安全"_gbk};
  EXPECT_EQ(from_utf8.profiles[0].verification.body_texts, expected);
  EXPECT_EQ(from_bom.profiles[0].verification.body_texts, expected);
  EXPECT_EQ(from_gbk.profiles[0].verification.body_texts, expected);
  EXPECT_TRUE(from_bom.warnings.empty() && from_gbk.warnings.empty());
}

TEST(ProfileFile, BadLinesAreReportedAndSkippedTheRestApplies) {
  const std::string file =
      "host = before.section\n"                // 1
      "[baidu]\n"                              // 2
      "blok.start = <div>\n"                   // 3
      "this line has no equals sign\n"         // 4
      "host = has space.com\n"                 // 5
      "page_factor = ten\n"                    // 6
      "encode_keyword = maybe\n"               // 7
      "path_and_query = s?wd=\n"               // 8
      "heading.start =\n"                      // 9
      "anchor.start = <a ||  || <b\n"          // 10
      "verify.address = not a host/\n"         // 11
      "= no key\n"                             // 12
      "link\n"                                 // 13
      "[bing]\n"                               // 14
      "host = www.bing.com\n"                  // 15
      "[sogou\n"                               // 16
      "host = y.test\n"                        // 17
      "[google]\n"                             // 18
      "host = www.google.com.hk\n"             // 19
      "host = www.google.de\n"                 // 20
      "page_parameter = &start=\n"             // 21
      "block.start = <ol\n"                    // 22
      "verify.address = www.google.com:80\n";  // 23
  const ProfileLoad load = parse_profiles(file);
  struct Expected {
    int line;
    const char* reason;
  } const expected[] = {
      {1, "key 'host' before any [engine] section"},
      {3, "unknown key 'blok.start'"},
      {4, "broken line, neither [section] nor key = value"},
      {5, "bad value for host: 'has space.com' is not a host name"},
      {6, "bad value for page_factor: 'ten' is not a number"},
      {7, "bad value for encode_keyword: 'maybe' (yes or no)"},
      {8, "bad value for path_and_query: it must begin with '/' and hold no blanks"},
      {9, "bad value for heading.start: a marker cannot be empty"},
      {10, "bad value for anchor.start: an empty alternative"},
      {11, "bad value for verify.address: 'not a host/' is neither a /path nor a host name"},
      {12, "broken line, no key before '='"},
      {13, "broken line, neither [section] nor key = value"},
      {14, "unknown engine section [bing] (baidu, 360, sogou or google)"},
      {15, "key in the section of line 14"},
      {16, "broken section line, no closing ']'"},
      {17, "key in the section of line 16"},
      {20, "key 'host' already given on line 19"},
      {23, "bad value for verify.address: 'www.google.com:80' is neither a /path nor a host name"},
  };
  ASSERT_EQ(load.warnings.size(), std::size(expected)) << profile_warnings_text(load);
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    EXPECT_EQ(load.warnings[i].line, expected[i].line);
    EXPECT_EQ(load.warnings[i].reason, expected[i].reason);
  }
  // Baidu and Sogou keep every built-in value; Google takes its three good lines.
  EXPECT_TRUE(load.profiles[0] == engine_profile(SearchEngine::Baidu));
  EXPECT_TRUE(load.profiles[2] == engine_profile(SearchEngine::Sogou));
  EXPECT_EQ(load.profiles[3].host, "www.google.com.hk");
  EXPECT_EQ(load.profiles[3].page_parameter, "&start=");
  EXPECT_EQ(load.profiles[3].block, (MarkerAlternatives{{"<ol", "</ol>"}}));

  ProfileLoad named = load;
  named.path = "/etc/engines.ini";
  const std::string text = profile_warnings_text(named);
  EXPECT_EQ(text.substr(0, text.find('\n') + 1),
            "/etc/engines.ini:1: key 'host' before any [engine] section (line ignored)\n");
}

TEST(ProfileFile, MissingOrUnreadableFile) {
  test::TempDir dir;
  for (const std::string& path : {dir.file("missing.ini"), dir.path()}) {
    const ProfileLoad load = read_profiles_file(path);
    EXPECT_FALSE(load.read) << path;
    EXPECT_TRUE(load.profiles == engine_profiles());
    EXPECT_TRUE(load.warnings.empty());
  }
  EXPECT_TRUE(default_profiles_path().ends_with("/engines.ini"));
}

// A Baidu page whose result list ends where the built-in end marker is not: only a profile that moves the
// marker finds its results, and the page step reads the profile from the active table.
TEST(ProfileFile, MovedMarkerFindsWhatTheBuiltInOneMisses) {
  const std::string page =
      "<div id=\"content_left\"><h3 class=\"t\"><a href=\"http://a.test/\">A</a></h3>"
      "<h3 class=\"t\"><a href=\"http://b.test/\">B</a></h3></div><div id=\"page\" ><a>2</a></div>";
  test::TempDir dir;
  const std::string ini = dir.file("engines.ini");
  ASSERT_TRUE(test::write_file(ini, "[baidu]\nblock.end = <div id=\"page\" >\n"));

  test::FakeControls controls;
  test::FakeWeb web;
  test::CountingPump pump;
  RegexService titles;
  titles.set_pattern(markup_pattern());
  KeywordOutput output(dir.file("out.htm"));
  std::int32_t total = 0;
  web.pages[build_request_url(SearchEngine::Baidu, "k", 1)] = page;
  PageStep step{controls, web, titles, output, total};
  std::string previous;

  reset_active_profiles();
  EXPECT_FALSE(collect_page(step, "k", 1, previous));

  const ProfileLoad load = load_active_profiles(ini);
  ASSERT_TRUE(load.read);
  EXPECT_TRUE(load.warnings.empty());
  EXPECT_TRUE(collect_page(step, "k", 1, previous));
  EXPECT_EQ(previous, "http://a.test/\r\nhttp://b.test/\r\n");
  EXPECT_EQ(total, 2);

  // A file that is not there puts the built-in table back.
  EXPECT_FALSE(load_active_profiles(dir.file("missing.ini")).read);
  EXPECT_TRUE(*active_profiles() == engine_profiles());
}

}  // namespace
}  // namespace vd
