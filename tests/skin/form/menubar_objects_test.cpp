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
  TbsSkinMainMenuBarItem* Item(size_t i) { return bar->Items()[i]; }
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
  h.input.MoveTo(bar, Inside(sys).X, Inside(sys).Y);
  h.input.DoubleClick();
  h.Pump();
  EXPECT_EQ(mdi->Children().size(), 0u);
  EXPECT_FALSE(sf->SkinMenu()->Visible());
  EXPECT_EQ(bar->ButtonsCount, 0);
}

}  // namespace
