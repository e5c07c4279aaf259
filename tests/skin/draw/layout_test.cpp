// Glyph and caption layout, text helpers, the focus rectangle, arrow glyphs
// and the parent's background under a control.
#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "platform/cl/controls.h"
#include "platform/gfx/dc.h"
#include "platform/gfx/graphics.h"
#include "platform/cl/imglist.h"
#include "platform/gfx/region.h"
#include "platform/rtl/exceptions.h"
#include "platform/testkit/harness.h"
#include "skin/draw/bsGlyphLayout.h"
#include "skin/draw/bsParentImage.h"
#include "skin/draw/bsSkinBitmap.h"
#include "skin/draw/bsTextHelpers.h"

using namespace skin;
using Pixels = std::set<std::pair<int, int>>;

namespace {

// A white canvas of w x h (text is drawn by the harness's 7 x 13 box engine).
struct Sheet {
  gfx::TBitmap b;
  Sheet(int w, int h) {
    b.SetSize(w, h);
    c()->Brush()->SetColor(gfx::clWhite);
    c()->FillRect(TRect{0, 0, w, h});
  }
  gfx::TCanvas* c() { return b.Canvas(); }
  gfx::TColor at(int x, int y) { return c()->Pixels(x, y); }
  Pixels of(gfx::TColor colour) {
    Pixels out;
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x)
        if (at(x, y) == colour) out.insert({x, y});
    return out;
  }
};

TEST(SkinLayout, GlyphAndCaptionPositions) {
  struct {
    const char* what;
    TbsButtonLayout layout;
    int gw, margin;
    TbsGlyphCaptionPos pos;  // text X, text Y, glyph X, glyph Y
  } cases[] = {
      {"left, centred", blGlyphLeft, 16, -1, {40, 9, 20, 7}},
      {"left, margin 5", blGlyphLeft, 16, 5, {25, 9, 5, 7}},
      {"no glyph: no spacing", blGlyphLeft, 0, -1, {30, 9, 30, 7}},
      {"right, centred", blGlyphRight, 16, -1, {20, 9, 64, 7}},
      {"right, margin 5", blGlyphRight, 16, 5, {35, 9, 79, 7}},
      {"top, centred", blGlyphTop, 16, -1, {30, 18, 42, -1}},
      {"top, margin 5", blGlyphTop, 16, 5, {30, 25, 42, 5}},
      {"bottom, centred", blGlyphBottom, 16, -1, {30, -1, 42, 15}},
      {"bottom, margin 5", blGlyphBottom, 16, 5, {30, -8, 42, 9}},
  };
  for (auto& c : cases) {
    TbsGlyphCaptionPos p = CalcGlyphCaptionLayout(c.layout, TRect{0, 0, 100, 30}, c.gw, 16, 40, 13, 4, c.margin);
    EXPECT_EQ(std::make_tuple(p.TextX, p.TextY, p.GlyphX, p.GlyphY),
              std::make_tuple(c.pos.TextX, c.pos.TextY, c.pos.GlyphX, c.pos.GlyphY))
        << c.what;
  }
}

TEST(SkinLayout, ImageGlyphAndCaptionDrawing) {
  plat::test::Harness h;
  gfx::TBitmap red;
  red.SetSize(16, 16);
  red.Canvas()->Brush()->SetColor(gfx::clRed);
  red.Canvas()->FillRect(TRect{0, 0, 16, 16});
  auto* list = new cl::TImageList(nullptr);
  list->SetSize(16, 16);
  list->Add(&red, nullptr);
  cl::TCustomImageList* images = list;
  // "ABCDE" is 35 x 13: the block of 16 + 4 + 35 is centred at x 50.
  for (bool down : {false, true}) {
    Sheet s(100, 30);
    s.c()->Font()->SetColor(gfx::clBlue);
    DrawImageAndText(s.c(), TRect{0, 0, 100, 30}, -1, 4, blGlyphLeft, "ABCDE", 0, images, down, true, true,
                     gfx::clLime);
    int d = down ? 1 : 0;
    EXPECT_EQ(s.at(23 + d, 7 + d), gfx::clRed) << down;
    EXPECT_EQ(s.at(22 + d, 7 + d), gfx::clWhite) << down;
    EXPECT_EQ(s.at(43 + d, 9 + d), gfx::clBlue) << down;  // the caption, centred in its 37-pixel box
    EXPECT_EQ(s.at(42 + d, 9 + d), gfx::clWhite) << down;
    // The colour bar: three rows from the image's bottom row down, as wide as the image.
    EXPECT_EQ(s.of(gfx::clLime).size(), 3u * 16) << down;
    EXPECT_EQ(s.at(23 + d, 23 + d), gfx::clLime) << down;
  }
  // Disabled, the picture keeps its shape in washed-out greys: its dark and
  // its light half stay apart, nothing is darker than a mid grey, and the
  // transparent column keeps what lies beneath.
  {
    gfx::TBitmap two;
    two.SetSize(16, 16);
    two.Canvas()->Brush()->SetColor(gfx::TColor(gfx::RGB(60, 0, 0)));
    two.Canvas()->FillRect(TRect{0, 0, 8, 16});
    two.Canvas()->Brush()->SetColor(gfx::TColor(gfx::RGB(120, 200, 255)));
    two.Canvas()->FillRect(TRect{8, 0, 15, 16});
    two.Canvas()->Brush()->SetColor(gfx::clFuchsia);
    two.Canvas()->FillRect(TRect{15, 0, 16, 16});
    const int index = list->AddMasked(&two, gfx::clFuchsia);
    Sheet s(100, 30);
    s.c()->Brush()->SetColor(gfx::clBlack);
    s.c()->FillRect(TRect{0, 0, 100, 30});
    DrawImageAndText(s.c(), TRect{0, 0, 100, 30}, 0, 4, blGlyphLeft, "", index, images, false, false, false,
                     gfx::clLime);
    const gfx::COLORREF dark = gfx::ColorToRef(s.at(2, 10)), light = gfx::ColorToRef(s.at(12, 10));
    for (gfx::COLORREF c : {dark, light}) {
      EXPECT_EQ(gfx::GetRValue(c), gfx::GetGValue(c));
      EXPECT_EQ(gfx::GetGValue(c), gfx::GetBValue(c));
      EXPECT_GE(gfx::GetRValue(c), 96);
    }
    EXPECT_GT(int(gfx::GetRValue(light)) - int(gfx::GetRValue(dark)), 40);
    EXPECT_EQ(s.at(15, 10), gfx::clBlack);
  }
  // An index outside the list lays the caption out alone; no caption and no
  // image fills the bar rectangle.
  Sheet s(100, 30);
  DrawImageAndText(s.c(), TRect{0, 0, 100, 30}, -1, 4, blGlyphLeft, "", 5, images, false, true, true, gfx::clLime);
  EXPECT_EQ(s.of(gfx::clLime).size(), size_t(94 * 22));
  // A glyph from a strip of four: the third glyph's columns, transparent in
  // its bottom-left pixel's colour.
  gfx::TBitmap strip;
  strip.SetPixelFormat(gfx::pf24bit);
  strip.SetSize(64, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 64; ++x) strip.Canvas()->SetPixels(x, y, gfx::TColor(gfx::RGB(x, 1 + (y == 7 && x == 40), 50)));
  strip.Canvas()->SetPixels(32, 7, gfx::TColor(gfx::RGB(9, 9, 9)));
  Sheet g(40, 20);
  DrawGlyph(g.c(), 5, 5, &strip, TbsNumGlyphs(4), 3);
  for (int k = 0; k < 16; ++k) EXPECT_EQ(g.at(5 + k, 5), gfx::TColor(gfx::RGB(32 + k, 1, 50))) << k;
  EXPECT_EQ(g.at(5, 12), gfx::clWhite);  // the transparent colour
  // A 32-bit glyph with soft edges is blended by its coverage, not keyed.
  gfx::TBitmap soft;
  soft.SetPixelFormat(gfx::pf32bit);
  soft.SetSize(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      uint8_t* px = soft.ScanLine(y) + x * 4;
      px[0] = px[1] = 0, px[2] = 255, px[3] = uint8_t(x == 0 ? 0 : x == 1 ? 128 : 255);
    }
  Sheet sg(10, 10);
  DrawGlyph(sg.c(), 2, 2, &soft, TbsNumGlyphs(1), 1);
  EXPECT_EQ(sg.at(2, 2), gfx::clWhite);
  EXPECT_EQ(sg.at(3, 2), gfx::TColor(gfx::RGB(255, 127, 127)));
  EXPECT_EQ(sg.at(4, 2), gfx::clRed);
  EXPECT_EQ(g.at(13, 12), gfx::TColor(gfx::RGB(40, 2, 50)));
  EXPECT_EQ(g.at(21, 5), gfx::clWhite);
  // With a caption, pressed: the glyph moves one pixel right and down.
  Sheet gt(100, 30);
  DrawGlyphAndText(gt.c(), TRect{0, 0, 100, 30}, 5, 4, blGlyphLeft, "AB", &strip, TbsNumGlyphs(4), 1, true, false,
                   gfx::clLime);
  EXPECT_EQ(gt.at(7, 12), gfx::TColor(gfx::RGB(1, 1, 50)));  // glyph at (5 + 1, 11 + 1)
  EXPECT_EQ(gt.at(7, 11), gfx::clWhite);
  list->Free();
}

TEST(SkinLayout, TextHelpers) {
  plat::test::Harness h;
  Sheet s(100, 40);
  EXPECT_EQ(WideTextWidth(s.c(), "ABC"), 21);
  EXPECT_EQ(WideTextHeight(s.c(), "ABC"), 13);
  struct {
    std::string text;
    int width;
    std::string fitted;
  } fits[] = {
      {"Hello", 35, "Hello"},
      {"Hello", 30, "H..."},
      {"Hello", 34, "H..."},
      {"Hello", 10, "..."},
      {"\xE4\xBD\xA0\xE5\xA5\xBD\xE4\xB8\x96\xE7\x95\x8C\xE5\x95\x8A", 28, "\xE4\xBD\xA0..."},  // whole characters
      {"", 0, ""},
  };
  for (auto& f : fits) {
    std::string a = f.text, b = f.text;
    FitTextToWidth(s.c(), a, f.width);
    FitWideTextToWidth(s.c(), b, f.width);
    EXPECT_EQ(a, f.fitted) << f.text << " in " << f.width;
    EXPECT_EQ(b, f.fitted) << f.text << " in " << f.width;
  }
  s.c()->Font()->SetColor(gfx::clBlue);
  s.c()->Brush()->SetStyle(gfx::bsClear);
  DrawTextVCenterOffset(s.c(), "A", TRect{10, 10, 60, 30}, 3);
  EXPECT_EQ(s.at(15, 14), gfx::clBlue);  // X = 10 + 3 + 2, Y = 10 + 10 - 6
  EXPECT_EQ(s.at(14, 14), gfx::clWhite);
  EXPECT_EQ(s.at(15, 13), gfx::clWhite);
  DrawSingleLineText(s.c(), "", TRect{0, 0, 100, 40});
  DrawTextVCenter(s.c(), "", TRect{0, 0, 100, 40});
  EXPECT_EQ(s.of(gfx::clBlue).size(), 7u * 13);
}

TEST(SkinLayout, FocusRectangleAndArrows) {
  Sheet a(8, 8);
  a.c()->Font()->SetColor(gfx::clRed);
  DrawSkinFocusRect(a.c(), TRect{0, 0, 5, 5});
  EXPECT_EQ(a.of(gfx::clRed), (Pixels{{1, 0}, {3, 0}, {4, 1}, {4, 3}, {3, 4}, {1, 4}, {0, 3}, {0, 1}}));
  Sheet b(8, 8);
  b.c()->Font()->SetColor(gfx::clRed);
  DrawSkinFocusRect(b.c(), TRect{0, 0, 6, 5});
  EXPECT_EQ(b.of(gfx::clRed), (Pixels{{0, 0}, {2, 0}, {4, 0}, {5, 1}, {5, 3}, {4, 4}, {2, 4}, {0, 4}, {0, 2}}));

  auto rows = [](std::initializer_list<std::tuple<int, int, int>> spans, bool vertical) {
    Pixels out;
    for (auto [fixed, from, to] : spans)
      for (int v = from; v <= to; ++v) out.insert(vertical ? std::pair{fixed, v} : std::pair{v, fixed});
    return out;
  };
  struct {
    int kind;
    Pixels expected;
  } arrows[] = {
      {1, rows({{3, 5, 5}, {4, 4, 6}, {5, 3, 7}, {6, 2, 8}}, true)},
      {2, rows({{7, 5, 5}, {6, 4, 6}, {5, 3, 7}, {4, 2, 8}}, true)},
      {3, rows({{3, 5, 5}, {4, 4, 6}, {5, 3, 7}, {6, 2, 8}}, false)},
      {4, rows({{7, 5, 5}, {6, 4, 6}, {5, 3, 7}, {4, 2, 8}}, false)},
      {9, {}},
  };
  for (auto& arrow : arrows) {
    Sheet s(12, 12);
    DrawArrowGlyph(s.c(), TRect{0, 0, 10, 10}, gfx::clBlue, arrow.kind);
    EXPECT_EQ(s.of(gfx::clBlue), arrow.expected) << arrow.kind;
  }
  Sheet t(12, 12);
  DrawTrackArrowGlyph(t.c(), TRect{0, 0, 10, 10}, gfx::clBlue);
  EXPECT_EQ(t.of(gfx::clBlue), rows({{5, 3, 7}, {6, 4, 6}, {7, 5, 5}}, false));
}

// A windowed parent that paints itself one colour, and graphic siblings
// that paint themselves another; each records its state while painting.
class Paper : public cl::TCustomControl {
 public:
  using cl::TCustomControl::TCustomControl;
  unsigned stateWhilePainting = 0;

 protected:
  void Paint() override {
    stateWhilePainting = ControlState;
    Canvas()->Brush()->SetColor(gfx::clBlue);
    Canvas()->FillRect(TRect{0, 0, Width(), Height()});
  }
};

class Patch : public cl::TGraphicControl {
 public:
  Patch(cl::TWinControl* parent, gfx::TColor c, TRect r) : cl::TGraphicControl(nullptr), colour(c) {
    SetBoundsRect(r);
    SetParent(parent);
  }
  gfx::TColor colour;
  bool fail = false;
  int paints = 0;
  unsigned stateWhilePainting = 0;

 protected:
  void Paint() override {
    ++paints;
    stateWhilePainting = ControlState;
    if (fail) throw rtl::Exception("painting failed");
    Canvas()->Brush()->SetColor(colour);
    Canvas()->FillRect(TRect{0, 0, Width(), Height()});
  }
};

TEST(SkinLayout, ParentImageUnderAControl) {
  plat::test::Harness h;
  auto* paper = new Paper(nullptr);
  paper->SetBounds(0, 0, 100, 80);
  auto* below = new Patch(paper, gfx::clRed, TRect{10, 10, 25, 20});
  auto* far = new Patch(paper, gfx::clYellow, TRect{70, 60, 80, 70});
  auto* control = new Patch(paper, gfx::clBlack, TRect{20, 15, 40, 25});
  auto* above = new Patch(paper, gfx::clLime, TRect{25, 12, 35, 22});
  TbsBitmap image;
  image.SetSize(20, 10);
  DrawParentImage(control, image.Canvas());
  EXPECT_EQ(*image.PixelAddress(0, 0) & 0xFFFFFF, 0xFF0000u);  // the sibling below, at its place
  EXPECT_EQ(*image.PixelAddress(4, 4) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(*image.PixelAddress(5, 4) & 0xFFFFFF, 0x0000FFu);  // the parent's own background
  EXPECT_EQ(*image.PixelAddress(8, 2) & 0xFFFFFF, 0x0000FFu);  // not the sibling above
  EXPECT_EQ(above->paints, 0);
  EXPECT_EQ(far->paints, 0);
  EXPECT_EQ(control->paints, 0);
  EXPECT_TRUE(paper->stateWhilePainting & cl::csPaintCopy);
  EXPECT_TRUE(below->stateWhilePainting & cl::csPaintCopy);
  EXPECT_FALSE(paper->ControlState & cl::csPaintCopy);
  EXPECT_FALSE(below->ControlState & cl::csPaintCopy);
  gfx::POINT org;
  gfx::GetViewportOrgEx(image.DC(), &org);
  EXPECT_EQ(org, (gfx::POINT{0, 0}));

  // A part of the control lands at the canvas origin.
  TbsBitmap part;
  part.SetSize(10, 10);
  DrawParentImageRect(control, TRect{3, 2, 13, 12}, part.Canvas());
  EXPECT_EQ(*part.PixelAddress(0, 0) & 0xFFFFFF, 0xFF0000u);  // parent (23, 17)
  EXPECT_EQ(*part.PixelAddress(2, 0) & 0xFFFFFF, 0x0000FFu);  // parent (25, 17)

  // Painting that fails leaves the states and the DC as they were.
  below->fail = true;
  EXPECT_THROW(DrawParentImage(control, image.Canvas()), rtl::Exception);
  EXPECT_FALSE(paper->ControlState & cl::csPaintCopy);
  EXPECT_FALSE(below->ControlState & cl::csPaintCopy);
  gfx::GetViewportOrgEx(image.DC(), &org);
  EXPECT_EQ(org, (gfx::POINT{0, 0}));
  TRect clip;
  EXPECT_EQ(gfx::GetClipBox(image.DC(), &clip), gfx::SIMPLEREGION);
  EXPECT_EQ(clip, (TRect{0, 0, 20, 10}));
  DrawParentImage(nullptr, image.Canvas());
  DrawParentImage(paper, image.Canvas());  // no parent: nothing
  paper->Free();
}

}  // namespace
