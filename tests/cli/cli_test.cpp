#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_options.h"
#include "cli/keyword_input.h"
#include "tests/cli/cli_process.h"
#include "tests/support/fixture_engine.h"
#include "tests/support/temp_dir.h"
#include "text/encoding.h"
#include "text/gbk_literal.h"

namespace vd {
namespace {

using namespace vd::literals;
using test::FixtureEngine;
using test::FixtureOptions;
using test::CliProcess;
using test::read_file;
using test::run_cli;
using test::TempDir;

constexpr const char* kPlainTemplate = "#网址# #标题#";

// The files in a folder, by name (UTF-8), with their contents.
std::vector<std::pair<std::string, std::string>> files_in(const std::string& folder) {
  std::vector<std::pair<std::string, std::string>> files;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    files.emplace_back(entry.path().filename().string(), read_file(entry.path().string()));
  }
  std::sort(files.begin(), files.end());
  return files;
}

// The one file whose name starts with the keyword (UTF-8) and "_"; empty when there is none.
std::string file_of(const std::string& folder, const std::string& keyword_utf8, std::string* name = nullptr) {
  for (const auto& [file_name, contents] : files_in(folder)) {
    if (file_name.rfind(keyword_utf8 + "_", 0) == 0) {
      if (name != nullptr) *name = file_name;
      return contents;
    }
  }
  return {};
}

std::vector<std::string> engine_args(const FixtureEngine& engine, const TempDir& dir) {
  std::vector<std::string> args = {"-d", dir.path(), "-w", "0", "-t", kPlainTemplate, "-q"};
  for (const std::string& entry : engine.connect_to_all()) {
    args.push_back("--connect-to");
    args.push_back(entry);
  }
  return args;
}

TEST(CliRun, BaiduTwoPagesWriteTheResolvedLinks) {
  FixtureEngine engine;
  TempDir dir;
  std::vector<std::string> args = engine_args(engine, dir);
  args.insert(args.end(), {"-e", "baidu", "-p", "2", "外星人"});
  const test::CliResult result = run_cli(args);
  ASSERT_EQ(result.exit_status, 0) << result.err;

  std::string name;
  EXPECT_EQ(file_of(dir.path(), "外星人", &name),
            engine.expected_file(test::kFixtureBaidu, "外星人"_gbk, 1, 2, "#网址# #标题#"_gbk));
  EXPECT_EQ(name.substr(name.size() - 4), ".htm");
  EXPECT_EQ(result.out.rfind("已采集完成！总采集数量 6 耗时 ", 0), 0u) << result.out;
  // Two pages and one redirect query for each of their three results.
  EXPECT_EQ(engine.server().request_count(), 2u + 6u);
}

class CliEngines : public ::testing::TestWithParam<std::pair<const char*, int>> {};

TEST_P(CliEngines, RunToTheRepeatedPage) {
  const auto [name, kind] = GetParam();
  for (bool utf8 : {false, true}) {
    FixtureEngine engine(FixtureOptions{.pages = 3, .entries = 2, .utf8 = utf8});
    TempDir dir;
    std::vector<std::string> args = engine_args(engine, dir);
    args.insert(args.end(), {"-e", name, "外星人", "2012"});
    const test::CliResult result = run_cli(args);
    ASSERT_EQ(result.exit_status, 0) << result.err;
    for (const auto& keyword : {std::string("外星人"), std::string("2012")}) {
      EXPECT_EQ(file_of(dir.path(), keyword),
                engine.expected_file(kind, utf8_to_gbk(keyword), 1, 0, "#网址# #标题#"_gbk))
          << name << (utf8 ? " utf-8 " : " gbk ") << keyword;
    }
    EXPECT_EQ(files_in(dir.path()).size(), 2u);
  }
}

INSTANTIATE_TEST_SUITE_P(AllEngines, CliEngines,
                         ::testing::Values(std::pair{"baidu", test::kFixtureBaidu},
                                           std::pair{"360", test::kFixture360},
                                           std::pair{"sogou", test::kFixtureSogou},
                                           std::pair{"google", test::kFixtureGoogle}));

TEST(CliRun, KeywordsFromStandardInputAndFirstPageAsTheBoxReadsIt) {
  FixtureEngine engine(FixtureOptions{.pages = 5, .entries = 1});
  TempDir dir;
  std::vector<std::string> args = engine_args(engine, dir);
  // "3x" reads as 3 and the limit 2 is below it: page 3 alone.
  args.insert(args.end(), {"-e", "360", "-f", "3x", "-p", "2", "--keywords", "-"});
  const test::CliResult result = run_cli(args, "  外星人 \r\n\r\n2012\n");
  ASSERT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(file_of(dir.path(), "外星人"), engine.expected_file(test::kFixture360, "外星人"_gbk, 3, 3, "#网址# #标题#"_gbk));
  EXPECT_EQ(file_of(dir.path(), "2012"), engine.expected_file(test::kFixture360, "2012", 3, 3, "#网址# #标题#"_gbk));
  EXPECT_EQ(files_in(dir.path()).size(), 2u);
}

TEST(CliRun, KeywordFileInGbk) {
  FixtureEngine engine(FixtureOptions{.pages = 1, .entries = 1});
  TempDir dir, input;
  const std::string list = input.file("keywords.txt");
  ASSERT_TRUE(test::write_file(list, "外星人"_gbk + "\n"));
  std::vector<std::string> args = engine_args(engine, dir);
  args.insert(args.end(), {"-e", "sogou", "--keywords", list});
  const test::CliResult result = run_cli(args);
  ASSERT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(file_of(dir.path(), "外星人"), engine.expected_file(test::kFixtureSogou, "外星人"_gbk, 1, 1, "#网址# #标题#"_gbk));
}

TEST(CliRun, ProgressGoesToStandardErrorOneLineEach) {
  FixtureEngine engine(FixtureOptions{.pages = 1, .entries = 1});
  TempDir dir;
  std::vector<std::string> args = engine_args(engine, dir);
  args.erase(std::find(args.begin(), args.end(), "-q"));
  args.insert(args.end(), {"-e", "360", "外星人"});
  const test::CliResult result = run_cli(args);
  ASSERT_EQ(result.exit_status, 0) << result.err;
  EXPECT_NE(result.err.find("关键词：外星人(页号：1)\n"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("搜索中......\n"), std::string::npos);
  EXPECT_NE(result.err.find("就绪\n"), std::string::npos);
  EXPECT_EQ(result.out.rfind("已采集完成！总采集数量 1 耗时 ", 0), 0u) << result.out;
}

TEST(CliRun, UnwritableOutputFolderExitsWithOne) {
  FixtureEngine engine(FixtureOptions{.pages = 1, .entries = 1});
  TempDir dir;
  const std::string blocker = dir.file("a-file");
  ASSERT_TRUE(test::write_file(blocker, "x"));
  std::vector<std::string> args = engine_args(engine, dir);
  args.insert(args.end(), {"-e", "360", "-d", blocker + "/sub", "外星人"});
  const test::CliResult result = run_cli(args);
  EXPECT_EQ(result.exit_status, 1) << result.err;
  EXPECT_NE(result.out.find("外星人"), std::string::npos) << "the final text names the lost keyword: " << result.out;
  // The pages were still requested: the first, and the second that repeats it.
  EXPECT_EQ(engine.server().request_count(), 2u);
}

TEST(CliRun, InterruptStopsAfterThePageAndStillReports) {
  FixtureEngine engine(FixtureOptions{.pages = 50, .entries = 1, .delay = std::chrono::milliseconds(200)});
  TempDir dir;
  std::vector<std::string> args = engine_args(engine, dir);
  args.insert(args.end(), {"-e", "360", "外星人", "2012"});
  CliProcess process(args);
  ASSERT_TRUE(engine.server().wait_for_requests(2, std::chrono::seconds(20)));
  process.interrupt();
  const test::CliResult result = process.finish();
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.out.rfind("已采集完成！", 0), 0u) << result.out;
  // The run stopped within the first keyword: no file for the second.
  EXPECT_EQ(files_in(dir.path()).size(), 1u);
  EXPECT_LT(engine.server().request_count(), 10u);
}

TEST(CliRun, SecondInterruptEndsAtOnce) {
  FixtureEngine engine(FixtureOptions{.pages = 50, .entries = 1, .delay = std::chrono::seconds(3)});
  TempDir dir;
  std::vector<std::string> args = engine_args(engine, dir);
  args.insert(args.end(), {"-e", "360", "外星人"});
  CliProcess process(args);
  ASSERT_TRUE(engine.server().wait_for_requests(1, std::chrono::seconds(20)));
  process.interrupt();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  process.interrupt();
  const test::CliResult result = process.finish();
  EXPECT_EQ(result.exit_status, 130);
  EXPECT_EQ(result.out, "");
}

TEST(CliRun, SettingsFileGivesTheDefaultsAndTheLineOverridesThem) {
  FixtureEngine engine(FixtureOptions{.pages = 3, .entries = 1});
  TempDir dir, config;
  const std::string ini = config.file("verodero.ini");
  // Written as the window writes it: GBK, CR LF, two engines on (the first one counts).
  const std::string contents = "[基本]\r\n关键词=甲┊*┊乙\r\n百度=假\r\n360=假\r\n搜狗=真\r\n谷歌=真\r\n"
                               "搜索页数=2\r\n保存目录=/nonexistent\r\n扩展名=txt\r\n"
                               "保存模板=[#标题#]\r\n起始页号=1\r\n"_gbk;
  ASSERT_TRUE(test::write_file(ini, contents));
  std::vector<std::string> args = {"--settings", ini, "-d", dir.path(), "-w", "0", "-q", "-x", "log"};
  for (const std::string& entry : engine.connect_to_all()) args.insert(args.end(), {"--connect-to", entry});
  args.push_back("外星人");
  const test::CliResult result = run_cli(args);
  ASSERT_EQ(result.exit_status, 0) << result.err;
  std::string name;
  EXPECT_EQ(file_of(dir.path(), "外星人", &name),
            engine.expected_file(test::kFixtureSogou, "外星人"_gbk, 1, 2, "[#标题#]"_gbk));
  EXPECT_EQ(name.substr(name.size() - 4), ".log");
  EXPECT_EQ(files_in(dir.path()).size(), 1u) << "keywords come from the line, not the file";

  EXPECT_EQ(run_cli({"--settings", config.file("missing.ini"), "x"}).exit_status, 2);
}

struct BadLine {
  std::vector<std::string> args;
  const char* reason;
};

TEST(CliOptions, BadLinesExitWithTwoAndAReason) {
  const BadLine cases[] = {
      {{"-e", "bing", "x"}, "unknown engine"},
      {{"--frobnicate", "x"}, "unknown option"},
      {{"x", "-p"}, "needs a value"},
      {{}, "no keywords"},
      {{"--connect-to", "nonsense", "x"}, "bad --connect-to"},
      {{"--keywords", "/nonexistent/list.txt"}, "cannot read keyword file"},
  };
  for (const BadLine& c : cases) {
    const test::CliResult result = run_cli(c.args);
    EXPECT_EQ(result.exit_status, 2) << c.reason;
    EXPECT_NE(result.err.find(c.reason), std::string::npos) << result.err;
    EXPECT_NE(result.err.find("usage: verodero-cli"), std::string::npos);
  }
}

TEST(CliOptions, HelpAndVersion) {
  EXPECT_EQ(run_cli({"--help"}).exit_status, 0);
  EXPECT_NE(run_cli({"-h"}).out.find("--connect-to"), std::string::npos);
  EXPECT_EQ(run_cli({"--version"}).out, "verodero-cli 1.0\n");
}

TEST(CliOptions, ValuesStayTextsInGbk) {
  const CliParse parsed = parse_cli_options(
      {"verodero-cli", "-w", "1.5", "--first-page=x", "-t", "#标题#", "--dir", "/tmp/关键词", "外星人", "--", "-p"});
  ASSERT_EQ(parsed.error, "");
  EXPECT_EQ(parsed.options.pause, "1.5");
  EXPECT_EQ(parsed.options.first_page, "x");
  EXPECT_EQ(parsed.options.line_template, "#标题#"_gbk);
  EXPECT_EQ(parsed.options.output_directory, "/tmp/关键词"_gbk);
  EXPECT_EQ(parsed.options.keyword_args, (std::vector<std::string>{"外星人"_gbk, "-p"}));
}

TEST(KeywordInput, LinesJoinedByCrLfAsTheBoxHoldsThem) {
  struct Case {
    std::string bytes;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"a\nb\n", {"a", "b"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"外星人\n", {"外星人"_gbk}},   // valid UTF-8
      {"外星人"_gbk + "\n", {"外星人"_gbk}},  // GBK stays as it is
      {"", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(keyword_file_lines(c.bytes), c.lines) << c.bytes;
  EXPECT_EQ(read_keywords({"x", " y "}, "").text, "x\r\n y ");
}

}  // namespace
}  // namespace vd
