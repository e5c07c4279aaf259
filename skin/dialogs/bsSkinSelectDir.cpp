#include "skin/dialogs/bsSkinSelectDir.h"

#include <filesystem>

#include "platform/rtl/exceptions.h"
#include "skin/dialogs/bsSkinFileDialogs.h"
#include "skin/inputs/bsSkinShellLists.h"

namespace skin {

TbsSelDirDlgForm::TbsSelDirDlgForm(cl::TComponent* AOwner, TbsSkinData* ACtrlSkinData, bool AShowToolBar,
                                   bool AToolButtonsTransparent)
    : cl::TForm(AOwner), CtrlSD(ACtrlSkinData), ShowToolBar(AShowToolBar) {
  using namespace cl;
  KeyPreview = true;
  SetPosition(poScreenCenter);
  SetBounds(0, 0, 300, 320);
  BSF = new TbsSkinForm(this);
  auto text = [&](const char* key, const char* builtIn) { return DialogText(CtrlSD, key, builtIn); };

  if (ShowToolBar) {
    ToolPanel = new TbsSkinPanel(this);
    ToolPanel->SetAlign(alTop);
    ToolPanel->SetBorderStyle(bvNone);
    ToolPanel->SetDefaultHeight(25);
    ToolPanel->SetSkinDataName("toolpanel");
    ToolPanel->SetParent(this);
    NewFolderToolButton = new TbsSkinSpeedButton(this);
    NewFolderToolButton->SetLeft(Width());
    NewFolderToolButton->SetAlign(alRight);
    NewFolderToolButton->SetDefaultHeight(25);
    NewFolderToolButton->SetDefaultWidth(27);
    NewFolderToolButton->SetSkinDataName("toolbutton");
    NewFolderToolButton->SetNumGlyphs(1);
    MakeDialogGlyph("BS_NEWFOLDER", NewFolderToolButton->Glyph(), DialogGlyphInk(CtrlSD));
    NewFolderToolButton->Hint = text("MSG_BTN_NEWFOLDER_HINT", "Create New Folder");
    NewFolderToolButton->ShowHint = true;
    NewFolderToolButton->SetFlat(AToolButtonsTransparent);
    NewFolderToolButton->OnClick = [this](rtl::TObject* s) { NewFolderClick(s); };
    NewFolderToolButton->SetParent(ToolPanel);
    auto* spacer = new TbsSkinBevel(this);
    spacer->SetShape(bsSpacer);
    spacer->SetWidth(5);
    spacer->SetLeft(Width());
    spacer->SetAlign(alRight);
    spacer->SetParent(ToolPanel);
    DirEdit = new TbsSkinEdit(this);
    DirEdit->SetAlign(alClient);
    DirEdit->SetDefaultHeight(25);
    DirEdit->OnKeyPress = [this](rtl::TObject* s, char32_t& k) { DirEditKeyPress(s, k); };
    DirEdit->SetParent(ToolPanel);
  }

  DirTreeViewPanel = new TbsSkinPanel(this);
  DirTreeViewPanel->SetAlign(alClient);
  DirTreeViewPanel->SetBorderStyle(bvFrame);
  DirTreeViewPanel->SetHeight(200);
  DirTreeViewPanel->SetParent(this);
  VScrollBar = new TbsSkinScrollBar(this);
  VScrollBar->SetKind(sbVertical);
  VScrollBar->SetAlign(alRight);
  VScrollBar->SetDefaultWidth(19);
  VScrollBar->SetEnabled(false);
  VScrollBar->SetSkinDataName("vscrollbar");
  VScrollBar->SetParent(DirTreeViewPanel);
  HScrollBar = new TbsSkinScrollBar(this);
  HScrollBar->SetAlign(alBottom);
  HScrollBar->SetDefaultHeight(19);
  HScrollBar->SetEnabled(false);
  HScrollBar->SetBothMarkerWidth(19);
  HScrollBar->SetSkinDataName("hscrollbar");
  HScrollBar->SetParent(DirTreeViewPanel);
  DirTreeView = new TbsSkinDirTreeView(this);
  DirTreeView->SetAlign(alClient);
  DirTreeView->SetParent(DirTreeViewPanel);
  DirTreeView->SetHScrollBar(HScrollBar);
  DirTreeView->SetVScrollBar(VScrollBar);
  DirTreeView->SetObjectTypes(DirTreeView->ObjectTypes() | otHidden);
  DirTreeView->SetHideSelection(false);
  DirTreeView->OnChange = [this](rtl::TObject* s, ctl::TTreeNode* n) { DirTreeViewChange(s, n); };

  BottomPanel = new TbsSkinPanel(this);
  BottomPanel->SetAlign(alBottom);
  BottomPanel->SetBorderStyle(bvNone);
  BottomPanel->SetHeight(50);
  BottomPanel->SetParent(this);
  auto button = [&](int x, const std::string& caption, int result) {
    auto* b = new TbsSkinButton(this);
    b->SetBounds(x, 15, 70, 25);
    b->SetDefaultHeight(25);
    b->SetCanFocused(true);
    b->SetCaption(caption);
    b->SetModalResult(result);
    b->SetParent(BottomPanel);
    return b;
  };
  OkButton = button(20, text("MSG_BTN_OK", "OK"), mrOk);
  OkButton->SetDefault(true);
  CancelButton = button(100, text("MSG_BTN_CANCEL", "Cancel"), mrCancel);
  CancelButton->SetCancel(true);
}

void TbsSelDirDlgForm::DirEditKeyPress(rtl::TObject*, char32_t& Key) {
  if (Key != 13 || !DirEdit) return;
  const std::string t = DirEdit->Text();
  if (!t.empty() && IsDirectory(t)) DirTreeView->SetPath(t);
}

void TbsSelDirDlgForm::DirTreeViewChange(rtl::TObject*, ctl::TTreeNode*) {
  if (DirEdit) DirEdit->SetText(DirTreeView->Path());
}

void TbsSelDirDlgForm::NewFolderClick(rtl::TObject*) {
  const std::string path = DirTreeView->Path();
  std::string name = path;
  if (name.empty() || name.back() != '/') name += '/';
  name += DialogText(CtrlSD, "MSG_NEWFOLDER", "New Folder");
  // Only inside a real folder: a virtual one ("Computer") has no "/" in its path.
  if (!DirTreeView->Selected() || path.find('/') == std::string::npos || IsDirectory(name)) return;
  std::error_code ec;
  if (!std::filesystem::create_directory(name, ec))
    throw rtl::Exception("Unable to create directory \"" + name + "\": " + ec.message());
  DirTreeView->Refresh(DirTreeView->Selected());
}

TbsSkinSelectDirectoryDialog::TbsSkinSelectDirectoryDialog(cl::TComponent* AOwner) : cl::TComponent(AOwner) {
  FDefaultFont.SetName("Arial");
  FDefaultFont.SetHeight(14);
}

void TbsSkinSelectDirectoryDialog::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  cl::TComponent::Notification(AComponent, Operation);
  if (Operation != cl::opRemove) return;
  if (AComponent == FSD) FSD = nullptr;
  if (AComponent == FCtrlFSD) FCtrlFSD = nullptr;
}

bool TbsSkinSelectDirectoryDialog::Execute() {
  OnShow(this);
  FDlgFrm = new TbsSelDirDlgForm(nullptr, FCtrlFSD, ShowToolBar, ToolButtonsTransparent);
  TbsSelDirDlgForm* F = FDlgFrm;
  struct Guard {
    TbsSkinSelectDirectoryDialog* self;
    ~Guard() {
      self->OnClose(self);
      self->FDlgFrm->Free();
      self->FDlgFrm = nullptr;
    }
  } guard{this};
  F->SetCaption(Title);
  F->BSF->SetBorderIcons(0);
  F->BSF->SetSkinData(FSD);
  F->BSF->SetMenusSkinData(FCtrlFSD);
  F->BSF->MinWidth = DialogMinWidth;
  F->BSF->MinHeight = DialogMinHeight;
  F->BSF->AlphaBlendAnimation = AlphaBlendAnimation;
  F->BSF->SetAlphaBlendValue(AlphaBlendValue);
  F->BSF->SetAlphaBlend(AlphaBlend);
  F->DirTreeViewPanel->SetSkinData(FCtrlFSD);
  F->DirTreeView->SetDefaultFont(FDefaultFont);
  F->DirTreeView->SetSkinData(FCtrlFSD);
  F->HandleNeeded();
  if (!Directory.empty() && IsDirectory(Directory))
    F->DirTreeView->SetPath(Directory);
  else
    F->DirTreeView->ExpandMyComputer();
  for (TbsSkinControl* c : std::initializer_list<TbsSkinControl*>{F->VScrollBar, F->HScrollBar, F->OkButton,
                                                                  F->CancelButton, F->BottomPanel})
    c->SetSkinData(FCtrlFSD);
  F->OkButton->SetDefaultFont(FDefaultFont);
  F->CancelButton->SetDefaultFont(FDefaultFont);
  if (ShowToolBar) {
    F->ToolPanel->SetSkinData(FCtrlFSD);
    F->NewFolderToolButton->SetSkinData(FCtrlFSD);
    F->DirEdit->SetSkinData(FCtrlFSD);
  }
  int W = DialogWidth > 0 ? DialogWidth : 280;
  int H = DialogHeight > 0 ? DialogHeight : 280;
  if (FSD && !FSD->Empty) {
    W = std::max(W, F->BSF->GetMinWidth());
    H = std::max(H, F->BSF->GetMinHeight());
  }
  F->SetClientSize(W, H);
  // The size is final only now: bring the start folder into view.
  // The size is final only now: bring the start folder fully into view,
  // with the rows above it that fit (a row cut off at the bottom counts as
  // visible for the tree itself).
  if (ctl::TTreeNode* n = F->DirTreeView->Selected()) {
    F->DirTreeView->SetTopItem(n);
    const int rowH = std::max(1, n->DisplayRect(false).Height());
    for (int rows = F->DirTreeView->ClientHeight() / rowH - 2; rows > 0; rows--) {
      ctl::TTreeNode* up = F->DirTreeView->TopItem() ? F->DirTreeView->TopItem()->GetPrevVisible() : nullptr;
      if (!up) break;
      F->DirTreeView->SetTopItem(up);
    }
    F->DirTreeView->UpDateScrollBars();
  }
  F->SetActiveControl(F->DirTreeView);
  const bool result = F->ShowModal() == cl::mrOk;
  DialogWidth = F->ClientWidth();
  DialogHeight = F->ClientHeight();
  if (result) {
    // A virtual folder ("Computer") is no directory: Directory keeps the
    // last real one rather than taking a display name.
    const std::string p = F->DirTreeView->Path();
    if (!p.empty() && IsDirectory(p)) {
      Directory = p;
      OnChange(this);
    }
  }
  return result;
}

}  // namespace skin
