// The window's ways out to other programs: the browser, the file manager, the folder chooser.
//
// The window calls them through this interface so that a test can install a recorder in place of the
// real programs and dialogs. Main thread only.
#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace vd {

class Shell {
 public:
  virtual ~Shell() = default;
  // Opens the address in the default browser.
  virtual void open_url(const QString& address) = 0;
  // Starts a GBK command line without waiting for it; true when the program was started.
  virtual bool start_program(std::string_view command_line) = 0;
  // The folder the user chose, or the empty string when they cancelled. Opens at `initial` when that
  // is a folder.
  virtual QString choose_folder(const QString& prompt, const QString& initial) = 0;
};

// The desktop's own browser, programs and folder dialog.
Shell& desktop_shell();

// The command line that shows `path` (GBK) in the file manager, the way open_in_file_manager builds
// it: with as_root the path is cut before its last separator; with open_folder a path ending in ".exe"
// (any case) is itself the command line; otherwise the desktop's opener with the path in double quotes.
// new_window has no counterpart in the opener and is accepted for the same call shape.
std::string file_manager_command(std::string_view path, bool new_window, bool open_folder, bool as_root);

}  // namespace vd
