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

}  // namespace
}  // namespace vd
