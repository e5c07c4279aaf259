// The skinned tree view: external bars follow the tree's rows both ways,
// the view's colours come from the tree record or the defaults.
#include <string>

#include "controls_fixture.h"
#include "platform/ctl/scrollinfo.h"
#include "platform/win/window.h"
#include "skin/controls/bsSkinViews.h"

namespace ctltest {
namespace {

using namespace win;

class TreeTest : public ControlsTest {
 public:
  TbsSkinTreeView* Make(int roots, int children, bool skinned = true) {
    auto* tv = new TbsSkinTreeView(form);
    tv->SetParent(form);
    tv->SetBounds(10, 10, 200, 150);
    tv->Items()->BeginUpdate();
    for (int i = 0; i < roots; ++i) {
      auto* n = tv->Items()->Add(nullptr, "node" + std::to_string(i));
      for (int k = 0; k < children; ++k) tv->Items()->AddChild(n, "child" + std::to_string(k));
    }
    tv->Items()->EndUpdate();
    if (skinned) tv->SetSkinData(skin.get());
    vbar = new TbsSkinScrollBar(form);
    vbar->SetKind(sbVertical);
    vbar->SetParent(form);
    vbar->SetBounds(210, 10, 19, 150);
    hbar = new TbsSkinScrollBar(form);
    hbar->SetParent(form);
    hbar->SetBounds(10, 160, 200, 19);
    tv->SetVScrollBar(vbar);
    tv->SetHScrollBar(hbar);
    h.Pump();
    return tv;
  }
  int TopRow(TbsSkinTreeView* tv) { return ctl::GetScrollPos(tv->Handle(), SB_VERT); }
  TbsSkinScrollBar* vbar = nullptr;
  TbsSkinScrollBar* hbar = nullptr;
};

TEST_F(TreeTest, BarsFollowTheTreeBothWays) {
  auto* tv = Make(5, 10);
  EXPECT_FALSE(vbar->Visible()) << "five closed nodes fit";
  tv->Items()->GetFirstNode()->Expand(false);
  tv->Items()->GetFirstNode()->GetNextSibling()->Expand(false);
  h.Pump();
  ASSERT_TRUE(vbar->Visible());
  int mn = 0, mx = 0;
  ctl::GetScrollRange(tv->Handle(), SB_VERT, &mn, &mx);
  EXPECT_EQ(vbar->Max(), mx);
  EXPECT_EQ(mx, 24);
  EXPECT_EQ(vbar->PageSize(), tv->VisibleCount());
  EXPECT_TRUE(hbar->Both() == vbar->Visible());
  vbar->SetPosition(10);
  h.Pump();
  EXPECT_EQ(TopRow(tv), 10);
  tv->SetFocus();
  tv->SetSelected(tv->Items()->GetFirstNode());
  h.Pump();
  EXPECT_EQ(vbar->Position(), 0) << "selecting scrolls the node into view and the bar follows";
  h.input.Key(VK_END);
  EXPECT_EQ(vbar->Position(), TopRow(tv));
  EXPECT_GT(vbar->Position(), 0);
  h.input.MoveTo(tv, 50, 50);
  int before = TopRow(tv);
  h.input.Wheel(120);
  h.Pump();
  EXPECT_EQ(TopRow(tv), before - 3);
  EXPECT_EQ(vbar->Position(), before - 3);
  // Hiding the view hides the bars.
  tv->SetVisible(false);
  h.Pump();
  EXPECT_FALSE(vbar->Visible());
}

TEST_F(TreeTest, ColoursFromTheRecordOrTheDefaults) {
  auto* tv = Make(3, 0);
  EXPECT_EQ(tv->SkinIndex() >= 0, true);
  EXPECT_EQ(Rgb(tv->Color()), 0xF0FFF0u);
  EXPECT_EQ(Rgb(tv->Font()->Color()), 0x000060u);
  // The selected node takes the skin's highlight, the system's without a record.
  tv->SetSelected(tv->Items()->Item(1));
  tv->SetFocus();
  h.Pump();
  const TRect sel = tv->Items()->Item(1)->DisplayRect(true);
  auto selPixel = [&] { return Px(tv, sel.Right - 2, sel.Top + 1); };
  EXPECT_EQ(selPixel(), 0xCC9933u);
  tv->SetSkinDataName("nosuchrecord");
  tv->SetDefaultColor(gfx::TColor(0x00FFEEDD));
  tv->ChangeSkinData();
  EXPECT_EQ(tv->SkinIndex(), -1);
  EXPECT_EQ(tv->Color(), gfx::TColor(0x00FFEEDD));
  EXPECT_EQ(tv->Font()->Name(), "Arial");
  EXPECT_EQ(Px(tv, 150, 120), Rgb(gfx::TColor(0x00FFEEDD)));
  EXPECT_EQ(selPixel(), Rgb(gfx::clHighlight));
}

TEST_F(TreeTest, PositionsBeyondSixteenBitsReachTheTree) {
  auto* tv = Make(33000, 0, false);
  ASSERT_TRUE(vbar->Visible());
  EXPECT_EQ(vbar->Max(), 32999);
  vbar->SetPosition(32900);
  h.Pump();
  EXPECT_EQ(TopRow(tv), 32900) << "not wrapped to a negative 16-bit value";
  EXPECT_EQ(tv->TopItem()->Text(), "node32900");
}

}  // namespace
}  // namespace ctltest
