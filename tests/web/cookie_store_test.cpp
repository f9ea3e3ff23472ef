#include "web/cookie_store.h"

#include <gtest/gtest.h>

namespace vd {
namespace {

TEST(CookieStoreLine, HostOnlyOrDomainPathSecureAndExpiry) {
  constexpr std::int64_t now = 1000000;
  struct Case {
    const char* name;
    std::string host;
    std::string cookie_name;
    std::string data;
    std::string line;
  };
  const Case cases[] = {
      {"host only session cookie", "www.a.com", "k", "v", "www.a.com\tFALSE\t/\tFALSE\t0\tk\tv"},
      {"host lower-cased, blanks trimmed", "WWW.A.com", "k", " v ; ", "www.a.com\tFALSE\t/\tFALSE\t0\tk\tv"},
      {"parent domain", "www.a.com", "k", "v; Domain=.A.com", "a.com\tTRUE\t/\tFALSE\t0\tk\tv"},
      {"own domain", "www.a.com", "k", "v; domain=www.a.com", "www.a.com\tTRUE\t/\tFALSE\t0\tk\tv"},
      {"foreign domain refused", "www.a.com", "k", "v; domain=b.com", ""},
      {"suffix that is not a parent refused", "xa.com", "k", "v; domain=a.com", ""},
      {"path, secure, max-age", "a.com", "k", "v; Path=/s; Secure; Max-Age=60",
       "a.com\tFALSE\t/s\tTRUE\t1000060\tk\tv"},
      {"expires", "a.com", "k", "v; expires=Wed, 09 Jun 2021 10:18:14 GMT",
       "a.com\tFALSE\t/\tFALSE\t1623233894\tk\tv"},
      {"max-age wins over expires", "a.com", "k", "v; expires=Wed, 09 Jun 2021 10:18:14 GMT; max-age=5",
       "a.com\tFALSE\t/\tFALSE\t1000005\tk\tv"},
      {"max-age 0 removes", "a.com", "k", "v; max-age=0", "a.com\tFALSE\t/\tFALSE\t1\tk\tv"},
      {"relative path ignored", "a.com", "k", "v; path=s", "a.com\tFALSE\t/\tFALSE\t0\tk\tv"},
      {"empty value", "a.com", "k", "", "a.com\tFALSE\t/\tFALSE\t0\tk\t"},
      {"a tab would break the line", "a.com", "k", "v\tw", ""},
      {"no name", "a.com", "", "v", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(cookie_store_line(c.host, {c.cookie_name, c.data}, now), c.line);
  }
}

TEST(CookieStore, KeepsStoredCookiesUntilCleared) {
  clear_cookie_store();
  ASSERT_TRUE(store_cookies("www.a.com", {{"k", "v; path=/"}, {"j", "w; domain=b.com"}}));
  EXPECT_EQ(cookie_store_lines(), std::vector<std::string>{"www.a.com\tFALSE\t/\tFALSE\t0\tk\tv"});
  ASSERT_TRUE(store_cookies("www.a.com", {{"k", "v2"}}));  // same name, domain and path: replaced
  EXPECT_EQ(cookie_store_lines(), std::vector<std::string>{"www.a.com\tFALSE\t/\tFALSE\t0\tk\tv2"});
  ASSERT_TRUE(store_cookies("www.a.com", {{"k", "gone; max-age=0"}}));
  EXPECT_TRUE(cookie_store_lines().empty());
  ASSERT_TRUE(store_cookies("www.a.com", {{"k", "v"}}));
  clear_cookie_store();
  EXPECT_TRUE(cookie_store_lines().empty());
}

}  // namespace
}  // namespace vd
