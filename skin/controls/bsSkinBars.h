// The skinned tool bar and status bar, both skinned panels.
//
// The tool bar centres its children vertically in its client area and, when
// they do not fit, shows two 12-pixel scroll buttons in its non-client area
// (hit codes 119 and 120) that scroll the children sideways: a step per
// click, continuously while held or, with HotScroll, while the mouse rests
// on one (window timer 1, ScrollTimerInterval ms).
//
// The status bar ends its client area where its size grip begins and
// answers the hit test over the grip with HTBOTTOMRIGHT, so a press there
// sizes the form.
#pragma once

#include <string>

#include "skin/controls/bsSkinButtons.h"
#include "skin/controls/bsSkinPanels.h"
#include "skin/controls/bsSkinScrollBar.h"

namespace skin {

constexpr int HTBS_SCROLLLEFT = 119, HTBS_SCROLLRIGHT = 120;

class TbsSkinToolBar : public TbsSkinPanel, public TbsCentringParent, public TbsButtonImagesParent {
 public:
  explicit TbsSkinToolBar(cl::TComponent* AOwner);

  bool CanScroll() const { return FCanScroll; }
  void SetCanScroll(bool V) { FCanScroll = V; }
  bool HotScroll() const { return FHotScroll; }
  void SetHotScroll(bool V) { FHotScroll = V; }
  int ScrollOffset() const { return FScrollOffset; }
  void SetScrollOffset(int V);
  int ScrollTimerInterval() const { return FScrollTimerInterval; }
  void SetScrollTimerInterval(int V);
  bool AdjustControls() const { return FAdjustControls; }
  void SetAdjustControls(bool V) { FAdjustControls = V; }
  bool ShowCaptions() const { return FShowCaptions; }
  void SetShowCaptions(bool V);
  bool AutoShowHideCaptions() const { return FAutoShowHideCaptions; }
  void SetAutoShowHideCaptions(bool V) { FAutoShowHideCaptions = V; }
  int WidthWithCaptions() const { return FWidthWithCaptions; }
  void SetWidthWithCaptions(int V) { FWidthWithCaptions = V; }
  int WidthWithoutCaptions() const { return FWidthWithoutCaptions; }
  void SetWidthWithoutCaptions(int V) { FWidthWithoutCaptions = V; }
  bool Flat() const { return FFlat; }
  void SetFlat(bool V);
  cl::TCustomImageList* Images() const { return FImages; }
  void SetImages(cl::TCustomImageList* V);
  cl::TCustomImageList* HotImages() const { return FHotImages; }
  void SetHotImages(cl::TCustomImageList* V) {
    FHotImages = V;
    if (V) V->FreeNotification(this);
  }
  cl::TCustomImageList* DisabledImages() const { return FDisabledImages; }
  void SetDisabledImages(cl::TCustomImageList* V) {
    FDisabledImages = V;
    if (V) V->FreeNotification(this);
  }

  // Speed buttons without a glyph of their own draw from these lists.
  cl::TCustomImageList* ButtonImages() override { return FImages; }
  cl::TCustomImageList* ButtonHotImages() override { return FHotImages; }
  cl::TCustomImageList* ButtonDisabledImages() override { return FDisabledImages; }

  // Scroll state, for the tests and the demo.
  int ScrollPosition() const { return SPosition; }
  int ScrollMax() const { return SMax; }
  int ScrollPage() const { return SPage; }
  bool ScrollButtonsShown() const { return Buttons[0].Visible; }
  const TbsControlButton& ScrollButton(int i) const { return Buttons[i]; }
  void UpdateScrollRange();

  // The centring parent of the skinned controls.
  bool AdjustsControls() override { return FAdjustControls; }
  TRect GetSkinClientRect() override { return TbsSkinPanel::GetSkinClientRect(); }

  void SetSkinData(TbsSkinData* Value) override;
  void GetSkinData() override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void WndProc(cl::TMessage& Msg) override;
  void Dispatch(cl::TMessage& Msg) override;

 protected:
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  void AdjustClientRect(TRect& rect) override;
  void CreateControlSkinImage(gfx::TBitmap* B) override;
  std::string ClassName() const override { return "TbsSkinToolBar"; }

 private:
  void CentrePlainChildren();
  void ShowScrollButtons(bool Show);
  void ScrollContent(int D);
  void ScrollStep(bool Left);
  void StartScrollTimer();
  void StopTimer();
  void ClearHotButton();
  void PaintNC();
  void DrawScrollButton(gfx::TCanvas* C, int I);

  bool FAdjustControls = true, FCanScroll = false, FHotScroll = false;
  int TimerMode = 0;
  int SMax = 0, SPosition = 0, SPage = 0, SOldPosition = 0;
  int FHSizeOffset = 0;
  int FScrollOffset = 0, FScrollTimerInterval = 50;
  TbsControlButton Buttons[2];
  TbsDataSkinButtonControl* ButtonData = nullptr;
  cl::TCustomImageList *FImages = nullptr, *FDisabledImages = nullptr, *FHotImages = nullptr;
  bool FFlat = false, FAutoShowHideCaptions = false, FShowCaptions = false;
  int FWidthWithCaptions = 0, FWidthWithoutCaptions = 0;
};

class TbsSkinStatusBar : public TbsSkinPanel {
 public:
  explicit TbsSkinStatusBar(cl::TComponent* AOwner);

  bool SizeGrip() const { return FSizeGrip; }
  void SetSizeGrip(bool V);
  bool ShowGrip() const { return FShowGrip; }
  void SetShowGrip(bool V);
  // The grip's rectangle in client coordinates.
  TRect GripRect();

  void SetSkinData(TbsSkinData* Value) override;
  void GetSkinData() override;
  void Dispatch(cl::TMessage& Msg) override;

 protected:
  void AdjustClientRect(TRect& rect) override;
  void CreateControlDefaultImage(gfx::TBitmap* B) override;
  void CreateControlSkinImage(gfx::TBitmap* B) override;
  std::string ClassName() const override { return "TbsSkinStatusBar"; }

 private:
  bool GripActive() const { return FSizeGrip && FShowGrip; }
  void DrawSizeGrip(gfx::TCanvas* C, TColor Shadow, TColor Highlight);

  bool FSizeGrip = false, FShowGrip = true;
  TRect GripperRect;
  bool GripperTransparent = false;
  TColor GripperTransparentColor = 0;
};

}  // namespace skin
