// TBevel shapes and TSplitter dragging.
#include "fixtures.h"

#include "platform/cl/extctrls.h"

#include <gtest/gtest.h>

using namespace fx;
using plat::test::Harness;

namespace {

TEST(Bevel, ShapesDrawTheirEdgesInTheClassicColours) {
  constexpr uint32_t S = 0x808080, L = 0xFFFFFF, F = 0xD4D0C8;  // shadow, highlight, form face
  struct Case {
    TBevelShape shape;
    TBevelStyle style;
    std::vector<std::tuple<int, int, uint32_t>> probes;  // x, y, colour on a 20x10 bevel
  } cases[] = {
      {bsTopLine, bsLowered, {{0, 0, S}, {19, 0, S}, {0, 1, L}, {5, 5, F}}},
      {bsTopLine, bsRaised, {{0, 0, L}, {0, 1, S}}},
      {bsBottomLine, bsLowered, {{3, 8, S}, {3, 9, L}, {3, 0, F}}},
      {bsLeftLine, bsLowered, {{0, 5, S}, {1, 5, L}, {2, 5, F}}},
      {bsRightLine, bsLowered, {{18, 5, S}, {19, 5, L}}},
      {bsBox, bsLowered, {{0, 0, S}, {18, 0, S}, {19, 0, L}, {19, 9, L}, {5, 9, L}, {5, 5, F}}},
      {bsFrame, bsLowered, {{0, 0, S}, {1, 1, L}, {18, 8, S}, {19, 9, L}, {5, 5, F}}},
      {bsSpacer, bsLowered, {{0, 0, F}, {19, 9, F}}},
  };
  for (auto& c : cases) {
    Harness h;
    TForm* form = MakeForm(100, 50);
    auto* b = new TBevel(form);
    b->SetBounds(10, 10, 20, 10);
    b->SetShape(c.shape);
    b->SetStyle(c.style);
    b->SetParent(form);
    form->Show();
    h.Pump();
    for (auto [x, y, col] : c.probes)
      EXPECT_EQ(h.Pixel(b, x, y), col) << c.shape << " " << c.style << " " << x << "," << y;
    form->Free();
  }
}

TEST(Splitter, DraggingResizesTheNeighbourWithinLimits) {
  struct Case {
    TAlign align;
    int drag;      // pixels along the axis
    int expected;  // neighbour size afterwards
  } cases[] = {
      {alLeft, 50, 150},
      {alLeft, -60, 40},
      {alLeft, -90, 0} /* below MinSize snaps shut */,
      {alLeft, 500, 366} /* the rest keeps MinSize: 400 - 30 - 4 */,
      {alRight, -40, 140},
      {alTop, 20, 120},
  };
  for (auto& c : cases) {
    Harness h;
    TForm* form = MakeForm(400, 300);
    bool horizontal = c.align == alLeft || c.align == alRight;
    auto* side = new Board(form, "side", gfx::clRed);
    side->SetBounds(0, 0, 100, 100);
    side->SetAlign(c.align);
    side->SetParent(form);
    auto* split = new TSplitter(form);
    split->SetAlign(c.align);
    if (horizontal)
      split->SetWidth(4);
    else
      split->SetHeight(4);
    // Placed just inside the neighbour's edge, so the alignment puts it after it.
    if (c.align == alLeft) split->SetLeft(150);
    if (c.align == alRight) split->SetLeft(0);
    if (c.align == alTop) split->SetTop(150);
    split->SetParent(form);
    auto* rest = new Board(form, "rest", gfx::clBlue);
    rest->SetAlign(alClient);
    rest->SetParent(form);
    int moved = 0;
    split->OnMoved = [&](rtl::TObject*) { moved++; };
    form->Show();
    h.Pump();
    h.input.MoveTo(split, 1, 1);
    h.input.Press();
    h.input.MoveTo(split, 1 + (horizontal ? c.drag : 0), 1 + (horizontal ? 0 : c.drag));
    h.input.Release();
    EXPECT_EQ(horizontal ? side->Width() : side->Height(), c.expected) << c.align << " " << c.drag;
    EXPECT_EQ(moved, 1);
    // The splitter sits against its neighbour again, the client fills the rest.
    if (c.align == alLeft) {
      EXPECT_EQ(split->Left(), side->Width());
    }
    if (c.align == alTop) {
      EXPECT_EQ(split->Top(), side->Height());
    }
    form->Free();
  }
}

}  // namespace
