#include "ui/typing_filter.h"

#include <QCoreApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>

namespace vd {

TypingFilter::TypingFilter(QString allowed, QObject* parent)
    : QObject(parent), allowed_(std::move(allowed)) {}

TypingFilter* TypingFilter::integer_typing(QObject* parent) {
  return new TypingFilter("0123456789-", parent);
}

TypingFilter* TypingFilter::decimal_typing(QObject* parent) {
  return new TypingFilter("0123456789-.", parent);
}

bool TypingFilter::accepts(const QString& typed) const {
  for (QChar c : typed) {
    bool control = c.unicode() < 0x20 || c.unicode() == 0x7f;
    if (!control && !allowed_.contains(c)) return false;
  }
  return true;
}

bool TypingFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    // Shortcuts (Ctrl+V and the like) are control keys, whatever text the platform attaches to them.
    bool shortcut = key->modifiers() & (Qt::ControlModifier | Qt::MetaModifier | Qt::AltModifier);
    if (!shortcut && !accepts(key->text())) return true;
  } else if (event->type() == QEvent::InputMethod) {
    // Characters committed by an input method are typed too.
    auto* input = static_cast<QInputMethodEvent*>(event);
    if (!accepts(input->commitString())) {
      // Passed on without its commit, so that the input method's pre-edit state still ends cleanly.
      QInputMethodEvent without_commit(input->preeditString(), input->attributes());
      QCoreApplication::sendEvent(watched, &without_commit);
      return true;
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace vd
