// The tab core: TCM_ADJUSTRECT and the pages inside it, tab sizes, the
// scrolled strip, the changing veto, and a page control's sheets.
#include "fixtures.h"
#include "platform/ctl/tabs.h"

#include <gtest/gtest.h>

using namespace win;
using ctl::TPageControl;
using ctl::TTabSheet;
using plat::test::Harness;

namespace {

constexpr int kChar = gfx::FixedTextEngine::kCharWidth;
constexpr int kTab = 13 + 6;  // fixed text height + 6

struct PagesForm {
  Harness& h;
  cl::TForm* form = cx::MakeForm(400, 300);
  TPageControl* pc = new TPageControl(form);
  std::vector<TTabSheet*> sheets;
  int changes = 0;
  bool allow = true;
  explicit PagesForm(Harness& harness, int n = 3) : h(harness) {
    pc->SetBounds(10, 10, 300, 200);
    pc->SetParent(form);
    for (int i = 0; i < n; i++) {
      auto* s = new TTabSheet(form);
      s->SetCaption("Page" + std::to_string(i));  // 5 characters: 35 + 12 = 47 wide
      s->SetPageControl(pc);
      sheets.push_back(s);
    }
    pc->OnChanging = [this](rtl::TObject*, bool& a) { a = allow; };
    pc->OnChange = [this](rtl::TObject*) { changes++; };
    form->Show();
    h.Pump();
  }
  ~PagesForm() {
    form->Free();
    EXPECT_EQ(h.Leaks(), "");
  }
  LRESULT Send(UINT m, WPARAM w = 0, LPARAM l = 0) { return SendMessage(pc->Handle(), m, w, l); }
  TRect Item(int i) {
    RECT r{};
    Send(ctl::TCM_GETITEMRECT, WPARAM(i), LPARAM(&r));
    return r;
  }
  void ClickTab(int i) {
    TRect r = Item(i);
    h.Advance(1000);
    h.input.MoveTo(pc, r.Left + 5, r.Top + 5);
    h.input.Click();
  }
};

TEST(Tabs, AdjustRectAndTheSheetsInsideIt) {
  Harness h;
  PagesForm f(h);
  RECT r{0, 0, 300, 200};
  f.Send(ctl::TCM_ADJUSTRECT, FALSE, LPARAM(&r));
  EXPECT_EQ(r, (RECT{4, 2 + kTab + 4, 296, 196}));
  f.Send(ctl::TCM_ADJUSTRECT, TRUE, LPARAM(&r));  // and back
  EXPECT_EQ(r, (RECT{0, 0, 300, 200}));
  EXPECT_EQ(f.pc->ActivePage(), f.sheets[0]);
  EXPECT_EQ(f.sheets[0]->BoundsRect(), (TRect{4, 2 + kTab + 4, 296, 196}));
  EXPECT_TRUE(f.sheets[0]->Visible());
  EXPECT_FALSE(f.sheets[1]->Visible());
  // A taller strip moves the sheets down.
  EXPECT_EQ(f.Send(ctl::TCM_SETITEMSIZE, 0, MAKELPARAM(0, 30)), MAKELPARAM(0, kTab));
  EXPECT_EQ(f.sheets[0]->Top(), 2 + 30 + 4);
}

TEST(Tabs, TabSizesAndTheScrolledStrip) {
  Harness h;
  PagesForm f(h, 10);
  int w = 5 * kChar + 12;
  EXPECT_EQ(f.Item(0), (TRect{2, 2, 2 + w, 2 + kTab}));
  EXPECT_EQ(f.Item(3), (TRect{2 + 3 * w, 2, 2 + 4 * w, 2 + kTab}));
  // Scrolled by two tabs: the first two end at 0 or before.
  f.Send(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 2));
  EXPECT_EQ(f.pc->FirstVisibleTab(), 2);
  EXPECT_EQ(f.Item(2).Left, 0);
  EXPECT_LE(f.Item(0).Right, 0);
  EXPECT_LE(f.Item(1).Right, 0);
  int hidden = 0;
  for (int i = 0; i < 10; i++)
    if (f.Item(i).Right > 300 - 3 || f.Item(i).Right <= 0) hidden++;
  EXPECT_EQ(hidden, 4);  // two on the left, two past the right edge
  EXPECT_EQ(f.pc->IndexOfTabAt(5, 5), 2);
  // A fixed width.
  f.Send(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0));
  f.pc->SetTabWidth(30);
  EXPECT_EQ(f.Item(1), (TRect{32, 2, 62, 2 + kTab}));
  // Selecting a tab past the edge scrolls it into view.
  f.pc->SetTabWidth(0);
  f.pc->SetActivePageIndex(9);
  EXPECT_LE(f.Item(9).Right, 300);
  EXPECT_GT(f.pc->FirstVisibleTab(), 0);
}

TEST(Tabs, ChangingCanRefuseAndOnlyTheUserChanges) {
  Harness h;
  PagesForm f(h);
  struct Step {
    std::function<void()> act;
    int page, changes;
  } steps[] = {
      {[&] { f.ClickTab(1); }, 1, 1},
      {[&] { f.ClickTab(1); }, 1, 1},
      {[&] {
         f.allow = false;
         f.ClickTab(2);
       },
       1, 1},
      {[&] {
         f.allow = true;
         h.input.Key(VK_RIGHT);
       },
       2, 2},
      {[&] { f.Send(ctl::TCM_SETCURSEL, 0); }, 2, 2},  // the tab only: no events, the page stays
      {[&] { f.pc->SetActivePage(f.sheets[0]); }, 0, 2},
      {[&] { EXPECT_EQ(f.Send(ctl::TCM_SETCURSEL, 9), -1); }, 0, 2},
      {[&] {
         f.sheets[1]->SetTabVisible(false);
         f.ClickTab(1);  // now the third page's tab
       },
       2, 3},
      {[&] {
         h.input.KeyDown(VK_CONTROL);
         h.input.Key(VK_TAB);
         h.input.KeyUp(VK_CONTROL);
       },
       0, 4},
  };
  for (size_t i = 0; i < std::size(steps); i++) {
    steps[i].act();
    EXPECT_EQ(f.pc->ActivePageIndex(), steps[i].page) << "step " << i;
    EXPECT_EQ(f.changes, steps[i].changes) << "step " << i;
  }
  EXPECT_EQ(f.pc->TabIndex(), 0);
  EXPECT_EQ(f.sheets[2]->TabIndex(), 1);
  f.sheets[0]->Free();  // the active page goes: the next one shows
  EXPECT_EQ(f.pc->ActivePage(), f.sheets[2]);
  EXPECT_EQ(f.pc->PageCount(), 2);
}

}  // namespace
