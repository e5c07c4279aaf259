// The skinned push button (windowed, focusable) and the skinned speed
// button (window-less): state images from a button record, a hover blend
// from the normal to the hot image on 20 ms ticks of 0.2, a frame-by-frame
// hover animation, toggle groups, auto-repeat (500 ms, then the repeat
// interval), and on the push button the default and cancel roles of a
// dialog and the layered glow frame.
#pragma once

#include <string>

#include "platform/cl/timer.h"
#include "skin/draw/bsGeometry.h"
#include "skin/draw/bsGlyphLayout.h"
#include "skin/menus/bsImagesMenu.h"
#include "skin/draw/bsLayerWindow.h"
#include "skin/controls/bsSkinControls.h"

namespace skin {

// Sender, the canvas, the content rectangle, pressed and hot; clearing
// DrawDefault leaves out the caption and the glyph.
using TbsButtonPaintEvent =
    rtl::Event<void(rtl::TObject* Sender, gfx::TCanvas* Cnvs, TRect R, bool ADown, bool AMouseIn, bool& DrawDefault)>;

// A parent whose image lists its speed buttons draw from when they have no
// glyph of their own (the skinned tool bar).
class TbsButtonImagesParent {
 public:
  virtual ~TbsButtonImagesParent() = default;
  virtual cl::TCustomImageList* ButtonImages() = 0;
  virtual cl::TCustomImageList* ButtonHotImages() = 0;
  virtual cl::TCustomImageList* ButtonDisabledImages() = 0;
};

// What a button copies from its record.
struct TbsButtonSkinFields {
  std::string FontName;
  gfx::TFontStyles FontStyle{};
  int FontHeight = 14;
  TColor FontColor = 0, ActiveFontColor = 0, DownFontColor = 0, DisabledFontColor = 0;
  TRect ActiveSkinRect, DownSkinRect, DisabledSkinRect, FocusedSkinRect, AnimateSkinRect;
  int FrameCount = 0, AnimateInterval = 0;
  bool Morphing = false;
  TbsMorphKind MorphKind = mkDefault;
  bool ShowFocus = false;
  TRect MenuMarkerFlatRect, MenuMarkerRect, MenuMarkerActiveRect, MenuMarkerDownRect;
  TColor MenuMarkerTransparentColor = 0;
  int GlowLayerPictureIndex = -1, GlowLayerMaskPictureIndex = -1;
  int GlowLayerOffsetLeft = 0, GlowLayerOffsetRight = 0, GlowLayerOffsetTop = 0, GlowLayerOffsetBottom = 0;
  int GlowLayerShowOffsetX = 0, GlowLayerShowOffsetY = 0;
  int GlowLayerAlphaBlendValue = 255;

  // With the fall-backs: no hot image = the normal one, no pressed image =
  // the hot one, a disabled colour equal to the normal one = grey.
  void CopyFrom(const TbsDataSkinButtonControl& R);
  // A record of another class: every state from the normal image.
  void SetPlain(const TRect& SkinRect);
};

// Frame N (from 1) of an animation strip: side by side when the strip is
// wider than the normal image, else one under the other. An empty
// rectangle without frames.
TRect CalcAnimateFrameRect(const TRect& Strip, const TRect& SkinRect, int FrameCount, int N);
// The glyph of a strip for a state: 3 pressed, 4 hot, 2 disabled, else 1.
int GetGlyphNum(int NumGlyphs, bool ADown, bool AMouseIn, bool AEnabled);

class TbsSkinButton : public TbsSkinCustomControl {
 public:
  explicit TbsSkinButton(cl::TComponent* AOwner);

  void GetSkinData() override;
  void ChangeSkinData() override;
  void BeforeChangeSkinData() override;
  void CalcSize(int& AWidth, int& AHeight) override;
  void WndProc(cl::TMessage& Msg) override;
  void Dispatch(cl::TMessage& Msg) override;
  // The click action of mouse, keys, accelerators and auto-repeat: the
  // form's modal result, then OnClick.
  virtual void ButtonClick();
  // The class library's click after a release: the button clicks through
  // ButtonClick only.
  void Click() override {}
  // An action with an image gives an empty glyph that image.
  void ActionChange(rtl::TObject* Sender, bool CheckDefaults) override;

  void RefreshButton();
  void ShowLayer();
  void HideLayer();

  bool Down() const { return FDown; }
  void SetDown(bool Value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value);
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool V) { FAllowAllUp = V; }
  bool CanFocused() const { return FCanFocused; }
  void SetCanFocused(bool Value);
  bool Default() const { return FDefault; }
  void SetDefault(bool Value);
  bool Cancel() const { return FCancel; }
  void SetCancel(bool V) { FCancel = V; }
  int ModalResult() const { return FModalResult; }
  void SetModalResult(int V) { FModalResult = V; }
  bool RepeatMode() const { return FRepeatMode; }
  void SetRepeatMode(bool V) { FRepeatMode = V; }
  int RepeatInterval() const { return FRepeatInterval; }
  void SetRepeatInterval(int V) { FRepeatInterval = V; }
  bool UseSkinSize() const { return FUseSkinSize; }
  void SetUseSkinSize(bool V) { FUseSkinSize = V; }
  bool UseSkinFontColor() const { return FUseSkinFontColor; }
  void SetUseSkinFontColor(bool V) { FUseSkinFontColor = V; }
  bool AlwaysShowLayeredFrame() const { return FAlwaysShowGlowFrame; }
  void SetAlwaysShowLayeredFrame(bool V) { FAlwaysShowGlowFrame = V; }
  gfx::TBitmap* Glyph() { return &FGlyph; }
  void SetGlyph(gfx::TBitmap* Value);
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int Value);
  int Margin() const { return FMargin; }
  void SetMargin(int Value);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int Value);
  TbsButtonLayout Layout() const { return FLayout; }
  void SetLayout(TbsButtonLayout Value);
  cl::TCustomImageList* ImageList() const { return FImageList; }
  void SetImageList(cl::TCustomImageList* Value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  TbsButtonPaintEvent OnPaint;

  // State, for the form frame and the tests.
  bool MouseIn() const { return FMouseIn; }
  bool HasDefaultRole() const { return FActive; }
  double MorphKf() const { return FMorphKf; }
  int CurrentAnimationFrame() const { return CurrentFrame; }
  bool Repeating() const { return RepeatTimer != nullptr; }
  TbsLayerManager* LayerManager() const { return FLayerManager; }
  const TbsButtonSkinFields& ButtonSkin() const { return S; }

 protected:
  void Destroy() override;
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  void CreateWnd() override;
  void Paint() override;
  // The default look, also for a record that brings no picture.
  void PaintDefaultLook();
  void CreateControlDefaultImage(gfx::TBitmap* B) override;
  void CreateControlSkinImage(gfx::TBitmap* B) override { (void)B; }
  virtual void CreateStateImage(gfx::TBitmap* B, const TRect& R, bool ADown, bool AMouseIn);
  void CreateResizedStateImage(gfx::TBitmap* B, const TRect& R, bool ADown, bool AMouseIn);
  void MouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  void MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  void CMMouseEnter(cl::TMessage& Msg) override;
  void CMMouseLeave(cl::TMessage& Msg) override;
  std::string ClassName() const override { return "TbsSkinButton"; }

  bool IsFocused() { return FCanFocused && Focused(); }
  bool SkinEffectsEnabled() const { return SkinUsable(FSD) && FSD->EnableSkinEffects(); }
  bool MorphingEnabled() const { return S.Morphing && SkinEffectsEnabled(); }
  bool FrameAnimationAllowed() const {
    return FIndex != -1 && SkinEffectsEnabled() && !IsNullRect(S.AnimateSkinRect) && S.FrameCount > 0;
  }
  bool PressedLook() { return FDown && (FGroupIndex != 0 || FMouseIn || (IsFocused() && !FMouseDown)); }
  void StartMorphing();
  void StartMorph();
  void StopMorph();
  void MorphTimerTick(rtl::TObject* Sender);
  void StartFrameAnimation(bool Forward);
  void StopFrameAnimation();
  void AnimateTimerTick(rtl::TObject* Sender);
  void StartRepeat();
  void StopRepeat();
  void SetContentFont(gfx::TCanvas* C, bool ADown, bool AMouseIn);
  void DrawContent(gfx::TCanvas* C, const TRect& R, bool ADown, bool AMouseIn);

  TbsButtonSkinFields S;
  TbsLayerManager* FLayerManager = nullptr;
  cl::TTimer* AnimateTimer = nullptr;
  int CurrentFrame = 0;
  bool AnimateInc = false;
  bool FSpaceSupport = true;
  bool FUseSkinFontColor = true;
  bool FUseSkinSize = true;
  cl::TTimer* RepeatTimer = nullptr;
  bool FRepeatMode = false;
  int FRepeatInterval = 100;
  bool FActive = false;
  bool FAllowAllUp = false;
  bool FAllowAllUpCheck = false;
  bool FDefault = false, FCancel = false;
  int FModalResult = 0;
  bool FClicksDisabled = false;
  bool FCanFocused = true;
  bool FDown = false, FMouseIn = false, FMouseDown = false;
  bool FAlwaysShowGlowFrame = false;
  int FGroupIndex = 0;
  gfx::TBitmap FGlyph;
  int FNumGlyphs = 1;
  int FMargin = -1;
  int FSpacing = 1;
  TbsButtonLayout FLayout = blGlyphLeft;
  cl::TTimer* MorphTimer = nullptr;
  double FMorphKf = 0;
  cl::TCustomImageList* FImageList = nullptr;
  int FImageIndex = -1;

 private:
  void CMFocusChanged(cl::TMessage& Msg);
  void CMDialogKey(cl::TMessage& Msg);
  void CMDialogChar(cl::TMessage& Msg);
};

// ---------------------------------------------------------------------------

class TbsSkinSpeedButton : public TbsGraphicSkinCustomControl {
 public:
  explicit TbsSkinSpeedButton(cl::TComponent* AOwner);

  void GetSkinData() override;
  void ChangeSkinData() override;
  void CalcSize(int& AWidth, int& AHeight) override;
  void Dispatch(cl::TMessage& Msg) override;
  virtual void ButtonClick();
  void RefreshButton();

  // Transparent: the parent paints under the button (not opaque).
  bool Transparent() const { return !(ControlStyle & cl::csOpaque); }
  void SetTransparent(bool Value);
  bool Flat() const { return FFlat; }
  void SetFlat(bool Value);
  bool ShowCaption() const { return FShowCaption; }
  void SetShowCaption(bool Value);
  int WidthWithCaption() const { return FWidthWithCaption; }
  void SetWidthWithCaption(int V) { FWidthWithCaption = V; }
  int WidthWithoutCaption() const { return FWidthWithoutCaption; }
  void SetWidthWithoutCaption(int V) { FWidthWithoutCaption = V; }
  bool Down() const { return FDown; }
  void SetDown(bool Value);
  int GroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value) { FGroupIndex = Value; }
  bool AllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool V) { FAllowAllUp = V; }
  bool RepeatMode() const { return FRepeatMode; }
  void SetRepeatMode(bool V) { FRepeatMode = V; }
  int RepeatInterval() const { return FRepeatInterval; }
  void SetRepeatInterval(int V) { FRepeatInterval = V; }
  bool UseSkinSize() const { return FUseSkinSize; }
  void SetUseSkinSize(bool V) { FUseSkinSize = V; }
  bool UseSkinFontColor() const { return FUseSkinFontColor; }
  void SetUseSkinFontColor(bool V) { FUseSkinFontColor = V; }
  gfx::TBitmap* Glyph() { return &FGlyph; }
  void SetGlyph(gfx::TBitmap* Value);
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int Value);
  int Margin() const { return FMargin; }
  void SetMargin(int Value);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int Value);
  TbsButtonLayout Layout() const { return FLayout; }
  void SetLayout(TbsButtonLayout Value);
  cl::TCustomImageList* ImageList() const { return FButtonImages; }
  void SetImageList(cl::TCustomImageList* Value);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int Value);
  // An images menu whose selected item the button shows (the menu speed
  // button publishes it); a change of its selection repaints the button.
  TbsSkinImagesMenu* SkinImagesMenu() const { return FSkinImagesMenu; }
  void SetSkinImagesMenu(TbsSkinImagesMenu* Value);
  bool FUseImagesMenuImage = false, FUseImagesMenuCaption = false;
  TbsButtonPaintEvent OnPaint;

  bool MouseIn() const { return FMouseIn; }
  double MorphKf() const { return FMorphKf; }
  bool Repeating() const { return RepeatTimer != nullptr; }
  const TbsButtonSkinFields& ButtonSkin() const { return S; }
  // The menu marker (drop-down arrow) image of a state, centred in R.
  void DrawMenuMarker(gfx::TCanvas* C, const TRect& R, bool AActive, bool ADown, bool AFlat);

 protected:
  void Destroy() override;
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  void Paint() override;
  // The default look, also for a record that brings no picture.
  void PaintDefaultLook();
  void CreateControlDefaultImage(gfx::TBitmap* B) override;
  void CreateControlSkinImage(gfx::TBitmap* B) override { (void)B; }
  virtual void CreateStateImage(gfx::TBitmap* B, const TRect& R, bool ADown, bool AMouseIn);
  void MouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  void MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  void CMMouseEnter(cl::TMessage& Msg) override;
  void CMMouseLeave(cl::TMessage& Msg) override;
  std::string ClassName() const override { return "TbsSkinSpeedButton"; }

  bool SkinEffectsEnabled() const { return SkinUsable(FSD) && FSD->EnableSkinEffects(); }
  bool MorphingEnabled() const { return S.Morphing && SkinEffectsEnabled(); }
  bool FrameAnimationAllowed() const {
    return FIndex != -1 && SkinEffectsEnabled() && !IsNullRect(S.AnimateSkinRect) && S.FrameCount > 0 && !FFlat;
  }
  bool PressedLook() const { return FDown && (FGroupIndex != 0 || FMouseIn); }
  std::string CaptionText() const { return FShowCaption ? Caption() : std::string(); }
  void StartMorphing();
  void StartMorph();
  void StopMorph();
  void MorphTimerTick(rtl::TObject* Sender);
  void StartFrameAnimation(bool Forward);
  void StopFrameAnimation();
  void AnimateTimerTick(rtl::TObject* Sender);
  void StartRepeat();
  void StopRepeat();
  void SetContentFont(gfx::TCanvas* C, bool ADown, bool AMouseIn);
  void DrawContent(gfx::TCanvas* C, const TRect& R, bool ADown, bool AMouseIn, bool Offset);

  TbsButtonSkinFields S;
  cl::TTimer* AnimateTimer = nullptr;
  int CurrentFrame = 0;
  bool AnimateInc = false;
  bool FUseSkinSize = true, FUseSkinFontColor = true;
  cl::TCustomImageList* FButtonImages = nullptr;
  int FImageIndex = 0;
  TbsSkinImagesMenu* FSkinImagesMenu = nullptr;
  cl::TTimer* RepeatTimer = nullptr;
  bool FRepeatMode = false;
  int FRepeatInterval = 100;
  bool FFlat = false;
  bool FAllowAllUp = false, FAllowAllUpCheck = false;
  bool FDown = false, FMouseIn = false, FMouseDown = false;
  int FGroupIndex = 0;
  gfx::TBitmap FGlyph;
  int FNumGlyphs = 1;
  int FMargin = -1;
  int FSpacing = 1;
  TbsButtonLayout FLayout = blGlyphLeft;
  cl::TTimer* MorphTimer = nullptr;
  double FMorphKf = 0;
  bool FShowCaption = true;
  int FWidthWithCaption = 0, FWidthWithoutCaption = 0;
  bool FDrawColorMarker = false;
  TColor FColorMarkerValue = 0;
};

}  // namespace skin
