// Mouse tracking and clicks under capture, the focus veto, and dialog keys
// reaching the default and cancel buttons.
#include "fixtures.h"

#include <gtest/gtest.h>

using namespace fx;
using plat::test::Harness;
using plat::test::MessageLog;
using namespace win;

namespace {

TEST(MouseScript, EnterLeaveUnderCaptureAndClickOnlyOnReleaseInside) {
  struct Case {
    bool graphic;
    bool releaseInside;
    std::vector<std::string> track;
    int clicks;
  } cases[] = {
      {true, true, {"CM_MOUSEENTER", "CM_MOUSELEAVE", "CM_MOUSEENTER"}, 1},
      {true, false, {"CM_MOUSEENTER", "CM_MOUSELEAVE"}, 0},
      {false, true, {"CM_MOUSEENTER", "CM_MOUSELEAVE", "CM_MOUSEENTER"}, 1},
      {false, false, {"CM_MOUSEENTER", "CM_MOUSELEAVE"}, 0},
  };
  for (auto& c : cases) {
    Harness h;
    TForm* form = MakeForm();
    Board* board = new Board(form, "board", gfx::clBtnFace);
    board->SetBounds(0, 0, 200, 150);
    board->SetParent(form);
    TControl* target = c.graphic ? static_cast<TControl*>(new Swatch(form, "s", gfx::clRed))
                                 : static_cast<TControl*>(new Board(form, "b", gfx::clRed));
    target->SetBounds(20, 20, 50, 50);
    target->SetParent(board);
    int clicks = 0, ups = 0;
    target->OnClick = [&](rtl::TObject*) { clicks++; };
    target->OnMouseUp = [&](rtl::TObject*, TMouseButton, TShiftState, int, int) { ups++; };
    form->Show();
    h.Pump();
    h.input.MoveTo(board, 5, 5);
    MessageLog log(target, {CM_MOUSEENTER, CM_MOUSELEAVE});
    MessageLog boardLog(board, {CM_MOUSEENTER, CM_MOUSELEAVE});
    h.input.MoveTo(board, 30, 30);  // in
    h.input.Press();
    EXPECT_TRUE(target->MouseCapture());
    h.input.MoveTo(board, 150, 120);  // out, still captured
    if (c.releaseInside) h.input.MoveTo(board, 31, 31);
    h.input.Release();
    EXPECT_EQ(log.Names(), c.track) << c.graphic << c.releaseInside;
    EXPECT_EQ(clicks, c.clicks) << c.graphic << c.releaseInside;
    EXPECT_EQ(ups, 1);
    // The container hears LEAVE when the pointer moves onto its child.
    ASSERT_FALSE(boardLog.entries.empty());
    EXPECT_EQ(boardLog.Names()[0], "CM_MOUSELEAVE");
    EXPECT_FALSE(target->MouseCapture());
    form->Free();
  }
}

struct DialogForm {
  Harness& h;
  TForm* form = MakeForm(300, 120);
  // An edit-like control: wants characters and arrows, not Enter or Escape
  // (unless wantAll).
  struct Edit : TCustomControl {
    explicit Edit(TComponent* o) : TCustomControl(o) { tabStop_ = true; }
    bool wantAll = false;
    std::string typed;
    void Dispatch(TMessage& m) override {
      if (m.Msg == WM_GETDLGCODE) {
        m.Result = DLGC_WANTCHARS | DLGC_WANTARROWS | (wantAll ? DLGC_WANTALLKEYS : 0);
        return;
      }
      if (m.Msg == WM_LBUTTONDOWN) SetFocus();
      TCustomControl::Dispatch(m);
    }
    void KeyPress(char32_t& k) override {
      typed += char(k);
      TCustomControl::KeyPress(k);
    }
  };
  Edit* edit = new Edit(form);
  TButton* ok = new TButton(form);
  TButton* cancel = new TButton(form);
  TButton* other = new TButton(form);
  int okClicks = 0, cancelClicks = 0, otherClicks = 0;

  explicit DialogForm(Harness& harness) : h(harness) {
    edit->SetBounds(10, 10, 100, 20);
    edit->SetParent(form);
    ok->SetBounds(10, 50, 75, 25);
    ok->SetCaption("OK");
    ok->SetDefault(true);
    ok->ModalResult = mrOk;
    ok->SetParent(form);
    cancel->SetBounds(100, 50, 75, 25);
    cancel->Cancel = true;
    cancel->ModalResult = mrCancel;
    cancel->SetParent(form);
    other->SetBounds(190, 50, 75, 25);
    other->SetParent(form);
    ok->OnClick = [this](rtl::TObject*) { okClicks++; };
    cancel->OnClick = [this](rtl::TObject*) { cancelClicks++; };
    other->OnClick = [this](rtl::TObject*) { otherClicks++; };
    form->Show();
    h.Pump();
  }
  ~DialogForm() {
    form->Free();
    EXPECT_EQ(h.Leaks(), "");
    EXPECT_TRUE(h.exceptions.empty());
  }
};

TEST(MouseScript, LeaveHandlerFreeingTheControlEnteredNext) {
  // Leaving one control frees the control the pointer moves onto (a hover
  // popup, say); both graphic and windowed targets.
  for (bool graphic : {true, false}) {
    Harness h;
    TForm* form = MakeForm();
    Board* a = new Board(form, "a", gfx::clBtnFace);
    a->SetBounds(0, 0, 100, 150);
    a->SetParent(form);
    TControl* b = graphic ? static_cast<TControl*>(new Swatch(form, "b", gfx::clRed))
                          : static_cast<TControl*>(new Board(form, "b", gfx::clRed));
    b->SetBounds(100, 0, 100, 150);
    b->SetParent(form);
    auto inherited = a->WindowProc;
    a->WindowProc = [&, inherited](TMessage& m) {
      inherited(m);
      if (m.Msg == CM_MOUSELEAVE && b) FreeAndNil(b);
    };
    form->Show();
    h.Pump();
    h.input.MoveTo(form, 50, 50);
    h.input.MoveTo(form, 150, 50);
    EXPECT_EQ(b, nullptr) << graphic;
    h.input.MoveTo(form, 160, 50);
    form->Free();
    EXPECT_EQ(h.Leaks(), "");
  }
}

TEST(DialogKeys, EnterAndEscapeReachDefaultAndCancelButtons) {
  struct Case {
    const char* focus;
    uint16_t key;
    bool editWantsAll;
    int ok, cancel, other;
    std::string typed;
  } cases[] = {
      {"edit", VK_RETURN, false, 1, 0, 0, ""},  {"edit", VK_ESCAPE, false, 0, 1, 0, ""},
      {"edit", VK_RETURN, true, 0, 0, 0, "\r"}, {"other", VK_RETURN, false, 0, 0, 1, ""},
      {"other", VK_ESCAPE, false, 0, 1, 0, ""}, {"ok", VK_RETURN, false, 1, 0, 0, ""},
      {"edit", 'X', false, 0, 0, 0, "x"},
  };
  for (auto& c : cases) {
    Harness h;
    DialogForm d(h);
    d.edit->wantAll = c.editWantsAll;
    TWinControl* f = std::string(c.focus) == "edit" ? static_cast<TWinControl*>(d.edit)
                     : std::string(c.focus) == "ok" ? static_cast<TWinControl*>(d.ok)
                                                    : d.other;
    f->SetFocus();
    h.Pump();
    ASSERT_TRUE(f->Focused()) << c.focus;
    h.input.Key(c.key);
    EXPECT_EQ(d.okClicks, c.ok) << c.focus << " " << c.key;
    EXPECT_EQ(d.cancelClicks, c.cancel) << c.focus << " " << c.key;
    EXPECT_EQ(d.otherClicks, c.other) << c.focus << " " << c.key;
    EXPECT_EQ(d.edit->typed, c.typed) << c.focus << " " << c.key;
    if (c.ok) {
      EXPECT_EQ(d.form->ModalResult(), mrOk);
    }
  }
}

TEST(DialogKeys, TabMovesThroughTabStops) {
  Harness h;
  DialogForm d(h);
  d.edit->SetFocus();
  h.Pump();
  h.input.Key(VK_TAB);
  EXPECT_TRUE(d.ok->Focused());
  h.input.KeyDown(VK_SHIFT, "");
  h.input.Key(VK_TAB);
  h.input.KeyUp(VK_SHIFT);
  EXPECT_TRUE(d.edit->Focused());
  // Tab order is its own list, apart from the z-order.
  d.other->SetTabOrder(0);
  EXPECT_EQ(d.edit->TabOrder(), 1);
  h.input.KeyDown(VK_SHIFT, "");
  h.input.Key(VK_TAB);
  h.input.KeyUp(VK_SHIFT);
  EXPECT_TRUE(d.other->Focused());
  EXPECT_EQ(d.form->Controls(3), d.other);  // z-order unchanged
}

TEST(Focus, ExitHandlerThatKeepsTheFocusVetoesAndSwallowsThePress) {
  Harness h;
  DialogForm d(h);
  d.ok->SetFocus();
  h.Pump();
  int otherDowns = 0;
  d.other->OnMouseDown = [&](rtl::TObject*, TMouseButton, TShiftState, int, int) { otherDowns++; };
  std::vector<std::string> seen;
  d.ok->OnExit = [&](rtl::TObject*) {
    seen.push_back("ok.exit");
    d.ok->SetFocus();  // keep it
  };
  d.other->OnEnter = [&](rtl::TObject*) { seen.push_back("other.enter"); };
  h.input.MoveTo(d.other, 10, 10);
  h.input.Click();
  EXPECT_TRUE(d.ok->Focused());
  EXPECT_EQ(d.form->ActiveControl(), d.ok);
  EXPECT_EQ(d.otherClicks, 0);
  EXPECT_EQ(otherDowns, 0);
  EXPECT_EQ(seen, (std::vector<std::string>{"ok.exit"}));
  // Without the veto the same press focuses and clicks.
  d.ok->OnExit = nullptr;
  h.Advance(600);
  h.input.Click();
  EXPECT_TRUE(d.other->Focused());
  EXPECT_EQ(d.otherClicks, 1);
  EXPECT_EQ(seen.back(), "other.enter");
}

}  // namespace

namespace {
TEST(MouseScript, ClicksLandInsideAFramedForm) {
  Harness h;
  auto* form = new TForm(nullptr);
  form->SetBounds(50, 50, 200, 120);  // classic frame: caption and border
  auto* b = new TButton(form);
  b->SetBounds(10, 10, 75, 25);
  b->SetParent(form);
  int clicks = 0;
  b->OnClick = [&](rtl::TObject*) { clicks++; };
  form->Show();
  h.Pump();
  EXPECT_EQ(b->ClientToScreen({0, 0}), (TPoint{50 + 3 + 10, 50 + 22 + 10}));
  h.input.MoveTo(b, 2, 2);
  h.input.Click();
  h.input.MoveTo(b, 76, 2);  // just outside
  h.Advance(600);
  h.input.Click();
  EXPECT_EQ(clicks, 1);
  form->Free();
}
}  // namespace

#include "platform/rtl/dispatcher.h"

namespace {
TEST(DialogKeys, KeyPreviewLetsTheFormConsumeKeysFirst) {
  Harness h;
  DialogForm d(h);
  d.edit->SetFocus();
  h.Pump();
  d.form->KeyPreview = true;
  d.form->OnKeyPress = [](rtl::TObject*, char32_t& k) {
    if (k == 'q') k = 0;
  };
  h.input.Type("aqb");
  EXPECT_EQ(d.edit->typed, "ab");
}

TEST(Modal, ShowModalEndsOnModalResultAndBlocksOtherWindows) {
  Harness h;
  DialogForm main(h);
  int mainClicks = 0;
  main.other->OnClick = [&](rtl::TObject*) { mainClicks++; };
  TForm* dlg = MakeForm(150, 80);
  dlg->SetLeft(400);
  auto* ok = new TButton(dlg);
  ok->SetBounds(10, 10, 75, 25);
  ok->ModalResult = mrOk;
  ok->SetParent(dlg);
  // The script runs from inside the modal loop.
  rtl::Post([&] {
    h.input.MoveTo(main.other, 5, 5);  // the main form is disabled: dropped
    h.input.Click();
    h.Advance(600);
    h.input.MoveTo(ok, 5, 5);
    h.input.Click();
  });
  EXPECT_EQ(dlg->ShowModal(), mrOk);
  EXPECT_EQ(mainClicks, 0);
  EXPECT_FALSE(dlg->Visible());
  EXPECT_TRUE(IsWindowEnabled(main.form->Handle()));
  dlg->Free();
}
}  // namespace

namespace {
TEST(DialogKeys, AcceleratorsClickTheirButton) {
  EXPECT_TRUE(IsAccel('o', "&OK"));
  EXPECT_FALSE(IsAccel('k', "&OK"));
  EXPECT_FALSE(IsAccel('b', "A&&B"));
  EXPECT_TRUE(IsAccel('c', "A&&B &c"));
  Harness h;
  DialogForm d(h);
  d.other->SetCaption("&Apply");
  d.edit->SetFocus();
  h.Pump();
  // Alt+A from anywhere; a plain "a" goes to the edit, which wants characters.
  h.input.KeyDown(VK_MENU, "");
  h.input.Key('A');
  h.input.KeyUp(VK_MENU);
  EXPECT_EQ(d.otherClicks, 1);
  h.input.Key('A');
  EXPECT_EQ(d.otherClicks, 1);
  EXPECT_EQ(d.edit->typed, "a");
}
}  // namespace

namespace {
TEST(Modal, OuterFormClosedFromInsideTheInnerLoop) {
  Harness h;
  DialogForm main(h);
  TForm* outer = MakeForm(100, 60);
  outer->SetLeft(300);
  TForm* inner = MakeForm(80, 40);
  inner->SetLeft(500);
  int innerResult = -1;
  bool mainDisabledInside = false, outerDisabledInside = false;
  rtl::Post([&] {
    rtl::Post([&] {
      mainDisabledInside = !IsWindowEnabled(main.form->Handle());
      outerDisabledInside = !IsWindowEnabled(outer->Handle());
      outer->SetModalResult(mrCancel);  // the outer form is closed first...
      inner->SetModalResult(mrOk);      // ...then the inner one
    });
    innerResult = inner->ShowModal();
  });
  EXPECT_EQ(outer->ShowModal(), mrCancel);
  EXPECT_EQ(innerResult, mrOk);
  EXPECT_TRUE(mainDisabledInside);
  EXPECT_TRUE(outerDisabledInside);
  EXPECT_EQ(ModalDepth(), 0);
  EXPECT_TRUE(IsWindowEnabled(main.form->Handle()));
  EXPECT_TRUE(IsWindowEnabled(outer->Handle()));
  inner->Free();
  outer->Free();
}
}  // namespace
