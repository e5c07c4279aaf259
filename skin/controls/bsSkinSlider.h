// The skinned slider: a ruler with a thumb that picks an integer Value
// between MinValue and MaxValue, dragged, stepped by a press beside the
// thumb (again every 400 ms while held) or moved with the keys. Ruler and
// thumb come from a "slider" record or from four pictures of its own (the
// built-in ones drawn by the program, or pictures the application gives).
// It paints itself through one off-screen bitmap.
#pragma once

#include <array>
#include <memory>
#include <string>

#include "skin/controls/bsSkinControls.h"

namespace skin {

enum TbsSliderOrientation { soHorizontal, soVertical };
enum TbsSliderOption : unsigned {
  soShowFocus = 1,
  soShowPoints = 2,
  soSmooth = 4,
  soRulerOpaque = 8,
  soThumbOpaque = 16
};
using TbsSliderOptions = unsigned;
enum TbsJumpMode { jmNone, jmHome, jmEnd, jmNext, jmPrior };
enum TbsSliderImage { siHThumb, siHRuler, siVThumb, siVRuler };

// The program's own slider pictures, by resource name ("BS_HTB" 18x17 two
// horizontal thumb states, "BS_HRL" 10x8 horizontal ruler, "BS_VTB" 38x9
// two vertical thumb states, "BS_VRL" 8x10 vertical ruler) into B.
void DrawBuiltInSliderPicture(const std::string& Name, gfx::TBitmap* B);

class TbsSkinCustomSlider : public TbsSkinControl {
 public:
  explicit TbsSkinCustomSlider(cl::TComponent* AOwner);

  TbsSliderOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TbsSliderOrientation V);
  TbsSliderOptions Options() const { return FOptions; }
  void SetOptions(TbsSliderOptions V);
  int MinValue() const { return FMinValue; }
  void SetMinValue(int V);
  int MaxValue() const { return FMaxValue; }
  void SetMaxValue(int V);
  int Increment() const { return FIncrement; }
  void SetIncrement(int V);
  int Value() const { return FValue; }
  void SetValue(int V);
  int EdgeSize() const { return FEdgeSize; }
  void SetEdgeSize(int V);
  int NumThumbStates() const { return FNumThumbStates; }
  void SetNumThumbStates(int V);
  bool UseSkinThumb() const { return FUseSkinThumb; }
  void SetUseSkinThumb(bool V) { FUseSkinThumb = V; }
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool V);
  gfx::TBitmap* Image(TbsSliderImage I) { return FImages[I].get(); }
  // A picture of the application's, or nullptr for the built-in one.
  void SetImage(TbsSliderImage I, gfx::TBitmap* Value);

  rtl::TNotifyEvent OnChange, OnChanged, OnDrawPoints;

  // Layout and the value rules, for the tests.
  virtual void AdjustElements();
  int ValueToOffset(int V);
  int OffsetToValue(int P);
  int ClampThumbOffset(int P);
  void JumpTo(TbsJumpMode Mode);
  TbsJumpMode GetJumpMode(TPoint P);
  TRect ThumbRect() const { return FThumbRect; }
  TPoint RulerOrg() const { return FRulerOrg; }
  gfx::TBitmap* Ruler() { return &FRuler; }
  bool Sliding() const { return FSliding; }
  bool Tracking() const { return FTracking; }

  void GetSkinData() override;
  void ChangeSkinData() override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void Dispatch(cl::TMessage& Msg) override;

 protected:
  void Paint() override;
  void MouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  void MouseMove(cl::TShiftState Shift, int X, int Y) override;
  void MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  void KeyDown(uint16_t& Key, cl::TShiftState Shift) override;
  virtual bool AllowUserChange() { return true; }
  virtual TRect GetSliderRect() { return {0, 0, Width(), Height()}; }
  virtual int GetSliderValue() { return FValue; }
  virtual void RangeChanged() {}
  virtual void ThumbMouseDown(cl::TMouseButton Button, int X, int Y);
  virtual void ThumbMouseMove(int X, int Y);
  virtual void ThumbMouseUp(cl::TMouseButton Button);
  void DefaultDrawPoints(gfx::TCanvas* C, int PointsStep, int PointsHeight, int ExtremePointsHeight);
  std::string ClassName() const override { return "TbsSkinCustomSlider"; }

 private:
  bool Skinned() const { return FIndex != -1 && Picture; }
  bool Vertical() const { return FOrientation == soVertical; }
  void SetRange(int AMin, int AMax);
  void SetThumbOffset(int P, bool FromDrag);
  void RepeatStep();
  void ThumbSize(int& W, int& H);
  int RulerRange();
  void InvalidateThumb();

  bool FUseSkinThumb = true, FTransparent = false;
  unsigned FUserImages = 0;
  std::array<std::unique_ptr<gfx::TBitmap>, 4> FImages;
  int FEdgeSize = 2;
  gfx::TBitmap FRuler;
  TPoint FRulerOrg;
  TRect FThumbRect;
  bool FThumbDown = false;
  int FNumThumbStates = 2;
  TRect FPointsRect;
  TbsSliderOrientation FOrientation = soHorizontal;
  TbsSliderOptions FOptions = soShowFocus | soShowPoints | soSmooth;
  int FMinValue = 0, FMaxValue = 100, FIncrement = 10, FValue = 0;
  int FHit = 0;
  bool FFocused = false, FSliding = false, FTracking = false, FTimerActive = false;
  TPoint FMousePos;
  TbsJumpMode FStartJump = jmNone;
  bool FInLayout = false;
  // From the record.
  TRect HRulerRect, HThumbRect, VRulerRect, VThumbRect;
  int SkinEdgeSize = 0;
  TColor BGColor = 0, PointsColor = 0;
  gfx::TBitmap* Picture = nullptr;
};

class TbsSkinSlider : public TbsSkinCustomSlider {
 public:
  using TbsSkinCustomSlider::TbsSkinCustomSlider;

 protected:
  std::string ClassName() const override { return "TbsSkinSlider"; }
};

}  // namespace skin
