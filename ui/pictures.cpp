#include "ui/pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include "ui/window_fonts.h"

namespace vd {
namespace {

constexpr int kSmall = 64;

const QColor kInk(0x1f, 0x4e, 0x8c);
const QColor kPaper(0xf4, 0xf8, 0xfd);
const QColor kAccent(0xf0, 0x8a, 0x24);

QPixmap blank(int w, int h) {
  QPixmap pixmap(w, h);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

// A rounded tile in the row's colours, the ground of every small picture.
void draw_tile(QPainter& p, const QColor& top, const QColor& bottom) {
  QLinearGradient ground(0, 4, 0, 60);
  ground.setColorAt(0, top);
  ground.setColorAt(1, bottom);
  p.setPen(QPen(bottom.darker(130), 1.5));
  p.setBrush(ground);
  p.drawRoundedRect(QRectF(4.5, 4.5, 55, 55), 12, 12);
}

void draw_magnifier(QPainter& p, QPointF centre, qreal radius, const QColor& rim) {
  p.setBrush(QColor(255, 255, 255, 200));
  p.setPen(QPen(rim, radius * 0.32, Qt::SolidLine, Qt::RoundCap));
  p.drawEllipse(centre, radius, radius);
  QPointF handle_start = centre + QPointF(radius * 0.75, radius * 0.75);
  p.setPen(QPen(rim, radius * 0.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(handle_start, handle_start + QPointF(radius * 0.9, radius * 0.9));
}

}  // namespace

QPixmap banner_picture() {
  QPixmap pixmap = blank(368, 90);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 368, 90);
  sky.setColorAt(0, QColor(0x1f, 0x4e, 0x8c));
  sky.setColorAt(1, QColor(0x3c, 0x8d, 0xd8));
  p.fillRect(pixmap.rect(), sky);

  // Result lines running off to the right, the tool's work in one glance.
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 5; ++i) {
    p.setBrush(QColor(255, 255, 255, 40 + 12 * i));
    p.drawRoundedRect(QRectF(292 + 8 * (i % 2), 14 + 13 * i, 66 - 8 * (i % 2), 6), 3, 3);
  }
  draw_magnifier(p, QPointF(42, 40), 20, kAccent);

  p.setPen(Qt::white);
  QFont title = hei_font(30, true);
  title.setFamilies(QStringList{"DejaVu Sans"} + title.families());
  p.setFont(title);
  p.drawText(QRectF(82, 8, 200, 44), Qt::AlignLeft | Qt::AlignVCenter, "verodero");
  p.setFont(hei_font(16, false));
  p.drawText(QRectF(84, 52, 220, 26), Qt::AlignLeft | Qt::AlignVCenter,
             QString::fromUtf8("按关键词采集搜索引擎网址"));
  return pixmap;
}

QPixmap save_picture() {
  QPixmap pixmap = blank(kSmall, kSmall);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  draw_tile(p, QColor(0x6f, 0xb1, 0xf0), QColor(0x2a, 0x6f, 0xc0));
  QPainterPath disk;
  disk.moveTo(16, 14);
  disk.lineTo(42, 14);
  disk.lineTo(48, 20);
  disk.lineTo(48, 50);
  disk.lineTo(16, 50);
  disk.closeSubpath();
  p.setPen(QPen(kInk, 2));
  p.setBrush(kPaper);
  p.drawPath(disk);
  p.setBrush(kInk);
  p.drawRect(QRectF(22, 14, 18, 11));
  p.setBrush(kPaper);
  p.drawRect(QRectF(34, 16, 4, 7));
  p.setBrush(QColor(0xd6, 0xe4, 0xf5));
  p.drawRect(QRectF(21, 33, 22, 14));
  return pixmap;
}

QPixmap update_picture() {
  QPixmap pixmap = blank(kSmall, kSmall);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  draw_tile(p, QColor(0x7d, 0xd8, 0x8c), QColor(0x2f, 0x93, 0x45));
  QPen arc(Qt::white, 5, Qt::SolidLine, Qt::FlatCap);
  p.setPen(arc);
  QRectF ring(17, 17, 30, 30);
  p.drawArc(ring, 30 * 16, 140 * 16);
  p.drawArc(ring, 210 * 16, 140 * 16);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  QPolygonF head_top({QPointF(17, 19), QPointF(25, 30), QPointF(13, 31)});
  QPolygonF head_bottom({QPointF(47, 45), QPointF(39, 34), QPointF(51, 33)});
  p.drawPolygon(head_top);
  p.drawPolygon(head_bottom);
  return pixmap;
}

QPixmap help_picture() {
  QPixmap pixmap = blank(kSmall, kSmall);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  draw_tile(p, QColor(0xff, 0xc8, 0x6b), QColor(0xe0, 0x83, 0x1c));
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(32, 32), 19, 19);
  QPainterPath mark;
  mark.moveTo(24.5, 26);
  mark.cubicTo(24.5, 17, 39.5, 17, 39.5, 26);
  mark.cubicTo(39.5, 31, 32, 32, 32, 38);
  p.setPen(QPen(QColor(0xc0, 0x62, 0x0c), 5, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  p.drawPath(mark);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xc0, 0x62, 0x0c));
  p.drawEllipse(QPointF(32, 45), 3, 3);
  return pixmap;
}

QPixmap software_picture() {
  QPixmap pixmap = blank(kSmall, kSmall);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  draw_tile(p, QColor(0xb9, 0x9a, 0xf0), QColor(0x6c, 0x47, 0xc2));
  const QColor tiles[] = {QColor(0xff, 0xff, 0xff), QColor(0xff, 0xe0, 0x8a), QColor(0x9e, 0xf0, 0xc0),
                          QColor(0xa8, 0xd8, 0xff)};
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 4; ++i) {
    p.setBrush(tiles[i]);
    p.drawRoundedRect(QRectF(15 + 18 * (i % 2), 15 + 18 * (i / 2), 15, 15), 3, 3);
  }
  return pixmap;
}

QPixmap contact_picture() {
  QPixmap pixmap = blank(kSmall, kSmall);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  draw_tile(p, QColor(0x73, 0xd5, 0xe8), QColor(0x1b, 0x8f, 0xb0));
  QPainterPath bubble;
  bubble.addRoundedRect(QRectF(13, 15, 38, 26), 10, 10);
  QPainterPath tail;
  tail.moveTo(20, 38);
  tail.lineTo(17, 50);
  tail.lineTo(31, 40);
  tail.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawPath(bubble.united(tail));
  p.setBrush(QColor(0x1b, 0x8f, 0xb0));
  for (int i = 0; i < 3; ++i) p.drawEllipse(QPointF(23 + 9 * i, 28), 3, 3);
  return pixmap;
}

QIcon window_icon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) {
    QPixmap pixmap = blank(size, size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 64.0, size / 64.0);
    draw_tile(p, QColor(0x3c, 0x8d, 0xd8), QColor(0x1f, 0x4e, 0x8c));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 150));
    for (int i = 0; i < 3; ++i) p.drawRoundedRect(QRectF(12, 14 + 9 * i, 38 - 8 * i, 5), 2.5, 2.5);
    draw_magnifier(p, QPointF(34, 34), 11, kAccent);
    p.end();
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace vd
