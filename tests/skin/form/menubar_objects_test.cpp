// The main menu bar's objects on the null backend and the manual clock: the
// items and the maximized child's buttons share one list and one pointer
// tracking; hover looks fade by the bar's timer, items play frame strips,
// see-through bars and items show what lies under them, and the overflow
// arrow lights under the pointer.
#include <gtest/gtest.h>

#include <string>

#include "FrameTestSkin.h"
#include "platform/cl/extctrls.h"
#include "platform/cl/forms.h"
#include "platform/testkit/harness.h"
#include "platform/win/window.h"
#include "skin/form/bsSkinForm.h"
#include "skin/form/bsSkinMDI.h"
#include "skin/form/bsSkinMainMenuBar.h"
#include "skin/menus/bsSkinMenus.h"

using namespace skin;

namespace {

class MenuBarObjects : public ::testing::Test {
 public:
  void SetUp() override {
    form = new cl::TForm(nullptr);
    form->SetBorderStyle(cl::bsSizeable);
    form->SetBounds(50, 50, 620, 300);
    sf = new TbsSkinForm(form);
    skin = MakeFrameTestSkin(0);
    menu = new TbsSkinMainMenu(form);
    for (const char* top : {"&File", "&Edit", "&Help"}) {
      auto* t = new cl::TMenuItem(menu);
      t->Caption = top;
      menu->Items()->Add(t);
      auto* sub = new cl::TMenuItem(menu);
      sub->Caption = std::string(top + 1) + " 0";
      t->Add(sub);
    }
    bar = new TbsSkinMainMenuBar(form);
    bar->SetParent(form);
    bar->SetSkinForm(sf);
    bar->SetSkinData(skin.get());
    bar->SetMainMenu(menu);
    sf->SetSkinData(skin.get());
    form->Show();
    win::SetActiveWindow(form->Handle());
    h.Pump();
    bar->Repaint();
    h.Pump();
  }
  void TearDown() override {
    if (form && !form->Destroyed()) form->Free();
    skin.reset();
    h.Pump();
    EXPECT_EQ(h.Leaks(), "");
    EXPECT_TRUE(h.exceptions.empty());
  }
  // A multiple-document area below the bar with one maximized child.
  cl::TForm* MaximizedChild() {
    auto* client = new cl::TPanel(form);
    client->SetAlign(cl::alClient);
    client->SetParent(form);
    mdi = new TbsSkinMDI(sf, client);
    auto* c = new cl::TForm(form);
    c->SetName("Doc");
    c->SetCaption("Doc");
    c->SetBorderStyle(cl::bsSizeable);
    c->SetBounds(0, 0, 200, 150);
    c->OnClose = [](rtl::TObject*, cl::TCloseAction& a) { a = cl::caFree; };
    auto* s = new TbsSkinForm(c);
    s->SetSkinData(skin.get());
    mdi->AddChild(c);
    c->Show();
    h.Pump();
    mdi->SetActiveChild(c);
    s->SetWindowState(cl::wsMaximized);
    h.Pump();
    bar->Repaint();
    h.Pump();
    return c;
  }
  // The records changed: the bar builds its objects again.
  template <class F>
  void Reskin(F change) {
    bar->BeforeChangeSkinData();
    change();
    bar->ChangeSkinData();
    bar->Repaint();
    h.Pump();
  }
  TbsDataSkinMainMenuBarItem* ItemRec() {
    return dynamic_cast<TbsDataSkinMainMenuBarItem*>(skin->ObjectList[size_t(skin->GetIndex("mainmenubaritem"))].get());
  }
  TbsDataSkinMainMenuBar* BarRec() {
    return dynamic_cast<TbsDataSkinMainMenuBar*>(skin->CtrlList[size_t(skin->GetControlIndex("mainmenubar"))].get());
  }
  TbsSkinMainMenuBarItem* Item(size_t i) { return bar->Items()[i]; }
  // The pixel near the top-left corner of the first item, clear of its caption.
  uint32_t ItemPx() { return h.Pixel(bar, Item(0)->ObjectRect.Left + 1, Item(0)->ObjectRect.Top + 1); }
  TPoint Inside(const TbsMenuBarObject* o) { return {o->ObjectRect.Left + 3, o->ObjectRect.Top + 3}; }

  plat::test::Harness h;
  cl::TForm* form = nullptr;
  TbsSkinForm* sf = nullptr;
  TbsOwned<TbsSkinData> skin;
  TbsSkinMainMenu* menu = nullptr;
  TbsSkinMainMenuBar* bar = nullptr;
  TbsSkinMDI* mdi = nullptr;
};

// The child's buttons sit at the head of the bar's one list of objects and
// the pointer lights buttons and items alike. The system-menu button opens
// the child's system menu at the press and stays down until that menu
// closes; a double click on it closes the child.
TEST_F(MenuBarObjects, ChildButtonsShareTheListAndTheSystemMenuOpensAtThePress) {
  MaximizedChild();
  ASSERT_EQ(bar->ButtonsCount, 4);
  ASSERT_EQ(bar->ObjectList.size(), 4u + 3u);
  TbsSkinMainMenuBarButton* sys = bar->MDIButton(0);
  ASSERT_EQ(sys->Command, cmSysMenu);
  for (size_t i : {size_t(0), size_t(1), size_t(4), size_t(5)}) {
    SCOPED_TRACE(i);
    TbsMenuBarObject* o = bar->ObjectList[i].get();
    h.input.MoveTo(bar, Inside(o).X, Inside(o).Y);
    EXPECT_EQ(bar->ActiveObject, int(i));
    for (size_t j = 0; j < bar->ObjectList.size(); ++j) EXPECT_EQ(bar->ObjectList[j]->Active, i == j) << j;
  }
  h.input.MoveTo(bar, Inside(sys).X, Inside(sys).Y);
  h.input.Press();
  ASSERT_TRUE(sf->SkinMenu()->Visible());
  EXPECT_TRUE(sys->FDown);
  h.input.Release();
  EXPECT_TRUE(sys->FDown);  // held while its menu is open
  sf->SkinMenu()->Hide();
  h.Pump();
  EXPECT_FALSE(sys->FDown);
  h.Advance(600);  // no double click with the press above
  // Another button pressed and released away from itself comes up and runs
  // nothing.
  TbsSkinMainMenuBarButton* close = bar->MDIButton(1);
  h.input.MoveTo(bar, Inside(close).X, Inside(close).Y);
  h.input.Press();
  EXPECT_TRUE(close->FDown);
  h.input.MoveTo(bar, bar->Width() / 2, 3);
  h.input.Release();
  EXPECT_FALSE(close->FDown);
  EXPECT_EQ(mdi->Children().size(), 1u);
  h.Advance(600);
  h.input.MoveTo(bar, Inside(sys).X, Inside(sys).Y);
  h.input.DoubleClick();
  h.Pump();
  EXPECT_EQ(mdi->Children().size(), 0u);
  EXPECT_FALSE(sf->SkinMenu()->Visible());
  EXPECT_EQ(bar->ButtonsCount, 0);
}

// The hover look of an item or of a maximized child's button fades in and
// out in fifths, one per tick of the bar's transition timer, and the timer
// stops at either end; without the skin's effects the look changes at once.
TEST_F(MenuBarObjects, HoverFadesByTheTimerOnlyWithSkinEffects) {
  const auto& C = FrameTestColors(0);
  struct Case {
    bool button, effects;
  } cases[] = {{false, true}, {false, false}, {true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.button) + std::to_string(c.effects));
    if (c.button && bar->ButtonsCount == 0) MaximizedChild();
    Reskin([&] {
      BarRec()->CloseButton = "closebutton";
      ItemRec()->Morphing = true;
      skin->ObjectList[size_t(skin->GetIndex("closebutton"))]->Morphing = true;
      skin->SetEnableSkinEffects(c.effects);
    });
    TbsMenuBarObject* o = c.button ? static_cast<TbsMenuBarObject*>(bar->MDIButton(1)) : Item(0);
    const uint32_t normal = Rgb(c.button ? C.ButtonNormal : C.Bar), hot = Rgb(c.button ? C.ButtonHot : C.ItemHot);
    auto px = [&] { return h.Pixel(bar, o->ObjectRect.Left + 1, o->ObjectRect.Top + 1); };
    auto away = [&] { h.input.MoveTo(bar, bar->Width() / 2, 3); };
    ASSERT_EQ(px(), normal);
    h.input.MoveTo(bar, Inside(o).X, Inside(o).Y);
    ASSERT_TRUE(o->Active);
    if (!c.effects) {
      EXPECT_EQ(px(), hot);
      EXPECT_FALSE(bar->MorphTimer()->Enabled());
      away();
      EXPECT_EQ(px(), normal);
      continue;
    }
    EXPECT_EQ(px(), normal);
    EXPECT_TRUE(bar->MorphTimer()->Enabled());
    h.Advance(25);
    EXPECT_DOUBLE_EQ(o->MorphKf(), 0.2);
    uint32_t mid = px();
    EXPECT_NE(mid, normal);
    EXPECT_NE(mid, hot);
    h.Advance(300);
    EXPECT_EQ(o->MorphKf(), 1.0);
    EXPECT_EQ(px(), hot);
    EXPECT_FALSE(bar->MorphTimer()->Enabled());
    away();
    EXPECT_EQ(px(), hot);
    h.Advance(25);
    EXPECT_DOUBLE_EQ(o->MorphKf(), 0.8);
    h.Advance(300);
    EXPECT_EQ(o->MorphKf(), 0.0);
    EXPECT_EQ(px(), normal);
    EXPECT_FALSE(bar->MorphTimer()->Enabled());
  }
}

// Under the pointer an item plays the frames of its strip at its own
// interval and then shows its hot look; leaving it drops back at once, or
// runs the frames backwards when the record asks. The strip's frames stand
// side by side, or stack when it is taller than the item's look.
TEST_F(MenuBarObjects, ItemPlaysItsFrameStripOnHover) {
  const auto& C = FrameTestColors(0);
  const TColor F[] = {gfx::RGB(201, 11, 12), gfx::RGB(13, 202, 14), gfx::RGB(15, 16, 203)};
  Reskin([&] {
    // The item picture grows by two strips of three frames each: side by
    // side below the looks, and stacked to their right.
    TBitmap* old = skin->FActivePictures[1].get();
    auto pic = std::make_unique<TBitmap>();
    pic->SetSize(100, 100);
    pic->Canvas()->CopyRect(TRect{0, 0, 60, 40}, old->Canvas(), TRect{0, 0, 60, 40});
    for (int k = 0; k < 3; ++k) {
      pic->Canvas()->Brush()->SetColor(F[k]);
      pic->Canvas()->FillRect(TRect{k * 20, 40, k * 20 + 20, 58});
      pic->Canvas()->FillRect(TRect{60, 40 + k * 18, 80, 58 + k * 18});
    }
    skin->FActivePictures[1] = std::move(pic);
  });
  struct Case {
    TRect strip;
    bool backwards;
  } cases[] = {{{0, 40, 60, 58}, false}, {{60, 40, 80, 94}, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.backwards);
    Reskin([&] {
      ItemRec()->AnimateSkinRect = c.strip;
      ItemRec()->FrameCount = 3;
      ItemRec()->AnimateInterval = 40;
      ItemRec()->InActiveAnimation = c.backwards;
    });
    TPoint p = Inside(Item(0));
    h.input.MoveTo(bar, p.X, p.Y);
    EXPECT_EQ(bar->AnimateTimer()->Interval(), 40u);
    for (int k = 0; k < 3; ++k) {
      h.Advance(40);
      EXPECT_EQ(ItemPx(), Rgb(F[k])) << k;
    }
    h.Advance(40);
    EXPECT_EQ(ItemPx(), Rgb(C.ItemHot));
    h.Advance(80);
    EXPECT_FALSE(bar->AnimateTimer()->Enabled());
    h.input.MoveTo(bar, bar->Width() - 3, 3);
    if (c.backwards)
      for (int k = 2; k >= 0; --k) {
        h.Advance(40);
        EXPECT_EQ(ItemPx(), Rgb(F[k])) << k;
      }
    h.Advance(40);
    EXPECT_EQ(ItemPx(), Rgb(C.Bar));
    EXPECT_EQ(Item(0)->CurrentFrame, 0);
  }
}

// A see-through bar shows its parent's background, and see-through items
// show in their normal look what lies under them.
TEST_F(MenuBarObjects, TransparentBarAndItemsShowWhatLiesUnder) {
  const auto& C = FrameTestColors(0);
  ASSERT_NE(C.Client, C.Bar);
  struct Case {
    bool bar, items;
    TColor item, empty;
  } cases[] = {
      {false, false, C.ItemDown, C.Bar},
      {false, true, C.Bar, C.Bar},
      {true, true, C.Client, C.Client},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.bar) + std::to_string(c.items));
    Reskin([&] {
      // A normal look that differs from the bar's own background.
      ItemRec()->SkinRect = ItemRec()->DownRect;
      BarRec()->ItemTransparent = c.items;
      skin->MainMenuBarTransparent = c.bar;
    });
    EXPECT_EQ(ItemPx(), Rgb(c.item));
    EXPECT_EQ(h.Pixel(bar, bar->Width() - 8, 8), Rgb(c.empty));
  }
}

// The arrow to the items that did not fit takes its hot colour under the
// pointer and its own colour again when the pointer leaves it, with the
// record's colours and in the look without one.
TEST_F(MenuBarObjects, OverflowArrowLightsUnderThePointer) {
  const auto& C = FrameTestColors(0);
  form->SetWidth(110);
  h.Pump();
  struct Case {
    const char* record;
    TColor normal, hot;
  } cases[] = {{"mainmenubar", C.Bottom, C.ItemDown}, {"nosuchbar", gfx::clBtnShadow, gfx::clBtnText}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.record);
    Reskin([&] {
      BarRec()->TrackMarkActiveColor = int(C.ItemDown);
      bar->SetSkinDataName(c.record);
    });
    ASSERT_TRUE(bar->Scroll);
    TRect m = bar->MarkerRect();
    const int cx = m.Left + m.Width() / 2, cy = m.Top + m.Height() / 2;
    EXPECT_EQ(h.Pixel(bar, cx, cy), Rgb(c.normal));
    h.input.MoveTo(bar, cx, cy);
    EXPECT_TRUE(bar->MarkerActive);
    EXPECT_EQ(h.Pixel(bar, cx, cy), Rgb(c.hot));
    h.input.MoveTo(bar, 1, 1);
    EXPECT_EQ(h.Pixel(bar, cx, cy), Rgb(c.normal));
  }
}

}  // namespace
