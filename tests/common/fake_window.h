// A window for the conversion run that records what the run does to it.
#pragma once

#include <vector>

#include "conversion/conversion_window.h"

namespace quenmar::testing {

class FakeWindow : public ConversionWindow {
 public:
  explicit FakeWindow(Text input) : input_(std::move(input)) {}
  void DisableStart() override { startEnabled = false; }
  void SetGaugeVisible(bool visible) override { gaugeVisible = visible; }
  void SetGaugeProgress(int progress) override { progressSeen.push_back(progress); }
  void SetStatus(const Text& text) override { status = text; }
  Text InputPath() override { return input_; }
  void ProcessMessages() override { ++pumps; }

  bool startEnabled = true;
  bool gaugeVisible = false;
  std::vector<int> progressSeen;
  Text status;
  int pumps = 0;

 private:
  Text input_;
};

}  // namespace quenmar::testing
