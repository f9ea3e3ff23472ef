#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "tests/cli/cli_process.h"
#include "tests/support/fixture_engine.h"
#include "tests/support/temp_dir.h"
#include "text/gbk_literal.h"

namespace vd {
namespace {

using namespace vd::literals;

TEST(CliParallelRedirects, CountsFromOneToSixtyFour) {
  struct Case {
    std::vector<std::string> args;
    int count;  // 0: refused
  };
  const Case cases[] = {
      {{}, 1},
      {{"--parallel-redirects", "10"}, 10},
      {{"--parallel-redirects=1"}, 1},
      {{"--parallel-redirects", "64"}, 64},
      {{"--parallel-redirects", "010"}, 10},
      {{"--parallel-redirects", "0"}, 0},
      {{"--parallel-redirects", "65"}, 0},
      {{"--parallel-redirects", "-4"}, 0},
      {{"--parallel-redirects", "+4"}, 0},
      {{"--parallel-redirects", "4x"}, 0},
      {{"--parallel-redirects", "2.5"}, 0},
      {{"--parallel-redirects", " 4"}, 0},
      {{"--parallel-redirects="}, 0},
      {{"--parallel-redirects", "99999999999999999999"}, 0},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"verodero-cli"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    args.push_back("k");
    const CliParse parsed = parse_cli_options(args);
    if (c.count == 0) {
      EXPECT_NE(parsed.error.find("bad --parallel-redirects"), std::string::npos) << args[1];
    } else {
      EXPECT_EQ(parsed.error, "") << args.size();
      EXPECT_EQ(parsed.options.parallel_redirects, c.count);
    }
  }
}

TEST(CliParallelRedirects, ABadCountExitsWithTwoAndItsReason) {
  const test::CliResult result = test::run_cli({"--parallel-redirects", "zero", "k"});
  EXPECT_EQ(result.exit_status, 2);
  EXPECT_NE(result.err.find("bad --parallel-redirects 'zero' (a whole number from 1 to 64)"),
            std::string::npos)
      << result.err;
  EXPECT_NE(test::run_cli({"--help"}).out.find("--parallel-redirects N"), std::string::npos);
}

TEST(CliParallelRedirects, TheSameFileAsOneAfterAnother) {
  test::FixtureEngine engine(test::FixtureOptions{.pages = 2, .entries = 5});
  test::TempDir dir;
  const test::CliResult result =
      test::run_cli({"-d", dir.path(), "-w", "0", "-t", "#网址# #标题#", "-q", "--connect-to",
                     engine.connect_to("www.baidu.com"), "--parallel-redirects", "5", "外星人"});
  ASSERT_EQ(result.exit_status, 0) << result.err;
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    files.push_back(test::read_file(entry.path().string()));
  ASSERT_EQ(files.size(), 1u);
  EXPECT_EQ(files[0], engine.expected_file(test::kFixtureBaidu, "外星人"_gbk, 1, 0, "#网址# #标题#"_gbk));
  EXPECT_EQ(engine.server().request_count(), 3u + 15u);
}

}  // namespace
}  // namespace vd
