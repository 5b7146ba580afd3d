#include "cli/console_window.h"

#include <ostream>
#include <string>

namespace quenmar {
namespace {

constexpr int kBarWidth = 40;

}  // namespace

ConsoleWindow::ConsoleWindow(Text inputPath, std::ostream& err, bool showProgress)
    : inputPath_(std::move(inputPath)), err_(err), showProgress_(showProgress) {}

void ConsoleWindow::SetGaugeVisible(bool visible) {
  if (visible == visible_) return;
  visible_ = visible;
  if (!showProgress_) return;
  if (visible) {
    progress_ = -1;
  } else {
    err_ << "\r\033[K" << std::flush;  // wipe the bar
  }
}

void ConsoleWindow::SetGaugeProgress(int progress) {
  if (progress == progress_) return;
  progress_ = progress;
  if (showProgress_ && visible_) Draw();
}

void ConsoleWindow::Draw() {
  const int filled = progress_ * kBarWidth / 100;
  err_ << "\r[" << std::string(static_cast<size_t>(filled), '#') << std::string(static_cast<size_t>(kBarWidth - filled), ' ')
       << "] " << progress_ << " %" << std::flush;
}

}  // namespace quenmar
