// Functions of Windows 10 and later, looked up at run time so that the programs
// still start on older systems, where each falls back to the older way.
#pragma once

#include <windows.h>

namespace quenmar::win32 {

// A function of the loaded system library Module, or null where the system lacks
// it.
template <typename Function>
Function SystemFunction(const wchar_t* module, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(module), name)));
}

// A function of user32, or null where the system lacks it.
template <typename Function>
Function User32Function(const char* name) {
  return SystemFunction<Function>(L"user32.dll", name);
}

// The DPI Window is shown at (GetDpiForWindow); 96 where the system cannot say.
inline int WindowDpi(HWND window) {
  using GetDpi = UINT(WINAPI*)(HWND);
  static const auto getDpi = User32Function<GetDpi>("GetDpiForWindow");
  const UINT dpi = getDpi != nullptr ? getDpi(window) : 0;
  return dpi != 0 ? static_cast<int>(dpi) : 96;
}

// A system metric at Dpi (GetSystemMetricsForDpi); the system DPI's where the
// system cannot say.
inline int SystemMetricAt(int metric, int dpi) {
  using MetricForDpi = int(WINAPI*)(int, UINT);
  static const auto metricForDpi = User32Function<MetricForDpi>("GetSystemMetricsForDpi");
  return metricForDpi != nullptr ? metricForDpi(metric, static_cast<UINT>(dpi)) : ::GetSystemMetrics(metric);
}

}  // namespace quenmar::win32
