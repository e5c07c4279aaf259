// The skinned file dialogs: the open (and save) dialog and the picture open
// and save dialogs with a preview. Each Execute builds its form in code
// (look-in combo box and tool buttons on top, the folder list in the middle,
// file name, filter and buttons at the bottom), framed by its own
// TbsSkinForm, runs it modally and frees it again; only the results, the
// filter index, the size and the view style survive on the component.
// Paths use "/"; a typed absolute path is taken as it is.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/cl/forms.h"
#include "platform/cl/stateholders.h"
#include "platform/rtl/strlist.h"
#include "skin/dialogs/bsShellViews.h"
#include "skin/controls/bsSkinBevelSplitter.h"
#include "skin/controls/bsSkinButtons.h"
#include "skin/inputs/bsSkinComboBox.h"
#include "skin/inputs/bsSkinEdits.h"
#include "skin/form/bsSkinForm.h"
#include "skin/controls/bsSkinLabels.h"
#include "skin/controls/bsSkinMenuSpeedButton.h"
#include "skin/menus/bsSkinMenus.h"
#include "skin/controls/bsSkinPanels.h"
#include "skin/controls/bsSkinScrollBar.h"
#include "skin/inputs/bsSkinScrollBox.h"

namespace skin {

// How a dialog asks the user an OK/Cancel question (the overwrite prompt);
// answers the modal result, 1 for OK. Unassigned, the dialog asks with a
// skinned message box in its own skins; PlainDialogAsk is the platform's box.
using TbsDialogAsk = std::function<int(cl::TCustomForm* Owner, const std::string& Text)>;
TbsDialogAsk PlainDialogAsk();

// A text of the dialogs: the key from the control skin's resource strings
// when it has them, else the built-in text.
std::string DialogText(TbsSkinData* CtrlSD, const std::string& Key, const std::string& BuiltIn);

// The 16 x 16 tool-button glyphs ("BS_BACK", "BS_UP", "BS_NEWFOLDER",
// "BS_LVSTYLE", "BS_STRETCH"), drawn in code; the bottom-left pixel is the
// transparent colour.
void MakeDialogGlyph(const std::string& Name, gfx::TBitmap* B, gfx::TColor Ink = gfx::clBlack);
// The ink of the dialogs' glyphs in a skin: its button text colour, so the
// outlines read on dark tool bars as well as on light ones.
gfx::TColor DialogGlyphInk(TbsSkinData* SD);

class TbsOpenDlgForm : public cl::TForm {
 public:
  TbsOpenDlgForm(cl::TComponent* AOwner, bool ASaveMode, TbsSkinData* ACtrlSkinData, bool AToolButtonsTransparent,
                 bool APicture = false);

  // Handlers, public so that the rules can be driven without input.
  void FLVChange(rtl::TObject* Sender, ctl::TListItem* Item, ctl::TItemChange Change);
  void FLVPathChange(rtl::TObject* Sender);
  void FLVDBLClick(rtl::TObject* Sender);
  void FLVKeyPress(rtl::TObject* Sender, char32_t& Key);
  void EditKeyPress(rtl::TObject* Sender, char32_t& Key);
  void FCBChange(rtl::TObject* Sender);
  void OpenButtonClick(rtl::TObject* Sender);
  void BackToolButtonClick(rtl::TObject* Sender);
  void UpToolButtonClick(rtl::TObject* Sender);
  void NewFolderToolButtonClick(rtl::TObject* Sender);
  void SetViewStyleItem(ctl::TViewStyle V);
  void StretchButtonClick(rtl::TObject* Sender);
  void InitHistory();
  // "." + DefaultExt, else the filter mask's extension (none for ".*").
  std::string GetDefaultExtension();
  std::string GetFilterExtension();
  // The picture preview: loads a file (a failure leaves the preview empty
  // and answers false), then sizes the image unless it is stretched.
  bool LoadPreview(const std::string& FileName);
  void ApplyStretch(bool Down);

  bool SaveMode;
  bool PictureMode;
  std::vector<shell::UniqueIdList> FolderHistory;
  bool StopAddToHistory = false;
  TbsSkinData* CtrlSD;
  int NewFolderCount = 0;
  std::string DefaultExt;
  bool OverwritePromt = false;
  bool CheckFileExists = true;
  std::string FileName;
  TbsDialogAsk Ask;
  rtl::TNotifyEvent OnFolderChange;

  TbsSkinForm* BSF;
  TbsSkinPanel *ToolPanel, *FileListViewPanel, *BottomPanel;
  TbsSkinScrollBar *FLVHScrollBar, *FLVVScrollBar;
  TbsSkinFileListView* FileListView;
  TbsSkinEdit* FileNameEdit;
  TbsSkinFilterComboBox* FilterComboBox;
  TbsSkinShellComboBox* ShellBox;
  TbsSkinButton *OpenButton, *CancelButton;
  TbsSkinStdLabel *Drivelabel, *OpenFileLabel, *FileTypeLabel;
  TbsSkinSpeedButton *NewFolderToolButton, *UpToolButton, *BackToolButton;
  TbsSkinMenuSpeedButton* StyleToolButton;
  TbsSkinPopupMenu* StylePopupMenu;
  cl::TMenuItem *IconMenuItem, *SmallIconMenuItem, *ListMenuItem, *ReportMenuItem;
  // Picture mode only (else null).
  TbsSkinPanel* ImagePanel = nullptr;
  TbsSkinSplitter* Splitter = nullptr;
  TbsSkinScrollBox* ScrollBox = nullptr;
  TbsSkinScrollBar *SBVScrollBar = nullptr, *SBHScrollBar = nullptr;
  cl::TImage* Image = nullptr;
  TbsSkinSpeedButton* StretchButton = nullptr;

 protected:
  std::string ClassName() const override { return "TbsOpenDlgForm"; }

 private:
  std::string CurrentDir();
  std::string Typed(const std::string& E);
  bool Confirm();
};

class TbsOpenPictureDlgForm : public TbsOpenDlgForm {
 public:
  TbsOpenPictureDlgForm(cl::TComponent* AOwner, bool ASaveMode, TbsSkinData* ACtrlSkinData,
                        bool AToolButtonsTransparent)
      : TbsOpenDlgForm(AOwner, ASaveMode, ACtrlSkinData, AToolButtonsTransparent, true) {}

 protected:
  std::string ClassName() const override { return "TbsOpenPictureDlgForm"; }
};

// The settings every file dialog shares.
class TbsSkinFileDialogBase : public cl::TComponent {
 public:
  explicit TbsSkinFileDialogBase(cl::TComponent* AOwner);

  std::string Title = "Open file";
  std::string InitialDir;
  std::string FileName;
  std::string Filter = "All files|*.*";
  int FilterIndex = 1;
  bool CheckFileExists = true;
  bool MultiSelection = false;
  bool OverwritePromt = false;
  bool ShowHiddenFiles = false;
  bool ToolButtonsTransparent = false;
  int DialogWidth = 0, DialogHeight = 0, DialogMinWidth = 0, DialogMinHeight = 0;
  bool AlphaBlend = false, AlphaBlendAnimation = false;
  uint8_t AlphaBlendValue = 225;
  bool CtrlAlphaBlend = false, CtrlAlphaBlendAnimation = false;
  uint8_t CtrlAlphaBlendValue = 225;
  std::string LVHeaderSkinDataName = "resizebutton";
  TbsSkinData* SkinData() const { return FSD; }
  void SetSkinData(TbsSkinData* V) { FSD = V; }
  TbsSkinData* CtrlSkinData() const { return FCtrlFSD; }
  void SetCtrlSkinData(TbsSkinData* V) { FCtrlFSD = V; }
  gfx::TFont* DefaultFont() { return &FDefaultFont; }
  void SetDefaultFont(const gfx::TFont& V) { FDefaultFont.Assign(V); }
  rtl::TNotifyEvent OnShow, OnClose;
  TbsDialogAsk Ask;
  ctl::TViewStyle ListViewStyle = ctl::vsList;
  rtl::TStringList* Files() { return &FFiles; }
  // The open form during Execute, else null.
  TbsOpenDlgForm* Form() const { return FDlgFrm; }

 protected:
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  // Builds the form, runs it and writes the results back.
  bool Run(bool ASaveMode, bool APicture, const std::string& ADefaultExt, int DefaultWidth);
  // Hooks of the picture dialogs around the modal run.
  virtual void BeforeShow(TbsOpenDlgForm*) {}
  virtual void AfterShow(TbsOpenDlgForm*) {}

  TbsSkinData *FSD = nullptr, *FCtrlFSD = nullptr;
  gfx::TFont FDefaultFont;
  rtl::TStringList FFiles;
  TbsOpenDlgForm* FDlgFrm = nullptr;
  rtl::TNotifyEvent FOnFolderChange;
};

class TbsSkinOpenDialog : public TbsSkinFileDialogBase {
 public:
  explicit TbsSkinOpenDialog(cl::TComponent* AOwner) : TbsSkinFileDialogBase(AOwner) {}

  bool Execute() { return Run(false, false, DefaultExt, 450); }
  std::string DefaultExt;
  rtl::TNotifyEvent& OnFolderChange() { return FOnFolderChange; }
  // While the form is shown, the full name of the list's selected file.
  std::string GetSelectedFile();
  // Stores the name and, while the form is shown, puts it into the edit.
  void SetFileName(const std::string& V);

 protected:
  std::string ClassName() const override { return "TbsSkinOpenDialog"; }
};

class TbsSkinOpenPictureDialog : public TbsSkinFileDialogBase {
 public:
  explicit TbsSkinOpenPictureDialog(cl::TComponent* AOwner);

  bool Execute() { return Run(FSaveMode, true, "", 550); }
  bool StretchPicture = false;
  int ImagePanelWidth = 190;
  bool DialogStretch = false;

 protected:
  void BeforeShow(TbsOpenDlgForm* F) override;
  void AfterShow(TbsOpenDlgForm* F) override;
  std::string ClassName() const override { return "TbsSkinOpenPictureDialog"; }
  bool FSaveMode = false;
};

class TbsSkinSavePictureDialog : public TbsSkinOpenPictureDialog {
 public:
  explicit TbsSkinSavePictureDialog(cl::TComponent* AOwner) : TbsSkinOpenPictureDialog(AOwner) {
    Title = "Save file";
    FSaveMode = true;
  }

 protected:
  std::string ClassName() const override { return "TbsSkinSavePictureDialog"; }
};

}  // namespace skin
