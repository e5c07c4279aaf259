#include "platform/cl/stateholders.h"

#include "platform/gfx/raster.h"
#include "platform/gfx/text.h"

#include <algorithm>

namespace cl {

using namespace win;

namespace {
// Fills the client area with the face colour and sets the font for text.
void Prepare(gfx::HDC dc, TWinControl* c, TColor back) {
  RECT r = c->ClientRect();
  gfx::HBRUSH b = gfx::CreateSolidBrush(gfx::ColorToRGB(back));
  gfx::FillRect(dc, &r, b);
  gfx::DeleteObject(b);
  gfx::SelectObject(dc, c->Font()->Handle());
  gfx::SetBkMode(dc, gfx::TRANSPARENT);
  gfx::SetTextColor(dc, gfx::ColorToRGB(c->Enabled() ? c->Font()->Color() : gfx::clGrayText));
}

void SunkenBox(gfx::HDC dc, TRect r, TColor fill) {
  gfx::HBRUSH b = gfx::CreateSolidBrush(gfx::ColorToRGB(fill));
  RECT rr = r;
  gfx::FillRect(dc, &rr, b);
  gfx::DeleteObject(b);
  gfx::DrawEdge(dc, &rr, gfx::EDGE_SUNKEN, gfx::BF_RECT);
}
}  // namespace

// ============================================================================ TCheckBox

TCheckBox::TCheckBox(TComponent* AOwner) : TWinControl(AOwner) {
  width_ = 97;
  height_ = 17;
  tabStop_ = true;
  ControlStyle = csSetCaption | csDoubleClicks;
  color_ = gfx::clBtnFace;
  brush_.SetColor(color_);
}

void TCheckBox::SetState(TCheckBoxState s) {
  if (s == state_) return;
  state_ = s;
  Invalidate();
  Click();
}

void TCheckBox::Toggle() {
  switch (state_) {
    case cbUnchecked:
      SetState(cbChecked);
      break;
    case cbChecked:
      SetState(AllowGrayed ? cbGrayed : cbUnchecked);
      break;
    case cbGrayed:
      SetState(cbUnchecked);
      break;
  }
}

void TCheckBox::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      if (!Focused() && CanFocus()) SetFocus();
      SetMouseCapture(true);
      return;
    case WM_LBUTTONUP: {
      bool had = MouseCapture();
      SetMouseCapture(false);
      int x = GET_X_LPARAM(m.LParam), y = GET_Y_LPARAM(m.LParam);
      if (had && x >= 0 && y >= 0 && x < width_ && y < height_) Toggle();
      return;
    }
    case WM_KEYUP:
      if (m.WParam == VK_SPACE) Toggle();
      break;
    case WM_GETDLGCODE:
      m.Result = DLGC_BUTTON;
      return;
    case CM_DIALOGCHAR:
      if (IsAccel(char32_t(m.WParam), text_) && CanFocus()) {
        SetFocus();
        if (Focused()) Toggle();
        m.Result = 1;
        return;
      }
      break;
  }
  TWinControl::Dispatch(m);
}

void TCheckBox::PaintWindow(gfx::HDC dc) {
  Prepare(dc, this, color_);
  int top = (height_ - 13) / 2;
  SunkenBox(dc, {0, top, 13, top + 13}, state_ == cbGrayed ? gfx::clBtnFace : gfx::clWindow);
  if (state_ != cbUnchecked) {
    // The classic tick: three strokes of a short and a long leg.
    gfx::HPEN pen =
        gfx::CreatePen(gfx::PS_SOLID, 1, gfx::ColorToRGB(state_ == cbGrayed ? gfx::clBtnShadow : gfx::clWindowText));
    gfx::HGDIOBJ old = gfx::SelectObject(dc, pen);
    for (int i = 0; i < 3; i++) {
      gfx::MoveToEx(dc, 3, top + 5 + i, nullptr);
      gfx::LineTo(dc, 5, top + 7 + i);
      gfx::LineTo(dc, 10, top + 2 + i);
    }
    gfx::SelectObject(dc, old);
    gfx::DeleteObject(pen);
  }
  RECT tr{17, 0, width_, height_};
  gfx::DrawText(dc, text_, -1, &tr, gfx::DT_LEFT | gfx::DT_VCENTER | gfx::DT_SINGLELINE);
  if (Focused()) {
    RECT fr{16, 1, std::min(width_, 17 + 2 + int(gfx::ToU32(text_).size()) * 6), height_ - 1};
    gfx::DrawFocusRect(dc, &fr);
  }
}

// ============================================================================ TComboBox

TComboBox::TComboBox(TComponent* AOwner) : TWinControl(AOwner), items_(new rtl::TStringList) {
  width_ = 145;
  height_ = 21;
  tabStop_ = true;
  color_ = gfx::clWindow;
  brush_.SetColor(color_);
  items_->OnChange = [this](rtl::TObject*) {
    if (itemIndex_ >= items_->Count()) itemIndex_ = -1;
    Invalidate();
  };
}

TComboBox::~TComboBox() { delete items_; }

void TComboBox::SetItemIndex(int i) {
  if (i < -1 || i >= items_->Count()) i = -1;
  itemIndex_ = i;
  text_ = i >= 0 ? items_->Get(i) : std::string();
  if (HandleAllocated()) SetWindowText(handle_, text_);
  Invalidate();
}

void TComboBox::Select(int i) {
  if (i == itemIndex_ || i < 0 || i >= items_->Count()) return;
  SetItemIndex(i);
  OnChange(this);
  OnSelect(this);
}

void TComboBox::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
      if (!Focused() && CanFocus()) SetFocus();
      return;
    case WM_MOUSEWHEEL:
      Select(itemIndex_ + (int16_t(HIWORD(m.WParam)) > 0 ? -1 : 1));
      m.Result = 1;
      return;
    case WM_KEYDOWN:
      if (m.WParam == VK_UP || m.WParam == VK_LEFT) Select(itemIndex_ - 1);
      if (m.WParam == VK_DOWN || m.WParam == VK_RIGHT) Select(itemIndex_ + 1);
      if (m.WParam == VK_HOME) Select(0);
      if (m.WParam == VK_END) Select(items_->Count() - 1);
      break;
    case WM_GETDLGCODE:
      m.Result = DLGC_WANTARROWS;
      return;
  }
  TWinControl::Dispatch(m);
}

void TComboBox::PaintWindow(gfx::HDC dc) {
  Prepare(dc, this, gfx::clBtnFace);
  SunkenBox(dc, {0, 0, width_, height_}, enabled_ ? color_ : gfx::clBtnFace);
  RECT btn{width_ - 18, 2, width_ - 2, height_ - 2};
  gfx::HBRUSH face = gfx::GetSysColorBrush(gfx::COLOR_BTNFACE);
  gfx::FillRect(dc, &btn, face);
  gfx::DrawEdge(dc, &btn, gfx::EDGE_RAISED, gfx::BF_RECT);
  // The arrow: a small downward triangle.
  int cx = (btn.Left + btn.Right) / 2, cy = (btn.Top + btn.Bottom) / 2 - 1;
  gfx::HPEN pen = gfx::CreatePen(gfx::PS_SOLID, 1, gfx::ColorToRGB(gfx::clBtnText));
  gfx::HGDIOBJ old = gfx::SelectObject(dc, pen);
  for (int i = 0; i < 4; i++) {
    gfx::MoveToEx(dc, cx - 3 + i, cy + i, nullptr);
    gfx::LineTo(dc, cx + 4 - i, cy + i);
  }
  gfx::SelectObject(dc, old);
  gfx::DeleteObject(pen);
  RECT tr{4, 2, width_ - 20, height_ - 2};
  gfx::DrawText(dc, text_, -1, &tr, gfx::DT_LEFT | gfx::DT_VCENTER | gfx::DT_SINGLELINE | gfx::DT_NOPREFIX);
}

// ============================================================================ TTrackBar

TTrackBar::TTrackBar(TComponent* AOwner) : TWinControl(AOwner) {
  width_ = 150;
  height_ = 45;
  tabStop_ = true;
  color_ = gfx::clBtnFace;
  brush_.SetColor(color_);
}

void TTrackBar::SetParams(int position, int mn, int mx) {
  if (mx < mn) mx = mn;
  position = std::clamp(position, mn, mx);
  bool changed = position != position_;
  min_ = mn;
  max_ = mx;
  position_ = position;
  Invalidate();
  if (changed) OnChange(this);
}

int TTrackBar::PositionAt(int x, int y) {
  int len = (Orientation == trHorizontal ? width_ : height_) - 24;
  int at = (Orientation == trHorizontal ? x : y) - 12;
  if (len <= 0 || max_ == min_) return min_;
  return min_ + int((int64_t(std::clamp(at, 0, len)) * (max_ - min_) + len / 2) / len);
}

void TTrackBar::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
      if (!Focused() && CanFocus()) SetFocus();
      SetMouseCapture(true);
      SetPosition(PositionAt(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)));
      return;
    case WM_MOUSEMOVE:
      if (MouseCapture()) SetPosition(PositionAt(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)));
      return;
    case WM_LBUTTONUP:
      SetMouseCapture(false);
      return;
    case WM_KEYDOWN:
      switch (m.WParam) {
        case VK_LEFT:
        case VK_UP:
          SetPosition(position_ - LineSize);
          break;
        case VK_RIGHT:
        case VK_DOWN:
          SetPosition(position_ + LineSize);
          break;
        case VK_PRIOR:
          SetPosition(position_ - PageSize);
          break;
        case VK_NEXT:
          SetPosition(position_ + PageSize);
          break;
        case VK_HOME:
          SetPosition(min_);
          break;
        case VK_END:
          SetPosition(max_);
          break;
      }
      break;
    case WM_GETDLGCODE:
      m.Result = DLGC_WANTARROWS;
      return;
  }
  TWinControl::Dispatch(m);
}

void TTrackBar::PaintWindow(gfx::HDC dc) {
  Prepare(dc, this, color_);
  bool h = Orientation == trHorizontal;
  int len = (h ? width_ : height_) - 24;
  RECT groove = h ? RECT{8, 8, width_ - 8, 12} : RECT{8, 8, 12, height_ - 8};
  gfx::DrawEdge(dc, &groove, gfx::EDGE_SUNKEN, gfx::BF_RECT);
  int at = 12 + (max_ > min_ ? int(int64_t(position_ - min_) * len / (max_ - min_)) : 0);
  RECT thumb = h ? RECT{at - 5, 2, at + 6, 20} : RECT{2, at - 5, 20, at + 6};
  gfx::FillRect(dc, &thumb, gfx::GetSysColorBrush(gfx::COLOR_BTNFACE));
  gfx::DrawEdge(dc, &thumb, gfx::EDGE_RAISED, gfx::BF_RECT);
}

// ============================================================================ TMemo

TMemo::TMemo(TComponent* AOwner) : TWinControl(AOwner), lines_(new rtl::TStringList) {
  width_ = 185;
  height_ = 89;
  tabStop_ = true;
  color_ = gfx::clWindow;
  brush_.SetColor(color_);
  lines_->OnChange = [this](rtl::TObject*) {
    Invalidate();
    OnChange(this);
  };
}

TMemo::~TMemo() { delete lines_; }

std::string TMemo::GetText() const {
  std::string out;
  for (int i = 0; i < lines_->Count(); i++) out += lines_->At(i) + "\r\n";
  return out;
}

void TMemo::SetTextBuf(const std::string& s) {
  lines_->BeginUpdate();
  lines_->Clear();
  size_t start = 0;
  while (start < s.size()) {
    size_t end = s.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines_->Add(s.substr(start));
      break;
    }
    lines_->Add(s.substr(start, end - start));
    start = end + ((s[end] == '\r' && end + 1 < s.size() && s[end + 1] == '\n') ? 2 : 1);
  }
  lines_->EndUpdate();
}

void TMemo::PaintWindow(gfx::HDC dc) {
  Prepare(dc, this, color_);
  SunkenBox(dc, {0, 0, width_, height_}, enabled_ ? color_ : gfx::clBtnFace);
  int y = 3;
  for (int i = 0; i < lines_->Count() && y < height_ - 2; i++) {
    RECT r{4, y, width_ - 4, height_ - 2};
    y += gfx::DrawText(dc, lines_->At(i), -1, &r,
                       gfx::DT_LEFT | gfx::DT_NOPREFIX | (WordWrap ? gfx::DT_WORDBREAK : gfx::DT_SINGLELINE));
  }
}

// ============================================================================ TListBox

TListBox::TListBox(TComponent* AOwner) : TWinControl(AOwner), items_(new rtl::TStringList) {
  width_ = 121;
  height_ = 97;
  tabStop_ = true;
  color_ = gfx::clWindow;
  brush_.SetColor(color_);
  items_->OnChange = [this](rtl::TObject*) {
    if (itemIndex_ >= items_->Count()) itemIndex_ = -1;
    Invalidate();
  };
}

TListBox::~TListBox() { delete items_; }

void TListBox::SetItemIndex(int i) {
  if (i < -1 || i >= items_->Count()) i = -1;
  if (i == itemIndex_) return;
  itemIndex_ = i;
  Invalidate();
}

void TListBox::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_LBUTTONDOWN: {
      if (!Focused() && CanFocus()) SetFocus();
      int row = TopIndex + (GET_Y_LPARAM(m.LParam) - 2) / std::max(1, ItemHeight);
      if (row >= 0 && row < items_->Count() && row != itemIndex_) {
        SetItemIndex(row);
        Click();
      }
      return;
    }
    case WM_KEYDOWN:
      if ((m.WParam == VK_UP && itemIndex_ > 0) || (m.WParam == VK_DOWN && itemIndex_ + 1 < items_->Count())) {
        SetItemIndex(itemIndex_ + (m.WParam == VK_UP ? -1 : 1));
        Click();
      }
      break;
    case WM_GETDLGCODE:
      m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
      return;
  }
  TWinControl::Dispatch(m);
}

void TListBox::PaintWindow(gfx::HDC dc) {
  Prepare(dc, this, color_);
  SunkenBox(dc, {0, 0, width_, height_}, enabled_ ? color_ : gfx::clBtnFace);
  for (int i = TopIndex, y = 2; i < items_->Count() && y < height_ - 2; i++, y += ItemHeight) {
    RECT r{2, y, width_ - 2, std::min(y + ItemHeight, height_ - 2)};
    if (i == itemIndex_) {
      gfx::FillRect(dc, &r, gfx::GetSysColorBrush(gfx::COLOR_HIGHLIGHT));
      gfx::SetTextColor(dc, gfx::ColorToRGB(gfx::clHighlightText));
    } else {
      gfx::SetTextColor(dc, gfx::ColorToRGB(font_.Color()));
    }
    RECT tr{r.Left + 2, r.Top, r.Right, r.Bottom};
    gfx::DrawText(dc, items_->At(i), -1, &tr, gfx::DT_LEFT | gfx::DT_VCENTER | gfx::DT_SINGLELINE | gfx::DT_NOPREFIX);
  }
}

// ============================================================================ TImage

TImage::TImage(TComponent* AOwner) : TGraphicControl(AOwner), picture_(new gfx::TPicture) {
  width_ = 105;
  height_ = 105;
  picture_->OnChange = [this](rtl::TObject*) { Invalidate(); };
}

TImage::~TImage() { delete picture_; }

void TImage::Paint() {
  gfx::TGraphic* g = picture_->Graphic();
  if (!g || g->Empty()) return;
  int w = g->Width(), h = g->Height();
  TRect r{0, 0, w, h};
  if (Stretch || (Proportional && (w > width_ || h > height_))) {
    if (Proportional && w > 0 && h > 0) {
      double k = std::min(double(width_) / w, double(height_) / h);
      r = {0, 0, int(w * k), int(h * k)};
    } else {
      r = {0, 0, width_, height_};
    }
  }
  if (Center) {
    int dx = (width_ - r.Width()) / 2, dy = (height_ - r.Height()) / 2;
    r = {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy};
  }
  Canvas()->StretchDraw(r, g);
}

}  // namespace cl
