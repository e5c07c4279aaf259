// The program's notice box and its skin chooser in real windows (Qt
// backend), framed and drawn in a built-in skin.
//   dialogs_demo [--skin <index>] [--screenshot <prefix>]
// Without --screenshot it shows the notice box, then the chooser, and ends.
// With --screenshot it drives itself through the X server (xdotool): it
// saves <prefix>-message.png with the notice box up and closes it with
// Return, opens it again and closes it with Escape, then opens the chooser,
// saves <prefix>-chooser.png, moves two rows down, saves
// <prefix>-chooser-preview.png and accepts with Return. The results go to
// standard output. Run it under xvfb-run without a display.
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

#include "app/InterfaceTexts.h"
#include "tools/demokit/DemoKit.h"
#include "platform/cl/application.h"
#include "platform/cl/forms.h"
#include "platform/qt/qt_backend.h"
#include "platform/rtl/dispatcher.h"
#include "platform/win/input.h"
#include "skin/dialogs/bsSkinChooser.h"
#include "skin/form/bsSkinForm.h"
#include "skin/dialogs/bsSkinMessage.h"
#include "skin/data/bsStoredSkins.h"

extern char** environ;

using namespace cl;
using namespace skin;

using namespace demokit;

namespace {

void WaitShown(TCustomForm* F) {
  QWindow* W = plat::qt::QtBackend::Install()->WindowOf(F->Handle());
  PumpUntil([&] { return W && W->isExposed(); });
  PumpFor(400);
}

void Key(const char* Name) {
  RunTool({"xdotool", "key", Name});
  PumpFor(200);
}

}  // namespace

int main(int argc, char** argv) {
  std::string screenshot;
  int index = 0;
  for (int i = 1; i < argc; i++) {
    if (std::string(argv[i]) == "--screenshot" && i + 1 < argc) screenshot = argv[++i];
    if (std::string(argv[i]) == "--skin" && i + 1 < argc) index = std::atoi(argv[++i]);
  }
  plat::qt::QtBackend::Install();
  Application->Initialize();
  Application->SetTitle("VarnelMOD格式转换器");
  auto skins = MakeOwned<TbsCompressedSkinList>(nullptr);
  LoadBuiltinSkins(*skins);
  // The program lists its skins by name.
  for (int i = 0; i < skins->Skins().Count(); i++) skins->Skins().Items(i)->Description.clear();
  auto store = MakeOwned<TbsSkinData>(nullptr);
  store->SetSkinIndex(index);
  store->SetSkinList(skins.get());
  // The program's own texts, so the buttons read as they do in the program.
  auto texts = MakeOwned<TbsResourceStrData>(nullptr);
  texts->SetResStrings(ProgramInterfaceTexts());
  store->SetResourceStrData(texts.get());

  TForm* main = nullptr;
  Application->CreateForm(main);
  main->SetBorderStyle(bsSingle);
  main->SetCaption("Dialogs demo");
  main->SetBounds(40, 40, 360, 200);
  auto* frame = new TbsSkinForm(main);
  frame->SetSkinData(store.get());

  auto* msg = new TbsSkinMessage(main);
  msg->SetSkinData(store.get());
  msg->SetCtrlSkinData(store.get());
  auto* chooser = new TbsSelectSkinDialog(main);
  chooser->SetSkinList(skins.get());
  chooser->SetSkinData(store.get());
  chooser->SetCtrlSkinData(store.get());

  TbsMessageForm* box = nullptr;
  msg->OnFormShow = [&](TbsMessageForm* F) { box = F; };
  TbsSelectSkinDlgForm* dlg = nullptr;
  chooser->OnFormShow = [&](TbsSelectSkinDlgForm* F) { dlg = F; };
  const std::string text = "在该目录没有发现可以用的视频或音频文件！";

  rtl::Post([&] {
    WaitShown(main);
    const char* keys[] = {"Return", "Escape"};
    for (const char* k : keys) {
      if (!screenshot.empty())
        rtl::Post([&, k] {
          WaitShown(box);
          if (k == keys[0]) Shot(screenshot + "-message.png");
          Key(k);
        });
      int r = msg->MessageDlg2(text, "提示", mtInformation, {mbOK}, 0);
      std::printf("message box closed by %s: result %d\n", screenshot.empty() ? "the user" : k, r);
      if (screenshot.empty()) break;
    }
    if (!screenshot.empty())
      rtl::Post([&] {
        WaitShown(dlg);
        Shot(screenshot + "-chooser.png");
        Key("Down");
        Key("Down");
        PumpFor(300);
        Shot(screenshot + "-chooser-preview.png");
        Key("Return");
      });
    bool ok = chooser->Execute(store->SkinIndex());
    std::printf("chooser: %s, selected %d\n", ok ? "OK" : "cancelled", chooser->SelectedSkinIndex());
    if (ok) store->SetSkinIndex(chooser->SelectedSkinIndex());
    std::printf("skin now %d (%s)\n", store->SkinIndex(), BuiltinSkins()[size_t(store->SkinIndex())].Name);
    if (!screenshot.empty()) {
      PumpFor(400);
      Shot(screenshot + "-applied.png");
    }
    std::fflush(stdout);
    Application->Terminate();
  });
  Application->Run();
  ResetApplication();
  store.reset();
  texts.reset();
  skins.reset();
  win::Shutdown();
  plat::qt::QtBackend::Uninstall();
  return 0;
}
