// The office combo box: the event order of ItemIndex, the drop-down with
// its keys, wheel and mouse picking, placement near the bottom of the work
// area, the list's record name across skins and the tool-button looks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls_fixture.h"
#include "platform/win/layered.h"
#include "platform/win/metrics.h"
#include "platform/win/window.h"
#include "skin/inputs/bsSkinOfficeCombo.h"

using namespace ctltest;
using namespace win;

namespace {

constexpr uint32_t kNormalTB = 0xB4BECD, kHotTB = 0xFAC85A, kDownTB = 0x6E96E1;

class OfficeCombo : public ControlsTest {
 public:
  TbsSkinOfficeComboBox* Combo(bool skinned = false, int rows = 6, bool toolButton = false) {
    auto* c = new TbsSkinOfficeComboBox(form);
    c->SetBounds(10, 10, 120, 41);
    c->SetParent(form);
    c->SetToolButtonStyle(toolButton);
    c->SetDropDownCount(4);
    if (skinned) c->SetSkinData(skin.get());
    for (int i = 0; i < rows; ++i) {
      TbsSkinOfficeItem* it = c->Items()->Add();
      it->SetCaption("row " + std::to_string(i));
      it->OnClick = [this, i](rtl::TObject*) { log.push_back("item" + std::to_string(i)); };
    }
    c->OnClick = [this, c](rtl::TObject*) { log.push_back("click" + std::to_string(c->ItemIndex())); };
    c->OnChange = [this, c](rtl::TObject*) { log.push_back("change" + std::to_string(c->ItemIndex())); };
    c->OnCloseUp = [this](rtl::TObject*) { log.push_back("closeup"); };
    c->OnDropDown = [this](rtl::TObject*) { log.push_back("dropdown"); };
    h.Pump();
    return c;
  }
  std::vector<std::string> log;
  using V = std::vector<std::string>;
};

TEST_F(OfficeCombo, ItemIndexFiresClickThenChangeOnEveryCall) {
  auto* c = Combo();
  c->SetItemIndex(2);
  c->SetItemIndex(2);
  c->SetItemIndex(-1);
  EXPECT_EQ(log, (V{"item2", "click2", "change2", "item2", "click2", "change2", "click-1", "change-1"}));

  log.clear();
  form->BeginLoading();
  c->SetItemIndex(3);
  form->EndLoading();
  EXPECT_EQ(log, (V{"item3"}));
  EXPECT_EQ(c->ItemIndex(), 3);
}

TEST_F(OfficeCombo, KeysCommitAtOnceWhileTheWheelInAnOpenListOnlyHighlights) {
  auto* c = Combo();
  c->SetItemIndex(0);
  c->SetFocus();
  log.clear();
  // A move is the list's find (its setter) and then the combo's setter, so
  // the item hears both.
  h.input.Key(VK_DOWN, "");  // closed: a move that commits
  EXPECT_EQ(log, (V{"item1", "item1", "click1", "change1"}));
  log.clear();
  c->DropDown();
  EXPECT_TRUE(c->IsPopupVisible());
  EXPECT_EQ(log, (V{"dropdown"}));

  log.clear();
  h.input.Key(VK_DOWN, "");  // open: still commits
  EXPECT_EQ(log, (V{"item2", "item2", "click2", "change2"}));
  log.clear();
  h.input.Key(VK_ESCAPE, "");
  EXPECT_FALSE(c->IsPopupVisible());
  EXPECT_EQ(c->ItemIndex(), 2);  // Esc keeps what the keys committed
  EXPECT_EQ(log, (V{"item2"}));

  c->DropDown();
  log.clear();
  h.input.MoveTo(c, 20, 20);
  h.input.Wheel(-120);
  h.input.Wheel(-120);
  EXPECT_EQ(c->ListBox()->ItemIndex(), 4);
  EXPECT_EQ(log, (V{"item3", "item4"}));  // no combo events while open
  h.input.Key(VK_ESCAPE, "");
  EXPECT_EQ(c->ItemIndex(), 2);  // restored

  c->DropDown();
  h.input.Wheel(-120);
  log.clear();
  h.input.Key(VK_RETURN, "");
  EXPECT_EQ(log, (V{"click3", "change3", "closeup"}));

  // Closed, the wheel at the first row finds nothing yet fires again.
  c->SetItemIndex(0);
  log.clear();
  h.input.Wheel(120);
  EXPECT_EQ(log, (V{"item0", "click0", "change0"}));
}

TEST_F(OfficeCombo, OpeningAtTheFirstRowRunsTheListSetterTwice) {
  auto* c = Combo();
  c->SetItemIndex(0);
  log.clear();
  c->DropDown();
  EXPECT_EQ(log, (V{"dropdown", "item1", "item0"}));
  c->CloseUp(false);

  // No rows: nothing opens and OnDropDown stays quiet.
  c->Items()->Clear();
  log.clear();
  c->DropDown();
  EXPECT_FALSE(c->IsPopupVisible());
  EXPECT_TRUE(log.empty());
}

TEST_F(OfficeCombo, PressDragAndReleaseOverARowPicks) {
  auto* c = Combo();
  c->SetItemIndex(1);
  log.clear();
  h.input.MoveTo(c, 60, 20);
  h.input.Press();
  ASSERT_TRUE(c->IsPopupVisible());
  TbsPopupOfficeListBox* l = c->ListBox();
  // Below the combo, right-aligned, DropDownCount rows high.
  TPoint origin = c->ClientToScreen({0, c->Height()});
  EXPECT_EQ(l->Left(), origin.X);
  EXPECT_EQ(l->Top(), origin.Y);
  EXPECT_EQ(l->Height(), l->CalcHeight(4));
  EXPECT_FALSE(l->Focused());

  h.input.MoveTo(l->Handle(), 30, 2 + 30 * 3 + 10);  // row 3
  EXPECT_EQ(l->ItemIndex(), 3);
  h.input.Release();
  EXPECT_FALSE(c->IsPopupVisible());
  EXPECT_EQ(c->ItemIndex(), 3);
  EXPECT_EQ(log, (V{"dropdown", "click3", "change3", "closeup"}));

  // Click to open, then click a row of the open list.
  log.clear();
  h.input.MoveTo(c, 60, 20);
  h.input.Click();
  ASSERT_TRUE(c->IsPopupVisible());
  h.input.MoveTo(l->Handle(), 30, 2 + 30 * 1 + 10);
  h.input.Click();
  EXPECT_FALSE(c->IsPopupVisible());
  EXPECT_EQ(log, (V{"dropdown", "click1", "change1", "closeup"}));

  // A press on another window cancels and restores.
  c->DropDown();
  h.input.MoveTo(l->Handle(), 30, 2 + 30 * 3 + 10);
  EXPECT_EQ(l->ItemIndex(), 3);
  log.clear();
  h.input.MoveTo(form->Handle(), 300, 180);
  h.input.Click();
  EXPECT_FALSE(c->IsPopupVisible());
  EXPECT_EQ(c->ItemIndex(), 1);
  EXPECT_EQ(log, (V{"item1"}));

  // A release away from the list cancels and restores.
  c->DropDown();
  log.clear();
  h.input.MoveTo(l->Handle(), 30, 2 + 30 * 2 + 10);
  h.input.Press();
  h.input.MoveTo(c, 60, 20);
  h.input.Release();
  EXPECT_FALSE(c->IsPopupVisible());
  EXPECT_EQ(c->ItemIndex(), 1);
}

// The list remembers the row the pointer last reached. When code moved the
// selection meanwhile, a pointer coming straight back onto that row must
// still make it the one the click picks.
TEST_F(OfficeCombo, AClickOnTheRowUsedLastTimePicksItAfterCodeMovedTheSelection) {
  auto* c = Combo();
  TbsPopupOfficeListBox* l = c->ListBox();
  const int row3 = 2 + 30 * 3 + 10;
  h.input.MoveTo(c, 60, 20);
  h.input.Click();
  h.input.MoveTo(l->Handle(), 30, row3);
  h.input.Click();
  ASSERT_EQ(c->ItemIndex(), 3);
  c->SetItemIndex(0);
  log.clear();
  h.input.MoveTo(c, 60, 20);
  h.input.Click();
  ASSERT_TRUE(c->IsPopupVisible());
  h.input.MoveTo(l->Handle(), 30, row3);
  h.input.Click();
  EXPECT_FALSE(c->IsPopupVisible());
  EXPECT_EQ(c->ItemIndex(), 3);
  EXPECT_EQ(log, (V{"dropdown", "item1", "item0", "click3", "change3", "closeup"}));
}

// A pointer that jumps onto the open list and presses there at once (no
// move reached the list first) still picks the row under it.
TEST_F(OfficeCombo, APressWithoutAMoveBeforeItPicksTheRowUnderThePointer) {
  auto* c = Combo();
  c->SetItemIndex(0);
  c->DropDown();
  ASSERT_TRUE(c->IsPopupVisible());
  TbsPopupOfficeListBox* l = c->ListBox();
  const TPoint at = l->ClientToScreen({30, 2 + 30 * 2 + 10});
  h.input.Later({plat::test::Input::ButtonEvent(true, at.X, at.Y), plat::test::Input::ButtonEvent(false, at.X, at.Y)});
  h.Pump();
  EXPECT_FALSE(c->IsPopupVisible());
  EXPECT_EQ(c->ItemIndex(), 2);
}

TEST_F(OfficeCombo, APressOnTheComboWhileItsListIsOpenShowsTheButtonPressed) {
  auto* c = Combo();
  c->SetItemIndex(1);
  c->DropDown();
  ASSERT_TRUE(c->IsPopupVisible());
  h.input.MoveTo(c, 110, 20);
  h.input.Press();
  EXPECT_FALSE(c->IsPopupVisible());
  EXPECT_EQ(Px(c, 104, 8), Rgb(gfx::TColor(0xB59385)));
  h.input.Release();
  EXPECT_EQ(Px(c, 104, 8), Rgb(gfx::TColor(0xD2BDB6)));
  EXPECT_EQ(c->ItemIndex(), 1);
}

// The tool-button face is hot while the pointer is over it or it has the
// focus; picking from its list and moving on leaves it idle again.
TEST_F(OfficeCombo, TheHotFaceEndsWhenThePointerLeavesAfterAPick) {
  auto* c = Combo(true, 6, true);
  auto* other = Combo(false, 2);
  other->SetLeft(200);
  c->SetItemIndex(1);
  TbsPopupOfficeListBox* l = c->ListBox();
  h.input.MoveTo(c, 60, 20);
  EXPECT_EQ(Px(c, 1, 1), kHotTB);
  h.input.Click();
  ASSERT_TRUE(c->IsPopupVisible());
  h.input.MoveTo(l->Handle(), 30, 2 + 30 * 2 + 10);
  h.input.Click();
  ASSERT_EQ(c->ItemIndex(), 2);
  other->SetFocus();  // the program hands the keyboard on after a pick
  h.input.MoveTo(form->Handle(), 300, 180);
  EXPECT_EQ(Px(c, 1, 1), kNormalTB);
}

TEST_F(OfficeCombo, HeldBelowTheListAutoScrollsEvery25ms) {
  auto* c = Combo(false, 12);
  c->SetItemIndex(1);
  h.input.MoveTo(c, 60, 20);
  h.input.Press();
  TbsPopupOfficeListBox* l = c->ListBox();
  ASSERT_NE(l->ScrollBar(), nullptr);
  h.input.MoveTo(l->Handle(), 30, 40);
  h.input.MoveTo(l->Handle(), 30, l->Height() + 20);
  EXPECT_EQ(c->TimerMode(), 2);
  int before = l->ItemIndex();
  h.Advance(25);
  EXPECT_EQ(l->ItemIndex(), before + 1);
  h.Advance(25 * 20);
  EXPECT_EQ(l->ItemIndex(), 11);  // stops at the last row
  h.input.MoveTo(l->Handle(), 30, 40);
  EXPECT_EQ(c->TimerMode(), 0);
  h.input.Release();
  EXPECT_FALSE(c->IsPopupVisible());
}

TEST_F(OfficeCombo, NearTheBottomItOpensAboveJudgedByItsNewHeight) {
  win::SetScreens({{{0, 0, 1024, 768}, {0, 0, 1024, 300}}});
  auto* c = Combo();
  c->SetTop(150);  // list below would end at 150 + 41 + 10 + 125 > 300
  h.Pump();
  c->DropDown();
  TbsPopupOfficeListBox* l = c->ListBox();
  TPoint top = c->ClientToScreen({0, 0});
  EXPECT_EQ(l->Height(), l->CalcHeight(4));
  EXPECT_EQ(l->Top(), top.Y - l->Height());
  c->CloseUp(false);
  win::SetScreens({});
}

TEST_F(OfficeCombo, TheTranslucentListFadesInOnTimerTicks) {
  win::SetCompositorPresent(true);
  auto* c = Combo();
  c->SetAlphaBlend(true);
  c->SetAlphaBlendAnimation(true);
  c->SetAlphaBlendValue(200);
  c->DropDown();
  TbsPopupOfficeListBox* l = c->ListBox();
  auto alpha = [&] {
    uint8_t a = 0;
    win::GetLayeredWindowAttributes(l->Handle(), nullptr, &a, nullptr);
    return int(a);
  };
  EXPECT_TRUE(l->Fading());
  EXPECT_EQ(alpha(), 0);
  h.Advance(6);
  EXPECT_EQ(alpha(), 13);  // 200 div 15 per step
  h.Advance(6 * 20);
  EXPECT_FALSE(l->Fading());
  EXPECT_EQ(alpha(), 200);
  c->CloseUp(false);
  // Every opening fades in again; closing mid-fade leaves the final alpha.
  c->DropDown();
  EXPECT_TRUE(l->Fading());
  c->CloseUp(false);
  EXPECT_FALSE(l->Fading());
  EXPECT_EQ(alpha(), 200);
  win::SetCompositorPresent(false);
}

TEST_F(OfficeCombo, TheListRecordNameSurvivesASkinWithoutACombo) {
  auto* c = Combo(true);
  c->SetListBoxSkinDataName("resizetoolpanel");
  EXPECT_EQ(c->ListBox()->SkinDataName(), "resizetoolpanel");
  auto bare = LoadSkin(std::string(NOCOMBO_SKIN_DIR));
  c->SetSkinData(bare.get());
  EXPECT_EQ(c->ListBox()->SkinDataName(), "");
  c->SetSkinData(skin.get());
  EXPECT_EQ(c->ListBox()->SkinDataName(), "resizetoolpanel");
  EXPECT_EQ(c->ListBoxSkinDataName(), "resizetoolpanel");
  c->SetSkinData(nullptr);
}

TEST_F(OfficeCombo, ClassicButtonAndItemAreaFollowHoverPressAndFocus) {
  auto* c = Combo();
  c->SetItemIndex(1);
  EXPECT_EQ(c->Button().R, (TRect{101, 2, 118, 39}));
  EXPECT_EQ(c->CBItem().R, (TRect{2, 2, 100, 39}));
  EXPECT_EQ(Px(c, 104, 8), Rgb(gfx::clBtnFace));
  EXPECT_EQ(Px(c, 90, 5), Rgb(gfx::clWindow));
  h.input.MoveTo(c, 110, 20);
  EXPECT_EQ(Px(c, 104, 8), Rgb(gfx::TColor(0xD2BDB6)));
  h.input.Press();
  ASSERT_TRUE(c->IsPopupVisible());
  EXPECT_EQ(Px(c, 104, 8), Rgb(gfx::TColor(0xB59385)));
  EXPECT_EQ(Px(c, 90, 5), Rgb(gfx::clHighlight));  // the combo took the focus
  h.input.Release();
  EXPECT_EQ(Px(c, 104, 8), Rgb(gfx::TColor(0xD2BDB6)));
  c->CloseUp(false);
}

TEST_F(OfficeCombo, ToolButtonLooksFollowTheStates) {
  auto* c = Combo(true, 6, true);
  c->SetItemIndex(1);
  EXPECT_EQ(Px(c, 1, 1), kNormalTB);
  c->SetFocus();
  EXPECT_EQ(Px(c, 1, 1), kHotTB);
  c->DropDown();
  EXPECT_EQ(Px(c, 1, 1), kDownTB);
  c->CloseUp(false);

  auto* d = Combo(false, 6, true);
  d->SetLeft(150);
  h.Pump();
  EXPECT_EQ(Px(d, 5, 5), Rgb(gfx::clBtnFace));
  d->DropDown();
  EXPECT_EQ(Px(d, 5, 5), Rgb(gfx::TColor(0xB59385)));
  d->CloseUp(false);

  // A stale index after the rows were replaced shows no item (and paints).
  d->Items()->Clear();
  d->Items()->Add()->SetCaption("only");
  d->Repaint();
  EXPECT_EQ(d->ItemIndex(), -1);
}

TEST_F(OfficeCombo, AToolButtonCentresItsItemAndKeepsItOffTheEdge) {
  // The format chooser's shape: a tall button with a title and a caption.
  auto* c = Combo(false, 1, true);
  c->SetBounds(10, 10, 200, 72);
  c->Items()->Items(0)->SetTitle("Title");
  c->SetItemIndex(0);
  h.Pump();
  const uint32_t face = Px(c, 3, c->Height() - 3);
  int top = -1, bottom = -1, left = c->Width();
  // Inside the two-pixel frame, left of the arrow.
  for (int y = 2; y < c->Height() - 2; ++y)
    for (int x = 2; x < c->Width() - 17; ++x)
      if (Px(c, x, y) != face) {
        if (top < 0) top = y;
        bottom = y;
        left = std::min(left, x);
      }
  ASSERT_GE(top, 0);
  const int below = c->Height() - 1 - bottom;
  EXPECT_LE(std::abs(top - below), 2) << "ink from " << top << " to " << bottom;
  EXPECT_GE(left, 5);
}

}  // namespace
