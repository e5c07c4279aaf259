// The skin bitmap and its line routines: blend formula, keyed copy, sizes,
// assignment, nearest-pixel scaling, clipping, drawing through DCs.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gfx/dc.h"
#include "platform/gfx/graphics.h"
#include "platform/gfx/raster.h"
#include "platform/rtl/exceptions.h"
#include "skin/draw/bsSkinBitmap.h"
#include "skin/draw/bsWorkArea.h"

using namespace skin;

namespace {

TEST(SkinBitmap, LineRoutines) {
  struct {
    const char* what;
    TbsColor src, dst, blended;
  } blends[] = {
      // Each channel, alpha included: (s * a + d * (256 - a)) >> 8.
      {"half white over black", 0x80FFFFFF, 0xFF000000, 0xBF7F7F7F},
      {"half black over white", 0x80000000, 0xFFFFFFFF, 0xBF7F7F7F},
      {"half white over white", 0x80FFFFFF, 0xFFFFFFFF, 0xBFFFFFFF},
      {"alpha blends too", 0x80FFFFFF, 0x00000000, 0x407F7F7F},
      {"a quarter of blue", 0x400000FF, 0xFFFF0000, 0xCFBF003F},
      {"transparent leaves", 0x00123456, 0x11223344, 0x11223344},
      {"opaque copies", 0xFF123456, 0x11223344, 0xFF123456},
  };
  for (auto& b : blends) {
    TbsColor d = b.dst;
    PixelRoutines.Blend(&b.src, &d, 1);
    EXPECT_EQ(d, b.blended) << b.what;
  }
  TbsColor src[3] = {0x017F007F, 0x007F0080, 0x80123456}, dst[3] = {1, 2, 3};
  PixelRoutines.KeyedCopy(src, dst, 3);
  EXPECT_EQ(dst[0], 1u);           // the key, whatever its alpha
  EXPECT_EQ(dst[1], 0xFF7F0080u);  // one blue step off the key: copied, opaque
  EXPECT_EQ(dst[2], 0xFF123456u);
  TbsColor line[4] = {1, 2, 3, 4};
  PixelRoutines.Move(line, line, 4);
  PixelRoutines.Move(line, line + 1, 3);  // overlapping copies as through a buffer
  EXPECT_EQ(std::vector<TbsColor>(line, line + 4), (std::vector<TbsColor>{1, 1, 2, 3}));
  PixelRoutines.Blend(src, dst, 0);
  PixelRoutines.SetAlpha(line, 2, 7);
  EXPECT_EQ(line[0], 0x07000001u);
  EXPECT_EQ(line[2], 2u);
  int r = 300, g = -4, b = 17;
  ClampRGB(r, g, b);
  EXPECT_EQ(r, 255);
  EXPECT_EQ(g, 0);
  EXPECT_EQ(b, 17);
}

// The plain line blends the colour by 255 - a and makes the result opaque;
// the MMX line (above) weighs by 256 - a and blends alpha too.
TEST(SkinBitmap, PlainBlendLineAndItsChoiceByTheProcessor) {
  struct {
    TbsColor src, dst, plain, mmx;
  } cases[] = {
      {0x80FF0000, 0xFF000000, 0xFF7F0000, 0xBF7F0000},  // 255 over 0: 127 either way
      {0x80000000, 0xFF0000FF, 0xFF00007E, 0xBF00007F},  // 0 over 255: 126 and 127
      {0x8000FF00, 0xFF00FF00, 0xFF00FE00, 0xBF00FF00},  // 255 over 255: 254 and 255
      {0x80FFFFFF, 0x00000000, 0xFF7F7F7F, 0x407F7F7F},  // over alpha 0: 255 and 64
  };
  for (auto& c : cases) {
    TbsColor p = c.dst, m = c.dst;
    BlendLineFor(false)(&c.src, &p, 1);
    BlendLineFor(true)(&c.src, &m, 1);
    EXPECT_EQ(p, c.plain) << std::hex << c.src;
    EXPECT_EQ(m, c.mmx) << std::hex << c.src;
  }
  // MMX takes CPUID, a family above 4 and feature bit 23.
  struct {
    bool cpuid;
    int signature, features;
    bool mmx;
  } cpus[] = {{true, 0x0543, 0x800000, true},
              {true, 0x0443, 0x800000, false},
              {true, 0x0633, 0x000000, false},
              {false, 0x0633, 0x800000, false}};
  for (auto& c : cpus) EXPECT_EQ(MMXFromCPUID(c.cpuid, c.signature, c.features), c.mmx) << c.signature;
  // This processor's own answers: the table holds the line they pick.
  EXPECT_EQ(IsMMXPresent(), MMXFromCPUID(IsCPUIDPresent(), GetCPUSignature(), GetCPUFeatures()));
  EXPECT_EQ(PixelRoutines.Blend, BlendLineFor(IsMMXPresent()));
#if defined(__x86_64__)
  EXPECT_TRUE(IsMMXPresent()) << "every 64-bit x86 processor has MMX";
#endif
  EndMMX();
}

// A platform without the monitor functions answers one monitor and the
// desktop's work area.
TEST(SkinBitmap, MissingMonitorFunctionsFallBackToTheDesktop) {
  win::SetScreens({{rtl::TRect{0, 0, 800, 600}, rtl::TRect{0, 0, 800, 560}},
                   {rtl::TRect{800, 0, 1600, 600}, rtl::TRect{800, 0, 1600, 600}}});
  EXPECT_TRUE(IsMultiMonitor());
  TbsOptionalFunctions saved = OptionalFunctions;
  OptionalFunctions.MonitorFromWindow = nullptr;
  OptionalFunctions.GetMonitorInfo = nullptr;
  EXPECT_FALSE(IsMultiMonitor());
  rtl::TRect r;
  GetMonitorWorkArea(win::HWND(), true, r);
  EXPECT_EQ(r, (rtl::TRect{0, 0, 800, 560}));
  OptionalFunctions = saved;
  win::SetScreens({});
}

TEST(SkinBitmap, SizeRulesAndTheBitmapList) {
  auto* b = new TbsBitmap;
  EXPECT_TRUE(b->Empty());
  b->SetSize(-10, 5);
  EXPECT_EQ(b->Width(), 10);
  EXPECT_EQ(b->Height(), 5);
  b->SetPixel(3, 4, 0x12345678);
  b->SetPixel(10, 0, 1);  // outside: nothing
  b->SetSize(0, 5);
  b->SetSize(10, 5);
  EXPECT_EQ(*b->PixelAddress(3, 4), 0x12345678u);  // same size keeps the pixels
  gfx::HDC dc = b->DC();
  EXPECT_EQ(FindBitmapByDC(dc), b);
  b->SetSize(4, 4);
  EXPECT_EQ(*b->PixelAddress(3, 3), 0u);  // any other size starts at zero
  EXPECT_EQ(FindBitmapByDC(b->DC()), b);
  gfx::HDC last = b->DC();
  b->GetCanvas()->Pixels(0, 0);  // the canvas follows the current DC
  EXPECT_EQ(b->GetCanvas()->Handle(), last);
  delete b;
  EXPECT_EQ(FindBitmapByDC(last), nullptr);
  TbsBitmap huge;
  EXPECT_THROW(huge.SetSize(100000, 100000), rtl::Exception);
  EXPECT_TRUE(huge.Empty());
}

TEST(SkinBitmap, AssignAndAlphaDetection) {
  gfx::TBitmap rgb;
  rgb.SetPixelFormat(gfx::pf24bit);
  rgb.SetSize(3, 2);
  rgb.Canvas()->SetPixels(1, 1, gfx::clRed);
  TbsBitmap b;
  b.Assign(static_cast<gfx::TGraphic*>(&rgb));
  EXPECT_EQ(*b.PixelAddress(1, 1), 0xFFFF0000u);
  EXPECT_EQ(*b.PixelAddress(0, 0) >> 24, 0xFFu);
  EXPECT_FALSE(b.AlphaBlend);

  gfx::TBitmap argb;
  argb.SetPixelFormat(gfx::pf32bit);
  argb.SetSize(2, 1);
  reinterpret_cast<uint32_t*>(argb.ScanLine(0))[0] = 0x80102030;
  reinterpret_cast<uint32_t*>(argb.ScanLine(0))[1] = 0x00000000;
  b.Assign(static_cast<gfx::TGraphic*>(&argb));
  EXPECT_EQ(*b.PixelAddress(0, 0), 0x80102030u);  // alpha kept
  EXPECT_TRUE(b.AlphaBlend);
  b.SetAlpha(255);
  b.CheckingAlphaBlend();
  EXPECT_FALSE(b.AlphaBlend);

  // Magenta pixels of a drawn graphic leave the pixel as it was: black once opaque.
  uint32_t icon[4] = {0xFFFF00FF, 0xFF00FF00, 0xFF00FF00, 0xFF00FF00};
  gfx::TIcon ic;
  ic.SetHandle(gfx::CreateIconFromArgb(2, 2, icon));
  TbsBitmap fromIcon;
  fromIcon.Assign(static_cast<gfx::TGraphic*>(&ic));
  EXPECT_EQ(*fromIcon.PixelAddress(0, 0), 0xFF000000u);
  EXPECT_EQ(*fromIcon.PixelAddress(1, 0), 0xFF00FF00u);

  TbsBitmap copy;
  b.Name = "n";
  b.Transparent = true;
  copy.Assign(&b);
  EXPECT_EQ(copy.Name, "n");
  EXPECT_TRUE(copy.Transparent);
  EXPECT_EQ(*copy.PixelAddress(0, 0), *b.PixelAddress(0, 0));
  EXPECT_THROW(copy.Assign(static_cast<gfx::TGraphic*>(nullptr)), rtl::EConvertError);
}

// A bitmap whose pixel (x, y) is opaque with red = x and green = y.
void Encode(TbsBitmap& b, int w, int h, uint8_t alpha = 255) {
  b.SetSize(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) *b.PixelAddress(x, y) = (TbsColor(alpha) << 24) | (TbsColor(x) << 16) | (y << 8);
}

std::vector<int> RowXs(TbsBitmap& b, int y, int x0, int x1) {
  std::vector<int> out;
  for (int x = x0; x < x1; ++x) out.push_back(int((*b.PixelAddress(x, y) >> 16) & 0xFF));
  return out;
}

TEST(SkinBitmap, NearestPixelScaling) {
  struct {
    const char* what;
    int srcW, srcL, srcR, dstW;
    std::vector<int> columns;
  } cases[] = {
      {"2 to 5", 2, 0, 2, 5, {0, 0, 0, 0, 1}},
      {"one column takes the middle", 9, 2, 9, 1, {5}},
      {"shrink 10 to 4", 10, 0, 10, 4, {0, 3, 6, 9}},
      {"part of the source", 10, 4, 8, 7, {4, 4, 5, 5, 6, 6, 7}},
      {"single precision factor", 8, 0, 8, 11, {0, 0, 1, 2, 2, 3, 4, 4, 5, 6, 6}},
  };
  for (auto& c : cases) {
    TbsBitmap src, dst;
    Encode(src, c.srcW, 3);
    dst.SetSize(c.dstW, 3);
    src.Draw(&dst, TRect{0, 0, c.dstW, 2}, TRect{c.srcL, 0, c.srcR, 3});
    EXPECT_EQ(RowXs(dst, 0, 0, c.dstW), c.columns) << c.what;
    EXPECT_EQ(*dst.PixelAddress(0, 1) >> 8 & 0xFF, 2u) << c.what;  // rows map 3 to 2: 0, 2
    // Alpha and keyed modes gather the same columns.
    dst.SetSize(c.dstW, 4);
    src.Transparent = true;
    src.Draw(&dst, TRect{0, 0, c.dstW, 2}, TRect{c.srcL, 0, c.srcR, 3});
    EXPECT_EQ(RowXs(dst, 0, 0, c.dstW), c.columns) << c.what << " keyed";
  }
}

TEST(SkinBitmap, ClippingAndSourceRules) {
  TbsBitmap src, dst;
  Encode(src, 6, 4);
  dst.SetSize(5, 5);
  src.Draw(&dst, 3, 2);  // reaches past the right and bottom edges
  EXPECT_EQ(RowXs(dst, 2, 3, 5), (std::vector<int>{0, 1}));
  EXPECT_EQ(*dst.PixelAddress(4, 4), 0xFF010200u);
  EXPECT_EQ(*dst.PixelAddress(2, 2), 0u);
  TbsBitmap other;
  other.SetSize(5, 5);
  src.Draw(&other, TRect{-2, 0, 4, 4}, TRect{0, 0, 6, 4});  // left part clipped, the rest in place
  EXPECT_EQ(RowXs(other, 0, 0, 4), (std::vector<int>{2, 3, 4, 5}));
  TbsBitmap untouched;
  untouched.SetSize(5, 5);
  src.Draw(&untouched, TRect{0, 0, 4, 4}, TRect{3, 0, 7, 4});  // source reaches outside: nothing
  src.Draw(&untouched, TRect{0, 0, 4, 4}, TRect{2, 2, 2, 4});  // empty source: nothing
  for (int y = 0; y < 5; ++y) EXPECT_EQ(RowXs(untouched, y, 0, 5), std::vector<int>(5, 0));
}

TEST(SkinBitmap, DrawingThroughDCs) {
  // Onto another skin bitmap's canvas: in memory, at the place its window origin gives.
  TbsBitmap glow, target;
  glow.SetSize(2, 2);
  for (int i = 0; i < 4; ++i) glow.Bits()[i] = 0x80FFFFFF;
  glow.AlphaBlend = true;
  target.SetSize(40, 40);
  gfx::SetWindowOrgEx(target.Canvas()->Handle(), 10, 20, nullptr);
  glow.Draw(target.Canvas(), 15, 25);
  EXPECT_EQ(*target.PixelAddress(5, 5), 0x407F7F7Fu);
  EXPECT_EQ(*target.PixelAddress(6, 6), 0x407F7F7Fu);
  EXPECT_EQ(*target.PixelAddress(7, 7), 0u);
  // The DC's clip holds as well.
  gfx::IntersectClipRect(target.Canvas()->Handle(), 0, 0, 16, 40);
  glow.Draw(target.Canvas(), 15, 30);
  EXPECT_EQ(*target.PixelAddress(5, 10), 0x407F7F7Fu);
  EXPECT_EQ(*target.PixelAddress(6, 10), 0u);

  // Onto a class-library bitmap: blended over what it holds.
  gfx::TBitmap plain;
  plain.SetSize(4, 4);
  plain.Canvas()->Brush()->SetColor(gfx::clBlack);
  plain.Canvas()->FillRect(TRect{0, 0, 4, 4});
  glow.Draw(plain.Canvas(), 1, 1);
  EXPECT_EQ(plain.Canvas()->Pixels(1, 1), gfx::TColor(0x7F7F7F));
  EXPECT_EQ(plain.Canvas()->Pixels(0, 0), gfx::clBlack);
  // Keyed: the key stays out.
  TbsBitmap keyed;
  keyed.SetSize(2, 1);
  keyed.Bits()[0] = ColorKey;
  keyed.Bits()[1] = 0xFF0000FF;
  keyed.Transparent = true;
  keyed.Draw(plain.Canvas(), 0, 3);
  EXPECT_EQ(plain.Canvas()->Pixels(0, 3), gfx::clBlack);
  EXPECT_EQ(plain.Canvas()->Pixels(1, 3), gfx::clBlue);
  // AssignTo makes a 32-bit bitmap of the size and draws in the bitmap's mode.
  gfx::TBitmap out;
  glow.AlphaBlend = false;
  glow.AssignTo(&out);
  EXPECT_EQ(out.PixelFormat(), gfx::pf32bit);
  EXPECT_EQ(out.Width(), 2);
  EXPECT_EQ(reinterpret_cast<uint32_t*>(out.ScanLine(1))[1], 0x80FFFFFFu);
}

TEST(SkinBitmap, ColoursAndTheMaskCopy) {
  EXPECT_EQ(ColorToBsColor(gfx::clRed), 0xFFFF0000u);
  // System colours are resolved, not taken as garbage.
  gfx::COLORREF face = gfx::GetSysColor(gfx::COLOR_BTNFACE);
  EXPECT_EQ(ColorToBsColor(gfx::clBtnFace),
            0xFF000000u | (gfx::GetRValue(face) << 16) | (gfx::GetGValue(face) << 8) | gfx::GetBValue(face));
  gfx::TBitmap five;
  five.SetSize(5, 2);
  five.Canvas()->SetPixels(4, 1, gfx::clBlue);
  TbsFBitmap f(five.Handle());
  EXPECT_EQ(f.Gap, 1);
  EXPECT_EQ(f.RowInc, 16);
  EXPECT_EQ(f.Size, 32);
  EXPECT_EQ(f.Pixels[1][12], 255);  // blue byte of (4, 1)
  gfx::TBitmap four;
  four.SetSize(4, 1);
  EXPECT_EQ(TbsFBitmap(four.Handle()).RowInc, 12);
}

}  // namespace
