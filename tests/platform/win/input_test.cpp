// Input routing: non-client hit codes, capture, parent notification, double
// clicks, leave tracking, focus and activation.
#include "platform/testkit/harness.h"
#include "platform/win/cursor.h"

#include <gtest/gtest.h>

using namespace win;
using plat::test::Harness;
using plat::test::MessageLog;

namespace {

HWND Framed(int x, int y, int w, int h, uint32_t extra = 0) {
  return CreateWindowEx(0, "Plain", "F", WS_CAPTION | WS_SYSMENU | WS_VISIBLE | extra, x, y, w, h, nullptr);
}

TEST(Input, NonClientHitCodesRouteToNcMessages) {
  Harness h;
  HWND f = Framed(100, 100, 200, 100, WS_THICKFRAME);
  struct Case {
    int x, y;  // window coordinates
    int hit;
    UINT msg;
  } cases[] = {
      {100, 50, HTCLIENT, WM_LBUTTONDOWN},
      {100, 10, HTCAPTION, WM_NCLBUTTONDOWN},
      {1, 50, HTLEFT, WM_NCLBUTTONDOWN},
      {198, 50, HTRIGHT, WM_NCLBUTTONDOWN},
      {100, 98, HTBOTTOM, WM_NCLBUTTONDOWN},
      {1, 1, HTTOPLEFT, WM_NCLBUTTONDOWN},
      {198, 98, HTBOTTOMRIGHT, WM_NCLBUTTONDOWN},
      {187, 10, HTCLOSE, WM_NCLBUTTONDOWN},  // last: the release closes the window
  };
  for (auto& c : cases) {
    MessageLog log(f, {WM_LBUTTONDOWN, WM_NCLBUTTONDOWN});
    h.input.MoveTo(100 + c.x, 100 + c.y);
    // Caption and edges start the move/size loop, which reads the release itself.
    h.input.Later({plat::test::Input::ButtonEvent(false, 100 + c.x, 100 + c.y)});
    h.input.Press();
    h.Advance(600);  // no double clicks between cases
    ASSERT_EQ(log.entries.size(), 1u) << c.x << "," << c.y;
    EXPECT_EQ(log.entries[0].msg, c.msg) << c.x << "," << c.y;
    if (c.msg == WM_NCLBUTTONDOWN) {
      EXPECT_EQ(int(log.entries[0].wParam), c.hit) << c.x << "," << c.y;
    }
    // The default WM_SETCURSOR shows the sizing arrows on the edges.
    EXPECT_EQ(int(GetCursor().v), CursorForHitTest(c.hit)) << c.x << "," << c.y;
  }
  EXPECT_FALSE(IsWindow(f));  // the close box closed it
}

TEST(Input, CaptureTurnsFramePressesIntoClientMessages) {
  Harness h;
  HWND f = Framed(0, 0, 200, 100);
  MessageLog log(f, {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_NCLBUTTONDOWN, WM_NCLBUTTONUP, WM_MOUSEMOVE, WM_NCMOUSEMOVE});
  SetCapture(f);
  h.input.MoveTo(100, 10);  // over the caption
  h.input.Click();
  EXPECT_EQ(log.Names(), (std::vector<std::string>{"WM_MOUSEMOVE", "WM_LBUTTONDOWN", "WM_LBUTTONUP"}));
  // Client coordinates: the caption lies above the client area.
  EXPECT_EQ(GET_Y_LPARAM(log.entries[1].lParam), 10 - 22);
  ReleaseCapture();
  log.Clear();
  h.Advance(600);
  // Without capture the press goes to the caption, which runs the move loop.
  h.input.Later({plat::test::Input::ButtonEvent(false, 100, 10)});
  h.input.Press();
  EXPECT_EQ(log.Names(), (std::vector<std::string>{"WM_NCLBUTTONDOWN"}));
  DestroyWindow(f);
}

TEST(Input, PressInChildNotifiesEveryAncestor) {
  Harness h;
  HWND top = CreateWindowEx(0, "Plain", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr);
  HWND mid = CreateWindowEx(0, "Plain", "", WS_CHILD | WS_VISIBLE, 20, 20, 100, 100, top);
  HWND leaf = CreateWindowEx(0, "Plain", "", WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, mid);
  MessageLog lt(top, {WM_PARENTNOTIFY}), lm(mid, {WM_PARENTNOTIFY}), ll(leaf, {WM_LBUTTONDOWN});
  h.input.MoveTo(35, 35);
  h.input.Click();
  ASSERT_EQ(lt.entries.size(), 1u);
  ASSERT_EQ(lm.entries.size(), 1u);
  EXPECT_EQ(LOWORD(lt.entries[0].wParam), WM_LBUTTONDOWN);
  EXPECT_EQ(GET_X_LPARAM(lt.entries[0].lParam), 35);  // in the receiver's client coordinates
  EXPECT_EQ(GET_X_LPARAM(lm.entries[0].lParam), 15);
  EXPECT_EQ(ll.entries.size(), 1u);
  DestroyWindow(top);
}

TEST(Input, AncestorDestroyingThePressedChildInItsNotifyIsSafe) {
  Harness h;
  HWND top = CreateWindowEx(0, "Plain", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 200, nullptr);
  HWND mid = CreateWindowEx(0, "Plain", "", WS_CHILD | WS_VISIBLE, 20, 20, 100, 100, top);
  HWND leaf = CreateWindowEx(0, "Plain", "", WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, mid);
  MessageLog lt(top, {WM_PARENTNOTIFY});
  // A container that drops an in-place child when it is clicked.
  SubclassWindow(mid, [&](TMessage& m, const std::function<LRESULT(TMessage&)>& prev) {
    if (m.Msg == WM_PARENTNOTIFY && LOWORD(m.WParam) == WM_LBUTTONDOWN) DestroyWindow(leaf);
    prev(m);
  });
  h.input.MoveTo(35, 35);
  h.input.Click();
  EXPECT_FALSE(IsWindow(leaf));
  EXPECT_TRUE(IsWindow(mid));
  DestroyWindow(top);
}

TEST(Input, DoubleClicksNeedTheClassStyleAndTheTimeBox) {
  Harness h;
  WNDCLASS wc;
  wc.lpszClassName = "Dbl";
  wc.style = CS_DBLCLKS;
  RegisterClass(wc);
  HWND dbl = CreateWindowEx(0, "Dbl", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr);
  HWND plain = CreateWindowEx(0, "Plain", "", WS_POPUP | WS_VISIBLE, 200, 0, 100, 100, nullptr);
  struct Case {
    HWND w;
    int gapMs, dx;
    bool expectDbl;
  } cases[] = {
      {dbl, 100, 0, true}, {dbl, 100, 2, true}, {dbl, 100, 3, false}, {dbl, 501, 0, false}, {plain, 100, 0, false}};
  for (auto& c : cases) {
    MessageLog log(c.w, {WM_LBUTTONDBLCLK, WM_LBUTTONDOWN});
    h.input.MoveTo(c.w, 50, 50);
    h.input.Click();
    h.Advance(c.gapMs);
    h.input.MoveTo(c.w, 50 + c.dx, 50);
    h.input.Click();
    EXPECT_EQ(log.Count(WM_LBUTTONDBLCLK), c.expectDbl ? 1u : 0u) << c.gapMs << " " << c.dx;
    h.Advance(1000);
  }
  DestroyWindow(dbl);
  DestroyWindow(plain);
}

TEST(Input, CaptureTakenFromAPopupThatClosesOnLosingIt) {
  Harness h;
  // A drop-down closes itself when it loses the capture, here to its own list.
  HWND drop = CreateWindowEx(0, "Plain", "", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr);
  HWND list = CreateWindowEx(0, "Plain", "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, drop);
  SubclassWindow(drop, [&](TMessage& m, const std::function<LRESULT(TMessage&)>& prev) {
    if (m.Msg == WM_CAPTURECHANGED) DestroyWindow(drop);
    prev(m);
  });
  SetCapture(drop);
  SetCapture(list);
  EXPECT_FALSE(IsWindow(list));
  EXPECT_EQ(GetCapture(), HWND());
}

TEST(Input, LeaveTrackingKeepsWorkingUnderCapture) {
  Harness h;
  HWND top = CreateWindowEx(0, "Plain", "", WS_POPUP | WS_VISIBLE, 0, 0, 300, 100, nullptr);
  HWND a = CreateWindowEx(0, "Plain", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 100, top);
  std::vector<HWND> under;
  SetMouseTrackHook([&](HWND w, POINT) { under.push_back(w); });
  MessageLog log(a, {WM_MOUSELEAVE, WM_MOUSEMOVE});
  h.input.MoveTo(50, 50);
  TRACKMOUSEEVENT tme;
  tme.dwFlags = TME_LEAVE;
  tme.hwndTrack = a;
  TrackMouseEvent(&tme);
  SetCapture(a);
  h.input.MoveTo(200, 50);  // outside, still captured
  EXPECT_EQ(log.Names(), (std::vector<std::string>{"WM_MOUSEMOVE", "WM_MOUSELEAVE", "WM_MOUSEMOVE"}));
  ASSERT_GE(under.size(), 2u);
  EXPECT_EQ(under.back(), top);  // the physical window, not the capture
  ReleaseCapture();
  SetMouseTrackHook(nullptr);
  DestroyWindow(top);
}

TEST(Input, FocusMessagesAndActivationVeto) {
  Harness h;
  HWND f1 = Framed(0, 0, 100, 100), f2 = Framed(200, 0, 100, 100);
  HWND c1 = CreateWindowEx(0, "Plain", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, f1);
  h.Pump();
  ASSERT_EQ(GetActiveWindow(), f2);
  MessageLog l1(f1, {WM_NCACTIVATE, WM_ACTIVATE}), lc(c1, {WM_SETFOCUS, WM_KILLFOCUS});
  SetFocus(c1);  // activates f1 on the way
  EXPECT_EQ(GetActiveWindow(), f1);
  EXPECT_EQ(GetFocus(), c1);
  EXPECT_EQ(l1.Names(), (std::vector<std::string>{"WM_NCACTIVATE", "WM_ACTIVATE"}));
  // f1 refuses to give up its active look: activation stays.
  int id = SubclassWindow(f1, [](TMessage& m, const std::function<LRESULT(TMessage&)>& prev) {
    if (m.Msg == WM_NCACTIVATE && m.WParam == 0) {
      m.Result = 0;
      return;
    }
    prev(m);
  });
  SetActiveWindow(f2);
  EXPECT_EQ(GetActiveWindow(), f1);
  RemoveSubclass(f1, id);
  SetActiveWindow(f2);
  EXPECT_EQ(GetActiveWindow(), f2);
  EXPECT_EQ(lc.Names(), (std::vector<std::string>{"WM_SETFOCUS", "WM_KILLFOCUS"}));
  // A tool popup never takes activation or focus.
  HWND pop = CreateWindowEx(WS_EX_TOOLWINDOW, "Plain", "", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr);
  EXPECT_EQ(GetActiveWindow(), f2);
  SetFocus(pop);
  EXPECT_NE(GetFocus(), pop);
  h.input.MoveTo(5, 5);
  h.input.Click();
  EXPECT_EQ(GetActiveWindow(), f2);
  DestroyWindow(pop);
  DestroyWindow(f1);
  DestroyWindow(f2);
}

TEST(Input, KeysGoToTheFocusAndProduceCharacters) {
  Harness h;
  HWND f = Framed(0, 0, 100, 100);
  HWND c = CreateWindowEx(0, "Plain", "", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, f);
  SetFocus(c);
  MessageLog log(c, {WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_SYSKEYDOWN});
  h.input.Key('A');
  h.input.ImeCommit("视频");
  ASSERT_EQ(log.Names(), (std::vector<std::string>{"WM_KEYDOWN", "WM_CHAR", "WM_KEYUP", "WM_KEYDOWN", "WM_CHAR",
                                                   "WM_CHAR", "WM_KEYUP"}));
  EXPECT_EQ(log.entries[1].wParam, WPARAM('a'));
  EXPECT_EQ(log.entries[4].wParam, WPARAM(U'视'));
  EXPECT_EQ(log.entries[5].wParam, WPARAM(U'频'));
  // The wheel goes to the focus wherever the pointer is; a lone Alt tap asks
  // the active window for its menu.
  MessageLog wheel(c, {WM_MOUSEWHEEL}), menu(f, {WM_SYSCOMMAND});
  h.input.MoveTo(500, 500);
  h.input.Wheel(-120);
  ASSERT_EQ(wheel.entries.size(), 1u);
  EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel.entries[0].wParam), -120);
  h.input.AltTap();
  ASSERT_EQ(menu.entries.size(), 1u);
  EXPECT_EQ(menu.entries[0].wParam, WPARAM(SC_KEYMENU));
  // The context menu: from a right click at the pointer, from the keyboard at (-1,-1).
  MessageLog ctx(c, {WM_CONTEXTMENU});
  h.input.MoveTo(c, 3, 4);
  h.input.Click(MouseButton::Right);
  h.input.Key(VK_APPS);
  h.input.KeyDown(VK_SHIFT, "");
  h.input.Key(VK_F10);
  h.input.KeyUp(VK_SHIFT);
  ASSERT_EQ(ctx.entries.size(), 3u);
  POINT sp{3, 4};
  ClientToScreen(c, &sp);
  EXPECT_EQ(ctx.entries[0].lParam, MAKELPARAM(sp.X, sp.Y));
  EXPECT_EQ(ctx.entries[1].lParam, MAKELPARAM(-1, -1));
  EXPECT_EQ(ctx.entries[2].lParam, MAKELPARAM(-1, -1));
  DestroyWindow(f);
}

}  // namespace

namespace {
TEST(Stacking, ActivationRaisesAndOwnedWindowsStayAbove) {
  Harness h;
  HWND a = Framed(0, 0, 100, 100), b = Framed(50, 50, 100, 100);
  HWND pop = CreateWindowEx(WS_EX_TOOLWINDOW, "Plain", "", WS_POPUP | WS_VISIBLE, 60, 60, 20, 20, a);
  SetActiveWindow(a);
  SetActiveWindow(b);
  EXPECT_EQ(TopLevelWindows().back(), b);
  EXPECT_EQ(WindowFromPoint({70, 70}), b);
  h.input.MoveTo(10, 40);
  h.input.Click();  // activates a, which brings its popup along
  EXPECT_EQ(GetActiveWindow(), a);
  auto order = TopLevelWindows();
  ASSERT_EQ(order.size(), 3u);
  EXPECT_EQ(order[1], a);
  EXPECT_EQ(order[2], pop);
  EXPECT_EQ(WindowFromPoint({70, 70}), pop);
  // A click-through layered window is skipped by hit testing.
  SetWindowLong(pop, GWL_EXSTYLE, WS_EX_TOOLWINDOW | WS_EX_LAYERED | WS_EX_TRANSPARENT);
  EXPECT_EQ(WindowFromPoint({70, 70}), a);
  DestroyWindow(a);
  EXPECT_FALSE(IsWindow(pop));  // owned windows go with their owner
  DestroyWindow(b);
}
}  // namespace
