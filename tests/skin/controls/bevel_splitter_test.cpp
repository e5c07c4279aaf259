// The skinned bevel's exact lines and the skinned splitter's strip, gripper,
// thickness and drag limits.
#include <gtest/gtest.h>

#include "controls_fixture.h"
#include "skin/controls/bsSkinBevelSplitter.h"

using namespace ctltest;

namespace {

using SkinBevel = ControlsTest;
using SkinSplitter = ControlsTest;

constexpr uint32_t W = 0xFFFFFF, G = 0x808080;

TEST_F(SkinBevel, LinesInTheSkinColours) {
  form->SetColor(gfx::clBlack);
  const uint32_t K = 0;  // the form under the bevel
  // A lowered top line 100 x 2: row 0 dark, row 1 light, edge to edge.
  auto* b = Make<TbsSkinBevel>(10, 10, 100, 2);
  b->SetShape(cl::bsTopLine);
  for (int x : {0, 50, 99}) {
    EXPECT_EQ(Px(b, x, 0), G) << x;
    EXPECT_EQ(Px(b, x, 1), W) << x;
  }
  // A divider on a 10 x 40 left line: x 4 dark, x 5 light, rows 2..38.
  b->SetDividerMode(true);
  b->SetShape(cl::bsLeftLine);
  b->SetBounds(10, 10, 10, 40);
  EXPECT_EQ(Px(b, 4, 2), G);
  EXPECT_EQ(Px(b, 4, 20), G);
  EXPECT_EQ(Px(b, 4, 38), G);
  EXPECT_EQ(Px(b, 5, 2), W);
  EXPECT_EQ(Px(b, 5, 20), W);
  EXPECT_EQ(Px(b, 5, 38), W);
  EXPECT_EQ(Px(b, 3, 20), K);
  EXPECT_EQ(Px(b, 6, 20), K);
  EXPECT_EQ(Px(b, 4, 1), K);
  EXPECT_EQ(Px(b, 4, 39), K);
  // A horizontal divider across the middle of a bottom line.
  b->SetShape(cl::bsBottomLine);
  b->SetBounds(10, 10, 40, 10);
  EXPECT_EQ(Px(b, 20, 4), G);
  EXPECT_EQ(Px(b, 20, 5), W);
  b->SetShape(cl::bsSpacer);
  b->Repaint();
  form->Repaint();
  EXPECT_EQ(Px(b, 20, 4), K);
  // Raised box without a skin: light top-left, dark bottom-right.
  b->SetDividerMode(false);
  b->SetShape(cl::bsBox);
  b->SetStyle(cl::bsRaised);
  b->SetSkinData(nullptr);
  b->SetBounds(10, 10, 20, 20);
  EXPECT_EQ(Px(b, 0, 5), Rgb(gfx::clBtnHighlight));
  EXPECT_EQ(Px(b, 19, 5), Rgb(gfx::clBtnShadow));
  EXPECT_EQ(Px(b, 5, 19), Rgb(gfx::clBtnShadow));
}

TEST_F(SkinSplitter, ThicknessComesFromTheRecordByAlignment) {
  struct Case {
    cl::TAlign align;
    const char* record;
    bool transparent;
    int thickness;
  } cases[] =
      {
          {cl::alLeft, "vsplitter", false, 6}, {cl::alTop, "hsplitter", false, 6},
          {cl::alLeft, "vsplitter", true, 10}, {cl::alLeft, "nosuchrecord", false, 10},
          {cl::alLeft, "button", false, 10},  // a record of another class counts as none
      };
  for (auto& c : cases) {
    SCOPED_TRACE(c.record);
    auto* s = new TbsSkinSplitter(form);
    s->SetAlign(c.align);
    s->SetParent(form);
    s->SetSkinDataName(c.record);
    s->SetTransparent(c.transparent);
    s->SetSkinData(skin.get());
    bool vertical = c.align == cl::alLeft;
    EXPECT_EQ(vertical ? s->Width() : s->Height(), c.thickness);
    s->Free();
  }
}

TEST_F(SkinSplitter, StripAndCentredGripper) {
  auto* s = new TbsSkinSplitter(form);
  s->SetAlign(cl::alLeft);
  s->SetParent(form);
  s->SetSkinData(skin.get());
  h.Pump();
  ASSERT_EQ(s->Width(), 6);
  int H = s->Height();
  ASSERT_EQ(H, 200);
  EXPECT_EQ(Px(s, 3, 1), 0x3C4B6E);  // the fixed top end
  EXPECT_EQ(Px(s, 3, 60), kSplit);   // the tiled middle
  EXPECT_EQ(Px(s, 3, H - 1), 0x3C4B6E);
  // The 6 x 10 gripper at the centre, its magenta left out.
  int gy = H / 2 - 5;
  EXPECT_EQ(Px(s, 2, gy + 1), kGrip);
  EXPECT_EQ(Px(s, 0, gy + 1), kSplit);
  EXPECT_EQ(Px(s, 2, gy), kSplit);
  // Transparent: nothing painted, the form shows.
  s->SetTransparent(true);
  form->Repaint();
  EXPECT_EQ(Px(s, 3, 60), 0xFFFFFF);
}

TEST_F(SkinSplitter, DraggingResizesTheNeighbourWithinItsLimits) {
  struct Panel : cl::TCustomControl {
    using cl::TCustomControl::TCustomControl;
    void Paint() override {
      Canvas()->Brush()->SetColor(gfx::clSilver);
      Canvas()->FillRect({0, 0, Width(), Height()});
    }
  };
  auto* left = new Panel(form);
  left->SetAlign(cl::alLeft);
  left->SetWidth(100);
  left->SetParent(form);
  auto* s = new TbsSkinSplitter(form);
  s->SetAlign(cl::alLeft);
  s->SetLeft(100);
  s->SetParent(form);
  s->SetSkinData(skin.get());
  s->MinSize = 40;
  s->ResizeStyle = cl::rsUpdate;
  auto* rest = new Panel(form);
  rest->SetAlign(cl::alClient);
  rest->SetParent(form);
  h.Pump();
  ASSERT_EQ(s->Left(), 100);
  int moved = 0;
  s->OnMoved = [&](rtl::TObject*) { moved++; };
  struct Drag {
    int to;
    int width;
  } drags[] = {{150, 150}, {300, 274}, {60, 60}, {20, 0}};  // 320 - 6 - 40 at most; shut at MinSize
  for (auto& d : drags) {
    h.input.MoveTo(s, 3, 50);
    h.input.Press();
    h.input.MoveTo(form, d.to + 3, 50);
    h.input.Release();
    EXPECT_EQ(left->Width(), d.width) << d.to;
    EXPECT_EQ(s->Left(), d.width) << d.to;
  }
  EXPECT_EQ(moved, 4);
}

}  // namespace
