// The skin chooser: a modal dialog that lists stored skins and previews the
// highlighted one live in a small skinned window inside the dialog. The
// preview loads into the dialog's own skin store, never into the caller's:
// the caller applies the choice after Execute returns true.
//
// Two sources: a skin list (Execute(int): SelectedSkinIndex), or the stored
// skin components lying on the dialog component's owner (Execute(stored
// skin): SelectedSkin).
#pragma once

#include <string>
#include <vector>

#include "platform/cl/forms.h"
#include "skin/controls/bsSkinButtons.h"
#include "skin/data/bsSkinData.h"
#include "skin/form/bsSkinForm.h"
#include "skin/inputs/bsSkinListBox.h"

namespace skin {

class TbsSelectSkinDlgForm : public cl::TForm {
 public:
  // Stored-skin mode: lists the stored skins among AForm's components.
  static TbsSelectSkinDlgForm* CreateEx(cl::TComponent* AOwner, TbsSkinData* ACtrlSkinData,
                                        TbsCompressedStoredSkin* ADefaultSkin, cl::TComponent* AForm);
  // List mode.
  static TbsSelectSkinDlgForm* CreateEx2(cl::TComponent* AOwner, TbsSkinData* ACtrlSkinData, int ASkinIndex,
                                         TbsCompressedSkinList* ASkinList);

  TbsCompressedSkinList* FCSkinList = nullptr;
  int FCSkinIndex = -1;
  TbsSkinForm* BSF = nullptr;
  TbsSkinButton* OpenButton = nullptr;
  TbsSkinButton* CancelButton = nullptr;
  cl::TForm* PreviewForm = nullptr;
  TbsSkinForm* PreviewBSF = nullptr;
  TbsSkinData* PreviewSkinData = nullptr;  // owned by this form
  TbsSkinButton* PreviewButton = nullptr;
  TbsSkinListBox* SkinsListBox = nullptr;
  // Stored-skin mode only: the components in list order (not owned).
  std::vector<TbsCompressedStoredSkin*> SkinList;

  TbsCompressedStoredSkin* SelectedSkin() const;
  void SLBOnChange(rtl::TObject* Sender);
  void SLBOnDblClick(rtl::TObject* Sender);

 protected:
  explicit TbsSelectSkinDlgForm(cl::TComponent* AOwner);
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  std::string ClassName() const override { return "TbsSelectSkinDlgForm"; }

 private:
  void BuildCommon(TbsSkinData* ACtrlSkinData);
};

class TbsSelectSkinDialog : public cl::TComponent {
 public:
  explicit TbsSelectSkinDialog(cl::TComponent* AOwner = nullptr);

  TbsCompressedSkinList* SkinList() const { return FSkinList; }
  void SetSkinList(TbsCompressedSkinList* V);
  TbsSkinData* SkinData() const { return FSD; }
  void SetSkinData(TbsSkinData* V);
  TbsSkinData* CtrlSkinData() const { return FCtrlSD; }
  void SetCtrlSkinData(TbsSkinData* V);
  gfx::TFont* DefaultFont() { return &FDefaultFont; }
  void SetDefaultFont(const gfx::TFont& V) { FDefaultFont.Assign(V); }
  std::string Title = "Select skin";
  bool AlphaBlend = false, AlphaBlendAnimation = false;
  uint8_t AlphaBlendValue = 200;

  int SelectedSkinIndex() const { return FSelectedSkinIndex; }
  TbsCompressedStoredSkin* SelectedSkin() const { return FSelectedSkin; }
  // The dialog form while Execute runs, else null.
  TbsSelectSkinDlgForm* FDlgFrm = nullptr;
  // Called with the built form just before it shows (tests drive it here).
  rtl::Event<void(TbsSelectSkinDlgForm* Form)> OnFormShow;

  // List mode: false without a skin list; true on OK with SelectedSkinIndex
  // the skin last previewed.
  bool Execute(int ASkinIndex);
  // Stored-skin mode over the owner's stored skins.
  bool Execute(TbsCompressedStoredSkin* ADefaultCompressedSkin);

 protected:
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  std::string ClassName() const override { return "TbsSelectSkinDialog"; }

 private:
  int Run(TbsSelectSkinDlgForm* F);

  TbsCompressedSkinList* FSkinList = nullptr;
  TbsSkinData* FSD = nullptr;
  TbsSkinData* FCtrlSD = nullptr;
  gfx::TFont FDefaultFont;
  int FSelectedSkinIndex = -1;
  TbsCompressedStoredSkin* FSelectedSkin = nullptr;
};

}  // namespace skin
