// Screens, work areas and system metrics. Screens come from a provider the
// backend (or a test) installs; the default is one 1024x768 screen whose work
// area is the whole screen (as under Xvfb without _NET_WORKAREA).
#pragma once

#include "platform/win/handles.h"

#include <vector>

namespace win {

struct HMONITOR {
  uint32_t v = 0;
  constexpr explicit operator bool() const { return v != 0; }
  friend constexpr bool operator==(HMONITOR, HMONITOR) = default;
};

struct MONITORINFO {
  DWORD cbSize = sizeof(MONITORINFO);
  RECT rcMonitor, rcWork;
  DWORD dwFlags = 0;  // MONITORINFOF_PRIMARY
};

struct ScreenInfo {
  TRect bounds, workArea;
};

constexpr DWORD MONITOR_DEFAULTTONULL = 0, MONITOR_DEFAULTTOPRIMARY = 1, MONITOR_DEFAULTTONEAREST = 2;
constexpr DWORD MONITORINFOF_PRIMARY = 1;
constexpr int SM_CXSCREEN = 0, SM_CYSCREEN = 1, SM_CXVSCROLL = 2, SM_CYHSCROLL = 3, SM_CYCAPTION = 4, SM_CXBORDER = 5,
              SM_CYBORDER = 6, SM_CXDLGFRAME = 7, SM_CYDLGFRAME = 8, SM_CXICON = 11, SM_CYICON = 12, SM_CXCURSOR = 13,
              SM_CYCURSOR = 14, SM_CYMENU = 15, SM_CXFULLSCREEN = 16, SM_CYFULLSCREEN = 17, SM_CXMIN = 28,
              SM_CYMIN = 29, SM_CXSIZE = 30, SM_CYSIZE = 31, SM_CXFRAME = 32, SM_CYFRAME = 33, SM_CXDOUBLECLK = 36,
              SM_CYDOUBLECLK = 37, SM_CXEDGE = 45, SM_CYEDGE = 46, SM_CXSMICON = 49, SM_CYSMICON = 50,
              SM_CYSMCAPTION = 51, SM_CMONITORS = 80;
constexpr UINT SPI_GETWORKAREA = 0x0030, SPI_GETDRAGFULLWINDOWS = 0x0026;

// Installs the screens (the first is the primary one); an empty list restores the default.
void SetScreens(std::vector<ScreenInfo> screens);
const std::vector<ScreenInfo>& Screens();
HMONITOR MonitorFromPoint(POINT p, DWORD flags);
HMONITOR MonitorFromRect(const RECT* r, DWORD flags);
HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags);
BOOL GetMonitorInfo(HMONITOR m, MONITORINFO* info);
int GetSystemMetrics(int index);
BOOL SystemParametersInfo(UINT action, UINT param, void* out, UINT winIni);

}  // namespace win
