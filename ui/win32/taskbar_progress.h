// A run's progress on the program's taskbar button (ITaskbarList3): the gauge's
// percentage while a run goes, the error state after a failure until the next
// action, nothing otherwise. Where the shell has no taskbar list the calls do
// nothing.
#pragma once

#include <windows.h>

#include <functional>

namespace quenmar::win32 {

enum class TaskbarState { kNone, kProgress, kError };

class TaskbarProgress {
 public:
  // Button: the window the taskbar shows.
  explicit TaskbarProgress(HWND button) : button_(button) {}
  ~TaskbarProgress();
  TaskbarProgress(const TaskbarProgress&) = delete;
  TaskbarProgress& operator=(const TaskbarProgress&) = delete;

  void SetButton(HWND button) { button_ = button; }
  // Percent counts for kProgress only. A call that changes nothing is not passed on.
  void Show(TaskbarState state, int percent = 0);

 private:
  HWND button_;
  TaskbarState state_ = TaskbarState::kNone;
  int percent_ = -1;
  void* list_ = nullptr;  // the shell's ITaskbarList3, made at the first call
  bool comStarted_ = false;
};

// Tests record the calls instead of the shell's taskbar (nothing for the shell).
using TaskbarRecorder = std::function<void(HWND button, TaskbarState state, int percent)>;
void SetTaskbarRecorder(TaskbarRecorder recorder);

}  // namespace quenmar::win32
