// The skinned controls of the first control set in a real window (Qt
// backend): the frame base, push buttons, speed buttons, the two labels,
// bevels and a splitter, each in the controls test skin (left half) and in
// the default look (right half), at two sizes.
//   skin_controls_demo [--skin <folder>] [--screenshot <out.png>]
// With --screenshot the demo drives itself through the X server (xdotool):
// it hovers a skinned button and reports the blend factors it sees, clicks
// into the edit and presses Enter and Escape, reports which buttons clicked,
// leaves the pointer on a button, saves the whole screen and ends. Run it
// under xvfb-run without a display.
#include <spawn.h>
#include <sys/wait.h>

#include <QWindow>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "tools/demokit/DemoKit.h"
#include "platform/cl/application.h"
#include "platform/cl/forms.h"
#include "platform/cl/stdctrls.h"
#include "platform/ctl/edit.h"
#include "platform/qt/qt_backend.h"
#include "platform/rtl/dispatcher.h"
#include "platform/win/input.h"
#include "skin/controls/bsSkinBevelSplitter.h"
#include "skin/controls/bsSkinButtons.h"
#include "skin/controls/bsSkinLabels.h"

extern char** environ;

using namespace cl;
using namespace skin;

using namespace demokit;

namespace {

win::POINT ScreenOf(TControl* c, int x, int y) {
  TPoint p = c->ClientToScreen({x, y});
  return {p.X, p.Y};
}

// A frame control of the base class, to show the base's own looks and the
// window region cut from the record's mask.
class FrameControl : public TbsSkinCustomControl {
 public:
  using TbsSkinCustomControl::TbsSkinCustomControl;
};

// A plain panel behind the splitters.
class Pane : public TCustomControl {
 public:
  Pane(TComponent* o, gfx::TColor c) : TCustomControl(o) {
    color_ = c;
    ControlStyle |= csAcceptsControls;
  }

 protected:
  void Paint() override {
    Canvas()->Brush()->SetColor(color_);
    Canvas()->FillRect({0, 0, Width(), Height()});
  }
};

class DemoForm : public TForm {
 public:
  explicit DemoForm(TComponent* owner) : TForm(owner) {
    SetBorderStyle(bsSingle);
    SetCaption("Skinned controls: test skin (left), default look (right)");
    SetBounds(30, 30, 900, 560);
    SetColor(gfx::clBtnFace);
    edit = new ctl::TEdit(this);
    edit->SetBounds(20, 500, 200, 24);
    edit->SetBorderStyle(bsSingle);
    edit->SetText("Focus here: Enter, Escape");
    edit->SetParent(this);
    status = new TLabel(this);
    status->SetBounds(240, 504, 600, 18);
    status->SetCaption("No click yet");
    status->SetParent(this);
  }

  void Build(TbsSkinData* store) {
    Column(store, 10);
    Column(nullptr, 455);
  }

  void Clicked(const std::string& what) {
    log += (log.empty() ? "" : ", ") + what;
    status->SetCaption("Clicked: " + log);
  }

  ctl::TEdit* edit;
  TLabel* status;
  std::string log;
  TbsSkinButton *okSkin = nullptr, *cancelSkin = nullptr, *okPlain = nullptr, *cancelPlain = nullptr;
  TbsSkinButton* hoverSkin = nullptr;

 private:
  template <class T>
  T* Add(TbsSkinData* store, int l, int t, int w, int h, const std::string& record = "", TWinControl* p = nullptr) {
    T* c = new T(this);
    c->SetBounds(l, t, w, h);
    c->SetParent(p ? p : this);
    if (!record.empty()) c->SetSkinDataName(record);
    if (store) c->SetSkinData(store);
    return c;
  }

  void Heading(int x, int y, const std::string& s) {
    auto* l = new TLabel(this);
    l->SetBounds(x, y, 420, 16);
    l->SetCaption(s);
    l->SetParent(this);
  }

  void Column(TbsSkinData* store, int x) {
    bool skinned = store != nullptr;
    Heading(x, 6, skinned ? "Test skin" : "Default look");
    // Push buttons at two sizes; the first pair are the dialog's default and cancel.
    auto* ok = Add<TbsSkinButton>(store, x, 28, 75, 25);
    ok->SetCaption("OK");
    ok->SetDefault(true);
    ok->OnClick = [this, skinned](rtl::TObject*) { Clicked(skinned ? "skinned OK" : "plain OK"); };
    auto* cancel = Add<TbsSkinButton>(store, x + 85, 28, 75, 25);
    cancel->SetCaption("Cancel");
    cancel->SetCancel(true);
    cancel->OnClick = [this, skinned](rtl::TObject*) { Clicked(skinned ? "skinned Cancel" : "plain Cancel"); };
    auto* big = Add<TbsSkinButton>(store, x + 170, 22, 130, 38);
    big->SetCaption("&Large button");
    big->OnClick = [this, skinned](rtl::TObject*) { Clicked(skinned ? "skinned Large" : "plain Large"); };
    auto* off = Add<TbsSkinButton>(store, x + 310, 28, 75, 25);
    off->SetCaption("Disabled");
    off->SetEnabled(false);
    if (skinned) {
      okSkin = ok;
      cancelSkin = cancel;
      hoverSkin = big;
    } else {
      okPlain = ok;
      cancelPlain = cancel;
    }
    // Speed buttons: framed at two sizes, flat, latched in a group.
    Heading(x, 72, "Speed buttons: 25 x 25, 60 x 30, flat, group (down)");
    auto* s1 = Add<TbsSkinSpeedButton>(store, x, 92, 25, 25);
    s1->SetCaption("A");
    auto* s2 = Add<TbsSkinSpeedButton>(store, x + 35, 90, 60, 30);
    s2->SetCaption("Open");
    auto* s3 = Add<TbsSkinSpeedButton>(store, x + 105, 90, 60, 30);
    s3->SetCaption("Flat");
    s3->SetFlat(true);
    auto* s4 = Add<TbsSkinSpeedButton>(store, x + 175, 90, 60, 30);
    s4->SetCaption("One");
    s4->SetGroupIndex(skinned ? 1 : 2);  // the halves share the form: one group each
    s4->SetDown(true);
    auto* s5 = Add<TbsSkinSpeedButton>(store, x + 240, 90, 60, 30);
    s5->SetCaption("Two");
    s5->SetGroupIndex(skinned ? 1 : 2);
    // Labels.
    Heading(x, 132, "Labels: standard, disabled (embossed), text label");
    auto* l1 = Add<TbsSkinStdLabel>(store, x, 152, 150, 18);
    l1->SetCaption("Standard &label");
    auto* l2 = Add<TbsSkinStdLabel>(store, x + 150, 152, 150, 18);
    l2->SetCaption("Disabled label");
    l2->SetEnabled(false);
    auto* l3 = Add<TbsSkinStdLabel>(store, x + 290, 152, 120, 18);
    l3->SetAutoSize(false);
    l3->SetBounds(x + 290, 152, 120, 18);
    l3->SetEllipsType(bsetEndEllips);
    l3->SetCaption("A caption too long to fit");
    auto* t = Add<TbsSkinTextLabel>(store, x, 174, 200, 40);
    t->Lines()->Add("输出格式：");
    t->Lines()->Add("A second line of the text label");
    // The frame base with the mask region, at two sizes.
    Heading(x, 222,
            skinned ? "Frame base with mask region: 30 x 20 and 120 x 44; fixed size"
                    : "Frame base: its default look is the plain button face");
    Add<FrameControl>(store, x, 244, 30, 20, "maskbutton");
    Add<FrameControl>(store, x + 45, 240, 120, 44, "maskbutton");
    Add<FrameControl>(store, x + 180, 244, 60, 30, "roundbutton");
    // Bevels.
    Heading(x, 292, "Bevels: lowered box, raised frame, top line, divider");
    auto* b1 = Add<TbsSkinBevel>(store, x, 312, 80, 40);
    b1->SetShape(bsBox);
    auto* b2 = Add<TbsSkinBevel>(store, x + 95, 312, 80, 40);
    b2->SetShape(bsFrame);
    b2->SetStyle(bsRaised);
    auto* b3 = Add<TbsSkinBevel>(store, x + 190, 330, 120, 2);
    b3->SetShape(bsTopLine);
    auto* b4 = Add<TbsSkinBevel>(store, x + 320, 312, 10, 40);
    b4->SetShape(bsLeftLine);
    b4->SetDividerMode(true);
    // Splitters: vertical and horizontal, with panes on both sides.
    Heading(x, 362, "Splitters (drag them)");
    auto* area = new Pane(this, gfx::clWindow);
    area->SetBounds(x, 382, 420, 100);
    area->SetParent(this);
    auto* left = new Pane(this, 0xE0D0C0);
    left->SetAlign(alLeft);
    left->SetWidth(140);
    left->SetParent(area);
    auto* vs = new TbsSkinSplitter(this);
    vs->SetAlign(alLeft);
    vs->SetLeft(140);
    vs->SetParent(area);
    vs->SetSkinData(store);
    auto* top = new Pane(this, 0xC0E0D0);
    top->SetAlign(alTop);
    top->SetHeight(45);
    top->SetParent(area);
    auto* hs = new TbsSkinSplitter(this);
    hs->SetAlign(alTop);
    hs->SetTop(45);
    hs->SetSkinDataName("hsplitter");
    hs->SetParent(area);
    hs->SetSkinData(store);
    auto* rest = new Pane(this, 0xD0C0E0);
    rest->SetAlign(alClient);
    rest->SetParent(area);
  }
};

std::string g_skinFolder = CTLSKIN_DIR;

void Script(DemoForm* f, const std::string& screenshot) {
  QWindow* w = plat::qt::QtBackend::Install()->WindowOf(f->Handle());
  PumpUntil([&] { return w && w->isExposed(); });
  PumpFor(300);
  // Hover the large skinned button and watch the blend factor on the real timers.
  std::vector<double> steps;
  win::POINT p = ScreenOf(f->hoverSkin, 60, 19);
  RunTool({"xdotool", "mousemove", std::to_string(p.X), std::to_string(p.Y)}, [&] {
    double k = f->hoverSkin->MorphKf();
    if (steps.empty() ? k > 0 : k != steps.back()) steps.push_back(k);
  });
  PumpUntil([&] {
    double k = f->hoverSkin->MorphKf();
    if (steps.empty() ? k > 0 : k != steps.back()) steps.push_back(k);
    return k >= 1;
  });
  std::printf("blend factors seen while hovering:");
  for (double k : steps) std::printf(" %.1f", k);
  std::printf("\n");
  // Enter and Escape from the edit, which leaves both keys to the form.
  win::POINT e = ScreenOf(f->edit, 20, 10);
  RunTool({"xdotool", "mousemove", std::to_string(e.X), std::to_string(e.Y), "click", "1"});
  PumpFor(200);
  std::printf("the edit has the focus: %s\n", f->edit->Focused() ? "yes" : "no");
  RunTool({"xdotool", "key", "Return"});
  PumpFor(100);
  RunTool({"xdotool", "key", "Escape"});
  PumpFor(100);
  std::printf("clicked: %s\n", f->log.c_str());
  // The pointer rests on the large skinned button for the picture.
  RunTool({"xdotool", "mousemove", std::to_string(p.X), std::to_string(p.Y)});
  PumpFor(800);
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
  Application->SetTitle("Skinned controls demo");
  auto store = MakeOwned<TbsSkinData>(nullptr);
  store->LoadFromFile(g_skinFolder + "/skin.ini");
  if (store->Empty) std::fprintf(stderr, "no skin in %s: both halves show the default look\n", g_skinFolder.c_str());
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
