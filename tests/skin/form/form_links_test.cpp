// The form component's links on the null backend: the tray icon and its
// menu, the logo over the client background, the menu settings handed on to
// the menu cascade, the status bar grip and roll-up through maximize, the
// menu bar's item events and enabled states, the multiple-document lookups
// and the display-change and cancel-mode answers.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "FrameTestSkin.h"
#include "platform/cl/application.h"
#include "platform/cl/extctrls.h"
#include "platform/cl/forms.h"
#include "platform/testkit/harness.h"
#include "platform/win/metrics.h"
#include "platform/win/window.h"
#include "skin/controls/bsSkinBars.h"
#include "skin/inputs/bsSkinEdits.h"
#include "skin/form/bsSkinForm.h"
#include "skin/form/bsSkinMDI.h"
#include "skin/form/bsSkinMainMenuBar.h"
#include "skin/menus/bsTrayIcon.h"

using namespace skin;

namespace {

class FormLinks : public ::testing::Test {
 public:
  void SetUp() override {
    form = new cl::TForm(nullptr);
    form->SetBorderStyle(cl::bsSizeable);
    form->SetBounds(100, 100, 220, 130);
    form->SetCaption("Links");
    sf = new TbsSkinForm(form);
    skin = MakeFrameTestSkin(0);
  }
  void TearDown() override {
    if (form && !form->Destroyed()) form->Free();
    skin.reset();
    h.Pump();
    EXPECT_EQ(h.Leaks(), "");
    EXPECT_TRUE(h.exceptions.empty());
  }
  void Show(TbsSkinData* s) {
    sf->SetSkinData(s);
    form->Show();
    win::SetActiveWindow(form->Handle());
    h.Pump();
  }
  // The shell reporting a double click on the icon.
  void IconDblClick(TbsTrayIcon* t) {
    win::SendMessage(t->Handle(), WM_TRAY_CALLBACK, 1, win::WM_LBUTTONDBLCLK);
    h.Pump();
  }
  std::vector<std::string> Names(cl::TMenuItem* items) {
    std::vector<std::string> r;
    for (int i = 0; i < items->Count(); ++i) r.push_back(items->Items(i)->Name() + ":" + items->Items(i)->Caption);
    return r;
  }

  plat::test::Harness h;
  cl::TForm* form = nullptr;
  TbsSkinForm* sf = nullptr;
  TbsOwned<TbsSkinData> skin;
};

// ---------------------------------------------------------------------------
// Tray.

// Each case minimizes to the tray by the system-menu command and comes back
// by the icon's double click; a main form on screen goes through the
// application's iconify path, a lone form hides itself.
TEST_F(FormLinks, MinimizeToTrayAndBackStateTable) {
  struct Case {
    bool mainForm, alwaysShow;
  } cases[] = {{false, false}, {false, true}, {true, false}, {true, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.mainForm ? "main form" : "lone form") + (c.alwaysShow ? ", always shown" : ""));
    cl::TForm* f = form;
    TbsSkinForm* s = sf;
    cl::TForm* main = nullptr;
    if (c.mainForm) {
      cl::Application->CreateForm(main);
      main->SetBounds(300, 300, 220, 130);
      s = new TbsSkinForm(main);
      f = main;
    }
    s->SetBorderIcons(biSystemMenu | biMinimize | biMinimizeToTray);
    s->SetSkinData(skin.get());
    f->Show();
    h.Pump();
    auto* tray = new TbsTrayIcon(f);
    tray->SetIconVisible(true);
    s->AlwaysShowInTray = c.alwaysShow;
    s->SetTrayIcon(tray);
    // Linking hides the icon unless it is always shown, and hands over the
    // tray menu and the double click.
    EXPECT_EQ(tray->IconVisible(), c.alwaysShow);
    EXPECT_FALSE(tray->MinimizeToTray);
    EXPECT_EQ(tray->PopupMenu(), s->SysTrayMenu());
    std::vector<std::string> log;
    s->OnMinimizeToTray = [&](rtl::TObject*) { log.push_back("to tray"); };
    s->OnRestoreFromTray = [&](rtl::TObject*) { log.push_back("from tray"); };
    cl::TMenuItem* items = s->SystemMenuItems();
    for (int i = 0; i < items->Count(); ++i)
      if (items->Items(i)->Name() == "BSF_MINTOTRAY") items->Items(i)->Click();
    h.Pump();
    EXPECT_TRUE(tray->MinimizeToTray);
    EXPECT_TRUE(tray->IconVisible());
    EXPECT_FALSE(f->Visible());
    if (c.mainForm) EXPECT_TRUE(win::IsIconic(f->Handle()));
    IconDblClick(tray);
    EXPECT_FALSE(tray->MinimizeToTray);
    EXPECT_TRUE(f->Visible());
    EXPECT_FALSE(win::IsIconic(f->Handle()));
    EXPECT_EQ(tray->IconVisible(), c.alwaysShow);
    EXPECT_EQ(log, (std::vector<std::string>{"to tray", "from tray"}));
    tray->Free();
    if (main) main->Free();
  }
}

TEST_F(FormLinks, TrayMenuEntriesTextsAndClose) {
  EXPECT_EQ(Names(sf->SysTrayMenu()->Items()),
            (std::vector<std::string>{"TRAY_BSF_RESTORE:&Restore", ":-", "TRAY_BSF_CLOSE:&Close"}));
  EXPECT_EQ(sf->SysTrayMenu()->Items()->Items(2)->ShortCut, cl::ShortCut(win::VK_F4, cl::ssAlt));
  // A skin with interface texts translates them, and so do later changes
  // of those texts.
  auto* strs = new TbsResourceStrData(form);
  strs->SetResStrings({"MI_RESTORECAPTION=还原(&R)"});
  skin->SetResourceStrData(strs);
  Show(skin.get());
  EXPECT_EQ(sf->SysTrayMenu()->SkinData(), skin.get());
  EXPECT_EQ(Names(sf->SysTrayMenu()->Items()),
            (std::vector<std::string>{"TRAY_BSF_RESTORE:还原(&R)", ":-", "TRAY_BSF_CLOSE:&Close"}));
  strs->SetResStrings({"MI_RESTORECAPTION=还原(&R)", "MI_CLOSECAPTION=关闭(&C)"});
  skin->SetResourceStrData(strs);
  h.Pump();
  EXPECT_EQ(sf->SysTrayMenu()->Items()->Items(2)->Caption, "关闭(&C)");
  skin->SetResourceStrData(nullptr);
  // An icon's own menu and double click stay its own.
  auto* own = new cl::TPopupMenu(form);
  auto* tray = new TbsTrayIcon(form);
  tray->SetPopupMenu(own);
  int dbl = 0;
  tray->OnDblClick = [&](rtl::TObject*) { ++dbl; };
  sf->SetTrayIcon(tray);
  EXPECT_EQ(tray->PopupMenu(), own);
  IconDblClick(tray);
  EXPECT_EQ(dbl, 1);
  sf->SetTrayIcon(nullptr);
  // The close entry closes the form.
  sf->SysTrayMenu()->Items()->Items(2)->Click();
  h.Pump();
  EXPECT_FALSE(form->Visible());
}

// An icon that outlives the component keeps nothing of it: no menu of the
// freed component and no double click into it.
TEST_F(FormLinks, AnIconOutlivingTheComponentNeverCallsIntoIt) {
  Show(skin.get());
  auto* holder = new cl::TForm(nullptr);
  auto* tray = new TbsTrayIcon(holder);
  sf->SetTrayIcon(tray);
  ASSERT_EQ(tray->PopupMenu(), sf->SysTrayMenu());
  ASSERT_TRUE(tray->OnDblClick.Assigned());
  sf->Free();
  h.Pump();
  EXPECT_EQ(tray->PopupMenu(), nullptr);
  EXPECT_FALSE(tray->OnDblClick.Assigned());
  IconDblClick(tray);
  holder->Free();
}

// ---------------------------------------------------------------------------
// Logo and backgrounds.

TEST_F(FormLinks, LogoIsDrawnCentredOrAtTheOriginWhenLarger) {
  struct Case {
    bool withSkin;
    int w, h;
  } cases[] = {{true, 20, 10}, {false, 20, 10}, {true, 400, 300}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.withSkin ? "skin " : "no skin ") + std::to_string(c.w));
    gfx::TBitmap logo;
    logo.SetSize(c.w, c.h);
    logo.Canvas()->Brush()->SetColor(gfx::clRed);
    logo.Canvas()->FillRect(TRect{0, 0, c.w, c.h});
    sf->SetLogoBitMap(&logo);
    logo.Canvas()->Brush()->SetColor(gfx::clBlue);  // the component keeps its own copy
    logo.Canvas()->FillRect(TRect{0, 0, c.w, c.h});
    Show(c.withSkin ? skin.get() : nullptr);
    form->Invalidate();
    h.Pump();
    TRect cr = form->ClientRect();
    int x = std::max(0, cr.Width() / 2 - c.w / 2), y = std::max(0, cr.Height() / 2 - c.h / 2);
    EXPECT_EQ(h.Pixel(form, x, y), Rgb(gfx::clRed));
    EXPECT_EQ(h.Pixel(form, std::min(x + c.w, cr.Width()) - 1, std::min(y + c.h, cr.Height()) - 1), Rgb(gfx::clRed));
    if (x > 0) {
      uint32_t bg = Rgb(c.withSkin ? FrameTestColors(0).Client : gfx::clBtnFace);
      EXPECT_EQ(h.Pixel(form, x - 1, y), bg);
      EXPECT_EQ(h.Pixel(form, x + c.w, y + c.h), bg);
    }
  }
  sf->SetLogoBitMap(nullptr);
  EXPECT_TRUE(sf->LogoBitMap()->Empty());
}

// The multiple-document background: an index outside the picture list is
// no picture (the work-space colour), a valid one is tiled.
TEST_F(FormLinks, MDIBackgroundGuardsThePictureIndex) {
  Show(skin.get());
  TRect cr = form->ClientRect();
  gfx::TBitmap b;
  b.SetSize(cr.Width(), cr.Height());
  for (int index : {-1, 99, int(skin->FActivePictures.size())}) {
    SCOPED_TRACE(index);
    skin->MDIBGPictureIndex = index;
    sf->PaintBG3(b.Canvas()->Handle());
    EXPECT_EQ(Rgb(b.Canvas()->Pixels(5, 5)), Rgb(gfx::clAppWorkSpace));
  }
  ASSERT_FALSE(skin->FActivePictures.empty());
  skin->MDIBGPictureIndex = 0;
  sf->PaintBG3(b.Canvas()->Handle());
  gfx::TBitmap* p = skin->FActivePictures[0].get();
  EXPECT_EQ(Rgb(b.Canvas()->Pixels(1, 1)), Rgb(p->Canvas()->Pixels(1, 1)));
  skin->MDIBGPictureIndex = -1;
}

// ---------------------------------------------------------------------------
// Menu settings.

TEST_F(FormLinks, MenuSettingsReachTheMenuAndBadValuesAreIgnored) {
  TbsSkinMenu* m = sf->SkinMenu();
  // The component's documented defaults are the menu's too.
  EXPECT_EQ(sf->MenusAlphaBlendValue(), 200);
  EXPECT_EQ(m->AlphaBlendValue, 200);
  sf->SetMenusAlphaBlend(true);
  sf->SetMenusAlphaBlendValue(120);
  sf->SetMenusAlphaBlendAnimation(true);
  sf->SetMaxMenuItemsInWindow(7);
  sf->SetMaxMenuItemsInWindow(-1);
  sf->SetDefMenuItemHeight(26);
  sf->SetDefMenuItemHeight(0);
  sf->SetDefMenuItemHeight(-4);
  sf->SetUseSkinFontInMenu(false);
  gfx::TFont f;
  f.SetName("Noto Sans CJK SC");
  f.SetHeight(17);
  sf->SetDefMenuItemFont(f);
  EXPECT_TRUE(m->AlphaBlend);
  EXPECT_EQ(m->AlphaBlendValue, 120);
  EXPECT_TRUE(m->AlphaBlendAnimation);
  EXPECT_EQ(m->MaxMenuItemsInWindow, 7);
  EXPECT_EQ(sf->MaxMenuItemsInWindow(), 7);
  EXPECT_EQ(m->DefaultMenuItemHeight, 26);
  EXPECT_EQ(sf->DefMenuItemHeight(), 26);
  EXPECT_FALSE(m->UseSkinFont);
  EXPECT_FALSE(sf->GetUseSkinFontInMenu());
  EXPECT_EQ(m->DefaultMenuItemFont()->Name(), "Noto Sans CJK SC");
  EXPECT_EQ(sf->DefMenuItemFont()->Height(), 17);
}

// ---------------------------------------------------------------------------
// Window states.

TEST_F(FormLinks, MaximizeHidesTheStatusBarGripAndKeepsTheRollUp) {
  auto* bar = new TbsSkinStatusBar(form);
  bar->SetParent(form);
  bar->SetAlign(cl::alBottom);
  bar->SetSizeGrip(true);
  sf->SetStatusBar(bar);
  Show(skin.get());
  const TRect normal = form->BoundsRect();
  sf->SetWindowState(cl::wsMaximized);
  EXPECT_FALSE(bar->ShowGrip());
  sf->SetWindowState(cl::wsNormal);
  EXPECT_TRUE(bar->ShowGrip());
  EXPECT_EQ(form->BoundsRect(), normal);
  // Rolled up before the maximize: the restore brings the strip back and it
  // still unrolls to the old height.
  sf->SetRollUpState(true);
  const int strip = form->Height();
  sf->SetWindowState(cl::wsMaximized);
  EXPECT_TRUE(sf->RollUpState());
  sf->SetRollUpState(false);  // not rolled up while maximized: nothing
  EXPECT_TRUE(sf->RollUpState());
  sf->SetWindowState(cl::wsNormal);
  EXPECT_TRUE(sf->RollUpState());
  EXPECT_EQ(form->Height(), strip);
  sf->SetRollUpState(false);
  EXPECT_EQ(form->BoundsRect(), normal);
  // Rolled up while maximized: the restore unrolls.
  sf->SetWindowState(cl::wsMaximized);
  sf->SetRollUpState(true);
  EXPECT_TRUE(sf->RollUpState());
  sf->SetWindowState(cl::wsNormal);
  EXPECT_FALSE(sf->RollUpState());
  EXPECT_EQ(form->BoundsRect(), normal);
  // The status bar going away unlinks it.
  bar->Free();
  EXPECT_EQ(sf->StatusBar(), nullptr);
  sf->SetWindowState(cl::wsMaximized);
  sf->SetWindowState(cl::wsNormal);
}

TEST_F(FormLinks, AFormShownMaximizedIsCentredAtItsFirstRestore) {
  sf->PositionInMonitor = bspDesktopCenter;
  sf->SetSkinData(skin.get());
  sf->SetWindowState(cl::wsMaximized);
  form->Show();
  h.Pump();
  sf->SetWindowState(cl::wsNormal);
  TRect wa = cl::Screen->WorkAreaRect();
  EXPECT_EQ(form->Width(), 220);
  EXPECT_EQ(form->Left(), wa.Left + wa.Width() / 2 - 110);
  EXPECT_EQ(form->Top(), wa.Top + wa.Height() / 2 - 65);
}

TEST_F(FormLinks, FormStyleSettersTakeOnlyTheirValues) {
  Show(skin.get());
  sf->SetFormStyle(cl::fsStayOnTop);
  EXPECT_EQ(form->FormStyle(), cl::fsStayOnTop);
  sf->SetFormStyle(cl::fsMDIChild);
  sf->SetFormStyle(cl::fsMDIForm);
  EXPECT_EQ(form->FormStyle(), cl::fsStayOnTop);
  sf->SetFormBorderStyle(cl::bsDialog);
  EXPECT_EQ(form->BorderStyle(), cl::bsDialog);
  EXPECT_EQ(TbsSkinForm::GetProductVersion(), "7.81");
}

// A screen that shrank under a form larger than it: the form fits itself
// again (the size limits come from the new work area).
TEST_F(FormLinks, DisplayChangeFitsAFormLargerThanItsScreen) {
  Show(skin.get());
  form->SetBounds(0, 0, 900, 700);
  h.Pump();
  win::SetScreens({{{0, 0, 640, 480}, {0, 0, 640, 450}}});
  win::SendMessage(form->Handle(), win::WM_DISPLAYCHANGE, 0, 0);
  h.Pump();
  EXPECT_LE(form->Width(), 640);
  EXPECT_LE(form->Height(), 450);
  win::SetScreens({});
}

// ---------------------------------------------------------------------------
// Menu bar items.

class BarLinks : public FormLinks {
 public:
  void SetUp() override {
    FormLinks::SetUp();
    form->SetBounds(100, 100, 320, 200);
    menu = new TbsSkinMainMenu(form);
    for (const char* top : {"&File", "&Edit", "&Help"}) {
      auto* t = new cl::TMenuItem(menu);
      t->Caption = top;
      t->Hint = std::string(top + 1) + " hint";
      menu->Items()->Add(t);
      auto* sub = new cl::TMenuItem(menu);
      sub->Caption = "x";
      t->Add(sub);
    }
    bar = new TbsSkinMainMenuBar(form);
    bar->SetParent(form);
    bar->SetSkinForm(sf);
    bar->SetMainMenu(menu);
    bar->OnItemMouseEnter = [this](cl::TMenuItem* i) { log.push_back("enter " + i->Caption); };
    bar->OnItemMouseLeave = [this](cl::TMenuItem* i) { log.push_back("leave " + i->Caption); };
    Show(skin.get());
    bar->Repaint();
    h.Pump();
  }
  void Over(int i) {
    TRect r = bar->ObjectList[size_t(i)]->ObjectRect;
    h.input.MoveTo(bar, r.Left + 2, r.Top + 2);
    h.Pump();
  }
  TbsSkinMainMenu* menu = nullptr;
  TbsSkinMainMenuBar* bar = nullptr;
  std::vector<std::string> log;
};

TEST_F(BarLinks, HoverReportsEnterAndLeavePerItemAndSetsTheHint) {
  Over(0);
  EXPECT_EQ(bar->Hint, "File hint");
  Over(1);
  EXPECT_EQ(bar->Hint, "Edit hint");
  h.input.MoveTo(form, 5, form->ClientHeight() - 5);
  h.Pump();
  EXPECT_EQ(log, (std::vector<std::string>{"enter &File", "leave &File", "enter &Edit", "leave &Edit"}));
}

TEST_F(BarLinks, EnabledStatesFollowTheMenuItems) {
  menu->Items()->Items(1)->Enabled = false;
  bar->UpDateEnabledItems();
  EXPECT_TRUE(bar->ObjectList[0]->Enabled);
  EXPECT_FALSE(bar->ObjectList[1]->Enabled);
  Over(1);  // a disabled item is not hovered
  EXPECT_TRUE(log.empty());
  menu->Items()->Items(1)->Enabled = true;
  bar->UpDateEnabledItems();
  EXPECT_TRUE(bar->ObjectList[1]->Enabled);
  // An item that did not fit stays out of reach, and comes back with the
  // menu item's state once there is room again.
  form->SetWidth(110);
  h.Pump();
  bar->Repaint();
  ASSERT_FALSE(bar->ObjectList[2]->Visible);
  menu->Items()->Items(2)->Enabled = true;
  bar->UpDateEnabledItems();
  EXPECT_FALSE(bar->ObjectList[2]->Enabled);
  menu->Items()->Items(2)->Enabled = false;
  bar->UpDateEnabledItems();
  form->SetWidth(320);
  h.Pump();
  bar->Repaint();
  ASSERT_TRUE(bar->ObjectList[2]->Visible);
  EXPECT_FALSE(bar->ObjectList[2]->Enabled);
}

// ---------------------------------------------------------------------------
// Multiple-document lookups and cancel mode.

struct CancelModeEdit : TbsSkinEdit {
  int cancels = 0;
  using TbsSkinEdit::TbsSkinEdit;
  void WndProc(cl::TMessage& M) override {
    if (M.Msg == win::CM_CANCELMODE) ++cancels;
    TbsSkinEdit::WndProc(M);
  }
};

TEST_F(FormLinks, MDILookupsFindTheMaximizedAndTheActiveChild) {
  EXPECT_EQ(GetMaxMDIChildSkinForm(), nullptr);
  EXPECT_EQ(GetActiveMDIChildSkinForm(), nullptr);
  cl::TForm* main = nullptr;
  cl::Application->CreateForm(main);
  main->SetBounds(20, 20, 600, 400);
  auto* msf = new TbsSkinForm(main);
  msf->SetSkinData(skin.get());
  auto* client = new cl::TPanel(main);
  client->SetAlign(cl::alClient);
  client->SetParent(main);
  main->Show();
  h.Pump();
  EXPECT_EQ(GetActiveMDIChildSkinForm(), nullptr);  // no client support yet
  auto* mdi = new TbsSkinMDI(msf, client);
  auto child = [&](const std::string& name, bool withComponent) {
    auto* c = new cl::TForm(main);
    c->SetName(name);
    c->SetBounds(0, 0, 200, 150);
    if (withComponent) (new TbsSkinForm(c))->SetSkinData(skin.get());
    mdi->AddChild(c);
    c->Show();
    h.Pump();
    return c;
  };
  cl::TForm* bare = child("Bare", false);
  cl::TForm* a = child("A", true);
  cl::TForm* b = child("B", true);
  EXPECT_EQ(GetMaxMDIChildSkinForm(), nullptr);
  EXPECT_EQ(GetActiveMDIChildSkinForm(), GetSkinFormComponent(b));
  GetSkinFormComponent(b)->SetWindowState(cl::wsMaximized);
  GetSkinFormComponent(a)->SetWindowState(cl::wsMaximized);
  EXPECT_EQ(GetMaxMDIChildSkinForm(), GetSkinFormComponent(a));  // the first in order
  mdi->SetActiveChild(bare);
  EXPECT_EQ(GetActiveMDIChildSkinForm(), nullptr);
  // A click that closes menus on this form also cancels its edits' modes;
  // a plain form does not do it.
  auto* edit = new CancelModeEdit(main);
  edit->SetParent(main);
  edit->SetBounds(0, 0, 80, 20);
  auto* plainEdit = new CancelModeEdit(form);
  plainEdit->SetParent(form);
  Show(skin.get());
  win::SendMessage(main->Handle(), win::WM_LBUTTONDOWN, 0, win::MAKELPARAM(300, 300));
  win::SendMessage(form->Handle(), win::WM_LBUTTONDOWN, 0, win::MAKELPARAM(10, 10));
  h.Pump();
  EXPECT_GE(edit->cancels, 1);
  EXPECT_EQ(plainEdit->cancels, 0);
  main->Free();
  h.Pump();
  EXPECT_EQ(GetMaxMDIChildSkinForm(), nullptr);
}

}  // namespace

namespace {

// The form goes with its component and an icon created after it (the icon
// wraps the form's window procedure the component installed).
TEST_F(FormLinks, AFormFreedWithItsComponentAndTrayIcon) {
  Show(skin.get());
  auto* tray = new TbsTrayIcon(form);
  sf->SetTrayIcon(tray);
  form->Free();
  form = nullptr;
  h.Pump();
}

}  // namespace

namespace {

// A rolled-up form is all frame: a paint sync repaints the frame itself.
TEST_F(FormLinks, SyncPaintRepaintsARolledUpFormsFrame) {
  Show(skin.get());
  sf->SetRollUpState(true);
  h.Pump();
  auto px = [&](int x, int y) {
    h.Pump();
    win::POINT o{0, 0};
    win::ClientToScreen(form->Handle(), &o);
    win::RECT r{};
    win::GetWindowRect(form->Handle(), &r);
    return h.Pixel(form->Handle(), x - (o.X - r.Left), y - (o.Y - r.Top));
  };
  gfx::HDC dc = win::GetWindowDC(form->Handle());
  gfx::TCanvas c;
  c.SetHandle(dc);
  c.Brush()->SetColor(gfx::clRed);
  c.FillRect(TRect{0, 0, form->Width(), form->Height()});
  c.SetHandle(gfx::HDC{});
  win::ReleaseDC(form->Handle(), dc);
  ASSERT_EQ(px(100, 3), Rgb(gfx::clRed));
  EXPECT_EQ(win::SendMessage(form->Handle(), win::WM_SYNCPAINT, 0, 0), 0);
  EXPECT_EQ(px(100, 3), Rgb(FrameTestColors(0).Caption));
}

}  // namespace
