// The skinned form frame in a real window (Qt backend): a main form framed
// by the form skinning component with a five-item skinned menu bar.
//   form_demo [--skin N] [--quick] [--screenshot <prefix>]
// --skin N frames the form in built-in skin N (and switches to skin N + 1
// later); without it the two synthetic frame test skins are used. --quick
// puts two quick buttons at the caption's left (the script hovers the first).
// With --screenshot the demo drives itself through the X server (xdotool):
// it reads the window's shape at two sizes (xwininfo -shape), drags the
// caption and the bottom-right edge, hovers and presses the close button
// (releasing outside first), opens the menu bar with Alt and Down, moves on
// with Right, ends menu mode with Escape twice, opens the system menu with a
// right click on the caption, switches to the second skin, and finally
// clicks close. It saves a screenshot at each step. Run it under xvfb-run.
#include <spawn.h>
#include <sys/wait.h>

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "FrameTestSkin.h"
#include "tools/demokit/DemoKit.h"
#include "platform/cl/application.h"
#include "platform/cl/forms.h"
#include "platform/cl/imglist.h"
#include "platform/qt/qt_backend.h"
#include "platform/rtl/dispatcher.h"
#include "platform/win/window.h"
#include "skin/form/bsSkinForm.h"
#include "skin/form/bsSkinMainMenuBar.h"
#include "skin/data/bsStoredSkins.h"

extern char** environ;

using namespace cl;
using namespace skin;

using namespace demokit;

namespace {

void Xdo(std::vector<std::string> args) {
  args.insert(args.begin(), "xdotool");
  RunTool(args);
  PumpFor(120);
}
void MoveTo(int x, int y) { Xdo({"mousemove", "--sync", std::to_string(x), std::to_string(y)}); }

// The shape rectangles the X server holds for the window.
void PrintShape(unsigned long wid, const char* when) {
  std::string cmd = "xwininfo -shape -id " + std::to_string(wid);
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return;
  char line[256];
  std::printf("xwininfo -shape (%s):\n", when);
  while (fgets(line, sizeof line, p)) {
    std::string l = line;
    if (l.find("Width") != std::string::npos || l.find("Height") != std::string::npos ||
        l.find("hape") != std::string::npos || l.find("extents") != std::string::npos)
      std::printf("  %s", line);
  }
  pclose(p);
}

bool g_quick = false;

class DemoForm : public TForm {
 public:
  explicit DemoForm(TComponent* o) : TForm(o) {
    SetCaption("VarnelMOD格式转换器 — 皮肤窗体");
    SetBorderStyle(bsSizeable);
    SetBounds(100, 80, 420, 260);
    sf = new TbsSkinForm(this);
    sf->SetBorderIcons(skin::biSystemMenu | skin::biMinimize | skin::biMaximize);
    menu = new TbsSkinMainMenu(this);
    for (const char* top : {"文件(&F)", "编辑(&E)", "动作(&A)", "功能(&U)", "帮助(&H)"}) {
      auto* t = new TMenuItem(menu);
      t->Caption = top;
      menu->Items()->Add(t);
      for (const char* sub : {"第一项", "第二项", "第三项"}) {
        auto* s = new TMenuItem(menu);
        s->Caption = std::string(sub);
        t->Add(s);
      }
    }
    bar = new TbsSkinMainMenuBar(this);
    bar->SetParent(this);
    bar->SetSkinForm(sf);
    bar->SetMainMenu(menu);
    if (g_quick) AddQuickButtons();
  }
  void AddQuickButtons() {
    auto* images = new TImageList(this);
    images->SetSize(16, 16);
    const gfx::TColor colours[] = {gfx::TColor(0x00B06020), gfx::TColor(0x002080D0)};
    for (gfx::TColor c : colours) {
      gfx::TBitmap b;
      b.SetSize(16, 16);
      b.Canvas()->Brush()->SetColor(gfx::clFuchsia);
      b.Canvas()->FillRect(TRect{0, 0, 16, 16});
      b.Canvas()->Brush()->SetColor(c);
      b.Canvas()->FillRect(TRect{2, 2, 14, 14});
      b.Canvas()->Brush()->SetColor(gfx::clWhite);
      b.Canvas()->FillRect(TRect{5, 7, 11, 9});
      images->AddMasked(&b, gfx::clFuchsia);
    }
    for (int i = 0; i < 2; ++i) {
      TbsQuickButtonItem* q = sf->QuickButtons()->Add();
      q->SetImageIndex(i);
      q->Hint = i == 0 ? "打开文件" : "保存";
    }
    sf->QuickButtonsShowHint = true;
    sf->SetQuickImageList(images);
  }
  TbsSkinForm* sf;
  TbsSkinMainMenu* menu;
  TbsSkinMainMenuBar* bar;

 protected:
  void Paint() override {
    Canvas()->Brush()->SetStyle(gfx::bsClear);
    Canvas()->Font()->SetName("Arial");
    Canvas()->Font()->SetHeight(14);
    // The skin's text colour, so the line reads on dark skins too.
    TbsSkinData* sd = sf->SkinData();
    if (sd && !sd->Empty) Canvas()->Font()->SetColor(sd->SkinColors().cBtnText());
    Canvas()->TextOut(12, 40, "客户区：皮肤背景");
  }
};

// Each step's outcome; the run fails (exit code 1) when one is not as expected.
int g_failures = 0;
void Expect(bool ok, const char* what) {
  if (!ok) {
    ++g_failures;
    std::printf("NOT AS EXPECTED: %s\n", what);
  }
}

TRect WinRect(TForm* f) {
  win::RECT r{};
  win::GetWindowRect(f->Handle(), &r);
  return r;
}

void Script(DemoForm* f, TbsSkinData* second, const std::string& prefix) {
  QWindow* qw = plat::qt::QtBackend::Install()->WindowOf(f->Handle());
  PumpUntil([&] { return qw && qw->isExposed(); });
  PumpFor(300);
  unsigned long wid = qw->winId();
  PrintShape(wid, "420 x 260");
  Shot(prefix + "-1-form.png");
  if (g_quick) {
    TRect q = f->sf->QuickButtons()->Items(0)->ItemRect;
    TRect w = WinRect(f);
    MoveTo(w.Left + (q.Left + q.Right) / 2, w.Top + (q.Top + q.Bottom) / 2);
    PumpFor(300);
    std::printf("quick button hovered: %s\n", f->sf->QuickButtons()->Items(0)->Active ? "lit" : "not lit");
    Expect(f->sf->QuickButtons()->Items(0)->Active, "the pointer lights the quick button");
    Shot(prefix + "-1b-quick-hover.png");
  }
  f->SetBounds(100, 80, 520, 320);
  PumpFor(200);
  PrintShape(wid, "520 x 320");
  // Caption drag.
  TRect r = WinRect(f);
  // One xdotool run for the whole drag: the layer's move loop runs inside
  // the pump that waits for it.
  auto Drag = [](int x0, int y0, int x1, int y1) {
    Xdo({"mousemove",
         "--sync",
         std::to_string(x0),
         std::to_string(y0),
         "sleep",
         "0.2",
         "mousedown",
         "1",
         "sleep",
         "0.2",
         "mousemove",
         std::to_string((x0 + x1) / 2),
         std::to_string((y0 + y1) / 2),
         "sleep",
         "0.2",
         "mousemove",
         std::to_string(x1),
         std::to_string(y1),
         "sleep",
         "0.2",
         "mouseup",
         "1"});
    PumpFor(200);
  };
  Drag(r.Left + 200, r.Top + 12, r.Left + 260, r.Top + 52);
  TRect r2 = WinRect(f);
  std::printf("caption drag by (60, 40): the form moved from (%d, %d) to (%d, %d)\n", r.Left, r.Top, r2.Left, r2.Top);
  Expect(r2.Left == r.Left + 60 && r2.Top == r.Top + 40, "the caption drag moves the form");
  // Bottom-right edge drag.
  Drag(r2.Right - 4, r2.Bottom - 4, r2.Right + 36, r2.Bottom + 26);
  TRect r3 = WinRect(f);
  std::printf("edge drag by (40, 30): the form is %d x %d (was %d x %d)\n", r3.Right - r3.Left, r3.Bottom - r3.Top,
              r2.Right - r2.Left, r2.Bottom - r2.Top);
  Expect(r3.Right - r3.Left == r2.Right - r2.Left + 40 && r3.Bottom - r3.Top == r2.Bottom - r2.Top + 30,
         "the edge drag resizes the form");
  Shot(prefix + "-2-moved-resized.png");
  // Close button: hover, press, leave, release outside.
  TRect cb = f->sf->ObjectList[size_t(f->sf->GetIndex("closebutton"))]->ObjectRect;
  int cx = r3.Left + (cb.Left + cb.Right) / 2, cy = r3.Top + (cb.Top + cb.Bottom) / 2;
  MoveTo(cx, cy);
  PumpFor(200);
  Shot(prefix + "-3-close-hover.png");
  Xdo({"mousedown", "1"});
  Shot(prefix + "-4-close-pressed.png");
  MoveTo(r3.Left + 150, r3.Top + 150);
  PumpFor(200);
  Xdo({"mouseup", "1"});
  std::printf("close pressed and released outside: the form is %s\n", f->Visible() ? "still shown" : "closed");
  Expect(f->Visible(), "a release outside the close button keeps the form");
  // Keyboard menu mode.
  Xdo({"key", "alt"});
  std::printf("Alt: menu mode %s\n", f->sf->InMainMenu() ? "on" : "off");
  Expect(f->sf->InMainMenu(), "Alt enters menu mode");
  Xdo({"key", "Down"});
  PumpFor(200);
  std::printf("Down: a submenu is %s\n", f->sf->SkinMenu()->Visible() ? "open" : "closed");
  Expect(f->sf->SkinMenu()->Visible(), "Down opens the first submenu");
  Shot(prefix + "-5-menu-file.png");
  Xdo({"key", "Right"});
  PumpFor(200);
  Shot(prefix + "-6-menu-edit.png");
  Xdo({"key", "Escape"});
  std::printf("Escape: submenu %s, menu mode %s\n", f->sf->SkinMenu()->Visible() ? "open" : "closed",
              f->sf->InMainMenu() ? "on" : "off");
  Xdo({"key", "Escape"});
  std::printf("Escape again: menu mode %s\n", f->sf->InMainMenu() ? "on" : "off");
  Expect(!f->sf->InMainMenu(), "a second Escape ends menu mode");
  // System menu on a right click of the caption.
  MoveTo(r3.Left + 150, r3.Top + 12);
  Xdo({"click", "3"});
  PumpFor(200);
  std::printf("right click on the caption: system menu %s, the form is active: %s\n",
              f->sf->SkinMenu()->Visible() ? "open" : "closed", win::GetActiveWindow() == f->Handle() ? "yes" : "no");
  Expect(f->sf->SkinMenu()->Visible(), "a right click on the caption opens the system menu");
  Shot(prefix + "-7-system-menu.png");
  Xdo({"key", "Escape"});
  // The second skin.
  f->sf->SetSkinData(second);
  f->bar->SetSkinData(second);
  PumpFor(300);
  PrintShape(wid, "second skin");
  Shot(prefix + "-8-second-skin.png");
  // A logo centred over the client background.
  {
    gfx::TBitmap logo;
    logo.SetSize(96, 48);
    logo.Canvas()->Brush()->SetColor(gfx::TColor(0x00B07020));
    logo.Canvas()->FillRect(TRect{0, 0, 96, 48});
    logo.Canvas()->Font()->SetName("Arial");
    logo.Canvas()->Font()->SetHeight(16);
    logo.Canvas()->Font()->SetColor(gfx::clWhite);
    logo.Canvas()->Brush()->SetStyle(gfx::bsClear);
    logo.Canvas()->TextOut(24, 15, "转换器");
    f->sf->SetLogoBitMap(&logo);
    f->Invalidate();
    PumpFor(300);
    Shot(prefix + "-logo.png");
  }
  // Close by a click.
  r3 = WinRect(f);
  cb = f->sf->ObjectList[size_t(f->sf->GetIndex("closebutton"))]->ObjectRect;
  MoveTo(r3.Left + (cb.Left + cb.Right) / 2, r3.Top + (cb.Top + cb.Bottom) / 2);
  PumpFor(200);
  Xdo({"click", "1"});
  PumpFor(300);
  std::printf("close clicked: the application is %s\n", Application->Terminated() ? "ending" : "still running");
  Expect(Application->Terminated(), "a click on close closes the main form");
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IONBF, 0);
  std::string screenshot;
  int builtin = -1;
  for (int i = 1; i < argc; i++) {
    std::string a = argv[i];
    if (a == "--screenshot" && i + 1 < argc) screenshot = argv[++i];
    if (a == "--skin" && i + 1 < argc) builtin = std::atoi(argv[++i]);
    if (a == "--quick") g_quick = true;
  }
  if (builtin >= kBuiltinSkinCount) {
    std::fprintf(stderr, "form_demo: --skin takes 0 .. %d\n", kBuiltinSkinCount - 1);
    return 2;
  }
  plat::qt::QtBackend::Install();
  Application->Initialize();
  Application->SetTitle("Form demo");
  TbsOwned<TbsSkinData> first, second;
  TbsOwned<TbsCompressedSkinList> skins;
  if (builtin >= 0) {
    skins = MakeOwned<TbsCompressedSkinList>(nullptr);
    LoadBuiltinSkins(*skins);
    first = MakeOwned<TbsSkinData>(nullptr);
    first->SetSkinList(skins.get());
    first->SetSkinIndex(builtin);
    second = MakeOwned<TbsSkinData>(nullptr);
    second->SetSkinList(skins.get());
    second->SetSkinIndex((builtin + 1) % kBuiltinSkinCount);
    std::printf("skins: %s, then %s\n", BuiltinSkins()[size_t(builtin)].CompressedFileName,
                BuiltinSkins()[size_t((builtin + 1) % kBuiltinSkinCount)].CompressedFileName);
  } else {
    first = MakeFrameTestSkin(0);
    second = MakeFrameTestSkin(1);
  }
  DemoForm* form = nullptr;
  Application->CreateForm(form);
  form->sf->SetSkinData(first.get());
  form->bar->SetSkinData(first.get());
  rtl::Post([&] {
    if (!screenshot.empty()) {
      Script(form, second.get(), screenshot);
      Application->Terminate();
    }
  });
  Application->Run();
  ResetApplication();
  first.reset();
  second.reset();
  skins.reset();
  win::Shutdown();
  plat::qt::QtBackend::Uninstall();
  return g_failures ? 1 : 0;
}
