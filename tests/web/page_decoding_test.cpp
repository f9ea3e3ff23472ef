#include "web/page_decoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/gbk_literal.h"

namespace vd {
namespace {

using namespace vd::literals;

const std::string utf8_zhong = "\xE4\xB8\xAD";  // 中 in UTF-8

struct Case {
  const char* name;
  std::string page;
  std::string expected;
};

TEST(DecodePageText, ConvertsPagesThatDeclareUtf8) {
  const std::vector<Case> cases = {
      {"meta charset", "<meta charset=utf-8>" + utf8_zhong, "<meta charset=utf-8>" + "中"_gbk},
      {"capitals", "<META CHARSET=UTF-8>" + utf8_zhong, "<META CHARSET=UTF-8>" + "中"_gbk},
      {"value in double quotes", "<meta charset=\"utf-8\">" + utf8_zhong,
       "<meta charset=\"utf-8\">" + "中"_gbk},
      {"content type in markup", "content=\"text/html; charset=utf-8\"" + utf8_zhong,
       "content=\"text/html; charset=utf-8\"" + "中"_gbk},
      {"marker in visible text", utf8_zhong + " write charset=utf-8", "中"_gbk + " write charset=utf-8"},
      {"marker in a GBK page", "中"_gbk + " var s='charset=utf-8';", "?? var s='charset=utf-8';"},
      {"combining marks are composed", "charset=utf-8 e\xCC\x81", "charset=utf-8 \xA8\xA6"},
      {"cut at a zero byte", std::string("charset=utf-8\0tail", 18), "charset=utf-8"},
      {"marker after another charset", "charset=gbk charset=utf-8" + utf8_zhong,
       "charset=gbk charset=utf-8" + "中"_gbk},
      {"marker inside a repeated start", "charset=charset=\"utf-8\"" + utf8_zhong,
       "charset=charset=\"utf-8\"" + "中"_gbk},
      {"marker after a character of two bytes",
       "\xD6\xD0"
       "charset=utf-8",
       "??charset=utf-8"},
  };
  for (const Case& c : cases) EXPECT_EQ(decode_page_text(c.page), c.expected) << c.name;
}

TEST(DecodePageText, LeavesOtherPagesUnchanged) {
  const std::vector<std::string> pages = {
      "",
      "<meta charset = utf-8>" + utf8_zhong,
      "<meta charset='utf-8'>" + utf8_zhong,
      "<meta charset=utf8>" + utf8_zhong,
      "<meta charset=gbk>" + "中"_gbk,
      std::string("no marker\0here", 14),
      "charset=",
      "charset=utf-",
      // The first byte of a character takes the "c" as its second byte: the walk never starts there.
      "\xD6"
      "charset=utf-8",
      "x\xD6"
      "charset=\"utf-8\"",
  };
  for (const std::string& page : pages) EXPECT_EQ(decode_page_text(page), page) << page;
}

TEST(DecodePageText, ModeTwoAlwaysConvertsOtherModesNever) {
  const std::string declared = "charset=utf-8 " + utf8_zhong;
  EXPECT_EQ(decode_page_text(utf8_zhong, 2), "中"_gbk);
  EXPECT_EQ(decode_page_text(declared, 2), "charset=utf-8 " + "中"_gbk);
  for (const int mode : {1, 3, -1}) EXPECT_EQ(decode_page_text(declared, mode), declared) << mode;
}

TEST(ConvertBody, ConvertsAsAsked) {
  const std::string with_zero("a\0b", 3);
  EXPECT_EQ(convert_body(with_zero, 0), with_zero);
  EXPECT_EQ(convert_body(with_zero, 5), with_zero);
  EXPECT_EQ(convert_body(with_zero, 1), "a");
  EXPECT_EQ(convert_body(with_zero, 2), "a");

  EXPECT_EQ(convert_body(utf8_zhong + "x", 1), "中x"_gbk);
  EXPECT_EQ(convert_body("e\xCC\x81", 1), "e?");               // no composing here
  EXPECT_EQ(convert_body("\xB0\xEA\xA4\xE5", 2), "国文"_gbk);  // Big5 國文
  EXPECT_EQ(convert_body(utf8_zhong, 0), utf8_zhong);
}

}  // namespace
}  // namespace vd
