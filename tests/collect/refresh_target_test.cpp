#include "collect/refresh_target.h"

#include <gtest/gtest.h>

#include "collect/engine_profile.h"
#include "collect/link_rule.h"
#include "tests/collect/collect_fakes.h"

namespace vd {
namespace {

TEST(RefreshTarget, MetaRefreshAndLocationReplace) {
  struct Case {
    std::string body;
    std::string target;
  } const cases[] = {
      // As Baidu answers a redirect link without a Location: a script and a meta refresh for no script.
      {"<meta content=\"always\" name=\"referrer\"><script>try{if(window.opener&&window.opener.location.href)"
       "{window.opener=null}}catch(e){}window.location.replace(\"http://www.example.com/a?b=1\")</script>"
       "<noscript><META http-equiv=\"refresh\" content=\"0;URL='http://www.example.com/a?b=1'\"></noscript>",
       "http://www.example.com/a?b=1"},
      {"<meta http-equiv=refresh content=\"5; url=http://x.test/p&amp;q=1\">", "http://x.test/p&q=1"},
      {"<meta content=\"0 ; URL = http://x.test/\" http-equiv='Refresh' />", "http://x.test/"},
      // The meta wins over a script that points elsewhere.
      {"<meta\nhttp-equiv=\"refresh\"\ncontent=\"0;url=http://meta.test/\">"
       "<script>location.replace('http://script.test/')</script>",
       "http://meta.test/"},
      {"<script>window.location.replace( 'http:\\/\\/y.test\\/p' );</script>", "http://y.test/p"},
      // A meta that is not a refresh, and a refresh without an address, give way to the script.
      {"<meta http-equiv=\"content-type\" content=\"text/html; url=http://no.test/\">"
       "<meta http-equiv=\"refresh\" content=\"30\"><script>location.replace(\"http://yes.test/\")</script>",
       "http://yes.test/"},
      {"<metadata http-equiv=\"refresh\" content=\"0;url=http://no.test/\">", ""},
      {"<script>location.replace(target)</script>", ""},
      {"<script>location.replace(\"http://cut.test/", ""},
      {"<html><body>moved</body></html>", ""},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(refresh_target(c.body), c.target) << c.body;
}

TEST(RefreshTarget, RedirectLinkAnsweredWithAPage) {
  const EngineProfile& baidu = engine_profile(SearchEngine::Baidu);
  test::FakeWeb web;
  const std::string with_location = "http://www.baidu.com/link?url=L";
  const std::string with_page = "http://www.baidu.com/link?url=P";
  const std::string with_neither = "http://www.baidu.com/link?url=N";
  web.redirects[with_location] = "http://location.test/";
  web.redirect_bodies[with_location] = "<meta http-equiv=\"refresh\" content=\"0;url=http://ignored.test/\">";
  web.redirect_bodies[with_page] = "<meta http-equiv=\"refresh\" content=\"0;url=http://page.test/\">";
  web.redirect_bodies[with_neither] = "<html>gone</html>";
  EXPECT_EQ(resolve_link(baidu, with_location, web), "http://location.test/");
  EXPECT_EQ(resolve_link(baidu, with_page, web), "http://page.test/");
  EXPECT_EQ(resolve_link(baidu, with_neither, web), "");
  EXPECT_EQ(web.queried.size(), 3u);
}

}  // namespace
}  // namespace vd
