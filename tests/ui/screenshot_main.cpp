// Shows the window with its form defaults on the X display it runs on and saves a picture of the
// screen area it covers. Used by scripts/screenshot.sh under Xvfb; never part of the program.
#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <cstdio>

#include "tests/ui/window_harness.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: verodero_screenshot OUTPUT.png\n");
    return 2;
  }
  const QString output = QString::fromLocal8Bit(argv[1]);
  vd::test::WindowHarness harness;
  vd::MainWindow& window = harness.window();
  window.show();
  int code = 1;
  QTimer::singleShot(1500, [&] {
    QRect frame = window.frameGeometry();
    QPixmap shot = window.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    code = shot.save(output, "PNG") ? 0 : 1;
    QApplication::quit();
  });
  QApplication::exec();
  return code;
}
