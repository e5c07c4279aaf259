#include "skin/draw/bsSkinBitmap.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "platform/cl/controls.h"
#include "platform/gfx/dc.h"
#include "platform/gfx/raster.h"
#include "platform/gfx/region.h"
#include "platform/rtl/exceptions.h"
#include "platform/win/layered.h"

namespace skin {

using namespace gfx::win32api;

namespace {

// Every sized TbsBitmap once, in the order of their first successful SetSize.
std::vector<TbsBitmap*>& BitmapList() {
  static std::vector<TbsBitmap*> list;
  return list;
}

// A DIB larger than this is refused like any allocation GDI cannot make.
constexpr int64_t kMaxPixels = int64_t(1) << 28;

TRect Intersect(const TRect& a, const TRect& b) {
  return TRect{std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right),
               std::min(a.Bottom, b.Bottom)};
}

bool IsEmptyRect(const TRect& r) { return r.Right <= r.Left || r.Bottom <= r.Top; }

// Destination index -> source index of the nearest-pixel draw: the factor is
// held in single precision and the product truncated.
void SampleMap(int Count, int DstLen, int SrcLen, int SrcStart, int SrcEnd, int Offset, std::vector<int>& Out) {
  Out.resize(size_t(Count));
  if (DstLen < 2) {
    std::fill(Out.begin(), Out.end(), (SrcStart + SrcEnd - 1) / 2);
    return;
  }
  float scale = float(SrcLen - 1) / float(DstLen - 1);
  for (int i = 0; i < Count; ++i) Out[size_t(i)] = int(std::trunc(double(i + Offset) * double(scale) + SrcStart));
}

}  // namespace

TbsBitmap::TbsBitmap() = default;

TbsBitmap::~TbsBitmap() {
  auto& list = BitmapList();
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
  if (FCanvas) {
    FCanvas->SetHandle(gfx::HDC());
    delete FCanvas;
    FCanvas = nullptr;
  }
  Release();
}

void TbsBitmap::Release() {
  if (FCanvas) FCanvas->SetHandle(gfx::HDC());
  if (FDC) DeleteDC(FDC);
  if (FHandle) DeleteObject(FHandle);
  FDC = gfx::HDC();
  FHandle = gfx::HBITMAP();
  FBits = nullptr;
  FWidth = FHeight = 0;
}

void TbsBitmap::SetSize(int AWidth, int AHeight) {
  int64_t w = std::llabs(int64_t(AWidth)), h = std::llabs(int64_t(AHeight));
  if (w == 0) return;
  if (h == 0 || (w == FWidth && h == FHeight)) return;
  Release();
  if (w * h > kMaxPixels) throw rtl::Exception("Can't allocate the DIB handle");
  BITMAPINFO info{};
  info.bmiHeader.biWidth = LONG(w);
  info.bmiHeader.biHeight = -LONG(h);
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  gfx::HBITMAP handle = CreateDIBSection(gfx::HDC(), &info, DIB_RGB_COLORS, &bits);
  if (!bits) {
    if (handle) DeleteObject(handle);
    throw rtl::Exception("Can't allocate the DIB handle");
  }
  gfx::HDC dc = CreateCompatibleDC(gfx::HDC());
  if (!dc) {
    DeleteObject(handle);
    throw rtl::Exception("Can't create compatible DC");
  }
  if (!SelectObject(dc, handle)) {
    DeleteDC(dc);
    DeleteObject(handle);
    throw rtl::Exception("Can't bslect an object into DC");
  }
  FHandle = handle;
  FDC = dc;
  FBits = static_cast<TbsColor*>(bits);
  auto& list = BitmapList();
  if (std::find(list.begin(), list.end(), this) == list.end()) list.push_back(this);
  if (FCanvas) FCanvas->SetHandle(FDC);
  FWidth = int(w);
  FHeight = int(h);
}

void TbsBitmap::Assign(const TbsBitmap* Source) {
  if (!Source) throw rtl::EConvertError("Cannot assign a nil to a TbsBitmap");
  if (Source == this) return;
  SetSize(Source->FWidth, Source->FHeight);
  if (Empty() || Source->Empty()) return;
  PixelRoutines.Move(Source->FBits, FBits, FWidth * FHeight);
  Name = Source->Name;
  Transparent = Source->Transparent;
  AlphaBlend = Source->AlphaBlend;
}

void TbsBitmap::CopyFromDIB32(gfx::TBitmap* Source) {
  SetSize(Source->Width(), Source->Height());
  if (Empty()) return;
  int w = std::min(FWidth, Source->Width()), h = std::min(FHeight, Source->Height());
  for (int y = 0; y < h; ++y) std::memcpy(ScanLine(y), Source->ScanLine(y), size_t(w) * 4);
  CheckingAlphaBlend();
}

void TbsBitmap::Assign(gfx::TGraphic* Source) {
  if (!Source) throw rtl::EConvertError("Cannot assign a nil to a TbsBitmap");
  if (auto* b = dynamic_cast<gfx::TBitmap*>(Source)) {
    if (b->PixelFormat() == gfx::pf32bit && b->HandleType() == gfx::bmDIB) {
      CopyFromDIB32(b);
      return;
    }
    SetSize(b->Width(), b->Height());
    if (Empty()) return;
    if (!b->Empty()) BitBlt(FDC, 0, 0, FWidth, FHeight, PictureDC(b), 0, 0, SRCCOPY);
    SetAlpha(255);
    return;
  }
  SetSize(Source->Width(), Source->Height());
  if (Empty()) return;
  DrawGraphic(Source, TRect{0, 0, FWidth, FHeight});
  SetAlpha(255);
}

void TbsBitmap::Assign(gfx::TPicture* Source) {
  if (!Source) throw rtl::EConvertError("Cannot assign a nil to a TbsBitmap");
  gfx::TGraphic* g = Source->Graphic();
  if (!g) return;
  if (auto* b = dynamic_cast<gfx::TBitmap*>(g)) {
    // A picture's bitmap is always taken through its DC, whatever its format.
    SetSize(b->Width(), b->Height());
    if (Empty()) return;
    if (!b->Empty()) BitBlt(FDC, 0, 0, FWidth, FHeight, PictureDC(b), 0, 0, SRCCOPY);
    SetAlpha(255);
    return;
  }
  SetSize(g->Width(), g->Height());
  if (Empty()) return;
  DrawGraphic(g, TRect{0, 0, FWidth, FHeight});
  SetAlpha(255);
}

void TbsBitmap::AssignTo(gfx::TBitmap* Dest) {
  if (!Dest) throw rtl::EConvertError("Cannot assign a TbsBitmap to a nil");
  Dest->SetPixelFormat(gfx::pf32bit);
  Dest->SetSize(FWidth, FHeight);
  Draw(Dest->Canvas(), 0, 0);
}

void TbsBitmap::AssignTo(gfx::TPicture* Dest) {
  if (!Dest) throw rtl::EConvertError("Cannot assign a TbsBitmap to a nil");
  AssignTo(Dest->Bitmap());
}

void TbsBitmap::CheckingAlphaBlend() {
  AlphaBlend = false;
  if (Empty()) return;
  const TbsColor* p = FBits;
  for (int64_t i = 0, n = int64_t(FWidth) * FHeight; i < n; ++i) {
    uint32_t a = p[i] >> 24;
    if (a != 0 && a != 255) {
      AlphaBlend = true;
      return;
    }
  }
}

void TbsBitmap::SetAlpha(uint8_t Alpha) {
  if (Empty()) return;
  for (int y = 0; y < FHeight; ++y) PixelRoutines.SetAlpha(ScanLine(y), FWidth, Alpha);
}

gfx::TCanvas* TbsBitmap::GetCanvas() {
  if (!FCanvas) {
    FCanvas = new gfx::TCanvas();
    FCanvas->SetHandle(FDC);
  }
  return FCanvas;
}

void TbsBitmap::SetPixel(int X, int Y, TbsColor Color) {
  if (FBits && X >= 0 && X < FWidth && Y >= 0 && Y < FHeight) *PixelAddress(X, Y) = Color;
}

void TbsBitmap::DrawGraphic(gfx::TGraphic* Graphic, const TRect& DstRect) {
  if (Empty() || !Graphic) return;
  gfx::TBitmap tmp;
  tmp.SetPixelFormat(gfx::pf32bit);
  tmp.SetSize(FWidth, FHeight);
  gfx::TCanvas* c = tmp.Canvas();
  c->Brush()->SetColor(gfx::TColor(RGB(255, 0, 255)));
  // The pen's border lies outside the picture.
  c->Rectangle(-1, -1, FWidth + 1, FHeight + 1);
  c->StretchDraw(DstRect, Graphic);
  for (int y = 0; y < FHeight; ++y) {
    const uint8_t* row = tmp.ScanLine(y);
    TbsColor* out = ScanLine(y);
    for (int x = 0; x < FWidth; ++x) {
      const uint8_t* p = row + x * 4;
      if (p[0] == 255 && p[1] == 0 && p[2] == 255) continue;
      std::memcpy(out + x, p, 4);
    }
  }
}

void TbsBitmap::Draw(gfx::HDC DC, int X, int Y) { Draw(DC, X, Y, TRect{0, 0, FWidth, FHeight}); }

void TbsBitmap::Draw(gfx::HDC DC, int X, int Y, const TRect& SrcRect) {
  Draw(DC, TRect{X, Y, X + SrcRect.Width(), Y + SrcRect.Height()}, SrcRect);
}

void TbsBitmap::Draw(gfx::HDC DC, const TRect& DstRect, const TRect& SrcRect) {
  if (TbsBitmap* b = FindBitmapByDC(DC)) {
    // Where GDI would put the rectangle in that bitmap's pixels: through the
    // DC's window and viewport origins, inside its clip.
    POINT pts[2] = {{DstRect.Left, DstRect.Top}, {DstRect.Right, DstRect.Bottom}};
    LPtoDP(DC, pts, 2);
    TRect dst{pts[0].X, pts[0].Y, pts[1].X, pts[1].Y};
    TRect clip = dst;
    RECT box;
    int kind = GetClipBox(DC, &box);
    if (kind == gfx::NULLREGION) return;
    if (kind != gfx::ERROR_REGION) {
      POINT c[2] = {{box.Left, box.Top}, {box.Right, box.Bottom}};
      LPtoDP(DC, c, 2);
      clip = Intersect(clip, TRect{c[0].X, c[0].Y, c[1].X, c[1].Y});
    }
    DrawClipped(b, dst, SrcRect, clip);
    return;
  }
  DrawThroughDC(DC, DstRect, SrcRect);
}

void TbsBitmap::DrawThroughDC(gfx::HDC DC, const TRect& DstRect, const TRect& SrcRect) {
  int dw = DstRect.Width(), dh = DstRect.Height();
  if (!AlphaBlend && !Transparent) {
    SetStretchBltMode(DC, COLORONCOLOR);
    StretchBlt(DC, DstRect.Left, DstRect.Top, dw, dh, FDC, SrcRect.Left, SrcRect.Top, SrcRect.Width(), SrcRect.Height(),
               SRCCOPY);
    return;
  }
  if (dw <= 0 || dh <= 0) return;
  // Capture what lies under the rectangle, draw onto it in memory, put it back.
  TbsBitmap t;
  t.SetSize(dw, dh);
  BitBlt(t.FDC, 0, 0, dw, dh, DC, DstRect.Left, DstRect.Top, SRCCOPY);
  Draw(&t, TRect{0, 0, dw, dh}, SrcRect);
  BitBlt(DC, DstRect.Left, DstRect.Top, dw, dh, t.FDC, 0, 0, SRCCOPY);
}

void TbsBitmap::Draw(gfx::TCanvas* Canvas, int X, int Y) {
  if (Canvas) Draw(Canvas->Handle(), X, Y);
}

void TbsBitmap::Draw(TbsBitmap* Bitmap, int X, int Y) { Draw(Bitmap, X, Y, TRect{0, 0, FWidth, FHeight}); }

void TbsBitmap::Draw(TbsBitmap* Bitmap, int X, int Y, const TRect& SrcRect) {
  Draw(Bitmap, TRect{X, Y, X + SrcRect.Width(), Y + SrcRect.Height()}, SrcRect);
}

void TbsBitmap::Draw(TbsBitmap* Bitmap, const TRect& DstRect, const TRect& SrcRect) {
  DrawClipped(Bitmap, DstRect, SrcRect, DstRect);
}

void TbsBitmap::DrawClipped(TbsBitmap* Dest, const TRect& DstRect, const TRect& SrcRect, const TRect& ClipRect) {
  if (!Dest || IsEmptyRect(SrcRect)) return;
  TRect clip = Intersect(Intersect(ClipRect, TRect{0, 0, Dest->FWidth, Dest->FHeight}), DstRect);
  if (IsEmptyRect(clip)) return;
  // The source rectangle is never clipped: one that reaches outside draws nothing.
  if (SrcRect.Left < 0 || SrcRect.Top < 0 || SrcRect.Right > FWidth || SrcRect.Bottom > FHeight) return;
  int sw = SrcRect.Width(), sh = SrcRect.Height();
  int dw = DstRect.Width(), dh = DstRect.Height();
  int cw = clip.Width(), ch = clip.Height();
  TbsLineRoutine line = AlphaBlend ? PixelRoutines.Blend : Transparent ? PixelRoutines.KeyedCopy : PixelRoutines.Move;

  if (sw == dw && sh == dh) {
    int sx = SrcRect.Left + clip.Left - DstRect.Left, sy = SrcRect.Top + clip.Top - DstRect.Top;
    for (int r = 0; r < ch; ++r) line(PixelAddress(sx, sy + r), Dest->PixelAddress(clip.Left, clip.Top + r), cw);
    return;
  }

  std::vector<int> cols, rows;
  SampleMap(cw, dw, sw, SrcRect.Left, SrcRect.Right, clip.Left - DstRect.Left, cols);
  SampleMap(ch, dh, sh, SrcRect.Top, SrcRect.Bottom, clip.Top - DstRect.Top, rows);
  bool copy = line == PixelRoutines.Move;
  std::vector<TbsColor> buffer(copy ? 0 : size_t(cw));
  for (int j = 0; j < ch; ++j) {
    TbsColor* out = Dest->PixelAddress(clip.Left, clip.Top + j);
    bool sameRow = j > 0 && rows[size_t(j)] == rows[size_t(j - 1)];
    if (copy) {
      if (sameRow) {
        PixelRoutines.Move(Dest->PixelAddress(clip.Left, clip.Top + j - 1), out, cw);
        continue;
      }
      const TbsColor* src = ScanLine(rows[size_t(j)]);
      for (int i = 0; i < cw; ++i) out[i] = src[cols[size_t(i)]];
      continue;
    }
    if (!sameRow) {
      const TbsColor* src = ScanLine(rows[size_t(j)]);
      for (int i = 0; i < cw; ++i) buffer[size_t(i)] = src[cols[size_t(i)]];
    }
    line(buffer.data(), out, cw);
  }
}

TbsBitmap* FindBitmapByDC(gfx::HDC DC) {
  if (!DC) return nullptr;
  for (TbsBitmap* b : BitmapList())
    if (b->DC() == DC) return b;
  return nullptr;
}

TbsColor ColorToBsColor(gfx::TColor Color) {
  uint32_t c = uint32_t(gfx::ColorToRGB(Color));
  uint32_t r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}

void UpdateLayeredWindowBitmap(TbsBitmap* Bitmap, uint8_t Alpha, cl::TWinControl* Control) {
  if (!Bitmap || !Control || !OptionalFunctions.UpdateLayeredWindow) return;
  win::HWND h = Control->Handle();
  POINT pos{Control->Left(), Control->Top()};
  SIZE size{Bitmap->Width(), Bitmap->Height()};
  POINT src{0, 0};
  BLENDFUNCTION blend;
  blend.BlendOp = AC_SRC_OVER;
  blend.BlendFlags = 0;
  blend.SourceConstantAlpha = Alpha;
  blend.AlphaFormat = AC_SRC_ALPHA;
  OptionalFunctions.UpdateLayeredWindow(h, gfx::HDC(), &pos, &size, Bitmap->DC(), &src, 0, &blend, win::ULW_ALPHA);
}

TbsFBitmap::TbsFBitmap(gfx::HBITMAP HBmp) {
  BITMAP bm;
  if (!GetObject(HBmp, sizeof(bm), &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return;
  BITMAPINFO info{};
  info.bmiHeader.biWidth = bm.bmWidth;
  info.bmiHeader.biHeight = -bm.bmHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  Handle = CreateDIBSection(gfx::HDC(), &info, DIB_RGB_COLORS, &bits);
  if (!bits) {
    if (Handle) DeleteObject(Handle);
    Handle = gfx::HBITMAP();
    return;
  }
  Width = bm.bmWidth;
  Height = bm.bmHeight;
  Bits = static_cast<uint8_t*>(bits);
  GetDIBits(gfx::HDC(), HBmp, 0, UINT(Height), Bits, &info, DIB_RGB_COLORS);
  Gap = Width % 4;
  RowInc = 3 * Width + Gap;
  Size = RowInc * Height;
  Pixels.resize(size_t(Height));
  for (int i = 0; i < Height; ++i) Pixels[size_t(i)] = Bits + ptrdiff_t(i) * RowInc;
  hDC = CreateCompatibleDC(gfx::HDC());
  if (hDC) SelectObject(hDC, Handle);
}

TbsFBitmap::~TbsFBitmap() {
  if (hDC) DeleteDC(hDC);
  if (Handle) DeleteObject(Handle);
}

gfx::HDC PictureDC(gfx::TBitmap* Picture) { return Picture ? Picture->Canvas()->Handle() : gfx::HDC(); }

}  // namespace skin
