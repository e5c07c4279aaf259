// The skinned check and radio box: group rules and events, the grayed
// cycle, keys and focus, and the flat and framed looks.
#include <gtest/gtest.h>

#include "controls_fixture.h"
#include "platform/cl/stdctrls.h"
#include "platform/win/window.h"
#include "skin/controls/bsSkinCheckRadio.h"

using namespace ctltest;
using namespace win;

namespace {

class CheckRadio : public ControlsTest {
 public:
  TbsSkinCheckRadioBox* Box(cl::TWinControl* parent, int top, bool radio, int group, bool skinned = false) {
    auto* b = new TbsSkinCheckRadioBox(form);
    b->SetBounds(5, top, 120, 25);
    b->SetParent(parent);
    b->SetRadio(radio);
    if (radio) b->SetSkinDataName("radiobox");
    b->SetGroupIndex(group);
    b->SetCaption(radio ? "Radio" : "Check");
    if (skinned) b->SetSkinData(skin.get());
    b->OnClick = [this](rtl::TObject* s) { clicks.push_back(static_cast<TbsSkinCheckRadioBox*>(s)); };
    h.Pump();
    return b;
  }
  void ClickOn(cl::TControl* c, MouseButton b = MouseButton::Left) {
    h.input.MoveTo(c, 10, 12);
    h.input.Click(b);
  }
  int Clicks(TbsSkinCheckRadioBox* b) { return int(std::count(clicks.begin(), clicks.end(), b)); }
  std::vector<TbsSkinCheckRadioBox*> clicks;
};

TEST_F(CheckRadio, GroupsUncheckTheirMembersOnOneParentOnly) {
  auto* p1 = new cl::TPanel(form);
  p1->SetBounds(0, 0, 150, 100);
  p1->SetParent(form);
  auto* p2 = new cl::TPanel(form);
  p2->SetBounds(160, 0, 150, 100);
  p2->SetParent(form);
  auto* r1 = Box(p1, 0, true, 1);
  auto* r2 = Box(p1, 30, true, 1);
  auto* r3 = Box(p1, 60, true, 1);
  auto* other = Box(p2, 0, true, 1);
  other->SetChecked(true);
  r1->SetChecked(true);
  clicks.clear();
  ClickOn(r2);
  EXPECT_FALSE(r1->Checked());
  EXPECT_TRUE(r2->Checked());
  EXPECT_FALSE(r3->Checked());
  EXPECT_TRUE(other->Checked()) << "another parent's group";
  EXPECT_EQ(clicks, std::vector<TbsSkinCheckRadioBox*>{r2}) << "the unchecked radio fires nothing";
  // A checked radio button: a click changes and fires nothing.
  clicks.clear();
  ClickOn(r2);
  EXPECT_TRUE(r2->Checked());
  EXPECT_TRUE(clicks.empty());
  // Check boxes in a group: both fire.
  auto* c1 = Box(p2, 30, false, 2);
  auto* c2 = Box(p2, 60, false, 2);
  c1->SetChecked(true);
  clicks.clear();
  c2->SetChecked(true);
  EXPECT_FALSE(c1->Checked());
  EXPECT_EQ(Clicks(c1), 1);
  EXPECT_EQ(Clicks(c2), 1);
  // State writes fire but leave the group alone; same-value writes fire too.
  clicks.clear();
  c1->SetState(cbChecked);
  EXPECT_TRUE(c1->Checked());
  EXPECT_TRUE(c2->Checked());
  c1->SetChecked(true);
  EXPECT_EQ(Clicks(c1), 2);
}

TEST_F(CheckRadio, GrayedCycleAndKeys) {
  auto* c = Box(form, 10, false, 0);
  c->SetAllowGrayed(true);
  std::vector<TCheckBoxState> seen;
  for (int i = 0; i < 3; ++i) {
    ClickOn(c);
    seen.push_back(c->State());
  }
  EXPECT_EQ(seen, (std::vector<TCheckBoxState>{cbGrayed, cbChecked, cbUnchecked}));
  EXPECT_EQ(Clicks(c), 3);
  // The keyboard never grays: Space from unchecked checks.
  ASSERT_TRUE(c->Focused()) << "the press took the focus";
  h.input.Key(VK_SPACE);
  EXPECT_EQ(c->State(), cbChecked);
  // Writing False to a grayed box keeps it grayed and still fires.
  c->SetState(cbGrayed);
  clicks.clear();
  c->SetChecked(false);
  EXPECT_EQ(c->State(), cbGrayed);
  EXPECT_EQ(Clicks(c), 1);
  // A right click never toggles; AllowGrayed does nothing on a radio button.
  c->SetState(cbUnchecked);
  ClickOn(c, MouseButton::Right);
  EXPECT_EQ(c->State(), cbUnchecked);
  auto* r = Box(form, 40, true, 0);
  r->SetAllowGrayed(true);
  ClickOn(r);
  EXPECT_EQ(r->State(), cbChecked);
  // Accelerator: focus and toggle.
  auto* a = Box(form, 70, false, 0);
  a->SetCaption("&Loop");
  c->SetFocus();
  h.input.KeyDown(VK_MENU, "");
  h.input.Key('L', "l");
  h.input.KeyUp(VK_MENU);
  EXPECT_TRUE(a->Checked());
  EXPECT_TRUE(a->Focused());
}

TEST_F(CheckRadio, WithoutCanFocusedAClickTogglesButTakesNoFocus) {
  auto* other = Box(form, 40, false, 0);
  other->SetFocus();
  auto* c = Box(form, 10, false, 0);
  c->SetCanFocused(false);
  EXPECT_FALSE(c->TabStop());
  ClickOn(c);
  EXPECT_TRUE(c->Checked());
  EXPECT_FALSE(c->Focused());
  c->SetFocus();
  h.Pump();
  h.input.Key(VK_SPACE);
  EXPECT_TRUE(c->Checked()) << "Space does nothing without CanFocused";
}

TEST_F(CheckRadio, FlatClassicLookIsDrawnOverTheParent) {
  form->SetColor(0x3C8C28);  // a green the box must not hide
  auto* c = Box(form, 10, false, 0);
  c->SetCaption("");
  int H = 25;
  EXPECT_EQ(Px(c, 100, 2), 0x288C3Cu) << "the parent shows through";
  EXPECT_EQ(Px(c, 3, H / 2 - 7), Rgb(gfx::clBtnShadow)) << "box frame";
  c->SetChecked(true);
  EXPECT_EQ(Px(c, 9, H / 2 + 2), 0u) << "black tick";
  c->SetState(cbGrayed);
  EXPECT_EQ(Px(c, 9, H / 2 + 2), Rgb(gfx::clGrayText));
  c->SetState(cbChecked);
  c->SetEnabled(false);
  EXPECT_EQ(Px(c, 9, H / 2 + 2), Rgb(gfx::clBtnShadow));
  auto* r = Box(form, 40, true, 0);
  r->SetState(cbGrayed);
  EXPECT_EQ(Px(r, 9, H / 2), 0x288C3Cu) << "a grayed radio shows no mark";
}

TEST_F(CheckRadio, FlatSkinnedLookPicksTheCheckImageByState) {
  form->SetColor(0x3C8C28);
  auto* c = Box(form, 10, false, 0, true);
  ASSERT_NE(c->SkinIndex(), -1);
  EXPECT_EQ(c->Width(), 120) << "a flat box keeps its size";
  // The 15x15 image at (3, 25/2 - 7); its magenta surround is transparent.
  const int cx = 3 + 7, cy = 5 + 7;
  EXPECT_EQ(Px(c, 3, 5), 0x288C3Cu);
  EXPECT_EQ(Px(c, cx, cy), 0xFAFAFAu) << "unchecked";
  c->SetChecked(true);
  EXPECT_EQ(Px(c, cx, cy), 0x28A03Cu) << "checked";
  h.input.MoveTo(c, 60, 12);
  EXPECT_EQ(Px(c, cx, cy), 0x5AD26Eu) << "hot checked";
  h.input.MoveTo(form, 300, 190);
  // No grayed picture in the record: the checked one brightened halfway.
  c->SetState(cbGrayed);
  uint32_t g = Px(c, cx, cy);
  EXPECT_NEAR(Red(g), 40 + (255 - 40) / 2, 2);
  EXPECT_NEAR(Green(g), 160 + (255 - 160) / 2, 2);
  EXPECT_NEAR(Blue(g), 60 + (255 - 60) / 2, 2);
}

TEST_F(CheckRadio, FramedSkinnedLookTakesTheRecordSizeAndBlendsInFiveSteps) {
  auto* c = Box(form, 10, false, 0);
  c->SetFlat(false);
  c->SetSkinData(skin.get());
  h.Pump();
  EXPECT_EQ(c->Width(), 40);
  EXPECT_EQ(c->Height(), 40);
  skin->SetEnableSkinEffects(true);
  auto* r = dynamic_cast<TbsDataSkinCheckRadioControl*>(skin->CtrlList[size_t(c->SkinIndex())].get());
  ASSERT_NE(r, nullptr);
  r->Morphing = true;
  c->ChangeSkinData();
  h.input.MoveTo(c, 20, 20);
  EXPECT_TRUE(c->Animating());
  std::vector<double> steps;
  for (int i = 0; i < 5; ++i) {
    h.Advance(20);
    steps.push_back(c->MorphKf());
  }
  EXPECT_NEAR(steps[0], 0.2, 1e-9);
  EXPECT_NEAR(steps[3], 0.8, 1e-9);
  EXPECT_EQ(steps[4], 1.0);
  EXPECT_FALSE(c->Animating());
  r->Morphing = false;
}

}  // namespace
