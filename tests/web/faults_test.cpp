// Page requests against servers that misbehave: bodies of zero bytes or broken encodings, header blocks
// of a hundred kilobytes, connections dropped half-way, a body trickled one byte a second.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <optional>
#include <string>
#include <thread>

#include "tests/support/http_server.h"
#include "text/encoding.h"
#include "text/gbk_literal.h"
#include "web/connect_to.h"
#include "web/cookie_store.h"
#include "web/web_request.h"
#include "web/worker_wait.h"

namespace vd {
namespace {

using namespace vd::literals;
using namespace std::chrono_literals;
using test::HttpReply;
using test::HttpServer;

class FaultsTest : public testing::Test {
 protected:
  void SetUp() override {
    clear_cookie_store();
    clear_connect_to();
  }
  void TearDown() override { clear_cookie_store(); }

  HttpServer server;
};

bool wait_for_no_workers(std::chrono::seconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  while (live_worker_count() > 0 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(20ms);
  return live_worker_count() == 0;
}

// A server that answers one connection with a status line and headers promising 1000 bytes, then sends
// one byte a second for as long as the client stays. It tells whether the client went away.
class TrickleServer {
 public:
  TrickleServer() {
    listen_fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int pipe_fds[2];
    ok_ = listen_fd_ >= 0 && ::pipe(pipe_fds) == 0 &&
          ::bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
          ::listen(listen_fd_, 4) == 0;
    if (!ok_) return;
    stop_read_ = pipe_fds[0];
    stop_write_ = pipe_fds[1];
    socklen_t length = sizeof address;
    ok_ = ::getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &length) == 0;
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
  }
  ~TrickleServer() {
    if (thread_.joinable()) {
      char byte = 1;
      (void)!::write(stop_write_, &byte, 1);
      thread_.join();
    }
    for (int fd : {listen_fd_, stop_read_, stop_write_})
      if (fd >= 0) ::close(fd);
  }

  bool ok() const { return ok_; }
  std::string url() const { return "http://127.0.0.1:" + std::to_string(port_) + "/trickle"; }
  int bytes_sent() const { return bytes_sent_; }
  bool client_left() const { return client_left_; }

 private:
  // Waits for fd to be readable or the stop pipe; false on stop, time-out or failure.
  bool readable(int fd, int timeout_ms) {
    pollfd fds[2] = {{fd, POLLIN, 0}, {stop_read_, POLLIN, 0}};
    const int n = ::poll(fds, 2, timeout_ms);
    return n > 0 && fds[1].revents == 0 && fds[0].revents != 0;
  }

  void serve() {
    if (!readable(listen_fd_, -1)) return;
    const int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) return;
    std::string request;
    char buffer[4096];
    while (request.find("\r\n\r\n") == std::string::npos) {
      if (!readable(fd, -1)) return (void)::close(fd);
      const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
      if (n <= 0) return (void)::close(fd);
      request.append(buffer, static_cast<std::size_t>(n));
    }
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\nContent-Type: text/html\r\n\r\n";
    if (::send(fd, head.data(), head.size(), MSG_NOSIGNAL) < 0) return (void)::close(fd);
    for (int i = 0; i < 1000; ++i) {
      // A second between bytes, unless the client closes (readable with nothing to read) or we stop.
      pollfd fds[2] = {{fd, POLLIN, 0}, {stop_read_, POLLIN, 0}};
      const int n = ::poll(fds, 2, 1000);
      if (n < 0 && errno != EINTR) break;
      if (fds[1].revents != 0) break;
      if (fds[0].revents != 0 && ::recv(fd, buffer, sizeof buffer, 0) <= 0) {
        client_left_ = true;
        break;
      }
      if (::send(fd, "x", 1, MSG_NOSIGNAL) != 1) {
        client_left_ = true;
        break;
      }
      ++bytes_sent_;
    }
    ::close(fd);
  }

  int listen_fd_ = -1;
  int stop_read_ = -1;
  int stop_write_ = -1;
  int port_ = 0;
  bool ok_ = false;
  std::atomic<int> bytes_sent_{0};
  std::atomic<bool> client_left_{false};
  std::thread thread_;
};

// Bytes keep arriving, so no read ever stalls for long: only the time-out of the whole request ends it,
// and the abandoned transfer is cancelled rather than left to read for a quarter of an hour.
TEST(TrickledBody, EndsInTheTimeOutMessageAfterTheTimeOut) {
  TrickleServer trickle;
  ASSERT_TRUE(trickle.ok());
  WebRequestOptions options;
  options.timeout_seconds = 2;
  std::string headers = "untouched";
  options.response_headers = &headers;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(web_request(trickle.url(), options), timeout_message());
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  EXPECT_GE(seconds, 1.9);
  EXPECT_LT(seconds, 30.0);  // generous: the point is that it does not wait for the 1000 bytes
  EXPECT_EQ(headers, "untouched");
  EXPECT_TRUE(wait_for_no_workers(10s));
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (!trickle.client_left() && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(20ms);
  EXPECT_TRUE(trickle.client_left());
  EXPECT_LT(trickle.bytes_sent(), 20);
}

// What fetch_page makes of bodies that are not text: the bytes before the first zero byte, and broken
// UTF-8 in a page that declares it turned into GBK all the same.
TEST_F(FaultsTest, BodiesOfZeroBytesOrBrokenEncodings) {
  const std::string declares_utf8 = "<meta charset=utf-8>";
  struct Case {
    const char* name;
    std::string body;
    std::string page;
  };
  const Case cases[] = {
      {"a megabyte of zero bytes", std::string(1 << 20, '\0'), ""},
      {"text, a zero byte, text", std::string("ab\0cd", 5), "ab"},
      {"invalid GBK is kept as it came", "\xFF\xFF\x80\x81<a>\xB0", "\xFF\xFF\x80\x81<a>\xB0"},
      {"broken UTF-8 becomes question marks", declares_utf8 + "\xC3(\xE4\xB8", declares_utf8 + "?(?"},
      {"UTF-8 cut inside a character", declares_utf8 + "\xE5\xA4", declares_utf8 + "?"},
  };
  for (const Case& c : cases) {
    server.on("/p", HttpReply::page(c.body));
    EXPECT_EQ(fetch_page(server.url("/p")), c.page) << c.name;
    // The byte-array form keeps every byte.
    EXPECT_EQ(web_request(server.url("/p")), c.body) << c.name;
  }
}

// A header block of 100 KB carrying 500 cookies is taken whole and every cookie is received.
TEST_F(FaultsTest, AHundredKilobyteHeaderBlockWithFiveHundredCookies) {
  HttpReply reply = HttpReply::page("body");
  std::string expected_cookies;
  for (int i = 0; i < 500; ++i) {
    const std::string name = "c" + std::to_string(i);
    reply.with_header("Set-Cookie", name + "=" + std::to_string(i) + "; path=/");
    reply.with_header("X-Filler-" + std::to_string(i), std::string(160, 'f'));
    expected_cookies += name + "=" + std::to_string(i) + ";";
  }
  server.on("/many", reply);
  server.on("/next", HttpReply::page("next"));
  const std::string wire = reply.wire_bytes();
  const std::string expected_block = wire.substr(0, wire.size() - reply.body.size());
  ASSERT_GT(expected_block.size(), 100000u);

  std::string headers;
  std::string received;
  WebRequestOptions options;
  options.response_headers = &headers;
  options.cookies_received = &received;
  EXPECT_EQ(web_request(server.url("/many"), options), "body");
  EXPECT_TRUE(headers == expected_block) << headers.size() << " of " << expected_block.size();
  EXPECT_EQ(received, expected_cookies);

  // The store is libcurl's, which keeps only so many cookies of one response (50 at present), as
  // browsers cap the cookies of a host: the first ones are sent back, each with its own value, and the
  // Cookie line stays within what a server takes.
  EXPECT_EQ(fetch_page(server.url("/next")), "next");
  const std::optional<std::string> sent = server.requests().back().header("Cookie");
  ASSERT_TRUE(sent.has_value());
  EXPECT_LT(sent->size(), 8192u);
  const auto pairs = std::count(sent->begin(), sent->end(), '=');
  EXPECT_GE(pairs, 1);
  for (int i = 0; i < pairs; ++i) {
    const std::string cookie = "c" + std::to_string(i) + "=" + std::to_string(i);
    EXPECT_NE(sent->find(cookie), std::string::npos) << cookie;
  }
}

// A connection that the server closes part of the way through gives what had arrived, at once rather
// than at the time-out.
TEST_F(FaultsTest, AConnectionClosedHalfWayGivesWhatArrivedWithoutWaiting) {
  const std::string big(1 << 20, 'b');
  HttpReply plain = HttpReply::page(big);
  HttpReply chunked = HttpReply::page("");
  chunked.content_length = false;
  chunked.with_header("Transfer-Encoding", "chunked");
  chunked.body = "5\r\nfirst\r\n400\r\n" + std::string(100, 'c');  // the second chunk is cut short
  chunked.close_connection = true;
  struct Case {
    const char* name;
    HttpReply reply;
    std::optional<std::size_t> cut_at;
    std::string body;
  };
  const std::size_t plain_head = plain.wire_bytes().size() - big.size();
  const Case cases[] = {
      {"after the header block", plain, plain_head, ""},
      {"half-way through a megabyte", plain, plain_head + big.size() / 2, big.substr(0, big.size() / 2)},
      {"inside a chunk", chunked, std::nullopt, "first" + std::string(100, 'c')},
  };
  for (const Case& c : cases) {
    HttpReply reply = c.reply;
    reply.cut_at = c.cut_at;
    reply.close_after_cut = true;
    server.on("/cut", reply);
    WebRequestOptions options;
    options.timeout_seconds = 20;
    const auto start = std::chrono::steady_clock::now();
    const Bytes body = web_request(server.url("/cut"), options);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(body.size(), c.body.size()) << c.name;
    EXPECT_TRUE(body == c.body) << c.name;
    EXPECT_LT(seconds, 15.0) << c.name;
  }
}

}  // namespace
}  // namespace vd
