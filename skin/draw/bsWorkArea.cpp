#include "skin/draw/bsWorkArea.h"

#include "platform/win/metrics.h"
#include "skin/draw/bsPixelRoutines.h"

namespace skin {

bool IsMultiMonitor() { return OptionalFunctions.MonitorFromWindow && win::GetSystemMetrics(win::SM_CMONITORS) > 1; }

void GetDesktopWorkArea(bool WorkArea, rtl::TRect& R) {
  if (WorkArea) {
    win::SystemParametersInfo(win::SPI_GETWORKAREA, 0, &R, 0);
    return;
  }
  R = rtl::TRect{0, 0, win::GetSystemMetrics(win::SM_CXSCREEN), win::GetSystemMetrics(win::SM_CYSCREEN)};
}

void GetMonitorWorkArea(win::HWND Wnd, bool WorkArea, rtl::TRect& R) {
  if (!IsMultiMonitor()) {
    GetDesktopWorkArea(WorkArea, R);
    return;
  }
  win::MONITORINFO info;
  if (!OptionalFunctions.GetMonitorInfo) return;
  win::HMONITOR m = OptionalFunctions.MonitorFromWindow(Wnd, win::MONITOR_DEFAULTTONEAREST);
  if (!m || !OptionalFunctions.GetMonitorInfo(m, &info)) return;
  R = WorkArea ? info.rcWork : info.rcMonitor;
}

}  // namespace skin
