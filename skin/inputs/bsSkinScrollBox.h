// The skinned scroll box: a container whose children scroll under two
// linked skinned scroll bars (placed by the user of the box, not owned).
// The ranges follow the extent of the visible children; a bar shows only
// while the content reaches beyond the view. The frame is drawn in the
// non-client area from the "scrollbox" record (or a one-pixel line by
// BorderStyle), the client with the record's client part or its background
// picture, tiled or stretched.
#pragma once

#include "skin/controls/bsSkinControls.h"
#include "skin/controls/bsSkinPanels.h"
#include "skin/controls/bsSkinScrollBar.h"

namespace skin {

class TbsSkinScrollBox : public TbsSkinCustomControl {
 public:
  explicit TbsSkinScrollBox(cl::TComponent* AOwner);

  TbsSkinScrollBar* VScrollBar() const { return FVScrollBar; }
  void SetVScrollBar(TbsSkinScrollBar* Value);
  TbsSkinScrollBar* HScrollBar() const { return FHScrollBar; }
  void SetHScrollBar(TbsSkinScrollBar* Value);
  TbsSkinBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TbsSkinBorderStyle Value);
  bool CanFocused() const { return FCanFocused; }
  void SetCanFocused(bool V) { FCanFocused = V; }
  int BGPictureIndex() const { return FBGPictureIndex; }

  void UpDateScrollRange();
  void GetHRange();
  void GetVRange();
  // Scrolls so that the content stands at APosition (a bar must be linked).
  void HScroll(int APosition);
  void VScroll(int APosition);

  void GetSkinData() override;
  void ChangeSkinData() override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void WndProc(cl::TMessage& Msg) override;
  void Dispatch(cl::TMessage& Msg) override;

 protected:
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  void AdjustClientRect(TRect& Rect) override;
  void CreateParams(cl::TCreateParams& Params) override;
  void Paint() override;
  std::string ClassName() const override { return "TbsSkinScrollBox"; }

 private:
  void GetRange(bool Vertical);
  void VBarChange(rtl::TObject*);
  void HBarChange(rtl::TObject*);
  void BarLastChange(rtl::TObject*);
  void MoveContent(int dx, int dy);
  // Insets of the non-client frame: left, top, right, bottom.
  TRect FrameInsets();
  void PaintFrame(gfx::HDC DC);
  void FrameChanged();

  TbsSkinScrollBar* FVScrollBar = nullptr;
  TbsSkinScrollBar* FHScrollBar = nullptr;
  int FOldVScrollBarPos = 0, FOldHScrollBarPos = 0;
  int FVSizeOffset = 0, FHSizeOffset = 0;
  bool FInCheckScrollBars = false;
  bool FCanFocused = false;
  bool FClicksDisabled = false;
  TbsSkinBorderStyle FBorderStyle = bvFrame;
  int FBGPictureIndex = -1;
};

}  // namespace skin
