// The input controls in a real window (Qt backend): a 120 x 120 skinned
// list box, two combo boxes (the lower one sits near the screen's bottom
// edge, so its list opens above it), a skinned edit, a read-only edit and a
// file filter combo, in one of the demo skins or in the default look.
//   inputs_demo [--skin blue|olive|none|<folder>] [--screenshot <prefix>]
// With --screenshot the demo drives itself through the X server (xdotool):
// it adds rows to the list, opens the upper combo with a click and picks a
// row (printing the events in order), types and pastes Chinese into the
// edit, saves <prefix>-below.png with the upper list open and
// <prefix>-above.png with the lower one open, clears the list and ends.
// Run it under xvfb-run without a display.
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
#include "platform/cl/stdctrls.h"
#include "platform/qt/qt_backend.h"
#include "platform/rtl/dispatcher.h"
#include "platform/win/input.h"
#include "skin/inputs/bsSkinComboBox.h"
#include "skin/inputs/bsSkinEdits.h"
#include "skin/inputs/bsSkinListBox.h"

extern char** environ;

using namespace cl;
using namespace skin;

using namespace demokit;

namespace {

class DemoForm : public TForm {
 public:
  explicit DemoForm(TComponent* owner) : TForm(owner) {
    SetBorderStyle(bsSingle);
    SetCaption("Input controls");
    SetColor(gfx::clBtnFace);
  }

  void Build(TbsSkinData* store) {
    // Low on the screen, so the lower combo's list has no room below it.
    TRect work = win::Screens().empty() ? TRect{0, 0, 1280, 800} : win::Screens()[0].workArea;
    SetBounds(60, work.Bottom - 470, 560, 460);
    Label(20, 14, "List box (120 x 120)");
    list = Add<TbsSkinListBox>(store, 20, 34, 120, 120);
    Label(170, 14, "Frame size (click: opens below)");
    upper = Add<TbsSkinComboBox>(store, 170, 34, 160, 20);
    for (const char* s :
         {"128*96", "176*144", "320*240", "480*360", "640*480", "720*576", "1280*720", "1920*1080", "3840*2160"})
      upper->Items().Add(s);
    upper->SetItemIndex(4);
    Label(170, 74, "File name (type and paste)");
    edit = Add<TbsSkinEdit>(store, 170, 94, 220, 20);
    Label(170, 134, "Output folder (read-only)");
    folder = Add<TbsSkinEdit>(store, 170, 154, 220, 20);
    folder->SetText("/home/user/Videos/转换");
    folder->SetReadOnly(true);
    Label(20, 194, "Files of type");
    filter = Add<TbsSkinFilterComboBox>(store, 20, 214, 220, 20);
    filter->SetFilter("Video files|*.mp4;*.avi;*.mkv|Audio files|*.mp3;*.wav|All files (*.*)|*.*");
    events = new TLabel(this);
    events->SetBounds(20, 260, 520, 18);
    events->SetParent(this);
    editText = new TLabel(this);
    editText->SetBounds(20, 284, 520, 18);
    editText->SetParent(this);
    Label(170, 374, "Sample rate (near the screen bottom: opens above)");
    lower = Add<TbsSkinComboBox>(store, 170, 394, 160, 20);
    for (const char* s : {"8000", "11025", "16000", "22050", "32000", "44100", "48000", "96000"}) lower->Items().Add(s);
    lower->SetItemIndex(5);
    auto log = [this](const std::string& e) {
      log_ += (log_.empty() ? "" : ", ") + e;
      events->SetCaption("Events: " + log_);
    };
    upper->OnChange = [log](rtl::TObject*) { log("OnChange"); };
    upper->OnClick = [log](rtl::TObject*) { log("OnClick"); };
    upper->OnCloseUp = [log](rtl::TObject*) { log("OnCloseUp"); };
    upper->OnDropDown = [log](rtl::TObject*) { log("OnDropDown"); };
    upper->OnMouseDown = [log](rtl::TObject*, TMouseButton, TShiftState, int, int) { log("OnMouseDown"); };
    upper->OnMouseUp = [log](rtl::TObject*, TMouseButton, TShiftState, int, int) { log("OnMouseUp"); };
    edit->OnChange = [this](rtl::TObject*) { editText->SetCaption("Edit text: " + edit->Text()); };
  }

  TbsSkinListBox* list = nullptr;
  TbsSkinComboBox *upper = nullptr, *lower = nullptr;
  TbsSkinEdit *edit = nullptr, *folder = nullptr;
  TbsSkinFilterComboBox* filter = nullptr;
  TLabel *events = nullptr, *editText = nullptr;
  std::string log_;

 private:
  template <class T>
  T* Add(TbsSkinData* store, int l, int t, int w, int h) {
    T* c = new T(this);
    c->SetBounds(l, t, w, h);
    c->SetParent(this);
    if (store) c->SetSkinData(store);
    return c;
  }
  void Label(int l, int t, const std::string& s) {
    auto* lb = new TLabel(this);
    lb->SetBounds(l, t, 380, 16);
    lb->SetCaption(s);
    lb->SetParent(this);
  }
};

void Script(DemoForm* f, const std::string& prefix) {
  QWindow* w = plat::qt::QtBackend::Install()->WindowOf(f->Handle());
  PumpUntil([&] { return w && w->isExposed(); });
  PumpFor(300);
  std::printf("list bar before rows: %s\n", f->list->ScrollBar ? "yes" : "no");
  for (int i = 1; i <= 12; ++i) f->list->Items().Add("Preset " + std::to_string(i));
  f->list->SetItemIndex(2);
  PumpFor(100);
  std::printf("list bar with 12 rows: %s\n", f->list->ScrollBar ? "yes" : "no");

  // Open the upper combo with a real click, then pick a row.
  f->log_.clear();
  ClickAt(f->upper, 40, 10);
  TbsPopupListBox* pl = f->upper->PopupList();
  TPoint below = f->upper->ClientToScreen({0, f->upper->Height()});
  std::printf("upper list open: %s, at %d,%d (combo bottom-left %d,%d): %s\n", pl->Visible() ? "yes" : "no", pl->Left(),
              pl->Top(), below.X, below.Y, pl->Top() == below.Y ? "below" : "elsewhere");
  std::printf("form keeps the focus in the combo: %s\n", f->upper->Focused() ? "yes" : "no");
  TRect r = pl->ListBox->ItemRect(pl->ListBox->TopIndex() + 2);
  ClickAt(pl->ListBox, 20, r.Top + r.Height() / 2);
  std::printf("picked %s; events: %s\n", f->upper->Text().c_str(), f->log_.c_str());

  // Typed and pasted Chinese in the edit.
  ClickAt(f->edit, 20, 8);
  RunTool({"xdotool", "type", "--delay", "30", "Clip "});
  RunTool({"xdotool", "type", "--delay", "60", "视频"});
  PumpFor(200);
  RunTool({"sh", "-c", "printf '%s' '转换' | xclip -selection clipboard"});
  PumpFor(200);
  RunTool({"xdotool", "key", "ctrl+v"});
  PumpFor(400);
  std::printf("edit text: %s\n", f->edit->Text().c_str());
  // The read-only field keeps its text against typing.
  ClickAt(f->folder, 20, 8);
  RunTool({"xdotool", "type", "x"});
  RunTool({"xdotool", "key", "BackSpace"});
  PumpFor(200);
  std::printf("read-only folder text: %s\n", f->folder->Text().c_str());

  // Shot 1: the upper list open below its combo, hovering a row.
  ClickAt(f->upper, 40, 10);
  MouseTo(pl->ListBox, 30, pl->ListBox->ItemRect(pl->ListBox->TopIndex() + 1).Top + 8);
  Shot(prefix + "-below.png");
  RunTool({"xdotool", "key", "Escape"});
  PumpFor(150);

  // Shot 2: the lower list opens above its combo.
  ClickAt(f->lower, 40, 10);
  TbsPopupListBox* ll = f->lower->PopupList();
  TPoint top = f->lower->ClientToScreen({0, 0});
  std::printf("lower list open: %s, bottom %d, combo top %d: %s\n", ll->Visible() ? "yes" : "no",
              ll->Top() + ll->Height(), top.Y, ll->Top() + ll->Height() == top.Y ? "above" : "elsewhere");
  Shot(prefix + "-above.png");
  RunTool({"xdotool", "key", "Escape"});
  PumpFor(150);

  f->list->Clear();
  PumpFor(100);
  std::printf("list bar after Clear: %s\n", f->list->ScrollBar ? "yes" : "no");
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::string prefix, skinArg = "blue";
  for (int i = 1; i < argc; i++) {
    if (std::string(argv[i]) == "--screenshot" && i + 1 < argc) prefix = argv[++i];
    if (std::string(argv[i]) == "--skin" && i + 1 < argc) skinArg = argv[++i];
  }
  plat::qt::QtBackend::Install();
  Application->Initialize();
  Application->SetTitle("Input controls demo");
  TbsOwned<TbsSkinData> store;
  if (skinArg != "none") {
    const std::string folder =
        skinArg.find('/') == std::string::npos ? std::string(INPUTS_SKINS_DIR) + "/" + skinArg : skinArg;
    store = MakeOwned<TbsSkinData>(nullptr);
    store->LoadFromFile(folder + "/skin.ini");
    if (store->Empty) std::fprintf(stderr, "no skin in %s: the default look shows\n", folder.c_str());
  }
  DemoForm* form = nullptr;
  Application->CreateForm(form);
  form->Build(store.get());
  rtl::Post([&] {
    if (!prefix.empty()) {
      Script(form, prefix);
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
