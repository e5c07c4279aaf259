// The skinned menu speed button with the real skinned popup menu: the menu
// area, the press that opens the menu and holds the button down until the
// menu closes, and the release at once when the menu can show nothing.
#include <gtest/gtest.h>

#include "MenuHost.h"
#include "controls_fixture.h"
#include "platform/win/window.h"
#include "skin/bsSkinMenuSpeedButton.h"

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

}  // namespace
