#include "skin/dialogs/bsSkinChooser.h"

#include <algorithm>

#include "platform/cl/application.h"

namespace skin {

namespace {

// The text of a key from the controls' skin when it has texts (an absent
// key gives ""), else the built-in one.
std::string DlgText(TbsSkinData* SD, const char* Key, const char* BuiltIn) {
  if (SD && SD->ResourceStrData()) return SD->ResourceStrData()->GetResStr(Key);
  return BuiltIn;
}

void DefaultArial(gfx::TFont& F) {
  F.SetName("Arial");
  F.SetHeight(14);
  F.SetStyle({});
}

}  // namespace

TbsSelectSkinDlgForm::TbsSelectSkinDlgForm(cl::TComponent* AOwner) : cl::TForm(AOwner) {}

void TbsSelectSkinDlgForm::BuildCommon(TbsSkinData* ACtrlSkinData) {
  // 1. The dialog and its frame.
  SetPosition(cl::poScreenCenter);
  SetBorderStyle(cl::bsSingle);
  BSF = new TbsSkinForm(this);
  // 2. The preview window: a form inside the dialog that takes no input.
  PreviewForm = new cl::TForm(this);
  PreviewForm->SetParent(this);
  PreviewForm->SetCaption(DlgText(ACtrlSkinData, "MSG_PREVIEWSKIN", "Preview"));
  PreviewForm->SetEnabled(false);
  PreviewForm->SetVisible(false);
  PreviewForm->SetBounds(190, 10, 220, 170);
  // 3. The store the preview loads its skins into.
  PreviewSkinData = new TbsSkinData(nullptr);
  PreviewSkinData->FreeNotification(this);
  if (ACtrlSkinData && ACtrlSkinData->ResourceStrData())
    PreviewSkinData->SetResourceStrData(ACtrlSkinData->ResourceStrData());
  // 4. A sample control in the preview.
  PreviewButton = new TbsSkinButton(this);
  PreviewButton->SetParent(PreviewForm);
  PreviewButton->SetBounds(20, 20, 100, PreviewButton->Height());
  PreviewButton->SetCaption(DlgText(ACtrlSkinData, "MSG_PREVIEWBUTTON", "Button"));
  PreviewButton->SetSkinData(PreviewSkinData);
  // 5. The preview's frame, drawn as a picture of a window.
  PreviewBSF = new TbsSkinForm(PreviewForm);
  PreviewBSF->PreviewMode = true;
  PreviewBSF->SetSkinData(PreviewSkinData);
  // 6, 7. OK and Cancel.
  OpenButton = new TbsSkinButton(this);
  OpenButton->SetParent(this);
  OpenButton->SetDefault(true);
  OpenButton->SetCaption(DlgText(ACtrlSkinData, "MSG_BTN_OK", "OK"));
  OpenButton->SetCanFocused(true);
  OpenButton->SetDefaultHeight(25);
  OpenButton->SetBounds(260, 200, 70, 25);
  OpenButton->SetModalResult(cl::mrOk);
  CancelButton = new TbsSkinButton(this);
  CancelButton->SetParent(this);
  CancelButton->SetCaption(DlgText(ACtrlSkinData, "MSG_BTN_CANCEL", "Cancel"));
  CancelButton->SetCanFocused(true);
  CancelButton->SetDefaultHeight(25);
  CancelButton->SetBounds(340, 200, 70, 25);
  CancelButton->SetModalResult(cl::mrCancel);
  CancelButton->SetCancel(true);
  // 8. The list of skins.
  SkinsListBox = new TbsSkinListBox(this);
  SkinsListBox->SetParent(this);
  SkinsListBox->SetBounds(10, 10, 170, 170);
  SkinsListBox->OnListBoxClick = [this](rtl::TObject* S) { SLBOnChange(S); };
  SkinsListBox->OnListBoxDblClick = [this](rtl::TObject* S) { SLBOnDblClick(S); };
}

TbsSelectSkinDlgForm* TbsSelectSkinDlgForm::CreateEx2(cl::TComponent* AOwner, TbsSkinData* ACtrlSkinData,
                                                      int ASkinIndex, TbsCompressedSkinList* ASkinList) {
  auto* F = new TbsSelectSkinDlgForm(AOwner);
  F->FCSkinList = ASkinList;
  F->FCSkinIndex = ASkinIndex;
  F->BuildCommon(ACtrlSkinData);
  // 9. One row per skin: its description, or its name without one.
  TbsSkinListItems& Skins = ASkinList->Skins();
  for (int I = 0; I < Skins.Count(); ++I) {
    TbsSkinListItem* It = Skins.Items(I);
    F->SkinsListBox->Items().Add(It->Description.empty() ? It->Name : It->Description);
  }
  F->SkinsListBox->SetItemIndex(ASkinIndex);
  F->PreviewSkinData->SetSkinIndex(ASkinIndex);
  F->PreviewSkinData->SetSkinList(ASkinList);
  // 10.
  F->SetActiveControl(F->SkinsListBox->ListBox);
  F->PreviewForm->SetVisible(true);
  return F;
}

TbsSelectSkinDlgForm* TbsSelectSkinDlgForm::CreateEx(cl::TComponent* AOwner, TbsSkinData* ACtrlSkinData,
                                                     TbsCompressedStoredSkin* ADefaultSkin, cl::TComponent* AForm) {
  auto* F = new TbsSelectSkinDlgForm(AOwner);
  F->BuildCommon(ACtrlSkinData);
  if (AForm)
    for (int I = 0; I < AForm->ComponentCount(); ++I)
      if (auto* S = dynamic_cast<TbsCompressedStoredSkin*>(AForm->Components(I))) {
        F->SkinList.push_back(S);
        S->FreeNotification(F);
        F->SkinsListBox->Items().Add(S->Description.empty() ? S->Name() : S->Description);
      }
  if (!F->SkinList.empty()) {
    auto It = std::find(F->SkinList.begin(), F->SkinList.end(), ADefaultSkin);
    int Row = It == F->SkinList.end() ? 0 : int(It - F->SkinList.begin());
    F->SkinsListBox->SetItemIndex(Row);
    F->PreviewSkinData->SetCompressedStoredSkin(F->SkinList[size_t(Row)]);
  }
  F->SetActiveControl(F->SkinsListBox->ListBox);
  F->PreviewForm->SetVisible(true);
  return F;
}

TbsCompressedStoredSkin* TbsSelectSkinDlgForm::SelectedSkin() const {
  return PreviewSkinData ? PreviewSkinData->CompressedStoredSkin() : nullptr;
}

void TbsSelectSkinDlgForm::SLBOnChange(rtl::TObject*) {
  int I = SkinsListBox->ItemIndex();
  if (FCSkinList) {
    PreviewSkinData->SetSkinIndex(I);
  } else if (I >= 0 && I < int(SkinList.size())) {
    PreviewSkinData->SetCompressedStoredSkin(SkinList[size_t(I)]);
  }
}

void TbsSelectSkinDlgForm::SLBOnDblClick(rtl::TObject*) { SetModalResult(cl::mrOk); }

void TbsSelectSkinDlgForm::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  cl::TForm::Notification(AComponent, Operation);
  if (Operation != cl::opRemove) return;
  if (AComponent == PreviewSkinData) PreviewSkinData = nullptr;
  SkinList.erase(std::remove(SkinList.begin(), SkinList.end(), AComponent), SkinList.end());
}

// ---------------------------------------------------------------------------

TbsSelectSkinDialog::TbsSelectSkinDialog(cl::TComponent* AOwner) : cl::TComponent(AOwner) {
  DefaultArial(FDefaultFont);
}

void TbsSelectSkinDialog::SetSkinList(TbsCompressedSkinList* V) {
  FSkinList = V;
  if (V) V->FreeNotification(this);
}

void TbsSelectSkinDialog::SetSkinData(TbsSkinData* V) {
  FSD = V;
  if (V) V->FreeNotification(this);
}

void TbsSelectSkinDialog::SetCtrlSkinData(TbsSkinData* V) {
  FCtrlSD = V;
  if (V) V->FreeNotification(this);
}

void TbsSelectSkinDialog::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  cl::TComponent::Notification(AComponent, Operation);
  if (Operation != cl::opRemove) return;
  if (AComponent == FSkinList) FSkinList = nullptr;
  if (AComponent == FSD) FSD = nullptr;
  if (AComponent == FCtrlSD) FCtrlSD = nullptr;
}

int TbsSelectSkinDialog::Run(TbsSelectSkinDlgForm* F) {
  FDlgFrm = F;
  struct Finally {
    TbsSelectSkinDialog* Self;
    TbsSelectSkinDlgForm* F;
    ~Finally() {
      TbsSkinData* P = F->PreviewSkinData;
      F->Free();
      // The preview store outlives the windows that draw from it.
      if (P) P->Free();
      Self->FDlgFrm = nullptr;
    }
  } Done{this, F};
  F->SetCaption(Title);
  F->BSF->SetBorderIcons(0);
  F->BSF->SetSkinData(FSD);
  F->BSF->SetMenusSkinData(FCtrlSD);
  for (TbsSkinCustomControl* C :
       std::initializer_list<TbsSkinCustomControl*>{F->OpenButton, F->CancelButton, F->SkinsListBox}) {
    C->SetDefaultFont(FDefaultFont);
    C->SetSkinData(FCtrlSD);
  }
  int W = 420, H = 240;
  if (SkinUsable(FSD)) {
    W = std::max(W, F->BSF->GetMinWidth());
    H = std::max(H, F->BSF->GetMinHeight());
  }
  F->HandleNeeded();
  F->SetClientSize(W, H);
  OnFormShow(F);
  return F->ShowModal();
}

bool TbsSelectSkinDialog::Execute(int ASkinIndex) {
  if (!FSkinList) return false;
  auto* F = TbsSelectSkinDlgForm::CreateEx2(cl::Application, FCtrlSD, ASkinIndex, FSkinList);
  FSelectedSkin = nullptr;
  FSelectedSkinIndex = -1;
  // The preview store is read after the form is gone, so keep the index here.
  int Chosen = -1;
  F->OnCloseQuery = [F, &Chosen](rtl::TObject*, bool&) {
    if (F->PreviewSkinData) Chosen = F->PreviewSkinData->SkinIndex();
  };
  int Count = FSkinList->Skins().Count();
  if (Run(F) != cl::mrOk) return false;
  // A start index outside the list loads nothing; OK then has chosen nothing.
  if (Chosen < 0 || Chosen >= Count) return false;
  FSelectedSkinIndex = Chosen;
  return true;
}

bool TbsSelectSkinDialog::Execute(TbsCompressedStoredSkin* ADefaultCompressedSkin) {
  auto* F = TbsSelectSkinDlgForm::CreateEx(cl::Application, FCtrlSD, ADefaultCompressedSkin, Owner());
  FSelectedSkin = nullptr;
  TbsCompressedStoredSkin* Chosen = nullptr;
  F->OnCloseQuery = [F, &Chosen](rtl::TObject*, bool&) { Chosen = F->SelectedSkin(); };
  if (Run(F) != cl::mrOk) return false;
  FSelectedSkin = Chosen;
  return true;
}

}  // namespace skin
