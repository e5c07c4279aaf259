// The skinned menus and hints in real windows (Qt backend): a form with the
// main window's snapshot menu and a tool button with a two-line hint.
//   menu_demo [--skin default|test|file:<skin.ini>] [--screenshot <prefix>]
// With --screenshot the demo drives itself through the X server (xdotool):
// it opens the menu at the pointer, rests on "快照保存类型" until its submenu
// opens, chooses JPG, opens the menu again to show the moved radio mark,
// closes it with a click in the form, rests on the tool button until its hint
// shows, saves a screenshot at each step and ends. Run it under xvfb-run.
#include <spawn.h>
#include <sys/wait.h>

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/demokit/DemoKit.h"
#include "platform/cl/application.h"
#include "platform/cl/forms.h"
#include "platform/qt/qt_backend.h"
#include "platform/rtl/dispatcher.h"
#include "platform/win/window.h"
#include "skin/menus/bsSkinHint.h"
#include "skin/menus/bsSkinMenus.h"
#include "tests/skin/menus/MenuHost.h"
#include "tests/skin/menus/MenuSkin.h"

extern char** environ;

using namespace cl;
using namespace skin;

using namespace demokit;

namespace {

// A flat tool button with a caption, showing its hint.
class ToolButton : public TCustomControl {
 public:
  using TCustomControl::TCustomControl;

 protected:
  void Paint() override {
    TRect r = ClientRect();
    Canvas()->Brush()->SetColor(gfx::clBtnFace);
    Canvas()->FillRect(r);
    gfx::Frame3D(Canvas(), r, gfx::clBtnHighlight, gfx::clBtnShadow, 1);
    Canvas()->Brush()->SetStyle(gfx::bsClear);
    Canvas()->Font()->SetName("Arial");
    Canvas()->Font()->SetHeight(14);
    Canvas()->TextOut(8, 6, Caption());
  }
};

class DemoForm : public TForm {
 public:
  explicit DemoForm(TComponent* o) : TForm(o) {
    SetCaption("VarnelMOD格式转换器 — 菜单与提示");
    SetBounds(100, 80, 640, 420);
    host = new menutest::MenuHost(this);
    hint = new TbsSkinHint(this);
    button = new ToolButton(this);
    button->SetCaption("快照");
    button->Hint = "保存快照@把当前画面存为图片";
    button->ShowHint = true;
    button->SetBounds(12, 10, 56, 28);
    button->SetParent(this);
    menu = new TbsSkinPopupMenu(this);
    Item(menu->Items(), "打开快照目录");
    Item(menu->Items(), "设置快照目录");
    Item(menu->Items(), "-");
    types = Item(menu->Items(), "快照保存类型");
    for (const char* n : {"BMP", "JPG", "GIF", "PNG"}) {
      TMenuItem* r = Item(types, n);
      r->SetGroupIndex(1);
      r->SetRadioItem(true);
    }
    types->Items(0)->SetChecked(true);
  }
  void Dispatch(TMessage& m) override {
    // What the form component's hook does when the cascade tells the form.
    if (m.Msg == WM_SKIN_MENU_CLOSED) host->SkinMenuClose();
    TForm::Dispatch(m);
  }
  TMenuItem* Item(TMenuItem* parent, const std::string& caption) {
    auto* i = new TMenuItem(menu);
    i->Caption = caption;
    if (caption == "快照保存类型") {
      parent->Add(i);
      return i;
    }
    i->OnClick = [this, i](rtl::TObject*) {
      if (i->RadioItem()) i->SetChecked(true);
      int alive = 0;
      for (win::HWND h : shown) alive += win::IsWindow(h) ? 1 : 0;
      std::printf("OnClick \"%s\": %d menu windows still alive, menu open: %s\n", i->Caption.c_str(), alive,
                  host->SkinMenu()->Visible() ? "yes" : "no");
    };
    parent->Add(i);
    return i;
  }
  void Remember() {
    for (TbsSkinPopupWindow* w : host->SkinMenu()->PopupList()) shown.push_back(w->Handle());
  }

  menutest::MenuHost* host;
  TbsSkinHint* hint;
  ToolButton* button;
  TbsSkinPopupMenu* menu;
  TMenuItem* types;
  std::vector<win::HWND> shown;

 protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(gfx::clBtnFace);
    Canvas()->FillRect(ClientRect());
    Canvas()->Brush()->SetStyle(gfx::bsClear);
    Canvas()->Font()->SetName("Arial");
    Canvas()->Font()->SetHeight(14);
    Canvas()->TextOut(12, 380, "右键菜单演示：快照菜单与两行提示");
  }
};

TPoint Center(TbsSkinPopupWindow* w, int item) {
  TRect r = w->ItemList.at(size_t(item))->ObjectRect;
  return {w->Left() + (r.Left + r.Right) / 2, w->Top() + (r.Top + r.Bottom) / 2};
}

void Script(DemoForm* f, const std::string& prefix) {
  QWindow* qw = plat::qt::QtBackend::Install()->WindowOf(f->Handle());
  PumpUntil([&] { return qw && qw->isExposed(); });
  PumpFor(300);
  TbsSkinMenu* sm = f->host->SkinMenu();
  // Opened at the pointer, as the main window opens it.
  MouseTo(330, 230, 0);
  PumpFor(100);
  win::POINT p;
  win::GetCursorPos(&p);
  f->menu->Popup(p.X, p.Y);
  f->Remember();
  std::printf("menu opened at the pointer (%d, %d): window at (%d, %d); the form is still active: %s\n", p.X, p.Y,
              sm->PopupList()[0]->Left(), sm->PopupList()[0]->Top(),
              win::GetActiveWindow() == f->Handle() ? "yes" : "no");
  Shot(prefix + "-1-menu.png");
  // Resting on the submenu entry.
  TPoint c = Center(sm->PopupList()[0], 3);
  MouseTo(c.X, c.Y, 0);
  auto t0 = std::chrono::steady_clock::now();
  PumpUntil([&] { return sm->PopupList().size() == 2; }, 3000);
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - t0).count();
  std::printf("submenu \"快照保存类型\" opened after %lld ms of hovering (%zu windows)\n", (long long)ms,
              sm->PopupList().size());
  f->Remember();
  PumpFor(100);
  Shot(prefix + "-2-submenu.png");
  if (sm->PopupList().size() == 2) {
    TPoint j = Center(sm->PopupList()[1], 1);
    ClickAt(j.X, j.Y, 1, 0);
    PumpFor(200);
  }
  std::printf("checked: BMP %d JPG %d GIF %d PNG %d\n", f->types->Items(0)->Checked(), f->types->Items(1)->Checked(),
              f->types->Items(2)->Checked(), f->types->Items(3)->Checked());
  // Again, to show the radio mark on JPG, then a click in the form closes it.
  MouseTo(330, 230, 0);
  PumpFor(100);
  f->menu->Popup(330, 230);
  c = Center(sm->PopupList()[0], 3);
  MouseTo(c.X, c.Y, 0);
  PumpUntil([&] { return sm->PopupList().size() == 2; }, 3000);
  if (sm->PopupList().size() == 2) {
    TPoint g = Center(sm->PopupList()[1], 2);
    MouseTo(g.X, g.Y, 0);
  }
  PumpFor(300);
  Shot(prefix + "-3-radio.png");
  ClickAt(600, 420, 1, 0);
  PumpFor(200);
  std::printf("after a click in the form the menu is %s\n", sm->Visible() ? "still open" : "closed");
  // The tool button's two-line hint.
  MouseTo(100 + 12 + 28, 80 + 10 + 14 + win::GetSystemMetrics(win::SM_CYCAPTION), 0);
  PumpFor(Application->HintPause + 400);
  THintWindow* hw = Application->HintWindow();
  std::printf("hint shown: %s, \"%s\"\n", hw && hw->Visible() ? "yes" : "no", hw ? hw->Caption().c_str() : "");
  Shot(prefix + "-4-hint.png");
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::string screenshot, skinName = "default";
  for (int i = 1; i < argc; i++) {
    std::string a = argv[i];
    if (a == "--screenshot" && i + 1 < argc) screenshot = argv[++i];
    if (a == "--skin" && i + 1 < argc) skinName = argv[++i];
  }
  plat::qt::QtBackend::Install();
  Application->Initialize();
  Application->SetTitle("Menu demo");
  DemoForm* form = nullptr;
  Application->CreateForm(form);
  TbsSkinData* sd = nullptr;
  if (skinName == "test") {
    sd = menutest::MakeMenuSkin(true);
    form->host->skin = sd;
    form->hint->SetSkinData(sd);
  } else if (skinName.rfind("file:", 0) == 0) {
    // A skin description on disk (skin.ini and its pictures).
    sd = new TbsSkinData(nullptr);
    sd->LoadFromFile(skinName.substr(5));
    std::printf("skin %s: %s\n", skinName.c_str() + 5, sd->Empty ? "not loaded" : sd->SkinName.c_str());
    form->host->skin = sd;
    form->hint->SetSkinData(sd);
  }
  rtl::Post([&] {
    if (!screenshot.empty()) {
      Script(form, screenshot);
      Application->Terminate();
    }
  });
  Application->Run();
  ResetApplication();
  if (sd) sd->Free();
  win::Shutdown();
  plat::qt::QtBackend::Uninstall();
  return 0;
}
