// Update regions, paint DCs over the backing image, child clipping, window
// regions and non-client painting.
#include "platform/gfx/raster.h"
#include "platform/gfx/region.h"
#include "platform/testkit/harness.h"

#include <gtest/gtest.h>

using namespace win;
using plat::test::Harness;
using plat::test::MessageLog;

namespace {

// A window procedure that fills its client area with one colour on WM_PAINT.
WNDPROC Filler(gfx::COLORREF color, int* paints = nullptr) {
  return MakeWndProc([color, paints](HWND h, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m != WM_PAINT) return DefWindowProc(h, m, wp, lp);
    if (paints) ++*paints;
    PAINTSTRUCT ps;
    gfx::HDC dc = BeginPaint(h, &ps);
    gfx::HBRUSH b = gfx::CreateSolidBrush(color);
    RECT r;
    GetClientRect(h, &r);
    gfx::FillRect(dc, &r, b);
    gfx::DeleteObject(b);
    EndPaint(h, &ps);
    return 0;
  });
}

HWND Make(HWND parent, int x, int y, int w, int h, WNDPROC proc, uint32_t style = WS_VISIBLE, uint32_t ex = 0) {
  HWND hw = CreateWindowEx(ex, "Plain", "", style | (parent ? WS_CHILD : WS_POPUP), x, y, w, h, parent);
  SetWindowLong(hw, GWL_WNDPROC, LONG_PTR(proc.v));
  InvalidateRect(hw, nullptr, TRUE);
  return hw;
}

constexpr gfx::COLORREF kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;

// Fills the n x n square at the origin of a DC of w outside any paint.
void DrawCorner(HWND w, int n, gfx::COLORREF color, gfx::HDC dc) {
  gfx::HBRUSH b = gfx::CreateSolidBrush(color);
  RECT r{0, 0, n, n};
  gfx::FillRect(dc, &r, b);
  gfx::DeleteObject(b);
  ReleaseDC(w, dc);
}

TEST(Paint, ParentPaintsAroundOpaqueChildrenAndTransparentChildOnTop) {
  Harness h;
  int parentPaints = 0;
  HWND top = Make(nullptr, 0, 0, 100, 100, Filler(kRed, &parentPaints));
  HWND child = Make(top, 10, 10, 30, 30, Filler(kGreen));
  HWND glass = Make(top, 50, 50, 30, 30, Filler(kBlue), WS_VISIBLE, WS_EX_TRANSPARENT);
  h.Pump();
  EXPECT_EQ(h.Pixel(top, 5, 5), 0xFF0000u);  // red as 0x00RRGGBB
  EXPECT_EQ(h.Pixel(top, 20, 20), 0x00FF00u);
  EXPECT_EQ(h.Pixel(top, 60, 60), 0x0000FFu);
  // Repainting the parent leaves the opaque child alone but the transparent
  // child must paint again on top.
  parentPaints = 0;
  InvalidateRect(top, nullptr, TRUE);
  h.Pump();
  EXPECT_EQ(parentPaints, 1);
  EXPECT_EQ(h.Pixel(top, 20, 20), 0x00FF00u);
  EXPECT_EQ(h.Pixel(top, 60, 60), 0x0000FFu);
  // A window DC draws at once, also outside WM_PAINT.
  DrawCorner(child, 5, kBlue, GetWindowDC(child));
  EXPECT_EQ(h.Pixel(child, 0, 0), 0x0000FFu);
  DestroyWindow(top);
  (void)glass;
  EXPECT_EQ(h.Leaks(), "");
}

TEST(Paint, UpdateWindowPaintsSynchronouslyOnceAndValidates) {
  Harness h;
  int paints = 0;
  HWND top = Make(nullptr, 0, 0, 50, 50, Filler(kGreen, &paints));
  h.Pump();
  paints = 0;
  InvalidateRect(top, nullptr, FALSE);
  RECT u;
  EXPECT_TRUE(GetUpdateRect(top, &u, FALSE));
  UpdateWindow(top);
  EXPECT_EQ(paints, 1);
  EXPECT_FALSE(GetUpdateRect(top, &u, FALSE));
  UpdateWindow(top);
  h.Pump();
  EXPECT_EQ(paints, 1);
  DestroyWindow(top);
}

TEST(Paint, WindowRegionClipsPaintingAndHitTesting) {
  Harness h;
  HWND top = Make(nullptr, 0, 0, 100, 100, Filler(kRed));
  HWND child = Make(top, 0, 0, 40, 40, Filler(kGreen));
  // The child keeps only its left half.
  SetWindowRgn(child, gfx::CreateRectRgn(0, 0, 20, 40), TRUE);
  h.Pump();
  EXPECT_EQ(h.Pixel(top, 10, 10), 0x00FF00u);
  EXPECT_EQ(h.Pixel(top, 30, 10), 0xFF0000u);
  EXPECT_EQ(WindowFromPoint({10, 10}), child);
  EXPECT_EQ(WindowFromPoint({30, 10}), top);
  size_t gdi = h.GdiObjectCount();
  SetWindowRgn(child, gfx::CreateRectRgn(0, 0, 10, 10), TRUE);  // takes it over, frees the old one
  EXPECT_EQ(h.GdiObjectCount(), gdi);
  DestroyWindow(top);
}

TEST(Paint, BeginPaintErasesOnlyWhenAsked) {
  Harness h;
  HWND top = Make(nullptr, 0, 0, 50, 50, Filler(kGreen));
  h.Pump();
  MessageLog log(top, {WM_ERASEBKGND, WM_PAINT});
  InvalidateRect(top, nullptr, FALSE);
  h.Pump();
  InvalidateRect(top, nullptr, TRUE);
  h.Pump();
  EXPECT_EQ(log.Names(), (std::vector<std::string>{"WM_PAINT", "WM_PAINT", "WM_ERASEBKGND"}));
  DestroyWindow(top);
}

TEST(Paint, ClassicFramePaintsThroughNcPaint) {
  Harness h;
  HWND f = CreateWindowEx(0, "Plain", "Title", WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 0, 0, 120, 80, nullptr);
  h.Pump();
  // Active caption colour (10,36,106) in the caption band, button face on the border.
  EXPECT_EQ(h.Pixel(f, 80, -10), 0x0A246Au);
  uint32_t border = h.Grab(f).pixel(1, 40) & 0xFFFFFF;
  EXPECT_NE(border, 0u);
  DestroyWindow(f);
}

}  // namespace

#include "platform/win/caret.h"

namespace {
TEST(Caret, BlinksOnTheClockAndSurvivesRepaints) {
  Harness h;
  HWND w = Make(nullptr, 0, 0, 50, 50, Filler(0xFFFFFF));
  h.Pump();
  CreateCaret(w, nullptr, 2, 10);
  SetCaretPos(5, 5);
  EXPECT_EQ(h.Pixel(w, 5, 5), 0xFFFFFFu);  // hidden until shown
  ShowCaret(w);
  EXPECT_EQ(h.Pixel(w, 5, 5), 0x000000u);  // inverted white
  EXPECT_EQ(h.Pixel(w, 7, 5), 0xFFFFFFu);
  h.Advance(GetCaretBlinkTime());
  EXPECT_FALSE(CaretDrawn());
  EXPECT_EQ(h.Pixel(w, 5, 5), 0xFFFFFFu);
  h.Advance(GetCaretBlinkTime());
  EXPECT_TRUE(CaretDrawn());
  // A repaint of the owner takes the caret off and puts it back.
  InvalidateRect(w, nullptr, FALSE);
  h.Pump();
  EXPECT_EQ(h.Pixel(w, 5, 5), 0x000000u);
  HideCaret(w);
  EXPECT_EQ(h.Pixel(w, 5, 5), 0xFFFFFFu);
  DestroyWindow(w);  // takes the caret with it
  EXPECT_FALSE(DestroyCaret());
}
}  // namespace

#include "platform/gfx/bitmap.h"
#include "platform/win/layered.h"

namespace {
TEST(Layered, PixelsAndShapeWithAndWithoutACompositor) {
  for (bool compositor : {false, true}) {
    Harness h;
    SetCompositorPresent(compositor);
    HWND under = CreateWindowEx(0, "Plain", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr);
    HWND glow =
        CreateWindowEx(WS_EX_LAYERED | WS_EX_TOOLWINDOW, "Plain", "", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr);
    // Source: left third alpha 0, middle alpha 100, right alpha 255, all red.
    gfx::HBITMAP src = gfx::CreateDib(30, 10, 32);
    for (int y = 0; y < 10; y++) {
      uint8_t* row = gfx::BitmapScanLine(src, y);
      for (int x = 0; x < 30; x++) {
        row[x * 4 + 2] = 255;
        row[x * 4 + 3] = x < 10 ? 0 : x < 20 ? 100 : 255;
      }
    }
    gfx::HDC sdc = gfx::CreateCompatibleDC(gfx::HDC());
    gfx::HBITMAP old = gfx::SelectObject(sdc, src);
    POINT pos{20, 20}, sp{0, 0};
    gfx::SIZE sz{30, 10};
    gfx::BLENDFUNCTION bf{gfx::AC_SRC_OVER, 0, 255, gfx::AC_SRC_ALPHA};
    ASSERT_TRUE(UpdateLayeredWindow(glow, nullptr, &pos, &sz, sdc, &sp, 0, &bf, ULW_ALPHA));
    gfx::SelectObject(sdc, old);
    gfx::DeleteDC(sdc);
    gfx::DeleteObject(src);
    h.Pump();
    EXPECT_EQ(WindowBounds(glow), (TRect{20, 20, 50, 30}));
    EXPECT_EQ(h.Grab(glow).pixel(25, 5), 0xFFFF0000u);  // alpha kept in the image
    EXPECT_EQ(qAlpha(h.Grab(glow).pixel(15, 5)), 100);
    EXPECT_EQ(WindowFromPoint({25, 25}), under) << compositor;  // alpha 0: through
    EXPECT_EQ(WindowFromPoint({35, 25}), compositor ? glow : under) << compositor;
    EXPECT_EQ(WindowFromPoint({45, 25}), glow) << compositor;
    bool masked = std::count(h.Backend().calls.begin(), h.Backend().calls.end(), "SetMask 2 region") > 0;
    EXPECT_EQ(masked, !compositor);
    DestroyWindow(glow);
    DestroyWindow(under);
    EXPECT_EQ(h.Leaks(), "");
    SetCompositorPresent(false);
  }
}
}  // namespace

namespace {
TEST(Paint, WindowPixelsReadableThroughPaintAndWindowDcs) {
  Harness h;
  HWND w = Make(nullptr, 0, 0, 40, 40, Filler(kGreen));
  h.Pump();
  // BeginPaint outside WM_PAINT (nothing invalid): its DC still reads the image.
  PAINTSTRUCT ps;
  gfx::HDC dc = BeginPaint(w, &ps);
  gfx::HBITMAP bmp = gfx::CreateDib(10, 10, 32);
  gfx::HDC mem = gfx::CreateCompatibleDC(gfx::HDC());
  gfx::HBITMAP old = gfx::SelectObject(mem, bmp);
  gfx::BitBlt(mem, 0, 0, 10, 10, dc, 5, 5, 0x00CC0020);
  EndPaint(w, &ps);
  EXPECT_EQ(gfx::GetPixel(mem, 3, 3), kGreen);
  gfx::SelectObject(mem, old);
  gfx::DeleteDC(mem);
  gfx::DeleteObject(bmp);
  DestroyWindow(w);
  EXPECT_EQ(h.Leaks(), "");
}
}  // namespace

namespace {
TEST(Paint, RedrawWindowUpdatesChildrenAtOnceAndValidateRectTrims) {
  Harness h;
  int parentPaints = 0, childPaints = 0;
  HWND top = Make(nullptr, 0, 0, 60, 60, Filler(kRed, &parentPaints));
  HWND child = Make(top, 10, 10, 20, 20, Filler(kGreen, &childPaints));
  h.Pump();
  parentPaints = childPaints = 0;
  RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  EXPECT_EQ(parentPaints, 1);
  EXPECT_EQ(childPaints, 1);
  // Without RDW_ALLCHILDREN the child is left alone.
  RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_EQ(parentPaints, 2);
  EXPECT_EQ(childPaints, 1);
  RECT part{0, 0, 60, 30}, u;
  InvalidateRect(top, nullptr, FALSE);
  ValidateRect(top, &part);
  GetUpdateRect(top, &u, FALSE);
  EXPECT_EQ(u, (RECT{0, 30, 60, 60}));
  DestroyWindow(top);
  (void)child;
  EXPECT_EQ(h.Leaks(), "");
}

// What the loop paints goes on screen once, when nothing of the top-level
// waits for its paint any more; a drawing outside painting goes at once. An
// expose while the window waits puts it back whole after its paint.
TEST(Paint, TheScreenGetsAWindowOnceItHasPaintedWhole) {
  Harness h;
  HWND top = Make(nullptr, 0, 0, 80, 60, Filler(kRed));
  HWND a = Make(top, 5, 5, 20, 20, Filler(kGreen));
  HWND b = Make(top, 40, 30, 20, 20, Filler(kBlue));
  ShowWindow(top, SW_SHOW);
  h.Pump();
  NullBackend& be = h.Backend();

  be.flushCount = 0;
  InvalidateRect(a, nullptr, TRUE);
  InvalidateRect(b, nullptr, TRUE);
  h.Pump();
  EXPECT_EQ(be.flushCount, 1);
  EXPECT_EQ(be.lastFlush, (gfx::TRect{5, 5, 60, 50})) << "both children, in one";

  be.flushCount = 0;
  InvalidateRect(b, nullptr, TRUE);
  DrawCorner(a, 4, kBlue, GetDC(a));
  EXPECT_EQ(be.flushCount, 1) << "drawn at once, shown at once";
  EXPECT_EQ(be.lastFlush, (gfx::TRect{5, 5, 9, 9}));

  ExposeTopLevel(top);
  EXPECT_EQ(be.flushCount, 1) << "b still waits for its paint";
  h.Pump();
  EXPECT_EQ(be.flushCount, 2);
  EXPECT_EQ(be.lastFlush, (gfx::TRect{0, 0, 80, 60}));
  ExposeTopLevel(top);
  EXPECT_EQ(be.flushCount, 3) << "nothing waits: put back at once";
  EXPECT_EQ(h.Pixel(top, 45, 35), 0x0000FFu);
  DestroyWindow(top);
  EXPECT_EQ(h.Leaks(), "");
}
}  // namespace
