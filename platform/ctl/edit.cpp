#include "platform/ctl/edit.h"

#include "platform/ctl/commctrl.h"
#include "platform/ctl/internal.h"
#include "platform/gfx/dc.h"
#include "platform/gfx/graphics.h"
#include "platform/gfx/raster.h"
#include "platform/gfx/text.h"
#include "platform/rtl/env.h"
#include "platform/rtl/strings.h"
#include "platform/win/caret.h"
#include "platform/win/clipboard.h"
#include "platform/win/cursor.h"

#include <algorithm>

namespace ctl {

using namespace win;
using detail::Send;

namespace {
enum CharClass { kSpace, kWord, kPunct };

CharClass ClassOf(char32_t c) {
  if (c == ' ' || c == '\t' || c == 0x3000 || c == 0xA0) return kSpace;
  if (c < 0x80) return (std::isalnum(int(c)) || c == '_') ? kWord : kPunct;
  if ((c >= 0x2000 && c <= 0x206F) || (c >= 0x3001 && c <= 0x303F) || (c >= 0xFF01 && c <= 0xFF0F) ||
      (c >= 0xFF1A && c <= 0xFF20))
    return kPunct;
  return kWord;
}

bool Pressed(int vk) { return GetKeyState(vk) < 0; }
}  // namespace

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
  ControlStyle = cl::csClickEvents | cl::csSetCaption | cl::csDoubleClicks | cl::csCaptureMouse;
  width_ = 121;
  height_ = 21;
  tabStop_ = true;
  color_ = gfx::clWindow;
  brush_.SetColor(color_);
  parentColor_ = false;
}

// ============================================================================ properties

int TCustomEdit::SelStart() const { return std::min(anchor_, caret_); }
int TCustomEdit::SelLength() const { return std::abs(caret_ - anchor_); }

void TCustomEdit::SetSelStart(int v) {
  v = std::clamp(v, 0, int(text_u32_.size()));
  SetSel(v, v);
}

void TCustomEdit::SetSelLength(int v) {
  int s = SelStart();
  SetSel(s, std::clamp(s + v, 0, int(text_u32_.size())));
}

std::string TCustomEdit::SelText() const {
  return rtl::FromUtf32(std::u32string_view(text_u32_).substr(size_t(SelStart()), size_t(SelLength())));
}

void TCustomEdit::SetSelText(const std::string& s) {
  Replace(SelStart(), SelStart() + SelLength(), Cased(rtl::ToUtf32(s)), true, false);
}

void TCustomEdit::SelectAll() { SetSel(0, int(text_u32_.size())); }

void TCustomEdit::ClearSelection() { Send(this, WM_CLEAR); }
void TCustomEdit::CutToClipboard() { Send(this, WM_CUT); }
void TCustomEdit::CopyToClipboard() { Send(this, WM_COPY); }
void TCustomEdit::PasteFromClipboard() { Send(this, WM_PASTE); }
void TCustomEdit::Undo() { Send(this, WM_UNDO); }
void TCustomEdit::ClearUndo() { Send(this, EM_EMPTYUNDOBUFFER); }
bool TCustomEdit::CanUndo() { return Send(this, EM_CANUNDO) != 0; }

void TCustomEdit::SetReadOnly(bool v) {
  if (HandleAllocated())
    SendMessage(handle_, EM_SETREADONLY, v ? 1 : 0);
  else
    readOnly_ = v;
}

void TCustomEdit::SetMaxLength(int v) { Send(this, EM_LIMITTEXT, WPARAM(std::max(0, v))); }

void TCustomEdit::SetPasswordChar(char32_t c) { Send(this, EM_SETPASSWORDCHAR, WPARAM(c)); }

void TCustomEdit::SetCharCase(TEditCharCase c) {
  if (c == charCase_) return;
  charCase_ = c;
  if (c == ecNormal) return;
  std::u32string cased = Cased(text_u32_);
  if (cased != text_u32_) {
    int a = anchor_, k = caret_;
    Replace(0, int(text_u32_.size()), cased, false, false);
    SetSel(a, k);
  }
}

void TCustomEdit::SetHideSelection(bool v) {
  if (v == hideSelection_) return;
  hideSelection_ = v;
  Redraw();
}

void TCustomEdit::SetAlignment(cl::TAlignment a) {
  if (a == alignment_) return;
  alignment_ = a;
  RecreateWnd();
  Redraw();
}

void TCustomEdit::SetBorderStyle(cl::TBorderStyle b) {
  if (b == borderStyle_) return;
  borderStyle_ = b;
  RecreateWnd();
}

void TCustomEdit::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.Style |= ES_AUTOHSCROLL;
  p.WindowClass.cursor = IDC_IBEAM;
  if (readOnly_) p.Style |= ES_READONLY;
  if (!hideSelection_) p.Style |= ES_NOHIDESEL;
  if (charCase_ == ecUpperCase) p.Style |= ES_UPPERCASE;
  if (charCase_ == ecLowerCase) p.Style |= ES_LOWERCASE;
  if (alignment_ == cl::taRightJustify) p.Style |= ES_RIGHT;
  if (alignment_ == cl::taCenter) p.Style |= ES_CENTER;
  if (borderStyle_ != cl::bsNone) p.ExStyle |= WS_EX_CLIENTEDGE;
  p.Caption = rtl::FromUtf32(text_u32_);
}

void TCustomEdit::CreateWnd() {
  TWinControl::CreateWnd();
  if (HandleAllocated()) Perform(WM_SETFONT, WPARAM(font_.Handle().v), 0);
}

std::string TCustomEdit::GetText() const {
  if (handle_ && IsWindow(handle_)) return TWinControl::GetText();
  return rtl::FromUtf32(text_u32_);
}

void TCustomEdit::SetTextBuf(const std::string& s) {
  if (HandleAllocated()) {
    TWinControl::SetTextBuf(s);
    return;
  }
  text_u32_ = Cased(rtl::ToUtf32(s));
  text_ = rtl::FromUtf32(text_u32_);
  anchor_ = caret_ = 0;
  scrollX_ = 0;
  canUndo_ = false;
  modified_ = false;
  posValid_ = false;
  Change();
}

void TCustomEdit::Change() { OnChange(this); }

// ============================================================================ geometry

int TCustomEdit::LineHeight() const {
  gfx::FontMetrics m = gfx::TextEngine().Metrics(font_.LogFont());
  return m.ascent + m.descent;
}

TRect TCustomEdit::FormatRect() const {
  if (hasFmtRect_) return fmtRect_;
  TRect c{0, 0, width_, height_};
  if (handle_ && IsWindow(handle_)) GetClientRect(handle_, &c);
  c.Left += leftMargin_;
  c.Right -= rightMargin_;
  if (c.Right < c.Left) c.Right = c.Left;
  return c;
}

std::u32string TCustomEdit::DisplayText() const {
  std::u32string d = passwordChar_ ? std::u32string(text_u32_.size(), passwordChar_) : text_u32_;
  if (!preedit_.empty()) d.insert(size_t(caret_), preedit_);
  return d;
}

const std::vector<int>& TCustomEdit::Positions() const {
  if (posValid_) return pos_;
  std::u32string d = DisplayText();
  gfx::LOGFONT lf = font_.LogFont();
  pos_.assign(d.size() + 1, 0);
  for (size_t i = 1; i <= d.size(); i++) pos_[i] = gfx::TextEngine().Width(lf, std::u32string_view(d).substr(0, i));
  posValid_ = true;
  return pos_;
}

int TCustomEdit::TextWidth() const { return Positions().back(); }

cl::TAlignment TCustomEdit::StyleAlignment() const {
  if (!handle_ || !IsWindow(handle_)) return alignment_;
  LONG_PTR s = GetWindowLong(handle_, GWL_STYLE);
  if (s & ES_RIGHT) return cl::taRightJustify;
  if (s & ES_CENTER) return cl::taCenter;
  return cl::taLeftJustify;
}

int TCustomEdit::AlignOffset() const {
  TRect a = FormatRect();
  int free = a.Width() - TextWidth();
  if (free <= 0) return 0;
  switch (StyleAlignment()) {
    case cl::taRightJustify:
      return free - 1;
    case cl::taCenter:
      return free / 2;
    default:
      return 0;
  }
}

// Display index of a text index: the preedit sits at the caret.
static int DisplayIndex(int index, int caret, int preeditLen) { return index <= caret ? index : index + preeditLen; }

int TCustomEdit::ScreenX(int displayIndex) const {
  const std::vector<int>& p = Positions();
  displayIndex = std::clamp(displayIndex, 0, int(p.size()) - 1);
  return FormatRect().Left + AlignOffset() + p[size_t(displayIndex)] - scrollX_;
}

int TCustomEdit::CharFromPos(TPoint pt) const {
  const std::vector<int>& p = Positions();
  TRect a = FormatRect();
  int rel = pt.X - a.Left - AlignOffset() + scrollX_;
  int n = int(p.size()) - 1, best = n;
  for (int i = 0; i < n; i++) {
    if (rel < p[size_t(i)] + (p[size_t(i) + 1] - p[size_t(i)]) / 2) {
      best = i;
      break;
    }
  }
  // Back from display to text indices (a point inside the preedit lands on the caret).
  int pl = int(preedit_.size());
  if (best <= caret_) return best;
  return best <= caret_ + pl ? caret_ : best - pl;
}

TPoint TCustomEdit::PosFromChar(int index) const {
  index = std::clamp(index, 0, int(text_u32_.size()));
  return {ScreenX(DisplayIndex(index, caret_, int(preedit_.size()))), FormatRect().Top};
}

void TCustomEdit::ScrollToCaret() {
  TRect a = FormatRect();
  int w = a.Width(), tw = TextWidth();
  if (StyleAlignment() != cl::taLeftJustify && tw < w) {
    scrollX_ = 0;
    return;
  }
  int x = Positions()[size_t(caret_ + preeditCursor_)];
  if (x - scrollX_ < 0)
    scrollX_ = x;
  else if (x - scrollX_ >= w)
    scrollX_ = x - w + 1;
  if (tw - scrollX_ < w - 1) scrollX_ = std::max(0, tw - w + 1);
  scrollX_ = std::max(0, scrollX_);
}

void TCustomEdit::UpdateCaret() {
  if (!caretOwned_ || !HandleAllocated()) return;
  int x = ScreenX(caret_ + preeditCursor_);
  SetCaretPos(x, FormatRect().Top);
}

void TCustomEdit::Redraw() {
  if (HandleAllocated()) InvalidateRect(handle_, nullptr, TRUE);
}

// ============================================================================ editing

std::u32string TCustomEdit::Cased(std::u32string_view s) const {
  if (charCase_ == ecNormal) return std::u32string(s);
  std::string u = rtl::FromUtf32(s);
  return rtl::ToUtf32(charCase_ == ecUpperCase ? rtl::AnsiUpperCase(u) : rtl::AnsiLowerCase(u));
}

void TCustomEdit::SetSel(int anchor, int caret, bool scroll) {
  int n = int(text_u32_.size());
  anchor = std::clamp(anchor, 0, n);
  caret = std::clamp(caret, 0, n);
  typingRun_ = false;
  if (anchor == anchor_ && caret == caret_) return;
  if (caret != caret_ && !preedit_.empty()) posValid_ = false;
  anchor_ = anchor;
  caret_ = caret;
  if (scroll) ScrollToCaret();
  UpdateCaret();
  Redraw();
}

void TCustomEdit::MoveCaret(int pos, bool extend) { SetSel(extend ? anchor_ : pos, pos); }

int TCustomEdit::WordLeft(int pos) const {
  while (pos > 0 && ClassOf(text_u32_[size_t(pos) - 1]) == kSpace) pos--;
  if (pos == 0) return 0;
  CharClass c = ClassOf(text_u32_[size_t(pos) - 1]);
  while (pos > 0 && ClassOf(text_u32_[size_t(pos) - 1]) == c) pos--;
  return pos;
}

int TCustomEdit::WordRight(int pos) const {
  int n = int(text_u32_.size());
  if (pos < n) {
    CharClass c = ClassOf(text_u32_[size_t(pos)]);
    if (c != kSpace)
      while (pos < n && ClassOf(text_u32_[size_t(pos)]) == c) pos++;
  }
  while (pos < n && ClassOf(text_u32_[size_t(pos)]) == kSpace) pos++;
  return pos;
}

void TCustomEdit::SelectWordAt(int pos) {
  int n = int(text_u32_.size());
  if (n == 0) return;
  if (pos >= n) pos = n - 1;
  CharClass c = ClassOf(text_u32_[size_t(pos)]);
  int s = pos, e = pos;
  while (s > 0 && ClassOf(text_u32_[size_t(s) - 1]) == c) s--;
  while (e < n && ClassOf(text_u32_[size_t(e)]) == c) e++;
  SetSel(s, e);
}

void TCustomEdit::Replace(int from, int to, std::u32string_view with, bool user, bool typing) {
  int n = int(text_u32_.size());
  from = std::clamp(from, 0, n);
  to = std::clamp(to, from, n);
  if (user) {
    if (!(typing && typingRun_)) {
      undo_ = {text_u32_, anchor_, caret_};
      canUndo_ = true;
    }
  } else {
    canUndo_ = false;
  }
  text_u32_.replace(size_t(from), size_t(to - from), with);
  anchor_ = caret_ = from + int(with.size());
  typingRun_ = typing;
  if (user) modified_ = true;
  text_ = rtl::FromUtf32(text_u32_);
  posValid_ = false;
  ScrollToCaret();
  UpdateCaret();
  Redraw();
  Change();
}

bool TCustomEdit::KeyDownEngine(uint16_t key) {
  bool shift = Pressed(VK_SHIFT), ctrl = Pressed(VK_CONTROL);
  int n = int(text_u32_.size()), s = SelStart(), e = s + SelLength();
  switch (key) {
    case VK_LEFT:
      if (ctrl)
        MoveCaret(WordLeft(caret_), shift);
      else if (!shift && s != e)
        SetSel(s, s);
      else
        MoveCaret(caret_ - 1, shift);
      return true;
    case VK_RIGHT:
      if (ctrl)
        MoveCaret(WordRight(caret_), shift);
      else if (!shift && s != e)
        SetSel(e, e);
      else
        MoveCaret(caret_ + 1, shift);
      return true;
    case VK_HOME:
      MoveCaret(0, shift);
      return true;
    case VK_END:
      MoveCaret(n, shift);
      return true;
    case VK_DELETE:
      if (shift && !ctrl) {
        Send(this, WM_CUT);
      } else if (!readOnly_) {
        if (s != e)
          Replace(s, e, U"", true, false);
        else if (caret_ < n)
          Replace(caret_, ctrl ? WordRight(caret_) : caret_ + 1, U"", true, false);
      }
      return true;
    case VK_INSERT:
      if (ctrl && !shift)
        Send(this, WM_COPY);
      else if (shift && !ctrl)
        Send(this, WM_PASTE);
      return true;
  }
  return false;
}

void TCustomEdit::CharEngine(char32_t ch) {
  int s = SelStart(), e = s + SelLength();
  switch (ch) {
    case 1:  // Ctrl+A
      SelectAll();
      return;
    case 3:  // Ctrl+C
      Send(this, WM_COPY);
      return;
    case 22:  // Ctrl+V
      Send(this, WM_PASTE);
      return;
    case 24:  // Ctrl+X
      Send(this, WM_CUT);
      return;
    case 26:  // Ctrl+Z
      Send(this, WM_UNDO);
      return;
    case 8:  // Backspace
      if (readOnly_) return;
      if (s != e)
        Replace(s, e, U"", true, false);
      else if (caret_ > 0)
        Replace(Pressed(VK_CONTROL) ? WordLeft(caret_) : caret_ - 1, caret_, U"", true, false);
      return;
  }
  if (ch < 32 || ch == 127 || readOnly_) return;
  if (maxLength_ > 0 && int(text_u32_.size()) - (e - s) + 1 > maxLength_) {
    rtl::MessageBeep(0);
    return;
  }
  std::u32string one = Cased(std::u32string(1, ch));
  Replace(s, e, one, true, true);
}

void TCustomEdit::MouseEngine(TMessage& m) {
  TPoint pt{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  switch (m.Msg) {
    case WM_LBUTTONDOWN: {
      if (HandleAllocated() && GetFocus() != handle_) {
        mouseFocusing_ = true;
        win::SetFocus(handle_);
        mouseFocusing_ = false;
        if (Destroyed()) return;
      }
      int i = CharFromPos(pt);
      if (m.WParam & MK_SHIFT)
        SetSel(anchor_, i);
      else
        SetSel(i, i);
      selecting_ = true;
      return;
    }
    case WM_MOUSEMOVE:
      if (selecting_ && (m.WParam & MK_LBUTTON)) SetSel(anchor_, CharFromPos(pt));
      return;
    case WM_LBUTTONUP:
      selecting_ = false;
      return;
    case WM_LBUTTONDBLCLK:
      selecting_ = false;
      SelectWordAt(CharFromPos(pt));
      return;
  }
}

// ============================================================================ painting

gfx::HBRUSH TCustomEdit::ColorBrush(gfx::HDC dc) {
  UINT msg = (readOnly_ || !Enabled()) ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
  LRESULT r = 0;
  HWND parent = HandleAllocated() ? GetParent(handle_) : HWND();
  if (parent) r = SendMessage(parent, msg, WPARAM(dc.v), LPARAM(handle_.v));
  if (!r) {
    gfx::SetTextColor(dc, gfx::ColorToRef(font_.Color()));
    gfx::SetBkColor(dc, gfx::ColorToRef(color_));
    r = LRESULT(brush_.Handle().v);
  }
  return gfx::HBRUSH(uint32_t(r));
}

void TCustomEdit::EnginePaint(gfx::HDC dc) {
  if (caretOwned_) HideCaret(handle_);
  gfx::HBRUSH brush = ColorBrush(dc);
  bool transparent = brush == gfx::HBRUSH(gfx::GetStockObject(gfx::NULL_BRUSH));
  RECT client{0, 0, width_, height_};
  if (HandleAllocated()) GetClientRect(handle_, &client);
  if (!transparent && brush) gfx::FillRect(dc, &client, brush);
  gfx::COLORREF textColor = Enabled() ? gfx::GetTextColor(dc) : gfx::ColorToRef(DisabledTextColor());
  int saved = gfx::SaveDC(dc);
  TRect a = FormatRect();
  gfx::IntersectClipRect(dc, a.Left, a.Top, a.Right, a.Bottom);
  gfx::SelectObject(dc, font_.Handle());
  gfx::SetBkMode(dc, gfx::TRANSPARENT);
  std::u32string d = DisplayText();
  const std::vector<int>& p = Positions();
  int x0 = a.Left + AlignOffset() - scrollX_, y = a.Top, lh = LineHeight();
  int pl = int(preedit_.size());
  int s = DisplayIndex(SelStart(), caret_, pl), e = DisplayIndex(SelStart() + SelLength(), caret_, pl);
  bool focused = HandleAllocated() && GetFocus() == handle_;
  bool showSel = s < e && (focused || !hideSelection_ ||
                           (HandleAllocated() && (GetWindowLong(handle_, GWL_STYLE) & ES_NOHIDESEL)));
  auto run = [&](int from, int to, gfx::COLORREF color) {
    if (from >= to) return;
    gfx::SetTextColor(dc, color);
    gfx::TextOut(dc, x0 + p[size_t(from)], y,
                 rtl::FromUtf32(std::u32string_view(d).substr(size_t(from), size_t(to - from))));
  };
  if (showSel) {
    run(0, s, textColor);
    RECT hr{x0 + p[size_t(s)], y, x0 + p[size_t(e)], y + lh};
    gfx::HBRUSH hb = gfx::CreateSolidBrush(gfx::ColorToRef(gfx::clHighlight));
    gfx::FillRect(dc, &hr, hb);
    gfx::DeleteObject(hb);
    run(s, e, gfx::ColorToRef(gfx::clHighlightText));
    run(e, int(d.size()), textColor);
  } else {
    run(0, int(d.size()), textColor);
  }
  if (pl > 0) {
    // The preedit is underlined where it stands, at the caret.
    gfx::HPEN pen = gfx::CreatePen(gfx::PS_SOLID, 1, textColor);
    gfx::HPEN old = gfx::SelectObject(dc, pen);
    gfx::MoveToEx(dc, x0 + p[size_t(caret_)], y + lh - 1, nullptr);
    gfx::LineTo(dc, x0 + p[size_t(caret_ + pl)], y + lh - 1);
    gfx::SelectObject(dc, old);
    gfx::DeleteObject(pen);
  }
  gfx::RestoreDC(dc, saved);
  if (caretOwned_) ShowCaret(handle_);
}

// ============================================================================ messages

void TCustomEdit::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND: {
      gfx::HDC dc(uint32_t(m.WParam));
      gfx::HBRUSH b = ColorBrush(dc);
      if (b && b != gfx::HBRUSH(gfx::GetStockObject(gfx::NULL_BRUSH))) {
        RECT r = ClientRect();
        gfx::FillRect(dc, &r, b);
      }
      m.Result = 1;
      return;
    }
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC: {
      gfx::HDC dc(uint32_t(m.WParam));
      gfx::SetTextColor(dc, gfx::ColorToRef(font_.Color()));
      gfx::SetBkColor(dc, gfx::ColorToRef(color_));
      m.Result = LRESULT(brush_.Handle().v);
      return;
    }
    case CM_FONTCHANGED:
      TWinControl::Dispatch(m);
      if (HandleAllocated()) Perform(WM_SETFONT, WPARAM(font_.Handle().v), 1);
      return;
  }
  TWinControl::Dispatch(m);
}

void TCustomEdit::DefaultHandler(TMessage& m) {
  int n = int(text_u32_.size());
  switch (m.Msg) {
    case WM_GETDLGCODE:
      m.Result = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
      return;
    case WM_SETTEXT: {
      const char* t = reinterpret_cast<const char*>(m.LParam);
      text_u32_ = Cased(rtl::ToUtf32(t ? t : ""));
      text_ = rtl::FromUtf32(text_u32_);
      anchor_ = caret_ = 0;
      scrollX_ = 0;
      canUndo_ = false;
      typingRun_ = false;
      modified_ = false;
      posValid_ = false;
      UpdateCaret();
      Redraw();
      m.Result = TRUE;
      Change();
      return;
    }
    case WM_GETTEXTLENGTH:
      m.Result = LRESULT(text_.size());
      return;
    case WM_GETTEXT: {
      char* buf = reinterpret_cast<char*>(m.LParam);
      if (!buf || m.WParam == 0) return;
      size_t k = std::min(text_.size(), size_t(m.WParam) - 1);
      std::copy_n(text_.data(), k, buf);
      buf[k] = 0;
      m.Result = LRESULT(k);
      return;
    }
    case WM_PAINT:
      if (m.WParam) EnginePaint(gfx::HDC(uint32_t(m.WParam)));
      return;
    case WM_SETFONT:
      posValid_ = false;
      leftMargin_ = rightMargin_ = 1;
      if (caretOwned_) {
        DestroyCaret();
        CreateCaret(handle_, nullptr, 1, LineHeight());
        ShowCaret(handle_);
      }
      ScrollToCaret();
      UpdateCaret();
      if (m.LParam) Redraw();
      return;
    case WM_SIZE:
      hasFmtRect_ = false;
      ScrollToCaret();
      UpdateCaret();
      TWinControl::DefaultHandler(m);
      return;
    case WM_SETFOCUS:
      if (HandleAllocated()) {
        CreateCaret(handle_, nullptr, 1, LineHeight());
        caretOwned_ = true;
        UpdateCaret();
        ShowCaret(handle_);
        if (AutoSelect && !mouseFocusing_) SelectAll();
        if (anchor_ != caret_) Redraw();
      }
      TWinControl::DefaultHandler(m);
      return;
    case WM_KILLFOCUS:
      if (caretOwned_) {
        caretOwned_ = false;
        DestroyCaret();
      }
      selecting_ = false;
      if (anchor_ != caret_) Redraw();
      TWinControl::DefaultHandler(m);
      return;
    case WM_CAPTURECHANGED:
      selecting_ = false;
      TWinControl::DefaultHandler(m);
      return;
    case WM_KEYDOWN:
      if (KeyDownEngine(uint16_t(m.WParam))) return;
      TWinControl::DefaultHandler(m);
      return;
    case WM_CHAR:
      CharEngine(char32_t(m.WParam));
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
      MouseEngine(m);
      return;
    case WM_COPY:
      if (!passwordChar_ && anchor_ != caret_) SetClipboardText(SelText());
      return;
    case WM_CUT:
      if (readOnly_ || passwordChar_ || anchor_ == caret_) return;
      SetClipboardText(SelText());
      Replace(SelStart(), SelStart() + SelLength(), U"", true, false);
      return;
    case WM_CLEAR:
      if (readOnly_ || anchor_ == caret_) return;
      Replace(SelStart(), SelStart() + SelLength(), U"", true, false);
      return;
    case WM_PASTE: {
      if (readOnly_) return;
      std::u32string t = rtl::ToUtf32(GetClipboardText());
      size_t eol = t.find_first_of(U"\r\n");
      if (eol != std::u32string::npos) t.resize(eol);
      t = Cased(t);
      if (maxLength_ > 0) {
        int room = maxLength_ - (n - SelLength());
        if (room < int(t.size())) {
          t.resize(size_t(std::max(0, room)));
          rtl::MessageBeep(0);
        }
      }
      if (t.empty() && anchor_ == caret_) return;
      Replace(SelStart(), SelStart() + SelLength(), t, true, false);
      return;
    }
    case WM_UNDO:
    case EM_UNDO: {
      if (readOnly_ || !canUndo_) {
        m.Result = FALSE;
        return;
      }
      Snapshot before{text_u32_, anchor_, caret_};
      Snapshot to = undo_;
      undo_ = before;
      text_u32_ = to.text;
      text_ = rtl::FromUtf32(text_u32_);
      anchor_ = std::clamp(to.anchor, 0, int(text_u32_.size()));
      caret_ = std::clamp(to.caret, 0, int(text_u32_.size()));
      typingRun_ = false;
      modified_ = true;
      posValid_ = false;
      ScrollToCaret();
      UpdateCaret();
      Redraw();
      m.Result = TRUE;
      Change();
      return;
    }
    case EM_CANUNDO:
      m.Result = canUndo_ && !readOnly_;
      return;
    case EM_EMPTYUNDOBUFFER:
      canUndo_ = false;
      typingRun_ = false;
      return;
    case EM_GETSEL: {
      uint32_t s = uint32_t(SelStart()), e = uint32_t(SelStart() + SelLength());
      if (m.WParam) *reinterpret_cast<uint32_t*>(m.WParam) = s;
      if (m.LParam) *reinterpret_cast<uint32_t*>(m.LParam) = e;
      m.Result = LRESULT(std::min<uint32_t>(s, 0xFFFF) | (std::min<uint32_t>(e, 0xFFFF) << 16));
      return;
    }
    case EM_SETSEL: {
      int s = int(intptr_t(m.WParam)), e = int(m.LParam);
      if (s == -1)
        SetSel(caret_, caret_);
      else
        SetSel(s < 0 ? n : s, e < 0 ? n : e);
      return;
    }
    case EM_GETRECT:
      if (m.LParam) *reinterpret_cast<RECT*>(m.LParam) = FormatRect();
      return;
    case EM_SETRECT:
    case EM_SETRECTNP:
      if (m.LParam) {
        fmtRect_ = *reinterpret_cast<const RECT*>(m.LParam);
        hasFmtRect_ = true;
      } else {
        hasFmtRect_ = false;
      }
      ScrollToCaret();
      UpdateCaret();
      if (m.Msg == EM_SETRECT) Redraw();
      return;
    case EM_SETMARGINS: {
      int l = LOWORD(uintptr_t(m.LParam)), r = HIWORD(uintptr_t(m.LParam));
      if (m.WParam & EC_LEFTMARGIN) leftMargin_ = l == 0xFFFF ? 1 : l;
      if (m.WParam & EC_RIGHTMARGIN) rightMargin_ = r == 0xFFFF ? 1 : r;
      ScrollToCaret();
      UpdateCaret();
      Redraw();
      return;
    }
    case EM_GETMARGINS:
      m.Result = MAKELPARAM(leftMargin_, rightMargin_);
      return;
    case EM_GETMODIFY:
      m.Result = modified_;
      return;
    case EM_SETMODIFY:
      modified_ = m.WParam != 0;
      return;
    case EM_REPLACESEL: {
      const char* t = reinterpret_cast<const char*>(m.LParam);
      std::u32string s = Cased(rtl::ToUtf32(t ? t : ""));
      if (maxLength_ > 0) s.resize(std::min(s.size(), size_t(std::max(0, maxLength_ - (n - SelLength())))));
      Replace(SelStart(), SelStart() + SelLength(), s, m.WParam != 0, false);
      if (m.WParam == 0) modified_ = true;
      return;
    }
    case EM_LIMITTEXT:
      maxLength_ = int(std::min<WPARAM>(m.WParam, 0x7FFFFFFE));
      return;
    case EM_GETLIMITTEXT:
      m.Result = maxLength_ > 0 ? maxLength_ : 0x7FFFFFFE;
      return;
    case EM_SETPASSWORDCHAR:
      passwordChar_ = char32_t(m.WParam);
      posValid_ = false;
      ScrollToCaret();
      UpdateCaret();
      Redraw();
      return;
    case EM_GETPASSWORDCHAR:
      m.Result = LRESULT(passwordChar_);
      return;
    case EM_SETREADONLY:
      readOnly_ = m.WParam != 0;
      if (HandleAllocated()) {
        LONG_PTR st = GetWindowLong(handle_, GWL_STYLE);
        SetWindowLong(handle_, GWL_STYLE, readOnly_ ? (st | ES_READONLY) : (st & ~LONG_PTR(ES_READONLY)));
      }
      Redraw();
      m.Result = TRUE;
      return;
    case EM_POSFROMCHAR: {
      int i = int(m.WParam);
      if (i < 0 || i > n) {
        m.Result = -1;
        return;
      }
      TPoint p = PosFromChar(i);
      m.Result = MAKELPARAM(p.X, p.Y);
      return;
    }
    case EM_CHARFROMPOS:
      m.Result = LRESULT(CharFromPos({GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)}));
      return;
    case EM_LINEFROMCHAR:
      m.Result = 0;
      return;
    case WM_IME_STARTCOMPOSITION:
      return;
    case WM_IME_COMPOSITION:
    case WM_IME_ENDCOMPOSITION: {
      const char* t = m.Msg == WM_IME_COMPOSITION ? reinterpret_cast<const char*>(m.LParam) : nullptr;
      preedit_ = rtl::ToUtf32(t ? t : "");
      preeditCursor_ = std::clamp(int(m.WParam), 0, int(preedit_.size()));
      if (preedit_.empty()) preeditCursor_ = 0;
      posValid_ = false;
      ScrollToCaret();
      UpdateCaret();
      Redraw();
      return;
    }
  }
  TWinControl::DefaultHandler(m);
}

}  // namespace ctl
