// Forms and the application on the null backend: modal loops, the close
// sequence, the OnMessage chain and the hint pipeline on the manual clock.
#include "fixtures.h"
#include "platform/cl/application.h"
#include "platform/cl/menus.h"
#include "platform/rtl/dispatcher.h"

#include <gtest/gtest.h>

using namespace cl;
using namespace win;
using plat::test::Harness;
using plat::test::MessageLog;

namespace {

TForm* Dialog(const std::string& name, int x = 100) {
  auto* f = new TForm(nullptr);
  f->SetName(name);
  f->SetBounds(x, 100, 200, 120);
  auto* ok = new TButton(f);
  ok->SetCaption("OK");
  ok->ModalResult = mrOk;
  ok->SetDefault(true);
  ok->SetBounds(10, 10, 75, 25);
  ok->SetParent(f);
  return f;
}

TButton* OkOf(TForm* f) { return static_cast<TButton*>(f->Controls(0)); }

}  // namespace

// ---- modal loops --------------------------------------------------------------

TEST(Modal, EnterClosesTheInnerDialogAndTheActivationComesBack) {
  Harness h;
  TForm* main = Dialog("main", 0);
  main->Show();
  h.Pump();
  ASSERT_EQ(GetActiveWindow(), main->Handle());
  TForm* outer = Dialog("outer", 300);
  TForm* inner = Dialog("inner", 600);
  int innerResult = -1;
  HWND activeAfterInner;
  // The inner dialog opens from inside the outer loop; Enter closes it
  // through its default button.
  rtl::Post([&] {
    h.input.Later({plat::test::Input::KeyEvent(true, VK_RETURN), plat::test::Input::KeyEvent(false, VK_RETURN)});
    innerResult = inner->ShowModal();
    activeAfterInner = GetActiveWindow();
    outer->SetModalResult(mrCancel);
  });
  EXPECT_EQ(outer->ShowModal(), mrCancel);
  EXPECT_EQ(innerResult, mrOk);
  EXPECT_EQ(activeAfterInner, outer->Handle());
  EXPECT_EQ(GetActiveWindow(), main->Handle());
  inner->Free();
  outer->Free();
  main->Free();
  EXPECT_EQ(h.Leaks(), "");
}

TEST(Modal, OuterFormFreedInsideTheInnerLoopEndsBothSafely) {
  Harness h;
  TForm* outer = Dialog("outer");
  TForm* inner = Dialog("inner", 400);
  bool innerRan = false;
  rtl::Post([&] {
    rtl::Post([&] {
      outer->Free();  // from inside the inner loop
      inner->SetModalResult(mrAbort);
    });
    innerRan = true;
    EXPECT_EQ(inner->ShowModal(), mrAbort);
  });
  outer->ShowModal();
  EXPECT_TRUE(innerRan);
  EXPECT_EQ(ModalDepth(), 0);
  inner->Free();
  EXPECT_EQ(h.Leaks(), "");
}

TEST(Modal, DisabledWindowsDropInputAndTheVetoKeepsTheLoop) {
  Harness h;
  TForm* main = Dialog("main", 0);
  main->Show();
  h.Pump();
  int mainClicks = 0;
  OkOf(main)->OnClick = [&](rtl::TObject*) { mainClicks++; };
  TForm* dlg = Dialog("dlg", 400);
  int queries = 0;
  dlg->OnCloseQuery = [&](rtl::TObject*, bool& can) { can = ++queries > 1; };
  std::vector<TCloseAction> closes;
  dlg->OnClose = [&](rtl::TObject*, TCloseAction& a) { closes.push_back(a); };
  POINT onMain{15, 15}, onDlg{15, 15};
  ClientToScreen(OkOf(main)->Handle(), &onMain);
  dlg->HandleNeeded();
  ClientToScreen(OkOf(dlg)->Handle(), &onDlg);
  using plat::test::Input;
  // A click on the disabled main form, then two on OK: the first is vetoed.
  h.input.Later({Input::MoveEvent(onMain.X, onMain.Y), Input::ButtonEvent(true, onMain.X, onMain.Y),
                 Input::ButtonEvent(false, onMain.X, onMain.Y), Input::MoveEvent(onDlg.X, onDlg.Y),
                 Input::ButtonEvent(true, onDlg.X, onDlg.Y), Input::ButtonEvent(false, onDlg.X, onDlg.Y),
                 Input::ButtonEvent(true, onDlg.X, onDlg.Y), Input::ButtonEvent(false, onDlg.X, onDlg.Y)});
  EXPECT_EQ(dlg->ShowModal(), mrOk);
  EXPECT_EQ(mainClicks, 0);
  EXPECT_EQ(queries, 2);
  EXPECT_EQ(closes, std::vector<TCloseAction>{caHide});
  EXPECT_FALSE(dlg->Visible());
  dlg->Free();
  main->Free();
}

// ---- close sequence ------------------------------------------------------------

TEST(CloseSequence, QueryThenCloseWithItsActions) {
  struct Case {
    bool canClose;
    TCloseAction action;
    bool visibleAfter, freed, minimized;
  };
  const Case cases[] = {{false, caHide, true, false, false},
                        {true, caNone, true, false, false},
                        {true, caHide, false, false, false},
                        {true, caFree, false, true, false},
                        {true, caMinimize, true, false, true}};
  for (const Case& c : cases) {
    Harness h;
    TForm* mainForm = nullptr;
    Application->CreateForm(mainForm);  // not the form under test: closing it would end the application
    TForm* f = Dialog("f", 300);
    f->Show();
    h.Pump();
    std::vector<std::string> order;
    f->OnCloseQuery = [&](rtl::TObject*, bool& can) {
      order.push_back("query");
      can = c.canClose;
    };
    f->OnClose = [&](rtl::TObject*, TCloseAction& a) {
      order.push_back("close");
      EXPECT_EQ(a, caHide);
      a = c.action;
    };
    Keep<TForm> k(f);
    PostMessage(f->Handle(), WM_CLOSE);
    h.Pump();
    EXPECT_EQ(order.size(), c.canClose ? 2u : 1u);
    EXPECT_EQ(f->Destroyed(), c.freed) << c.action;
    if (!c.freed) {
      EXPECT_EQ(f->Visible(), c.visibleAfter) << c.action;
      EXPECT_EQ(bool(IsIconic(f->Handle())), c.minimized) << c.action;
      f->Free();
    }
    EXPECT_FALSE(Application->Terminated());
  }
}

TEST(CloseSequence, ClosingTheMainFormEndsRun) {
  Harness h;
  TForm* main = nullptr;
  Application->CreateForm(main);
  main->SetBounds(0, 0, 200, 100);
  EXPECT_EQ(Application->MainForm(), main);
  TForm* second = nullptr;
  Application->CreateForm(second);
  EXPECT_EQ(Application->MainForm(), main);
  EXPECT_EQ(Screen->FormCount(), 2);
  EXPECT_EQ(Screen->Forms(0), main);
  PostMessage(main->Handle(), WM_CLOSE);
  Application->Run();  // returns once the close terminated the application
  EXPECT_TRUE(Application->Terminated());
  EXPECT_TRUE(main->Visible());
}

TEST(Application, MinimizeIconifiesTheMainFormAndHidesTheOthers) {
  Harness h;
  TForm* main = nullptr;
  Application->CreateForm(main);
  main->Show();
  TForm* tool = Dialog("tool", 300);
  tool->Show();
  h.Pump();
  h.Backend().calls.clear();
  Application->Minimize();
  EXPECT_TRUE(IsIconic(main->Handle()));
  EXPECT_FALSE(IsWindowVisible(tool->Handle()));
  auto& calls = h.Backend().calls;
  EXPECT_NE(std::find_if(calls.begin(), calls.end(), [](auto& s) { return s.rfind("Iconify", 0) == 0; }), calls.end());
  Application->Restore();
  EXPECT_FALSE(IsIconic(main->Handle()));
  EXPECT_TRUE(IsWindowVisible(tool->Handle()));
  tool->Free();
}

// ---- OnMessage chain -------------------------------------------------------------

TEST(OnMessageChain, HandlersInstalledAndRemovedInAnyOrderFromInsideAHandler) {
  Harness h;
  TForm* f = Dialog("f");
  f->Show();
  h.Pump();
  std::vector<std::string> seen;
  int a = 0, b = 0;
  Application->SetOnMessage([&](MSG& m, bool&) {
    if (m.message == WM_USER) seen.push_back("app");
  });
  a = Application->HookOnMessage([&](MSG& m, bool&) {
    if (m.message == WM_USER) seen.push_back("a");
  });
  b = Application->HookOnMessage([&](MSG& m, bool& handled) {
    if (m.message != WM_USER) return;
    seen.push_back("b");
    // Removing the older one first, then itself: the application's own
    // handler must come back, not a stale one.
    Application->UnhookOnMessage(a);
    Application->UnhookOnMessage(b);
    handled = true;
  });
  MessageLog log(f->Handle(), {WM_USER});
  PostMessage(f->Handle(), WM_USER);
  h.Pump();
  PostMessage(f->Handle(), WM_USER);
  h.Pump();
  EXPECT_EQ(seen, (std::vector<std::string>{"b", "app"}));
  EXPECT_EQ(log.Count(WM_USER), 1u);  // the first was handled by the hook
  // A handler that zeroes the message number swallows it.
  int c = Application->HookOnMessage([](MSG& m, bool&) { m.message = WM_NULL; });
  PostMessage(f->Handle(), WM_USER);
  h.Pump();
  EXPECT_EQ(log.Count(WM_USER), 1u);
  Application->UnhookOnMessage(c);
  f->Free();
}

// ---- hints ------------------------------------------------------------------------

class HintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form = Dialog("f", 0);
    form->SetBounds(0, 0, 300, 200);
    a = new fx::Board(form, "a", gfx::clRed);
    a->SetBounds(10, 50, 50, 50);
    a->Hint = "first|long";
    a->ShowHint = true;
    a->SetParent(form);
    b = new fx::Board(form, "b", gfx::clBlue);
    b->SetBounds(100, 50, 50, 50);
    b->Hint = "second";
    b->ShowHint = true;
    b->SetParent(form);
    form->Show();
    h.Pump();
  }
  void TearDown() override { form->Free(); }
  bool Shown() {
    THintWindow* w = Application->HintWindow();
    return w && w->HandleAllocated() && IsWindowVisible(w->Handle());
  }
  std::string Text() { return Application->HintWindow()->Caption(); }
  Harness h;
  TForm* form = nullptr;
  TControl *a = nullptr, *b = nullptr;
};

TEST_F(HintTest, PauseShortPauseAndHidePause) {
  Application->HintShortPause = 100;
  h.input.MoveTo(a, 5, 5);
  h.Advance(Application->HintPause - 1);
  EXPECT_FALSE(Shown());
  h.Advance(1);
  ASSERT_TRUE(Shown());
  EXPECT_EQ(Text(), "first");
  // Another control while a hint shows: the short pause.
  h.input.MoveTo(b, 5, 5);
  EXPECT_FALSE(Shown());
  h.Advance(99);
  EXPECT_FALSE(Shown());
  h.Advance(1);
  ASSERT_TRUE(Shown());
  EXPECT_EQ(Text(), "second");
  h.Advance(Application->HintHidePause - 1);
  EXPECT_TRUE(Shown());
  h.Advance(1);
  EXPECT_FALSE(Shown());
}

TEST_F(HintTest, APressAKeyOrALeaveHides) {
  for (int how = 0; how < 3; how++) {
    h.input.MoveTo(form->Handle(), 250, 180);
    h.input.MoveTo(a, 5, 5);
    h.Advance(Application->HintPause);
    ASSERT_TRUE(Shown()) << how;
    if (how == 0) h.input.Click();
    if (how == 1) h.input.Key('X');
    if (how == 2) h.input.MoveTo(form->Handle(), 250, 180);
    EXPECT_FALSE(Shown()) << how;
    h.Advance(Application->HintPause * 2);
    EXPECT_FALSE(Shown()) << how;
  }
}

TEST_F(HintTest, OnShowHintAndCmHintShowCanChangeOrRefuse) {
  std::vector<TControl*> asked;
  Application->OnShowHint = [&](std::string& s, bool& can, THintInfo& info) {
    asked.push_back(info.HintControl);
    if (info.HintControl == b) can = false;
    s = "[" + s + "]";
  };
  h.input.MoveTo(a, 5, 5);
  h.Advance(Application->HintPause);
  ASSERT_TRUE(Shown());
  EXPECT_EQ(Text(), "[first]");
  h.input.MoveTo(form->Handle(), 250, 180);
  h.input.MoveTo(b, 5, 5);
  h.Advance(Application->HintPause);
  EXPECT_FALSE(Shown());
  EXPECT_EQ(asked, (std::vector<TControl*>{a, b}));
}

// ---- menus model --------------------------------------------------------------------

TEST(Menus, RadioGroupsCheckOneItemPerGroup) {
  Harness h;
  auto* menu = new TPopupMenu(nullptr);
  TMenuItem* items[4];
  for (int i = 0; i < 4; i++) {
    items[i] = new TMenuItem(menu);
    items[i]->SetRadioItem(true);
    items[i]->SetGroupIndex(i < 2 ? 1 : 2);
    menu->Items()->Add(items[i]);
  }
  items[0]->SetChecked(true);
  items[2]->SetChecked(true);
  items[1]->SetChecked(true);
  EXPECT_FALSE(items[0]->Checked());
  EXPECT_TRUE(items[1]->Checked());
  EXPECT_TRUE(items[2]->Checked());  // another group
  items[3]->SetRadioItem(false);
  items[3]->SetChecked(true);  // a plain check item leaves the radio items alone
  EXPECT_TRUE(items[2]->Checked());
  menu->Free();
  EXPECT_EQ(h.Leaks(), "");
}

TEST(Menus, ShortCutTextsRoundTrip) {
  struct Case {
    TShortCut sc;
    const char* text;
  };
  const Case cases[] = {{TShortCut(scCtrl | VK_F4), "Ctrl+F4"},
                        {TShortCut(scAlt | VK_F4), "Alt+F4"},
                        {TShortCut(VK_F1), "F1"},
                        {TShortCut(scShift | scCtrl | 'S'), "Shift+Ctrl+S"},
                        {TShortCut(VK_DELETE), "Del"},
                        {TShortCut(scCtrl | VK_RETURN), "Ctrl+Enter"}};
  for (const Case& c : cases) {
    EXPECT_EQ(ShortCutToText(c.sc), c.text);
    EXPECT_EQ(TextToShortCut(c.text), c.sc) << c.text;
  }
  EXPECT_EQ(TextToShortCut("ctrl+f4"), TShortCut(scCtrl | VK_F4));
  EXPECT_EQ(TextToShortCut("Ctrl+"), 0);
  EXPECT_EQ(TextToShortCut("Hyper+X"), 0);
  EXPECT_EQ(StripHotkey("&Open && close"), "Open & close");
  EXPECT_EQ(ShortCut('S', ssCtrl | ssShift), TShortCut(scCtrl | scShift | 'S'));
}

TEST(Menus, ShortCutsRunEnabledReachableItemsFromTheFormsKeys) {
  Harness h;
  TForm* f = Dialog("f");
  auto* menu = new TMainMenu(f);
  auto* file = new TMenuItem(menu);
  file->Caption = "&File";
  menu->Items()->Add(file);
  auto* save = new TMenuItem(menu);
  save->Caption = "&Save";
  save->ShortCut = TShortCut(scCtrl | 'S');
  int saves = 0;
  save->OnClick = [&](rtl::TObject*) { saves++; };
  file->Add(save);
  f->Menu = menu;
  f->Show();
  h.Pump();
  OkOf(f)->SetFocus();
  auto ctrlS = [&] {
    h.input.KeyDown(VK_CONTROL, "");
    h.input.Key('S', "\x13");
    h.input.KeyUp(VK_CONTROL);
  };
  ctrlS();
  EXPECT_EQ(saves, 1);
  file->Enabled = false;  // a disabled parent hides its short cuts
  ctrlS();
  EXPECT_EQ(saves, 1);
  file->Enabled = true;
  EXPECT_TRUE(menu->DispatchCommand(save->Command()));
  EXPECT_EQ(saves, 2);
  f->Free();
}

TEST(Menus, RethinkLinesHidesRedundantSeparators) {
  Harness h;
  auto* menu = new TPopupMenu(nullptr);
  const char* captions[] = {"-", "a", "-", "-", "b", "-"};
  for (const char* c : captions) {
    auto* i = new TMenuItem(menu);
    i->Caption = c;
    menu->Items()->Add(i);
  }
  menu->Items()->RethinkLines();
  std::string shown;
  for (int i = 0; i < menu->Items()->Count(); i++)
    if (menu->Items()->Items(i)->Visible) shown += menu->Items()->Items(i)->Caption;
  EXPECT_EQ(shown, "a-b");
  menu->Free();
}

TEST(Menus, RightClickAndTheMenuKeyPopUpTheControlsMenu) {
  Harness h;
  TForm* f = Dialog("f");
  struct Recorder : TPopupMenu {
    using TPopupMenu::TPopupMenu;
    std::vector<TPoint> at;
    void Popup(int x, int y) override {
      at.push_back({x, y});
      TPopupMenu::Popup(x, y);
    }
  };
  auto* pm = new Recorder(f);
  f->PopupMenu = pm;
  f->Show();
  h.Pump();
  h.input.MoveTo(f->Handle(), 150, 80);
  h.input.Click(MouseButton::Right);
  ASSERT_EQ(pm->at.size(), 1u);
  EXPECT_EQ(pm->at[0], h.input.Cursor());
  EXPECT_EQ(pm->PopupComponent, f);
  OkOf(f)->SetFocus();
  h.input.Key(VK_APPS, "");
  ASSERT_EQ(pm->at.size(), 2u);
  f->Free();
}
