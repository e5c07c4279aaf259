// The images menu: layout of cells, buttons and headers, the arrow keys,
// the events of a choice and of a close without one, and the mouse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/cl/application.h"
#include "platform/testkit/harness.h"
#include "platform/win/window.h"
#include "skin/menus/bsImagesMenu.h"

using namespace skin;

namespace {

class ImagesMenu : public ::testing::Test {
 protected:
  void SetUp() override {
    cl::Application->CreateForm(form);
    form->SetBounds(100, 100, 500, 400);
    form->Show();
    h.input.MoveTo(1010, 760);
    images = new cl::TCustomImageList(form);
    images->SetSize(16, 16);
    gfx::TBitmap b;
    b.SetSize(16, 16);
    b.Canvas()->Brush()->SetColor(gfx::clRed);
    b.Canvas()->FillRect(TRect{0, 0, 16, 16});
    images->Add(&b, nullptr);
    menu = new TbsSkinImagesMenu(form);
    menu->SetImages(images);
    auto ev = [this](const char* n) { return rtl::TNotifyEvent([this, n](rtl::TObject*) { trace.push_back(n); }); };
    menu->OnInternalMenuClose = ev("internalclose");
    menu->OnMenuClose = ev("close");
    menu->OnItemClick = ev("itemclick");
    menu->OnInternalChange = ev("internalchange");
    menu->OnChange = ev("change");
    menu->OnMenuPopup = ev("popup");
    h.Pump();
  }
  void TearDown() override {
    form->Free();
    h.Pump();
  }
  TbsImagesMenuItem* Add(bool button = false, bool header = false) {
    TbsImagesMenuItem* it = menu->ImagesItems()->Add();
    it->SetImageIndex(0);
    it->Button = button;
    it->Header = header;
    int n = menu->ImagesItems()->Count() - 1;
    it->OnClick = [this, n](rtl::TObject* s) {
      trace.push_back("click " + std::to_string(n) + (s == menu ? "" : " wrong sender"));
    };
    return it;
  }
  TRect R(int i) { return menu->ImagesItems()->Items(i)->ItemRect; }
  TbsSkinImagesMenuPopupWindow* W() { return menu->FPopupWindow; }

  plat::test::Harness h;
  cl::TForm* form = nullptr;
  cl::TCustomImageList* images = nullptr;
  TbsSkinImagesMenu* menu = nullptr;
  std::vector<std::string> trace;
};

}  // namespace

TEST_F(ImagesMenu, LayoutOfCellsButtonsAndHeaders) {
  menu->SetColumnsCount(0);
  menu->SetColumnsCount(51);
  EXPECT_EQ(menu->ColumnsCount(), 1) << "values outside 1..50 are ignored";
  menu->SetColumnsCount(4);
  EXPECT_EQ(menu->ColumnsCount(), 4);
  for (int i = 0; i < 10; ++i) Add();
  Add(true);  // a button row after the tenth cell
  menu->Popup(200, 150);
  ASSERT_NE(W(), nullptr);
  // Cells of 26 x 26 from (5, 5), rows 1 pixel apart: 4, 4 and 2, then the button.
  EXPECT_EQ(R(0), (TRect{5, 5, 31, 31}));
  EXPECT_EQ(R(3), (TRect{83, 5, 109, 31}));
  EXPECT_EQ(R(4), (TRect{5, 32, 31, 58}));
  EXPECT_EQ(R(9), (TRect{31, 59, 57, 85}));
  EXPECT_EQ(R(10), (TRect{5, 86, 109, 112}));
  EXPECT_EQ(W()->Width(), 104 + 10);
  EXPECT_EQ(W()->Height(), 112 - 5 + 10);
  EXPECT_EQ(W()->Left(), 200);
  EXPECT_EQ(W()->Top(), 150);
  EXPECT_EQ(win::GetCapture(), W()->Handle());
  EXPECT_EQ(win::GetActiveWindow(), form->Handle());
  menu->Hide();
  EXPECT_EQ(W(), nullptr);
  EXPECT_EQ(trace, (std::vector<std::string>{"popup", "internalclose", "close"}));
  // Near the bottom of the screen it opens above the rectangle.
  menu->PopupFromRect(TRect{200, 700, 260, 720});
  ASSERT_NE(W(), nullptr);
  EXPECT_EQ(W()->Top(), 720 - W()->Height() - 20);
  menu->Hide();
  // Without images nothing opens, but OnMenuPopup was called.
  trace.clear();
  menu->SetImages(nullptr);
  menu->Popup(10, 10);
  EXPECT_EQ(W(), nullptr);
  EXPECT_EQ(trace, (std::vector<std::string>{"popup"}));
}

TEST_F(ImagesMenu, ArrowKeysFollowTheTable) {
  menu->SetColumnsCount(3);
  Add(false, true);                   // 0 header
  for (int i = 0; i < 5; ++i) Add();  // 1..5: cells, rows 1-3 and 4-5
  Add(true);                          // 6 button
  menu->Popup(200, 150);
  auto key = [&](uint16_t vk) {
    h.input.Key(vk);
    return W() ? W()->MouseInItem : -99;
  };
  EXPECT_EQ(key(win::VK_DOWN), 1) << "nothing current: the first that is not a header";
  EXPECT_EQ(key(win::VK_DOWN), 4) << "same column, next row";
  EXPECT_EQ(key(win::VK_DOWN), 6) << "a button row counts for any column";
  EXPECT_EQ(key(win::VK_DOWN), 6) << "nothing below: stays";
  EXPECT_EQ(key(win::VK_UP), 4) << "up from a button: the nearest higher cell of its column (the first)";
  EXPECT_EQ(key(win::VK_UP), 1);
  EXPECT_EQ(key(win::VK_UP), 1) << "only the header above: stays";
  EXPECT_EQ(key(win::VK_RIGHT), 2);
  EXPECT_EQ(key(win::VK_LEFT), 1);
  EXPECT_EQ(key(win::VK_LEFT), 6) << "from the first target to the last item";
  EXPECT_EQ(key(win::VK_RIGHT), 1) << "from the last item to the first that is not a header";
  // The keys never reach the form's controls; Escape closes without a choice.
  EXPECT_EQ(key(win::VK_ESCAPE), -99);
  EXPECT_EQ(menu->ItemIndex, -1);
  EXPECT_EQ(trace.back(), "close");
}

TEST_F(ImagesMenu, AChoiceRunsTheEventsAndChangeOnlyForANewIndex) {
  menu->SetColumnsCount(2);
  for (int i = 0; i < 4; ++i) Add();
  menu->Popup(200, 150);
  h.input.Key(win::VK_RIGHT);
  h.input.Key(win::VK_RIGHT);
  h.input.Key(win::VK_RETURN);
  EXPECT_EQ(menu->ItemIndex, 1);
  EXPECT_EQ(menu->SelectedItem(), menu->ImagesItems()->Items(1));
  EXPECT_EQ(trace, (std::vector<std::string>{"popup", "internalclose", "close", "click 1", "itemclick",
                                             "internalchange", "change"}));
  // The same choice again: no change events.
  trace.clear();
  menu->Popup(200, 150);
  h.input.MoveTo(W()->Handle(), R(1).Left + 5, R(1).Top + 5);
  h.input.Click();
  EXPECT_EQ(W(), nullptr);
  EXPECT_EQ(trace, (std::vector<std::string>{"popup", "internalclose", "close", "click 1", "itemclick"}));
  // A new one by the mouse.
  trace.clear();
  menu->Popup(200, 150);
  h.input.MoveTo(W()->Handle(), R(3).Left + 5, R(3).Top + 5);
  h.input.Click();
  EXPECT_EQ(menu->ItemIndex, 3);
  EXPECT_EQ(trace.back(), "change");
}

TEST_F(ImagesMenu, OutsideClicksAndClosingMessagesCloseWithoutAChoice) {
  menu->SetColumnsCount(2);
  for (int i = 0; i < 4; ++i) Add();
  menu->Popup(200, 150);
  // A press in the window's margin, released there, keeps it open and holding the mouse.
  h.input.MoveTo(W()->Handle(), 2, 2);
  h.input.Click();
  ASSERT_NE(W(), nullptr);
  EXPECT_EQ(win::GetCapture(), W()->Handle());
  // A click elsewhere closes it.
  h.input.MoveTo(form->Handle(), 400, 300);
  h.input.Click();
  EXPECT_EQ(W(), nullptr);
  EXPECT_EQ(win::GetCapture(), nullptr);
  EXPECT_EQ(trace, (std::vector<std::string>{"popup", "internalclose", "close"}));
  // A closing message anywhere in the application.
  menu->Popup(200, 150);
  win::PostMessage(form->Handle(), win::WM_CANCELMODE, 0, 0);
  h.Pump();
  EXPECT_EQ(W(), nullptr);
  EXPECT_EQ(menu->ItemIndex, -1);
  // A handler that frees the menu from its own close event.
  menu->OnMenuClose = [this](rtl::TObject*) { cl::FreeAndNil(menu); };
  menu->Popup(200, 150);
  h.input.Key(win::VK_ESCAPE);
  EXPECT_EQ(menu, nullptr);
}
