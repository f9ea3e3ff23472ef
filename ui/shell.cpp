#include "ui/shell.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QUrl>

#include "text/desktop.h"
#include "text/text_ops.h"

namespace vd {
namespace {

class DesktopShell final : public Shell {
 public:
  void open_url(const QString& address) override { QDesktopServices::openUrl(QUrl(address)); }
  bool start_program(std::string_view command_line) override {
    return vd::start_program(command_line, false);
  }
  QString choose_folder(const QString& prompt, const QString& initial) override {
    // No owner window, as the chooser of the original form; the edit field comes with Qt's dialog.
    return QFileDialog::getExistingDirectory(nullptr, prompt, initial, QFileDialog::ShowDirsOnly);
  }
};

}  // namespace

Shell& desktop_shell() {
  static DesktopShell shell;
  return shell;
}

std::string file_manager_command(std::string_view path, bool new_window, bool open_folder, bool as_root) {
  std::string target(path);
  if (as_root) {
    std::size_t last = target.rfind('/');
    if (last != std::string::npos) target.resize(last);
  }
  if (open_folder && ascii_lower(trailing_bytes(target, 4)) == ".exe") return target;
  return "xdg-open \"" + target + "\"";
}

}  // namespace vd
