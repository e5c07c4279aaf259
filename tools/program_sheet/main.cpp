// The main window drawn headless in each of the built-in skins, with the
// given files in its list, on one labelled contact sheet: a single picture
// to judge every skin by (controls skinned, text readable).
//   program_sheet --out sheet.png [--each <folder>] file...
// --each also keeps one picture per skin. Needs no X server.
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/AboutBox.h"
#include "app/HiddenSettingsDialogForm.h"
#include "app/MainForm.h"
#include "app/OptionsDialog.h"
#include "media/FFmpegLoader.h"
#include "platform/cl/application.h"
#include "platform/testkit/harness.h"
#include "skin/data/bsStoredSkins.h"

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

}  // namespace

int main(int argc, char** argv) {
  std::string out = "program-sheet.png", each;
  GivenFiles chooser;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--out" && i + 1 < argc)
      out = argv[++i];
    else if (a == "--each" && i + 1 < argc)
      each = argv[++i];
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
  TProgramServices& s = TForm1::Services();
  s.ProgramFolder = (tmp / "prog").string() + "/";
  s.ConfigFolder = (tmp / "conf").string() + "/";
  s.DefaultOutputFolder = (tmp / "out").string();
  s.Chooser = &chooser;
  s.InfoBox = [](const std::string& t) { std::fprintf(stderr, "box: %s\n", t.c_str()); };

  std::vector<QImage> shots;
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
    if (!chooser.files.empty()) f1->Button8Click();
    h.Pump();
    for (int i = 0; i < skin::kBuiltinSkinCount; ++i) {
      f1->bsSkinData1->SetSkinIndex(i);
      h.Pump();
      shots.push_back(h.Grab(f1->Handle()).convertToFormat(QImage::Format_RGB32));
      if (!each.empty()) {
        fs::create_directories(each);
        shots.back().save(QString::fromStdString(each + "/skin-" + std::to_string(i) + ".png"), "PNG");
      }
    }
    bool can = true;
    f1->FormCloseQuery(f1, can);
    cl::ResetApplication();
  }
  fs::remove_all(tmp);

  const int cols = 3, label = 28, gap = 12;
  int w = 0, h = 0;
  for (const QImage& q : shots) w = std::max(w, q.width()), h = std::max(h, q.height());
  const int rows = (int(shots.size()) + cols - 1) / cols;
  QImage sheet(cols * (w + gap) + gap, rows * (h + label + gap) + gap, QImage::Format_RGB32);
  sheet.fill(QColor(64, 64, 64));
  QPainter p(&sheet);
  QFont font("WenQuanYi Micro Hei");
  font.setPixelSize(18);
  p.setFont(font);
  for (int i = 0; i < int(shots.size()); ++i) {
    const int x = gap + (i % cols) * (w + gap), y = gap + (i / cols) * (h + label + gap);
    const auto& info = skin::BuiltinSkins()[i];
    p.setPen(Qt::white);
    p.drawText(x, y, w, label, Qt::AlignLeft | Qt::AlignVCenter,
               QString("%1  %2 (%3)").arg(i).arg(QString::fromUtf8(info.Name)).arg(info.CompressedFileName));
    p.drawImage(x, y + label, shots[i]);
  }
  p.end();
  const bool ok = sheet.save(QString::fromStdString(out), "PNG");
  std::printf("%s %s (%d skins)\n", ok ? "wrote" : "could not write", out.c_str(), int(shots.size()));
  return ok ? 0 : 1;
}
