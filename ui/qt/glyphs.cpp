#include "ui/qt/glyphs.h"

#include <QImage>
#include <QPixmap>
#include <utility>

#include "ui/qt/resources.h"

namespace quenmar {
namespace {

// One frame of a glyph file, its transparent colour made transparent, for a
// screen of device pixel ratio Scale (the file drawn at that density).
QPixmap Frame(const QImage& strip, int index, int scale) {
  const int size = strip.height();
  const QRgb clear = strip.pixel(0, size - 1);
  QImage frame = strip.copy(index * size, 0, size, size).convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < size; ++y) {
    auto* line = reinterpret_cast<QRgb*>(frame.scanLine(y));
    for (int x = 0; x < size; ++x) {
      if ((line[x] & 0xFFFFFF) == (clear & 0xFFFFFF)) line[x] = 0;
    }
  }
  QPixmap pixmap = QPixmap::fromImage(frame);
  pixmap.setDevicePixelRatio(scale);
  return pixmap;
}

QIcon LoadGlyph(const char* name) {
  InitUiResources();
  const QImage strip(QStringLiteral(":/glyphs/%1.bmp").arg(QLatin1String(name)));
  const QImage twice(QStringLiteral(":/glyphs/%1@2x.bmp").arg(QLatin1String(name)));
  QIcon icon;
  if (strip.isNull() || strip.width() != 2 * strip.height()) return icon;
  if (twice.size() != 2 * strip.size()) return icon;
  for (const auto& [drawing, scale] : {std::pair{&strip, 1}, std::pair{&twice, 2}}) {
    icon.addPixmap(Frame(*drawing, 0, scale), QIcon::Normal);
    icon.addPixmap(Frame(*drawing, 1, scale), QIcon::Disabled);
  }
  return icon;
}

}  // namespace

QIcon ButtonGlyph(Glyph glyph) {
  switch (glyph) {
    case Glyph::kStart:
      return LoadGlyph("start");
    case Glyph::kCancel:
      return LoadGlyph("cancel");
    case Glyph::kBrowse:
      return LoadGlyph("browse");
    case Glyph::kInfo:
      return LoadGlyph("info");
    case Glyph::kNone:
      break;
  }
  return QIcon();
}

QSize GlyphSize(const QIcon& glyph) {
  QSize smallest;
  for (const QSize& size : glyph.availableSizes()) {
    if (!smallest.isValid() || size.width() < smallest.width()) smallest = size;
  }
  return smallest;
}

QIcon ApplicationIcon() {
  InitUiResources();
  QIcon icon;
  for (const int size : {16, 32, 48}) icon.addFile(QString(":/icons/quenmar-%1.png").arg(size), QSize(size, size));
  return icon;
}

}  // namespace quenmar
