// The skinned tool bar (centring, the non-client scroll buttons and their
// timeline) and the skinned status bar (grip, client area, hit codes).
#include <gtest/gtest.h>

#include "controls_fixture.h"
#include "platform/cl/stdctrls.h"
#include "platform/win/window.h"
#include "skin/controls/bsSkinBars.h"
#include "skin/controls/bsSkinBevelSplitter.h"
#include "skin/controls/bsSkinButtons.h"

using namespace ctltest;
using namespace win;
using plat::test::Input;

namespace {

class Bars : public ControlsTest {
 public:
  // A main-window style tool bar of `w` pixels holding five 40-pixel children.
  TbsSkinToolBar* ToolBar(int w, bool hot = false) {
    auto* t = new TbsSkinToolBar(form);
    t->SetBounds(10, 10, w, 25);
    t->SetCanScroll(true);
    t->SetHotScroll(hot);
    t->SetScrollOffset(30);
    t->SetScrollTimerInterval(50);
    t->SetParent(form);
    for (int i = 0; i < 5; ++i) {
      auto* c = new cl::TPanel(form);
      c->SetBounds(i * 40, 0, 40, 20);
      c->SetParent(t);
      kids.push_back(c);
    }
    t->UpdateScrollRange();
    h.Pump();
    return t;
  }
  LRESULT HitTest(cl::TWinControl* c, int x, int y) {
    TPoint s = c->ClientToScreen({x, y});
    return SendMessage(c->Handle(), WM_NCHITTEST, 0, MAKELPARAM(s.X, s.Y));
  }
  std::vector<cl::TPanel*> kids;
};

TEST_F(Bars, ToolBarCentresPlainChildrenAndScrollsOnlyWhenNarrowed) {
  auto* t = ToolBar(260);
  EXPECT_FALSE(t->ScrollButtonsShown());
  EXPECT_EQ(t->ScrollPosition(), 0);
  // Narrowed: both buttons, 24 pixels less client.
  t->SetWidth(150);
  h.Pump();
  ASSERT_TRUE(t->ScrollButtonsShown());
  EXPECT_EQ(kids[0]->Top(), 2) << "20 high in 25: centred on the resize";
  EXPECT_EQ(t->ClientWidth(), 126);
  EXPECT_EQ(t->ScrollMax(), 199);
  EXPECT_EQ(t->ScrollPage(), 126);
  EXPECT_EQ(HitTest(t, -5, 10), HTBS_SCROLLLEFT);
  EXPECT_EQ(HitTest(t, 130, 10), HTBS_SCROLLRIGHT);
  EXPECT_EQ(HitTest(t, 60, 10), HTCLIENT);
  // Widened again: everything fits, no buttons.
  t->SetWidth(300);
  h.Pump();
  EXPECT_FALSE(t->ScrollButtonsShown());
  EXPECT_EQ(t->ClientWidth(), 300);
}

TEST_F(Bars, SpeedButtonsDrawFromTheToolBarsImageListsUntilTheListGoes) {
  auto* t = ToolBar(260);
  auto* images = new cl::TImageList(form);
  images->SetSize(16, 16);
  gfx::TBitmap red;
  red.SetSize(16, 16);
  red.Canvas()->Brush()->SetColor(gfx::clRed);
  red.Canvas()->FillRect({0, 0, 16, 16});
  images->Add(&red, nullptr);
  t->SetImages(images);
  auto* b = Make<TbsSkinSpeedButton>(210, 0, 40, 24, "", false, t);
  b->SetImageIndex(0);
  EXPECT_EQ(Px(b, 20, 12), 0xFF0000u);
  images->Free();  // the bar lets go of a list freed under it
  EXPECT_EQ(t->Images(), nullptr);
  EXPECT_NE(Px(b, 20, 12), 0xFF0000u);
  // The bar's skin reaches its speed buttons and bevels.
  auto* bevel = new TbsSkinBevel(form);
  bevel->SetParent(t);
  t->SetSkinData(nullptr);
  EXPECT_EQ(b->SkinData(), nullptr);
  EXPECT_EQ(bevel->SkinData(), nullptr);
  t->SetSkinData(skin.get());
  EXPECT_EQ(b->SkinData(), skin.get());
  EXPECT_EQ(bevel->SkinData(), skin.get());
}

TEST_F(Bars, SkinnedChildrenCentreThemselvesInTheBar) {
  auto* t = new TbsSkinToolBar(form);
  t->SetBounds(0, 0, 300, 31);
  t->SetParent(form);
  auto* b = new TbsSkinSpeedButton(form);
  b->SetParent(t);
  b->SetBounds(0, 0, 40, 15);
  EXPECT_EQ(b->Top(), 8) << "31 high, 15 high: 15 - 7";
  t->SetAdjustControls(false);
  b->SetBounds(0, 0, 40, 15);
  EXPECT_EQ(b->Top(), 0);
  // The bar hands its skin to its speed buttons.
  t->SetSkinData(skin.get());
  EXPECT_EQ(b->SkinData(), skin.get());
}

TEST_F(Bars, HeldScrollButtonStepsEveryIntervalUntilTheEnd) {
  auto* t = ToolBar(150);
  ASSERT_TRUE(t->ScrollButtonsShown());
  // The right button, in form coordinates: bar at x 10, 12 pixels at its end.
  h.input.MoveTo(form, 10 + 150 - 6, 20);
  h.input.Press();
  EXPECT_EQ(t->ScrollPosition(), 0) << "a press starts the timer only";
  h.Advance(50);
  EXPECT_EQ(t->ScrollPosition(), 30);
  EXPECT_EQ(kids[0]->Left(), -30);
  h.Advance(50);
  EXPECT_EQ(t->ScrollPosition(), 60);
  h.Advance(50);
  EXPECT_EQ(t->ScrollPosition(), 74) << "at most SMax - SPage + 1";
  h.Advance(200);
  EXPECT_EQ(t->ScrollPosition(), 74);
  h.input.Release();
  EXPECT_EQ(t->ScrollPosition(), 74) << "the release's step does nothing at the end";
  EXPECT_EQ(kids[4]->Left() + kids[4]->Width(), 126) << "the last child ends at the client's right edge";
  // Widening a bar scrolled to the end scrolls back by the growth.
  t->SetWidth(170);
  h.Pump();
  EXPECT_EQ(t->ScrollPosition(), 54);
  EXPECT_EQ(kids[0]->Left(), -54);
  // A click on the left button: one step back.
  h.input.MoveTo(form, 10 + 6, 20);
  h.input.Click();
  EXPECT_EQ(t->ScrollPosition(), 24);
  // Wide enough for everything: back to 0, never beyond.
  t->SetWidth(240);
  h.Pump();
  EXPECT_EQ(t->ScrollPosition(), 0);
  EXPECT_EQ(kids[0]->Left(), 0);
}

TEST_F(Bars, HotScrollRunsWhileTheMouseRestsOnAButton) {
  auto* t = ToolBar(150, true);
  h.input.MoveTo(form, 10 + 150 - 6, 20);
  EXPECT_TRUE(t->ScrollButton(1).MouseIn);
  h.Advance(100);
  EXPECT_EQ(t->ScrollPosition(), 60);
  h.input.MoveTo(form, 10 + 60, 20);
  EXPECT_FALSE(t->ScrollButton(1).MouseIn);
  h.Advance(200);
  EXPECT_EQ(t->ScrollPosition(), 60) << "back in the client area it stops";
  // Leaving the bar from a scroll button for the form stops it too.
  h.input.MoveTo(form, 10 + 150 - 6, 20);
  h.Advance(50);
  EXPECT_EQ(t->ScrollPosition(), 74);
  h.input.MoveTo(form, 10 + 6, 20);
  EXPECT_TRUE(t->ScrollButton(0).MouseIn);
  h.input.MoveTo(form, 10 + 6, 120);
  EXPECT_FALSE(t->ScrollButton(0).MouseIn);
  h.Advance(200);
  EXPECT_EQ(t->ScrollPosition(), 74) << "no step after leaving";
  // Refused settings.
  t->SetScrollTimerInterval(0);
  t->SetScrollOffset(-1);
  EXPECT_EQ(t->ScrollTimerInterval(), 50);
  EXPECT_EQ(t->ScrollOffset(), 30);
  // Captions with both widths set resize the bar; with one of them 0 not.
  t->SetWidthWithCaptions(280);
  t->SetWidthWithoutCaptions(200);
  t->SetShowCaptions(true);
  EXPECT_EQ(t->Width(), 280);
  t->SetWidthWithoutCaptions(0);
  t->SetShowCaptions(false);
  EXPECT_EQ(t->Width(), 280);
}

// A panel record with a grip image but no picture to cut it from: the bar
// paints (it read a nil picture before) and sizes its grip as the lined one.
TEST_F(Bars, AGripImageWithoutPictureIsNotDrawn) {
  auto* s = new TbsSkinStatusBar(form);
  s->SetSkinDataName("badgrip");
  s->SetSizeGrip(true);
  s->SetParent(form);
  s->SetSkinData(skin.get());
  h.Pump();
  s->Repaint();
  h.Pump();
  TRect g = s->GripRect();
  EXPECT_NE(RectWidth(g), 12) << "no grip image to take the width from";
}

TEST_F(Bars, StatusBarGripEndsTheClientAreaAndAnswersTheSizingCode) {
  auto* s = new TbsSkinStatusBar(form);
  s->SetParent(form);
  auto* kid = new cl::TPanel(form);
  kid->SetAlign(cl::alClient);
  kid->SetParent(s);
  h.Pump();
  EXPECT_EQ(s->Width(), 320);
  EXPECT_EQ(s->Top(), 200 - 21);
  EXPECT_EQ(HitTest(s, 318, 18), HTCLIENT) << "no grip yet";
  s->SetSizeGrip(true);
  h.Pump();
  EXPECT_EQ(s->GetSkinClientRect(), (TRect{0, 0, 299, 21}));
  EXPECT_EQ(kid->BoundsRect(), (TRect{0, 0, 299, 21}));
  EXPECT_EQ(s->GripRect(), (TRect{301, 0, 320, 19}));
  struct Probe {
    int x, y;
    LRESULT code;
  } probes[] = {{301, 0, HTBOTTOMRIGHT}, {320, 19, HTBOTTOMRIGHT}, {310, 10, HTBOTTOMRIGHT},
                {300, 10, HTCLIENT},     {310, 20, HTCLIENT},      {50, 10, HTCLIENT}};
  for (auto& p : probes) EXPECT_EQ(HitTest(s, p.x, p.y), p.code) << p.x << "," << p.y;
  EXPECT_EQ(Px(s, 310, 13), Rgb(gfx::clBtnShadow)) << "grip lines";
  EXPECT_EQ(Px(s, 310, 14), Rgb(gfx::clBtnHighlight));
  // A drag on the grip sizes the form.
  TPoint g = s->ClientToScreen({312, 12});
  h.input.MoveTo(g.X, g.Y);
  h.input.Later({Input::MoveEvent(g.X + 30, g.Y + 20), Input::ButtonEvent(false, g.X + 30, g.Y + 20)});
  h.input.Press();
  h.Pump();
  EXPECT_EQ(form->Width(), 350);
  EXPECT_EQ(form->Height(), 220);
  form->SetBounds(0, 0, 320, 200);
  h.Pump();
  // Maximized: no grip, whole width.
  s->SetShowGrip(false);
  h.Pump();
  EXPECT_EQ(kid->Width(), 320);
  EXPECT_EQ(HitTest(s, 310, 10), HTCLIENT);
  // Skinned: the grip image with magenta see-through.
  s->SetShowGrip(true);
  s->SetSkinData(skin.get());
  h.Pump();
  ASSERT_NE(s->SkinIndex(), -1);
  // A borderless nine-part bar has the whole control as client area.
  EXPECT_EQ(s->GripRect(), (TRect{308, 9, 320, 21}));
  EXPECT_EQ(Px(s, 308, 9), 0xA0AFC8u) << "magenta left out";
  EXPECT_EQ(Px(s, 309, 20), 0x282850u) << "grip stroke";
}

}  // namespace
