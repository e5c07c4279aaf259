// The skinned panel family: the client-area rule and child alignment,
// roll-up, the checked caption, the looks, and check boxes over a panel.
#include <gtest/gtest.h>

#include "controls_fixture.h"
#include "platform/cl/stdctrls.h"
#include "platform/win/window.h"
#include "skin/controls/bsSkinCheckRadio.h"
#include "skin/controls/bsSkinPanels.h"

using namespace ctltest;
using namespace win;

namespace {

constexpr uint32_t kFrame = 0x465A82, kCaption = 0x5A78AA, kTileA = 0xE1E8F5, kTileB = 0xC8D7F0;

class Panels : public ControlsTest {
 public:
  template <class T = TbsSkinPanel>
  T* Panel(bool skinned, int w = 200, int hgt = 120) {
    auto* p = new T(form);
    p->SetBounds(10, 10, w, hgt);
    p->SetParent(form);
    if (skinned) p->SetSkinData(skin.get());
    h.Pump();
    return p;
  }
  cl::TPanel* Child(cl::TWinControl* p, cl::TAlign a) {
    auto* c = new cl::TPanel(form);
    c->SetParent(p);
    c->SetAlign(a);
    h.Pump();
    return c;
  }
};

TEST_F(Panels, ClientAreaRuleDrivesChildAlignment) {
  struct Case {
    const char* name;
    bool skinned;
    TbsSkinBorderStyle border;
    bool caption, ribbon;
    TRect client;
  } cases[] = {
      {"classic frame", false, bvFrame, false, false, {1, 1, 199, 119}},
      {"classic no border", false, bvNone, false, false, {0, 0, 200, 120}},
      {"classic caption", false, bvFrame, true, false, {1, 23, 199, 119}},
      {"classic ribbon caption", false, bvRaised, true, true, {1, 1, 199, 97}},
      {"skinned", true, bvFrame, false, false, {4, 22, 196, 116}},
      {"skinned caption", true, bvFrame, true, false, {4, 22, 196, 116}},
      {"skinned no border, nine-part", true, bvNone, false, false, {0, 0, 200, 120}},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto* p = Panel(c.skinned);
    p->SetBorderStyle(c.border);
    p->SetRibbonStyle(c.ribbon);
    p->SetCaptionMode(c.caption);
    auto* kid = Child(p, cl::alClient);
    p->Realign();
    EXPECT_EQ(p->GetSkinClientRect(), c.client);
    EXPECT_EQ(kid->BoundsRect(), c.client);
    p->Free();
  }
}

TEST_F(Panels, RollUpKeepsTheCaptionAndRestoresHeightChildrenAndConstraints) {
  auto* p = Panel(false);
  p->SetCaptionMode(true);
  p->SetRollUpMode(true);
  auto* top = Child(p, cl::alTop);
  auto* hidden = Child(p, cl::alBottom);
  hidden->Hide();
  p->Constraints.MaxHeight = 400;
  p->Constraints.MinWidth = 50;
  int rolls = 0;
  p->OnChangeRollUpState = [&](rtl::TObject*) { ++rolls; };
  p->SetRollUpState(true);
  EXPECT_EQ(p->Height(), 23);
  EXPECT_FALSE(top->Visible());
  EXPECT_EQ(p->Constraints.MaxHeight, 0) << "no constraint while rolled up";
  p->SetRollUpState(false);
  EXPECT_EQ(p->Height(), 120);
  EXPECT_TRUE(top->Visible());
  EXPECT_TRUE(hidden->Visible()) << "every child comes back";
  EXPECT_EQ(rolls, 2);
  // A second cycle still gives the application's constraints back.
  p->SetRollUpState(true);
  p->SetRollUpState(false);
  EXPECT_EQ(p->Constraints.MaxHeight, 400);
  EXPECT_EQ(p->Constraints.MinWidth, 50);
  // Alignment works again after the roll-down.
  p->SetHeight(150);
  h.Pump();
  EXPECT_EQ(hidden->Top() + hidden->Height(), 150 - 1);
  // With the mode off a roll-up write changes nothing at all.
  p->SetRollUpMode(false);
  p->SetRollUpState(true);
  EXPECT_FALSE(p->RollUpState());
  EXPECT_EQ(p->Height(), 150);
  EXPECT_EQ(p->Constraints.MaxHeight, 400);
}

TEST_F(Panels, CaptionClickTogglesCheckedThenRollUp) {
  auto* p = Panel(false);
  p->SetCaptionMode(true);
  p->SetCheckedMode(true);
  p->SetRollUpMode(true);
  auto* kid = Child(p, cl::alClient);
  std::vector<std::string> events;
  p->OnChecked = [&](rtl::TObject*) { events.push_back("checked"); };
  p->OnChangeRollUpState = [&](rtl::TObject*) { events.push_back("roll"); };
  h.input.MoveTo(p, 50, 10);
  h.input.Click(MouseButton::Right);
  EXPECT_TRUE(events.empty());
  h.input.Click();
  EXPECT_EQ(events, (std::vector<std::string>{"checked", "roll"}));
  EXPECT_TRUE(p->Checked());
  EXPECT_TRUE(p->RollUpState());
  EXPECT_TRUE(kid->Enabled());
  // Writing the same value still fires; unchecking disables the children.
  events.clear();
  p->SetChecked(true);
  p->SetChecked(false);
  EXPECT_EQ(events.size(), 2u);
  EXPECT_FALSE(kid->Enabled());
}

TEST_F(Panels, SkinnedLooksAndASkinChangeWhileRolledUp) {
  auto* p = Panel(true);
  EXPECT_EQ(Px(p, 1, 60), kFrame);
  uint32_t c = Px(p, 100, 60);
  EXPECT_TRUE(c == kTileA || c == kTileB) << std::hex << c;
  // The client tile repeats across the stretched client area.
  EXPECT_NE(Px(p, 5, 60), Px(p, 9, 60));
  auto* g = Panel<TbsSkinGroupBox>(true);
  g->SetCaption("Group");
  EXPECT_EQ(Px(g, 190, 10), kCaption);
  EXPECT_EQ(g->CaptionArea(), (TRect{4, 2, 196, 20}));
  // Roll up at the skin's frame height, survive a skin change, roll down.
  g->SetRollUpMode(true);
  g->SetRollUpState(true);
  EXPECT_EQ(g->Height(), 120 - 94);
  SkinChangeWalk(form, WM_BEFORE_CHANGE_SKIN_DATA, skin.get());
  SkinChangeWalk(form, WM_CHANGE_SKIN_DATA, skin.get());
  h.Pump();
  EXPECT_EQ(g->Height(), 26);
  g->SetRollUpState(false);
  EXPECT_EQ(g->Height(), 120);
  g->Hide();
  auto* r = dynamic_cast<TbsDataSkinPanelControl*>(skin->CtrlList[size_t(p->SkinIndex())].get());
  // A background picture: tiled over the whole panel, frame included, or
  // with the stretch effect stretched into the client area only.
  r->BGPictureIndex = 0;
  p->Repaint();
  EXPECT_EQ(Px(p, 1, 60), 0xA0AFC8u) << "the atlas's pixel (1, 60)";
  EXPECT_EQ(p->GetSkinClientRect(), (TRect{0, 0, 200, 120}));
  // An index outside the store is no picture: the frame look.
  r->BGPictureIndex = 7;
  p->Repaint();
  EXPECT_EQ(Px(p, 1, 60), kFrame);
  EXPECT_EQ(p->GetSkinClientRect(), (TRect{4, 22, 196, 116}));
  // Stretched, the picture covers the client area and leaves the frame alone.
  r->BGPictureIndex = 0;
  r->StretchEffect = true;
  p->Repaint();
  EXPECT_EQ(Px(p, 1, 60), kFrame);
  uint32_t in = Px(p, 100, 60);
  EXPECT_TRUE(in != kTileA && in != kTileB) << std::hex << in;
  r->StretchEffect = false;
  r->BGPictureIndex = -1;
}

TEST_F(Panels, GroupBoxWithACaptionUnderItsClientBuildsTheWholePicture) {
  auto* g = Panel<TbsSkinGroupBox>(true);
  EXPECT_TRUE(g->ForcebackGround());
  auto* r = dynamic_cast<TbsDataSkinPanelControl*>(skin->CtrlList[size_t(g->SkinIndex())].get());
  TRect keep = r->CaptionRect;
  r->CaptionRect = {4, 36, 36, 40};
  g->ChangeSkinData();
  EXPECT_FALSE(g->ForcebackGround());
  r->CaptionRect = keep;
  g->ChangeSkinData();
  EXPECT_FALSE(g->ForcebackGround()) << "never switched back";
}

TEST_F(Panels, ClassicCaptionAndTransparentLooks) {
  auto* p = Panel(false);
  p->SetCaptionMode(true);
  p->SetCheckedMode(true);
  p->SetChecked(true);
  p->SetCaption("Caption");
  EXPECT_EQ(Px(p, 0, 60), Rgb(gfx::clBtnShadow)) << "frame";
  EXPECT_EQ(Px(p, 5, 4), Rgb(gfx::clBtnShadow)) << "check box at x 5";
  // Transparent mode over a coloured form: the form shows inside the frame.
  form->SetColor(0x3C8C28);
  auto* t = Panel(true);
  t->SetTransparentMode(true);
  EXPECT_EQ(Px(t, 100, 60), 0x288C3Cu);
  EXPECT_EQ(Px(t, 0, 60), 0x808080u) << "skin shadow outline";
  t->SetCaptionMode(true);
  t->SetCaption("Frame");
  EXPECT_EQ(Px(t, 100, 60), 0x288C3Cu);
  EXPECT_EQ(Px(t, 2, t->CaptionArea().Bottom / 2), 0x808080u) << "frame line left of the caption";
}

TEST_F(Panels, FlatRadioButtonsShowTheSkinnedPanelBehindThem) {
  auto* g = Panel<TbsSkinGroupBox>(true);
  g->SetCaption("Options");
  auto* r = new TbsSkinCheckRadioBox(form);
  r->SetRadio(true);
  r->SetSkinDataName("radiobox");
  r->SetCaption("One");
  r->SetBounds(10, 30, 150, 25);
  r->SetParent(g);
  r->SetSkinData(skin.get());
  h.Pump();
  // Right of the caption the panel's striped client shows through.
  for (int x : {120, 124, 128}) EXPECT_EQ(Px(r, x, 3), Px(g, 10 + x, 30 + 3)) << x;
  uint32_t c = Px(r, 120, 3);
  EXPECT_TRUE(c == kTileA || c == kTileB) << std::hex << c;
}

TEST_F(Panels, PaintPanelHandsOverItsClientArea) {
  auto* p = Panel<TbsSkinPaintPanel>(false);
  std::vector<TRect> rects;
  p->OnPanelPaint = [&](gfx::TCanvas* C, TRect R) {
    rects.push_back(R);
    C->Brush()->SetColor(gfx::clRed);
    C->FillRect(R);
  };
  p->Repaint();
  ASSERT_FALSE(rects.empty());
  EXPECT_EQ(rects.back(), (TRect{1, 1, 199, 119}));
  EXPECT_EQ(Px(p, 50, 50), 0xFF0000u);
  p->SetSkinData(skin.get());
  p->Repaint();
  EXPECT_EQ(rects.back(), (TRect{4, 22, 196, 116}));
}

}  // namespace
