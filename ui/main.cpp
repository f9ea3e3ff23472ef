// verodero: the window. Takes no arguments.
//
// Start-up: the program-wide objects (settings file, regular-expression service), the event pump and
// desktop for the core, the settings file's place, then the window, whose creation sets up the icon,
// loads the settings and gives the service its pattern. Closing the window saves the settings; ending
// from the icon's exit question does not. Both ways end with exit code 0.
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <cstdlib>

#include "collect/web_access.h"
#include "text/desktop.h"
#include "text/event_pump.h"
#include "text/regex_service.h"
#include "text/settings_file.h"
#include "ui/main_window.h"
#include "ui/pictures.h"
#include "ui/profile_report.h"
#include "ui/qt_desktop.h"
#include "ui/qt_event_pump.h"
#include "ui/shell.h"
#include "ui/tray_icon.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationName("verodero");
  QApplication::setDesktopFileName("verodero");
  QApplication::setWindowIcon(vd::window_icon());
  // The window decides when the program ends: after a run in progress has stopped, not at the close.
  QApplication::setQuitOnLastWindowClosed(false);

  vd::SettingsFile settings;
  vd::RegexService titles;
  vd::QtEventPump pump;
  vd::QtDesktop desktop;
  vd::install_event_pump(&pump);
  vd::install_desktop(&desktop);
  settings.set_file(vd::settings_file_path());
  // engines.ini beside the settings file adapts the engines' markers without a new build.
  const std::string profile_warnings =
      vd::profile_warning_message(vd::load_active_profiles(vd::default_profiles_path()));

  int code = 0;
  {
    vd::MainWindow window({settings, titles, vd::network_web_access(), vd::desktop_shell()});
    window.tray().set_exit_action([&window] {
      if (!window.run_active()) {
        QCoreApplication::exit(0);
        return;
      }
      // A run is on the stack below this handler and would go on collecting once it returned: end
      // here. Output lines are written straight to their files, so nothing is lost by not unwinding.
      window.tray().remove();
      std::fflush(nullptr);
      std::_Exit(0);
    });
    window.show();
    if (!profile_warnings.empty()) {
      QTimer::singleShot(0, &window, [&profile_warnings] { vd::show_message(profile_warnings); });
    }
    code = QApplication::exec();
  }

  // The exit routine: release in start-up's reverse order of use.
  vd::install_desktop(nullptr);
  vd::install_event_pump(nullptr);
  titles.release_service();
  return code == 0 ? 0 : code;
}
