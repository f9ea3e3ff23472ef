#include "cli/cli_front_end.h"

#include <unistd.h>

#include <csignal>
#include <cstdio>

#include "text/encoding.h"

namespace vd {
namespace {

std::atomic<int> g_interrupts{0};

extern "C" void on_interrupt(int) {
  if (g_interrupts.fetch_add(1) >= 1) {
    static const char kBye[] = "\ninterrupted\n";
    (void)!write(2, kBye, sizeof kBye - 1);
    _exit(130);
  }
}

}  // namespace

CliControls::CliControls(CliSettings settings, bool quiet, bool terminal)
    : settings_(std::move(settings)), quiet_(quiet), terminal_(terminal) {
  caption_ = "";  // set by the front end before the first click
}

CliControls::~CliControls() { end_line(); }

void CliControls::end_line() {
  if (!line_open_) return;
  std::fputs("\n", stderr);
  std::fflush(stderr);
  line_open_ = false;
}

void CliControls::set_button_caption(std::string_view caption) {
  caption_ = caption;
  if (terminal_) show();
}

void CliControls::set_status(int pane, std::string_view text) {
  if (pane < 0 || pane > 1) return;
  panes_[pane] = text;
  if (quiet_) return;
  if (terminal_) {
    show();
  } else {
    std::fprintf(stderr, "%s\n", gbk_to_utf8(text).c_str());
  }
}

void CliControls::show() {
  if (quiet_) return;
  std::string line = gbk_to_utf8(caption_) + "  " + gbk_to_utf8(panes_[0]) + "  " + gbk_to_utf8(panes_[1]);
  // Keep a rewritten line within a usual terminal's width so that it does not wrap.
  constexpr std::size_t kMaxBytes = 200;
  if (line.size() > kMaxBytes) {
    std::size_t cut = kMaxBytes;
    while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) --cut;
    line.resize(cut);
  }
  std::fprintf(stderr, "\r\033[K%s", line.c_str());
  std::fflush(stderr);
  line_open_ = true;
}

void CliEventPump::pump_events() {
  const int seen = g_interrupts.load();
  if (seen > interrupts_seen_) {
    interrupts_seen_ = seen;
    if (stop_) stop_();
  }
}

bool CliEventPump::wait_for_signal(WorkerSignal& signal, std::chrono::milliseconds timeout) {
  // Wait in short slices so that Ctrl-C reaches the run while a request is on its way.
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (true) {
    const auto now = std::chrono::steady_clock::now();
    const auto slice = std::min(deadline, now + std::chrono::milliseconds(100));
    if (signal.wait_until(slice)) return true;
    pump_events();
    if (std::chrono::steady_clock::now() >= deadline) return signal.is_set();
  }
}

void CliEventPump::install_interrupt_handler() {
  struct sigaction action {};
  action.sa_handler = on_interrupt;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
}

int CliDesktop::show_message(std::string_view text, int buttons, std::string_view title) {
  if (before_message_) before_message_();
  std::string utf8 = gbk_to_utf8(text);
  std::fprintf(stdout, "%s\n", utf8.c_str());
  std::fflush(stdout);
  return kAnswerOk;
}

}  // namespace vd
