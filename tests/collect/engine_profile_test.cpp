#include "collect/engine_profile.h"

#include <gtest/gtest.h>

#include "text/gbk_literal.h"

namespace vd {
namespace {

using namespace vd::literals;

struct UrlCase {
  SearchEngine engine;
  std::string keyword;
  int page;
  std::string url;
};

TEST(RequestUrl, EveryEngineFormsItsAddress) {
  const UrlCase cases[] = {
      {SearchEngine::Baidu, "2012", 1, "http://www.baidu.com/s?wd=%32%30%31%32&pn=0"},
      {SearchEngine::Search360, "2012", 1, "http://www.so.com/s?q=%32%30%31%32&pn=1"},
      {SearchEngine::Sogou, "2012", 1, "http://www.sogou.com/web?query=%32%30%31%32&page=1"},
      {SearchEngine::Google, "2012", 1, "http://www.google.com/search?q=2012&start=0"},
      {SearchEngine::Baidu, "2012", 2, "http://www.baidu.com/s?wd=%32%30%31%32&pn=10"},
      {SearchEngine::Search360, "2012", 2, "http://www.so.com/s?q=%32%30%31%32&pn=2"},
      {SearchEngine::Sogou, "2012", 2, "http://www.sogou.com/web?query=%32%30%31%32&page=2"},
      {SearchEngine::Google, "2012", 2, "http://www.google.com/search?q=2012&start=10"},
      {SearchEngine::Baidu, "a", 3, "http://www.baidu.com/s?wd=%61&pn=20"},
      {SearchEngine::Google, "a", 3, "http://www.google.com/search?q=a&start=20"},
      {SearchEngine::Baidu, "a", 100, "http://www.baidu.com/s?wd=%61&pn=990"},
      // Large page numbers stay plain digits, without overflow or exponent form.
      {SearchEngine::Baidu, "a", 2147483647, "http://www.baidu.com/s?wd=%61&pn=21474836460"},
      // The keyword goes out as UTF-8 escapes, except for Google, where its GBK bytes and spaces stay raw.
      {SearchEngine::Sogou, "外星人"_gbk, 1,
       "http://www.sogou.com/web?query=%E5%A4%96%E6%98%9F%E4%BA%BA&page=1"},
      {SearchEngine::Search360, "a b", 1, "http://www.so.com/s?q=%61%20%62&pn=1"},
      {SearchEngine::Google, "外星 人"_gbk, 1,
       "http://www.google.com/search?q=" + "外星 人"_gbk + "&start=0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(build_request_url(c.engine, c.keyword, c.page), c.url) << c.url;
  }
}

TEST(SelectEngine, FirstCheckedButtonWins) {
  using Buttons = std::array<bool, 4>;
  EXPECT_EQ(select_engine(Buttons{true, false, false, false}), SearchEngine::Baidu);
  EXPECT_EQ(select_engine(Buttons{false, true, false, false}), SearchEngine::Search360);
  EXPECT_EQ(select_engine(Buttons{false, false, true, false}), SearchEngine::Sogou);
  EXPECT_EQ(select_engine(Buttons{false, false, false, true}), SearchEngine::Google);
  EXPECT_EQ(select_engine(Buttons{false, true, true, true}), SearchEngine::Search360);
  EXPECT_EQ(select_engine(Buttons{true, false, false, true}), SearchEngine::Baidu);
  EXPECT_EQ(select_engine(Buttons{false, false, false, false}), std::nullopt);
}

TEST(EngineProfiles, TableRowsMatchTheirEngines) {
  for (int i = 0; i < kEngineCount; ++i) {
    EXPECT_EQ(static_cast<int>(engine_profiles()[i].engine), i);
  }
  EXPECT_EQ(engine_profile(SearchEngine::Baidu).redirect_prefix, "http://www.baidu.com/link?url=");
}

}  // namespace
}  // namespace vd
