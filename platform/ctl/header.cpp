// The list view's column header: a plain child window of class "SysHeader32"
// whose sections are the list's columns. It is not a class-library control,
// so FindControl does not know it and a subclass replaces its procedure with
// SetWindowLong(GWL_WNDPROC) as on Windows.
#include "platform/ctl/header.h"

#include "platform/ctl/listview.h"
#include "platform/gfx/dc.h"
#include "platform/gfx/raster.h"
#include "platform/gfx/text.h"
#include "platform/win/cursor.h"

#include <algorithm>
#include <cstdlib>

namespace ctl {

using namespace win;

namespace {
constexpr const char* kProp = "ctl.header.list";
constexpr int kGrab = 3;  // pixels either side of a divider that grab it

struct Track {
  HWND header;
  int tracking = -1, startX = 0, startWidth = 0;
  int pressed = -1;
  bool pressedIn = false;
};
Track g_track;  // one drag at a time: it holds the capture

TCustomListView* List(HWND h) { return reinterpret_cast<TCustomListView*>(GetProp(h, kProp)); }

int ClientHeight(HWND h) {
  RECT r;
  GetClientRect(h, &r);
  return r.Height();
}

TRect Section(TCustomListView* lv, HWND h, int i) {
  int left = lv->ColumnLeft(i);
  return {left, 0, left + lv->Columns()->Items(i)->Width(), ClientHeight(h)};
}

int HitTest(TCustomListView* lv, HWND h, POINT p, UINT* flags) {
  RECT c;
  GetClientRect(h, &c);
  UINT f = 0;
  if (p.Y < 0) f |= HHT_ABOVE;
  if (p.Y >= c.Bottom) f |= HHT_BELOW;
  if (p.X < 0) f |= HHT_TOLEFT;
  if (p.X >= c.Right) f |= HHT_TORIGHT;
  if (f) {
    *flags = f;
    return -1;
  }
  int n = lv->Columns()->Count();
  // A divider belongs to the nearest visible section ending there (the later
  // one on a tie); hidden sections are only found when no visible one is.
  int best = -1, bestDist = kGrab + 1, open = -1;
  for (int i = 0; i < n; i++) {
    TRect r = Section(lv, h, i);
    int d = std::abs(p.X - r.Right);
    if (d > kGrab) continue;
    if (r.Width() > 0) {
      if (d <= bestDist) {
        best = i;
        bestDist = d;
      }
    } else if (open < 0) {
      open = i;
    }
  }
  if (best >= 0) {
    *flags = HHT_ONDIVIDER;
    return best;
  }
  if (open >= 0) {
    *flags = HHT_ONDIVOPEN;
    return open;
  }
  for (int i = 0; i < n; i++) {
    TRect r = Section(lv, h, i);
    if (r.Width() > 0 && p.X >= r.Left && p.X < r.Right) {
      *flags = HHT_ONHEADER;
      return i;
    }
  }
  *flags = HHT_NOWHERE;
  return -1;
}

LRESULT Notify(HWND h, UINT code, int item, int cxy = 0) {
  NMHEADER nm;
  nm.hdr.hwndFrom = h;
  nm.hdr.idFrom = uintptr_t(GetWindowLong(h, GWL_ID));
  nm.hdr.code = code;
  nm.iItem = item;
  nm.cxy = cxy;
  HWND parent = GetParent(h);
  return parent ? SendMessage(parent, WM_NOTIFY, WPARAM(nm.hdr.idFrom), LPARAM(&nm)) : 0;
}

void Paint(TCustomListView* lv, HWND h, gfx::HDC dc) {
  RECT c;
  GetClientRect(h, &c);
  int saved = gfx::SaveDC(dc);
  gfx::SelectObject(dc, lv->Font()->Handle());
  gfx::SetBkMode(dc, gfx::TRANSPARENT);
  gfx::SetTextColor(dc, gfx::GetSysColor(gfx::COLOR_BTNTEXT));
  gfx::HBRUSH face = gfx::GetSysColorBrush(gfx::COLOR_BTNFACE);
  int n = lv->Columns()->Count(), right = 0;
  for (int i = 0; i < n; i++) {
    TRect r = Section(lv, h, i);
    right = std::max(right, r.Right);
    if (r.Width() <= 0) continue;
    TListColumn* col = lv->Columns()->Items(i);
    gfx::FillRect(dc, &r, face);
    bool down = g_track.header == h && g_track.pressed == i && g_track.pressedIn;
    RECT e = r;
    gfx::DrawEdge(dc, &e, down ? gfx::EDGE_SUNKEN : gfx::EDGE_RAISED, gfx::BF_RECT);
    RECT t{r.Left + 6 + (down ? 1 : 0), r.Top + (down ? 1 : 0), r.Right - 6, r.Bottom};
    gfx::HIMAGELIST il = lv->SmallImages();
    if (il && col->ImageIndex() >= 0 && col->ImageIndex() < il->Count()) {
      il->DrawDC(dc, t.Left, t.Top + (t.Height() - il->Height()) / 2, col->ImageIndex());
      t.Left += il->Width() + 4;
    }
    UINT align = col->Alignment() == cl::taRightJustify ? gfx::DT_RIGHT
                 : col->Alignment() == cl::taCenter     ? gfx::DT_CENTER
                                                        : gfx::DT_LEFT;
    if (t.Right > t.Left)
      gfx::DrawText(dc, col->Caption(), -1, &t,
                    align | gfx::DT_SINGLELINE | gfx::DT_VCENTER | gfx::DT_END_ELLIPSIS | gfx::DT_NOPREFIX);
  }
  if (right < c.Right) {
    RECT rest{right, 0, c.Right, c.Bottom};
    gfx::FillRect(dc, &rest, face);
    gfx::DrawEdge(dc, &rest, gfx::EDGE_RAISED, gfx::BF_RECT);
  }
  gfx::RestoreDC(dc, saved);
}

void EndTrack(HWND h, bool notify) {
  Track t = g_track;
  g_track = Track{};
  if (t.header != h) return;
  if (notify && t.tracking >= 0) Notify(h, HDN_ENDTRACK, t.tracking);
  if (t.pressed >= 0) InvalidateRect(h, nullptr, FALSE);
}

LRESULT HeaderProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCT*>(lp);
    SetProp(h, kProp, intptr_t(cs ? cs->lpCreateParams : nullptr));
    return DefWindowProc(h, msg, wp, lp);
  }
  TCustomListView* lv = List(h);
  if (!lv) return DefWindowProc(h, msg, wp, lp);
  POINT pt{GET_X_LPARAM(lp), GET_Y_LPARAM(lp)};
  switch (msg) {
    case WM_NCDESTROY:
      if (g_track.header == h) g_track = Track{};
      RemoveProp(h, kProp);
      return DefWindowProc(h, msg, wp, lp);
    case HDM_GETITEMCOUNT:
      return lv->Columns()->Count();
    case HDM_GETITEMRECT: {
      int i = int(wp);
      auto* r = reinterpret_cast<RECT*>(lp);
      if (!r || i < 0 || i >= lv->Columns()->Count()) return FALSE;
      *r = Section(lv, h, i);
      return TRUE;
    }
    case HDM_GETORDERARRAY: {
      int* out = reinterpret_cast<int*>(lp);
      int n = lv->Columns()->Count();
      if (!out || int(wp) != n) return FALSE;
      for (int i = 0; i < n; i++) out[i] = i;  // columns are never reordered
      return TRUE;
    }
    case HDM_HITTEST: {
      auto* info = reinterpret_cast<HDHITTESTINFO*>(lp);
      if (!info) return -1;
      info->iItem = HitTest(lv, h, info->pt, &info->flags);
      return info->iItem;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      if (wp) {
        Paint(lv, h, gfx::HDC(uint32_t(wp)));
        return 0;
      }
      PAINTSTRUCT ps;
      gfx::HDC dc = BeginPaint(h, &ps);
      if (dc) Paint(lv, h, dc);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_SETCURSOR: {
      POINT p;
      GetCursorPos(&p);
      ScreenToClient(h, &p);
      UINT f = 0;
      HitTest(lv, h, p, &f);
      if (g_track.header == h && g_track.tracking >= 0) f = HHT_ONDIVIDER;
      if (f & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) {
        SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
        return TRUE;
      }
      return DefWindowProc(h, msg, wp, lp);
    }
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      UINT f = 0;
      int i = HitTest(lv, h, pt, &f);
      if (msg == WM_LBUTTONDBLCLK && (f & HHT_ONDIVIDER)) {
        Notify(h, HDN_DIVIDERDBLCLICK, i);
        return 0;
      }
      g_track = Track{};
      g_track.header = h;
      if (f & (HHT_ONDIVIDER | HHT_ONDIVOPEN)) {
        if (Notify(h, HDN_BEGINTRACK, i) != 0) {
          g_track = Track{};
          return 0;
        }
        g_track.tracking = i;
        g_track.startX = pt.X;
        g_track.startWidth = lv->Columns()->Items(i)->Width();
        SetCapture(h);
      } else if ((f & HHT_ONHEADER) && lv->ColumnClick) {
        g_track.pressed = i;
        g_track.pressedIn = true;
        SetCapture(h);
        InvalidateRect(h, nullptr, FALSE);
      } else {
        g_track = Track{};
      }
      return 0;
    }
    case WM_MOUSEMOVE:
      if (g_track.header != h) return 0;
      if (g_track.tracking >= 0) {
        Notify(h, HDN_TRACK, g_track.tracking, std::max(0, g_track.startWidth + pt.X - g_track.startX));
      } else if (g_track.pressed >= 0) {
        TRect r = Section(lv, h, g_track.pressed);
        bool in = pt.X >= r.Left && pt.X < r.Right && pt.Y >= r.Top && pt.Y < r.Bottom;
        if (in != g_track.pressedIn) {
          g_track.pressedIn = in;
          InvalidateRect(h, nullptr, FALSE);
        }
      }
      return 0;
    case WM_LBUTTONUP: {
      if (g_track.header != h) return 0;
      Track t = g_track;
      g_track = Track{};
      if (GetCapture() == h) ReleaseCapture();
      if (t.tracking >= 0) Notify(h, HDN_ENDTRACK, t.tracking);
      if (t.pressed >= 0) {
        InvalidateRect(h, nullptr, FALSE);
        if (t.pressedIn && IsWindow(h)) Notify(h, HDN_ITEMCLICK, t.pressed);
      }
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (HWND(uint32_t(lp)) != h) EndTrack(h, true);
      return 0;
  }
  return DefWindowProc(h, msg, wp, lp);
}
}  // namespace

HWND CreateHeaderWindow(TCustomListView* list, HWND parent) {
  static bool registered = [] {
    WNDCLASS wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = MakeWndProc(HeaderProc);
    wc.cursor = IDC_ARROW;
    wc.lpszClassName = kHeaderClass;
    return RegisterClass(wc);
  }();
  (void)registered;
  return CreateWindowEx(0, kHeaderClass, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent, 0, list);
}

}  // namespace ctl
