// Update regions, paint DCs over each top-level's retained backing image,
// window regions, and flushing the image to the backend.
#include "platform/win/window_internal.h"

#include "platform/gfx/bitmap.h"
#include "platform/gfx/raster.h"
#include "platform/gfx/text.h"

#include <algorithm>

namespace win {
namespace detail {

static TRect Offset(TRect r, int dx, int dy) { return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy}; }
static TRect Intersect(const TRect& a, const TRect& b) {
  TRect r{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
  if (r.Right <= r.Left || r.Bottom <= r.Top) return {};
  return r;
}
static bool EmptyRect(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

// The window's own shape (rectangle and region) in top-level coordinates.
static Rgn ShapeInTop(Window* w) {
  TPoint o = OriginInTop(w);
  Rgn r(TRect{o.X, o.Y, o.X + w->rect.Width(), o.Y + w->rect.Height()});
  if (w->region) r.Intersect(Rgn::CopyOf(w->region).Offset(o.X, o.Y));
  return r;
}

Rgn VisibleRgn(Window* w, bool clientOnly) {
  // A hidden window (or one under a hidden parent) draws nowhere; a hidden
  // top-level still draws into its own image, which shows once it is shown.
  for (Window* a = w; a && a->parent; a = a->parent)
    if (!a->visible()) return Rgn();
  TPoint o = OriginInTop(w);
  Rgn r = ShapeInTop(w);
  if (clientOnly) r.Intersect(Offset(w->client, o.X, o.Y));
  for (Window* c = w; c->parent; c = c->parent) {
    Window* p = c->parent;
    TPoint po = OriginInTop(p);
    r.Intersect(Offset(p->client, po.X, po.Y));
    if (p->region) r.Intersect(Rgn::CopyOf(p->region).Offset(po.X, po.Y));
    // Siblings above clip this one; transparent ones paint over it instead.
    auto it = std::find_if(p->children.begin(), p->children.end(), [&](auto& x) { return x.get() == c; });
    if (it != p->children.end())
      for (++it; it != p->children.end(); ++it) {
        Window* s = it->get();
        if (s->visible() && !(s->exStyle & WS_EX_TRANSPARENT)) r.Subtract(ShapeInTop(s));
      }
  }
  for (auto& ch : w->children)
    if (ch->visible() && !(ch->exStyle & WS_EX_TRANSPARENT)) r.Subtract(ShapeInTop(ch.get()));
  return r;
}

// A new size drops the image; the next paint or read makes it at the size
// then. A form is sized many times while it is built, and a dialog made at
// start may never show: neither costs an image per size.
void ResizeBacking(Window* w) { FreeBacking(w); }

gfx::HBITMAP EnsureBacking(Window* w) {
  if (!w->backing && w->isTopLevel() && !w->messageOnly) {
    int W = w->rect.Width(), H = w->rect.Height();
    if (W > 0 && H > 0) w->backing = gfx::CreateDib(W, H, 32);
  }
  return w->backing;
}

void FreeBacking(Window* w) {
  if (w->backing) {
    gfx::DeleteObject(w->backing);
    w->backing = nullptr;
  }
}

static bool HasNonClient(Window* w) {
  return w->client.Left > 0 || w->client.Top > 0 || w->client.Right < w->rect.Width() ||
         w->client.Bottom < w->rect.Height();
}

// Invalidates `r` (window coordinates of w) in w and every visible descendant it covers.
static void InvalidateTree(Window* w, const TRect& r, bool erase) {
  TRect all{0, 0, w->rect.Width(), w->rect.Height()};
  TRect rr = Intersect(r, all);
  if (EmptyRect(rr)) return;
  if (HasNonClient(w)) {
    Rgn nc(rr);
    nc.Subtract(w->client);
    if (!nc.Empty()) w->ncDirty = true;
  }
  TRect rc = Intersect(rr, w->client);
  if (!EmptyRect(rc)) {
    w->update.Unite(Offset(rc, -w->client.Left, -w->client.Top));
    w->erase = w->erase || erase;
  }
  for (auto& ch : w->children) {
    if (!ch->visible()) continue;
    TRect inChild = Offset(rr, -w->client.Left - ch->rect.Left, -w->client.Top - ch->rect.Top);
    InvalidateTree(ch.get(), inChild, erase);
  }
}

void InvalidateExposed(Window* parent, const TRect& rectInParentClient) {
  if (!parent || !parent->alive) return;
  InvalidateTree(parent, Offset(rectInParentClient, parent->client.Left, parent->client.Top), true);
}

void InvalidateWholeWindow(Window* w, bool erase) {
  InvalidateTree(w, TRect{0, 0, w->rect.Width(), w->rect.Height()}, erase);
  if (HasNonClient(w)) w->ncDirty = true;
}

// Client-area invalidation of one window. Transparent children and transparent
// siblings above, which paint over this window's pixels, follow it.
static void InvalidateClient(Window* w, const Rgn& clientRgn, bool erase) {
  Rgn r = clientRgn;
  r.Intersect(TRect{0, 0, w->client.Width(), w->client.Height()});
  if (r.Empty()) return;
  w->update.Unite(r);
  w->erase = w->erase || erase;
  for (auto& ch : w->children) {
    if (!ch->visible() || !(ch->exStyle & WS_EX_TRANSPARENT)) continue;
    Rgn cr = r;
    cr.Offset(-ch->rect.Left - ch->client.Left, -ch->rect.Top - ch->client.Top);
    InvalidateClient(ch.get(), cr, erase);
  }
  if (Window* p = w->parent) {
    auto it = std::find_if(p->children.begin(), p->children.end(), [&](auto& x) { return x.get() == w; });
    if (it == p->children.end()) return;
    for (++it; it != p->children.end(); ++it) {
      Window* s = it->get();
      if (!s->visible() || !(s->exStyle & WS_EX_TRANSPARENT)) continue;
      Rgn sr = r;
      sr.Offset(w->rect.Left + w->client.Left - s->rect.Left - s->client.Left,
                w->rect.Top + w->client.Top - s->rect.Top - s->client.Top);
      InvalidateClient(s, sr, erase);
    }
  }
}

// Whether the window itself waits for WM_PAINT (its non-client part is
// painted on the way).
static bool WantsPaint(Window* w) {
  if (w->ulwContent) {
    // Its pixels come from UpdateLayeredWindow only.
    w->update.Clear();
    w->ncDirty = false;
    return false;
  }
  if (w->ncDirty) SendNcPaintIfNeeded(w);
  if (!w->alive || w->update.Empty()) return false;
  if (w->client.Width() > 0 && w->client.Height() > 0 && !w->inPaint) return true;
  if (!w->inPaint) w->update.Clear();
  return false;
}

static Window* FindPaintIn(Window* w) {
  if (!w->visible()) return nullptr;
  if (WantsPaint(w)) return w;
  if (!w->alive || w->ulwContent) return nullptr;
  std::vector<std::shared_ptr<Window>> kids = w->children;
  for (auto& c : kids)
    if (c->alive)
      if (Window* r = FindPaintIn(c.get())) return r;
  return nullptr;
}

HWND NextPaintWindow(HWND only) {
  if (only) {
    // A filter for one window asks for its own paint, whatever comes first.
    auto keep = Keep(only);
    return keep && VisibleChain(keep.get()) && WantsPaint(keep.get()) ? only : HWND();
  }
  std::vector<std::shared_ptr<Window>> tops = S().topLevels;
  for (auto& t : tops)
    if (t->alive)
      if (Window* r = FindPaintIn(t.get())) return r->handle;
  return nullptr;
}

void SendNcPaintIfNeeded(Window* w) {
  if (!w->ncDirty) return;
  w->ncDirty = false;
  if (!HasNonClient(w) || !VisibleChain(w)) return;
  SendMessage(w->handle, WM_NCPAINT, 1, 0);
}

void FlushTop(Window* top) {
  if (!top || !top->backing) return;
  TRect r = gfx::TakeDirtyRect(top->backing);
  if (top->screenLost) {
    top->screenLost = false;
    r = TRect{0, 0, top->rect.Width(), top->rect.Height()};
  }
  if (EmptyRect(r)) return;
  if (top->surface && top->visible()) Backend().Flush(top->surface, top->backing, r);
}

// Whether a window of the tree still waits for the loop to paint it (asked
// without painting anything, unlike FindPaintIn).
static bool TreeWaitsForPaint(Window* w) {
  if (!w->alive || !w->visible() || w->ulwContent) return false;
  if (w->ncDirty && HasNonClient(w)) return true;
  if (!w->update.Empty() && !w->inPaint && w->client.Width() > 0 && w->client.Height() > 0) return true;
  for (auto& c : w->children)
    if (TreeWaitsForPaint(c.get())) return true;
  return false;
}

// A window painted by the loop goes on screen with the rest of its
// top-level, once nothing there waits for its paint: one update of the
// screen instead of one per control, and never a half-drawn window.
static void FlushTopWhenPainted(Window* top) {
  if (top && !TreeWaitsForPaint(top)) FlushTop(top);
}

static gfx::HDC MakeDC(Window* w, bool client, const Rgn* extraClip) {
  Window* top = TopLevelOf(w);
  if (!top || !EnsureBacking(top)) return nullptr;
  TPoint o = OriginInTop(w);
  if (client) {
    o.X += w->client.Left;
    o.Y += w->client.Top;
  }
  Rgn clip = VisibleRgn(w, client);
  if (extraClip) clip.Intersect(*extraClip);
  clip.Offset(-o.X, -o.Y);
  return gfx::CreateWindowDC(top->backing, o, clip.handle());
}

void DrawCaptionText(gfx::HDC dc, const std::string& text, const TRect& r, gfx::COLORREF color) {
  if (text.empty()) return;
  gfx::LOGFONT lf;
  lf.lfHeight = -11;
  lf.lfWeight = gfx::FW_BOLD;
  lf.lfFaceName = "MS Sans Serif";
  gfx::HFONT f = gfx::CreateFontIndirect(&lf);
  gfx::HFONT old = gfx::SelectObject(dc, f);
  int oldMode = gfx::SetBkMode(dc, gfx::TRANSPARENT);
  gfx::COLORREF oldColor = gfx::SetTextColor(dc, color);
  RECT rr = r;
  gfx::DrawText(dc, text, -1, &rr, gfx::DT_SINGLELINE | gfx::DT_VCENTER | gfx::DT_END_ELLIPSIS | gfx::DT_NOPREFIX);
  gfx::SetTextColor(dc, oldColor);
  gfx::SetBkMode(dc, oldMode);
  gfx::SelectObject(dc, old);
  gfx::DeleteObject(f);
}

}  // namespace detail

using namespace detail;

int SetWindowRgn(HWND hwnd, gfx::HRGN rgn, BOOL redraw) {
  CheckUiThread();
  Window* w = Find(hwnd);
  if (!w) {
    if (rgn) gfx::DeleteObject(rgn);
    return 0;
  }
  bool vis = VisibleChain(w);
  if (vis && redraw && w->parent) InvalidateExposed(w->parent, w->rect);
  if (w->region && w->region != rgn) gfx::DeleteObject(w->region);
  w->region = rgn;
  if (w->surface) Backend().SetMask(w->surface, rgn);
  if (vis && redraw) InvalidateWholeWindow(w, true);
  return 1;
}

int GetWindowRgn(HWND hwnd, gfx::HRGN out) {
  Window* w = Find(hwnd);
  if (!w || !w->region || !out) return gfx::ERROR_REGION;
  return gfx::CombineRgn(out, w->region, w->region, gfx::RGN_COPY);
}

BOOL InvalidateRect(HWND hwnd, const RECT* r, BOOL erase) {
  CheckUiThread();
  if (!hwnd) return FALSE;
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  TRect all{0, 0, w->client.Width(), w->client.Height()};
  InvalidateClient(w, Rgn(r ? *r : all), erase != 0);
  return TRUE;
}

BOOL InvalidateRgn(HWND hwnd, gfx::HRGN rgn, BOOL erase) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  if (!rgn) return InvalidateRect(hwnd, nullptr, erase);
  InvalidateClient(w, Rgn::CopyOf(rgn), erase != 0);
  return TRUE;
}

BOOL ValidateRect(HWND hwnd, const RECT* r) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  if (r)
    w->update.Subtract(*r);
  else
    w->update.Clear();
  if (w->update.Empty()) w->erase = false;
  return TRUE;
}

BOOL ValidateRgn(HWND hwnd, gfx::HRGN rgn) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  if (rgn)
    w->update.Subtract(Rgn::CopyOf(rgn));
  else
    w->update.Clear();
  if (w->update.Empty()) w->erase = false;
  return TRUE;
}

static void PaintNow(Window* w) {
  if (!w->alive || w->inPaint || !VisibleChain(w)) return;
  SendNcPaintIfNeeded(w);
  if (!w->alive || w->update.Empty()) return;
  HWND h = w->handle;
  auto keep = Keep(h);
  w->paintServed = false;
  try {
    SendMessage(h, WM_PAINT);
  } catch (...) {
    w->inPaint = false;
    HandleDispatchException(std::current_exception());
  }
  if (w->alive && !w->paintServed && !w->inPaint) {
    w->update.Clear();
    w->erase = false;
  }
}

BOOL UpdateWindow(HWND hwnd) {
  CheckUiThread();
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  PaintNow(w);
  FlushTop(TopLevelOf(w));
  return TRUE;
}

static void UpdateTree(Window* w) {
  auto keep = Keep(w->handle);
  PaintNow(w);
  std::vector<std::shared_ptr<Window>> kids = w->children;
  for (auto& c : kids)
    if (c->alive) UpdateTree(c.get());
}

BOOL RedrawWindow(HWND hwnd, const RECT* r, gfx::HRGN rgn, UINT flags) {
  CheckUiThread();
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  Rgn area = rgn ? Rgn::CopyOf(rgn) : Rgn(r ? *r : TRect{0, 0, w->client.Width(), w->client.Height()});
  if (flags & RDW_INVALIDATE) {
    if (flags & RDW_ALLCHILDREN) {
      TRect box = area.Box();
      InvalidateTree(w, Offset(box, w->client.Left, w->client.Top), (flags & RDW_ERASE) != 0);
    } else {
      InvalidateClient(w, area, (flags & RDW_ERASE) != 0);
    }
    if (flags & RDW_FRAME) w->ncDirty = true;
  }
  if (flags & RDW_VALIDATE) {
    w->update.Subtract(area);
    if (flags & RDW_NOFRAME) w->ncDirty = false;
  }
  if (flags & (RDW_UPDATENOW | RDW_ERASENOW)) {
    if (flags & RDW_ALLCHILDREN)
      UpdateTree(w);
    else
      PaintNow(w);
    if (Find(hwnd)) FlushTop(TopLevelOf(w));
  }
  return TRUE;
}

BOOL GetUpdateRect(HWND hwnd, RECT* r, BOOL) {
  Window* w = Find(hwnd);
  if (!w) return FALSE;
  if (r) *r = w->update.Empty() ? TRect{} : w->update.Box();
  return !w->update.Empty();
}

int GetUpdateRgn(HWND hwnd, gfx::HRGN out, BOOL) {
  Window* w = Find(hwnd);
  if (!w || !out) return gfx::ERROR_REGION;
  return gfx::CombineRgn(out, w->update.handle(), w->update.handle(), gfx::RGN_COPY);
}

gfx::HDC BeginPaint(HWND hwnd, PAINTSTRUCT* ps) {
  CheckUiThread();
  Window* w = Find(hwnd);
  if (!w || !ps) return nullptr;
  SendNcPaintIfNeeded(w);
  if (!w->alive) return nullptr;
  w->paintServed = true;
  CaretBeforePaint(w);
  Rgn upd = w->update;
  bool erase = w->erase;
  w->update.Clear();
  w->erase = false;
  TPoint o = OriginInTop(w);
  Rgn clipInTop = upd;
  clipInTop.Offset(o.X + w->client.Left, o.Y + w->client.Top);
  gfx::HDC dc = MakeDC(w, true, &clipInTop);
  ps->hdc = dc;
  ps->rcPaint = upd.Empty() ? TRect{} : upd.Box();
  ps->fErase = FALSE;
  w->inPaint = true;
  if (erase && dc) ps->fErase = SendMessage(hwnd, WM_ERASEBKGND, WPARAM(dc.v), 0) == 0;
  return dc;
}

BOOL EndPaint(HWND hwnd, const PAINTSTRUCT* ps) {
  Window* w = Find(hwnd);
  if (ps && ps->hdc) gfx::DeleteDC(ps->hdc);
  if (!w) return FALSE;
  w->inPaint = false;
  CaretAfterPaint(w);
  FlushTopWhenPainted(TopLevelOf(w));
  return TRUE;
}

gfx::HDC GetDC(HWND hwnd) {
  CheckUiThread();
  if (!hwnd) return gfx::CreateDC("DISPLAY", nullptr, nullptr, nullptr);
  Window* w = Find(hwnd);
  if (!w) return nullptr;
  return MakeDC(w, true, nullptr);
}

gfx::HDC GetWindowDC(HWND hwnd) {
  CheckUiThread();
  if (!hwnd) return gfx::CreateDC("DISPLAY", nullptr, nullptr, nullptr);
  Window* w = Find(hwnd);
  if (!w) return nullptr;
  return MakeDC(w, false, nullptr);
}

int ReleaseDC(HWND hwnd, gfx::HDC dc) {
  if (!dc) return 0;
  gfx::DeleteDC(dc);
  if (Window* w = Find(hwnd)) FlushTop(TopLevelOf(w));
  return 1;
}

int ScrollWindowEx(HWND hwnd, int dx, int dy, const RECT* scroll, const RECT*, gfx::HRGN update, RECT* updateRect,
                   UINT) {
  Window* w = Find(hwnd);
  if (!w) return gfx::ERROR_REGION;
  // The retained image is repainted rather than shifted: the uncovered and the
  // moved parts are both invalidated, which gives the same pixels.
  TRect all{0, 0, w->client.Width(), w->client.Height()};
  TRect area = scroll ? Intersect(*scroll, all) : all;
  (void)dx;
  (void)dy;
  InvalidateClient(w, Rgn(area), true);
  if (update) gfx::SetRectRgn(update, area.Left, area.Top, area.Right, area.Bottom);
  if (updateRect) *updateRect = area;
  return gfx::SIMPLEREGION;
}

static Window* FindTopLevel(HWND hwnd) {
  Window* w = Find(hwnd);
  return w ? TopLevelOf(w) : nullptr;
}

void ExposeTopLevel(HWND topLevel) {
  Window* w = FindTopLevel(topLevel);
  if (!w || !EnsureBacking(w)) return;
  // A window about to be painted is put on screen whole when it has been,
  // not once now with what it showed before and again after.
  w->screenLost = true;
  FlushTopWhenPainted(w);
}

gfx::HBITMAP BackingImage(HWND topLevel) {
  Window* w = FindTopLevel(topLevel);
  return w ? EnsureBacking(w) : gfx::HBITMAP();
}

void FlushAll() {
  for (auto& t : std::vector<std::shared_ptr<Window>>(S().topLevels))
    if (t->alive) FlushTopWhenPainted(t.get());
}

}  // namespace win
