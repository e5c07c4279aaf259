// The paint cycle: parent before its graphic children in z-order, opaque
// children cut out of the parent's paint, synchronous Repaint, and painting
// a control into a caller's DC at an offset.
#include "fixtures.h"

#include "platform/gfx/bitmap.h"
#include "platform/gfx/raster.h"

#include <gtest/gtest.h>

using namespace fx;
using plat::test::Harness;

namespace {

constexpr TColor kYellow = 0x00FFFF, kGreen = 0x00FF00, kBlue = 0xFF0000, kRed = 0x0000FF, kMagenta = 0xFF00FF;
constexpr uint32_t RGBv(TColor c) {  // TColor (BGR) -> 0x00RRGGBB
  return ((uint32_t(c) & 0xFF) << 16) | (uint32_t(c) & 0xFF00) | ((uint32_t(c) >> 16) & 0xFF);
}

struct PaintFixture : ::testing::Test {
  Harness h;
  size_t gdiBase = h.GdiObjectCount(), windowBase = h.LiveWindowCount();
  std::vector<std::string> trace;
  TForm* form = MakeForm();
  Board* board = new Board(form, "board", kYellow);
  Swatch* g1 = new Swatch(form, "g1", kGreen, 0.5, true);  // opaque, paints its left half
  Swatch* g2 = new Swatch(form, "g2", kBlue);              // above g1, overlapping its lower part
  Board* w = new Board(form, "w", kRed);

  PaintFixture() {
    g_trace = &trace;
    board->SetBounds(0, 0, 200, 150);
    board->SetColor(gfx::clWhite);
    board->SetParent(form);
    g1->SetBounds(10, 10, 40, 40);
    g1->SetParent(board);
    g2->SetBounds(30, 30, 40, 40);
    g2->SetParent(board);
    w->SetBounds(100, 10, 40, 40);
    w->SetParent(board);
    form->Show();
    h.Pump();
  }
  ~PaintFixture() override {
    form->Free();
    h.Pump();
    g_trace = nullptr;
    EXPECT_EQ(h.LiveWindowCount(), windowBase);
    EXPECT_EQ(h.GdiObjectCount(), gdiBase);
  }
};

TEST_F(PaintFixture, ParentFirstThenGraphicChildrenInZOrder) {
  EXPECT_EQ(trace, (std::vector<std::string>{"board.erase", "board", "g1", "g2", "w.erase", "w"}));
  EXPECT_EQ(h.Pixel(board, 15, 20), RGBv(kGreen));
  EXPECT_EQ(h.Pixel(board, 40, 40), RGBv(kBlue));  // g2 above g1
  EXPECT_EQ(h.Pixel(board, 105, 15), RGBv(kRed));  // the windowed child
  EXPECT_EQ(h.Pixel(board, 150, 100), RGBv(kYellow));
  // The opaque child's unpainted part shows the erase colour: the parent's
  // own paint was clipped out of it.
  EXPECT_EQ(h.Pixel(board, 40, 15), 0xFFFFFFu);
}

TEST_F(PaintFixture, RepaintIsSynchronous) {
  trace.clear();
  g1->SetColor(kMagenta);  // only invalidates
  g1->Repaint();           // opaque: paints itself and what lies above, now
  EXPECT_EQ(h.Pixel(board, 15, 20), RGBv(kMagenta));
  EXPECT_EQ(trace, (std::vector<std::string>{"g1", "g2"}));
  trace.clear();
  g2->SetColor(kGreen);
  g2->Repaint();  // not opaque: the parent repaints the area at once
  EXPECT_EQ(h.Pixel(board, 60, 60), RGBv(kGreen));
  EXPECT_EQ(trace, (std::vector<std::string>{"board.erase", "board", "g1", "g2"}));
  trace.clear();
  h.Pump();
  EXPECT_TRUE(trace.empty());  // nothing left over for the queue
}

TEST_F(PaintFixture, PaintIntoForeignDcAtOffsetRestoresState) {
  gfx::HBITMAP bmp = gfx::CreateDib(300, 200, 32);
  gfx::HDC dc = gfx::CreateCompatibleDC(gfx::HDC());
  gfx::HBITMAP old = gfx::SelectObject(dc, bmp);
  gfx::SetWindowOrgEx(dc, 5, 5, nullptr);
  gfx::RECT clipBefore;
  gfx::GetClipBox(dc, &clipBefore);
  board->PaintTo(dc, 10, 20);
  auto px = [&](int x, int y) {
    const uint8_t* q = gfx::BitmapScanLine(bmp, y) + x * 4;
    return (uint32_t(q[2]) << 16) | (uint32_t(q[1]) << 8) | q[0];
  };
  // Logical (10+x, 20+y) lands at device (5+x, 15+y) with the window origin at (5,5).
  EXPECT_EQ(px(5 + 15, 15 + 20), RGBv(kGreen));
  EXPECT_EQ(px(5 + 105, 15 + 15), RGBv(kRed));
  EXPECT_EQ(px(5 + 150, 15 + 100), RGBv(kYellow));
  // A child that throws: the DC still comes back as it was.
  g2->fail = true;
  EXPECT_THROW(board->PaintTo(dc, 10, 20), std::runtime_error);
  gfx::POINT org;
  gfx::GetWindowOrgEx(dc, &org);
  EXPECT_EQ(org, (gfx::POINT{5, 5}));
  gfx::RECT clipAfter;
  gfx::GetClipBox(dc, &clipAfter);
  EXPECT_EQ(clipAfter, clipBefore);
  g2->fail = false;
  gfx::SelectObject(dc, old);
  gfx::DeleteDC(dc);
  gfx::DeleteObject(bmp);
}

}  // namespace

namespace {
// Labels measure and draw through DoDrawText; the fixed engine's 7x13 cells
// make the numbers exact.
TEST(Label, AutoSizeLayoutAndPrefixThroughDoDrawText) {
  Harness h;
  TForm* form = MakeForm();
  auto* l = new TLabel(form);
  l->SetParent(form);
  l->SetBounds(10, 10, 5, 5);
  l->SetCaption("&Open");
  EXPECT_EQ(l->BoundsRect(), (TRect{10, 10, 10 + 4 * 7, 10 + 13}));  // the prefix takes no room
  l->SetShowAccelChar(false);
  EXPECT_EQ(l->Width(), 5 * 7);
  l->SetAlignment(taRightJustify);
  l->SetCaption("ab");  // shrinks towards its right edge
  EXPECT_EQ(l->BoundsRect(), (TRect{10 + 3 * 7, 10, 10 + 5 * 7, 23}));
  l->SetAutoSize(false);
  l->SetBounds(0, 0, 40, 40);
  l->SetLayout(tlBottom);
  l->SetColor(gfx::clWhite);
  l->Font()->SetColor(gfx::clBlack);
  form->Show();
  h.Pump();
  EXPECT_EQ(h.Pixel(l, 38, 39), 0x000000u);  // text cells sit on the bottom edge
  EXPECT_EQ(h.Pixel(l, 38, 20), 0xFFFFFFu);
  form->Free();
}
}  // namespace
