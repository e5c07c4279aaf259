// Rectangle and point tests with their own edge rules, and the version tests.
#include <gtest/gtest.h>

#include <set>

#include "platform/gfx/graphics.h"
#include "platform/testkit/harness.h"
#include "platform/win/layered.h"
#include "platform/win/window.h"
#include "skin/draw/bsGeometry.h"

using namespace skin;

namespace {

TEST(SkinGeometry, EdgeRules) {
  EXPECT_TRUE(IsNullRect(TRect{10, 10, 10, 50}));
  EXPECT_TRUE(IsNullRect(TRect{0, 5, 3, 2}));
  EXPECT_FALSE(IsNullRect(TRect{0, 0, 1, 1}));
  EXPECT_EQ(RectWidth(TRect{5, 0, 2, 0}), -3);
  EXPECT_EQ(RectHeight(TRect{0, 1, 0, 4}), 3);
  EXPECT_TRUE(IsNullPoint(TPoint{5, 0}));
  EXPECT_TRUE(IsNullPoint(TPoint{0, 5}));
  EXPECT_FALSE(IsNullPoint(TPoint{5, 7}));
  EXPECT_TRUE(RectContainsPoint(TRect{0, 0, 10, 10}, TPoint{10, 10}));
  EXPECT_FALSE(PointInRectHalfOpen(TRect{0, 0, 10, 10}, TPoint{10, 10}));
  EXPECT_FALSE(RectContainsPoint(TRect{0, 0, 10, 10}, TPoint{11, 0}));
  EXPECT_FALSE(RectInRect(TRect{0, 0, 10, 10}, TRect{0, 0, 10, 10}));
  EXPECT_TRUE(RectInRect(TRect{0, 0, 10, 10}, TRect{0, 0, 11, 11}));
  EXPECT_FALSE(RectOverlapsVert(TRect{0, 5, 10, 8}, TRect{0, 0, 0, 20}));
  EXPECT_TRUE(RectOverlapsVert(TRect{0, 5, 10, 8}, TRect{0, 0, 1, 20}));
  EXPECT_TRUE(RectOverlapsVert(TRect{0, -5, 10, 8}, TRect{0, 0, 4, 20}));    // bottom inside
  EXPECT_FALSE(RectOverlapsVert(TRect{0, 20, 10, 30}, TRect{0, 0, 4, 20}));  // bottom edge excluded
  TRect r{1, 2, 3, 4};
  SetNullRect(r);
  EXPECT_TRUE(SameRect(r, TRect{0, 0, 0, 0}));
  EXPECT_FALSE(SameRect(TRect{0, 0, 0, 1}, TRect{0, 0, 0, 0}));
  EXPECT_EQ(IntMax(-1, 3), 3);
  EXPECT_EQ(IntMin(-1, 3), -1);
}

TEST(SkinGeometry, VersionRules) {
  struct {
    int major, minor;
    bool vista, xp, w2k;
  } cases[] = {{5, 0, false, false, true},
               {5, 1, false, true, true},
               {5, 2, false, false, true},
               {6, 0, true, true, true},
               {4, 9, false, false, false}};
  for (auto& c : cases) {
    TbsWindowsVersion v{c.major, c.minor};
    EXPECT_EQ(IsVistaOrLaterVersion(v), c.vista) << c.major << "." << c.minor;
    EXPECT_EQ(IsXPOrLaterVersion(v), c.xp) << c.major << "." << c.minor;
    EXPECT_EQ(Is2000OrLaterVersion(v), c.w2k) << c.major << "." << c.minor;
  }
  EXPECT_TRUE(IsWindowsVistaOrLater() && IsWindowsXPOrLater());
  // Layered windows follow the compositor.
  win::SetCompositorPresent(true);
  EXPECT_TRUE(IsWindows2000OrLater());
  win::SetCompositorPresent(false);
  EXPECT_FALSE(IsWindows2000OrLater());
}

// The pixels of `colour` in a bitmap, as (x, y) pairs.
std::set<std::pair<int, int>> PixelsOf(gfx::TBitmap& b, gfx::TColor colour) {
  std::set<std::pair<int, int>> out;
  for (int y = 0; y < b.Height(); ++y)
    for (int x = 0; x < b.Width(); ++x)
      if (b.Canvas()->Pixels(x, y) == colour) out.insert({x, y});
  return out;
}

TEST(SkinGeometry, DefaultGlyphs) {
  gfx::TBitmap radio;
  radio.SetSize(12, 12);
  DrawRadioGlyph(radio.Canvas(), 3, 2, gfx::clRed);
  auto px = PixelsOf(radio, gfx::clRed);
  EXPECT_EQ(px.size(), 36u);
  EXPECT_TRUE(px.count({3, 2}) && px.count({8, 7}));
  EXPECT_FALSE(px.count({9, 7}));

  gfx::TBitmap check;
  check.SetSize(12, 12);
  DrawCheckGlyph(check.Canvas(), 1, 1, gfx::clBlue);
  std::set<std::pair<int, int>> expected;
  for (int i = 0; i <= 2; ++i) {
    expected.insert({1, 6 - i});
    expected.insert({2, 7 - i});
    for (int k = 0; k < 5; ++k) expected.insert({3 + k, 8 - i - k});
  }
  EXPECT_EQ(PixelsOf(check, gfx::clBlue), expected);
}

TEST(SkinGeometry, WindowAlpha) {
  plat::test::Harness h;
  win::HWND w =
      win::CreateWindowEx(win::WS_EX_LAYERED, "Plain", "", win::WS_POPUP | win::WS_VISIBLE, 0, 0, 40, 30, nullptr);
  SetWindowAlpha(w, 128);
  gfx::COLORREF key = 1;
  uint8_t alpha = 0;
  win::DWORD flags = 0;
  ASSERT_TRUE(win::GetLayeredWindowAttributes(w, &key, &alpha, &flags));
  EXPECT_EQ(alpha, 128);
  EXPECT_EQ(flags, win::LWA_ALPHA);
  win::DestroyWindow(w);
}

}  // namespace
