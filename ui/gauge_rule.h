// The progress gauge's arithmetic, which every toolkit's gauge draws by: a value
// clamped into the range, the percentage shown, where the bar ends and the text.
//
// The picture: a one-pixel black frame, white inside, a navy bar from the inner
// left edge to BarEnd (exclusive, counted from the gauge's outer left edge), over
// the full inner height, and GaugeText centred, each of its pixels the inverse of
// what lies beneath.
#pragma once

#include <algorithm>
#include <string>

#include "support/text.h"

namespace quenmar {

struct GaugeColour {
  unsigned char red, green, blue;
};
inline constexpr GaugeColour kGaugeFrame{0, 0, 0};
inline constexpr GaugeColour kGaugeBack{255, 255, 255};
inline constexpr GaugeColour kGaugeBar{0, 0, 128};

inline int ClampedProgress(int progress, int minimum = 0, int maximum = 100) {
  return std::clamp(progress, minimum, std::max(minimum, maximum));
}

// trunc((progress - minimum) x 100 / (maximum - minimum)); 0 for an empty range.
inline int ShownPercentage(int progress, int minimum = 0, int maximum = 100) {
  if (maximum <= minimum) return 0;
  return static_cast<int>(static_cast<long long>(ClampedProgress(progress, minimum, maximum) - minimum) * 100 /
                          (maximum - minimum));
}

// The first pixel column past the bar, from the gauge's outer left edge.
inline int BarEnd(int percentage, int width) { return percentage * (width - 1) / 100; }

inline Text GaugeText(int percentage) {
  const std::string digits = std::to_string(percentage);
  Text text(digits.begin(), digits.end());
  return text + u'%';
}

}  // namespace quenmar
