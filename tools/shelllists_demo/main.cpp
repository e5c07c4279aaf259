// The file-system choosers in a real window (Qt backend): the volume combo
// box above a directory list and a file list, a filter combo and a name edit
// that follow them, over a sample folder made in the temporary directory.
//   shelllists_demo [--skin blue|olive|none|<folder>] [--screenshot <prefix>]
// With --screenshot the demo drives itself through the X server (xdotool):
// it double-clicks a sub-folder, picks the second filter row and clicks a
// file (printing what the controls show after each step), saves
// <prefix>.png and ends. Run it under xvfb-run without a display.
#include <spawn.h>
#include <sys/wait.h>

#include <QWindow>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tools/demokit/DemoKit.h"
#include "platform/cl/application.h"
#include "platform/cl/forms.h"
#include "platform/cl/stdctrls.h"
#include "platform/qt/qt_backend.h"
#include "platform/rtl/dispatcher.h"
#include "platform/win/input.h"
#include "skin/inputs/bsSkinEdits.h"
#include "skin/inputs/bsSkinShellLists.h"

extern char** environ;

using namespace cl;
using namespace skin;

using namespace demokit;

namespace {

// A sample folder: a few sub-folders and media files.
std::string MakeSample() {
  namespace fs = std::filesystem;
  const std::string root = (fs::temp_directory_path() / "shelllists-demo").string();
  fs::remove_all(root);
  for (const char* d : {"Videos/Holiday", "Videos/Concerts", "Music", "Pictures", ".cache"})
    fs::create_directories(root + "/" + d);
  for (const char* f :
       {"Videos/Holiday/beach.mp4", "Videos/Holiday/hotel.avi", "Videos/Holiday/notes.txt", "Videos/Holiday/sunset.MKV",
        "Videos/Holiday/song.mp3", "Videos/Holiday/.thumbs", "Videos/trailer.mp4", "Music/track01.wav"})
    std::ofstream(root + "/" + f) << "x";
  return root;
}

class DemoForm : public TForm {
 public:
  explicit DemoForm(TComponent* owner) : TForm(owner) {
    SetBorderStyle(bsSingle);
    SetCaption("Folders and files");
    SetColor(gfx::clBtnFace);
  }

  void Build(TbsSkinData* store, const std::string& start) {
    SetBounds(60, 60, 440, 380);
    Label(20, 12, "Volume");
    drives = Add<TbsSkinDriveComboBox>(store, 20, 30, 400, 20);
    dirLabel = new TbsSkinStdLabel(this);
    dirLabel->SetAutoSize(false);
    dirLabel->SetBounds(20, 62, 190, 16);
    dirLabel->SetParent(this);
    dirs = Add<TbsSkinDirectoryListBox>(store, 20, 82, 190, 200);
    files = Add<TbsSkinFileListBox>(store, 230, 82, 190, 200);
    Label(230, 62, "Files");
    Label(20, 292, "File name");
    name = Add<TbsSkinEdit>(store, 20, 310, 190, 20);
    Label(230, 292, "Files of type");
    filter = Add<TbsSkinFilterComboBox>(store, 230, 310, 190, 20);
    filter->SetFilter("All files (*.*)|*.*|Video files|*.mp4;*.avi;*.mkv|Audio files|*.mp3;*.wav");
    drives->SetDirList(dirs);
    dirs->SetFileList(files);
    dirs->SetDirLabel(dirLabel);
    files->SetFileEdit(name);
    files->SetFilterCombo(filter);
    dirs->SetDirectory(start);
  }

  TbsSkinDriveComboBox* drives = nullptr;
  TbsSkinDirectoryListBox* dirs = nullptr;
  TbsSkinFileListBox* files = nullptr;
  TbsSkinFilterComboBox* filter = nullptr;
  TbsSkinEdit* name = nullptr;
  TbsSkinStdLabel* dirLabel = nullptr;

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
    lb->SetBounds(l, t, 180, 16);
    lb->SetCaption(s);
    lb->SetParent(this);
  }
};

void Report(DemoForm* f, const char* step) {
  std::string rows;
  for (int i = 0; i < f->files->Items().Count(); ++i) rows += (i ? ", " : "") + f->files->Items().Get(i);
  std::printf("%s: volume %s | folder %s | label %s | mask %s | files: %s | name %s\n", step, f->drives->Text().c_str(),
              f->dirs->Directory().c_str(), f->dirLabel->Caption().c_str(), f->files->Mask().c_str(), rows.c_str(),
              f->name->Text().c_str());
}

void Script(DemoForm* f, const std::string& prefix) {
  QWindow* w = plat::qt::QtBackend::Install()->WindowOf(f->Handle());
  PumpUntil([&] { return w && w->isExposed(); });
  PumpFor(300);
  Report(f, "start");
  // Double-click the "Holiday" sub-folder.
  for (int i = 0; i < f->dirs->Items().Count(); ++i)
    if (f->dirs->Items().Get(i) == "Holiday") {
      TRect r = f->dirs->ItemRect(i);
      ClickAt(f->dirs->ListBox, 60, r.Top + r.Height() / 2, 2, 200);
      break;
    }
  Report(f, "into Holiday");
  // Video files only.
  f->filter->SetItemIndex(1);
  PumpFor(150);
  Report(f, "video filter");
  TRect r = f->files->ItemRect(1);
  ClickAt(f->files->ListBox, 30, r.Top + r.Height() / 2, 1, 200);
  Report(f, "clicked second file");
  std::printf("process folder unchanged: %s\n", std::filesystem::current_path().string().c_str());
  Shot(prefix + ".png", 300);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::string prefix, skinArg = "blue";
  for (int i = 1; i < argc; i++) {
    if (std::string(argv[i]) == "--screenshot" && i + 1 < argc) prefix = argv[++i];
    if (std::string(argv[i]) == "--skin" && i + 1 < argc) skinArg = argv[++i];
  }
  const std::string sample = MakeSample();
  plat::qt::QtBackend::Install();
  Application->Initialize();
  Application->SetTitle("Folders and files demo");
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
  form->Build(store.get(), sample + "/Videos");
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
  std::filesystem::remove_all(sample);
  return 0;
}
