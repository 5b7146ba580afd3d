#include "ui/gauge.h"

#include <QPainter>

namespace quenmar {
namespace {

const QColor kFrame(0, 0, 0);
const QColor kBack(255, 255, 255);
const QColor kBar(0, 0, 128);

}  // namespace

TGauge::TGauge(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
}

void TGauge::SetProgress(int progress) {
  progress = std::clamp(progress, 0, 100);
  if (progress == progress_) return;
  progress_ = progress;
  if (isVisible()) repaint();
}

QImage TGauge::Render(qreal devicePixelRatio) const {
  const int w = width(), h = height();
  QImage image(QSize(w, h) * devicePixelRatio, QImage::Format_RGB32);
  image.setDevicePixelRatio(devicePixelRatio);
  QPainter painter(&image);
  painter.fillRect(0, 0, w, h, kFrame);
  if (w > 2 && h > 2) painter.fillRect(1, 1, w - 2, h - 2, kBack);
  const int barEnd = Percentage() * (w - 1) / 100;  // exclusive, from the outer left edge
  if (barEnd > 1 && h > 2) painter.fillRect(1, 1, barEnd - 1, h - 2, kBar);

  // The text inverts what it covers: white XOR-ed over the picture.
  QFont textFont = font();
  textFont.setStyleStrategy(QFont::NoAntialias);
  painter.setFont(textFont);
  painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  painter.setPen(QColor(255, 255, 255));
  painter.drawText(QRect(0, 0, w, h), Qt::AlignCenter, QString::asprintf("%d%%", Percentage()));
  return image;
}

void TGauge::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, Render(devicePixelRatioF()));
}

}  // namespace quenmar
