// Skinned popup menus, headless on the null backend with the manual clock:
// the order in which a closing cascade tells everyone, the placement table
// at the screen edges, hover timing, the keys, radio entries, long menus
// and menus that close from inside their own handlers.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "MenuHost.h"
#include "MenuSkin.h"
#include "platform/cl/application.h"
#include "platform/testkit/harness.h"
#include "platform/win/layered.h"
#include "platform/win/window.h"
#include "skin/menus/bsSkinMenus.h"

using namespace skin;
using menutest::MenuHost;

namespace {

std::vector<std::string>* g_trace = nullptr;
std::vector<win::HWND>* g_windows = nullptr;

int LiveMenuWindows() {
  int n = 0;
  if (g_windows)
    for (win::HWND h : *g_windows) n += win::IsWindow(h) ? 1 : 0;
  return n;
}

// A form that records the cascade's closing message, as the form component
// would see it in its hook, and leaves the menu state.
class TraceForm : public cl::TCustomForm {
 public:
  using cl::TCustomForm::TCustomForm;
  MenuHost* host = nullptr;
  void Dispatch(cl::TMessage& m) override {
    if (m.Msg == WM_SKIN_MENU_CLOSED) {
      g_trace->push_back("form.closed windows=" + std::to_string(LiveMenuWindows()));
      if (host) host->SkinMenuClose();
    }
    cl::TCustomForm::Dispatch(m);
  }
};

// A control that opens menus and hears when they close.
class Opener : public cl::TCustomControl {
 public:
  Opener(cl::TComponent* o, std::string n) : cl::TCustomControl(o), name(std::move(n)) {}
  std::string name;
  void Dispatch(cl::TMessage& m) override {
    if (m.Msg == WM_SKIN_MENU_CLOSED) g_trace->push_back(name + ".closed windows=" + std::to_string(LiveMenuWindows()));
    if (m.Msg == WM_FREE_EDIT_POPUP_MENU) g_trace->push_back(name + ".free");
    cl::TCustomControl::Dispatch(m);
  }
};

class SkinMenus : public ::testing::Test {
 protected:
  void SetUp() override {
    g_trace = &trace;
    g_windows = &windows;
    form = new TraceForm(nullptr);
    form->SetBounds(100, 100, 600, 400);
    form->Show();
    h.input.MoveTo(1010, 760);  // the pointer starts away from every menu
    h.Pump();
    host = new MenuHost(form);
    form->host = host;
    host->trace = &trace;
    opener = new Opener(form, "button");
    opener->SetBounds(10, 10, 80, 24);
    opener->SetParent(form);
    popup = new TbsSkinPopupMenu(form);
    popup->SetName("bsSkinPopupMenu2");
    // The main window's snapshot menu.
    open = Add(popup->Items(), "打开快照目录", "MenuItem1");
    set = Add(popup->Items(), "设置快照目录", "MenuItem2");
    Add(popup->Items(), "-", "N1");
    types = Add(popup->Items(), "快照保存类型", "N2");
    for (const char* n : {"BMP", "JPG", "GIF", "PNG"}) {
      TMenuItem* r = Add(types, n, std::string(n) + "1");
      r->SetGroupIndex(1);
      r->SetRadioItem(true);
      r->OnClick = [this, r](rtl::TObject*) {
        r->SetChecked(true);
        trace.push_back("click " + r->Caption + " windows=" + std::to_string(LiveMenuWindows()));
      };
    }
    types->Items(0)->SetChecked(true);
    for (TMenuItem* i : {open, set})
      i->OnClick = [this, i](rtl::TObject*) {
        trace.push_back("click " + i->Caption + " windows=" + std::to_string(LiveMenuWindows()));
      };
    h.Pump();
  }
  void TearDown() override {
    form->Free();
    h.Pump();
    g_trace = nullptr;
    g_windows = nullptr;
    EXPECT_EQ(h.Leaks(), "");
  }
  TMenuItem* Add(TMenuItem* parent, const std::string& caption, const std::string& name) {
    auto* i = new TMenuItem(popup);
    i->SetName(name);
    i->Caption = caption;
    parent->Add(i);
    return i;
  }
  TbsSkinMenu* Menu() { return host->SkinMenu(); }
  TbsSkinPopupWindow* Win(size_t i) { return Menu()->PopupList().at(i); }
  size_t Levels() { return Menu()->PopupList().size(); }
  void Remember() {
    for (TbsSkinPopupWindow* w : Menu()->PopupList())
      if (std::find(windows.begin(), windows.end(), w->Handle()) == windows.end()) windows.push_back(w->Handle());
  }
  // The pointer rests over an entry; the window's 50 ms poll notices it.
  void Hover(TbsSkinPopupWindow* w, int item) {
    TRect r = w->ItemList.at(size_t(item))->ObjectRect;
    h.input.MoveTo(w->Handle(), (r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2);
    h.Advance(50);
  }
  void ClickItem(TbsSkinPopupWindow* w, int item) {
    Hover(w, item);
    Remember();
    h.input.Click();
  }
  void Key(uint16_t vk) {
    Remember();
    h.input.Key(vk);
  }
  std::string Captions(TbsSkinPopupWindow* w) {
    std::string s;
    for (TbsSkinMenuItem* i : w->ItemList) s += (s.empty() ? "" : ",") + i->MenuItem->Caption;
    return s;
  }

  plat::test::Harness h;
  std::vector<std::string> trace;
  std::vector<win::HWND> windows;
  TraceForm* form = nullptr;
  MenuHost* host = nullptr;
  Opener* opener = nullptr;
  TbsSkinPopupMenu* popup = nullptr;
  TMenuItem *open = nullptr, *set = nullptr, *types = nullptr;
};

}  // namespace

TEST(SkinMenuCloseMessages, ExactlyTheFormsClosingMessages) {
  std::vector<unsigned> yes{3, 5, 6, 8, 31, 33, 161, 164, 167, 513, 516, 519, 528};
  for (unsigned m = 0; m < 1024; ++m)
    EXPECT_EQ(IsMenuCloseMessage(m), std::find(yes.begin(), yes.end(), m) != yes.end()) << m;
  // A release, a move, a key and a frame move never close.
  for (unsigned m : {win::WM_LBUTTONUP, win::WM_MOUSEMOVE, win::WM_KEYDOWN, win::WM_NCMOUSEMOVE})
    EXPECT_FALSE(IsMenuCloseMessage(m));
}

TEST(SkinMenuPlacement, TableAtTheFourEdges) {
  const TRect WA{0, 0, 1024, 768};
  struct Case {
    const char* what;
    TRect R;
    int W, H;
    bool scroll, scroll2, byItem, up;
    TPoint expect;
  } cases[] = {
      // Point popups (below by default).
      {"top-left corner", {0, 0, 0, 0}, 150, 100, false, false, false, false, {0, 0}},
      {"left edge, off-screen point", {-20, 300, -20, 300}, 150, 100, false, false, false, false, {0, 300}},
      {"right edge: ends at the right edge", {1000, 300, 1000, 300}, 150, 100, false, false, false, false, {874, 300}},
      {"bottom edge: above the point", {300, 740, 300, 740}, 150, 100, false, false, false, false, {300, 640}},
      {"bottom-right corner", {1000, 700, 1000, 700}, 150, 100, false, false, false, false, {874, 600}},
      {"upper half, no room below: shifted to the bottom, beside",
       {300, 300, 300, 300},
       150,
       600,
       false,
       false,
       false,
       false,
       {301, 168}},
      {"lower half, no room either way: top, beside",
       {300, 400, 300, 400},
       150,
       500,
       false,
       false,
       false,
       false,
       {301, 0}},
      {"shifted beside, but no room on the right",
       {950, 300, 950, 300},
       150,
       600,
       false,
       false,
       false,
       false,
       {799, 168}},
      // Rectangle popups above their rectangle.
      {"up: room above", {100, 500, 180, 524}, 150, 100, false, false, false, true, {100, 400}},
      {"up at the top edge: below instead", {100, 10, 180, 34}, 150, 100, false, false, false, true, {100, 34}},
      {"up, upper half, no room at all: bottom, shifted",
       {100, 200, 180, 224},
       150,
       700,
       false,
       false,
       false,
       true,
       {181, 68}},
      {"up, lower half, no room above: top, shifted",
       {100, 500, 180, 524},
       150,
       600,
       false,
       false,
       false,
       true,
       {181, 0}},
      // Submenus beside the entry that opened them.
      {"submenu: first entry level with the opener",
       {200, 100, 350, 120},
       150,
       100,
       false,
       false,
       true,
       false,
       {351, 97}},
      {"submenu at the right edge: to the left", {880, 100, 1010, 120}, 150, 100, false, false, true, false, {729, 97}},
      {"submenu at the bottom, upper half: to the bottom edge",
       {200, 350, 350, 370},
       150,
       430,
       false,
       false,
       true,
       false,
       {351, 338}},
      {"submenu at the bottom, lower half: grows upwards",
       {200, 700, 350, 720},
       150,
       100,
       false,
       false,
       true,
       false,
       {351, 623}},
      {"submenu taller than the space above: never above the top",
       {200, 700, 350, 720},
       150,
       760,
       false,
       false,
       true,
       false,
       {351, 0}},
      // A window taller than the work area: at the top, beside.
      {"tall", {300, 300, 300, 300}, 150, 768, true, false, false, false, {301, 0}},
      // Scrolling because of the item limit places like any other window.
      {"limited", {300, 300, 300, 300}, 150, 120, true, true, false, false, {300, 300}},
  };
  for (auto& c : cases) {
    TbsMenuPlacement p;
    p.R = c.R;
    p.WorkArea = WA;
    p.Width = c.W;
    p.Height = c.H;
    p.ItemsTop = 3;
    p.Scroll = c.scroll;
    p.Scroll2 = c.scroll2;
    p.PopupByItem = c.byItem;
    p.PopupUp = c.up;
    TPoint got = CalcMenuPosition(p);
    EXPECT_EQ(got.X, c.expect.X) << c.what;
    EXPECT_EQ(got.Y, c.expect.Y) << c.what;
  }
}

TEST_F(SkinMenus, ACommandTellsEveryoneInOrderAndRunsAfterTheWindowsAreGone) {
  popup->OnMenuClose = [this](rtl::TObject* s) {
    trace.push_back(std::string("OnMenuClose ") + (s == Menu() ? "menu" : "other") +
                    " windows=" + std::to_string(LiveMenuWindows()));
  };
  popup->PopupFromRect2(opener, TRect{110, 134, 190, 158}, false);
  ASSERT_TRUE(Menu()->Visible());
  ASSERT_EQ(Levels(), 1u);
  EXPECT_EQ(Captions(Win(0)), "打开快照目录,设置快照目录,-,快照保存类型");
  EXPECT_TRUE(host->inMenu);
  // The menu never takes the focus from the form.
  EXPECT_EQ(win::GetActiveWindow(), form->Handle());
  // The first entry is highlighted when the window opens.
  EXPECT_EQ(Win(0)->ActiveItem, 0);
  ClickItem(Win(0), 1);
  EXPECT_EQ(trace, (std::vector<std::string>{"host.open", "button.closed windows=0", "OnMenuClose menu windows=0",
                                             "form.closed windows=0", "host.close", "click 设置快照目录 windows=0",
                                             "button.free"}));
  EXPECT_FALSE(Menu()->Visible());
  EXPECT_EQ(win::GetActiveWindow(), form->Handle());
  // OnMenuClose belongs to that opening only.
  trace.clear();
  Menu()->Popup(nullptr, nullptr, 0, TRect{300, 300, 300, 300}, popup->Items(), false);
  Menu()->Hide();
  EXPECT_EQ(trace, (std::vector<std::string>{"form.closed windows=0", "host.close"}));
}

TEST_F(SkinMenus, ReopeningWhileOpenTellsTheOldControlAndKeepsTheNewOne) {
  auto* other = new Opener(form, "other");
  other->SetBounds(100, 10, 80, 24);
  other->SetParent(form);
  Menu()->Popup(opener, nullptr, 0, TRect{110, 134, 190, 158}, popup->Items(), false);
  Menu()->Popup(other, nullptr, 0, TRect{200, 134, 280, 158}, popup->Items(), false);
  EXPECT_EQ(trace, (std::vector<std::string>{"button.closed windows=0"}));
  EXPECT_EQ(Menu()->PopupCtrl, other);
  EXPECT_EQ(Menu()->DCtrl, opener);
  // A point popup over an open button menu releases the button too.
  Menu()->Popup(nullptr, nullptr, 0, TRect{300, 300, 300, 300}, popup->Items(), false);
  EXPECT_EQ(trace.back(), "other.closed windows=0");
  EXPECT_EQ(Menu()->PopupCtrl, nullptr);
  Menu()->Hide();
}

TEST_F(SkinMenus, HoverOpensTheSubmenuAfterHalfASecondAndTheRadioMoves) {
  popup->Popup(300, 200);
  ASSERT_EQ(Levels(), 1u);
  EXPECT_EQ(popup->PopupPoint(), (TPoint{300, 200}));
  EXPECT_EQ(Win(0)->Left(), 300);
  EXPECT_EQ(Win(0)->Top(), 200);
  // Resting on the submenu entry, then leaving it before 500 ms cancels.
  Hover(Win(0), 3);
  h.Advance(400);
  Hover(Win(0), 0);
  h.Advance(600);
  EXPECT_EQ(Levels(), 1u);
  Hover(Win(0), 3);
  h.Advance(400);
  EXPECT_EQ(Levels(), 1u);
  h.Advance(100);
  ASSERT_EQ(Levels(), 2u);
  EXPECT_EQ(Captions(Win(1)), "BMP,JPG,GIF,PNG");
  EXPECT_TRUE(Win(0)->ItemList[3]->Down);
  // Placed beside the entry, its first entry level with it.
  TRect opener3 = Win(0)->ItemList[3]->ObjectRect;
  EXPECT_EQ(Win(1)->Left(), Win(0)->Left() + opener3.Right + 1);
  EXPECT_EQ(Win(1)->Top() + Win(1)->NewItemsRect.Top, Win(0)->Top() + opener3.Top);
  ClickItem(Win(1), 1);
  EXPECT_EQ(trace.back(), "click JPG windows=0");
  EXPECT_FALSE(Menu()->Visible());
  std::vector<bool> checked;
  for (int i = 0; i < 4; ++i) checked.push_back(types->Items(i)->Checked());
  EXPECT_EQ(checked, (std::vector<bool>{false, true, false, false}));
  // Again through the keyboard: Down to the submenu entry, Right, Down, Enter.
  popup->Popup(300, 200);
  Key(win::VK_DOWN);
  Key(win::VK_DOWN);  // the separator is skipped
  EXPECT_EQ(Win(0)->ActiveItem, 3);
  EXPECT_EQ(Levels(), 1u) << "moving onto a submenu entry by the keys opens nothing";
  h.Advance(600);
  EXPECT_EQ(Levels(), 1u);
  Key(win::VK_RIGHT);
  ASSERT_EQ(Levels(), 2u);
  EXPECT_EQ(Win(1)->ActiveItem, 0);
  Key(win::VK_DOWN);
  Key(win::VK_DOWN);
  Key(win::VK_DOWN);
  Key(win::VK_RETURN);
  EXPECT_EQ(trace.back(), "click PNG windows=0");
  checked.clear();
  for (int i = 0; i < 4; ++i) checked.push_back(types->Items(i)->Checked());
  EXPECT_EQ(checked, (std::vector<bool>{false, false, false, true}));
}

TEST_F(SkinMenus, KeysMoveBetweenLevelsSkipAndCloseAndAcceleratorsChoose) {
  set->Enabled = false;
  set->Caption = "设置快照目录(&S)";
  open->Caption = "&Open";
  popup->Popup(300, 200);
  Key(win::VK_DOWN);  // disabled and separator skipped
  EXPECT_EQ(Win(0)->ActiveItem, 3);
  Key(win::VK_UP);
  EXPECT_EQ(Win(0)->ActiveItem, 0);
  Key(win::VK_UP);  // from the first entry on to the last
  EXPECT_EQ(Win(0)->ActiveItem, 3);
  Key(win::VK_LEFT);  // one window: nothing
  EXPECT_EQ(Levels(), 1u);
  Key(win::VK_RETURN);  // Enter on a submenu entry opens it
  ASSERT_EQ(Levels(), 2u);
  Key(win::VK_LEFT);
  EXPECT_EQ(Levels(), 1u);
  EXPECT_FALSE(Win(0)->ItemList[3]->Down);
  Key(win::VK_RIGHT);
  Key(win::VK_ESCAPE);
  EXPECT_EQ(Levels(), 1u);
  // The accelerator of a disabled entry highlights it and runs nothing.
  Key('S');
  EXPECT_EQ(Win(0)->ActiveItem, 1);
  EXPECT_TRUE(Menu()->Visible());
  EXPECT_TRUE(trace.empty() || trace.back() == "host.open");
  // Escape on the last window closes the cascade; the form is not told,
  // its key hook leaves the menu state.
  Key(win::VK_ESCAPE);
  EXPECT_FALSE(Menu()->Visible());
  EXPECT_FALSE(host->inMenu);
  EXPECT_EQ(std::count(trace.begin(), trace.end(), "form.closed windows=0"), 0);
  // An enabled accelerator chooses at once.
  popup->Popup(300, 200);
  Key('O');
  EXPECT_EQ(trace.back(), "click &Open windows=0");
}

TEST_F(SkinMenus, ClicksInTheFormCloseTheMenuButSeparatorsAndDisabledEntriesDoNot) {
  set->Enabled = false;
  popup->Popup(300, 200);
  ClickItem(Win(0), 2);  // separator
  EXPECT_TRUE(Menu()->Visible());
  ClickItem(Win(0), 1);  // disabled
  EXPECT_TRUE(Menu()->Visible());
  Hover(Win(0), 3);
  h.Advance(500);
  ASSERT_EQ(Levels(), 2u);
  Remember();
  h.input.MoveTo(form, 500, 300);
  h.input.Click();
  EXPECT_FALSE(Menu()->Visible());
  EXPECT_EQ(LiveMenuWindows(), 0);
  EXPECT_EQ(trace.back(), "host.close");
  EXPECT_EQ(std::count_if(trace.begin(), trace.end(), [](auto& s) { return s.rfind("click", 0) == 0; }), 0);
}

TEST_F(SkinMenus, ALongMenuScrollsByTheKeysAndTheMarkers) {
  TMenuItem* many = Add(popup->Items(), "many", "many");
  for (int i = 0; i < 8; ++i) Add(many, "item " + std::to_string(i), "m" + std::to_string(i));
  Menu()->MaxMenuItemsInWindow = 5;
  Menu()->Popup(nullptr, nullptr, 0, TRect{300, 200, 300, 200}, many, false);
  TbsSkinPopupWindow* w = Win(0);
  EXPECT_TRUE(w->Scroll);
  EXPECT_TRUE(w->Scroll2);
  EXPECT_EQ(w->Height(), 20 * 5 + 4 + 20);
  EXPECT_EQ(w->Top(), 200);  // limited windows open below the point like any other
  EXPECT_EQ(w->VisibleCount, 5);
  // Down past the last shown entry scrolls one at a time ...
  for (int i = 0; i < 7; ++i) Key(win::VK_DOWN);
  EXPECT_EQ(w->ActiveItem, 7);
  EXPECT_EQ(w->VisibleStartIndex, 3);
  EXPECT_TRUE(w->ItemList[7]->FVisible);
  EXPECT_FALSE(w->ItemList[2]->FVisible);
  // ... and on from the last entry back to the top.
  Key(win::VK_DOWN);
  EXPECT_EQ(w->ActiveItem, 0);
  EXPECT_EQ(w->VisibleStartIndex, 0);
  // Up from the first entry goes to the end, the last entry shown.
  Key(win::VK_UP);
  EXPECT_EQ(w->ActiveItem, 7);
  EXPECT_EQ(w->VisibleStartIndex, 3);
  // Resting on the up marker scrolls one entry per 100 ms and stops at the top.
  h.input.MoveTo(w->Handle(), w->Width() / 2, w->NewItemsRect.Top + 4);
  h.Advance(50);
  EXPECT_EQ(w->ScrollCode, 1);
  std::vector<int> starts;
  for (int i = 0; i < 4; ++i) {
    h.Advance(100);
    starts.push_back(w->VisibleStartIndex);
  }
  EXPECT_EQ(starts, (std::vector<int>{2, 1, 0, 0}));
  EXPECT_EQ(w->ScrollCode, 0);
  // Down marker to the end.
  h.input.MoveTo(w->Handle(), w->Width() / 2, w->NewItemsRect.Bottom - 4);
  h.Advance(50);
  h.Advance(1000);
  EXPECT_EQ(w->VisibleStartIndex, 3);
  EXPECT_TRUE(w->ItemList[7]->FVisible);
  Menu()->Hide();
}

TEST_F(SkinMenus, AMenuTallerThanTheScreenOpensAtTheTopWithMarkers) {
  TMenuItem* many = Add(popup->Items(), "many", "many");
  for (int i = 0; i < 50; ++i) Add(many, "item " + std::to_string(i), "m" + std::to_string(i));
  Menu()->Popup(nullptr, nullptr, 0, TRect{300, 300, 300, 300}, many, false);
  TbsSkinPopupWindow* w = Win(0);
  EXPECT_TRUE(w->Scroll);
  EXPECT_FALSE(w->Scroll2);
  EXPECT_EQ(w->Top(), 0);
  EXPECT_EQ(w->Height(), 768);
  EXPECT_EQ(w->Left(), 301);
  // Every shown entry lies between the markers.
  TbsSkinMenuItem* last = w->ItemList[size_t(w->VisibleCount - 1)];
  EXPECT_LE(last->ObjectRect.Bottom, w->NewItemsRect.Bottom - 10);
  EXPECT_GE(w->ItemList[0]->ObjectRect.Top, w->NewItemsRect.Top + 10);
  Menu()->Hide();
}

TEST_F(SkinMenus, HandlersThatCloseOrReopenTheMenuFromInside) {
  // A command that opens the menu again from its own OnClick, one that
  // frees its own menu, and a submenu entry whose OnClick closes the cascade.
  int reopened = 0;
  open->OnClick = [&](rtl::TObject*) {
    ++reopened;
    popup->Popup(400, 300);
  };
  popup->Popup(300, 200);
  ClickItem(Win(0), 0);
  EXPECT_EQ(reopened, 1);
  ASSERT_TRUE(Menu()->Visible());
  EXPECT_EQ(Win(0)->Left(), 400);
  Key(win::VK_ESCAPE);
  types->OnClick = [&](rtl::TObject*) { Menu()->Hide(); };
  popup->Popup(300, 200);
  ClickItem(Win(0), 3);
  EXPECT_FALSE(Menu()->Visible());
  EXPECT_EQ(LiveMenuWindows(), 0);
  // The menu component freed by its own command.
  set->OnClick = [&](rtl::TObject*) { popup->Free(); };
  popup->Popup(300, 200);
  ClickItem(Win(0), 1);
  EXPECT_FALSE(Menu()->Visible());
  popup = nullptr;
  h.Advance(1000);
}

TEST_F(SkinMenus, DefaultLookPixels) {
  popup->Popup(300, 200);
  TbsSkinPopupWindow* w = Win(0);
  h.Pump();
  TRect first = w->ItemList[0]->ObjectRect;
  // The highlighted first entry: a navy frame round the light fill.
  EXPECT_EQ(h.Pixel(w->Handle(), first.Left, first.Top + 5), 0x000080u);
  EXPECT_EQ(h.Pixel(w->Handle(), first.Left + 30, first.Top + 1), 0xB6BDD2u);
  // An idle entry: the glyph column in button face, the rest window colour.
  TRect second = w->ItemList[1]->ObjectRect;
  uint32_t face = gfx::ColorToRGB(gfx::clBtnFace), window = gfx::ColorToRGB(gfx::clWindow);
  auto rgb = [](uint32_t bgr) { return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF); };
  EXPECT_EQ(h.Pixel(w->Handle(), second.Left + 5, second.Top + 1), rgb(face));
  EXPECT_EQ(h.Pixel(w->Handle(), second.Left + 25, second.Top + 1), rgb(window));
  // The separator: one shadow line across from the glyph column, half-way down.
  TRect sep = w->ItemList[2]->ObjectRect;
  uint32_t shadow = rgb(gfx::ColorToRGB(gfx::clBtnShadow));
  EXPECT_EQ(sep.Height(), 4);
  EXPECT_EQ(h.Pixel(w->Handle(), sep.Left + 19, sep.Top + 2), shadow);
  EXPECT_EQ(h.Pixel(w->Handle(), sep.Left + 10, sep.Top + 2), rgb(face));
  // The radio dot of the checked entry in the submenu.
  Hover(w, 3);
  h.Advance(500);
  ASSERT_EQ(Levels(), 2u);
  TbsSkinPopupWindow* sub = Win(1);
  h.Pump();
  TRect bmp = sub->ItemList[0]->ObjectRect;  // highlighted and checked
  int mid = bmp.Top + 2 + (bmp.Height() - 4) / 2;
  EXPECT_EQ(h.Pixel(sub->Handle(), bmp.Left + 2 + 3 + 3, mid - 4 + 3), 0u) << "the dot in the text colour";
  TRect gif = sub->ItemList[2]->ObjectRect;  // not checked: no dot
  EXPECT_EQ(h.Pixel(sub->Handle(), gif.Left + 2 + 3 + 3, gif.Top + 2 + (gif.Height() - 4) / 2 - 1), rgb(face));
  // The submenu arrow on the opening entry.
  TRect t = w->ItemList[3]->ObjectRect;
  int ay = t.Top + 2 + (t.Height() - 4) / 2 - 4;
  EXPECT_EQ(h.Pixel(w->Handle(), t.Right - 2 - 7, ay + 3), 0u);
  Menu()->Hide();
}

TEST_F(SkinMenus, SkinnedLookMaskAndMorphing) {
  TbsSkinData* sd = menutest::MakeMenuSkin(true);
  host->skin = sd;
  TMenuItem* hdr = new TMenuItem(popup);
  hdr->Caption = "-Title-";
  hdr->Enabled = false;
  popup->Items()->Insert(0, hdr);
  popup->Popup(300, 200);
  TbsSkinPopupWindow* w = Win(0);
  ASSERT_TRUE(w->IsSkinned());
  EXPECT_EQ(popup->SkinData(), sd);
  // Entry heights come from the record, the window from the picture's frame.
  EXPECT_EQ(w->ItemList[1]->ObjectRect.Height(), 22);
  EXPECT_EQ(w->ItemList[3]->ObjectRect.Height(), 4);
  EXPECT_EQ(w->Height(), 22 * 4 + 4 + 6);
  EXPECT_EQ(w->NewItemsRect.Top, 3);
  h.Pump();
  // The frame, and the mask's cut corner is outside the window.
  EXPECT_EQ(h.Pixel(w->Handle(), 2, w->Height() / 2), 0x103050u);
  EXPECT_NE(win::WindowFromPoint({w->Left() + 5, w->Top() + 5}), nullptr);
  EXPECT_NE(win::WindowFromPoint({w->Left(), w->Top()}), w->Handle());
  // The first enabled entry is active at once but morphs in over 5 ticks of 20 ms.
  TbsSkinMenuItem* first = w->ItemList[1];
  EXPECT_TRUE(first->Active);
  std::vector<double> kf;
  for (int i = 0; i < 6; ++i) {
    kf.push_back(first->MorphKf());
    h.Advance(20);
  }
  EXPECT_EQ(kf, (std::vector<double>{0, 0.2, 0.4, 0.6, 0.8, 1.0}));
  h.Pump();
  TRect r = first->ObjectRect;
  EXPECT_EQ(h.Pixel(w->Handle(), r.Left + 1, r.Top + 1), 0xF09030u);
  // Hovering the next entry morphs the first back out.
  Hover(w, 2);
  h.Advance(100);
  EXPECT_EQ(first->MorphKf(), 0);
  EXPECT_EQ(w->ItemList[2]->MorphKf(), 1);
  // The checked radio entry shows the skin's radio picture, its fuchsia transparent.
  Hover(w, 4);
  h.Advance(500);
  ASSERT_EQ(Levels(), 2u);
  TbsSkinPopupWindow* sub = Win(1);
  h.Advance(200);
  h.Pump();
  TRect bmp = sub->ItemList[0]->ObjectRect, gif = sub->ItemList[2]->ObjectRect;
  EXPECT_EQ(h.Pixel(sub->Handle(), bmp.Left + 12, bmp.Top + 10), 0xFF0000u);
  EXPECT_EQ(h.Pixel(sub->Handle(), bmp.Left + 9, bmp.Top + 7), 0xF09030u) << "around the dot: the active entry";
  EXPECT_EQ(h.Pixel(sub->Handle(), gif.Left + 12, gif.Top + 10), 0xE8F0F8u) << "no mark on an unchecked entry";
  Menu()->Hide();
  popup->SetSkinData(nullptr);
  host->skin = nullptr;
  sd->Free();
}

TEST_F(SkinMenus, ThePopupMenuFindsItsFormsHost) {
  // Owned by a frame on the form: the owner's owner is asked.
  auto* frame = new cl::TComponent(form);
  auto* inner = new TbsSkinPopupMenu(frame);
  auto* i = new TMenuItem(inner);
  i->Caption = "x";
  inner->Items()->Add(i);
  int popups = 0;
  inner->OnPopup = [&](rtl::TObject*) { ++popups; };
  inner->Popup(10, 10);
  EXPECT_EQ(popups, 1);
  EXPECT_TRUE(Menu()->Visible());
  Menu()->Hide();
  // With no form component anywhere nothing shows, but OnPopup still ran.
  auto* lonely = new TbsSkinPopupMenu(nullptr);
  lonely->OnPopup = [&](rtl::TObject*) { ++popups; };
  lonely->Popup(10, 10);
  EXPECT_EQ(popups, 2);
  EXPECT_FALSE(Menu()->Visible());
  lonely->Free();
  // Popup2 without a skin shows nothing.
  inner->Popup2(opener, 10, 10);
  EXPECT_FALSE(Menu()->Visible());
}

TEST_F(SkinMenus, HeadersOwnerDrawingAndAnimationFrames) {
  // A disabled "-text-" entry is a header bar; an owner-drawn entry shows
  // only what its handler draws.
  TMenuItem* hdr = Add(popup->Items(), "-Title-", "hdr");
  hdr->Enabled = false;
  int drawn = 0;
  open->OnDrawItem = [&](rtl::TObject*, gfx::TCanvas* C, TRect R, bool) {
    ++drawn;
    C->Brush()->SetStyle(gfx::bsSolid);
    C->Brush()->SetColor(gfx::clLime);
    C->FillRect(R);
  };
  popup->Popup(300, 200);
  TbsSkinPopupWindow* w = Win(0);
  h.Pump();
  EXPECT_GT(drawn, 0);
  TRect o = w->ItemList[0]->ObjectRect;
  EXPECT_EQ(h.Pixel(w->Handle(), o.Left + 40, o.Top + 10), 0x00FF00u);
  TRect hr = w->ItemList[4]->ObjectRect;
  EXPECT_TRUE(w->ItemList[4]->IsHeader());
  auto rgb = [](uint32_t bgr) { return ((bgr & 0xFF) << 16) | (bgr & 0xFF00) | ((bgr >> 16) & 0xFF); };
  EXPECT_EQ(h.Pixel(w->Handle(), hr.Left + 1, hr.Top + 1), rgb(gfx::ColorToRGB(gfx::clBtnShadow)));
  // An enabled entry with the same caption is an ordinary one.
  hdr->Enabled = true;
  Menu()->Hide();
  popup->Popup(300, 200);
  EXPECT_FALSE(Win(0)->ItemList[4]->IsHeader());
  // Hover frames: stacked when the strip is taller than the entry, else side by side.
  TbsSkinData* sd = menutest::MakeMenuSkin();
  auto* mi = static_cast<TbsDataSkinMenuItem*>(sd->ObjectList[0].get());
  mi->FrameCount = 3;
  mi->AnimateSkinRect = {0, 0, 40, 66};
  auto* item = new TbsSkinMenuItem(Win(0), open, mi);
  mi->SkinRect = {0, 0, 40, 22};  // an unskinned window has no picture: the item emptied it
  EXPECT_EQ(item->FrameRect(2), (TRect{0, 22, 40, 44}));
  mi->AnimateSkinRect = {0, 0, 120, 22};
  EXPECT_EQ(item->FrameRect(3), (TRect{80, 0, 120, 22}));
  item->Free();
  Menu()->Hide();
  sd->Free();
}

TEST_F(SkinMenus, AnMdiChildsMenuOpensThroughTheMainFormsCascade) {
  // The main form carries the host; a child form with its own host asks the main one.
  cl::TCustomForm* main = nullptr;
  cl::Application->CreateForm(main);
  auto* mainHost = new MenuHost(main);
  auto* child = new cl::TCustomForm(nullptr);
  child->SetFormStyle(cl::fsMDIChild);
  new MenuHost(child);
  auto* m = new TbsSkinPopupMenu(child);
  auto* i = new TMenuItem(m);
  i->Caption = "x";
  m->Items()->Add(i);
  m->Popup(50, 50);
  EXPECT_TRUE(mainHost->SkinMenu()->Visible());
  mainHost->SkinMenu()->Hide();
  child->Free();
  main->Free();
}

TEST_F(SkinMenus, EnteringEntriesClosesOnlyTheDeeperLevels) {
  TMenuItem* png = types->Items(3);
  png->OnClick = nullptr;
  Add(png, "8-bit", "p8");
  Add(png, "24-bit", "p24");
  std::vector<std::string> order;
  types->OnClick = [&](rtl::TObject*) { order.push_back("click levels=" + std::to_string(Levels())); };
  popup->Popup(300, 200);
  // A click on a submenu entry runs its OnClick first, then opens at once.
  ClickItem(Win(0), 3);
  ASSERT_EQ(Levels(), 2u);
  EXPECT_EQ(order, (std::vector<std::string>{"click levels=1"}));
  Hover(Win(1), 3);
  h.Advance(500);
  ASSERT_EQ(Levels(), 3u);
  // Back onto the entry whose submenu is open (over the separator): only the
  // level below that submenu closes.
  Hover(Win(0), 2);
  EXPECT_EQ(Levels(), 3u);
  Hover(Win(0), 3);
  EXPECT_EQ(Levels(), 2u);
  EXPECT_TRUE(Win(0)->ItemList[3]->Down);
  EXPECT_FALSE(Win(1)->ItemList[3]->Down);
  // A command entry of the first window closes every deeper window at once.
  Hover(Win(0), 1);
  EXPECT_EQ(Levels(), 1u);
  EXPECT_FALSE(Win(0)->ItemList[3]->Down);
  EXPECT_EQ(Menu()->WItem, nullptr);
  Menu()->Hide();
}

TEST_F(SkinMenus, AFadingMenuStepsToItsAlphaAndEndsThere) {
  win::SetCompositorPresent(true);
  Menu()->AlphaBlend = true;
  Menu()->AlphaBlendAnimation = true;
  Menu()->AlphaBlendValue = 200;
  h.Backend().calls.clear();
  popup->PopupFromRect2(opener, TRect{110, 134, 190, 158}, false);
  ASSERT_TRUE(Menu()->Visible());
  std::vector<int> alphas;
  for (const std::string& c : h.Backend().calls)
    if (c.rfind("SetOpacity ", 0) == 0) alphas.push_back(int(std::stod(c.substr(c.rfind(' ') + 1)) * 255 + 0.5));
  // From transparent in sixteen steps of 200 div 15, each after its pause.
  std::vector<int> want{0};
  for (int a = 13; a < 200; a += 13) want.push_back(a);
  want.push_back(200);
  want.push_back(200);
  EXPECT_EQ(alphas, want);
  Menu()->Hide();
  win::SetCompositorPresent(false);
}
