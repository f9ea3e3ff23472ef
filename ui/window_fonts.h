// The window's fonts: asked for by family name with CJK fallbacks, sizes in pixels as the form gives them.
#pragma once

#include <QFont>

namespace vd {

// 宋体, 12 pixels, normal weight: the keyword box, 标签2, the status bar and the hyperlink labels.
QFont song_font(int pixel_size = 12);
// 黑体 in the given pixel size; the start button uses 56 pixels, bold.
QFont hei_font(int pixel_size, bool bold);

}  // namespace vd
