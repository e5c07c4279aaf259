// Scroll-bar state without scroll bars. The cores never show native bars:
// skinned lists switch them off and drive their own skinned scroll bars from
// these values. Each window has a horizontal and a vertical record that the
// cores keep current as their content or view changes; the calls below read
// and write them with the Win32 rules (the position stays within
// [nMin, nMax - max(nPage - 1, 0)]). ShowScrollBar does nothing.
#pragma once

#include "platform/win/handles.h"

namespace ctl {

using win::BOOL;
using win::HWND;
using win::UINT;

struct SCROLLINFO {
  UINT cbSize = sizeof(SCROLLINFO);
  UINT fMask = 0;
  int nMin = 0;
  int nMax = 0;
  UINT nPage = 0;
  int nPos = 0;
  int nTrackPos = 0;
};
constexpr UINT SIF_RANGE = 0x1, SIF_PAGE = 0x2, SIF_POS = 0x4, SIF_DISABLENOSCROLL = 0x8, SIF_TRACKPOS = 0x10,
               SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

// `bar` is SB_HORZ or SB_VERT (SB_CTL and SB_BOTH are refused).
BOOL GetScrollInfo(HWND hwnd, int bar, SCROLLINFO* si);
// Returns the new position. `redraw` is accepted for the signature's sake.
int SetScrollInfo(HWND hwnd, int bar, const SCROLLINFO* si, BOOL redraw);
// A window whose content never scrolled reports (0, 0).
BOOL GetScrollRange(HWND hwnd, int bar, int* minPos, int* maxPos);
BOOL SetScrollRange(HWND hwnd, int bar, int minPos, int maxPos, BOOL redraw);
int GetScrollPos(HWND hwnd, int bar);
// Returns the previous position.
int SetScrollPos(HWND hwnd, int bar, int pos, BOOL redraw);
BOOL ShowScrollBar(HWND hwnd, int bar, BOOL show);

// Where a WM_HSCROLL/WM_VSCROLL code moves a position that runs from 0 to
// maxPos, by `line` or `page`, or to `thumbPos` for the thumb codes; the
// result is kept inside the range. False for codes that move nothing.
bool ScrollCodeTarget(int code, int current, int thumbPos, int line, int page, int maxPos, int& target);

}  // namespace ctl
