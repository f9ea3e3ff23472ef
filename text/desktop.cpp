#include "text/desktop.h"

#include <spawn.h>
#include <sys/types.h>
#include <sys/wait.h>

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <system_error>
#include <thread>
#include <vector>

#include "text/encoding.h"
#include "text/gbk_literal.h"

extern char** environ;

namespace vd {

using namespace vd::literals;

namespace {

// With no front end: the message goes to standard output in UTF-8 and is answered with OK.
class ConsoleDesktop final : public Desktop {
 public:
  int show_message(std::string_view text, int /*buttons*/, std::string_view /*title*/) override {
    const std::string utf8 = gbk_to_utf8(text);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    return kAnswerOk;
  }
  std::string clipboard_text() override { return {}; }
};

std::atomic<Desktop*> installed_desktop{nullptr};

ConsoleDesktop& console_desktop() {
  static ConsoleDesktop console;
  return console;
}

// Words split at blanks; a double quote starts or ends a group in which blanks belong to the word. The
// quotes themselves are dropped, and "" gives an empty word.
std::vector<std::string> split_command_line(std::string_view line) {
  std::vector<std::string> words;
  std::string word;
  bool in_word = false;
  bool quoted = false;
  for (char c : line) {
    if (c == '"') {
      quoted = !quoted;
      in_word = true;
    } else if (!quoted && (c == ' ' || c == '\t' || c == '\r' || c == '\n')) {
      if (in_word) words.push_back(std::move(word));
      word.clear();
      in_word = false;
    } else {
      word += c;
      in_word = true;
    }
  }
  if (in_word) words.push_back(std::move(word));
  return words;
}

void wait_for_exit(pid_t pid) {
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
}

// posix_spawn attributes owned for one call.
class SpawnAttributes {
 public:
  SpawnAttributes() { ok_ = ::posix_spawnattr_init(&attributes_) == 0; }
  ~SpawnAttributes() {
    if (ok_) ::posix_spawnattr_destroy(&attributes_);
  }
  SpawnAttributes(const SpawnAttributes&) = delete;
  SpawnAttributes& operator=(const SpawnAttributes&) = delete;

  // The child starts with no blocked signals and SIGPIPE at its default, whatever this process set up
  // for its own network code.
  bool set_clean_signals() {
    if (!ok_) return false;
    sigset_t none;
    sigset_t defaults;
    if (sigemptyset(&none) != 0 || sigemptyset(&defaults) != 0 || sigaddset(&defaults, SIGPIPE) != 0) {
      return false;
    }
    return ::posix_spawnattr_setsigmask(&attributes_, &none) == 0 &&
           ::posix_spawnattr_setsigdefault(&attributes_, &defaults) == 0 &&
           ::posix_spawnattr_setflags(&attributes_, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF) == 0;
  }
  const posix_spawnattr_t* get() const { return &attributes_; }

 private:
  posix_spawnattr_t attributes_;
  bool ok_ = false;
};

}  // namespace

void install_desktop(Desktop* desktop) { installed_desktop.store(desktop); }

Desktop& desktop() {
  Desktop* installed = installed_desktop.load();
  return installed != nullptr ? *installed : console_desktop();
}

int show_message(std::string_view text, int buttons) { return show_message(text, buttons, "信息："_gbk); }

int show_message(std::string_view text, int buttons, std::string_view title) {
  return desktop().show_message(text, buttons, title);
}

std::string clipboard_text() { return desktop().clipboard_text(); }

bool start_program(std::string_view command_line, bool wait, int window_state) {
  // There are no first-window hints to pass on here; the value is only brought into its range.
  window_state = window_state < 1 ? 1 : window_state > 6 ? 6 : window_state;
  (void)window_state;

  if (command_line.find('\0') != std::string_view::npos) return false;
  std::vector<std::string> words = split_command_line(gbk_to_utf8(command_line));
  if (words.empty() || words.front().empty()) return false;
  std::vector<char*> argv;
  argv.reserve(words.size() + 1);
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  SpawnAttributes attributes;
  if (!attributes.set_clean_signals()) return false;
  pid_t pid = 0;
  if (::posix_spawnp(&pid, argv[0], nullptr, attributes.get(), argv.data(), environ) != 0) return false;

  if (wait) {
    wait_for_exit(pid);
    return true;
  }
  // Not waiting: a thread of its own reaps the child, so that no zombie is left behind.
  try {
    std::thread(wait_for_exit, pid).detach();
  } catch (const std::system_error&) {
    // No thread to spare: the child runs on, and is reaped by init once this process ends.
  }
  return true;
}

}  // namespace vd
