#include "ui/win32/taskbar_progress.h"

#include <objbase.h>
#include <shobjidl.h>

namespace quenmar::win32 {
namespace {

TaskbarRecorder& Recorder() {
  static TaskbarRecorder recorder;
  return recorder;
}

}  // namespace

void SetTaskbarRecorder(TaskbarRecorder recorder) { Recorder() = std::move(recorder); }

TaskbarProgress::~TaskbarProgress() {
  if (list_ != nullptr) static_cast<ITaskbarList3*>(list_)->Release();
  if (comStarted_) ::CoUninitialize();
}

void TaskbarProgress::Show(TaskbarState state, int percent) {
  if (state != TaskbarState::kProgress) percent = 0;
  if (state == state_ && percent == percent_) return;
  const bool stateChanged = state != state_;
  state_ = state;
  percent_ = percent;
  if (Recorder()) {
    Recorder()(button_, state, percent);
    return;
  }
  if (list_ == nullptr) {
    // The window's thread is a single-threaded apartment; a second start only counts.
    comStarted_ = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    ITaskbarList3* list = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER, IID_ITaskbarList3,
                                  reinterpret_cast<void**>(&list))) ||
        FAILED(list->HrInit())) {
      if (list != nullptr) list->Release();
      return;
    }
    list_ = list;
  }
  auto* list = static_cast<ITaskbarList3*>(list_);
  switch (state) {
    case TaskbarState::kNone:
      list->SetProgressState(button_, TBPF_NOPROGRESS);
      break;
    case TaskbarState::kProgress:
      if (stateChanged) list->SetProgressState(button_, TBPF_NORMAL);
      list->SetProgressValue(button_, static_cast<ULONGLONG>(percent), 100);
      break;
    case TaskbarState::kError:
      list->SetProgressState(button_, TBPF_ERROR);
      list->SetProgressValue(button_, 100, 100);  // a full red bar
      break;
  }
}

}  // namespace quenmar::win32
