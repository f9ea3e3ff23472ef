// verodero-cli when an engine blocks, fails or keeps silent, and with profiles files of the user's.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "collect/engine_profile.h"
#include "collect/profile_file.h"
#include "tests/cli/cli_process.h"
#include "tests/support/fixture_engine.h"
#include "tests/support/http_server.h"
#include "tests/support/temp_dir.h"

namespace vd {
namespace {

using test::FixtureEngine;
using test::FixtureOptions;
using test::HttpReply;
using test::HttpServer;
using test::run_cli;
using test::TempDir;

// The arguments of a run into dir with plain lines and no pause; progress stays on (one line per status
// text, since standard error is not a terminal).
std::vector<std::string> run_args(const TempDir& dir, const std::vector<std::string>& connect_to) {
  std::vector<std::string> args = {"-d", dir.path(), "-w", "0", "-t", "#网址# #标题#"};
  for (const std::string& entry : connect_to) args.insert(args.end(), {"--connect-to", entry});
  return args;
}

std::string only_file(const std::string& folder) {
  std::vector<std::string> contents;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    contents.push_back(test::read_file(entry.path().string()));
  }
  EXPECT_EQ(contents.size(), 1u);
  return contents.empty() ? std::string() : contents[0];
}

bool holds(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A port on 127.0.0.1 that refuses connections: bound, never listening, for the object's life.
class RefusingPort {
 public:
  RefusingPort() {
    fd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
      ADD_FAILURE() << "no port";
      return;
    }
    port_ = ntohs(address.sin_port);
  }
  ~RefusingPort() {
    if (fd_ >= 0) close(fd_);
  }
  RefusingPort(const RefusingPort&) = delete;
  RefusingPort& operator=(const RefusingPort&) = delete;
  int port() const { return port_; }

 private:
  int fd_ = -1;
  int port_ = 0;
};

TEST(CliTrouble, EveryEngineVerificationPageExitsWithThree) {
  FixtureEngine engine(FixtureOptions{.verification = true});
  std::vector<std::string> routes = engine.connect_to_all();
  for (const std::string& entry : engine.connect_to_verification()) routes.push_back(entry);
  for (const char* name : {"baidu", "360", "sogou", "google"}) {
    SCOPED_TRACE(name);
    TempDir dir;
    std::vector<std::string> args = run_args(dir, routes);
    args.insert(args.end(), {"-e", name, "外星人", "2012"});
    const test::CliResult result = run_cli(args);
    EXPECT_EQ(result.exit_status, 3) << result.err;
    EXPECT_TRUE(holds(result.err, "\n搜索引擎要求验证，已停止该关键词\n")) << result.err;
    // The first line stays as it was; the next names both keywords.
    EXPECT_EQ(result.out.rfind("已采集完成！总采集数量 0 耗时 ", 0), 0u) << result.out;
    EXPECT_TRUE(holds(result.out, "\n以下关键词被搜索引擎要求验证：外星人，2012\n")) << result.out;
  }
}

TEST(CliTrouble, RefusedConnectionsAndEmptyBodiesAreReportedAsUnreachable) {
  RefusingPort refusing;
  HttpServer empty;
  empty.otherwise([](const test::HttpRequest&) { return HttpReply::page(""); });
  const std::vector<std::string> routes[] = {
      {"www.so.com:80:127.0.0.1:" + std::to_string(refusing.port())},
      {"www.so.com:80:" + empty.authority()},
  };
  for (const auto& route : routes) {
    SCOPED_TRACE(route[0]);
    TempDir dir;
    std::vector<std::string> args = run_args(dir, route);
    args.insert(args.end(), {"-e", "360", "外星人"});
    const test::CliResult result = run_cli(args);
    EXPECT_EQ(result.exit_status, 3) << result.err;
    EXPECT_TRUE(holds(result.err, "\n网页无法访问\n")) << result.err;
    EXPECT_TRUE(holds(result.out, "\n以下关键词的网页无法访问：外星人\n")) << result.out;
    EXPECT_EQ(only_file(dir.path()), "") << "the keyword's file is still made, empty";
  }
}

TEST(CliTrouble, SilentServerIsATimeOut) {
  HttpServer silent;
  silent.otherwise([](const test::HttpRequest&) { return HttpReply::silent(); });
  TempDir dir;
  std::vector<std::string> args = run_args(dir, {"www.sogou.com:80:" + silent.authority()});
  args.insert(args.end(), {"-e", "sogou", "外星人"});
  const test::CliResult result = run_cli(args);  // waits out the page time-out of 10 seconds
  EXPECT_EQ(result.exit_status, 3) << result.err;
  EXPECT_TRUE(holds(result.err, "\n访问超时\n")) << result.err;
  EXPECT_TRUE(holds(result.out, "\n以下关键词访问超时：外星人\n")) << result.out;
}

TEST(CliTrouble, LostLinesWinOverTroubledPages) {
  RefusingPort refusing;
  TempDir dir;
  const std::string blocker = dir.file("a-file");
  ASSERT_TRUE(test::write_file(blocker, "x"));
  std::vector<std::string> args =
      run_args(dir, {"www.sogou.com:80:127.0.0.1:" + std::to_string(refusing.port())});
  // Sogou refuses, and the file could not have been written anyway.
  std::vector<std::string> second = args;
  second.insert(second.end(), {"-e", "sogou", "-d", blocker + "/sub", "外星人"});
  const test::CliResult both = run_cli(second);
  EXPECT_EQ(both.exit_status, 1) << both.err;
  EXPECT_TRUE(holds(both.out, "\n以下关键词的结果未能写入文件：外星人\n")) << both.out;
  EXPECT_TRUE(holds(both.out, "\n以下关键词的网页无法访问：外星人\n")) << both.out;
}

// A Baidu page whose result list ends with <div id="page" >, which only a moved end marker fits.
HttpReply moved_page() {
  return HttpReply::page(
      "<html><div id=\"content_left\"><h3 class=\"t\"><a href=\"http://a.test/\">A</a></h3>"
      "<h3 class=\"t\"><a href=\"http://b.test/\">B</a></h3></div><div id=\"page\" ><a>2</a></div></html>");
}

TEST(CliProfiles, MovedMarkerFromAProfilesFile) {
  HttpServer server;
  server.otherwise([](const test::HttpRequest&) { return moved_page(); });
  TempDir dir, config;
  const std::string ini = config.file("my engines.ini");
  ASSERT_TRUE(test::write_file(ini, "[baidu]\nblock.end = <div id=\"page\" >\n"));
  const std::vector<std::string> base = run_args(dir, {"www.baidu.com:80:" + server.authority()});

  // An empty profiles file leaves the built-in table, whose end markers do not fit: nothing is collected.
  const std::string empty_ini = config.file("empty.ini");
  ASSERT_TRUE(test::write_file(empty_ini, ""));
  std::vector<std::string> builtin = base;
  builtin.insert(builtin.end(), {"-q", "--profiles", empty_ini, "k"});
  EXPECT_EQ(run_cli(builtin).exit_status, 0);
  EXPECT_EQ(only_file(dir.path()), "");
  std::filesystem::remove_all(dir.path());
  std::filesystem::create_directory(dir.path());

  std::vector<std::string> missing_args = base;
  missing_args.insert(missing_args.end(), {"-q", "--profiles", "/nonexistent/engines.ini", "k"});
  const test::CliResult missing = run_cli(missing_args);
  EXPECT_EQ(missing.exit_status, 2);
  EXPECT_TRUE(holds(missing.err, "cannot read profiles file /nonexistent/engines.ini")) << missing.err;

  std::vector<std::string> moved = base;
  moved.insert(moved.end(), {"-q", "--profiles", ini, "k"});
  const test::CliResult result = run_cli(moved);
  EXPECT_EQ(result.exit_status, 0) << result.err;
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(only_file(dir.path()), "http://a.test/ A\r\nhttp://b.test/ B\r\n");
}

TEST(CliProfiles, BrokenLinesAreNamedOnStandardErrorAndTheRestApplies) {
  HttpServer server;
  server.otherwise([](const test::HttpRequest&) { return moved_page(); });
  TempDir dir, config;
  const std::string ini = config.file("engines.ini");
  ASSERT_TRUE(
      test::write_file(ini, "[baidu]\nblock.end = <div id=\"page\" >\nblok.start = x\nno equals here\n"));
  std::vector<std::string> args = run_args(dir, {"www.baidu.com:80:" + server.authority()});
  args.insert(args.end(), {"-q", "--profiles", ini, "k"});
  const test::CliResult result = run_cli(args);
  EXPECT_EQ(result.exit_status, 0) << result.err;
  // Even with -q: the warnings are not progress.
  EXPECT_EQ(result.err, "verodero-cli: " + ini + ":3: unknown key 'blok.start' (line ignored)\n" +
                            "verodero-cli: " + ini +
                            ":4: broken line, neither [section] nor key = value (line ignored)\n");
  EXPECT_EQ(only_file(dir.path()), "http://a.test/ A\r\nhttp://b.test/ B\r\n");
}

TEST(CliProfiles, PrintedProfilesAreTheBuiltInTableInTheFilesForm) {
  const test::CliResult result = run_cli({"--print-profiles"});
  ASSERT_EQ(result.exit_status, 0) << result.err;
  EXPECT_TRUE(holds(result.out, "[baidu]\n") && holds(result.out, "verify.body = 百度安全验证\n"))
      << result.out;
  const ProfileLoad load = parse_profiles(result.out);
  EXPECT_TRUE(load.warnings.empty()) << profile_warnings_text(load);
  EXPECT_TRUE(load.profiles == engine_profiles());
  EXPECT_TRUE(holds(run_cli({"--help"}).out, "--print-profiles"));
}

}  // namespace
}  // namespace vd
