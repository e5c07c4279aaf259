// The control cores in real windows (Qt backend): an edit, a 100-row report
// list view with grid lines and its header, a tree over a temporary folder
// read through the shell namespace, a video surface the player plays a
// made-up film into, and a page control with a list box.
//   controls_demo [--screenshot <out.png>]
// With --screenshot the demo drives itself through the X server (xdotool):
// it types into the edit (and commits Chinese text as an input method
// does), copies to the X clipboard and reads it back with xclip, pastes
// what xclip put there, drags a header divider and clicks a row; then it
// saves the whole screen and ends. Run it under xvfb-run without a display.
#include "media/Player.h"
#include "tools/demokit/DemoKit.h"
#include "platform/cl/application.h"
#include "platform/cl/forms.h"
#include "platform/cl/stdctrls.h"
#include "platform/ctl/edit.h"
#include "platform/ctl/listbox.h"
#include "platform/ctl/listview.h"
#include "platform/ctl/tabs.h"
#include "platform/ctl/treeview.h"
#include "platform/ctl/videosurface.h"
#include "platform/qt/qt_backend.h"
#include "platform/rtl/dispatcher.h"
#include "platform/shell/namespace.h"
#include "platform/win/input.h"

#include <QWindow>

#include <spawn.h>
#include <fcntl.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

extern char** environ;

using namespace cl;

using namespace demokit;

namespace {

// ---- driving the X server ----------------------------------------------------------

win::POINT ScreenOf(TWinControl* c, int x, int y) {
  win::POINT p{x, y};
  win::ClientToScreen(c->Handle(), &p);
  return p;
}

// ---- the folder the tree shows ---------------------------------------------------------

std::string MakeFolder() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "controls-demo-XXXXXX").string();
  std::string root = mkdtemp(tmpl.data());
  for (const char* d : {"Movies/Holiday", "Music/Live", "Pictures", "Empty"})
    std::filesystem::create_directories(root + "/" + d);
  for (const char* f : {"Movies/holiday.mp4", "Movies/clip.avi", "Movies/Holiday/day1.mkv", "Music/song.mp3",
                        "Music/Live/encore.flac", "Pictures/photo.png", "readme.txt", "notes 笔记.txt", ".hidden"})
    std::ofstream(root + "/" + f) << "x";
  return root;
}

std::string MakeFilm(const std::string& dir) {
  std::string out = dir + "/film.avi";
  std::string cmd = "ffmpeg -v error -y -f lavfi -i testsrc=size=320x240:rate=25 -t 8 -c:v mpeg4 -q:v 4 '" + out + "'";
  return std::system(cmd.c_str()) == 0 ? out : "";
}

// ---- the form -----------------------------------------------------------------------------

class DemoForm : public TForm {
 public:
  explicit DemoForm(TComponent* owner) : TForm(owner) {
    SetBorderStyle(bsSingle);
    SetCaption("Control cores");
    SetBounds(40, 30, 1060, 460);
    SetColor(gfx::clBtnFace);
    auto label = [&](int x, int y, const std::string& s) {
      auto* l = new TLabel(this);
      l->SetBounds(x, y, 300, 16);
      l->SetCaption(s);
      l->SetParent(this);
      return l;
    };
    label(10, 8, "Edit (type, copy, paste):");
    edit = new ctl::TEdit(this);
    edit->SetBounds(10, 26, 470, 24);
    edit->SetBorderStyle(bsSingle);
    edit->SetParent(this);

    label(10, 58, "List view (100 rows, grid lines, drag the header):");
    list = new ctl::TListView(this);
    list->SetBounds(10, 76, 470, 340);
    list->SetViewStyle(ctl::vsReport);
    list->SetGridLines(true);
    list->SetRowSelect(true);
    list->SetHideSelection(false);
    list->ReadOnly = true;
    struct Col {
      const char* caption;
      int width;
      cl::TAlignment align;
    } cols[] = {{"输入文件", 150, taLeftJustify}, {"格式", 60, taLeftJustify},  {"hidden", 0, taLeftJustify},
                {"大小", 80, taRightJustify},     {"进度", 70, taRightJustify}, {"状态", 90, taLeftJustify}};
    for (auto& c : cols) {
      ctl::TListColumn* col = list->Columns()->Add();
      col->SetCaption(c.caption);
      col->SetWidth(c.width);
      col->SetAlignment(c.align);
      if (c.width == 0) col->SetMaxWidth(1);
    }
    const char* formats[] = {"MP4", "AVI", "MKV", "FLV", "MP3", "3GP"};
    list->Items()->BeginUpdate();
    for (int i = 0; i < 100; i++) {
      ctl::TListItem* it = list->Items()->Add();
      it->SetCaption("视频文件_" + std::to_string(i + 1) + ".avi");
      it->SubItems()->Add(formats[i % 6]);
      it->SubItems()->Add("");
      it->SubItems()->Add(std::to_string(3 + (i * 37) % 700) + " MB");
      it->SubItems()->Add(std::to_string((i * 7) % 101) + "%");
      it->SubItems()->Add(i % 3 == 0 ? "完成" : i % 3 == 1 ? "转换中" : "等待");
    }
    list->Items()->EndUpdate();
    list->SetParent(this);

    label(490, 58, "Tree over a temporary folder:");
    tree = new ctl::TTreeView(this);
    tree->SetBounds(490, 76, 220, 340);
    tree->SetImages(shell::SystemImageList(false));
    tree->SetHideSelection(false);
    tree->ReadOnly = true;
    tree->OnExpanding = [this](rtl::TObject*, ctl::TTreeNode* n, bool&) { Fill(n); };
    tree->OnDeletion = [](rtl::TObject*, ctl::TTreeNode* n) { delete static_cast<std::string*>(n->Data); };
    tree->SetParent(this);

    label(720, 8, "Video surface (the player):");
    video = new ctl::TVideoSurface(this);
    video->SetBounds(720, 26, 320, 240);
    video->SetParent(this);

    pages = new ctl::TPageControl(this);
    pages->SetBounds(720, 276, 320, 140);
    pages->SetParent(this);
    const char* captions[] = {"格式", "Tabs", "More"};
    for (const char* c : captions) {
      auto* s = new ctl::TTabSheet(this);
      s->SetCaption(c);
      s->SetPageControl(pages);
    }
    box = new ctl::TListBox(this);
    box->SetAlign(alClient);
    for (const char* f : {"MP4 - MPEG-4 视频", "AVI - Audio Video Interleave", "MKV - Matroska", "FLV - Flash Video",
                          "MP3 - 音频", "WAV - 波形音频"})
      box->Items().Add(f);
    box->SetParent(pages->Pages(0));
    box->SetItemIndex(1);
  }

  void LoadFolder(const std::string& root) {
    ctl::TTreeNode* n =
        tree->Items()->AddObject(nullptr, std::filesystem::path(root).filename().string(), new std::string(root));
    PIDL(root, n);
    n->SetHasChildren(true);
  }

  // Icons of a node from its identifier list.
  static void PIDL(const std::string& path, ctl::TTreeNode* n) {
    std::shared_ptr<shell::IShellFolderLx> desk;
    shell::SHGetDesktopFolder(&desk);
    shell::PIDLIST id = nullptr;
    if (shell::FAILED(desk->ParseDisplayName(path, &id, nullptr))) return;
    shell::UniqueIdList own(id);
    n->SetImageIndex(shell::SystemIconIndex(id, false, false));
    n->SetSelectedIndex(shell::SystemIconIndex(id, false, true));
  }

  // A folder's items through the namespace, in its order.
  void Fill(ctl::TTreeNode* n) {
    if (n->Count()) return;
    auto* path = static_cast<std::string*>(n->Data);
    std::shared_ptr<shell::IShellFolderLx> desk, folder;
    shell::SHGetDesktopFolder(&desk);
    shell::PIDLIST id = nullptr;
    if (shell::FAILED(desk->ParseDisplayName(*path, &id, nullptr))) return;
    shell::UniqueIdList own(id);
    if (shell::FAILED(desk->BindToObject(id, &folder))) return;
    std::unique_ptr<shell::IEnumIDListLx> e;
    if (shell::FAILED(folder->EnumObjects(shell::SHCONTF_FOLDERS | shell::SHCONTF_NONFOLDERS, &e))) return;
    std::vector<shell::UniqueIdList> items;
    for (shell::PIDLIST p; e->Next(&p) == shell::S_OK;) items.emplace_back(p);
    std::sort(items.begin(), items.end(), [&](const shell::UniqueIdList& a, const shell::UniqueIdList& b) {
      return shell::HRESULT_CODE(folder->CompareIDs(0, a.get(), b.get())) < 0;
    });
    for (auto& it : items) {
      shell::STRRET name;
      folder->GetDisplayNameOf(it.get(), shell::SHGDN_INFOLDER, &name);
      std::string child = *path + "/" + name.pOleStr;
      ctl::TTreeNode* c = tree->Items()->AddChildObject(n, name.pOleStr, new std::string(child));
      PIDL(child, c);
      uint32_t attrs = 0;
      shell::PCIDLIST one[1] = {it.get()};
      folder->GetAttributesOf(1, one, &attrs);
      c->SetHasChildren(attrs & shell::SFGAO_HASSUBFOLDER);
      if (attrs & shell::SFGAO_FOLDER) c->SetHasChildren(true);
    }
  }

  ctl::TEdit* edit;
  ctl::TListView* list;
  ctl::TTreeView* tree;
  ctl::TVideoSurface* video;
  ctl::TPageControl* pages;
  ctl::TListBox* box;
};

// Drives the form through the X server, grabs the screen and ends.
void Script(DemoForm* f, const std::string& screenshot) {
  QWindow* w = plat::qt::QtBackend::Install()->WindowOf(f->Handle());
  PumpUntil([&] { return w && w->isExposed(); });
  PumpFor(300);
  // Typing through the X server, then committed Chinese text as an input method sends it.
  f->edit->SetFocus();
  PumpFor(100);
  RunTool({"xdotool", "type", "--delay", "20", "Typed by X: "});
  win::RawInput d, u;
  d.kind = win::RawKind::KeyDown;
  d.vk = u.vk = 0xE5;  // VK_PROCESSKEY
  d.text = "中文输入";
  u.kind = win::RawKind::KeyUp;
  win::DeliverInput(d);
  win::DeliverInput(u);
  PumpFor(100);
  // Out to the X clipboard and back in from another client.
  RunTool({"xdotool", "key", "ctrl+a", "ctrl+c"});
  std::string got = Capture({"xclip", "-o", "-selection", "clipboard"});
  std::printf("the X clipboard holds: \"%s\"\n", got.c_str());
  std::system("printf ' + 来自xclip' | xclip -i -selection clipboard");
  RunTool({"xdotool", "key", "End", "ctrl+v"});
  std::printf("the edit holds: \"%s\"\n", f->edit->Text().c_str());
  // A header divider dragged 60 pixels to the right, then a row clicked.
  int divider = f->list->Columns()->Items(0)->Width();
  win::POINT a = ScreenOf(f->list, divider, 8);
  std::printf("first column %d wide", f->list->Columns()->Items(0)->Width());
  RunTool({"xdotool", "mousemove", std::to_string(a.X), std::to_string(a.Y), "mousedown", "1", "mousemove", "--sync",
           std::to_string(a.X + 30), std::to_string(a.Y), "mousemove", "--sync", std::to_string(a.X + 60),
           std::to_string(a.Y), "mouseup", "1"});
  std::printf(", %d after the drag\n", f->list->Columns()->Items(0)->Width());
  win::POINT row = ScreenOf(f->list, 40, f->list->HeaderHeight() + 4 * f->list->RowHeight() + 5);
  RunTool({"xdotool", "mousemove", std::to_string(row.X), std::to_string(row.Y), "click", "1"});
  if (ctl::TListItem* s = f->list->Selected()) std::printf("selected row: %s\n", s->Caption().c_str());
  // The tree: the folder and its films open, a film selected.
  ctl::TTreeNode* root = f->tree->Items()->GetFirstNode();
  root->Expand(false);
  for (ctl::TTreeNode* n = root->GetFirstChild(); n; n = n->GetNextSibling())
    if (n->Text() == "Movies" || n->Text() == "Music") n->Expand(false);
  for (ctl::TTreeNode* n = root; n; n = n->GetNext())
    if (n->Text() == "holiday.mp4") f->tree->SetSelected(n);
  f->pages->SetActivePageIndex(0);
  PumpFor(1500);
  Shot(screenshot, 0);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::string screenshot;
  for (int i = 1; i < argc; i++)
    if (std::string(argv[i]) == "--screenshot" && i + 1 < argc) screenshot = argv[++i];
  plat::qt::QtBackend::Install();
  Application->Initialize();
  Application->SetTitle("Control cores demo");
  DemoForm* form = nullptr;
  Application->CreateForm(form);
  std::string folder = MakeFolder();
  form->LoadFolder(folder);

  // The player plays a made-up film into the surface (no sound: there may be no device).
  media::TZEVizeza player;
  std::string film = MakeFilm(folder);
  bool playing = false;
  if (!film.empty() && (player.AVLibLoaded() || player.LoadAVLib(""))) {
    player.DisableAudio = true;
    player.SetOnFileOpen([form](media::TCustomPlayer*, int64_t, int, int, int& sw, int& sh) {
      sw = form->video->Size().cx;
      sh = form->video->Size().cy;
    });
  } else {
    std::fprintf(stderr, "no film: %s\n", film.empty() ? "ffmpeg failed" : player.LastErrMsg().c_str());
    film.clear();
  }
  rtl::Post([&] {
    if (!film.empty()) {
      playing = player.Open(film, form->video, false);
      if (!playing) std::fprintf(stderr, "the player: %s\n", player.LastErrMsg().c_str());
    }
    if (!screenshot.empty()) {
      Script(form, screenshot);
      Application->Terminate();
    }
  });
  Application->Run();
  if (playing) player.Stop(true);
  ResetApplication();
  win::Shutdown();
  plat::qt::QtBackend::Uninstall();
  std::error_code ec;
  std::filesystem::remove_all(folder, ec);
  return 0;
}
