#include "platform/gfx/rect.h"

#include <algorithm>
#include <cstdint>

namespace gfx {

bool win32api::IntersectRect(TRect& dst, const TRect& a, const TRect& b) {
  TRect r(std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom));
  if (IsRectEmpty(r)) {
    dst = TRect();
    return false;
  }
  dst = r;
  return true;
}

bool win32api::UnionRect(TRect& dst, const TRect& a, const TRect& b) {
  if (IsRectEmpty(a)) {
    dst = IsRectEmpty(b) ? TRect() : b;
  } else if (IsRectEmpty(b)) {
    dst = a;
  } else {
    dst = TRect(std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right),
                std::max(a.Bottom, b.Bottom));
  }
  return !IsRectEmpty(dst);
}

bool win32api::SubtractRect(TRect& dst, const TRect& a, const TRect& b) {
  // Only shrinks `a` when `b` covers a full side of it, as Win32 does.
  dst = a;
  TRect i;
  if (!IntersectRect(i, a, b)) return !IsRectEmpty(dst);
  if (i.Left == a.Left && i.Right == a.Right) {
    if (i.Top == a.Top)
      dst.Top = i.Bottom;
    else if (i.Bottom == a.Bottom)
      dst.Bottom = i.Top;
  } else if (i.Top == a.Top && i.Bottom == a.Bottom) {
    if (i.Left == a.Left)
      dst.Left = i.Right;
    else if (i.Right == a.Right)
      dst.Right = i.Left;
  }
  if (IsRectEmpty(dst)) {
    dst = TRect();
    return false;
  }
  return true;
}

int win32api::MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  int64_t p = int64_t(a) * b;
  bool neg = (p < 0) != (c < 0);
  int64_t ap = p < 0 ? -p : p, ac = c < 0 ? -int64_t(c) : c;
  int64_t q = (ap + ac / 2) / ac;
  if (q > INT32_MAX) return -1;
  return int(neg ? -q : q);
}

}  // namespace gfx
