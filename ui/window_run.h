// A conversion run kept off the window's thread, so that the window goes on
// answering while entries are converted: it repaints and moves, Zrušit and Escape
// stop the run, and Windows never takes it for hung.
//
// Go runs Work on a thread of its own and hands it this object as the run's
// window. Of its six operations, the four that change the window are queued and
// performed on the window's thread, in order, by the loop Go runs meanwhile there
// (wait for events, handle them, perform what is queued); the gauge's progress is
// queued only when it changes. InputPath is the path given to the run; the run's
// ProcessMessages does nothing, the loop does that. Go returns once Work has ended
// and all it queued has been performed; what Work threw, Go throws again.
//
// RequestStop, from the window's thread while Go runs (its events are handled
// inside Go), makes StopRequested true for the rest of the run; WaitUntilEnded
// blocks until Work has ended, its clean-up done.
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

#include "conversion/conversion_window.h"

namespace quenmar {

// The window's thread as a run sees it.
class WindowThread {
 public:
  virtual ~WindowThread() = default;
  // Blocks until the window's thread has events to handle or Wake was called
  // since the last return; may return early.
  virtual void WaitForEvents() = 0;
  // Ends the WaitForEvents going on, or the next one. Safe from any thread.
  virtual void Wake() = 0;
};

class WindowRun final : public ConversionWindow {
 public:
  // Window's operations are performed on the thread that calls Go, Window's own.
  WindowRun(ConversionWindow& window, WindowThread& thread, Text path);
  WindowRun(const WindowRun&) = delete;
  WindowRun& operator=(const WindowRun&) = delete;

  void Go(const std::function<void(ConversionWindow&)>& work);
  void RequestStop() { stop_ = true; }
  void WaitUntilEnded();

  void DisableStart() override;
  void SetGaugeVisible(bool visible) override;
  void SetGaugeProgress(int progress) override;
  void SetStatus(const Text& text) override;
  Text InputPath() override { return path_; }
  void ProcessMessages() override {}
  bool StopRequested() override { return stop_; }

 private:
  using Call = std::function<void(ConversionWindow&)>;
  void Queue(Call call);
  // Performs what is queued; true when Work had ended before, so that nothing
  // more will come.
  bool PerformQueued();

  ConversionWindow& window_;
  WindowThread& thread_;
  const Text path_;
  std::atomic<bool> stop_{false};
  int progress_ = -1;  // the run's thread's: the last progress queued
  std::mutex mutex_;
  std::condition_variable endedChanged_;
  std::vector<Call> queued_;
  bool ended_ = false;
};

}  // namespace quenmar
