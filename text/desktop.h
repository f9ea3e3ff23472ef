// Message boxes, starting programs and the clipboard: the front end's side of the system.
//
// The window installs a Desktop that shows real message boxes and reads Qt's clipboard; the command line
// installs one that prints. With none installed, messages go to standard output and are answered with OK.
#pragma once

#include <string>
#include <string_view>

namespace vd {

enum MessageButtons { kButtonsOk = 0, kButtonsOkCancel = 1 };
enum MessageAnswer {
  kAnswerOk = 0,
  kAnswerCancel = 1,
  kAnswerAbort = 2,
  kAnswerRetry = 3,
  kAnswerIgnore = 4,
  kAnswerYes = 5,
  kAnswerNo = 6
};

class Desktop {
 public:
  virtual ~Desktop() = default;
  // text and title are GBK. Returns the button pressed; closing answers Cancel when there is one, else OK.
  virtual int show_message(std::string_view text, int buttons, std::string_view title) = 0;
  // The clipboard's plain text in GBK, empty when there is none.
  virtual std::string clipboard_text() = 0;
};

void install_desktop(Desktop* desktop);
Desktop& desktop();

// The title defaults to "信息：".
int show_message(std::string_view text, int buttons = kButtonsOk);
int show_message(std::string_view text, int buttons, std::string_view title);
std::string clipboard_text();

// Starts a GBK command line (first word: the program, looked up on PATH). The line is split into words at
// blanks; double quotes group blanks into a word and are dropped ("" is an empty word). No shell is
// involved. With wait true blocks until it ends (no events are handled); otherwise returns as soon as the
// process exists, and a background thread reaps it when it ends. True when the process was created; its
// exit code is not looked at. The window state (1-6, clipped) is a hint a desktop may ignore; this one
// does. Any thread.
bool start_program(std::string_view command_line, bool wait, int window_state = 2);

}  // namespace vd
