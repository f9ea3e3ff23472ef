#include "ui/picture_box.h"

#include <QMouseEvent>

namespace vd {

PictureBox::PictureBox(QWidget* parent) : QLabel(parent) {
  setCursor(Qt::PointingHandCursor);
  setAlignment(Qt::AlignHCenter | Qt::AlignTop);
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) {
    event->accept();
    emit left_pressed();
    return;
  }
  QLabel::mousePressEvent(event);
}

}  // namespace vd
