// The move/size loop: started by a press on the caption or a sizing edge of
// any window (a child's sizing code sizes its top-level) or by SC_MOVE /
// SC_SIZE. WM_MOVING / WM_SIZING may adjust the rectangle; the track limits
// of WM_GETMINMAXINFO clamp it; Escape puts the window back; the loop eats
// the button release. It never relies on a window manager.
#include "platform/win/metrics.h"
#include "platform/win/window_internal.h"

#include <algorithm>

namespace win {
namespace detail {

int WmszFromHit(int hit) {
  switch (hit) {
    case HTLEFT:
      return WMSZ_LEFT;
    case HTRIGHT:
      return WMSZ_RIGHT;
    case HTTOP:
      return WMSZ_TOP;
    case HTTOPLEFT:
      return WMSZ_TOPLEFT;
    case HTTOPRIGHT:
      return WMSZ_TOPRIGHT;
    case HTBOTTOM:
      return WMSZ_BOTTOM;
    case HTBOTTOMLEFT:
      return WMSZ_BOTTOMLEFT;
    case HTBOTTOMRIGHT:
    case HTGROWBOX:
      return WMSZ_BOTTOMRIGHT;
  }
  return 0;
}

void RunMoveSizeLoop(HWND h, int edge) {
  Window* w = Find(h);
  if (!w || w->messageOnly) return;
  auto keep = Keep(h);
  SendMessage(h, WM_ENTERSIZEMOVE);
  if (!Find(h)) return;
  MINMAXINFO mmi;
  mmi.ptMinTrackSize = {GetSystemMetrics(SM_CXMIN), GetSystemMetrics(SM_CYMIN)};
  mmi.ptMaxTrackSize = {GetSystemMetrics(SM_CXSCREEN) + 12, GetSystemMetrics(SM_CYSCREEN) + 12};
  SendMessage(h, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
  const TRect start = w->rect;
  POINT origin;
  GetCursorPos(&origin);
  SetCapture(h);
  bool left = edge == WMSZ_LEFT || edge == WMSZ_TOPLEFT || edge == WMSZ_BOTTOMLEFT;
  bool right = edge == WMSZ_RIGHT || edge == WMSZ_TOPRIGHT || edge == WMSZ_BOTTOMRIGHT;
  bool top = edge == WMSZ_TOP || edge == WMSZ_TOPLEFT || edge == WMSZ_TOPRIGHT;
  bool bottom = edge == WMSZ_BOTTOM || edge == WMSZ_BOTTOMLEFT || edge == WMSZ_BOTTOMRIGHT;
  auto apply = [&](const TRect& r) {
    SetWindowPos(h, nullptr, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  };
  for (;;) {
    if (!Find(h) || GetCapture() != h) break;
    MSG m;
    if (!PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
      WaitMessage();
      continue;
    }
    if (m.message == WM_QUIT) {
      PostQuitMessage(int(m.wParam));
      break;
    }
    if (m.message == WM_LBUTTONUP) break;
    if (m.message == WM_KEYDOWN && (m.wParam == VK_ESCAPE || m.wParam == VK_RETURN)) {
      if (m.wParam == VK_ESCAPE) apply(start);
      break;
    }
    if (m.message != WM_MOUSEMOVE) {
      if (m.message != WM_NULL && !(m.message >= WM_KEYDOWN && m.message <= WM_SYSCHAR)) {
        TranslateMessage(&m);
        DispatchMessage(&m);
      }
      continue;
    }
    int dx = m.pt.X - origin.X, dy = m.pt.Y - origin.Y;
    TRect r = start;
    if (edge == 0) {
      r = {start.Left + dx, start.Top + dy, start.Right + dx, start.Bottom + dy};
      SendMessage(h, WM_MOVING, 0, reinterpret_cast<LPARAM>(&r));
    } else {
      if (left) r.Left += dx;
      if (right) r.Right += dx;
      if (top) r.Top += dy;
      if (bottom) r.Bottom += dy;
      SendMessage(h, WM_SIZING, WPARAM(edge), reinterpret_cast<LPARAM>(&r));
      // The moving edges give way to the track limits.
      int wmin = mmi.ptMinTrackSize.X, hmin = mmi.ptMinTrackSize.Y;
      int wmax = mmi.ptMaxTrackSize.X, hmax = mmi.ptMaxTrackSize.Y;
      int cw = std::clamp(r.Width(), wmin, std::max(wmin, wmax));
      int ch = std::clamp(r.Height(), hmin, std::max(hmin, hmax));
      if (left)
        r.Left = r.Right - cw;
      else
        r.Right = r.Left + cw;
      if (top)
        r.Top = r.Bottom - ch;
      else
        r.Bottom = r.Top + ch;
    }
    if (!Find(h)) break;
    apply(r);
  }
  if (GetCapture() == h) ReleaseCapture();
  if (Find(h)) SendMessage(h, WM_EXITSIZEMOVE);
}

}  // namespace detail
}  // namespace win
