#include <gtest/gtest.h>

#include "ui/qt/gauge.h"

namespace quenmar {
namespace {

const QRgb kWhite = qRgb(255, 255, 255), kBlack = qRgb(0, 0, 0), kNavy = qRgb(0, 0, 128),
           kLightYellow = qRgb(255, 255, 127);

// Columns of row Y from First on that hold the bar, text or not.
int BarEnd(const QImage& image, int y, int first = 1) {
  int end = first;
  while (end < image.width() - 1 && (image.pixel(end, y) == kNavy || image.pixel(end, y) == kLightYellow)) ++end;
  return end;
}

TEST(Gauge, DrawsFrameBarAndInvertedText) {
  TGauge gauge;
  gauge.resize(575, 24);
  struct Case { int progress, barEnd; };
  for (const Case c : {Case{0, 1}, Case{42, 241}, Case{100, 574}}) {
    gauge.SetProgress(c.progress);
    const QImage image = gauge.Render();
    SCOPED_TRACE(c.progress);
    EXPECT_EQ(image.pixel(0, 0), kBlack);
    EXPECT_EQ(image.pixel(574, 23), kBlack);
    EXPECT_EQ(image.pixel(300, 0), kBlack);
    EXPECT_EQ(BarEnd(image, 2), c.barEnd);  // the bar covers columns 1 to barEnd - 1
    // Text pixels are the inverse of what lies beneath.
    int black = 0, yellow = 0;
    for (int y = 1; y < 23; ++y) {
      for (int x = 1; x < 574; ++x) {
        const QRgb p = image.pixel(x, y);
        EXPECT_TRUE(p == kWhite || p == kNavy || p == kBlack || p == kLightYellow) << x << "," << y;
        black += p == kBlack;
        yellow += p == kLightYellow;
      }
    }
    EXPECT_GT(black + yellow, 10);
    if (c.progress == 0) {
      EXPECT_EQ(yellow, 0);
    }
    if (c.progress == 100) {
      EXPECT_EQ(black, 0);
    }
  }
  // On a screen of double density the gauge is composed there, not enlarged: the
  // same rules in logical pixels, twice the pixels, the text drawn at full size.
  gauge.SetProgress(42);
  const QImage single = gauge.Render(1.0), twice = gauge.Render(2.0);
  EXPECT_EQ(twice.size(), QSize(1150, 48));
  EXPECT_EQ(twice.devicePixelRatio(), 2.0);
  EXPECT_EQ(twice.pixel(1, 10), kBlack);
  EXPECT_EQ(BarEnd(twice, 4, 2), 2 * 241);
  // Enlarged, every aligned 2 x 2 block would be of one colour; the text, drawn at
  // full density, has blocks of two colours.
  bool mixedBlock = false;
  for (int y = 2; y + 1 < 46 && !mixedBlock; y += 2) {
    for (int x = 2; x + 1 < 1148 && !mixedBlock; x += 2) {
      const QRgb p = twice.pixel(x, y);
      mixedBlock = twice.pixel(x + 1, y) != p || twice.pixel(x, y + 1) != p || twice.pixel(x + 1, y + 1) != p;
    }
  }
  EXPECT_TRUE(mixedBlock);
  EXPECT_EQ(single.size(), QSize(575, 24));

  gauge.SetProgress(250);
  EXPECT_EQ(gauge.Progress(), 100);
  gauge.SetProgress(-3);
  EXPECT_EQ(gauge.Progress(), 0);
}

}  // namespace
}  // namespace quenmar
