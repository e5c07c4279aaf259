// TTimer on the manual clock (restart, freed inside its own tick) and the
// alignment and anchor rules.
#include "fixtures.h"

#include "platform/cl/timer.h"

#include <gtest/gtest.h>

using namespace fx;
using plat::test::Harness;

namespace {

TEST(Timer, IntervalChangeRestartsAndDisableStops) {
  Harness h;
  auto* t = new TTimer(nullptr);
  std::vector<int64_t> at;
  int64_t t0 = h.Clock().NowMs();
  t->SetInterval(100);
  t->SetOnTimer([&](rtl::TObject*) { at.push_back(h.Clock().NowMs() - t0); });
  h.Advance(250);
  t->SetInterval(40);  // restarts from now (250)
  h.Advance(100);
  t->SetEnabled(false);
  h.Advance(500);
  EXPECT_EQ(at, (std::vector<int64_t>{100, 200, 290, 330}));
  t->Free();
}

TEST(Timer, FreedInsideItsOwnTick) {
  Harness h;
  size_t windows = h.LiveWindowCount();
  auto* owner = new TComponent(nullptr);
  auto* t = new TTimer(owner);
  EXPECT_EQ(h.LiveWindowCount(), windows + 1);
  int ticks = 0;
  t->SetInterval(10);
  t->SetOnTimer([&](rtl::TObject* sender) {
    ticks++;
    static_cast<TTimer*>(sender)->Free();  // the hint timer's pattern
  });
  h.Advance(100);
  EXPECT_EQ(ticks, 1);
  EXPECT_EQ(owner->ComponentCount(), 0);
  EXPECT_EQ(h.LiveWindowCount(), windows);
  owner->Free();
}

TEST(Layout, AlignOrderInsideTheAdjustedClientRect) {
  Harness h;
  TForm* form = MakeForm(300, 200);
  auto* panel = new TPanel(form);  // one-pixel bevel: the client shrinks by 1 on each side
  panel->SetBounds(0, 0, 200, 100);
  panel->SetParent(form);
  struct Case {
    TAlign align;
    int w, h;
    TRect expect;
  } cases[] = {
      {alTop, 10, 20, {1, 1, 199, 21}},      {alBottom, 10, 10, {1, 89, 199, 99}}, {alLeft, 30, 10, {1, 21, 31, 89}},
      {alRight, 40, 10, {159, 21, 199, 89}}, {alClient, 5, 5, {31, 21, 159, 89}},
  };
  std::vector<TControl*> kids;
  panel->DisableAlign();
  for (auto& c : cases) {
    auto* s = new Swatch(form, "s", gfx::clRed);
    s->SetBounds(0, 0, c.w, c.h);
    s->SetAlign(c.align);
    s->SetParent(panel);
    kids.push_back(s);
  }
  panel->EnableAlign();
  for (size_t i = 0; i < kids.size(); i++) EXPECT_EQ(kids[i]->BoundsRect(), cases[i].expect) << i;
  form->Free();
}

TEST(Layout, AnchorsFollowTheParentSize) {
  Harness h;
  TForm* form = MakeForm(300, 200);
  auto* board = new Board(form, "b", gfx::clRed);
  board->SetBounds(0, 0, 200, 100);
  board->SetParent(form);
  form->Show();
  h.Pump();
  struct Case {
    TAnchors anchors;
    TRect expect;
  } cases[] = {
      {akLeft | akTop, {150, 70, 170, 80}},
      {akRight | akBottom, {250, 170, 270, 180}},
      {akLeft | akRight | akTop, {150, 70, 270, 80}},
      {akLeft | akTop | akBottom, {150, 70, 170, 180}},
  };
  std::vector<TControl*> kids;
  for (auto& c : cases) {
    auto* s = new Swatch(form, "s", gfx::clRed);
    s->SetBounds(150, 70, 20, 10);
    s->SetAnchors(c.anchors);
    s->SetParent(board);
    kids.push_back(s);
  }
  board->SetBounds(0, 0, 300, 200);
  for (size_t i = 0; i < kids.size(); i++) EXPECT_EQ(kids[i]->BoundsRect(), cases[i].expect) << i;
  form->Free();
}

}  // namespace

namespace {
TEST(Layout, RecreateKeepsTopLevelWindowsAndRebuildsChildren) {
  Harness h;
  auto* form = new TForm(nullptr);
  form->SetBounds(0, 0, 200, 100);
  auto* child = new Board(form, "c", gfx::clRed);
  child->SetBounds(5, 5, 20, 20);
  child->SetParent(form);
  form->Show();
  h.Pump();
  HWND top = form->Handle(), old = child->Handle();
  EXPECT_EQ(form->ClientWidth(), 194);  // classic frame
  form->SetBorderStyle(bsNone);
  EXPECT_EQ(form->Handle(), top);
  EXPECT_EQ(form->ClientWidth(), 200);
  int seen = 0;
  child->WindowProc = [&, prev = child->WindowProc](TMessage& m) {
    if (m.Msg == win::WM_PAINT) seen++;
    prev(m);
  };
  child->RecreateWnd();
  EXPECT_NE(child->Handle(), old);
  EXPECT_TRUE(IsWindowVisible(child->Handle()));
  h.Pump();
  EXPECT_GE(seen, 1);  // the control-level chain survives the new window
  form->Free();
}
}  // namespace
