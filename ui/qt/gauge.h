// TGauge: the progress gauge of the main window, drawn by the program itself.
//
// Drawn by the rules of ui/gauge_rule.h. The image is composed off-screen, at the
// screen's device pixel ratio (the pixel rules hold in the window's logical
// pixels), and copied in one step. Setting a progress that changes the shown
// percentage repaints at once, without waiting for the event loop, so the gauge
// moves while a run keeps the loop busy.
#pragma once

#include <QImage>
#include <QWidget>

#include "ui/gauge_rule.h"

namespace quenmar {

class TGauge : public QWidget {
  Q_OBJECT

 public:
  explicit TGauge(QWidget* parent = nullptr);

  int Progress() const { return progress_; }
  // Clamped into 0 to 100.
  void SetProgress(int progress);
  int Percentage() const { return ShownPercentage(progress_); }

  // The gauge's image at its current size and progress, composed for a screen of
  // DevicePixelRatio device pixels to the logical one.
  QImage Render(qreal devicePixelRatio = 1.0) const;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int progress_ = 0;
};

}  // namespace quenmar
