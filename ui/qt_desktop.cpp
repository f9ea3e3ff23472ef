#include "ui/qt_desktop.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMessageBox>

#include "ui/qt_text.h"

namespace vd {
namespace {

struct ButtonSet {
  QMessageBox::StandardButtons buttons;
  QMessageBox::StandardButton escape;  // what closing the box answers
};

// The classic button values: 0 OK, 1 OK/Cancel, 2 Abort/Retry/Ignore, 3 Yes/No/Cancel, 4 Yes/No,
// 5 Retry/Cancel. Anything else shows OK.
ButtonSet button_set(int buttons) {
  switch (buttons) {
    case 1:
      return {QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel};
    case 2:
      return {QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore, QMessageBox::Abort};
    case 3:
      return {QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Cancel};
    case 4:
      return {QMessageBox::Yes | QMessageBox::No, QMessageBox::No};
    case 5:
      return {QMessageBox::Retry | QMessageBox::Cancel, QMessageBox::Cancel};
    default:
      return {QMessageBox::Ok, QMessageBox::Ok};
  }
}

int answer_of(int pressed) {
  switch (pressed) {
    case QMessageBox::Cancel:
      return kAnswerCancel;
    case QMessageBox::Abort:
      return kAnswerAbort;
    case QMessageBox::Retry:
      return kAnswerRetry;
    case QMessageBox::Ignore:
      return kAnswerIgnore;
    case QMessageBox::Yes:
      return kAnswerYes;
    case QMessageBox::No:
      return kAnswerNo;
    default:
      return kAnswerOk;
  }
}

}  // namespace

int QtDesktop::show_message(std::string_view text, int buttons, std::string_view title) {
  ShownMessage shown{gbk_to_qstring(text), gbk_to_qstring(title), buttons};
  if (answerer_) return answerer_(shown);

  ButtonSet set = button_set(buttons);
  QMessageBox box(QMessageBox::NoIcon, shown.title, shown.text, set.buttons);
  box.setWindowModality(Qt::ApplicationModal);
  box.setEscapeButton(set.escape);
  int pressed = box.exec();
  // exec() gives the escape button when the box is closed without a button.
  return answer_of(pressed);
}

std::string QtDesktop::clipboard_text() {
  const QClipboard* clipboard = QGuiApplication::clipboard();
  if (clipboard == nullptr) return {};
  return qstring_to_gbk(clipboard->text(QClipboard::Clipboard));
}

}  // namespace vd
