// A region value for the window system's own bookkeeping (update regions,
// visible regions). It owns one HRGN and copies it on copy, so the layer can
// pass regions around without tracking handles by hand.
#pragma once

#include "platform/gfx/dc.h"
#include "platform/gfx/region.h"

#include <utility>

namespace win {

class Rgn {
 public:
  Rgn() : h_(gfx::CreateRectRgn(0, 0, 0, 0)) {}
  explicit Rgn(const gfx::TRect& r) : h_(gfx::CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom)) {}
  // Takes a copy of a caller's region (the caller keeps its handle).
  static Rgn CopyOf(gfx::HRGN src) {
    Rgn r;
    if (src) gfx::CombineRgn(r.h_, src, src, gfx::RGN_COPY);
    return r;
  }
  Rgn(const Rgn& o) : Rgn() { gfx::CombineRgn(h_, o.h_, o.h_, gfx::RGN_COPY); }
  Rgn(Rgn&& o) noexcept : h_(std::exchange(o.h_, gfx::HRGN())) {}
  Rgn& operator=(const Rgn& o) {
    if (this != &o) gfx::CombineRgn(h_, o.h_, o.h_, gfx::RGN_COPY);
    return *this;
  }
  Rgn& operator=(Rgn&& o) noexcept {
    std::swap(h_, o.h_);
    return *this;
  }
  ~Rgn() {
    if (h_) gfx::DeleteObject(h_);
  }

  gfx::HRGN handle() const { return h_; }
  bool Empty() const {
    gfx::RECT b;
    return gfx::GetRgnBox(h_, &b) <= gfx::NULLREGION;
  }
  gfx::TRect Box() const {
    gfx::RECT b{};
    gfx::GetRgnBox(h_, &b);
    return b;
  }
  bool Contains(int x, int y) const { return gfx::PtInRegion(h_, x, y) != 0; }
  bool Intersects(const gfx::TRect& r) const { return gfx::RectInRegion(h_, r) != 0; }
  void Clear() { gfx::SetRectRgn(h_, 0, 0, 0, 0); }
  Rgn& Unite(const Rgn& o) { return Op(o.h_, gfx::RGN_OR); }
  Rgn& Intersect(const Rgn& o) { return Op(o.h_, gfx::RGN_AND); }
  Rgn& Subtract(const Rgn& o) { return Op(o.h_, gfx::RGN_DIFF); }
  Rgn& Unite(const gfx::TRect& r) { return Unite(Rgn(r)); }
  Rgn& Intersect(const gfx::TRect& r) { return Intersect(Rgn(r)); }
  Rgn& Subtract(const gfx::TRect& r) { return Subtract(Rgn(r)); }
  Rgn& Offset(int dx, int dy) {
    gfx::OffsetRgn(h_, dx, dy);
    return *this;
  }

 private:
  Rgn& Op(gfx::HRGN o, int mode) {
    gfx::CombineRgn(h_, h_, o, mode);
    return *this;
  }
  gfx::HRGN h_;
};

}  // namespace win
