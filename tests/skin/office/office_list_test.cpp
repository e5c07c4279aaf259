// The office list box: row layout with header rows, the own scroll bar,
// keyboard moves over headers and disabled rows, selection events, the
// mouse rules and the classic and skinned row looks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls_fixture.h"
#include "platform/win/window.h"
#include "skin/inputs/bsSkinOfficeList.h"

using namespace ctltest;
using namespace win;

namespace {

constexpr uint32_t kFrame = 0x465A82, kActive = 0xFAD76E, kHeader = 0x5A78AA;

class OfficeList : public ControlsTest {
 public:
  // Rows: 0 header, 1, 2 disabled, 3, 4 header, 5, 6 disabled, 7.
  TbsSkinOfficeListBox* List(bool skinned = false, int rows = 8) {
    auto* l = Make<TbsSkinOfficeListBox>(10, 10, 150, 150, "", skinned);
    for (int i = 0; i < rows; ++i) {
      TbsSkinOfficeItem* it = l->Items()->Add();
      it->SetCaption("r" + std::to_string(i));
      it->SetHeader(i % 4 == 0);
      it->SetEnabled(i % 4 != 2);
      it->OnClick = [this, i](rtl::TObject*) { log.push_back("item" + std::to_string(i)); };
    }
    l->OnItemClick = [this](rtl::TObject*) { log.push_back("list"); };
    h.Pump();
    return l;
  }
  std::vector<std::string> log;
};

TEST_F(OfficeList, RowsStackBelowTheItemsAreaAndTheBarComesAndGoes) {
  auto* l = List(false, 0);
  EXPECT_EQ(l->CalcHeight(5), 5);
  int mn, mx, pos, page;
  l->GetScrollInfo(mn, mx, pos, page);
  EXPECT_EQ(l->MaxBottom(), 2);
  EXPECT_EQ(mx, 0);
  EXPECT_EQ(l->ScrollBar(), nullptr);

  // Four rows fit (20 + 30 + 30 + 30 = 110 of 146): no bar, full width.
  for (int i = 0; i < 4; ++i) l->Items()->Add()->SetHeader(i == 0);
  EXPECT_EQ(l->ScrollBar(), nullptr);
  EXPECT_EQ(l->Items()->Items(1)->ItemRect, (TRect{2, 22, 148, 52}));

  // Eight rows do not: the bar (19 wide unskinned) narrows the rows.
  for (int i = 4; i < 8; ++i) l->Items()->Add()->SetHeader(i == 4);
  ASSERT_NE(l->ScrollBar(), nullptr);
  EXPECT_EQ(l->ScrollBar()->Width(), 19);
  l->CalcItemRects();
  EXPECT_EQ(l->Items()->Items(7)->ItemRect, (TRect{2, 192, 129, 222}));
  EXPECT_EQ(l->MaxBottom(), 222);
  EXPECT_FALSE(l->Items()->Items(7)->IsVisible);
  EXPECT_TRUE(l->Items()->Items(5)->IsVisible);  // 132..162 crosses the bottom edge
  l->GetScrollInfo(mn, mx, pos, page);
  EXPECT_EQ(mx, 220);
  EXPECT_EQ(page, 146);

  l->Items()->Clear();
  EXPECT_EQ(l->ScrollBar(), nullptr);
}

TEST_F(OfficeList, KeyboardMovesSkipHeadersAndDisabledRows) {
  struct Case {
    int from;
    void (TbsSkinOfficeListBox::*find)();
    int to;
  } cases[] = {
      {-1, &TbsSkinOfficeListBox::FindDown, 1},    {1, &TbsSkinOfficeListBox::FindDown, 3},
      {3, &TbsSkinOfficeListBox::FindDown, 5},     {7, &TbsSkinOfficeListBox::FindDown, 7},
      {5, &TbsSkinOfficeListBox::FindUp, 3},       {1, &TbsSkinOfficeListBox::FindUp, 1},
      {5, &TbsSkinOfficeListBox::FindPageUp, 3},   {7, &TbsSkinOfficeListBox::FindPageUp, 3},
      {3, &TbsSkinOfficeListBox::FindPageUp, 1},   {-1, &TbsSkinOfficeListBox::FindPageDown, 1},
      {1, &TbsSkinOfficeListBox::FindPageDown, 5}, {5, &TbsSkinOfficeListBox::FindPageDown, 7},
      {12, &TbsSkinOfficeListBox::FindUp, 7},  // a stale index beyond the rows
  };
  auto* l = List();
  for (const Case& c : cases) {
    l->SelectItem(c.from);
    log.clear();
    (l->*c.find)();
    SCOPED_TRACE("from " + std::to_string(c.from));
    EXPECT_EQ(l->ItemIndex(), c.to);
    EXPECT_EQ(log.size(), c.to == c.from ? 0u : 2u);
  }
}

TEST_F(OfficeList, ItemIndexFiresOnEveryCallAndOnlyForARow) {
  auto* l = List();
  l->SetItemIndex(3);
  l->SetItemIndex(3);
  EXPECT_EQ(log, (std::vector<std::string>{"item3", "list", "item3", "list"}));
  EXPECT_TRUE(l->Items()->Items(3)->Active);

  // -1 fires nothing and leaves no row drawn selected.
  log.clear();
  l->SetItemIndex(-1);
  EXPECT_TRUE(log.empty());
  EXPECT_FALSE(l->Items()->Items(3)->Active);

  // An index beyond the rows is kept as a number but selects nothing.
  l->SetItemIndex(20);
  EXPECT_EQ(l->ItemIndex(), 20);
  EXPECT_TRUE(log.empty());
  for (int i = 0; i < 8; ++i) EXPECT_FALSE(l->Items()->Items(i)->Active);
  // Adding a row keeps the number; a new row at the number is selected.
  l->SetItemIndex(1);
  l->Items()->Clear();
  l->Items()->Add();
  l->Items()->Add();
  EXPECT_EQ(l->ItemIndex(), 1);
  EXPECT_TRUE(l->Items()->Items(1)->Active);
}

TEST_F(OfficeList, ScrollingKeepsTheSelectedRowAndALeadingHeaderInView) {
  auto* l = List();
  l->SetItemIndex(7);
  EXPECT_EQ(l->ScrollOffset(), 75);
  EXPECT_EQ(l->ScrollBar()->Position(), 75);
  l->SetItemIndex(1);
  EXPECT_EQ(l->ScrollOffset(), 0);  // the header above row 1 shows as well
  l->SetItemIndex(3);
  EXPECT_EQ(l->ScrollOffset(), 0);

  // The wheel moves the bar by a row, and the bar scrolls the list.
  l->SetFocus();
  h.input.MoveTo(l, 50, 50);
  h.input.Wheel(-120);
  EXPECT_EQ(l->ScrollOffset(), 30);
  h.input.Wheel(120);
  EXPECT_EQ(l->ScrollOffset(), 0);
}

TEST_F(OfficeList, MouseSelectsEnabledRowsAndHoverSelectsSilently) {
  auto* l = List();
  h.input.MoveTo(l, 20, 65);  // row 2, disabled
  h.input.Click();
  h.input.MoveTo(l, 20, 10);  // row 0, header
  h.input.Click();
  EXPECT_EQ(l->ItemIndex(), -1);
  EXPECT_TRUE(log.empty());

  h.input.MoveTo(l, 20, 35);
  h.input.Click();
  EXPECT_EQ(l->ItemIndex(), 1);
  EXPECT_EQ(log, (std::vector<std::string>{"item1", "list"}));
  EXPECT_TRUE(l->Focused());

  log.clear();
  l->MouseMoveChangeIndex = true;
  h.input.MoveTo(l, 20, 95);
  EXPECT_EQ(l->ItemIndex(), 3);
  h.input.MoveTo(l, 20, 35);
  EXPECT_EQ(l->ItemIndex(), 1);
  EXPECT_TRUE(log.empty());
}

TEST_F(OfficeList, ClassicAndSkinnedRowLooks) {
  auto* c = List(false);
  c->SetItemIndex(1);
  EXPECT_EQ(Px(c, 120, 30), Rgb(gfx::clHighlight));
  EXPECT_EQ(Px(c, 120, 8), Rgb(gfx::clBtnShadow));  // header row
  EXPECT_EQ(Px(c, 120, 70), Rgb(gfx::clWindow));
  EXPECT_EQ(Px(c, 0, 70), Rgb(gfx::clBtnShadow));  // frame

  auto* s = List(true);
  s->SetLeft(170);
  s->SetItemIndex(1);
  EXPECT_EQ(Px(s, 1, 70), kFrame);
  EXPECT_EQ(Px(s, 110, 8), kHeader);
  EXPECT_EQ(Px(s, 110, 30), kActive);  // selected, the list without the focus
  EXPECT_NE(Px(s, 110, 70), kActive);
}

}  // namespace
