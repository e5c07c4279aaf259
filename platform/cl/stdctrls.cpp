#include "platform/cl/stdctrls.h"

#include "platform/cl/forms.h"
#include "platform/gfx/raster.h"
#include "platform/gfx/text.h"

namespace cl {

using namespace win;

// ============================================================================ TButton

TButton::TButton(TComponent* AOwner) : TWinControl(AOwner) {
  width_ = 75;
  height_ = 25;
  tabStop_ = true;
  // Double clicks count as two presses, as on a native push button.
  ControlStyle = csCaptureMouse | csClickEvents | csSetCaption;
  color_ = gfx::clBtnFace;
  brush_.SetColor(color_);
}

void TButton::SetDefault(bool v) {
  if (v == default_) return;
  default_ = v;
  TCustomForm* f = GetParentForm();
  if (!f || !f->ActiveControl() || !dynamic_cast<TButton*>(f->ActiveControl())) active_ = v;
  Invalidate();
}

void TButton::Click() {
  if (TCustomForm* f = GetParentForm()) f->SetModalResult(ModalResult);
  TWinControl::Click();
}

void TButton::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      // A button focuses itself on a press; when the focus change is vetoed
      // the press goes nowhere.
      if (!Focused()) {
        win::SetFocus(Handle());
        if (!Focused()) return;
      }
      pressed_ = true;
      Invalidate();
      break;
    case WM_LBUTTONUP:
      pressed_ = false;
      Invalidate();
      break;
    case WM_GETDLGCODE:
      m.Result = DLGC_BUTTON | (active_ ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
      return;
    case CM_DIALOGKEY:
      if (((m.WParam == VK_RETURN && active_) || (m.WParam == VK_ESCAPE && Cancel)) &&
          (KeyDataToShiftState(m.LParam) & (ssShift | ssCtrl | ssAlt)) == 0 && CanFocus()) {
        Click();
        m.Result = 1;
        return;
      }
      break;
    case CM_DIALOGCHAR:
      if (IsAccel(char32_t(m.WParam), text_) && CanFocus()) {
        Click();
        m.Result = 1;
        return;
      }
      break;
    case CM_FOCUSCHANGED: {
      auto* sender = reinterpret_cast<TControl*>(m.LParam);
      active_ = dynamic_cast<TButton*>(sender) ? sender == this : default_;
      Invalidate();
      break;
    }
    case WM_KEYDOWN:
      if (m.WParam == VK_SPACE) {
        pressed_ = true;
        Invalidate();
      }
      break;
    case WM_KEYUP:
      if (m.WParam == VK_SPACE && pressed_) {
        pressed_ = false;
        Invalidate();
        Click();
        return;
      }
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      Invalidate();
      break;
  }
  TWinControl::Dispatch(m);
}

void TButton::PaintWindow(gfx::HDC dc) {
  using namespace gfx;
  RECT r = ClientRect();
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  if (active_) {
    FrameRect(dc, &r, GetSysColorBrush(COLOR_WINDOWFRAME));
    r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
  }
  bool down = pressed_ && MouseCapture();
  if (down) {
    FrameRect(dc, &r, GetSysColorBrush(COLOR_BTNSHADOW));
  } else {
    RECT e = r;
    DrawEdge(dc, &e, EDGE_RAISED, BF_RECT);
  }
  HFONT f = CreateFontIndirect(&static_cast<const LOGFONT&>(font_.LogFont()));
  HFONT old = SelectObject(dc, f);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, enabled_ ? GetSysColor(COLOR_BTNTEXT) : GetSysColor(COLOR_GRAYTEXT));
  RECT t = r;
  if (down) {
    t.Left += 1;
    t.Top += 1;
    t.Right += 1;
    t.Bottom += 1;
  }
  DrawText(dc, text_, -1, &t, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SelectObject(dc, old);
  DeleteObject(f);
  if (Focused()) {
    RECT fr{r.Left + 3, r.Top + 3, r.Right - 3, r.Bottom - 3};
    DrawFocusRect(dc, &fr);
  }
}

// ============================================================================ TCustomLabel

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
  width_ = 65;
  height_ = 17;
  parentColor_ = true;
  autoSize_ = true;
  ControlStyle |= csReplicatable;
}

void TCustomLabel::SetAlignment(TAlignment a) {
  if (a == alignment_) return;
  alignment_ = a;
  Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout l) {
  if (l == layout_) return;
  layout_ = l;
  Invalidate();
}

void TCustomLabel::SetWordWrap(bool v) {
  if (v == wordWrap_) return;
  wordWrap_ = v;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool v) {
  if (v == showAccelChar_) return;
  showAccelChar_ = v;
  AdjustBounds();
  Invalidate();
}

void TCustomLabel::SetTransparent(bool v) {
  if (v == transparent_) return;
  transparent_ = v;
  if (v)
    ControlStyle &= ~csOpaque;
  else
    ControlStyle |= csOpaque;
  Invalidate();
}

void TCustomLabel::Dispatch(TMessage& m) {
  if (m.Msg == CM_TEXTCHANGED || m.Msg == CM_FONTCHANGED) {
    Invalidate();
    AdjustBounds();
    return;
  }
  TGraphicControl::Dispatch(m);
}

void TCustomLabel::DoDrawText(TRect& rect, unsigned flags) {
  std::string text = GetLabelText();
  if ((flags & gfx::DT_CALCRECT) && (text.empty() || (showAccelChar_ && text == "&"))) text += " ";
  if (!showAccelChar_) flags |= gfx::DT_NOPREFIX;
  TCanvas* c = canvas_;
  c->SetFont(font_);
  RECT r = rect;
  if (!Enabled()) {
    r = {r.Left + 1, r.Top + 1, r.Right + 1, r.Bottom + 1};
    c->Font()->SetColor(gfx::clBtnHighlight);
    gfx::DrawText(canvas_->Handle(), text, -1, &r, flags);
    r = {r.Left - 1, r.Top - 1, r.Right - 1, r.Bottom - 1};
    c->Font()->SetColor(gfx::clBtnShadow);
  }
  gfx::DrawText(canvas_->Handle(), text, -1, &r, flags);
  rect = r;
}

static unsigned LabelStyle(TAlignment a, bool wordWrap) {
  unsigned f = gfx::DT_EXPANDTABS | (wordWrap ? unsigned(gfx::DT_WORDBREAK) : 0u);
  if (a == taCenter) f |= gfx::DT_CENTER;
  if (a == taRightJustify) f |= gfx::DT_RIGHT;
  return f;
}

void TCustomLabel::Paint() {
  TCanvas* c = Canvas();
  if (!transparent_) {
    c->Brush()->SetColor(color_);
    c->Brush()->SetStyle(gfx::bsSolid);
    c->FillRect(ClientRect());
  }
  c->Brush()->SetStyle(gfx::bsClear);
  TRect r = ClientRect();
  unsigned style = LabelStyle(alignment_, wordWrap_);
  if (layout_ != tlTop) {
    TRect calc = r;
    DoDrawText(calc, style | gfx::DT_CALCRECT);
    int dy = layout_ == tlBottom ? height_ - calc.Bottom : (height_ - calc.Bottom) / 2;
    r = {r.Left, r.Top + dy, r.Right, r.Bottom + dy};
  }
  DoDrawText(r, style);
}

void TCustomLabel::AdjustBounds() {
  if (!autoSize_ || Destroyed() || (ComponentState() & csReading)) return;
  TRect r = ClientRect();
  gfx::HDC dc = gfx::CreateCompatibleDC(gfx::HDC());
  canvas_->SetHandle(dc);
  DoDrawText(r, gfx::DT_EXPANDTABS | gfx::DT_CALCRECT | (wordWrap_ ? unsigned(gfx::DT_WORDBREAK) : 0u));
  canvas_->SetHandle(gfx::HDC());
  gfx::DeleteDC(dc);
  int x = left_;
  if (alignment_ == taRightJustify) x += width_ - r.Right;
  SetBounds(x, top_, r.Right, r.Bottom);
}

// ============================================================================ TPanel

TPanel::TPanel(TComponent* AOwner) : TCustomControl(AOwner) {
  ControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csOpaque | csDoubleClicks;
  width_ = 185;
  height_ = 41;
  color_ = gfx::clBtnFace;
  brush_.SetColor(color_);
}

void TPanel::AdjustClientRect(TRect& r) {
  int bw = (BevelOuter != bvNone ? BevelWidth : 0) + (BevelInner != bvNone ? BevelWidth : 0);
  r = {r.Left + bw, r.Top + bw, r.Right - bw, r.Bottom - bw};
}

void TPanel::Paint() {
  TCanvas* c = Canvas();
  RECT r = ClientRect();
  c->Brush()->SetColor(color_);
  c->FillRect(r);
  auto bevel = [&](TBevelCut cut) {
    if (cut == bvNone) return;
    TColor tl = cut == bvRaised ? gfx::clBtnHighlight : gfx::clBtnShadow;
    TColor br = cut == bvRaised ? gfx::clBtnShadow : gfx::clBtnHighlight;
    for (int i = 0; i < BevelWidth; i++) {
      c->Pen()->SetColor(tl);
      c->MoveTo(r.Left, r.Bottom - 1);
      c->LineTo(r.Left, r.Top);
      c->LineTo(r.Right - 1, r.Top);
      c->Pen()->SetColor(br);
      c->LineTo(r.Right - 1, r.Bottom - 1);
      c->LineTo(r.Left - 1, r.Bottom - 1);
      r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    }
  };
  bevel(BevelOuter);
  bevel(BevelInner);
  if (!text_.empty()) {
    c->Brush()->SetStyle(gfx::bsClear);
    c->SetFont(font_);
    gfx::DrawText(canvas_->Handle(), text_, -1, &r, gfx::DT_CENTER | gfx::DT_VCENTER | gfx::DT_SINGLELINE);
  }
}

}  // namespace cl
