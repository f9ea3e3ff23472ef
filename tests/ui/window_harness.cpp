#include "tests/ui/window_harness.h"

#include "text/desktop.h"
#include "text/event_pump.h"
#include "ui/qt_text.h"
#include "ui/tray_icon.h"

namespace vd::test {

AnsweringDesktop::AnsweringDesktop() {
  desktop_.set_answerer([this](const ShownMessage& message) {
    shown.push_back(message);
    if (answers.empty()) return static_cast<int>(kAnswerOk);
    int answer = answers.front();
    answers.pop_front();
    return answer;
  });
  install_desktop(&desktop_);
  install_event_pump(&pump_);
}

AnsweringDesktop::~AnsweringDesktop() {
  install_event_pump(nullptr);
  install_desktop(nullptr);
}

void RecordingWindow::set_button_caption(std::string_view caption) {
  MainWindow::set_button_caption(caption);
  captions << gbk_to_qstring(caption);
  if (on_caption) on_caption(captions.back());
}

WindowHarness::WindowHarness(const std::string* settings_contents, WebAccess* web) {
  settings.set_file(settings_path());
  if (settings_contents != nullptr) write_file(settings_path(), *settings_contents);
  window_ = std::make_unique<RecordingWindow>(
      WindowServices{settings, titles, web != nullptr ? *web : network_web_access(), shell});
  window_->set_close_action([this] { ++close_actions; });
  window_->tray().set_exit_action([this] { ++exit_actions; });
}

WindowHarness::~WindowHarness() = default;

}  // namespace vd::test
