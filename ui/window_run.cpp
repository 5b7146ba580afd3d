#include "ui/window_run.h"

#include <exception>
#include <thread>
#include <utility>

namespace quenmar {

WindowRun::WindowRun(ConversionWindow& window, WindowThread& thread, Text path)
    : window_(window), thread_(thread), path_(std::move(path)) {}

void WindowRun::DisableStart() {
  Queue([](ConversionWindow& window) { window.DisableStart(); });
}

void WindowRun::SetGaugeVisible(bool visible) {
  Queue([visible](ConversionWindow& window) { window.SetGaugeVisible(visible); });
}

void WindowRun::SetGaugeProgress(int progress) {
  // Called for every entry; the window needs to hear of each percent once.
  if (progress == progress_) return;
  progress_ = progress;
  Queue([progress](ConversionWindow& window) { window.SetGaugeProgress(progress); });
}

void WindowRun::SetStatus(const Text& text) {
  Queue([text](ConversionWindow& window) { window.SetStatus(text); });
}

void WindowRun::Queue(Call call) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    queued_.push_back(std::move(call));
  }
  thread_.Wake();
}

bool WindowRun::PerformQueued() {
  std::vector<Call> calls;
  bool ended = false;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    calls.swap(queued_);
    ended = ended_;
  }
  for (const Call& call : calls) call(window_);
  return ended;
}

void WindowRun::WaitUntilEnded() {
  std::unique_lock<std::mutex> lock(mutex_);
  endedChanged_.wait(lock, [this] { return ended_; });
}

void WindowRun::Go(const std::function<void(ConversionWindow&)>& work) {
  std::exception_ptr failure;
  std::thread runner([&] {
    try {
      work(*this);
    } catch (...) {
      failure = std::current_exception();
    }
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      ended_ = true;
    }
    endedChanged_.notify_all();
    thread_.Wake();
  });
  try {
    while (!PerformQueued()) {
      thread_.WaitForEvents();
      window_.ProcessMessages();
    }
  } catch (...) {
    // The window failed: the run stops and cleans up before the failure goes on.
    RequestStop();
    runner.join();
    throw;
  }
  runner.join();
  if (failure) std::rethrow_exception(failure);
}

}  // namespace quenmar
