#include "ui/win32/shutdown_reason.h"

#include <utility>

namespace quenmar::win32 {
namespace {

ShutdownReasonRecorder& Recorder() {
  static ShutdownReasonRecorder recorder;
  return recorder;
}

}  // namespace

const wchar_t kShutdownReason[] = L"Probíhá konverze archivu. Při vypnutí se přeruší a nedokončený archiv se smaže.";

void SetShutdownReasonRecorder(ShutdownReasonRecorder recorder) { Recorder() = std::move(recorder); }

void ShowShutdownReason(HWND window, bool running) {
  if (Recorder()) {
    Recorder()(window, running ? kShutdownReason : nullptr);
    return;
  }
  if (running) {
    ::ShutdownBlockReasonCreate(window, kShutdownReason);
  } else {
    ::ShutdownBlockReasonDestroy(window);
  }
}

}  // namespace quenmar::win32
