// A hyperlink label: underlined text with a hand cursor. A left press emits left_pressed; a click (press
// and release over the label) opens the target address, when it has one, through the Shell. A press on
// the label never reaches the picture box that contains it.
#pragma once

#include <QLabel>
#include <QString>

namespace vd {

class Shell;

class HyperlinkLabel : public QLabel {
  Q_OBJECT
 public:
  HyperlinkLabel(const QString& text, Shell& shell, QWidget* parent = nullptr);

  // The address the label opens; empty for none.
  const QString& target() const { return target_; }
  void set_target(const QString& address) { target_ = address; }

 signals:
  void left_pressed();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  Shell& shell_;
  QString target_;
  bool pressed_ = false;
};

}  // namespace vd
