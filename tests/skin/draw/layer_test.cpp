// The layered popup window and its fade, headless on the null backend with
// a manual clock.
#include <gtest/gtest.h>

#include <vector>

#include "platform/gfx/dc.h"
#include "platform/gfx/graphics.h"
#include "platform/testkit/harness.h"
#include "platform/win/layered.h"
#include "platform/win/window.h"
#include "skin/draw/bsLayerWindow.h"
#include "skin/data/bsSkinData.h"

using namespace skin;

namespace {

class SkinLayerManager : public ::testing::Test {
 protected:
  void SetUp() override {
    win::SetCompositorPresent(true);
    image.SetSize(30, 20);
    image.Canvas()->Brush()->SetColor(gfx::clRed);
    image.Canvas()->FillRect(TRect{0, 0, 30, 20});
    // The mask: transparent (black) left third, opaque (white) elsewhere.
    mask.SetSize(30, 20);
    mask.Canvas()->Brush()->SetColor(gfx::clWhite);
    mask.Canvas()->FillRect(TRect{0, 0, 30, 20});
    mask.Canvas()->Brush()->SetColor(gfx::clBlack);
    mask.Canvas()->FillRect(TRect{0, 0, 10, 20});
    image.Canvas()->Handle();  // the pictures' canvases with all their objects
    mask.Canvas()->Handle();
    h.Pump();
    gdiBase = gfx::GdiObjectCount();
    windowBase = win::LiveWindowCount();
  }
  void TearDown() override { win::SetCompositorPresent(false); }
  // What the fixture itself holds.
  size_t gdiBase = 0, windowBase = 0;

  plat::test::Harness h;
  gfx::TBitmap image, mask;
};

TEST_F(SkinLayerManager, FadesInByATenthPerTick) {
  std::vector<int> full;
  for (int v = 25; v <= 250; v += 25) full.push_back(v);
  full.push_back(255);
  struct {
    int alpha;
    std::vector<int> steps;
  } cases[] = {
      {255, full},
      {100, {10, 20, 30, 40, 50, 60, 70, 80, 90, 100}},
      {0, {0}},
      {5, {1, 2, 3, 4, 5}},  // a low opacity still fades in, and the timer stops
  };
  for (auto& c : cases) {
    auto m = MakeOwned<TbsLayerManager>(nullptr);
    m->Show(100, 50, TbsLayerImage(&image), TbsLayerMask(&mask), c.alpha);
    EXPECT_TRUE(m->IsVisible);
    EXPECT_EQ(m->BeginAlphaBlendValue, 0);
    std::vector<int> seen;
    for (size_t i = 0; i < c.steps.size(); ++i) {
      h.Advance(25);
      seen.push_back(m->BeginAlphaBlendValue);
    }
    EXPECT_EQ(seen, c.steps) << c.alpha;
    EXPECT_FALSE(m->Timer->Enabled()) << c.alpha;
  }
  // The last opacity reached the compositor.
  std::string last;
  for (auto& call : h.Backend().calls)
    if (call.rfind("SetOpacity", 0) == 0) last = call;
  EXPECT_EQ(last.substr(last.rfind(' ') + 1), std::to_string(5 / 255.0));
  EXPECT_EQ(gfx::GdiObjectCount(), gdiBase);
  EXPECT_EQ(win::LiveWindowCount(), windowBase);
}

TEST_F(SkinLayerManager, AClickThroughWindowThatNeverActivates) {
  auto m = MakeOwned<TbsLayerManager>(nullptr);
  m->Show(100, 50, TbsLayerImage(&image), TbsLayerMask(&mask), 200);
  ASSERT_TRUE(m->LayerWindow);
  win::HWND w = m->LayerWindow->Handle();
  EXPECT_TRUE(win::IsWindowVisible(w));
  EXPECT_FALSE(win::GetParent(w));
  win::RECT r;
  win::GetWindowRect(w, &r);
  EXPECT_EQ(r, (TRect{100, 50, 130, 70}));
  EXPECT_EQ(uint32_t(win::GetWindowLong(w, win::GWL_STYLE)) & ~win::WS_VISIBLE, win::WS_POPUP);
  uint32_t ex = uint32_t(win::GetWindowLong(w, win::GWL_EXSTYLE));
  EXPECT_EQ(ex & (win::WS_EX_LAYERED | win::WS_EX_TRANSPARENT | win::WS_EX_TOOLWINDOW),
            win::WS_EX_LAYERED | win::WS_EX_TRANSPARENT | win::WS_EX_TOOLWINDOW);
  EXPECT_TRUE(ex & win::WS_EX_TOPMOST);
  EXPECT_NE(win::GetActiveWindow(), w);
  EXPECT_EQ(win::SendMessage(w, win::WM_MOUSEACTIVATE, 0, 0), win::MA_NOACTIVATE);
  EXPECT_NE(win::WindowFromPoint({115, 60}), w);  // the mouse goes to what lies below
  // The window holds the image with the mask's alpha, not premultiplied: the
  // compositor side multiplies once.
  gfx::HBITMAP backing = win::BackingImage(w);
  auto pixel = [&](int x, int y) { return reinterpret_cast<uint32_t*>(gfx::BitmapScanLine(backing, y))[x]; };
  EXPECT_EQ(pixel(20, 5), 0xFFFF0000u);
  EXPECT_EQ(pixel(5, 5), 0x00FF0000u);

  // A second Show replaces the window; Hide removes it and stops the fade.
  m->TopMostMode = false;
  m->Show(10, 10, TbsLayerImage(&image), TbsLayerMask(&mask), 200);
  EXPECT_FALSE(win::IsWindow(w));
  win::HWND second = m->LayerWindow->Handle();
  EXPECT_FALSE(uint32_t(win::GetWindowLong(second, win::GWL_EXSTYLE)) & win::WS_EX_TOPMOST);
  h.Advance(50);
  m->Hide();
  EXPECT_FALSE(m->IsVisible);
  EXPECT_FALSE(m->LayerWindow);
  EXPECT_FALSE(m->Bmp);
  EXPECT_FALSE(m->Timer->Enabled());
  EXPECT_FALSE(win::IsWindow(second));
  // Freed while fading: nothing is left behind.
  m->Show(10, 10, TbsLayerImage(&image), TbsLayerMask(&mask), 200);
  m.reset();
  h.Advance(100);
  EXPECT_EQ(gfx::GdiObjectCount(), gdiBase);
  EXPECT_EQ(win::LiveWindowCount(), windowBase);
}

TEST_F(SkinLayerManager, NothingWithoutLayeredWindows) {
  win::SetCompositorPresent(false);
  auto m = MakeOwned<TbsLayerManager>(nullptr);
  m->Show(100, 50, TbsLayerImage(&image), TbsLayerMask(&mask), 200);
  EXPECT_FALSE(m->LayerWindow);
  EXPECT_FALSE(m->IsVisible);
  m->Hide();
}

}  // namespace
