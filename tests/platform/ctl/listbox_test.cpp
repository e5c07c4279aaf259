// The list box core: the LB_SETCURSEL contract, Clear, LB_FINDSTRING
// wrapping, the scroll records, Click from keyboard and mouse selection, the
// rows passing through the message chain, and sorted and extended selection.
#include "fixtures.h"
#include "platform/ctl/listbox.h"
#include "platform/ctl/scrollinfo.h"

#include <gtest/gtest.h>

using namespace win;
using ctl::TListBox;
using plat::test::Harness;

namespace {

struct BoxForm {
  Harness& h;
  cl::TForm* form = cx::MakeForm();
  TListBox* box;
  int clicks = 0, dblClicks = 0;
  explicit BoxForm(Harness& harness, int rows = 0, TListBox* b = nullptr)
      : h(harness), box(b ? b : new TListBox(form)) {
    box->SetBounds(10, 10, 150, 80);  // five rows of 16
    box->SetParent(form);
    for (int i = 0; i < rows; i++) box->Items().Add("row " + std::to_string(i));
    box->OnClick = [this](rtl::TObject*) { clicks++; };
    box->OnDblClick = [this](rtl::TObject*) { dblClicks++; };
    form->Show();
    box->SetFocus();
    h.Pump();
  }
  ~BoxForm() {
    form->Free();
    EXPECT_EQ(h.Leaks(), "");
  }
  LRESULT Send(UINT m, WPARAM w = 0, LPARAM l = 0) { return SendMessage(box->Handle(), m, w, l); }
  void ClickRow(int row, bool advance = true) {
    if (advance) h.Advance(1000);
    h.input.MoveTo(box, 20, row * 16 + 8);
    h.input.Click();
  }
};

TEST(ListBox, OutOfRangeSelectionKeepsTheOldOneAndAnswersLbErr) {
  Harness h;
  BoxForm f(h, 5);
  f.box->SetItemIndex(2);
  struct Case {
    intptr_t index;
    LRESULT result;
    int after;
  } cases[] = {{4, 4, 4}, {7, LB_ERR, 4}, {5, LB_ERR, 4}, {-5, LB_ERR, 4}, {0, 0, 0}, {-1, LB_ERR, -1}};
  for (auto& c : cases) {
    EXPECT_EQ(f.Send(LB_SETCURSEL, WPARAM(c.index)), c.result) << c.index;
    EXPECT_EQ(f.box->ItemIndex(), c.after) << c.index;
  }
  EXPECT_EQ(f.clicks, 0);  // programmatic selection is not a click
}

TEST(ListBox, ClearResetsTheSelection) {
  Harness h;
  BoxForm f(h, 12);
  f.box->SetItemIndex(11);
  EXPECT_EQ(f.box->TopIndex(), 7);
  f.box->Clear();
  EXPECT_EQ(f.box->Count(), 0);
  EXPECT_EQ(f.box->ItemIndex(), -1);
  EXPECT_EQ(f.box->TopIndex(), 0);
  f.box->Items().Add("again");
  EXPECT_EQ(f.box->ItemIndex(), -1);
}

TEST(ListBox, FindStringSearchesAfterStartCaseInsensitiveAndWraps) {
  Harness h;
  BoxForm f(h);
  for (const char* s : {"apple", "Banana", "avocado", "cherry", "Apricot"}) f.box->Items().Add(s);
  struct Case {
    intptr_t start;
    const char* text;
    LRESULT found;
  } cases[] = {
      {-1, "a", 0}, {0, "a", 2},  {2, "A", 4},        {4, "a", 0},  {-1, "AV", 2},
      {1, "b", 1},  {3, "CH", 3}, {-1, "zz", LB_ERR}, {99, "a", 0}, {-1, "", 0},
  };
  for (auto& c : cases)
    EXPECT_EQ(f.Send(LB_FINDSTRING, WPARAM(c.start), LPARAM(c.text)), c.found) << c.start << " " << c.text;
  EXPECT_EQ(f.Send(ctl::LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("APPLE")), 0);
  EXPECT_EQ(f.Send(ctl::LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM("app")), LB_ERR);
}

TEST(ListBox, ScrollRecordsFollowTheTopIndex) {
  Harness h;
  BoxForm f(h, 10);
  HWND w = f.box->Handle();
  auto range = [&] {
    int lo = -1, hi = -1;
    ctl::GetScrollRange(w, SB_VERT, &lo, &hi);
    return std::make_pair(lo, hi);
  };
  EXPECT_EQ(range(), std::make_pair(0, 9));
  ctl::SCROLLINFO si;
  si.fMask = ctl::SIF_ALL;
  ctl::GetScrollInfo(w, SB_VERT, &si);
  EXPECT_EQ(si.nPage, 5u);
  struct Step {
    int code, pos, top;
  } steps[] = {{SB_LINEDOWN, 0, 1}, {SB_THUMBPOSITION, 4, 4}, {SB_THUMBPOSITION, 9, 5},
               {SB_LINEDOWN, 0, 5}, {SB_LINEUP, 0, 4},        {SB_TOP, 0, 0}};
  for (auto& s : steps) {
    f.Send(WM_VSCROLL, MAKEWPARAM(s.code, s.pos));
    EXPECT_EQ(f.box->TopIndex(), s.top) << s.code << " " << s.pos;
    EXPECT_EQ(ctl::GetScrollPos(w, SB_VERT), s.top);
  }
  f.box->SetTopIndex(3);
  EXPECT_EQ(ctl::GetScrollPos(w, SB_VERT), 3);
  // The wheel scrolls nothing by itself.
  h.input.MoveTo(f.box, 20, 20);
  h.input.Wheel(-WHEEL_DELTA);
  EXPECT_EQ(f.box->TopIndex(), 3);
  // Everything fits: no range.
  while (f.box->Count() > 5) f.box->Items().Delete(0);
  EXPECT_EQ(range(), std::make_pair(0, 0));
  EXPECT_EQ(f.box->TopIndex(), 0);
}

TEST(ListBox, KeyboardAndMouseSelectionClick) {
  Harness h;
  BoxForm f(h, 10);
  struct Step {
    std::function<void()> act;
    int index, clicks, dbl, top;
  } steps[] = {
      {[&] { h.input.Key(VK_DOWN); }, 0, 1, 0, 0},   {[&] { h.input.Key(VK_DOWN); }, 1, 2, 0, 0},
      {[&] { h.input.Key(VK_END); }, 9, 3, 0, 5},    {[&] { h.input.Key(VK_END); }, 9, 3, 0, 5},  // no change, no click
      {[&] { h.input.Key(VK_HOME); }, 0, 4, 0, 0},   {[&] { f.ClickRow(3); }, 3, 5, 0, 0},
      {[&] { f.ClickRow(3); }, 3, 6, 0, 0},          {[&] { f.ClickRow(4, false); }, 4, 7, 0, 0},
      {[&] { f.ClickRow(4, false); }, 4, 7, 1, 0},   // the second press is a double click
      {[&] { h.input.Type("row 8"); }, 8, 12, 1, 4},  // incremental search, a click per key
  };
  for (size_t i = 0; i < std::size(steps); i++) {
    steps[i].act();
    EXPECT_EQ(f.box->ItemIndex(), steps[i].index) << "step " << i;
    EXPECT_EQ(f.clicks, steps[i].clicks) << "step " << i;
    EXPECT_EQ(f.dblClicks, steps[i].dbl) << "step " << i;
    EXPECT_EQ(f.box->TopIndex(), steps[i].top) << "step " << i;
  }
}

// Every change of the rows passes the control's message chain.
class RowLog : public TListBox {
 public:
  using TListBox::TListBox;
  std::vector<UINT> seen;
  void WndProc(cl::TMessage& m) override {
    TListBox::WndProc(m);
    if (m.Msg == LB_ADDSTRING || m.Msg == LB_INSERTSTRING || m.Msg == LB_DELETESTRING) seen.push_back(m.Msg);
  }
};

TEST(ListBox, RowChangesPassTheMessageChain) {
  Harness h;
  auto* box = new RowLog(nullptr);
  BoxForm f(h, 0, box);
  box->Items().Add("a");
  box->Items().AddObject("b", &f);
  box->Items().Insert(0, "c");
  box->Items().Delete(1);
  EXPECT_EQ(box->seen, (std::vector<UINT>{LB_ADDSTRING, LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING}));
  EXPECT_EQ(box->Items().Text(), "c\r\nb\r\n");
  EXPECT_EQ(box->Items().Objects(1), &f);
}

TEST(ListBox, SortedRowsAndExtendedSelection) {
  Harness h;
  BoxForm f(h);
  f.box->SetSorted(true);
  for (const char* s : {"pear", "Apple", "fig", "banana"}) f.box->Items().Add(s);
  EXPECT_EQ(f.box->Items().Text(), "Apple\r\nbanana\r\nfig\r\npear\r\n");
  f.box->SetMultiSelect(true);
  f.ClickRow(1);
  h.input.KeyDown(VK_SHIFT);
  f.ClickRow(3);
  h.input.KeyUp(VK_SHIFT);
  EXPECT_EQ(f.box->SelCount(), 3);
  h.input.KeyDown(VK_CONTROL);
  f.ClickRow(2);
  h.input.KeyUp(VK_CONTROL);
  EXPECT_EQ(f.box->SelCount(), 2);
  EXPECT_FALSE(f.box->Selected(2));
  EXPECT_TRUE(f.box->Selected(3));
  EXPECT_EQ(f.box->ItemIndex(), 2);  // the caret row
  EXPECT_EQ(f.clicks, 3);
  f.box->ClearSelection();
  EXPECT_EQ(f.box->SelCount(), 0);
}

TEST(ListBox, ItemGeometry) {
  Harness h;
  BoxForm f(h, 10);
  f.box->SetTopIndex(2);
  EXPECT_EQ(f.box->ItemRect(3), (TRect{0, 16, 150, 32}));
  EXPECT_EQ(f.box->ItemAtPos({5, 20}, true), 3);
  EXPECT_EQ(f.box->ItemAtPos({5, 79}, true), 6);
  f.box->SetItemHeight(30);
  EXPECT_EQ(f.box->RowsPerPage(), 2);
  EXPECT_EQ(f.box->ItemAtPos({5, 200}, true), -1);
  EXPECT_EQ(f.box->ItemAtPos({5, 200}, false), 10);
  // Rows painted on the selection colours.
  f.box->SetItemHeight(16);
  f.box->SetTopIndex(0);
  f.box->SetItemIndex(1);
  h.Pump();
  EXPECT_EQ(h.Pixel(f.box, 140, 20), cx::Rgb(gfx::clHighlight));
  EXPECT_EQ(h.Pixel(f.box, 140, 40), cx::Rgb(gfx::clWindow));
}

}  // namespace
