// Window objects: handles, tree, destruction order, procedure chains and the
// geometry message sequence.
#include "platform/testkit/harness.h"

#include <gtest/gtest.h>

using namespace win;
using plat::test::Harness;
using plat::test::MessageLog;

static_assert(CM_INVALIDATE == 45108);
static_assert(CN_BASE == 0xBC00 && WM_USER == 0x400);

namespace {

HWND Top(int x = 100, int y = 100, int w = 200, int h = 150, uint32_t style = WS_POPUP) {
  return CreateWindowEx(0, "Plain", "", style, x, y, w, h, nullptr);
}
HWND Child(HWND parent, int x, int y, int w, int h, uint32_t ex = 0) {
  return CreateWindowEx(ex, "Plain", "", WS_CHILD | WS_VISIBLE, x, y, w, h, parent);
}

TEST(Window, StaleHandlesFailEveryLookup) {
  Harness h;
  size_t base = LiveWindowCount();
  HWND a = Top();
  ASSERT_TRUE(IsWindow(a));
  EXPECT_EQ(LiveWindowCount(), base + 1);
  DestroyWindow(a);
  EXPECT_FALSE(IsWindow(a));
  EXPECT_EQ(LiveWindowCount(), base);
  EXPECT_EQ(SendMessage(a, WM_GETTEXTLENGTH), 0);
  EXPECT_FALSE(PostMessage(a, WM_USER));
  // A new window never gets the old value back, even in the same slot.
  for (int i = 0; i < 2000; i++) {
    HWND b = Top();
    ASSERT_NE(b, a);
    DestroyWindow(b);
  }
}

TEST(Window, DestroyOrderAndParentNotify) {
  Harness h;
  HWND top = Top();
  HWND mid = Child(top, 0, 0, 50, 50);
  HWND leaf = Child(mid, 0, 0, 10, 10);
  std::vector<std::string> log;
  auto rec = [&](HWND w, const char* name) {
    SubclassWindow(w, [&, name](TMessage& m, const std::function<LRESULT(TMessage&)>& prev) {
      if (m.Msg == WM_DESTROY || m.Msg == WM_NCDESTROY)
        log.push_back(std::string(name) + (m.Msg == WM_DESTROY ? ".destroy" : ".ncdestroy"));
      if (m.Msg == WM_PARENTNOTIFY && LOWORD(m.WParam) == WM_DESTROY) log.push_back(std::string(name) + ".notify");
      prev(m);
    });
  };
  rec(top, "top");
  rec(mid, "mid");
  rec(leaf, "leaf");
  DestroyWindow(mid);
  EXPECT_EQ(log,
            (std::vector<std::string>{"top.notify", "mid.destroy", "leaf.destroy", "leaf.ncdestroy", "mid.ncdestroy"}));
  EXPECT_FALSE(IsWindow(leaf));
  EXPECT_TRUE(IsWindow(top));
  DestroyWindow(top);
}

TEST(Window, ParentDestroyingItselfOnAChildsDestroyNoticeIsSafe) {
  Harness h;
  size_t base = LiveWindowCount();
  HWND top = Top();
  HWND mid = Child(top, 0, 0, 50, 50);
  HWND leaf = Child(mid, 0, 0, 10, 10);
  SubclassWindow(mid, [&](TMessage& m, const std::function<LRESULT(TMessage&)>& prev) {
    if (m.Msg == WM_PARENTNOTIFY && LOWORD(m.WParam) == WM_DESTROY) DestroyWindow(mid);
    prev(m);
  });
  EXPECT_TRUE(DestroyWindow(leaf));
  EXPECT_FALSE(IsWindow(leaf));
  EXPECT_FALSE(IsWindow(mid));
  DestroyWindow(top);
  EXPECT_EQ(LiveWindowCount(), base);
}

TEST(Window, TreeAndZOrder) {
  Harness h;
  HWND top = Top();
  HWND a = Child(top, 0, 0, 10, 10), b = Child(top, 0, 0, 10, 10), c = Child(top, 0, 0, 10, 10);
  EXPECT_EQ(GetWindow(top, GW_CHILD), c);  // newest on top
  EXPECT_EQ(GetWindow(c, GW_HWNDNEXT), b);
  EXPECT_EQ(GetWindow(b, GW_HWNDNEXT), a);
  EXPECT_EQ(GetWindow(a, GW_HWNDNEXT), HWND());
  SetWindowPos(a, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  EXPECT_EQ(GetWindow(top, GW_CHILD), a);
  EXPECT_EQ(GetParent(a), top);
  EXPECT_TRUE(IsChild(top, a));
  EXPECT_EQ(GetAncestor(a, GA_ROOT), top);
  HWND other = Top();
  SetParent(b, other);
  EXPECT_EQ(GetParent(b), other);
  EXPECT_FALSE(IsChild(top, b));
  EXPECT_EQ(GetClassName(a), "Plain");
  DestroyWindow(top);
  DestroyWindow(other);
}

TEST(Window, SubclassChainSplicesAndRewrites) {
  Harness h;
  HWND w = Top();
  std::string trace;
  auto add = [&](char tag) {
    return SubclassWindow(w, [&, tag](TMessage& m, const std::function<LRESULT(TMessage&)>& prev) {
      if (m.Msg != WM_USER) {
        prev(m);
        return;
      }
      trace += tag;
      if (tag == 'b') m.WParam += 10;  // rewrite before passing on
      prev(m);
      if (tag == 'c') m.Result += 1;  // act after
    });
  };
  SetWindowLong(w, GWL_WNDPROC, LONG_PTR(MakeWndProc([&](HWND, UINT m, WPARAM wp, LPARAM) -> LRESULT {
                                           if (m == WM_USER) trace += "base";
                                           return LRESULT(wp);
                                         }).v));
  int a = add('a');
  int b = add('b');
  add('c');
  EXPECT_EQ(SendMessage(w, WM_USER, 1), 12);
  EXPECT_EQ(trace, "cbabase");
  // Removing one that is not on top keeps the newer ones.
  EXPECT_TRUE(RemoveSubclass(w, b));
  trace.clear();
  EXPECT_EQ(SendMessage(w, WM_USER, 1), 2);
  EXPECT_EQ(trace, "cabase");
  EXPECT_TRUE(RemoveSubclass(w, a));
  EXPECT_FALSE(RemoveSubclass(w, a));
  DestroyWindow(w);
}

TEST(Window, WndProcReplacementChainsWithCallWindowProc) {
  Harness h;
  HWND w = Top();
  WNDPROC old;
  std::vector<UINT> seen;
  WNDPROC mine = MakeWndProc([&](HWND hw, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
    if (m == WM_SETTEXT) seen.push_back(m);
    return CallWindowProc(old, hw, m, wp, lp);
  });
  old = WNDPROC(uint32_t(SetWindowLong(w, GWL_WNDPROC, LONG_PTR(mine.v))));
  EXPECT_EQ(old, DefWindowProcId());
  SetWindowText(w, "hello");
  EXPECT_EQ(GetWindowText(w), "hello");
  EXPECT_EQ(seen.size(), 1u);
  SetWindowLong(w, GWL_WNDPROC, LONG_PTR(old.v));
  FreeWndProc(mine);
  DestroyWindow(w);
}

TEST(Window, SizeChangeSequenceIsSynchronousAndAdjustable) {
  Harness h;
  HWND top = Top();
  HWND c = Child(top, 10, 10, 50, 20);
  // The receiver widens the proposed size and swallows the message.
  SubclassWindow(c, [](TMessage& m, const std::function<LRESULT(TMessage&)>& prev) {
    if (m.Msg == WM_WINDOWPOSCHANGING) {
      reinterpret_cast<WINDOWPOS*>(m.LParam)->cx += 25;
      return;
    }
    prev(m);
  });
  MessageLog log(c, {WM_WINDOWPOSCHANGING, WM_NCCALCSIZE, WM_WINDOWPOSCHANGED, WM_MOVE, WM_SIZE});
  SetWindowPos(c, nullptr, 20, 30, 60, 20, SWP_NOZORDER);
  EXPECT_EQ(log.Names(), (std::vector<std::string>{"WM_WINDOWPOSCHANGING", "WM_NCCALCSIZE", "WM_WINDOWPOSCHANGED",
                                                   "WM_MOVE", "WM_SIZE"}));
  TRect r = WindowBounds(c);
  EXPECT_EQ(r.Left, 20);
  EXPECT_EQ(r.Width(), 85);
  DestroyWindow(top);
}

TEST(Window, NonClientDefaultsByStyle) {
  Harness h;
  struct Case {
    uint32_t style, ex;
    TRect client;  // in window coordinates
  } cases[] = {
      {WS_CHILD, 0, {0, 0, 100, 80}},
      {WS_CHILD | WS_BORDER, 0, {1, 1, 99, 79}},
      {WS_CHILD, WS_EX_CLIENTEDGE, {2, 2, 98, 78}},
      {WS_CHILD | WS_BORDER, WS_EX_CLIENTEDGE, {3, 3, 97, 77}},
  };
  HWND top = Top(0, 0, 300, 300);
  for (auto& c : cases) {
    HWND w = CreateWindowEx(c.ex, "Plain", "", c.style, 0, 0, 100, 80, top);
    EXPECT_EQ(ClientInWindow(w), c.client) << c.style << " " << c.ex;
    DestroyWindow(w);
  }
  HWND framed = CreateWindowEx(0, "Plain", "T", WS_CAPTION | WS_THICKFRAME, 0, 0, 200, 100, nullptr);
  EXPECT_EQ(ClientInWindow(framed), (TRect{3, 22, 197, 97}));
  DestroyWindow(framed);
  DestroyWindow(top);
}

}  // namespace

// Ported code reaches both halves of the facade with one using-directive.
#include "plat/win32.h"

namespace {
TEST(Facade, WindowAndPixelNamesTogether) {
  using namespace w32;
  Harness h;
  HWND w = CreateWindowEx(0, "Plain", "", WS_POPUP | WS_VISIBLE, 0, 0, 20, 20, nullptr);
  HDC dc = GetDC(w);
  RECT r{0, 0, 20, 20};
  HBRUSH b = CreateSolidBrush(RGB(1, 2, 3));
  FillRect(dc, &r, b);
  DeleteObject(b);
  ReleaseDC(w, dc);
  EXPECT_EQ(h.Pixel(w, 3, 3), 0x010203u);
  EXPECT_EQ(SendMessage(w, WM_GETTEXTLENGTH), 0);
  DestroyWindow(w);
}
}  // namespace

#include "platform/win/metrics.h"

namespace {
TEST(Metrics, ScreensAndNearestMonitor) {
  Harness h;
  SetScreens({{{0, 0, 1024, 768}, {0, 0, 1024, 740}}, {{1024, 0, 1924, 600}, {1024, 0, 1924, 600}}});
  struct Case {
    POINT p;
    uint32_t monitor;
  } cases[] = {{{10, 10}, 1}, {{1500, 10}, 2}, {{1500, 700}, 2}, {{-50, 300}, 1}, {{3000, -20}, 2}};
  for (auto& c : cases) EXPECT_EQ(MonitorFromPoint(c.p, MONITOR_DEFAULTTONEAREST).v, c.monitor) << c.p.X;
  EXPECT_FALSE(MonitorFromPoint({-50, 300}, MONITOR_DEFAULTTONULL));
  MONITORINFO mi;
  ASSERT_TRUE(GetMonitorInfo(HMONITOR{1}, &mi));
  EXPECT_EQ(mi.rcWork, (RECT{0, 0, 1024, 740}));
  EXPECT_EQ(mi.dwFlags, MONITORINFOF_PRIMARY);
  RECT wa;
  SystemParametersInfo(SPI_GETWORKAREA, 0, &wa, 0);
  EXPECT_EQ(wa.Bottom, 740);
  EXPECT_EQ(GetSystemMetrics(SM_CMONITORS), 2);
  HWND w = CreateWindowEx(0, "Plain", "", WS_POPUP, 1100, 100, 300, 200, nullptr);
  EXPECT_EQ(MonitorFromWindow(w, MONITOR_DEFAULTTONEAREST).v, 2u);
  DestroyWindow(w);
  SetScreens({});
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
}
}  // namespace

namespace {
// The numbers the skin library gives its own messages must not collide with
// any message the layer defines.
TEST(Messages, LibraryNumbersCollideWithNoLayerMessage) {
  std::vector<UINT> layer = {CM_ACTIVATE,
                             CM_DEACTIVATE,
                             CM_GOTFOCUS,
                             CM_LOSTFOCUS,
                             CM_CANCELMODE,
                             CM_DIALOGKEY,
                             CM_DIALOGCHAR,
                             CM_FOCUSCHANGED,
                             CM_PARENTFONTCHANGED,
                             CM_PARENTCOLORCHANGED,
                             CM_HITTEST,
                             CM_VISIBLECHANGED,
                             CM_ENABLEDCHANGED,
                             CM_COLORCHANGED,
                             CM_FONTCHANGED,
                             CM_CURSORCHANGED,
                             CM_TEXTCHANGED,
                             CM_MOUSEENTER,
                             CM_MOUSELEAVE,
                             CM_MENUCHANGED,
                             CM_APPKEYDOWN,
                             CM_APPSYSCOMMAND,
                             CM_BUTTONPRESSED,
                             CM_SHOWINGCHANGED,
                             CM_ENTER,
                             CM_EXIT,
                             CM_ICONCHANGED,
                             CM_WANTSPECIALKEY,
                             CM_RELEASE,
                             CM_SHOWHINTCHANGED,
                             CM_PARENTSHOWHINTCHANGED,
                             CM_SYSCOLORCHANGE,
                             CM_TABSTOPCHANGED,
                             CM_CONTROLLISTCHANGE,
                             CM_CHILDKEY,
                             CM_HINTSHOW,
                             CM_RECREATEWND,
                             CM_INVALIDATE,
                             CM_SYSFONTCHANGED,
                             CM_CONTROLCHANGE,
                             CM_CHANGED,
                             CM_BORDERCHANGED,
                             CM_MOUSEWHEEL,
                             CM_ISSHORTCUT,
                             CN_COMMAND,
                             CN_DRAWITEM,
                             CN_NOTIFY,
                             CN_KEYDOWN,
                             CN_KEYUP,
                             CN_CHAR,
                             CN_SYSKEYDOWN,
                             CN_SYSCHAR,
                             CN_CTLCOLOREDIT,
                             CN_CTLCOLORSTATIC,
                             CN_CTLCOLORBTN};
  std::vector<UINT> library = {1274, 1284, 1294, 48202, 48203};
  for (UINT m = 1225; m <= 1232; m++) library.push_back(m);
  for (UINT m = 1424; m <= 1427; m++) library.push_back(m);
  for (UINT m = 45490; m <= 45513; m++) library.push_back(m);
  for (UINT l : library) EXPECT_EQ(std::count(layer.begin(), layer.end(), l), 0) << l;
  EXPECT_EQ(CM_INVALIDATE, 45108u);
}
}  // namespace

namespace {
TEST(Window, ShowingReachesTheBackendWhicheverCallShows) {
  Harness h;
  HWND a = CreateWindowEx(0, "Plain", "", WS_POPUP, 0, 0, 50, 50, nullptr);
  HWND b = CreateWindowEx(0, "Plain", "", WS_POPUP, 0, 0, 50, 50, nullptr);
  h.Backend().calls.clear();
  ShowWindow(a, SW_SHOWNA);
  SetWindowPos(b, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
  EXPECT_EQ(GetActiveWindow(), b);
  SetWindowPos(b, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_HIDEWINDOW);
  auto& c = h.Backend().calls;
  EXPECT_NE(std::find(c.begin(), c.end(), "Show 1 activate=0"), c.end());
  EXPECT_NE(std::find(c.begin(), c.end(), "Show 2 activate=1"), c.end());
  EXPECT_NE(std::find(c.begin(), c.end(), "Hide 2"), c.end());
  DestroyWindow(a);
  DestroyWindow(b);
}
}  // namespace
