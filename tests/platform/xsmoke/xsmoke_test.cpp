// Smoke tests of the real X11 path: the demo forms in real windows under
// Xvfb (no window manager), driven by xdotool through XTEST and inspected
// with xwininfo. Run by ctest under xvfb-run.
#include "platform/gfx/region.h"
#include "platform/qt/qt_backend.h"
#include "platform/rtl/dispatcher.h"
#include "platform/testkit/harness.h"
#include "tools/platform_demo/DemoForms.h"

#include <QWindow>
#include <gtest/gtest.h>

#include <spawn.h>
#include <sys/wait.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <memory>

extern char** environ;

using namespace cl;
using namespace win;

namespace {

// Pumps the loop until `done` holds, for at most twenty seconds.
template <class F>
bool PumpUntil(F done) {
  auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!done()) {
    if (std::chrono::steady_clock::now() > limit) return false;
    MsgWaitForEvents(20);
    ProcessMessages();
  }
  return true;
}

pid_t Spawn(const std::vector<std::string>& argv) {
  std::vector<char*> args;
  for (auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawnp(&pid, args[0], nullptr, nullptr, args.data(), environ) != 0) return -1;
  return pid;
}

// Runs a tool while the loop keeps pumping (XTEST input needs a reader).
bool RunTool(const std::vector<std::string>& argv) {
  pid_t pid = Spawn(argv);
  if (pid < 0) return false;
  int status = 0;
  bool ended = PumpUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; });
  // A few more rounds: the last events may still be on their way.
  for (int i = 0; i < 5; i++) {
    MsgWaitForEvents(20);
    ProcessMessages();
  }
  return ended && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string Capture(const std::string& cmd) {
  std::string out;
  std::unique_ptr<FILE, int (*)(FILE*)> p(popen(cmd.c_str(), "r"), pclose);
  if (!p) return out;
  std::array<char, 512> buf;
  while (fgets(buf.data(), int(buf.size()), p.get())) out += buf.data();
  return out;
}

class XSmoke : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    setenv("QT_QPA_PLATFORM", "xcb", 1);
    plat::qt::QtBackend::Install();
  }
  void SetUp() override {
    ASSERT_TRUE(std::getenv("DISPLAY")) << "runs under xvfb-run";
    form = new demo::MainForm(nullptr);
    form->Show();
    QWindow* w = plat::qt::QtBackend::Install()->WindowOf(form->Handle());
    ASSERT_TRUE(w);
    ASSERT_TRUE(PumpUntil([&] { return w->isExposed() && GetActiveWindow() == form->Handle(); }));
    wid = std::to_string(w->winId());
  }
  void TearDown() override {
    if (!form->Destroyed()) form->Free();
    ProcessMessages();
  }
  POINT ScreenOf(TControl* c, int x, int y) { return c->ClientToScreen({x, y}); }
  demo::MainForm* form = nullptr;
  std::string wid;
};

TEST_F(XSmoke, DraggingTheSelfDrawnCaptionMovesTheForm) {
  RECT r;
  GetWindowRect(form->Handle(), &r);
  int x = r.Left + 60, y = r.Top + 10;  // inside the caption band
  ASSERT_TRUE(RunTool({"xdotool", "mousemove", std::to_string(x), std::to_string(y), "mousedown", "1", "mousemove",
                       std::to_string(x + 40), std::to_string(y + 30), "mousemove", std::to_string(x + 80),
                       std::to_string(y + 60), "mouseup", "1"}));
  EXPECT_TRUE(PumpUntil([&] { return form->Left() == r.Left + 80 && form->Top() == r.Top + 60; }))
      << form->Left() << "," << form->Top();
  auto& log = form->ncLog;
  EXPECT_NE(std::find(log.begin(), log.end(), "WM_MOVING"), log.end());
  EXPECT_NE(std::find(log.begin(), log.end(), "WM_EXITSIZEMOVE"), log.end());
  // The X window went there too.
  std::string info = Capture("xwininfo -id " + wid);
  EXPECT_NE(info.find("Absolute upper-left X:  " + std::to_string(r.Left + 80)), std::string::npos) << info;
  EXPECT_NE(info.find("Absolute upper-left Y:  " + std::to_string(r.Top + 60)), std::string::npos) << info;
}

TEST_F(XSmoke, AWindowRegionBecomesTheXShape) {
  gfx::HRGN a = gfx::CreateRectRgn(10, 10, 200, 120);
  gfx::HRGN b = gfx::CreateRectRgn(10, 120, 100, 180);
  gfx::CombineRgn(a, a, b, gfx::RGN_OR);
  gfx::DeleteObject(b);
  SetWindowRgn(form->Handle(), a, TRUE);
  std::string info;
  EXPECT_TRUE(PumpUntil([&] {
    info = Capture("xwininfo -shape -id " + wid);
    return info.find("190x170+10+10") != std::string::npos;
  })) << info;
}

TEST_F(XSmoke, ARightClickOpensAPopupThatLeavesTheFormActive) {
  form->ncLog.clear();
  POINT p = ScreenOf(form, 300, 220);
  ASSERT_TRUE(RunTool({"xdotool", "mousemove", std::to_string(p.X), std::to_string(p.Y), "click", "3"}));
  ASSERT_TRUE(PumpUntil([&] { return form->popup->Window() && form->popup->Window()->Visible(); }));
  // A click on the second item ("Save") runs it and closes the popup.
  RECT pr;
  GetWindowRect(form->popup->Window()->Handle(), &pr);
  ASSERT_TRUE(
      RunTool({"xdotool", "mousemove", std::to_string(pr.Left + 40), std::to_string(pr.Top + 30), "click", "1"}));
  EXPECT_TRUE(PumpUntil([&] { return form->chosen == form->popup->Items()->Items(1); }));
  EXPECT_EQ(GetActiveWindow(), form->Handle());
  auto& log = form->ncLog;
  EXPECT_EQ(std::find(log.begin(), log.end(), "WM_NCACTIVATE 0"), log.end());
  EXPECT_EQ(Capture("xdotool getwindowfocus"), wid + "\n");
}

TEST_F(XSmoke, AModalDialogBlocksTheFormAndEnterClosesIt) {
  plat::test::MessageLog typingClicks(form->typing->Handle(), {WM_LBUTTONDOWN});
  POINT onTyping = ScreenOf(form->typing, 20, 10);
  pid_t tool = -1;
  int result = -1;
  rtl::Post([&] {
    // Once the dialog has the focus: a click on the disabled form, then Enter.
    auto* d = new demo::DemoDialog(form);
    d->OnShow = [&, d](rtl::TObject*) {
      rtl::Post([&, d] {
        QWindow* w = plat::qt::QtBackend::Install()->WindowOf(d->Handle());
        PumpUntil([&] { return w && w->isExposed() && GetActiveWindow() == d->Handle(); });
        tool = Spawn({"xdotool", "mousemove", std::to_string(onTyping.X), std::to_string(onTyping.Y), "click", "1",
                      "sleep", "0.2", "key", "Return"});
      });
    };
    result = d->ShowModal();
    d->Free();
  });
  ASSERT_TRUE(PumpUntil([&] { return result != -1; }));
  EXPECT_EQ(result, mrOk);
  EXPECT_EQ(typingClicks.Count(WM_LBUTTONDOWN), 0u);
  int status;
  if (tool > 0) waitpid(tool, &status, 0);
  EXPECT_TRUE(PumpUntil([&] { return GetActiveWindow() == form->Handle(); }));
}

TEST_F(XSmoke, TypingReachesTheFocusedControl) {
  form->typing->SetFocus();
  form->typing->log.clear();
  ASSERT_TRUE(RunTool({"xdotool", "type", "--delay", "30", "ab"}));
  EXPECT_TRUE(PumpUntil([&] { return form->typing->typed.size() >= 2; }));
  auto& log = form->typing->log;
  std::vector<std::string> want = {"KEYDOWN 65", "CHAR a", "KEYDOWN 66", "CHAR b"};
  EXPECT_EQ(log, want);
}

TEST_F(XSmoke, ApplicationMinimizeAsksForTheIconicState) {
  demo::MainForm* main = nullptr;
  Application->CreateForm(main);
  main->Show();
  QWindow* w = plat::qt::QtBackend::Install()->WindowOf(main->Handle());
  ASSERT_TRUE(PumpUntil([&] { return w->isExposed(); }));
  Application->Minimize();
  EXPECT_TRUE(IsIconic(main->Handle()));
  EXPECT_FALSE(IsWindowVisible(form->Handle()));  // the other forms go with it
  EXPECT_TRUE(PumpUntil([&] { return bool(w->windowStates() & Qt::WindowMinimized); }));
  ResetApplication();
}

}  // namespace
