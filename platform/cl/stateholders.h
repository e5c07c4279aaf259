// Plain controls that hold data and raise events, drawn in a minimal classic
// look: the main window keeps such controls on panels outside its client
// area as state holders (check box, combo box, track bar, memo, list box,
// image). TButton and TPanel live in stdctrls.h.
#pragma once

#include "platform/cl/controls.h"
#include "platform/gfx/graphics.h"
#include "platform/rtl/strlist.h"

namespace cl {

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };

class TCheckBox : public TWinControl {
 public:
  explicit TCheckBox(TComponent* AOwner);
  bool Checked() const { return state_ == cbChecked; }
  // A change runs OnClick, as a user's click does.
  void SetChecked(bool v) { SetState(v ? cbChecked : cbUnchecked); }
  TCheckBoxState State() const { return state_; }
  void SetState(TCheckBoxState s);
  bool AllowGrayed = false;
  void Dispatch(TMessage& m) override;

 protected:
  // The user's toggle: unchecked -> checked (-> grayed) -> unchecked.
  virtual void Toggle();
  void PaintWindow(gfx::HDC dc) override;
  std::string ClassName() const override { return "TCheckBox"; }

 private:
  TCheckBoxState state_ = cbUnchecked;
};

// Items with one selected; Text follows the selection.
class TComboBox : public TWinControl {
 public:
  explicit TComboBox(TComponent* AOwner);
  ~TComboBox() override;
  rtl::TStringList* Items() { return items_; }
  int ItemIndex() const { return itemIndex_; }
  // Code selecting an item raises no OnChange; the user's choice does.
  void SetItemIndex(int i);
  int DropDownCount = 8;
  rtl::TNotifyEvent OnChange, OnSelect;
  void Dispatch(TMessage& m) override;

 protected:
  void Select(int i);  // the user's choice
  void PaintWindow(gfx::HDC dc) override;
  std::string ClassName() const override { return "TComboBox"; }

 private:
  rtl::TStringList* items_;
  int itemIndex_ = -1;
};

enum TTrackBarOrientation { trHorizontal, trVertical };

class TTrackBar : public TWinControl {
 public:
  explicit TTrackBar(TComponent* AOwner);
  int Min() const { return min_; }
  int Max() const { return max_; }
  int Position() const { return position_; }
  void SetMin(int v) { SetParams(position_, v, max_); }
  void SetMax(int v) { SetParams(position_, min_, v); }
  // Kept within Min..Max; a change runs OnChange.
  void SetPosition(int v) { SetParams(v, min_, max_); }
  void SetParams(int position, int min, int max);
  TTrackBarOrientation Orientation = trHorizontal;
  int Frequency = 1;
  int LineSize = 1, PageSize = 2;
  rtl::TNotifyEvent OnChange;
  void Dispatch(TMessage& m) override;

 protected:
  void PaintWindow(gfx::HDC dc) override;
  std::string ClassName() const override { return "TTrackBar"; }

 private:
  int PositionAt(int x, int y);
  int min_ = 0, max_ = 10, position_ = 0;
};

// Lines of text; Text joins them with CR LF.
class TMemo : public TWinControl {
 public:
  explicit TMemo(TComponent* AOwner);
  ~TMemo() override;
  rtl::TStringList* Lines() { return lines_; }
  bool ReadOnly = false;
  bool WordWrap = true;
  rtl::TNotifyEvent OnChange;

 protected:
  std::string GetText() const override;
  void SetTextBuf(const std::string& s) override;
  void PaintWindow(gfx::HDC dc) override;
  std::string ClassName() const override { return "TMemo"; }

 private:
  rtl::TStringList* lines_;
};

class TListBox : public TWinControl {
 public:
  explicit TListBox(TComponent* AOwner);
  ~TListBox() override;
  rtl::TStringList* Items() { return items_; }
  int ItemIndex() const { return itemIndex_; }
  void SetItemIndex(int i);
  int ItemHeight = 13;
  int TopIndex = 0;
  void Dispatch(TMessage& m) override;

 protected:
  void PaintWindow(gfx::HDC dc) override;
  std::string ClassName() const override { return "TListBox"; }

 private:
  rtl::TStringList* items_;
  int itemIndex_ = -1;
};

// A picture drawn at the top-left, centred or stretched.
class TImage : public TGraphicControl {
 public:
  explicit TImage(TComponent* AOwner);
  ~TImage() override;
  gfx::TPicture* Picture() { return picture_; }
  bool Stretch = false, Center = false, Proportional = false, Transparent = false;

 protected:
  void Paint() override;
  std::string ClassName() const override { return "TImage"; }

 private:
  gfx::TPicture* picture_;
};

}  // namespace cl
