// What the conversion run needs of the window that started it: six operations.
// The Qt window and the terminal front end each provide them, so both share one
// run.
#pragma once

#include "support/text.h"

namespace quenmar {

class ConversionWindow {
 public:
  virtual ~ConversionWindow() = default;

  virtual void DisableStart() = 0;                 // BB_Start.Enabled := false
  virtual void SetGaugeVisible(bool visible) = 0;  // Gauge.Visible
  // Gauge.Progress (0 to 100); the gauge redraws at once, since no messages are
  // processed while entries are converted.
  virtual void SetGaugeProgress(int progress) = 0;
  virtual void SetStatus(const Text& text) = 0;    // E_Stav.Text
  virtual Text InputPath() = 0;                    // E_Soubor.Text
  virtual void ProcessMessages() = 0;              // handle the waiting messages once
};

}  // namespace quenmar
