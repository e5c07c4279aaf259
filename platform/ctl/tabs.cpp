#include "platform/ctl/tabs.h"

#include "platform/ctl/internal.h"
#include "platform/gfx/dc.h"
#include "platform/gfx/raster.h"
#include "platform/gfx/text.h"

#include <algorithm>

namespace ctl {

using namespace win;
using detail::Send;

namespace {
constexpr int kPad = 6;     // text padding on each side of a tab
constexpr int kMargin = 2;  // the strip's distance from the left and top edges
}  // namespace

// ============================================================================ TCustomTabControl

TCustomTabControl::TCustomTabControl(TComponent* AOwner)
    : TWinControl(AOwner), tabs_(std::make_unique<rtl::TStringList>()) {
  ControlStyle = cl::csAcceptsControls | cl::csDoubleClicks | cl::csOpaque | cl::csCaptureMouse;
  width_ = 289;
  height_ = 193;
  tabStop_ = true;
  color_ = gfx::clBtnFace;
  brush_.SetColor(color_);
  tabs_->OnChange = [this](rtl::TObject*) { TabsChanged(); };
}

void TCustomTabControl::CreateWnd() {
  TWinControl::CreateWnd();
  Realign();
}

void TCustomTabControl::TabsChanged() {
  int n = tabs_->Count();
  if (tabIndex_ >= n) tabIndex_ = n - 1;
  first_ = std::clamp(first_, 0, std::max(0, n - 1));
  Invalidate();
}

void TCustomTabControl::SetTabIndex(int v) { Send(this, TCM_SETCURSEL, WPARAM(v)); }

void TCustomTabControl::SetTabHeight(int v) {
  tabHeight_ = std::max(0, v);
  Send(this, TCM_SETITEMSIZE, 0, MAKELPARAM(tabWidth_, tabHeight_));
}

void TCustomTabControl::SetTabWidth(int v) {
  tabWidth_ = std::max(0, v);
  Send(this, TCM_SETITEMSIZE, 0, MAKELPARAM(tabWidth_, tabHeight_));
}

void TCustomTabControl::SetTabPosition(TTabPosition p) {
  tabPosition_ = p;
  Invalidate();
}

void TCustomTabControl::SetMultiLine(bool v) {
  multiLine_ = v;
  Invalidate();
}

void TCustomTabControl::SetImages(gfx::HIMAGELIST il) { Send(this, TCM_SETIMAGELIST, 0, LPARAM(il)); }

bool TCustomTabControl::CanChange() {
  bool allow = true;
  OnChanging(this, allow);
  return allow;
}

void TCustomTabControl::Change() { OnChange(this); }

int TCustomTabControl::GetImageIndex(int tabIndex) {
  int i = tabIndex;
  OnGetImageIndex(this, tabIndex, i);
  return i;
}

int TCustomTabControl::ItemHeight() const {
  if (setHeight_ > 0) return setHeight_;
  gfx::FontMetrics m = gfx::TextEngine().Metrics(font_.LogFont());
  int h = m.ascent + m.descent + 6;
  if (images_) h = std::max(h, images_->Height() + 4);
  return h;
}

int TCustomTabControl::NaturalWidth(int index) const {
  if (setWidth_ > 0) return setWidth_;
  int w = gfx::TextEngine().Width(font_.LogFont(), gfx::ToU32(tabs_->At(index))) + 2 * kPad;
  if (images_ && const_cast<TCustomTabControl*>(this)->GetImageIndex(index) >= 0) w += images_->Width() + 3;
  return w;
}

int TCustomTabControl::TabLeft(int index) const {
  int x = 0;
  for (int i = 0; i < index; i++) x += NaturalWidth(i);
  return x;
}

TRect TCustomTabControl::TabRect(int index) {
  RECT r{0, 0, 0, 0};
  Send(this, TCM_GETITEMRECT, WPARAM(index), LPARAM(&r));
  return r;
}

TRect TCustomTabControl::DisplayRect() {
  RECT r = ClientRect();
  Send(this, TCM_ADJUSTRECT, FALSE, LPARAM(&r));
  return r;
}

int TCustomTabControl::IndexOfTabAt(int x, int y) {
  TCHITTESTINFO info;
  info.pt = {x, y};
  return int(Send(this, TCM_HITTEST, 0, LPARAM(&info)));
}

void TCustomTabControl::AdjustClientRect(TRect& rect) {
  RECT r = rect;
  Send(this, TCM_ADJUSTRECT, FALSE, LPARAM(&r));
  rect = r;
}

void TCustomTabControl::EnsureTabVisible(int index) {
  if (index < 0 || index >= tabs_->Count()) return;
  int old = first_, cw = ClientWidth();
  if (index < first_) first_ = index;
  // Scroll right until the tab ends inside the control.
  auto right = [&] {
    int offset = first_ > 0 ? TabLeft(first_) + kMargin : 0;
    return kMargin + TabLeft(index) + NaturalWidth(index) - offset;
  };
  while (first_ < index && right() > cw) first_++;
  if (first_ != old) Invalidate();
}

void TCustomTabControl::UserSelect(int index) {
  if (index < 0 || index >= tabs_->Count() || index == tabIndex_) return;
  if (!CanChange() || Destroyed()) return;
  tabIndex_ = index;
  EnsureTabVisible(index);
  Invalidate();
  Change();
}

// ============================================================================ painting

void TCustomTabControl::PaintWindow(gfx::HDC dc) {
  RECT c = ClientRect();
  gfx::FillRect(dc, &c, brush_.Handle());
  RECT frame = DisplayRect();
  frame.Left -= 2;
  frame.Top -= 2;
  frame.Right += 2;
  frame.Bottom += 2;
  gfx::DrawEdge(dc, &frame, gfx::EDGE_RAISED, gfx::BF_RECT);
  int saved = gfx::SaveDC(dc);
  gfx::SelectObject(dc, font_.Handle());
  gfx::SetBkMode(dc, gfx::TRANSPARENT);
  gfx::SetTextColor(dc, gfx::ColorToRef(font_.Color()));
  gfx::HBRUSH face = gfx::GetSysColorBrush(gfx::COLOR_BTNFACE);
  auto drawTab = [&](int i, bool selected) {
    TRect t = TabRect(i);
    if (t.Right <= 0 || t.Left >= c.Right) return;
    RECT r = t;
    if (selected) {
      r.Left -= 2;
      r.Top -= 2;
      r.Right += 2;
      r.Bottom += 1;
    }
    gfx::FillRect(dc, &r, face);
    RECT e = r;
    gfx::DrawEdge(dc, &e, gfx::EDGE_RAISED, gfx::BF_LEFT | gfx::BF_TOP | gfx::BF_RIGHT);
    RECT tr{t.Left + kPad, t.Top, t.Right - kPad, t.Bottom};
    int img = images_ ? GetImageIndex(i) : -1;
    if (images_ && img >= 0) {
      if (img < images_->Count()) images_->DrawDC(dc, tr.Left, t.Top + (t.Height() - images_->Height()) / 2, img);
      tr.Left += images_->Width() + 3;
    }
    gfx::DrawText(dc, tabs_->At(i), -1, &tr, gfx::DT_SINGLELINE | gfx::DT_VCENTER | gfx::DT_NOPREFIX);
  };
  for (int i = 0; i < tabs_->Count(); i++)
    if (i != tabIndex_) drawTab(i, false);
  if (tabIndex_ >= 0) drawTab(tabIndex_, true);
  gfx::RestoreDC(dc, saved);
}

// ============================================================================ messages

void TCustomTabControl::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_SIZE:
      TWinControl::Dispatch(m);
      if (!Destroyed()) Invalidate();
      return;
    case CM_FONTCHANGED:
      TWinControl::Dispatch(m);
      Realign();
      return;
  }
  TWinControl::Dispatch(m);
}

void TCustomTabControl::DefaultHandler(TMessage& m) {
  int n = tabs_->Count();
  switch (m.Msg) {
    case WM_GETDLGCODE:
      m.Result = DLGC_WANTARROWS;
      return;
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_LBUTTONDOWN: {
      int i = IndexOfTabAt(GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam));
      if (i >= 0) {
        if (HandleAllocated() && tabStop_ && GetFocus() != handle_ && CanFocus()) win::SetFocus(handle_);
        if (!Destroyed()) UserSelect(i);
      }
      return;
    }
    case WM_KEYDOWN:
      if (m.WParam == VK_LEFT && tabIndex_ > 0) UserSelect(tabIndex_ - 1);
      if (m.WParam == VK_RIGHT && tabIndex_ + 1 < n) UserSelect(tabIndex_ + 1);
      return;
    case WM_HSCROLL: {
      int code = LOWORD(m.WParam), pos = int16_t(HIWORD(m.WParam)), f = first_;
      if (code == SB_THUMBPOSITION || code == SB_THUMBTRACK) f = pos;
      if (code == SB_LINELEFT) f--;
      if (code == SB_LINERIGHT) f++;
      f = std::clamp(f, 0, std::max(0, n - 1));
      if (f != first_) {
        first_ = f;
        Invalidate();
      }
      return;
    }
    case TCM_GETITEMCOUNT:
      m.Result = n;
      return;
    case TCM_GETCURSEL:
      m.Result = tabIndex_;
      return;
    case TCM_SETCURSEL: {
      int i = int(intptr_t(m.WParam));
      if (i < -1 || i >= n) {
        m.Result = -1;
        return;
      }
      m.Result = tabIndex_;
      tabIndex_ = i;
      EnsureTabVisible(i);
      Invalidate();
      return;
    }
    case TCM_GETITEMRECT: {
      auto* r = reinterpret_cast<RECT*>(m.LParam);
      int i = int(m.WParam);
      if (!r || i < 0 || i >= n) {
        m.Result = FALSE;
        return;
      }
      int offset = first_ > 0 ? TabLeft(first_) + kMargin : 0;
      int left = kMargin + TabLeft(i) - offset;
      *r = {left, kMargin, left + NaturalWidth(i), kMargin + ItemHeight()};
      m.Result = TRUE;
      return;
    }
    case TCM_HITTEST: {
      auto* info = reinterpret_cast<TCHITTESTINFO*>(m.LParam);
      m.Result = -1;
      if (!info) return;
      info->flags = TCHT_NOWHERE;
      for (int i = 0; i < n; i++) {
        TRect t = TabRect(i);
        if (t.Right > 0 && info->pt.X >= t.Left && info->pt.X < t.Right && info->pt.Y >= t.Top &&
            info->pt.Y < t.Bottom) {
          info->flags = TCHT_ONITEM;
          m.Result = i;
          return;
        }
      }
      return;
    }
    case TCM_ADJUSTRECT: {
      auto* r = reinterpret_cast<RECT*>(m.LParam);
      if (!r) return;
      int top = kMargin + ItemHeight() + 4;
      if (m.WParam) {  // display -> window
        r->Left -= 4;
        r->Right += 4;
        r->Bottom += 4;
        r->Top -= top;
      } else {
        r->Left += 4;
        r->Right -= 4;
        r->Bottom -= 4;
        r->Top += top;
      }
      return;
    }
    case TCM_SETITEMSIZE: {
      m.Result = MAKELPARAM(setWidth_ > 0 ? setWidth_ : 0, ItemHeight());
      setWidth_ = LOWORD(uintptr_t(m.LParam));
      setHeight_ = HIWORD(uintptr_t(m.LParam));
      Realign();
      Invalidate();
      return;
    }
    case TCM_SETIMAGELIST:
      m.Result = LRESULT(images_);
      images_ = reinterpret_cast<gfx::ImageList*>(m.LParam);
      Realign();
      Invalidate();
      return;
  }
  TWinControl::DefaultHandler(m);
}

// ============================================================================ TTabSheet

TTabSheet::TTabSheet(TComponent* AOwner) : TWinControl(AOwner) {
  ControlStyle |= cl::csAcceptsControls;
  align_ = cl::alClient;
  visible_ = false;
  color_ = gfx::clBtnFace;
  brush_.SetColor(color_);
  parentColor_ = true;
}

void TTabSheet::Destroy() {
  SetPageControl(nullptr);
  TWinControl::Destroy();
}

void TTabSheet::SetPageControl(TPageControl* p) {
  if (p == pageControl_) return;
  if (pageControl_) pageControl_->RemovePage(this);
  if (p) {
    SetParent(p);
    p->InsertPage(this);
  } else {
    SetParent(nullptr);
  }
}

void TTabSheet::SetTabVisible(bool v) {
  if (v == tabVisible_) return;
  tabVisible_ = v;
  if (pageControl_) pageControl_->UpdateTabs();
}

int TTabSheet::PageIndex() const {
  if (!pageControl_) return -1;
  auto& p = pageControl_->pages_;
  return int(std::find(p.begin(), p.end(), this) - p.begin());
}

void TTabSheet::SetPageIndex(int i) {
  if (!pageControl_) return;
  auto& p = pageControl_->pages_;
  std::erase(p, this);
  p.insert(p.begin() + std::clamp(i, 0, int(p.size())), this);
  pageControl_->UpdateTabs();
}

int TTabSheet::TabIndex() const {
  if (!pageControl_ || !tabVisible_) return -1;
  int k = 0;
  for (TTabSheet* s : pageControl_->pages_) {
    if (s == this) return k;
    if (s->tabVisible_) k++;
  }
  return -1;
}

void TTabSheet::SetImageIndex(int i) {
  imageIndex_ = i;
  if (pageControl_) pageControl_->Invalidate();
}

void TTabSheet::Dispatch(TMessage& m) {
  TWinControl::Dispatch(m);
  if (m.Msg == CM_TEXTCHANGED && pageControl_) pageControl_->UpdateTabs();
}

// ============================================================================ TPageControl

TPageControl::TPageControl(TComponent* AOwner) : TCustomTabControl(AOwner) {}

void TPageControl::Destroy() {
  for (TTabSheet* s : pages_) s->pageControl_ = nullptr;
  pages_.clear();
  activePage_ = nullptr;
  TCustomTabControl::Destroy();
}

TTabSheet* TPageControl::Pages(int i) const {
  if (i < 0 || i >= PageCount()) throw rtl::EListError("List index out of bounds (" + std::to_string(i) + ")");
  return pages_[size_t(i)];
}

int TPageControl::ActivePageIndex() const { return activePage_ ? activePage_->PageIndex() : -1; }

void TPageControl::SetActivePageIndex(int i) { SetActivePage(i >= 0 && i < PageCount() ? pages_[size_t(i)] : nullptr); }

TTabSheet* TPageControl::PageOfTab(int tabIndex) const {
  for (TTabSheet* s : pages_)
    if (s->TabIndex() == tabIndex && tabIndex >= 0) return s;
  return nullptr;
}

void TPageControl::InsertPage(TTabSheet* page) {
  pages_.push_back(page);
  page->pageControl_ = this;
  UpdateTabs();
  if (!activePage_ && page->tabVisible_) SetActivePage(page);
}

void TPageControl::RemovePage(TTabSheet* page) {
  TTabSheet* next = nullptr;
  if (activePage_ == page) {
    next = FindNextPage(page, true, true);
    if (next == page) next = nullptr;
  }
  std::erase(pages_, page);
  page->pageControl_ = nullptr;
  if (activePage_ == page) {
    activePage_ = nullptr;
    SetActivePage(next);
  }
  UpdateTabs();
}

void TPageControl::UpdateTabs() {
  tabs_->BeginUpdate();
  tabs_->Clear();
  for (TTabSheet* s : pages_)
    if (s->tabVisible_) tabs_->Add(s->Caption());
  tabs_->EndUpdate();
  SetTabIndex(activePage_ ? activePage_->TabIndex() : -1);
  TabsChanged();
}

void TPageControl::ShowPage(TTabSheet* page) {
  if (page == activePage_) return;
  TTabSheet* old = activePage_;
  activePage_ = page;
  if (page) {
    page->BringToFront();
    page->SetVisible(true);
  }
  if (old && old != page && !old->Destroyed()) old->SetVisible(false);
}

void TPageControl::SetActivePage(TTabSheet* page) {
  if (page && page->pageControl_ != this) return;
  ShowPage(page);
  SetTabIndex(page ? page->TabIndex() : -1);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* cur, bool goForward, bool checkTabVisible) {
  int n = PageCount();
  if (n == 0) return nullptr;
  int start = -1;
  for (int i = 0; i < n; i++)
    if (pages_[size_t(i)] == cur) start = i;
  if (start < 0) start = goForward ? n - 1 : 0;
  int i = start;
  for (int k = 0; k < n; k++) {
    i = goForward ? (i + 1) % n : (i + n - 1) % n;
    TTabSheet* s = pages_[size_t(i)];
    if (!checkTabVisible || s->tabVisible_) return s;
  }
  return nullptr;
}

void TPageControl::SelectNextPage(bool goForward, bool checkTabVisible) {
  TTabSheet* next = FindNextPage(activePage_, goForward, checkTabVisible);
  if (!next || next == activePage_ || !CanChange() || Destroyed()) return;
  SetActivePage(next);
  TCustomTabControl::Change();
}

void TPageControl::Dispatch(TMessage& m) {
  // Ctrl+Tab and Ctrl+Shift+Tab page through the sheets while the focus is inside.
  if (m.Msg == CM_DIALOGKEY && m.WParam == VK_TAB && GetKeyState(VK_CONTROL) < 0 && HandleAllocated()) {
    HWND f = GetFocus();
    if (f == handle_ || IsChild(handle_, f)) {
      SelectNextPage(GetKeyState(VK_SHIFT) >= 0);
      m.Result = 1;
      return;
    }
  }
  TCustomTabControl::Dispatch(m);
}

void TPageControl::Change() {
  ShowPage(PageOfTab(TabIndex()));
  TCustomTabControl::Change();
}

int TPageControl::GetImageIndex(int tabIndex) {
  TTabSheet* s = PageOfTab(tabIndex);
  int i = s ? s->ImageIndex() : tabIndex;
  OnGetImageIndex(this, tabIndex, i);
  return i;
}

}  // namespace ctl
