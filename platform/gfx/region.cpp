#include "platform/gfx/region.h"

#include "platform/gfx/objects.h"

#include <QPolygon>

#include <cstring>

namespace gfx {

using detail::FromQ;
using detail::ToQ;

int RegionKind(const QRegion& r) {
  if (r.isEmpty()) return NULLREGION;
  return r.rectCount() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

HRGN CreateRegion(const QRegion& r) {
  auto o = std::make_unique<detail::RegionObj>();
  o->rgn = r;
  return HRGN(detail::Register(std::move(o)));
}

QRegion RegionOf(HRGN r) {
  auto* o = detail::GetRegion(r);
  return o ? o->rgn : QRegion();
}

std::vector<TRect> RegionRects(HRGN r) {
  std::vector<TRect> out;
  auto* o = detail::GetRegion(r);
  if (!o) return out;
  for (const QRect& q : o->rgn) out.push_back(FromQ(q));
  return out;
}

static QRect Normalised(int l, int t, int r, int b) {
  if (r < l) std::swap(l, r);
  if (b < t) std::swap(t, b);
  return detail::QRectLTRB(l, t, r, b);
}

HRGN win32api::CreateRectRgn(int l, int t, int r, int b) { return CreateRegion(QRegion(Normalised(l, t, r, b))); }

HRGN win32api::CreateRectRgnIndirect(const RECT& r) { return CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom); }

HRGN win32api::CreateEllipticRgn(int l, int t, int r, int b) {
  return CreateRegion(QRegion(Normalised(l, t, r, b), QRegion::Ellipse));
}

HRGN win32api::CreateRoundRectRgn(int l, int t, int r, int b, int w, int h) {
  QRect box = Normalised(l, t, r, b);
  if (w <= 1 || h <= 1) return CreateRegion(QRegion(box));
  w = std::min(w, box.width());
  h = std::min(h, box.height());
  QRegion rg(box.adjusted(w / 2, 0, -(w / 2), 0));
  rg += QRegion(box.adjusted(0, h / 2, 0, -(h / 2)));
  rg += QRegion(QRect(box.left(), box.top(), w, h), QRegion::Ellipse);
  rg += QRegion(QRect(box.right() + 1 - w, box.top(), w, h), QRegion::Ellipse);
  rg += QRegion(QRect(box.left(), box.bottom() + 1 - h, w, h), QRegion::Ellipse);
  rg += QRegion(QRect(box.right() + 1 - w, box.bottom() + 1 - h, w, h), QRegion::Ellipse);
  return CreateRegion(rg);
}

HRGN win32api::CreatePolygonRgn(const POINT* pts, int count, int fillMode) {
  QPolygon poly;
  for (int i = 0; i < count; ++i) poly << QPoint(pts[i].X, pts[i].Y);
  return CreateRegion(QRegion(poly, fillMode == WINDING ? Qt::WindingFill : Qt::OddEvenFill));
}

HRGN win32api::ExtCreateRegion(const void*, DWORD size, const RGNDATA* data) {
  if (!data || size < sizeof(RGNDATAHEADER)) return HRGN();
  RGNDATAHEADER h;
  std::memcpy(static_cast<void*>(&h), data, sizeof h);
  if (h.dwSize != sizeof(RGNDATAHEADER) || h.iType != RDH_RECTANGLES) return HRGN();
  if (uint64_t(h.nCount) * sizeof(RECT) > uint64_t(size) - sizeof h) return HRGN();
  const char* p = reinterpret_cast<const char*>(data) + sizeof h;
  QRegion rg;
  std::vector<QRect> rects;
  rects.reserve(h.nCount);
  for (DWORD i = 0; i < h.nCount; ++i) {
    RECT r;
    std::memcpy(&r, p + size_t(i) * sizeof(RECT), sizeof r);
    if (r.Right > r.Left && r.Bottom > r.Top) rects.push_back(ToQ(r));
  }
  // United pairwise (n log n even for tens of thousands of mask runs); the
  // result is canonical, so EqualRgn compares shapes.
  std::vector<QRegion> level;
  level.reserve(rects.size());
  for (const QRect& q : rects) level.emplace_back(q);
  while (level.size() > 1) {
    std::vector<QRegion> next;
    next.reserve(level.size() / 2 + 1);
    for (size_t i = 0; i + 1 < level.size(); i += 2) next.push_back(level[i].united(level[i + 1]));
    if (level.size() % 2) next.push_back(level.back());
    level.swap(next);
  }
  if (!level.empty()) rg = level[0];
  return CreateRegion(rg);
}

int win32api::CombineRgn(HRGN dst, HRGN a, HRGN b, int mode) {
  auto* d = detail::GetRegion(dst);
  auto* ra = detail::GetRegion(a);
  if (!d || !ra) return ERROR_REGION;
  if (mode == RGN_COPY) {
    d->rgn = ra->rgn;
    return RegionKind(d->rgn);
  }
  auto* rb = detail::GetRegion(b);
  if (!rb) return ERROR_REGION;
  switch (mode) {
    case RGN_AND:
      d->rgn = ra->rgn.intersected(rb->rgn);
      break;
    case RGN_OR:
      d->rgn = ra->rgn.united(rb->rgn);
      break;
    case RGN_XOR:
      d->rgn = ra->rgn.xored(rb->rgn);
      break;
    case RGN_DIFF:
      d->rgn = ra->rgn.subtracted(rb->rgn);
      break;
    default:
      return ERROR_REGION;
  }
  return RegionKind(d->rgn);
}

int win32api::OffsetRgn(HRGN r, int dx, int dy) {
  auto* o = detail::GetRegion(r);
  if (!o) return ERROR_REGION;
  o->rgn.translate(dx, dy);
  return RegionKind(o->rgn);
}

BOOL win32api::PtInRegion(HRGN r, int x, int y) {
  auto* o = detail::GetRegion(r);
  return o && o->rgn.contains(QPoint(x, y));
}

BOOL win32api::RectInRegion(HRGN r, const RECT& rc) {
  auto* o = detail::GetRegion(r);
  QRect q = Normalised(rc.Left, rc.Top, rc.Right, rc.Bottom);
  return o && !q.isEmpty() && o->rgn.intersects(q);
}

int win32api::GetRgnBox(HRGN r, RECT* box) {
  auto* o = detail::GetRegion(r);
  if (!o) return ERROR_REGION;
  if (box) *box = FromQ(o->rgn.boundingRect());
  return RegionKind(o->rgn);
}

DWORD win32api::GetRegionData(HRGN r, DWORD size, RGNDATA* data) {
  auto* o = detail::GetRegion(r);
  if (!o) return 0;
  DWORD n = DWORD(o->rgn.rectCount());
  DWORD need = DWORD(sizeof(RGNDATAHEADER) + n * sizeof(RECT));
  if (!data) return need;
  if (size < need) return 0;
  RGNDATAHEADER h;
  h.nCount = n;
  h.nRgnSize = n * DWORD(sizeof(RECT));
  h.rcBound = FromQ(o->rgn.boundingRect());
  std::memcpy(static_cast<void*>(data), &h, sizeof h);
  char* p = reinterpret_cast<char*>(data) + sizeof h;
  for (const QRect& q : o->rgn) {
    RECT rc = FromQ(q);
    std::memcpy(p, &rc, sizeof rc);
    p += sizeof rc;
  }
  return need;
}

BOOL win32api::EqualRgn(HRGN a, HRGN b) {
  auto* ra = detail::GetRegion(a);
  auto* rb = detail::GetRegion(b);
  return ra && rb && ra->rgn == rb->rgn;
}

BOOL win32api::SetRectRgn(HRGN r, int l, int t, int rr, int b) {
  auto* o = detail::GetRegion(r);
  if (!o) return 0;
  o->rgn = QRegion(Normalised(l, t, rr, b));
  return 1;
}

}  // namespace gfx
