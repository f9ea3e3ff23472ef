// The notification-area icon: a left press hides the window or brings it back, a right press asks
// whether to quit. Without a system tray the object exists and its handlers work, but no icon shows.
// Main thread only.
#pragma once

#include <QIcon>
#include <QObject>
#include <QString>
#include <functional>
#include <string_view>

class QSystemTrayIcon;
class QWidget;

namespace vd {

class TrayIcon : public QObject {
 public:
  // The tip is GBK and cut to its first 127 bytes, as the icon's tip field holds.
  TrayIcon(QWidget& window, const QIcon& icon, std::string_view tip);
  ~TrayIcon() override;

  // What the icon's mouse presses do; the icon calls these, and so can a test.
  void handle_left_press();
  void handle_right_press();

  // Runs when the user confirmed the exit question: ends the program without saving.
  void set_exit_action(std::function<void()> action) { exit_action_ = std::move(action); }

  bool shown() const;
  QString tip() const { return tip_; }
  // Takes the icon out of the notification area (the window closed).
  void remove();

 private:
  QWidget& window_;
  QString tip_;
  QSystemTrayIcon* icon_ = nullptr;
  std::function<void()> exit_action_;
};

// Shows the window, restores it from the minimised state (centred), and raises it in front of the
// others without leaving it pinned on top.
void bring_to_front(QWidget& window);
// Moves the window's frame to the centre of the primary screen.
void centre_on_primary_screen(QWidget& window);

}  // namespace vd
