// The main window's menu and list commands of their own: the help file, the
// maker's web site, the about box, closing, and the engine's log lines.
#include "app/AboutBox.h"
#include "app/MainForm.h"
#include "platform/rtl/dispatcher.h"
#include "platform/rtl/files.h"
#include "platform/rtl/threads.h"
#include "platform/shell/launcher.h"

void TForm1::WireEditingAndMenus() {
  edt = new ctl::TEdit(this);
  edt->SetName("edt");
  edt->SetBorderStyle(cl::bsNone);
  edt->SetVisible(false);
  edt->SetParent(lvFiles);
  edt->OnExit = [this](rtl::TObject*) { edtExit(); };
  // Enter commits too: moving on from a typed name with the keyboard
  // should not need a click elsewhere.
  // Escape leaves the old name.
  edt->OnKeyDown = [this](rtl::TObject*, uint16_t& key, cl::TShiftState) {
    if (key == win::VK_ESCAPE) {
      key = 0;
      CancelRename();
      filesPort_->SetFocus();
      return;
    }
    if (key != win::VK_RETURN) return;
    key = 0;
    if (!CommitRename()) {
      ShowHint("文件名不能为空，也不能含有“/”！");
      if (edt->Visible() && edt->CanFocus()) {
        edt->SetFocus();
        edt->SelectAll();
      }
      return;
    }
    filesPort_->SetFocus();
  };
  lvFiles->OnDblClick = [this](rtl::TObject*) { lvFilesDblClick(); };

  auto on = [this](const char* name, std::function<void()> fn) {
    if (cl::TMenuItem* it = MenuItem(name)) it->OnClick = [fn](rtl::TObject*) { fn(); };
  };
  on("N16", [this] { bsSkinButton3Click(); });
  on("N17", [this] { bsSkinButton4Click(); });
  on("N13", [this] { bsSkinButton7Click(); });
  on("N14", [this] { bsSkinButton8Click(); });
  on("N26", [this] { N26Click(); });
  on("N15", [this] { N15Click(); });
  on("N19", [this] { N19Click(); });
  on("N5", [this] { N5Click(); });
  on("N4", [this] { N4Click(); });
  bsSkinButton3->OnClick = [this](rtl::TObject*) { bsSkinButton3Click(); };
  bsSkinButton4->OnClick = [this](rtl::TObject*) { bsSkinButton4Click(); };
  bsSkinButton21->OnClick = [this](rtl::TObject*) { bsSkinButton21Click(); };
  bsSkinButton7->OnClick = [this](rtl::TObject*) { bsSkinButton7Click(); };
  bsSkinButton8->OnClick = [this](rtl::TObject*) { bsSkinButton8Click(); };

  // The process has one logger; its lines come on the UI thread, but one
  // queued before the window went may still come after it: the guard drops it.
  FFLogger = &media::FFLoggerInstance();
  std::weak_ptr<bool> alive = alive_;
  FFLogger->SetOnLog([this, alive](void* sender, uint32_t thread, media::TLogLevel level, const std::string& msg) {
    auto deliver = [this, alive, sender, thread, level, msg] {
      if (alive.lock() && !closing_ && !Destroyed()) FFLoggerLog(sender, thread, level, msg);
    };
    if (rtl::IsMainThread())
      deliver();
    else
      rtl::Post(deliver);
  });
  // Only the window that attached last detaches: a later window keeps its lines.
  static const TForm1* attached = nullptr;
  attached = this;
  media::TFFLogger* logger = FFLogger;
  loggerLink_ = std::shared_ptr<void>(nullptr, [logger, self = this](void*) {
    if (attached != self) return;
    logger->SetOnLog(nullptr);
    attached = nullptr;
  });
}

void TForm1::FFLoggerLog(void*, uint32_t AThreadID, media::TLogLevel ALogLevel, const std::string& ALogMsg) {
  mmoLog->Lines()->Add("#" + std::to_string(AThreadID) + "." + std::to_string(int(ALogLevel)) + ": " + ALogMsg);
}

void TForm1::N15Click() {
  const std::string help = ProgramFolder() + kHelpFile;
  // A missing document would leave the opener's own complaint, if any, on
  // a desktop the user may not see: say it here.
  if (!rtl::FileExists(help)) {
    ShowHint("找不到帮助文件：" + help);
    return;
  }
  shell::ShellExecute(Handle(), "open", help, "", "", shell::SW_SHOWNORMAL);
}

void TForm1::N19Click() { shell::ShellExecute(Handle(), "open", kMakerWebSite, "", "", shell::SW_SHOWNORMAL); }

void TForm1::N4Click() { Close(); }

void TForm1::N5Click() {
  if (About) About->ShowModal();
}
