// The command line's side of a run: the controls over its options, the event pump that turns Ctrl-C into
// a click on the stop button, and the desktop that prints messages.
#pragma once

#include <array>
#include <atomic>
#include <functional>
#include <string>

#include "collect/run_controls.h"
#include "text/desktop.h"
#include "text/event_pump.h"

namespace vd {

// The settled values of every box, GBK.
struct CliSettings {
  std::string keywords;
  std::array<bool, 4> engines{};
  std::string first_page, page_limit, pause, line_template, output_directory, extension;
};

// Status texts go to standard error in UTF-8: on a terminal as one line rewritten in place, otherwise one
// line per change. Nothing is printed when quiet.
class CliControls final : public RunControls {
 public:
  CliControls(CliSettings settings, bool quiet, bool terminal);
  ~CliControls() override;

  std::string output_directory_text() override { return settings_.output_directory; }
  std::string keyword_text() override { return settings_.keywords; }
  std::string first_page_text() override { return settings_.first_page; }
  std::string extension_text() override { return settings_.extension; }
  std::string pause_text() override { return settings_.pause; }
  std::string page_limit_text() override { return settings_.page_limit; }
  std::string template_text() override { return settings_.line_template; }
  std::array<bool, 4> engine_buttons() override { return settings_.engines; }
  std::string button_caption() override { return caption_; }
  void set_button_caption(std::string_view caption) override;
  void set_status(int pane, std::string_view text) override;
  // Ends a progress line left open on the terminal.
  void end_line();

 private:
  void show();
  CliSettings settings_;
  bool quiet_;
  bool terminal_;
  std::string caption_;
  std::string panes_[2];
  bool line_open_ = false;
};

// The first SIGINT asks the run to stop (through `stop`); the second ends the process at once.
class CliEventPump final : public EventPump {
 public:
  explicit CliEventPump(std::function<void()> stop) : stop_(std::move(stop)) {}
  void pump_events() override;
  bool wait_for_signal(WorkerSignal& signal, std::chrono::milliseconds timeout) override;

  static void install_interrupt_handler();

 private:
  std::function<void()> stop_;
  int interrupts_seen_ = 0;
};

// show_message prints the text to standard output in UTF-8 and answers OK.
class CliDesktop final : public Desktop {
 public:
  // before_message runs first, so that an open progress line is ended.
  explicit CliDesktop(std::function<void()> before_message) : before_message_(std::move(before_message)) {}
  int show_message(std::string_view text, int buttons, std::string_view title) override;
  std::string clipboard_text() override { return {}; }

 private:
  std::function<void()> before_message_;
};

}  // namespace vd
