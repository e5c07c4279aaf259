#include "skin/draw/bsGlowText.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "platform/gfx/text.h"
#include "skin/draw/bsTextHelpers.h"

namespace skin {

void BlurBitmap(TbsBitmap* Bitmap, int Radius) {
  if (!Bitmap || Bitmap->Empty() || Radius <= 0) return;
  const int r = std::min(Radius, MaxGlowSize);
  const int w = Bitmap->Width(), h = Bitmap->Height();
  const int wm = w - 1, hm = h - 1, div = 2 * r + 1, r1 = r + 1;
  // The weights add up to (r + 1)^2; sums stay far inside int for r <= MaxGlowSize.
  const int divsum = r1 * r1;
  std::vector<int> red(size_t(w) * h), green(red.size()), blue(red.size());
  std::vector<int> vmin(size_t(std::max(w, h)));
  std::vector<int> stack(size_t(div) * 3);
  auto slot = [&](int i) { return &stack[size_t(i) * 3]; };

  // Horizontal pass into the planes.
  for (int y = 0; y < h; ++y) {
    const TbsColor* row = Bitmap->ScanLine(y);
    int sum[3] = {0, 0, 0}, in[3] = {0, 0, 0}, out[3] = {0, 0, 0};
    for (int i = -r; i <= r; ++i) {
      TbsColor p = row[std::min(wm, std::max(i, 0))];
      int* s = slot(i + r);
      s[0] = int((p >> 16) & 0xFF);
      s[1] = int((p >> 8) & 0xFF);
      s[2] = int(p & 0xFF);
      int weight = r1 - std::abs(i);
      for (int c = 0; c < 3; ++c) {
        sum[c] += s[c] * weight;
        (i > 0 ? in : out)[c] += s[c];
      }
    }
    int sp = r;
    for (int x = 0; x < w; ++x) {
      size_t at = size_t(y) * w + size_t(x);
      red[at] = sum[0] / divsum;
      green[at] = sum[1] / divsum;
      blue[at] = sum[2] / divsum;
      for (int c = 0; c < 3; ++c) sum[c] -= out[c];
      int* s = slot((sp - r + div) % div);
      for (int c = 0; c < 3; ++c) out[c] -= s[c];
      if (y == 0) vmin[size_t(x)] = std::min(x + r + 1, wm);
      TbsColor p = row[vmin[size_t(x)]];
      s[0] = int((p >> 16) & 0xFF);
      s[1] = int((p >> 8) & 0xFF);
      s[2] = int(p & 0xFF);
      for (int c = 0; c < 3; ++c) {
        in[c] += s[c];
        sum[c] += in[c];
      }
      sp = (sp + 1) % div;
      s = slot(sp);
      for (int c = 0; c < 3; ++c) {
        out[c] += s[c];
        in[c] -= s[c];
      }
    }
  }

  // Vertical pass back into the bitmap.
  for (int x = 0; x < w; ++x) {
    int sum[3] = {0, 0, 0}, in[3] = {0, 0, 0}, out[3] = {0, 0, 0};
    for (int i = -r; i <= r; ++i) {
      size_t at = size_t(std::min(hm, std::max(i, 0))) * w + size_t(x);
      int* s = slot(i + r);
      s[0] = red[at];
      s[1] = green[at];
      s[2] = blue[at];
      int weight = r1 - std::abs(i);
      for (int c = 0; c < 3; ++c) {
        sum[c] += s[c] * weight;
        (i > 0 ? in : out)[c] += s[c];
      }
    }
    int sp = r;
    for (int y = 0; y < h; ++y) {
      *Bitmap->PixelAddress(x, y) = 0xFF000000u | (TbsColor(sum[0] / divsum) << 16) | (TbsColor(sum[1] / divsum) << 8) |
                                    TbsColor(sum[2] / divsum);
      for (int c = 0; c < 3; ++c) sum[c] -= out[c];
      int* s = slot((sp - r + div) % div);
      for (int c = 0; c < 3; ++c) out[c] -= s[c];
      if (x == 0) vmin[size_t(y)] = std::min(y + r1, hm);
      size_t at = size_t(vmin[size_t(y)]) * w + size_t(x);
      s[0] = red[at];
      s[1] = green[at];
      s[2] = blue[at];
      for (int c = 0; c < 3; ++c) {
        in[c] += s[c];
        sum[c] += in[c];
      }
      sp = (sp + 1) % div;
      s = slot(sp);
      for (int c = 0; c < 3; ++c) {
        out[c] += s[c];
        in[c] -= s[c];
      }
    }
  }
}

namespace {

enum class GlowKind { Link, Caption, Vista };

// The text drawn in red on a transparent bitmap of the canvas's font.
void PrepareRedCanvas(TbsBitmap& B, gfx::TCanvas* Canvas) {
  gfx::TCanvas* c = B.Canvas();
  c->Font()->Assign(*Canvas->Font());
  c->Font()->SetColor(gfx::clRed);
  c->Brush()->SetStyle(gfx::bsClear);
}

void DrawRed(TbsBitmap& B, const std::string& Text, TRect T, unsigned Flags) {
  gfx::DrawTextW(B.Canvas()->Handle(), std::string_view(Text), -1, &T, Flags);
}

TRect Moved(TRect R, int dx, int dy) { return TRect{R.Left + dx, R.Top + dy, R.Right + dx, R.Bottom + dy}; }

// The glow picture of the shared steps, drawn onto Canvas; returns nothing
// when R has no area.
void DrawGlow(GlowKind Kind, gfx::TCanvas* Canvas, const TRect& R, const std::string& Text, unsigned Flags, int Offset,
              gfx::TColor Color, int GlowSize) {
  int w = R.Width(), h = R.Height();
  if (w <= 0 || h <= 0) return;
  // A glow size from the skin below 0 draws no halo; above the bound it is the bound.
  int size = std::clamp(GlowSize, 0, MaxGlowSize);
  int m = Kind == GlowKind::Vista ? 12 : size;
  TbsBitmap b;
  b.SetSize(w + 2 * m, h + 2 * m);
  PrepareRedCanvas(b, Canvas);
  TRect t{m, m, b.Width() - m, b.Height() - m};
  switch (Kind) {
    case GlowKind::Link:
      DrawRed(b, Text, t, Flags);
      for (auto [dx, dy] : {std::pair{-1, 0}, {1, 0}, {0, -1}, {0, 1}}) DrawRed(b, Text, Moved(t, dx, dy), Flags);
      BlurBitmap(&b, size);
      break;
    case GlowKind::Caption:
      DrawRed(b, Text, t, Flags);
      BlurBitmap(&b, size);
      break;
    case GlowKind::Vista: {
      gfx::TCanvas* c = b.Canvas();
      c->Brush()->SetColor(gfx::clRed);
      c->Brush()->SetStyle(gfx::bsSolid);
      c->FillRect(TRect{t.Left - 3, t.Top + 2, t.Right + 3, t.Bottom - 2});
      c->Brush()->SetStyle(gfx::bsClear);
      for (auto [dx, dy] : {std::pair{-1, -1}, {-2, -2}, {-1, 0}, {-2, 0}, {1, 0}, {2, 0}, {1, 1}, {2, 2}, {0, 0}})
        DrawRed(b, Text, Moved(t, dx, dy), Flags);
      BlurBitmap(&b, 6);
      BlurBitmap(&b, 6);
      break;
    }
  }
  TbsColor colour = ColorToBsColor(Color) & 0xFFFFFF;
  for (int y = 0; y < b.Height(); ++y) {
    TbsColor* p = b.ScanLine(y);
    for (int x = 0; x < b.Width(); ++x) p[x] = (((p[x] >> 16) & 0xFF) << 24) | colour;
  }
  b.AlphaBlend = true;
  int x = Kind == GlowKind::Vista ? R.Left - 12 : R.Left + Offset - size;
  int y = Kind == GlowKind::Vista ? R.Top - 12 : R.Top + Offset - size;
  b.Draw(Canvas, x, y);
}

}  // namespace

void DrawGlowText(gfx::TCanvas* Canvas, TRect R, const std::string& Text, TbsTextFormat Flags, TbsTextOffset Offset,
                  gfx::TColor Color, TbsGlowSize GlowSize) {
  DrawGlow(GlowKind::Link, Canvas, R, Text, Flags.Value, Offset.Value, Color, GlowSize.Value);
  Canvas->Brush()->SetStyle(gfx::bsClear);
  gfx::DrawTextW(Canvas->Handle(), std::string_view(Text), -1, &R, Flags.Value);
}

int DrawGlowText2(gfx::TCanvas* Canvas, TRect R, const std::string& Text, TbsTextFormat Flags, TbsTextOffset Offset,
                  gfx::TColor Color, TbsGlowSize GlowSize) {
  DrawGlow(GlowKind::Caption, Canvas, R, Text, Flags.Value, Offset.Value, Color, GlowSize.Value);
  Canvas->Brush()->SetStyle(gfx::bsClear);
  return WideDrawText(Canvas, Text, R, Flags.Value);
}

int DrawVistaGlowText(gfx::TCanvas* Canvas, TRect R, const std::string& Text, TbsTextFormat Flags, gfx::TColor Color) {
  DrawGlow(GlowKind::Vista, Canvas, R, Text, Flags.Value, 0, Color, 0);
  Canvas->Brush()->SetStyle(gfx::bsClear);
  return WideDrawText(Canvas, Text, R, Flags.Value);
}

void DrawReflectionText(gfx::TCanvas* Canvas, TRect R, const std::string& Text, TbsTextFormat Flags,
                        TbsTextOffset Offset, gfx::TColor Color) {
  int w = R.Width(), h = R.Height();
  if (w > 0 && h > 0) {
    TbsBitmap b;
    b.SetSize(w, h);
    PrepareRedCanvas(b, Canvas);
    TRect r0{0, 0, w, h};
    DrawRed(b, Text, r0, Flags.Value);
    gfx::HDC dc = b.Canvas()->Handle();
    gfx::DrawTextW(dc, std::string_view(Text), -1, &r0, Flags.Value | gfx::DT_CALCRECT);
    TRect r1 = R;
    gfx::DrawTextW(dc, std::string_view(Text), -1, &r1, Flags.Value | gfx::DT_CALCRECT);
    int th = r0.Bottom - r0.Top;
    if (th > 0) {
      TbsColor colour = ColorToBsColor(Color) & 0xFFFFFF;
      for (int y = 0; y < h; ++y) {
        TbsColor* p = b.ScanLine(y);
        if (y < r0.Top || y > r0.Bottom) {
          std::fill(p, p + w, TbsColor(0));
          continue;
        }
        float f = 0.7f - float(r0.Bottom + r0.Top - y) / float(th);
        if (f < 0) f = 0;
        for (int x = 0; x < w; ++x) {
          TbsColor alpha = TbsColor(double((p[x] >> 16) & 0xFF) * double(f));
          p[x] = (alpha << 24) | colour;
        }
      }
    }
    for (int y = 0; y < h / 2; ++y) std::swap_ranges(b.ScanLine(y), b.ScanLine(y) + w, b.ScanLine(h - 1 - y));
    b.AlphaBlend = true;
    b.Draw(Canvas, R.Left, r1.Bottom + r0.Bottom - h + Offset.Value);
  }
  Canvas->Brush()->SetStyle(gfx::bsClear);
  WideDrawText(Canvas, Text, R, Flags.Value);
}

void SetAlphaFromMask(TbsBitmap* Bitmap, TbsBitmap* Mask) {
  if (!Bitmap || !Mask) return;
  for (int y = 0; y < Bitmap->Height(); ++y) {
    TbsColor* p = Bitmap->ScanLine(y);
    const TbsColor* m = y < Mask->Height() ? Mask->ScanLine(y) : nullptr;
    for (int x = 0; x < Bitmap->Width(); ++x) {
      TbsColor a = 0;
      if (m && x < Mask->Width()) {
        TbsColor c = m[x];
        a = (((c >> 16) & 0xFF) + ((c >> 8) & 0xFF) + (c & 0xFF)) / 3;
      }
      p[x] = (p[x] & 0xFFFFFF) | (a << 24);
    }
  }
}

void CreateAlphaBitmap(gfx::TBitmap* Image, gfx::TBitmap* Mask, TbsBitmap* Dest) {
  if (!Image || !Mask || !Dest) return;
  Dest->Assign(static_cast<gfx::TGraphic*>(Image));
  TbsBitmap m;
  m.Assign(static_cast<gfx::TGraphic*>(Mask));
  SetAlphaFromMask(Dest, &m);
}

}  // namespace skin
