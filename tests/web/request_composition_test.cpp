#include "web/request_composition.h"

#include <gtest/gtest.h>

namespace vd {
namespace {

const std::string accept =
    "Accept: image/gif, image/bmp, image/x-xbitmap, image/jpeg, image/pjpeg, application/x-shockwave-flash, "
    "application/vnd.ms-excel, application/vnd.ms-powerpoint, application/msword, */*\r\n";
const std::string language = "Accept-Language: zh-cn\r\n";
const std::string url = "http://www.baidu.com/s?wd=a";
const std::string referer = "Referer: " + url + "\r\n";

TEST(RequestFlags, WordAndItsMeaning) {
  struct Case {
    bool secure;
    std::string cookies;
    bool allow_redirects;
    std::uint32_t flags;
    TransferRules rules;
  };
  const Case cases[] = {
      {false, "", true, 0x80004010u, {false, true, true}},
      {false, "a=b", true, 0x80084010u, {false, false, true}},
      {false, "   ", true, 0x80004010u, {false, true, true}},  // blank cookies keep the store in use
      {false, "", false, 0x80204010u, {false, true, false}},
      {false, "a=b", false, 0x80284010u, {false, false, false}},
      // A secure URL has the secure flag alone: the store is used and redirects are followed.
      {true, "a=b", false, 0x00800000u, {true, true, true}},
      {true, "", true, 0x00800000u, {true, true, true}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.secure << " '" << c.cookies << "' " << c.allow_redirects);
    const std::uint32_t flags = request_flags(c.secure, c.cookies, c.allow_redirects);
    EXPECT_EQ(flags, c.flags);
    const TransferRules rules = transfer_rules(flags);
    EXPECT_EQ(rules.tls, c.rules.tls);
    EXPECT_EQ(rules.use_cookie_store, c.rules.use_cookie_store);
    EXPECT_EQ(rules.follow_redirects, c.rules.follow_redirects);
  }
}

TEST(UserAgent, FromTheCallersLineOrTheDefault) {
  struct Case {
    std::string extra_headers;
    std::string agent;
  };
  const Case cases[] = {
      {"", default_user_agent()},
      {"X-A: 1\r\n", default_user_agent()},
      {"User-Agent:  Foo/1.0 \r\n", "Foo/1.0"},
      {"X-A: 1\r\nuser-agent:Bar\r\nUser-Agent: Baz\r\n", "Bar"},
      {"User-Agent: NoLineEnd", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(user_agent(c.extra_headers), c.agent) << c.extra_headers;
  EXPECT_EQ(
      default_user_agent(),
      "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.1; SV1; .NET CLR 2.0.50727; .NET CLR 3.0.04506.648; "
      ".NET CLR 3.5.21022)");
}

TEST(HeaderText, AddedLinesAndTheirConditions) {
  struct Case {
    const char* name;
    std::string extra_headers;
    bool post;
    std::string body;
    std::string cookies;
    std::string expected;
  };
  const Case cases[] = {
      {"plain GET", "", false, "", "", accept + referer + language},
      {"caller's language line counts as Accept", "Accept-Language: en\r\n", false, "", "",
       "Accept-Language: en\r\n" + referer},
      {"any Accept* name counts", "Accept-Encoding: gzip\r\n", false, "", "",
       "Accept-Encoding: gzip\r\n" + referer + language},
      {"marker removed, line end kept", "RefererNo\r\n", false, "", "", "\r\n" + accept + language},
      {"marker in other case suppresses but stays", "refererno\r\n", false, "", "",
       "refererno\r\n" + accept + language},
      {"marker removed once", "RefererNoRefererNo\r\n", false, "", "", "RefererNo\r\n" + accept + language},
      {"caller's referer", "Referer: http://x/\r\n", false, "", "",
       "Referer: http://x/\r\n" + accept + language},
      {"cookie line ends with an empty line", "", false, "", "a=b; c=d",
       accept + referer + language + "Cookie: a=b; c=d\r\n\r\n"},
      {"blank cookies still sent", "", false, "", "  ", accept + referer + language + "Cookie:   \r\n\r\n"},
      {"GET ignores a body", "", false, "x=1", "", accept + referer + language},
      {"POST without body has no content lines", "", true, "", "", accept + referer + language},
      {"POST body: content lines before the cookie", "", true, "a=1&b=22&c3", "k=v",
       accept + referer + language + "Content-Type: application/x-www-form-urlencoded\r\n" +
           "Content-Length: 11\r\nCookie: k=v\r\n\r\n"},
      {"caller's content type kept", "content-type: text/plain\r\n", true, "abc", "",
       "content-type: text/plain\r\n" + accept + referer + language + "Content-Length: 3\r\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(compose_header_text({c.extra_headers, url, c.post, c.body, c.cookies}), c.expected);
  }
}

TEST(ClientHeaderEntries, OneEntryPerLineAndTheClientsOwnLinesHeldBack) {
  struct Case {
    const char* name;
    std::string text;
    bool post;
    std::vector<std::string> entries;
  };
  const Case cases[] = {
      {"GET",
       "X-A: 1\r\nX-Blank: \r\n\r\nCookie:   \r\n\r\n",
       false,
       {"X-A: 1", "X-Blank;", "Cookie;", "Accept:", "Expect:"}},
      {"lines kept byte for byte",
       "Referer:  http://a b/\r\nAccept-Language: zh-cn\r\n",
       false,
       {"Referer:  http://a b/", "Accept-Language: zh-cn", "Accept:", "Expect:"}},
      {"POST with its own lines",
       "accept: a\r\nContent-Type: t\r\nContent-Length: 3\r\n",
       true,
       {"accept: a", "Content-Type: t", "Content-Length: 3", "Expect:"}},
      {"POST without body",
       "Accept: a\r\n",
       true,
       {"Accept: a", "Expect:", "Content-Type:", "Content-Length:"}},
      {"LF-only line ends", "X-A: 1\nX-B: 2", false, {"X-A: 1", "X-B: 2", "Accept:", "Expect:"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(client_header_entries(c.text, c.post), c.entries);
  }
}

TEST(CookiesReceived, FromTheSetCookieLinesOfAHeaderBlock) {
  struct Case {
    const char* name;
    std::string block;
    std::string text;
    std::vector<std::pair<std::string, std::string>> cookies;
  };
  const Case cases[] = {
      {"two cookies in order",
       "HTTP/1.1 200 OK\r\nSet-Cookie: a=1; path=/\r\nX: y\r\nSet-Cookie: b=2; domain=.x.com\r\n\r\n",
       "a=1;b=2;",
       {{"a", "1; path=/"}, {"b", "2; domain=.x.com"}}},
      {"a value without attributes counts whole",
       "HTTP/1.1 200 OK\r\nSet-Cookie: a=1\r\n\r\n",
       "a=1;",
       {{"a", "1"}}},
      {"header name in any case, LF line ends",
       "HTTP/1.1 200 OK\nset-cookie:x=y=z; Path=/\n\n",
       "x=y=z;",
       {{"x", "y=z; Path=/"}}},
      {"only at the start of a line",
       "HTTP/1.1 200 OK\r\nX-Set-Cookie: z=1\r\nX: Set-Cookie: q=2\r\n\r\n",
       "",
       {}},
      {"no name: listed, not stored", "HTTP/1.1 200 OK\r\nSet-Cookie: lonely\r\n\r\n", "lonely;", {}},
      {"no cookies", "HTTP/1.1 200 OK\r\n\r\n", "", {}},
      {"empty block", "", "", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const CookiesReceived received = cookies_received(c.block);
    EXPECT_EQ(received.text, c.text);
    std::vector<std::pair<std::string, std::string>> cookies;
    for (const auto& cookie : received.cookies) cookies.emplace_back(cookie.name, cookie.data);
    EXPECT_EQ(cookies, c.cookies);
  }
}

}  // namespace
}  // namespace vd
