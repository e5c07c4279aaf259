// The plain controls the layer itself needs: a push button (default and
// cancel buttons, modal results), a label and a panel, drawn in the classic
// look.
#pragma once

#include "platform/cl/controls.h"

namespace cl {

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

class TButton : public TWinControl {
 public:
  explicit TButton(TComponent* AOwner);
  bool Default() const { return default_; }
  void SetDefault(bool v);
  bool Cancel = false;
  int ModalResult = 0;
  // Also writes the modal result into the parent form.
  void Click() override;
  void Dispatch(TMessage& m) override;

 protected:
  void PaintWindow(gfx::HDC dc) override;
  std::string ClassName() const override { return "TButton"; }

 private:
  bool default_ = false;
  bool active_ = false;  // the button Enter would press
  bool pressed_ = false;
};

class TLabel : public TGraphicControl {
 public:
  explicit TLabel(TComponent* AOwner);
  TAlignment Alignment = taLeftJustify;
  bool Transparent = false;
  bool WordWrap = false;
  bool ShowAccelChar = true;
  void Dispatch(TMessage& m) override;

 protected:
  void Paint() override;
  void AdjustBounds() override;
  std::string ClassName() const override { return "TLabel"; }
};

enum TBevelCut { bvNone, bvLowered, bvRaised };

class TPanel : public TCustomControl {
 public:
  explicit TPanel(TComponent* AOwner);
  TBevelCut BevelOuter = bvRaised;
  TBevelCut BevelInner = bvNone;
  int BevelWidth = 1;

 protected:
  void Paint() override;
  void AdjustClientRect(TRect& r) override;
  std::string ClassName() const override { return "TPanel"; }
};

}  // namespace cl
