// The list box core (TCustomListBox, TListBox): strings with objects, sorted
// insertion, single, multiple and extended selection, a fixed item height,
// the top index and the LB_* surface, keyboard and mouse selection that fire
// Click and DblClick, incremental search, owner drawing through CN_DRAWITEM,
// and scroll records (SB_VERT in rows, SB_HORZ in columns with Columns > 0).
//
// Items.Add, Insert and Delete travel as LB_ADDSTRING, LB_INSERTSTRING and
// LB_DELETESTRING through the control's message chain, so a descendant sees
// every change of the rows in its WndProc. The wheel scrolls nothing by
// itself, and the control has no non-client area.
#pragma once

#include "platform/cl/controls.h"
#include "platform/ctl/commctrl.h"
#include "platform/rtl/strlist.h"

#include <memory>
#include <string>
#include <vector>

namespace ctl {

using cl::TComponent;
using cl::TMessage;
using gfx::TPoint;
using gfx::TRect;

enum TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable };
enum TOwnerDrawStateFlag : unsigned { odSelected = 1, odGrayed = 2, odDisabled = 4, odChecked = 8, odFocused = 16 };
using TOwnerDrawState = unsigned;
using TDrawItemEvent = rtl::Event<void(cl::TWinControl* Control, int Index, TRect Rect, TOwnerDrawState State)>;

class TCustomListBox;

// The rows of a list box, as strings: every call is a message to the control.
class TListBoxStrings : public rtl::TStrings {
 public:
  explicit TListBoxStrings(TCustomListBox* box) : box_(box) {}
  int Count() const override;
  std::string Get(int index) const override;
  void Put(int index, const std::string& s) override;
  void* GetObject(int index) const override;
  void PutObject(int index, void* obj) override;
  void Insert(int index, const std::string& s) override;
  void Delete(int index) override;
  void Clear() override;
  int Add(const std::string& s) override;
  int AddObject(const std::string& s, void* obj) override;
  int IndexOf(const std::string& s) const override;
  void Exchange(int a, int b) override;

 private:
  TCustomListBox* box_;
};

class TCustomListBox : public cl::TWinControl {
 public:
  explicit TCustomListBox(TComponent* AOwner);
  ~TCustomListBox() override;

  rtl::TStrings& Items() { return *strings_; }
  void SetItems(const rtl::TStrings& s) { strings_->Assign(s); }
  int Count() const { return int(rows_.size()); }
  // LB_GETCURSEL, or the caret row with multiple selection.
  int ItemIndex();
  void SetItemIndex(int v);
  bool Selected(int index);
  void SetSelected(int index, bool v);
  int SelCount();
  void Clear();           // rows gone, ItemIndex -1
  void ClearSelection();  // every row unselected
  void SelectAll();       // multiple selection only
  int TopIndex();
  void SetTopIndex(int v);
  int ItemHeight() const { return itemHeight_; }
  void SetItemHeight(int v);
  TRect ItemRect(int index);
  // The row under `pos` (client coordinates); past the rows -1 when
  // `existing`, else Count.
  int ItemAtPos(TPoint pos, bool existing);
  // Rows wholly inside the client area.
  int RowsPerPage();

  bool MultiSelect() const { return multiSelect_; }
  void SetMultiSelect(bool v);
  bool ExtendedSelect() const { return extendedSelect_; }
  void SetExtendedSelect(bool v);
  bool Sorted() const { return sorted_; }
  void SetSorted(bool v);
  int Columns() const { return columns_; }
  void SetColumns(int v);
  TListBoxStyle Style() const { return style_; }
  void SetStyle(TListBoxStyle s);
  bool AutoComplete = true;
  bool IntegralHeight = false;
  gfx::TCanvas* Canvas() { return canvas_; }

  TDrawItemEvent OnDrawItem;

  void Dispatch(TMessage& m) override;
  void DefaultHandler(TMessage& m) override;

 protected:
  void CreateParams(cl::TCreateParams& p) override;
  void CreateWnd() override;
  void PaintWindow(gfx::HDC dc) override;
  void KeyPress(char32_t& Key) override;
  // Paints one row (OnDrawItem when assigned, else the text on the
  // selection colours); the canvas is set to the row's DC.
  virtual void DrawItem(int index, TRect rect, TOwnerDrawState state);
  std::string ClassName() const override { return "TCustomListBox"; }

 private:
  friend class TListBoxStrings;
  struct Row {
    std::string text;
    uintptr_t data = 0;
    bool selected = false;
  };
  void UpdateScroll();
  void EnsureVisible(int index);
  int MaxTop();
  int ColumnWidth();
  void UserSelect(int index, bool shift, bool ctrl, bool fromKeyboard);
  void KeyEngine(uint16_t key);
  void MouseEngine(TMessage& m);
  void ScrollMessage(TMessage& m, bool vertical);
  int Find(int start, const std::string& s, bool exact) const;

  std::unique_ptr<TListBoxStrings> strings_;
  gfx::TCanvas* canvas_;
  std::vector<Row> rows_;
  int itemIndex_ = -1;  // the selection, or the caret row with multiple selection
  int anchor_ = -1;     // extended selection's range start
  int top_ = 0;
  int itemHeight_ = 16;
  int columns_ = 0;
  bool multiSelect_ = false, extendedSelect_ = true, sorted_ = false;
  TListBoxStyle style_ = lbStandard;
  bool tracking_ = false;  // a press on a row: Click fires on release
  bool afterDblClick_ = false;
  std::string filter_;
  uint32_t lastKeyTime_ = 0;
};

class TListBox : public TCustomListBox {
 public:
  using TCustomListBox::TCustomListBox;

 protected:
  std::string ClassName() const override { return "TListBox"; }
};

}  // namespace ctl
