#include "web/redirect_query.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>

#include "tests/support/http_server.h"
#include "text/event_pump.h"
#include "web/connect_to.h"
#include "web/cookie_store.h"
#include "web/web_request.h"

namespace vd {
namespace {

using namespace std::chrono_literals;
using test::HttpReply;
using test::HttpServer;

class RedirectQueryTest : public testing::Test {
 protected:
  void SetUp() override {
    clear_cookie_store();
    clear_connect_to();
  }
  void TearDown() override { clear_connect_to(); }
  HttpServer server;
};

TEST_F(RedirectQueryTest, SendsItsFourLinesAndFollowsNothing) {
  server.on("/link", HttpReply::redirect("http://target.example/page?id=1"));
  server.on("/page", HttpReply::page("never asked for"));
  ASSERT_TRUE(store_cookies("127.0.0.1", {{"sid", "abc"}}));  // the query keeps no cookies and sends none

  EXPECT_EQ(query_redirect_target(server.url("/link?url=abc")), "http://target.example/page?id=1");
  ASSERT_EQ(server.request_count(), 1u);
  EXPECT_EQ(server.requests()[0].raw,
            "GET /link?url=abc HTTP/1.1\r\n"
            "Host: " +
                server.authority() +
                "\r\n"
                "User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1)\r\n"
                "Accept-Language: zh-cn\r\n"
                "Connection: Keep-Alive\r\n"
                "Accept: image/gif, image/x-xbitmap, image/jpeg, imagepeg, application/x-shockwave-flash, "
                "application/x-silverlight, */*\r\n"
                "\r\n");
}

TEST_F(RedirectQueryTest, TheLocationComesBackAsWritten) {
  struct Case {
    const char* name;
    HttpReply reply;
    std::string location;
  };
  const Case cases[] = {
      {"relative", HttpReply::redirect("/relative/path?x=1"), "/relative/path?x=1"},
      {"any status", HttpReply::page("ok").with_header("location", "  http://a.b/c  "), "http://a.b/c"},
      {"no Location", HttpReply::page("plain page"), ""},
      {"a large page without Location", HttpReply::page(std::string(1 << 20, 'p')), ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    server.on("/q", c.reply);
    EXPECT_EQ(query_redirect_target(server.url("/q")), c.location);
  }
}

TEST_F(RedirectQueryTest, ConnectToRoutesTheRealHost) {
  server.on("/link", HttpReply::redirect("http://www.example.com/"));
  ASSERT_TRUE(add_connect_to("www.baidu.com:80:127.0.0.1:" + std::to_string(server.port())));
  EXPECT_EQ(query_redirect_target("http://www.baidu.com/link?url=x y"), "http://www.example.com/");
  ASSERT_EQ(server.request_count(), 1u);
  EXPECT_EQ(server.requests()[0].target, "/link?url=x%20y");
  EXPECT_EQ(server.requests()[0].header("Host"), "www.baidu.com");
}

TEST_F(RedirectQueryTest, NoAnswerGivesEmptyText) {
  // A port that refuses: bind one, note it, close it.
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length), 0);
  ::close(fd);
  EXPECT_EQ(query_redirect_target("http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/x"), "");
  EXPECT_EQ(query_redirect_target(""), "");
  EXPECT_EQ(query_redirect_target(server.authority() + "/no-scheme"), "");
  EXPECT_EQ(server.request_count(), 0u);
}

TEST_F(RedirectQueryTest, ASilentServerGivesEmptyTextAfterTheReceiveTimeOut) {
  server.on("/silent", HttpReply::silent());
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(query_redirect_target(server.url("/silent")), "");
  const double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GE(waited, 4.5);
  EXPECT_LT(waited, 9.0);
}

class CountingPump final : public EventPump {
 public:
  void pump_events() override { ++pumps; }
  bool wait_for_signal(WorkerSignal& signal, std::chrono::milliseconds timeout) override {
    ++waits;
    return signal.wait_until(std::chrono::steady_clock::now() + timeout);
  }
  int pumps = 0;
  int waits = 0;
};

TEST_F(RedirectQueryTest, EventsAreHandledWhileItWaits) {
  HttpReply late = HttpReply::redirect("/there");
  late.delay = 200ms;
  server.on("/late", late);
  CountingPump pump;
  install_event_pump(&pump);
  const std::string location = query_redirect_target(server.url("/late"));
  install_event_pump(nullptr);
  EXPECT_EQ(location, "/there");
  EXPECT_GE(pump.waits, 1);
  EXPECT_GE(pump.pumps, 1);
}

TEST(LocationOf, FirstLocationLineOfABlock) {
  struct Case {
    std::string block;
    std::string location;
  };
  const Case cases[] = {
      {"HTTP/1.1 302 Found\r\nLocation: /a\r\nLocation: /b\r\n\r\n", "/a"},
      {"HTTP/1.1 302 Found\r\nLOCATION:/up\r\n\r\n", "/up"},
      {"HTTP/1.1 302 Found\nX-Location: /no\nlocation: \t/lf \n\n", "/lf"},
      {"HTTP/1.1 200 OK\r\n\r\n", ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(location_of(c.block), c.location) << c.block;
}

}  // namespace
}  // namespace vd
