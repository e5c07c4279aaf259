// The skinned speed button: window-less states, the flat look over its
// parent, caption toggling, groups, repeat and accelerators.
#include <gtest/gtest.h>

#include <map>
#include <utility>

#include "controls_fixture.h"
#include "platform/win/window.h"
#include "skin/controls/bsSkinButtons.h"

using namespace ctltest;
using namespace win;

namespace {

class SkinSpeedButton : public ControlsTest {
 public:
  TbsSkinSpeedButton* Button(int l, int t, bool skinned = true) {
    auto* b = Make<TbsSkinSpeedButton>(l, t, 40, 30, "", skinned);
    b->OnClick = [this, b](rtl::TObject*) { clicks[b]++; };
    return b;
  }
  std::map<TbsSkinSpeedButton*, int> clicks;
};

TEST_F(SkinSpeedButton, StatesInTheSkinAndTheDefaultLookFlatOrNot) {
  const uint32_t white = 0xFFFFFF;
  struct Case {
    const char* name;
    bool flat;
    std::function<void(SkinSpeedButton*, TbsSkinSpeedButton*)> act;
    uint32_t skinned, plain;
  } cases[] = {
      {"normal", false, [](SkinSpeedButton*, TbsSkinSpeedButton*) {}, kNormal, Rgb(gfx::clBtnFace)},
      {"hot", false, [](SkinSpeedButton* t, TbsSkinSpeedButton* b) { t->h.input.MoveTo(b, 10, 10); }, kHot,
       Rgb(bsHotFillColor)},
      {"pressed", false,
       [](SkinSpeedButton* t, TbsSkinSpeedButton* b) {
         t->h.input.MoveTo(b, 10, 10);
         t->h.input.Press();
       },
       kDown, Rgb(bsDownFillColor)},
      {"disabled", false, [](SkinSpeedButton*, TbsSkinSpeedButton* b) { b->SetEnabled(false); }, kDisabled,
       Rgb(gfx::clBtnFace)},
      // Flat: nothing under the content until the mouse comes.
      {"flat", true, [](SkinSpeedButton*, TbsSkinSpeedButton*) {}, white, white},
      {"flat hot", true, [](SkinSpeedButton* t, TbsSkinSpeedButton* b) { t->h.input.MoveTo(b, 10, 10); }, kHot,
       Rgb(bsHotFillColor)},
  };
  for (auto& c : cases) {
    for (bool skinned : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (skinned ? " skinned" : " default look"));
      h.input.MoveTo(form, 300, 190);
      auto* b = Button(10, 10, skinned);
      b->SetFlat(c.flat);
      EXPECT_EQ(b->Transparent(), c.flat);
      form->Repaint();
      c.act(this, b);
      h.Advance(200);
      EXPECT_EQ(Px(b, 3, 15), skinned ? c.skinned : c.plain);
      h.input.Release();
      b->Free();
    }
  }
}

TEST_F(SkinSpeedButton, OnlyAnOpaqueSkinnedButtonBlends) {
  auto* b = Button(10, 10);
  h.input.MoveTo(b, 10, 10);
  h.Advance(40);
  EXPECT_NEAR(b->MorphKf(), 0.4, 1e-9);
  uint32_t mid = Px(b, 3, 15);
  EXPECT_NE(mid, kNormal);
  EXPECT_NE(mid, kHot);
  h.Advance(100);
  EXPECT_EQ(Px(b, 3, 15), kHot);
  h.input.MoveTo(form, 300, 190);
  h.Advance(200);
  b->SetFlat(true);
  h.input.MoveTo(b, 10, 10);
  EXPECT_EQ(Px(b, 3, 15), kHot);  // at once: a transparent button never blends
  EXPECT_FALSE(b->ButtonSkin().Morphing);
}

TEST_F(SkinSpeedButton, ClicksGroupsRepeatAndAccelerators) {
  auto* a = Button(10, 10);
  auto* b = Button(60, 10);
  h.input.MoveTo(a, 10, 10);
  h.input.Click();
  EXPECT_EQ(clicks[a], 1);  // once: the class library adds no click of its own
  h.input.Press();
  h.input.MoveTo(a, 10, 100);
  h.input.Release();
  EXPECT_EQ(clicks[a], 1);
  EXPECT_FALSE(a->Down());
  // Group: click on press, the other one goes up.
  a->SetGroupIndex(2);
  b->SetGroupIndex(2);
  h.input.MoveTo(a, 10, 10);
  h.input.Press();
  EXPECT_EQ(clicks[a], 2);
  h.input.Release();
  EXPECT_TRUE(a->Down());
  h.input.MoveTo(form, 300, 190);
  EXPECT_EQ(Px(a, 3, 15), kDown);  // latched: pressed without the mouse
  h.input.MoveTo(b, 10, 10);
  h.input.Click();
  EXPECT_TRUE(b->Down());
  EXPECT_FALSE(a->Down());
  // Repeat: 500 ms, then every interval.
  b->SetGroupIndex(0);
  b->SetDown(false);
  b->SetRepeatMode(true);
  b->SetRepeatInterval(50);
  clicks[b] = 0;
  h.input.Press();
  h.Advance(650);
  EXPECT_EQ(clicks[b], 3);
  h.input.Release();
  EXPECT_EQ(clicks[b], 4);
  // Accelerator: Alt+letter from anywhere on the form.
  a->SetCaption("&Open");
  h.input.KeyDown(VK_MENU, "");
  h.input.Key('O', "o");
  h.input.KeyUp(VK_MENU);
  EXPECT_EQ(clicks[a], 3);
}

TEST_F(SkinSpeedButton, ShowCaptionSwitchesBetweenTheTwoWidths) {
  auto* b = Button(10, 10, false);
  b->SetCaption("Open");
  b->SetShowCaption(false);
  EXPECT_EQ(b->Width(), 40);  // without both widths only a repaint
  b->SetShowCaption(true);
  b->SetWidthWithCaption(80);
  b->SetWidthWithoutCaption(30);
  b->SetShowCaption(false);
  EXPECT_EQ(b->Width(), 30);
  b->SetShowCaption(true);
  EXPECT_EQ(b->Width(), 80);
}

}  // namespace

namespace {

// A bar whose image lists hold one 16 x 16 image each: red, green, blue.
struct ImageBar : cl::TCustomControl, TbsButtonImagesParent {
  explicit ImageBar(cl::TComponent* o) : cl::TCustomControl(o) {
    ControlStyle |= cl::csAcceptsControls;
    for (auto [list, colour] : {std::pair{&images, gfx::clRed}, {&hot, gfx::clLime}, {&disabled, gfx::clBlue}}) {
      *list = new cl::TImageList(this);
      (*list)->SetSize(16, 16);
      gfx::TBitmap b;
      b.SetSize(16, 16);
      b.Canvas()->Brush()->SetColor(colour);
      b.Canvas()->FillRect({0, 0, 16, 16});
      (*list)->Add(&b, nullptr);
    }
  }
  cl::TCustomImageList* ButtonImages() override { return images; }
  cl::TCustomImageList* ButtonHotImages() override { return hot; }
  cl::TCustomImageList* ButtonDisabledImages() override { return useDisabled ? disabled : nullptr; }
  cl::TImageList *images, *hot, *disabled;
  bool useDisabled = true;
};

TEST_F(SkinSpeedButton, ButtonsOnAnImageBarDrawItsImages) {
  auto* bar = new ImageBar(form);
  bar->SetBounds(0, 0, 300, 60);
  bar->SetParent(form);
  for (bool skinned : {true, false}) {
    SCOPED_TRACE(skinned ? "skinned" : "default look");
    auto* b = Make<TbsSkinSpeedButton>(10, 10, 40, 30, "", skinned, bar);
    b->SetImageIndex(0);
    EXPECT_EQ(Px(b, 20, 15), 0xFF0000u);
    h.input.MoveTo(b, 5, 5);
    h.Advance(200);
    EXPECT_EQ(Px(b, 20, 15), 0x00FF00u);
    h.input.MoveTo(form, 300, 190);
    b->SetEnabled(false);
    EXPECT_EQ(Px(b, 20, 15), 0x0000FFu);  // its own disabled image, undimmed
    bar->useDisabled = false;
    b->Repaint();
    EXPECT_NE(Px(b, 20, 15), 0xFF0000u);  // the normal image, dimmed
    bar->useDisabled = true;
    b->Free();
  }
}

}  // namespace
