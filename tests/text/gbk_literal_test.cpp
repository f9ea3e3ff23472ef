#include "text/gbk_literal.h"

#include <gtest/gtest.h>

namespace vd {
namespace {

using namespace vd::literals;

TEST(GbkLiteral, HoldsGbkBytes) {
  EXPECT_EQ("外星人"_gbk, "\xCD\xE2\xD0\xC7\xC8\xCB");
  EXPECT_EQ("abc"_gbk, "abc");
  EXPECT_EQ(""_gbk, "");
  EXPECT_EQ("€"_gbk, "\x80");
  EXPECT_EQ("超时返回"_gbk.size(), 8u);
}

TEST(GbkLiteral, ConvertsOnceAndKeepsOneCopy) {
  const std::string* first = &"关键词"_gbk;
  const std::string* second = &"关键词"_gbk;
  EXPECT_EQ(first, second);
  EXPECT_NE(&"关键词"_gbk, &"外星人"_gbk);
}

// Literals convert without the fast path's table; the bytes must be the same either way.
TEST(GbkLiteral, SmallConversionGivesThePlainConversionsBytes) {
  const std::string cases[] = {"",          "abc",        "外星人",   "€",
                               "e\xCC\x81", "中\xCC\x81", "\xE4\xB8", "a\xFFb",
                               "┊*┊",       "😀",          "a\0b",     "<a href=\"#网址#\">#标题#</a>"};
  for (const std::string& c : cases) EXPECT_EQ(utf8_to_gbk_small(c), utf8_to_gbk_plain(c)) << c;
}

}  // namespace
}  // namespace vd
