// Caption-button glyphs and the monitor work area.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "platform/gfx/graphics.h"
#include "platform/testkit/harness.h"
#include "platform/win/metrics.h"
#include "platform/win/window.h"
#include "skin/draw/bsCaptionGlyphs.h"
#include "skin/draw/bsWorkArea.h"

using namespace skin;
using Pixels = std::set<std::pair<int, int>>;

namespace {

// The pixels a glyph sets in a cell whose top-left is (3, 2), relative to it.
Pixels GlyphPixels(void (*draw)(gfx::TCanvas*, int, int, gfx::TColor)) {
  gfx::TBitmap b;
  b.SetSize(20, 16);
  b.Canvas()->Brush()->SetColor(gfx::clWhite);
  b.Canvas()->FillRect(rtl::TRect{0, 0, 20, 16});
  draw(b.Canvas(), 3, 2, gfx::clNavy);
  Pixels out;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 20; ++x)
      if (b.Canvas()->Pixels(x, y) == gfx::clNavy) out.insert({x - 3, y - 2});
  return out;
}

// Rows y: columns from..to.
Pixels Rows(std::initializer_list<std::tuple<int, int, int>> rows) {
  Pixels out;
  for (auto [y, from, to] : rows)
    for (int x = from; x <= to; ++x) out.insert({x, y});
  return out;
}

TEST(SkinCaptionGlyphs, PixelSets) {
  Pixels close;
  for (int i = 0; i < 8; ++i) {
    close.insert({1 + i, 1 + i});
    close.insert({9 - i, 1 + i});
    close.insert({2 + i, 1 + i});
    close.insert({8 - i, 1 + i});
  }
  EXPECT_EQ(GlyphPixels(DrawCloseGlyph), close);
  Pixels maximize = Rows({{0, 0, 10}, {1, 0, 10}, {9, 0, 10}});
  for (int y = 2; y < 9; ++y) maximize.insert({0, y}), maximize.insert({10, y});
  EXPECT_EQ(GlyphPixels(DrawMaximizeGlyph), maximize);
  EXPECT_EQ(GlyphPixels(DrawMinimizeGlyph), Rows({{8, 1, 8}, {9, 1, 8}}));
  // Rows of 8, 6, 4 and 2 pixels; the tip row stays empty.
  EXPECT_EQ(GlyphPixels(DrawRollUpGlyph), Rows({{6, 1, 8}, {5, 2, 7}, {4, 3, 6}, {3, 4, 5}}));
  EXPECT_EQ(GlyphPixels(DrawRollDownGlyph), Rows({{2, 1, 8}, {3, 2, 7}, {4, 3, 6}, {5, 4, 5}}));
  EXPECT_EQ(GlyphPixels(DrawMinimizeToTrayGlyph), Rows({{2, 2, 6}, {3, 2, 6}, {4, 2, 6}, {5, 2, 6}, {6, 2, 6}}));
  Pixels sysMenu = Rows({{3, 1, 8}, {5, 1, 8}});
  sysMenu.insert({1, 4});
  sysMenu.insert({8, 4});
  EXPECT_EQ(GlyphPixels(DrawSysMenuGlyph), sysMenu);
  Pixels restore = GlyphPixels(DrawRestoreGlyph);
  for (auto p : {std::pair{2, 0}, {9, 1}, {9, 5}, {0, 4}, {6, 5}, {0, 9}, {6, 9}}) EXPECT_TRUE(restore.count(p));
  for (auto p : {std::pair{1, 0}, {10, 0}, {4, 3}, {3, 7}, {7, 9}}) EXPECT_FALSE(restore.count(p));
}

TEST(SkinWorkArea, OneAndTwoMonitors) {
  plat::test::Harness h;
  win::SetScreens({{{0, 0, 1280, 800}, {0, 0, 1280, 760}}});
  EXPECT_FALSE(IsMultiMonitor());
  win::HWND w = win::CreateWindowEx(0, "Plain", "", win::WS_POPUP, 100, 100, 50, 50, nullptr);
  for (bool workArea : {true, false}) {
    rtl::TRect a, b;
    GetDesktopWorkArea(workArea, a);
    GetMonitorWorkArea(w, workArea, b);
    EXPECT_EQ(a, b);
    EXPECT_EQ(a, workArea ? (rtl::TRect{0, 0, 1280, 760}) : (rtl::TRect{0, 0, 1280, 800}));
  }
  win::SetScreens({{{0, 0, 1280, 800}, {0, 0, 1280, 760}}, {{1280, 0, 2304, 768}, {1280, 30, 2304, 768}}});
  EXPECT_TRUE(IsMultiMonitor());
  win::SetWindowPos(w, nullptr, 1500, 200, 0, 0, win::SWP_NOSIZE | win::SWP_NOZORDER);
  rtl::TRect r;
  GetMonitorWorkArea(w, true, r);
  EXPECT_EQ(r, (rtl::TRect{1280, 30, 2304, 768}));
  GetMonitorWorkArea(w, false, r);
  EXPECT_EQ(r, (rtl::TRect{1280, 0, 2304, 768}));
  win::DestroyWindow(w);
  win::SetScreens({});
}

}  // namespace
