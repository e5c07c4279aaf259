#include "platform/ctl/listbox.h"

#include "platform/ctl/internal.h"
#include "platform/ctl/scrollinfo.h"
#include "platform/gfx/dc.h"
#include "platform/gfx/graphics.h"
#include "platform/gfx/raster.h"
#include "platform/gfx/text.h"
#include "platform/rtl/strings.h"

#include <algorithm>
#include <cstring>

namespace ctl {

using namespace win;
using detail::Send;

// ============================================================================ TListBoxStrings

int TListBoxStrings::Count() const { return int(Send(box_, LB_GETCOUNT)); }

std::string TListBoxStrings::Get(int index) const {
  LRESULT n = Send(box_, LB_GETTEXTLEN, WPARAM(index));
  if (n == LB_ERR) throw rtl::EListError("List index out of bounds (" + std::to_string(index) + ")");
  std::string s(size_t(n) + 1, '\0');
  Send(box_, LB_GETTEXT, WPARAM(index), LPARAM(s.data()));
  s.resize(size_t(n));
  return s;
}

void TListBoxStrings::Put(int index, const std::string& s) {
  void* obj = GetObject(index);
  int sel = box_->ItemIndex();
  Delete(index);
  InsertObject(index, s, obj);
  if (sel == index) box_->SetItemIndex(index);
}

void* TListBoxStrings::GetObject(int index) const {
  LRESULT r = Send(box_, LB_GETITEMDATA, WPARAM(index));
  if (r == LB_ERR && (index < 0 || index >= Count()))
    throw rtl::EListError("List index out of bounds (" + std::to_string(index) + ")");
  return reinterpret_cast<void*>(r);
}

void TListBoxStrings::PutObject(int index, void* obj) { Send(box_, LB_SETITEMDATA, WPARAM(index), LPARAM(obj)); }

void TListBoxStrings::Insert(int index, const std::string& s) {
  if (Send(box_, LB_INSERTSTRING, WPARAM(index), LPARAM(s.c_str())) < 0)
    throw rtl::EListError("List index out of bounds (" + std::to_string(index) + ")");
}

void TListBoxStrings::Delete(int index) { Send(box_, LB_DELETESTRING, WPARAM(index)); }
void TListBoxStrings::Clear() { box_->Clear(); }

int TListBoxStrings::Add(const std::string& s) { return int(Send(box_, LB_ADDSTRING, 0, LPARAM(s.c_str()))); }

int TListBoxStrings::AddObject(const std::string& s, void* obj) {
  int i = Add(s);
  if (i >= 0) PutObject(i, obj);
  return i;
}

int TListBoxStrings::IndexOf(const std::string& s) const {
  return int(Send(box_, LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(s.c_str())));
}

void TListBoxStrings::Exchange(int a, int b) {
  std::string sa = Get(a), sb = Get(b);
  void *oa = GetObject(a), *ob = GetObject(b);
  Put(a, sb);
  PutObject(a, ob);
  Put(b, sa);
  PutObject(b, oa);
}

// ============================================================================ TCustomListBox

TCustomListBox::TCustomListBox(TComponent* AOwner)
    : TWinControl(AOwner), strings_(std::make_unique<TListBoxStrings>(this)), canvas_(new cl::TControlCanvas(this)) {
  ControlStyle = cl::csSetCaption | cl::csDoubleClicks | cl::csOpaque | cl::csCaptureMouse;
  width_ = 121;
  height_ = 97;
  tabStop_ = true;
  color_ = gfx::clWindow;
  brush_.SetColor(color_);
  parentColor_ = false;
}

TCustomListBox::~TCustomListBox() { delete canvas_; }

void TCustomListBox::CreateWnd() {
  TWinControl::CreateWnd();
  UpdateScroll();
}

void TCustomListBox::CreateParams(cl::TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.Style |= LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
  if (sorted_) p.Style |= LBS_SORT;
  if (multiSelect_) p.Style |= extendedSelect_ ? LBS_EXTENDEDSEL : LBS_MULTIPLESEL;
  if (columns_ > 0) p.Style |= LBS_MULTICOLUMN;
  if (style_ != lbStandard) p.Style |= LBS_OWNERDRAWFIXED;
}

int TCustomListBox::ItemIndex() { return int(Send(this, multiSelect_ ? LB_GETCARETINDEX : LB_GETCURSEL)); }

void TCustomListBox::SetItemIndex(int v) {
  if (ItemIndex() == v) return;
  Send(this, multiSelect_ ? LB_SETCARETINDEX : LB_SETCURSEL, WPARAM(v));
}

bool TCustomListBox::Selected(int index) {
  LRESULT r = Send(this, LB_GETSEL, WPARAM(index));
  if (r == LB_ERR) throw rtl::EListError("List index out of bounds (" + std::to_string(index) + ")");
  return r != 0;
}

void TCustomListBox::SetSelected(int index, bool v) {
  if (multiSelect_) {
    if (Send(this, LB_SETSEL, v ? 1 : 0, LPARAM(index)) == LB_ERR)
      throw rtl::EListError("List index out of bounds (" + std::to_string(index) + ")");
  } else if (v) {
    SetItemIndex(index);
  } else if (ItemIndex() == index) {
    SetItemIndex(-1);
  }
}

int TCustomListBox::SelCount() { return int(Send(this, LB_GETSELCOUNT)); }

void TCustomListBox::Clear() { Send(this, LB_RESETCONTENT); }

void TCustomListBox::ClearSelection() {
  if (multiSelect_)
    Send(this, LB_SETSEL, 0, -1);
  else
    SetItemIndex(-1);
}

void TCustomListBox::SelectAll() {
  if (multiSelect_) Send(this, LB_SETSEL, 1, -1);
}

int TCustomListBox::TopIndex() { return int(Send(this, LB_GETTOPINDEX)); }
void TCustomListBox::SetTopIndex(int v) { Send(this, LB_SETTOPINDEX, WPARAM(v)); }
void TCustomListBox::SetItemHeight(int v) {
  if (v > 0) Send(this, LB_SETITEMHEIGHT, 0, v);
}

TRect TCustomListBox::ItemRect(int index) {
  RECT r{0, 0, 0, 0};
  Send(this, LB_GETITEMRECT, WPARAM(index), LPARAM(&r));
  return r;
}

int TCustomListBox::RowsPerPage() { return std::max(0, ClientHeight() / itemHeight_); }

int TCustomListBox::ColumnWidth() { return columns_ > 0 ? std::max(1, ClientWidth() / columns_) : ClientWidth(); }

int TCustomListBox::ItemAtPos(TPoint pos, bool existing) {
  TRect c = ClientRect();
  if (pos.X >= c.Left && pos.Y >= c.Top && pos.X < c.Right && pos.Y < c.Bottom) {
    int row = pos.Y / itemHeight_, index;
    if (columns_ > 0) {
      int rows = std::max(1, RowsPerPage());
      if (row >= rows) return existing ? -1 : Count();
      index = top_ + (pos.X / ColumnWidth()) * rows + row;
    } else {
      index = top_ + row;
    }
    if (index >= 0 && index < Count()) return index;
  }
  return existing ? -1 : Count();
}

void TCustomListBox::SetMultiSelect(bool v) {
  if (v == multiSelect_) return;
  multiSelect_ = v;
  for (Row& r : rows_) r.selected = false;
  RecreateWnd();
  Invalidate();
}

void TCustomListBox::SetExtendedSelect(bool v) {
  if (v == extendedSelect_) return;
  extendedSelect_ = v;
  RecreateWnd();
}

void TCustomListBox::SetSorted(bool v) {
  if (v == sorted_) return;
  sorted_ = v;
  if (v) {
    // The caret row keeps its row through the sort.
    std::vector<std::pair<Row, bool>> tagged;
    for (size_t i = 0; i < rows_.size(); i++) tagged.push_back({rows_[i], int(i) == itemIndex_});
    std::stable_sort(tagged.begin(), tagged.end(),
                     [](const auto& a, const auto& b) { return rtl::AnsiCompareText(a.first.text, b.first.text) < 0; });
    for (size_t i = 0; i < rows_.size(); i++) {
      rows_[i] = tagged[i].first;
      if (tagged[i].second) itemIndex_ = int(i);
    }
    anchor_ = -1;
    Invalidate();
  }
  RecreateWnd();
}

void TCustomListBox::SetColumns(int v) {
  v = std::max(0, v);
  if (v == columns_) return;
  columns_ = v;
  top_ = 0;
  RecreateWnd();
  UpdateScroll();
  Invalidate();
}

void TCustomListBox::SetStyle(TListBoxStyle s) {
  if (s == style_) return;
  style_ = s;
  RecreateWnd();
  Invalidate();
}

// ============================================================================ engine

int TCustomListBox::MaxTop() {
  int n = Count(), rows = std::max(1, RowsPerPage());
  if (columns_ > 0) {
    int cols = (n + rows - 1) / rows;
    return std::max(0, cols - columns_) * rows;
  }
  return std::max(0, n - rows);
}

void TCustomListBox::UpdateScroll() {
  if (!HandleAllocated()) return;
  int n = Count(), rows = RowsPerPage();
  if (columns_ > 0) {
    int r = std::max(1, rows), cols = (n + r - 1) / r;
    bool scrolls = cols > columns_;
    detail::SetScroll(this, SB_HORZ, scrolls ? cols - 1 : 0, columns_, top_ / r);
    detail::SetScroll(this, SB_VERT, 0, 0, 0);
  } else {
    bool scrolls = n > rows;
    detail::SetScroll(this, SB_VERT, scrolls ? n - 1 : 0, rows, top_);
    detail::SetScroll(this, SB_HORZ, 0, 0, 0);
  }
}

void TCustomListBox::EnsureVisible(int index) {
  if (index < 0 || index >= Count()) return;
  int rows = std::max(1, RowsPerPage()), top = top_;
  if (columns_ > 0) {
    int col = index / rows, first = top_ / rows;
    if (col < first)
      top = col * rows;
    else if (col >= first + columns_)
      top = (col - columns_ + 1) * rows;
  } else if (index < top_) {
    top = index;
  } else if (index >= top_ + rows) {
    top = index - rows + 1;
  }
  if (top != top_) {
    top_ = std::clamp(top, 0, MaxTop());
    UpdateScroll();
    Invalidate();
  }
}

int TCustomListBox::Find(int start, const std::string& s, bool exact) const {
  int n = Count();
  if (n == 0) return LB_ERR;
  if (start < -1 || start >= n) start = -1;
  for (int k = 1; k <= n; k++) {
    int i = (start + k) % n;
    const std::string& t = rows_[size_t(i)].text;
    bool hit = exact ? rtl::AnsiSameText(t, s)
                     : (t.size() >= s.size() && rtl::AnsiSameText(std::string_view(t).substr(0, s.size()), s));
    if (hit) return i;
  }
  return LB_ERR;
}

// Selection made by the user: moves the caret row, selects as the mode says,
// keeps the row in view. Click is the caller's.
void TCustomListBox::UserSelect(int index, bool shift, bool ctrl, bool fromKeyboard) {
  if (index < 0 || index >= Count()) return;
  if (!multiSelect_) {
    itemIndex_ = index;
  } else if (!extendedSelect_) {
    if (!fromKeyboard) rows_[size_t(index)].selected = !rows_[size_t(index)].selected;
    itemIndex_ = index;
  } else {
    if (shift) {
      if (anchor_ < 0) anchor_ = itemIndex_ >= 0 ? itemIndex_ : index;
      int a = std::min(anchor_, index), b = std::max(anchor_, index);
      if (!ctrl)
        for (Row& r : rows_) r.selected = false;
      for (int i = a; i <= b; i++) rows_[size_t(i)].selected = true;
    } else if (ctrl && !fromKeyboard) {
      rows_[size_t(index)].selected = !rows_[size_t(index)].selected;
      anchor_ = index;
    } else if (!ctrl) {
      for (Row& r : rows_) r.selected = false;
      rows_[size_t(index)].selected = true;
      anchor_ = index;
    }
    itemIndex_ = index;
  }
  EnsureVisible(index);
  Invalidate();
}

void TCustomListBox::KeyEngine(uint16_t key) {
  int n = Count();
  if (n == 0) return;
  int cur = itemIndex_, rows = std::max(1, RowsPerPage()), target = cur;
  bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
  switch (key) {
    case VK_UP:
      target = cur < 0 ? 0 : cur - 1;
      break;
    case VK_DOWN:
      target = cur < 0 ? 0 : cur + 1;
      break;
    case VK_LEFT:
      target = columns_ > 0 ? cur - rows : cur - 1;
      break;
    case VK_RIGHT:
      target = columns_ > 0 ? cur + rows : cur + 1;
      break;
    case VK_PRIOR:
      target = cur - (rows > 1 ? rows - 1 : 1);
      break;
    case VK_NEXT:
      target = cur + (rows > 1 ? rows - 1 : 1);
      break;
    case VK_HOME:
      target = 0;
      break;
    case VK_END:
      target = n - 1;
      break;
    case VK_SPACE:
      if (multiSelect_ && cur >= 0) {
        rows_[size_t(cur)].selected = !rows_[size_t(cur)].selected;
        Invalidate();
        Click();
      }
      return;
    default:
      return;
  }
  target = std::clamp(target, 0, n - 1);
  if (target == cur && !(multiSelect_ && extendedSelect_)) return;
  UserSelect(target, shift, ctrl, true);
  if (!Destroyed()) Click();
}

void TCustomListBox::MouseEngine(TMessage& m) {
  TPoint pt{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  bool shift = m.WParam & MK_SHIFT, ctrl = m.WParam & MK_CONTROL;
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      if (HandleAllocated() && GetFocus() != handle_) {
        win::SetFocus(handle_);
        if (Destroyed()) return;
      }
      int i = ItemAtPos(pt, true);
      if (i < 0) return;
      if (m.Msg == WM_LBUTTONDBLCLK) {
        afterDblClick_ = true;
        tracking_ = false;
        if (!multiSelect_) UserSelect(i, false, false, false);
        DblClick();
        return;
      }
      UserSelect(i, shift, ctrl, false);
      tracking_ = true;
      return;
    }
    case WM_MOUSEMOVE:
      if (tracking_ && (m.WParam & MK_LBUTTON) && !multiSelect_) {
        int i = ItemAtPos(pt, true);
        if (i < 0) {
          // Dragged above or below the rows: they scroll toward the pointer.
          if (pt.Y < 0 && itemIndex_ > 0) i = itemIndex_ - 1;
          if (pt.Y >= ClientHeight() && itemIndex_ < Count() - 1) i = itemIndex_ + 1;
        }
        if (i >= 0 && i != itemIndex_) UserSelect(i, false, false, false);
      }
      return;
    case WM_LBUTTONUP:
      if (tracking_) {
        tracking_ = false;
        Click();
      }
      afterDblClick_ = false;
      return;
  }
}

void TCustomListBox::ScrollMessage(TMessage& m, bool vertical) {
  int rows = std::max(1, RowsPerPage());
  int code = LOWORD(m.WParam), pos = int16_t(HIWORD(m.WParam));
  int step = columns_ > 0 ? rows : 1, page = columns_ > 0 ? rows * columns_ : std::max(1, rows - 1);
  if (vertical == (columns_ > 0)) return;  // the other direction does not scroll
  int top = top_;
  if (!ScrollCodeTarget(code, top, pos * step, step, page, MaxTop(), top)) return;
  if (top == top_) return;
  top_ = top;
  UpdateScroll();
  Invalidate();
}

void TCustomListBox::KeyPress(char32_t& Key) {
  TWinControl::KeyPress(Key);
  if (!AutoComplete || Key == 0) return;
  uint32_t now = GetTickCount();
  if (now - lastKeyTime_ >= 500) filter_.clear();
  lastKeyTime_ = now;
  if (Key == 8) {
    if (!filter_.empty()) filter_ = rtl::FromUtf32(rtl::ToUtf32(filter_).substr(0, rtl::ToUtf32(filter_).size() - 1));
  } else if (Key >= 32) {
    filter_ += rtl::CodePointToUtf8(Key);
  } else {
    return;
  }
  if (!filter_.empty()) {
    // One letter cycles through the rows that begin with it; more letters
    // search from the top.
    bool single = rtl::ToUtf32(filter_).size() == 1;
    int i = Find(single ? itemIndex_ : -1, filter_, false);
    if (i != LB_ERR) {
      if (multiSelect_) {
        for (Row& r : rows_) r.selected = false;
        rows_[size_t(i)].selected = true;
      }
      itemIndex_ = i;
      EnsureVisible(i);
      Invalidate();
      Click();
    }
  }
  Key = 0;
}

// ============================================================================ painting

void TCustomListBox::DrawItem(int index, TRect rect, TOwnerDrawState state) {
  if (OnDrawItem) {
    OnDrawItem(this, index, rect, state);
    return;
  }
  gfx::TCanvas* c = canvas_;
  if (state & odSelected) {
    c->Brush()->SetColor(gfx::clHighlight);
    c->Font()->SetColor(gfx::clHighlightText);
  }
  c->FillRect(rect);
  if (index >= 0 && index < Count()) c->TextOut(rect.Left + 2, rect.Top, rows_[size_t(index)].text);
}

void TCustomListBox::PaintWindow(gfx::HDC dc) {
  RECT client = ClientRect();
  gfx::FillRect(dc, &client, brush_.Handle());
  int n = Count();
  bool focused = HandleAllocated() && GetFocus() == handle_;
  for (int i = top_; i < n; i++) {
    TRect r = ItemRect(i);
    if (r.Top >= client.Bottom || r.Left >= client.Right) {
      if (columns_ == 0) break;
      continue;
    }
    TOwnerDrawState st = 0;
    bool sel = multiSelect_ ? rows_[size_t(i)].selected : i == itemIndex_;
    if (sel) st |= odSelected;
    if (focused && i == itemIndex_) st |= odFocused;
    if (!Enabled()) st |= odDisabled;
    if (style_ != lbStandard) {
      DRAWITEMSTRUCT dis;
      dis.CtlType = ODT_LISTBOX;
      dis.itemID = UINT(i);
      dis.itemAction = ODA_DRAWENTIRE;
      dis.itemState = (sel ? ODS_SELECTED : 0) | ((st & odFocused) ? ODS_FOCUS : 0) | (Enabled() ? 0 : ODS_DISABLED);
      dis.hwndItem = handle_;
      dis.hDC = dc;
      dis.rcItem = r;
      dis.itemData = rows_[size_t(i)].data;
      Perform(CN_DRAWITEM, 0, LPARAM(&dis));
      continue;
    }
    int saved = gfx::SaveDC(dc);
    canvas_->Lock();
    canvas_->SetHandle(dc);
    canvas_->Font()->Assign(font_);
    canvas_->Brush()->Assign(brush_);
    DrawItem(i, r, st);
    if (st & odFocused) canvas_->DrawFocusRect(r);
    canvas_->SetHandle(gfx::HDC());
    canvas_->Unlock();
    gfx::RestoreDC(dc, saved);
  }
}

// ============================================================================ messages

void TCustomListBox::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case CN_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
      if (!dis) return;
      TOwnerDrawState st = 0;
      if (dis->itemState & ODS_SELECTED) st |= odSelected;
      if (dis->itemState & ODS_FOCUS) st |= odFocused;
      if (dis->itemState & ODS_DISABLED) st |= odDisabled;
      int saved = gfx::SaveDC(dis->hDC);
      canvas_->Lock();
      canvas_->SetHandle(dis->hDC);
      canvas_->Font()->Assign(font_);
      canvas_->Brush()->Assign(brush_);
      DrawItem(int(dis->itemID), dis->rcItem, st);
      if (st & odFocused) canvas_->DrawFocusRect(dis->rcItem);
      canvas_->SetHandle(gfx::HDC());
      canvas_->Unlock();
      gfx::RestoreDC(dis->hDC, saved);
      m.Result = 1;
      return;
    }
    case WM_SIZE:
      TWinControl::Dispatch(m);
      top_ = std::clamp(top_, 0, MaxTop());
      UpdateScroll();
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TWinControl::Dispatch(m);
      if (!Destroyed()) Invalidate();
      return;
  }
  TWinControl::Dispatch(m);
}

void TCustomListBox::DefaultHandler(TMessage& m) {
  int n = Count();
  auto valid = [&](WPARAM i) { return intptr_t(i) >= 0 && intptr_t(i) < n; };
  switch (m.Msg) {
    case WM_GETDLGCODE:
      m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
      return;
    case WM_KEYDOWN:
      KeyEngine(uint16_t(m.WParam));
      return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
      MouseEngine(m);
      return;
    case WM_CAPTURECHANGED:
      tracking_ = false;
      break;
    case WM_MOUSEWHEEL:
      // No scrolling of its own; the skinned container turns a notch into one row.
      return;
    case WM_VSCROLL:
    case WM_HSCROLL:
      ScrollMessage(m, m.Msg == WM_VSCROLL);
      return;
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case LB_ADDSTRING:
    case LB_INSERTSTRING: {
      const char* t = reinterpret_cast<const char*>(m.LParam);
      Row row{t ? t : "", 0, false};
      int at;
      if (m.Msg == LB_ADDSTRING) {
        at = n;
        if (sorted_)
          at = int(
              std::upper_bound(rows_.begin(), rows_.end(), row,
                               [](const Row& a, const Row& b) { return rtl::AnsiCompareText(a.text, b.text) < 0; }) -
              rows_.begin());
      } else {
        at = int(intptr_t(m.WParam));
        if (at == -1) at = n;
        if (at < 0 || at > n) {
          m.Result = LB_ERR;
          return;
        }
      }
      rows_.insert(rows_.begin() + at, row);
      if (itemIndex_ >= at) itemIndex_++;
      if (anchor_ >= at) anchor_++;
      UpdateScroll();
      Invalidate();
      m.Result = at;
      return;
    }
    case LB_DELETESTRING: {
      if (!valid(m.WParam)) {
        m.Result = LB_ERR;
        return;
      }
      int i = int(m.WParam);
      rows_.erase(rows_.begin() + i);
      if (itemIndex_ == i)
        itemIndex_ = -1;
      else if (itemIndex_ > i)
        itemIndex_--;
      if (anchor_ == i)
        anchor_ = -1;
      else if (anchor_ > i)
        anchor_--;
      top_ = std::clamp(top_, 0, MaxTop());
      UpdateScroll();
      Invalidate();
      m.Result = Count();
      return;
    }
    case LB_RESETCONTENT:
      rows_.clear();
      itemIndex_ = anchor_ = -1;
      top_ = 0;
      UpdateScroll();
      Invalidate();
      return;
    case LB_GETCOUNT:
      m.Result = n;
      return;
    case LB_GETTEXTLEN:
      m.Result = valid(m.WParam) ? LRESULT(rows_[m.WParam].text.size()) : LB_ERR;
      return;
    case LB_GETTEXT: {
      if (!valid(m.WParam)) {
        m.Result = LB_ERR;
        return;
      }
      const std::string& t = rows_[m.WParam].text;
      if (char* buf = reinterpret_cast<char*>(m.LParam)) std::memcpy(buf, t.c_str(), t.size() + 1);
      m.Result = LRESULT(t.size());
      return;
    }
    case LB_GETITEMDATA:
      m.Result = valid(m.WParam) ? LRESULT(rows_[m.WParam].data) : LB_ERR;
      return;
    case LB_SETITEMDATA:
      if (!valid(m.WParam)) {
        m.Result = LB_ERR;
        return;
      }
      rows_[m.WParam].data = uintptr_t(m.LParam);
      return;
    case LB_GETCURSEL:
      m.Result = multiSelect_ ? (itemIndex_ >= 0 && rows_[size_t(itemIndex_)].selected ? itemIndex_ : LB_ERR)
                              : (itemIndex_ >= 0 ? itemIndex_ : LB_ERR);
      return;
    case LB_SETCURSEL: {
      if (multiSelect_) {
        m.Result = LB_ERR;
        return;
      }
      int i = int(intptr_t(m.WParam));
      if (i == -1) {
        // No selection: the answer is LB_ERR although nothing went wrong.
        itemIndex_ = -1;
        Invalidate();
        m.Result = LB_ERR;
        return;
      }
      if (!valid(m.WParam)) {
        m.Result = LB_ERR;  // out of range: the selection stays
        return;
      }
      itemIndex_ = i;
      EnsureVisible(i);
      Invalidate();
      m.Result = i;
      return;
    }
    case LB_GETCARETINDEX:
      m.Result = itemIndex_;
      return;
    case LB_SETCARETINDEX:
      if (!valid(m.WParam) && intptr_t(m.WParam) != -1) {
        m.Result = LB_ERR;
        return;
      }
      itemIndex_ = int(intptr_t(m.WParam));
      EnsureVisible(itemIndex_);
      Invalidate();
      return;
    case LB_GETSEL:
      if (!valid(m.WParam)) {
        m.Result = LB_ERR;
        return;
      }
      m.Result = multiSelect_ ? rows_[m.WParam].selected : int(m.WParam) == itemIndex_;
      return;
    case LB_SETSEL: {
      if (!multiSelect_) {
        m.Result = LB_ERR;
        return;
      }
      int i = int(m.LParam);
      if (i == -1) {
        for (Row& r : rows_) r.selected = m.WParam != 0;
      } else if (i >= 0 && i < n) {
        rows_[size_t(i)].selected = m.WParam != 0;
      } else {
        m.Result = LB_ERR;
        return;
      }
      Invalidate();
      return;
    }
    case LB_SELITEMRANGE: {
      if (!multiSelect_) {
        m.Result = LB_ERR;
        return;
      }
      int a = LOWORD(uintptr_t(m.LParam)), b = HIWORD(uintptr_t(m.LParam));
      for (int i = std::min(a, b); i <= std::max(a, b) && i < n; i++) rows_[size_t(i)].selected = m.WParam != 0;
      Invalidate();
      return;
    }
    case LB_GETSELCOUNT:
      m.Result = multiSelect_
                     ? LRESULT(std::count_if(rows_.begin(), rows_.end(), [](const Row& r) { return r.selected; }))
                     : LB_ERR;
      return;
    case LB_GETSELITEMS: {
      if (!multiSelect_) {
        m.Result = LB_ERR;
        return;
      }
      int* out = reinterpret_cast<int*>(m.LParam);
      int k = 0;
      for (int i = 0; i < n && k < int(m.WParam); i++)
        if (rows_[size_t(i)].selected) {
          if (out) out[k] = i;
          k++;
        }
      m.Result = k;
      return;
    }
    case LB_GETTOPINDEX:
      m.Result = top_;
      return;
    case LB_SETTOPINDEX: {
      int i = int(intptr_t(m.WParam));
      if (i < 0 || (i >= n && n > 0)) {
        m.Result = LB_ERR;
        return;
      }
      int rows = std::max(1, RowsPerPage());
      top_ = std::clamp(columns_ > 0 ? i / rows * rows : i, 0, MaxTop());
      UpdateScroll();
      Invalidate();
      return;
    }
    case LB_GETITEMHEIGHT:
      m.Result = itemHeight_;
      return;
    case LB_SETITEMHEIGHT:
      if (m.LParam <= 0 || m.LParam > 255) {
        m.Result = LB_ERR;
        return;
      }
      itemHeight_ = int(m.LParam);
      top_ = std::clamp(top_, 0, MaxTop());
      UpdateScroll();
      Invalidate();
      return;
    case LB_GETITEMRECT: {
      auto* r = reinterpret_cast<RECT*>(m.LParam);
      if (!r || (!valid(m.WParam) && !(n == 0 && m.WParam == 0))) {
        m.Result = LB_ERR;
        return;
      }
      int i = int(m.WParam), w = ClientWidth();
      if (columns_ > 0) {
        int rows = std::max(1, RowsPerPage()), cw = ColumnWidth();
        int col = (i - top_) >= 0 ? (i - top_) / rows : -1 - (top_ - i - 1) / rows;
        int row = ((i - top_) % rows + rows) % rows;
        *r = {col * cw, row * itemHeight_, col * cw + cw, row * itemHeight_ + itemHeight_};
      } else {
        *r = {0, (i - top_) * itemHeight_, w, (i - top_ + 1) * itemHeight_};
      }
      m.Result = 1;
      return;
    }
    case LB_ITEMFROMPOINT: {
      TPoint p{LOWORD(uintptr_t(m.LParam)), HIWORD(uintptr_t(m.LParam))};
      int i = ItemAtPos(p, true);
      bool outside = i < 0;
      if (outside) i = std::clamp(top_ + p.Y / itemHeight_, 0, std::max(0, n - 1));
      m.Result = MAKELPARAM(i, outside ? 1 : 0);
      return;
    }
    case LB_FINDSTRING:
    case LB_FINDSTRINGEXACT:
    case LB_SELECTSTRING: {
      const char* t = reinterpret_cast<const char*>(m.LParam);
      int i = Find(int(intptr_t(m.WParam)), t ? t : "", m.Msg == LB_FINDSTRINGEXACT);
      if (m.Msg == LB_SELECTSTRING && i != LB_ERR) {
        if (multiSelect_) {
          rows_[size_t(i)].selected = true;
        }
        itemIndex_ = i;
        EnsureVisible(i);
        Invalidate();
      }
      m.Result = i;
      return;
    }
  }
  TWinControl::DefaultHandler(m);
}

}  // namespace ctl
