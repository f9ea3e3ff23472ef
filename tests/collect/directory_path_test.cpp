#include "collect/directory_path.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/collect/collect_fakes.h"

namespace vd {
namespace {

using namespace vd::literals;
namespace fs = std::filesystem;

TEST(TrailingSeparator, AppendedOnlyWhenMissing) {
  EXPECT_EQ(with_trailing_separator("/a/b"), "/a/b/");
  EXPECT_EQ(with_trailing_separator("/a/b/"), "/a/b/");
  EXPECT_EQ(with_trailing_separator("关键词"_gbk), "关键词/"_gbk);
}

TEST(MakeDirectoryPath, MakesEveryLevelFromTheRoot) {
  test::TempDir dir;
  const std::string path = dir.path() + "/a/" + "外星人"_gbk + "/c/";
  EXPECT_TRUE(make_directory_path(path));
  EXPECT_TRUE(fs::is_directory(dir.path() + "/a/" + gbk_to_utf8("外星人"_gbk) + "/c"));
  EXPECT_TRUE(make_directory_path(path));  // all there already
}

TEST(MakeDirectoryPath, LastLevelNeedsItsSeparatorAndEmptyLevelsArePassedOver) {
  test::TempDir dir;
  EXPECT_TRUE(make_directory_path(dir.path() + "//x//y"));
  EXPECT_TRUE(fs::is_directory(dir.path() + "/x"));
  EXPECT_FALSE(fs::exists(dir.path() + "/x/y"));
}

TEST(MakeDirectoryPath, TwoByteLevelsAreMadeHere) {
  test::TempDir dir;
  const fs::path old = fs::current_path();
  fs::current_path(dir.path());
  const bool made = make_directory_path("ab/c/");
  fs::current_path(old);
  EXPECT_TRUE(made);
  EXPECT_TRUE(fs::is_directory(dir.path() + "/ab/c"));
}

TEST(MakeDirectoryPath, StopsAtALevelThatCannotBeMade) {
  test::TempDir dir;
  ASSERT_TRUE(test::write_file(dir.file("file"), "x"));
  // "file" exists (as a file), so it is passed over; its child cannot be made.
  EXPECT_FALSE(make_directory_path(dir.path() + "/file/sub/deeper/"));
  EXPECT_FALSE(fs::exists(dir.path() + "/file/sub"));
}

}  // namespace
}  // namespace vd
