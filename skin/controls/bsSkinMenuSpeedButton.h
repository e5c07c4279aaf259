// The skinned menu speed button: a speed button with a 15-pixel drop-down
// strip (at its right edge, or in the new style optionally at its bottom)
// that opens a skinned popup menu under the button. With TrackButtonMode
// off a left press anywhere opens the menu; with it on only the strip does.
// The button stays pressed while its menu shows and is released when the
// menu tells it that it closed (WM_CLOSE_SKIN_MENU), or at once when the
// menu could show nothing.
#pragma once

#include <string>

#include "skin/controls/bsSkinButtons.h"
#include "skin/menus/bsSkinMenus.h"

namespace skin {

enum TbsTrackPosition { bstpRight, bstpBottom };

class TbsSkinMenuSpeedButton : public TbsSkinSpeedButton {
 public:
  explicit TbsSkinMenuSpeedButton(cl::TComponent* AOwner);

  TbsSkinPopupMenu* SkinPopupMenu() const { return FSkinPopupMenu; }
  void SetSkinPopupMenu(TbsSkinPopupMenu* V);
  bool TrackButtonMode() const { return FTrackButtonMode; }
  void SetTrackButtonMode(bool V);
  TbsTrackPosition TrackPosition() const { return FTrackPosition; }
  void SetTrackPosition(TbsTrackPosition V);
  bool NewStyle() const { return FNewStyle; }
  void SetNewStyle(bool V);
  rtl::TNotifyEvent OnShowTrackMenu, OnHideTrackMenu;
  // A plain arrow of FArrowType (1 left, 2 right, 3 up, 4 down) instead of
  // the marker.
  bool FDrawStandardArrow = false;
  int FArrowType = 4;

  TRect GetTrackRect();
  bool InTrackArea(int X, int Y);
  void TrackMenu();
  bool MenuTracked() const { return FMenuTracked; }

  void GetSkinData() override;
  void Dispatch(cl::TMessage& Msg) override;

 protected:
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  void Paint() override;
  void CreateControlDefaultImage(gfx::TBitmap* B) override;
  void CreateStateImage(gfx::TBitmap* B, const TRect& R, bool ADown, bool AMouseIn) override;
  void MouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  void MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  void CMMouseEnter(cl::TMessage& Msg) override;
  void CMMouseLeave(cl::TMessage& Msg) override;
  std::string ClassName() const override { return "TbsSkinMenuSpeedButton"; }

 private:
  bool StandardName() const;
  void MenuClosed();
  void DrawArrow(gfx::TCanvas* C, TRect R, TColor Color, bool Active);
  void RecordImage(gfx::TBitmap* Target, int X, int Y, int W, int H, TbsDataSkinButtonControl* Rec, int State,
                   bool ByClRect);

  bool FTrackButtonMode = false;
  bool FMenuTracked = false;
  TbsSkinPopupMenu* FSkinPopupMenu = nullptr;
  bool FNewStyle = false;
  TbsTrackPosition FTrackPosition = bstpRight;
  TRect TrackButtonRect;
};

}  // namespace skin
