#include "skin/draw/bsSkinImages.h"

#include <algorithm>

#include "platform/gfx/dc.h"
#include "platform/gfx/raster.h"
#include "skin/draw/bsGeometry.h"
#include "skin/draw/bsSkinBitmap.h"

namespace skin {

namespace {

// Copies between a skin picture (coordinates relative to its skin rectangle)
// and a destination bitmap. A piece with no area on either side is left out,
// so a degenerate geometry draws less, never a mirrored copy.
struct Painter {
  gfx::HDC dst, src;
  int ox = 0, oy = 0;

  Painter(gfx::TBitmap* B, const TbsPictureRect& Source)
      : dst(B->Canvas()->Handle()), src(PictureDC(Source.Picture)), ox(Source.Rect.Left), oy(Source.Rect.Top) {}

  // A straight copy when the sizes agree, else a nearest-pixel stretch.
  void Copy(const TRect& D, const TRect& S) const {
    if (D.Width() <= 0 || D.Height() <= 0 || S.Width() <= 0 || S.Height() <= 0) return;
    gfx::StretchBlt(dst, D.Left, D.Top, D.Width(), D.Height(), src, S.Left + ox, S.Top + oy, S.Width(), S.Height(),
                    gfx::SRCCOPY);
  }

  // The source columns SrcX .. SrcX + Step repeated from DstX0 up to DstX1
  // (the last tile cut there), rows SrcY0..SrcY1 into DstY0..DstY1.
  void TileX(int SrcX, int Step, int SrcY0, int SrcY1, int DstX0, int DstX1, int DstY0, int DstY1) const {
    if (Step <= 0) return;
    int tiles = (DstX1 - DstX0) / Step;
    if (tiles < 0) return;
    for (int i = 0; i <= tiles; ++i) {
      int x0 = DstX0 + i * Step, x1 = std::min(x0 + Step, DstX1);
      if (x1 <= x0) continue;
      Copy(TRect{x0, DstY0, x1, DstY1}, TRect{SrcX, SrcY0, SrcX + (x1 - x0), SrcY1});
    }
  }

  // The same down the rows.
  void TileY(int SrcY, int Step, int SrcX0, int SrcX1, int DstY0, int DstY1, int DstX0, int DstX1) const {
    if (Step <= 0) return;
    int tiles = (DstY1 - DstY0) / Step;
    if (tiles < 0) return;
    for (int i = 0; i <= tiles; ++i) {
      int y0 = DstY0 + i * Step, y1 = std::min(y0 + Step, DstY1);
      if (y1 <= y0) continue;
      Copy(TRect{DstX0, y0, DstX1, y1}, TRect{SrcX0, SrcY, SrcX1, SrcY + (y1 - y0)});
    }
  }
};

bool NoPicture(const TbsPictureRect& Source) { return !Source.Picture || Source.Picture->Empty(); }

// The centre of source rectangle S drawn into D by the stretch flags.
void DrawCentre(const Painter& p, const TRect& S, const TRect& D, const TbsNinePartStretch& F) {
  int gw = S.Width(), gh = S.Height();
  int dw = D.Width(), dh = D.Height();
  if (F.StretchEffect) {
    if (dw <= 0 || dh <= 0) return;
    switch (F.StretchType) {
      case bsstFull:
        p.Copy(D, S);
        break;
      case bsstHorz:
        // Stretched to the centre's height and repeated left to right, the
        // last copy cut at the centre's right edge.
        p.TileX(S.Left, gw, S.Top, S.Bottom, D.Left, D.Right, D.Top, D.Bottom);
        break;
      case bsstVert:
        p.TileY(S.Top, gh, S.Left, S.Right, D.Top, D.Bottom, D.Left, D.Right);
        break;
    }
    return;
  }
  if (gw <= 0 || gh <= 0) return;
  int cols = dw / gw, rows = dh / gh;
  if (cols < 0) return;
  for (int i = 0; i <= cols; ++i) {
    for (int j = 0; j <= rows; ++j) {
      int x0 = D.Left + i * gw, y0 = D.Top + j * gh;
      int x1 = std::min(x0 + gw, D.Right), y1 = std::min(y0 + gh, D.Bottom);
      if (x1 <= x0 || y1 <= y0) continue;
      p.Copy(TRect{x0, y0, x1, y1}, TRect{S.Left, S.Top, S.Left + (x1 - x0), S.Top + (y1 - y0)});
    }
  }
}

void BuildNinePart(bool OpenRight, const TbsNinePart& Src, const TbsNinePart& New, gfx::TBitmap* B,
                   const TbsPictureRect& Source, int W, int H, bool DrawClient, const TbsNinePartStretch& F) {
  if (!B) return;
  B->SetSize(W, H);
  const TPoint &LT = Src.LTPt, &RT = Src.RTPt, &LB = Src.LBPt, &RB = Src.RBPt;
  const TRect& Cl = Src.ClRect;
  const TPoint &NLT = New.LTPt, &NRT = New.RTPt, &NLB = New.LBPt, &NRB = New.RBPt;
  const TRect& NCl = New.ClRect;
  if (RB.X == LT.X || RB.Y == LT.Y || NoPicture(Source)) return;
  const int Rw = RectWidth(Source.Rect), Rh = RectHeight(Source.Rect);
  Painter p(B, Source);

  // Top and bottom sides; open to the right they run to W.
  int topEnd = OpenRight ? W : NRT.X, bottomEnd = OpenRight ? W : NRB.X;
  if (F.TopStretch)
    p.Copy(TRect{NLT.X, 0, topEnd, NCl.Top}, TRect{LT.X, 0, RT.X, Cl.Top});
  else
    p.TileX(LT.X, RT.X - LT.X, 0, Cl.Top, NLT.X, topEnd, 0, NCl.Top);
  if (F.BottomStretch)
    p.Copy(TRect{NLB.X, NCl.Bottom, bottomEnd, H}, TRect{LB.X, Cl.Bottom, RB.X, Rh});
  else
    p.TileX(LB.X, RB.X - LB.X, Cl.Bottom, Rh, NLB.X, bottomEnd, NCl.Bottom, H);
  // Left and right sides.
  if (F.LeftStretch)
    p.Copy(TRect{0, NLT.Y, NCl.Left, NLB.Y}, TRect{0, LT.Y, Cl.Left, LB.Y});
  else
    p.TileY(LT.Y, LB.Y - LT.Y, 0, Cl.Left, NLT.Y, NLB.Y, 0, NCl.Left);
  if (!OpenRight) {
    if (F.RightStretch)
      p.Copy(TRect{NCl.Right, NRT.Y, W, NRB.Y}, TRect{Cl.Right, RT.Y, Rw, RB.Y});
    else
      p.TileY(RT.Y, RB.Y - RT.Y, Cl.Right, Rw, NRT.Y, NRB.Y, NCl.Right, W);
  }
  // The corners, each an L of two pieces, drawn over the sides.
  p.Copy(TRect{0, 0, NLT.X, NCl.Top}, TRect{0, 0, LT.X, Cl.Top});
  p.Copy(TRect{0, NCl.Top, NCl.Left, NLT.Y}, TRect{0, Cl.Top, Cl.Left, LT.Y});
  if (!OpenRight) {
    p.Copy(TRect{NRT.X, 0, W, NCl.Top}, TRect{RT.X, 0, Rw, Cl.Top});
    p.Copy(TRect{NCl.Right, NCl.Top, W, NRT.Y}, TRect{Cl.Right, Cl.Top, Rw, RT.Y});
  }
  p.Copy(TRect{0, NLB.Y, NCl.Left, H}, TRect{0, LB.Y, Cl.Left, Rh});
  p.Copy(TRect{NCl.Left, NCl.Bottom, NLB.X, H}, TRect{Cl.Left, Cl.Bottom, LB.X, Rh});
  if (!OpenRight) {
    p.Copy(TRect{NRB.X, NCl.Bottom, W, H}, TRect{RB.X, Cl.Bottom, Rw, Rh});
    p.Copy(TRect{NCl.Right, NRB.Y, W, NCl.Bottom}, TRect{Cl.Right, RB.Y, Rw, Cl.Bottom});
  }
  if (!DrawClient) return;
  TRect centre = NCl;
  if (OpenRight) centre.Right = W;
  DrawCentre(p, Cl, centre, F);
}

// One horizontal frame strip (top or bottom) of the border builder: the
// side between X0 and X1 of the source band, then its two ends.
void BorderStripX(const Painter& p, int SrcY0, int SrcY1, int Rw, int X0, int X1, int NX0, int NX1, int W, int Hs,
                  bool Stretch) {
  if (Stretch)
    p.Copy(TRect{NX0, 0, NX1, Hs}, TRect{X0, SrcY0, X1, SrcY1});
  else
    p.TileX(X0, X1 - X0, SrcY0, SrcY1, 0, W, 0, Hs);
  p.Copy(TRect{0, 0, NX0, Hs}, TRect{0, SrcY0, X0, SrcY1});
  p.Copy(TRect{NX1, 0, W, Hs}, TRect{X1, SrcY0, Rw, SrcY1});
}

// One vertical frame strip (left or right): rows Y0..Y1 of the source band
// tiled or stretched, then the pieces between the centre's top and Y0 and
// between Y1 and the centre's bottom at the strip's ends.
void BorderStripY(const Painter& p, int SrcX0, int SrcX1, int Y0, int Y1, const TRect& Cl, int Ws, int Hs,
                  bool Stretch) {
  if (Stretch)
    p.Copy(TRect{0, Y0 - Cl.Top, Ws, Hs - (Cl.Bottom - Y1)}, TRect{SrcX0, Y0, SrcX1, Y1});
  else
    p.TileY(Y0, Y1 - Y0, SrcX0, SrcX1, 0, Hs, 0, Ws);
  if (Y0 > Cl.Top) p.Copy(TRect{0, 0, Ws, Y0 - Cl.Top}, TRect{SrcX0, Cl.Top, SrcX1, Y0});
  if (Cl.Bottom > Y1) p.Copy(TRect{0, Hs - (Cl.Bottom - Y1), Ws, Hs}, TRect{SrcX0, Y1, SrcX1, Cl.Bottom});
}

// The bar builders' middle: source columns (or rows) M0..M1 over D0..D1.
void BarMiddle(const Painter& p, bool Horizontal, int M0, int M1, int D0, int D1, int Thick, bool Stretch) {
  int step = M1 - M0;
  if (step <= 0) return;  // a middle of no width draws nothing
  if (Horizontal) {
    if (Stretch)
      p.Copy(TRect{D0, 0, D1, Thick}, TRect{M0, 0, M1, Thick});
    else
      p.TileX(M0, step, 0, Thick, D0, D1, 0, Thick);
  } else {
    if (Stretch)
      p.Copy(TRect{0, D0, Thick, D1}, TRect{0, M0, Thick, M1});
    else
      p.TileY(M0, step, 0, Thick, D0, D1, 0, Thick);
  }
}

enum class BarEnds { Both, LeftOnly, None };

void HBar(BarEnds Ends, int LOffset, int ROffset, gfx::TBitmap* B, const TbsPictureRect& Source, int W, bool Stretch) {
  if (!B) return;
  int Rw = RectWidth(Source.Rect), Rh = RectHeight(Source.Rect);
  B->SetSize(W, Rh);
  if (NoPicture(Source)) return;
  Painter p(B, Source);
  if (Ends != BarEnds::None && LOffset != 0) p.Copy(TRect{0, 0, LOffset, Rh}, TRect{0, 0, LOffset, Rh});
  if (Ends == BarEnds::Both && ROffset != 0) p.Copy(TRect{W - ROffset, 0, W, Rh}, TRect{Rw - ROffset, 0, Rw, Rh});
  switch (Ends) {
    case BarEnds::Both:
      BarMiddle(p, true, LOffset, Rw - ROffset, LOffset, W - ROffset, Rh, Stretch);
      break;
    case BarEnds::LeftOnly:
      BarMiddle(p, true, LOffset, Rw - ROffset, LOffset, W, Rh, Stretch);
      break;
    case BarEnds::None:
      BarMiddle(p, true, LOffset, Rw - ROffset, 0, W, Rh, Stretch);
      break;
  }
}

}  // namespace

void CreateSkinImage(const TbsNinePart& Src, const TbsNinePart& New, gfx::TBitmap* B, const TbsPictureRect& Source,
                     int W, int H, bool DrawClient, const TbsNinePartStretch& Stretch) {
  BuildNinePart(false, Src, New, B, Source, W, H, DrawClient, Stretch);
}

void CreateSkinImage2(const TbsNinePart& Src, const TbsNinePart& New, gfx::TBitmap* B, const TbsPictureRect& Source,
                      int W, int H, bool DrawClient, const TbsNinePartStretch& Stretch) {
  BuildNinePart(false, Src, New, B, Source, W, H, DrawClient, Stretch);
}

void CreateSkinImage3(const TbsNinePart& Src, const TbsNinePart& New, gfx::TBitmap* B, const TbsPictureRect& Source,
                      int W, int H, bool DrawClient, const TbsNinePartStretch& Stretch) {
  BuildNinePart(true, Src, New, B, Source, W, H, DrawClient, Stretch);
}

void CreateSkinImageByClRect(gfx::TBitmap* B, const TbsPictureRect& Source, const TRect& ClRect, bool DrawClient) {
  if (!B) return;
  int W = B->Width(), H = B->Height();
  int Rw = RectWidth(Source.Rect), Rh = RectHeight(Source.Rect);
  auto corners = [](const TRect& c) {
    return TbsNinePart{{c.Left, c.Top}, {c.Right, c.Top}, {c.Left, c.Bottom}, {c.Right, c.Bottom}, c};
  };
  TRect newCl{ClRect.Left, ClRect.Top, W - (Rw - ClRect.Right), H - (Rh - ClRect.Bottom)};
  TbsNinePartStretch all;
  all.LeftStretch = all.TopStretch = all.RightStretch = all.BottomStretch = true;
  all.StretchEffect = true;
  all.StretchType = bsstFull;
  CreateSkinImage(corners(ClRect), corners(newCl), B, Source, W, H, DrawClient, all);
}

void CreateSkinBorderImages(const TbsNinePart& Src, const TbsNinePart& New, const TbsFrameStrips& Strips,
                            const TbsPictureRect& Source, int W, int H, const TbsNinePartStretch& F) {
  if (NoPicture(Source)) return;
  const TPoint &LT = Src.LTPt, &RT = Src.RTPt, &LB = Src.LBPt, &RB = Src.RBPt;
  const TRect& Cl = Src.ClRect;
  const TRect& NCl = New.ClRect;
  const int Rw = RectWidth(Source.Rect), Rh = RectHeight(Source.Rect);
  if (Strips.Top && W > 0 && NCl.Top > 0 && RT.X - LT.X > 0) {
    Strips.Top->SetSize(W, NCl.Top);
    Painter p(Strips.Top, Source);
    BorderStripX(p, 0, NCl.Top, Rw, LT.X, RT.X, New.LTPt.X, New.RTPt.X, W, NCl.Top, F.TopStretch);
  }
  int d = H - NCl.Bottom;
  if (Strips.Bottom && W > 0 && d > 0 && RB.X - LB.X > 0) {
    Strips.Bottom->SetSize(W, d);
    Painter p(Strips.Bottom, Source);
    BorderStripX(p, Rh - d, Rh, Rw, LB.X, RB.X, New.LBPt.X, New.RBPt.X, W, d, F.BottomStretch);
  }
  int h = H - (Strips.Bottom ? Strips.Bottom->Height() : 0) - (Strips.Top ? Strips.Top->Height() : 0);
  if (Strips.Left && NCl.Left > 0 && h > 0 && LB.Y - LT.Y > 0) {
    Strips.Left->SetSize(NCl.Left, h);
    Painter p(Strips.Left, Source);
    BorderStripY(p, 0, NCl.Left, LT.Y, LB.Y, Cl, NCl.Left, h, F.LeftStretch);
  }
  int wr = W - NCl.Right;
  if (Strips.Right && wr >= 1 && h >= 1 && RB.Y - RT.Y >= 1) {
    Strips.Right->SetSize(wr, h);
    Painter p(Strips.Right, Source);
    BorderStripY(p, Cl.Right, Rw, RT.Y, RB.Y, Cl, wr, h, F.RightStretch);
  }
}

void CreateHSkinImage(int LOffset, int ROffset, gfx::TBitmap* B, const TbsPictureRect& Source, int W, int,
                      bool Stretch) {
  HBar(BarEnds::Both, LOffset, ROffset, B, Source, W, Stretch);
}

void CreateHSkinImage2(int LOffset, int ROffset, gfx::TBitmap* B, const TbsPictureRect& Source, int W, int,
                       bool Stretch) {
  HBar(BarEnds::LeftOnly, LOffset, ROffset, B, Source, W, Stretch);
}

void CreateHSkinImage3(int LOffset, int ROffset, gfx::TBitmap* B, const TbsPictureRect& Source, int W, int,
                       bool Stretch) {
  HBar(BarEnds::None, LOffset, ROffset, B, Source, W, Stretch);
}

void CreateVSkinImage(int TOffset, int BOffset, gfx::TBitmap* B, const TbsPictureRect& Source, int, int H,
                      bool Stretch) {
  if (!B) return;
  int Rw = RectWidth(Source.Rect), Rh = RectHeight(Source.Rect);
  B->SetSize(Rw, H);
  if (NoPicture(Source)) return;
  Painter p(B, Source);
  if (TOffset != 0) p.Copy(TRect{0, 0, Rw, TOffset}, TRect{0, 0, Rw, TOffset});
  if (BOffset != 0) p.Copy(TRect{0, H - BOffset, Rw, H}, TRect{0, Rh - BOffset, Rw, Rh});
  BarMiddle(p, false, TOffset, Rh - BOffset, TOffset, H - BOffset, Rw, Stretch);
}

}  // namespace skin
