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

enum TTextLayout { tlTop, tlCenter, tlBottom };

// The label base: text drawn through DoDrawText, which descendants replace
// (it also measures, with DT_CALCRECT).
class TCustomLabel : public TGraphicControl {
 public:
  explicit TCustomLabel(TComponent* AOwner);
  TAlignment Alignment() const { return alignment_; }
  void SetAlignment(TAlignment a);
  TTextLayout Layout() const { return layout_; }
  void SetLayout(TTextLayout l);
  bool WordWrap() const { return wordWrap_; }
  void SetWordWrap(bool v);
  bool ShowAccelChar() const { return showAccelChar_; }
  void SetShowAccelChar(bool v);
  bool Transparent() const { return transparent_; }
  void SetTransparent(bool v);
  void Dispatch(TMessage& m) override;

 protected:
  virtual std::string GetLabelText() { return text_; }
  virtual void DoDrawText(TRect& rect, unsigned flags);
  void Paint() override;
  void AdjustBounds() override;
  std::string ClassName() const override { return "TCustomLabel"; }

  TAlignment alignment_ = taLeftJustify;
  TTextLayout layout_ = tlTop;
  bool wordWrap_ = false;
  bool showAccelChar_ = true;
  bool transparent_ = false;
};

class TLabel : public TCustomLabel {
 public:
  using TCustomLabel::TCustomLabel;

 protected:
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
