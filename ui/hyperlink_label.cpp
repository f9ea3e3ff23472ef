#include "ui/hyperlink_label.h"

#include <QMouseEvent>

#include "ui/shell.h"
#include "ui/window_fonts.h"

namespace vd {

HyperlinkLabel::HyperlinkLabel(const QString& text, Shell& shell, QWidget* parent)
    : QLabel(text, parent), shell_(shell) {
  QFont font = song_font();
  font.setUnderline(true);
  setFont(font);
  setCursor(Qt::PointingHandCursor);
  setAlignment(Qt::AlignCenter);
  QPalette colours = palette();
  colours.setColor(QPalette::WindowText, QColor(0x00, 0x33, 0xcc));
  setPalette(colours);
}

void HyperlinkLabel::mousePressEvent(QMouseEvent* event) {
  event->accept();
  if (event->button() != Qt::LeftButton) return;
  pressed_ = true;
  emit left_pressed();
}

void HyperlinkLabel::mouseReleaseEvent(QMouseEvent* event) {
  event->accept();
  bool clicked =
      pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
  pressed_ = false;
  if (clicked && !target_.isEmpty()) shell_.open_url(target_);
}

}  // namespace vd
