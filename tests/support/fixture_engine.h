// A search engine for tests: answers, on 127.0.0.1, like Baidu, 360 Search, Sogou and Google do, with small
// result pages of our own in each engine's markup.
//
// Every keyword has `pages` result pages of `entries` results each; a higher page number gets the last
// page again, as the real engines do. Baidu's results are redirect links ("http://www.baidu.com/link?url=")
// that the engine answers with a Location. The engine is told by the request's Host line (the real host
// names reach the server through the connect-to table), so one server serves all four.
//
//   vd::test::FixtureEngine engine;
//   vd::add_connect_to(engine.connect_to("www.baidu.com"));
//   ... run ...
//   engine.expected_lines(kFixtureBaidu, "外星人"_gbk, 1, 2, "#网址# #标题#")
//
// Keywords reach the pages as the engine received them: percent-decoded UTF-8 (Google: raw GBK) and put
// into the titles in the page's encoding. Pages are GBK, or UTF-8 declaring "charset=utf-8" when utf8 is set.
#pragma once

#include <atomic>
#include <chrono>
#include <string>
#include <string_view>

#include "tests/support/http_server.h"

namespace vd::test {

enum FixtureEngineKind { kFixtureBaidu = 0, kFixture360 = 1, kFixtureSogou = 2, kFixtureGoogle = 3 };

struct FixtureOptions {
  int pages = 3;
  int entries = 3;
  bool utf8 = false;                   // serve UTF-8 pages that declare it
  std::chrono::milliseconds delay{0};  // before every answer (pages and redirects)
  // Every search is answered as a client that the engine has blocked sees it: a redirect to the
  // engine's verification address (Baidu wappass.baidu.com, 360 qcaptcha.so.com, Sogou /antispider/,
  // Google /sorry/index), where a captcha page without result markup waits. The captcha pages hold none
  // of the engines' verification texts, so only the final address tells them. Route the two captcha
  // hosts with connect_to_verification().
  bool verification = false;
};

class FixtureEngine {
 public:
  explicit FixtureEngine(FixtureOptions options = {});

  HttpServer& server() { return server_; }
  // "HOST:80:127.0.0.1:PORT"
  std::string connect_to(std::string_view host) const;
  // The four engines' connect-to entries.
  std::vector<std::string> connect_to_all() const;
  // The connect-to entries of the captcha hosts that the verification mode redirects to.
  std::vector<std::string> connect_to_verification() const;

  // The link and the cleaned title that entry `entry` (1-based) of page `page` has for a GBK keyword.
  static std::string expected_link(int engine, std::string_view keyword_gbk, int page, int entry);
  static std::string expected_title(std::string_view keyword_gbk, int page, int entry);
  // The file contents that pages first..last (as served: pages past the last repeat it, so they are
  // not written again) give with a template whose placeholders are #网址# and #标题# (GBK).
  std::string expected_file(int engine, std::string_view keyword_gbk, int first, int last,
                            std::string_view line_template_gbk) const;

  static const char* host(int engine);

 private:
  HttpReply answer(const HttpRequest& request) const;
  std::string result_page(int engine, const std::string& keyword_gbk, int page) const;

  FixtureOptions options_;
  HttpServer server_;
};

// Percent-decodes a query value; "+" stays "+".
std::string percent_decode(std::string_view text);
// The value of key in the query of a request target, raw (not decoded); empty when missing.
std::string query_value(std::string_view target, std::string_view key);

}  // namespace vd::test
