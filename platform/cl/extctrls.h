// TBevel and TSplitter: the graphic controls skinned bevels and splitters
// derive from.
#pragma once

#include "platform/cl/controls.h"

namespace cl {

enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

class TBevel : public TGraphicControl {
 public:
  explicit TBevel(TComponent* AOwner);
  TBevelShape Shape() const { return shape_; }
  void SetShape(TBevelShape s);
  TBevelStyle Style() const { return style_; }
  void SetStyle(TBevelStyle s);

 protected:
  void Paint() override;
  std::string ClassName() const override { return "TBevel"; }
  TBevelShape shape_ = bsBox;
  TBevelStyle style_ = bsLowered;
};

enum TResizeStyle { rsNone, rsLine, rsUpdate, rsPattern };
constexpr int crHSplit = -14, crVSplit = -15;

// Aligned to an edge; dragging it resizes the neighbour on that side, kept
// between MinSize and what the other aligned controls leave.
class TSplitter : public TGraphicControl {
 public:
  explicit TSplitter(TComponent* AOwner);
  int MinSize = 30;
  bool AutoSnap = true;
  bool Beveled = false;
  TResizeStyle ResizeStyle = rsPattern;
  rtl::Event<void(rtl::TObject* Sender, int& NewSize, bool& Accept)> OnCanResize;
  rtl::TNotifyEvent OnMoved;

 protected:
  void Paint() override;
  void RequestAlign() override;
  void MouseDown(TMouseButton b, TShiftState s, int x, int y) override;
  void MouseMove(TShiftState s, int x, int y) override;
  void MouseUp(TMouseButton b, TShiftState s, int x, int y) override;
  virtual bool CanResize(int& newSize);
  std::string ClassName() const override { return "TSplitter"; }

 private:
  TControl* FindNeighbour();
  void CalcSplitSize(int x, int y, int& newSize, int& split);
  bool DoCanResize(int& newSize);
  void DrawLine();
  void UpdateControlSize();
  void StopSizing();
  Keep<TControl> control_;
  TPoint downPos_;
  int maxSize_ = 0, newSize_ = 0, oldSize_ = -1, split_ = 0;
  bool lineVisible_ = false;
  TRect lineRect_;
};

}  // namespace cl
