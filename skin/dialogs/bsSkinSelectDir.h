// The skinned select-directory dialog: a folder tree (hidden folders
// included) with OK and Cancel, optionally a tool bar with a path edit and a
// new-folder button, framed by its own TbsSkinForm. Directory changes only
// when the user confirms with OK, and then only to a real folder.
#pragma once

#include <string>

#include "platform/cl/forms.h"
#include "skin/dialogs/bsShellViews.h"
#include "skin/controls/bsSkinBevelSplitter.h"
#include "skin/controls/bsSkinButtons.h"
#include "skin/inputs/bsSkinEdits.h"
#include "skin/form/bsSkinForm.h"
#include "skin/controls/bsSkinPanels.h"
#include "skin/controls/bsSkinScrollBar.h"

namespace skin {

class TbsSelDirDlgForm : public cl::TForm {
 public:
  TbsSelDirDlgForm(cl::TComponent* AOwner, TbsSkinData* ACtrlSkinData, bool AShowToolBar, bool AToolButtonsTransparent);

  void DirEditKeyPress(rtl::TObject* Sender, char32_t& Key);
  void DirTreeViewChange(rtl::TObject* Sender, ctl::TTreeNode* Node);
  void NewFolderClick(rtl::TObject* Sender);

  TbsSkinData* CtrlSD;
  bool ShowToolBar;
  TbsSkinForm* BSF;
  TbsSkinPanel *DirTreeViewPanel, *BottomPanel;
  TbsSkinDirTreeView* DirTreeView;
  TbsSkinScrollBar *VScrollBar, *HScrollBar;
  TbsSkinButton *OkButton, *CancelButton;
  TbsSkinPanel* ToolPanel = nullptr;
  TbsSkinSpeedButton* NewFolderToolButton = nullptr;
  TbsSkinEdit* DirEdit = nullptr;

 protected:
  std::string ClassName() const override { return "TbsSelDirDlgForm"; }
};

class TbsSkinSelectDirectoryDialog : public cl::TComponent {
 public:
  explicit TbsSkinSelectDirectoryDialog(cl::TComponent* AOwner);

  // True when the user closed the window with OK.
  bool Execute();

  rtl::TNotifyEvent OnShow, OnClose, OnChange;
  bool ToolButtonsTransparent = false;
  int DialogWidth = 0, DialogHeight = 0, DialogMinWidth = 0, DialogMinHeight = 0;
  TbsSkinData* SkinData() const { return FSD; }
  void SetSkinData(TbsSkinData* V) { FSD = V; }
  TbsSkinData* CtrlSkinData() const { return FCtrlFSD; }
  void SetCtrlSkinData(TbsSkinData* V) { FCtrlFSD = V; }
  gfx::TFont* DefaultFont() { return &FDefaultFont; }
  void SetDefaultFont(const gfx::TFont& V) { FDefaultFont.Assign(V); }
  std::string Title = "Select folder";
  std::string Directory;
  bool AlphaBlend = false, AlphaBlendAnimation = false;
  uint8_t AlphaBlendValue = 200;
  bool ShowToolBar = false;
  // The open window during Execute, else null.
  TbsSelDirDlgForm* Form() const { return FDlgFrm; }

 protected:
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  std::string ClassName() const override { return "TbsSkinSelectDirectoryDialog"; }

 private:
  TbsSkinData *FSD = nullptr, *FCtrlFSD = nullptr;
  gfx::TFont FDefaultFont;
  TbsSelDirDlgForm* FDlgFrm = nullptr;
};

}  // namespace skin
