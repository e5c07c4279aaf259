// The skinned check box and radio button (one class, Radio chooses): groups
// by GroupIndex among the controls of one parent, the grayed third state,
// Space and accelerators while it may take the focus, and four looks: flat
// (drawn over the parent's background, the default) and framed, each
// classic or from a check-radio record, the framed skinned one with a
// hover blend.
#pragma once

#include <string>

#include "platform/cl/timer.h"
#include "skin/controls/bsSkinControls.h"

namespace skin {

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TbsSkinCheckRadioBox : public TbsSkinCustomControl {
 public:
  explicit TbsSkinCheckRadioBox(cl::TComponent* AOwner);

  bool Checked() const { return FChecked; }
  void SetChecked(bool Value);
  TCheckBoxState State() const { return FState; }
  void SetState(TCheckBoxState Value);
  bool Radio() const { return FRadio; }
  void SetRadio(bool Value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int V) { FGroupIndex = V; }
  bool AllowGrayed() const { return FAllowGrayed; }
  void SetAllowGrayed(bool V);
  bool Flat() const { return FFlat; }
  void SetFlat(bool V);
  bool WordWrap() const { return FWordWrap; }
  void SetWordWrap(bool V);
  bool CanFocused() const { return FCanFocused; }
  void SetCanFocused(bool V);
  bool UseSkinFontColor() const { return FUseSkinFontColor; }
  void SetUseSkinFontColor(bool V) { FUseSkinFontColor = V; }
  cl::TCustomImageList* Images() const { return FImages; }
  void SetImages(cl::TCustomImageList* V);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int V);

  // The reaction to a click, Space or the accelerator.
  virtual void Toggle();
  // The control's own click event fires from the check rules (OnClick);
  // the class library's click after a release does nothing here.
  void Click() override {}

  bool MouseIn() const { return FMouseIn; }
  double MorphKf() const { return FMorphKf; }
  bool Animating() const { return MorphTimer != nullptr; }

  void GetSkinData() override;
  void ChangeSkinData() override;
  void CalcSize(int& AWidth, int& AHeight) override;
  void WndProc(cl::TMessage& Msg) override;
  void Dispatch(cl::TMessage& Msg) override;

 protected:
  void Destroy() override;
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  void Paint() override;
  void CreateControlDefaultImage(gfx::TBitmap* B) override;
  void CheckParentBackground() override;
  void MouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  void MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  void CMMouseEnter(cl::TMessage& Msg) override;
  void CMMouseLeave(cl::TMessage& Msg) override;
  std::string ClassName() const override { return "TbsSkinCheckRadioBox"; }

 private:
  bool IsFocused() { return FCanFocused && Focused(); }
  bool Skinned() const { return FIndex != -1 && FRecordOk; }
  bool MorphingEnabled() const { return FMorphing && SkinUsable(FSD) && FSD->EnableSkinEffects(); }
  void StartMorphing();
  void StopMorph();
  void MorphTimerTick(rtl::TObject*);
  void PaintFlat();
  void PaintFramedSkin();
  void CreateStateImage(gfx::TBitmap* B, const TRect& S, bool Active);
  void DrawCheckImage(gfx::TCanvas* C, int X, int Y);
  void DrawBoxMark(gfx::TCanvas* C);
  void SetSkinFont(gfx::TCanvas* C);
  bool ImageShown() const;

  bool FUseSkinFontColor = true;
  bool FWordWrap = false;
  bool FAllowGrayed = false;
  TCheckBoxState FState = cbUnchecked;
  cl::TCustomImageList* FImages = nullptr;
  int FImageIndex = 0;
  bool FFlat = true;
  bool FClicksDisabled = false;
  bool FCanFocused = true;
  bool FMouseIn = false;
  int FGroupIndex = 0;
  bool FChecked = false;
  TRect CIRect, NewTextArea;
  bool FRadio = false;
  cl::TTimer* MorphTimer = nullptr;
  double FMorphKf = 0;
  bool FRecordOk = false;
  std::string FontName;
  gfx::TFontStyles FontStyle{};
  int FontHeight = 14;
  TColor FontColor = 0, ActiveFontColor = 0, FrameFontColor = 0, UnEnabledFontColor = 0;
  TRect ActiveSkinRect, CheckImageArea, TextArea, CheckImageRect, UnCheckImageRect, ActiveCheckImageRect,
      ActiveUnCheckImageRect, UnEnabledCheckImageRect, UnEnabledUnCheckImageRect, GrayedCheckImageRect,
      ActiveGrayedCheckImageRect;
  bool FMorphing = false;
  TbsMorphKind MorphKind = mkDefault;
};

}  // namespace skin
