// The skinned list and tree views: the external scroll bars follow the
// view's scroll state in both directions, and the report header is painted
// section by section from the header record or in the default look.
#include <string>

#include "controls_fixture.h"
#include "platform/ctl/commctrl.h"
#include "platform/ctl/scrollinfo.h"
#include "platform/win/window.h"
#include "skin/controls/bsSkinPageControl.h"
#include "skin/controls/bsSkinViews.h"

namespace ctltest {
namespace {

using namespace win;

constexpr uint32_t kHdr = 0xC8CDD7, kHdrDown = 0x6E96E1, kListBG = 0xF0F8FF, kSkinHighlight = 0xCC9933;

class ViewsTest : public ControlsTest {
 public:
  void SetUp() override {
    ControlsTest::SetUp();
    form->SetBounds(0, 0, 640, 520);
    h.Pump();
  }

  // The main window's file list: report view, grid lines, row select,
  // read-only, two external bars.
  TbsSkinListView* FileList(int rows, int visibleRows, int width = 300, bool skinned = true) {
    auto* lv = new TbsSkinListView(form);
    lv->SetViewStyle(ctl::vsReport);
    lv->SetGridLines(true);
    lv->SetRowSelect(true);
    lv->ReadOnly = true;
    lv->SetParent(form);
    lv->SetBounds(10, 10, width, 100);
    for (const char* c : {"Name", "Size", "Format"}) {
      auto* col = lv->Columns()->Add();
      col->SetCaption(c);
      col->SetWidth(80);
    }
    lv->Items()->BeginUpdate();
    for (int i = 0; i < rows; ++i) {
      auto* it = lv->Items()->Add();
      it->SetCaption("file" + std::to_string(i));
      it->SubItems()->Add(std::to_string(i * 10) + " KB");
    }
    lv->Items()->EndUpdate();
    if (skinned) lv->SetSkinData(skin.get());
    h.Pump();
    lv->SetBounds(10, 10, width, lv->HeaderHeight() + visibleRows * lv->RowHeight() + lv->RowHeight() / 2);
    vbar = new TbsSkinScrollBar(form);
    vbar->SetKind(sbVertical);
    vbar->SetParent(form);
    vbar->SetBounds(width + 10, 10, 19, 200);
    hbar = new TbsSkinScrollBar(form);
    hbar->SetParent(form);
    hbar->SetBounds(10, 480, width, 19);
    lv->SetVScrollBar(vbar);
    lv->SetHScrollBar(hbar);
    h.Pump();
    return lv;
  }
  int Top(ctl::TCustomListView* lv) { return lv->TopItem() ? lv->TopItem()->Index() : -1; }

  TbsSkinScrollBar* vbar = nullptr;
  TbsSkinScrollBar* hbar = nullptr;
};

TEST_F(ViewsTest, ReportBarsFollowTheViewBothWays) {
  auto* lv = FileList(100, 20);
  EXPECT_EQ(lv->VisibleRowCount(), 20);
  ASSERT_TRUE(vbar->Visible());
  EXPECT_EQ(vbar->Min(), 0);
  EXPECT_EQ(vbar->Max(), 99);
  EXPECT_EQ(vbar->PageSize(), 20);
  EXPECT_EQ(vbar->SmallChange(), 1);
  EXPECT_EQ(vbar->LargeChange(), 20);
  EXPECT_FALSE(hbar->Visible()) << "three 80-pixel columns fit in 300";
  EXPECT_TRUE(hbar->Both()) << "on while the vertical bar shows";

  // The bar moves the view by whole rows.
  vbar->SetPosition(3);
  h.Pump();
  EXPECT_EQ(Top(lv), 3);
  vbar->SetPosition(50);
  h.Pump();
  EXPECT_EQ(Top(lv), 50);

  // Keys and the wheel move the bar back in step.
  lv->SetFocus();
  lv->SetSelected(lv->Items()->Item(50));
  h.input.Key(VK_END);
  EXPECT_EQ(Top(lv), 80);
  EXPECT_EQ(vbar->Position(), 80);
  h.input.Key(VK_HOME);
  EXPECT_EQ(vbar->Position(), 0);
  h.input.MoveTo(lv, 40, 60);
  h.input.Wheel(-120);
  h.Pump();
  EXPECT_EQ(Top(lv), 3);
  EXPECT_EQ(vbar->Position(), 3);
  // After the view moved itself, the next bar move starts from there.
  vbar->SetPosition(5);
  h.Pump();
  EXPECT_EQ(Top(lv), 5);
}

TEST_F(ViewsTest, ReportVisibilityRules) {
  struct Case {
    int rows, visible, width;
    bool v, hbarShown;
  } cases[] = {
      {10, 20, 300, false, false},  // all rows fit
      {21, 20, 300, true, false},   // one row too many
      {100, 20, 200, true, true},   // columns wider than the view: both bars, corner left free
      {5, 20, 200, false, true},
  };
  for (const auto& c : cases) {
    auto* lv = FileList(c.rows, c.visible, c.width);
    EXPECT_EQ(vbar->Visible(), c.v) << c.rows << " rows";
    EXPECT_EQ(hbar->Visible(), c.hbarShown) << c.width;
    EXPECT_EQ(hbar->Both(), c.v) << "the horizontal bar leaves the corner exactly while the vertical one shows";
    if (c.hbarShown) {
      EXPECT_EQ(hbar->PageSize(), c.width);
      hbar->SetPosition(30);
      h.Pump();
      EXPECT_EQ(lv->ScrollX(), 30);
    }
    lv->Free();
    vbar->Free();
    hbar->Free();
    h.Pump();
  }
}

TEST_F(ViewsTest, HidingTheViewHidesTheBars) {
  auto* lv = FileList(100, 20);
  ASSERT_TRUE(vbar->Visible());
  lv->SetVisible(false);
  h.Pump();
  EXPECT_FALSE(vbar->Visible());
  EXPECT_FALSE(hbar->Visible());
  lv->SetVisible(true);
  h.Pump();
  EXPECT_TRUE(vbar->Visible());
  EXPECT_FALSE(hbar->Visible()) << "the next update hides the bar that is not needed";
}

TEST_F(ViewsTest, ListStyleScrollsByColumns) {
  auto* lv = FileList(400, 20);
  lv->SetViewStyle(ctl::vsList);
  h.Pump();
  EXPECT_FALSE(vbar->Visible()) << "never in list style";
  ASSERT_TRUE(hbar->Visible());
  EXPECT_EQ(hbar->SmallChange(), 1);
  plat::test::MessageLog log(lv, {WM_HSCROLL});
  hbar->SetPosition(hbar->Position() + 2);
  h.Pump();
  ASSERT_EQ(log.Count(WM_HSCROLL), 2u);
  for (const auto& e : log.entries) EXPECT_EQ(LOWORD(e.wParam), SB_LINERIGHT);
  EXPECT_EQ(ctl::GetScrollPos(lv->Handle(), SB_HORZ), 2);
}

TEST_F(ViewsTest, TinyViewLeavesTheBarsAlone) {
  auto* lv = FileList(100, 20);
  ASSERT_TRUE(vbar->Visible());
  lv->SetBounds(10, 10, 300, 5);
  h.Pump();
  EXPECT_TRUE(vbar->Visible());
  EXPECT_EQ(vbar->Max(), 99);
}

TEST_F(ViewsTest, AlignedViewRealignsItsParentOnce) {
  auto* lv = FileList(100, 20);
  vbar->SetAlign(cl::alRight);
  lv->SetAlign(cl::alClient);
  h.Pump();
  ASSERT_TRUE(vbar->Visible());
  EXPECT_EQ(lv->Left() + lv->Width(), vbar->Left()) << "the view gives the bar its room";
  lv->Items()->Clear();
  h.Pump();
  EXPECT_FALSE(vbar->Visible());
  EXPECT_EQ(lv->Left() + lv->Width(), form->ClientWidth()) << "and takes it back";
}

// ---------------------------------------------------------------------------- header

TEST_F(ViewsTest, HeaderIsSubclassedAndWider) {
  auto* lv = FileList(10, 20);
  HWND hh = lv->SkinnedHeader();
  ASSERT_TRUE(bool(hh));
  RECT r;
  GetClientRect(hh, &r);
  EXPECT_EQ(r.Width(), lv->ClientWidth() + 25);
  // Switching views takes the header away; back in report view the new
  // header is subclassed again.
  lv->SetViewStyle(ctl::vsList);
  h.Pump();
  EXPECT_FALSE(bool(lv->SkinnedHeader()));
  lv->SetViewStyle(ctl::vsReport);
  h.Pump();
  EXPECT_TRUE(bool(lv->SkinnedHeader()));
}

TEST_F(ViewsTest, HeaderSectionsPressedAndFiller) {
  for (bool skinned : {true, false}) {
    auto* lv = FileList(10, 20, 300, skinned);
    HWND hh = lv->SkinnedHeader();
    ASSERT_TRUE(bool(hh));
    uint32_t normal = skinned ? kHdr : Rgb(gfx::clBtnFace);
    uint32_t down = skinned ? kHdrDown : Rgb(bsDownFillColor);
    h.Pump();
    EXPECT_EQ(h.Pixel(hh, 40, 4), normal);
    EXPECT_EQ(h.Pixel(hh, 260, 4), normal) << "filler past the last section";
    if (skinned)
      EXPECT_EQ(h.Pixel(lv, 200, lv->HeaderHeight() + lv->RowHeight() / 2), kListBG) << "background from the record";
    h.input.MoveTo(hh, 120, 8);
    h.input.Press();
    EXPECT_EQ(lv->ActiveSection(), 1);
    EXPECT_TRUE(lv->HeaderDown());
    EXPECT_EQ(h.Pixel(hh, 120, 4), down);
    EXPECT_EQ(h.Pixel(hh, 40, 4), normal);
    h.input.Release();
    EXPECT_EQ(lv->ActiveSection(), -1);
    EXPECT_EQ(h.Pixel(hh, 120, 4), normal);
    // A press on a divider presses no section; dragging it resizes the column.
    h.input.MoveTo(hh, 80, 8);
    h.input.Press();
    EXPECT_TRUE(lv->DividerDown());
    EXPECT_FALSE(lv->HeaderDown());
    h.input.MoveTo(hh, 100, 8);
    h.input.Release();
    EXPECT_EQ(lv->Columns()->Items(0)->Width(), 100);
    EXPECT_EQ(h.Pixel(hh, 85, 4), normal);
    lv->Free();
    vbar->Free();
    hbar->Free();
    h.Pump();
  }
}

// The record has no selection colours: a selected row takes the skin's
// highlight, and the system's without a skin.
TEST_F(ViewsTest, SelectedRowTakesTheSkinHighlight) {
  for (bool skinned : {true, false}) {
    SCOPED_TRACE(skinned ? "skinned" : "default look");
    auto* lv = FileList(3, 5, 300, skinned);
    lv->Items()->Item(1)->SetSelected(true);
    lv->SetFocus();
    h.Pump();
    // The third column holds no text, so the point shows the row's fill.
    const int row1 = lv->HeaderHeight() + lv->RowHeight() + lv->RowHeight() / 2;
    EXPECT_EQ(h.Pixel(lv, 200, row1), skinned ? kSkinHighlight : Rgb(gfx::clHighlight));
    EXPECT_EQ(h.Pixel(lv, 200, row1 + lv->RowHeight()), skinned ? kListBG : Rgb(gfx::clWindow));
    lv->Free();
    vbar->Free();
    hbar->Free();
    h.Pump();
  }
}

TEST_F(ViewsTest, PressedPictureFallsBackToTheHotOne) {
  // "flatheader" has a hot picture and no pressed one, and no bottom
  // corner points: sections are built as bars.
  auto* lv = FileList(10, 20);
  lv->SetHeaderSkinDataName("flatheader");
  InvalidateRect(lv->SkinnedHeader(), nullptr, FALSE);
  HWND hh = lv->SkinnedHeader();
  h.Pump();
  EXPECT_EQ(h.Pixel(hh, 120, 4), kHdr);
  h.input.MoveTo(hh, 120, 8);
  h.input.Press();
  EXPECT_EQ(h.Pixel(hh, 120, 4), 0xFAD76Eu);
  h.input.Release();
  EXPECT_EQ(h.Pixel(hh, 120, 4), kHdr);
}

TEST_F(ViewsTest, HiddenColumnsTakeNoSection) {
  auto* lv = FileList(10, 20);
  for (int i = 0; i < 22; ++i) {
    auto* c = lv->Columns()->Add();
    c->SetCaption("hidden");
    c->SetWidth(0);
    c->SetMaxWidth(1);
  }
  h.Pump();
  int drawn = 0;
  lv->OnDrawHeaderSection = [&](gfx::TCanvas*, ctl::TListColumn* c, bool, const TRect&) {
    ++drawn;
    EXPECT_NE(c->Caption(), "hidden");
  };
  InvalidateRect(lv->SkinnedHeader(), nullptr, FALSE);
  h.Pump();
  EXPECT_EQ(drawn, 3);
  EXPECT_EQ(h.Pixel(lv->SkinnedHeader(), 250, 4), kHdr);
}

TEST_F(ViewsTest, SectionTextPlacement) {
  // Fixed-metric text: every glyph 7 pixels wide.
  auto* lv = FileList(10, 20);
  gfx::TBitmap B;
  B.SetSize(200, 30);
  struct Case {
    const char* caption;
    cl::TAlignment align;
    int width;
    std::string shown;
    int left;  // first dark pixel column
  } cases[] = {
      {"Size", cl::taLeftJustify, 80, "Size", 5},
      {"Size", cl::taRightJustify, 80, "Size", 80 - 5 - 28},
      {"Size", cl::taCenter, 80, "Size", 80 / 2 - 14},
      {"A very long caption", cl::taRightJustify, 80, "", 5},
  };
  for (const auto& c : cases) {
    ctl::TListColumn* col = lv->Columns()->Items(1);
    col->SetCaption(c.caption);
    col->SetAlignment(c.align);
    B.Canvas()->Brush()->SetColor(gfx::clWhite);
    B.Canvas()->FillRect({0, 0, 200, 30});
    lv->DrawHeaderSection(B.Canvas(), col, {0, 0, c.width, 20}, false);
    int first = -1, last = -1;
    for (int x = 3; x < c.width - 3; ++x)
      for (int y = 4; y < 16; ++y)
        if ((B.Canvas()->Pixels(x, y) & 0xFFFFFF) != gfx::ColorToRGB(gfx::TColor(0xD7CDC8))) {
          if (first < 0) first = x;
          last = x;
        }
    EXPECT_GE(first, c.left) << c.caption << " " << c.align;
    EXPECT_LE(first, c.left + 1) << c.caption << " " << c.align;
    if (c.align == cl::taRightJustify && std::string(c.caption) == "Size") EXPECT_LE(last, c.width - 5);
    if (c.shown.empty()) EXPECT_LE(last, c.width - 5) << "shortened with an ellipsis inside the section";
  }
}

TEST_F(ViewsTest, SkinChangeShowsTheDefaultLookUntilTheNewSkinIsIn) {
  auto* lv = FileList(40, 10);
  auto* tv = new TbsSkinTreeView(form);
  tv->SetParent(form);
  tv->SetBounds(340, 250, 120, 100);
  tv->Items()->Add(nullptr, "node");
  tv->SetSkinData(skin.get());
  auto* pc = new TbsSkinPageControl(form);
  pc->SetParent(form);
  pc->SetBounds(340, 10, 260, 200);
  pc->SetShowCloseButtons(true);
  for (int i = 0; i < 9; ++i) {
    auto* sh = new TbsSkinTabSheet(form);
    sh->SetCaption("Sheet" + std::to_string(i));
    sh->SetPageControl(pc);
  }
  pc->SetSkinData(skin.get());
  h.Pump();
  ASSERT_NE(pc->Scroller(), nullptr);
  HWND hh = lv->SkinnedHeader();
  int rowY = lv->HeaderHeight() + lv->RowHeight() / 2;
  EXPECT_EQ(h.Pixel(hh, 40, 4), kHdr);
  EXPECT_EQ(Px(pc->Pages(0), 50, 50), 0xE1E8F5u);
  // A load: the store turns empty, the frame lets the controls go, the old
  // pictures and records are freed; paints in between show the default look.
  skin->Empty = true;
  SkinChangeWalk(form, WM_BEFORE_CHANGE_SKIN_DATA, skin.get());
  skin->ClearAll();
  for (cl::TControl* c : std::initializer_list<cl::TControl*>{lv, tv, pc, pc->Pages(0), pc->Scroller()}) c->Repaint();
  InvalidateRect(hh, nullptr, FALSE);
  h.Pump();
  EXPECT_EQ(h.Pixel(hh, 40, 4), Rgb(gfx::clBtnFace));
  EXPECT_EQ(Px(pc->Pages(0), 50, 50), Rgb(gfx::clBtnFace));
  skin->LoadFromFile(std::string(CTLSKIN_DIR) + "/skin.ini");
  SkinChangeWalk(form, WM_CHANGE_SKIN_DATA, skin.get());
  h.Pump();
  EXPECT_EQ(h.Pixel(hh, 40, 4), kHdr);
  EXPECT_EQ(h.Pixel(lv, 200, rowY), kListBG);
  EXPECT_EQ(Rgb(tv->Color()), 0xF0FFF0u);
  EXPECT_EQ(Px(pc->Pages(0), 50, 50), 0xE1E8F5u);
  ASSERT_NE(pc->Scroller(), nullptr);
  EXPECT_EQ(pc->Scroller()->SkinIndex() >= 0, true) << "the scroller is made again from the new skin";
}

TEST_F(ViewsTest, IconViewsPageByHalfRows) {
  auto* lv = FileList(300, 10);
  lv->SetViewStyle(ctl::vsSmallIcon);
  h.Pump();
  ASSERT_TRUE(vbar->Visible());
  int half = lv->Items()->Item(0)->DisplayRect(ctl::drBounds).Height() / 2;
  EXPECT_EQ(vbar->SmallChange(), half);
  EXPECT_EQ(vbar->LargeChange(), half);
  EXPECT_EQ(vbar->PageSize(), lv->Height());
  vbar->SetPosition(40);
  h.Pump();
  EXPECT_EQ(ctl::GetScrollPos(lv->Handle(), SB_VERT), 40) << "icon views scroll by pixels";
}

}  // namespace
}  // namespace ctltest
