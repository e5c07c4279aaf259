// The office combo box: a closed control showing the selected office item
// (bold title, picture, caption) and an office list as its drop-down. The
// program's category and format choosers are such boxes in the tool-button
// look.
//
// Every SetItemIndex call fires OnClick, then OnChange (through Change),
// also for an unchanged index and for -1; nothing fires while loading. The
// drop-down never takes the focus: the combo keeps it, captures the mouse
// during a press that belongs to the list, auto-scrolls the list on window
// timer 1 (25 ms) while the pointer is held above or below it, and accepts
// on a release over the list. Keyboard moves commit at once; wheel moves in
// an open list only move its highlight until Enter or a click. A press on
// any other window of the program cancels an open list, as does losing the
// focus.
#pragma once

#include <string>

#include "skin/inputs/bsSkinOfficeList.h"

namespace skin {

class TbsSkinCustomOfficeComboBox : public TbsSkinCustomControl {
 public:
  // The shown item's area and its owner-draw state.
  struct TbsCBItem {
    TRect R;
    unsigned State = 0;
  };
  // The drop-down button.
  struct TbsCBButtonX {
    TRect R;
    bool MouseIn = false;
    bool Down = false;
  };

  explicit TbsSkinCustomOfficeComboBox(cl::TComponent* AOwner);

  TbsSkinOfficeItems* Items() const { return FListBox->Items(); }
  void SetItems(TbsSkinOfficeItems* Value) { FListBox->Items()->Assign(Value); }
  int ItemIndex() const { return FListBox->ItemIndex(); }
  void SetItemIndex(int Value);
  cl::TCustomImageList* Images() const { return FListBox->Images(); }
  void SetImages(cl::TCustomImageList* Value);

  int DropDownCount() const { return FDropDownCount; }
  void SetDropDownCount(int Value) {
    if (Value >= 0) FDropDownCount = Value;
  }
  int ListBoxWidth = 0;
  int ListBoxHeight = 0;

  // Straight through to the drop-down.
  gfx::TFont* ListBoxDefaultFont() { return FListBox->DefaultFont(); }
  void SetListBoxDefaultFont(const gfx::TFont& F) { FListBox->SetDefaultFont(F); }
  bool ListBoxUseSkinFont() const { return FListBox->UseSkinFont(); }
  void SetListBoxUseSkinFont(bool V) { FListBox->SetUseSkinFont(V); }
  bool ListBoxShowItemTitles() const { return FListBox->ShowItemTitles(); }
  void SetListBoxShowItemTitles(bool V) { FListBox->SetShowItemTitles(V); }
  bool ListBoxShowLines() const { return FListBox->ShowLines(); }
  void SetListBoxShowLines(bool V) { FListBox->SetShowLines(V); }
  int ListBoxItemHeight() const { return FListBox->ItemHeight(); }
  void SetListBoxItemHeight(int V) { FListBox->SetItemHeight(V); }
  int ListBoxHeaderHeight() const { return FListBox->HeaderHeight(); }
  void SetListBoxHeaderHeight(int V) { FListBox->SetHeaderHeight(V); }
  // The record name the drop-down uses whenever the combo itself is skinned;
  // kept here so that a skin without a combo record does not lose it.
  const std::string& ListBoxSkinDataName() const { return FListBoxSkinDataName; }
  void SetListBoxSkinDataName(const std::string& V);

  bool ShowItemTitle() const { return FShowItemTitle; }
  void SetShowItemTitle(bool V);
  bool ShowItemImage() const { return FShowItemImage; }
  void SetShowItemImage(bool V);
  bool ShowItemText() const { return FShowItemText; }
  void SetShowItemText(bool V);
  bool ToolButtonStyle() const { return FToolButtonStyle; }
  void SetToolButtonStyle(bool V);
  bool UseSkinSize() const { return FUseSkinSize; }
  void SetUseSkinSize(bool V);
  gfx::TColor DefaultColor() const { return FDefaultColor; }
  void SetDefaultColor(gfx::TColor V);
  bool AlphaBlend() const { return FAlphaBlend; }
  void SetAlphaBlend(bool V) { FAlphaBlend = V; }
  bool AlphaBlendAnimation() const { return FAlphaBlendAnimation; }
  void SetAlphaBlendAnimation(bool V) { FAlphaBlendAnimation = V; }
  uint8_t AlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(uint8_t V) { FAlphaBlendValue = V; }
  bool HideSelection = true;

  rtl::TNotifyEvent OnChange, OnCloseUp, OnDropDown;
  TbsDrawSkinOfficeItemEvent OnDrawItem;

  virtual void Change();
  virtual void DropDown();
  void CloseUp(bool AcceptChanges);
  bool IsPopupVisible() const { return FListBox->Visible(); }
  bool CanCancelDropDown();
  // The control's look with AText in place of the item, drawn on C at X, Y.
  void PaintSkinTo(gfx::TCanvas* C, int X, int Y, const std::string& AText);

  TbsPopupOfficeListBox* ListBox() const { return FListBox; }
  void CalcRects();
  const TbsCBItem& CBItem() const { return FCBItem; }
  const TbsCBButtonX& Button() const { return FButton; }
  bool DroppedDown() const { return FDropDown; }
  // The drop-down's fade-in: a press on the combo stops counting as held.
  void ReleaseButtonHeld() { FLBDown = false; }
  int TimerMode() const { return FTimerMode; }

  void GetSkinData() override;
  void ChangeSkinData() override;
  void CalcSize(int& AWidth, int& AHeight) override;
  void SetControlRegion() override;
  void Dispatch(cl::TMessage& Msg) override;

 protected:
  void Destroy() override;
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  void MouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  void MouseMove(cl::TShiftState Shift, int X, int Y) override;
  void MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  void KeyDown(uint16_t& Key, cl::TShiftState Shift) override;
  void CMMouseEnter(cl::TMessage& Msg) override;
  void CMMouseLeave(cl::TMessage& Msg) override;
  void DefaultFontChanged() override;
  void CreateControlDefaultImage(gfx::TBitmap* B) override;
  void CreateControlSkinImage(gfx::TBitmap* B) override;
  std::string ClassName() const override { return "TbsSkinCustomOfficeComboBox"; }

 private:
  void ListBoxWindowProcHook(cl::TMessage& Msg);
  // While the list is open: a press on any other window closes it (cancel).
  void InstallCancelHook();
  void RemoveCancelHook();
  // A keyboard move: the list's find operation, then SetItemIndex (events).
  void MoveBy(void (TbsSkinOfficeListBox::*Find)());
  void StartTimer(int Mode);
  void StopTimer();
  void TrackList(int X, int Y);
  int ShownIndex() const;
  bool Skinned() const;
  bool IsHotOrFocused();
  // The shown item's title, picture and caption in T (painting Parts).
  void DrawShownContent(gfx::TCanvas* C, int Index, TRect T, const std::string* AText, bool WithTitle);
  TRect ToolButtonContentRect(gfx::TCanvas* C, int Index, TRect T, const std::string* AText);
  void DrawButton(gfx::TCanvas* C);
  void DrawSkinButton(gfx::TCanvas* C);
  void DrawDefaultItem(gfx::TCanvas* C);
  void DrawSkinItem(gfx::TCanvas* C);
  void DrawResizeSkinItem(gfx::TCanvas* C);
  void DrawToolButtonDefault(gfx::TBitmap* B, const std::string* AText);
  void DrawToolButtonSkin(gfx::TBitmap* B, const std::string* AText);
  void DrawSkinArrow(gfx::TCanvas* C, TRect R, TbsDataSkinButtonControl* BR, bool Open, bool Hot);
  void PaintSkinFrame(gfx::TBitmap* B);
  void SetItemFont(gfx::TCanvas* C);
  gfx::TColor GetDisabledFontColor();

  TbsPopupOfficeListBox* FListBox = nullptr;
  std::function<void(cl::TMessage&)> FListBoxWindowProc;
  std::string FListBoxSkinDataName = "listbox";
  int FDropDownCount = 7;
  bool FShowItemTitle = true, FShowItemImage = true, FShowItemText = true;
  bool FToolButtonStyle = false, FUseSkinSize = false;
  gfx::TColor FDefaultColor = gfx::clWindow;
  bool FAlphaBlend = false, FAlphaBlendAnimation = false;
  uint8_t FAlphaBlendValue = 0;
  bool FDropDown = false;
  int FOldItemIndex = -1;
  bool FMouseIn = false;
  bool FLBDown = false;
  bool WasInLB = false;
  int FTimerMode = 0;
  int FCancelHook = 0;
  TbsCBItem FCBItem;
  TbsCBButtonX FButton;
  // Copies of the combo record.
  TRect ActiveSkinRect, SItemRect, ActiveItemRect, FocusItemRect, ItemTextRect, ButtonRect, ActiveButtonRect,
      DownButtonRect, UnEnabledButtonRect;
  int ItemLeftOffset = 0, ItemRightOffset = 0;
  std::string FontName;
  gfx::TFontStyles FontStyle;
  int FontHeight = 0;
  gfx::TColor FontColor = 0, FocusFontColor = 0, ActiveFontColor = 0;
  bool ItemStretchEffect = false, FocusItemStretchEffect = false, ShowFocus = false;
};

class TbsSkinOfficeComboBox : public TbsSkinCustomOfficeComboBox {
 public:
  using TbsSkinCustomOfficeComboBox::TbsSkinCustomOfficeComboBox;

 protected:
  std::string ClassName() const override { return "TbsSkinOfficeComboBox"; }
};

}  // namespace skin
