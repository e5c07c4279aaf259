// The skinned scroll box: ranges from the children's extent, bars shown
// and hidden, children moved once per position change, the frame insets.
#include <gtest/gtest.h>

#include "controls_fixture.h"
#include "platform/cl/extctrls.h"
#include "platform/win/window.h"
#include "skin/inputs/bsSkinScrollBox.h"

using namespace ctltest;
using namespace win;

namespace {

class ScrollBox : public ControlsTest {
 public:
  TbsSkinScrollBox* Box(TbsSkinBorderStyle style = bvNone) {
    box = new TbsSkinScrollBox(form);
    box->SetBorderStyle(style);
    box->SetBounds(10, 10, 100, 100);
    box->SetParent(form);
    child = new cl::TPanel(form);
    child->SetBounds(0, 0, 300, 250);
    child->SetParent(box);
    vbar = new TbsSkinScrollBar(form);
    vbar->SetKind(sbVertical);
    vbar->SetBounds(110, 10, 19, 100);
    vbar->SetParent(form);
    hbar = new TbsSkinScrollBar(form);
    hbar->SetBounds(10, 110, 100, 19);
    hbar->SetParent(form);
    box->SetVScrollBar(vbar);
    box->SetHScrollBar(hbar);
    h.Pump();
    return box;
  }
  TbsSkinScrollBox* box = nullptr;
  cl::TPanel* child = nullptr;
  TbsSkinScrollBar *vbar = nullptr, *hbar = nullptr;
};

TEST_F(ScrollBox, RangesFollowTheChildrenAndMoveThemOnce) {
  Box();
  EXPECT_TRUE(vbar->Visible());
  EXPECT_EQ(vbar->Max(), 249);
  EXPECT_EQ(vbar->PageSize(), 100);
  EXPECT_EQ(hbar->Max(), 299);
  EXPECT_TRUE(hbar->Both());  // the corner is shared with the shown vertical bar

  box->VScroll(120);
  EXPECT_EQ(vbar->Position(), 120);
  EXPECT_EQ(child->Top(), -120);  // moved once, not twice
  box->HScroll(40);
  EXPECT_EQ(child->Left(), -40);

  // The content shrinks to fit: range gone, bar hidden, children moved back.
  child->SetBounds(child->Left(), child->Top(), 80, 80);
  box->UpDateScrollRange();
  EXPECT_FALSE(vbar->Visible());
  EXPECT_FALSE(hbar->Visible());
  EXPECT_EQ(vbar->Max(), 0);
  EXPECT_EQ(child->Top(), 0);
  EXPECT_EQ(child->Left(), 0);
}

TEST_F(ScrollBox, BorderStyleSetsTheFrameInsets) {
  struct Case {
    TbsSkinBorderStyle style;
    int inset;
  } cases[] = {{bvNone, 0}, {bvFrame, 1}, {bvLowered, 1}};
  for (const Case& c : cases) {
    auto* b = new TbsSkinScrollBox(form);
    b->SetBorderStyle(c.style);
    b->SetBounds(150, 10, 100, 100);
    b->SetParent(form);
    h.Pump();
    EXPECT_EQ(b->ClientWidth(), 100 - 2 * c.inset);
    b->Free();
  }
}

}  // namespace
