#include "text/desktop.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "tests/support/temp_dir.h"
#include "text/gbk_literal.h"

namespace vd {
namespace {

using namespace vd::literals;
using namespace std::chrono_literals;
using test::read_file;
using test::TempDir;
using test::write_file;

TEST(DefaultDesktop, PrintsTheMessageInUtf8AndAnswersOk) {
  testing::internal::CaptureStdout();
  const int plain = show_message("外星人 ok"_gbk);
  const int with_cancel = show_message("second"_gbk, kButtonsOkCancel, "标题"_gbk);
  const std::string printed = testing::internal::GetCapturedStdout();
  EXPECT_EQ(plain, kAnswerOk);
  EXPECT_EQ(with_cancel, kAnswerOk);
  EXPECT_EQ(printed, "外星人 ok\nsecond\n");
  EXPECT_EQ(clipboard_text(), "");
}

class RecordingDesktop final : public Desktop {
 public:
  int show_message(std::string_view text, int buttons, std::string_view title) override {
    this->text = text;
    this->buttons = buttons;
    this->title = title;
    return kAnswerCancel;
  }
  std::string clipboard_text() override { return "\xCD\xE2"; }
  std::string text;
  int buttons = -1;
  std::string title;
};

TEST(InstalledDesktop, ReceivesMessagesWithTheDefaultTitleUntilRemoved) {
  RecordingDesktop recording;
  install_desktop(&recording);
  EXPECT_EQ(show_message("问题"_gbk, kButtonsOkCancel), kAnswerCancel);
  EXPECT_EQ(recording.text, "问题"_gbk);
  EXPECT_EQ(recording.buttons, kButtonsOkCancel);
  EXPECT_EQ(recording.title, "信息："_gbk);
  EXPECT_EQ(show_message("x", kButtonsOk, "自己的"_gbk), kAnswerCancel);
  EXPECT_EQ(recording.title, "自己的"_gbk);
  EXPECT_EQ(clipboard_text(), "\xCD\xE2");
  EXPECT_EQ(&desktop(), &recording);

  install_desktop(nullptr);
  EXPECT_NE(&desktop(), &recording);
  EXPECT_EQ(clipboard_text(), "");
}

// Programs for the tests are small shell scripts in a temporary folder.
class StartProgramTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(dir.ok()); }

  std::string script(const std::string& name, const std::string& body) {
    const std::string path = dir.file(name);
    EXPECT_TRUE(write_file(path, "#!/bin/sh\n" + body));
    EXPECT_EQ(::chmod(path.c_str(), 0755), 0);
    return path;
  }

  static bool wait_for_file(const std::string& path) {
    for (int i = 0; i < 1000; ++i) {
      if (::access(path.c_str(), F_OK) == 0) return true;
      std::this_thread::sleep_for(10ms);
    }
    return false;
  }

  TempDir dir;
};

TEST_F(StartProgramTest, SplitsTheCommandLineIntoWordsWithQuotesGrouping) {
  const std::string args =
      script("args.sh", "out=$1; shift; for a in \"$@\"; do printf '[%s]' \"$a\"; done > \"$out\"\n");
  const std::string out = dir.file("out");
  struct Case {
    std::string arguments;
    std::string printed;
  };
  const Case cases[] = {
      {"a b  c", "[a][b][c]"},
      {"\"a b\" c", "[a b][c]"},
      {"\"\" x", "[][x]"},
      {"d\"e f\"g", "[de fg]"},
      {"\ttab\t", "[tab]"},
      {"外星人 \"关键 词\""_gbk, "[外星人][关键 词]"},
      {"", ""},
  };
  for (const Case& c : cases) {
    ::unlink(out.c_str());
    EXPECT_TRUE(start_program(args + " " + out + " " + c.arguments, true)) << c.arguments;
    EXPECT_EQ(read_file(out), c.printed) << c.arguments;
  }
}

TEST_F(StartProgramTest, LooksTheProgramUpOnPathAndWaitsForItsEnd) {
  const std::string out = dir.file("waited");
  // Written only at the end of a program that takes a moment; seen at once after a waiting start.
  EXPECT_TRUE(start_program("sh -c \"sleep 0.2; echo done > " + out + "\"", true));
  EXPECT_EQ(read_file(out), "done\n");
}

TEST_F(StartProgramTest, RefusesWhatCannotBeStarted) {
  for (std::string line :
       {std::string(""), std::string("   "), std::string("\"\" x"), dir.file("no-such-program"),
        std::string("verodero-no-such-program-xyz --help"), std::string("sh\0 -c true", 11)}) {
    EXPECT_FALSE(start_program(line, true)) << testing::PrintToString(line);
    EXPECT_FALSE(start_program(line, false)) << testing::PrintToString(line);
  }
  EXPECT_FALSE(start_program(dir.path(), true));  // a folder is no program
}

TEST_F(StartProgramTest, WindowStatesOutsideTheRangeStillStart) {
  for (int state : {-5, 0, 1, 2, 6, 7, 100}) EXPECT_TRUE(start_program("true", true, state)) << state;
}

bool has_zombie_child() {
  const std::string self = std::to_string(::getpid());
  DIR* proc = ::opendir("/proc");
  if (proc == nullptr) return false;
  bool found = false;
  while (const dirent* entry = ::readdir(proc)) {
    std::ifstream stat(std::string("/proc/") + entry->d_name + "/stat");
    std::string line;
    if (!std::getline(stat, line)) continue;
    // pid (comm) state ppid ...; comm may hold blanks, so read after its closing parenthesis.
    const std::size_t close = line.rfind(')');
    if (close == std::string::npos || close + 4 > line.size()) continue;
    const char state = line[close + 2];
    const std::string rest = line.substr(close + 4);
    const std::string parent = rest.substr(0, rest.find(' '));
    if (parent == self && state == 'Z') found = true;
  }
  ::closedir(proc);
  return found;
}

TEST_F(StartProgramTest, WithoutWaitingReturnsWhileTheProgramRunsAndLeavesNoZombie) {
  const std::string go = dir.file("go");
  const std::string out = dir.file("finished");
  // The program cannot end before the test lets it, so the call must have returned without waiting.
  const std::string waiter =
      script("waiter.sh", "while [ ! -e \"$1\" ]; do sleep 0.02; done; echo end > \"$2\"\n");
  ASSERT_TRUE(start_program(waiter + " " + go + " " + out, false));
  EXPECT_FALSE(::access(out.c_str(), F_OK) == 0);
  ASSERT_TRUE(write_file(go, ""));
  ASSERT_TRUE(wait_for_file(out));

  bool zombie = true;
  for (int i = 0; i < 500 && zombie; ++i) {
    zombie = has_zombie_child();
    if (zombie) std::this_thread::sleep_for(10ms);
  }
  EXPECT_FALSE(zombie);
}

}  // namespace
}  // namespace vd
