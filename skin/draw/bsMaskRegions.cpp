#include "skin/draw/bsMaskRegions.h"

#include <cstring>

#include "platform/gfx/dc.h"
#include "platform/gfx/raster.h"
#include "skin/draw/bsGeometry.h"
#include "skin/draw/bsSkinBitmap.h"

namespace skin {

int CreateRgnDataFromMask(gfx::TBitmap* Mask, int X, int Y, std::vector<uint8_t>& RgnData) {
  RgnData.clear();
  if (!Mask || Mask->Empty()) return 0;
  TbsFBitmap f(Mask->Handle());
  if (!f.Bits) return 0;
  // The runs grow with the mask: no fixed table to overrun or cut short.
  std::vector<TRect> runs;
  for (int y = 0; y < f.Height; ++y) {
    const uint8_t* row = f.Pixels[size_t(y)];
    int x = 0;
    while (x < f.Width) {
      auto black = [&](int i) { return row[i * 3] + row[i * 3 + 1] + row[i * 3 + 2] == 0; };
      if (!black(x)) {
        ++x;
        continue;
      }
      int x0 = x;
      while (x < f.Width && black(x)) ++x;
      runs.push_back(TRect{X + x0, Y + y, X + x, Y + y + 1});
    }
  }
  gfx::RGNDATAHEADER header;
  header.dwSize = 32;
  header.iType = gfx::RDH_RECTANGLES;
  header.nCount = gfx::DWORD(runs.size());
  header.nRgnSize = 0;
  header.rcBound = TRect{X, Y, X + f.Width, Y + f.Height};
  RgnData.assign(sizeof header + runs.size() * sizeof(TRect), 0);
  std::memcpy(RgnData.data(), &header, sizeof header);
  if (!runs.empty()) std::memcpy(RgnData.data() + sizeof header, runs.data(), runs.size() * sizeof(TRect));
  return int(RgnData.size());
}

void CreateRegionFromMask(gfx::HRGN& Rgn, gfx::TBitmap* Mask) {
  Rgn = gfx::HRGN();
  std::vector<uint8_t> data;
  int size = CreateRgnDataFromMask(Mask, 0, 0, data);
  if (size == 0) return;
  Rgn = gfx::ExtCreateRegion(nullptr, gfx::DWORD(size), reinterpret_cast<const gfx::RGNDATA*>(data.data()));
}

namespace {

// Copies between the mask (its own coordinates) and a strip.
struct MaskCopier {
  gfx::HDC dst, src;
  void Copy(const TRect& D, const TRect& S) const {
    if (D.Width() <= 0 || D.Height() <= 0 || S.Width() <= 0 || S.Height() <= 0) return;
    gfx::StretchBlt(dst, D.Left, D.Top, D.Width(), D.Height(), src, S.Left, S.Top, S.Width(), S.Height(), gfx::SRCCOPY);
  }
};

// Sizes a strip and makes it all outside (white) before pieces are copied in.
MaskCopier PrepareStrip(gfx::TBitmap* Strip, gfx::TBitmap* Mask, int W, int H) {
  Strip->SetSize(W, H);
  gfx::TCanvas* c = Strip->Canvas();
  c->Brush()->SetStyle(gfx::bsSolid);
  c->Brush()->SetColor(gfx::clWhite);
  c->FillRect(TRect{0, 0, W, H});
  return MaskCopier{c->Handle(), PictureDC(Mask)};
}

// A side strip along the rows: the block Y0..Y1 of columns X0..X1 tiled from
// the strip's top, then the pieces above Y0 and below Y1 at its ends.
void SideStripY(gfx::TBitmap* Strip, gfx::TBitmap* Mask, int X0, int X1, int Y0, int Y1, const TRect& Area, int Hs) {
  int ws = X1 - X0;
  MaskCopier m = PrepareStrip(Strip, Mask, ws, Hs);
  int step = Y1 - Y0;
  if (step > 0) {
    for (int i = 0, tiles = Hs / step; i <= tiles; ++i) {
      int y0 = i * step, y1 = std::min(y0 + step, Hs);
      if (y1 > y0) m.Copy(TRect{0, y0, ws, y1}, TRect{X0, Y0, X1, Y0 + (y1 - y0)});
    }
  }
  if (Y0 > Area.Top) m.Copy(TRect{0, 0, ws, Y0 - Area.Top}, TRect{X0, Area.Top, X1, Y0});
  if (Area.Bottom > Y1) m.Copy(TRect{0, Hs - (Area.Bottom - Y1), ws, Hs}, TRect{X0, Y1, X1, Area.Bottom});
}

// A strip along the columns: the block X0..X1 of rows Y0..Y1 tiled from NX0
// up to NX1, then the mask's columns left of X0 and right of X1 at the ends.
void SideStripX(gfx::TBitmap* Strip, gfx::TBitmap* Mask, int Y0, int Y1, int X0, int X1, int NX0, int NX1, int W) {
  int hs = Y1 - Y0, mw = Mask->Width();
  MaskCopier m = PrepareStrip(Strip, Mask, W, hs);
  int step = X1 - X0;
  if (step > 0) {
    int tiles = (NX1 - NX0) / step;
    for (int i = 0; tiles >= 0 && i <= tiles; ++i) {
      int x0 = NX0 + i * step, x1 = std::min(x0 + step, NX1);
      if (x1 > x0) m.Copy(TRect{x0, 0, x1, hs}, TRect{X0, Y0, X0 + (x1 - x0), Y1});
    }
  }
  m.Copy(TRect{0, 0, X0, hs}, TRect{0, Y0, X0, Y1});
  m.Copy(TRect{NX1, 0, W, hs}, TRect{X1, Y0, mw, Y1});
}

}  // namespace

void CreateSkinMaskImages(const TbsNinePart& Src, const TbsNinePart& New, gfx::TBitmap* Mask,
                          const TbsFrameStrips& Strips, int W, int) {
  if (!Mask || Mask->Empty()) return;
  const TRect& Area = Src.ClRect;
  const TRect& NewArea = New.ClRect;
  int mw = Mask->Width(), mh = Mask->Height(), nh = RectHeight(NewArea);
  if (Strips.Left && Area.Left > 0 && nh > 0)
    SideStripY(Strips.Left, Mask, 0, Area.Left, Src.LTPt.Y, Src.LBPt.Y, Area, nh);
  if (Strips.Right && mw - Area.Right > 0 && nh > 0)
    SideStripY(Strips.Right, Mask, Area.Right, mw, Src.RTPt.Y, Src.RBPt.Y, Area, nh);
  if (Strips.Top && W > 0 && Area.Top > 0)
    SideStripX(Strips.Top, Mask, 0, Area.Top, Src.LTPt.X, Src.RTPt.X, New.LTPt.X, New.RTPt.X, W);
  if (Strips.Bottom && W > 0 && mh - Area.Bottom > 0)
    SideStripX(Strips.Bottom, Mask, Area.Bottom, mh, Src.LBPt.X, Src.RBPt.X, New.LBPt.X, New.RBPt.X, W);
}

void CreateSkinRegion(gfx::HRGN& Rgn, const TbsNinePart& Src, const TbsNinePart& New, gfx::TBitmap* Mask, int W,
                      int H) {
  Rgn = gfx::HRGN();
  if (New.LTPt.X > New.RTPt.X || New.LTPt.Y > New.LBPt.Y) return;
  const TRect& NewArea = New.ClRect;
  if (IsNullRect(NewArea)) return;
  gfx::TBitmap top, left, right, bottom;
  CreateSkinMaskImages(Src, New, Mask, TbsFrameStrips{&left, &top, &right, &bottom}, W, H);
  Rgn = gfx::CreateRectRgnIndirect(NewArea);
  auto join = [&](gfx::TBitmap& strip, int X, int Y) {
    if (strip.Width() <= 0 || strip.Height() <= 0) return;
    std::vector<uint8_t> data;
    int size = CreateRgnDataFromMask(&strip, X, Y, data);
    if (size == 0) return;
    gfx::HRGN part =
        gfx::ExtCreateRegion(nullptr, gfx::DWORD(size), reinterpret_cast<const gfx::RGNDATA*>(data.data()));
    if (!part) return;
    gfx::CombineRgn(Rgn, Rgn, part, gfx::RGN_OR);
    gfx::DeleteObject(part);
  };
  join(top, 0, 0);
  join(bottom, 0, NewArea.Bottom);
  join(left, 0, NewArea.Top);
  join(right, NewArea.Right, NewArea.Top);
}

}  // namespace skin
