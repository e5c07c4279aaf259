// The skinned menu speed button with the real skinned popup menu: the menu
// area, the press that opens the menu and holds the button down until the
// menu closes, and the release at once when the menu can show nothing.
#include <gtest/gtest.h>

#include "MenuHost.h"
#include "controls_fixture.h"
#include "platform/win/window.h"
#include "skin/controls/bsSkinMenuSpeedButton.h"

using namespace ctltest;
using namespace win;

namespace {

class MenuButton : public ControlsTest {
 public:
  void SetUp() override {
    ControlsTest::SetUp();
    host = new menutest::MenuHost(form);
    popup = new TbsSkinPopupMenu(form);
    for (const char* c : {"添加文件", "添加目录"}) {
      auto* i = new TMenuItem(popup);
      i->Caption = c;
      popup->Items()->Add(i);
    }
    b = new TbsSkinMenuSpeedButton(form);
    b->SetBounds(10, 10, 80, 25);
    b->SetCaption("添加");
    b->SetParent(form);
    b->SetSkinPopupMenu(popup);
    b->OnShowTrackMenu = [this](rtl::TObject*) { events.push_back("show"); };
    b->OnHideTrackMenu = [this](rtl::TObject*) { events.push_back("hide"); };
    b->OnMouseDown = [this](rtl::TObject*, cl::TMouseButton, cl::TShiftState, int, int) { events.push_back("down"); };
    b->OnClick = [this](rtl::TObject*) { events.push_back("click"); };
    h.Pump();
  }
  void PressAt(int x) {
    h.input.MoveTo(b, x, 12);
    h.input.Press();
  }
  menutest::MenuHost* host = nullptr;
  TbsSkinPopupMenu* popup = nullptr;
  TbsSkinMenuSpeedButton* b = nullptr;
  std::vector<std::string> events;
  TbsOwned<TbsSkinPopupMenu> lonely;
};

TEST_F(MenuButton, APressOpensTheMenuAndHoldsTheButtonUntilItCloses) {
  PressAt(20);
  EXPECT_TRUE(host->SkinMenu()->Visible());
  EXPECT_TRUE(b->MenuTracked());
  EXPECT_TRUE(b->Down());
  EXPECT_EQ(events, std::vector<std::string>{"show"}) << "no mouse-down and no click";
  h.input.Release();
  EXPECT_TRUE(b->Down()) << "the release is ignored while the menu shows";
  // The default look while the menu is open: the pressed face.
  EXPECT_EQ(Px(b, 40, 20), Rgb(bsDownFillColor));
  host->SkinMenu()->Hide();
  h.Pump();
  EXPECT_FALSE(b->MenuTracked());
  EXPECT_FALSE(b->Down());
  EXPECT_EQ(events, (std::vector<std::string>{"show", "hide"}));
  // A right press never opens it.
  events.clear();
  h.input.MoveTo(b, 20, 12);
  h.input.Click(MouseButton::Right);
  EXPECT_FALSE(host->SkinMenu()->Visible());
  EXPECT_EQ(events, std::vector<std::string>{"down"});
}

TEST_F(MenuButton, InTrackButtonModeOnlyTheStripOpensTheMenu) {
  b->SetTrackButtonMode(true);
  EXPECT_FALSE(b->InTrackArea(80 - 16, 12));
  EXPECT_TRUE(b->InTrackArea(80 - 15, 12));
  PressAt(80 - 16);
  h.input.Release();
  EXPECT_FALSE(host->SkinMenu()->Visible());
  EXPECT_EQ(events, (std::vector<std::string>{"down", "click"}));
  events.clear();
  PressAt(80 - 15);
  EXPECT_TRUE(host->SkinMenu()->Visible());
  EXPECT_EQ(Px(b, 80 - 8, 3), Rgb(bsDownFillColor)) << "the strip pressed";
  EXPECT_EQ(Px(b, 20, 3), Rgb(bsHotFillColor)) << "the button part hot";
  host->SkinMenu()->Hide();
  h.input.Release();
  EXPECT_EQ(events, (std::vector<std::string>{"show", "hide"}));
  // Without a menu it is an ordinary speed button, strip included.
  b->SetSkinPopupMenu(nullptr);
  events.clear();
  PressAt(80 - 5);
  h.input.Release();
  EXPECT_EQ(events, (std::vector<std::string>{"down", "click"}));
}

// A record of 40x26 drawn at 84x44: its strip moves to the right edge and
// grows with the button's height.
TEST_F(MenuButton, TheStripOfARecordThatGrowsBothWaysStaysAtTheRightEdge) {
  auto rec = std::make_unique<TbsDataSkinMenuButtonControl>("grownmenubutton");
  rec->PictureIndex = 0;
  rec->SkinRect = {0, 0, 40, 26};
  rec->LTPoint = {3, 3};
  rec->RTPoint = {37, 3};
  rec->LBPoint = {3, 23};
  rec->RBPoint = {37, 23};
  rec->ClRect = {3, 3, 37, 23};
  rec->TrackButtonRect = {27, 0, 40, 26};
  skin->CtrlList.push_back(std::move(rec));
  b->SetTrackButtonMode(true);
  b->SetSkinDataName("grownmenubutton");
  b->SetSkinData(skin.get());
  b->SetBounds(10, 10, 84, 44);
  h.Pump();
  ASSERT_NE(b->SkinIndex(), -1);
  EXPECT_TRUE(b->InTrackArea(84 - 13, 2));
  EXPECT_TRUE(b->InTrackArea(84 - 3, 40));
  EXPECT_FALSE(b->InTrackArea(30, 12));
  EXPECT_FALSE(b->InTrackArea(84 - 16, 20));
}

TEST_F(MenuButton, ResizingRecordStyleDrawsEachStateFromTheRecord) {
  b->SetSkinDataName("resizetoolbutton");
  b->SetSkinData(skin.get());
  h.Pump();
  ASSERT_NE(b->SkinIndex(), -1);
  EXPECT_EQ(Px(b, 4, 4), 0x7887A0u) << "normal";
  h.input.MoveTo(b, 30, 12);
  EXPECT_EQ(Px(b, 4, 4), 0xFAC85Au) << "hot";
  h.input.Press();
  EXPECT_TRUE(host->SkinMenu()->Visible());
  EXPECT_EQ(Px(b, 4, 4), 0xE67828u) << "pressed while the menu shows";
  host->SkinMenu()->Hide();
  h.input.Release();
  h.input.MoveTo(form, 300, 190);
  EXPECT_EQ(Px(b, 4, 4), 0x7887A0u);
}

TEST_F(MenuButton, AMenuThatShowsNothingReleasesTheButtonAtOnce) {
  struct Case {
    const char* name;
    std::function<void(MenuButton*)> setup;
  } cases[] = {
      {"no items", [](MenuButton* t) { t->popup->Items()->Clear(); }},
      {"no skinned form component",
       [](MenuButton* t) {
         auto* lonely = new TbsSkinPopupMenu(nullptr);
         auto* i = new TMenuItem(lonely);
         i->Caption = "x";
         lonely->Items()->Add(i);
         t->b->SetSkinPopupMenu(lonely);
         t->lonely.reset(lonely);
       }},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.name);
    c.setup(this);
    events.clear();
    PressAt(20);
    h.input.Release();
    EXPECT_FALSE(b->MenuTracked());
    EXPECT_FALSE(b->Down());
    EXPECT_EQ(events, (std::vector<std::string>{"show", "hide"}));
  }
  // A later close of the form's menu does not release it a second time.
  b->SetSkinPopupMenu(nullptr);
  host->SkinMenu()->Hide();
  h.Pump();
  EXPECT_EQ(events.size(), 2u);
  // The new style takes the resizing record's name.
  b->SetNewStyle(true);
  EXPECT_EQ(b->SkinDataName(), "resizetoolbutton");
  b->SetNewStyle(false);
  EXPECT_EQ(b->SkinDataName(), "resizetoolbutton");
}

TEST_F(MenuButton, AnImagesMenuOpensUnderTheButtonAndItsChoiceIsTheButtonsImage) {
  b->SetSkinPopupMenu(nullptr);
  auto* images = new cl::TImageList(form);
  images->SetSize(16, 16);
  for (TColor colour : {gfx::clRed, gfx::clLime}) {
    gfx::TBitmap pic;
    pic.SetSize(16, 16);
    pic.Canvas()->Brush()->SetColor(colour);
    pic.Canvas()->FillRect({0, 0, 16, 16});
    images->Add(&pic, nullptr);
  }
  auto* menu = new TbsSkinImagesMenu(form);
  menu->SetImages(images);
  for (int i = 0; i < 2; ++i) menu->ImagesItems()->Add()->SetImageIndex(i);
  menu->ItemIndex = 1;
  b->SetSkinImagesMenu(menu);
  b->FUseImagesMenuImage = true;
  b->SetCaption("");
  b->SetWidth(60);
  h.Pump();
  EXPECT_EQ(Px(b, 22, 12), 0x00FF00u) << "the selected item's image";

  PressAt(10);
  ASSERT_NE(menu->FPopupWindow, nullptr);
  EXPECT_TRUE(b->Down());
  EXPECT_EQ(events, std::vector<std::string>{"show"});
  menu->Hide();
  h.Pump();
  EXPECT_FALSE(b->MenuTracked());
  EXPECT_FALSE(b->Down());
  EXPECT_EQ(events, (std::vector<std::string>{"show", "hide"}));

  // The button goes first: the menu no longer calls it.
  b->Free();
  b = nullptr;
  menu->ItemIndex = 0;
  menu->OnInternalChange(menu);
  menu->OnInternalMenuClose(menu);
  // The menu goes first: the button lets go of it.
  auto* b2 = new TbsSkinMenuSpeedButton(form);
  b2->SetParent(form);
  b2->SetSkinImagesMenu(menu);
  menu->Free();
  EXPECT_EQ(b2->SkinImagesMenu(), nullptr);
  b2->Free();
}

}  // namespace
