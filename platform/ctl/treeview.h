// The tree view core (TCustomTreeView, TTreeView, TTreeNodes, TTreeNode):
// nodes with text, data, images and HasChildren; lazy expansion (a node that
// says it has children is filled by CanExpand's handler when first opened);
// selection with a veto (CanChange) and Change; deletion and label editing
// hooks; lines, buttons and root lines; row-based vertical scrolling and
// pixel-based horizontal scrolling with scroll records; keyboard navigation;
// the TVM_* surface (HTREEITEM is the node's address).
#pragma once

#include "platform/cl/controls.h"
#include "platform/ctl/commctrl.h"
#include "platform/gfx/imagelist.h"

#include <string>
#include <vector>

namespace ctl {

using cl::TComponent;
using cl::TMessage;
using gfx::TPoint;
using gfx::TRect;

class TCustomTreeView;
class TTreeNodes;
class TInplaceEdit;

class TTreeNode : public cl::TPersistent {
 public:
  TTreeNodes* Owner() const { return owner_; }
  TCustomTreeView* TreeView() const;
  const std::string& Text() const { return text_; }
  void SetText(const std::string& s);
  void* Data = nullptr;
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int i);
  int SelectedIndex() const { return selectedIndex_; }
  void SetSelectedIndex(int i);
  int StateIndex() const { return stateIndex_; }
  void SetStateIndex(int i);
  // Shows the expand button although no child exists yet (lazy filling).
  bool HasChildren() const { return hasChildren_ || !children_.empty(); }
  void SetHasChildren(bool v);
  bool Expanded() const { return expanded_; }
  void SetExpanded(bool v);
  void Expand(bool recurse);
  void Collapse(bool recurse);
  int Level() const;
  TTreeNode* Parent() const { return parent_; }
  int Count() const { return int(children_.size()); }
  TTreeNode* Item(int i) const;
  int Index() const;
  int AbsoluteIndex() const;
  TTreeNode* GetFirstChild() const { return children_.empty() ? nullptr : children_.front(); }
  TTreeNode* GetLastChild() const { return children_.empty() ? nullptr : children_.back(); }
  TTreeNode* GetNext() const;  // depth first, whatever is expanded
  TTreeNode* GetPrev() const;
  TTreeNode* GetNextSibling() const;
  TTreeNode* GetPrevSibling() const;
  TTreeNode* GetNextVisible() const;
  TTreeNode* GetPrevVisible() const;
  bool IsVisible() const;  // every ancestor expanded
  bool HasAsParent(const TTreeNode* node) const;
  bool Selected() const;
  void SetSelected(bool v);
  bool Focused() const { return Selected(); }
  void MakeVisible();
  TRect DisplayRect(bool textOnly) const;
  bool EditText();
  void EndEdit(bool cancel);
  void Delete();
  void DeleteChildren();
  bool CustomSort(int (*compare)(TTreeNode*, TTreeNode*, intptr_t), intptr_t data, bool recurse = false);
  bool AlphaSort(bool recurse = false);

 protected:
  std::string ClassName() const override { return "TTreeNode"; }

 private:
  friend class TTreeNodes;
  friend class TCustomTreeView;
  explicit TTreeNode(TTreeNodes* owner) : owner_(owner) {}
  std::vector<TTreeNode*>& Siblings() const;
  void Changed();
  TTreeNodes* owner_;
  TTreeNode* parent_ = nullptr;
  std::vector<TTreeNode*> children_;
  std::string text_;
  int imageIndex_ = -1, selectedIndex_ = -1, stateIndex_ = -1;
  bool hasChildren_ = false, expanded_ = false;
};

class TTreeNodes : public cl::TPersistent {
 public:
  explicit TTreeNodes(TCustomTreeView* owner) : owner_(owner) {}
  TCustomTreeView* Owner() const { return owner_; }
  // A new last sibling of `sibling` (top level when null).
  TTreeNode* Add(TTreeNode* sibling, const std::string& s);
  TTreeNode* AddObject(TTreeNode* sibling, const std::string& s, void* data);
  TTreeNode* AddFirst(TTreeNode* sibling, const std::string& s);
  TTreeNode* AddChild(TTreeNode* parent, const std::string& s);
  TTreeNode* AddChildObject(TTreeNode* parent, const std::string& s, void* data);
  TTreeNode* AddChildFirst(TTreeNode* parent, const std::string& s);
  // A new node just before `sibling` (last at the top level when null).
  TTreeNode* Insert(TTreeNode* sibling, const std::string& s);
  TTreeNode* InsertObject(TTreeNode* sibling, const std::string& s, void* data);
  void Delete(TTreeNode* node);
  void Clear();
  int Count() const;
  TTreeNode* Item(int absoluteIndex) const;
  TTreeNode* operator[](int i) const { return Item(i); }
  TTreeNode* GetFirstNode() const { return roots_.empty() ? nullptr : roots_.front(); }
  void BeginUpdate();
  void EndUpdate();
  bool CustomSort(int (*compare)(TTreeNode*, TTreeNode*, intptr_t), intptr_t data, bool recurse = false);
  bool AlphaSort(bool recurse = false);

 protected:
  void Destroy() override;
  std::string ClassName() const override { return "TTreeNodes"; }

 private:
  friend class TTreeNode;
  friend class TCustomTreeView;
  TTreeNode* InternalAdd(TTreeNode* parent, int index, const std::string& s, void* data);
  void FreeNode(TTreeNode* node);
  TCustomTreeView* owner_;
  std::vector<TTreeNode*> roots_;
  int count_ = 0;
};

using TTVChangingEvent = rtl::Event<void(rtl::TObject* Sender, TTreeNode* Node, bool& AllowChange)>;
using TTVChangedEvent = rtl::Event<void(rtl::TObject* Sender, TTreeNode* Node)>;
using TTVExpandingEvent = rtl::Event<void(rtl::TObject* Sender, TTreeNode* Node, bool& AllowExpansion)>;
using TTVCollapsingEvent = rtl::Event<void(rtl::TObject* Sender, TTreeNode* Node, bool& AllowCollapse)>;
using TTVExpandedEvent = rtl::Event<void(rtl::TObject* Sender, TTreeNode* Node)>;
using TTVEditingEvent = rtl::Event<void(rtl::TObject* Sender, TTreeNode* Node, bool& AllowEdit)>;
using TTVEditedEvent = rtl::Event<void(rtl::TObject* Sender, TTreeNode* Node, std::string& S)>;
using TContextPopupEvent = rtl::Event<void(rtl::TObject* Sender, TPoint MousePos, bool& Handled)>;

class TCustomTreeView : public cl::TWinControl {
 public:
  explicit TCustomTreeView(TComponent* AOwner);

  TTreeNodes* Items() { return items_; }
  TTreeNode* Selected() const { return selected_; }
  void SetSelected(TTreeNode* node);
  TTreeNode* TopItem() const;
  void SetTopItem(TTreeNode* node);
  bool ShowRoot() const { return showRoot_; }
  void SetShowRoot(bool v);
  bool ShowLines() const { return showLines_; }
  void SetShowLines(bool v);
  bool ShowButtons() const { return showButtons_; }
  void SetShowButtons(bool v);
  bool RightClickSelect = false;
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool v);
  bool ReadOnly = false;
  // Colours of the selected node while the tree has the focus and while it
  // has not; a skinned tree hands in its skin's so the selection matches it.
  gfx::TColor SelectionColor = gfx::clHighlight, SelectionTextColor = gfx::clHighlightText;
  gfx::TColor InactiveSelectionColor = gfx::clBtnFace, InactiveSelectionTextColor = gfx::clBtnText;
  // Milliseconds between a selection change and Change (0: at once).
  int ChangeDelay = 0;
  gfx::HIMAGELIST Images() const { return images_; }
  void SetImages(gfx::HIMAGELIST il);
  gfx::HIMAGELIST StateImages() const { return stateImages_; }
  void SetStateImages(gfx::HIMAGELIST il);
  int Indent() const { return indent_; }
  void SetIndent(int v);
  int ItemHeight() const;
  // Rows wholly visible (TVM_GETVISIBLECOUNT).
  int VisibleCount() const;
  TTreeNode* GetNodeAt(int x, int y);
  bool IsEditing() const { return editor_ != nullptr; }
  void FullExpand();
  void FullCollapse();

  TTVChangingEvent OnChanging;
  TTVChangedEvent OnChange;
  TTVExpandingEvent OnExpanding;
  TTVExpandedEvent OnExpanded;
  TTVCollapsingEvent OnCollapsing;
  TTVExpandedEvent OnCollapsed;
  TTVChangedEvent OnDeletion, OnGetImageIndex, OnGetSelectedIndex;
  TTVEditingEvent OnEditing;
  TTVEditedEvent OnEdited;
  TContextPopupEvent OnContextPopup;

  void Dispatch(TMessage& m) override;
  void DefaultHandler(TMessage& m) override;

 protected:
  void CreateWnd() override;
  void Destroy() override;
  void PaintWindow(gfx::HDC dc) override;
  // Asked before a node opens; the place to fill it. False keeps it closed.
  virtual bool CanExpand(TTreeNode* Node);
  virtual void Expand(TTreeNode* Node);
  virtual bool CanCollapse(TTreeNode* Node);
  virtual void Collapse(TTreeNode* Node);
  // Asked before the selection moves to Node; false vetoes.
  virtual bool CanChange(TTreeNode* Node);
  virtual void Change(TTreeNode* Node);
  virtual void Delete(TTreeNode* Node);
  virtual bool CanEdit(TTreeNode* Node);
  // The end of label editing: NewText is null when the edit was abandoned.
  virtual void Edit(TTreeNode* Node, const std::string* NewText);
  virtual void GetImageIndex(TTreeNode* Node);
  virtual void GetSelectedIndex(TTreeNode* Node);
  virtual void DoContextPopup(TPoint MousePos, bool& Handled);
  std::string ClassName() const override { return "TCustomTreeView"; }

 private:
  friend class TTreeNode;
  friend class TTreeNodes;
  const std::vector<TTreeNode*>& Visible() const;
  int VisibleIndex(const TTreeNode* node) const;
  void StructureChanged();
  void UpdateScroll();
  void EnsureVisible(TTreeNode* node);
  bool Select(TTreeNode* node, bool user);
  bool DoExpand(TTreeNode* node, bool expand);
  TRect NodeRect(const TTreeNode* node, bool textOnly) const;
  int NodeLeft(const TTreeNode* node) const;
  int TextWidth(const TTreeNode* node) const;
  int MaxWidth() const;
  int MaxTop() const;
  int MaxScrollX() const;
  TTreeNode* HitTest(TPoint p, UINT* flags) const;
  void ScrollMessage(TMessage& m, bool vertical);
  void KeyEngine(uint16_t key);
  void MouseEngine(TMessage& m);
  void StartEdit(TTreeNode* node);
  void EndEdit(bool accept);
  void NodeRemoved(TTreeNode* node);

  TTreeNodes* items_;
  TTreeNode* selected_ = nullptr;
  int top_ = 0;      // first visible row
  int scrollX_ = 0;  // pixels
  bool showRoot_ = true, showLines_ = true, showButtons_ = true, hideSelection_ = true;
  gfx::HIMAGELIST images_ = nullptr, stateImages_ = nullptr;
  int indent_ = 19;
  int itemHeight_ = 0;  // 0: from the font and images
  int updating_ = 0;
  mutable std::vector<TTreeNode*> visible_;
  mutable bool visibleValid_ = false;
  mutable int maxWidth_ = -1;
  TInplaceEdit* editor_ = nullptr;
  TTreeNode* editNode_ = nullptr;
  TTreeNode* pendingEdit_ = nullptr;
  TTreeNode* pendingChange_ = nullptr;
};

class TTreeView : public TCustomTreeView {
 public:
  using TCustomTreeView::TCustomTreeView;

 protected:
  std::string ClassName() const override { return "TTreeView"; }
};

}  // namespace ctl
