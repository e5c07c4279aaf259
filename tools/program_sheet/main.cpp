// The program drawn headless in each of the built-in skins, on labelled
// contact sheets: one picture per skin to judge its every window by
// (controls skinned, text readable, nothing cut or misplaced).
//   program_sheet --out sheet.png [--each <folder> [--shots]] [--skin <n>]... file...
// --out gets the main window with the given files in every skin on one
// sheet; --each also writes, per skin, skin-<n>.png with the main window
// idle, with rows, during a run (choosers disabled), a hint, the options
// dialog, the skin chooser, the open dialog and the save picture dialog;
// --shots writes each of those pictures on its own as skin-<n>-<k>.png too,
// for cropping and zooming. --skin keeps to the given skins (by index).
// Needs no X server.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/AboutBox.h"
#include "app/HiddenSettingsDialogForm.h"
#include "app/MainForm.h"
#include "app/OptionsDialog.h"
#include "app/ProgramDialogs.h"
#include "media/FFmpegLoader.h"
#include "platform/cl/application.h"
#include "platform/rtl/dispatcher.h"
#include "platform/testkit/harness.h"
#include "skin/data/bsStoredSkins.h"
#include "skin/dialogs/bsSkinChooser.h"
#include "skin/dialogs/bsSkinFileDialogs.h"

namespace fs = std::filesystem;

namespace {

class GivenFiles : public IFileChooser {
 public:
  bool OpenFile(const std::string&, std::string& f) override {
    if (files.empty()) return false;
    f = files.front();
    return true;
  }
  bool OpenFiles(const std::string&, std::vector<std::string>& fs) override {
    fs = files;
    return !files.empty();
  }
  bool SelectFolder(const std::string&, std::string&) override { return false; }
  std::vector<std::string> files;
};

struct Shot {
  QString label;
  QImage image;
};

// Pictures a modal form while its loop runs: the grab is queued to the UI
// thread, which the loop serves; the form is then cancelled.
QImage GrabModal(plat::test::Harness& h, const std::function<void()>& run, const std::function<cl::TForm*()>& form) {
  QImage shot;
  std::function<void(int)> step = [&](int tries) {
    cl::TForm* f = form();
    if (!f || !f->HandleAllocated() || !win::IsWindowVisible(f->Handle())) {
      if (tries < 200) rtl::Post([&step, tries] { step(tries + 1); });
      return;
    }
    win::RedrawWindow(
        f->Handle(), nullptr, nullptr,
        win::RDW_INVALIDATE | win::RDW_ERASE | win::RDW_FRAME | win::RDW_ALLCHILDREN | win::RDW_UPDATENOW);
    shot = h.Grab(f->Handle()).convertToFormat(QImage::Format_RGB32);
    f->SetModalResult(cl::mrCancel);
  };
  rtl::Post([&step] { step(0); });
  run();
  h.Pump();
  return shot;
}

QImage Sheet(const std::vector<Shot>& shots, int cols, const QString& title) {
  const int label = 28, gap = 12, head = title.isEmpty() ? 0 : 36;
  std::vector<int> colW(cols, 0), rowH((shots.size() + cols - 1) / cols, 0);
  for (size_t i = 0; i < shots.size(); ++i) {
    colW[i % cols] = std::max(colW[i % cols], shots[i].image.width());
    rowH[i / cols] = std::max(rowH[i / cols], shots[i].image.height());
  }
  int w = gap, h = gap + head;
  for (int c : colW) w += c + gap;
  for (int r : rowH) h += r + label + gap;
  QImage sheet(w, h, QImage::Format_RGB32);
  sheet.fill(QColor(64, 64, 64));
  QPainter p(&sheet);
  QFont font("WenQuanYi Micro Hei");
  font.setPixelSize(18);
  p.setFont(font);
  p.setPen(Qt::white);
  if (head) p.drawText(gap, gap, w, head, Qt::AlignLeft | Qt::AlignVCenter, title);
  int y = gap + head;
  for (size_t r = 0; r < rowH.size(); ++r) {
    int x = gap;
    for (int c = 0; c < cols && r * cols + c < shots.size(); ++c) {
      const Shot& s = shots[r * cols + c];
      p.drawText(x, y, colW[c], label, Qt::AlignLeft | Qt::AlignVCenter, s.label);
      p.drawImage(x, y + label, s.image);
      x += colW[c] + gap;
    }
    y += rowH[r] + label + gap;
  }
  p.end();
  return sheet;
}

}  // namespace

int main(int argc, char** argv) {
  std::string out = "program-sheet.png", each;
  bool shots = false;
  GivenFiles chooser;
  std::vector<int> only;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--out" && i + 1 < argc)
      out = argv[++i];
    else if (a == "--each" && i + 1 < argc)
      each = argv[++i];
    else if (a == "--shots")
      shots = true;
    else if (a == "--skin" && i + 1 < argc)
      only.push_back(std::atoi(argv[++i]));
    else
      chooser.files.push_back(fs::absolute(a).string());
  }
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  int qargc = 1;
  QGuiApplication qapp(qargc, argv);
  media::FFLoader().SetLibraryPath("");
  media::FFLoader().Load(media::ConverterLibraries);

  // A private program folder: the sheet must not touch a real option.ini.
  const fs::path tmp = fs::temp_directory_path() / ("program-sheet-" + std::to_string(getpid()));
  fs::create_directories(tmp / "prog");
  fs::create_directories(tmp / "out");
  TProgramServices& s = TForm1::Services();
  s.ProgramFolder = (tmp / "prog").string() + "/";
  s.ConfigFolder = (tmp / "conf").string() + "/";
  // Deep enough that the edit cannot show it whole.
  s.DefaultOutputFolder = (tmp / "out" / "一个很长的文件夹名字" / "视频" / "输出").string();
  s.Chooser = &chooser;
  s.InfoBox = [](const std::string& t) { std::fprintf(stderr, "box: %s\n", t.c_str()); };

  const int n = skin::kBuiltinSkinCount;
  std::vector<QImage> mains(n);
  std::vector<std::vector<Shot>> perSkin(n);
  {
    plat::test::Harness h(false);
    TForm1* f1 = nullptr;
    TForm2* f2 = nullptr;
    TForm5* f5 = nullptr;
    TForm6* f6 = nullptr;
    cl::Application->CreateForm(f1);
    cl::Application->CreateForm(f2);
    cl::Application->CreateForm(f5);
    cl::Application->CreateForm(f6);
    f1->Show();
    h.Pump();
    auto grabMain = [&] { return h.Grab(f1->Handle()).convertToFormat(QImage::Format_RGB32); };
    auto forEachSkin = [&](const std::function<void(int)>& fn) {
      for (int i = 0; i < n; ++i) {
        if (!only.empty() && std::find(only.begin(), only.end(), i) == only.end()) continue;
        f1->bsSkinData1->SetSkinIndex(i);
        h.Pump();
        fn(i);
      }
    };
    if (!each.empty()) {
      forEachSkin([&](int i) {
        perSkin[i].push_back({"空闲", grabMain()});
        // A hint over the preview's play button, pasted where it shows.
        cl::TControl* b = f1->PreviewButtons.empty() ? nullptr : f1->PreviewButtons.front();
        if (b) {
          h.input.MoveTo(b, 10, 10);
          h.Advance(1200);
          cl::THintWindow* hw = cl::Application->HintWindow();
          if (hw && hw->HandleAllocated() && win::IsWindowVisible(hw->Handle())) {
            // Enlarged, so that its frame and text can be judged.
            QImage hint = h.Grab(hw->Handle()).convertToFormat(QImage::Format_RGB32);
            perSkin[i].push_back({"提示 (x3)", hint.scaled(hint.size() * 3)});
          }
          h.input.MoveTo(f1->Handle(), 2, 2);
          cl::Application->CancelHint();
          h.Pump();
        }
      });
    }
    if (!chooser.files.empty()) f1->Button8Click();
    h.Pump();
    forEachSkin([&](int i) {
      mains[i] = grabMain();
      if (each.empty()) return;
      perSkin[i].push_back({"文件", mains[i]});
      f1->Button22Click();
      h.Pump();
      perSkin[i].push_back({"转换中 (选择器禁用)", grabMain()});
      f1->Button23Click();
      h.Pump();
      perSkin[i].push_back({"选项", GrabModal(
                                        h, [&] { f1->bsSkinButton19Click(); }, [&] { return f1->Options; })});
      {
        skin::TbsOwned<skin::TbsSelectSkinDialog> dlg(new skin::TbsSelectSkinDialog(f1));
        dlg->Title = kSkinChooserTitle;
        dlg->SetSkinList(f1->SkinList);
        dlg->SetSkinData(f1->bsSkinData1);
        dlg->SetCtrlSkinData(f1->bsSkinData1);
        int index = i;
        perSkin[i].push_back({"皮肤选择", GrabModal(
                                              h, [&] { dlg->Execute(index); }, [&] { return dlg->FDlgFrm; })});
      }
      {
        skin::TbsOwned<skin::TbsSkinOpenDialog> dlg(new skin::TbsSkinOpenDialog(f1));
        dlg->Title = "打开文件";
        dlg->SetSkinData(f1->bsSkinData1);
        dlg->SetCtrlSkinData(f1->bsSkinData1);
        if (!chooser.files.empty()) dlg->InitialDir = fs::path(chooser.files.front()).parent_path().string();
        perSkin[i].push_back({"打开文件", GrabModal(
                                              h, [&] { dlg->Execute(); }, [&] { return (cl::TForm*)dlg->Form(); })});
      }
      {
        skin::TbsOwned<skin::TbsSkinSavePictureDialog> dlg(new skin::TbsSkinSavePictureDialog(f1));
        dlg->Title = "保存文件";
        dlg->SetSkinData(f1->bsSkinData1);
        dlg->SetCtrlSkinData(f1->bsSkinData1);
        if (!chooser.files.empty()) dlg->InitialDir = fs::path(chooser.files.front()).parent_path().string();
        perSkin[i].push_back({"保存文件", GrabModal(
                                              h, [&] { dlg->Execute(); }, [&] { return (cl::TForm*)dlg->Form(); })});
      }
    });
    bool can = true;
    f1->FormCloseQuery(f1, can);
    cl::ResetApplication();
  }
  fs::remove_all(tmp);

  bool ok = true;
  std::vector<Shot> all;
  for (int i = 0; i < n; ++i) {
    const auto& info = skin::BuiltinSkins()[i];
    const QString name = QString("%1  %2 (%3)").arg(i).arg(QString::fromUtf8(info.Name)).arg(info.CompressedFileName);
    if (mains[i].isNull()) continue;
    all.push_back({name, mains[i]});
    if (!each.empty()) {
      fs::create_directories(each);
      const std::string file = each + "/skin-" + std::to_string(i) + ".png";
      ok = Sheet(perSkin[i], 3, name).save(QString::fromStdString(file), "PNG") && ok;
      for (size_t k = 0; shots && k < perSkin[i].size(); ++k) {
        const std::string one = each + "/skin-" + std::to_string(i) + "-" + std::to_string(k) + ".png";
        ok = perSkin[i][k].image.save(QString::fromStdString(one), "PNG") && ok;
      }
    }
  }
  ok = Sheet(all, 3, QString()).save(QString::fromStdString(out), "PNG") && ok;
  std::printf("%s %s (%d skins)\n", ok ? "wrote" : "could not write", out.c_str(), n);
  return ok ? 0 : 1;
}
