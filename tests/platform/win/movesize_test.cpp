// The move/size loop driven by injected input from inside the loop.
#include "platform/rtl/dispatcher.h"
#include "platform/testkit/harness.h"

#include <gtest/gtest.h>

using namespace win;
using plat::test::Harness;
using plat::test::MessageLog;

namespace {

using plat::test::Input;
void Script(std::vector<RawInput> events) {
  rtl::Post([events] {
    for (auto& e : events) DeliverInput(e);
  });
}
RawInput Move(int x, int y) { return Input::MoveEvent(x, y); }
RawInput Up(int x, int y) { return Input::ButtonEvent(false, x, y); }
RawInput Esc() { return Input::KeyEvent(true, VK_ESCAPE); }

TEST(MoveSize, CaptionDragMovesAndTheLoopEatsTheRelease) {
  Harness h;
  HWND f = CreateWindowEx(0, "Plain", "F", WS_CAPTION | WS_THICKFRAME | WS_VISIBLE, 100, 100, 200, 100, nullptr);
  MessageLog log(f, {WM_ENTERSIZEMOVE, WM_GETMINMAXINFO, WM_MOVING, WM_EXITSIZEMOVE, WM_LBUTTONUP, WM_NCLBUTTONUP});
  h.input.MoveTo(150, 110);
  Script({Move(170, 140), Move(180, 150), Up(180, 150)});
  h.input.Press();
  EXPECT_EQ(WindowBounds(f), (TRect{130, 140, 330, 240}));
  auto names = log.Names();
  ASSERT_GE(names.size(), 4u);
  EXPECT_EQ(names.front(), std::to_string(WM_ENTERSIZEMOVE));
  EXPECT_EQ(names[1], std::to_string(WM_GETMINMAXINFO));
  EXPECT_EQ(names.back(), std::to_string(WM_EXITSIZEMOVE));
  EXPECT_EQ(log.Count(WM_MOVING), 2u);
  EXPECT_EQ(log.Count(WM_LBUTTONUP) + log.Count(WM_NCLBUTTONUP), 0u);
  EXPECT_EQ(GetCapture(), HWND());
  // A child with a caption of its own moves inside its parent.
  HWND inner = CreateWindowEx(0, "Plain", "", WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, f);
  SubclassWindow(inner, [](TMessage& m, const std::function<LRESULT(TMessage&)>& prev) {
    if (m.Msg == WM_NCHITTEST) {
      m.Result = HTCAPTION;
      return;
    }
    prev(m);
  });
  h.Advance(600);
  POINT p{5, 5};
  ClientToScreen(inner, &p);
  h.input.MoveTo(p.X, p.Y);
  Script({Move(p.X + 7, p.Y + 3), Up(p.X + 7, p.Y + 3)});
  h.input.Press();
  EXPECT_EQ(WindowBounds(inner), (TRect{17, 13, 67, 63}));
  EXPECT_EQ(WindowBounds(f), (TRect{130, 140, 330, 240}));
  DestroyWindow(f);
}

TEST(MoveSize, SizingHonoursWmSizingAndTrackLimitsAndEscapeRestores) {
  Harness h;
  HWND f = CreateWindowEx(0, "Plain", "F", WS_CAPTION | WS_THICKFRAME | WS_VISIBLE, 100, 100, 200, 100, nullptr);
  SubclassWindow(f, [](TMessage& m, const std::function<LRESULT(TMessage&)>& prev) {
    if (m.Msg == WM_GETMINMAXINFO) {
      prev(m);
      reinterpret_cast<MINMAXINFO*>(m.LParam)->ptMinTrackSize = {150, 80};
      return;
    }
    if (m.Msg == WM_SIZING) {
      auto* r = reinterpret_cast<RECT*>(m.LParam);
      r->Right = r->Left + (r->Right - r->Left) / 10 * 10;  // snap the width to tens
    }
    prev(m);
  });
  // Bottom-right corner: +57 wide, then far too small.
  h.input.MoveTo(299, 199);
  Script({Move(356, 219), Up(356, 219)});
  h.input.Press();
  EXPECT_EQ(WindowBounds(f), (TRect{100, 100, 350, 220}));
  h.Advance(600);
  h.input.MoveTo(349, 219);
  Script({Move(200, 120), Up(200, 120)});
  h.input.Press();
  EXPECT_EQ(WindowBounds(f), (TRect{100, 100, 250, 180}));
  // A child answering a sizing code sizes the top-level; Escape puts it back.
  HWND grip = CreateWindowEx(0, "Plain", "", WS_CHILD | WS_VISIBLE, 120, 30, 20, 20, f);
  SubclassWindow(grip, [](TMessage& m, const std::function<LRESULT(TMessage&)>& prev) {
    if (m.Msg == WM_NCHITTEST) {
      m.Result = HTBOTTOMRIGHT;
      return;
    }
    prev(m);
  });
  h.Advance(600);
  POINT p{5, 5};
  ClientToScreen(grip, &p);
  h.input.MoveTo(p.X, p.Y);
  Script({Move(p.X + 40, p.Y + 40), Esc()});
  h.input.Press();
  EXPECT_EQ(WindowBounds(f), (TRect{100, 100, 250, 180}));
  EXPECT_EQ(GetCapture(), HWND());
  DestroyWindow(f);
}

}  // namespace
