#include "ui/qt/gauge.h"

#include <QPainter>

#include "ui/gauge_rule.h"

namespace quenmar {
namespace {

QColor Q(GaugeColour colour) { return QColor(colour.red, colour.green, colour.blue); }
const QColor kFrame = Q(kGaugeFrame);
const QColor kBack = Q(kGaugeBack);
const QColor kBar = Q(kGaugeBar);

}  // namespace

TGauge::TGauge(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFocusPolicy(Qt::NoFocus);
}

void TGauge::SetProgress(int progress) {
  progress = ClampedProgress(progress);
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
  const int barEnd = BarEnd(Percentage(), w);
  if (barEnd > 1 && h > 2) painter.fillRect(1, 1, barEnd - 1, h - 2, kBar);

  // The text inverts what it covers: white XOR-ed over the picture.
  QFont textFont = font();
  textFont.setStyleStrategy(QFont::NoAntialias);
  painter.setFont(textFont);
  painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  painter.setPen(QColor(255, 255, 255));
  painter.drawText(QRect(0, 0, w, h), Qt::AlignCenter, QString::fromStdU16String(GaugeText(Percentage())));
  return image;
}

void TGauge::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(0, 0, Render(devicePixelRatioF()));
}

}  // namespace quenmar
