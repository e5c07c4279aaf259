// The notification-area icon's logic behind a recording tray backend, on
// the manual clock: click and double-click recognition, the disabled icon,
// the menu, animation frames, text limits, the shell's restart and hiding
// the main form to the icon.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/cl/application.h"
#include "platform/shell/tray.h"
#include "platform/testkit/harness.h"
#include "platform/win/window.h"
#include "skin/form/bsSkinForm.h"
#include "skin/menus/bsTrayIcon.h"

using namespace skin;

namespace {

class FakeTray : public shell::ITrayBackend {
 public:
  bool Available() override { return true; }
  bool Add(int, const std::string& tip, gfx::HICON icon) override { return Log("add", tip, icon); }
  bool Modify(int, const std::string& tip, gfx::HICON icon) override { return Log("modify", tip, icon); }
  bool Delete(int) override { return Log("delete", "", {}); }
  bool ShowBalloon(int, const std::string& title, const std::string& text, int) override {
    balloons.push_back({title, text});
    return true;
  }
  bool Log(const char* op, const std::string& tip, gfx::HICON icon) {
    ops.push_back(op);
    tips.push_back(tip);
    icons.push_back(icon);
    return true;
  }
  std::vector<std::string> ops, tips;
  std::vector<gfx::HICON> icons;
  std::vector<std::pair<std::string, std::string>> balloons;
};

class RecordingMenu : public cl::TPopupMenu {
 public:
  using cl::TPopupMenu::TPopupMenu;
  void Popup(int X, int Y) override { popups.push_back({X, Y}); }
  std::vector<TPoint> popups;
};

class TrayIcon : public ::testing::Test {
 public:
  void SetUp() override {
    shell::SetTrayBackend(&fake);
    tray = new TbsTrayIcon(nullptr);
    auto rec = [this](const char* what) { return [this, what](auto&&...) { events.push_back(what); }; };
    tray->OnMouseDown = [this](rtl::TObject*, cl::TMouseButton B, cl::TShiftState S, int X, int Y) {
      events.push_back(std::string("down") + "LRM"[B]);
      EXPECT_TRUE(S & (B == cl::mbLeft ? cl::ssLeft : B == cl::mbRight ? cl::ssRight : cl::ssMiddle));
      EXPECT_EQ(TPoint(X, Y), TPoint(30, 700));
    };
    tray->OnMouseUp = [this](rtl::TObject*, cl::TMouseButton B, cl::TShiftState, int, int) {
      events.push_back(std::string("up") + "LRM"[B]);
    };
    tray->OnMouseMove = rec("move");
    tray->OnClick = rec("click");
    tray->OnDblClick = rec("dbl");
    tray->OnBalloonHintClick = rec("balloon");
  }
  void TearDown() override {
    if (tray && !tray->Destroyed()) tray->Free();
    h.Pump();
    shell::SetTrayBackend(nullptr);
    EXPECT_EQ(h.Leaks(), "");
    EXPECT_TRUE(h.exceptions.empty());
  }
  void Mouse(unsigned Msg) {
    fake.OnMouse(int(tray->Data().uID), Msg, 30, 700);
    h.Pump();
  }

  plat::test::Harness h;
  FakeTray fake;
  TbsTrayIcon* tray = nullptr;
  std::vector<std::string> events;
};

TEST_F(TrayIcon, ClicksAreToldApartFromDoubleClicksByTheDoubleClickTime) {
  const int T = int(win::GetDoubleClickTime());
  struct Step {
    unsigned Msg;  // 0: let time pass
    int Ms;
  };
  struct Case {
    const char* Name;
    std::vector<Step> Steps;
    std::vector<std::string> Before, After;  // events before and after the double-click time ran out
  };
  const Case Cases[] = {
      {"single click", {{win::WM_LBUTTONDOWN, 0}, {win::WM_LBUTTONUP, 0}}, {"downL", "upL"}, {"downL", "upL", "click"}},
      {"double click",
       {{win::WM_LBUTTONDOWN, 0}, {win::WM_LBUTTONUP, 0}, {win::WM_LBUTTONDBLCLK, 0}, {win::WM_LBUTTONUP, 0}},
       {"downL", "upL", "dbl", "upL"},
       {"downL", "upL", "dbl", "upL"}},
      {"long press", {{win::WM_LBUTTONDOWN, 0}, {0, T + 50}, {win::WM_LBUTTONUP, 0}}, {"downL", "click", "upL"}, {}},
      {"right and middle",
       {{win::WM_RBUTTONDOWN, 0},
        {win::WM_RBUTTONUP, 0},
        {win::WM_MBUTTONDOWN, 0},
        {win::WM_MBUTTONUP, 0},
        {win::WM_MOUSEMOVE, 0},
        {NIN_BALLOONUSERCLICK, 0}},
       {"downR", "upR", "downM", "upM", "move", "balloon"},
       {}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    events.clear();
    for (const Step& S : C.Steps)
      if (S.Msg)
        Mouse(S.Msg);
      else
        h.Advance(S.Ms);
    EXPECT_EQ(events, C.Before);
    h.Advance(T + 50);
    EXPECT_EQ(events, C.After.empty() ? C.Before : C.After);
  }
  // Disabled: nothing is reported, but the icon can still be shown and changed.
  tray->Enabled = false;
  RecordingMenu* Menu = new RecordingMenu(tray);
  tray->SetPopupMenu(Menu);
  events.clear();
  for (unsigned M :
       {win::WM_LBUTTONDOWN, win::WM_LBUTTONUP, win::WM_RBUTTONDOWN, win::WM_RBUTTONUP, unsigned(NIN_BALLOONUSERCLICK)})
    Mouse(M);
  h.Advance(T + 50);
  EXPECT_TRUE(events.empty());
  EXPECT_TRUE(Menu->popups.empty());
  fake.ops.clear();
  tray->SetIconVisible(true);
  tray->SetHint("tip");
  tray->SetIconVisible(false);
  EXPECT_EQ(fake.ops, (std::vector<std::string>{"add", "modify", "delete"}));
}

TEST_F(TrayIcon, TheMenuPopsUpAtThePointerAndADoubleClickRunsTheDefaultItem) {
  RecordingMenu* Menu = new RecordingMenu(tray);
  std::vector<int> Clicked;
  for (int I = 0; I < 3; ++I) {
    auto* It = new cl::TMenuItem(Menu);
    It->Default = I > 0;
    It->OnClick = [&Clicked, I](rtl::TObject*) { Clicked.push_back(I); };
    Menu->Items()->Add(It);
  }
  tray->SetPopupMenu(Menu);
  Menu->AutoPopup = false;
  Mouse(win::WM_RBUTTONDOWN);
  Mouse(win::WM_RBUTTONUP);
  EXPECT_EQ(events, (std::vector<std::string>{"downR", "upR"}));
  EXPECT_TRUE(Menu->popups.empty());
  Menu->AutoPopup = true;
  Mouse(win::WM_RBUTTONDOWN);
  ASSERT_EQ(Menu->popups.size(), 1u);
  EXPECT_EQ(Menu->popups[0], TPoint(30, 700));
  EXPECT_EQ(Menu->PopupComponent, tray);
  Mouse(win::WM_LBUTTONDOWN);
  Mouse(win::WM_LBUTTONUP);
  Mouse(win::WM_LBUTTONDBLCLK);
  EXPECT_EQ(Clicked, std::vector<int>{1});
  // With the left button opening the menu, a double click runs nothing.
  tray->PopupByLeftButton = true;
  Mouse(win::WM_LBUTTONDOWN);
  EXPECT_EQ(Menu->popups.size(), 2u);
  Mouse(win::WM_LBUTTONDBLCLK);
  EXPECT_EQ(Clicked, std::vector<int>{1});
}

TEST_F(TrayIcon, AnimationStepsThroughTheFramesAndTheIndexIsClamped) {
  auto* List = new cl::TCustomImageList(tray);
  List->SetSize(16, 16);
  for (gfx::TColor C : {gfx::clRed, gfx::clLime, gfx::clBlue, gfx::clYellow, gfx::clWhite}) {
    gfx::TBitmap B;
    B.SetSize(16, 16);
    B.Canvas()->Brush()->SetColor(C);
    B.Canvas()->FillRect({0, 0, 16, 16});
    List->Add(&B, nullptr);
  }
  tray->SetIconList(List);
  tray->SetIconIndex(10);
  EXPECT_EQ(tray->IconIndex(), 4);
  tray->SetIconIndex(-3);
  EXPECT_EQ(tray->IconIndex(), 0);
  while (List->Count() > 3) List->Delete(List->Count() - 1);
  std::vector<int> Cycled, Shown;
  tray->OnCycle = [&](rtl::TObject*, int Next) { Cycled.push_back(Next); };
  tray->SetAnimateTimerInterval(100);
  tray->SetCycleIcons(true);
  for (int I = 0; I < 4; ++I) {
    h.Advance(100);
    Shown.push_back(tray->IconIndex());
  }
  EXPECT_EQ(Shown, (std::vector<int>{1, 2, 0, 1}));
  EXPECT_EQ(Cycled, (std::vector<int>{1, 2, 0, 1}));
  tray->SetCycleIcons(false);
  h.Advance(500);
  EXPECT_EQ(tray->IconIndex(), 1);
}

TEST_F(TrayIcon, TextsAreCutToTheShellsLimits) {
  std::string Long;
  for (int I = 0; I < 300; ++I) Long += "转";
  tray->SetHint(Long);
  tray->SetIconVisible(true);
  EXPECT_EQ(fake.tips.back(), CutUtf8(Long, 127));
  EXPECT_EQ(fake.tips.back().size(), 127u * 3);
  tray->SetShowHint(false);
  EXPECT_EQ(fake.tips.back(), "");
  EXPECT_TRUE(tray->ShowBalloonHint(std::string(80, 't'), Long, bsbitWarning));
  ASSERT_EQ(fake.balloons.size(), 1u);
  EXPECT_EQ(fake.balloons[0].first, std::string(63, 't'));
  EXPECT_EQ(fake.balloons[0].second, CutUtf8(Long, 255));
  EXPECT_EQ(tray->Data().dwInfoFlags, 2u);
  EXPECT_EQ(tray->Data().uFlags, 7u);
  EXPECT_EQ(tray->Data().cbSize, 956u);
  EXPECT_EQ(tray->Data().uCallbackMessage, 2048u);
  EXPECT_EQ(CutUtf8("ab", 5), "ab");
}

TEST_F(TrayIcon, AfterTheShellRestartsOnlyAVisibleIconComesBack) {
  win::UINT Restart = win::RegisterWindowMessage("TaskbarCreated");
  for (bool Visible : {true, false}) {
    tray->SetIconVisible(Visible);
    fake.ops.clear();
    win::PostMessage(tray->Handle(), Restart, 0, 0);
    h.Pump();
    EXPECT_EQ(fake.ops, Visible ? std::vector<std::string>{"add"} : std::vector<std::string>{}) << Visible;
  }
}

TEST_F(TrayIcon, MinimizingHidesTheMainFormToTheIconAndShowMainFormBringsItBack) {
  cl::TForm* Main = nullptr;
  cl::Application->CreateForm(Main);
  Main->SetBounds(10, 10, 200, 100);
  auto* T = new TbsTrayIcon(Main);
  T->SetIconVisible(false);
  Main->Show();
  h.Pump();
  fake.ops.clear();
  Main->SetWindowState(cl::wsMinimized);
  h.Pump();
  EXPECT_FALSE(Main->Visible());
  EXPECT_EQ(Main->Tag, -10000);
  EXPECT_TRUE(T->IconVisible());
  EXPECT_EQ(fake.ops, std::vector<std::string>{"add"});
  plat::test::MessageLog Log(Main->Handle(), {WM_TRAY_RESTORED});
  T->ShowMainForm();
  h.Pump();
  EXPECT_TRUE(Main->Visible());
  EXPECT_EQ(Main->WindowState(), cl::wsNormal);
  EXPECT_EQ(Log.Count(WM_TRAY_RESTORED), 1u);
  // Not wanted: minimizing stays minimizing.
  T->MinimizeToTray = false;
  Main->SetWindowState(cl::wsMinimized);
  h.Pump();
  EXPECT_TRUE(Main->Visible());
  T->Free();
  cl::ResetApplication();
}

}  // namespace
