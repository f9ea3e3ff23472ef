// Redirect queries that also bring back the page of an answer without Location, alone and several at a
// time.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>

#include "tests/support/http_server.h"
#include "text/encoding.h"
#include "text/gbk_literal.h"
#include "web/connect_to.h"
#include "web/redirect_query.h"

namespace vd {
namespace {

using namespace std::chrono_literals;
using namespace vd::literals;
using test::HttpReply;
using test::HttpRequest;
using test::HttpServer;

class RedirectReplyTest : public testing::Test {
 protected:
  void SetUp() override { clear_connect_to(); }
  HttpServer server;
};

TEST_F(RedirectReplyTest, LocationOrElseTheDecodedBody) {
  const std::string refresh = "<meta http-equiv=\"refresh\" content=\"0;url=http://t.example/\">";
  const std::string utf8_page = "<meta charset=\"utf-8\"><script>location.replace(\"http://t.example/" +
                                gbk_to_utf8("外星人"_gbk) + "\")</script>";
  struct Case {
    const char* name;
    HttpReply reply;
    RedirectReply expected;
  };
  const Case cases[] = {
      {"a Location: its body is not kept",
       HttpReply::redirect("/there").with_header("X", "y"),
       {"/there", ""}},
      {"a Location on a page",
       HttpReply::page(refresh).with_header("Location", "http://l/"),
       {"http://l/", ""}},
      {"a refresh page", HttpReply::page(refresh), {"", refresh}},
      {"a page in UTF-8 becomes GBK",
       HttpReply::page(utf8_page),
       {"", "<meta charset=\"utf-8\"><script>location.replace(\"http://t.example/外星人\")</script>"_gbk}},
      {"up to the first zero byte", HttpReply::page(std::string("ab\0cd", 5)), {"", "ab"}},
      {"a 404 page counts too", HttpReply::not_found("gone"), {"", "gone"}},
      {"nothing in the body", HttpReply::page(""), {"", ""}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    server.on("/q", c.reply);
    const RedirectReply reply = query_redirect_reply(server.url("/q"));
    EXPECT_EQ(reply.location, c.expected.location);
    EXPECT_EQ(reply.body, c.expected.body);
  }
}

TEST_F(RedirectReplyTest, TheBodyIsCutAtItsLimit) {
  server.on("/big", HttpReply::page(std::string(redirect_body_limit, 'a') + std::string(4 << 20, 'b')));
  const RedirectReply reply = query_redirect_reply(server.url("/big"));
  EXPECT_EQ(reply.body, std::string(redirect_body_limit, 'a'));
}

TEST_F(RedirectReplyTest, SendsWhatTheLocationQuerySends) {
  server.on("/link", HttpReply::redirect("http://target.example/"));
  ASSERT_EQ(query_redirect_target(server.url("/link?url=1")), "http://target.example/");
  ASSERT_EQ(query_redirect_reply(server.url("/link?url=1")).location, "http://target.example/");
  ASSERT_EQ(query_redirect_replies({server.url("/link?url=1")}, 4)[0].location, "http://target.example/");
  const auto requests = server.requests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[1].raw, requests[0].raw);
  EXPECT_EQ(requests[2].raw, requests[0].raw);
}

TEST_F(RedirectReplyTest, NoAnswerGivesBothEmpty) {
  for (const std::string& url : {std::string(), server.authority() + "/no-scheme", std::string("ftp://x/")}) {
    const RedirectReply reply = query_redirect_reply(url);
    EXPECT_EQ(reply.location, "") << url;
    EXPECT_EQ(reply.body, "") << url;
  }
  EXPECT_EQ(server.request_count(), 0u);
}

// /link?url=N answers with a Location naming N; a url beginning with "page" answers with a page.
HttpReply numbered_reply(const HttpRequest& request) {
  const std::string target = request.target;
  const std::string token = target.substr(target.find("url=") + 4);
  if (token.starts_with("page")) return HttpReply::page("page " + token);
  return HttpReply::redirect("http://target.example/" + token);
}

TEST_F(RedirectReplyTest, RepliesComeInTheOrderOfTheLinksWhateverTheParallelCount) {
  // The first links answer last, so that the order of arrival is the reverse of the links'.
  server.otherwise([](const HttpRequest& request) {
    HttpReply reply = numbered_reply(request);
    const char last = request.target.back();
    reply.delay = std::chrono::milliseconds(last >= '0' && last <= '9' ? (9 - (last - '0')) * 20 : 0);
    return reply;
  });
  std::vector<std::string> urls;
  for (const char* token : {"1", "2", "page3", "4", "5"}) urls.push_back(server.url("/link?url=") + token);
  urls.push_back(server.authority() + "/link?url=no-scheme");
  const std::vector<RedirectReply> expected = {
      {"http://target.example/1", ""}, {"http://target.example/2", ""}, {"", "page page3"},
      {"http://target.example/4", ""}, {"http://target.example/5", ""}, {"", ""}};
  for (const int parallel : {-3, 0, 1, 2, 6, 10, max_parallel_redirects + 1}) {
    SCOPED_TRACE(parallel);
    server.clear_requests();
    const std::vector<RedirectReply> replies = query_redirect_replies(urls, parallel);
    ASSERT_EQ(replies.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(replies[i].location, expected[i].location) << i;
      EXPECT_EQ(replies[i].body, expected[i].body) << i;
    }
    EXPECT_EQ(server.request_count(), 5u);
  }
  EXPECT_TRUE(query_redirect_replies({}, 4).empty());
}

TEST_F(RedirectReplyTest, QueriesAreUnderWayTogether) {
  // Each answer waits until all four requests have arrived: only queries made together all get a
  // Location (one after another, the first would wait out the server's patience and answer a page).
  server.otherwise([this](const HttpRequest& request) {
    if (!server.wait_for_requests(4, 3s)) return HttpReply::page("alone");
    return numbered_reply(request);
  });
  std::vector<std::string> urls;
  for (int i = 1; i <= 4; ++i) urls.push_back(server.url("/link?url=") + std::to_string(i));
  const std::vector<RedirectReply> replies = query_redirect_replies(urls, 4);
  ASSERT_EQ(replies.size(), 4u);
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(replies[i].location, "http://target.example/" + std::to_string(i + 1));
}

TEST_F(RedirectReplyTest, RoutedByTheConnectToTableOnEveryThread) {
  server.otherwise(numbered_reply);
  ASSERT_TRUE(add_connect_to("www.baidu.com:80:127.0.0.1:" + std::to_string(server.port())));
  std::vector<std::string> urls;
  for (int i = 0; i < 8; ++i) urls.push_back("http://www.baidu.com/link?url=" + std::to_string(i));
  const std::vector<RedirectReply> replies = query_redirect_replies(urls, 8);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(replies[i].location, "http://target.example/" + std::to_string(i));
  for (const HttpRequest& request : server.requests()) EXPECT_EQ(request.header("Host"), "www.baidu.com");
  clear_connect_to();
}

}  // namespace
}  // namespace vd
