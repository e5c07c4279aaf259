// The skinned up-down pair: two arrow buttons that step an integer Position
// within Min..Max by Increment, with auto-repeat while a button is held
// (window timer 1: 500 ms, then every 100 ms, every 50 ms after the pointer
// comes back onto the held button). Drawn from an up-down record ("hupdown"
// or "vupdown") at the record's size, from the "resizebutton" record at any
// size (UseSkinSize off), or in the default look.
#pragma once

#include "skin/controls/bsSkinControls.h"
#include "skin/controls/bsSkinScrollBar.h"

namespace skin {

enum TUDOrientation { udHorizontal, udVertical };

class TbsSkinUpDown : public TbsSkinCustomControl {
 public:
  explicit TbsSkinUpDown(cl::TComponent* AOwner);

  int Min() const { return FMin; }
  void SetMin(int Value);
  int Max() const { return FMax; }
  void SetMax(int Value);
  int Position() const { return FPosition; }
  // A value outside Min..Max is ignored; an accepted one fires OnChange,
  // also when it equals the present one.
  void SetPosition(int Value);
  int Increment() const { return FIncrement; }
  void SetIncrement(int Value) { FIncrement = Value; }
  TUDOrientation Orientation() const { return FOrientation; }
  void SetOrientation(TUDOrientation Value);
  bool UseSkinSize() const { return FUseSkinSize; }
  void SetUseSkinSize(bool V) { FUseSkinSize = V; }

  rtl::TNotifyEvent OnChange, OnUpButtonClick, OnDownButtonClick;

  void GetSkinData() override;
  void CalcSize(int& AWidth, int& AHeight) override;
  void SetControlRegion() override;
  void Dispatch(cl::TMessage& Msg) override;

  // 0 the up button (raises Position), 1 the down button.
  const TbsControlButton& Button(int i) const { return Buttons[i]; }
  // Places both buttons for the present size and look.
  void CalcButtons();
  int TimerMode() const { return FTimerMode; }

 protected:
  void CreateControlDefaultImage(gfx::TBitmap* B) override;
  void CreateControlSkinImage(gfx::TBitmap* B) override;
  void MouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  void MouseMove(cl::TShiftState Shift, int X, int Y) override;
  void MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  void CMMouseEnter(cl::TMessage& Msg) override;
  void CMMouseLeave(cl::TMessage& Msg) override;
  std::string ClassName() const override { return "TbsSkinUpDown"; }

 private:
  bool HasUpDownRecord() const;
  void TestActive(int X, int Y);
  void StartTimer(int Ms);
  void StopTimer();
  void WMTimer(cl::TMessage& Msg);
  int ArrowKind(int I) const;
  void DrawDefaultButton(gfx::TCanvas* C, int I);
  void DrawResizeButton(gfx::TCanvas* C, int I);

  bool FUseSkinSize = true;
  TUDOrientation FOrientation = udHorizontal;
  TbsControlButton Buttons[2];
  int OldActiveButton = -1, ActiveButton = -1, CaptureButton = -1;
  int FTimerMode = 0;
  bool WaitMode = false;
  int FIncrement = 1, FPosition = 0, FMin = 0, FMax = 100;
  TRect UpButtonRect, ActiveUpButtonRect, DownUpButtonRect, DownButtonRect, ActiveDownButtonRect, DownDownButtonRect;
};

}  // namespace skin
