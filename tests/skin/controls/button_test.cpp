// The skinned push button: state images under scripted input, the hover
// blend and frame animation on the manual clock, click logic, groups,
// auto-repeat, the default and cancel roles, accelerators and the glow.
#include <gtest/gtest.h>

#include "controls_fixture.h"
#include "platform/win/layered.h"
#include "platform/win/window.h"
#include "platform/cl/imglist.h"
#include "skin/controls/bsSkinButtons.h"

using namespace ctltest;
using namespace win;

namespace {

// An edit-like control: takes the focus on a press, wants characters and
// arrows, leaves Enter and Escape to the form.
struct Edit : cl::TCustomControl {
  explicit Edit(cl::TComponent* o) : cl::TCustomControl(o) { SetTabStop(true); }
  void Dispatch(cl::TMessage& m) override {
    if (m.Msg == WM_GETDLGCODE) {
      m.Result = DLGC_WANTCHARS | DLGC_WANTARROWS;
      return;
    }
    if (m.Msg == WM_LBUTTONDOWN) SetFocus();
    cl::TCustomControl::Dispatch(m);
  }
};

class SkinButton : public ControlsTest {
 public:
  TbsSkinButton* Button(int l, int t, bool skinned = true, const std::string& record = "") {
    auto* b = Make<TbsSkinButton>(l, t, 75, 25, record, skinned);
    b->OnClick = [this](rtl::TObject* s) { clicks.push_back(static_cast<TbsSkinButton*>(s)); };
    return b;
  }
  int Clicks(TbsSkinButton* b) { return int(std::count(clicks.begin(), clicks.end(), b)); }
  std::vector<TbsSkinButton*> clicks;
};

TEST_F(SkinButton, StateImagesFollowInputInTheSkinAndTheDefaultLook) {
  struct Case {
    const char* name;
    std::function<void(SkinButton*, TbsSkinButton*)> act;
    uint32_t skinned, plain;
  } cases[] = {
      {"normal", [](SkinButton*, TbsSkinButton*) {}, kNormal, Rgb(gfx::clBtnFace)},
      {"hot", [](SkinButton* t, TbsSkinButton* b) { t->h.input.MoveTo(b, 10, 10); }, kHot, Rgb(bsHotFillColor)},
      {"pressed",
       [](SkinButton* t, TbsSkinButton* b) {
         t->h.input.MoveTo(b, 10, 10);
         t->h.input.Press();
       },
       kDown, Rgb(bsDownFillColor)},
      // The press focused the button: unpressed, it shows its focused look.
      {"pressed, then left while held",
       [](SkinButton* t, TbsSkinButton* b) {
         t->h.input.MoveTo(b, 10, 10);
         t->h.input.Press();
         t->h.input.MoveTo(b, 200, 10);
       },
       kFocused, Rgb(bsHotFillColor)},
      {"pressed, left and back",
       [](SkinButton* t, TbsSkinButton* b) {
         t->h.input.MoveTo(b, 10, 10);
         t->h.input.Press();
         t->h.input.MoveTo(b, 200, 10);
         t->h.Advance(200);
         t->h.input.MoveTo(b, 10, 10);
       },
       kDown, Rgb(bsDownFillColor)},
      {"focused", [](SkinButton*, TbsSkinButton* b) { b->SetFocus(); }, kFocused, Rgb(bsHotFillColor)},
      {"disabled",
       [](SkinButton* t, TbsSkinButton* b) {
         t->h.input.MoveTo(b, 10, 10);
         b->SetEnabled(false);
       },
       kDisabled, Rgb(gfx::clBtnFace)},
  };
  for (auto& c : cases) {
    for (bool skinned : {true, false}) {
      SCOPED_TRACE(std::string(c.name) + (skinned ? " skinned" : " default look"));
      auto* b = Button(10, 10, skinned);
      h.input.MoveTo(form, 300, 190);
      c.act(this, b);
      h.Advance(200);  // any blend has ended
      EXPECT_EQ(Px(b, 3, 12), skinned ? c.skinned : c.plain);
      h.input.Release();
      b->Free();
    }
  }
}

TEST_F(SkinButton, HoverBlendsNormalToHotInFiveStepsOfTwentyMilliseconds) {
  auto* b = Button(10, 10);
  h.input.MoveTo(b, 10, 10);
  std::vector<double> kf;
  std::vector<int> red;
  for (int i = 0; i < 6; ++i) {
    kf.push_back(b->MorphKf());
    red.push_back(Red(Px(b, 3, 12)));
    h.Advance(20);
  }
  ASSERT_EQ(kf.size(), 6u);
  for (int i = 0; i < 5; ++i) EXPECT_NEAR(kf[size_t(i) + 1], 0.2 * (i + 1), 1e-9) << i;
  EXPECT_EQ(red.front(), Red(kNormal));
  for (int i = 1; i < 5; ++i) EXPECT_GT(red[size_t(i)], red[size_t(i) - 1]) << i;  // a true blend, step by step
  EXPECT_EQ(Px(b, 3, 12), kHot);
  h.Advance(20);  // the end tick sets the exact value and stops
  EXPECT_EQ(b->MorphKf(), 1.0);
  h.Advance(100);
  EXPECT_EQ(b->MorphKf(), 1.0);
  // Leaving blends back the same way.
  h.input.MoveTo(form, 300, 190);
  h.Advance(40);
  EXPECT_NEAR(b->MorphKf(), 0.6, 1e-9);
  h.Advance(100);
  EXPECT_EQ(b->MorphKf(), 0.0);
  EXPECT_EQ(Px(b, 3, 12), kNormal);
  // Without skin effects the hot image shows at once.
  skin->SetEnableSkinEffects(false);
  h.input.MoveTo(b, 10, 10);
  EXPECT_EQ(Px(b, 3, 12), kHot);
}

TEST_F(SkinButton, FrameAnimationStepsThroughTheStrip) {
  auto* b = Button(10, 10, true, "animbutton");
  h.input.MoveTo(b, 10, 10);
  std::vector<uint32_t> seen{Px(b, 3, 12)};
  for (int i = 0; i < 3; ++i) {
    h.Advance(40);
    seen.push_back(Px(b, 3, 12));
  }
  EXPECT_EQ(seen, (std::vector<uint32_t>{kFrame1, kFrame2, kHot, kHot}));
  EXPECT_EQ(b->CurrentAnimationFrame(), 0);
  // A strip without frames cannot be cut: no animation, no fault.
  static_cast<TbsDataSkinButtonControl*>(skin->CtrlList[size_t(skin->GetControlIndex("animbutton"))].get())
      ->FrameCount = 0;
  h.input.MoveTo(form, 300, 190);
  h.input.MoveTo(b, 10, 10);
  h.Advance(200);
  EXPECT_EQ(Px(b, 3, 12), kHot);
}

TEST_F(SkinButton, ClicksUnderScriptedInput) {
  struct Case {
    const char* name;
    int group;
    bool allowAllUp;
    std::function<void(SkinButton*, TbsSkinButton*, TbsSkinButton*)> act;
    int clicksA, clicksB;
    bool downA, downB;
  } cases[] = {
      {"press and release inside", 0, false,
       [](SkinButton* t, TbsSkinButton* a, TbsSkinButton*) {
         t->h.input.MoveTo(a, 10, 10);
         t->h.input.Click();
       },
       1, 0, false, false},
      {"release outside", 0, false,
       [](SkinButton* t, TbsSkinButton* a, TbsSkinButton*) {
         t->h.input.MoveTo(a, 10, 10);
         t->h.input.Press();
         t->h.input.MoveTo(a, 10, 60);
         t->h.input.Release();
       },
       0, 0, false, false},
      {"leave and come back while held", 0, false,
       [](SkinButton* t, TbsSkinButton* a, TbsSkinButton*) {
         t->h.input.MoveTo(a, 10, 10);
         t->h.input.Press();
         t->h.input.MoveTo(a, 10, 60);
         t->h.input.MoveTo(a, 12, 10);
         t->h.input.Release();
       },
       1, 0, false, false},
      {"right button", 0, false,
       [](SkinButton* t, TbsSkinButton* a, TbsSkinButton*) {
         t->h.input.MoveTo(a, 10, 10);
         t->h.input.Click(MouseButton::Right);
       },
       0, 0, false, false},
      {"group: clicks on press and latches", 1, false,
       [](SkinButton* t, TbsSkinButton* a, TbsSkinButton*) {
         t->h.input.MoveTo(a, 10, 10);
         t->h.input.Press();
         EXPECT_EQ(t->Clicks(a), 1);
         t->h.input.Release();
       },
       1, 0, true, false},
      {"group: the other button releases the first", 1, false,
       [](SkinButton* t, TbsSkinButton* a, TbsSkinButton* b) {
         t->h.input.MoveTo(a, 10, 10);
         t->h.input.Click();
         t->h.input.MoveTo(b, 10, 10);
         t->h.input.Click();
       },
       1, 1, false, true},
      {"group: a second press stays down without AllowAllUp", 1, false,
       [](SkinButton* t, TbsSkinButton* a, TbsSkinButton*) {
         t->h.input.MoveTo(a, 10, 10);
         t->h.input.Click();
         t->h.input.Click();
       },
       1, 0, true, false},
      {"group: a second press raises it with AllowAllUp", 1, true,
       [](SkinButton* t, TbsSkinButton* a, TbsSkinButton*) {
         t->h.input.MoveTo(a, 10, 10);
         t->h.input.Click();
         t->h.input.Click();
       },
       2, 0, false, false},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    clicks.clear();
    auto* a = Button(10, 10);
    auto* b = Button(100, 10);
    for (auto* x : {a, b}) {
      x->SetGroupIndex(c.group);
      x->SetAllowAllUp(c.allowAllUp);
    }
    if (c.group) {
      EXPECT_FALSE(a->CanFocused());
      EXPECT_FALSE(a->TabStop());
    }
    c.act(this, a, b);
    EXPECT_EQ(Clicks(a), c.clicksA);
    EXPECT_EQ(Clicks(b), c.clicksB);
    EXPECT_EQ(a->Down(), c.downA);
    EXPECT_EQ(b->Down(), c.downB);
    h.input.MoveTo(form, 300, 190);
    a->Free();
    b->Free();
  }
}

TEST_F(SkinButton, AutoRepeatRunsFiveHundredThenTheInterval) {
  auto* b = Button(10, 10);
  b->SetRepeatMode(true);
  b->SetRepeatInterval(100);
  h.input.MoveTo(b, 10, 10);
  h.input.Press();
  h.Advance(599);
  EXPECT_EQ(Clicks(b), 0);
  h.Advance(1);
  EXPECT_EQ(Clicks(b), 1);  // 500 + the interval after the press
  h.Advance(300);
  EXPECT_EQ(Clicks(b), 4);
  // Leaving stops the repeat; coming back starts it over.
  h.input.MoveTo(b, 10, 60);
  h.Advance(1000);
  EXPECT_EQ(Clicks(b), 4);
  h.input.MoveTo(b, 10, 10);
  h.Advance(600);
  EXPECT_EQ(Clicks(b), 5);
  h.input.Release();
  EXPECT_EQ(Clicks(b), 6);  // one more on release over the button
  EXPECT_FALSE(b->Repeating());
  h.Advance(1000);
  EXPECT_EQ(Clicks(b), 6);
  // Space held: the keyboard's own repeat repeats the clicks.
  b->SetFocus();
  h.input.KeyDown(VK_SPACE);
  h.input.KeyDown(VK_SPACE);
  EXPECT_EQ(Clicks(b), 8);
  h.input.KeyUp(VK_SPACE);
  EXPECT_EQ(Clicks(b), 9);
}

struct DialogButtons {
  SkinButton& t;
  Edit* edit;
  TbsSkinButton *ok, *cancel, *other;
  explicit DialogButtons(SkinButton& test, bool skinned) : t(test) {
    edit = new Edit(t.form);
    edit->SetBounds(10, 150, 100, 20);
    edit->SetParent(t.form);
    ok = t.Button(10, 10, skinned);
    cancel = t.Button(100, 10, skinned);
    other = t.Button(190, 10, skinned);
    ok->SetCaption("OK");
    ok->SetModalResult(cl::mrOk);
    ok->SetDefault(true);
    cancel->SetCaption("Cancel");
    cancel->SetCancel(true);
    cancel->SetModalResult(cl::mrCancel);
    other->SetCaption("&Go");
    t.h.Pump();
  }
};

TEST_F(SkinButton, EnterAndEscapeReachTheDefaultAndCancelButtons) {
  struct Case {
    const char* focus;
    uint16_t key;
    bool shift;
    int ok, cancel, other;
  } cases[] = {
      {"edit", VK_RETURN, false, 1, 0, 0},  {"edit", VK_ESCAPE, false, 0, 1, 0},  {"edit", VK_ESCAPE, true, 0, 0, 0},
      {"other", VK_RETURN, false, 0, 0, 1}, {"other", VK_ESCAPE, false, 0, 1, 0}, {"ok", VK_RETURN, false, 1, 0, 0},
  };
  for (auto& c : cases) {
    for (bool skinned : {true, false}) {
      SCOPED_TRACE(std::string(c.focus) + " " + std::to_string(c.key) + (skinned ? " skinned" : " default look"));
      clicks.clear();
      form->SetModalResult(cl::mrNone);
      DialogButtons d(*this, skinned);
      cl::TWinControl* f = std::string(c.focus) == "edit" ? static_cast<cl::TWinControl*>(d.edit)
                           : std::string(c.focus) == "ok" ? static_cast<cl::TWinControl*>(d.ok)
                                                          : d.other;
      f->SetFocus();
      h.Pump();
      ASSERT_TRUE(f->Focused());
      if (c.shift) h.input.KeyDown(VK_SHIFT, "");
      h.input.Key(c.key);
      if (c.shift) h.input.KeyUp(VK_SHIFT);
      EXPECT_EQ(Clicks(d.ok), c.ok);
      EXPECT_EQ(Clicks(d.cancel), c.cancel);
      EXPECT_EQ(Clicks(d.other), c.other);
      EXPECT_EQ(form->ModalResult(), c.ok ? cl::mrOk : c.cancel ? cl::mrCancel : cl::mrNone);
      for (cl::TControl* x : std::initializer_list<cl::TControl*>{d.edit, d.ok, d.cancel, d.other}) x->Free();
    }
  }
}

TEST_F(SkinButton, TheDefaultButtonLooksHotWhileTheFocusRestsOnAnEdit) {
  DialogButtons d(*this, true);
  d.edit->SetFocus();
  h.Advance(200);
  EXPECT_TRUE(d.ok->HasDefaultRole());
  EXPECT_TRUE(d.ok->MouseIn());
  EXPECT_EQ(Px(d.ok, 3, 12), kHot);
  // The mouse passing over and away leaves the hot look of the role.
  h.input.MoveTo(d.ok, 10, 10);
  h.input.MoveTo(form, 300, 190);
  h.Advance(200);
  EXPECT_EQ(Px(d.ok, 3, 12), kHot);
  d.other->SetFocus();
  h.Advance(200);
  EXPECT_FALSE(d.ok->HasDefaultRole());
  EXPECT_TRUE(d.other->HasDefaultRole());
  EXPECT_EQ(Px(d.ok, 3, 12), kNormal);
  EXPECT_EQ(Px(d.other, 3, 12), kFocused);
  // Turning the role off re-evaluates at once.
  d.edit->SetFocus();
  h.Advance(200);
  d.ok->SetDefault(false);
  EXPECT_FALSE(d.ok->HasDefaultRole());
}

TEST_F(SkinButton, APressFocusesTheButtonAndAVetoSwallowsIt) {
  DialogButtons d(*this, true);
  d.edit->SetFocus();
  h.input.MoveTo(d.other, 10, 10);
  h.input.Click();
  EXPECT_TRUE(d.other->Focused());
  EXPECT_EQ(Clicks(d.other), 1);
  // The edit refuses to give the focus away: no press, no click.
  d.edit->SetFocus();
  d.edit->OnExit = [&](rtl::TObject*) { d.edit->SetFocus(); };
  h.input.MoveTo(d.ok, 10, 10);
  h.input.Click();
  EXPECT_TRUE(d.edit->Focused());
  EXPECT_EQ(Clicks(d.ok), 0);
  EXPECT_FALSE(d.ok->Down());
  d.edit->OnExit = nullptr;
}

TEST_F(SkinButton, AcceleratorsFocusAndClick) {
  DialogButtons d(*this, true);
  d.edit->SetFocus();
  h.input.KeyDown(VK_MENU, "");
  h.input.Key('G', "g");
  h.input.KeyUp(VK_MENU);
  EXPECT_EQ(Clicks(d.other), 1);
  EXPECT_TRUE(d.other->Focused());
}

TEST_F(SkinButton, MouseUpIsNotReportedWhenTheClickHidTheButton) {
  auto* b = Button(10, 10);
  int ups = 0;
  b->OnMouseUp = [&](rtl::TObject*, cl::TMouseButton, cl::TShiftState, int, int) { ups++; };
  b->OnClick = [&](rtl::TObject*) { b->Hide(); };
  h.input.MoveTo(b, 10, 10);
  h.input.Click();
  EXPECT_FALSE(b->Visible());
  EXPECT_EQ(ups, 0);
}

TEST_F(SkinButton, GlowFrameShowsAroundTheHoveredButtonWhereLayeredWindowsExist) {
  SetCompositorPresent(true);
  auto* b = Button(40, 40, true, "glowbutton");
  h.input.MoveTo(b, 10, 10);
  TbsLayerManager* m = b->LayerManager();
  ASSERT_TRUE(m->IsVisible);
  TPoint o = b->ClientToScreen({0, 0});
  EXPECT_EQ(m->LayerWindow->Left(), o.X - 5);
  EXPECT_EQ(m->LayerWindow->Top(), o.Y - 5);
  // The 40 x 30 glow of a 30 x 20 skin grows with the 75 x 25 button.
  EXPECT_EQ(m->LayerWindow->Width(), 85);
  EXPECT_EQ(m->LayerWindow->Height(), 35);
  h.input.MoveTo(form, 300, 190);
  EXPECT_FALSE(m->IsVisible);
  // A glow picture without its mask shows nothing.
  static_cast<TbsDataSkinButtonControl*>(skin->CtrlList[size_t(skin->GetControlIndex("glowbutton"))].get())
      ->GlowLayerMaskPictureIndex = -1;
  h.input.MoveTo(b, 10, 10);
  EXPECT_FALSE(m->IsVisible);
  SetCompositorPresent(false);
  static_cast<TbsDataSkinButtonControl*>(skin->CtrlList[size_t(skin->GetControlIndex("glowbutton"))].get())
      ->GlowLayerMaskPictureIndex = 3;
  h.input.MoveTo(form, 300, 190);
  h.input.MoveTo(b, 10, 10);
  EXPECT_FALSE(m->IsVisible);  // no compositor: no glow
  h.input.MoveTo(form, 300, 190);
}

TEST_F(SkinButton, FreelySizedButtonsStretchAFixedSkinAndGetNoRegion) {
  auto* b = new TbsSkinButton(form);
  b->SetUseSkinSize(false);
  b->SetBounds(10, 10, 90, 40);
  b->SetParent(form);
  b->SetSkinDataName("roundbutton");
  b->SetSkinData(skin.get());
  h.Pump();
  EXPECT_EQ(b->Width(), 90);
  EXPECT_EQ(b->Height(), 40);
  EXPECT_EQ(Px(b, 45, 8), kRound);
  gfx::HRGN probe = gfx::CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(b->Handle(), probe), gfx::ERROR_REGION);
  gfx::DeleteObject(probe);
  // With the skin's size it is the skin's 30 x 20 with the mask's region.
  b->SetUseSkinSize(true);
  b->ChangeSkinData();
  EXPECT_EQ(b->Width(), 30);
  EXPECT_EQ(b->Height(), 20);
}

// A record that is not a frame record ("stdlabel") brings no picture: both
// kinds of button, sized by the skin or freely, paint their default look.
TEST_F(SkinButton, ARecordWithoutPictureLeavesTheDefaultLook) {
  for (bool useSkinSize : {true, false}) {
    SCOPED_TRACE(useSkinSize ? "skin size" : "free size");
    auto* b = new TbsSkinButton(form);
    b->SetUseSkinSize(useSkinSize);
    b->SetBounds(10, 10, 75, 25);
    b->SetParent(form);
    b->SetSkinDataName("stdlabel");
    b->SetSkinData(skin.get());
    auto* s = new TbsSkinSpeedButton(form);
    s->SetUseSkinSize(useSkinSize);
    s->SetFlat(false);
    s->SetBounds(100, 10, 40, 30);
    s->SetParent(form);
    s->SetSkinDataName("stdlabel");
    s->SetSkinData(skin.get());
    h.Pump();
    EXPECT_EQ(b->Width(), 75) << "a record without a skin rectangle dictates no size";
    EXPECT_EQ(Px(b, 37, 12), Rgb(gfx::clBtnFace));
    EXPECT_EQ(Px(s, 20, 15), Rgb(gfx::clBtnFace));
    h.input.MoveTo(b, 37, 12);
    EXPECT_EQ(Px(b, 37, 12), Rgb(bsHotFillColor));
    h.input.MoveTo(form, 300, 150);
    b->Free();
    s->Free();
  }
}

// Clicks reach the linked action unless the button has a handler of its
// own, and the action's image becomes an empty glyph.
TEST_F(SkinButton, AnActionGivesCaptionGlyphAndClick) {
  auto* images = new cl::TImageList(form);
  images->SetSize(16, 16);
  gfx::TBitmap red;
  red.SetSize(16, 16);
  red.Canvas()->Brush()->SetColor(gfx::clRed);
  red.Canvas()->FillRect({0, 0, 16, 16});
  images->Add(&red, nullptr);
  auto* list = new cl::TActionList(form);
  list->SetImages(images);
  auto* action = new cl::TAction(form);
  action->SetActionList(list);
  action->SetImageIndex(0);
  action->SetCaption("Act");
  int runs = 0;
  action->OnExecute = [&](rtl::TObject*) { runs++; };
  auto* b = Make<TbsSkinButton>(10, 10, 90, 30, "", false);
  b->SetAction(action);
  EXPECT_EQ(b->Caption(), "Act");
  ASSERT_FALSE(b->Glyph()->Empty());
  EXPECT_EQ(b->Glyph()->Width(), 16);
  b->SetModalResult(cl::mrOk);
  h.input.MoveTo(b, 5, 5);
  h.input.Click();
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(form->ModalResult(), cl::mrOk);
  b->OnClick = [this](rtl::TObject* s) { clicks.push_back(static_cast<TbsSkinButton*>(s)); };
  h.input.Click();
  EXPECT_EQ(runs, 1);
  EXPECT_EQ(Clicks(b), 1);
  // Disabled through the action: no click at all.
  action->SetEnabled(false);
  h.input.Click();
  EXPECT_EQ(Clicks(b), 1);
}

TEST(SkinButtonHelpers, GlyphNumbersAndAnimationFrames) {
  struct G {
    int num;
    bool down, in, enabled;
    int glyph;
  } glyphs[] = {{4, true, true, true, 3},  {2, true, true, true, 1},    {4, false, true, true, 4},
                {3, false, true, true, 1}, {2, false, false, false, 2}, {1, false, false, false, 1},
                {4, true, false, true, 1}};
  for (auto& g : glyphs) EXPECT_EQ(GetGlyphNum(g.num, g.down, g.in, g.enabled), g.glyph);
  EXPECT_EQ(CalcAnimateFrameRect({0, 20, 60, 40}, {0, 0, 30, 20}, 2, 2), (TRect{30, 20, 60, 40}));
  EXPECT_EQ(CalcAnimateFrameRect({0, 20, 30, 60}, {0, 0, 30, 20}, 2, 2), (TRect{0, 40, 30, 60}));
  EXPECT_EQ(CalcAnimateFrameRect({0, 20, 60, 40}, {0, 0, 30, 20}, 0, 1), TRect{});
}

}  // namespace
