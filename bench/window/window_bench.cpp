// How long the window's event loop goes without handling events while a run waits on a slow engine.
//
//   window_bench [--engine 360|baidu] [--keywords N] [--pages N] [--delay-ms N] [--tick-ms N]
//
// Opens the real window (run it with QT_QPA_PLATFORM=offscreen where there is no display), points it at
// the fixture engine on 127.0.0.1, answering each request after --delay-ms (default 200), and starts a
// run from the start button: --keywords keywords (default 4) of --pages pages (default 3) on 360 Search
// (no redirect queries) or Baidu (ten redirect queries per page, each as slow). A precise timer of
// --tick-ms (default 1) records the time between its firings for as long as the run lasts; a firing
// that comes late means the event loop was busy or blocked for that long. Prints the longest gap, the
// 99th percentile and the median, less the timer's own interval, then what the run collected.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "collect/web_access.h"
#include "tests/support/fixture_engine.h"
#include "tests/support/temp_dir.h"
#include "text/desktop.h"
#include "text/event_pump.h"
#include "text/regex_service.h"
#include "text/settings_file.h"
#include "ui/main_window.h"
#include "ui/qt_desktop.h"
#include "ui/qt_event_pump.h"
#include "ui/qt_text.h"
#include "ui/shell.h"
#include "web/connect_to.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Options {
  bool baidu = false;
  int keywords = 4;
  int pages = 3;
  int delay_ms = 200;
  int tick_ms = 1;
};

bool parse_options(int argc, char** argv, Options& options) {
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) return false;
    const std::string value = argv[++i];
    if (arg == "--engine" && (value == "360" || value == "baidu")) {
      options.baidu = value == "baidu";
      continue;
    }
    char* end = nullptr;
    const long number = std::strtol(value.c_str(), &end, 10);
    if (end == value.c_str() || *end != '\0' || number < 0 || number > 100000) return false;
    if (arg == "--keywords" && number > 0) {
      options.keywords = static_cast<int>(number);
    } else if (arg == "--pages" && number > 0) {
      options.pages = static_cast<int>(number);
    } else if (arg == "--delay-ms") {
      options.delay_ms = static_cast<int>(number);
    } else if (arg == "--tick-ms") {
      options.tick_ms = static_cast<int>(number);
    } else {
      return false;
    }
  }
  return true;
}

// The window's ways out, none of which the benchmark takes.
class NoShell final : public vd::Shell {
 public:
  void open_url(const QString&) override {}
  bool start_program(std::string_view) override { return true; }
  QString choose_folder(const QString&, const QString&) override { return {}; }
};

// The gap at quantile q (0..1) of sorted gaps, nearest rank.
double quantile(const std::vector<double>& sorted, double q) {
  if (sorted.empty()) return 0;
  std::size_t rank = static_cast<std::size_t>(q * static_cast<double>(sorted.size()) + 0.999999);
  rank = std::clamp<std::size_t>(rank, 1, sorted.size());
  return sorted[rank - 1];
}

// Lines written into the files of a folder.
long lines_in_folder(const std::string& folder) {
  long lines = 0;
  const QStringList names = QDir(QString::fromStdString(folder)).entryList(QDir::Files);
  for (const QString& name : names) {
    QFile file(QString::fromStdString(folder) + "/" + name);
    if (!file.open(QIODevice::ReadOnly)) continue;
    lines += file.readAll().count("\r\n");
  }
  return lines;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (!parse_options(argc, argv, options)) {
    std::fprintf(stderr,
                 "usage: window_bench [--engine 360|baidu] [--keywords N] [--pages N] [--delay-ms N] "
                 "[--tick-ms N]\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  vd::test::FixtureOptions fixture;
  fixture.pages = options.pages;
  fixture.entries = 10;
  fixture.delay = std::chrono::milliseconds(options.delay_ms);
  vd::test::FixtureEngine engine(fixture);
  for (const std::string& entry : engine.connect_to_all()) vd::add_connect_to(entry);

  vd::test::TempDir folder;
  if (!folder.ok()) {
    std::fprintf(stderr, "window_bench: no temporary folder\n");
    return 1;
  }
  vd::SettingsFile settings;
  settings.set_file(folder.file("verodero.ini"));
  vd::RegexService titles;
  NoShell shell;
  vd::QtEventPump pump;
  vd::QtDesktop desktop;
  QString final_message;
  desktop.set_answerer([&final_message](const vd::ShownMessage& message) {
    final_message = message.text;
    return static_cast<int>(vd::kAnswerOk);
  });
  vd::install_event_pump(&pump);
  vd::install_desktop(&desktop);

  std::vector<double> gaps_ms;
  Clock::time_point run_start, run_end;
  {
    vd::MainWindow window({settings, titles, vd::network_web_access(), shell});
    window.set_close_action([] {});
    std::string keywords;
    for (int i = 1; i <= options.keywords; ++i) keywords += "keyword" + std::to_string(i) + "\r\n";
    window.set_keyword_text(keywords);
    window.编辑框保存目录->setText(QString::fromStdString(folder.file("out")));
    window.编辑框起始页号->setText("1");
    window.编辑框搜索页数->setText(QString::number(options.pages));
    window.编辑框等待毫秒->setText("0");
    (options.baidu ? window.单选框百度 : window.单选框360)->click();
    window.show();

    // Every firing records the time since the one before; the run goes on inside the click.
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(options.tick_ms);
    Clock::time_point last;
    QObject::connect(&tick, &QTimer::timeout, [&] {
      const Clock::time_point now = Clock::now();
      gaps_ms.push_back(std::chrono::duration<double, std::milli>(now - last).count());
      last = now;
    });
    QTimer::singleShot(0, &window, [&] {
      gaps_ms.reserve(1 << 20);
      last = run_start = Clock::now();
      tick.start();
      window.按钮立即采集->click();  // returns when the run has ended
      tick.stop();
      run_end = Clock::now();
      QApplication::quit();
    });
    QApplication::exec();
  }
  vd::install_desktop(nullptr);
  vd::install_event_pump(nullptr);

  const long lines = lines_in_folder(folder.file("out"));
  const long expected = static_cast<long>(options.keywords) * options.pages * fixture.entries;
  // When, counted from the click, the longest gap ended.
  double longest_at_ms = 0;
  for (double gap : gaps_ms) {
    longest_at_ms += gap;
    if (gap == *std::max_element(gaps_ms.begin(), gaps_ms.end())) break;
  }
  std::vector<double> sorted = gaps_ms;
  std::sort(sorted.begin(), sorted.end());
  const double tick = options.tick_ms;
  const double longest = sorted.empty() ? 0 : std::max(0.0, sorted.back() - tick);
  const double run_s = std::chrono::duration<double>(run_end - run_start).count();
  std::printf("run: %s, %d keywords x %d pages, %d ms per answer, %.2f s, %ld of %ld lines written\n",
              options.baidu ? "Baidu" : "360 Search", options.keywords, options.pages, options.delay_ms,
              run_s, lines, expected);
  std::printf("timer: %d ms, %zu firings\n", options.tick_ms, gaps_ms.size());
  std::printf("longest gap      %.2f ms  (goal: under 50 ms), ending %.0f ms after the click\n", longest,
              longest_at_ms);
  std::printf("99th percentile  %.2f ms\n", std::max(0.0, quantile(sorted, 0.99) - tick));
  std::printf("median           %.2f ms\n", std::max(0.0, quantile(sorted, 0.5) - tick));
  if (lines != expected) {
    std::fprintf(stderr, "window_bench: the run did not collect every page (%s)\n",
                 final_message.toUtf8().constData());
    return 1;
  }
  return 0;
}
