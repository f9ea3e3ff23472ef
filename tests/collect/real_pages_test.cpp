// Result pages that the engines really served (see real-pages/README.md), cut with the built-in profiles
// and with the example profile for the markup of 2015 to 2022.
#include <gtest/gtest.h>

#include "collect/profile_file.h"
#include "collect/result_page.h"
#include "tests/collect/collect_fakes.h"
#include "tests/support/temp_dir.h"
#include "web/page_decoding.h"

namespace vd {
namespace {

using namespace vd::literals;

// The raw links of the page's entries, in page order, as the walk takes them (before any redirect query).
std::vector<std::string> walked_links(const std::string& file, const EngineProfile& profile) {
  const std::string bytes = test::read_file(std::string(VERODERO_SOURCE_DIR) + "/tests/collect/real-pages/" + file);
  EXPECT_FALSE(bytes.empty()) << file;
  const std::string page = decode_page_text(bytes);  // every one declares UTF-8
  std::vector<std::string> links;
  test::CountingPump pump;
  walk_entries(cut_result_block(page, profile), profile, [&](RawEntry&& entry) {
    links.push_back(entry.link);
    return true;
  });
  return links;
}

struct RealPage {
  const char* file;
  SearchEngine engine;
  std::size_t builtin_count;  // what the built-in markers find
  std::size_t organic_count;  // the organic results a reader of the markup counts
  const char* first_link;
  const char* last_link;
};

TEST(RealPages, ExampleProfileCollectsEveryOrganicResult) {
  const ProfileLoad example =
      read_profiles_file(std::string(VERODERO_SOURCE_DIR) + "/examples/engines-2020.ini");
  ASSERT_TRUE(example.read);
  EXPECT_TRUE(example.warnings.empty()) << profile_warnings_text(example);

  const RealPage pages[] = {
      // Ten numbered results in content_left (ids 1 to 10: four of Baidu's own cards, six web results),
      // all redirect links; the list ends with <div id="page" >, which the built-in ends do not fit.
      {"baidu-2015-number.html", SearchEngine::Baidu, 0, 10,
       "http://www.baidu.com/link?url=YmdTT0_4Cz5xdWmMai1vbQ67rA-XlEyjxIE2t1qXu5zhiCds6Xe8aCHu9qSqsng_",
       "http://www.baidu.com/link?url=QS1-j3hE3DMb6jxx90s0xegvvwAAf4P7_L28Rd1sToU-8l_qbDjjP9PRNCIkVemFLkBVSn34"
       "aOfXrzBcETelDq"},
      // Ten res-list items (pos 1 to 10) in <ul class="result">; the ads above it and the side column's
      // headings are not in the list.
      {"360-2019-suzhoufeipin.html", SearchEngine::Search360, 0, 10,
       "https://suzhou.baixing.com/wupinhuishou/a180382694.html",
       "http://www.so.com/link?m=ansXohAR8X3%2Bx1o7LCFw93j08o03tQAOLElM%2FPGaAfauqgUHKUmQlgd9ERBN68pSZSQbGtT%2F8"
       "tNl3ZCjjhUFkwZtLRuVkz1KE98Gw2f9T%2FBb5JpyS%2FCL6dhVncHBOCNXD9dy98WCsS7aG8AwAvL6UrElF64I%3D"},
      // Twelve results at ranks 0 to 12 (rank 3 is a box of related searches without a heading).
      {"sogou-2019-seo.html", SearchEngine::Sogou, 12, 12, "http://www.seoqx.com/", "http://www.nestseo.com/"},
      // Ten /url?q= results; the news and image groups after them link to Google itself and end the walk.
      {"google-2012-wangbo.html", SearchEngine::Google, 10, 10, "http://blog.sina.com.cn/u/1810695743",
       "http://www.dlteacher.com/blog/user1/3526/index.html"},
  };
  for (const RealPage& p : pages) {
    SCOPED_TRACE(p.file);
    const int row = static_cast<int>(p.engine);
    const std::vector<std::string> builtin = walked_links(p.file, engine_profiles()[row]);
    EXPECT_EQ(builtin.size(), p.builtin_count);
    const std::vector<std::string> links = walked_links(p.file, example.profiles[row]);
    ASSERT_EQ(links.size(), p.organic_count);
    EXPECT_EQ(links.front(), p.first_link);
    EXPECT_EQ(links.back(), p.last_link);
    // Where the built-in markers find results, the example finds the same ones.
    if (!builtin.empty()) EXPECT_EQ(builtin, links);
  }
}

}  // namespace
}  // namespace vd
