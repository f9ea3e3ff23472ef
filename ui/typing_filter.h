// The typing rules of the number boxes: keys typed by the user that are not in the allowed set are
// dropped; control keys (backspace, arrows, shortcuts such as Ctrl+V) pass. Text the program sets, and
// text pasted into the box, is not filtered. Install with QObject::installEventFilter on the box.
#pragma once

#include <QObject>
#include <QString>

namespace vd {

class TypingFilter : public QObject {
 public:
  TypingFilter(QString allowed, QObject* parent);

  // Digits and the minus sign.
  static TypingFilter* integer_typing(QObject* parent);
  // Digits, the minus sign and the decimal point.
  static TypingFilter* decimal_typing(QObject* parent);

  // True when every typed character is allowed or a control character.
  bool accepts(const QString& typed) const;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QString allowed_;
};

}  // namespace vd
