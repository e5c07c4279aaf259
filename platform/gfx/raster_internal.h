// Pixel-level helpers shared by the rasteriser, the blits and the text code.
#pragma once

#include "platform/gfx/dc.h"
#include "platform/gfx/objects.h"

#include <vector>

namespace gfx::detail {

// Clip test in bitmap coordinates.
class Clipper {
 public:
  explicit Clipper(const QRegion& r);
  bool In(int x, int y) const {
    if (x < box_.left() || x > box_.right() || y < box_.top() || y > box_.bottom()) return false;
    if (single_) return true;
    // Rectangles come y-x banded: find the first band reaching y.
    size_t lo = 0, hi = rects_.size();
    while (lo < hi) {
      size_t mid = (lo + hi) / 2;
      if (rects_[mid].bottom() < y)
        lo = mid + 1;
      else
        hi = mid;
    }
    for (size_t i = lo; i < rects_.size() && rects_[i].top() <= y; ++i)
      if (rects_[i].contains(x, y)) return true;
    return false;
  }
  const std::vector<QRect>& Rects() const { return rects_; }

 private:
  std::vector<QRect> rects_;
  QRect box_;
  bool single_ = false;
};

COLORREF ApplyRop2(int rop2, COLORREF pen, COLORREF dst);
uint32_t ApplyRop3(uint8_t code, uint32_t p, uint32_t s, uint32_t d);

// Fills a rectangle (bitmap coordinates, exclusive right/bottom) inside the
// clip with a solid colour through a ROP2.
void FillSpanRect(const DrawTarget& t, const QRect& r, COLORREF c, int rop2);
// Fills with a brush (solid or hatched) as PATCOPY; nothing for a null brush.
void FillWithBrush(const DrawTarget& t, const QRegion& area, HBRUSH brush);
void Plot(BitmapObj* b, const Clipper& c, int x, int y, COLORREF col, int rop2);

}  // namespace gfx::detail
