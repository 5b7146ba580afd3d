#include "ui/glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace quenmar {
namespace {

// The disabled look: the normal image in grey, lighter.
QPixmap Disabled(const QPixmap& normal) {
  QImage image = normal.toImage().convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c.alpha() == 0) continue;
      const int grey = 128 + qGray(c.rgb()) / 2;
      image.setPixelColor(x, y, QColor(grey, grey, grey, c.alpha()));
    }
  }
  return QPixmap::fromImage(image);
}

QIcon WithDisabledLook(const QPixmap& normal) {
  QIcon icon;
  icon.addPixmap(normal, QIcon::Normal);
  icon.addPixmap(Disabled(normal), QIcon::Disabled);
  return icon;
}

void Folder(QPainter& p, int x, int y) {
  p.setPen(QColor(128, 128, 0));
  p.setBrush(QColor(255, 255, 0));
  p.drawRect(x, y + 1, 5, 3);
  p.drawLine(x, y, x + 2, y);
}

QPixmap Blank(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  return pixmap;
}

}  // namespace

QIcon FolderTreeGlyph() {
  QPixmap pixmap = Blank(16);
  QPainter p(&pixmap);
  p.setPen(Qt::black);
  p.drawLine(3, 5, 3, 13);   // the tree's trunk
  p.drawLine(3, 9, 6, 9);
  p.drawLine(3, 13, 6, 13);
  Folder(p, 1, 1);
  Folder(p, 6, 7);
  Folder(p, 6, 11);
  p.setPen(Qt::black);
  for (const int y : {3, 9, 13}) p.drawLine(13, y, 15, y);  // the dashes behind the folders
  p.end();
  return WithDisabledLook(pixmap);
}

QIcon QuestionMarkGlyph() {
  QPixmap pixmap = Blank(18);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QPen pen(QColor(0, 128, 128), 2.6);
  pen.setCapStyle(Qt::RoundCap);
  p.setPen(pen);
  QPainterPath path;
  path.moveTo(5.5, 6);
  path.cubicTo(5.5, 2, 12.5, 2, 12.5, 6);
  path.cubicTo(12.5, 9, 9, 9, 9, 12);
  p.drawPath(path);
  p.setBrush(QColor(0, 128, 128));
  p.setPen(Qt::NoPen);
  p.drawEllipse(QPointF(9, 15.5), 1.5, 1.5);
  p.end();
  return WithDisabledLook(pixmap);
}

QIcon ApplicationIcon() {
  QIcon icon;
  for (const int size : {16, 32, 48}) icon.addFile(QString(":/icons/quenmar-%1.png").arg(size), QSize(size, size));
  return icon;
}

}  // namespace quenmar
