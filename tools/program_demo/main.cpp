// The program's main window in a real window (Qt backend), driven through
// the X server: the "添加" tool button is clicked with xdotool, the program's
// own open dialog "打开文件" gets the file's path typed into its name field
// and Enter, then "开始"; when the list has run the screen is saved.
//   program_demo --add <file> --screenshot <prefix> [--skin <index>]
// Saves <prefix>-start.png (the window as it starts), <prefix>-options.png
// (the options dialog over it), <prefix>-about.png (the about box),
// <prefix>-settings.png (the hidden settings dialog, shown for the picture
// only), <prefix>-open.png (the open dialog with the path typed),
// <prefix>-added.png (the preview showing the added file),
// <prefix>-snapmenu.png (the snapshot menu), <prefix>-rename.png (the
// in-place editor) and
// <prefix>-done.png, and prints the row's progress and whether the output
// file exists. Run it under xvfb-run without a display.

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <QWindow>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/AboutBox.h"
#include "app/HiddenSettingsDialogForm.h"
#include "app/MainForm.h"
#include "app/OptionsDialog.h"
#include "app/ProgramDialogs.h"
#include "tools/demokit/DemoKit.h"
#include "platform/cl/application.h"
#include "platform/cl/timer.h"
#include "platform/qt/qt_backend.h"
#include "platform/rtl/dispatcher.h"
#include "platform/win/window.h"

using namespace demokit;

namespace {

void Script(TForm1* f, TForm6* settings, const std::string& prefix, const std::string& file) {
  QWindow* w = plat::qt::QtBackend::Install()->WindowOf(f->Handle());
  PumpUntil([&] { return w && w->isExposed(); });
  PumpFor(500);
  Shot(prefix + "-start.png");
  // The options dialog over the window, then Cancel.
  rtl::Post([f, prefix] {
    PumpFor(600);
    Shot(prefix + "-options.png");
    f->Options->bsSkinButton1Click();
  });
  f->bsSkinButton19Click();
  PumpFor(300);
  rtl::Post([f, prefix] {
    PumpFor(600);
    Shot(prefix + "-about.png");
    f->About->bsSkinButton1Click();
  });
  f->N5Click();
  settings->Show();
  PumpFor(600);
  Shot(prefix + "-settings.png");
  settings->Hide();
  PumpFor(300);
  // The dialog's modal loop runs inside the click below; a timer, which
  // fires from inside that loop, types the path once the dialog holds the
  // keyboard, saves the screen and presses Enter.
  auto* typer = new cl::TTimer(f);  // owned by the window
  typer->SetInterval(100);
  typer->SetOnTimer([&](rtl::TObject*) {
    cl::TWinControl* focus = cl::FindControl(win::GetFocus());
    cl::TCustomForm* form = focus ? focus->GetParentForm() : nullptr;
    if (!form || form->Caption() != "打开文件") return;
    typer->SetEnabled(false);
    RunTool({"xdotool", "type", "--delay", "20", file});
    Shot(prefix + "-open.png");
    RunTool({"xdotool", "key", "Return"});
  });
  typer->SetEnabled(true);
  ClickCentre(f->bsSkinMenuSpeedButton1, 300);
  if (typer->Enabled()) std::printf("the open dialog was not answered\n");
  std::printf("rows after the add: %d\n", f->lvFiles->Items()->Count());
  // The added row is selected: the preview shows its first picture.
  PumpUntil([&] { return f->ZEVizeza->CurrentFrame()->Width() > 0; });
  PumpFor(500);
  Shot(prefix + "-added.png");
  // The snapshot menu of the settings button, then closed again.
  ClickCentre(f->bsSkinButton23, 300);
  PumpFor(400);
  Shot(prefix + "-snapmenu.png");
  RunTool({"xdotool", "key", "Escape"});
  PumpFor(300);
  if (f->lvFiles->Items()->Count() == 0) return;
  ClickCentre(f->bsSkinButton21, 300);
  PumpFor(300);
  Shot(prefix + "-rename.png");
  f->edt->SetText("renamed");
  f->edtExit();
  PumpFor(300);
  ClickCentre(f->bsSkinButton2, 300);
  bool ended =
      PumpUntil([&] { return f->GroupEnabled(TCommandGroup::Clear) && !f->GroupEnabled(TCommandGroup::Stop); }, 120000);
  PumpFor(300);
  auto* row = f->lvFiles->Items()->Item(0);
  const std::string progress = row->SubItems()->Get(colProgress - 1);
  const std::string out = f->FileOutPutPath + "/" + row->SubItems()->Get(colOutputFile - 1);
  std::printf("ended: %s, progress: %s, output %s: %s\n", ended ? "yes" : "no", progress.c_str(), out.c_str(),
              std::filesystem::exists(out) ? "exists" : "missing");
  Shot(prefix + "-done.png");
}

}  // namespace

int main(int argc, char** argv) {
  std::string screenshot, file;
  int skinIndex = -1;
  for (int i = 1; i < argc; i++) {
    if (std::string(argv[i]) == "--skin" && i + 1 < argc) skinIndex = std::atoi(argv[++i]);
    if (std::string(argv[i]) == "--screenshot" && i + 1 < argc) screenshot = argv[++i];
    if (std::string(argv[i]) == "--add" && i + 1 < argc) file = argv[++i];
  }
  plat::qt::QtBackend::Install();
  TForm1::Services().LogSink = [](const std::string& l) { std::fprintf(stderr, "%s\n", l.c_str()); };
  cl::Application->Initialize();
  cl::Application->SetTitle("VarnelMOD格式转换器");
  cl::Application->HelpFile = kHelpFile;
  TForm1* Form1 = nullptr;
  TForm2* Form2 = nullptr;
  TForm5* Form5 = nullptr;
  TForm6* Form6 = nullptr;
  cl::Application->CreateForm(Form1);
  InstallProgramDialogs(Form1);
  cl::Application->CreateForm(Form2);
  cl::Application->CreateForm(Form5);
  cl::Application->CreateForm(Form6);
  if (skinIndex >= 0) Form1->bsSkinData1->SetSkinIndex(skinIndex);
  // Nothing after the run: the demo must not open a file manager.
  Form5->bsSkinCheckRadioBox5->SetChecked(true);
  rtl::Post([&] {
    if (!screenshot.empty()) {
      Script(Form1, Form6, screenshot, file);
      Form1->Close();
    }
  });
  cl::Application->Run();
  cl::ResetApplication();
  win::Shutdown();
  plat::qt::QtBackend::Uninstall();
  return 0;
}
