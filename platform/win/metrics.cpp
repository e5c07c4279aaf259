#include "platform/win/metrics.h"

#include "platform/win/window.h"

#include <algorithm>
#include <climits>

namespace win {

namespace {
std::vector<ScreenInfo>& List() {
  static auto* l = new std::vector<ScreenInfo>{{{0, 0, 1024, 768}, {0, 0, 1024, 768}}};
  return *l;
}
bool Contains(const TRect& r, POINT p) { return p.X >= r.Left && p.Y >= r.Top && p.X < r.Right && p.Y < r.Bottom; }
int64_t Dist2(const TRect& r, POINT p) {
  int64_t dx = p.X < r.Left ? r.Left - p.X : p.X >= r.Right ? p.X - r.Right + 1 : 0;
  int64_t dy = p.Y < r.Top ? r.Top - p.Y : p.Y >= r.Bottom ? p.Y - r.Bottom + 1 : 0;
  return dx * dx + dy * dy;
}
}  // namespace

void SetScreens(std::vector<ScreenInfo> screens) {
  if (screens.empty()) screens = {{{0, 0, 1024, 768}, {0, 0, 1024, 768}}};
  List() = std::move(screens);
}

const std::vector<ScreenInfo>& Screens() { return List(); }

HMONITOR MonitorFromPoint(POINT p, DWORD flags) {
  auto& l = List();
  for (size_t i = 0; i < l.size(); i++)
    if (Contains(l[i].bounds, p)) return HMONITOR{uint32_t(i + 1)};
  if (flags == MONITOR_DEFAULTTONULL) return {};
  if (flags == MONITOR_DEFAULTTOPRIMARY) return HMONITOR{1};
  size_t best = 0;
  int64_t bestD = INT64_MAX;
  for (size_t i = 0; i < l.size(); i++)
    if (int64_t d = Dist2(l[i].bounds, p); d < bestD) {
      bestD = d;
      best = i;
    }
  return HMONITOR{uint32_t(best + 1)};
}

HMONITOR MonitorFromRect(const RECT* r, DWORD flags) {
  if (!r) return MonitorFromPoint({0, 0}, flags);
  // The screen with the largest overlap, else the nearest to the centre.
  auto& l = List();
  int64_t bestArea = 0;
  size_t best = 0;
  for (size_t i = 0; i < l.size(); i++) {
    const TRect& b = l[i].bounds;
    int64_t w = std::min(b.Right, r->Right) - std::max(b.Left, r->Left);
    int64_t h = std::min(b.Bottom, r->Bottom) - std::max(b.Top, r->Top);
    if (w > 0 && h > 0 && w * h > bestArea) {
      bestArea = w * h;
      best = i;
    }
  }
  if (bestArea > 0) return HMONITOR{uint32_t(best + 1)};
  return MonitorFromPoint({(r->Left + r->Right) / 2, (r->Top + r->Bottom) / 2}, flags);
}

HMONITOR MonitorFromWindow(HWND hwnd, DWORD flags) {
  RECT r;
  if (!GetWindowRect(hwnd, &r)) return flags == MONITOR_DEFAULTTONULL ? HMONITOR{} : HMONITOR{1};
  return MonitorFromRect(&r, flags);
}

BOOL GetMonitorInfo(HMONITOR m, MONITORINFO* info) {
  auto& l = List();
  if (!info || m.v == 0 || m.v > l.size()) return FALSE;
  info->rcMonitor = l[m.v - 1].bounds;
  info->rcWork = l[m.v - 1].workArea;
  info->dwFlags = m.v == 1 ? MONITORINFOF_PRIMARY : 0;
  return TRUE;
}

int GetSystemMetrics(int index) {
  const TRect& p = List().front().bounds;
  switch (index) {
    case SM_CXSCREEN:
      return p.Width();
    case SM_CYSCREEN:
      return p.Height();
    case SM_CXFULLSCREEN:
      return List().front().workArea.Width();
    case SM_CYFULLSCREEN:
      return List().front().workArea.Height() - 19;
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
      return 17;
    case SM_CYCAPTION:
      return 19;
    case SM_CYSMCAPTION:
      return 15;
    case SM_CXBORDER:
    case SM_CYBORDER:
      return 1;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME:
      return 3;
    case SM_CXFRAME:
    case SM_CYFRAME:
      return 3;
    case SM_CXEDGE:
    case SM_CYEDGE:
      return 2;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
      return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
      return 16;
    case SM_CXSIZE:
    case SM_CYSIZE:
      return 18;
    case SM_CYMENU:
      return 19;
    case SM_CXMIN:
      return 112;
    case SM_CYMIN:
      return 27;
    case SM_CXDOUBLECLK:
    case SM_CYDOUBLECLK:
      return 4;
    case SM_CMONITORS:
      return int(List().size());
  }
  return 0;
}

BOOL SystemParametersInfo(UINT action, UINT, void* out, UINT) {
  switch (action) {
    case SPI_GETWORKAREA:
      if (!out) return FALSE;
      *static_cast<RECT*>(out) = List().front().workArea;
      return TRUE;
    case SPI_GETDRAGFULLWINDOWS:
      if (out) *static_cast<BOOL*>(out) = TRUE;
      return TRUE;
  }
  return FALSE;
}

}  // namespace win
