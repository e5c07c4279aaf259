#include "platform/gfx/raster.h"

#include "platform/gfx/bitmap.h"
#include "platform/gfx/color.h"
#include "platform/gfx/raster_internal.h"
#include "platform/gfx/region.h"

#include <QPolygon>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace gfx {

using namespace detail;

namespace detail {

Clipper::Clipper(const QRegion& r) {
  for (const QRect& q : r) rects_.push_back(q);
  box_ = r.boundingRect();
  single_ = rects_.size() == 1;
  if (rects_.empty()) box_ = QRect(0, 0, -1, -1);
}

COLORREF ApplyRop2(int rop2, COLORREF p, COLORREF d) {
  COLORREF r;
  switch (rop2) {
    case R2_BLACK:
      r = 0;
      break;
    case R2_NOTMERGEPEN:
      r = ~(p | d);
      break;
    case R2_MASKNOTPEN:
      r = ~p & d;
      break;
    case R2_NOTCOPYPEN:
      r = ~p;
      break;
    case R2_MASKPENNOT:
      r = p & ~d;
      break;
    case R2_NOT:
      r = ~d;
      break;
    case R2_XORPEN:
      r = p ^ d;
      break;
    case R2_NOTMASKPEN:
      r = ~(p & d);
      break;
    case R2_MASKPEN:
      r = p & d;
      break;
    case R2_NOTXORPEN:
      r = ~(p ^ d);
      break;
    case R2_NOP:
      r = d;
      break;
    case R2_MERGENOTPEN:
      r = ~p | d;
      break;
    case R2_MERGEPENNOT:
      r = p | ~d;
      break;
    case R2_MERGEPEN:
      r = p | d;
      break;
    case R2_WHITE:
      r = 0xFFFFFF;
      break;
    default:
      r = p;
      break;  // R2_COPYPEN
  }
  return r & 0xFFFFFF;
}

uint32_t ApplyRop3(uint8_t code, uint32_t p, uint32_t s, uint32_t d) {
  switch (code) {
    case 0xCC:
      return s;
    case 0xF0:
      return p;
    case 0x00:
      return 0;
    case 0xFF:
      return 0xFFFFFF;
    default:
      break;
  }
  uint32_t r = 0;
  for (int i = 0; i < 8; ++i) {
    if ((code >> i) & 1) r |= ((i & 4) ? p : ~p) & ((i & 2) ? s : ~s) & ((i & 1) ? d : ~d);
  }
  return r & 0xFFFFFF;
}

void Plot(BitmapObj* b, const Clipper& c, int x, int y, COLORREF col, int rop2) {
  if (!c.In(x, y)) return;
  if (rop2 == R2_COPYPEN) {
    b->PutPixel(x, y, col);
  } else if (rop2 != R2_NOP) {
    b->PutPixel(x, y, ApplyRop2(rop2, col, b->GetPixel(x, y)));
  }
}

void FillSpanRect(const DrawTarget& t, const QRect& r, COLORREF c, int rop2) {
  if (!t.ok() || r.isEmpty() || rop2 == R2_NOP) return;
  BitmapObj* b = t.bmp;
  for (const QRect& cr : t.clip) {
    QRect q = cr & r;
    if (q.isEmpty()) continue;
    b->MarkDirty(FromQ(q));
    if (rop2 == R2_COPYPEN && (b->bpp == 32 || b->bpp == 24)) {
      uint8_t bl = GetBValue(c), g = GetGValue(c), rd = GetRValue(c);
      for (int y = q.top(); y <= q.bottom(); ++y) {
        uint8_t* row = b->Row(y);
        if (b->bpp == 32) {
          uint32_t px = 0xFF000000u | (uint32_t(rd) << 16) | (uint32_t(g) << 8) | bl;
          auto* p = reinterpret_cast<uint32_t*>(row) + q.left();
          std::fill(p, p + q.width(), px);
        } else {
          uint8_t* p = row + q.left() * 3;
          for (int x = 0; x < q.width(); ++x, p += 3) {
            p[0] = bl;
            p[1] = g;
            p[2] = rd;
          }
        }
      }
    } else {
      for (int y = q.top(); y <= q.bottom(); ++y)
        for (int x = q.left(); x <= q.right(); ++x)
          b->PutPixel(x, y, rop2 == R2_COPYPEN ? c : ApplyRop2(rop2, c, b->GetPixel(x, y)));
    }
  }
}

static bool HatchBit(int hatch, int x, int y) {
  x &= 7;
  y &= 7;
  switch (hatch) {
    case HS_HORIZONTAL:
      return y == 4;
    case HS_VERTICAL:
      return x == 4;
    case HS_FDIAGONAL:
      return x == y;
    case HS_BDIAGONAL:
      return x == 7 - y;
    case HS_CROSS:
      return x == 4 || y == 4;
    case HS_DIAGCROSS:
      return x == y || x == 7 - y;
    default:
      return false;
  }
}

void FillWithBrush(const DrawTarget& t, const QRegion& area, HBRUSH brush) {
  BrushObj* br = GetBrush(brush);
  if (!t.ok() || !br || br->style == BS_NULL) return;
  QRegion a = area & t.clip;
  if (br->style == BS_SOLID) {
    DrawTarget t2 = t;
    t2.clip = a;
    FillSpanRect(t2, a.boundingRect(), br->color, R2_COPYPEN);
    return;
  }
  bool opaque = t.dc && t.dc->st.bkMode == OPAQUE;
  COLORREF bk = t.dc ? t.dc->st.bkColor : 0xFFFFFF;
  int ox = t.dc ? t.dc->st.brushOrg.X : 0, oy = t.dc ? t.dc->st.brushOrg.Y : 0;
  for (const QRect& q : a) {
    t.bmp->MarkDirty(FromQ(q));
    for (int y = q.top(); y <= q.bottom(); ++y)
      for (int x = q.left(); x <= q.right(); ++x) {
        if (HatchBit(br->hatch, x - ox, y - oy))
          t.bmp->PutPixel(x, y, br->color);
        else if (opaque)
          t.bmp->PutPixel(x, y, bk);
      }
  }
}

}  // namespace detail

namespace {

// A pen stroke: 1-px cosmetic lines with the GDI styles, wider pens as
// square dabs.
struct Stroke {
  DrawTarget t;
  Clipper clip;
  PenObj* pen;
  int rop2;
  int64_t styleIdx = 0;
  explicit Stroke(HDC dc) : t(Target(dc)), clip(t.clip), pen(t.dc ? GetPen(t.dc->st.pen) : nullptr) {
    rop2 = t.dc ? t.dc->st.rop2 : R2_COPYPEN;
  }
  bool Visible() const { return t.ok() && pen && pen->style != PS_NULL; }

  bool StyleOn() {
    static const int dash[] = {18, 6}, dot[] = {3, 3}, dashdot[] = {9, 6, 3, 6}, dashdotdot[] = {9, 3, 3, 3, 3, 3};
    const int* pat = nullptr;
    int n = 0;
    switch (pen->style) {
      case PS_DASH:
        pat = dash;
        n = 2;
        break;
      case PS_DOT:
        pat = dot;
        n = 2;
        break;
      case PS_DASHDOT:
        pat = dashdot;
        n = 4;
        break;
      case PS_DASHDOTDOT:
        pat = dashdotdot;
        n = 6;
        break;
      default:
        return true;
    }
    int total = 0;
    for (int i = 0; i < n; ++i) total += pat[i];
    int pos = int(styleIdx++ % total);
    for (int i = 0; i < n; ++i) {
      if (pos < pat[i]) return (i % 2) == 0;
      pos -= pat[i];
    }
    return true;
  }

  void Dab(int x, int y) {
    bool on = StyleOn();
    COLORREF c = pen->color;
    if (!on) {
      if (t.dc->st.bkMode != OPAQUE) return;
      c = t.dc->st.bkColor;
    }
    int w = pen->width;
    if (w <= 1) {
      Plot(t.bmp, clip, x, y, c, rop2);
      t.bmp->MarkDirty(TRect{x, y, x + 1, y + 1});
      return;
    }
    int o = (w - 1) / 2;
    for (int yy = y - o; yy < y - o + w; ++yy)
      for (int xx = x - o; xx < x - o + w; ++xx) Plot(t.bmp, clip, xx, yy, c, rop2);
    t.bmp->MarkDirty(TRect{x - o, y - o, x - o + w, y - o + w});
  }

  // Bresenham from (x0,y0) towards (x1,y1), bitmap coordinates, the end point
  // left out. Pixel k is computed directly (the same pixels as the stepping
  // form), so only the steps that can reach the clip are walked: a line far
  // longer than the surface costs no more than the surface, and the dash
  // pattern keeps its phase.
  void Line(int64_t x0, int64_t y0, int64_t x1, int64_t y1) {
    const int64_t dx = x1 > x0 ? x1 - x0 : x0 - x1, sx = x0 < x1 ? 1 : -1;
    const int64_t dy = y1 > y0 ? y1 - y0 : y0 - y1, sy = y0 < y1 ? 1 : -1;
    const int64_t n = std::max(dx, dy);
    const int64_t phase = styleIdx;
    styleIdx = phase + n;
    const QRect box = t.clip.boundingRect();
    if (n == 0 || box.isEmpty()) return;
    const bool xMajor = dx >= dy;
    const int64_t m = std::max(1, pen->width) + 1;  // a thick dab reaches this far
    const int64_t p0 = xMajor ? x0 : y0, s = xMajor ? sx : sy;
    const int64_t lo = (xMajor ? box.left() : box.top()) - m, hi = (xMajor ? box.right() : box.bottom()) + m;
    const int64_t minorLo = (xMajor ? box.top() : box.left()) - m;
    const int64_t minorHi = (xMajor ? box.bottom() : box.right()) + m;
    const int64_t first = std::max<int64_t>(0, s > 0 ? lo - p0 : p0 - hi);
    const int64_t last = std::min<int64_t>(n - 1, s > 0 ? hi - p0 : p0 - lo);
    const int64_t major = xMajor ? dx : dy, minor = xMajor ? dy : dx;
    const int64_t q0 = xMajor ? y0 : x0, sq = xMajor ? sy : sx;
    for (int64_t k = first; k <= last; ++k) {
      const int64_t q = q0 + sq * int64_t((__int128(2) * k * minor + major) / (2 * major));
      if (q < minorLo || q > minorHi) continue;
      styleIdx = phase + k;
      const int64_t p = p0 + s * k;
      if (xMajor)
        Dab(int(p), int(q));
      else
        Dab(int(q), int(p));
    }
    styleIdx = phase + n;
  }
};

// Fills a shape given by a membership test over a box (bitmap coordinates)
// with the brush, and draws its 1-px boundary with the pen.
template <class Inside>
void DrawShape(HDC dc, const QRect& box, Inside inside) {
  DrawTarget t = Target(dc);
  if (!t.ok() || box.isEmpty()) return;
  PenObj* pen = GetPen(t.dc->st.pen);
  bool hasPen = pen && pen->style != PS_NULL;
  // Only pixels near the clip can show; a thick pen reaches in from up to
  // its width outside. A shape far larger than the surface costs no more
  // than the surface.
  const int margin = (hasPen ? std::max(1, pen->width) : 0) + 1;
  const QRect scan = box & t.clip.boundingRect().adjusted(-margin, -margin, margin, margin);
  if (scan.isEmpty()) return;
  QRegion fill;
  QRegion outline;
  for (int y = scan.top(); y <= scan.bottom(); ++y) {
    int runStart = -1;
    for (int x = scan.left(); x <= scan.right() + 1; ++x) {
      bool in = x <= scan.right() && inside(x, y);
      bool edge = in && hasPen &&
                  (!inside(x - 1, y) || !inside(x + 1, y) || !inside(x, y - 1) || !inside(x, y + 1) ||
                   x == box.left() || x == box.right() || y == box.top() || y == box.bottom());
      if (edge) outline += QRect(x, y, 1, 1);
      bool fillPix = in && !edge;
      if (fillPix && runStart < 0) runStart = x;
      if (!fillPix && runStart >= 0) {
        fill += QRect(runStart, y, x - runStart, 1);
        runStart = -1;
      }
    }
  }
  FillWithBrush(t, fill, t.dc->st.brush);
  if (hasPen) {
    int w = pen->width;
    if (w > 1) {
      // Thicken inwards: every inside pixel within w-1 of the boundary.
      QRegion thick;
      for (const QRect& q : outline) thick += q.adjusted(-(w - 1), -(w - 1), w - 1, w - 1);
      QRegion shape = fill + outline;
      outline = thick & shape;
    }
    DrawTarget t2 = t;
    t2.clip = t.clip & outline;
    FillSpanRect(t2, outline.boundingRect(), pen->color, t.dc->st.rop2);
  }
}

QRect NormRect(const DrawTarget& t, int64_t l, int64_t tp, int64_t r, int64_t b) {
  if (r < l) std::swap(l, r);
  if (b < tp) std::swap(tp, b);
  return QRectLTRB(l + t.dx, tp + t.dy, r + t.dx, b + t.dy);
}

// A rectangle as given (an inverted one is empty), in bitmap coordinates.
QRect BitmapRect(const DrawTarget& t, const RECT& r) {
  return QRectLTRB(int64_t(r.Left) + t.dx, int64_t(r.Top) + t.dy, int64_t(r.Right) + t.dx, int64_t(r.Bottom) + t.dy);
}

}  // namespace

// ---- lines -----------------------------------------------------------------------

BOOL win32api::MoveToEx(HDC dc, int x, int y, POINT* old) {
  DCObj* d = GetDCObj(dc);
  if (!d) return 0;
  if (old) *old = d->st.pos;
  d->st.pos = TPoint{x, y};
  return 1;
}

BOOL win32api::GetCurrentPositionEx(HDC dc, POINT* p) {
  DCObj* d = GetDCObj(dc);
  if (!d || !p) return 0;
  *p = d->st.pos;
  return 1;
}

BOOL win32api::LineTo(HDC dc, int x, int y) {
  DCObj* d = GetDCObj(dc);
  if (!d) return 0;
  Stroke s(dc);
  if (s.Visible())
    s.Line(int64_t(d->st.pos.X) + s.t.dx, int64_t(d->st.pos.Y) + s.t.dy, int64_t(x) + s.t.dx, int64_t(y) + s.t.dy);
  d->st.pos = TPoint{x, y};
  return 1;
}

BOOL win32api::Polyline(HDC dc, const POINT* pts, int count) {
  if (!pts || count < 2) return 0;
  Stroke s(dc);
  if (s.Visible())
    for (int i = 1; i < count; ++i)
      s.Line(int64_t(pts[i - 1].X) + s.t.dx, int64_t(pts[i - 1].Y) + s.t.dy, int64_t(pts[i].X) + s.t.dx,
             int64_t(pts[i].Y) + s.t.dy);
  return 1;
}

namespace {

// The even-odd interior of a polygon (bitmap coordinates) as far as the clip
// can show it. Qt scans every row of the polygon's box, so a polygon reaching
// far beyond the surface is first cut down to a generous frame around the
// clip; a polygon inside that frame keeps its exact vertices.
QRegion FillArea(const DrawTarget& t, const POINT* pts, int count) {
  const int64_t margin = 1024;
  const QRect box = t.clip.boundingRect();
  if (box.isEmpty()) return QRegion();
  const double L = double(box.left()) - margin, T = double(box.top()) - margin;
  const double R = double(box.right()) + margin, B = double(box.bottom()) + margin;
  std::vector<QPointF> ring;
  bool inside = true;
  for (int i = 0; i < count; ++i) {
    QPointF p(double(int64_t(pts[i].X) + t.dx), double(int64_t(pts[i].Y) + t.dy));
    inside = inside && p.x() >= L && p.x() <= R && p.y() >= T && p.y() <= B;
    ring.push_back(p);
  }
  if (!inside) {
    // Sutherland-Hodgman against the frame, one side at a time.
    auto clipSide = [&](auto in, auto cross) {
      std::vector<QPointF> out;
      for (size_t i = 0; i < ring.size(); ++i) {
        const QPointF& a = ring[i];
        const QPointF& b = ring[(i + 1) % ring.size()];
        if (in(a)) out.push_back(a);
        if (in(a) != in(b)) out.push_back(cross(a, b));
      }
      ring.swap(out);
    };
    auto atX = [](double x) {
      return [x](const QPointF& a, const QPointF& b) {
        return QPointF(x, a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x()));
      };
    };
    auto atY = [](double y) {
      return [y](const QPointF& a, const QPointF& b) {
        return QPointF(a.x() + (b.x() - a.x()) * (y - a.y()) / (b.y() - a.y()), y);
      };
    };
    clipSide([&](const QPointF& p) { return p.x() >= L; }, atX(L));
    clipSide([&](const QPointF& p) { return p.x() <= R; }, atX(R));
    clipSide([&](const QPointF& p) { return p.y() >= T; }, atY(T));
    clipSide([&](const QPointF& p) { return p.y() <= B; }, atY(B));
  }
  QPolygon poly;
  for (const QPointF& p : ring) poly << QPoint(int(std::lround(p.x())), int(std::lround(p.y())));
  return QRegion(poly, Qt::OddEvenFill);
}

}  // namespace

BOOL win32api::Polygon(HDC dc, const POINT* pts, int count) {
  if (!pts || count < 2) return 0;
  DrawTarget t = Target(dc);
  if (!t.ok()) return 1;
  FillWithBrush(t, FillArea(t, pts, count), t.dc->st.brush);
  Stroke s(dc);
  if (s.Visible()) {
    for (int i = 0; i < count; ++i) {
      const POINT& a = pts[i];
      const POINT& b = pts[(i + 1) % count];
      s.Line(int64_t(a.X) + t.dx, int64_t(a.Y) + t.dy, int64_t(b.X) + t.dx, int64_t(b.Y) + t.dy);
    }
  }
  return 1;
}

// ---- shapes ----------------------------------------------------------------------

BOOL win32api::Rectangle(HDC dc, int l, int t0, int r, int b) {
  DrawTarget t = Target(dc);
  if (!t.dc) return 0;
  if (!t.ok()) return 1;
  QRect box = NormRect(t, l, t0, r, b);
  PenObj* pen = GetPen(t.dc->st.pen);
  bool hasPen = pen && pen->style != PS_NULL;
  if (!hasPen) {
    // Without a pen GDI fills one pixel less in width and height.
    FillWithBrush(t, QRegion(box.adjusted(0, 0, -1, -1)), t.dc->st.brush);
    return 1;
  }
  int w = std::max(1, pen->width);
  QRect inner = box.adjusted(w, w, -w, -w);
  if (!inner.isEmpty()) FillWithBrush(t, QRegion(inner), t.dc->st.brush);
  QRegion frame = QRegion(box).subtracted(inner.isEmpty() ? QRegion() : QRegion(inner));
  if (pen->style == PS_SOLID || pen->style == PS_INSIDEFRAME || w > 1) {
    DrawTarget t2 = t;
    t2.clip = t.clip & frame;
    FillSpanRect(t2, box, pen->color, t.dc->st.rop2);
  } else {
    Stroke s(dc);
    int x0 = box.left(), y0 = box.top(), x1 = box.right(), y1 = box.bottom();
    s.Line(x0, y0, x1, y0);
    s.Line(x1, y0, x1, y1);
    s.Line(x1, y1, x0, y1);
    s.Line(x0, y1, x0, y0);
  }
  return 1;
}

BOOL win32api::Ellipse(HDC dc, int l, int t0, int r, int b) {
  DrawTarget t = Target(dc);
  if (!t.dc) return 0;
  QRect box = NormRect(t, l, t0, r, b);
  double cx = box.left() + box.width() / 2.0, cy = box.top() + box.height() / 2.0;
  double rx = box.width() / 2.0, ry = box.height() / 2.0;
  DrawShape(dc, box, [&](int x, int y) {
    if (x < box.left() || x > box.right() || y < box.top() || y > box.bottom()) return false;
    double ex = (x + 0.5 - cx) / rx, ey = (y + 0.5 - cy) / ry;
    return ex * ex + ey * ey <= 1.0 + 1e-9;
  });
  return 1;
}

BOOL win32api::RoundRect(HDC dc, int l, int t0, int r, int b, int w, int h) {
  DrawTarget t = Target(dc);
  if (!t.dc) return 0;
  QRect box = NormRect(t, l, t0, r, b);
  double rx = std::min<int64_t>(std::abs(int64_t(w)), box.width()) / 2.0;
  double ry = std::min<int64_t>(std::abs(int64_t(h)), box.height()) / 2.0;
  DrawShape(dc, box, [&](int x, int y) {
    if (x < box.left() || x > box.right() || y < box.top() || y > box.bottom()) return false;
    if (rx < 1 || ry < 1) return true;
    double px = x + 0.5, py = y + 0.5;
    double cx = std::clamp(px, box.left() + rx, box.left() + box.width() - rx);
    double cy = std::clamp(py, box.top() + ry, box.top() + box.height() - ry);
    double ex = (px - cx) / rx, ey = (py - cy) / ry;
    return ex * ex + ey * ey <= 1.0 + 1e-9;
  });
  return 1;
}

int win32api::FillRect(HDC dc, const RECT* r, HBRUSH brush) {
  if (!r) return 0;
  DrawTarget t = Target(dc);
  if (!t.dc || !GetBrush(brush)) return 0;
  QRect box = BitmapRect(t, *r);
  if (box.isEmpty() || !t.ok()) return 1;
  FillWithBrush(t, QRegion(box), brush);
  return 1;
}

int win32api::FrameRect(HDC dc, const RECT* r, HBRUSH brush) {
  if (!r) return 0;
  DrawTarget t = Target(dc);
  if (!t.dc || !GetBrush(brush)) return 0;
  QRect box = BitmapRect(t, *r);
  if (box.isEmpty() || !t.ok()) return 1;
  QRegion frame = QRegion(box).subtracted(QRegion(box.adjusted(1, 1, -1, -1)));
  FillWithBrush(t, frame, brush);
  return 1;
}

BOOL win32api::InvertRect(HDC dc, const RECT* r) {
  if (!r) return 0;
  DrawTarget t = Target(dc);
  if (!t.dc) return 0;
  FillSpanRect(t, BitmapRect(t, *r), 0, R2_NOT);
  return 1;
}

BOOL win32api::DrawFocusRect(HDC dc, const RECT* r) {
  if (!r) return 0;
  DrawTarget t = Target(dc);
  if (!t.dc) return 0;
  if (!t.ok()) return 1;
  QRect box = BitmapRect(t, *r);
  // Only the part of the frame near the clip is walked: a huge rectangle
  // costs no more than the surface.
  QRect vis = box & t.clip.boundingRect();
  if (vis.isEmpty()) return 1;
  Clipper c(t.clip);
  const int l = box.left(), tp = box.top(), rr = box.right(), b = box.bottom();
  auto dot = [&](int x, int y) {
    if (((x - l) + (y - tp)) % 2 == 0) Plot(t.bmp, c, x, y, 0xFFFFFF, R2_XORPEN);
  };
  for (int x = vis.left(); x <= vis.right(); ++x) {
    dot(x, tp);
    if (b != tp) dot(x, b);
  }
  for (int y = std::max(tp + 1, vis.top()); y < b && y <= vis.bottom(); ++y) {
    dot(l, y);
    if (rr != l) dot(rr, y);
  }
  t.bmp->MarkDirty(FromQ(box));
  return 1;
}

BOOL win32api::FillRgn(HDC dc, HRGN rgn, HBRUSH brush) {
  auto* rg = GetRegion(rgn);
  DrawTarget t = Target(dc);
  if (!rg || !t.dc || !GetBrush(brush)) return 0;
  QRegion area = rg->rgn;
  area.translate(t.dx, t.dy);
  FillWithBrush(t, area, brush);
  return 1;
}

BOOL win32api::PaintRgn(HDC dc, HRGN rgn) {
  DCObj* d = GetDCObj(dc);
  return d ? FillRgn(dc, rgn, d->st.brush) : 0;
}

BOOL win32api::FrameRgn(HDC dc, HRGN rgn, HBRUSH brush, int w, int h) {
  auto* rg = GetRegion(rgn);
  DrawTarget t = Target(dc);
  if (!rg || !t.dc || !GetBrush(brush)) return 0;
  QRegion area = rg->rgn;
  QRegion inner = area;
  // Pixels of the region within w (h) of its outside.
  QRegion sl = area.translated(w, 0) & area.translated(-w, 0) & area.translated(0, h) & area.translated(0, -h);
  inner = sl;
  QRegion frame = area.subtracted(inner);
  frame.translate(t.dx, t.dy);
  FillWithBrush(t, frame, brush);
  return 1;
}

BOOL win32api::InvertRgn(HDC dc, HRGN rgn) {
  auto* rg = GetRegion(rgn);
  DrawTarget t = Target(dc);
  if (!rg || !t.dc) return 0;
  QRegion area = rg->rgn;
  area.translate(t.dx, t.dy);
  DrawTarget t2 = t;
  t2.clip = t.clip & area;
  FillSpanRect(t2, t2.clip.boundingRect(), 0, R2_NOT);
  return 1;
}

BOOL win32api::PatBlt(HDC dc, int x, int y, int w, int h, DWORD rop) {
  DrawTarget t = Target(dc);
  if (!t.dc) return 0;
  if (!t.ok()) return 1;
  QRect box = NormRect(t, x, y, int64_t(x) + w, int64_t(y) + h);
  uint8_t code = uint8_t(rop >> 16);
  BrushObj* br = GetBrush(t.dc->st.brush);
  COLORREF p = br && br->style != BS_NULL ? br->color : 0;
  if (code == 0xF0 && br) {
    FillWithBrush(t, QRegion(box), t.dc->st.brush);
    return 1;
  }
  QRegion area = QRegion(box) & t.clip;
  for (const QRect& q : area) {
    t.bmp->MarkDirty(FromQ(q));
    for (int yy = q.top(); yy <= q.bottom(); ++yy)
      for (int xx = q.left(); xx <= q.right(); ++xx)
        t.bmp->PutPixel(xx, yy, ApplyRop3(code, p, 0, t.bmp->GetPixel(xx, yy)));
  }
  return 1;
}

COLORREF win32api::GetPixel(HDC dc, int x, int y) {
  DrawTarget t = Target(dc);
  if (!t.bmp) return CLR_INVALID;
  int bx = x + t.dx, by = y + t.dy;
  if (!t.clip.contains(QPoint(bx, by))) return CLR_INVALID;
  return t.bmp->GetPixel(bx, by);
}

COLORREF win32api::SetPixel(HDC dc, int x, int y, COLORREF c) {
  DrawTarget t = Target(dc);
  if (!t.bmp) return CLR_INVALID;
  int bx = x + t.dx, by = y + t.dy;
  if (!t.clip.contains(QPoint(bx, by))) return CLR_INVALID;
  t.bmp->PutPixel(bx, by, c & 0xFFFFFF);
  t.bmp->MarkDirty(TRect{bx, by, bx + 1, by + 1});
  return t.bmp->GetPixel(bx, by);
}

BOOL win32api::SetPixelV(HDC dc, int x, int y, COLORREF c) { return SetPixel(dc, x, y, c) != CLR_INVALID; }

// ---- blits -----------------------------------------------------------------------

namespace {

// 64-bit: origins and extents near the int limits must not wrap.
struct Span {
  int64_t dst0, count;     // first destination pixel (bitmap coordinates) and count
  int64_t src0, srcCount;  // source start (bitmap coordinates) and extent
  bool mirror;
};

// Maps destination logical (x, w) and source (sx, sw) to bitmap coordinates,
// normalising negative extents (a sign difference mirrors).
Span MakeSpan(int64_t x, int64_t w, int64_t dOff, int64_t sx, int64_t sw, int64_t sOff) {
  Span s;
  s.mirror = (w < 0) != (sw < 0);
  int64_t dl = w >= 0 ? x : x + w + 1;
  int64_t sl = sw >= 0 ? sx : sx + sw + 1;
  s.dst0 = dl + dOff;
  s.count = w < 0 ? -w : w;
  s.src0 = sl + sOff;
  s.srcCount = sw < 0 ? -sw : sw;
  return s;
}

// Source index for destination index i (0-based) of a span.
inline int64_t SrcIndex(const Span& s, int64_t i) {
  int64_t j = i * s.srcCount / s.count;
  if (s.mirror) j = s.srcCount - 1 - j;
  return s.src0 + j;
}

// A snapshot of source pixels when source and destination share a bitmap.
struct SourceReader {
  BitmapObj* bmp = nullptr;
  QRect snapRect;
  std::vector<uint8_t> snap;  // 4 bytes per pixel: B,G,R,A
  COLORREF srcBk = 0xFFFFFF;
  bool Valid(int64_t x, int64_t y) const { return bmp && x >= 0 && y >= 0 && x < bmp->width && y < bmp->height; }
  void Snapshot(const QRect& r) {
    snapRect = r & QRect(0, 0, bmp->width, bmp->height);
    snap.resize(size_t(std::max(0, snapRect.width())) * size_t(std::max(0, snapRect.height())) * 4);
    for (int y = 0; y < snapRect.height(); ++y)
      for (int x = 0; x < snapRect.width(); ++x) {
        uint8_t* p = &snap[(size_t(y) * snapRect.width() + x) * 4];
        Raw(snapRect.left() + x, snapRect.top() + y, p, false);
      }
  }
  // B,G,R,A of a pixel (A = 255 for formats without alpha).
  void Raw(int x, int y, uint8_t* out, bool useSnap = true) const {
    if (useSnap && !snap.empty() && snapRect.contains(x, y)) {
      std::memcpy(out, &snap[(size_t(y - snapRect.top()) * snapRect.width() + (x - snapRect.left())) * 4], 4);
      return;
    }
    if (bmp->bpp == 32) {
      std::memcpy(out, bmp->Row(y) + x * 4, 4);
      return;
    }
    COLORREF c = bmp->GetPixel(x, y);
    out[0] = GetBValue(c);
    out[1] = GetGValue(c);
    out[2] = GetRValue(c);
    out[3] = 255;
  }
};

// Narrows the source steps [lo, hi) of one destination pixel to those that
// fall inside the source bitmap (0..size-1), so a huge shrink walks no more
// than the bitmap holds.
void ClampToSource(const Span& s, int size, int64_t& lo, int64_t& hi) {
  // Step k reads pixel src0 + k (mirrored: src0 + srcCount - 1 - k).
  int64_t first = s.mirror ? s.src0 + s.srcCount - size : -s.src0;
  int64_t last = first + size;  // exclusive
  lo = std::max(lo, first);
  hi = std::min(hi, last);
}

enum class BlitKind { Rop, Key, Alpha };

BOOL Blit(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, DWORD rop, BlitKind kind,
          UINT key, BLENDFUNCTION bf) {
  DrawTarget t = Target(dst);
  if (!t.dc) return 0;
  uint8_t code = uint8_t(rop >> 16);
  bool usesSrc = (((code >> 2) ^ code) & 0x33) != 0 || kind != BlitKind::Rop;
  DrawTarget s;
  if (usesSrc) {
    s = Target(src);
    if (!s.dc) return 0;
    if (!s.bmp) return 1;
  }
  if (w == 0 || h == 0 || (usesSrc && (sw == 0 || sh == 0))) return 1;
  if (!t.ok()) return 1;
  if (!usesSrc) {
    sw = w;
    sh = h;
  }
  Span cx = MakeSpan(x, w, t.dx, sx, sw, usesSrc ? s.dx : 0);
  Span cy = MakeSpan(y, h, t.dy, sy, sh, usesSrc ? s.dy : 0);
  QRect dstBox = QRectLTRB(cx.dst0, cy.dst0, cx.dst0 + cx.count, cy.dst0 + cy.count);
  QRegion area = QRegion(dstBox) & t.clip;
  if (area.isEmpty()) return 1;

  // Plain copies between bitmaps of one depth move whole rows.
  if (kind == BlitKind::Rop && code == 0xCC && s.bmp != t.bmp && s.bmp->bpp == t.bmp->bpp &&
      (t.bmp->bpp == 32 || t.bmp->bpp == 24) && !cx.mirror && !cy.mirror && cx.count == cx.srcCount &&
      cy.count == cy.srcCount) {
    int bpp = t.bmp->bpp / 8;
    const int64_t ox = cx.dst0 - cx.src0, oy = cy.dst0 - cy.src0;  // source to destination
    QRect srcInDst = QRectLTRB(ox, oy, ox + s.bmp->width, oy + s.bmp->height);
    for (const QRect& q : area& QRegion(srcInDst)) {
      t.bmp->MarkDirty(FromQ(q));
      for (int yy = q.top(); yy <= q.bottom(); ++yy) {
        int sy = int(yy - oy), sx = int(q.left() - ox);
        std::memcpy(t.bmp->Row(yy) + q.left() * bpp, s.bmp->Row(sy) + sx * bpp, size_t(q.width()) * bpp);
      }
    }
    return 1;
  }

  // HALFTONE shrinks by averaging the source pixels each destination pixel
  // covers; every other mode (and enlarging) samples the nearest pixel.
  if (kind == BlitKind::Rop && code == 0xCC && t.dc->st.stretchMode == HALFTONE && s.bmp != t.bmp &&
      (cx.srcCount > cx.count || cy.srcCount > cy.count)) {
    for (const QRect& q : area) {
      t.bmp->MarkDirty(FromQ(q));
      for (int yy = q.top(); yy <= q.bottom(); ++yy) {
        int64_t j = yy - cy.dst0;
        int64_t y0 = j * cy.srcCount / cy.count, y1 = (j + 1) * cy.srcCount / cy.count;
        if (y1 <= y0) y1 = y0 + 1;
        ClampToSource(cy, s.bmp->height, y0, y1);
        for (int xx = q.left(); xx <= q.right(); ++xx) {
          int64_t i = xx - cx.dst0;
          int64_t x0 = i * cx.srcCount / cx.count, x1 = (i + 1) * cx.srcCount / cx.count;
          if (x1 <= x0) x1 = x0 + 1;
          ClampToSource(cx, s.bmp->width, x0, x1);
          uint64_t sum[4] = {0, 0, 0, 0};
          int n = 0;
          for (int64_t sy = y0; sy < y1; ++sy)
            for (int64_t sx = x0; sx < x1; ++sx) {
              int64_t px = cx.mirror ? cx.src0 + cx.srcCount - 1 - sx : cx.src0 + sx;
              int64_t py = cy.mirror ? cy.src0 + cy.srcCount - 1 - sy : cy.src0 + sy;
              if (px < 0 || py < 0 || px >= s.bmp->width || py >= s.bmp->height) continue;
              COLORREF c = s.bmp->GetPixel(px, py);
              sum[0] += GetBValue(c);
              sum[1] += GetGValue(c);
              sum[2] += GetRValue(c);
              sum[3] += s.bmp->bpp == 32 ? s.bmp->Row(py)[px * 4 + 3] : 255;
              ++n;
            }
          if (n == 0) continue;
          COLORREF avg = RGB(int((sum[2] + n / 2) / n), int((sum[1] + n / 2) / n), int((sum[0] + n / 2) / n));
          t.bmp->PutPixel(xx, yy, avg);
          if (t.bmp->bpp == 32) t.bmp->Row(yy)[xx * 4 + 3] = uint8_t((sum[3] + n / 2) / n);
        }
      }
    }
    return 1;
  }

  // Stretched or depth-changing copies between true-colour bitmaps: the
  // source column of each destination column is worked out once, not per
  // pixel, and pixels move as bytes (a 24-bit source gives opaque pixels).
  // A row that repeats the source row of the one above it is a copy of it.
  if (kind == BlitKind::Rop && code == 0xCC && s.bmp != t.bmp && (s.bmp->bpp == 32 || s.bmp->bpp == 24) &&
      (t.bmp->bpp == 32 || t.bmp->bpp == 24)) {
    const int sb = s.bmp->bpp / 8, db = t.bmp->bpp / 8;
    const QRect box = area.boundingRect();  // inside the destination bitmap
    std::vector<int> cols(size_t(box.width()));
    bool allCols = true;
    for (int i = 0; i < box.width(); ++i) {
      const int64_t sx = SrcIndex(cx, int64_t(box.left()) + i - cx.dst0);
      cols[size_t(i)] = sx >= 0 && sx < s.bmp->width ? int(sx) : -1;
      allCols = allCols && cols[size_t(i)] >= 0;
    }
    for (const QRect& q : area) {
      t.bmp->MarkDirty(FromQ(q));
      const int* col = &cols[size_t(q.left() - box.left())];
      const size_t bytes = size_t(q.width()) * db;
      const uint8_t* prev = nullptr;
      int64_t prevSy = -1;
      for (int yy = q.top(); yy <= q.bottom(); ++yy) {
        const int64_t sy = SrcIndex(cy, yy - cy.dst0);
        if (sy < 0 || sy >= s.bmp->height) continue;
        uint8_t* d = t.bmp->Row(yy) + q.left() * db;
        if (allCols && prev && sy == prevSy) {
          std::memcpy(d, prev, bytes);
          prev = d;
          continue;
        }
        const uint8_t* srow = s.bmp->Row(int(sy));
        if (sb == 4 && db == 4) {
          for (int i = 0; i < q.width(); ++i)
            if (col[i] >= 0) std::memcpy(d + i * 4, srow + col[i] * 4, 4);
        } else {
          uint8_t* o = d;
          for (int i = 0; i < q.width(); ++i, o += db) {
            if (col[i] < 0) continue;
            const uint8_t* p = srow + col[i] * sb;
            o[0] = p[0];
            o[1] = p[1];
            o[2] = p[2];
            if (db == 4) o[3] = sb == 4 ? p[3] : 255;
          }
        }
        prev = d;
        prevSy = sy;
      }
    }
    return 1;
  }

  SourceReader rd;
  if (usesSrc) {
    rd.bmp = s.bmp;
    rd.srcBk = s.dc->st.bkColor;
    if (s.bmp == t.bmp) rd.Snapshot(QRectLTRB(cx.src0, cy.src0, cx.src0 + cx.srcCount, cy.src0 + cy.srcCount));
  }
  BitmapObj* db = t.bmp;
  BrushObj* br = GetBrush(t.dc->st.brush);
  COLORREF pat = br && br->style != BS_NULL ? br->color : 0;
  bool srcMono = usesSrc && s.bmp->bpp == 1;
  bool dstMono = db->bpp == 1;
  COLORREF monoFg = t.dc->st.textColor, monoBg = t.dc->st.bkColor;

  for (const QRect& q : area) {
    db->MarkDirty(FromQ(q));
    for (int yy = q.top(); yy <= q.bottom(); ++yy) {
      int64_t srcY = usesSrc ? SrcIndex(cy, yy - cy.dst0) : 0;
      uint8_t* drow = db->Row(yy);
      for (int xx = q.left(); xx <= q.right(); ++xx) {
        if (!usesSrc) {
          db->PutPixel(xx, yy, ApplyRop3(code, pat, 0, db->GetPixel(xx, yy)));
          continue;
        }
        int64_t srcX = SrcIndex(cx, xx - cx.dst0);
        if (!rd.Valid(srcX, srcY)) continue;
        uint8_t px[4];
        rd.Raw(int(srcX), int(srcY), px);
        COLORREF sc = RGB(px[2], px[1], px[0]);
        if (kind == BlitKind::Key) {
          if (sc == (key & 0xFFFFFF)) continue;
          if (db->bpp == 32) {
            std::memcpy(drow + xx * 4, px, 4);
          } else {
            db->PutPixel(xx, yy, sc);
          }
          continue;
        }
        if (kind == BlitKind::Alpha) {
          int ca = bf.SourceConstantAlpha;
          int sa = (bf.AlphaFormat & AC_SRC_ALPHA) ? px[3] : 255;
          int a = sa * ca / 255;  // effective source alpha
          COLORREF dc0 = db->GetPixel(xx, yy);
          uint8_t dpx[3] = {GetBValue(dc0), GetGValue(dc0), GetRValue(dc0)};
          uint8_t out[3];
          for (int k = 0; k < 3; ++k) {
            int sv = (bf.AlphaFormat & AC_SRC_ALPHA) ? px[k] * ca / 255 : px[k] * ca / 255;
            out[k] = uint8_t(std::clamp(sv + dpx[k] * (255 - a) / 255, 0, 255));
          }
          if (db->bpp == 32) {
            uint8_t* p = drow + xx * 4;
            int da = p[3];
            p[0] = out[0];
            p[1] = out[1];
            p[2] = out[2];
            p[3] = uint8_t(std::clamp(a + da * (255 - a) / 255, 0, 255));
          } else {
            db->PutPixel(xx, yy, RGB(out[2], out[1], out[0]));
          }
          continue;
        }
        if (code == 0xCC && db->bpp == 32 && s.bmp->bpp == 32) {
          std::memcpy(drow + xx * 4, px, 4);
          continue;
        }
        if (srcMono && !dstMono)
          sc = (sc == 0) ? monoFg : monoBg;
        else if (dstMono && !srcMono)
          sc = (sc == rd.srcBk) ? 0xFFFFFF : 0;
        COLORREF res = code == 0xCC ? sc : ApplyRop3(code, pat, sc, db->GetPixel(xx, yy));
        db->PutPixel(xx, yy, res);
      }
    }
  }
  return 1;
}

}  // namespace

BOOL win32api::BitBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, DWORD rop) {
  return Blit(dst, x, y, w, h, src, sx, sy, w, h, rop, BlitKind::Rop, 0, {});
}

BOOL win32api::StretchBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, DWORD rop) {
  return Blit(dst, x, y, w, h, src, sx, sy, sw, sh, rop, BlitKind::Rop, 0, {});
}

BOOL win32api::TransparentBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh, UINT key) {
  if (w < 0 || h < 0 || sw < 0 || sh < 0) return 0;
  return Blit(dst, x, y, w, h, src, sx, sy, sw, sh, SRCCOPY, BlitKind::Key, key, {});
}

BOOL win32api::GdiTransparentBlt(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                                 UINT key) {
  return TransparentBlt(dst, x, y, w, h, src, sx, sy, sw, sh, key);
}

BOOL win32api::AlphaBlend(HDC dst, int x, int y, int w, int h, HDC src, int sx, int sy, int sw, int sh,
                          BLENDFUNCTION bf) {
  if (w < 0 || h < 0 || sw < 0 || sh < 0) return 0;
  return Blit(dst, x, y, w, h, src, sx, sy, sw, sh, SRCCOPY, BlitKind::Alpha, 0, bf);
}

int win32api::SetDIBitsToDevice(HDC dc, int x, int y, DWORD w, DWORD h, int srcX, int srcY, UINT startScan, UINT lines,
                                const void* bits, const BITMAPINFO* info, UINT) {
  DrawTarget t = Target(dc);
  if (!t.dc || !bits || !info) return 0;
  const BITMAPINFOHEADER& hd = info->bmiHeader;
  int bpp = hd.biBitCount;
  if ((bpp != 24 && bpp != 32) || hd.biCompression != BI_RGB || hd.biWidth <= 0) return 0;
  if (hd.biHeight == INT32_MIN) return 0;  // no positive counterpart
  int rows = hd.biHeight < 0 ? -hd.biHeight : hd.biHeight;
  if (!t.ok()) return int(lines);
  BitmapObj view;
  view.width = hd.biWidth;
  view.height = rows;
  view.bpp = bpp;
  view.stride = int(((int64_t(hd.biWidth) * bpp + 31) / 32) * 4);
  view.bottomUp = hd.biHeight > 0;
  view.bits = const_cast<uint8_t*>(static_cast<const uint8_t*>(bits));
  (void)startScan;
  // Source rows are counted from the top for top-down DIBs and from the
  // bottom for bottom-up ones (srcY is then the lower-left corner).
  Clipper c(t.clip);
  for (int j = 0; j < int(h); ++j) {
    int sy = view.bottomUp ? rows - srcY - int(h) + j : srcY + j;
    if (sy < 0 || sy >= rows) continue;
    int by = y + j + t.dy;
    for (int i = 0; i < int(w); ++i) {
      int sxp = srcX + i;
      if (sxp < 0 || sxp >= view.width) continue;
      int bx = x + i + t.dx;
      if (!c.In(bx, by)) continue;
      t.bmp->PutPixel(bx, by, view.GetPixel(sxp, sy));
    }
  }
  t.bmp->MarkDirty(TRect{x + t.dx, y + t.dy, x + t.dx + int(w), y + t.dy + int(h)});
  return int(h);
}

// ---- 3-D edges ---------------------------------------------------------------

BOOL win32api::DrawEdge(HDC dc, RECT* rc, UINT edge, UINT flags) {
  if (!rc) return 0;
  DrawTarget t = Target(dc);
  if (!t.dc) return 0;
  RECT r = *rc;
  auto line = [&](int l, int tp, int rr, int b, int sysColor) {
    FillSpanRect(t, QRectLTRB(int64_t(l) + t.dx, int64_t(tp) + t.dy, int64_t(rr) + t.dx, int64_t(b) + t.dy),
                 GetSysColor(sysColor), R2_COPYPEN);
  };
  auto pass = [&](UINT raised, UINT sunken, int rLT, int rRB, int sLT, int sRB) {
    int lt = -1, rb = -1;
    if (edge & raised) {
      lt = rLT;
      rb = rRB;
    } else if (edge & sunken) {
      lt = sLT;
      rb = sRB;
    }
    if (lt < 0) return;
    if (flags & BF_MONO) {
      lt = rb = COLOR_WINDOWFRAME;
    }
    if (flags & BF_FLAT) {
      lt = rb = COLOR_BTNSHADOW;
    }
    if (r.Right <= r.Left || r.Bottom <= r.Top) return;
    if (flags & BF_TOP) line(r.Left, r.Top, r.Right, r.Top + 1, lt);
    if (flags & BF_LEFT) line(r.Left, r.Top, r.Left + 1, r.Bottom, lt);
    if (flags & BF_BOTTOM) line(r.Left, r.Bottom - 1, r.Right, r.Bottom, rb);
    if (flags & BF_RIGHT) line(r.Right - 1, r.Top, r.Right, r.Bottom, rb);
    if (flags & BF_LEFT) ++r.Left;
    if (flags & BF_TOP) ++r.Top;
    if (flags & BF_RIGHT) --r.Right;
    if (flags & BF_BOTTOM) --r.Bottom;
  };
  pass(BDR_RAISEDOUTER, BDR_SUNKENOUTER, COLOR_3DLIGHT, COLOR_3DDKSHADOW, COLOR_BTNSHADOW, COLOR_BTNHIGHLIGHT);
  pass(BDR_RAISEDINNER, BDR_SUNKENINNER, COLOR_BTNHIGHLIGHT, COLOR_BTNSHADOW, COLOR_3DDKSHADOW, COLOR_3DLIGHT);
  if ((flags & BF_MIDDLE) && r.Right > r.Left && r.Bottom > r.Top)
    line(r.Left, r.Top, r.Right, r.Bottom, COLOR_BTNFACE);
  if (flags & BF_ADJUST) *rc = r;
  return 1;
}

}  // namespace gfx
