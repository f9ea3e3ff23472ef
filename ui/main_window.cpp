#include "ui/main_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>

#include "collect/control_defaults.h"
#include "text/desktop.h"
#include "text/gbk_literal.h"
#include "text/regex_service.h"
#include "text/settings_file.h"
#include "text/text_ops.h"
#include "ui/help_text.h"
#include "ui/hyperlink_label.h"
#include "ui/picture_box.h"
#include "ui/pictures.h"
#include "ui/qt_text.h"
#include "ui/shell.h"
#include "ui/tray_icon.h"
#include "ui/typing_filter.h"
#include "ui/web_addresses.h"
#include "ui/window_fonts.h"

namespace vd {

using namespace vd::literals;

namespace {

template <typename Widget>
Widget* place(Widget* widget, const char* name, int x, int y, int w, int h) {
  widget->setObjectName(QString::fromUtf8(name));
  widget->setGeometry(x, y, w, h);
  return widget;
}

QString utf8(const char* text) { return QString::fromUtf8(text); }

QLineEdit* centred(QLineEdit* box) {
  box->setAlignment(Qt::AlignCenter);
  return box;
}

}  // namespace

MainWindow::MainWindow(WindowServices services)
    : services_(services),
      run_(*this, services.titles, services.web),
      close_action_([] { QCoreApplication::quit(); }) {
  setWindowTitle(utf8("Talvex·verodero v1.0"));
  setWindowIcon(window_icon());
  // A fixed frame with minimise and close, no maximise.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setFont(song_font());

  auto* area = new QWidget(this);
  area->setObjectName("client");
  setCentralWidget(area);
  build_top_row(area);
  build_controls(area);
  build_status_bar();
  setFixedSize(kOuterWidth, kOuterHeight);
  centre_on_primary_screen(*this);
  connect_events();
  window_created();
}

MainWindow::~MainWindow() = default;

void MainWindow::build_top_row(QWidget* area) {
  Shell& shell = services_.shell;
  图片框官网 = place(new PictureBox(area), "图片框官网", 0, 0, 368, 90);
  图片框官网->setPixmap(banner_picture());

  struct Small {
    PictureBox*& box;
    HyperlinkLabel*& label;
    const char* box_name;
    const char* label_name;
    int x;
    int label_x;
    const char* caption;
    const char* target;
    QPixmap (*picture)();
  };
  const Small row[] = {
      {图片框保存, 超级链接框保存, "图片框保存", "超级链接框保存", 368, 0, "保存配置", "", save_picture},
      {图片框更新, 超级链接框更新, "图片框更新", "超级链接框更新", 432, 1, "查看更新", kUpdatePageAddress,
       update_picture},
      {图片框操作, 超级链接框操作, "图片框操作", "超级链接框操作", 496, 0, "操作帮助", "", help_picture},
      {图片框软件, 超级链接框软件, "图片框软件", "超级链接框软件", 560, 0, "更多软件", kSoftwarePageAddress,
       software_picture},
      {图片框QQ, 超级链接框QQ, "图片框QQ", "超级链接框QQ", 624, 0, "呼叫Talvex", kContactPageAddress,
       contact_picture},
  };
  for (const Small& s : row) {
    s.box = place(new PictureBox(area), s.box_name, s.x, 0, 64, 90);
    s.box->setPixmap(s.picture());
    s.label = place(new HyperlinkLabel(utf8(s.caption), shell, s.box), s.label_name, s.label_x, 63, 63, 24);
    s.label->set_target(QString::fromUtf8(s.target));
  }

  标签5 = place(new QLabel(area), "标签5", 0, 90, 828, 2);
  标签5->setFrameStyle(QFrame::HLine | QFrame::Sunken);
}

void MainWindow::build_controls(QWidget* area) {
  const ControlDefaults& d = control_defaults();
  标签2 = place(new QLabel(utf8("输入关键词："), area), "标签2", 16, 112, 72, 20);
  标签2->setFont(song_font());
  按钮6 = place(new QPushButton(utf8("粘贴"), area), "按钮6", 96, 112, 136, 20);
  编辑框关键词 = place(new QPlainTextEdit(area), "编辑框关键词", 16, 132, 216, 260);
  编辑框关键词->setFont(song_font());
  编辑框关键词->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  编辑框关键词->setLineWrapMode(QPlainTextEdit::NoWrap);
  set_keyword_text(d.keywords);

  标签4 = place(new QLabel(utf8("搜索引擎："), area), "标签4", 264, 116, 56, 24);
  单选框百度 = place(new QRadioButton(utf8("百度"), area), "单选框百度", 328, 116, 48, 24);
  单选框360 = place(new QRadioButton(utf8("360"), area), "单选框360", 400, 116, 48, 24);
  单选框搜狗 = place(new QRadioButton(utf8("搜狗"), area), "单选框搜狗", 464, 116, 48, 24);
  单选框谷歌 = place(new QRadioButton(utf8("谷歌"), area), "单选框谷歌", 536, 116, 48, 24);
  for (int i = 0; i < 4; ++i) {
    // The group's exclusivity is ours (engine_clicked): the program sets states one by one and may leave
    // several buttons on, or none, which Qt's own exclusive group would refuse.
    engine_button(i)->setAutoExclusive(false);
    engine_button(i)->setChecked(d.engines[i]);
  }

  标签8 = place(new QLabel(utf8("起始采集页："), area), "标签8", 264, 156, 72, 24);
  编辑框起始页号 =
      centred(place(new QLineEdit(gbk_to_qstring(d.first_page), area), "编辑框起始页号", 336, 156, 32, 24));
  标签1 = place(new QLabel(utf8("采集页数："), area), "标签1", 400, 156, 56, 24);
  编辑框搜索页数 =
      centred(place(new QLineEdit(gbk_to_qstring(d.page_limit), area), "编辑框搜索页数", 464, 156, 32, 24));
  标签7 = place(new QLabel(utf8("间隔秒："), area), "标签7", 544, 156, 48, 24);
  编辑框等待毫秒 =
      centred(place(new QLineEdit(gbk_to_qstring(d.pause), area), "编辑框等待毫秒", 596, 156, 32, 24));
  编辑框起始页号->installEventFilter(TypingFilter::integer_typing(编辑框起始页号));
  编辑框搜索页数->installEventFilter(TypingFilter::integer_typing(编辑框搜索页数));
  编辑框等待毫秒->installEventFilter(TypingFilter::decimal_typing(编辑框等待毫秒));

  标签6 = place(new QLabel(utf8("保存模板："), area), "标签6", 264, 200, 56, 24);
  编辑框保存模板 =
      place(new QLineEdit(gbk_to_qstring(d.line_template), area), "编辑框保存模板", 328, 200, 328, 24);
  标签3 = place(new QLabel(utf8("保存目录："), area), "标签3", 264, 240, 56, 24);
  编辑框保存目录 =
      place(new QLineEdit(gbk_to_qstring(d.output_directory), area), "编辑框保存目录", 328, 240, 256, 24);
  按钮选择 = place(new QPushButton("..", area), "按钮选择", 585, 240, 32, 24);
  编辑框扩展名 =
      centred(place(new QLineEdit(gbk_to_qstring(d.extension), area), "编辑框扩展名", 616, 240, 40, 24));

  按钮立即采集 = place(new QPushButton(utf8("开始采集"), area), "按钮立即采集", 264, 296, 400, 96);
  按钮立即采集->setFont(hei_font(56, true));
}

void MainWindow::build_status_bar() {
  状态条 = new QStatusBar(this);
  状态条->setObjectName(utf8("状态条"));
  状态条->setSizeGripEnabled(false);
  状态条->setFont(song_font());
  状态条窗格0 = new QLabel(utf8("关键词 页号"), 状态条);
  状态条窗格0->setObjectName(utf8("状态条窗格0"));
  状态条窗格0->setFixedWidth(200);
  状态条窗格1 = new QLabel(utf8("标题 网址"), 状态条);
  状态条窗格1->setObjectName(utf8("状态条窗格1"));
  for (QLabel* pane : {状态条窗格0, 状态条窗格1}) {
    pane->setFont(song_font());
    pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pane->setTextFormat(Qt::PlainText);
  }
  状态条->addWidget(状态条窗格0);
  状态条->addWidget(状态条窗格1, 1);
  setStatusBar(状态条);
}

void MainWindow::connect_events() {
  connect(按钮立即采集, &QPushButton::clicked, this, &MainWindow::start_or_stop);
  connect(按钮6, &QPushButton::clicked, this, &MainWindow::paste_keywords);
  connect(按钮选择, &QPushButton::clicked, this, &MainWindow::choose_output_folder);
  按钮选择->installEventFilter(this);
  for (int i = 0; i < 4; ++i) {
    QRadioButton* button = engine_button(i);
    connect(button, &QRadioButton::clicked, this, [this, button] { engine_clicked(button); });
  }

  connect(图片框官网, &PictureBox::left_pressed, this, [this] { open_in_browser_window(kHomePageAddress); });
  connect(图片框保存, &PictureBox::left_pressed, this, &MainWindow::save_and_report);
  connect(超级链接框保存, &HyperlinkLabel::left_pressed, this, &MainWindow::save_and_report);
  connect(图片框操作, &PictureBox::left_pressed, this, &MainWindow::show_help);
  connect(超级链接框操作, &HyperlinkLabel::left_pressed, this, &MainWindow::show_help);
  // The picture boxes read their label's address at the press: the label is the one holder.
  const std::pair<PictureBox*, HyperlinkLabel*> linked[] = {
      {图片框更新, 超级链接框更新}, {图片框软件, 超级链接框软件}, {图片框QQ, 超级链接框QQ}};
  for (auto [box, label] : linked) {
    connect(box, &PictureBox::left_pressed, this,
            [this, label = label] { open_in_browser_window(label->target()); });
  }
}

void MainWindow::window_created() {
  tray_ = new TrayIcon(*this, windowIcon(), "Talvex·verodero - 按关键词采集各大搜索引擎网址！"_gbk);
  load_settings();
  services_.titles.set_pattern(markup_pattern());
}

QRadioButton* MainWindow::engine_button(int index) const {
  QRadioButton* const buttons[] = {单选框百度, 单选框360, 单选框搜狗, 单选框谷歌};
  return buttons[index];
}

void MainWindow::engine_clicked(QRadioButton* chosen) {
  for (int i = 0; i < 4; ++i) engine_button(i)->setChecked(engine_button(i) == chosen);
}

// RunControls ---------------------------------------------------------------------------------------

std::string MainWindow::output_directory_text() { return qstring_to_gbk(编辑框保存目录->text()); }

std::string MainWindow::keyword_text() {
  QString text = 编辑框关键词->toPlainText();
  text.replace(QChar('\n'), QStringLiteral("\r\n"));
  return qstring_to_gbk(text);
}

void MainWindow::set_keyword_text(std::string_view gbk) {
  QString text = gbk_to_qstring(gbk);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  编辑框关键词->setPlainText(text);
}

std::string MainWindow::first_page_text() { return qstring_to_gbk(编辑框起始页号->text()); }
std::string MainWindow::extension_text() { return qstring_to_gbk(编辑框扩展名->text()); }
std::string MainWindow::pause_text() { return qstring_to_gbk(编辑框等待毫秒->text()); }
std::string MainWindow::page_limit_text() { return qstring_to_gbk(编辑框搜索页数->text()); }
std::string MainWindow::template_text() { return qstring_to_gbk(编辑框保存模板->text()); }

std::array<bool, 4> MainWindow::engine_buttons() {
  return {单选框百度->isChecked(), 单选框360->isChecked(), 单选框搜狗->isChecked(), 单选框谷歌->isChecked()};
}

std::string MainWindow::button_caption() { return qstring_to_gbk(按钮立即采集->text()); }

void MainWindow::set_button_caption(std::string_view caption) {
  按钮立即采集->setText(gbk_to_qstring(caption));
}

void MainWindow::set_status(int pane, std::string_view text) {
  if (pane == 0) 状态条窗格0->setText(gbk_to_qstring(text));
  if (pane == 1) 状态条窗格1->setText(gbk_to_qstring(text));
}

// Settings ------------------------------------------------------------------------------------------

void MainWindow::load_settings() {
  SettingsFile& file = services_.settings;
  const auto& keys = settings_keys();
  file.set_section(settings_section());
  set_keyword_text(file.read_text(keys[kKeyKeywords], keyword_text()));
  // Each button on its own, under its caption: a file may leave several on, or none.
  for (int i = 0; i < 4; ++i) {
    QRadioButton* button = engine_button(i);
    button->setChecked(file.read_option(qstring_to_gbk(button->text()), button->isChecked()));
  }
  const std::pair<QLineEdit*, SettingsKey> boxes[] = {{编辑框搜索页数, kKeyPageLimit},
                                                      {编辑框保存目录, kKeyOutputDirectory},
                                                      {编辑框扩展名, kKeyExtension},
                                                      {编辑框起始页号, kKeyFirstPage},
                                                      {编辑框保存模板, kKeyTemplate}};
  for (auto [box, key] : boxes) {
    box->setText(gbk_to_qstring(file.read_text(keys[key], qstring_to_gbk(box->text()))));
  }
}

void MainWindow::save_settings() {
  SettingsFile& file = services_.settings;
  const auto& keys = settings_keys();
  file.set_section(settings_section());
  file.write_text(keys[kKeyKeywords], keyword_text());
  for (int i = 0; i < 4; ++i) {
    QRadioButton* button = engine_button(i);
    file.write_option(qstring_to_gbk(button->text()), button->isChecked());
  }
  const std::pair<QLineEdit*, SettingsKey> boxes[] = {{编辑框搜索页数, kKeyPageLimit},
                                                      {编辑框保存目录, kKeyOutputDirectory},
                                                      {编辑框扩展名, kKeyExtension},
                                                      {编辑框保存模板, kKeyTemplate},
                                                      {编辑框起始页号, kKeyFirstPage}};
  for (auto [box, key] : boxes) file.write_text(keys[key], qstring_to_gbk(box->text()));
}

// Event handlers ------------------------------------------------------------------------------------

void MainWindow::start_or_stop() {
  ++run_depth_;
  run_.on_button_clicked();
  --run_depth_;
  if (run_depth_ == 0 && quit_after_run_) {
    quit_after_run_ = false;
    if (close_action_) close_action_();
  }
}

void MainWindow::paste_keywords() { set_keyword_text(clipboard_text()); }

void MainWindow::choose_output_folder() {
  QString chosen = services_.shell.choose_folder(utf8("请选择一个文件夹"), 编辑框保存目录->text());
  std::string folder = trim_spaces(qstring_to_gbk(chosen));
  if (!folder.empty()) 编辑框保存目录->setText(gbk_to_qstring(folder));
}

void MainWindow::open_output_folder() {
  services_.shell.start_program(file_manager_command(output_directory_text(), true, true, false));
}

void MainWindow::save_and_report() {
  save_settings();
  show_message("保存完毕！"_gbk);
}

void MainWindow::show_help() { show_message(help_text()); }

void MainWindow::open_in_browser_window(const QString& address) {
  if (!address.isEmpty()) services_.shell.open_url(address);
}

// Window events -------------------------------------------------------------------------------------

void MainWindow::closeEvent(QCloseEvent* event) {
  save_settings();
  tray_->remove();
  event->accept();
  if (run_active()) {
    // The window goes now; the program ends once the page in progress is done and the run has stopped.
    if (button_caption() != "开始采集"_gbk && !run_.stop_requested()) start_or_stop();
    quit_after_run_ = true;
    return;
  }
  if (close_action_) close_action_();
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == 按钮选择 && event->type() == QEvent::MouseButtonPress &&
      static_cast<QMouseEvent*>(event)->button() == Qt::RightButton) {
    open_output_folder();
    return true;
  }
  return QMainWindow::eventFilter(watched, event);
}

void MainWindow::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  fit_outer_size();
}

void MainWindow::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  fit_outer_size();
}

// The outer size is fixed, frame included; the client area is what the window manager's frame leaves.
void MainWindow::fit_outer_size() {
  QSize margins = frameGeometry().size() - geometry().size();
  if (margins == frame_margins_) return;
  frame_margins_ = margins;
  setFixedSize(kOuterWidth - margins.width(), kOuterHeight - margins.height());
  centre_on_primary_screen(*this);
}

}  // namespace vd
