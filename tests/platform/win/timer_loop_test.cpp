// Timers on the manual clock, queue order, hooks, modal frames and the safety
// of windows and timers destroyed inside their own handlers.
#include "platform/testkit/harness.h"

#include <gtest/gtest.h>

#include "platform/rtl/dispatcher.h"

#include <atomic>
#include <thread>

using namespace win;
using plat::test::Harness;
using plat::test::MessageLog;

namespace {

HWND Popup() { return CreateWindowEx(0, "Plain", "", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr); }

TEST(Timers, FireInDeadlineOrderAndRestartWhenSetAgain) {
  Harness h;
  HWND w = Popup();
  std::vector<std::pair<int64_t, uintptr_t>> ticks;
  int64_t t0 = h.Clock().NowMs();
  SubclassWindow(w, [&](TMessage& m, const std::function<LRESULT(TMessage&)>& prev) {
    if (m.Msg == WM_TIMER) ticks.push_back({h.Clock().NowMs() - t0, m.WParam});
    prev(m);
  });
  SetTimer(w, 1, 100);
  SetTimer(w, 2, 250);
  h.Advance(60);
  SetTimer(w, 1, 100);  // restart: next tick at 160
  h.Advance(300);
  using P = std::pair<int64_t, uintptr_t>;
  EXPECT_EQ(ticks, (std::vector<P>{{160, 1}, {250, 2}, {260, 1}, {360, 1}}));
  DestroyWindow(w);
}

TEST(Timers, CoalescedAndLowPriority) {
  Harness h;
  HWND w = Popup();
  h.Pump();
  MessageLog log(w, {WM_TIMER, WM_USER});
  SetTimer(w, 7, 10);
  h.Clock().Advance(1000);  // a hundred periods pass without pumping
  PostMessage(w, WM_USER);
  h.Pump();
  EXPECT_EQ(log.Names(), (std::vector<std::string>{std::to_string(WM_USER), "WM_TIMER"}));
  DestroyWindow(w);
}

TEST(Timers, AFilteredPeekLeavesOtherWindowsTicksPending) {
  Harness h;
  HWND a = Popup(), b = Popup();
  h.Pump();
  MessageLog la(a, {WM_TIMER});
  SetTimer(a, 1, 10);
  SetTimer(b, 2, 20);
  h.Clock().Advance(25);
  MSG m;
  // Looking only at b's messages, or only at mouse messages, takes nothing of a's.
  ASSERT_TRUE(PeekMessage(&m, b, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, UINT(WM_TIMER));
  EXPECT_EQ(m.wParam, 2u);
  EXPECT_FALSE(PeekMessage(&m, b, 0, 0, PM_REMOVE));
  EXPECT_FALSE(PeekMessage(&m, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_REMOVE));
  h.Pump();
  EXPECT_EQ(la.Names(), (std::vector<std::string>{"WM_TIMER"}));
  DestroyWindow(a);
  DestroyWindow(b);
}

TEST(Loop, ALookWithAFilterSeesOnlyWhatItAdmits) {
  Harness h;
  HWND a = Popup(), b = Popup();
  h.Pump();
  SetTimer(a, 4, 10);
  h.Clock().Advance(25);
  MSG m;
  // "Is a key waiting?" must not answer yes for a due tick.
  EXPECT_FALSE(PeekMessage(&m, nullptr, WM_KEYDOWN, WM_CHAR, PM_NOREMOVE));
  EXPECT_FALSE(PeekMessage(&m, b, 0, 0, PM_NOREMOVE));
  ASSERT_TRUE(PeekMessage(&m, a, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.message, UINT(WM_TIMER));
  EXPECT_EQ(m.hwnd, a);
  EXPECT_EQ(m.wParam, 4u);
  // Looking left it queued.
  ASSERT_TRUE(PeekMessage(&m, a, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.wParam, 4u);
  // Nor does a queued worker call, which stands as WM_NULL.
  bool ran = false;
  std::thread([&] { rtl::Post([&] { ran = true; }); }).join();
  EXPECT_FALSE(PeekMessage(&m, nullptr, WM_KEYDOWN, WM_CHAR, PM_REMOVE));
  EXPECT_FALSE(ran);
  ASSERT_TRUE(PeekMessage(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, UINT(WM_NULL));
  EXPECT_TRUE(ran);
  DestroyWindow(a);
  DestroyWindow(b);
}

TEST(Timers, KillingTheTimerOrItsWindowInsideTheTickIsSafe) {
  Harness h;
  int ticks = 0;
  HWND w = Popup();
  SubclassWindow(w, [&](TMessage& m, const std::function<LRESULT(TMessage&)>& prev) {
    if (m.Msg == WM_TIMER) {
      ticks++;
      KillTimer(w, 1);
      DestroyWindow(w);
      SetTimer(w, 2, 5);  // refused: the window is gone
    }
    prev(m);
  });
  SetTimer(w, 1, 10);
  SetTimer(w, 3, 10);
  h.Advance(100);
  EXPECT_EQ(ticks, 1);
  EXPECT_FALSE(IsWindow(w));
  EXPECT_EQ(NextTimerDue(), -1);
}

TEST(Loop, AFilteredPeekFindsThePaintOfItsOwnWindow) {
  Harness h;
  HWND a = Popup(), b = Popup();
  h.Pump();
  InvalidateRect(a, nullptr, FALSE);
  InvalidateRect(b, nullptr, FALSE);
  MSG m;
  // a comes first in the paint order, yet asking for b's paint finds it.
  ASSERT_TRUE(PeekMessage(&m, b, WM_PAINT, WM_PAINT, PM_REMOVE));
  EXPECT_EQ(m.hwnd, b);
  EXPECT_EQ(m.message, UINT(WM_PAINT));
  DestroyWindow(a);
  DestroyWindow(b);
}

TEST(Loop, RetrievalOrderAndDroppedPosts) {
  Harness h;
  HWND a = Popup(), b = Popup();
  h.Pump();
  MessageLog la(a, {WM_USER, WM_PAINT, WM_TIMER});
  SetTimer(a, 1, 1);
  h.Clock().Advance(5);
  InvalidateRect(a, nullptr, FALSE);
  PostMessage(a, WM_USER);
  PostMessage(b, WM_USER);
  DestroyWindow(b);  // its post is dropped
  std::thread worker([a] { PostMessage(a, WM_USER, 2); });
  worker.join();
  h.Pump();
  KillTimer(a, 1);
  EXPECT_EQ(la.Names(),
            (std::vector<std::string>{std::to_string(WM_USER), std::to_string(WM_USER), "WM_PAINT", "WM_TIMER"}));
  DestroyWindow(a);
}

TEST(Loop, HookChainInterleavedInstallAndRemove) {
  Harness h;
  HWND w = Popup();
  h.Pump();
  std::string trace;
  auto hook = [&](char tag, bool eat) {
    return AddPreDispatchHook([&trace, tag, eat](MSG& m, bool& handled) {
      if (m.message != WM_USER) return;
      trace += tag;
      if (eat) {
        m.message = 0;
        handled = true;
      }
    });
  };
  int a = hook('a', false), b = hook('b', false), c = hook('c', false);
  MessageLog log(w, {WM_USER});
  PostMessage(w, WM_USER);
  h.Pump();
  EXPECT_EQ(trace, "cba");
  RemovePreDispatchHook(b);
  int d = hook('d', true);
  trace.clear();
  PostMessage(w, WM_USER);
  h.Pump();
  EXPECT_EQ(trace, "d");
  EXPECT_EQ(log.entries.size(), 1u);  // the second one was eaten
  RemovePreDispatchHook(d);
  RemovePreDispatchHook(a);
  trace.clear();
  PostMessage(w, WM_USER);
  h.Pump();
  EXPECT_EQ(trace, "c");
  RemovePreDispatchHook(c);
  DestroyWindow(w);
}

TEST(Loop, ModalFramesNestAndEndOnTheirPredicate) {
  Harness h;
  HWND w = Popup();
  std::vector<std::string> trace;
  bool innerDone = false, outerDone = false;
  SubclassWindow(w, [&](TMessage& m, const std::function<LRESULT(TMessage&)>& prev) {
    if (m.Msg == WM_USER) {
      trace.push_back("outer start " + std::to_string(ModalDepth()));
      PostMessage(w, WM_USER + 1);
      RunModalLoop(w, [&] { return innerDone; });
      trace.push_back("inner ended");
      outerDone = true;  // the outer frame ends after the inner one
    } else if (m.Msg == WM_USER + 1) {
      trace.push_back("in inner " + std::to_string(ModalDepth()));
      innerDone = true;
    }
    prev(m);
  });
  PostMessage(w, WM_USER);
  EXPECT_TRUE(RunModalLoop(w, [&] { return outerDone; }));
  EXPECT_EQ(trace, (std::vector<std::string>{"outer start 1", "in inner 2", "inner ended"}));
  EXPECT_EQ(ModalDepth(), 0);
  DestroyWindow(w);
}

TEST(Loop, WorkerCallsRunWhileTheLoopWaits) {
  Harness h;
  HWND w = Popup();
  h.Pump();
  std::atomic<bool> ran{false}, done{false};
  std::thread worker([&] {
    rtl::RunInMainThread([&] { ran = true; });
    PostMessage(w, WM_USER);
    done = true;
    WakeLoop();
  });
  MessageLog log(w, {WM_USER});
  RunModalLoop(w, [&] { return done.load() && log.entries.size() == 1; });
  worker.join();
  EXPECT_TRUE(ran);
  DestroyWindow(w);
}

TEST(Destruction, WindowDestroyedInItsOwnButtonUp) {
  Harness h;
  size_t base = h.LiveWindowCount();
  HWND top = Popup();
  HWND c = CreateWindowEx(0, "Plain", "", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, top);
  int after = 0;
  SubclassWindow(c, [&](TMessage& m, const std::function<LRESULT(TMessage&)>& prev) {
    if (m.Msg == WM_LBUTTONDOWN) SetCapture(c);
    if (m.Msg == WM_LBUTTONUP) {
      DestroyWindow(c);
      PostMessage(c, WM_USER);  // refused
      after++;
    }
    prev(m);  // returns into the destroyed window's chain
  });
  h.input.MoveTo(5, 5);
  h.input.Click();
  h.input.MoveTo(6, 6);
  EXPECT_EQ(after, 1);
  EXPECT_FALSE(IsWindow(c));
  EXPECT_EQ(GetCapture(), HWND());
  DestroyWindow(top);
  EXPECT_EQ(h.LiveWindowCount(), base);
}

}  // namespace
