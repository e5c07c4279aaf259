#include "app/ProgramDialogs.h"

#include <memory>

#include "app/LivePreview.h"
#include "app/MainForm.h"
#include "platform/cl/application.h"
#include "skin/dialogs/bsSkinChooser.h"
#include "skin/dialogs/bsSkinFileDialogs.h"
#include "skin/dialogs/bsSkinMessage.h"
#include "skin/dialogs/bsSkinSelectDir.h"

namespace {

int ShowBox(TForm1* Form1, const std::string& text, const std::string& caption, skin::TMsgDlgType type) {
  // A component per box: it lives no longer than the box itself.
  skin::TbsOwned<skin::TbsSkinMessage> box(new skin::TbsSkinMessage(Form1));
  box->SetSkinData(Form1->bsSkinData1);
  box->SetCtrlSkinData(Form1->bsSkinData1);
  return box->MessageDlg2(text, caption, type, {skin::mbOK}, 0);
}

// The main window's two open dialogs and its folder dialog, kept for the
// program's life so that each remembers its folder, filter row and size.
class TSkinnedFileChooser : public IFileChooser {
 public:
  explicit TSkinnedFileChooser(TForm1* Form1)
      : one_(new skin::TbsSkinOpenDialog(Form1)),
        many_(new skin::TbsSkinOpenDialog(Form1)),
        folder_(new skin::TbsSkinSelectDirectoryDialog(Form1)) {
    for (skin::TbsSkinOpenDialog* d : {one_, many_}) {
      d->Title = "打开文件";
      d->CheckFileExists = true;
      // Smaller, the caption and the controls no longer fit.
      d->DialogMinWidth = 380;
      d->DialogMinHeight = 260;
      d->SetSkinData(Form1->bsSkinData1);
      d->SetCtrlSkinData(Form1->bsSkinData1);
    }
    many_->MultiSelection = true;
    folder_->SetSkinData(Form1->bsSkinData1);
    folder_->SetCtrlSkinData(Form1->bsSkinData1);
  }
  bool OpenFile(const std::string& filter, std::string& file) override {
    one_->Filter = filter;
    if (!one_->Execute()) return false;
    file = one_->FileName;
    return true;
  }
  bool OpenFiles(const std::string& filter, std::vector<std::string>& files) override {
    many_->Filter = filter;
    if (!many_->Execute()) return false;
    files.clear();
    for (int i = 0; i < many_->Files()->Count(); ++i) files.push_back(many_->Files()->Strings(i));
    return true;
  }
  bool SelectFolder(const std::string& title, std::string& folder) override {
    folder_->Title = title;
    folder_->Directory = folder;
    if (!folder_->Execute()) return false;
    folder = folder_->Directory;
    return true;
  }

 private:
  // Owned by the main window, as its components.
  skin::TbsSkinOpenDialog *one_, *many_;
  skin::TbsSkinSelectDirectoryDialog* folder_;
};

}  // namespace

void InstallProgramDialogs(TForm1* Form1) {
  TProgramServices& s = TForm1::Services();
  static std::unique_ptr<TSkinnedFileChooser> chooser;
  chooser = std::make_unique<TSkinnedFileChooser>(Form1);
  s.Chooser = chooser.get();
  s.InfoBox = [Form1](const std::string& text) { ShowBox(Form1, text, "提示", skin::mtInformation); };
  s.FailureBox = [Form1](const std::string& text) { ShowBox(Form1, text, cl::Application->Title(), skin::mtError); };
  s.ChooseSkin = [Form1](int& skinIndex) {
    if (!Form1->SkinList) return false;
    skin::TbsOwned<skin::TbsSelectSkinDialog> dlg(new skin::TbsSelectSkinDialog(Form1));
    dlg->Title = kSkinChooserTitle;
    dlg->SetSkinList(Form1->SkinList);
    dlg->SetSkinData(Form1->bsSkinData1);
    dlg->SetCtrlSkinData(Form1->bsSkinData1);
    if (!dlg->Execute(skinIndex)) return false;
    skinIndex = dlg->SelectedSkinIndex();
    return skinIndex >= 0;
  };
  InstallLivePreviewWindow();
}
