// The skinned page control and its sheets: display and tab rectangles on
// all four sides, room in the tabs, the close protocol, the hot tab, wheel
// paging, hiding the tabs, the scroller, the turned tabs and the looks.
#include <string>
#include <vector>

#include "controls_fixture.h"
#include "platform/win/window.h"
#include "skin/draw/bsEffectBitmap.h"
#include "skin/controls/bsSkinPageControl.h"

namespace ctltest {
namespace {

using namespace win;

constexpr uint32_t kTab = 0xB4BECD, kTabActive = 0xF0F0FA, kTabsBG = 0x96A5BE, kClient = 0xE1E8F5, kClose = 0xC85050;

class PageTest : public ControlsTest {
 public:
  void SetUp() override {
    ControlsTest::SetUp();
    form->SetBounds(0, 0, 640, 480);
    h.Pump();
  }
  TbsSkinPageControl* Make(int pages, bool skinned, ctl::TTabPosition pos = ctl::tpTop, int w = 300, int hgt = 200) {
    auto* pc = new TbsSkinPageControl(form);
    pc->SetParent(form);
    pc->SetBounds(10, 10, w, hgt);
    pc->SetTabPosition(pos);
    for (int i = 0; i < pages; ++i) {
      auto* s = new TbsSkinTabSheet(form);
      s->SetCaption("Page" + std::to_string(i));
      s->SetPageControl(pc);
    }
    if (skinned) pc->SetSkinData(skin.get());
    h.Pump();
    return pc;
  }
  TbsSkinCustomTabSheet* Sheet(TbsSkinPageControl* pc, int i) {
    return dynamic_cast<TbsSkinCustomTabSheet*>(pc->Pages(i));
  }
  void ClickAt(cl::TControl* c, int x, int y) {
    h.input.MoveTo(c, x, y);
    h.input.Click();
  }
  // The centre of page i's close button on the screen.
  TPoint CloseCentre(TbsSkinPageControl* pc, int i) {
    TRect t = pc->GetTabRect(Sheet(pc, i)->TabIndex());
    TRect b = Sheet(pc, i)->ButtonRect;
    return {t.Left + (b.Left + b.Right) / 2, t.Top + (b.Top + b.Bottom) / 2};
  }
};

TEST_F(PageTest, DisplayRectOnEverySide) {
  struct Case {
    ctl::TTabPosition pos;
    bool skinned;
    int mode;  // 0 shown, 1 tabs hidden, 2 border and tabs hidden
    TRect d;
  } cases[] = {
      {ctl::tpTop, false, 0, {1, 21, 299, 199}},   {ctl::tpTop, true, 0, {4, 24, 296, 196}},
      {ctl::tpTop, false, 1, {1, 1, 299, 199}},    {ctl::tpTop, false, 2, {0, -2, 300, 200}},
      {ctl::tpBottom, false, 0, {1, 1, 299, 179}}, {ctl::tpBottom, true, 0, {4, 4, 296, 176}},
      {ctl::tpLeft, false, 0, {21, 1, 299, 199}},  {ctl::tpLeft, true, 0, {24, 6, 296, 196}},
      {ctl::tpRight, false, 0, {1, 1, 279, 199}},  {ctl::tpRight, true, 0, {4, 6, 276, 196}},
      {ctl::tpLeft, false, 1, {1, 1, 299, 199}},  // hidden left tabs move to the top
  };
  for (const auto& c : cases) {
    auto* pc = Make(3, c.skinned, c.pos);
    if (c.mode == 1) pc->HideTabs();
    if (c.mode == 2) pc->HideBorderAndTabs();
    h.Pump();
    EXPECT_EQ(pc->DisplayRect(), c.d) << c.pos << " skinned " << c.skinned << " mode " << c.mode;
    // The pages fill the display rectangle.
    EXPECT_EQ(pc->Pages(0)->BoundsRect(), c.d);
    pc->Free();
    h.Pump();
  }
}

TEST_F(PageTest, TabRectsAndHitTestOnEverySide) {
  struct Case {
    ctl::TTabPosition pos;
    TRect first;  // GetTabRect(0) with TabWidth 60
  } cases[] = {
      {ctl::tpTop, {1, 0, 60, 20}},
      {ctl::tpBottom, {1, 180, 60, 200}},
      {ctl::tpLeft, {0, 2, 20, 62}},
      {ctl::tpRight, {280, 2, 300, 62}},
  };
  for (const auto& c : cases) {
    auto* pc = Make(3, false, c.pos);
    pc->SetTabWidth(60);
    h.Pump();
    EXPECT_EQ(pc->GetTabRect(0), c.first) << c.pos;
    // A click in the middle of the second tab selects it.
    TRect t = pc->GetTabRect(1);
    ClickAt(pc, (t.Left + t.Right) / 2, (t.Top + t.Bottom) / 2);
    EXPECT_EQ(pc->ActivePageIndex(), 1) << c.pos;
    pc->Free();
    h.Pump();
  }
}

TEST_F(PageTest, CentredAndOffsetTabs) {
  auto* pc = Make(3, false, ctl::tpLeft, 400);
  pc->SetTabsInCenter(true);
  EXPECT_FALSE(pc->TabsInCenter()) << "refused without a fixed tab width";
  pc->SetTabWidth(80);
  pc->SetTabsInCenter(true);
  EXPECT_TRUE(pc->TabsInCenter());
  EXPECT_EQ(pc->TabPosition(), ctl::tpTop);
  EXPECT_TRUE(pc->TabsBGTransparent());
  EXPECT_EQ(pc->GetTabsOffset(), 80);
  EXPECT_EQ(pc->GetTabRect(0).Left, 81);
  pc->SetTabsInCenter(false);
  pc->SetTabsOffset(30);
  EXPECT_EQ(pc->GetTabsOffset(), 30);
  h.Pump();
  // Clicks reach the core reduced by the offset: x = 35 is 5 inside the
  // first tab, x = 30 + 85 inside the second.
  EXPECT_EQ(pc->IndexOfTabAt(85, 10), 1);
  ClickAt(pc, 30 + 85, 10);
  EXPECT_EQ(pc->ActivePageIndex(), 1);
  ClickAt(pc, 35, 10);
  EXPECT_EQ(pc->ActivePageIndex(), 0);
}

TEST_F(PageTest, RoomForImagesAndCloseButtons) {
  auto* pc = Make(2, false);
  auto* il = new cl::TCustomImageList(form);
  il->SetSize(16, 16);
  EXPECT_EQ(pc->TempImages()->Width(), 1);
  int w0 = pc->GetTabRect(1).Width();
  pc->SetShowCloseButtons(true);
  EXPECT_EQ(pc->TempImages()->Width(), 1 + 14);
  pc->SetImages(il);
  EXPECT_EQ(pc->TempImages()->Width(), 1 + 14 + 16);
  EXPECT_EQ(pc->GetTabRect(1).Width(), w0 + 30) << "every tab reserves the room";
  pc->SetImages(nullptr);
  pc->SetShowCloseButtons(false);
  EXPECT_EQ(pc->TempImages()->Width(), 1);
  // A skin with close-button pictures of another size re-reserves the room.
  pc->SetShowCloseButtons(true);
  pc->SetSkinData(skin.get());
  EXPECT_EQ(pc->GetCloseSize(), 14);
  EXPECT_EQ(pc->TempImages()->Width(), 15);
}

TEST_F(PageTest, CloseProtocol) {
  for (bool freeOnClose : {false, true}) {
    auto* pc = Make(3, false);
    pc->SetShowCloseButtons(true);
    pc->FreeOnClose = freeOnClose;
    std::vector<std::string> log;
    pc->OnClose = [&](rtl::TObject* s, bool&) {
      log.push_back("close " + dynamic_cast<ctl::TTabSheet*>(s)->Caption());
    };
    pc->OnAfterClose = [&](rtl::TObject*) { log.push_back("after"); };
    h.Pump();
    cl::Keep<ctl::TTabSheet> page(pc->Pages(0));
    TPoint p = CloseCentre(pc, 0);
    h.input.MoveTo(pc, p.X, p.Y);
    h.input.Press();
    EXPECT_TRUE(Sheet(pc, 0)->ButtonMouseDown);
    h.input.Release();
    EXPECT_EQ(log, (std::vector<std::string>{"close Page0", "after"}));
    log.clear();
    if (freeOnClose) {
      EXPECT_TRUE(page->Destroyed());
      EXPECT_EQ(pc->PageCount(), 2);
    } else {
      EXPECT_FALSE(page->TabVisible());
      EXPECT_EQ(pc->PageCount(), 3);
    }
    EXPECT_EQ(pc->ActivePage()->Caption(), "Page1");
    // The last page hands over to the one before it.
    pc->SetActivePageIndex(pc->PageCount() - 1);
    h.Pump();
    pc->CloseActivePage();
    EXPECT_EQ(pc->ActivePage()->Caption(), "Page1");
    pc->Free();
    h.Pump();
  }
}

TEST_F(PageTest, RefusedCloseKeepsThePageAndClearsItsButtonOnceTheCursorLeft) {
  auto* pc = Make(2, false);
  pc->SetShowCloseButtons(true);
  pc->OnClose = [](rtl::TObject*, bool& can) { can = false; };
  h.Pump();
  TPoint p = CloseCentre(pc, 0);
  h.input.MoveTo(pc, p.X, p.Y);
  h.input.Click();
  EXPECT_TRUE(pc->Pages(0)->TabVisible());
  EXPECT_TRUE(Sheet(pc, 0)->ButtonMouseIn) << "the cursor is still on the button";
  Sheet(pc, 0)->ButtonMouseDown = true;
  h.input.MoveTo(form, 600, 400);
  pc->CloseActivePage();
  EXPECT_TRUE(pc->Pages(0)->TabVisible());
  EXPECT_FALSE(Sheet(pc, 0)->ButtonMouseIn);
  EXPECT_FALSE(Sheet(pc, 0)->ButtonMouseDown);
}

TEST_F(PageTest, CloseButtonOfAnUnselectedTabClosesThatTab) {
  auto* pc = Make(3, false);
  pc->SetShowCloseButtons(true);
  pc->OnChanging = [](rtl::TObject*, bool& allow) { allow = false; };
  h.Pump();
  // Hover paints the close buttons of the hot tab, then press and release.
  TPoint p = CloseCentre(pc, 2);
  h.input.MoveTo(pc, p.X, p.Y);
  h.Pump();
  p = CloseCentre(pc, 2);
  h.input.MoveTo(pc, p.X, p.Y);
  h.input.Click();
  EXPECT_EQ(pc->ActivePageIndex(), 0) << "the selection was refused";
  EXPECT_FALSE(pc->Pages(2)->TabVisible()) << "the clicked tab's page closes";
  EXPECT_TRUE(pc->Pages(0)->TabVisible()) << "not the selected one";
}

TEST_F(PageTest, HotTabAndLeave) {
  auto* pc = Make(3, false);
  TRect t = pc->GetTabRect(1);
  h.input.MoveTo(pc, t.Left + 5, t.Top + 5);
  EXPECT_EQ(pc->ActiveTab(), 1);
  EXPECT_EQ(pc->ActiveTabIndex(), 1);
  EXPECT_EQ(Px(pc, t.Left + 5, t.Top + 5), Rgb(bsHotFillColor)) << "a hot unselected tab, no border";
  h.input.MoveTo(form, 600, 400);
  h.Pump();
  EXPECT_EQ(pc->ActiveTabIndex(), -1);
  EXPECT_EQ(Px(pc, t.Left + 5, t.Top + 5), Rgb(gfx::clBtnFace));
  // The selected tab: navy border on the hot fill, the pressed fill with focus.
  TRect s = pc->GetTabRect(0);
  EXPECT_EQ(Px(pc, s.Left + 5, s.Top + 5), Rgb(bsHotFillColor));
  EXPECT_EQ(Px(pc, s.Left + 5, s.Top), Rgb(bsHotFrameColor));
  pc->SetFocus();
  EXPECT_EQ(Px(pc, s.Left + 5, s.Top + 5), Rgb(bsDownFillColor));
}

TEST_F(PageTest, WheelPagesWithoutWrapping) {
  auto* pc = Make(4, false);
  pc->MouseWheelSupport = true;
  pc->Pages(2)->SetTabVisible(false);
  pc->SetActivePageIndex(1);
  h.input.MoveTo(pc, 100, 100);
  struct Step {
    int delta, expect;
  } steps[] = {{-120, 3}, {-120, 3}, {120, 1}, {120, 0}, {120, 0}};
  for (const auto& s : steps) {
    pc->Perform(WM_MOUSEWHEEL, MAKEWPARAM(0, uint16_t(int16_t(s.delta))), 0);
    EXPECT_EQ(pc->ActivePageIndex(), s.expect) << s.delta;
  }
}

TEST_F(PageTest, HideAndShowTabs) {
  auto* pc = Make(2, false, ctl::tpLeft);
  pc->HideTabs();
  EXPECT_TRUE(pc->TabsHidden());
  EXPECT_EQ(pc->TabPosition(), ctl::tpTop);
  EXPECT_EQ(pc->TabHeight(), 1);
  pc->ShowTabs();
  EXPECT_EQ(pc->TabPosition(), ctl::tpLeft);
  EXPECT_EQ(pc->TabHeight(), 0);
  EXPECT_FALSE(pc->TabsHidden());
  auto* empty = Make(0, false);
  empty->HideTabs();
  EXPECT_FALSE(empty->TabsHidden()) << "nothing to hide";
}

TEST_F(PageTest, ScrollerOnANarrowStrip) {
  auto* pc = Make(8, true, ctl::tpTop, 220);
  TbsSkinUpDown* u = pc->Scroller();
  ASSERT_NE(u, nullptr);
  int hidden = pc->GetHiddenTabCount();
  EXPECT_GT(hidden, 0);
  EXPECT_EQ(u->Max(), hidden);
  EXPECT_EQ(u->Left(), 220 - u->Width());
  EXPECT_EQ(u->Top(), 0);
  EXPECT_EQ(u->SkinDataName(), "hupdown");
  EXPECT_EQ(u->Width(), 40) << "the skin's up-down pair";
  plat::test::MessageLog log(pc, {WM_HSCROLL});
  TRect up = u->Button(0).R;
  ClickAt(u, (up.Left + up.Right) / 2, (up.Top + up.Bottom) / 2);
  ASSERT_EQ(log.Count(WM_HSCROLL), 1u);
  EXPECT_EQ(HIWORD(log.entries[0].wParam), 1);
  EXPECT_EQ(pc->FirstVisibleTab(), 1);
  EXPECT_EQ(pc->GetScrolledTabCount(), 1);
  // Wide enough again: the scroller goes.
  pc->SetBounds(10, 10, 630, 200);
  h.Pump();
  EXPECT_EQ(pc->Scroller(), nullptr);
  EXPECT_EQ(pc->FirstVisibleTab(), 0) << "the strip shows from its first tab again";
}

TEST_F(PageTest, TurnedTabsAndTheirCloseButtons) {
  // The bitmap turns: a pixel (x, y) of a W x H picture lands at
  // (y, W - 1 - x) turned left and at (H - 1 - y, x) turned right.
  gfx::TBitmap B;
  B.SetSize(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) B.Canvas()->SetPixels(x, y, gfx::TColor(0x10 * (y * 3 + x + 1)));
  gfx::TBitmap L, R;
  L.Assign(&B);
  R.Assign(&B);
  TbsSkinPageControl::RotateBitmapLeft(&L);
  TbsSkinPageControl::RotateBitmapRight(&R);
  ASSERT_EQ(L.Width(), 2);
  ASSERT_EQ(L.Height(), 3);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) {
      EXPECT_EQ(L.Canvas()->Pixels(y, 3 - 1 - x) & 0xFFFFFF, B.Canvas()->Pixels(x, y) & 0xFFFFFF);
      EXPECT_EQ(R.Canvas()->Pixels(2 - 1 - y, x) & 0xFFFFFF, B.Canvas()->Pixels(x, y) & 0xFFFFFF);
    }
  // An 80 x 20 tab on the right: the close box drawn lying at (64, 3, 78, 17)
  // is stored turned; on the left likewise; a click there closes the page.
  struct Case {
    ctl::TTabPosition pos;
    TRect stored;
  } cases[] = {{ctl::tpRight, {3, 64, 17, 78}}, {ctl::tpLeft, {3, 2, 17, 16}}};
  for (const auto& c : cases) {
    auto* pc = Make(2, false, c.pos);
    pc->SetTabWidth(80);
    pc->SetShowCloseButtons(true);
    h.Pump();
    EXPECT_EQ(Sheet(pc, 1)->ButtonRect, c.stored) << c.pos;
    TPoint p = CloseCentre(pc, 1);
    h.input.MoveTo(pc, p.X, p.Y);
    h.Pump();
    p = CloseCentre(pc, 1);
    h.input.MoveTo(pc, p.X, p.Y);
    h.input.Click();
    EXPECT_FALSE(pc->Pages(1)->TabVisible()) << c.pos;
    pc->Free();
    h.Pump();
  }
}

TEST_F(PageTest, SkinnedLook) {
  auto* pc = Make(3, true);
  pc->SetShowCloseButtons(true);
  h.Pump();
  TRect s = pc->GetTabRect(0), t = pc->GetTabRect(1);
  EXPECT_EQ(s.Height(), 20);
  EXPECT_EQ(Px(pc, s.Left + 3, s.Top + 3), kTabActive);
  EXPECT_EQ(Px(pc, s.Left + 3, s.Bottom + 1), kTabActive) << "the selected tab reaches 3 pixels into the frame";
  EXPECT_EQ(Px(pc, t.Left + 3, t.Top + 3), kTab);
  EXPECT_EQ(Px(pc, 290, 5), kTabsBG) << "the strip past the tabs";
  EXPECT_EQ(Px(pc, 150, 22), 0x465A82u) << "the frame";
  TPoint p = CloseCentre(pc, 1);
  EXPECT_EQ(Px(pc, p.X, p.Y), kClose);
  // The sheet shows the client part of the frame picture.
  EXPECT_EQ(Px(pc->Pages(0), 50, 50), kClient);
}

TEST_F(PageTest, SheetWallpaperAndBackgroundWithoutSkin) {
  auto* pc = Make(1, false, ctl::tpTop, 270, 170);
  TbsSkinCustomTabSheet* s = Sheet(pc, 0);
  EXPECT_EQ(Px(s, 20, 20), Rgb(gfx::clBtnFace));
  gfx::TBitmap wp;
  wp.SetSize(100, 60);
  wp.Canvas()->Brush()->SetColor(gfx::TColor(0x3060C0));
  wp.Canvas()->FillRect({0, 0, 100, 60});
  wp.Canvas()->Brush()->SetColor(gfx::TColor(0xC06030));
  wp.Canvas()->FillRect({0, 0, 10, 10});
  s->SetWallPaper(&wp);
  s->SetBounds(0, 0, 250, 130);
  gfx::TBitmap out;
  out.SetSize(250, 130);
  s->PaintBG(out.Canvas()->Handle());
  // Tiled from (0, 0): 3 x 3 copies, the last row and column cut.
  for (TPoint q : {TPoint{5, 5}, TPoint{205, 125}, TPoint{105, 65}})
    EXPECT_EQ(out.Canvas()->Pixels(q.X, q.Y) & 0xFFFFFF, gfx::TColor(0xC06030)) << q.X << "," << q.Y;
  EXPECT_EQ(out.Canvas()->Pixels(150, 100) & 0xFFFFFF, gfx::TColor(0x3060C0));
}

TEST_F(PageTest, CloseStatesAndBackgroundIndexStayInTheControl) {
  // A record with only the normal close picture and a background picture
  // index the skin does not hold.
  auto* pc = Make(2, false);
  pc->SetSkinDataName("tabplain");
  pc->SetShowCloseButtons(true);
  pc->SetSkinData(skin.get());
  h.Pump();
  auto* rec = dynamic_cast<TbsDataSkinTabControl*>(SkinRecord(skin.get(), skin->GetControlIndex("tabplain")));
  ASSERT_NE(rec, nullptr);
  TPoint p = CloseCentre(pc, 1);
  h.input.MoveTo(pc, p.X - 4, p.Y - 4);
  h.Pump();
  p = CloseCentre(pc, 1);
  h.input.MoveTo(pc, p.X - 4, p.Y - 4);
  EXPECT_TRUE(Sheet(pc, 1)->ButtonMouseIn);
  EXPECT_EQ(Px(pc, p.X - 4, p.Y - 4), kClose) << "the hot state falls back to the normal picture";
  EXPECT_TRUE(rec->CloseButtonActiveRect.Width() <= 0) << "the store's record keeps what the skin said";
  EXPECT_TRUE(rec->CloseButtonDownRect.Width() <= 0);
  EXPECT_EQ(Px(pc->Pages(0), 50, 50), kClient) << "an index beyond the pictures counts as none";
}

TEST_F(PageTest, StretchedSkinTellsTheSheetsChildren) {
  for (const char* record : {"tabplain", "tab"}) {
    auto* pc = Make(1, false);
    pc->SetSkinDataName(record);
    pc->SetSkinData(skin.get());
    auto* child = new TbsSkinUpDown(form);
    child->SetParent(pc->Pages(0));
    h.Pump();
    plat::test::MessageLog log(child->Handle(), {WM_PARENT_BG_CHANGED});
    pc->SetBounds(10, 10, 360, 240);
    h.Pump();
    EXPECT_EQ(log.Count(WM_PARENT_BG_CHANGED) > 0, std::string(record) == "tabplain") << record;
    pc->Free();
    h.Pump();
  }
}

TEST_F(PageTest, OwnDrawnTabsKeepTheirCloseButtons) {
  auto* pc = Make(2, true);
  pc->SetShowCloseButtons(true);
  std::vector<int> drawn;
  pc->OnDrawSkinTab = [&](int page, const TRect& r, bool, bool, gfx::TCanvas* c) {
    drawn.push_back(page);
    c->Brush()->SetStyle(gfx::bsSolid);
    c->Brush()->SetColor(gfx::TColor(0x00FF00));
    c->FillRect({r.Left + 2, r.Top + 2, r.Left + 6, r.Top + 6});
  };
  pc->Invalidate();
  h.Pump();
  EXPECT_EQ(drawn.size(), 2u);
  TRect t = pc->GetTabRect(1);
  EXPECT_EQ(Px(pc, t.Left + 3, t.Top + 3), 0x00FF00u);
  EXPECT_GE(Sheet(pc, 1)->ButtonRect.Right, t.Width() - 5 - 3) << "the close button sits at the right end";
  EXPECT_EQ(Px(pc, CloseCentre(pc, 1).X - 4, CloseCentre(pc, 1).Y - 4), kClose);
}

TEST_F(PageTest, StripBackgroundAndEmptyTiles) {
  auto* pc = Make(2, true);
  EXPECT_EQ(Px(pc, 290, 5), kTabsBG);
  pc->SetTabsBGTransparent(true);
  EXPECT_EQ(Px(pc, 290, 5), 0xFFFFFFu) << "the form under the strip";
  // A record without a client rectangle or strip tile: nothing to tile,
  // nothing divided by zero, whatever is painted.
  pc->SetSkinDataName("tabzero");
  pc->ChangeSkinData();
  h.Pump();
  pc->Pages(0)->Repaint();
  for (int i = 0; i < pc->PageCount(); ++i) pc->Pages(i)->SetTabVisible(false);
  pc->Repaint();
  h.Pump();
  EXPECT_TRUE(h.exceptions.empty());
}

}  // namespace
}  // namespace ctltest
