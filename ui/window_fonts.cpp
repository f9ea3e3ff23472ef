#include "ui/window_fonts.h"

#include <QStringList>

namespace vd {
namespace {

// After the Windows names, the CJK fonts a Linux set-up has (fonts-wqy-zenhei, fonts-noto-cjk).
const QStringList kFallbacks = {"WenQuanYi Zen Hei", "Noto Sans CJK SC", "Noto Serif CJK SC",
                                "Droid Sans Fallback"};

QFont font_of(QStringList families, int pixel_size, bool bold) {
  QFont font;
  font.setFamilies(families + kFallbacks);
  font.setPixelSize(pixel_size);
  font.setWeight(bold ? QFont::Bold : QFont::Normal);
  font.setStyleStrategy(QFont::PreferDefault);
  return font;
}

}  // namespace

QFont song_font(int pixel_size) {
  return font_of({QString::fromUtf8("宋体"), "SimSun", "NSimSun", "AR PL UMing CN"}, pixel_size, false);
}

QFont hei_font(int pixel_size, bool bold) {
  return font_of({QString::fromUtf8("黑体"), "SimHei", "Microsoft YaHei"}, pixel_size, bold);
}

}  // namespace vd
