#include "platform/ctl/treeview.h"

#include "platform/ctl/inplaceedit.h"
#include "platform/ctl/internal.h"
#include "platform/ctl/scrollinfo.h"
#include "platform/gfx/dc.h"
#include "platform/gfx/raster.h"
#include "platform/gfx/text.h"
#include "platform/rtl/strings.h"

#include <algorithm>
#include <functional>

namespace ctl {

using namespace win;
using detail::Send;

namespace {
constexpr uintptr_t kChangeTimer = 0x5443, kEditTimer = 0x5445;
constexpr int kHLine = 16;  // pixels per horizontal line step

rtl::EListError IndexError(int i) { return rtl::EListError("List index out of bounds (" + std::to_string(i) + ")"); }

using NodeCompare = int (*)(TTreeNode*, TTreeNode*, intptr_t);

void SortNodes(std::vector<TTreeNode*>& v, NodeCompare compare, intptr_t data, bool recurse,
               const std::function<std::vector<TTreeNode*>&(TTreeNode*)>& kids) {
  if (compare)
    std::stable_sort(v.begin(), v.end(), [&](TTreeNode* a, TTreeNode* b) { return compare(a, b, data) < 0; });
  else
    std::stable_sort(v.begin(), v.end(),
                     [](TTreeNode* a, TTreeNode* b) { return rtl::AnsiCompareText(a->Text(), b->Text()) < 0; });
  if (recurse)
    for (TTreeNode* n : v) SortNodes(kids(n), compare, data, true, kids);
}
}  // namespace

// ============================================================================ TTreeNode

TCustomTreeView* TTreeNode::TreeView() const { return owner_ ? owner_->owner_ : nullptr; }

std::vector<TTreeNode*>& TTreeNode::Siblings() const { return parent_ ? parent_->children_ : owner_->roots_; }

void TTreeNode::Changed() {
  TCustomTreeView* tv = TreeView();
  if (!tv || Destroyed()) return;
  tv->maxWidth_ = -1;
  if (tv->updating_ || !tv->HandleAllocated() || !IsVisible()) return;
  RECT r = tv->NodeRect(this, false);
  InvalidateRect(tv->Handle(), &r, TRUE);
  tv->UpdateScroll();
}

void TTreeNode::SetText(const std::string& s) {
  if (s == text_) return;
  text_ = s;
  Changed();
}

void TTreeNode::SetImageIndex(int i) {
  if (i == imageIndex_) return;
  imageIndex_ = i;
  Changed();
}

void TTreeNode::SetSelectedIndex(int i) {
  if (i == selectedIndex_) return;
  selectedIndex_ = i;
  Changed();
}

void TTreeNode::SetStateIndex(int i) {
  if (i == stateIndex_) return;
  stateIndex_ = i;
  Changed();
}

void TTreeNode::SetHasChildren(bool v) {
  if (v == hasChildren_) return;
  hasChildren_ = v;
  Changed();
}

void TTreeNode::SetExpanded(bool v) {
  if (v)
    Expand(false);
  else
    Collapse(false);
}

void TTreeNode::Expand(bool recurse) {
  TCustomTreeView* tv = TreeView();
  if (!tv) return;
  cl::Keep<TTreeNode> keep(this);
  tv->DoExpand(this, true);
  if (recurse && keep.Alive())
    for (TTreeNode* c : std::vector<TTreeNode*>(children_))
      if (!c->Destroyed()) c->Expand(true);
}

void TTreeNode::Collapse(bool recurse) {
  TCustomTreeView* tv = TreeView();
  if (!tv) return;
  cl::Keep<TTreeNode> keep(this);
  if (recurse)
    for (TTreeNode* c : std::vector<TTreeNode*>(children_))
      if (!c->Destroyed()) c->Collapse(true);
  if (keep.Alive()) tv->DoExpand(this, false);
}

int TTreeNode::Level() const {
  int l = 0;
  for (TTreeNode* p = parent_; p; p = p->parent_) l++;
  return l;
}

TTreeNode* TTreeNode::Item(int i) const {
  if (i < 0 || i >= Count()) throw IndexError(i);
  return children_[size_t(i)];
}

int TTreeNode::Index() const {
  auto& s = Siblings();
  return int(std::find(s.begin(), s.end(), this) - s.begin());
}

int TTreeNode::AbsoluteIndex() const {
  int i = 0;
  for (TTreeNode* n = owner_->GetFirstNode(); n; n = n->GetNext(), i++)
    if (n == this) return i;
  return -1;
}

TTreeNode* TTreeNode::GetNextSibling() const {
  auto& s = Siblings();
  int i = Index();
  return i + 1 < int(s.size()) ? s[size_t(i) + 1] : nullptr;
}

TTreeNode* TTreeNode::GetPrevSibling() const {
  auto& s = Siblings();
  int i = Index();
  return i > 0 ? s[size_t(i) - 1] : nullptr;
}

TTreeNode* TTreeNode::GetNext() const {
  if (!children_.empty()) return children_.front();
  for (const TTreeNode* n = this; n; n = n->parent_)
    if (TTreeNode* s = n->GetNextSibling()) return s;
  return nullptr;
}

TTreeNode* TTreeNode::GetPrev() const {
  TTreeNode* p = GetPrevSibling();
  if (!p) return parent_;
  while (!p->children_.empty()) p = p->children_.back();
  return p;
}

TTreeNode* TTreeNode::GetNextVisible() const {
  if (!IsVisible()) return nullptr;
  if (expanded_ && !children_.empty()) return children_.front();
  for (const TTreeNode* n = this; n; n = n->parent_)
    if (TTreeNode* s = n->GetNextSibling()) return s;
  return nullptr;
}

TTreeNode* TTreeNode::GetPrevVisible() const {
  if (!IsVisible()) return nullptr;
  TTreeNode* p = GetPrevSibling();
  if (!p) return parent_;
  while (p->expanded_ && !p->children_.empty()) p = p->children_.back();
  return p;
}

bool TTreeNode::IsVisible() const {
  for (TTreeNode* p = parent_; p; p = p->parent_)
    if (!p->expanded_) return false;
  return true;
}

bool TTreeNode::HasAsParent(const TTreeNode* node) const {
  for (TTreeNode* p = parent_; p; p = p->parent_)
    if (p == node) return true;
  return false;
}

bool TTreeNode::Selected() const {
  TCustomTreeView* tv = TreeView();
  return tv && tv->selected_ == this;
}

void TTreeNode::SetSelected(bool v) {
  TCustomTreeView* tv = TreeView();
  if (!tv) return;
  if (v)
    tv->Select(this, false);
  else if (tv->selected_ == this)
    tv->Select(nullptr, false);
}

void TTreeNode::MakeVisible() {
  if (TCustomTreeView* tv = TreeView()) tv->EnsureVisible(this);
}

TRect TTreeNode::DisplayRect(bool textOnly) const {
  TCustomTreeView* tv = TreeView();
  return tv && IsVisible() ? tv->NodeRect(this, textOnly) : TRect{};
}

bool TTreeNode::EditText() {
  TCustomTreeView* tv = TreeView();
  if (!tv) return false;
  tv->StartEdit(this);
  return tv->editNode_ == this;
}

void TTreeNode::EndEdit(bool cancel) {
  if (TCustomTreeView* tv = TreeView(); tv && tv->editNode_ == this) tv->EndEdit(!cancel);
}

void TTreeNode::Delete() { owner_->Delete(this); }

void TTreeNode::DeleteChildren() {
  TCustomTreeView* tv = TreeView();
  if (tv) tv->updating_++;
  while (!children_.empty()) owner_->Delete(children_.back());
  if (tv && --tv->updating_ == 0) tv->StructureChanged();
}

bool TTreeNode::CustomSort(NodeCompare compare, intptr_t data, bool recurse) {
  SortNodes(children_, compare, data, recurse, [](TTreeNode* n) -> std::vector<TTreeNode*>& { return n->children_; });
  if (TCustomTreeView* tv = TreeView()) tv->StructureChanged();
  return true;
}

bool TTreeNode::AlphaSort(bool recurse) { return CustomSort(nullptr, 0, recurse); }

// ============================================================================ TTreeNodes

TTreeNode* TTreeNodes::InternalAdd(TTreeNode* parent, int index, const std::string& s, void* data) {
  auto* n = new TTreeNode(this);
  n->parent_ = parent;
  n->text_ = s;
  n->Data = data;
  auto& v = parent ? parent->children_ : roots_;
  index = std::clamp(index, 0, int(v.size()));
  v.insert(v.begin() + index, n);
  count_++;
  owner_->StructureChanged();
  if (parent && !parent->expanded_) parent->Changed();  // its button appears
  return n;
}

TTreeNode* TTreeNodes::Add(TTreeNode* sibling, const std::string& s) { return AddObject(sibling, s, nullptr); }

TTreeNode* TTreeNodes::AddObject(TTreeNode* sibling, const std::string& s, void* data) {
  TTreeNode* parent = sibling ? sibling->parent_ : nullptr;
  return InternalAdd(parent, parent ? parent->Count() : int(roots_.size()), s, data);
}

TTreeNode* TTreeNodes::AddFirst(TTreeNode* sibling, const std::string& s) {
  return InternalAdd(sibling ? sibling->parent_ : nullptr, 0, s, nullptr);
}

TTreeNode* TTreeNodes::AddChild(TTreeNode* parent, const std::string& s) { return AddChildObject(parent, s, nullptr); }

TTreeNode* TTreeNodes::AddChildObject(TTreeNode* parent, const std::string& s, void* data) {
  return InternalAdd(parent, parent ? parent->Count() : int(roots_.size()), s, data);
}

TTreeNode* TTreeNodes::AddChildFirst(TTreeNode* parent, const std::string& s) {
  return InternalAdd(parent, 0, s, nullptr);
}

TTreeNode* TTreeNodes::Insert(TTreeNode* sibling, const std::string& s) { return InsertObject(sibling, s, nullptr); }

TTreeNode* TTreeNodes::InsertObject(TTreeNode* sibling, const std::string& s, void* data) {
  if (!sibling) return InternalAdd(nullptr, int(roots_.size()), s, data);
  return InternalAdd(sibling->parent_, sibling->Index(), s, data);
}

void TTreeNodes::Delete(TTreeNode* node) {
  if (!node || node->owner_ != this || node->Destroyed()) return;
  cl::Keep<TTreeNode> keep(node);
  owner_->updating_++;
  while (!node->children_.empty()) Delete(node->children_.back());
  owner_->updating_--;
  if (!keep.Alive()) return;
  owner_->Delete(node);
  if (!keep.Alive()) return;
  auto& v = node->Siblings();
  auto it = std::find(v.begin(), v.end(), node);
  if (it == v.end()) return;
  TTreeNode* parent = node->parent_;
  v.erase(it);
  count_--;
  owner_->NodeRemoved(node);
  if (parent && parent->children_.empty()) parent->expanded_ = false;
  node->parent_ = nullptr;
  node->Free();
  owner_->StructureChanged();
}

void TTreeNodes::Clear() {
  BeginUpdate();
  while (!roots_.empty()) Delete(roots_.back());
  EndUpdate();
}

int TTreeNodes::Count() const { return count_; }

TTreeNode* TTreeNodes::Item(int absoluteIndex) const {
  if (absoluteIndex < 0) throw IndexError(absoluteIndex);
  int i = 0;
  for (TTreeNode* n = GetFirstNode(); n; n = n->GetNext(), i++)
    if (i == absoluteIndex) return n;
  throw IndexError(absoluteIndex);
}

void TTreeNodes::BeginUpdate() { owner_->updating_++; }

void TTreeNodes::EndUpdate() {
  if (owner_->updating_ > 0 && --owner_->updating_ == 0) owner_->StructureChanged();
}

bool TTreeNodes::CustomSort(NodeCompare compare, intptr_t data, bool recurse) {
  SortNodes(roots_, compare, data, recurse, [](TTreeNode* n) -> std::vector<TTreeNode*>& { return n->children_; });
  owner_->StructureChanged();
  return true;
}

bool TTreeNodes::AlphaSort(bool recurse) { return CustomSort(nullptr, 0, recurse); }

void TTreeNodes::FreeNode(TTreeNode* node) {
  for (TTreeNode* c : node->children_) FreeNode(c);
  node->children_.clear();
  node->Free();
}

void TTreeNodes::Destroy() {
  for (TTreeNode* n : roots_) FreeNode(n);
  roots_.clear();
  count_ = 0;
  TPersistent::Destroy();
}

// ============================================================================ TCustomTreeView: model

TCustomTreeView::TCustomTreeView(TComponent* AOwner) : TWinControl(AOwner) {
  ControlStyle = cl::csCaptureMouse | cl::csClickEvents | cl::csDoubleClicks | cl::csOpaque;
  width_ = 121;
  height_ = 97;
  tabStop_ = true;
  color_ = gfx::clWindow;
  brush_.SetColor(color_);
  parentColor_ = false;
  items_ = new TTreeNodes(this);
}

void TCustomTreeView::Destroy() {
  // The window goes first: its last messages (focus, selection, painting)
  // still read the nodes.
  if (HandleAllocated()) DestroyHandle();
  if (editor_) {
    editor_->Free();
    editor_ = nullptr;
  }
  editNode_ = pendingEdit_ = pendingChange_ = nullptr;
  selected_ = nullptr;
  items_->Free();
  TWinControl::Destroy();
}

bool TCustomTreeView::CanExpand(TTreeNode* Node) {
  bool allow = true;
  OnExpanding(this, Node, allow);
  return allow;
}

void TCustomTreeView::Expand(TTreeNode* Node) { OnExpanded(this, Node); }

bool TCustomTreeView::CanCollapse(TTreeNode* Node) {
  bool allow = true;
  OnCollapsing(this, Node, allow);
  return allow;
}

void TCustomTreeView::Collapse(TTreeNode* Node) { OnCollapsed(this, Node); }

bool TCustomTreeView::CanChange(TTreeNode* Node) {
  bool allow = true;
  OnChanging(this, Node, allow);
  return allow;
}

void TCustomTreeView::Change(TTreeNode* Node) { OnChange(this, Node); }
void TCustomTreeView::Delete(TTreeNode* Node) { OnDeletion(this, Node); }

bool TCustomTreeView::CanEdit(TTreeNode* Node) {
  bool allow = true;
  OnEditing(this, Node, allow);
  return allow;
}

void TCustomTreeView::Edit(TTreeNode* Node, const std::string* NewText) {
  if (!Node || !NewText) return;
  std::string s = *NewText;
  cl::Keep<TTreeNode> keep(Node);
  OnEdited(this, Node, s);
  if (keep.Alive()) Node->SetText(s);
}

void TCustomTreeView::GetImageIndex(TTreeNode* Node) { OnGetImageIndex(this, Node); }
void TCustomTreeView::GetSelectedIndex(TTreeNode* Node) { OnGetSelectedIndex(this, Node); }
void TCustomTreeView::DoContextPopup(TPoint MousePos, bool& Handled) { OnContextPopup(this, MousePos, Handled); }

const std::vector<TTreeNode*>& TCustomTreeView::Visible() const {
  if (visibleValid_) return visible_;
  visible_.clear();
  std::function<void(const std::vector<TTreeNode*>&)> walk = [&](const std::vector<TTreeNode*>& v) {
    for (TTreeNode* n : v) {
      visible_.push_back(n);
      if (n->expanded_) walk(n->children_);
    }
  };
  walk(items_->roots_);
  visibleValid_ = true;
  return visible_;
}

int TCustomTreeView::VisibleIndex(const TTreeNode* node) const {
  const auto& v = Visible();
  auto it = std::find(v.begin(), v.end(), node);
  return it == v.end() ? -1 : int(it - v.begin());
}

void TCustomTreeView::StructureChanged() {
  visibleValid_ = false;
  maxWidth_ = -1;
  if (updating_ || Destroyed()) return;
  top_ = std::clamp(top_, 0, MaxTop());
  scrollX_ = std::clamp(scrollX_, 0, MaxScrollX());
  UpdateScroll();
  Invalidate();
}

void TCustomTreeView::NodeRemoved(TTreeNode* node) {
  if (editNode_ == node) EndEdit(false);
  if (pendingEdit_ == node) pendingEdit_ = nullptr;
  if (pendingChange_ == node) pendingChange_ = nullptr;
  visibleValid_ = false;
  if (selected_ == node) {
    // The selection moves to a neighbour, as on Windows: next, previous, parent.
    TTreeNode* next = node->GetNextSibling();
    if (!next) next = node->GetPrevSibling();
    if (!next) next = node->parent_;
    selected_ = nullptr;
    if (next && !Destroyed()) Select(next, false);
  }
}

bool TCustomTreeView::Select(TTreeNode* node, bool) {
  if (node == selected_) return true;
  cl::Keep<TTreeNode> keep(node);
  if (!CanChange(node)) return false;
  if (node && !keep.Alive()) return false;
  TTreeNode* old = selected_;
  selected_ = node;
  if (HandleAllocated()) {
    if (old && old->IsVisible()) {
      RECT r = NodeRect(old, false);
      InvalidateRect(handle_, &r, TRUE);
    }
    if (node && node->IsVisible()) {
      RECT r = NodeRect(node, false);
      InvalidateRect(handle_, &r, TRUE);
    }
  }
  if (node) EnsureVisible(node);
  if (ChangeDelay > 0 && HandleAllocated()) {
    pendingChange_ = node;
    SetTimer(handle_, kChangeTimer, UINT(ChangeDelay));
  } else {
    Change(node);
  }
  return true;
}

bool TCustomTreeView::DoExpand(TTreeNode* node, bool expand) {
  if (!node) return false;
  cl::Keep<TTreeNode> keep(node);
  if (expand) {
    if (node->expanded_) return true;
    if (!node->HasChildren()) return false;
    if (!CanExpand(node) || !keep.Alive()) return false;
    if (node->children_.empty()) {
      // Nothing came: the button goes away.
      node->hasChildren_ = false;
      node->Changed();
      return false;
    }
    node->expanded_ = true;
    StructureChanged();
    Expand(node);
    return true;
  }
  if (!node->expanded_) return true;
  if (!CanCollapse(node) || !keep.Alive()) return false;
  node->expanded_ = false;
  if (selected_ && selected_->HasAsParent(node)) Select(node, false);
  StructureChanged();
  Collapse(node);
  return true;
}

// ============================================================================ properties

void TCustomTreeView::SetSelected(TTreeNode* node) { Select(node, false); }

TTreeNode* TCustomTreeView::TopItem() const {
  const auto& v = Visible();
  return top_ >= 0 && top_ < int(v.size()) ? v[size_t(top_)] : nullptr;
}

void TCustomTreeView::SetTopItem(TTreeNode* node) {
  int i = VisibleIndex(node);
  if (i < 0) return;
  top_ = std::clamp(i, 0, MaxTop());
  UpdateScroll();
  Invalidate();
}

void TCustomTreeView::SetShowRoot(bool v) {
  showRoot_ = v;
  StructureChanged();
}

void TCustomTreeView::SetShowLines(bool v) {
  showLines_ = v;
  Invalidate();
}

void TCustomTreeView::SetShowButtons(bool v) {
  showButtons_ = v;
  Invalidate();
}

void TCustomTreeView::SetHideSelection(bool v) {
  hideSelection_ = v;
  Invalidate();
}

void TCustomTreeView::SetImages(gfx::HIMAGELIST il) { Send(this, TVM_SETIMAGELIST, TVSIL_NORMAL, LPARAM(il)); }
void TCustomTreeView::SetStateImages(gfx::HIMAGELIST il) { Send(this, TVM_SETIMAGELIST, TVSIL_STATE, LPARAM(il)); }

void TCustomTreeView::SetIndent(int v) { Send(this, TVM_SETINDENT, WPARAM(std::max(0, v))); }

int TCustomTreeView::ItemHeight() const {
  if (itemHeight_ > 0) return itemHeight_;
  gfx::FontMetrics m = gfx::TextEngine().Metrics(font_.LogFont());
  int h = m.ascent + m.descent + 3;
  if (images_) h = std::max(h, images_->Height() + 1);
  return h;
}

int TCustomTreeView::VisibleCount() const {
  TRect c{0, 0, width_, height_};
  if (handle_ && IsWindow(handle_)) GetClientRect(handle_, &c);
  return std::max(0, c.Height() / ItemHeight());
}

TTreeNode* TCustomTreeView::GetNodeAt(int x, int y) {
  UINT f = 0;
  TTreeNode* n = HitTest({x, y}, &f);
  return (f & (TVHT_ONITEMICON | TVHT_ONITEMLABEL)) ? n : nullptr;
}

void TCustomTreeView::FullExpand() {
  for (TTreeNode* n : std::vector<TTreeNode*>(items_->roots_)) n->Expand(true);
}

void TCustomTreeView::FullCollapse() {
  for (TTreeNode* n : std::vector<TTreeNode*>(items_->roots_)) n->Collapse(true);
}

// ============================================================================ geometry

int TCustomTreeView::NodeLeft(const TTreeNode* node) const {
  return (node->Level() + (showRoot_ ? 1 : 0)) * indent_ - scrollX_;
}

int TCustomTreeView::TextWidth(const TTreeNode* node) const {
  return gfx::TextEngine().Width(font_.LogFont(), gfx::ToU32(node->text_)) + 4;
}

TRect TCustomTreeView::NodeRect(const TTreeNode* node, bool textOnly) const {
  int ih = ItemHeight(), y = (VisibleIndex(node) - top_) * ih;
  if (!textOnly) {
    TRect c{0, 0, width_, height_};
    if (handle_ && IsWindow(handle_)) GetClientRect(handle_, &c);
    return {0, y, c.Right, y + ih};
  }
  int x = NodeLeft(node) + (images_ ? images_->Width() + 3 : 0);
  return {x, y, x + TextWidth(node), y + ih};
}

int TCustomTreeView::MaxWidth() const {
  if (maxWidth_ >= 0) return maxWidth_;
  int w = 0;
  for (TTreeNode* n : Visible())
    w = std::max(w, (n->Level() + (showRoot_ ? 1 : 0)) * indent_ + (images_ ? images_->Width() + 3 : 0) + TextWidth(n));
  maxWidth_ = w;
  return w;
}

int TCustomTreeView::MaxTop() const { return std::max(0, int(Visible().size()) - std::max(1, VisibleCount())); }

int TCustomTreeView::MaxScrollX() const {
  TRect c{0, 0, width_, height_};
  if (handle_ && IsWindow(handle_)) GetClientRect(handle_, &c);
  return std::max(0, MaxWidth() - c.Width());
}

void TCustomTreeView::UpdateScroll() {
  if (!HandleAllocated() || updating_) return;
  int n = int(Visible().size()), per = VisibleCount();
  detail::SetScroll(this, SB_VERT, n > per ? n - 1 : 0, per, top_);
  int w = MaxWidth(), cw = ClientWidth();
  detail::SetScroll(this, SB_HORZ, w > cw ? w : 0, cw, scrollX_);
}

void TCustomTreeView::EnsureVisible(TTreeNode* node) {
  if (!node) return;
  bool changed = false;
  for (TTreeNode* p = node->parent_; p; p = p->parent_)
    if (!p->expanded_) {
      cl::Keep<TTreeNode> keep(node);
      DoExpand(p, true);
      if (!keep.Alive()) return;
      changed = true;
    }
  int i = VisibleIndex(node);
  if (i < 0) return;
  int per = std::max(1, VisibleCount()), top = top_;
  if (i < top_)
    top = i;
  else if (i >= top_ + per)
    top = i - per + 1;
  top = std::clamp(top, 0, MaxTop());
  if (top != top_ || changed) {
    top_ = top;
    UpdateScroll();
    Invalidate();
  }
}

TTreeNode* TCustomTreeView::HitTest(TPoint p, UINT* flags) const {
  *flags = TVHT_NOWHERE;
  int ih = ItemHeight(), row = top_ + (p.Y >= 0 ? p.Y / ih : -1);
  const auto& v = Visible();
  if (p.Y < 0 || row >= int(v.size())) return nullptr;
  TTreeNode* n = v[size_t(row)];
  int x0 = NodeLeft(n);
  int iw = images_ ? images_->Width() + 3 : 0;
  bool hasButton = n->HasChildren() && showButtons_ && (n->parent_ || showRoot_);
  if (p.X < x0) {
    *flags = (hasButton && p.X >= x0 - indent_ && p.X < x0) ? TVHT_ONITEMBUTTON : TVHT_ONITEMINDENT;
    return n;
  }
  if (p.X < x0 + iw) {
    *flags = TVHT_ONITEMICON;
    return n;
  }
  if (p.X < x0 + iw + TextWidth(n)) {
    *flags = TVHT_ONITEMLABEL;
    return n;
  }
  *flags = TVHT_ONITEMRIGHT;
  return n;
}

// ============================================================================ editing

void TCustomTreeView::StartEdit(TTreeNode* node) {
  if (ReadOnly || !node || !HandleAllocated()) return;
  if (editor_) EndEdit(true);
  cl::Keep<TTreeNode> keep(node);
  if (!CanEdit(node) || !keep.Alive() || Destroyed()) return;
  EnsureVisible(node);
  TRect r = NodeRect(node, true);
  r.Right = std::min(std::max(r.Right + 20, r.Left + 60), ClientWidth());
  editNode_ = node;
  editor_ = new TInplaceEdit(nullptr);
  editor_->OnEnd = [this](bool accept) { EndEdit(accept); };
  editor_->Font()->Assign(font_);
  editor_->SetBounds(r.Left, r.Top, r.Width(), r.Height());
  editor_->SetParent(this);
  editor_->SetText(node->text_);
  editor_->SelectAll();
  editor_->SetFocus();
}

void TCustomTreeView::EndEdit(bool accept) {
  if (!editor_) return;
  TInplaceEdit* e = editor_;
  editor_ = nullptr;
  TTreeNode* node = editNode_;
  editNode_ = nullptr;
  std::string text = e->Text();
  bool hadFocus = e->HandleAllocated() && GetFocus() == e->Handle();
  e->Free();
  if (hadFocus && CanFocus()) SetFocus();
  if (node) Edit(node, accept ? &text : nullptr);
}

// ============================================================================ input

void TCustomTreeView::ScrollMessage(TMessage& m, bool vertical) {
  int code = LOWORD(m.WParam), pos = int16_t(HIWORD(m.WParam));
  int& v = vertical ? top_ : scrollX_;
  int line = vertical ? 1 : kHLine, page = vertical ? std::max(1, VisibleCount() - 1) : std::max(1, ClientWidth());
  int maxV = vertical ? MaxTop() : MaxScrollX(), old = v;
  if (!ScrollCodeTarget(code, v, pos, line, page, maxV, v)) return;
  if (v == old) return;
  if (editor_) EndEdit(true);
  UpdateScroll();
  Invalidate();
}

void TCustomTreeView::KeyEngine(uint16_t key) {
  const auto& vis = Visible();
  if (vis.empty()) return;
  TTreeNode* cur = selected_;
  int i = cur ? VisibleIndex(cur) : -1, per = std::max(1, VisibleCount());
  TTreeNode* target = nullptr;
  switch (key) {
    case VK_UP:
      target = i <= 0 ? vis.front() : vis[size_t(i) - 1];
      break;
    case VK_DOWN:
      target = i < 0 ? vis.front() : vis[size_t(std::min(i + 1, int(vis.size()) - 1))];
      break;
    case VK_PRIOR:
      target = vis[size_t(std::max(0, i - (per - 1)))];
      break;
    case VK_NEXT:
      target = vis[size_t(std::clamp(i + per - 1, 0, int(vis.size()) - 1))];
      break;
    case VK_HOME:
      target = vis.front();
      break;
    case VK_END:
      target = vis.back();
      break;
    case VK_LEFT:
      if (!cur) return;
      if (cur->expanded_)
        DoExpand(cur, false);
      else
        target = cur->parent_;
      break;
    case VK_RIGHT:
      if (!cur) return;
      if (!cur->expanded_)
        DoExpand(cur, true);
      else
        target = cur->GetFirstChild();
      break;
    case VK_ADD:
      if (cur) DoExpand(cur, true);
      return;
    case VK_SUBTRACT:
      if (cur) DoExpand(cur, false);
      return;
    case VK_MULTIPLY:
      if (cur) cur->Expand(true);
      return;
    case VK_F1 + 1:  // F2
      if (cur) StartEdit(cur);
      return;
    default:
      return;
  }
  if (target && target != cur) Select(target, true);
}

void TCustomTreeView::MouseEngine(TMessage& m) {
  TPoint pt{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
  switch (m.Msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_LBUTTONDBLCLK: {
      if (HandleAllocated()) KillTimer(handle_, kEditTimer);
      if (HandleAllocated() && GetFocus() != handle_) {
        win::SetFocus(handle_);
        if (Destroyed()) return;
      }
      UINT f = 0;
      TTreeNode* n = HitTest(pt, &f);
      pendingEdit_ = nullptr;
      if (!n) return;
      if (m.Msg == WM_RBUTTONDOWN || m.Msg == WM_RBUTTONDBLCLK) {
        if (RightClickSelect && (f & (TVHT_ONITEMICON | TVHT_ONITEMLABEL))) Select(n, true);
        return;
      }
      if (f & TVHT_ONITEMBUTTON) {
        DoExpand(n, !n->expanded_);
        return;
      }
      if (!(f & (TVHT_ONITEMICON | TVHT_ONITEMLABEL))) return;
      if (m.Msg == WM_LBUTTONDBLCLK) {
        DoExpand(n, !n->expanded_);
        return;
      }
      bool was = n == selected_;
      Select(n, true);
      if (was && !ReadOnly && (f & TVHT_ONITEMLABEL)) pendingEdit_ = n;
      return;
    }
    case WM_LBUTTONUP:
      if (pendingEdit_ && HandleAllocated()) SetTimer(handle_, kEditTimer, GetDoubleClickTime());
      return;
  }
}

// ============================================================================ painting

void TCustomTreeView::PaintWindow(gfx::HDC dc) {
  TRect c = ClientRect();
  gfx::FillRect(dc, &c, brush_.Handle());
  int saved = gfx::SaveDC(dc);
  gfx::SelectObject(dc, font_.Handle());
  gfx::SetBkMode(dc, gfx::TRANSPARENT);
  bool focused = HandleAllocated() && GetFocus() == handle_;
  int ih = ItemHeight();
  gfx::HPEN dots = gfx::CreatePen(gfx::PS_DOT, 1, gfx::GetSysColor(gfx::COLOR_BTNSHADOW));
  // The expand boxes take their colours from the view's own text and
  // background, so they read on a dark tree as well as on a light one: the
  // sign in the text colour, the frame halfway between text and background.
  gfx::COLORREF ink = gfx::ColorToRef(font_.Color()), paper = gfx::ColorToRef(Color());
  gfx::COLORREF frame =
      gfx::RGB((gfx::GetRValue(ink) + gfx::GetRValue(paper)) / 2, (gfx::GetGValue(ink) + gfx::GetGValue(paper)) / 2,
               (gfx::GetBValue(ink) + gfx::GetBValue(paper)) / 2);
  gfx::HPEN box = gfx::CreatePen(gfx::PS_SOLID, 1, frame);
  gfx::HPEN sign = gfx::CreatePen(gfx::PS_SOLID, 1, ink);
  gfx::HPEN oldPen = gfx::SelectObject(dc, dots);
  const auto& vis = Visible();
  for (int row = top_; row < int(vis.size()); row++) {
    int y = (row - top_) * ih;
    if (y >= c.Bottom) break;
    TTreeNode* n = vis[size_t(row)];
    int x0 = NodeLeft(n), mid = y + ih / 2;
    bool rootLevel = !n->parent_;
    if (showLines_ && (!rootLevel || showRoot_)) {
      int lx = x0 - indent_ / 2;
      gfx::SelectObject(dc, dots);
      gfx::MoveToEx(dc, lx, mid, nullptr);
      gfx::LineTo(dc, x0, mid);
      bool above = n->parent_ || n->GetPrevSibling();
      gfx::MoveToEx(dc, lx, above ? y : mid, nullptr);
      gfx::LineTo(dc, lx, n->GetNextSibling() ? y + ih : mid);
      // The lines of ancestors that have more siblings below pass through.
      int ax = lx;
      for (TTreeNode* a = n->parent_; a && (a->parent_ || showRoot_); a = a->parent_) {
        ax -= indent_;
        if (a->GetNextSibling()) {
          gfx::MoveToEx(dc, ax, y, nullptr);
          gfx::LineTo(dc, ax, y + ih);
        }
      }
    }
    if (showButtons_ && n->HasChildren() && (!rootLevel || showRoot_)) {
      int bx = x0 - indent_ / 2, by = mid;
      RECT b{bx - 4, by - 4, bx + 5, by + 5};
      gfx::FillRect(dc, &b, brush_.Handle());
      gfx::SelectObject(dc, box);
      gfx::MoveToEx(dc, b.Left, b.Top, nullptr);
      gfx::LineTo(dc, b.Right - 1, b.Top);
      gfx::LineTo(dc, b.Right - 1, b.Bottom - 1);
      gfx::LineTo(dc, b.Left, b.Bottom - 1);
      gfx::LineTo(dc, b.Left, b.Top);
      gfx::SelectObject(dc, sign);
      gfx::MoveToEx(dc, bx - 2, by, nullptr);
      gfx::LineTo(dc, bx + 3, by);
      if (!n->expanded_) {
        gfx::MoveToEx(dc, bx, by - 2, nullptr);
        gfx::LineTo(dc, bx, by + 3);
      }
    }
    bool sel = n == selected_;
    if (images_) {
      cl::Keep<TTreeNode> keep(n);
      if (sel)
        GetSelectedIndex(n);
      else
        GetImageIndex(n);
      if (!keep.Alive()) break;
      int idx = sel && n->selectedIndex_ >= 0 ? n->selectedIndex_ : n->imageIndex_;
      if (idx >= 0 && idx < images_->Count()) images_->DrawDC(dc, x0 + 1, y + (ih - images_->Height()) / 2, idx);
    }
    TRect t = NodeRect(n, true);
    bool showSel = sel && (focused || !hideSelection_);
    if (showSel) {
      RECT r = t;
      gfx::HBRUSH fill = gfx::CreateSolidBrush(gfx::ColorToRef(focused ? SelectionColor : InactiveSelectionColor));
      gfx::FillRect(dc, &r, fill);
      gfx::DeleteObject(fill);
    }
    gfx::SetTextColor(
        dc, gfx::ColorToRef(showSel ? (focused ? SelectionTextColor : InactiveSelectionTextColor) : font_.Color()));
    RECT tr{t.Left + 2, t.Top, t.Right, t.Bottom};
    gfx::DrawText(dc, n->text_, -1, &tr, gfx::DT_SINGLELINE | gfx::DT_VCENTER | gfx::DT_NOPREFIX);
    if (sel && focused) {
      RECT fr = t;
      gfx::DrawFocusRect(dc, &fr);
    }
  }
  gfx::SelectObject(dc, oldPen);
  gfx::DeleteObject(dots);
  gfx::DeleteObject(box);
  gfx::DeleteObject(sign);
  gfx::RestoreDC(dc, saved);
}

// ============================================================================ messages

void TCustomTreeView::CreateWnd() {
  TWinControl::CreateWnd();
  UpdateScroll();
}

void TCustomTreeView::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_SIZE:
      TWinControl::Dispatch(m);
      if (Destroyed()) return;
      top_ = std::clamp(top_, 0, MaxTop());
      scrollX_ = std::clamp(scrollX_, 0, MaxScrollX());
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
      StructureChanged();
      return;
    case WM_CONTEXTMENU: {
      TPoint p{GET_X_LPARAM(m.LParam), GET_Y_LPARAM(m.LParam)};
      if (p.X != -1 || p.Y != -1) p = ScreenToClient(p);
      bool handled = false;
      DoContextPopup(p, handled);
      if (handled) {
        m.Result = 1;
        return;
      }
      break;
    }
  }
  TWinControl::Dispatch(m);
}

void TCustomTreeView::DefaultHandler(TMessage& m) {
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
      if (m.WParam == kChangeTimer) {
        KillTimer(handle_, kChangeTimer);
        TTreeNode* n = pendingChange_;
        pendingChange_ = nullptr;
        if (n == selected_) Change(n);
        return;
      }
      if (m.WParam == kEditTimer) {
        KillTimer(handle_, kEditTimer);
        TTreeNode* n = pendingEdit_;
        pendingEdit_ = nullptr;
        if (n && n == selected_) StartEdit(n);
        return;
      }
      break;
    case WM_MOUSEWHEEL: {
      TMessage s{WM_VSCROLL, WPARAM(GET_WHEEL_DELTA_WPARAM(m.WParam) > 0 ? SB_LINEUP : SB_LINEDOWN), 0, 0};
      for (int k = 0; k < 3; k++) ScrollMessage(s, true);
      return;
    }
    case WM_VSCROLL:
    case WM_HSCROLL:
      ScrollMessage(m, m.Msg == WM_VSCROLL);
      return;
    case TVM_GETCOUNT:
      m.Result = items_->Count();
      return;
    case TVM_GETVISIBLECOUNT:
      m.Result = VisibleCount();
      return;
    case TVM_SETIMAGELIST: {
      gfx::HIMAGELIST* slot = m.WParam == WPARAM(TVSIL_STATE) ? &stateImages_ : &images_;
      m.Result = LRESULT(*slot);
      *slot = reinterpret_cast<gfx::ImageList*>(m.LParam);
      StructureChanged();
      return;
    }
    case TVM_GETINDENT:
      m.Result = indent_;
      return;
    case TVM_SETINDENT:
      indent_ = int(m.WParam);
      StructureChanged();
      return;
    case TVM_GETITEMHEIGHT:
      m.Result = ItemHeight();
      return;
    case TVM_SETITEMHEIGHT:
      m.Result = ItemHeight();
      itemHeight_ = int(intptr_t(m.WParam)) > 0 ? int(m.WParam) : 0;
      StructureChanged();
      return;
    case TVM_GETNEXTITEM: {
      auto* n = reinterpret_cast<TTreeNode*>(m.LParam);
      TTreeNode* r = nullptr;
      const auto& vis = Visible();
      switch (UINT(m.WParam)) {
        case TVGN_ROOT:
          r = items_->GetFirstNode();
          break;
        case TVGN_NEXT:
          r = n ? n->GetNextSibling() : nullptr;
          break;
        case TVGN_PREVIOUS:
          r = n ? n->GetPrevSibling() : nullptr;
          break;
        case TVGN_PARENT:
          r = n ? n->parent_ : nullptr;
          break;
        case TVGN_CHILD:
          r = n ? n->GetFirstChild() : items_->GetFirstNode();
          break;
        case TVGN_FIRSTVISIBLE:
          r = TopItem();
          break;
        case TVGN_NEXTVISIBLE:
          r = n ? n->GetNextVisible() : nullptr;
          break;
        case TVGN_PREVIOUSVISIBLE:
          r = n ? n->GetPrevVisible() : nullptr;
          break;
        case TVGN_CARET:
          r = selected_;
          break;
        case TVGN_LASTVISIBLE:
          r = vis.empty() ? nullptr : vis.back();
          break;
      }
      m.Result = LRESULT(r);
      return;
    }
    case TVM_SELECTITEM: {
      auto* n = reinterpret_cast<TTreeNode*>(m.LParam);
      if (UINT(m.WParam) == TVGN_FIRSTVISIBLE)
        SetTopItem(n);
      else
        Select(n, false);
      m.Result = TRUE;
      return;
    }
    case TVM_EXPAND: {
      auto* n = reinterpret_cast<TTreeNode*>(m.LParam);
      UINT code = UINT(m.WParam) & 3;
      bool open = code == TVE_EXPAND || (code == TVE_TOGGLE && n && !n->expanded_);
      m.Result = DoExpand(n, open);
      return;
    }
    case TVM_ENSUREVISIBLE:
      EnsureVisible(reinterpret_cast<TTreeNode*>(m.LParam));
      m.Result = TRUE;
      return;
    case TVM_HITTEST: {
      auto* info = reinterpret_cast<TVHITTESTINFO*>(m.LParam);
      if (!info) return;
      info->hItem = HitTest(info->pt, &info->flags);
      m.Result = LRESULT(info->hItem);
      return;
    }
    case TVM_GETITEMRECT: {
      auto* r = reinterpret_cast<RECT*>(m.LParam);
      if (!r) return;
      TTreeNode* n = *reinterpret_cast<TTreeNode**>(r);
      if (!n || !n->IsVisible()) {
        m.Result = FALSE;
        return;
      }
      *r = NodeRect(n, m.WParam != 0);
      m.Result = TRUE;
      return;
    }
    case TVM_EDITLABELW:
      StartEdit(reinterpret_cast<TTreeNode*>(m.LParam));
      m.Result = editor_ ? LRESULT(editor_->Handle().v) : 0;
      return;
    case TVM_ENDEDITLABELNOW:
      EndEdit(m.WParam == 0);
      m.Result = TRUE;
      return;
  }
  TWinControl::DefaultHandler(m);
}

}  // namespace ctl
