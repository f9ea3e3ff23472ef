// The window's Desktop: application-modal message boxes without an icon, and Qt's clipboard in GBK.
//
// A test installs an answerer, which then receives every message in place of a box and returns the
// button pressed; nothing is shown and nothing waits. Main thread only.
#pragma once

#include <QString>
#include <functional>

#include "text/desktop.h"

namespace vd {

struct ShownMessage {
  QString text;
  QString title;
  int buttons = kButtonsOk;
};

class QtDesktop final : public Desktop {
 public:
  using Answerer = std::function<int(const ShownMessage&)>;

  int show_message(std::string_view text, int buttons, std::string_view title) override;
  std::string clipboard_text() override;

  // An empty answerer restores the real boxes.
  void set_answerer(Answerer answerer) { answerer_ = std::move(answerer); }

 private:
  Answerer answerer_;
};

}  // namespace vd
