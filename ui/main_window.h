// The main window: every setting of a collection run as the text or state of a named control, the
// start/stop button, the status bar, the top row of pictures and links, and the notification-area icon.
//
// The controls keep the form's names, as object names and as the members below. The window is the
// run's RunControls: the run reads the boxes at the moments it needs them, so edits made during a run
// take effect. Texts cross into the core as GBK. Main thread only.
#pragma once

#include <QMainWindow>
#include <functional>
#include <memory>

#include "collect/collection_run.h"
#include "collect/run_controls.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;

namespace vd {

class HyperlinkLabel;
class PictureBox;
class RegexService;
class SettingsFile;
class Shell;
class TrayIcon;
class WebAccess;

// What the window works with; everything must outlive the window.
struct WindowServices {
  SettingsFile& settings;
  RegexService& titles;
  WebAccess& web;
  Shell& shell;
};

class MainWindow : public QMainWindow, public RunControls {
  Q_OBJECT
 public:
  // Builds the controls and runs the created handler: the icon, load_settings, the title pattern.
  explicit MainWindow(WindowServices services);
  ~MainWindow() override;

  // RunControls over the widgets.
  std::string output_directory_text() override;
  std::string keyword_text() override;
  std::string first_page_text() override;
  std::string extension_text() override;
  std::string pause_text() override;
  std::string page_limit_text() override;
  std::string template_text() override;
  std::array<bool, 4> engine_buttons() override;
  std::string button_caption() override;
  void set_button_caption(std::string_view caption) override;
  void set_status(int pane, std::string_view text) override;

  // The keyword box as GBK with CR LF line breaks, and set from such text.
  void set_keyword_text(std::string_view gbk);

  void load_settings();
  void save_settings();
  void start_or_stop();         // 按钮立即采集 clicked
  void paste_keywords();        // 按钮6 clicked
  void choose_output_folder();  // 按钮选择 clicked
  void open_output_folder();    // 按钮选择 right button pressed
  void save_and_report();       // 图片框保存, 超级链接框保存
  void show_help();             // 图片框操作, 超级链接框操作
  void open_in_browser_window(const QString& address);

  bool run_active() const { return run_depth_ > 0; }
  TrayIcon& tray() { return *tray_; }
  CollectionRun& run() { return run_; }
  // What happens once the window has closed (saved, icon removed): by default the application quits,
  // after the run in progress, if any, has stopped.
  void set_close_action(std::function<void()> action) { close_action_ = std::move(action); }

  // The controls, under the form's names.
  PictureBox* 图片框官网;
  PictureBox* 图片框保存;
  HyperlinkLabel* 超级链接框保存;
  PictureBox* 图片框更新;
  HyperlinkLabel* 超级链接框更新;
  PictureBox* 图片框操作;
  HyperlinkLabel* 超级链接框操作;
  PictureBox* 图片框软件;
  HyperlinkLabel* 超级链接框软件;
  PictureBox* 图片框QQ;
  HyperlinkLabel* 超级链接框QQ;
  QLabel* 标签5;
  QLabel* 标签2;
  QPushButton* 按钮6;
  QPlainTextEdit* 编辑框关键词;
  QLabel* 标签4;
  QRadioButton* 单选框百度;
  QRadioButton* 单选框360;
  QRadioButton* 单选框搜狗;
  QRadioButton* 单选框谷歌;
  QLabel* 标签8;
  QLineEdit* 编辑框起始页号;
  QLabel* 标签1;
  QLineEdit* 编辑框搜索页数;
  QLabel* 标签7;
  QLineEdit* 编辑框等待毫秒;
  QLabel* 标签6;
  QLineEdit* 编辑框保存模板;
  QLabel* 标签3;
  QLineEdit* 编辑框保存目录;
  QPushButton* 按钮选择;
  QLineEdit* 编辑框扩展名;
  QPushButton* 按钮立即采集;
  QStatusBar* 状态条;
  QLabel* 状态条窗格0;
  QLabel* 状态条窗格1;

  // The outer size of the window, frame included.
  static constexpr int kOuterWidth = 693;
  static constexpr int kOuterHeight = 463;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void build_top_row(QWidget* area);
  void build_controls(QWidget* area);
  void build_status_bar();
  void connect_events();
  void window_created();
  void engine_clicked(QRadioButton* chosen);
  void fit_outer_size();
  QRadioButton* engine_button(int index) const;

  WindowServices services_;
  CollectionRun run_;
  TrayIcon* tray_ = nullptr;
  std::function<void()> close_action_;
  int run_depth_ = 0;
  bool quit_after_run_ = false;
  QSize frame_margins_{-1, -1};
};

}  // namespace vd
