// The skinned hint window in the application's hint pipeline and the hint
// component's own hints, on the manual clock.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "MenuSkin.h"
#include "platform/cl/application.h"
#include "platform/testkit/harness.h"
#include "platform/win/layered.h"
#include "platform/win/window.h"
#include "skin/menus/bsSkinHint.h"
#include "skin/draw/bsTextHelpers.h"

using namespace skin;

namespace {

// A tool button with a title for the extended hint.
class ToolButton : public cl::TCustomControl, public IbsSkinHintSource {
 public:
  using cl::TCustomControl::TCustomControl;
  std::string title;
  std::string HintTitle() const override { return title; }
  int HintImageIndex() const override { return 0; }
  cl::TCustomImageList* HintImageList() const override { return nullptr; }
};

class SkinHints : public ::testing::Test {
 protected:
  void SetUp() override {
    cl::Application->CreateForm(form);
    form->SetBounds(100, 100, 500, 300);
    hint = new TbsSkinHint(form);
    button = new ToolButton(form);
    button->SetBounds(10, 10, 40, 30);
    button->Hint = "打开文件@选择要转换的文件";
    button->ShowHint = true;
    button->SetParent(form);
    plain = new ToolButton(form);
    plain->SetBounds(100, 10, 40, 30);
    plain->SetParent(form);
    form->Show();
    h.input.MoveTo(form->Handle(), 400, 250);
    h.Pump();
  }
  void TearDown() override {
    form->Free();
    h.Pump();
  }
  bool AppHintShown() {
    cl::THintWindow* w = cl::Application->HintWindow();
    return w && w->HandleAllocated() && win::IsWindowVisible(w->Handle());
  }
  // The size of text in the hint's font, measured as the window does.
  TRect Measure(const std::string& s, bool skinFont = false) {
    gfx::TBitmap b;
    b.SetSize(1, 1);
    if (skinFont) {
      b.Canvas()->Font()->SetName("Arial");
      b.Canvas()->Font()->SetHeight(14);
    } else {
      b.Canvas()->Font()->Assign(*hint->DefaultFont());
    }
    TRect r{0, 0, 0, 0};
    WideDrawText(b.Canvas(), s, r, gfx::DT_CALCRECT);
    return r;
  }

  plat::test::Harness h;
  cl::TForm* form = nullptr;
  TbsSkinHint* hint = nullptr;
  ToolButton* button = nullptr;
  ToolButton* plain = nullptr;
};

}  // namespace

TEST_F(SkinHints, TheSeparatorMakesLinesAndALineBreakCannotBeOne) {
  EXPECT_EQ(hint->SplitLines("a@b@@c"), "a\n\rb\n\r\n\rc");
  hint->SetLineSeparator("\n");
  EXPECT_EQ(hint->LineSeparator(), "@") << "a separator holding a line break would never end";
  hint->SetLineSeparator("x\r");
  EXPECT_EQ(hint->LineSeparator(), "@");
  hint->SetLineSeparator("");
  EXPECT_EQ(hint->SplitLines("a@b"), "a@b");
  hint->SetLineSeparator("||");
  EXPECT_EQ(hint->SplitLines("a||b"), "a\n\rb");
}

TEST_F(SkinHints, ThePipelineShowsTwoLinesAfterThePauseAndHidesAfterTheHidePause) {
  // The application shows its hints in the skinned window now.
  ASSERT_NE(dynamic_cast<TbsSkinHintWindow*>(cl::Application->HintWindow()), nullptr);
  EXPECT_EQ(cl::Application->HintShortPause, 100);
  h.input.MoveTo(button, 5, 5);
  h.Advance(cl::Application->HintPause - 1);
  EXPECT_FALSE(AppHintShown());
  h.Advance(1);
  ASSERT_TRUE(AppHintShown());
  auto* w = static_cast<TbsSkinHintWindow*>(cl::Application->HintWindow());
  EXPECT_EQ(w->Caption(), "打开文件\n\r选择要转换的文件");
  // Two lines, as wide as the longer one.
  TRect one = Measure("打开文件"), two = Measure("选择要转换的文件");
  EXPECT_EQ(w->Width(), two.Width() + 4);
  EXPECT_EQ(w->Height(), one.Height() + two.Height() + 4);
  EXPECT_FALSE(w->AExtendedStyle);
  // Drawn in the plain look: info background framed in shadow.
  h.Pump();
  auto rgb = [](uint32_t bgr) { return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF); };
  EXPECT_EQ(h.Pixel(w->Handle(), 0, 0), rgb(gfx::ColorToRGB(gfx::clBtnShadow)));
  EXPECT_EQ(h.Pixel(w->Handle(), w->Width() - 2, w->Height() - 2), rgb(gfx::ColorToRGB(gfx::clInfoBk)));
  // The form keeps the activation.
  EXPECT_EQ(win::GetActiveWindow(), form->Handle());
  h.Advance(cl::Application->HintHidePause - 1);
  EXPECT_TRUE(AppHintShown());
  h.Advance(1);
  EXPECT_FALSE(AppHintShown());
}

TEST_F(SkinHints, ATitledControlShowsTheExtendedHintAndTheSkinFramesIt) {
  TbsSkinData* sd = menutest::MakeMenuSkin();
  hint->SetSkinData(sd);
  button->title = "打开";
  button->Hint = "one line";
  h.input.MoveTo(button, 5, 5);
  h.Advance(cl::Application->HintPause);
  ASSERT_TRUE(AppHintShown());
  auto* w = static_cast<TbsSkinHintWindow*>(cl::Application->HintWindow());
  EXPECT_TRUE(w->AExtendedStyle);
  EXPECT_EQ(w->Title, "打开");
  TRect t = Measure("one line", true), title = Measure("打开", true);
  // Extended and skinned: text and title, 10 more and the picture's margins.
  EXPECT_EQ(w->Width(), std::max(t.Width(), title.Width()) + 10 + 2 + 20 - 18);
  EXPECT_EQ(w->Height(), t.Height() + title.Height() + 10 + 2 + 20 - 18);
  h.Pump();
  auto rgb = [](uint32_t bgr) { return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF); };
  EXPECT_EQ(h.Pixel(w->Handle(), 0, 0), rgb(menutest::kHintFrame));
  EXPECT_EQ(h.Pixel(w->Handle(), w->Width() - 3, w->Height() - 3), rgb(menutest::kHintBack));
  // A control without a title: the plain skinned hint.
  h.input.MoveTo(form->Handle(), 400, 250);
  h.Advance(10);
  plain->Hint = "x@yy";
  plain->ShowHint = true;
  h.input.MoveTo(plain, 5, 5);
  h.Advance(cl::Application->HintPause);
  ASSERT_TRUE(AppHintShown());
  EXPECT_FALSE(w->AExtendedStyle);
  TRect x = Measure("x", true), yy = Measure("yy", true);
  EXPECT_EQ(w->Width(), yy.Width() + 2 + 20 - 18 + 5);
  EXPECT_EQ(w->Height(), x.Height() + yy.Height() + 2 + 20 - 18);
  h.input.MoveTo(form->Handle(), 400, 250);
  hint->SetSkinData(nullptr);
  sd->Free();
}

TEST_F(SkinHints, DelayedHintsWaitThePauseHideAfterTheHidePauseAndCanBeCancelled) {
  h.input.MoveTo(300, 200);
  hint->ActivateHint2("soon");
  h.Advance(cl::Application->HintPause - 10);
  hint->HideHint();
  h.Advance(cl::Application->HintPause * 2);
  EXPECT_FALSE(hint->IsVisible());
  EXPECT_EQ(hint->HintTimer, nullptr);
  hint->ActivateHint2("a@b");
  h.Advance(cl::Application->HintPause - 1);
  EXPECT_FALSE(hint->IsVisible());
  h.Advance(1);
  ASSERT_TRUE(hint->IsVisible());
  EXPECT_EQ(hint->HW->Left(), 300);
  EXPECT_EQ(hint->HW->Top(), 200 + hint->GetCursorHeightMargin());
  // The hide tick frees the very timer that ticks.
  h.Advance(cl::Application->HintHidePause);
  EXPECT_FALSE(hint->IsVisible());
  EXPECT_EQ(hint->HintTimer, nullptr);
  // Above or below a rectangle, centred on it.
  hint->ActivateHint3(TRect{200, 300, 300, 320}, "r", true);
  h.Advance(cl::Application->HintPause);
  ASSERT_TRUE(hint->IsVisible());
  EXPECT_EQ(hint->HW->Left(), 250 - hint->HW->Width() / 2);
  EXPECT_EQ(hint->HW->Top(), 300 - hint->HW->Height());
  hint->HideHint();
}

TEST_F(SkinHints, AtTheScreenEdgesTheHintFlipsToTheOtherSide) {
  hint->ActivateHint(TPoint{1020, 760}, "edge");
  ASSERT_TRUE(hint->IsVisible());
  int W = hint->HW->Width(), H = hint->HW->Height();
  EXPECT_EQ(hint->HW->Left(), 1020 - W - 2);
  EXPECT_EQ(hint->HW->Top(), 760 - H - 2);
  hint->ActivateHint(TPoint{10, 10}, "edge");
  EXPECT_EQ(hint->HW->Left(), 10);
  EXPECT_EQ(hint->HW->Top(), 10);
  hint->HideHint();
  EXPECT_FALSE(hint->IsVisible());
}

TEST_F(SkinHints, OneActiveComponentPerMainFormAndNoneShowsNothing) {
  auto* second = new TbsSkinHint(form);
  second->SetActive(true);
  EXPECT_FALSE(hint->Active());
  EXPECT_EQ(ActiveSkinHint(), second);
  // A component freed while its handler is installed leaves the pipeline working.
  second->Free();
  EXPECT_EQ(ActiveSkinHint(), nullptr);
  h.input.MoveTo(button, 5, 5);
  h.Advance(cl::Application->HintPause);
  EXPECT_FALSE(AppHintShown()) << "no active component: the skinned window shows nothing";
  hint->SetActive(true);
  h.input.MoveTo(form->Handle(), 400, 250);
  h.input.MoveTo(button, 5, 5);
  h.Advance(cl::Application->HintPause);
  EXPECT_TRUE(AppHintShown());
}

TEST_F(SkinHints, AFadingHintStepsToItsAlphaAndEndsThere) {
  win::SetCompositorPresent(true);
  hint->AlphaBlend = true;
  hint->AlphaBlendAnimation = true;
  hint->AlphaBlendValue = 200;
  h.Backend().calls.clear();
  hint->ActivateHint({200, 200}, "提示");
  ASSERT_TRUE(hint->IsVisible());
  std::vector<int> alphas;
  for (const std::string& c : h.Backend().calls)
    if (c.rfind("SetOpacity ", 0) == 0) alphas.push_back(int(std::stod(c.substr(c.rfind(' ') + 1)) * 255 + 0.5));
  // From transparent in sixteen steps of 200 div 15, each after its pause.
  std::vector<int> want{0};
  for (int a = 13; a < 200; a += 13) want.push_back(a);
  want.push_back(200);
  want.push_back(200);
  EXPECT_EQ(alphas, want);
  hint->HideHint();
  win::SetCompositorPresent(false);
}
