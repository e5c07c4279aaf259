// The skinned scroll bar: a windowed bar drawn from a scroll-bar record or
// in the default look, with two arrow buttons, a track and a thumb; arrow
// and page repeats on window timer 1 (500 ms, then every 50 ms), keys and
// the wheel when it may take the focus, and the "both" look that leaves a
// marker square at the right end. Views drive it through SetRange and
// SimplySetPosition and follow its OnChange.
#pragma once

#include <string>

#include "skin/controls/bsSkinControls.h"

namespace skin {

enum TScrollBarKind { sbHorizontal, sbVertical };

// A small button of a bar: its rectangle (control coordinates), hot,
// pressed and shown.
struct TbsControlButton {
  TRect R;
  bool MouseIn = false;
  bool Down = false;
  bool Visible = false;
};

class TbsSkinScrollBar : public TbsSkinCustomControl {
 public:
  explicit TbsSkinScrollBar(cl::TComponent* AOwner);

  // Stores the range and the page, clamps APosition into Position; no event.
  void SetRange(int AMin, int AMax, int APosition, int APageSize);
  // Clamps like Position, repaints when it changed; no event.
  void SimplySetPosition(int AValue);

  TScrollBarKind Kind() const { return FKind; }
  void SetKind(TScrollBarKind Value);
  int Min() const { return FMin; }
  void SetMin(int Value);
  int Max() const { return FMax; }
  void SetMax(int Value);
  int Position() const { return FPosition; }
  void SetPosition(int Value);
  int PageSize() const { return FPageSize; }
  void SetPageSize(int Value);
  int SmallChange() const { return FSmallChange; }
  void SetSmallChange(int V);
  int LargeChange() const { return FLargeChange; }
  void SetLargeChange(int V);
  bool Both() const { return FBoth; }
  void SetBoth(bool Value);
  int BothMarkerWidth() const { return FBothMarkerWidth; }
  void SetBothMarkerWidth(int Value);
  const std::string& BothSkinDataName() const { return FBothSkinDataName; }
  void SetBothSkinDataName(const std::string& V) { FBothSkinDataName = V; }
  bool CanFocused() const { return FCanFocused; }
  void SetCanFocused(bool Value);

  rtl::TNotifyEvent OnChange, OnLastChange, OnUpButtonClick, OnDownButtonClick, OnPageUp, OnPageDown;

  void GetSkinData() override;
  void CalcSize(int& AWidth, int& AHeight) override;
  void WndProc(cl::TMessage& Msg) override;
  void Dispatch(cl::TMessage& Msg) override;

  // Layout, for the views and the tests: 0 the thumb, 1 the up button (it
  // raises Position; right or bottom), 2 the down button.
  void CalcRects();
  const TbsControlButton& Button(int i) const { return Buttons[i]; }
  TRect TrackRect() const { return NewTrackArea; }
  int TimerMode() const { return FTimerMode; }
  // Position for a thumb offset from Offset1 (the drag rule).
  int CalcPosition(int AOffset);

 protected:
  void CreateControlDefaultImage(gfx::TBitmap* B) override;
  void CreateControlSkinImage(gfx::TBitmap* B) override;
  void MouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  void MouseMove(cl::TShiftState Shift, int X, int Y) override;
  void MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  void KeyDown(uint16_t& Key, cl::TShiftState Shift) override;
  void CMMouseLeave(cl::TMessage& Msg) override;
  std::string ClassName() const override { return "TbsSkinScrollBar"; }

 private:
  int Clamp(int V) const;
  bool IsFocused() { return FCanFocused && Focused(); }
  void TestActive(int X, int Y);
  void ButtonDown(int I, int X, int Y);
  void ButtonUp(int I);
  void DrawButton(gfx::TCanvas* C, int I);
  void StartTimer(int Ms);
  void StopTimer();
  void PageStep(bool Up);
  void ArrowStep(bool Up);
  void WMTimer(cl::TMessage& Msg);
  bool Horizontal() const { return FKind == sbHorizontal; }

  std::string FNormalSkinDataName;
  std::string FBothSkinDataName = "bothhscrollbar";
  int Offset1 = 0, Offset2 = 0, BOffset = 0;
  TRect NewTrackArea;
  bool FDown = false;
  int OMPos = 0, OldPosition = 0, FScrollWidth = 0, OldBOffset = 0;
  int MX = 0, MY = 0;
  bool MouseD = false;
  bool WaitMode = false;
  int FBothMarkerWidth = 19;
  bool FClicksDisabled = false;
  bool FCanFocused = false;
  int FTimerMode = 0;
  int ActiveButton = -1, OldActiveButton = -1, CaptureButton = -1;
  TbsControlButton Buttons[3];
  int FMin = 0, FMax = 100, FSmallChange = 1, FLargeChange = 1, FPosition = 0;
  TScrollBarKind FKind = sbHorizontal;
  int FPageSize = 0;
  bool FBoth = false;
  // From the record.
  TRect TrackArea, UpButtonRect, ActiveUpButtonRect, DownUpButtonRect, DownButtonRect, ActiveDownButtonRect,
      DownDownButtonRect, ThumbRect, ActiveThumbRect, DownThumbRect;
  int ThumbOffset1 = 0, ThumbOffset2 = 0;
  bool ThumbTransparent = false;
  TColor ThumbTransparentColor = 0;
  bool ThumbStretchEffect = false;
  int ThumbMinSize = 0, ThumbMinPageSize = 0;
  TRect GlyphRect, ActiveGlyphRect, DownGlyphRect;
  bool GlyphTransparent = false;
  TColor GlyphTransparentColor = 0;
};

}  // namespace skin
