// A collection run driven from the window's button against the fixture engine on 127.0.0.1.
#include <dirent.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "tests/support/fixture_engine.h"
#include "tests/ui/window_harness.h"
#include "text/gbk_literal.h"
#include "ui/qt_text.h"
#include "web/connect_to.h"

using namespace vd::literals;
using vd::gbk_to_qstring;
using vd::test::FixtureEngine;
using vd::test::WindowHarness;

namespace {

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

// The files in a folder whose names start with prefix (GBK name as UTF-8 on disk), sorted.
std::vector<std::string> files_starting(const std::string& folder, const std::string& prefix_gbk) {
  std::vector<std::string> found;
  std::string prefix = vd::gbk_to_utf8(prefix_gbk);
  if (DIR* d = opendir(folder.c_str())) {
    while (dirent* e = readdir(d)) {
      if (std::string(e->d_name).rfind(prefix, 0) == 0) found.push_back(folder + "/" + e->d_name);
    }
    closedir(d);
  }
  std::sort(found.begin(), found.end());
  return found;
}

}  // namespace

class WindowRunTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    for (const std::string& entry : engine_.connect_to_all()) QVERIFY(vd::add_connect_to(entry));
  }
  void cleanupTestCase() { vd::clear_connect_to(); }
  void init() { desktop_.shown.clear(); }

  void run_collects_every_keyword();
  void button_stops_a_run();
  void edits_during_a_run_take_effect();
  void closing_during_a_run_stops_it_first();

 private:
  void prepare(vd::MainWindow& w, const WindowHarness& h, const char* keywords, const char* pause) {
    w.编辑框保存目录->setText(QString::fromStdString(h.folder.path()));
    w.set_keyword_text(vd::qstring_to_gbk(u(keywords)));
    w.编辑框等待毫秒->setText(pause);
    w.编辑框保存模板->setText(u("#网址# #标题#"));
    w.show();
  }

  FixtureEngine engine_{vd::test::FixtureOptions{2, 2}};
  vd::test::AnsweringDesktop desktop_;
};

void WindowRunTest::run_collects_every_keyword() {
  WindowHarness h;
  vd::test::RecordingWindow& w = h.window();
  prepare(w, h, " 外星人 \r\n\r\n2012", "0");
  QTest::mouseClick(w.按钮立即采集, Qt::LeftButton);

  const QStringList captions = {u("停止采集"),   u("已采集数 2"), u("已采集数 4"),
                                u("已采集数 6"), u("已采集数 8"), u("开始采集")};
  QCOMPARE(w.captions, captions);
  QCOMPARE(w.状态条窗格0->text(), u("就绪"));
  QVERIFY(w.状态条窗格1->text().startsWith(u("已采集完成！总采集数量 8 耗时 ")));
  QCOMPARE(desktop_.shown.size(), 1u);
  QCOMPARE(desktop_.shown[0].text, w.状态条窗格1->text());
  QCOMPARE(desktop_.shown[0].title, u("信息："));

  for (const std::string& keyword : {"外星人"_gbk, std::string("2012")}) {
    std::vector<std::string> files = files_starting(h.folder.path(), keyword + "_");
    QCOMPARE(files.size(), 1u);
    QCOMPARE(vd::test::read_file(files[0]),
             engine_.expected_file(vd::test::kFixtureBaidu, keyword, 1, 2, "#网址# #标题#"_gbk));
  }
  QCOMPARE(files_starting(h.folder.path(), "").size(), 4u);  // ".", "..", and the two files
}

void WindowRunTest::button_stops_a_run() {
  WindowHarness h;
  vd::test::RecordingWindow& w = h.window();
  prepare(w, h, "外星人\r\n2012", "5");
  // The second click lands in the pause after the first page, handled by the run's own event pumping.
  w.on_caption = [&w](const QString& caption) {
    if (caption == u("已采集数 2")) QTimer::singleShot(0, w.按钮立即采集, [&w] { w.按钮立即采集->click(); });
  };
  QElapsedTimer clock;
  clock.start();
  QTest::mouseClick(w.按钮立即采集, Qt::LeftButton);
  QVERIFY(clock.elapsed() < 4000);  // the five-second pause was cut short

  const QStringList captions = {u("停止采集"), u("已采集数 2"), u("停止采集中"), u("开始采集")};
  QCOMPARE(w.captions, captions);
  QCOMPARE(desktop_.shown.size(), 1u);
  QVERIFY(desktop_.shown[0].text.startsWith(u("已采集完成！总采集数量 2 耗时 ")));
  QCOMPARE(files_starting(h.folder.path(), "外星人_"_gbk).size(), 1u);
  QCOMPARE(files_starting(h.folder.path(), "2012_").size(), 0u);
}

void WindowRunTest::edits_during_a_run_take_effect() {
  WindowHarness h;
  vd::test::RecordingWindow& w = h.window();
  prepare(w, h, "外星人", "0");
  w.on_caption = [&w](const QString& caption) {
    if (caption == u("已采集数 2")) w.编辑框保存模板->setText(u("#标题#"));
  };
  QTest::mouseClick(w.按钮立即采集, Qt::LeftButton);
  std::vector<std::string> files = files_starting(h.folder.path(), "外星人_"_gbk);
  QCOMPARE(files.size(), 1u);
  std::string expected =
      engine_.expected_file(vd::test::kFixtureBaidu, "外星人"_gbk, 1, 1, "#网址# #标题#"_gbk) +
      engine_.expected_file(vd::test::kFixtureBaidu, "外星人"_gbk, 2, 2, "#标题#"_gbk);
  QCOMPARE(vd::test::read_file(files[0]), expected);
}

void WindowRunTest::closing_during_a_run_stops_it_first() {
  WindowHarness h;
  vd::test::RecordingWindow& w = h.window();
  prepare(w, h, "外星人\r\n2012", "5");
  w.on_caption = [&w, &h](const QString& caption) {
    if (caption != u("已采集数 2")) return;
    QTimer::singleShot(0, &w, [&w, &h] {
      w.close();
      // Saved at once; the program's end waits for the run.
      QVERIFY(h.settings_contents().find("保存模板=#网址# #标题#"_gbk) != std::string::npos);
      QCOMPARE(h.close_actions, 0);
    });
  };
  QTest::mouseClick(w.按钮立即采集, Qt::LeftButton);
  QCOMPARE(h.close_actions, 1);
  QCOMPARE(w.captions.last(), u("开始采集"));
  QCOMPARE(files_starting(h.folder.path(), "2012_").size(), 0u);
}

QTEST_MAIN(WindowRunTest)
#include "window_run_test.moc"
