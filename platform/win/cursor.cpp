#include "platform/win/cursor.h"

#include "platform/win/window_internal.h"

namespace win {

namespace {
gfx::HCURSOR g_current{uint32_t(IDC_ARROW)};
}

gfx::HCURSOR LoadCursor(const void*, int id) {
  switch (id) {
    case IDC_ARROW:
    case IDC_IBEAM:
    case IDC_WAIT:
    case IDC_CROSS:
    case IDC_UPARROW:
    case IDC_SIZENWSE:
    case IDC_SIZENESW:
    case IDC_SIZEWE:
    case IDC_SIZENS:
    case IDC_SIZEALL:
    case IDC_NO:
    case IDC_HAND:
    case IDC_APPSTARTING:
      return gfx::HCURSOR(uint32_t(id));
  }
  return {};
}

gfx::HCURSOR SetCursor(gfx::HCURSOR cursor) {
  gfx::HCURSOR old = g_current;
  g_current = cursor;
  HWND target = GetCapture();
  if (!target) {
    POINT p;
    GetCursorPos(&p);
    target = WindowFromPoint(p);
  }
  if (detail::Window* w = detail::Find(target))
    if (detail::Window* top = detail::TopLevelOf(w); top && top->surface)
      Backend().SetCursor(top->surface, int(cursor.v));
  return old;
}

gfx::HCURSOR GetCursor() { return g_current; }

int CursorForHitTest(int hit) {
  switch (hit) {
    case HTLEFT:
    case HTRIGHT:
      return IDC_SIZEWE;
    case HTTOP:
    case HTBOTTOM:
      return IDC_SIZENS;
    case HTTOPLEFT:
    case HTBOTTOMRIGHT:
    case HTGROWBOX:
      return IDC_SIZENWSE;
    case HTTOPRIGHT:
    case HTBOTTOMLEFT:
      return IDC_SIZENESW;
  }
  return IDC_ARROW;
}

}  // namespace win
