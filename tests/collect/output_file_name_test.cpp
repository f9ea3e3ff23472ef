#include "collect/output_file_name.h"

#include <gtest/gtest.h>

#include "text/gbk_literal.h"

namespace vd {
namespace {

using namespace vd::literals;

TEST(FileNameKeyword, SeparatorsBecomeUnderscoresAndNothingElseChanges) {
  const std::pair<std::string, std::string> cases[] = {
      {"外星人"_gbk, "外星人"_gbk},   {"../x", ".._x"},           {"a/b/c", "a_b_c"}, {"..", ".."},
      {"/etc/passwd", "_etc_passwd"}, {"a b:c*?\\", "a b:c*?\\"},  // legal in Linux file names
      {"外/星"_gbk, "外_星"_gbk},
  };
  for (const auto& [keyword, name] : cases) {
    EXPECT_EQ(file_name_keyword(keyword), name) << keyword;
  }
}

TEST(OutputFilePath, DirectoryKeywordDateAndExtension) {
  const DateTime t{2013, 5, 14, 9, 5, 7};
  EXPECT_EQ(output_file_path("/out/", "外星人"_gbk, t, "htm"), "/out/外星人_2013年5月14日9时5分7秒.htm"_gbk);
  EXPECT_EQ(output_file_path("/out/", "../up", DateTime{2013, 5, 14, 0, 0, 0}, "txt"),
            "/out/.._up_2013年5月14日.txt"_gbk);
}

}  // namespace
}  // namespace vd
