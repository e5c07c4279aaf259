// The Win32 rectangle rules: right and bottom edges are outside the
// rectangle, an empty rectangle contains nothing.
#pragma once

#include "platform/gfx/types.h"

namespace gfx {

using rtl::Bounds;
using rtl::Point;
using rtl::Rect;

inline namespace win32api {
constexpr bool IsRectEmpty(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }
constexpr bool PtInRect(const TRect& r, TPoint p) {
  return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom;
}
// Both return false and an empty result when nothing is left.
bool IntersectRect(TRect& dst, const TRect& a, const TRect& b);
bool UnionRect(TRect& dst, const TRect& a, const TRect& b);
bool SubtractRect(TRect& dst, const TRect& a, const TRect& b);
inline bool OffsetRect(TRect& r, int dx, int dy) {
  r.Left += dx;
  r.Right += dx;
  r.Top += dy;
  r.Bottom += dy;
  return true;
}
inline bool InflateRect(TRect& r, int dx, int dy) {
  r.Left -= dx;
  r.Right += dx;
  r.Top -= dy;
  r.Bottom += dy;
  return true;
}
inline bool SetRect(TRect& r, int l, int t, int rr, int b) {
  r = TRect(l, t, rr, b);
  return true;
}
inline bool SetRectEmpty(TRect& r) {
  r = TRect();
  return true;
}
inline bool CopyRect(TRect& dst, const TRect& src) {
  dst = src;
  return true;
}
inline bool EqualRect(const TRect& a, const TRect& b) { return a == b; }
// a*b/c rounded half away from zero; -1 when c is 0, as Win32 does.
int MulDiv(int a, int b, int c);
}  // namespace win32api

}  // namespace gfx
