// The edits of the skinned library.
//
// TbsCustomEdit: the single-line edit every skinned edit builds on. Its own
// ReadOnly filters input (typing, Backspace, Delete, cut, paste, clear and
// undo are dropped; the caret, selection and copying keep working), Enter
// and Esc go to the form as dialog keys, and the context menu is a skinned
// popup menu with the skin's EDIT_* texts.
//
// TbsSkinCustomEdit / TbsSkinEdit: the frame drawn from the "edit" record
// (or "buttonedit" with a push button) in the non-client area, the text
// over the skin's client strip, an optional push button at the right.
//
// TbsSkinNumEdit: accepts numbers only (integer or decimal).
#pragma once

#include <string>

#include "platform/ctl/edit.h"
#include "skin/controls/bsSkinControls.h"
#include "skin/data/bsSkinData.h"

namespace skin {

class TbsSkinPopupMenu;

using TbsOnEditCancelMode = rtl::Event<void(cl::TControl* Sender)>;

class TbsCustomEdit : public ctl::TCustomMaskEdit {
 public:
  explicit TbsCustomEdit(cl::TComponent* AOwner);

  bool ReadOnly() const { return FReadOnly; }
  void SetReadOnly(bool V) { FReadOnly = V; }
  bool EditTransparent() const { return FEditTransparent; }
  void SetEditTransparent(bool V);
  TbsOnEditCancelMode OnEditCancelMode;
  rtl::TNotifyEvent OnUp, OnDown;
  // The context menu while it exists.
  TbsSkinPopupMenu* SysPopupMenu() const { return FSysPopupMenu; }
  // Which of Undo, Cut, Copy, Paste, Delete and Select All the context menu
  // offers enabled now.
  struct TMenuState {
    bool Undo, Cut, Copy, Paste, Delete, SelectAll;
  };
  TMenuState MenuState();
  // Skin whose resource strings name the menu items when the form has no
  // skinning component (nullptr: the form's, else the built-in texts).
  TbsSkinData* MenuSkinData = nullptr;

  void Dispatch(cl::TMessage& Msg) override;
  void Invalidate() override;

 protected:
  void Destroy() override;
  void CreateParams(cl::TCreateParams& Params) override;
  void Change() override;
  void ShowContextMenu(int X, int Y);
  std::string ClassName() const override { return "TbsCustomEdit"; }

  bool FDown = false;
  bool FReadOnly = false;
  bool FEditTransparent = false;
  TbsSkinPopupMenu* FSysPopupMenu = nullptr;
};

class TbsSkinCustomEdit : public TbsCustomEdit, public TbsSkinChangeable {
 public:
  explicit TbsSkinCustomEdit(cl::TComponent* AOwner);

  TbsSkinData* SkinData() const override { return FSD; }
  void SetSkinData(TbsSkinData* Value);
  const std::string& SkinDataName() const { return FSkinDataName; }
  void SetSkinDataName(const std::string& V) { FSkinDataName = V; }
  void ChangeSkinData() override;
  int SkinIndex() const { return FIndex; }

  gfx::TFont* DefaultFont() { return &FDefaultFont; }
  void SetDefaultFont(const gfx::TFont& V);
  gfx::TColor DefaultColor() const { return FDefaultColor; }
  void SetDefaultColor(gfx::TColor V);
  int DefaultWidth() const { return FDefaultWidth; }
  void SetDefaultWidth(int V);
  int DefaultHeight() const { return FDefaultHeight; }
  void SetDefaultHeight(int V);
  bool UseSkinFont = true;
  bool ButtonMode() const { return FButtonMode; }
  void SetButtonMode(bool V);
  cl::TAlignment EditAlignment() const { return FEditAlignment; }
  void SetEditAlignment(cl::TAlignment V);
  rtl::TNotifyEvent OnButtonClick, OnMouseEnter, OnMouseLeave;

  // Image buttons inside the text area (client coordinates): an index >= 0
  // places the button; the text keeps clear of it.
  struct TImageButton {
    TRect R;
    bool MouseIn = false;
    bool Down = false;
  };
  TImageButton LeftButton, RightButton;
  cl::TCustomImageList* Images() const { return FImages; }
  void SetImages(cl::TCustomImageList* V);
  int LeftImageIndex() const { return FLeftImageIndex; }
  void SetLeftImageIndex(int V);
  int RightImageIndex() const { return FRightImageIndex; }
  void SetRightImageIndex(int V);
  int LeftImageHotIndex = -1, LeftImageDownIndex = -1, RightImageHotIndex = -1, RightImageDownIndex = -1;
  rtl::TNotifyEvent OnLeftButtonClick, OnRightButtonClick;
  // Places the image buttons and gives the rest to the text.
  void PlaceImageButtons();

  // Rectangles in window coordinates (recomputed from the size and skin).
  void CalcRects();
  TRect EditRect() const { return FEditRect; }
  TRect ButtonRect() const { return FButtonRect; }
  // Non-client insets: left, top, right, bottom.
  TRect NCInsets();
  // The look without text, into C at the control's size.
  void PaintFrame(gfx::TCanvas* C);
  void PaintSkinTo(gfx::TCanvas* C, int X, int Y, const std::string& AText);

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void Dispatch(cl::TMessage& Msg) override;

 protected:
  void Destroy() override;
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  void CreateParams(cl::TCreateParams& Params) override;
  void GetSkinData();
  void RepaintFrame();
  int FontHeightNow();
  // The skin's disabled font colour; the system's grey without a record.
  gfx::TColor DisabledTextColor() override;
  std::string ClassName() const override { return "TbsSkinCustomEdit"; }

  TbsSkinData* FSD = nullptr;
  std::string FSkinDataName = "edit";
  int FIndex = -1;
  gfx::TBitmap* Picture = nullptr;
  TRect SkinRect, ActiveSkinRect, ClRect, SButtonRect, ActiveButtonRect, DownButtonRect, UnEnabledButtonRect;
  int LOffset = 0, ROffset = 0;
  std::string FontName;
  gfx::TFontStyles FontStyle;
  int FontHeight = 0;
  gfx::TColor FontColor = 0, DisabledFontColor = 0, ActiveFontColor = 0;
  bool StretchEffect = false;
  gfx::TFont FDefaultFont;
  gfx::TColor FDefaultColor = gfx::clWindow;
  int FDefaultWidth = 0, FDefaultHeight = 0;
  bool FButtonMode = false, FButtonDown = false, FButtonActive = false, FMouseIn = false;
  cl::TAlignment FEditAlignment = cl::taLeftJustify;
  TRect FEditRect, FButtonRect;
  cl::TCustomImageList* FImages = nullptr;
  int FLeftImageIndex = -1, FRightImageIndex = -1;
  void DrawImageButtons(gfx::TCanvas* C);
  // The look without text into B at the control's size: the hot strip when
  // Hot, the push button's hot, pressed and disabled parts when ButtonStates.
  void DrawLook(gfx::TBitmap* B, bool Hot, bool ButtonStates);
  void DrawResizableButton(gfx::TCanvas* C, bool Down, bool Hot);
};

class TbsSkinEdit : public TbsSkinCustomEdit {
 public:
  using TbsSkinCustomEdit::TbsSkinCustomEdit;

 protected:
  std::string ClassName() const override { return "TbsSkinEdit"; }
};

// Whether a numeric edit takes the typed character Key, judging the
// character alone: digits, one "-", one decimal separator (decimal mode) and
// control characters but Enter; with the editor locked nothing printable,
// no Backspace and no ".".
bool NumEditAccepts(bool Float, bool EditorEnabled, const std::u32string& Text, char32_t Key,
                    char32_t DecimalSeparator = U'.');

class TbsSkinNumEdit : public TbsCustomEdit {
 public:
  explicit TbsSkinNumEdit(cl::TComponent* AOwner);

  bool Float = false;
  bool EditorEnabled = true;
  char32_t DecimalSeparator = U'.';
  // Up and Down keys and the wheel call these; an up-down pair (a seam for
  // the spin buttons) may call them too.
  rtl::TNotifyEvent OnUpClick, OnDownClick;
  rtl::TNotifyEvent OnMouseEnter, OnMouseLeave;

  void Dispatch(cl::TMessage& Msg) override;

 protected:
  // Up and Down never reach the inherited handling; a filtered character
  // reaches it only while it is still accepted.
  void KeyDown(uint16_t& Key, cl::TShiftState Shift) override;
  void KeyPress(char32_t& Key) override;
  std::string ClassName() const override { return "TbsSkinNumEdit"; }
};

}  // namespace skin
