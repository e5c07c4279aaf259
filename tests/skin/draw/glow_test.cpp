// Stack blur, alpha from masks, glow and reflection text.
#include <gtest/gtest.h>

#include "platform/gfx/graphics.h"
#include "platform/gfx/text.h"
#include "skin/draw/bsGlowText.h"

using namespace skin;

namespace {

// Text drawn as solid 7 x 13 boxes per character, so pixels are predictable.
class SkinGlow : public ::testing::Test {
 protected:
  void SetUp() override { gfx::SetTextEngine(&fixed_); }
  void TearDown() override { gfx::SetTextEngine(nullptr); }
  gfx::FixedTextEngine fixed_;
};

void Fill(TbsBitmap& b, int w, int h, TbsColor c) {
  b.SetSize(w, h);
  for (int i = 0; i < w * h; ++i) b.Bits()[i] = c;
}

TEST_F(SkinGlow, StackBlur) {
  TbsBitmap b;
  Fill(b, 5, 5, 0);
  *b.PixelAddress(2, 2) = 0x00FFFFFF;
  BlurBitmap(&b, 1);
  EXPECT_EQ(*b.PixelAddress(2, 2), 0xFF3F3F3Fu);  // 63
  EXPECT_EQ(*b.PixelAddress(1, 2), 0xFF1F1F1Fu);  // 31
  EXPECT_EQ(*b.PixelAddress(2, 3), 0xFF1F1F1Fu);
  EXPECT_EQ(*b.PixelAddress(1, 1), 0xFF0F0F0Fu);  // 15
  EXPECT_EQ(*b.PixelAddress(0, 0), 0xFF000000u);  // every pixel opaque
  // Uniform stays uniform (edges clamped), for any radius, a huge one included.
  for (int radius : {1, 3, 40, 1 << 30}) {
    Fill(b, 7, 4, 0x12406080);
    BlurBitmap(&b, radius);
    for (int i = 0; i < 28; ++i) ASSERT_EQ(b.Bits()[i], 0xFF406080u) << radius;
  }
  Fill(b, 3, 3, 0x12406080);
  *b.PixelAddress(1, 1) = 0x34FFFFFF;
  BlurBitmap(&b, 0);
  BlurBitmap(&b, -2);
  EXPECT_EQ(*b.PixelAddress(1, 1), 0x34FFFFFFu);
  EXPECT_EQ(*b.PixelAddress(0, 0), 0x12406080u);
}

TEST_F(SkinGlow, AlphaFromMasks) {
  TbsBitmap b, m;
  Fill(b, 3, 2, 0xFF102030);
  Fill(m, 2, 1, 0xFFFFFFFE);  // (255, 255, 254): 764 / 3 truncated
  *m.PixelAddress(1, 0) = 0xFF000000;
  SetAlphaFromMask(&b, &m);
  EXPECT_EQ(*b.PixelAddress(0, 0), 0xFE102030u);
  EXPECT_EQ(*b.PixelAddress(1, 0), 0x00102030u);
  // Where the mask does not reach, the pixels become transparent.
  EXPECT_EQ(*b.PixelAddress(2, 0), 0x00102030u);
  EXPECT_EQ(*b.PixelAddress(0, 1), 0x00102030u);
  gfx::TBitmap image, mask;
  image.SetSize(2, 1);
  image.Canvas()->SetPixels(0, 0, gfx::clRed);
  image.Canvas()->SetPixels(1, 0, gfx::clRed);
  mask.SetSize(2, 1);
  mask.Canvas()->SetPixels(0, 0, gfx::clWhite);
  mask.Canvas()->SetPixels(1, 0, gfx::clBlack);
  TbsBitmap dest;
  CreateAlphaBitmap(&image, &mask, &dest);
  EXPECT_EQ(*dest.PixelAddress(0, 0), 0xFFFF0000u);
  EXPECT_EQ(*dest.PixelAddress(1, 0), 0x00FF0000u);
}

TEST_F(SkinGlow, GlowTextHasAHaloAroundTheText) {
  for (int variant = 0; variant < 3; ++variant) {
    TbsBitmap canvas;
    Fill(canvas, 80, 50, 0xFF000000);
    gfx::TCanvas* c = canvas.Canvas();
    c->Font()->SetColor(gfx::clWhite);
    TRect r{20, 15, 40, 28};  // "AB": two 7 x 13 boxes at 20..34
    int height = 0;
    if (variant == 0) DrawGlowText(c, r, "AB", TbsTextFormat(0), TbsTextOffset(0), gfx::clYellow, TbsGlowSize(3));
    if (variant == 1)
      height = DrawGlowText2(c, r, "AB", TbsTextFormat(0), TbsTextOffset(0), gfx::clYellow, TbsGlowSize(3));
    if (variant == 2) height = DrawVistaGlowText(c, r, "AB", TbsTextFormat(0), gfx::clYellow);
    if (variant) {
      EXPECT_EQ(height, 13) << variant;
    }
    EXPECT_EQ(*canvas.PixelAddress(25, 20) & 0xFFFFFF, 0xFFFFFFu) << variant;  // the text itself
    TbsColor halo = *canvas.PixelAddress(35, 20);                              // just right of the text
    EXPECT_GT((halo >> 16) & 0xFF, 0u) << variant;                             // yellow: red and green
    EXPECT_GT((halo >> 8) & 0xFF, 0u) << variant;
    EXPECT_EQ(halo & 0xFF, 0u) << variant;
    EXPECT_EQ(*canvas.PixelAddress(5, 45), 0xFF000000u) << variant;  // far away: untouched
  }
  // A glow colour given as a system colour is resolved; a huge glow size is bounded.
  TbsBitmap canvas;
  Fill(canvas, 40, 30, 0xFF000000);
  DrawGlowText2(canvas.Canvas(), TRect{10, 10, 24, 23}, "AB", TbsTextFormat(0), TbsTextOffset(0), gfx::clWindow,
                TbsGlowSize(1 << 30));
  for (TbsColor g : {*canvas.PixelAddress(0, 0), *canvas.PixelAddress(9, 15)}) {
    EXPECT_GT(g & 0xFF, 0u);  // the window colour (white) over black: grey, not a dark red
    EXPECT_EQ((g >> 16) & 0xFF, g & 0xFF);
  }
  // An empty rectangle draws no glow.
  Fill(canvas, 40, 30, 0xFF000000);
  DrawGlowText(canvas.Canvas(), TRect{10, 10, 10, 10}, "AB", TbsTextFormat(0), TbsTextOffset(0), gfx::clYellow,
               TbsGlowSize(3));
  EXPECT_EQ(*canvas.PixelAddress(8, 8), 0xFF000000u);
}

TEST_F(SkinGlow, ReflectionFadesBelowTheText) {
  TbsBitmap canvas;
  Fill(canvas, 60, 50, 0xFF000000);
  gfx::TCanvas* c = canvas.Canvas();
  c->Font()->SetColor(gfx::clRed);
  TRect r{10, 5, 40, 25};  // the text occupies rows 5..17
  DrawReflectionText(c, r, "Ab", TbsTextFormat(0), TbsTextOffset(0), gfx::clWhite);
  EXPECT_EQ(*canvas.PixelAddress(12, 17) & 0xFFFFFF, 0xFF0000u);  // the text
  // Row 18 mirrors the text's last row at 70 % less one step; brightness falls with distance.
  int previous = 256;
  for (int y = 18; y < 28; ++y) {
    int v = int(*canvas.PixelAddress(12, y) & 0xFF);
    EXPECT_LT(v, previous) << y;
    if (y == 18) {
      EXPECT_NEAR(v, 255 * (0.7 - 1.0 / 13), 2);
    }
    previous = v;
    if (v == 0) break;
  }
  EXPECT_EQ(*canvas.PixelAddress(12, 28) & 0xFF, 0u);
  EXPECT_EQ(*canvas.PixelAddress(30, 18) & 0xFF, 0u);  // right of the two characters
}

}  // namespace
