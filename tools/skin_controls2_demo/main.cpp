// The second set of skinned controls in a real window (Qt backend), in the
// second controls test skin (left) and in the default look (right): group
// boxes with flat radio buttons and check boxes over a panel background, a
// rolled-up panel, a narrowed tool bar whose scroll buttons scroll its
// buttons, a menu button with the real skinned popup menu, seek sliders,
// both scroll bar looks, and a status bar with its size grip.
//   skin_controls2_demo [--screenshot <prefix>]
// With --screenshot the demo drives itself through the X server (xdotool):
// it clicks the tool bar's right scroll button, saves a screenshot, opens
// the menu button's menu, saves a second one and ends. Run it under xvfb-run.
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
#include "skin/controls/bsSkinBars.h"
#include "skin/controls/bsSkinCheckRadio.h"
#include "skin/controls/bsSkinMenuSpeedButton.h"
#include "skin/controls/bsSkinPanels.h"
#include "skin/controls/bsSkinScrollBar.h"
#include "skin/controls/bsSkinSlider.h"
#include "tests/skin/menus/MenuHost.h"

extern char** environ;

using namespace cl;
using namespace skin;

using namespace demokit;

namespace {

class DemoForm : public TForm {
 public:
  explicit DemoForm(TComponent* o) : TForm(o) {
    SetCaption("Skinned controls, part 2 — test skin (left) and default look (right)");
    SetBounds(40, 30, 1000, 520);
    host = new menutest::MenuHost(this);
  }
  void Dispatch(TMessage& m) override {
    if (m.Msg == WM_SKIN_MENU_CLOSED) host->SkinMenuClose();
    TForm::Dispatch(m);
  }

  template <class T>
  T* Add(TWinControl* parent, int l, int t, int w, int h) {
    T* c = new T(this);
    c->SetBounds(l, t, w, h);
    c->SetParent(parent);
    return c;
  }

  void Build(TbsSkinData* sd) {
    for (int side = 0; side < 2; ++side) {
      TbsSkinData* s = side == 0 ? sd : nullptr;
      int x0 = side * 495 + 5;
      // A panel whose background the group box and its flat buttons sit on.
      auto* back = Add<TbsSkinPanel>(this, x0, 5, 485, 250);
      back->SetSkinData(s);
      auto* g = Add<TbsSkinGroupBox>(back, 10, 10, 220, 150);
      g->SetCaption("输出格式");
      g->SetSkinData(s);
      const char* formats[] = {"MP4 视频", "AVI 视频", "MP3 音频"};
      for (int i = 0; i < 3; ++i) {
        auto* r = Add<TbsSkinCheckRadioBox>(g, 12, 28 + i * 26, 150, 25);
        r->SetRadio(true);
        r->SetSkinDataName("radiobox");
        r->SetGroupIndex(1);
        r->SetCaption(formats[i]);
        r->SetSkinData(s);
        if (i == 1) r->SetChecked(true);
      }
      auto* c1 = Add<TbsSkinCheckRadioBox>(g, 12, 108, 200, 25);
      c1->SetCaption("转换后关机");
      c1->SetChecked(true);
      c1->SetSkinData(s);
      // A rolled-up panel and a grayed check box next to it.
      auto* roll = Add<TbsSkinGroupBox>(back, 240, 10, 230, 120);
      roll->SetCaption("高级选项（已收起）");
      roll->SetRollUpMode(true);
      roll->SetSkinData(s);
      auto* inner = Add<TbsSkinCheckRadioBox>(roll, 12, 40, 150, 25);
      inner->SetCaption("隐藏的选项");
      inner->SetSkinData(s);
      roll->SetRollUpState(true);
      auto* gray = Add<TbsSkinCheckRadioBox>(back, 245, 60, 200, 25);
      gray->SetAllowGrayed(true);
      gray->SetCaption("灰色状态");
      gray->SetState(cbGrayed);
      gray->SetSkinData(s);
      // Seek slider over the panel, as the main window has it.
      auto* seek = Add<TbsSkinSlider>(back, 240, 100, 235, 40);
      seek->SetOptions(soShowFocus | soSmooth);
      seek->SetTransparent(true);
      seek->SetSkinData(s);
      seek->SetValue(35);
      auto* points = Add<TbsSkinSlider>(back, 240, 145, 235, 45);
      points->SetSkinData(s);
      points->SetValue(60);
      // Both scroll bar looks: horizontal and vertical, one with a page.
      auto* hs = Add<TbsSkinScrollBar>(back, 10, 200, 300, 19);
      hs->SetSkinData(s);
      hs->SetRange(0, 99, 30, 20);
      auto* hs2 = Add<TbsSkinScrollBar>(back, 10, 225, 300, 19);
      hs2->SetBoth(true);
      hs2->SetSkinData(s);
      hs2->SetPosition(70);
      auto* vs = Add<TbsSkinScrollBar>(this, x0 + 460, 270, 19, 180);
      vs->SetKind(sbVertical);
      vs->SetSkinDataName("vscrollbar");
      vs->SetSkinData(s);
      vs->SetPosition(40);
      // The main window's tool bar, narrowed so that it scrolls.
      auto* tb = new TbsSkinToolBar(this);
      tb->SetSkinDataName("resizetoolpanel");
      tb->SetCanScroll(true);
      tb->SetHotScroll(false);
      tb->SetScrollOffset(30);
      tb->SetScrollTimerInterval(50);
      tb->SetBounds(x0, 270, 300, 25);
      tb->SetParent(this);
      auto* add = new TbsSkinMenuSpeedButton(this);
      add->SetSkinDataName("resizetoolbutton");
      add->SetCaption("添加");
      add->SetBounds(0, 0, 80, 21);
      add->SetParent(tb);
      add->SetSkinPopupMenu(menu());
      if (side == 0) addButton = add;
      const char* names[] = {"删除", "清空", "开始", "停止", "选项"};
      for (int i = 0; i < 5; ++i) {
        auto* b = new TbsSkinSpeedButton(this);
        b->SetSkinDataName("resizetoolbutton");
        b->SetCaption(names[i]);
        b->SetBounds(82 + i * 62, 0, 60, 21);
        b->SetParent(tb);
      }
      tb->SetSkinData(s);
      tb->SetWidth(260);
      if (side == 0) toolBar = tb;
      bars[side] = tb;
    }
    // One status bar with its grip across the bottom, in the skin.
    status = new TbsSkinStatusBar(this);
    status->SetParent(this);
    status->SetSizeGrip(true);
    status->SetSkinData(sd);
    status->SetCaption("");
  }

  TbsSkinPopupMenu* menu() {
    if (popup) return popup;
    popup = new TbsSkinPopupMenu(this);
    for (const char* c : {"添加文件", "添加多个文件", "添加目录"}) {
      auto* i = new TMenuItem(popup);
      i->Caption = c;
      popup->Items()->Add(i);
    }
    return popup;
  }

  menutest::MenuHost* host;
  TbsSkinPopupMenu* popup = nullptr;
  TbsSkinToolBar* toolBar = nullptr;
  TbsSkinToolBar* bars[2] = {nullptr, nullptr};
  TbsSkinMenuSpeedButton* addButton = nullptr;
  TbsSkinStatusBar* status = nullptr;
};

void Script(DemoForm* f, const std::string& prefix) {
  QWindow* qw = plat::qt::QtBackend::Install()->WindowOf(f->Handle());
  PumpUntil([&] { return qw && qw->isExposed(); });
  PumpFor(400);
  // The right scroll button of each tool bar: two clicks each.
  for (TbsSkinToolBar* tb : f->bars) {
    TPoint r = tb->ClientToScreen({tb->ClientWidth() + 6, 10});
    for (int k = 0; k < 2; ++k) {
      ClickAt(r.X, r.Y, 1, 0);
      PumpFor(150);
    }
    std::printf("tool bar: scroll buttons %s, position %d of %d (page %d)\n",
                tb->ScrollButtonsShown() ? "shown" : "hidden", tb->ScrollPosition(), tb->ScrollMax(), tb->ScrollPage());
  }
  // Back into a bar's client area: the scroll button is no longer hot.
  for (TbsSkinToolBar* tb : f->bars) {
    TPoint c = tb->ClientToScreen({40, 10});
    MouseTo(c.X, c.Y, 0);
    PumpFor(100);
  }
  MouseTo(500, 760, 0);
  Shot(prefix + "-1-controls.png");
  // The skinned tool bar back to the start, then its menu button's menu.
  TPoint l = f->toolBar->ClientToScreen({-6, 10});
  for (int k = 0; k < 3; ++k) ClickAt(l.X, l.Y, 1, 0);
  TPoint a = f->addButton->ClientToScreen({20, 10});
  ClickAt(a.X, a.Y, 1, 0);
  PumpFor(300);
  std::printf("menu button: menu %s, button down: %s\n", f->host->SkinMenu()->Visible() ? "open" : "closed",
              f->addButton->Down() ? "yes" : "no");
  Shot(prefix + "-2-menu.png");
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::string screenshot;
  for (int i = 1; i < argc; i++) {
    std::string a = argv[i];
    if (a == "--screenshot" && i + 1 < argc) screenshot = argv[++i];
  }
  plat::qt::QtBackend::Install();
  Application->Initialize();
  Application->SetTitle("Skinned controls 2");
  DemoForm* form = nullptr;
  Application->CreateForm(form);
  auto* sd = new TbsSkinData(nullptr);
  sd->LoadFromFile(std::string(SKIN2_DIR) + "/skin.ini");
  std::printf("skin: %s\n", sd->Empty ? "not loaded" : sd->SkinName.c_str());
  form->host->skin = sd;
  form->Build(sd);
  form->Show();
  rtl::Post([&] {
    if (!screenshot.empty()) {
      Script(form, screenshot);
      Application->Terminate();
    }
  });
  Application->Run();
  ResetApplication();
  sd->Free();
  win::Shutdown();
  plat::qt::QtBackend::Uninstall();
  return 0;
}
