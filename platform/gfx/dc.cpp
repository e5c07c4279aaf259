#include "platform/gfx/dc.h"

#include "platform/gfx/bitmap.h"
#include "platform/gfx/font.h"
#include "platform/gfx/region.h"

#include <cstring>
#include <mutex>

namespace gfx {

using detail::DCObj;
using detail::FromQ;
using detail::ToQ;

namespace {

HGDIOBJ MakeStock(std::unique_ptr<detail::GdiObject> o) {
  o->stock = true;
  return HGDIOBJ(detail::Register(std::move(o)));
}

struct Stock {
  HGDIOBJ obj[20];
  HBITMAP monoBitmap;
};

const Stock& Stocks() {
  static Stock* s = [] {
    auto* st = new Stock;
    auto brush = [](uint32_t style, COLORREF c) {
      auto b = std::make_unique<detail::BrushObj>();
      b->style = style;
      b->color = c;
      return MakeStock(std::move(b));
    };
    auto pen = [](int style, COLORREF c) {
      auto p = std::make_unique<detail::PenObj>();
      p->style = style;
      p->color = c;
      return MakeStock(std::move(p));
    };
    auto font = [](const char* face, int h, int weight) {
      auto f = std::make_unique<detail::FontObj>();
      f->lf.lfFaceName = face;
      f->lf.lfHeight = h;
      f->lf.lfWeight = weight;
      return MakeStock(std::move(f));
    };
    st->obj[WHITE_BRUSH] = brush(BS_SOLID, RGB(255, 255, 255));
    st->obj[LTGRAY_BRUSH] = brush(BS_SOLID, RGB(192, 192, 192));
    st->obj[GRAY_BRUSH] = brush(BS_SOLID, RGB(128, 128, 128));
    st->obj[DKGRAY_BRUSH] = brush(BS_SOLID, RGB(64, 64, 64));
    st->obj[BLACK_BRUSH] = brush(BS_SOLID, RGB(0, 0, 0));
    st->obj[NULL_BRUSH] = brush(BS_NULL, 0);
    st->obj[WHITE_PEN] = pen(PS_SOLID, RGB(255, 255, 255));
    st->obj[BLACK_PEN] = pen(PS_SOLID, 0);
    st->obj[NULL_PEN] = pen(PS_NULL, 0);
    st->obj[OEM_FIXED_FONT] = font("Courier New", 12, 400);
    st->obj[ANSI_FIXED_FONT] = font("Courier New", 13, 400);
    st->obj[ANSI_VAR_FONT] = font("MS Sans Serif", 13, 400);
    st->obj[SYSTEM_FONT] = font("System", 16, 700);
    st->obj[DEVICE_DEFAULT_FONT] = font("System", 16, 700);
    st->obj[SYSTEM_FIXED_FONT] = font("Courier New", 15, 400);
    st->obj[DEFAULT_GUI_FONT] = font("MS Sans Serif", -11, 400);
    st->obj[DC_BRUSH] = brush(BS_SOLID, RGB(255, 255, 255));
    st->obj[DC_PEN] = pen(PS_SOLID, 0);
    auto mono = std::make_unique<detail::BitmapObj>();
    mono->width = mono->height = 1;
    mono->bpp = 1;
    mono->stride = 4;
    mono->own = std::make_unique<uint8_t[]>(4);
    mono->bits = mono->own.get();
    mono->palette = {0x000000, 0xFFFFFF};
    st->monoBitmap = HBITMAP(MakeStock(std::move(mono)).v);
    return st;
  }();
  return *s;
}

void Ref(uint32_t h) {
  if (auto* o = detail::Lookup(h, GdiKind::None)) ++o->selectCount;
}
void Unref(uint32_t h) {
  auto* o = detail::Lookup(h, GdiKind::None);
  if (!o) return;
  if (--o->selectCount <= 0) {
    o->selectCount = 0;
    if (o->deletePending && !o->stock) detail::Destroy(h);
  }
}
void RefState(const detail::DCState& s) {
  Ref(s.brush.v);
  Ref(s.pen.v);
  Ref(s.font.v);
  Ref(s.bitmap.v);
}
void UnrefState(const detail::DCState& s) {
  Unref(s.brush.v);
  Unref(s.pen.v);
  Unref(s.font.v);
  Unref(s.bitmap.v);
}

HDC NewDC(detail::DCKind kind) {
  const Stock& st = Stocks();
  auto o = std::make_unique<DCObj>();
  o->dcKind = kind;
  o->st.brush = HBRUSH(st.obj[WHITE_BRUSH]);
  o->st.pen = HPEN(st.obj[BLACK_PEN]);
  o->st.font = HFONT(st.obj[SYSTEM_FONT]);
  if (kind == detail::DCKind::Memory) o->st.bitmap = st.monoBitmap;
  RefState(o->st);
  return HDC(detail::Register(std::move(o)));
}

// The drawing surface of a DC in its own device coordinates.
QRect Surface(const DCObj* d) {
  HBITMAP b = d->dcKind == detail::DCKind::Window ? d->backing : d->st.bitmap;
  auto* bm = detail::GetBitmap(b);
  if (!bm) {
    if (d->dcKind == detail::DCKind::Display) return QRect(0, 0, 1024, 768);
    return QRect();
  }
  return QRect(-d->devOffset.X, -d->devOffset.Y, bm->width, bm->height);
}

// Effective clip in device coordinates of the DC.
QRegion DeviceClip(const DCObj* d) {
  QRegion r(Surface(d));
  if (d->hasSysClip) r &= d->sysClip;
  if (d->st.hasClip) r &= d->st.clip;
  return r;
}

// Application clip, or the surface when there is none (for combining).
QRegion CurrentAppClip(const DCObj* d) {
  if (d->st.hasClip) return d->st.clip;
  QRegion r(Surface(d));
  if (d->hasSysClip) r &= d->sysClip;
  return r;
}

int ClipKind(const DCObj* d) { return RegionKind(DeviceClip(d)); }

TPoint LogToDev(const DCObj* d) { return TPoint(d->st.vpOrg.X - d->st.winOrg.X, d->st.vpOrg.Y - d->st.winOrg.Y); }

}  // namespace

namespace detail {
DrawTarget Target(HDC dc) {
  DrawTarget t;
  DCObj* d = GetDCObj(dc);
  if (!d) return t;
  t.dc = d;
  HBITMAP b = d->dcKind == DCKind::Window ? d->backing : d->st.bitmap;
  t.bmp = GetBitmap(b);
  if (!t.bmp) return t;
  t.clip = DeviceClip(d);
  t.clip.translate(d->devOffset.X, d->devOffset.Y);
  TPoint o = LogToDev(d);
  t.dx = o.X + d->devOffset.X;
  t.dy = o.Y + d->devOffset.Y;
  return t;
}
}  // namespace detail

// ---- creation ---------------------------------------------------------------

HDC win32api::CreateCompatibleDC(HDC) { return NewDC(detail::DCKind::Memory); }

HDC win32api::CreateDC(const char* driver, const char*, const char*, const void*) {
  if (!driver || std::strcmp(driver, "DISPLAY") != 0) return HDC();
  return NewDC(detail::DCKind::Display);
}

HDC CreateWindowDC(HBITMAP backing, TPoint origin, HRGN clip) {
  if (!detail::GetBitmap(backing)) return HDC();
  HDC h = NewDC(detail::DCKind::Window);
  DCObj* d = detail::GetDCObj(h);
  d->backing = backing;
  Ref(backing.v);
  d->devOffset = origin;
  if (auto* r = detail::GetRegion(clip)) {
    d->hasSysClip = true;
    d->sysClip = r->rgn;
  }
  return h;
}

bool SetWindowDCClip(HDC dc, HRGN clip) {
  DCObj* d = detail::GetDCObj(dc);
  if (!d) return false;
  auto* r = detail::GetRegion(clip);
  d->hasSysClip = r != nullptr;
  d->sysClip = r ? r->rgn : QRegion();
  return true;
}

bool SetWindowDCOrigin(HDC dc, TPoint origin) {
  DCObj* d = detail::GetDCObj(dc);
  if (!d) return false;
  d->devOffset = origin;
  return true;
}

HBITMAP GetDCBitmap(HDC dc) {
  DCObj* d = detail::GetDCObj(dc);
  if (!d) return HBITMAP();
  return d->dcKind == detail::DCKind::Window ? d->backing : d->st.bitmap;
}

TPoint GetDCDeviceOrigin(HDC dc) {
  DCObj* d = detail::GetDCObj(dc);
  return d ? d->devOffset : TPoint();
}

bool IsMemoryDC(HDC dc) {
  DCObj* d = detail::GetDCObj(dc);
  return d && d->dcKind == detail::DCKind::Memory;
}

size_t GdiObjectCount() {
  Stocks();
  return detail::LiveCount();
}

BOOL win32api::DeleteDC(HDC dc) {
  DCObj* d = detail::GetDCObj(dc);
  if (!d) return 0;
  UnrefState(d->st);
  for (auto& s : d->saved) UnrefState(s);
  Unref(d->backing.v);
  return detail::Destroy(dc.v);
}

BOOL win32api::DeleteObject(HGDIOBJ obj) {
  auto* o = detail::Lookup(obj.v, GdiKind::None);
  if (!o || o->kind == GdiKind::DC) return 0;
  if (o->stock) return 1;
  if (o->selectCount > 0) {
    o->deletePending = true;
    return 1;
  }
  return detail::Destroy(obj.v);
}

HGDIOBJ win32api::GetStockObject(int which) {
  if (which < 0 || which >= 20) return HGDIOBJ();
  return Stocks().obj[which];
}

// ---- selection ----------------------------------------------------------------

template <class H>
static H Swap(HDC dc, H h, H detail::DCState::*field) {
  DCObj* d = detail::GetDCObj(dc);
  if (!d || !detail::Lookup(h.v, GdiKind::None)) return H();
  H old = d->st.*field;
  if (old == h) return old;
  Ref(h.v);
  d->st.*field = h;
  Unref(old.v);
  return old;
}

HBITMAP win32api::SelectObject(HDC dc, HBITMAP bmp) {
  DCObj* d = detail::GetDCObj(dc);
  if (!d || d->dcKind != detail::DCKind::Memory) return HBITMAP();
  auto* b = detail::GetBitmap(bmp);
  // A bitmap can be selected into one memory DC at a time.
  if (b && b->selectCount > 0 && !(d->st.bitmap == bmp) && !b->stock) {
    bool inSaved = false;
    for (auto& s : d->saved) inSaved |= (s.bitmap == bmp);
    if (!inSaved) {
      // Selected elsewhere: GDI refuses.
      return HBITMAP();
    }
  }
  return Swap(dc, bmp, &detail::DCState::bitmap);
}
HBRUSH win32api::SelectObject(HDC dc, HBRUSH brush) { return Swap(dc, brush, &detail::DCState::brush); }
HPEN win32api::SelectObject(HDC dc, HPEN pen) { return Swap(dc, pen, &detail::DCState::pen); }
HFONT win32api::SelectObject(HDC dc, HFONT font) { return Swap(dc, font, &detail::DCState::font); }
int win32api::SelectObject(HDC dc, HRGN rgn) { return SelectClipRgn(dc, rgn); }

HGDIOBJ win32api::SelectObject(HDC dc, HGDIOBJ obj) {
  auto* o = detail::Lookup(obj.v, GdiKind::None);
  if (!o) return HGDIOBJ();
  switch (o->kind) {
    case GdiKind::Bitmap:
      return SelectObject(dc, HBITMAP(obj.v));
    case GdiKind::Brush:
      return SelectObject(dc, HBRUSH(obj.v));
    case GdiKind::Pen:
      return SelectObject(dc, HPEN(obj.v));
    case GdiKind::Font:
      return SelectObject(dc, HFONT(obj.v));
    case GdiKind::Region:
      return HGDIOBJ(uint32_t(SelectClipRgn(dc, HRGN(obj.v))));
    default:
      return HGDIOBJ();
  }
}

HGDIOBJ win32api::GetCurrentObject(HDC dc, UINT type) {
  DCObj* d = detail::GetDCObj(dc);
  if (!d) return HGDIOBJ();
  switch (type) {
    case OBJ_PEN:
      return d->st.pen;
    case OBJ_BRUSH:
      return d->st.brush;
    case OBJ_FONT:
      return d->st.font;
    case OBJ_BITMAP:
      return d->dcKind == detail::DCKind::Window ? HGDIOBJ(d->backing) : HGDIOBJ(d->st.bitmap);
    default:
      return HGDIOBJ();
  }
}

int win32api::GetObjectType(HGDIOBJ obj) {
  auto* o = detail::Lookup(obj.v, GdiKind::None);
  if (!o) return 0;
  switch (o->kind) {
    case GdiKind::Pen:
      return OBJ_PEN;
    case GdiKind::Brush:
      return OBJ_BRUSH;
    case GdiKind::Font:
      return OBJ_FONT;
    case GdiKind::Bitmap:
      return OBJ_BITMAP;
    case GdiKind::Region:
      return OBJ_REGION;
    case GdiKind::DC:
      return static_cast<DCObj*>(o)->dcKind == detail::DCKind::Memory ? OBJ_MEMDC : OBJ_DC;
    default:
      return 0;
  }
}

HBRUSH win32api::CreateSolidBrush(COLORREF c) {
  auto b = std::make_unique<detail::BrushObj>();
  b->style = BS_SOLID;
  b->color = c & 0xFFFFFF;
  return HBRUSH(detail::Register(std::move(b)));
}

HBRUSH win32api::CreateHatchBrush(int hatch, COLORREF c) {
  auto b = std::make_unique<detail::BrushObj>();
  b->style = BS_HATCHED;
  b->hatch = hatch;
  b->color = c & 0xFFFFFF;
  return HBRUSH(detail::Register(std::move(b)));
}

HBRUSH win32api::CreateBrushIndirect(const LOGBRUSH* lb) {
  if (!lb) return HBRUSH();
  if (lb->lbStyle == BS_HATCHED) return CreateHatchBrush(int(lb->lbHatch), lb->lbColor);
  auto b = std::make_unique<detail::BrushObj>();
  b->style = lb->lbStyle == BS_NULL ? BS_NULL : BS_SOLID;
  b->color = lb->lbColor & 0xFFFFFF;
  return HBRUSH(detail::Register(std::move(b)));
}

HPEN win32api::CreatePen(int style, int width, COLORREF c) {
  auto p = std::make_unique<detail::PenObj>();
  p->style = style & 0xF;
  p->width = width < 1 ? 1 : width;
  p->color = c & 0xFFFFFF;
  return HPEN(detail::Register(std::move(p)));
}

// ---- state ----------------------------------------------------------------------

int win32api::SaveDC(HDC dc) {
  DCObj* d = detail::GetDCObj(dc);
  if (!d) return 0;
  d->saved.push_back(d->st);
  RefState(d->st);
  return int(d->saved.size());
}

BOOL win32api::RestoreDC(HDC dc, int n) {
  DCObj* d = detail::GetDCObj(dc);
  if (!d) return 0;
  int count = int(d->saved.size());
  int target = n < 0 ? count + 1 + n : n;
  if (target < 1 || target > count) return 0;
  // Drop the newer states, then make the target current.
  while (int(d->saved.size()) > target) {
    UnrefState(d->saved.back());
    d->saved.pop_back();
  }
  detail::DCState s = std::move(d->saved.back());
  d->saved.pop_back();
  UnrefState(d->st);
  d->st = std::move(s);  // the saved state's references move to the current one
  return 1;
}

#define GFX_DC_ATTR(Set, Get, Type, field) \
  Type win32api::Set(HDC dc, Type v) {     \
    DCObj* d = detail::GetDCObj(dc);       \
    if (!d) return Type(0);                \
    Type old = d->st.field;                \
    d->st.field = v;                       \
    return old;                            \
  }                                        \
  Type win32api::Get(HDC dc) {             \
    DCObj* d = detail::GetDCObj(dc);       \
    return d ? d->st.field : Type(0);      \
  }

COLORREF win32api::SetTextColor(HDC dc, COLORREF c) {
  DCObj* d = detail::GetDCObj(dc);
  if (!d) return CLR_INVALID;
  COLORREF old = d->st.textColor;
  d->st.textColor = c & 0xFFFFFF;
  return old;
}
COLORREF win32api::GetTextColor(HDC dc) {
  DCObj* d = detail::GetDCObj(dc);
  return d ? d->st.textColor : CLR_INVALID;
}
COLORREF win32api::SetBkColor(HDC dc, COLORREF c) {
  DCObj* d = detail::GetDCObj(dc);
  if (!d) return CLR_INVALID;
  COLORREF old = d->st.bkColor;
  d->st.bkColor = c & 0xFFFFFF;
  return old;
}
COLORREF win32api::GetBkColor(HDC dc) {
  DCObj* d = detail::GetDCObj(dc);
  return d ? d->st.bkColor : CLR_INVALID;
}
GFX_DC_ATTR(SetBkMode, GetBkMode, int, bkMode)
GFX_DC_ATTR(SetROP2, GetROP2, int, rop2)
GFX_DC_ATTR(SetStretchBltMode, GetStretchBltMode, int, stretchMode)
#undef GFX_DC_ATTR

BOOL win32api::SetBrushOrgEx(HDC dc, int x, int y, POINT* old) {
  DCObj* d = detail::GetDCObj(dc);
  if (!d) return 0;
  if (old) *old = d->st.brushOrg;
  d->st.brushOrg = TPoint(x, y);
  return 1;
}

// ---- coordinates ---------------------------------------------------------------

static BOOL SetOrg(HDC dc, TPoint detail::DCState::*field, int x, int y, bool relative, POINT* old) {
  DCObj* d = detail::GetDCObj(dc);
  if (!d) return 0;
  TPoint& p = d->st.*field;
  if (old) *old = p;
  p = relative ? TPoint(p.X + x, p.Y + y) : TPoint(x, y);
  return 1;
}

BOOL win32api::SetViewportOrgEx(HDC dc, int x, int y, POINT* old) {
  return SetOrg(dc, &detail::DCState::vpOrg, x, y, false, old);
}
BOOL win32api::OffsetViewportOrgEx(HDC dc, int dx, int dy, POINT* old) {
  return SetOrg(dc, &detail::DCState::vpOrg, dx, dy, true, old);
}
BOOL win32api::SetWindowOrgEx(HDC dc, int x, int y, POINT* old) {
  return SetOrg(dc, &detail::DCState::winOrg, x, y, false, old);
}
BOOL win32api::OffsetWindowOrgEx(HDC dc, int dx, int dy, POINT* old) {
  return SetOrg(dc, &detail::DCState::winOrg, dx, dy, true, old);
}

BOOL win32api::GetViewportOrgEx(HDC dc, POINT* p) {
  DCObj* d = detail::GetDCObj(dc);
  if (!d || !p) return 0;
  *p = d->st.vpOrg;
  return 1;
}
BOOL win32api::GetWindowOrgEx(HDC dc, POINT* p) {
  DCObj* d = detail::GetDCObj(dc);
  if (!d || !p) return 0;
  *p = d->st.winOrg;
  return 1;
}

BOOL win32api::LPtoDP(HDC dc, POINT* pts, int count) {
  DCObj* d = detail::GetDCObj(dc);
  if (!d) return 0;
  TPoint o = LogToDev(d);
  for (int i = 0; i < count; ++i) {
    pts[i].X += o.X;
    pts[i].Y += o.Y;
  }
  return 1;
}
BOOL win32api::DPtoLP(HDC dc, POINT* pts, int count) {
  DCObj* d = detail::GetDCObj(dc);
  if (!d) return 0;
  TPoint o = LogToDev(d);
  for (int i = 0; i < count; ++i) {
    pts[i].X -= o.X;
    pts[i].Y -= o.Y;
  }
  return 1;
}

// ---- clipping --------------------------------------------------------------------

static QRect LogRectToDev(const DCObj* d, int l, int t, int r, int b) {
  TPoint o = LogToDev(d);
  if (r < l) std::swap(l, r);
  if (b < t) std::swap(t, b);
  return detail::QRectLTRB(int64_t(l) + o.X, int64_t(t) + o.Y, int64_t(r) + o.X, int64_t(b) + o.Y);
}

int win32api::IntersectClipRect(HDC dc, int l, int t, int r, int b) {
  DCObj* d = detail::GetDCObj(dc);
  if (!d) return ERROR_REGION;
  d->st.clip = CurrentAppClip(d) & LogRectToDev(d, l, t, r, b);
  d->st.hasClip = true;
  return ClipKind(d);
}

int win32api::ExcludeClipRect(HDC dc, int l, int t, int r, int b) {
  DCObj* d = detail::GetDCObj(dc);
  if (!d) return ERROR_REGION;
  d->st.clip = CurrentAppClip(d).subtracted(QRegion(LogRectToDev(d, l, t, r, b)));
  d->st.hasClip = true;
  return ClipKind(d);
}

int win32api::OffsetClipRgn(HDC dc, int dx, int dy) {
  DCObj* d = detail::GetDCObj(dc);
  if (!d) return ERROR_REGION;
  if (d->st.hasClip) d->st.clip.translate(dx, dy);
  return ClipKind(d);
}

int win32api::SelectClipRgn(HDC dc, HRGN rgn) {
  DCObj* d = detail::GetDCObj(dc);
  if (!d) return ERROR_REGION;
  if (!rgn) {
    d->st.hasClip = false;
    d->st.clip = QRegion();
    return ClipKind(d);
  }
  auto* r = detail::GetRegion(rgn);
  if (!r) return ERROR_REGION;
  d->st.hasClip = true;
  d->st.clip = r->rgn;
  return ClipKind(d);
}

int win32api::ExtSelectClipRgn(HDC dc, HRGN rgn, int mode) {
  DCObj* d = detail::GetDCObj(dc);
  if (!d) return ERROR_REGION;
  if (mode == RGN_COPY) return SelectClipRgn(dc, rgn);
  auto* r = detail::GetRegion(rgn);
  if (!r) return ERROR_REGION;
  QRegion cur = CurrentAppClip(d);
  switch (mode) {
    case RGN_AND:
      cur &= r->rgn;
      break;
    case RGN_OR:
      cur |= r->rgn;
      break;
    case RGN_XOR:
      cur ^= r->rgn;
      break;
    case RGN_DIFF:
      cur -= r->rgn;
      break;
    default:
      return ERROR_REGION;
  }
  d->st.clip = cur;
  d->st.hasClip = true;
  return ClipKind(d);
}

int win32api::GetClipBox(HDC dc, RECT* r) {
  DCObj* d = detail::GetDCObj(dc);
  if (!d) return ERROR_REGION;
  QRegion c = DeviceClip(d);
  TPoint o = LogToDev(d);
  TRect box = FromQ(c.boundingRect());
  if (!c.isEmpty()) {
    box.Left -= o.X;
    box.Right -= o.X;
    box.Top -= o.Y;
    box.Bottom -= o.Y;
  }
  if (r) *r = box;
  return RegionKind(c);
}

int win32api::GetClipRgn(HDC dc, HRGN rgn) {
  DCObj* d = detail::GetDCObj(dc);
  auto* r = detail::GetRegion(rgn);
  if (!d || !r) return -1;
  if (!d->st.hasClip) return 0;
  r->rgn = d->st.clip;
  return 1;
}

BOOL win32api::PtVisible(HDC dc, int x, int y) {
  DCObj* d = detail::GetDCObj(dc);
  if (!d) return 0;
  TPoint o = LogToDev(d);
  return DeviceClip(d).contains(QPoint(x + o.X, y + o.Y));
}

BOOL win32api::RectVisible(HDC dc, const RECT* r) {
  DCObj* d = detail::GetDCObj(dc);
  if (!d || !r) return 0;
  QRect q = LogRectToDev(d, r->Left, r->Top, r->Right, r->Bottom);
  return !q.isEmpty() && DeviceClip(d).intersects(q);
}

int win32api::GetDeviceCaps(HDC dc, int index) {
  DCObj* d = detail::GetDCObj(dc);
  QRect s = d ? Surface(d) : QRect(0, 0, 1024, 768);
  switch (index) {
    case BITSPIXEL:
      return 32;
    case PLANES:
      return 1;
    case LOGPIXELSX:
    case LOGPIXELSY:
      return 96;
    case HORZRES:
      return s.width();
    case VERTRES:
      return s.height();
    case NUMCOLORS:
      return -1;
    case SIZEPALETTE:
      return 0;
    case RASTERCAPS:
      return 0x0001 | 0x0008 | 0x0080 | 0x0200 | 0x0800;
    default:
      return 0;
  }
}

}  // namespace gfx
