#include "cli/console_window.h"

#include <ostream>
#include <string>

namespace quenmar {
namespace {

constexpr int kBarWidth = 40;
// "[", the bar, "] 100 %": the widest the line gets.
constexpr int kLineWidth = 1 + kBarWidth + 2 + 3 + 2;

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
    // Wiped with spaces, not an escape sequence: a Windows console without
    // virtual-terminal processing would show one as text.
    err_ << '\r' << std::string(kLineWidth, ' ') << '\r' << std::flush;
  }
}

void ConsoleWindow::SetGaugeProgress(int progress) {
  if (progress == progress_) return;
  progress_ = progress;
  if (showProgress_ && visible_) Draw();
}

void ConsoleWindow::Draw() {
  const int filled = progress_ * kBarWidth / 100;
  std::string line = "[" + std::string(static_cast<size_t>(filled), '#') +
                     std::string(static_cast<size_t>(kBarWidth - filled), ' ') + "] " + std::to_string(progress_) + " %";
  line.resize(kLineWidth, ' ');  // over whatever a longer line left
  err_ << '\r' << line << std::flush;
}

}  // namespace quenmar
