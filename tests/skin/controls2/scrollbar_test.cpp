// The skinned scroll bar: range rules, the default and skinned layout, the
// arrow and page repeats on the manual clock, keys, wheel, drag and both.
#include <gtest/gtest.h>

#include "controls_fixture.h"
#include "platform/win/window.h"
#include "skin/controls/bsSkinScrollBar.h"

using namespace ctltest;
using namespace win;

namespace {

class ScrollBar : public ControlsTest {
 public:
  TbsSkinScrollBar* Bar(bool skinned = false, TScrollBarKind kind = sbHorizontal) {
    auto* b = new TbsSkinScrollBar(form);
    b->SetKind(kind);
    if (kind == sbVertical) {
      b->SetSkinDataName("vscrollbar");
      b->SetBounds(10, 10, 19, 150);
    } else {
      b->SetBounds(10, 10, 200, 19);
    }
    b->SetParent(form);
    if (skinned) b->SetSkinData(skin.get());
    b->OnChange = [this](rtl::TObject*) { ++changes; };
    h.Pump();
    return b;
  }
  int changes = 0;
};

TEST_F(ScrollBar, RangeRulesKeepPositionInsideTheRange) {
  struct Case {
    const char* name;
    std::function<void(TbsSkinScrollBar*)> act;
    int position, pageSize;
  } cases[] = {
      {"page clamps the position", [](TbsSkinScrollBar* b) { b->SetRange(0, 100, 95, 10); }, 91, 10},
      {"no page clamps to Max", [](TbsSkinScrollBar* b) { b->SetRange(0, 100, 150, 0); }, 100, 0},
      {"below Min gives Min", [](TbsSkinScrollBar* b) { b->SetRange(10, 100, 3, 0); }, 10, 0},
      // A page wider than the range: Position stays at Min, never below.
      {"page wider than the range", [](TbsSkinScrollBar* b) { b->SetRange(10, 20, 15, 50); }, 10, 50},
      {"page that does not fit is refused",
       [](TbsSkinScrollBar* b) {
         b->SetRange(0, 99, 95, 0);
         b->SetPageSize(10);
       },
       95, 0},
      {"page that fits is taken",
       [](TbsSkinScrollBar* b) {
         b->SetRange(0, 99, 95, 0);
         b->SetPageSize(5);
       },
       95, 5},
      // With Min above 0 the page is measured against Max, not the range width.
      {"page with a raised Min",
       [](TbsSkinScrollBar* b) {
         b->SetRange(100, 200, 150, 0);
         b->SetPageSize(10);
       },
       150, 10},
      {"Max keeps a fitting position with a raised Min",
       [](TbsSkinScrollBar* b) {
         b->SetRange(100, 200, 150, 10);
         b->SetMax(200);
       },
       150, 10},
      {"Max lowered under the page",
       [](TbsSkinScrollBar* b) {
         b->SetRange(100, 200, 150, 10);
         b->SetMax(155);
       },
       146, 10},
      {"Min raised over the position",
       [](TbsSkinScrollBar* b) {
         b->SetRange(0, 100, 5, 0);
         b->SetMin(20);
       },
       20, 0},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto* b = Bar();
    changes = 0;
    c.act(b);
    EXPECT_EQ(b->Position(), c.position);
    EXPECT_EQ(b->PageSize(), c.pageSize);
    EXPECT_EQ(changes, 0) << "range writes are silent";
    b->Free();
  }
}

TEST_F(ScrollBar, PositionWritesFireOnlyOnChange) {
  auto* b = Bar();
  b->SetPosition(40);
  b->SetPosition(40);
  EXPECT_EQ(changes, 1);
  b->SimplySetPosition(60);
  EXPECT_EQ(b->Position(), 60);
  EXPECT_EQ(changes, 1);
  b->SetPosition(500);
  EXPECT_EQ(b->Position(), 100);
  EXPECT_EQ(changes, 2);
}

TEST_F(ScrollBar, DefaultLayoutPlacesTheThumbAlongTheTrack) {
  auto* b = Bar();
  b->CalcRects();
  EXPECT_EQ(b->Button(0).R, (TRect{17, 1, 33, 18}));
  EXPECT_EQ(b->Button(2).R, (TRect{1, 1, 17, 18}));
  EXPECT_EQ(b->Button(1).R, (TRect{183, 1, 199, 18}));
  b->SetPosition(100);
  b->CalcRects();
  EXPECT_EQ(b->Button(0).R.Left, 167);
  EXPECT_EQ(b->Button(0).R.Right, 183);
  // A page too small for 16 pixels still gets a 16-pixel thumb.
  b->SetRange(0, 1000, 0, 1);
  b->CalcRects();
  EXPECT_EQ(b->Button(0).R.Right - b->Button(0).R.Left, 16);
  // Half the range as a page: half the 166-pixel track, evened to 2 x 41.
  b->SetRange(0, 99, 0, 50);
  b->CalcRects();
  EXPECT_EQ(b->Button(0).R.Right - b->Button(0).R.Left, 82);
  // Both leaves the marker square at the right end.
  b->SetBoth(true);
  b->SetRange(0, 100, 0, 0);
  b->CalcRects();
  EXPECT_EQ(b->Button(1).R, (TRect{200 - 19 - 17, 1, 200 - 19 - 1, 18}));
  EXPECT_EQ(b->SkinDataName(), "bothhscrollbar");
  b->SetBoth(false);
  EXPECT_EQ(b->SkinDataName(), "hscrollbar");
  // Default pixels: thumb face, arrow button face, and no thumb when disabled.
  b->SetPosition(50);
  b->CalcRects();
  int tx = (b->Button(0).R.Left + b->Button(0).R.Right) / 2;
  EXPECT_EQ(Px(b, tx, 3), Rgb(gfx::clBtnFace));
  EXPECT_EQ(Px(b, tx, 1), Rgb(gfx::clBtnShadow)) << "thumb frame";
  b->SetEnabled(false);
  EXPECT_EQ(Px(b, tx, 1), Rgb(gfx::clBtnFace)) << "no thumb while disabled";
}

TEST_F(ScrollBar, DraggingTheThumbFollowsTheMouseAndEndsWithLastChange) {
  auto* b = Bar();
  int last = 0;
  b->OnLastChange = [&](rtl::TObject*) { ++last; };
  h.input.MoveTo(b, 25, 9);
  h.input.Press();
  h.input.MoveTo(b, 100, 9);
  EXPECT_EQ(b->Position(), 50);  // 75 of 150 pixels
  h.input.MoveTo(b, 400, 9);
  EXPECT_EQ(b->Position(), 100);
  EXPECT_EQ(last, 0);
  h.input.Release();
  EXPECT_EQ(last, 1);
  // A page press is no drag: no OnLastChange.
  h.input.MoveTo(b, 30, 9);
  h.input.Click();
  EXPECT_EQ(last, 1);
  // Round trip of the drag rule at both ends and the middle.
  b->CalcRects();
  EXPECT_EQ(b->CalcPosition(0), 0);
  EXPECT_EQ(b->CalcPosition(75), 50);
  EXPECT_EQ(b->CalcPosition(10000), 100);
}

TEST_F(ScrollBar, HeldArrowRepeatsAfter550MsThenEvery50Ms) {
  auto* b = Bar();
  int ups = 0;
  h.input.MoveTo(b, 190, 9);
  h.input.Press();
  EXPECT_EQ(b->Position(), 1) << "one step on the press";
  h.Advance(500);
  EXPECT_EQ(b->Position(), 1) << "the first tick only ends the wait";
  h.Advance(50);
  EXPECT_EQ(b->Position(), 2);
  h.Advance(100);
  EXPECT_EQ(b->Position(), 4);
  // Leaving the held button pauses, coming back resumes at 50 ms.
  h.input.MoveTo(b, 100, 9);
  h.Advance(200);
  EXPECT_EQ(b->Position(), 4);
  h.input.MoveTo(b, 190, 9);
  h.Advance(50);
  EXPECT_EQ(b->Position(), 5);
  h.input.Release();
  h.Advance(500);
  EXPECT_EQ(b->Position(), 5);
  EXPECT_EQ(b->TimerMode(), 0);
  // An assigned OnUpButtonClick replaces the step.
  b->OnUpButtonClick = [&](rtl::TObject*) { ++ups; };
  h.input.Press();
  h.Advance(550);
  h.Advance(50);
  h.input.Release();
  EXPECT_EQ(ups, 3);
  EXPECT_EQ(b->Position(), 5);
}

TEST_F(ScrollBar, PageRepeatStopsWhenTheThumbPassesTheCursor) {
  auto* b = Bar();
  int pages = 0;
  b->SetLargeChange(10);
  b->OnPageDown = [&](rtl::TObject*) { ++pages; };
  // x 70 lies at position 35 of the track (thumb centre 25 + 1.5 per step).
  h.input.MoveTo(b, 70, 9);
  h.input.Press();
  EXPECT_EQ(b->Position(), 10);
  h.Advance(550);
  h.Advance(500);
  EXPECT_EQ(b->TimerMode(), 0) << "stopped by itself";
  int stopped = b->Position();
  EXPECT_GE(stopped, 30);
  EXPECT_LE(stopped, 40);
  EXPECT_EQ(pages, stopped / 10);
  h.input.Release();
  // A right press changes nothing but fires OnMouseDown.
  int downs = 0;
  b->OnMouseDown = [&](rtl::TObject*, cl::TMouseButton, cl::TShiftState, int, int) { ++downs; };
  h.input.Click(MouseButton::Right);
  EXPECT_EQ(downs, 1);
  EXPECT_EQ(b->Position(), stopped);
}

TEST_F(ScrollBar, KeysAndWheelOnlyWhenItMayTakeTheFocus) {
  auto* b = Bar();
  h.input.MoveTo(b, 100, 9);
  h.input.Wheel(-120);
  h.input.Key(VK_RIGHT);
  EXPECT_EQ(b->Position(), 0);
  b->SetCanFocused(true);
  EXPECT_TRUE(b->TabStop());
  b->SetFocus();
  h.Pump();
  h.input.Key(VK_RIGHT);
  h.input.Key(VK_DOWN);
  EXPECT_EQ(b->Position(), 2);
  h.input.Key(VK_LEFT);
  EXPECT_EQ(b->Position(), 1);
  h.input.Wheel(-120);
  EXPECT_EQ(b->Position(), 2);
  h.input.Wheel(120);
  EXPECT_EQ(b->Position(), 1);
}

TEST_F(ScrollBar, SkinnedLookStretchesTheTrackAndCentresTheThumb) {
  auto* b = Bar(true);
  ASSERT_NE(b->SkinIndex(), -1);
  EXPECT_EQ(b->Height(), 17) << "the horizontal bar record fixes the height";
  b->CalcRects();
  EXPECT_EQ(b->TrackRect(), (TRect{17, 0, 183, 17}));
  EXPECT_EQ(b->Button(1).R, (TRect{183, 0, 200, 17})) << "the up button moves with the far end";
  EXPECT_EQ(b->Button(0).R, (TRect{17, 2, 37, 15})) << "20x13 thumb centred across";
  EXPECT_EQ(Px(b, 27, 8), 0x3C6EBEu) << "thumb face";
  EXPECT_EQ(Px(b, 100, 8), 0xB4BECDu) << "track";
  h.input.MoveTo(b, 27, 8);
  EXPECT_EQ(Px(b, 27, 8), 0x5A96E6u) << "hot thumb";
  h.input.MoveTo(b, 190, 8);
  EXPECT_EQ(Px(b, 190, 8), 0xFAC85Au) << "hot arrow";
  h.input.Press();
  EXPECT_EQ(Px(b, 190, 8), 0xE67828u) << "pressed arrow";
  h.input.Release();

  auto* v = Bar(true, sbVertical);
  ASSERT_NE(v->SkinIndex(), -1);
  EXPECT_EQ(v->Width(), 17);
  EXPECT_EQ(v->DefaultWidth(), 19);
  EXPECT_EQ(v->DefaultHeight(), 0);
  v->SetPosition(100);
  v->CalcRects();
  EXPECT_EQ(v->Button(0).R.Bottom, v->TrackRect().Bottom);
  // Without the skin the vertical bar keeps its length.
  SkinChangeWalk(form, WM_BEFORE_CHANGE_SKIN_DATA, skin.get());
  skin->ClearAll();
  SkinChangeWalk(form, WM_CHANGE_SKIN_DATA, skin.get());
  EXPECT_EQ(v->SkinIndex(), -1);
  EXPECT_EQ(v->Width(), 19);
  EXPECT_EQ(v->Height(), 150);
}

}  // namespace
