#include "platform/ctl/listview.h"

#include "platform/ctl/edit.h"
#include "platform/ctl/header.h"
#include "platform/ctl/inplaceedit.h"
#include "platform/ctl/internal.h"
#include "platform/ctl/scrollinfo.h"
#include "platform/gfx/dc.h"
#include "platform/gfx/raster.h"
#include "platform/gfx/text.h"
#include "platform/rtl/strings.h"

#include <algorithm>
#include <cmath>

namespace ctl {

using namespace win;
using detail::Send;

namespace {
constexpr uintptr_t kEditTimer = 0x4C56;  // slow second click on a label
constexpr int kHLine = 16;                // pixels per horizontal line step in report view

rtl::EListError IndexError(int i) { return rtl::EListError("List index out of bounds (" + std::to_string(i) + ")"); }
}  // namespace

// ============================================================================ columns

void TListColumn::SetCaption(const std::string& s) {
  if (s == caption_) return;
  caption_ = s;
  Changed(false);
}

void TListColumn::SetWidth(int w) {
  w = std::max(0, w);
  if (w == width_) return;
  width_ = w;
  Changed(false);
}

void TListColumn::SetMinWidth(int w) {
  minWidth_ = std::max(0, w);
  if (width_ < minWidth_) SetWidth(minWidth_);
}

void TListColumn::SetMaxWidth(int w) {
  maxWidth_ = std::max(0, w);
  if (maxWidth_ > 0 && width_ > maxWidth_) SetWidth(maxWidth_);
}

void TListColumn::SetAlignment(cl::TAlignment a) {
  if (a == alignment_) return;
  alignment_ = a;
  Changed(false);
}

void TListColumn::SetImageIndex(int i) {
  if (i == imageIndex_) return;
  imageIndex_ = i;
  Changed(false);
}

TListColumns::TListColumns(TCustomListView* owner)
    : TCollection([](cl::TCollection* c) { return new TListColumn(c); }), owner_(owner) {}

void TListColumns::Update(cl::TCollectionItem*) { owner_->ColumnsChanged(); }

// ============================================================================ items

TListItem::TListItem(TListItems* owner) : owner_(owner) {
  subItems_.OnChange = [this](rtl::TObject*) {
    if (!quiet_) Update();
  };
}

TCustomListView* TListItem::ListView() const { return owner_ ? owner_->owner_ : nullptr; }

int TListItem::Index() const { return index_; }

void TListItem::Changed(TItemChange change) {
  if (quiet_ || !ListView() || index_ < 0) return;
  TCustomListView* lv = ListView();
  Update();
  lv->Change(this, change);
}

void TListItem::SetCaption(const std::string& s) {
  if (s == caption_) return;
  caption_ = s;
  if (quiet_) return;
  if (TCustomListView* lv = ListView()) {
    lv->measuredListWidth_ = -1;
    Changed(ctText);
    if (!Destroyed() && (lv->sortType_ == stText || lv->sortType_ == stBoth)) lv->AlphaSort();
  }
}

void TListItem::SetImageIndex(int i) {
  if (i == imageIndex_) return;
  imageIndex_ = i;
  Changed(ctImage);
}

void TListItem::SetStateIndex(int i) {
  if (i == stateIndex_) return;
  stateIndex_ = i;
  Changed(ctImage);
}

bool TListItem::Selected() const {
  TCustomListView* lv = ListView();
  return lv && index_ >= 0 ? lv->StateSelected(index_) : selected_;
}

void TListItem::SetSelected(bool v) {
  if (TCustomListView* lv = ListView(); lv && index_ >= 0) {
    if (v && !lv->multiSelect_)
      lv->SelectOnly(index_, lv->StateFocused(index_));
    else
      lv->SetState(index_, v, lv->StateFocused(index_));
  } else {
    selected_ = v;
  }
}

bool TListItem::Focused() const {
  TCustomListView* lv = ListView();
  return lv && index_ >= 0 ? lv->StateFocused(index_) : focused_;
}

void TListItem::SetFocused(bool v) {
  TCustomListView* lv = ListView();
  if (!lv || index_ < 0) {
    focused_ = v;
    return;
  }
  if (v) {
    for (int j = 0, n = lv->Count(); j < n; j++)
      if (j != index_ && lv->StateFocused(j)) lv->SetState(j, lv->StateSelected(j), false);
  }
  lv->SetState(index_, lv->StateSelected(index_), v);
}

int TListItem::Top() const { return DisplayRect(drBounds).Top; }
int TListItem::Left() const { return DisplayRect(drBounds).Left; }

TRect TListItem::DisplayRect(TDisplayCode code) const {
  TCustomListView* lv = ListView();
  return lv && index_ >= 0 ? lv->ItemRect(index_, code) : TRect{};
}

void TListItem::MakeVisible(bool partialOk) {
  if (TCustomListView* lv = ListView(); lv && index_ >= 0) lv->EnsureVisible(index_, partialOk);
}

bool TListItem::EditCaption() {
  TCustomListView* lv = ListView();
  return lv && index_ >= 0 && Send(lv, LVM_EDITLABELW, WPARAM(index_)) != 0;
}

void TListItem::CancelEdit() {
  if (TCustomListView* lv = ListView()) Send(lv, LVM_CANCELEDITLABEL);
}

void TListItem::Update() {
  TCustomListView* lv = ListView();
  if (!lv || index_ < 0 || !lv->HandleAllocated() || lv->updating_) return;
  RECT r = lv->ItemRect(index_, drBounds);
  r.Right = std::max(r.Right, lv->ClientWidth());
  InvalidateRect(lv->Handle(), &r, TRUE);
}

void TListItem::Delete() {
  if (owner_ && index_ >= 0) owner_->Delete(index_);
}

void TListItem::Assign(cl::TPersistent* source) {
  auto* s = dynamic_cast<TListItem*>(source);
  if (!s) {
    TPersistent::Assign(source);
    return;
  }
  Data = s->Data;
  imageIndex_ = s->imageIndex_;
  stateIndex_ = s->stateIndex_;
  subItems_.Assign(s->subItems_);
  caption_.clear();  // the caption change below repaints and notifies once
  SetCaption(s->caption_);
  Update();
}

TListItem* TListItems::Add() { return Insert(Count()); }

TListItem* TListItems::Insert(int index) {
  if (owner_->ownerData_) return nullptr;
  if (index < 0 || index > int(items_.size())) throw IndexError(index);
  auto* item = new TListItem(this);
  items_.insert(items_.begin() + index, item);
  Renumber(size_t(index));
  if (owner_->anchor_ >= index) owner_->anchor_++;
  owner_->measuredListWidth_ = -1;
  owner_->InsertItem(item);
  owner_->ItemsChanged();
  return item;
}

void TListItems::Delete(int index) {
  if (owner_->ownerData_) return;
  if (index < 0 || index >= int(items_.size())) throw IndexError(index);
  cl::Keep<TListItem> item(items_[size_t(index)]);
  if (owner_->editIndex_ == index) owner_->EndEdit(false);
  owner_->Delete(item.get());
  index = item->index_;
  if (index < 0 || index >= int(items_.size()) || items_[size_t(index)] != item.get()) return;
  items_.erase(items_.begin() + index);
  item->index_ = -1;
  Renumber(size_t(index));
  if (owner_->anchor_ == index)
    owner_->anchor_ = -1;
  else if (owner_->anchor_ > index)
    owner_->anchor_--;
  if (owner_->editIndex_ > index) owner_->editIndex_--;
  owner_->measuredListWidth_ = -1;
  owner_->ItemsChanged();
  item->Free();
}

void TListItems::Clear() {
  if (owner_->ownerData_) {
    SetCount(0);
    return;
  }
  BeginUpdate();
  while (!items_.empty()) Delete(int(items_.size()) - 1);
  EndUpdate();
}

int TListItems::Count() const { return owner_->Count(); }

void TListItems::SetCount(int n) {
  if (owner_->ownerData_) Send(owner_, LVM_SETITEMCOUNT, WPARAM(std::max(0, n)));
}

TListItem* TListItems::Item(int index) const {
  if (index < 0 || index >= Count()) throw IndexError(index);
  return owner_->At(index);
}

int TListItems::IndexOf(const TListItem* item) const {
  if (!item || item->owner_ != this) return -1;
  return item->index_;
}

void TListItems::BeginUpdate() { owner_->updating_++; }

void TListItems::EndUpdate() {
  if (owner_->updating_ > 0 && --owner_->updating_ == 0) owner_->ItemsChanged();
}

void TListItems::Renumber(size_t from) {
  for (size_t i = from; i < items_.size(); i++) items_[i]->index_ = int(i);
}

void TListItems::Destroy() {
  for (TListItem* i : items_) {
    i->index_ = -1;
    i->Free();
  }
  items_.clear();
  TPersistent::Destroy();
}

// ============================================================================ list view: model

TCustomListView::TCustomListView(TComponent* AOwner) : TWinControl(AOwner) {
  ControlStyle = cl::csCaptureMouse | cl::csClickEvents | cl::csDoubleClicks | cl::csAcceptsControls | cl::csOpaque;
  width_ = 250;
  height_ = 150;
  tabStop_ = true;
  color_ = gfx::clWindow;
  brush_.SetColor(color_);
  parentColor_ = false;
  columns_ = new TListColumns(this);
  items_ = new TListItems(this);
  fetched_ = new TListItem(items_);
}

TCustomListView::~TCustomListView() = default;

void TCustomListView::Destroy() {
  // The window goes first: its last messages (focus, selection, painting)
  // still read the rows.
  if (HandleAllocated()) DestroyHandle();
  if (editor_) {
    editor_->Free();
    editor_ = nullptr;
  }
  items_->Free();
  columns_->Free();
  fetched_->Free();
  TWinControl::Destroy();
}

int TCustomListView::Count() const { return ownerData_ ? ownerCount_ : int(items_->items_.size()); }

TListItem* TCustomListView::At(int index) const {
  if (!ownerData_) return items_->items_.at(size_t(index));
  TListItem* f = fetched_;
  f->quiet_ = true;
  f->index_ = index;
  f->caption_.clear();
  f->subItems_.Clear();
  f->imageIndex_ = -1;
  f->stateIndex_ = -1;
  f->Data = nullptr;
  const_cast<TCustomListView*>(this)->OwnerDataFetch(f);
  f->quiet_ = false;
  return f;
}

bool TCustomListView::StateSelected(int index) const {
  if (index < 0 || index >= Count()) return false;
  return ownerData_ ? (ownerState_[size_t(index)] & 1) : items_->items_[size_t(index)]->selected_;
}

bool TCustomListView::StateFocused(int index) const {
  if (index < 0 || index >= Count()) return false;
  return ownerData_ ? (ownerState_[size_t(index)] & 2) : items_->items_[size_t(index)]->focused_;
}

bool TCustomListView::SetState(int index, bool selected, bool focused) {
  if (index < 0 || index >= Count()) return false;
  bool oldSel = StateSelected(index), oldFoc = StateFocused(index);
  if (oldSel == selected && oldFoc == focused) return true;
  {
    cl::Keep<TListItem> item(At(index));
    if (!CanChange(item.get(), ctState)) return false;
  }
  if (index >= Count()) return false;
  if (ownerData_) {
    ownerState_[size_t(index)] = uint8_t((selected ? 1 : 0) | (focused ? 2 : 0));
  } else {
    TListItem* it = items_->items_[size_t(index)];
    it->selected_ = selected;
    it->focused_ = focused;
  }
  cl::Keep<TListItem> item(At(index));
  item->Update();
  Change(item.get(), ctState);
  if (oldSel != selected && item.Alive() && item->index_ == index && index < Count()) {
    if (ownerData_) At(index);
    DoSelectItem(item.get(), selected);
  }
  return true;
}

// The old rows go off first, then the new row comes on.
void TCustomListView::SelectOnly(int index, bool focus) {
  for (int j = 0; j < Count(); j++)
    if (j != index && (StateSelected(j) || (focus && StateFocused(j))))
      SetState(j, false, focus ? false : StateFocused(j));
  if (index >= 0 && index < Count()) SetState(index, true, focus || StateFocused(index));
  anchor_ = index;
}

void TCustomListView::UserSelect(int index, bool shift, bool ctrl) {
  if (index < 0 || index >= Count()) return;
  if (!multiSelect_ || (!shift && !ctrl)) {
    SelectOnly(index, true);
  } else if (shift) {
    if (anchor_ < 0 || anchor_ >= Count()) anchor_ = index;
    int a = std::min(anchor_, index), b = std::max(anchor_, index);
    for (int j = 0; j < Count(); j++) {
      bool in = j >= a && j <= b;
      if (!in && !ctrl && StateSelected(j)) SetState(j, false, false);
    }
    for (int j = 0; j < Count(); j++)
      if (j != index && StateFocused(j)) SetState(j, StateSelected(j), false);
    for (int j = a; j <= b && j < Count(); j++) SetState(j, true, j == index);
  } else {
    for (int j = 0; j < Count(); j++)
      if (j != index && StateFocused(j)) SetState(j, StateSelected(j), false);
    SetState(index, !StateSelected(index), true);
    anchor_ = index;
  }
  EnsureVisible(index, false);
}

void TCustomListView::Change(TListItem* Item, int Change) { OnChange(this, Item, TItemChange(Change)); }

bool TCustomListView::CanChange(TListItem* Item, int Change) {
  bool allow = true;
  OnChanging(this, Item, TItemChange(Change), allow);
  return allow;
}

void TCustomListView::DoSelectItem(TListItem* Item, bool Selected) { OnSelectItem(this, Item, Selected); }
void TCustomListView::ColClick(TListColumn* Column) { OnColumnClick(this, Column); }
void TCustomListView::Delete(TListItem* Item) { OnDeletion(this, Item); }
void TCustomListView::InsertItem(TListItem* Item) { OnInsert(this, Item); }

bool TCustomListView::OwnerDataFetch(TListItem* Item) {
  OnData(this, Item);
  return true;
}

int TCustomListView::OwnerDataFind(TItemFind Find, const std::string& FindString, int StartIndex, bool Wrap) {
  int index = -1;
  OnDataFind(this, Find, FindString, {0, 0}, nullptr, StartIndex, sdAll, Wrap, index);
  return index;
}

bool TCustomListView::CanEdit(TListItem* Item) {
  bool allow = true;
  OnEditing(this, Item, allow);
  return allow;
}

void TCustomListView::Edit(TListItem* Item, const std::string* NewText) {
  if (!NewText || !Item) return;
  std::string s = *NewText;
  cl::Keep<TListItem> keep(Item);
  OnEdited(this, Item, s);
  if (keep.Alive() && Item->index_ >= 0 && !ownerData_) Item->SetCaption(s);
}

void TCustomListView::ItemsChanged() {
  if (updating_ || Destroyed()) return;
  int n = Count();
  if (anchor_ >= n) anchor_ = -1;
  top_ = std::clamp(top_, 0, MaxTop());
  UpdateScroll();
  Invalidate();
}

void TCustomListView::ColumnsChanged() {
  if (Destroyed()) return;
  scrollX_ = std::clamp(scrollX_, 0, MaxScrollX());
  LayoutHeader();
  UpdateScroll();
  Invalidate();
}

// ============================================================================ properties

void TCustomListView::SetViewStyle(TViewStyle v) {
  if (v == viewStyle_) return;
  if (editor_) EndEdit(false);
  viewStyle_ = v;
  top_ = scrollX_ = scrollY_ = 0;
  if (HandleAllocated()) {
    if (v == vsReport && showColumnHeaders_)
      CreateHeader();
    else
      DestroyHeader();
  }
  UpdateScroll();
  Invalidate();
}

void TCustomListView::SetRowSelect(bool v) {
  rowSelect_ = v;
  Invalidate();
}

void TCustomListView::SetGridLines(bool v) {
  gridLines_ = v;
  Invalidate();
}

void TCustomListView::SetHideSelection(bool v) {
  hideSelection_ = v;
  Invalidate();
}

void TCustomListView::SetShowColumnHeaders(bool v) {
  if (v == showColumnHeaders_) return;
  showColumnHeaders_ = v;
  if (HandleAllocated() && viewStyle_ == vsReport) {
    if (v)
      CreateHeader();
    else
      DestroyHeader();
  }
  top_ = std::clamp(top_, 0, MaxTop());
  UpdateScroll();
  Invalidate();
}

void TCustomListView::SetMultiSelect(bool v) {
  if (v == multiSelect_) return;
  multiSelect_ = v;
  if (!v) {
    TListItem* keep = Selected();
    int k = keep ? keep->Index() : -1;
    for (int j = 0; j < Count(); j++)
      if (j != k && StateSelected(j)) SetState(j, false, StateFocused(j));
  }
}

void TCustomListView::SetOwnerData(bool v) {
  if (v == ownerData_) return;
  items_->Clear();
  ownerData_ = v;
  ownerCount_ = 0;
  ownerState_.clear();
  ItemsChanged();
}

void TCustomListView::SetSmallImages(gfx::HIMAGELIST il) { Send(this, LVM_SETIMAGELIST, LVSIL_SMALL, LPARAM(il)); }
void TCustomListView::SetLargeImages(gfx::HIMAGELIST il) { Send(this, LVM_SETIMAGELIST, LVSIL_NORMAL, LPARAM(il)); }
void TCustomListView::SetStateImages(gfx::HIMAGELIST il) { Send(this, LVM_SETIMAGELIST, LVSIL_STATE, LPARAM(il)); }

void TCustomListView::SetSortType(TSortType t) {
  if (t == sortType_) return;
  sortType_ = t;
  if (t != stNone) AlphaSort();
}

bool TCustomListView::CustomSort(TLVCompare compare, intptr_t data) {
  if (ownerData_) return false;
  auto& v = items_->items_;
  int focused = -1;
  for (size_t i = 0; i < v.size(); i++)
    if (v[i]->focused_) focused = int(i);
  TListItem* anchorItem = anchor_ >= 0 && anchor_ < int(v.size()) ? v[size_t(anchor_)] : nullptr;
  (void)focused;
  if (compare)
    std::stable_sort(v.begin(), v.end(), [&](TListItem* a, TListItem* b) { return compare(a, b, data) < 0; });
  else
    std::stable_sort(v.begin(), v.end(),
                     [](TListItem* a, TListItem* b) { return rtl::AnsiCompareText(a->caption_, b->caption_) < 0; });
  items_->Renumber(0);
  anchor_ = anchorItem ? anchorItem->index_ : -1;
  Invalidate();
  return true;
}

bool TCustomListView::AlphaSort() {
  if (ownerData_) return false;
  if (OnCompare) {
    auto& v = items_->items_;
    std::stable_sort(v.begin(), v.end(), [this](TListItem* a, TListItem* b) {
      int c = 0;
      OnCompare(this, a, b, 0, c);
      return c < 0;
    });
    items_->Renumber(0);
    Invalidate();
    return true;
  }
  return CustomSort(nullptr, 0);
}

// ============================================================================ queries

TListItem* TCustomListView::Selected() {
  for (int j = 0; j < Count(); j++)
    if (StateSelected(j)) return At(j);
  return nullptr;
}

void TCustomListView::SetSelected(TListItem* item) {
  if (!item) {
    ClearSelection();
    return;
  }
  int i = item->Index();
  if (i < 0) return;
  if (multiSelect_) ClearSelection();
  SelectOnly(i, StateFocused(i));
}

TListItem* TCustomListView::ItemFocused() {
  for (int j = 0; j < Count(); j++)
    if (StateFocused(j)) return At(j);
  return nullptr;
}

void TCustomListView::SetItemFocused(TListItem* item) {
  if (item)
    item->SetFocused(true);
  else if (TListItem* f = ItemFocused())
    f->SetFocused(false);
}

int TCustomListView::SelCount() {
  int k = 0;
  for (int j = 0; j < Count(); j++) k += StateSelected(j);
  return k;
}

void TCustomListView::ClearSelection() {
  for (int j = 0; j < Count(); j++)
    if (StateSelected(j)) SetState(j, false, StateFocused(j));
}

void TCustomListView::SelectAll() {
  if (!multiSelect_) return;
  for (int j = 0; j < Count(); j++) SetState(j, true, StateFocused(j));
}

TListItem* TCustomListView::TopItem() {
  int i = int(Send(this, LVM_GETTOPINDEX));
  return i >= 0 && i < Count() ? At(i) : nullptr;
}

int TCustomListView::VisibleRowCount() { return int(Send(this, LVM_GETCOUNTPERPAGE)); }

TListItem* TCustomListView::GetItemAt(int x, int y) {
  UINT f = 0;
  int i = HitTest({x, y}, &f);
  return i >= 0 ? At(i) : nullptr;
}

TListItem* TCustomListView::GetNextItem(TListItem* start, TSearchDirection direction, TItemStates states) {
  int from = start ? start->Index() : -1, n = Count();
  int step = (direction == sdAbove || direction == sdLeft) ? -1 : 1;
  for (int j = from + step; j >= 0 && j < n; j += step) {
    bool ok = true;
    if ((states & isSelected) && !StateSelected(j)) ok = false;
    if ((states & isFocused) && !StateFocused(j)) ok = false;
    if (ok) return At(j);
  }
  return nullptr;
}

TListItem* TCustomListView::FindCaption(int startIndex, const std::string& value, bool partial, bool inclusive,
                                        bool wrap) {
  int n = Count();
  if (n == 0) return nullptr;
  int first = inclusive ? startIndex : startIndex + 1;
  for (int k = 0; k < n; k++) {
    int j = first + k;
    if (j >= n) {
      if (!wrap) return nullptr;
      j -= n;
    }
    if (j < 0) continue;
    const std::string& c = At(j)->Caption();
    bool hit = partial
                   ? (c.size() >= value.size() && rtl::AnsiSameText(std::string_view(c).substr(0, value.size()), value))
                   : rtl::AnsiSameText(c, value);
    if (hit) return At(j);
  }
  return nullptr;
}

void TCustomListView::Scroll(int dx, int dy) { Send(this, LVM_SCROLL, WPARAM(intptr_t(dx)), LPARAM(dy)); }

void TCustomListView::UpdateItems(int first, int last) {
  if (!HandleAllocated()) return;
  for (int i = std::max(0, first); i <= last && i < Count(); i++) {
    RECT r = ItemRect(i, drBounds);
    r.Right = std::max(r.Right, ClientWidth());
    InvalidateRect(handle_, &r, TRUE);
  }
}

bool TCustomListView::IsEditing() const { return editor_ != nullptr; }
cl::TWinControl* TCustomListView::EditControl() const { return editor_; }

// ============================================================================ geometry

int TCustomListView::RowHeight() const {
  gfx::FontMetrics m = gfx::TextEngine().Metrics(font_.LogFont());
  int h = m.ascent + m.descent + 4;
  if (smallImages_ && viewStyle_ != vsIcon) h = std::max(h, smallImages_->Height() + 2);
  return h;
}

int TCustomListView::HeaderHeight() const {
  if (viewStyle_ != vsReport || !header_ || !IsWindow(header_)) return 0;
  return WindowBounds(header_).Height();
}

TRect TCustomListView::ContentArea() const {
  TRect c{0, 0, width_, height_};
  if (handle_ && IsWindow(handle_)) GetClientRect(handle_, &c);
  c.Top = std::min(c.Bottom, c.Top + HeaderHeight());
  return c;
}

int TCustomListView::ColumnLeft(int index) const {
  int x = 0;
  for (int i = 0; i < index && i < columns_->Count(); i++) x += columns_->Items(i)->Width();
  return x;
}

int TCustomListView::TotalColumnWidth() const { return ColumnLeft(columns_->Count()); }

int TCustomListView::ListColumnWidth() const {
  if (listColumnWidth_ > 0) return listColumnWidth_;
  if (measuredListWidth_ >= 0) return measuredListWidth_;
  int w = 0;
  gfx::LOGFONT lf = font_.LogFont();
  if (!ownerData_)
    for (TListItem* it : items_->items_) w = std::max(w, gfx::TextEngine().Width(lf, gfx::ToU32(it->caption_)));
  else
    w = 100;
  w += 8 + (smallImages_ ? smallImages_->Width() + 2 : 0);
  measuredListWidth_ = std::max(w, 24);
  return measuredListWidth_;
}

int TCustomListView::RowsPerColumn() const { return std::max(1, ContentArea().Height() / RowHeight()); }

int TCustomListView::IconCellWidth() const { return std::max(75, largeImages_ ? largeImages_->Width() + 16 : 0); }

int TCustomListView::IconCellHeight() const {
  gfx::FontMetrics m = gfx::TextEngine().Metrics(font_.LogFont());
  return (largeImages_ ? largeImages_->Height() : 32) + 2 * (m.ascent + m.descent) + 8;
}

int TCustomListView::IconsPerRow() const {
  int cw = viewStyle_ == vsIcon ? IconCellWidth() : ListColumnWidth();
  return std::max(1, ContentArea().Width() / cw);
}

TRect TCustomListView::ItemRect(int index, TDisplayCode code) const {
  TRect area = ContentArea();
  int rh = RowHeight();
  int iw = smallImages_ ? smallImages_->Width() : 0;
  auto labelWidth = [&] {
    gfx::LOGFONT lf = font_.LogFont();
    return gfx::TextEngine().Width(lf, gfx::ToU32(At(index)->Caption())) + 4;
  };
  switch (viewStyle_) {
    case vsReport: {
      int top = area.Top + (index - top_) * rh;
      TRect bounds{-scrollX_, top, TotalColumnWidth() - scrollX_, top + rh};
      int col0 = columns_->Count() > 0 ? columns_->Items(0)->Width() : 0;
      TRect icon{-scrollX_ + 2, top, -scrollX_ + 2 + iw, top + rh};
      TRect label{icon.Right + (iw ? 2 : 0), top, std::max(icon.Right, -scrollX_ + col0), top + rh};
      switch (code) {
        case drBounds:
          return bounds;
        case drIcon:
          return icon;
        case drLabel:
          return label;
        case drSelectBounds:
          return rowSelect_ ? bounds : TRect{icon.Left, top, label.Right, top + rh};
      }
      return bounds;
    }
    case vsList:
    case vsSmallIcon: {
      int cw = ListColumnWidth(), col, row;
      if (viewStyle_ == vsList) {
        int rows = RowsPerColumn();
        col = index / rows - top_;
        row = index % rows;
      } else {
        int per = IconsPerRow();
        col = index % per;
        row = index / per;
      }
      int x = area.Left + col * cw, y = area.Top + row * rh - (viewStyle_ == vsSmallIcon ? scrollY_ : 0);
      TRect bounds{x, y, x + cw, y + rh};
      TRect icon{x + 2, y, x + 2 + iw, y + rh};
      TRect label{icon.Right + (iw ? 2 : 0), y, std::min(x + cw, icon.Right + (iw ? 2 : 0) + labelWidth()), y + rh};
      switch (code) {
        case drBounds:
          return bounds;
        case drIcon:
          return icon;
        case drLabel:
          return label;
        case drSelectBounds:
          return TRect{icon.Left, y, label.Right, y + rh};
      }
      return bounds;
    }
    case vsIcon: {
      int cw = IconCellWidth(), ch = IconCellHeight(), per = IconsPerRow();
      int x = area.Left + (index % per) * cw, y = area.Top + (index / per) * ch - scrollY_;
      int lw = largeImages_ ? largeImages_->Width() : 32, lh = largeImages_ ? largeImages_->Height() : 32;
      TRect icon{x + (cw - lw) / 2, y + 2, x + (cw - lw) / 2 + lw, y + 2 + lh};
      int tw = std::min(cw - 4, labelWidth());
      TRect label{x + (cw - tw) / 2, icon.Bottom + 2, x + (cw - tw) / 2 + tw, y + ch - 2};
      switch (code) {
        case drBounds:
          return {x, y, x + cw, y + ch};
        case drIcon:
          return icon;
        case drLabel:
          return label;
        case drSelectBounds:
          return {std::min(icon.Left, label.Left), icon.Top, std::max(icon.Right, label.Right), label.Bottom};
      }
      return {x, y, x + cw, y + ch};
    }
  }
  return {};
}

int TCustomListView::HitTest(TPoint p, UINT* flags) const {
  *flags = LVHT_NOWHERE;
  TRect area = ContentArea();
  int n = Count();
  if (p.X < area.Left || p.Y < area.Top || p.X >= area.Right || p.Y >= area.Bottom || n == 0) return -1;
  int candidate = -1;
  switch (viewStyle_) {
    case vsReport:
      candidate = top_ + (p.Y - area.Top) / RowHeight();
      break;
    case vsList: {
      int rows = RowsPerColumn(), col = (p.X - area.Left) / ListColumnWidth() + top_,
          row = (p.Y - area.Top) / RowHeight();
      candidate = row < rows ? col * rows + row : -1;
      break;
    }
    case vsSmallIcon: {
      int per = IconsPerRow(), col = (p.X - area.Left) / ListColumnWidth();
      candidate = col < per ? ((p.Y - area.Top + scrollY_) / RowHeight()) * per + col : -1;
      break;
    }
    case vsIcon: {
      int per = IconsPerRow(), col = (p.X - area.Left) / IconCellWidth();
      candidate = col < per ? ((p.Y - area.Top + scrollY_) / IconCellHeight()) * per + col : -1;
      break;
    }
  }
  if (candidate < 0 || candidate >= n) return -1;
  auto in = [&](const TRect& r) { return p.X >= r.Left && p.X < r.Right && p.Y >= r.Top && p.Y < r.Bottom; };
  if (in(ItemRect(candidate, drIcon))) {
    *flags = LVHT_ONITEMICON;
    return candidate;
  }
  if (in(ItemRect(candidate, drLabel))) {
    *flags = LVHT_ONITEMLABEL;
    return candidate;
  }
  if (viewStyle_ == vsReport && rowSelect_ && in(ItemRect(candidate, drBounds))) {
    *flags = LVHT_ONITEM;
    return candidate;
  }
  return -1;
}

int TCustomListView::MaxTop() const {
  int n = Count();
  if (viewStyle_ == vsReport) return std::max(0, n - std::max(1, ContentArea().Height() / RowHeight()));
  if (viewStyle_ == vsList) {
    int rows = RowsPerColumn(), cols = (n + rows - 1) / rows;
    int visible = std::max(1, ContentArea().Width() / ListColumnWidth());
    return std::max(0, cols - visible);
  }
  return 0;
}

int TCustomListView::MaxScrollX() const {
  return viewStyle_ == vsReport ? std::max(0, TotalColumnWidth() - ContentArea().Width()) : 0;
}

void TCustomListView::UpdateScroll() {
  if (!HandleAllocated() || updating_) return;
  TRect area = ContentArea();
  int n = Count();
  switch (viewStyle_) {
    case vsReport: {
      int per = std::max(0, area.Height() / RowHeight());
      bool v = n > per;
      detail::SetScroll(this, SB_VERT, v ? n - 1 : 0, per, top_);
      int total = TotalColumnWidth();
      bool h = total > area.Width();
      detail::SetScroll(this, SB_HORZ, h ? total : 0, area.Width(), scrollX_);
      break;
    }
    case vsList: {
      int rows = RowsPerColumn(), cols = (n + rows - 1) / rows;
      int visible = std::max(1, area.Width() / ListColumnWidth());
      detail::SetScroll(this, SB_HORZ, cols > visible ? cols - 1 : 0, visible, top_);
      detail::SetScroll(this, SB_VERT, 0, 0, 0);
      break;
    }
    default: {
      int per = IconsPerRow(), ch = viewStyle_ == vsIcon ? IconCellHeight() : RowHeight();
      int height = ((n + per - 1) / per) * ch;
      detail::SetScroll(this, SB_VERT, height > area.Height() ? height : 0, area.Height(), scrollY_);
      detail::SetScroll(this, SB_HORZ, 0, 0, 0);
      break;
    }
  }
}

void TCustomListView::EnsureVisible(int index, bool partialOk) {
  if (index < 0 || index >= Count()) return;
  TRect area = ContentArea();
  int oldTop = top_, oldY = scrollY_;
  if (viewStyle_ == vsReport) {
    int per = std::max(1, area.Height() / RowHeight());
    if (index < top_)
      top_ = index;
    else if (index >= top_ + per && !(partialOk && index == top_ + per))
      top_ = index - per + 1;
  } else if (viewStyle_ == vsList) {
    int col = index / RowsPerColumn(), visible = std::max(1, area.Width() / ListColumnWidth());
    if (col < top_)
      top_ = col;
    else if (col >= top_ + visible)
      top_ = col - visible + 1;
  } else {
    TRect r = ItemRect(index, drBounds);
    if (r.Top < area.Top)
      scrollY_ -= area.Top - r.Top;
    else if (r.Bottom > area.Bottom)
      scrollY_ += r.Bottom - area.Bottom;
    scrollY_ = std::max(0, scrollY_);
  }
  top_ = std::clamp(top_, 0, MaxTop());
  if (top_ != oldTop || scrollY_ != oldY) {
    UpdateScroll();
    Invalidate();
  }
}

// ============================================================================ header

void TCustomListView::CreateHeader() {
  if (!HandleAllocated() || (header_ && IsWindow(header_))) return;
  header_ = CreateHeaderWindow(this, handle_);
  LayoutHeader();
}

void TCustomListView::DestroyHeader() {
  if (header_ && IsWindow(header_)) DestroyWindow(header_);
  header_ = nullptr;
}

void TCustomListView::LayoutHeader() {
  if (!header_ || !IsWindow(header_) || !HandleAllocated()) return;
  gfx::FontMetrics m = gfx::TextEngine().Metrics(font_.LogFont());
  RECT c;
  GetClientRect(handle_, &c);
  SetWindowPos(header_, nullptr, -scrollX_, 0, c.Width() + scrollX_, m.ascent + m.descent + 7,
               SWP_NOZORDER | SWP_NOACTIVATE);
  InvalidateRect(header_, nullptr, FALSE);
}

void TCustomListView::ApplyMaxMin(TListColumn* c, int& width) const {
  if (c->MaxWidth() > 0) width = std::min(width, c->MaxWidth());
  width = std::max(width, c->MinWidth());
}

void TCustomListView::HeaderNotify(TMessage& m) {
  auto* nm = reinterpret_cast<NMHEADER*>(m.LParam);
  int i = nm->iItem;
  if (i < 0 || i >= columns_->Count()) return;
  TListColumn* col = columns_->Items(i);
  switch (nm->hdr.code) {
    case HDN_BEGINTRACK:
      if (editor_) EndEdit(true);
      m.Result = 0;
      return;
    case HDN_TRACK: {
      int w = nm->cxy;
      ApplyMaxMin(col, w);
      col->SetWidth(w);
      return;
    }
    case HDN_ENDTRACK:
      UpdateScroll();
      return;
    case HDN_ITEMCLICK:
      if (ColumnClick) ColClick(col);
      return;
  }
}

// ============================================================================ label editing

void TCustomListView::StartEdit(int index) {
  if (ReadOnly || index < 0 || index >= Count() || !HandleAllocated()) return;
  if (editor_) EndEdit(true);
  cl::Keep<TListItem> item(At(index));
  if (!CanEdit(item.get()) || Destroyed() || index >= Count()) return;
  EnsureVisible(index, false);
  TRect r = ItemRect(index, drLabel);
  std::string caption = At(index)->Caption();
  gfx::LOGFONT lf = font_.LogFont();
  int want = gfx::TextEngine().Width(lf, gfx::ToU32(caption)) + 24;
  r.Right = std::min(std::max(r.Right, r.Left + want), ClientWidth());
  editIndex_ = index;
  editor_ = new TInplaceEdit(nullptr);
  editor_->OnEnd = [this](bool accept) { EndEdit(accept); };
  editor_->Font()->Assign(font_);
  editor_->SetBounds(r.Left, r.Top, std::max(20, r.Width()), r.Height());
  editor_->SetParent(this);
  editor_->SetText(caption);
  editor_->SelectAll();
  editor_->SetFocus();
}

void TCustomListView::EndEdit(bool accept) {
  if (!editor_) return;
  TInplaceEdit* e = editor_;
  editor_ = nullptr;
  int index = editIndex_;
  editIndex_ = -1;
  std::string text = e->Text();
  bool hadFocus = e->HandleAllocated() && GetFocus() == e->Handle();
  e->Free();
  if (hadFocus && CanFocus()) SetFocus();
  if (index < 0 || index >= Count()) return;
  cl::Keep<TListItem> item(At(index));
  Edit(item.get(), accept ? &text : nullptr);
}

// ============================================================================ input

void TCustomListView::ScrollMessage(TMessage& m, bool vertical) {
  int code = LOWORD(m.WParam), pos = int16_t(HIWORD(m.WParam));
  TRect area = ContentArea();
  int oldTop = top_, oldX = scrollX_, oldY = scrollY_;
  auto step = [&](int& v, int line, int page, int maxV) { ScrollCodeTarget(code, v, pos, line, page, maxV, v); };
  switch (viewStyle_) {
    case vsReport:
      if (vertical)
        step(top_, 1, std::max(1, area.Height() / RowHeight()), MaxTop());
      else
        step(scrollX_, kHLine, std::max(1, area.Width()), MaxScrollX());
      break;
    case vsList:
      if (!vertical) step(top_, 1, std::max(1, area.Width() / ListColumnWidth()), MaxTop());
      break;
    default:
      if (vertical) {
        int per = IconsPerRow(), ch = viewStyle_ == vsIcon ? IconCellHeight() : RowHeight();
        int height = ((Count() + per - 1) / per) * ch;
        step(scrollY_, ch, std::max(1, area.Height()), std::max(0, height - area.Height()));
      }
      break;
  }
  if (top_ == oldTop && scrollX_ == oldX && scrollY_ == oldY) return;
  if (scrollX_ != oldX) LayoutHeader();
  UpdateScroll();
  Invalidate();
}

void TCustomListView::KeyEngine(uint16_t key) {
  int n = Count();
  if (key == VK_F1 + 1) {  // F2
    TListItem* f = ItemFocused();
    if (f) StartEdit(f->Index());
    return;
  }
  if (viewStyle_ == vsReport && (key == VK_LEFT || key == VK_RIGHT)) {
    TMessage s{WM_HSCROLL, WPARAM(key == VK_LEFT ? SB_LINELEFT : SB_LINERIGHT), 0, 0};
    ScrollMessage(s, false);
    return;
  }
  if (n == 0) return;
  int cur = -1;
  for (int j = 0; j < n; j++)
    if (StateFocused(j)) cur = j;
  bool shift = GetKeyState(VK_SHIFT) < 0, ctrl = GetKeyState(VK_CONTROL) < 0;
  int rows = viewStyle_ == vsReport ? std::max(1, ContentArea().Height() / RowHeight()) : RowsPerColumn();
  int across = viewStyle_ == vsList ? rows : 1;
  int down = (viewStyle_ == vsIcon || viewStyle_ == vsSmallIcon) ? IconsPerRow() : 1;
  int target = cur;
  switch (key) {
    case VK_UP:
      target = cur < 0 ? 0 : cur - down;
      break;
    case VK_DOWN:
      target = cur < 0 ? 0 : cur + down;
      break;
    case VK_LEFT:
      target = cur < 0 ? 0 : cur - across;
      break;
    case VK_RIGHT:
      target = cur < 0 ? 0 : cur + across;
      break;
    case VK_PRIOR:
      target = cur - std::max(1, rows - 1);
      break;
    case VK_NEXT:
      target = cur + std::max(1, rows - 1);
      break;
    case VK_HOME:
      target = 0;
      break;
    case VK_END:
      target = n - 1;
      break;
    case VK_SPACE:
      if (multiSelect_ && ctrl && cur >= 0) SetState(cur, !StateSelected(cur), true);
      return;
    default:
      return;
  }
  target = std::clamp(target, 0, n - 1);
  if (multiSelect_ && ctrl && !shift) {
    for (int j = 0; j < n; j++)
      if (j != target && StateFocused(j)) SetState(j, StateSelected(j), false);
    SetState(target, StateSelected(target), true);
    EnsureVisible(target, false);
  } else if (target != cur || !StateSelected(target)) {
    UserSelect(target, shift && multiSelect_, false);
  }
}

void TCustomListView::KeyPress(char32_t& Key) {
  TWinControl::KeyPress(Key);
  if (Key < 32 || Count() == 0) return;
  uint32_t now = GetTickCount();
  if (now - lastKeyTime_ >= 1000) filter_.clear();
  lastKeyTime_ = now;
  filter_ += rtl::CodePointToUtf8(Key);
  Key = 0;
  int cur = -1;
  for (int j = 0; j < Count(); j++)
    if (StateFocused(j)) cur = j;
  // A first letter searches from the next row; more letters refine from the current one.
  bool first = rtl::ToUtf32(filter_).size() == 1;
  int start = first ? cur + 1 : std::max(cur, 0);
  if (start >= Count()) start = 0;
  int found = -1;
  if (ownerData_) {
    found = OwnerDataFind(ifPartialString, filter_, start, true);
  } else if (TListItem* it = FindCaption(start, filter_, true, true, true)) {
    found = it->Index();
  }
  if (found >= 0 && found < Count()) {
    SelectOnly(found, true);
    EnsureVisible(found, false);
  }
}

void TCustomListView::MouseEngine(TMessage& m) {
  TPoint pt{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  bool shift = m.WParam & MK_SHIFT, ctrl = m.WParam & MK_CONTROL;
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_LBUTTONDBLCLK: {
      KillTimer(handle_, kEditTimer);
      bool dbl = m.Msg == WM_LBUTTONDBLCLK;
      if (dbl) pendingEdit_ = -1;
      if (HandleAllocated() && GetFocus() != handle_) {
        win::SetFocus(handle_);
        if (Destroyed()) return;
      }
      UINT flags = 0;
      int i = HitTest(pt, &flags);
      if (i < 0) {
        pendingEdit_ = -1;
        if (!(multiSelect_ && (ctrl || shift))) ClearSelection();
        return;
      }
      if (m.Msg == WM_RBUTTONDOWN || m.Msg == WM_RBUTTONDBLCLK) {
        if (!StateSelected(i)) SelectOnly(i, true);
        return;
      }
      bool was = StateSelected(i) && StateFocused(i) && SelCount() == 1;
      UserSelect(i, shift, ctrl);
      pendingEdit_ = (!dbl && !ReadOnly && was && !shift && !ctrl && (flags & LVHT_ONITEMLABEL)) ? i : -1;
      return;
    }
    case WM_LBUTTONUP:
      if (pendingEdit_ >= 0 && HandleAllocated()) SetTimer(handle_, kEditTimer, GetDoubleClickTime());
      return;
  }
}

// ============================================================================ painting

namespace {

// A solid brush for one paint pass, given back when the pass ends.
struct OwnedBrush {
  explicit OwnedBrush(gfx::TColor c) : h(gfx::CreateSolidBrush(gfx::ColorToRef(c))) {}
  ~OwnedBrush() { gfx::DeleteObject(h); }
  OwnedBrush(const OwnedBrush&) = delete;
  OwnedBrush& operator=(const OwnedBrush&) = delete;
  operator gfx::HBRUSH() const { return h; }
  gfx::HBRUSH h;
};

}  // namespace

void TCustomListView::PaintCellText(gfx::HDC dc, const std::string& text, TRect r, cl::TAlignment a) {
  if (text.empty() || r.Right <= r.Left) return;
  UINT align = a == cl::taRightJustify ? gfx::DT_RIGHT : a == cl::taCenter ? gfx::DT_CENTER : gfx::DT_LEFT;
  gfx::DrawText(dc, text, -1, &r,
                align | gfx::DT_SINGLELINE | gfx::DT_VCENTER | gfx::DT_END_ELLIPSIS | gfx::DT_NOPREFIX);
}

void TCustomListView::PaintReport(gfx::HDC dc) {
  TRect area = ContentArea();
  int rh = RowHeight(), n = Count(), total = TotalColumnWidth();
  bool focused = HandleAllocated() && GetFocus() == handle_;
  gfx::COLORREF ink = gfx::ColorToRef(font_.Color());
  gfx::COLORREF selInk = gfx::ColorToRef(focused ? SelectionTextColor : InactiveSelectionTextColor);
  OwnedBrush selBrush(focused ? SelectionColor : InactiveSelectionColor);
  gfx::LOGFONT lf = font_.LogFont();
  for (int i = top_; i < n; i++) {
    TRect row = ItemRect(i, drBounds);
    if (row.Top >= area.Bottom) break;
    TListItem* item = At(i);
    bool sel = StateSelected(i) && (focused || !hideSelection_);
    if (sel && rowSelect_) {
      RECT r{row.Left, row.Top, row.Right, row.Bottom};
      gfx::FillRect(dc, &r, selBrush);
    }
    TRect label = ItemRect(i, drLabel);
    for (int c = 0; c < columns_->Count(); c++) {
      TListColumn* col = columns_->Items(c);
      int w = col->Width();
      if (w <= 0) continue;
      TRect cell{ColumnLeft(c) - scrollX_, row.Top, ColumnLeft(c) + w - scrollX_, row.Bottom};
      if (cell.Right <= area.Left || cell.Left >= area.Right) continue;
      int saved = gfx::SaveDC(dc);
      gfx::IntersectClipRect(dc, cell.Left, cell.Top, cell.Right, cell.Bottom);
      bool inkSel = sel && (rowSelect_ || c == 0);
      gfx::SetTextColor(dc, inkSel ? selInk : ink);
      if (c == 0) {
        TListItem* it = item;
        if (smallImages_ && it->ImageIndex() >= 0 && it->ImageIndex() < smallImages_->Count())
          smallImages_->DrawDC(dc, cell.Left + 2, row.Top + (rh - smallImages_->Height()) / 2, it->ImageIndex());
        if (sel && !rowSelect_) {
          int tw = gfx::TextEngine().Width(lf, gfx::ToU32(it->Caption())) + 4;
          RECT hl{label.Left, row.Top, std::min(label.Right, label.Left + tw), row.Bottom};
          gfx::FillRect(dc, &hl, selBrush);
        }
        PaintCellText(dc, it->Caption(), {label.Left + 2, row.Top, cell.Right - 2, row.Bottom}, col->Alignment());
      } else {
        rtl::TStrings* sub = item->SubItems();
        if (c - 1 < sub->Count())
          PaintCellText(dc, sub->Get(c - 1), {cell.Left + 6, row.Top, cell.Right - 6, row.Bottom}, col->Alignment());
      }
      gfx::RestoreDC(dc, saved);
    }
    if (focused && StateFocused(i)) {
      RECT fr = rowSelect_ ? RECT{row.Left, row.Top, row.Right, row.Bottom}
                           : RECT{label.Left, row.Top, label.Right, row.Bottom};
      gfx::DrawFocusRect(dc, &fr);
    }
  }
  if (gridLines_) {
    OwnedBrush grid(GridLineColor);
    int right = std::min(area.Right, total - scrollX_);
    for (int y = area.Top + rh - 1; y < area.Bottom; y += rh) {
      RECT l{area.Left, y, right, y + 1};
      gfx::FillRect(dc, &l, grid);
    }
    for (int c = 0; c < columns_->Count(); c++) {
      int w = columns_->Items(c)->Width();
      if (w <= 0) continue;
      int x = ColumnLeft(c) + w - 1 - scrollX_;
      if (x < area.Left || x >= area.Right) continue;
      RECT l{x, area.Top, x + 1, area.Bottom};
      gfx::FillRect(dc, &l, grid);
    }
  }
}

void TCustomListView::PaintItems(gfx::HDC dc) {
  TRect area = ContentArea();
  bool focused = HandleAllocated() && GetFocus() == handle_;
  OwnedBrush selBrush(focused ? SelectionColor : InactiveSelectionColor);
  gfx::COLORREF ink = gfx::ColorToRef(font_.Color());
  gfx::COLORREF selInk = gfx::ColorToRef(focused ? SelectionTextColor : InactiveSelectionTextColor);
  gfx::HIMAGELIST il = viewStyle_ == vsIcon ? largeImages_ : smallImages_;
  for (int i = 0, n = Count(); i < n; i++) {
    TRect b = ItemRect(i, drBounds);
    if (b.Right <= area.Left || b.Bottom <= area.Top) continue;
    if (b.Left >= area.Right || b.Top >= area.Bottom) {
      if (viewStyle_ == vsList) break;
      if (b.Top >= area.Bottom) break;
      continue;
    }
    TListItem* item = At(i);
    bool sel = StateSelected(i) && (focused || !hideSelection_);
    TRect icon = ItemRect(i, drIcon), label = ItemRect(i, drLabel);
    if (il && item->ImageIndex() >= 0 && item->ImageIndex() < il->Count())
      il->DrawDC(dc, icon.Left, icon.Top + (icon.Height() - il->Height()) / 2, item->ImageIndex());
    if (sel) {
      RECT r = label;
      gfx::FillRect(dc, &r, selBrush);
    }
    gfx::SetTextColor(dc, sel ? selInk : ink);
    RECT t{label.Left + 2, label.Top, label.Right - 2, label.Bottom};
    UINT flags = gfx::DT_SINGLELINE | gfx::DT_END_ELLIPSIS | gfx::DT_NOPREFIX |
                 (viewStyle_ == vsIcon ? gfx::DT_CENTER | gfx::DT_TOP : gfx::DT_VCENTER);
    gfx::DrawText(dc, item->Caption(), -1, &t, flags);
    if (focused && StateFocused(i)) {
      RECT fr = label;
      gfx::DrawFocusRect(dc, &fr);
    }
  }
}

void TCustomListView::PaintWindow(gfx::HDC dc) {
  RECT client{0, 0, width_, height_};
  if (HandleAllocated()) GetClientRect(handle_, &client);
  gfx::FillRect(dc, &client, brush_.Handle());
  int saved = gfx::SaveDC(dc);
  TRect area = ContentArea();
  gfx::IntersectClipRect(dc, area.Left, area.Top, area.Right, area.Bottom);
  gfx::SelectObject(dc, font_.Handle());
  gfx::SetBkMode(dc, gfx::TRANSPARENT);
  if (viewStyle_ == vsReport)
    PaintReport(dc);
  else
    PaintItems(dc);
  gfx::RestoreDC(dc, saved);
}

// ============================================================================ messages

void TCustomListView::CreateParams(cl::TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.Style |= WS_CLIPCHILDREN;
}

void TCustomListView::CreateWnd() {
  TWinControl::CreateWnd();
  if (viewStyle_ == vsReport && showColumnHeaders_) CreateHeader();
  UpdateScroll();
}

void TCustomListView::DestroyWnd() {
  if (editor_) EndEdit(false);
  header_ = nullptr;
  TWinControl::DestroyWnd();
}

void TCustomListView::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_NOTIFY:
      if (auto* nm = reinterpret_cast<NMHDR*>(m.LParam); nm && header_ && nm->hwndFrom == header_) {
        HeaderNotify(m);
        return;
      }
      break;
    case WM_SIZE:
      TWinControl::Dispatch(m);
      if (Destroyed()) return;
      LayoutHeader();
      top_ = std::clamp(top_, 0, MaxTop());
      scrollX_ = std::clamp(scrollX_, 0, MaxScrollX());
      measuredListWidth_ = -1;
      UpdateScroll();
      Invalidate();
      return;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      TWinControl::Dispatch(m);
      if (!Destroyed()) Invalidate();
      return;
    case CM_FONTCHANGED:
      TWinControl::Dispatch(m);
      measuredListWidth_ = -1;
      LayoutHeader();
      UpdateScroll();
      return;
  }
  TWinControl::Dispatch(m);
}

void TCustomListView::DefaultHandler(TMessage& m) {
  int n = Count();
  switch (m.Msg) {
    case WM_GETDLGCODE:
      m.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
      return;
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_KEYDOWN:
      KeyEngine(uint16_t(m.WParam));
      return;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_LBUTTONDBLCLK:
    case WM_LBUTTONUP:
      MouseEngine(m);
      if (m.Msg == WM_RBUTTONDOWN || m.Msg == WM_RBUTTONDBLCLK) break;
      return;
    case WM_TIMER:
      if (m.WParam == kEditTimer) {
        KillTimer(handle_, kEditTimer);
        int i = pendingEdit_;
        pendingEdit_ = -1;
        if (i >= 0 && i < n && StateFocused(i)) StartEdit(i);
        return;
      }
      break;
    case WM_MOUSEWHEEL: {
      int d = GET_WHEEL_DELTA_WPARAM(m.WParam);
      bool list = viewStyle_ == vsList;
      TMessage s{list ? WM_HSCROLL : WM_VSCROLL, WPARAM(d > 0 ? SB_LINEUP : SB_LINEDOWN), 0, 0};
      for (int k = 0; k < (list ? 1 : 3); k++) ScrollMessage(s, !list);
      return;
    }
    case WM_VSCROLL:
    case WM_HSCROLL:
      ScrollMessage(m, m.Msg == WM_VSCROLL);
      return;
    case LVM_GETITEMCOUNT:
      m.Result = n;
      return;
    case LVM_SETITEMCOUNT:
      if (ownerData_) {
        ownerCount_ = int(m.WParam);
        ownerState_.resize(size_t(ownerCount_), 0);
        if (anchor_ >= ownerCount_) anchor_ = -1;
        ItemsChanged();
      }
      m.Result = TRUE;
      return;
    case LVM_GETTOPINDEX:
      m.Result = viewStyle_ == vsReport ? top_ : viewStyle_ == vsList ? top_ * RowsPerColumn() : 0;
      return;
    case LVM_GETCOUNTPERPAGE: {
      TRect area = ContentArea();
      if (viewStyle_ == vsReport)
        m.Result = std::max(0, area.Height() / RowHeight());
      else if (viewStyle_ == vsList)
        m.Result = RowsPerColumn() * std::max(1, area.Width() / ListColumnWidth());
      else
        m.Result = n;
      return;
    }
    case LVM_GETHEADER:
      m.Result = LRESULT(header_.v);
      return;
    case LVM_SETIMAGELIST: {
      auto* il = reinterpret_cast<gfx::ImageList*>(m.LParam);
      gfx::HIMAGELIST* slot = m.WParam == UINT(LVSIL_SMALL)   ? &smallImages_
                              : m.WParam == UINT(LVSIL_STATE) ? &stateImages_
                                                              : &largeImages_;
      m.Result = LRESULT(*slot);
      *slot = il;
      measuredListWidth_ = -1;
      UpdateScroll();
      Invalidate();
      return;
    }
    case LVM_GETITEMRECT: {
      auto* r = reinterpret_cast<RECT*>(m.LParam);
      int i = int(m.WParam);
      if (!r || i < 0 || i >= n) {
        m.Result = FALSE;
        return;
      }
      *r = ItemRect(i, TDisplayCode(std::clamp(int(r->Left), 0, 3)));
      m.Result = TRUE;
      return;
    }
    case LVM_HITTEST: {
      auto* info = reinterpret_cast<LVHITTESTINFO*>(m.LParam);
      if (!info) {
        m.Result = -1;
        return;
      }
      info->iItem = HitTest(info->pt, &info->flags);
      m.Result = info->iItem;
      return;
    }
    case LVM_ENSUREVISIBLE:
      EnsureVisible(int(m.WParam), m.LParam != 0);
      m.Result = TRUE;
      return;
    case LVM_SCROLL: {
      int dx = int(intptr_t(m.WParam)), dy = int(m.LParam);
      if (viewStyle_ == vsReport) {
        int rh = RowHeight();
        int rows = int(std::lround(double(dy) / rh));
        top_ = std::clamp(top_ + rows, 0, MaxTop());
        scrollX_ = std::clamp(scrollX_ + dx, 0, MaxScrollX());
        LayoutHeader();
      } else if (viewStyle_ == vsList) {
        int cols = int(std::lround(double(dx) / ListColumnWidth()));
        top_ = std::clamp(top_ + cols, 0, MaxTop());
      } else {
        scrollY_ = std::max(0, scrollY_ + dy);
      }
      UpdateScroll();
      Invalidate();
      m.Result = TRUE;
      return;
    }
    case LVM_GETCOLUMNWIDTH: {
      int c = int(m.WParam);
      m.Result = viewStyle_ == vsList ? ListColumnWidth()
                                      : (c >= 0 && c < columns_->Count() ? columns_->Items(c)->Width() : 0);
      return;
    }
    case LVM_SETCOLUMNWIDTH: {
      int c = int(m.WParam), w = int(LOWORD(uintptr_t(m.LParam)));
      if (viewStyle_ == vsList) {
        listColumnWidth_ = w;
        top_ = std::clamp(top_, 0, MaxTop());
        UpdateScroll();
        Invalidate();
      } else if (c >= 0 && c < columns_->Count()) {
        columns_->Items(c)->SetWidth(w);
      }
      m.Result = TRUE;
      return;
    }
    case LVM_GETSELECTEDCOUNT:
      m.Result = SelCount();
      return;
    case LVM_GETNEXTITEM: {
      int from = int(intptr_t(m.WParam));
      UINT flags = UINT(m.LParam);
      m.Result = -1;
      for (int j = from + 1; j < n; j++) {
        if ((flags & LVNI_SELECTED) && !StateSelected(j)) continue;
        if ((flags & LVNI_FOCUSED) && !StateFocused(j)) continue;
        m.Result = j;
        break;
      }
      return;
    }
    case LVM_EDITLABELW:
      StartEdit(int(intptr_t(m.WParam)));
      m.Result = editor_ ? LRESULT(editor_->Handle().v) : 0;
      return;
    case LVM_GETEDITCONTROL:
      m.Result = editor_ && editor_->HandleAllocated() ? LRESULT(editor_->Handle().v) : 0;
      return;
    case LVM_CANCELEDITLABEL:
      EndEdit(false);
      return;
  }
  TWinControl::DefaultHandler(m);
}

}  // namespace ctl
