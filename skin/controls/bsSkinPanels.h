// The skinned panel family: the panel (a container with an optional caption
// strip, a check box and a roll-up marker in the caption, roll-up to the
// caption, a transparent mode over the parent's background and a whole
// background picture), the group box (a panel in caption mode on the
// "groupbox" record) and the paint panel (hands its client area to the
// application). The client area leaves out the frame and the caption and
// drives the alignment of the children.
#pragma once

#include <string>

#include "skin/controls/bsSkinControls.h"

namespace skin {

enum TbsSkinBorderStyle { bvFrame, bvRaised, bvLowered, bvNone };
enum TbsImagePosition { bsipDefault, bsipLeft };
using TbsPaintPanelEvent = rtl::Event<void(gfx::TCanvas* Cnvs, TRect R)>;

class TbsSkinPanel : public TbsSkinCustomControl {
 public:
  explicit TbsSkinPanel(cl::TComponent* AOwner);

  // The whole control passed through the client-area rule of the class.
  TRect GetSkinClientRect();
  // Resizes for the roll state without touching RollUpState.
  void DoRollUp(bool ARollUp);

  bool RibbonStyle() const { return FRibbonStyle; }
  void SetRibbonStyle(bool V);
  TbsImagePosition ImagePosition() const { return FImagePosition; }
  void SetImagePosition(TbsImagePosition V);
  bool TransparentMode() const { return FTransparentMode; }
  void SetTransparentMode(bool V);
  cl::TCustomImageList* CaptionImageList() const { return FCaptionImageList; }
  void SetCaptionImageList(cl::TCustomImageList* V) { FCaptionImageList = V; }
  int CaptionImageIndex() const { return FCaptionImageIndex; }
  void SetCaptionImageIndex(int V);
  int RealHeight() const { return FRealHeight; }
  void SetRealHeight(int V) { FRealHeight = V; }
  bool AutoEnabledControls() const { return FAutoEnabledControls; }
  void SetAutoEnabledControls(bool V) { FAutoEnabledControls = V; }
  bool CheckedMode() const { return FCheckedMode; }
  void SetCheckedMode(bool V);
  bool Checked() const { return FChecked; }
  void SetChecked(bool V);
  TAlignment DefaultAlignment() const { return FDefaultAlignment; }
  void SetDefaultAlignment(TAlignment V);
  int DefaultCaptionHeight() const { return FDefaultCaptionHeight; }
  virtual void SetDefaultCaptionHeight(int V);
  TbsSkinBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TbsSkinBorderStyle V);
  bool CaptionMode() const { return FCaptionMode; }
  virtual void SetCaptionMode(bool V);
  bool RollUpMode() const { return FRollUpMode; }
  void SetRollUpMode(bool V);
  bool RollUpState() const { return FRollUpState; }
  void SetRollUpState(bool V);
  gfx::TBitmap* Glyph() { return &FGlyph; }
  void SetGlyph(gfx::TBitmap* V);
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int V);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int V);

  rtl::TNotifyEvent OnChecked, OnChangeRollUpState;

  // The caption area at the current size (also the caption's click area).
  TRect CaptionArea() const { return NewCaptionRect; }

  void GetSkinData() override;
  void ChangeSkinData() override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void Dispatch(cl::TMessage& Msg) override;

 protected:
  void Destroy() override;
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  bool CanAutoSize(int& NewWidth, int& NewHeight) override;
  void AdjustClientRect(TRect& rect) override;
  void Paint() override;
  void CreateControlDefaultImage(gfx::TBitmap* B) override;
  void CreateControlSkinImage(gfx::TBitmap* B) override;
  void MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  // Painting hook of the two transparent looks; empty here.
  virtual void DoPanelPaint(gfx::TCanvas* Cnvs) { (void)Cnvs; }
  std::string ClassName() const override { return "TbsSkinPanel"; }

  bool Skinned() const { return FIndex != -1; }
  // The record's background picture, or nullptr when it names none or a
  // picture the store does not have.
  gfx::TBitmap* BGPicture() const;
  void DrawClientTile(gfx::TCanvas* C, int W, int H, bool Clip);
  void DrawSkinCaption(gfx::TCanvas* C);
  void PaintTransparentFrame(gfx::TCanvas* C, int W, int H);
  // Caption image: the list's or a glyph cell; width and height, 0 for none.
  void CaptionImageSize(int& W, int& H);
  void DrawCaptionImage(gfx::TCanvas* C, int X, int Y);
  void RollUpNow(bool KeepHidden);

  bool FRibbonStyle = false;
  bool FInChangingRollUp = false;
  TbsImagePosition FImagePosition = bsipDefault;
  bool FTransparentMode = false;
  int FCMaxWidth = 0, FCMinWidth = 0, FCMaxHeight = 0, FCMinHeight = 0;
  bool FConstraintsSaved = false;
  bool FCheckedMode = false;
  bool FChecked = false;
  gfx::TBitmap FGlyph;
  int FNumGlyphs = 1;
  int FSpacing = 2;
  int FRealHeight = -1;
  bool FRollUpState = false;
  bool FRollUpMode = false;
  bool FCaptionMode = false;
  TbsSkinBorderStyle FBorderStyle = bvFrame;
  int FDefaultCaptionHeight = 22;
  TAlignment FDefaultAlignment = taLeftJustify;
  bool FAutoEnabledControls = true;
  cl::TCustomImageList* FCaptionImageList = nullptr;
  int FCaptionImageIndex = -1;
  // From the record.
  std::string FontName;
  gfx::TFontStyles FontStyle{};
  int FontHeight = 14;
  TColor FontColor = 0;
  TAlignment Alignment = taLeftJustify;
  TRect CaptionRect, NewCaptionRect;
  int BGPictureIndex = -1;
  TRect CheckImageRect, UnCheckImageRect, MarkFrameRect, FrameRect;
  int FrameLeftOffset = 0, FrameRightOffset = 0;
  TRect FrameTextRect;
};

class TbsSkinGroupBox : public TbsSkinPanel {
 public:
  explicit TbsSkinGroupBox(cl::TComponent* AOwner);
  void GetSkinData() override;

 protected:
  std::string ClassName() const override { return "TbsSkinGroupBox"; }
};

class TbsSkinPaintPanel : public TbsSkinPanel {
 public:
  explicit TbsSkinPaintPanel(cl::TComponent* AOwner);
  TbsPaintPanelEvent OnPanelPaint;
  void Dispatch(cl::TMessage& Msg) override;

 protected:
  void CreateControlDefaultImage(gfx::TBitmap* B) override;
  void CreateControlSkinImage(gfx::TBitmap* B) override;
  void DoPanelPaint(gfx::TCanvas* Cnvs) override;
  std::string ClassName() const override { return "TbsSkinPaintPanel"; }
};

}  // namespace skin
