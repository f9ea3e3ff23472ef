// A picture box of the top row: shows its picture at the top, takes a left press as its action, and
// holds the hyperlink label under the picture. Hand cursor.
#pragma once

#include <QLabel>

namespace vd {

class PictureBox : public QLabel {
  Q_OBJECT
 public:
  explicit PictureBox(QWidget* parent = nullptr);

 signals:
  void left_pressed();

 protected:
  void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace vd
