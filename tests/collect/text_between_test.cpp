#include "collect/text_between.h"

#include <gtest/gtest.h>

#include "text/gbk_literal.h"

namespace vd {
namespace {

using namespace vd::literals;

struct CutCase {
  std::string name;
  std::string text;
  std::string start;
  std::string end;
  int position;
  std::string result;
  int position_after;
};

TEST(TextBetween, Cases) {
  const CutCase cases[] = {
      {"plain", "xx<b>in</b>yy", "<b>", "</b>", 1, "in", 12},
      {"position 0 is the beginning", "<b>in</b>", "<b>", "</b>", 0, "in", 10},
      {"from a later position", "<b>1</b><b>2</b>", "<b>", "</b>", 2, "2", 17},
      {"letter case ignored", "<B>in</B>", "<b>", "</b>", 1, "in", 10},
      {"start missing", "in</b>", "<b>", "</b>", 1, "", 1},
      {"end missing", "<b>in", "<b>", "</b>", 1, "", 1},
      {"quoted marker also finds unquoted markup", "<div id=x>in</div>", "<div id=\"x\">", "</div>", 1, "in",
       19},
      {"quoted end marker too", "<i>in<p id=page>", "<i>", "<p id=\"page\">", 1, "in", 17},
      // Touching markers yield nothing; the second attempt then starts after them.
      {"touching markers, second attempt later on", "<b></b><b>2</b>", "<b>", "</b>", 1, "2", 16},
      {"href in double quotes", "a href=\"x\">t", "href=\"", "\"", 1, "x", 11},
      {"href in single quotes", "a href='x'>t", "href=\"", "\"", 1, "", 1},
      {"href unquoted", "a href=x>t", "href=\"", "\"", 1, "", 1},
      {"end searched after the start", "</b><b>in</b>", "<b>", "</b>", 1, "in", 14},
      {"matches only at character boundaries", "中</b>"_gbk, "\xD0", "</b>", 1, "", 1},
      {"two-byte text kept whole", "<b>外星人</b>"_gbk, "<b>", "</b>", 1, "外星人"_gbk, 14},
  };
  for (const auto& c : cases) {
    int position = c.position;
    EXPECT_EQ(text_between(c.text, c.start, c.end, position), c.result) << c.name;
    EXPECT_EQ(position, c.position_after) << c.name;
  }
}

TEST(TextBetween, AlternativesTriedInOrderFromTheSamePosition) {
  const MarkerAlternatives markers = {{"<p>", "</p>"}, {"<q>", "</q>"}};
  int position = 1;
  EXPECT_EQ(text_between_any("<q>2</q><p>1</p>", markers, position), "1");
  EXPECT_EQ(position, 17);
  position = 1;
  MarkerCut cut = cut_between_any("<q>2</q>", markers, position);
  EXPECT_EQ(cut.text, "2");
  EXPECT_EQ(cut.pair_index, 1);
  EXPECT_EQ(position, 9);
  position = 1;
  cut = cut_between_any("nothing", markers, position);
  EXPECT_EQ(cut.text, "");
  EXPECT_EQ(cut.pair_index, -1);
  EXPECT_EQ(position, 1);
}

}  // namespace
}  // namespace vd
