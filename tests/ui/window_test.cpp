// The window: its controls, typing rules, paste, settings, help, links, folder and tray handlers.
#include <QAbstractButton>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QtTest>

#include "collect/control_defaults.h"
#include "tests/ui/window_harness.h"
#include "text/gbk_literal.h"
#include "ui/help_text.h"
#include "ui/hyperlink_label.h"
#include "ui/picture_box.h"
#include "ui/qt_text.h"
#include "ui/shell.h"
#include "ui/tray_icon.h"
#include "ui/web_addresses.h"

using namespace vd::literals;
using vd::gbk_to_qstring;
using vd::test::WindowHarness;

namespace {

QString u(const char* utf8) { return QString::fromUtf8(utf8); }

// The file a save writes with the window's defaults, GBK.
std::string default_settings_file() {
  return "[基本]\r\n关键词=外星人┊*┊2012\r\n百度=真\r\n360=假\r\n搜狗=假\r\n谷歌=假\r\n搜索页数=0\r\n保存目录="_gbk +
         vd::control_defaults().output_directory +
         "\r\n扩展名=htm\r\n保存模板=<a href=\"#网址#\" target=\"_blank\">#标题#</a><br>\r\n起始页号=1\r\n"_gbk;
}

QString widget_text(QWidget* w) {
  if (auto* edit = qobject_cast<QPlainTextEdit*>(w)) return edit->toPlainText();
  if (auto* line = qobject_cast<QLineEdit*>(w)) return line->text();
  if (auto* button = qobject_cast<QAbstractButton*>(w)) return button->text();
  if (auto* label = qobject_cast<QLabel*>(w)) return label->text();
  return {};
}

// Types each character as a key press with that text, the way a keyboard or input method delivers it.
void type_text(QWidget* target, const QString& text) {
  for (QChar c : text) {
    int key = c.unicode() < 0x80 ? QChar(c).toUpper().unicode() : int(Qt::Key_unknown);
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(c));
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(c));
    QCoreApplication::sendEvent(target, &press);
    QCoreApplication::sendEvent(target, &release);
  }
}

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { QGuiApplication::clipboard()->clear(); }
  void init() { desktop_.shown.clear(), desktop_.answers.clear(); }

  void controls_data();
  void controls();
  void window_frame();
  void status_bar();

  void typing_rules_data();
  void typing_rules();
  void text_set_by_the_program_is_not_filtered();
  void paste_into_a_box_is_not_filtered();
  void paste_button_replaces_the_keywords();
  void radio_group_switches_the_others_off();

  void close_writes_the_settings_byte_for_byte();
  void settings_are_read_back();
  void loaded_radio_buttons_data();
  void loaded_radio_buttons();
  void pause_is_not_kept();

  void help_and_save_messages();
  void links_open_their_addresses();
  void folder_chooser();
  void file_manager();
  void file_manager_command_data();
  void file_manager_command();

  void tray_toggles_the_window();
  void tray_brings_a_minimised_window_back_centred();
  void tray_exit_question();

 private:
  vd::test::AnsweringDesktop desktop_;
};

void WindowTest::controls_data() {
  QTest::addColumn<QString>("kind");
  QTest::addColumn<QRect>("geometry");
  QTest::addColumn<QString>("text");
  QTest::addColumn<int>("checked");  // -1: not a check button
  QString dir = gbk_to_qstring(vd::control_defaults().output_directory);
  struct Row {
    const char* name;
    const char* kind;
    QRect geometry;
    QString text;
    int checked;
  };
  const Row rows[] = {
      {"图片框官网", "vd::PictureBox", {0, 0, 368, 90}, "", -1},
      {"图片框保存", "vd::PictureBox", {368, 0, 64, 90}, "", -1},
      {"超级链接框保存", "vd::HyperlinkLabel", {0, 63, 63, 24}, u("保存配置"), -1},
      {"图片框更新", "vd::PictureBox", {432, 0, 64, 90}, "", -1},
      {"超级链接框更新", "vd::HyperlinkLabel", {1, 63, 63, 24}, u("查看更新"), -1},
      {"图片框操作", "vd::PictureBox", {496, 0, 64, 90}, "", -1},
      {"超级链接框操作", "vd::HyperlinkLabel", {0, 63, 63, 24}, u("操作帮助"), -1},
      {"图片框软件", "vd::PictureBox", {560, 0, 64, 90}, "", -1},
      {"超级链接框软件", "vd::HyperlinkLabel", {0, 63, 63, 24}, u("更多软件"), -1},
      {"图片框QQ", "vd::PictureBox", {624, 0, 64, 90}, "", -1},
      {"超级链接框QQ", "vd::HyperlinkLabel", {0, 63, 63, 24}, u("呼叫Talvex"), -1},
      {"标签5", "QLabel", {0, 90, 828, 2}, "", -1},
      {"标签2", "QLabel", {16, 112, 72, 20}, u("输入关键词："), -1},
      {"按钮6", "QPushButton", {96, 112, 136, 20}, u("粘贴"), -1},
      {"编辑框关键词", "QPlainTextEdit", {16, 132, 216, 260}, u("外星人\n2012"), -1},
      {"标签4", "QLabel", {264, 116, 56, 24}, u("搜索引擎："), -1},
      {"单选框百度", "QRadioButton", {328, 116, 48, 24}, u("百度"), 1},
      {"单选框360", "QRadioButton", {400, 116, 48, 24}, "360", 0},
      {"单选框搜狗", "QRadioButton", {464, 116, 48, 24}, u("搜狗"), 0},
      {"单选框谷歌", "QRadioButton", {536, 116, 48, 24}, u("谷歌"), 0},
      {"标签8", "QLabel", {264, 156, 72, 24}, u("起始采集页："), -1},
      {"编辑框起始页号", "QLineEdit", {336, 156, 32, 24}, "1", -1},
      {"标签1", "QLabel", {400, 156, 56, 24}, u("采集页数："), -1},
      {"编辑框搜索页数", "QLineEdit", {464, 156, 32, 24}, "0", -1},
      {"标签7", "QLabel", {544, 156, 48, 24}, u("间隔秒："), -1},
      {"编辑框等待毫秒", "QLineEdit", {596, 156, 32, 24}, "1.5", -1},
      {"标签6", "QLabel", {264, 200, 56, 24}, u("保存模板："), -1},
      {"编辑框保存模板",
       "QLineEdit",
       {328, 200, 328, 24},
       u("<a href=\"#网址#\" target=\"_blank\">#标题#</a><br>"),
       -1},
      {"标签3", "QLabel", {264, 240, 56, 24}, u("保存目录："), -1},
      {"编辑框保存目录", "QLineEdit", {328, 240, 256, 24}, dir, -1},
      {"按钮选择", "QPushButton", {585, 240, 32, 24}, "..", -1},
      {"编辑框扩展名", "QLineEdit", {616, 240, 40, 24}, "htm", -1},
      {"按钮立即采集", "QPushButton", {264, 296, 400, 96}, u("开始采集"), -1},
  };
  for (const Row& r : rows) QTest::addRow("%s", r.name) << u(r.kind) << r.geometry << r.text << r.checked;
}

void WindowTest::controls() {
  QFETCH(QString, kind);
  QFETCH(QRect, geometry);
  QFETCH(QString, text);
  QFETCH(int, checked);
  WindowHarness harness;  // no settings file: the form's defaults
  auto* w = harness.window().findChild<QWidget*>(u(QTest::currentDataTag()));
  QVERIFY(w != nullptr);
  QCOMPARE(u(w->metaObject()->className()), kind);
  QCOMPARE(w->geometry(), geometry);
  QCOMPARE(widget_text(w), text);
  if (checked >= 0) QCOMPARE(static_cast<QRadioButton*>(w)->isChecked(), checked == 1);
}

void WindowTest::window_frame() {
  WindowHarness harness;
  vd::MainWindow& window = harness.window();
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  QCOMPARE(window.windowTitle(), u("Talvex·verodero v1.0"));
  // Offscreen windows have no frame, so the client area is the whole outer size.
  QCOMPARE(window.frameGeometry().size(), QSize(693, 463));
  QCOMPARE(window.minimumSize(), window.maximumSize());
  Qt::WindowFlags flags = window.windowFlags();
  QVERIFY(flags.testFlag(Qt::WindowMinimizeButtonHint));
  QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
  QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
  QCOMPARE(window.frameGeometry().center(), QGuiApplication::primaryScreen()->availableGeometry().center());
  QVERIFY(!window.windowIcon().isNull());
  // The fonts the form asks for, by family, at their pixel sizes.
  QCOMPARE(window.编辑框关键词->font().families().first(), u("宋体"));
  QCOMPARE(window.编辑框关键词->font().pixelSize(), 12);
  QCOMPARE(window.超级链接框QQ->font().pixelSize(), 12);
  QFont caption = window.按钮立即采集->font();
  QCOMPARE(caption.families().first(), u("黑体"));
  QCOMPARE(caption.pixelSize(), 56);
  QCOMPARE(caption.weight(), QFont::Bold);
  QCOMPARE(window.图片框QQ->cursor().shape(), Qt::PointingHandCursor);
  QCOMPARE(window.编辑框关键词->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

void WindowTest::status_bar() {
  WindowHarness harness;
  vd::MainWindow& window = harness.window();
  window.show();
  QVERIFY(QTest::qWaitForWindowExposed(&window));
  QCOMPARE(window.状态条->objectName(), u("状态条"));
  QCOMPARE(window.状态条窗格0->text(), u("关键词 页号"));
  QCOMPARE(window.状态条窗格1->text(), u("标题 网址"));
  QCOMPARE(window.状态条窗格0->width(), 200);
  QCOMPARE(window.状态条->geometry().bottom(), window.height() - 1);
  QCOMPARE(window.状态条->width(), window.width());
  window.set_status(0, "就绪"_gbk);
  window.set_status(1, "a<b>"_gbk);
  QCOMPARE(window.状态条窗格0->text(), u("就绪"));
  QCOMPARE(window.状态条窗格1->text(), u("a<b>"));
}

void WindowTest::typing_rules_data() {
  QTest::addColumn<QString>("box");
  QTest::addColumn<QString>("typed");
  QTest::addColumn<QString>("expected");
  QTest::newRow("first page drops letters") << u("编辑框起始页号") << "a1b-2"
                                            << "1-2";
  QTest::newRow("page limit drops the point") << u("编辑框搜索页数") << "2.5"
                                              << "25";
  QTest::newRow("page limit drops wide digits") << u("编辑框搜索页数") << u("３7") << "7";
  QTest::newRow("pause keeps the point") << u("编辑框等待毫秒") << "2.5"
                                         << "2.5";
  QTest::newRow("pause drops a comma and letters") << u("编辑框等待毫秒") << "x1,5e"
                                                   << "15";
  QTest::newRow("extension has no rule") << u("编辑框扩展名") << "t.x-t"
                                         << "t.x-t";
  QTest::newRow("template has no rule") << u("编辑框保存模板") << "#a 1"
                                        << "#a 1";
}

void WindowTest::typing_rules() {
  QFETCH(QString, box);
  QFETCH(QString, typed);
  QFETCH(QString, expected);
  WindowHarness harness;
  auto* edit = harness.window().findChild<QLineEdit*>(box);
  QVERIFY(edit != nullptr);
  edit->clear();
  type_text(edit, typed);
  QCOMPARE(edit->text(), expected);
  // Control keys pass.
  QTest::keyClick(edit, Qt::Key_Backspace);
  QCOMPARE(edit->text(), expected.left(expected.size() - 1));
}

void WindowTest::text_set_by_the_program_is_not_filtered() {
  const std::string file = "[基本]\r\n起始页号=abc\r\n搜索页数=x.y\r\n"_gbk;
  WindowHarness harness(&file);
  QCOMPARE(harness.window().编辑框起始页号->text(), u("abc"));
  QCOMPARE(harness.window().编辑框搜索页数->text(), u("x.y"));
  QCOMPARE(harness.window().first_page_text(), std::string("abc"));
}

void WindowTest::paste_into_a_box_is_not_filtered() {
  WindowHarness harness;
  QLineEdit* box = harness.window().编辑框起始页号;
  box->clear();
  QGuiApplication::clipboard()->setText("x9");
  QTest::keyClick(box, Qt::Key_V, Qt::ControlModifier);
  QCOMPARE(box->text(), u("x9"));
}

void WindowTest::paste_button_replaces_the_keywords() {
  WindowHarness harness;
  vd::MainWindow& window = harness.window();
  window.show();
  QGuiApplication::clipboard()->setText(u("外星人\n2012\n第三行"));
  QTest::mouseClick(window.按钮6, Qt::LeftButton);
  QCOMPARE(window.编辑框关键词->toPlainText(), u("外星人\n2012\n第三行"));
  QCOMPARE(window.keyword_text(), "外星人\r\n2012\r\n第三行"_gbk);

  QGuiApplication::clipboard()->clear();
  QTest::mouseClick(window.按钮6, Qt::LeftButton);
  QCOMPARE(window.编辑框关键词->toPlainText(), QString());
  QCOMPARE(window.keyword_text(), std::string());
}

void WindowTest::radio_group_switches_the_others_off() {
  const std::string file = "[基本]\r\n百度=真\r\n360=真\r\n搜狗=真\r\n"_gbk;
  WindowHarness harness(&file);
  vd::MainWindow& window = harness.window();
  window.show();
  QCOMPARE(window.engine_buttons(), (std::array<bool, 4>{true, true, true, false}));
  QTest::mouseClick(window.单选框谷歌, Qt::LeftButton);
  QCOMPARE(window.engine_buttons(), (std::array<bool, 4>{false, false, false, true}));
  // A click on the button that is on leaves it on.
  QTest::mouseClick(window.单选框谷歌, Qt::LeftButton);
  QCOMPARE(window.engine_buttons(), (std::array<bool, 4>{false, false, false, true}));
}

void WindowTest::close_writes_the_settings_byte_for_byte() {
  WindowHarness harness;
  harness.window().show();
  QVERIFY(harness.window().close());
  QCOMPARE(harness.settings_contents(), default_settings_file());
  QCOMPARE(harness.close_actions, 1);
}

void WindowTest::settings_are_read_back() {
  std::string saved;
  {
    WindowHarness first;
    vd::MainWindow& w = first.window();
    w.set_keyword_text("一\r\n二\r\n\r\n四"_gbk);
    w.单选框搜狗->click();
    w.编辑框搜索页数->setText("7");
    w.编辑框保存目录->setText(u("/tmp/目录 带空格"));
    w.编辑框扩展名->setText("txt");
    w.编辑框保存模板->setText(u("#网址#|#标题#"));
    w.编辑框起始页号->setText("3");
    w.close();
    saved = first.settings_contents();
  }
  QVERIFY(saved.find("关键词=一┊*┊二┊*┊┊*┊四\r\n"_gbk) != std::string::npos);
  WindowHarness second(&saved);
  vd::MainWindow& w = second.window();
  QCOMPARE(w.keyword_text(), "一\r\n二\r\n\r\n四"_gbk);
  QCOMPARE(w.engine_buttons(), (std::array<bool, 4>{false, false, true, false}));
  QCOMPARE(w.编辑框搜索页数->text(), u("7"));
  QCOMPARE(w.编辑框保存目录->text(), u("/tmp/目录 带空格"));
  QCOMPARE(w.编辑框扩展名->text(), u("txt"));
  QCOMPARE(w.编辑框保存模板->text(), u("#网址#|#标题#"));
  QCOMPARE(w.编辑框起始页号->text(), u("3"));
}

void WindowTest::loaded_radio_buttons_data() {
  QTest::addColumn<QString>("file");
  QTest::addColumn<QString>("expected");  // 1 on, 0 off, in the buttons' order
  QTest::newRow("no file") << QString() << "1000";
  QTest::newRow("no section") << u("[其他]\r\n百度=假\r\n") << "1000";
  QTest::newRow("google chosen") << u("[基本]\r\n百度=假\r\n谷歌=真\r\n") << "0001";
  QTest::newRow("all four on") << u("[基本]\r\n百度=真\r\n360=真\r\n搜狗=真\r\n谷歌=真\r\n") << "1111";
  QTest::newRow("none on") << u("[基本]\r\n百度=假\r\n360=假\r\n搜狗=假\r\n谷歌=假\r\n") << "0000";
  QTest::newRow("other words switch off") << u("[基本]\r\n百度=1\r\n360=真\r\n") << "0100";
  QTest::newRow("empty value switches off") << u("[基本]\r\n百度=\r\n") << "0000";
}

void WindowTest::loaded_radio_buttons() {
  QFETCH(QString, file);
  QFETCH(QString, expected);
  std::string bytes = vd::qstring_to_gbk(file);
  WindowHarness harness(file.isNull() ? nullptr : &bytes);
  std::array<bool, 4> states = harness.window().engine_buttons();
  QString got;
  for (bool on : states) got += on ? '1' : '0';
  QCOMPARE(got, expected);
}

void WindowTest::pause_is_not_kept() {
  std::string saved;
  {
    WindowHarness first;
    first.window().编辑框等待毫秒->setText("9");
    first.window().close();
    saved = first.settings_contents();
  }
  QCOMPARE(saved, default_settings_file());
  WindowHarness second(&saved);
  QCOMPARE(second.window().编辑框等待毫秒->text(), u("1.5"));
}

void WindowTest::help_and_save_messages() {
  WindowHarness harness;
  vd::MainWindow& w = harness.window();
  w.show();
  QCOMPARE(vd::help_text().size(), 299u);
  QTest::mouseClick(w.图片框操作, Qt::LeftButton, {}, QPoint(30, 20));
  QTest::mouseClick(w.超级链接框操作, Qt::LeftButton);
  QCOMPARE(desktop_.shown.size(), 2u);  // the label's press does not reach its picture box
  for (const vd::ShownMessage& m : desktop_.shown) {
    QCOMPARE(m.text, gbk_to_qstring(vd::help_text()));
    QCOMPARE(m.title, u("信息："));
    QCOMPARE(m.buttons, int(vd::kButtonsOk));
  }
  const QStringList lines = desktop_.shown[0].text.split(u("\r\n"));
  QCOMPARE(lines.size(), 8);
  QCOMPARE(lines[5], QString());
  QCOMPARE(lines[7], u("右击保存目录的选择按钮“..”可定位该目录"));

  desktop_.shown.clear();
  w.编辑框扩展名->setText("csv");
  QTest::mouseClick(w.图片框保存, Qt::LeftButton, {}, QPoint(30, 20));
  QCOMPARE(desktop_.shown.size(), 1u);
  QCOMPARE(desktop_.shown[0].text, u("保存完毕！"));
  QCOMPARE(desktop_.shown[0].title, u("信息："));
  QVERIFY(harness.settings_contents().find("扩展名=csv\r\n"_gbk) != std::string::npos);
  QTest::mouseClick(w.超级链接框保存, Qt::LeftButton);
  QCOMPARE(desktop_.shown.size(), 2u);
  QVERIFY(harness.shell.opened.isEmpty());
}

void WindowTest::links_open_their_addresses() {
  WindowHarness harness;
  vd::MainWindow& w = harness.window();
  w.show();
  const QPoint inside(30, 20);
  QTest::mouseClick(w.图片框官网, Qt::LeftButton, {}, inside);
  QTest::mouseClick(w.图片框更新, Qt::LeftButton, {}, inside);
  QTest::mouseClick(w.超级链接框更新, Qt::LeftButton);
  QTest::mouseClick(w.图片框软件, Qt::LeftButton, {}, inside);
  QTest::mouseClick(w.超级链接框软件, Qt::LeftButton);
  QTest::mouseClick(w.图片框QQ, Qt::LeftButton, {}, inside);
  QTest::mouseClick(w.超级链接框QQ, Qt::LeftButton);
  const QStringList expected = {vd::kHomePageAddress,     vd::kUpdatePageAddress,   vd::kUpdatePageAddress,
                                vd::kSoftwarePageAddress, vd::kSoftwarePageAddress, vd::kContactPageAddress,
                                vd::kContactPageAddress};
  QCOMPARE(harness.shell.opened, expected);
  // The picture box reads the label's address at the press.
  w.超级链接框更新->set_target("https://verodero.example/elsewhere");
  QTest::mouseClick(w.图片框更新, Qt::LeftButton, {}, inside);
  QCOMPARE(harness.shell.opened.last(), u("https://verodero.example/elsewhere"));
  // A right press opens nothing.
  QTest::mouseClick(w.图片框官网, Qt::RightButton, {}, inside);
  QCOMPARE(harness.shell.opened.size(), expected.size() + 1);
  QVERIFY(desktop_.shown.empty());
}

void WindowTest::folder_chooser() {
  WindowHarness harness;
  vd::MainWindow& w = harness.window();
  w.show();
  w.编辑框保存目录->setText(u("/srv/采集"));
  harness.shell.chosen_folder = u("  /home/用户/结果 ");
  QTest::mouseClick(w.按钮选择, Qt::LeftButton);
  QCOMPARE(harness.shell.chooser_prompt, u("请选择一个文件夹"));
  QCOMPARE(harness.shell.chooser_initial, u("/srv/采集"));
  QCOMPARE(w.编辑框保存目录->text(), u("/home/用户/结果"));

  harness.shell.chosen_folder = QString();  // cancelled
  QTest::mouseClick(w.按钮选择, Qt::LeftButton);
  QCOMPARE(harness.shell.chooser_initial, u("/home/用户/结果"));
  QCOMPARE(w.编辑框保存目录->text(), u("/home/用户/结果"));
  QVERIFY(harness.shell.started.empty());
}

void WindowTest::file_manager() {
  WindowHarness harness;
  vd::MainWindow& w = harness.window();
  w.show();
  w.编辑框保存目录->setText(u("/srv/关键词 采集"));
  QTest::mousePress(w.按钮选择, Qt::RightButton);
  QTest::mouseRelease(w.按钮选择, Qt::RightButton);
  QCOMPARE(harness.shell.started.size(), 1u);
  QCOMPARE(harness.shell.started[0], "xdg-open \"/srv/关键词 采集\""_gbk);
  QVERIFY(harness.shell.chooser_prompt.isEmpty());  // the right button does not open the chooser
}

void WindowTest::file_manager_command_data() {
  QTest::addColumn<QString>("path");
  QTest::addColumn<bool>("open_folder");
  QTest::addColumn<bool>("as_root");
  QTest::addColumn<QString>("expected");
  QTest::newRow("folder") << "/srv/a b" << true << false << "xdg-open \"/srv/a b\"";
  QTest::newRow("empty box") << "" << true << false << "xdg-open \"\"";
  QTest::newRow("program, upper case") << "/opt/tool.EXE" << true << false << "/opt/tool.EXE";
  QTest::newRow("program, lower case") << "/opt/tool.exe" << true << false << "/opt/tool.exe";
  QTest::newRow("program not run without open_folder")
      << "/opt/tool.exe" << false << false << "xdg-open \"/opt/tool.exe\"";
  QTest::newRow("as root cuts the last level") << "/srv/a/b" << true << true << "xdg-open \"/srv/a\"";
  QTest::newRow("as root without a separator") << "name" << false << true << "xdg-open \"name\"";
}

void WindowTest::file_manager_command() {
  QFETCH(QString, path);
  QFETCH(bool, open_folder);
  QFETCH(bool, as_root);
  QFETCH(QString, expected);
  QCOMPARE(gbk_to_qstring(vd::file_manager_command(vd::qstring_to_gbk(path), true, open_folder, as_root)),
           expected);
}

void WindowTest::tray_toggles_the_window() {
  WindowHarness harness;
  vd::MainWindow& w = harness.window();
  QCOMPARE(w.tray().tip(), u("Talvex·verodero - 按关键词采集各大搜索引擎网址！"));
  w.show();
  QVERIFY(QTest::qWaitForWindowExposed(&w));
  w.tray().handle_left_press();
  QVERIFY(!w.isVisible());
  w.tray().handle_left_press();
  QVERIFY(w.isVisible());
  QVERIFY(!w.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
  w.tray().handle_left_press();
  QVERIFY(!w.isVisible());
  QVERIFY(desktop_.shown.empty());
}

void WindowTest::tray_brings_a_minimised_window_back_centred() {
  WindowHarness harness;
  vd::MainWindow& w = harness.window();
  w.show();
  QVERIFY(QTest::qWaitForWindowExposed(&w));
  w.move(5, 5);
  w.showMinimized();
  QVERIFY(w.isVisible());
  w.tray().handle_left_press();
  QVERIFY(!w.isVisible());
  w.tray().handle_left_press();
  QVERIFY(w.isVisible());
  QVERIFY(!w.isMinimized());
  QCOMPARE(w.frameGeometry().center(), QGuiApplication::primaryScreen()->availableGeometry().center());
}

void WindowTest::tray_exit_question() {
  WindowHarness harness;
  vd::MainWindow& w = harness.window();
  w.show();
  desktop_.answers = {vd::kAnswerCancel};
  w.tray().handle_right_press();
  QCOMPARE(harness.exit_actions, 0);
  QVERIFY(w.isVisible());
  desktop_.answers = {vd::kAnswerOk};
  w.tray().handle_right_press();
  QCOMPARE(harness.exit_actions, 1);
  QCOMPARE(desktop_.shown.size(), 2u);
  QCOMPARE(desktop_.shown[0].text, u("确定要退出《Talvex·rovazeve》吗？"));
  QCOMPARE(desktop_.shown[0].title, u("信息："));
  QCOMPARE(desktop_.shown[0].buttons, int(vd::kButtonsOkCancel));
  // Ending from the question does not save.
  QCOMPARE(harness.settings_contents(), std::string());
  QCOMPARE(harness.close_actions, 0);
}

QTEST_MAIN(WindowTest)
#include "window_test.moc"
