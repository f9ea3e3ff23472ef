// The window's pictures, drawn in code: the banner, the five 64 x 64 pictures of the top row and the
// window icon. Main thread only (they paint with QPainter on pixmaps).
#pragma once

#include <QIcon>
#include <QPixmap>

namespace vd {

QPixmap banner_picture();    // 368 x 90, fills 图片框官网
QPixmap save_picture();      // a floppy disk
QPixmap update_picture();    // two arrows in a circle
QPixmap help_picture();      // a question mark
QPixmap software_picture();  // four tiles
QPixmap contact_picture();   // a speech bubble
QIcon window_icon();         // a magnifier over result lines, in several sizes

}  // namespace vd
