// The conversion run's window in a terminal: the archive path stands in for the
// path box, the status line is kept for the caller to print, and the gauge is a
// progress bar on standard error when that is a terminal, redrawn and wiped with
// carriage returns and spaces only, so that any terminal or Windows console shows
// it cleanly.
#pragma once

#include <iosfwd>

#include "conversion/conversion_window.h"

namespace quenmar {

class ConsoleWindow : public ConversionWindow {
 public:
  // Progress goes to Err when ShowProgress is true.
  ConsoleWindow(Text inputPath, std::ostream& err, bool showProgress);

  void DisableStart() override {}
  void SetGaugeVisible(bool visible) override;
  void SetGaugeProgress(int progress) override;
  void SetStatus(const Text& text) override { status_ = text; }
  Text InputPath() override { return inputPath_; }
  void ProcessMessages() override {}

  const Text& Status() const { return status_; }

 private:
  void Draw();

  Text inputPath_;
  Text status_;
  std::ostream& err_;
  bool showProgress_;
  bool visible_ = false;
  int progress_ = -1;
};

}  // namespace quenmar
