// The single-line edit core (TCustomEdit, TEdit, TCustomMaskEdit): text and
// selection in code points, caret, keyboard and mouse editing, the clipboard
// messages, one level of undo, the EM_* surface, and painting that honours
// the brush the parent answers to CN_CTLCOLOREDIT (a null brush paints
// transparently) and a DC passed in WM_PAINT's wParam.
//
// The engine sits where a native edit's window procedure would: in
// DefaultHandler. So a descendant that handles a message without calling the
// inherited handler vetoes it (WM_CUT, WM_PASTE, WM_CLEAR, WM_UNDO, a key),
// and typed characters reach it only after KeyPress (#0 drops them).
// platform/ctl/BEHAVIOUR.md records the choices.
#pragma once

#include "platform/cl/controls.h"
#include "platform/cl/forms.h"
#include "platform/cl/stdctrls.h"

#include <string>

namespace ctl {

using cl::TComponent;
using cl::TCreateParams;
using cl::TMessage;
using cl::TShiftState;
using gfx::TPoint;
using gfx::TRect;

enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };

class TCustomEdit : public cl::TWinControl {
 public:
  explicit TCustomEdit(TComponent* AOwner);

  // ---- selection, in code points
  int SelStart() const;
  void SetSelStart(int v);
  int SelLength() const;
  void SetSelLength(int v);
  std::string SelText() const;
  // Replaces the selection (an undoable change).
  void SetSelText(const std::string& s);
  void SelectAll();
  void ClearSelection();  // WM_CLEAR

  // ---- clipboard and undo, each a message the control can veto
  void CutToClipboard();      // WM_CUT
  void CopyToClipboard();     // WM_COPY
  void PasteFromClipboard();  // WM_PASTE
  void Undo();                // WM_UNDO
  void ClearUndo();           // EM_EMPTYUNDOBUFFER
  bool CanUndo();             // EM_CANUNDO

  // ---- properties
  bool Modified() const { return modified_; }
  void SetModified(bool v) { modified_ = v; }
  bool ReadOnly() const { return readOnly_; }
  void SetReadOnly(bool v);
  int MaxLength() const { return maxLength_; }  // 0 = no limit
  void SetMaxLength(int v);
  char32_t PasswordChar() const { return passwordChar_; }
  void SetPasswordChar(char32_t c);
  TEditCharCase CharCase() const { return charCase_; }
  void SetCharCase(TEditCharCase c);
  bool AutoSelect = true;
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool v);
  cl::TAlignment Alignment() const { return alignment_; }
  void SetAlignment(cl::TAlignment a);
  cl::TBorderStyle BorderStyle() const { return borderStyle_; }
  void SetBorderStyle(cl::TBorderStyle b);

  // ---- geometry (client coordinates)
  TRect FormatRect() const;             // EM_GETRECT
  int CharFromPos(TPoint p) const;      // EM_CHARFROMPOS
  TPoint PosFromChar(int index) const;  // EM_POSFROMCHAR (the caret's top-left)
  std::u32string Preedit() const { return preedit_; }

  rtl::TNotifyEvent OnChange;

  void Dispatch(TMessage& m) override;
  void DefaultHandler(TMessage& m) override;

 protected:
  // After every change of the text.
  virtual void Change();
  // The colour of the text while the edit is disabled.
  virtual gfx::TColor DisabledTextColor() { return gfx::clGrayText; }
  void CreateParams(TCreateParams& p) override;
  void CreateWnd() override;
  std::string GetText() const override;
  void SetTextBuf(const std::string& s) override;
  std::string ClassName() const override { return "TCustomEdit"; }

 private:
  struct Snapshot {
    std::u32string text;
    int anchor = 0, caret = 0;
  };
  // Engine pieces.
  void Replace(int from, int to, std::u32string_view with, bool user, bool typing);
  void SetSel(int anchor, int caret, bool scroll = true);
  void MoveCaret(int pos, bool extend);
  int WordLeft(int pos) const;
  int WordRight(int pos) const;
  void SelectWordAt(int pos);
  std::u32string Cased(std::u32string_view s) const;
  std::u32string DisplayText() const;
  const std::vector<int>& Positions() const;
  int TextWidth() const;
  int AlignOffset() const;
  int ScreenX(int index) const;
  void ScrollToCaret();
  void UpdateCaret();
  void Redraw();
  int LineHeight() const;
  cl::TAlignment StyleAlignment() const;
  void EnginePaint(gfx::HDC dc);
  gfx::HBRUSH ColorBrush(gfx::HDC dc);
  bool KeyDownEngine(uint16_t key);
  void CharEngine(char32_t ch);
  void MouseEngine(TMessage& m);

  std::u32string text_u32_;
  int anchor_ = 0, caret_ = 0;
  int scrollX_ = 0;
  bool hasFmtRect_ = false;
  TRect fmtRect_;
  int leftMargin_ = 1, rightMargin_ = 1;
  Snapshot undo_;
  bool canUndo_ = false;
  bool typingRun_ = false;
  bool modified_ = false;
  bool readOnly_ = false;
  int maxLength_ = 0;
  char32_t passwordChar_ = 0;
  TEditCharCase charCase_ = ecNormal;
  bool hideSelection_ = true;
  cl::TAlignment alignment_ = cl::taLeftJustify;
  cl::TBorderStyle borderStyle_ = cl::bsNone;
  bool selecting_ = false;
  bool mouseFocusing_ = false;
  bool caretOwned_ = false;
  std::u32string preedit_;
  int preeditCursor_ = 0;
  mutable std::vector<int> pos_;
  mutable bool posValid_ = false;
};

class TEdit : public TCustomEdit {
 public:
  using TCustomEdit::TCustomEdit;

 protected:
  std::string ClassName() const override { return "TEdit"; }
};

// Edit masks are never set by the program, so the mask edit adds nothing.
class TCustomMaskEdit : public TCustomEdit {
 public:
  using TCustomEdit::TCustomEdit;

 protected:
  std::string ClassName() const override { return "TCustomMaskEdit"; }
};

}  // namespace ctl
