// The shell views in a real window (Qt backend), in a built-in skin: the
// look-in combo box above a folder tree and a folder list in report view,
// all three linked, over a temporary folder made at start (removed at the
// end). The tree and the combo box start at the folder "Videos".
//   shell_views_demo [--skin <index>] [--screenshot <out.png>]
// With --screenshot the demo selects a row, saves the screen to out.png,
// drops the combo box's list down, saves out-drop.png and ends. Run it
// under xvfb-run without a display.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "tools/demokit/DemoKit.h"
#include "platform/cl/application.h"
#include "platform/cl/forms.h"
#include "platform/cl/stdctrls.h"
#include "platform/qt/qt_backend.h"
#include "platform/rtl/dispatcher.h"
#include "platform/win/input.h"
#include "skin/dialogs/bsShellViews.h"
#include "skin/data/bsSkinData.h"
#include "skin/data/bsStoredSkins.h"

using namespace cl;
using namespace skin;
namespace fs = std::filesystem;

using namespace demokit;

namespace {

fs::path MakeTree() {
  char tmpl[] = "/tmp/vc_shelldemo_XXXXXX";
  fs::path root = mkdtemp(tmpl);
  for (const char* d : {"Videos/Holiday 2026", "Videos/Concerts", "Music/Live", "Pictures", ".cache"})
    fs::create_directories(root / d);
  struct {
    const char* name;
    size_t size;
  } files[] = {{"Videos/beach.avi", 734003}, {"Videos/birthday.MP4", 2097152}, {"Videos/clip.mkv", 51200},
               {"Videos/notes.txt", 120},    {"Videos/.draft.avi", 10},        {"Music/song.mp3", 4194304},
               {"Music/tune.aiff", 81920},   {"Pictures/cover.png", 20480}};
  for (auto& f : files) {
    std::ofstream(root / f.name).close();
    fs::resize_file(root / f.name, f.size);
  }
  return root;
}

class DemoForm : public TForm {
 public:
  explicit DemoForm(TComponent* owner) : TForm(owner) {
    SetBorderStyle(bsSingle);
    SetCaption("Shell views");
    SetBounds(30, 30, 820, 520);
    SetColor(gfx::clBtnFace);
  }

  void Build(TbsSkinData* store, const fs::path& root) {
    auto* look = new TLabel(this);
    look->SetParent(this);
    look->SetBounds(10, 14, 60, 16);
    look->SetCaption("Look in:");
    combo = new TbsSkinShellComboBox(this);
    combo->SetBounds(80, 10, 340, 22);
    combo->SetParent(this);
    combo->SetSkinData(store);

    tree = new TbsSkinDirTreeView(this);
    tree->SetBounds(10, 44, 230, 430);
    tree->SetParent(this);
    tree->SetSkinData(store);
    tree->SetHideSelection(false);
    auto* tbar = new TbsSkinScrollBar(this);
    tbar->SetKind(sbVertical);
    tbar->SetSkinDataName("vscrollbar");
    tbar->SetBounds(240, 44, 19, 430);
    tbar->SetParent(this);
    tbar->SetSkinData(store);
    tree->SetVScrollBar(tbar);

    list = new TbsSkinFileListView(this);
    list->SetBounds(270, 44, 520, 430);
    list->SetParent(this);
    list->SetSkinData(store);
    list->SetViewStyle(ctl::vsReport);
    list->SetRowSelect(true);
    list->SetHideSelection(false);
    auto* lbar = new TbsSkinScrollBar(this);
    lbar->SetKind(sbVertical);
    lbar->SetSkinDataName("vscrollbar");
    lbar->SetBounds(790, 44, 19, 430);
    lbar->SetParent(this);
    lbar->SetSkinData(store);
    list->SetVScrollBar(lbar);

    tree->HandleNeeded();
    list->HandleNeeded();
    combo->HandleNeeded();
    tree->SetShellListView(list);
    tree->SetShellComboBox(combo);
    list->SetShellComboBox(combo);
    tree->SetPath((root / "Videos").string());
    // Show the temporary folder's branch rather than the rest of /tmp.
    if (ctl::TTreeNode* n = tree->Selected(); n && n->Parent()) tree->SetTopItem(n->Parent());
    tree->UpDateScrollBars();
    std::printf("tree bar: visible %d, %d..%d page %d at %d, height %d\n", tbar->Visible(), tbar->Min(), tbar->Max(),
                tbar->PageSize(), tbar->Position(), tbar->Height());
  }

  TbsSkinShellComboBox* combo = nullptr;
  TbsSkinDirTreeView* tree = nullptr;
  TbsSkinFileListView* list = nullptr;
};

void Script(DemoForm* f, const std::string& screenshot) {
  PumpFor(500);
  std::printf("tree: %s\nlist: %s (%d rows)\ncombo: %s (%d entries)\n", f->tree->Path().c_str(),
              f->list->Path().c_str(), f->list->FolderCount(), f->combo->Path().c_str(),
              int(f->combo->ItemsEx().size()));
  if (f->list->Items()->Count() > 3) f->list->Items()->Item(3)->SetSelected(true);
  Shot(screenshot);
  f->combo->DropDown();
  std::string drop = screenshot;
  drop.insert(drop.size() - (drop.size() >= 4 && drop.substr(drop.size() - 4) == ".png" ? 4 : 0), "-drop");
  Shot(drop);
  f->combo->CloseUp(false);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::string screenshot;
  int index = 0;
  for (int i = 1; i < argc; i++) {
    if (std::string(argv[i]) == "--screenshot" && i + 1 < argc) screenshot = argv[++i];
    if (std::string(argv[i]) == "--skin" && i + 1 < argc) index = std::atoi(argv[++i]);
  }
  fs::path root = MakeTree();
  plat::qt::QtBackend::Install();
  Application->Initialize();
  Application->SetTitle("Shell views demo");
  auto skins = MakeOwned<TbsCompressedSkinList>(nullptr);
  LoadBuiltinSkins(*skins);
  auto store = MakeOwned<TbsSkinData>(nullptr);
  store->SetSkinIndex(index);
  store->SetSkinList(skins.get());
  if (store->Empty) std::fprintf(stderr, "skin %d is not built in: everything shows the default look\n", index);
  DemoForm* form = nullptr;
  Application->CreateForm(form);
  form->Show();
  form->Build(store.get(), root);
  rtl::Post([&] {
    if (!screenshot.empty()) {
      Script(form, screenshot);
      Application->Terminate();
    }
  });
  Application->Run();
  ResetApplication();
  store.reset();
  skins.reset();
  win::Shutdown();
  plat::qt::QtBackend::Uninstall();
  std::error_code ec;
  fs::remove_all(root, ec);
  return 0;
}
