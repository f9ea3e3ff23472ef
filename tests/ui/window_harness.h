// A window under test: its own settings file in a temporary folder, a recording shell, and a desktop
// whose message boxes are answered by the test (OK unless an answer is queued).
#pragma once

#include <QString>
#include <QStringList>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "collect/web_access.h"
#include "tests/support/temp_dir.h"
#include "text/regex_service.h"
#include "text/settings_file.h"
#include "ui/main_window.h"
#include "ui/qt_desktop.h"
#include "ui/qt_event_pump.h"
#include "ui/shell.h"

namespace vd::test {

class RecordingShell final : public Shell {
 public:
  void open_url(const QString& address) override { opened.push_back(address); }
  bool start_program(std::string_view command_line) override {
    started.emplace_back(command_line);
    return true;
  }
  QString choose_folder(const QString& prompt, const QString& initial) override {
    chooser_prompt = prompt;
    chooser_initial = initial;
    return chosen_folder;
  }

  QStringList opened;
  std::vector<std::string> started;
  QString chooser_prompt, chooser_initial, chosen_folder;
};

// Installs the Qt pump and an answering desktop for the process; one per test program.
class AnsweringDesktop {
 public:
  AnsweringDesktop();
  ~AnsweringDesktop();

  std::vector<ShownMessage> shown;
  std::deque<int> answers;  // taken front first; OK when empty

 private:
  QtDesktop desktop_;
  QtEventPump pump_;
};

// The window records every caption the run sets, in order.
class RecordingWindow : public MainWindow {
 public:
  using MainWindow::MainWindow;
  void set_button_caption(std::string_view caption) override;

  QStringList captions;
  std::function<void(const QString&)> on_caption;
};

class WindowHarness {
 public:
  // settings_contents, when given, is written to the settings file before the window is made.
  explicit WindowHarness(const std::string* settings_contents = nullptr, WebAccess* web = nullptr);
  ~WindowHarness();

  RecordingWindow& window() { return *window_; }
  std::string settings_path() const { return folder.file("verodero.ini"); }
  std::string settings_contents() const { return read_file(settings_path()); }

  TempDir folder;
  SettingsFile settings;
  RegexService titles;
  RecordingShell shell;
  int close_actions = 0;
  int exit_actions = 0;

 private:
  std::unique_ptr<RecordingWindow> window_;
};

}  // namespace vd::test
