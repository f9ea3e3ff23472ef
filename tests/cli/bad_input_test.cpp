// The command line over bad input: settings files of garbage, of 20 MB or with a key twice; keywords
// and folders whose files cannot be written.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "tests/cli/cli_process.h"
#include "tests/support/fixture_engine.h"
#include "tests/support/temp_dir.h"
#include "text/encoding.h"
#include "text/gbk_literal.h"

namespace vd {
namespace {

using namespace vd::literals;
using test::FixtureEngine;
using test::run_cli;
using test::TempDir;

std::vector<std::string> file_names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder))
    names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> so_args(const FixtureEngine& engine, const std::string& folder) {
  std::vector<std::string> args = {"-d", folder, "-w", "0", "-q", "-e", "360"};
  for (const std::string& entry : engine.connect_to_all()) {
    args.push_back("--connect-to");
    args.push_back(entry);
  }
  return args;
}

// The extension the run takes from the settings file shows in the file's name.
TEST(CliBadSettings, GarbageHugeOrRepeatedKeys) {
  const std::string section = "[" + "基本"_gbk + "]\r\n";
  const std::string ext = "扩展名"_gbk;
  std::mt19937 random(5);
  std::string garbage(1 << 20, '\0');
  for (char& c : garbage) c = static_cast<char>(random());
  std::string comments;
  while (comments.size() < (20u << 20)) comments += ";" + std::string(1000, 'c') + "\r\n";
  struct Case {
    const char* name;
    std::string contents;
    std::string extension;
  };
  const Case cases[] = {
      {"binary garbage", garbage, ".htm"},
      {"garbage around the section", garbage + "\r\n" + section + ext + "=txt\r\n" + garbage, ".txt"},
      {"20 MB", section + comments + ext + "=csv\r\n", ".csv"},
      {"a key twice", section + ext + "=txt\r\n" + ext + "=htm\r\n", ".txt"},
  };
  FixtureEngine engine(test::FixtureOptions{.pages = 1, .entries = 1});
  for (const Case& c : cases) {
    TempDir dir;
    ASSERT_TRUE(test::write_file(dir.file("settings.ini"), c.contents));
    std::vector<std::string> args = so_args(engine, dir.file("out"));
    args.insert(args.end(), {"--settings", dir.file("settings.ini"), "kw"});
    const test::CliResult result = run_cli(args);
    EXPECT_EQ(result.exit_status, 0) << c.name << ": " << result.err;
    const std::vector<std::string> names = file_names(dir.file("out"));
    ASSERT_EQ(names.size(), 1u) << c.name;
    EXPECT_TRUE(names[0].starts_with("kw_") && names[0].ends_with(c.extension)) << c.name << ": " << names[0];
    // The run never writes the settings file.
    EXPECT_EQ(test::read_file(dir.file("settings.ini")).size(), c.contents.size()) << c.name;
  }
}

// Files that cannot be written end in exit status 1 and a final message naming the keywords; the
// keywords whose files can be written are collected all the same.
TEST(CliBadKeywords, UnwritableFilesAreReportedByNameAndStatus) {
  FixtureEngine engine(test::FixtureOptions{.pages = 1, .entries = 1});
  const std::string long_keyword(300, 'k');
  {
    TempDir dir;
    std::vector<std::string> args = so_args(engine, dir.path());
    args.insert(args.end(), {long_keyword, "..", "/", "", "good"});
    const test::CliResult result = run_cli(args);
    EXPECT_EQ(result.exit_status, 1) << result.err;
    EXPECT_NE(result.out.find("以下关键词的结果未能写入文件：" + long_keyword), std::string::npos)
        << result.out;
    const std::vector<std::string> names = file_names(dir.path());
    ASSERT_EQ(names.size(), 3u);
    EXPECT_TRUE(names[0].starts_with(".._")) << names[0];
    EXPECT_TRUE(names[1].starts_with("__")) << names[1];
    EXPECT_TRUE(names[2].starts_with("good_")) << names[2];
  }
  {
    TempDir dir;
    ASSERT_TRUE(test::write_file(dir.file("plain"), "x"));
    std::vector<std::string> args = so_args(engine, dir.file("plain") + "/out");
    args.insert(args.end(), {"one", "two"});
    const test::CliResult result = run_cli(args);
    EXPECT_EQ(result.exit_status, 1) << result.err;
    EXPECT_NE(result.out.find("以下关键词的结果未能写入文件：one，two"), std::string::npos) << result.out;
    EXPECT_EQ(test::read_file(dir.file("plain")), "x");
  }
}

}  // namespace
}  // namespace vd
