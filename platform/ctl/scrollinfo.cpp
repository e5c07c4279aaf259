#include "platform/ctl/scrollinfo.h"

#include "platform/ctl/internal.h"
#include "platform/win/window.h"

#include <algorithm>
#include <unordered_map>

namespace ctl {

using namespace win;

namespace {
struct Bars {
  SCROLLINFO bar[2];
};

struct Table {
  std::unordered_map<HWND, Bars> windows;
  int observer = 0;
};

Table& T() {
  static Table* t = new Table;
  if (!t->observer) t->observer = AddDestroyObserver([](HWND h) { T().windows.erase(h); });
  return *t;
}

SCROLLINFO* Find(HWND hwnd, int bar, bool create) {
  if ((bar != SB_HORZ && bar != SB_VERT) || !IsWindow(hwnd)) return nullptr;
  auto& w = T().windows;
  auto it = w.find(hwnd);
  if (it == w.end()) {
    if (!create) return nullptr;
    it = w.emplace(hwnd, Bars{}).first;
  }
  return &it->second.bar[bar];
}

void Clamp(SCROLLINFO& s) {
  if (s.nMax < s.nMin) s.nMax = s.nMin;
  s.nPage = std::min<UINT>(s.nPage, UINT(s.nMax - s.nMin + 1));
  int top = s.nMax - std::max(int(s.nPage) - 1, 0);
  s.nPos = std::clamp(s.nPos, s.nMin, std::max(s.nMin, top));
}
}  // namespace

BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* si) {
  if (!si || (bar != SB_HORZ && bar != SB_VERT) || !IsWindow(hwnd)) return FALSE;
  SCROLLINFO* s = Find(hwnd, bar, false);
  SCROLLINFO empty;
  if (!s) s = &empty;
  if (si->fMask & SIF_RANGE) {
    si->nMin = s->nMin;
    si->nMax = s->nMax;
  }
  if (si->fMask & SIF_PAGE) si->nPage = s->nPage;
  if (si->fMask & SIF_POS) si->nPos = s->nPos;
  if (si->fMask & SIF_TRACKPOS) si->nTrackPos = s->nPos;
  return TRUE;
}

int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* si, BOOL) {
  SCROLLINFO* s = Find(hwnd, bar, true);
  if (!s || !si) return 0;
  if (si->fMask & SIF_RANGE) {
    s->nMin = si->nMin;
    s->nMax = si->nMax;
  }
  if (si->fMask & SIF_PAGE) s->nPage = si->nPage;
  if (si->fMask & SIF_POS) s->nPos = si->nPos;
  Clamp(*s);
  return s->nPos;
}

BOOL GetScrollRange(HWND hwnd, int bar, int* minPos, int* maxPos) {
  SCROLLINFO si;
  si.fMask = SIF_RANGE;
  if (!GetScrollInfo(hwnd, bar, &si)) return FALSE;
  if (minPos) *minPos = si.nMin;
  if (maxPos) *maxPos = si.nMax;
  return TRUE;
}

BOOL SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw) {
  SCROLLINFO si;
  si.fMask = SIF_RANGE;
  si.nMin = minPos;
  si.nMax = maxPos;
  if (!Find(hwnd, bar, true)) return FALSE;
  SetScrollInfo(hwnd, bar, &si, redraw);
  return TRUE;
}

int GetScrollPos(HWND hwnd, int bar) {
  SCROLLINFO si;
  si.fMask = SIF_POS;
  return GetScrollInfo(hwnd, bar, &si) ? si.nPos : 0;
}

int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw) {
  int old = GetScrollPos(hwnd, bar);
  SCROLLINFO si;
  si.fMask = SIF_POS;
  si.nPos = pos;
  SetScrollInfo(hwnd, bar, &si, redraw);
  return old;
}

BOOL ShowScrollBar(HWND hwnd, int, BOOL) { return IsWindow(hwnd); }

bool ScrollCodeTarget(int code, int current, int thumbPos, int line, int page, int maxPos, int& target) {
  int v = current;
  switch (code) {
    case SB_LINEUP:
      v -= line;
      break;
    case SB_LINEDOWN:
      v += line;
      break;
    case SB_PAGEUP:
      v -= page;
      break;
    case SB_PAGEDOWN:
      v += page;
      break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
      v = thumbPos;
      break;
    case SB_TOP:
      v = 0;
      break;
    case SB_BOTTOM:
      v = maxPos;
      break;
    default:
      return false;
  }
  target = std::clamp(v, 0, std::max(0, maxPos));
  return true;
}

void detail::SetScroll(cl::TWinControl* c, int bar, int maxPos, int page, int pos) {
  if (!c->HandleAllocated()) return;
  SCROLLINFO si;
  si.fMask = SIF_ALL;
  si.nMin = 0;
  si.nMax = std::max(0, maxPos);
  si.nPage = UINT(std::max(0, page));
  si.nPos = pos;
  SetScrollInfo(c->Handle(), bar, &si, TRUE);
}

}  // namespace ctl
