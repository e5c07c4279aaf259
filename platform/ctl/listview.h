// The list view core (TCustomListView, TListView) with its column header:
// items with sub-items, images and data; columns (width 0 with MaxWidth 1 is a
// hidden column); report, list and icon views; single and multiple selection
// with OnSelectItem fired for the old row going off before the new row coming
// on; owner data (OnData, OnDataFind); sorting; label editing; child controls
// on top of the rows; the LVM_* surface and scroll records (report view:
// vertical in rows, horizontal in pixels; list view: horizontal in columns).
//
// The header is a child window of class "SysHeader32", created in report view
// after the list's own window, so the list hears WM_PARENTNOTIFY(WM_CREATE)
// and may subclass it. It answers HDM_GETITEMCOUNT, HDM_GETITEMRECT,
// HDM_GETORDERARRAY and HDM_HITTEST, and dragging a divider resizes the
// column, telling the list through WM_NOTIFY (HDN_BEGINTRACK, HDN_TRACK,
// HDN_ENDTRACK; HDN_ITEMCLICK for a click on a section).
#pragma once

#include "platform/cl/collection.h"
#include "platform/cl/controls.h"
#include "platform/cl/stdctrls.h"
#include "platform/ctl/commctrl.h"
#include "platform/gfx/imagelist.h"
#include "platform/rtl/strlist.h"

#include <memory>
#include <string>
#include <vector>

namespace ctl {

using cl::TComponent;
using cl::TMessage;
using gfx::TPoint;
using gfx::TRect;

class TCustomListView;
class TListItems;
class TInplaceEdit;

enum TViewStyle { vsIcon, vsSmallIcon, vsList, vsReport };
enum TDisplayCode { drBounds, drIcon, drLabel, drSelectBounds };
enum TItemChange { ctText, ctImage, ctState };
enum TSortType { stNone, stData, stText, stBoth };
enum TItemFind { ifData, ifPartialString, ifExactString, ifNearest };
enum TSearchDirection { sdLeft, sdRight, sdAbove, sdBelow, sdAll };
enum TItemStateFlag : unsigned { isNone = 0, isCut = 1, isDropHilited = 2, isFocused = 4, isSelected = 8 };
using TItemStates = unsigned;

class TListColumn : public cl::TCollectionItem {
 public:
  // Joins the collection once it is whole (the collection reads it then).
  explicit TListColumn(cl::TCollection* c) : TCollectionItem(nullptr) { SetCollection(c); }
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& s);
  int Width() const { return width_; }
  void SetWidth(int w);
  int MinWidth() const { return minWidth_; }
  void SetMinWidth(int w);
  // 0 = no limit. A column of width 0 with MaxWidth 1 is hidden.
  int MaxWidth() const { return maxWidth_; }
  void SetMaxWidth(int w);
  cl::TAlignment Alignment() const { return alignment_; }
  void SetAlignment(cl::TAlignment a);
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int i);
  bool AutoSize = false;
  intptr_t Tag = 0;
  std::string GetDisplayName() const override { return caption_; }

 protected:
  std::string ClassName() const override { return "TListColumn"; }

 private:
  std::string caption_;
  int width_ = 50, minWidth_ = 0, maxWidth_ = 0, imageIndex_ = -1;
  cl::TAlignment alignment_ = cl::taLeftJustify;
};

class TListColumns : public cl::TCollection {
 public:
  explicit TListColumns(TCustomListView* owner);
  TListColumn* Add() { return static_cast<TListColumn*>(TCollection::Add()); }
  TListColumn* Items(int i) const { return static_cast<TListColumn*>(TCollection::Items(i)); }
  TListColumn* operator[](int i) const { return Items(i); }
  TCustomListView* Owner() const { return owner_; }

 protected:
  void Update(cl::TCollectionItem* item) override;
  std::string ClassName() const override { return "TListColumns"; }

 private:
  TCustomListView* owner_;
};

class TListItem : public cl::TPersistent {
 public:
  explicit TListItem(TListItems* owner);
  TListItems* Owner() const { return owner_; }
  TCustomListView* ListView() const;
  int Index() const;
  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& s);
  rtl::TStrings* SubItems() { return &subItems_; }
  int ImageIndex() const { return imageIndex_; }
  void SetImageIndex(int i);
  int StateIndex() const { return stateIndex_; }
  void SetStateIndex(int i);
  void* Data = nullptr;
  bool Selected() const;
  void SetSelected(bool v);
  bool Focused() const;
  void SetFocused(bool v);
  // Where the item is, in the list's client coordinates.
  int Top() const;
  int Left() const;
  TRect DisplayRect(TDisplayCode code) const;
  void MakeVisible(bool partialOk);
  bool EditCaption();
  void CancelEdit();
  void Update();  // repaints the item
  void Delete();
  void Assign(cl::TPersistent* source) override;

 protected:
  std::string ClassName() const override { return "TListItem"; }

 private:
  friend class TListItems;
  friend class TCustomListView;
  void Changed(TItemChange change);
  TListItems* owner_;
  std::string caption_;
  rtl::TStringList subItems_;
  int imageIndex_ = -1, stateIndex_ = -1;
  bool selected_ = false, focused_ = false;
  int index_ = -1;      // kept by the owner
  bool quiet_ = false;  // filled by OnData: no change notifications
};

class TListItems : public cl::TPersistent {
 public:
  explicit TListItems(TCustomListView* owner) : owner_(owner) {}
  TCustomListView* Owner() const { return owner_; }
  TListItem* Add();
  TListItem* Insert(int index);
  void Delete(int index);
  void Clear();
  int Count() const;
  // With OwnerData: the number of rows the list shows.
  void SetCount(int n);
  // With OwnerData the answer is one item the list refills through OnData.
  TListItem* Item(int index) const;
  TListItem* operator[](int index) const { return Item(index); }
  int IndexOf(const TListItem* item) const;
  void BeginUpdate();
  void EndUpdate();

 protected:
  void Destroy() override;
  std::string ClassName() const override { return "TListItems"; }

 private:
  friend class TListItem;
  friend class TCustomListView;
  void Renumber(size_t from);
  TCustomListView* owner_;
  std::vector<TListItem*> items_;
};

using TLVSelectItemEvent = rtl::Event<void(rtl::TObject* Sender, TListItem* Item, bool Selected)>;
using TLVChangeEvent = rtl::Event<void(rtl::TObject* Sender, TListItem* Item, TItemChange Change)>;
using TLVChangingEvent = rtl::Event<void(rtl::TObject* Sender, TListItem* Item, TItemChange Change, bool& AllowChange)>;
using TLVColumnClickEvent = rtl::Event<void(rtl::TObject* Sender, TListColumn* Column)>;
using TLVNotifyEvent = rtl::Event<void(rtl::TObject* Sender, TListItem* Item)>;
using TLVEditingEvent = rtl::Event<void(rtl::TObject* Sender, TListItem* Item, bool& AllowEdit)>;
using TLVEditedEvent = rtl::Event<void(rtl::TObject* Sender, TListItem* Item, std::string& S)>;
using TLVCompareEvent =
    rtl::Event<void(rtl::TObject* Sender, TListItem* Item1, TListItem* Item2, int Data, int& Compare)>;
using TLVOwnerDataFindEvent =
    rtl::Event<void(rtl::TObject* Sender, TItemFind Find, const std::string& FindString, TPoint FindPosition,
                    void* FindData, int StartIndex, TSearchDirection Direction, bool Wrap, int& Index)>;
using TLVCompare = int (*)(TListItem* a, TListItem* b, intptr_t data);

class TCustomListView : public cl::TWinControl {
 public:
  explicit TCustomListView(TComponent* AOwner);
  ~TCustomListView() override;

  TListColumns* Columns() { return columns_; }
  TListItems* Items() { return items_; }

  // ---- properties
  TViewStyle ViewStyle() const { return viewStyle_; }
  void SetViewStyle(TViewStyle v);
  bool RowSelect() const { return rowSelect_; }
  void SetRowSelect(bool v);
  bool GridLines() const { return gridLines_; }
  void SetGridLines(bool v);
  bool ReadOnly = false;
  bool HideSelection() const { return hideSelection_; }
  void SetHideSelection(bool v);
  bool ShowColumnHeaders() const { return showColumnHeaders_; }
  void SetShowColumnHeaders(bool v);
  bool ColumnClick = true;
  // Colours of selected rows while the view has the focus and while it has
  // not, and of the grid lines. They start as the system's; a skinned view
  // hands in its skin's colours so that its selection matches the rest of it.
  gfx::TColor SelectionColor = gfx::clHighlight, SelectionTextColor = gfx::clHighlightText;
  gfx::TColor InactiveSelectionColor = gfx::clBtnFace, InactiveSelectionTextColor = gfx::clBtnText;
  gfx::TColor GridLineColor = gfx::clBtnFace;
  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool v);
  bool OwnerData() const { return ownerData_; }
  void SetOwnerData(bool v);
  gfx::HIMAGELIST SmallImages() const { return smallImages_; }
  void SetSmallImages(gfx::HIMAGELIST il);
  gfx::HIMAGELIST LargeImages() const { return largeImages_; }
  void SetLargeImages(gfx::HIMAGELIST il);
  gfx::HIMAGELIST StateImages() const { return stateImages_; }
  void SetStateImages(gfx::HIMAGELIST il);
  TSortType SortType() const { return sortType_; }
  void SetSortType(TSortType t);
  bool CustomSort(TLVCompare compare, intptr_t data);
  bool AlphaSort();

  // ---- selection and queries
  TListItem* Selected();
  void SetSelected(TListItem* item);
  TListItem* ItemFocused();
  void SetItemFocused(TListItem* item);
  int SelCount();
  void ClearSelection();
  void SelectAll();
  TListItem* TopItem();
  int VisibleRowCount();  // LVM_GETCOUNTPERPAGE
  TListItem* GetItemAt(int x, int y);
  TListItem* GetNextItem(TListItem* start, TSearchDirection direction, TItemStates states);
  TListItem* FindCaption(int startIndex, const std::string& value, bool partial, bool inclusive, bool wrap);
  void Scroll(int dx, int dy);  // LVM_SCROLL
  void UpdateItems(int first, int last);
  HWND HeaderHandle() const { return header_; }
  int RowHeight() const;
  int HeaderHeight() const;
  // Left edge of column `index` in content coordinates (before horizontal scrolling).
  int ColumnLeft(int index) const;
  int ScrollX() const { return scrollX_; }
  bool IsEditing() const;
  cl::TWinControl* EditControl() const;

  // ---- events
  TLVSelectItemEvent OnSelectItem;
  TLVChangeEvent OnChange;
  TLVChangingEvent OnChanging;
  TLVColumnClickEvent OnColumnClick;
  TLVNotifyEvent OnData, OnDeletion, OnInsert;
  TLVOwnerDataFindEvent OnDataFind;
  TLVCompareEvent OnCompare;
  TLVEditingEvent OnEditing;
  TLVEditedEvent OnEdited;

  void Dispatch(TMessage& m) override;
  void DefaultHandler(TMessage& m) override;

 protected:
  void CreateParams(cl::TCreateParams& p) override;
  void CreateWnd() override;
  void DestroyWnd() override;
  void Destroy() override;
  void PaintWindow(gfx::HDC dc) override;
  void KeyPress(char32_t& Key) override;
  // After an item's text, image or state changed.
  virtual void Change(TListItem* Item, int Change);
  virtual bool CanChange(TListItem* Item, int Change);
  virtual void DoSelectItem(TListItem* Item, bool Selected);
  virtual void ColClick(TListColumn* Column);
  virtual bool CanEdit(TListItem* Item);
  // The end of label editing: NewText is null when the edit was abandoned.
  virtual void Edit(TListItem* Item, const std::string* NewText);
  virtual void Delete(TListItem* Item);
  virtual void InsertItem(TListItem* Item);
  // Fills a row's item with OnData (owner data).
  virtual bool OwnerDataFetch(TListItem* Item);
  virtual int OwnerDataFind(TItemFind Find, const std::string& FindString, int StartIndex, bool Wrap);
  std::string ClassName() const override { return "TCustomListView"; }

 private:
  friend class TListItem;
  friend class TListItems;
  friend class TListColumns;
  friend class TInplaceEdit;
  int Count() const;
  TListItem* At(int index) const;  // fetched with owner data
  bool StateSelected(int index) const;
  bool StateFocused(int index) const;
  // Sets both state bits of a row, firing OnChanging, OnChange and (when the
  // selection bit changed) OnSelectItem. False when vetoed.
  bool SetState(int index, bool selected, bool focused);
  void SelectOnly(int index, bool focus);
  void UserSelect(int index, bool shift, bool ctrl);
  void ItemsChanged();
  void ColumnsChanged();
  void LayoutHeader();
  void CreateHeader();
  void DestroyHeader();
  void UpdateScroll();
  void EnsureVisible(int index, bool partialOk);
  TRect ItemRect(int index, TDisplayCode code) const;
  TRect ContentArea() const;  // the client area below the header
  int TotalColumnWidth() const;
  int ListColumnWidth() const;
  int RowsPerColumn() const;
  int IconCellWidth() const;
  int IconCellHeight() const;
  int IconsPerRow() const;
  int HitTest(TPoint p, UINT* flags) const;
  int MaxTop() const;
  int MaxScrollX() const;
  void ScrollMessage(TMessage& m, bool vertical);
  void KeyEngine(uint16_t key);
  void MouseEngine(TMessage& m);
  void HeaderNotify(TMessage& m);
  void StartEdit(int index);
  void EndEdit(bool accept);
  void PaintReport(gfx::HDC dc);
  void PaintItems(gfx::HDC dc);
  void PaintCellText(gfx::HDC dc, const std::string& text, TRect r, cl::TAlignment a);
  void ApplyMaxMin(TListColumn* c, int& width) const;

  TListColumns* columns_;
  TListItems* items_;
  TListItem* fetched_;               // the owner-data item
  std::vector<uint8_t> ownerState_;  // owner data: bit 0 selected, bit 1 focused
  int ownerCount_ = 0;
  TViewStyle viewStyle_ = vsIcon;
  bool rowSelect_ = false, gridLines_ = false, hideSelection_ = true, showColumnHeaders_ = true;
  bool multiSelect_ = false, ownerData_ = false;
  gfx::HIMAGELIST smallImages_ = nullptr, largeImages_ = nullptr, stateImages_ = nullptr;
  TSortType sortType_ = stNone;
  HWND header_;
  int top_ = 0;      // report: first row; list: first column
  int scrollX_ = 0;  // report: pixels
  int scrollY_ = 0;  // icon views: pixels
  int anchor_ = -1;
  int updating_ = 0;
  bool pendingLayout_ = false;
  int listColumnWidth_ = 0;  // LVM_SETCOLUMNWIDTH in list view; 0 = from the items
  mutable int measuredListWidth_ = -1;
  int pendingEdit_ = -1;
  int pressedIndex_ = -1;
  bool wasSelectedAtPress_ = false;
  TInplaceEdit* editor_ = nullptr;
  int editIndex_ = -1;
  std::string filter_;
  uint32_t lastKeyTime_ = 0;
};

class TListView : public TCustomListView {
 public:
  using TCustomListView::TCustomListView;

 protected:
  std::string ClassName() const override { return "TListView"; }
};

}  // namespace ctl
