#include "auxwindows/Pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace vc::pictures {
namespace {

QImage transparentImage(int width, int height) {
  QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  return image;
}

// The icon on a 64 × 64 grid; the painter is scaled to the wanted size.
void paintIcon(QPainter& p) {
  p.setRenderHint(QPainter::Antialiasing);
  // The sheet with a soft shadow and a turned-up corner.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0, 0, 0, 50));
  p.drawRoundedRect(QRectF(13, 8, 40, 54), 4, 4);
  QPainterPath sheet;
  sheet.moveTo(14, 4);
  sheet.lineTo(50, 4);
  sheet.lineTo(50, 48);
  sheet.lineTo(38, 60);
  sheet.lineTo(14, 60);
  sheet.closeSubpath();
  QLinearGradient paper(14, 4, 50, 60);
  paper.setColorAt(0, QColor(0xFB, 0xF1, 0xD3));
  paper.setColorAt(1, QColor(0xE8, 0xD0, 0x96));
  p.setBrush(paper);
  p.setPen(QPen(QColor(0x8A, 0x6A, 0x3A), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(sheet);
  QPainterPath corner;
  corner.moveTo(50, 48);
  corner.lineTo(40, 50);
  corner.lineTo(38, 60);
  corner.closeSubpath();
  p.setBrush(QColor(0xD4, 0xB4, 0x72));
  p.drawPath(corner);
  // Lines of writing.
  p.setPen(QPen(QColor(0x6B, 0x5B, 0x45), 2.4, Qt::SolidLine, Qt::RoundCap));
  const double ends[] = {42, 36, 40, 30, 34};
  for (int i = 0; i < 5; ++i) p.drawLine(QPointF(19, 13 + i * 8), QPointF(ends[i], 13 + i * 8));
  // The quill, lying across the sheet, its nib on the last line.
  p.save();
  p.translate(31, 50);
  p.rotate(-52);
  QPainterPath feather;
  feather.moveTo(0, 0);
  feather.cubicTo(9, -8, 30, -9, 41, -2);
  feather.cubicTo(30, 6, 11, 5, 0, 0);
  QLinearGradient vane(0, -8, 0, 6);
  vane.setColorAt(0, QColor(0x4A, 0x6F, 0xB5));
  vane.setColorAt(1, QColor(0x1F, 0x34, 0x6B));
  p.setBrush(vane);
  p.setPen(QPen(QColor(0x14, 0x22, 0x4A), 1.2));
  p.drawPath(feather);
  p.setPen(QPen(QColor(0xF4, 0xEE, 0xDC), 1.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(4, 0), QPointF(39, -2));
  p.setPen(QPen(QColor(0x22, 0x22, 0x22), 2.2, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(-6, 1), QPointF(2, 0));
  p.restore();
}

void paintBulb(QPainter& p, const QRectF& box) {
  // Drawn on a 33 × 49 grid.
  p.save();
  p.translate(box.topLeft());
  p.scale(box.width() / 33.0, box.height() / 49.0);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(0xF2, 0xB7, 0x05), 1.6, Qt::SolidLine, Qt::RoundCap));
  const QLineF rays[] = {{16.5, 1, 16.5, 3.5}, {3, 8, 5.5, 10}, {30, 8, 27.5, 10}, {1, 19, 3.5, 19}, {32, 19, 29.5, 19}};
  for (const QLineF& ray : rays) p.drawLine(ray);
  QRadialGradient glow(QPointF(13.5, 15), 12);
  glow.setColorAt(0, QColor(0xFF, 0xFD, 0xE0));
  glow.setColorAt(0.6, QColor(0xFF, 0xE0, 0x5A));
  glow.setColorAt(1, QColor(0xF2, 0xB7, 0x05));
  QPainterPath glass;
  glass.addEllipse(QPointF(16.5, 18), 11, 11);
  glass.moveTo(10.5, 26);
  glass.lineTo(12.5, 33);
  glass.lineTo(20.5, 33);
  glass.lineTo(22.5, 26);
  p.setBrush(glow);
  p.setPen(QPen(QColor(0xB0, 0x80, 0x10), 1.2));
  p.drawPath(glass.simplified());
  p.setPen(QPen(QColor(0xB0, 0x80, 0x10), 1));
  p.setBrush(Qt::NoBrush);
  p.drawPolyline(QPolygonF({QPointF(14, 31), QPointF(15, 22), QPointF(16.5, 25), QPointF(18, 22), QPointF(19, 31)}));
  QLinearGradient metal(12, 0, 21, 0);
  metal.setColorAt(0, QColor(0x8C, 0x8C, 0x8C));
  metal.setColorAt(0.5, QColor(0xE6, 0xE6, 0xE6));
  metal.setColorAt(1, QColor(0x7A, 0x7A, 0x7A));
  p.setBrush(metal);
  p.setPen(QPen(QColor(0x55, 0x55, 0x55), 0.8));
  for (int i = 0; i < 3; ++i) p.drawRoundedRect(QRectF(12, 34 + i * 3.5, 9, 3.5), 1.2, 1.2);
  p.setBrush(QColor(0x44, 0x44, 0x44));
  p.drawRoundedRect(QRectF(14, 44.5, 5, 3), 1.5, 1.5);
  p.restore();
}

}  // namespace

QImage programIcon(int size) {
  QImage image = transparentImage(size, size);
  QPainter p(&image);
  p.scale(size / 64.0, size / 64.0);
  paintIcon(p);
  return image;
}

QIcon programIconSet() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128, 256}) icon.addPixmap(QPixmap::fromImage(programIcon(size)));
  return icon;
}

QImage lightBulb() {
  QImage image = transparentImage(33, 49);
  QPainter p(&image);
  paintBulb(p, QRectF(0, 0, 33, 49));
  return image;
}

QImage tipHeader() {
  QImage image(405, 33, QImage::Format_ARGB32_Premultiplied);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient band(0, 0, 405, 0);
  band.setColorAt(0, QColor(0x2E, 0x4A, 0x7D));
  band.setColorAt(0.65, QColor(0x7C, 0x93, 0xB8));
  band.setColorAt(1, QColor(0xE8, 0xE8, 0xE0));
  p.fillRect(image.rect(), band);
  paintBulb(p, QRectF(8, 3, 18, 27));
  QFont font = p.font();
  font.setPixelSize(18);
  font.setBold(true);
  p.setFont(font);
  p.setPen(QColor(0, 0, 0, 90));
  p.drawText(QRectF(35, 1, 300, 33), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("每日小秘訣"));
  p.setPen(Qt::white);
  p.drawText(QRectF(34, 0, 300, 33), Qt::AlignVCenter | Qt::AlignLeft, QStringLiteral("每日小秘訣"));
  font.setPixelSize(12);
  font.setBold(false);
  font.setItalic(true);
  p.setFont(font);
  p.setPen(QColor(0x2E, 0x4A, 0x7D));
  p.drawText(QRectF(0, 0, 397, 33), Qt::AlignVCenter | Qt::AlignRight, QStringLiteral("Vellumcraft"));
  return image;
}

QImage aboutPicture() {
  QImage image = transparentImage(37, 33);
  QPainter p(&image);
  p.drawImage(QPointF(2, 0), programIcon(33));
  return image;
}

}  // namespace vc::pictures
