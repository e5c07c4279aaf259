// The skinned list box: a container (TbsSkinCustomListBox) around an
// owner-drawn inner list (TbsListBox) that keeps the rows, the selection and
// the scroll records. The container replaces the inner list's scroll bars
// with skinned ones that exist only while the rows do not fit, can show a
// caption bar with up, down and check buttons (auto-repeat on window timer
// 1), and draws its frame from the "listbox" record or the classic look.
//
// TbsPopupListBox is the same list as a top-level popup that never takes the
// activation: the drop-down window of the skinned combo boxes.
#pragma once

#include <array>
#include <string>

#include "platform/ctl/listbox.h"
#include "platform/rtl/strlist.h"
#include "skin/controls/bsSkinControls.h"
#include "skin/controls/bsSkinScrollBar.h"

namespace skin {

using ctl::TOwnerDrawState;
// Owner drawing of a row of the skinned lists and combo boxes.
using TbsDrawSkinItemEvent = rtl::Event<void(gfx::TCanvas* Cnvs, int Index, int ItemWidth, int ItemHeight,
                                             TRect TxtRect, TOwnerDrawState State)>;

// Tab stops from lines of digits: the first ten lines, each a number when it
// holds only the digits 0-9, else 0 (also when empty or too long).
std::vector<int> TabStopsFrom(const rtl::TStrings& Lines);

class TbsSkinCustomListBox;

// The inner list: paints every row itself, forwards its input to the
// container and tells it when the scroll records may have changed.
class TbsListBox : public ctl::TListBox {
 public:
  explicit TbsListBox(cl::TComponent* AOwner);

  TbsSkinCustomListBox* SkinListBox = nullptr;
  int HorizontalExtentValue() const { return FHorizontalExtentValue; }
  void SetHorizontalExtentValue(int V) { FHorizontalExtentValue = V; }

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void WndProc(cl::TMessage& Msg) override;
  // The row `Index` as it is painted, into `C` at `R` (also for the tests).
  void PaintItem(gfx::TCanvas* C, int Index, TRect R, TOwnerDrawState State);

 protected:
  void CreateWnd() override;
  void PaintWindow(gfx::HDC dc) override;
  void DrawItem(int index, TRect rect, TOwnerDrawState state) override;
  void MouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  void MouseMove(cl::TShiftState Shift, int X, int Y) override;
  void MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  void KeyDown(uint16_t& Key, cl::TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  void Click() override;
  std::string ClassName() const override { return "TbsListBox"; }

 private:
  void FillBackground(gfx::TCanvas* C, const TRect& R);
  // The whole background into a DC the caller gives (nothing for none).
  void FillBackgroundTo(gfx::HDC DC);
  int FHorizontalExtentValue = 0;
};

class TbsSkinCustomListBox : public TbsSkinCustomControl {
 public:
  explicit TbsSkinCustomListBox(cl::TComponent* AOwner);

  TbsListBox* ListBox = nullptr;
  TbsSkinScrollBar* ScrollBar = nullptr;
  TbsSkinScrollBar* HScrollBar = nullptr;

  rtl::TStrings& Items() { return ListBox->Items(); }
  void SetItems(const rtl::TStrings& S);
  int ItemIndex() { return ListBox->ItemIndex(); }
  void SetItemIndex(int V) { ListBox->SetItemIndex(V); }
  int TopIndex() { return ListBox->TopIndex(); }
  void SetTopIndex(int V) { ListBox->SetTopIndex(V); }
  bool Sorted() const { return ListBox->Sorted(); }
  void SetSorted(bool V);
  int Columns() const { return ListBox->Columns(); }
  void SetColumns(int V);
  int ItemAtPos(TPoint P, bool Existing) { return ListBox->ItemAtPos(P, Existing); }
  TRect ItemRect(int Index) { return ListBox->ItemRect(Index); }
  void Clear();

  int RowCount() const { return FRowCount; }
  void SetRowCount(int V);
  bool HorizontalExtent() const { return FHorizontalExtent; }
  void SetHorizontalExtent(bool V);
  int DefaultItemHeight() const { return FDefaultItemHeight; }
  void SetDefaultItemHeight(int V);
  bool UseSkinItemHeight = true;
  bool CaptionMode() const { return FCaptionMode; }
  void SetCaptionMode(bool V);
  int DefaultCaptionHeight() const { return FDefaultCaptionHeight; }
  void SetDefaultCaptionHeight(int V);
  gfx::TFont* DefaultCaptionFont() { return &FDefaultCaptionFont; }
  // The glyph strip shown before the caption (cell 2: the disabled look).
  gfx::TBitmap* Glyph() { return &FGlyph; }
  void SetGlyph(const gfx::TBitmap* Value);
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int Value);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int Value);
  cl::TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(cl::TAlignment V);
  bool ShowCaptionButtons() const { return FShowCaptionButtons; }
  void SetShowCaptionButtons(bool V);
  cl::TCustomImageList* Images() const { return FImages; }
  void SetImages(cl::TCustomImageList* V);
  int ImageIndex() const { return FImageIndex; }
  void SetImageIndex(int V);
  rtl::TStrings& TabWidths() { return FTabWidths; }
  void SetTabWidths(const rtl::TStrings& V);

  // Height that shows exactly AItemsCount rows.
  int CalcHeight(int AItemsCount);
  // Brings the skinned bars in step with the inner list's scroll records.
  void UpDateScrollBar();
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void GetSkinData() override;
  void ChangeSkinData() override;
  void Dispatch(cl::TMessage& Msg) override;

  // Caption buttons: 0 up, 1 down, 2 check.
  struct TButton {
    TRect R;
    bool MouseIn = false;
    bool Down = false;
  };
  std::array<TButton, 3> Buttons{};
  int TimerMode = 0;
  bool WaitMode = false;
  TRect ListRect;

  TbsDrawSkinItemEvent OnDrawItem;
  rtl::TNotifyEvent OnUpButtonClick, OnDownButtonClick, OnCheckButtonClick;
  rtl::TNotifyEvent OnListBoxClick, OnListBoxDblClick;
  cl::TMouseEvent OnListBoxMouseDown, OnListBoxMouseUp;
  cl::TMouseMoveEvent OnListBoxMouseMove;
  cl::TKeyEvent OnListBoxKeyDown, OnListBoxKeyUp;
  cl::TKeyPressEvent OnListBoxKeyPress;

  // The inner list calls these; descendants override them.
  virtual int GetItemWidth(int Index, gfx::TCanvas* C);
  virtual void ListBoxMouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y);
  virtual void ListBoxMouseMove(cl::TShiftState Shift, int X, int Y);
  virtual void ListBoxMouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y);
  virtual void ListBoxClick();
  virtual void ListBoxDblClick();
  virtual void ListBoxKeyDown(uint16_t& Key, cl::TShiftState Shift);
  virtual void ListBoxKeyUp(uint16_t& Key, cl::TShiftState Shift);
  virtual void ListBoxKeyPress(char32_t& Key);
  virtual void ListBoxEnter() {}
  virtual void ListBoxExit() {}
  // Handled false drops the message before the inner list sees it.
  virtual void ListBoxWProc(cl::TMessage& Msg, bool& Handled);
  virtual void ListBoxCreateWnd() {}

  // Skin copies the inner list paints with.
  TRect SItemRect, ActiveItemRect, FocusItemRect, ItemTextRect, CaptionRect;
  int ItemLeftOffset = 0, ItemRightOffset = 0;
  std::string FontName, CaptionFontName;
  gfx::TFontStyles FontStyle, CaptionFontStyle;
  int FontHeight = 0, CaptionFontHeight = 0;
  gfx::TColor FontColor = 0, ActiveFontColor = 0, FocusFontColor = 0, CaptionFontColor = 0;
  TRect UpButtonRect, ActiveUpButtonRect, DownUpButtonRect, DownButtonRect, ActiveDownButtonRect, DownDownButtonRect,
      CheckButtonRect, ActiveCheckButtonRect, DownCheckButtonRect, DisabledButtonsRect, ButtonsArea;
  std::string VScrollBarName, HScrollBarName, BothScrollBarName;
  bool ShowFocus = false;
  gfx::TBitmap* SkinPictureNow() { return Picture; }
  TRect SkinClRect() const { return G.ClRect; }
  TRect SkinRectNow() const { return G.SkinRect; }
  bool SkinStretch() const { return G.StretchEffect; }

 protected:
  void Destroy() override;
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  void CreateParams(cl::TCreateParams& Params) override;
  void CreateControlDefaultImage(gfx::TBitmap* B) override;
  void CreateControlSkinImage(gfx::TBitmap* B) override;
  void DefaultFontChanged() override;
  void MouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  void MouseMove(cl::TShiftState Shift, int X, int Y) override;
  void MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  void CMMouseEnter(cl::TMessage& Msg) override;
  void CMMouseLeave(cl::TMessage& Msg) override;
  std::string ClassName() const override { return "TbsSkinCustomListBox"; }

  void ShowSkinScrollBar();
  void HideSkinScrollBar();
  void ShowSkinHScrollBar();
  void HideSkinHScrollBar();
  void SetScrollBarNames();
  void Layout();
  void TestActive(int X, int Y);
  void DrawButton(gfx::TCanvas* C, int I);
  void ButtonAction(int I);
  void StartRepeat(int Ms);
  void StopRepeat();

  bool FShowCaptionButtons = true;
  rtl::TStringList FTabWidths;
  bool FHorizontalExtent = false;
  bool FStopUpDateHScrollBar = false;
  int FRowCount = 0;
  cl::TCustomImageList* FImages = nullptr;
  int FImageIndex = -1;
  int FDefaultItemHeight = 20;
  int FDefaultCaptionHeight = 20;
  gfx::TFont FDefaultCaptionFont;
  gfx::TBitmap FGlyph;
  int FNumGlyphs = 1, FSpacing = 2;
  // The caption text at x with the glyph in front of it, x moving past the
  // glyph; W of the caption grows by the glyph's cell and the spacing.
  int CaptionGlyphWidth() const;
  void DrawCaptionGlyph(gfx::TCanvas* C, int& X, const TRect& R, int DY);
  bool FCaptionMode = false;
  cl::TAlignment FAlignment = cl::taLeftJustify;
  int OldActiveButton = -1, ActiveButton = -1, CaptureButton = -1;
  TRect NewCaptionRect;

  friend class TbsListBox;
};

class TbsSkinListBox : public TbsSkinCustomListBox {
 public:
  using TbsSkinCustomListBox::TbsSkinCustomListBox;

 protected:
  std::string ClassName() const override { return "TbsSkinListBox"; }
};

// Where a drop-down list takes its translucency from (the skinned combo box).
struct TbsPopupAlpha {
  bool AlphaBlend = false;
  bool AlphaBlendAnimation = false;
  int AlphaBlendValue = 0;
};
class TbsPopupAlphaSource {
 public:
  virtual ~TbsPopupAlphaSource() = default;
  virtual TbsPopupAlpha PopupAlpha() const = 0;
};

// The drop-down window: a top-level popup that never activates.
class TbsPopupListBox : public TbsSkinListBox {
 public:
  explicit TbsPopupListBox(cl::TComponent* AOwner);

  // Shows the window at Origin (screen) without activation, keeping its size.
  void Show(TPoint Origin);
  void Hide();
  bool OldAlphaBlend() const { return FOldAlphaBlend; }
  int OldAlphaBlendValue() const { return FOldAlphaBlendValue; }
  // The alpha values a fade-in steps through for Target (tests, figures).
  static std::vector<int> FadeSteps(int Target);

  void Dispatch(cl::TMessage& Msg) override;

 protected:
  void CreateParams(cl::TCreateParams& Params) override;
  std::string ClassName() const override { return "TbsPopupListBox"; }

 private:
  bool FOldAlphaBlend = false;
  int FOldAlphaBlendValue = 0;
};

}  // namespace skin
