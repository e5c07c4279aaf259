#include "platform/gfx/canvas.h"

#include "platform/gfx/bitmap.h"
#include "platform/gfx/dc.h"
#include "platform/gfx/graphics.h"
#include "platform/gfx/raster.h"
#include "platform/gfx/rect.h"
#include "platform/gfx/text.h"

namespace gfx {

// ---- TPen -----------------------------------------------------------------------

TPen::~TPen() { Reset(); }

void TPen::Reset() {
  if (handle_) DeleteObject(handle_);
  handle_ = HPEN();
}

void TPen::SetColor(TColor c) {
  if (c == color_) return;
  color_ = c;
  Reset();
  Changed();
}
void TPen::SetWidth(int w) {
  if (w == width_) return;
  width_ = w;
  Reset();
  Changed();
}
void TPen::SetStyle(TPenStyle s) {
  if (s == style_) return;
  style_ = s;
  Reset();
  Changed();
}
void TPen::SetMode(TPenMode m) {
  if (m == mode_) return;
  mode_ = m;
  Changed();
}

HPEN TPen::Handle() {
  if (!handle_) {
    static const int styles[] = {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME};
    handle_ = CreatePen(styles[style_], width_, ColorToRef(color_));
  }
  return handle_;
}

void TPen::Assign(const TPen& src) {
  if (&src == this) return;
  color_ = src.color_;
  width_ = src.width_;
  style_ = src.style_;
  mode_ = src.mode_;
  Reset();
  Changed();
}

// ---- TBrush ---------------------------------------------------------------------

TBrush::~TBrush() { Reset(); }

void TBrush::Reset() {
  if (handle_) DeleteObject(handle_);
  handle_ = HBRUSH();
}

void TBrush::SetColor(TColor c) {
  if (c == color_ && style_ != bsClear) return;
  color_ = c;
  if (style_ == bsClear) style_ = bsSolid;
  Reset();
  Changed();
}

void TBrush::SetStyle(TBrushStyle s) {
  if (s == style_) return;
  style_ = s;
  Reset();
  Changed();
}

HBRUSH TBrush::Handle() {
  if (!handle_) {
    LOGBRUSH lb;
    lb.lbColor = ColorToRef(color_);
    switch (style_) {
      case bsSolid:
        lb.lbStyle = BS_SOLID;
        break;
      case bsClear:
        lb.lbStyle = BS_NULL;
        break;
      default:
        lb.lbStyle = BS_HATCHED;
        lb.lbHatch = int(style_) - int(bsHorizontal);
        break;
    }
    handle_ = CreateBrushIndirect(&lb);
  }
  return handle_;
}

void TBrush::Assign(const TBrush& src) {
  if (&src == this) return;
  color_ = src.color_;
  style_ = src.style_;
  Reset();
  Changed();
}

// ---- TFont ----------------------------------------------------------------------

TFont::~TFont() { Reset(); }

void TFont::Reset() {
  if (handle_) DeleteObject(handle_);
  handle_ = HFONT();
}

#define GFX_FONT_SETTER(Setter, Type, field, resets) \
  void TFont::Setter(Type v) {                       \
    if (field == v) return;                          \
    field = v;                                       \
    if (resets) Reset();                             \
    Changed();                                       \
  }
GFX_FONT_SETTER(SetName, const std::string&, name_, true)
GFX_FONT_SETTER(SetHeight, int, height_, true)
GFX_FONT_SETTER(SetStyle, TFontStyles, style_, true)
GFX_FONT_SETTER(SetColor, TColor, color_, false)
GFX_FONT_SETTER(SetCharset, TFontCharset, charset_, true)
GFX_FONT_SETTER(SetPitch, TFontPitch, pitch_, true)
#undef GFX_FONT_SETTER

int TFont::Size() const { return -MulDiv(height_, 72, PixelsPerInch()); }
void TFont::SetSize(int points) { SetHeight(-MulDiv(points, PixelsPerInch(), 72)); }

LOGFONT TFont::LogFont() const {
  LOGFONT lf;
  lf.lfHeight = height_;
  lf.lfWeight = style_.Contains(fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = style_.Contains(fsItalic);
  lf.lfUnderline = style_.Contains(fsUnderline);
  lf.lfStrikeOut = style_.Contains(fsStrikeOut);
  lf.lfCharSet = charset_;
  lf.lfPitchAndFamily = pitch_ == fpFixed ? FIXED_PITCH : pitch_ == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
  lf.lfFaceName = name_;
  return lf;
}

HFONT TFont::Handle() {
  if (!handle_) {
    LOGFONT lf = LogFont();
    handle_ = CreateFontIndirect(&lf);
  }
  return handle_;
}

void TFont::SetHandle(HFONT f) {
  LOGFONT lf;
  if (!GetLogFont(f, lf)) return;
  name_ = lf.lfFaceName;
  height_ = lf.lfHeight;
  TFontStyles s;
  if (lf.lfWeight >= FW_BOLD) s = s + TFontStyles{fsBold};
  if (lf.lfItalic) s = s + TFontStyles{fsItalic};
  if (lf.lfUnderline) s = s + TFontStyles{fsUnderline};
  if (lf.lfStrikeOut) s = s + TFontStyles{fsStrikeOut};
  style_ = s;
  charset_ = lf.lfCharSet;
  Reset();
  Changed();
}

void TFont::Assign(const TFont& src) {
  if (&src == this) return;
  name_ = src.name_;
  height_ = src.height_;
  style_ = src.style_;
  color_ = src.color_;
  charset_ = src.charset_;
  pitch_ = src.pitch_;
  Reset();
  Changed();
}

// ---- TCanvas --------------------------------------------------------------------

TCanvas::TCanvas() {
  pen_.OnChange = [this](rtl::TObject*) { valid_ &= ~kPen; };
  brush_.OnChange = [this](rtl::TObject*) { valid_ &= ~kBrush; };
  font_.OnChange = [this](rtl::TObject*) { valid_ &= ~kFont; };
}

TCanvas::~TCanvas() { SetHandle(HDC()); }

HDC TCanvas::DC() {
  if (!handle_) CreateHandle();
  return handle_;
}

// Asking for the handle selects the canvas's objects first, so a DC handed
// to the Win32 calls draws with the canvas's font, brush and pen.
HDC TCanvas::Handle() {
  Changing();
  if (DC()) Require(kAll);
  return handle_;
}

void TCanvas::DeselectHandles() {
  if (handle_ && selected_) {
    if (selected_ & kPen) SelectObject(handle_, oldPen_);
    if (selected_ & kBrush) SelectObject(handle_, oldBrush_);
    if (selected_ & kFont) SelectObject(handle_, oldFont_);
  }
  valid_ = 0;
  selected_ = 0;
}

void TCanvas::SetHandle(HDC dc) {
  if (dc == handle_) return;
  DeselectHandles();
  handle_ = dc;
}

void TCanvas::Refresh() { DeselectHandles(); }

void TCanvas::Require(unsigned what) {
  HDC dc = DC();
  if (!dc) return;
  // Objects are re-selected whenever they changed: the handle they were made
  // from has been freed, so the DC must hold the new one.
  if ((what & kPen) && !(valid_ & kPen)) {
    HPEN old = SelectObject(dc, pen_.Handle());
    if (!(selected_ & kPen)) oldPen_ = old;
    static const int modes[] = {R2_BLACK,       R2_WHITE,      R2_NOP,         R2_NOT,
                                R2_COPYPEN,     R2_NOTCOPYPEN, R2_MERGEPENNOT, R2_MASKPENNOT,
                                R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,    R2_NOTMERGEPEN,
                                R2_MASKPEN,     R2_NOTMASKPEN, R2_XORPEN,      R2_NOTXORPEN};
    SetROP2(dc, modes[pen_.Mode()]);
    valid_ |= kPen;
    selected_ |= kPen;
  }
  if ((what & kBrush) && !(valid_ & kBrush)) {
    HBRUSH old = SelectObject(dc, brush_.Handle());
    if (!(selected_ & kBrush)) oldBrush_ = old;
    SetBkColor(dc, ColorToRef(brush_.Color()));
    SetBkMode(dc, brush_.Style() == bsSolid ? OPAQUE : TRANSPARENT);
    valid_ |= kBrush;
    selected_ |= kBrush;
  }
  if ((what & kFont) && !(valid_ & kFont)) {
    HFONT old = SelectObject(dc, font_.Handle());
    if (!(selected_ & kFont)) oldFont_ = old;
    SetTextColor(dc, ColorToRef(font_.Color()));
    valid_ |= kFont;
    selected_ |= kFont;
  }
}

TRect TCanvas::ClipRect() {
  TRect r;
  if (HDC dc = DC()) GetClipBox(dc, &r);
  return r;
}

TPoint TCanvas::PenPos() {
  TPoint p;
  if (HDC dc = DC()) GetCurrentPositionEx(dc, &p);
  return p;
}

void TCanvas::SetPenPos(TPoint p) { MoveTo(p.X, p.Y); }

TColor TCanvas::Pixels(int x, int y) {
  HDC dc = DC();
  if (!dc) return clNone;
  COLORREF c = GetPixel(dc, x, y);
  return c == CLR_INVALID ? TColor(-1) : TColor(c);
}

void TCanvas::SetPixels(int x, int y, TColor c) {
  Changing();
  if (HDC dc = DC()) SetPixel(dc, x, y, ColorToRef(c));
  Changed();
}

void TCanvas::MoveTo(int x, int y) {
  if (HDC dc = DC()) MoveToEx(dc, x, y, nullptr);
}

void TCanvas::LineTo(int x, int y) {
  Changing();
  Require(kPen | kBrush);
  if (HDC dc = DC()) gfx::LineTo(dc, x, y);
  Changed();
}

void TCanvas::Polyline(const std::vector<TPoint>& pts) {
  Changing();
  Require(kPen | kBrush);
  if (HDC dc = DC(); dc && !pts.empty()) gfx::Polyline(dc, pts.data(), int(pts.size()));
  Changed();
}

void TCanvas::Polygon(const std::vector<TPoint>& pts) {
  Changing();
  Require(kPen | kBrush);
  if (HDC dc = DC(); dc && !pts.empty()) gfx::Polygon(dc, pts.data(), int(pts.size()));
  Changed();
}

void TCanvas::Rectangle(int l, int t, int r, int b) {
  Changing();
  Require(kPen | kBrush);
  if (HDC dc = DC()) gfx::Rectangle(dc, l, t, r, b);
  Changed();
}

void TCanvas::RoundRect(int l, int t, int r, int b, int w, int h) {
  Changing();
  Require(kPen | kBrush);
  if (HDC dc = DC()) gfx::RoundRect(dc, l, t, r, b, w, h);
  Changed();
}

void TCanvas::Ellipse(int l, int t, int r, int b) {
  Changing();
  Require(kPen | kBrush);
  if (HDC dc = DC()) gfx::Ellipse(dc, l, t, r, b);
  Changed();
}

void TCanvas::FillRect(const TRect& r) {
  Changing();
  Require(kBrush);
  if (HDC dc = DC()) gfx::FillRect(dc, &r, brush_.Handle());
  Changed();
}

void TCanvas::FrameRect(const TRect& r) {
  Changing();
  Require(kBrush);
  if (HDC dc = DC()) gfx::FrameRect(dc, &r, brush_.Handle());
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& r) {
  Changing();
  Require(kBrush);
  if (HDC dc = DC()) gfx::DrawFocusRect(dc, &r);
  Changed();
}

void TCanvas::Draw(int x, int y, TGraphic* g) {
  if (!g || g->Empty()) return;
  Changing();
  g->Draw(this, TRect{x, y, x + g->Width(), y + g->Height()});
  Changed();
}

void TCanvas::StretchDraw(const TRect& r, TGraphic* g) {
  if (!g || g->Empty()) return;
  Changing();
  g->Draw(this, r);
  Changed();
}

void TCanvas::CopyRect(const TRect& dst, TCanvas* src, const TRect& s) {
  if (!src) return;
  Changing();
  Require(kBrush);
  src->Require(kBrush);
  HDC d = DC(), sd = src->DC();
  if (d && sd)
    StretchBlt(d, dst.Left, dst.Top, dst.Width(), dst.Height(), sd, s.Left, s.Top, s.Width(), s.Height(), copyMode_);
  Changed();
}

void TCanvas::BrushCopy(const TRect& dst, TBitmap* src, const TRect& s, TColor key) {
  if (!src || src->Empty()) return;
  Changing();
  HDC d = DC();
  HDC sd = src->Canvas()->Handle();
  if (d && sd)
    TransparentBlt(d, dst.Left, dst.Top, dst.Width(), dst.Height(), sd, s.Left, s.Top, s.Width(), s.Height(),
                   ColorToRef(key));
  Changed();
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  Changing();
  Require(kFont | kBrush);
  if (HDC dc = DC()) {
    gfx::TextOut(dc, x, y, text);
    // TA_UPDATECP moves the pen; otherwise the pen goes to the end of the text.
    MoveToEx(dc, x + TextWidth(text), y, nullptr);
  }
  Changed();
}

void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text) {
  Changing();
  Require(kFont | kBrush);
  if (HDC dc = DC()) {
    UINT opts = ETO_CLIPPED;
    if (brush_.Style() != bsClear) opts |= ETO_OPAQUE;
    ExtTextOut(dc, x, y, opts, &r, text);
  }
  Changed();
}

TSize TCanvas::TextExtent(const std::string& text) {
  Require(kFont);
  TSize s;
  if (HDC dc = DC()) GetTextExtentPoint32(dc, text, -1, &s);
  return s;
}

void TCanvas::Lock() {
  lock_.lock();
  ++lockCount_;
}

void TCanvas::Unlock() {
  --lockCount_;
  lock_.unlock();
}

bool TCanvas::TryLock() {
  if (!lock_.try_lock()) return false;
  ++lockCount_;
  return true;
}

void Frame3D(TCanvas* canvas, TRect& r, TColor topColor, TColor bottomColor, int width) {
  if (!canvas) return;
  canvas->Pen()->SetWidth(1);
  --r.Bottom;
  --r.Right;
  while (width > 0) {
    --width;
    TPoint tl{r.Left, r.Top}, tr{r.Right, r.Top}, bl{r.Left, r.Bottom}, br{r.Right, r.Bottom};
    canvas->Pen()->SetColor(topColor);
    canvas->Polyline({bl, tl, tr});
    canvas->Pen()->SetColor(bottomColor);
    --bl.X;
    canvas->Polyline({tr, br, bl});
    InflateRect(r, -1, -1);
  }
  ++r.Bottom;
  ++r.Right;
}

}  // namespace gfx
