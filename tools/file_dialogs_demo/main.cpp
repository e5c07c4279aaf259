// The file dialogs in real windows (Qt backend), in a built-in skin, over a
// temporary folder made at start (removed at the end):
//   file_dialogs_demo [--skin <index>] --screenshot <prefix>
// It opens "选择目录" (no folder yet: Computer), then "选择输出目录" at a
// folder three levels down, then the open dialog with the program's media
// filter, selects a file and presses Enter, then the multi-select dialog
// with three files, then the picture dialog with a preview. Each dialog is saved as <prefix>-<n>.png before the keys
// go in; the results are printed. Run it under xvfb-run.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/InterfaceTexts.h"
#include "platform/cl/application.h"
#include "platform/cl/forms.h"
#include "platform/qt/qt_backend.h"
#include "platform/rtl/dispatcher.h"
#include "skin/data/bsSkinData.h"
#include "skin/dialogs/bsSkinFileDialogs.h"
#include "skin/dialogs/bsSkinSelectDir.h"
#include "skin/data/bsStoredSkins.h"
#include "tools/demokit/DemoKit.h"

using namespace cl;
using namespace skin;
using namespace demokit;
namespace fs = std::filesystem;

namespace {

// The first entries of the main window's filter, in its own words.
const char* kFilter =
    "所有文件格式 (*.*)|*.*|"
    "支持的视频/音频文件格式|*.AVI;*.ASF;*.asx;*.WMV;*.AVS;*.FLV;*.MKV;*.MOV;*.3GP;*.MP4;*.MPG;*.MPEG;*.DAT;*.OGM;"
    "*.VOB;*.RM;*.RMVB;*.TS;*.TP;*.IFO;*.NSV;*.MP3;*.AAC;*.WAV;*.WMA;*.CDA;*.SWF;*.FLAC;*.M4A;*.MID;*.MKA;*.MP2;"
    "*.MPA;*.MPC;*.APE;*.OFR;*.OGG;*.RA;*.WV;*.TTA;*.AC3;*.DTS;*.DV;*.m4v;*.3g2;*.mkv;*.dv;*.yuv;*.h261;*.h264;"
    "*.mjpeg;*.dif;*.m4v;*.3gpp;*.3gp2;*.qt|"
    "支持的视频文件格式|*.AVI;*.ASF;*.asx;*.WMV;*.AVS;*.FLV;*.MKV;*.MOV;*.3GP;*.MP4;*.MPG;*.MPEG;*.DAT;*.OGM;*.VOB;"
    "*.RM;*.RMVB;*.TS;*.TP;*.IFO;*.NSV;*.SWF;*.WV;*.TTA;*.AC3;*.DTS;*.DV;*.m4v;*.3g2;*.mkv;*.dv;*.yuv;*.h261;"
    "*.h264;*.mjpeg;*.dif;*.m4v;*.3gpp;*.3gp2;*.qt|"
    "支持的音频文件格式|*.MP3;*.AAC;*.WAV;*.WMA;*.CDA;*.FLAC;*.M4A;*.MID;*.MKA;*.MP2;*.MPA;*.MPC;*.APE;*.OFR;*.OGG;"
    "*.RA;*.WV;*.TTA;*.AC3|"
    "AVI文件 (*.avi)|*.avi|"
    "AIFF音频编码格式(*.aif; *.aiff)|*.aif; *.aiff|";

fs::path MakeTree() {
  char tmpl[] = "/tmp/vc_filedlgdemo_XXXXXX";
  fs::path root = mkdtemp(tmpl);
  for (const char* d : {"Videos/2026/Holiday", "Music", ".cache"}) fs::create_directories(root / d);
  for (const char* f : {"Videos/beach.avi", "Videos/birthday.MP4", "Videos/clip.mkv", "Videos/notes.txt",
                        "Videos/cover.png", "Videos/tune.aiff", "Music/song.mp3"})
    std::ofstream(root / f) << "demo";
  return root;
}

int Row(TbsOpenDlgForm* F, const std::string& name) {
  for (int i = 0; i < F->FileListView->FolderCount(); i++)
    if (F->FileListView->FolderAt(i)->DisplayName() == name) return i;
  return -1;
}

// Runs `inside` once the modal dialog is up (posted before Execute).
template <class F>
void WhenShown(F inside) {
  rtl::Post([inside] {
    PumpFor(600);
    inside();
  });
}

void Key(const char* k) { RunTool({"xdotool", "key", k}); }

void Script(TbsSkinData* store, const fs::path& root, const std::string& prefix) {
  TbsSkinSelectDirectoryDialog sel1(nullptr), sel2(nullptr);
  for (auto* d : {&sel1, &sel2}) {
    d->SetSkinData(store);
    d->SetCtrlSkinData(store);
    d->ToolButtonsTransparent = true;
  }
  sel1.Title = "选择目录";
  WhenShown([&] {
    Shot(prefix + "-1.png");
    Key("Escape");
  });
  bool ok = sel1.Execute();
  std::printf("选择目录: %s, Directory \"%s\"\n", ok ? "OK" : "Cancel", sel1.Directory.c_str());

  sel2.Title = "选择输出目录";
  sel2.Directory = (root / "Videos/2026/Holiday").string();
  WhenShown([&] {
    Shot(prefix + "-2.png");
    Key("Up");  // to the parent folder
    Key("Return");
  });
  ok = sel2.Execute();
  std::printf("选择输出目录: %s, Directory \"%s\"\n", ok ? "OK" : "Cancel", sel2.Directory.c_str());

  TbsSkinOpenDialog open1(nullptr);
  open1.Title = "打开文件";
  open1.Filter = kFilter;
  open1.FilterIndex = 2;
  open1.InitialDir = (root / "Videos").string();
  open1.SetSkinData(store);
  open1.SetCtrlSkinData(store);
  WhenShown([&] {
    TbsOpenDlgForm* F = open1.Form();
    F->FileListView->SetFocus();
    if (int i = Row(F, "birthday.MP4"); i >= 0) F->FileListView->Items()->Item(i)->SetSelected(true);
    PumpFor(200);
    Shot(prefix + "-3.png");
    Key("Return");
  });
  ok = open1.Execute();
  std::printf("打开文件: %s, FileName \"%s\"\n", ok ? "OK" : "Cancel", open1.FileName.c_str());

  TbsSkinOpenDialog open2(nullptr);
  open2.Title = "打开文件";
  open2.Filter = kFilter;
  open2.MultiSelection = true;
  open2.InitialDir = (root / "Videos").string();
  open2.SetSkinData(store);
  open2.SetCtrlSkinData(store);
  open2.ListViewStyle = ctl::vsReport;
  WhenShown([&] {
    TbsOpenDlgForm* F = open2.Form();
    F->FileListView->SetFocus();
    for (const char* n : {"tune.aiff", "beach.avi", "clip.mkv"})
      if (int i = Row(F, n); i >= 0) F->FileListView->Items()->Item(i)->SetSelected(true);
    PumpFor(200);
    Shot(prefix + "-4.png");
    Key("Return");
  });
  ok = open2.Execute();
  std::printf("打开文件 (several): %s, FileName \"%s\", Files:", ok ? "OK" : "Cancel", open2.FileName.c_str());
  for (int i = 0; i < open2.Files()->Count(); i++) std::printf(" %s", open2.Files()->Get(i).c_str());
  std::printf("\n");

  // The picture dialog's preview: a picture drawn here, shown at its size.
  {
    gfx::TBitmap b;
    b.SetSize(120, 80);
    b.Canvas()->Brush()->SetColor(gfx::TColor(0xD08030));
    b.Canvas()->FillRect(TRect(0, 0, 120, 80));
    b.Canvas()->Brush()->SetColor(gfx::TColor(0x30C0F0));
    b.Canvas()->Ellipse(20, 10, 100, 70);
    b.SaveToFile((root / "Videos/poster.bmp").string());
  }
  TbsSkinOpenPictureDialog pic(nullptr);
  pic.Filter = "Bitmaps (*.bmp)|*.bmp";
  pic.InitialDir = (root / "Videos").string();
  pic.SetSkinData(store);
  pic.SetCtrlSkinData(store);
  WhenShown([&] {
    TbsOpenDlgForm* F = pic.Form();
    if (int i = Row(F, "poster.bmp"); i >= 0) F->FileListView->Items()->Item(i)->SetSelected(true);
    PumpFor(200);
    Shot(prefix + "-5.png");
    Key("Escape");
  });
  ok = pic.Execute();
  std::printf("Open picture: %s\n", ok ? "OK" : "Cancel");
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::string prefix = "/tmp/file_dialogs";
  int index = 0;
  for (int i = 1; i < argc; i++) {
    if (std::string(argv[i]) == "--screenshot" && i + 1 < argc) prefix = argv[++i];
    if (std::string(argv[i]) == "--skin" && i + 1 < argc) index = std::atoi(argv[++i]);
  }
  fs::path root = MakeTree();
  plat::qt::QtBackend::Install();
  Application->Initialize();
  Application->SetTitle("File dialogs demo");
  auto skins = MakeOwned<TbsCompressedSkinList>(nullptr);
  LoadBuiltinSkins(*skins);
  auto store = MakeOwned<TbsSkinData>(nullptr);
  store->SetSkinIndex(index);
  store->SetSkinList(skins.get());
  // The program's own texts, so the dialogs look as they do in the program.
  auto texts = MakeOwned<TbsResourceStrData>(nullptr);
  texts->SetResStrings(ProgramInterfaceTexts());
  store->SetResourceStrData(texts.get());
  if (store->Empty) std::fprintf(stderr, "skin %d is not built in: everything shows the default look\n", index);
  TForm* form = nullptr;
  Application->CreateForm(form);
  form->SetCaption("File dialogs demo");
  form->SetBounds(20, 20, 300, 120);
  form->Show();
  rtl::Post([&] {
    Script(store.get(), root, prefix);
    Application->Terminate();
  });
  Application->Run();
  ResetApplication();
  store.reset();
  texts.reset();
  skins.reset();
  win::Shutdown();
  plat::qt::QtBackend::Uninstall();
  std::error_code ec;
  fs::remove_all(root, ec);
  return 0;
}
