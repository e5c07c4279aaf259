// The skinned combo box: a windowed control that shows one row of its list
// and opens the list in a drop-down window (TbsPopupListBox) below itself,
// or above when the work area ends too soon. Fixed style: the control shows
// the selected row and takes the keyboard; edit style: an inner edit lies
// over the item area and completes typed text from the list.
//
// Event order (the main window's preset cascade relies on it):
// - ItemIndex := n: OnChange only when the shown text changes, then OnClick,
//   then Change (also for the same row, and for -1 without OnChange);
// - a pick in the open list: OnChange (text changed), OnClick, Change,
//   OnCloseUp, then the release's OnMouseUp;
// - cancel (Esc, click outside, focus loss, cancel mode): no selection event.
//
// TbsSkinFilterComboBox turns a "description|mask|..." filter into rows.
#pragma once

#include <string>

#include "platform/ctl/edit.h"
#include "skin/controls/bsSkinControls.h"
#include "skin/inputs/bsSkinListBox.h"

namespace skin {

class TbsCustomEdit;

enum TbsSkinCustomComboBoxStyle { bscbEditStyle, bscbFixedStyle };

// Shift-JIS, GB2312 and Big5: the character sets typed through an input method.
bool IsDoubleByteCharset(uint8_t Charset);

struct TbsCBItem {
  TRect R;
  TOwnerDrawState State = 0;
};
struct TbsCBButtonX {
  TRect R;
  bool MouseIn = false;
  bool Down = false;
};

class TbsSkinCustomComboBox : public TbsSkinCustomControl, public TbsPopupAlphaSource {
 public:
  explicit TbsSkinCustomComboBox(cl::TComponent* AOwner);

  // --- list
  rtl::TStrings& Items() { return FListBox->Items(); }
  void SetItems(const rtl::TStrings& S) { FListBox->SetItems(S); }
  int ItemIndex() { return FListBox->ItemIndex(); }
  void SetItemIndex(int Value);
  bool Sorted() const { return FListBox->Sorted(); }
  void SetSorted(bool V) { FListBox->SetSorted(V); }
  int DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int V) {
    if (V > 0) FDropDownCount = V;
  }
  int ListBoxWidth = 0;
  bool AutoComplete = true;
  bool UseSkinSize() const { return FUseSkinSize; }
  void SetUseSkinSize(bool V);
  bool ToolButtonStyle() const { return FToolButtonStyle; }
  void SetToolButtonStyle(bool V);
  TbsSkinCustomComboBoxStyle Style() const { return FStyle; }
  void SetStyle(TbsSkinCustomComboBoxStyle V);
  bool HideSelection = true;
  ctl::TEditCharCase CharCase() const { return FCharCase; }
  void SetCharCase(ctl::TEditCharCase V);
  gfx::TColor DefaultColor() const { return FDefaultColor; }
  void SetDefaultColor(gfx::TColor V);
  cl::TCustomImageList* Images() const { return FListBox->Images(); }
  void SetImages(cl::TCustomImageList* V);
  int ImageIndex() const { return FListBox->ImageIndex(); }
  void SetImageIndex(int V);
  rtl::TStrings& TabWidths() { return FListBox->TabWidths(); }
  bool AlphaBlend = false, AlphaBlendAnimation = false;
  int AlphaBlendValue = 0;
  TbsPopupAlpha PopupAlpha() const override { return {AlphaBlend, AlphaBlendAnimation, AlphaBlendValue}; }
  int SelStart() const;
  void SetSelStart(int V);
  int SelLength() const;
  void SetSelLength(int V);

  // --- drop-down
  virtual void DropDown();
  void CloseUp(bool Value);
  bool IsPopupVisible() const { return FListBox && FListBox->Visible(); }
  bool CanCancelDropDown();
  TbsPopupListBox* PopupList() const { return FListBox; }
  TbsCustomEdit* Edit() const { return FEdit; }
  // Draws the control with AText as the shown text into C at (X, Y).
  void PaintSkinTo(gfx::TCanvas* C, int X, int Y, const std::string& AText);

  rtl::TNotifyEvent OnChange, OnCloseUp, OnDropDown;
  TbsDrawSkinItemEvent OnComboBoxDrawItem;
  void SetOnListBoxDrawItem(TbsDrawSkinItemEvent E) { FListBox->OnDrawItem = std::move(E); }

  // Layout and state, for painting and the tests.
  TbsCBItem CBItem;
  TbsCBButtonX Button;
  int TimerMode = 0;
  bool DroppedDown() const { return FDropDown; }
  int OldItemIndex() const { return FOldItemIndex; }
  void CalcRects();

  void Invalidate() override;
  void GetSkinData() override;
  void ChangeSkinData() override;
  void CalcSize(int& AWidth, int& AHeight) override;
  void SetControlRegion() override;
  void Dispatch(cl::TMessage& Msg) override;

 protected:
  void Destroy() override;
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  virtual void Change() {}
  virtual void CreateEditControl();
  virtual void EditWndProc(cl::TMessage& Msg);
  void CreateControlDefaultImage(gfx::TBitmap* B) override;
  void CreateControlSkinImage(gfx::TBitmap* B) override;
  void DefaultFontChanged() override { Font()->Assign(FDefaultFont); }
  void MouseDown(cl::TMouseButton Btn, cl::TShiftState Shift, int X, int Y) override;
  void MouseMove(cl::TShiftState Shift, int X, int Y) override;
  void MouseUp(cl::TMouseButton Btn, cl::TShiftState Shift, int X, int Y) override;
  void KeyDown(uint16_t& Key, cl::TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void CMMouseEnter(cl::TMessage& Msg) override;
  void CMMouseLeave(cl::TMessage& Msg) override;
  std::string ClassName() const override { return "TbsSkinCustomComboBox"; }

  // Skin copies.
  TRect ActiveSkinRect, SItemRect, ActiveItemRect, FocusItemRect, ItemTextRect, ButtonRect, ActiveButtonRect,
      DownButtonRect, UnEnabledButtonRect;
  int ItemLeftOffset = 0, ItemRightOffset = 0;
  std::string FontName, ListBoxName;
  gfx::TFontStyles FontStyle;
  int FontHeight = 0;
  gfx::TColor FontColor = 0, FocusFontColor = 0, ActiveFontColor = 0;
  bool ItemStretchEffect = false, FocusItemStretchEffect = false, ShowFocus = false;

 private:
  void ListBoxWindowProcHook(cl::TMessage& Msg);
  void HoverRow(int Y);
  void TrackPress();
  void StartTimer();
  void StopTimer();
  void StepUp(bool Commit);
  void StepDown(bool Commit);
  void EditStep(bool Up, bool Commit);
  void FindRow(const std::string& Text, int Start);
  bool IsOwnPart(cl::TControl* C) const;
  gfx::TColor DisabledFontColor();
  int ShownRow();
  void DrawRow(gfx::TCanvas* C, int Row, TRect R, const std::string* AText);
  void DrawDefaultButton(gfx::TCanvas* C);
  void DrawSkinButton(gfx::TCanvas* C);
  void DrawRecordGlyph(gfx::TCanvas* C, const TRect& Area, const TRect& Src, gfx::TColor Transparent, int DY);
  void DrawToolButton(gfx::TBitmap* B, const std::string* AText);
  void PaintSkinItem(gfx::TCanvas* C);
  // The whole look, with the inner edit's text, into a foreign DC.
  void PaintToDC(gfx::HDC dc);
  void PaintDefaultItem(gfx::TCanvas* C);
  bool Hot();
  // A skin record with a hot picture (the edit's text then changes colour).
  bool ActivePicture();
  void EditChange();
  // The character set of the edit's text: the skin texts', else DefaultFont's.
  uint8_t EditCharset();
  // Completes the typed text from the list, the added tail selected.
  void CompleteTypedText();

  TbsPopupListBox* FListBox = nullptr;
  TbsCustomEdit* FEdit = nullptr;
  std::function<void(cl::TMessage&)> FListBoxWindowProc, FEditWindowProc;
  TbsSkinCustomComboBoxStyle FStyle = bscbFixedStyle;
  int FOldItemIndex = -1;
  bool FDropDown = false, FLBDown = false, WasInLB = false;
  uint32_t FLastTime = 0;
  std::string FFilter;
  bool FromEdit = false, FMouseIn = false;
  int FDropDownCount = 8;
  bool FUseSkinSize = true, FToolButtonStyle = false;
  gfx::TColor FDefaultColor = gfx::clWindow;
  bool FNumEdit = false;
  ctl::TEditCharCase FCharCase = ctl::ecNormal;
  int FOutsideHook = 0;
  void WatchOutside(bool On);
};

class TbsSkinComboBox : public TbsSkinCustomComboBox {
 public:
  using TbsSkinCustomComboBox::TbsSkinCustomComboBox;

 protected:
  std::string ClassName() const override { return "TbsSkinComboBox"; }
};

// What a filter combo drives when linked (the skinned file list box).
class TbsFilterTarget {
 public:
  virtual ~TbsFilterTarget() = default;
  virtual void SetMask(const std::string& Mask) = 0;
};

// Rows of a filter string: description and mask pairs split at "|", a
// trailing lone description dropped.
struct TbsFilterRow {
  std::string Description, Mask;
};
std::vector<TbsFilterRow> ParseFilter(const std::string& Filter);

class TbsSkinFilterComboBox : public TbsSkinComboBox {
 public:
  explicit TbsSkinFilterComboBox(cl::TComponent* AOwner);

  const std::string& Filter() const { return FFilter; }
  void SetFilter(const std::string& V);
  // The selected row's mask; with none selected the last row is selected
  // first (with its events); "*.*" for an empty list.
  std::string Mask();
  rtl::TStringList MaskList;
  TbsFilterTarget* FileList() const { return FFileList; }
  void SetFileList(TbsFilterTarget* V) { FFileList = V; }

 protected:
  void CreateWnd() override;
  void Change() override;
  void Click() override;
  std::string ClassName() const override { return "TbsSkinFilterComboBox"; }

 private:
  void BuildList();
  std::string FFilter;
  TbsFilterTarget* FFileList = nullptr;
};

}  // namespace skin
