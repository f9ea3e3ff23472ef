#include "ui/tray_icon.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QWidget>

#include "text/desktop.h"
#include "text/event_pump.h"
#include "text/gbk_literal.h"
#include "text/text_ops.h"
#include "ui/qt_text.h"

namespace vd {

using namespace vd::literals;

namespace {
constexpr int kTipBytes = 127;
}

TrayIcon::TrayIcon(QWidget& window, const QIcon& icon, std::string_view tip)
    : QObject(&window), window_(window), tip_(gbk_to_qstring(leading_bytes(tip, kTipBytes))) {
  if (!QSystemTrayIcon::isSystemTrayAvailable()) return;
  icon_ = new QSystemTrayIcon(icon, this);
  icon_->setToolTip(tip_);
  connect(icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
    if (reason == QSystemTrayIcon::Trigger) handle_left_press();
    if (reason == QSystemTrayIcon::Context) handle_right_press();
  });
  icon_->show();
}

TrayIcon::~TrayIcon() = default;

bool TrayIcon::shown() const { return icon_ != nullptr && icon_->isVisible(); }

void TrayIcon::remove() {
  if (icon_ != nullptr) icon_->hide();
}

void TrayIcon::handle_left_press() {
  if (window_.isVisible()) {
    window_.hide();
  } else {
    bring_to_front(window_);
  }
}

void TrayIcon::handle_right_press() {
  if (show_message("确定要退出《Talvex·rovazeve》吗？"_gbk, kButtonsOkCancel) != kAnswerOk) return;
  if (exit_action_) exit_action_();
}

void centre_on_primary_screen(QWidget& window) {
  const QScreen* screen = QGuiApplication::primaryScreen();
  if (screen == nullptr) return;
  QRect frame = window.frameGeometry();
  frame.moveCenter(screen->availableGeometry().center());
  window.move(frame.topLeft());
}

void bring_to_front(QWidget& window) {
  // Only a window that the user pinned stays pinned; raising does not pin it.
  pump_events();
  if (!window.isVisible()) window.show();
  if (window.isMinimized()) {
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.showNormal();
    centre_on_primary_screen(window);
  }
  window.raise();
  window.activateWindow();
}

}  // namespace vd
