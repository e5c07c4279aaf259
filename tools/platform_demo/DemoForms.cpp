#include "tools/platform_demo/DemoForms.h"

#include "platform/gfx/raster.h"
#include "platform/gfx/text.h"

#include <algorithm>

namespace demo {

using namespace win;

// ============================================================================ TypingBox

TypingBox::TypingBox(TComponent* owner) : TCustomControl(owner) {
  tabStop_ = true;
  color_ = gfx::clWindow;
  brush_.SetColor(color_);
}

void TypingBox::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_KEYDOWN:
      log.push_back("KEYDOWN " + std::to_string(m.WParam));
      break;
    case WM_CHAR:
      log.push_back("CHAR " + gfx::ToU8(std::u32string(1, char32_t(m.WParam))));
      if (m.WParam >= 32) typed += char32_t(m.WParam);
      if (m.WParam == 8 && !typed.empty()) typed.pop_back();
      Invalidate();
      break;
    case WM_GETDLGCODE:
      m.Result = DLGC_WANTCHARS | DLGC_WANTARROWS;
      return;
    case WM_LBUTTONDOWN:
      SetFocus();
      break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      Invalidate();
      break;
  }
  TCustomControl::Dispatch(m);
}

void TypingBox::Paint() {
  TRect r = ClientRect();
  Canvas()->Brush()->SetColor(gfx::clWindow);
  Canvas()->FillRect(r);
  RECT e = r;
  gfx::DrawEdge(Canvas()->Handle(), &e, gfx::EDGE_SUNKEN, gfx::BF_RECT);
  Canvas()->Brush()->SetStyle(gfx::bsClear);
  Canvas()->Font()->Assign(*Font());
  std::string text = typed.empty() && !Focused() ? "Click and type here" : gfx::ToU8(typed) + (Focused() ? "|" : "");
  Canvas()->Font()->SetColor(typed.empty() && !Focused() ? gfx::clGrayText : gfx::clWindowText);
  Canvas()->TextOut(6, (r.Height() - Canvas()->TextHeight("Ay")) / 2, text);
}

// ============================================================================ popup

PopupList::PopupList(TComponent* owner, TPopupMenu* menu) : TCustomControl(owner), menu_(menu) {
  visible_ = false;
  color_ = gfx::clMenu;
  brush_.SetColor(color_);
}

void PopupList::CreateParams(TCreateParams& p) {
  TCustomControl::CreateParams(p);
  p.Style = WS_POPUP | WS_BORDER;
  p.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  p.WndParent = nullptr;
}

void PopupList::ShowAt(int x, int y) {
  int h = 4;
  for (int i = 0; i < menu_->Items()->Count(); i++) h += menu_->Items()->Items(i)->IsLine() ? 7 : 20;
  hot_ = -1;
  HWND w = Handle();
  SetWindowPos(w, HWND_TOPMOST, x, y, 160, h, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  visible_ = true;
  // Clicks outside close the menu: the window holds the mouse.
  SetCapture(w);
  Invalidate();
}

void PopupList::Close() {
  if (GetCapture() == Handle()) ReleaseCapture();
  SetWindowPos(Handle(), nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
  visible_ = false;
}

int PopupList::ItemAt(int y) const {
  int top = 2;
  for (int i = 0; i < menu_->Items()->Count(); i++) {
    int h = menu_->Items()->Items(i)->IsLine() ? 7 : 20;
    if (y >= top && y < top + h) return menu_->Items()->Items(i)->IsLine() ? -1 : i;
    top += h;
  }
  return -1;
}

void PopupList::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_MOUSEMOVE: {
      int i = ItemAt(GET_Y_LPARAM(m.LParam));
      if (GET_X_LPARAM(m.LParam) < 0 || GET_X_LPARAM(m.LParam) >= width_) i = -1;
      if (i != hot_) {
        hot_ = i;
        Invalidate();
      }
      return;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP: {
      int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
      bool inside = x >= 0 && y >= 0 && x < width_ && y < height_;
      if (!inside) {
        Close();
        return;
      }
      int i = ItemAt(y);
      if (i < 0) return;
      TMenuItem* item = menu_->Items()->Items(i);
      Close();
      if (item->Enabled) menu_->DispatchCommand(item->Command());
      return;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
      int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
      if (x < 0 || y < 0 || x >= width_ || y >= height_) Close();
      return;
    }
    case WM_CAPTURECHANGED:
      if (visible_ && GetCapture() != handle_) Close();
      break;
  }
  TCustomControl::Dispatch(m);
}

void PopupList::Paint() {
  TRect r = ClientRect();
  Canvas()->Brush()->SetColor(gfx::clMenu);
  Canvas()->FillRect(r);
  Canvas()->Font()->Assign(*Font());
  int top = 2;
  for (int i = 0; i < menu_->Items()->Count(); i++) {
    TMenuItem* item = menu_->Items()->Items(i);
    if (item->IsLine()) {
      Canvas()->Pen()->SetColor(gfx::clBtnShadow);
      Canvas()->MoveTo(4, top + 3);
      Canvas()->LineTo(r.Right - 4, top + 3);
      top += 7;
      continue;
    }
    TRect row{2, top, r.Right - 2, top + 20};
    if (i == hot_) {
      Canvas()->Brush()->SetColor(gfx::clHighlight);
      Canvas()->FillRect(row);
    }
    Canvas()->Brush()->SetStyle(gfx::bsClear);
    Canvas()->Font()->SetColor(!item->Enabled ? gfx::clGrayText : i == hot_ ? gfx::clHighlightText : gfx::clMenuText);
    if (item->Checked()) Canvas()->TextOut(6, top + 3, item->RadioItem() ? "\xe2\x97\x8f" : "\xe2\x9c\x93");
    Canvas()->TextOut(22, top + 3, StripHotkey(item->Caption));
    if (item->ShortCut) {
      std::string sc = ShortCutToText(item->ShortCut);
      Canvas()->TextOut(row.Right - 8 - Canvas()->TextWidth(sc), top + 3, sc);
    }
    top += 20;
  }
}

void DemoPopupMenu::Popup(int X, int Y) {
  TPopupMenu::Popup(X, Y);
  if (!window_) window_ = new PopupList(this, this);
  window_->ShowAt(X, Y);
}

// ============================================================================ MainForm

MainForm::MainForm(TComponent* owner) : TForm(owner) {
  SetBorderStyle(bsNone);
  SetCaption("平台层演示 Platform layer demo");
  SetBounds(120, 100, 480, 300);
  ShowHint = true;

  chinese = new TLabel(this);
  chinese->SetCaption("视频转换器 — 中文文字显示正常");
  chinese->SetBounds(16, 12, 440, 20);
  chinese->Font()->SetHeight(-16);
  chinese->SetParent(this);

  auto* note = new TLabel(this);
  note->SetAutoSize(false);
  note->SetWordWrap(true);
  note->SetCaption(
      "This form has no window-manager frame: its caption and border come from WM_NCCALCSIZE, WM_NCHITTEST "
      "and WM_NCPAINT. Drag the caption to move it, right-click for a popup menu.");
  note->SetBounds(16, 40, 440, 48);
  note->SetParent(this);

  typing = new TypingBox(this);
  typing->SetBounds(16, 100, 300, 26);
  typing->SetParent(this);

  dialogButton = new TButton(this);
  dialogButton->SetCaption("&Dialog...");
  dialogButton->SetBounds(330, 100, 110, 26);
  dialogButton->Hint = "Opens a modal dialog|The main form stays disabled until it closes";
  dialogButton->ShowHint = true;
  dialogButton->OnClick = [this](rtl::TObject*) { OpenDialog(); };
  dialogButton->SetParent(this);

  auto* check = new TCheckBox(this);
  check->SetCaption("A check box");
  check->SetChecked(true);
  check->SetBounds(16, 140, 140, 20);
  check->SetParent(this);
  auto* combo = new TComboBox(this);
  for (const char* s : {"MP4 视频", "AVI", "MKV"}) combo->Items()->Add(s);
  combo->SetItemIndex(0);
  combo->SetBounds(170, 138, 146, 22);
  combo->SetParent(this);
  auto* track = new TTrackBar(this);
  track->SetBounds(16, 170, 300, 28);
  track->SetParams(4, 0, 10);
  track->SetParent(this);

  popup = new DemoPopupMenu(this);
  const char* captions[] = {"&Open", "&Save", "-", "BMP", "PNG"};
  for (const char* c : captions) {
    auto* i = new TMenuItem(popup);
    i->Caption = c;
    i->OnClick = [this, i](rtl::TObject*) { chosen = i; };
    popup->Items()->Add(i);
  }
  popup->Items()->Items(1)->ShortCut = TShortCut(scCtrl | 'S');
  popup->Items()->Items(3)->SetRadioItem(true);
  popup->Items()->Items(4)->SetRadioItem(true);
  popup->Items()->Items(4)->SetChecked(true);
  PopupMenu = popup;
}

int MainForm::OpenDialog() {
  auto* d = new DemoDialog(this);
  Keep<DemoDialog> k(d);
  lastModalResult = d->ShowModal();
  d->Free();
  return lastModalResult;
}

void MainForm::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_NCCALCSIZE: {
      auto* p = reinterpret_cast<NCCALCSIZE_PARAMS*>(m.LParam);
      TRect& r = p->rgrc[0];
      r = {r.Left + kBorder, r.Top + kCaption, r.Right - kBorder, r.Bottom - kBorder};
      m.Result = 0;
      return;
    }
    case WM_NCHITTEST: {
      POINT p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
      RECT wr;
      GetWindowRect(Handle(), &wr);
      int x = p.X - wr.Left, y = p.Y - wr.Top, w = wr.Width(), h = wr.Height();
      if (x < 0 || y < 0 || x >= w || y >= h) {
        m.Result = HTNOWHERE;
      } else if (y < kCaption && x >= w - kBorder - 22 && x < w - kBorder - 2 && y >= 3) {
        m.Result = HTCLOSE;
      } else if (x >= w - 8 && y >= h - 8) {
        m.Result = HTBOTTOMRIGHT;
      } else if (y < kCaption) {
        m.Result = HTCAPTION;
      } else if (x < kBorder || x >= w - kBorder || y >= h - kBorder) {
        m.Result = HTBORDER;
      } else {
        m.Result = HTCLIENT;
      }
      return;
    }
    case WM_NCPAINT: {
      gfx::HDC dc = GetWindowDC(Handle());
      RECT wr;
      GetWindowRect(Handle(), &wr);
      int w = wr.Width(), h = wr.Height();
      bool active = GetActiveWindow() == Handle();
      // A two-tone caption band, a border, and a close box.
      for (int y = 0; y < kCaption; y++) {
        int k = y * 255 / kCaption;
        gfx::COLORREF c = active ? gfx::RGB(uint8_t(20 + k / 6), uint8_t(90 + k / 5), uint8_t(170 + k / 4))
                                 : gfx::RGB(uint8_t(120 + k / 8), uint8_t(120 + k / 8), uint8_t(130 + k / 8));
        RECT line{0, y, w, y + 1};
        gfx::HBRUSH b = gfx::CreateSolidBrush(c);
        gfx::FillRect(dc, &line, b);
        gfx::DeleteObject(b);
      }
      gfx::HBRUSH edge = gfx::CreateSolidBrush(active ? gfx::RGB(20, 90, 170) : gfx::RGB(120, 120, 130));
      RECT l{0, kCaption, kBorder, h}, r{w - kBorder, kCaption, w, h}, b{0, h - kBorder, w, h};
      gfx::FillRect(dc, &l, edge);
      gfx::FillRect(dc, &r, edge);
      gfx::FillRect(dc, &b, edge);
      gfx::DeleteObject(edge);
      RECT box{w - kBorder - 22, 4, w - kBorder - 4, kCaption - 4};
      gfx::HBRUSH red = gfx::CreateSolidBrush(gfx::RGB(200, 60, 50));
      gfx::FillRect(dc, &box, red);
      gfx::DeleteObject(red);
      gfx::SetBkMode(dc, gfx::TRANSPARENT);
      gfx::SetTextColor(dc, gfx::RGB(255, 255, 255));
      gfx::SelectObject(dc, Font()->Handle());
      RECT xr = box;
      gfx::DrawText(dc, "x", -1, &xr, gfx::DT_CENTER | gfx::DT_VCENTER | gfx::DT_SINGLELINE);
      RECT tr{8, 0, w - 40, kCaption};
      gfx::DrawText(dc, Caption(), -1, &tr, gfx::DT_LEFT | gfx::DT_VCENTER | gfx::DT_SINGLELINE | gfx::DT_NOPREFIX);
      ReleaseDC(Handle(), dc);
      m.Result = 0;
      return;
    }
    case WM_NCACTIVATE:
      ncLog.push_back(std::string("WM_NCACTIVATE ") + (m.WParam ? "1" : "0"));
      m.Result = 1;
      RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
      return;
    case WM_MOVING:
      ncLog.push_back("WM_MOVING");
      break;
    case WM_ENTERSIZEMOVE:
      ncLog.push_back("WM_ENTERSIZEMOVE");
      break;
    case WM_EXITSIZEMOVE:
      ncLog.push_back("WM_EXITSIZEMOVE");
      break;
  }
  TForm::Dispatch(m);
}

void MainForm::Paint() {
  Canvas()->Brush()->SetColor(gfx::clBtnFace);
  Canvas()->FillRect(ClientRect());
}

// ============================================================================ DemoDialog

DemoDialog::DemoDialog(TComponent* owner) : TForm(owner) {
  SetBorderStyle(bsDialog);
  SetCaption("模态对话框 Modal dialog");
  HandleNeeded();  // the frame decides the window size around the client
  SetClientSize(300, 110);
  SetPosition(poOwnerFormCenter);
  auto* text = new TLabel(this);
  text->SetCaption("Enter presses OK, Escape presses Cancel.");
  text->SetBounds(16, 16, 270, 20);
  text->SetParent(this);
  ok = new TButton(this);
  ok->SetCaption("OK");
  ok->ModalResult = mrOk;
  ok->SetDefault(true);
  ok->SetBounds(120, 70, 80, 26);
  ok->SetParent(this);
  cancel = new TButton(this);
  cancel->SetCaption("Cancel");
  cancel->ModalResult = mrCancel;
  cancel->Cancel = true;
  cancel->SetBounds(208, 70, 80, 26);
  cancel->SetParent(this);
}

}  // namespace demo
