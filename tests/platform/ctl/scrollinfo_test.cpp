// The scroll records: the Win32 rules for the position, partial masks, and
// windows without a record or gone.
#include "fixtures.h"
#include "platform/ctl/scrollinfo.h"

#include <gtest/gtest.h>

using namespace win;
using namespace ctl;
using plat::test::Harness;

namespace {

TEST(ScrollInfo, RecordsFollowTheWin32Rules) {
  Harness h;
  cl::TForm* form = cx::MakeForm();
  form->Show();
  HWND w = form->Handle();
  int lo = -1, hi = -1;
  EXPECT_TRUE(GetScrollRange(w, SB_VERT, &lo, &hi));  // never set: (0, 0)
  EXPECT_EQ(std::make_pair(lo, hi), std::make_pair(0, 0));
  struct Case {
    UINT mask;
    int min, max;
    UINT page;
    int pos;
    int wantPos;
    UINT wantPage;
  } cases[] = {
      {SIF_ALL, 0, 99, 20, 50, 50, 20},
      {SIF_POS, 0, 0, 0, 95, 80, 20},  // the position stops at max - page + 1
      {SIF_POS, 0, 0, 0, -4, 0, 20},
      {SIF_PAGE, 0, 0, 500, 0, 0, 100},  // a page larger than the range is the range
      {SIF_RANGE | SIF_POS, 10, 20, 0, 5, 10, 11},
  };
  for (auto& c : cases) {
    SCROLLINFO si;
    si.fMask = c.mask;
    si.nMin = c.min;
    si.nMax = c.max;
    si.nPage = c.page;
    si.nPos = c.pos;
    EXPECT_EQ(SetScrollInfo(w, SB_HORZ, &si, TRUE), c.wantPos);
    SCROLLINFO got;
    got.fMask = SIF_ALL;
    EXPECT_TRUE(GetScrollInfo(w, SB_HORZ, &got));
    EXPECT_EQ(got.nPos, c.wantPos);
    EXPECT_EQ(got.nPage, c.wantPage);
  }
  EXPECT_EQ(SetScrollPos(w, SB_HORZ, 15, TRUE), 10);
  EXPECT_EQ(GetScrollPos(w, SB_HORZ), 10);  // page 11 of 10..20: nowhere else to go
  EXPECT_EQ(GetScrollPos(w, SB_VERT), 0);
  EXPECT_FALSE(GetScrollInfo(w, SB_CTL, nullptr));
  EXPECT_TRUE(ShowScrollBar(w, SB_BOTH, TRUE));  // does nothing, but the window is there
  form->Free();
  EXPECT_FALSE(GetScrollRange(w, SB_HORZ, &lo, &hi));
  EXPECT_EQ(h.Leaks(), "");
}

}  // namespace
