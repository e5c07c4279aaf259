#include "skin/draw/bsGlyphLayout.h"

#include <algorithm>
#include <functional>
#include <utility>

#include "platform/gfx/text.h"

namespace skin {

TbsGlyphCaptionPos CalcGlyphCaptionLayout(TbsButtonLayout Layout, const TRect& R, int GW, int GH, int TW, int TH,
                                          int Spacing, int Margin) {
  TbsGlyphCaptionPos p;
  int cx = R.Left + (R.Right - R.Left) / 2, cy = R.Top + (R.Bottom - R.Top) / 2;
  if (GW == 0) Spacing = 0;
  if (Margin == -1) {
    int hw = (TW + GW + Spacing) / 2, hv = (TH + GH + Spacing) / 2;
    switch (Layout) {
      case blGlyphLeft:
        p = {cx + hw - TW, cy - TH / 2, cx - hw, cy - GH / 2};
        break;
      case blGlyphRight:
        p = {cx - hw, cy - TH / 2, cx + hw - GW, cy - GH / 2};
        break;
      case blGlyphTop:
        p = {cx - TW / 2, cy + hv - TH, cx - GW / 2, cy - hv};
        break;
      case blGlyphBottom:
        p = {cx - TW / 2, cy - hv, cx - GW / 2, cy + hv - GH};
        break;
    }
    return p;
  }
  switch (Layout) {
    case blGlyphLeft:
      p.GlyphX = R.Left + Margin;
      p.GlyphY = cy - GH / 2;
      p.TextX = p.GlyphX + GW + Spacing;
      p.TextY = cy - TH / 2;
      break;
    case blGlyphRight:
      p.GlyphX = R.Right - GW - Margin;
      p.GlyphY = cy - GH / 2;
      p.TextX = p.GlyphX - Spacing - TW;
      p.TextY = cy - TH / 2;
      break;
    case blGlyphTop:
      p.GlyphX = cx - GW / 2;
      p.GlyphY = R.Top + Margin;
      p.TextX = cx - TW / 2;
      p.TextY = p.GlyphY + GH + Spacing;
      break;
    case blGlyphBottom:
      p.GlyphX = cx - GW / 2;
      p.GlyphY = R.Bottom - GH - Margin;
      p.TextX = cx - TW / 2;
      p.TextY = p.GlyphY - Spacing - TH;
      break;
  }
  return p;
}

namespace {

constexpr unsigned kMeasure = gfx::DT_CALCRECT | gfx::DT_EXPANDTABS | gfx::DT_WORDBREAK;

// The caption's size in R's room left beside or below a glyph of GW x GH.
void MeasureCaption(gfx::TCanvas* Canvas, const TRect& R, TbsButtonLayout Layout, const std::string& Caption, int GW,
                    int GH, int& TW, int& TH) {
  TW = TH = 0;
  if (Caption.empty()) return;
  TRect m{0, 0, R.Right - R.Left, R.Bottom - R.Top};
  if (Layout == blGlyphLeft || Layout == blGlyphRight) m.Right -= GW;
  if (Layout == blGlyphTop || Layout == blGlyphBottom) m.Bottom -= GH;
  gfx::DrawTextW(Canvas->Handle(), std::string_view(Caption), -1, &m, kMeasure);
  TW = m.Right - m.Left;
  TH = m.Bottom - m.Top;
}

// Three lines in Color at the rows Y - 2 .. Y from X0 up to (not including) X1.
void ColorBarLines(gfx::TCanvas* Canvas, int X0, int X1, int Y, gfx::TColor Color) {
  Canvas->Pen()->SetColor(Color);
  for (int row = Y - 2; row <= Y; ++row) {
    Canvas->MoveTo(X0, row);
    Canvas->LineTo(X1, row);
  }
}

void FillBar(gfx::TCanvas* Canvas, const TRect& R, gfx::TColor Color) {
  Canvas->Brush()->SetStyle(gfx::bsSolid);
  Canvas->Brush()->SetColor(Color);
  Canvas->FillRect(R);
}

struct TbsPicturePart {
  int GW = 0, GH = 0;
  bool present = false;
};

void DrawPictureAndText(gfx::TCanvas* Canvas, const TRect& R, int Margin, int Spacing, TbsButtonLayout Layout,
                        const std::string& Caption, TbsPicturePart Pic, bool Down, bool DrawColorBar,
                        gfx::TColor ColorBarValue, unsigned TextFlags, bool ClearBrushAlways, const TRect& EmptyBarRect,
                        const std::function<void(int X, int Y)>& DrawPicture) {
  int TW, TH;
  MeasureCaption(Canvas, R, Layout, Caption, Pic.GW, Pic.GH, TW, TH);
  if (ClearBrushAlways || !Caption.empty()) Canvas->Brush()->SetStyle(gfx::bsClear);
  TbsGlyphCaptionPos p = CalcGlyphCaptionLayout(Layout, R, Pic.GW, Pic.GH, TW, TH, Spacing, Margin);
  if (Down) {
    ++p.TextX;
    ++p.TextY;
    ++p.GlyphX;
    ++p.GlyphY;
  }
  TRect textRect{p.TextX, p.TextY, p.TextX + TW + 2, p.TextY + TH};
  if (!Caption.empty()) gfx::DrawTextW(Canvas->Handle(), std::string_view(Caption), -1, &textRect, TextFlags);
  if (Pic.present) {
    DrawPicture(p.GlyphX, p.GlyphY);
    if (DrawColorBar) ColorBarLines(Canvas, p.GlyphX, p.GlyphX + Pic.GW, p.GlyphY + Pic.GH, ColorBarValue);
  } else if (DrawColorBar) {
    if (!Caption.empty())
      ColorBarLines(Canvas, textRect.Left, textRect.Right, textRect.Bottom + 1, ColorBarValue);
    else
      FillBar(Canvas, EmptyBarRect, ColorBarValue);
  }
}

// A disabled picture keeps its shape and shading in greys of its own
// lightness, washed out towards a light grey, as the tool bar's disabled
// glyphs are: an opaque picture must not turn into a flat square. The
// picture is drawn once on black and once on white to learn each pixel's
// colour and coverage, so soft edges blend into what lies beneath.
void DrawImageGreyed(gfx::TCanvas* Canvas, int X, int Y, const cl::TCustomImageList* Images, int Index) {
  const int w = Images->Width(), h = Images->Height();
  gfx::TBitmap onBlack, onWhite;
  for (auto [b, c] : {std::pair{&onBlack, gfx::clBlack}, std::pair{&onWhite, gfx::clWhite}}) {
    b->SetPixelFormat(gfx::pf24bit);
    b->SetSize(w, h);
    b->Canvas()->Brush()->SetColor(c);
    b->Canvas()->FillRect(TRect{0, 0, w, h});
    Images->Draw(b->Canvas(), 0, 0, Index, true);
  }
  const TRect clip = Canvas->ClipRect();
  constexpr int kWash = 0xD8, kWashPercent = 45;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      if (X + x < clip.Left || X + x >= clip.Right || Y + y < clip.Top || Y + y >= clip.Bottom) continue;
      const gfx::COLORREF k = gfx::ColorToRef(onBlack.Canvas()->Pixels(x, y));
      const gfx::COLORREF wt = gfx::ColorToRef(onWhite.Canvas()->Pixels(x, y));
      const int cover = 255 - ((gfx::GetRValue(wt) - gfx::GetRValue(k)) + (gfx::GetGValue(wt) - gfx::GetGValue(k)) +
                               (gfx::GetBValue(wt) - gfx::GetBValue(k))) /
                                  3;
      if (cover <= 0) continue;
      // The colour before blending: what was added over black, per coverage.
      const int lum =
          (gfx::GetRValue(k) * 11 + gfx::GetGValue(k) * 16 + gfx::GetBValue(k) * 5) / 32 * 255 / std::min(255, cover);
      const int grey = (std::min(255, lum) * (100 - kWashPercent) + kWash * kWashPercent) / 100;
      const gfx::COLORREF under = gfx::ColorToRef(Canvas->Pixels(X + x, Y + y));
      auto mix = [cover](int s, int d) { return (s * cover + d * (255 - cover) + 127) / 255; };
      Canvas->SetPixels(X + x, Y + y,
                        gfx::TColor(gfx::RGB(mix(grey, gfx::GetRValue(under)), mix(grey, gfx::GetGValue(under)),
                                             mix(grey, gfx::GetBValue(under)))));
    }
}

void ImageAndText(gfx::TCanvas* Canvas, const TRect& R, int Margin, int Spacing, TbsButtonLayout Layout,
                  const std::string& Caption, int ImageIndex, const cl::TCustomImageList* Images, bool Down,
                  bool Enabled, bool DrawColorBar, gfx::TColor ColorBarValue, unsigned TextFlags) {
  TbsPicturePart pic;
  if (Images && ImageIndex >= 0 && ImageIndex < Images->Count()) pic = {Images->Width(), Images->Height(), true};
  DrawPictureAndText(Canvas, R, Margin, Spacing, Layout, Caption, pic, Down, DrawColorBar, ColorBarValue, TextFlags,
                     true, TRect{R.Left + 4, R.Top + 4, R.Right - 2, R.Bottom - 4}, [&](int X, int Y) {
                       if (Enabled)
                         Images->Draw(Canvas, X, Y, ImageIndex, true);
                       else
                         DrawImageGreyed(Canvas, X, Y, Images, ImageIndex);
                     });
}

}  // namespace

void DrawImageAndText(gfx::TCanvas* Canvas, const TRect& R, int Margin, int Spacing, TbsButtonLayout Layout,
                      const std::string& Caption, int ImageIndex, const cl::TCustomImageList* Images, bool Down,
                      bool Enabled, bool DrawColorBar, gfx::TColor ColorBarValue) {
  ImageAndText(Canvas, R, Margin, Spacing, Layout, Caption, ImageIndex, Images, Down, Enabled, DrawColorBar,
               ColorBarValue, gfx::DT_EXPANDTABS | gfx::DT_WORDBREAK | gfx::DT_VCENTER | gfx::DT_CENTER);
}

void DrawImageAndText2(gfx::TCanvas* Canvas, const TRect& R, int Margin, int Spacing, TbsButtonLayout Layout,
                       const std::string& Caption, int ImageIndex, const cl::TCustomImageList* Images, bool Down,
                       bool Enabled, bool DrawColorBar, gfx::TColor ColorBarValue) {
  ImageAndText(Canvas, R, Margin, Spacing, Layout, Caption, ImageIndex, Images, Down, Enabled, DrawColorBar,
               ColorBarValue, gfx::DT_EXPANDTABS | gfx::DT_WORDBREAK | gfx::DT_VCENTER);
}

void DrawGlyphAndText(gfx::TCanvas* Canvas, const TRect& R, int Margin, int Spacing, TbsButtonLayout Layout,
                      const std::string& Caption, gfx::TBitmap* Glyph, TbsNumGlyphs NumGlyphs, int GlyphNumber,
                      bool Down, bool DrawColorBar, gfx::TColor ColorBarValue) {
  TbsPicturePart pic;
  if (Glyph && !Glyph->Empty() && NumGlyphs.Value > 0) pic = {Glyph->Width() / NumGlyphs.Value, Glyph->Height(), true};
  TRect bar = Down ? TRect{R.Left + 4, R.Top + 5, R.Right - 2, R.Bottom - 3}
                   : TRect{R.Left + 4, R.Top + 4, R.Right - 2, R.Bottom - 4};
  DrawPictureAndText(Canvas, R, Margin, Spacing, Layout, Caption, pic, Down, DrawColorBar, ColorBarValue,
                     gfx::DT_EXPANDTABS | gfx::DT_WORDBREAK | gfx::DT_VCENTER | gfx::DT_CENTER, false, bar,
                     [&](int X, int Y) { DrawGlyph(Canvas, X, Y, Glyph, NumGlyphs, GlyphNumber); });
}

void DrawGlyph(gfx::TCanvas* Canvas, int X, int Y, gfx::TBitmap* Glyph, TbsNumGlyphs NumGlyphs, int GlyphNumber) {
  if (!Glyph || Glyph->Empty() || NumGlyphs.Value <= 0) return;
  int gw = Glyph->Width() / NumGlyphs.Value, gh = Glyph->Height();
  if (gw <= 0) return;
  int left = (GlyphNumber - 1) * gw;
  if (Glyph->PixelFormat() == gfx::pf32bit) {
    // A glyph with its own coverage: its soft edges are blended into what
    // lies beneath instead of being cut at a colour key.
    bool soft = false;
    for (int y = 0; y < gh && !soft; ++y) {
      const uint8_t* row = Glyph->ScanLine(y);
      for (int x = left; x < left + gw && !soft; ++x) soft = row[x * 4 + 3] != 255;
    }
    if (soft) {
      const TRect clip = Canvas->ClipRect();
      for (int y = 0; y < gh; ++y) {
        const uint8_t* row = Glyph->ScanLine(y);
        for (int x = 0; x < gw; ++x) {
          const uint8_t* s = row + (left + x) * 4;
          const int a = s[3];
          if (a == 0 || X + x < clip.Left || X + x >= clip.Right || Y + y < clip.Top || Y + y >= clip.Bottom) continue;
          const gfx::COLORREF d = gfx::ColorToRef(Canvas->Pixels(X + x, Y + y));
          auto mix = [a](int sv, int dv) { return (sv * a + dv * (255 - a) + 127) / 255; };
          Canvas->SetPixels(X + x, Y + y,
                            gfx::TColor(gfx::RGB(mix(s[2], gfx::GetRValue(d)), mix(s[1], gfx::GetGValue(d)),
                                                 mix(s[0], gfx::GetBValue(d)))));
        }
      }
      return;
    }
  }
  gfx::TBitmap cell;
  cell.SetSize(gw, gh);
  cell.Canvas()->CopyRect(TRect{0, 0, gw, gh}, Glyph->Canvas(), TRect{left, 0, left + gw, gh});
  cell.SetTransparent(true);
  Canvas->Draw(X, Y, &cell);
}

void DrawSkinFocusRect(gfx::TCanvas* Canvas, const TRect& R) {
  int right = R.Right - 1, bottom = R.Bottom - 1;
  if (right < R.Left || bottom < R.Top) return;
  gfx::TColor colour = Canvas->Font()->Color();
  Canvas->Pen()->SetColor(colour);
  bool on = !((right - R.Left) % 2 == 0 && (bottom - R.Top) % 2 == 0);
  // Each edge starts on the corner the previous one ended on, in that state.
  auto walk = [&](int x, int y, int dx, int dy, int steps) {
    for (int i = 0;; ++i) {
      if (on) Canvas->SetPixels(x, y, colour);
      if (i == steps) break;
      x += dx;
      y += dy;
      on = !on;
    }
  };
  int w = right - R.Left, h = bottom - R.Top;
  walk(R.Left, R.Top, 1, 0, w);
  walk(right, R.Top, 0, 1, h);
  walk(right, bottom, -1, 0, w);
  walk(R.Left, bottom, 0, -1, h);
}

namespace {

// A line of pixels from (X0, Y0) to (X1, Y1), both ends included.
void Span(gfx::TCanvas* Canvas, int X0, int Y0, int X1, int Y1) {
  Canvas->MoveTo(X0, Y0);
  Canvas->LineTo(X1 + (X1 > X0 ? 1 : 0), Y1 + (Y1 > Y0 ? 1 : 0));
  if (X0 == X1 && Y0 == Y1) Canvas->SetPixels(X0, Y0, Canvas->Pen()->Color());
}

}  // namespace

void DrawTrackArrowGlyph(gfx::TCanvas* Canvas, const TRect& R, gfx::TColor Color) {
  int cx = R.Left + (R.Right - R.Left) / 2, cy = R.Top + (R.Bottom - R.Top) / 2;
  Canvas->Pen()->SetColor(Color);
  for (int i = 0; i < 3; ++i) Span(Canvas, cx - 2 + i, cy + i, cx + 2 - i, cy + i);
}

void DrawArrowGlyph(gfx::TCanvas* Canvas, const TRect& R, gfx::TColor Color, int Kind) {
  int cx = R.Left + (R.Right - R.Left) / 2, cy = R.Top + (R.Bottom - R.Top) / 2;
  Canvas->Pen()->SetColor(Color);
  for (int i = 0; i <= 3; ++i) {
    switch (Kind) {
      case 1:
        Span(Canvas, cx - 2 + i, cy - i, cx - 2 + i, cy + i);
        break;
      case 2:
        Span(Canvas, cx + 2 - i, cy - i, cx + 2 - i, cy + i);
        break;
      case 3:
        Span(Canvas, cx - i, cy - 2 + i, cx + i, cy - 2 + i);
        break;
      case 4:
        Span(Canvas, cx - i, cy + 2 - i, cx + i, cy + 2 - i);
        break;
      default:
        return;
    }
  }
}

}  // namespace skin
