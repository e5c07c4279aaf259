// The skinned views and page controls in a real window (Qt backend), in the
// views test skin: the main window's file list (report view, grid lines,
// whole-row selection, a hidden column, 100 rows) with its two external
// skinned scroll bars, a tree view with its bar, an 8-page control on a
// narrow width with close buttons and the skinned up-down scroller, and a
// page control with its tabs on the left, drawn turned.
//   views_demo [--skin <folder>] [--screenshot <out.png>]
// With --screenshot the demo drives itself through the X server (xdotool):
// it clicks a row, scrolls the list with the keyboard and the wheel and
// reports the top row and the bar after each step, closes a page from its
// close button, saves the whole screen and ends. Run it under xvfb-run
// without a display.
#include <spawn.h>
#include <sys/wait.h>

#include <QWindow>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tools/demokit/DemoKit.h"
#include "platform/cl/application.h"
#include "platform/cl/forms.h"
#include "platform/cl/stdctrls.h"
#include "platform/ctl/scrollinfo.h"
#include "platform/qt/qt_backend.h"
#include "platform/rtl/dispatcher.h"
#include "platform/win/input.h"
#include "skin/controls/bsSkinPageControl.h"
#include "skin/controls/bsSkinViews.h"

extern char** environ;

using namespace cl;
using namespace skin;

using namespace demokit;

namespace {

class DemoForm : public TForm {
 public:
  explicit DemoForm(TComponent* owner) : TForm(owner) {
    SetBorderStyle(bsSingle);
    SetCaption("Skinned views and page controls");
    SetBounds(30, 30, 960, 600);
    SetColor(gfx::clBtnFace);
  }

  void Build(TbsSkinData* store) {
    Heading(10, 8, "File list: report view, grid lines, row select, hidden column, 100 rows; external bars");
    list = new TbsSkinListView(this);
    list->SetViewStyle(ctl::vsReport);
    list->SetGridLines(true);
    list->SetRowSelect(true);
    list->ReadOnly = true;
    list->SetHideSelection(false);
    list->SetBounds(10, 28, 440, 300);
    list->SetParent(this);
    struct Col {
      const char* caption;
      int width;
      TAlignment align;
    } cols[] = {{"文件名", 150, taLeftJustify}, {"时长", 70, taRightJustify}, {"Path (hidden)", 0, taLeftJustify},
                {"格式", 90, taCenter},         {"Size", 80, taRightJustify}, {"Status", 120, taLeftJustify}};
    for (const auto& c : cols) {
      auto* col = list->Columns()->Add();
      col->SetCaption(c.caption);
      col->SetWidth(c.width);
      col->SetAlignment(c.align);
      if (c.width == 0) col->SetMaxWidth(1);
    }
    list->Items()->BeginUpdate();
    for (int i = 0; i < 100; ++i) {
      auto* it = list->Items()->Add();
      it->SetCaption("clip" + std::to_string(i + 1) + (i % 3 == 0 ? ".mp4" : i % 3 == 1 ? ".avi" : ".mkv"));
      it->SubItems()->Add("00:0" + std::to_string(i % 10) + ":" + std::to_string(10 + i % 50));
      it->SubItems()->Add("/home/user/videos");
      it->SubItems()->Add(i % 2 ? "MP4" : "AVI");
      it->SubItems()->Add(std::to_string(1200 + 37 * i) + " KB");
      it->SubItems()->Add(i % 4 ? "Waiting" : "Done");
    }
    list->Items()->EndUpdate();
    list->SetSkinData(store);
    vbar = new TbsSkinScrollBar(this);
    vbar->SetKind(sbVertical);
    vbar->SetBounds(450, 28, 19, 300);
    vbar->SetParent(this);
    hbar = new TbsSkinScrollBar(this);
    hbar->SetBounds(10, 328, 440, 19);
    hbar->SetParent(this);
    list->SetVScrollBar(vbar);
    list->SetHScrollBar(hbar);
    status = new TLabel(this);
    status->SetBounds(10, 352, 460, 18);
    status->SetParent(this);

    Heading(10, 380, "Tree view with its external bar");
    tree = new TbsSkinTreeView(this);
    tree->SetBounds(10, 400, 440, 160);
    tree->SetParent(this);
    for (int i = 0; i < 6; ++i) {
      auto* n = tree->Items()->Add(nullptr, "Folder " + std::to_string(i + 1));
      for (int k = 0; k < 5; ++k) tree->Items()->AddChild(n, "Video " + std::to_string(k + 1) + ".mp4");
      if (i < 3) n->Expand(false);
    }
    tree->SetSkinData(store);
    tvbar = new TbsSkinScrollBar(this);
    tvbar->SetKind(sbVertical);
    tvbar->SetBounds(450, 400, 19, 160);
    tvbar->SetParent(this);
    tree->SetVScrollBar(tvbar);

    Heading(490, 8, "8 pages on 300 px: close buttons, skinned scroller");
    pages = new TbsSkinPageControl(this);
    pages->SetBounds(490, 28, 300, 170);
    pages->SetParent(this);
    pages->SetShowCloseButtons(true);
    for (int i = 0; i < 8; ++i) {
      auto* s = new TbsSkinTabSheet(this);
      s->SetCaption("Page " + std::to_string(i + 1));
      s->SetPageControl(pages);
      auto* l = new TLabel(this);
      l->SetBounds(12, 12, 250, 18);
      l->SetCaption("The contents of page " + std::to_string(i + 1));
      l->SetTransparent(true);
      l->SetParent(s);
    }
    pages->SetSkinData(store);
    pages->OnAfterClose = [this](rtl::TObject*) { closed++; };

    Heading(490, 210, "Tabs on the left (turned), default look and test skin");
    for (int k = 0; k < 2; ++k) {
      auto* pc = new TbsSkinPageControl(this);
      pc->SetTabPosition(ctl::tpLeft);
      pc->SetBounds(490 + k * 235, 230, 225, 170);
      pc->SetParent(this);
      for (const char* c : {"General", "Video", "Audio"}) {
        auto* s = new TbsSkinTabSheet(this);
        s->SetCaption(c);
        s->SetPageControl(pc);
      }
      if (k == 1) pc->SetSkinData(store);
      (k ? leftSkinned : leftPlain) = pc;
    }
    Heading(490, 410, "Tabs at the bottom (pictures mirrored), test skin");
    auto* bottom = new TbsSkinPageControl(this);
    bottom->SetTabPosition(ctl::tpBottom);
    bottom->SetBounds(490, 430, 460, 130);
    bottom->SetParent(this);
    for (const char* c : {"输出格式", "输出目录", "Options"}) {
      auto* s = new TbsSkinTabSheet(this);
      s->SetCaption(c);
      s->SetPageControl(bottom);
    }
    bottom->SetShowCloseButtons(true);
    bottom->SetSkinData(store);
    ShowState();
  }

  void ShowState() {
    int top = list->TopItem() ? list->TopItem()->Index() : -1;
    status->SetCaption("top row " + std::to_string(top) + ", vertical bar at " + std::to_string(vbar->Position()) +
                       " of " + std::to_string(vbar->Max()) + " (page " + std::to_string(vbar->PageSize()) + ")");
  }

  TbsSkinListView* list = nullptr;
  TbsSkinScrollBar *vbar = nullptr, *hbar = nullptr, *tvbar = nullptr;
  TbsSkinTreeView* tree = nullptr;
  TbsSkinPageControl *pages = nullptr, *leftPlain = nullptr, *leftSkinned = nullptr;
  TLabel* status = nullptr;
  int closed = 0;

 private:
  void Heading(int x, int y, const std::string& s) {
    auto* l = new TLabel(this);
    l->SetBounds(x, y, 470, 16);
    l->SetCaption(s);
    l->SetParent(this);
  }
};

std::string g_skinFolder = VIEWSKIN_DIR;

void Report(DemoForm* f, const char* step) {
  PumpFor(150);
  f->ShowState();
  int top = f->list->TopItem() ? f->list->TopItem()->Index() : -1;
  std::printf("%-22s top row %3d, bar %3d, native %3d\n", step, top, f->vbar->Position(),
              ctl::GetScrollPos(f->list->Handle(), win::SB_VERT));
}

void Script(DemoForm* f, const std::string& screenshot) {
  QWindow* w = plat::qt::QtBackend::Install()->WindowOf(f->Handle());
  PumpUntil([&] { return w && w->isExposed(); });
  PumpFor(300);
  // Keyboard: a click on a row, then Page Down twice and Down three times.
  MouseTo(f->list, 100, f->list->HeaderHeight() + 10);
  RunTool({"xdotool", "click", "1"});
  Report(f, "clicked row 0");
  RunTool({"xdotool", "key", "Next", "Next"});
  Report(f, "Page Down x2");
  RunTool({"xdotool", "key", "Down", "Down", "Down"});
  Report(f, "Down x3");
  // The wheel: three notches down, one up.
  RunTool({"xdotool", "click", "--repeat", "3", "5"});
  Report(f, "wheel down x3");
  RunTool({"xdotool", "click", "4"});
  Report(f, "wheel up x1");
  // The bar drives the view: a click on the bar's track below the thumb.
  TRect thumb = f->vbar->Button(0).R;
  MouseTo(f->vbar, 9, thumb.Bottom + 20);
  RunTool({"xdotool", "click", "1"});
  Report(f, "bar page down");
  // A click on the fourth row shown selects the whole row.
  MouseTo(f->list, 300, f->list->HeaderHeight() + 3 * f->list->RowHeight() + 5);
  RunTool({"xdotool", "click", "1"});
  Report(f, "clicked a row");
  // Close page 3 from its close button (hover first so that it shows).
  auto* s3 = dynamic_cast<TbsSkinCustomTabSheet*>(f->pages->Pages(2));
  TRect t = f->pages->GetTabRect(2);
  MouseTo(f->pages, t.Left + 5, t.Top + 5);
  TRect b = s3->ButtonRect;
  MouseTo(f->pages, t.Left + (b.Left + b.Right) / 2, t.Top + (b.Top + b.Bottom) / 2);
  RunTool({"xdotool", "click", "1"});
  PumpFor(200);
  std::printf("page 3 closed from its close button: %s (pages closed %d); scroller %s, max %d\n",
              f->pages->Pages(2)->TabVisible() ? "no" : "yes", f->closed, f->pages->Scroller() ? "shown" : "none",
              f->pages->Scroller() ? f->pages->Scroller()->Max() : -1);
  // The scroller moves the strip by one tab.
  if (TbsSkinUpDown* u = f->pages->Scroller()) {
    TRect up = u->Button(0).R;
    MouseTo(u, (up.Left + up.Right) / 2, (up.Top + up.Bottom) / 2);
    RunTool({"xdotool", "click", "1"});
    PumpFor(200);
    std::printf("scroller up: first tab shown %d\n", f->pages->FirstVisibleTab());
  }
  // Hover the second left tab of the skinned control for the picture.
  TRect lt = f->leftSkinned->GetTabRect(1);
  MouseTo(f->leftSkinned, lt.Left + 5, lt.Top + 10);
  PumpFor(500);
  Shot(screenshot, 0);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::string screenshot;
  for (int i = 1; i < argc; i++) {
    if (std::string(argv[i]) == "--screenshot" && i + 1 < argc) screenshot = argv[++i];
    if (std::string(argv[i]) == "--skin" && i + 1 < argc) g_skinFolder = argv[++i];
  }
  plat::qt::QtBackend::Install();
  Application->Initialize();
  Application->SetTitle("Skinned views demo");
  auto store = MakeOwned<TbsSkinData>(nullptr);
  store->LoadFromFile(g_skinFolder + "/skin.ini");
  if (store->Empty) std::fprintf(stderr, "no skin in %s: everything shows the default look\n", g_skinFolder.c_str());
  DemoForm* form = nullptr;
  Application->CreateForm(form);
  form->Build(store.get());
  rtl::Post([&] {
    if (!screenshot.empty()) {
      Script(form, screenshot);
      Application->Terminate();
    }
  });
  Application->Run();
  ResetApplication();
  store.reset();
  win::Shutdown();
  plat::qt::QtBackend::Uninstall();
  return 0;
}
