// Office-style lists: rich items (a bold title line, a word-wrapped caption,
// a picture from an image list, group header rows), kept in an item
// collection and shown by a skinned list box with its own vertical scroll
// bar. The same list, as a never-activated popup, is the drop-down of the
// office combo box.
//
// Selection through SetItemIndex fires the selected item's OnClick and the
// list's OnItemClick on every call, also for an unchanged index; the mouse
// and hover selection (SelectItem) fires nothing until the button is
// released. Rows are laid out from ItemHeight and HeaderHeight below the
// items area's top, moved up by the scroll offset.
#pragma once

#include <string>

#include "platform/cl/collection.h"
#include "platform/cl/imglist.h"
#include "skin/controls/bsSkinControls.h"
#include "skin/controls/bsSkinScrollBar.h"

namespace skin {

class TbsSkinOfficeListBox;

// Owner drawing of a row's content (and of the office combo's shown item).
using TbsDrawSkinOfficeItemEvent = rtl::Event<void(gfx::TCanvas* Cnvs, int Index, TRect TextRct)>;

class TbsSkinOfficeItem : public cl::TCollectionItem {
 public:
  explicit TbsSkinOfficeItem(cl::TCollection* ACollection);

  int ImageIndex() const { return FImageIndex; }
  virtual void SetImageIndex(int Value);
  const std::string& Title() const { return FTitle; }
  virtual void SetTitle(const std::string& Value);
  const std::string& Caption() const { return FCaption; }
  virtual void SetCaption(const std::string& Value);
  void* Data() const { return FData; }
  // Free for the user; no repaint.
  virtual void SetData(void* Value) { FData = Value; }
  bool Enabled() const { return FEnabled; }
  virtual void SetEnabled(bool Value);
  bool Header() const { return FHeader; }
  virtual void SetHeader(bool Value);

  // Copies ImageIndex, Caption, Title, Enabled and Header from another item.
  void Assign(cl::TPersistent* Source) override;

  // Fired (sender: the list box) when SetItemIndex selects this item.
  rtl::TNotifyEvent OnClick;

  // Run-time layout, written by the list's CalcItemRects.
  TRect ItemRect;
  bool IsVisible = false;
  bool Active = false;

 protected:
  std::string ClassName() const override { return "TbsSkinOfficeItem"; }

 private:
  int FImageIndex = -1;
  std::string FTitle, FCaption;
  void* FData = nullptr;
  bool FEnabled = true;
  bool FHeader = false;
};

class TbsSkinOfficeItems : public cl::TCollection {
 public:
  explicit TbsSkinOfficeItems(TbsSkinOfficeListBox* AListBox);

  // Raises the list-index error outside 0..Count-1.
  TbsSkinOfficeItem* Items(int Index) const;
  TbsSkinOfficeItem* Add();
  TbsSkinOfficeItem* Insert(int Index);
  void Delete(int Index);
  void Clear();
  TbsSkinOfficeListBox* OfficeListBox() const { return FListBox; }
  cl::TPersistent* GetOwner() const override;

 protected:
  // Every item or list change repaints the list and updates its scroll bar.
  void Update(cl::TCollectionItem* Item) override;
  std::string ClassName() const override { return "TbsSkinOfficeItems"; }

 private:
  // A new item is drawn selected when it lands at the list's ItemIndex.
  void MarkActive(TbsSkinOfficeItem* I);
  TbsSkinOfficeListBox* FListBox;
};

class TbsSkinOfficeListBox : public TbsSkinCustomControl {
 public:
  explicit TbsSkinOfficeListBox(cl::TComponent* AOwner);

  TbsSkinOfficeItems* Items() const { return FItems; }
  void SetItems(TbsSkinOfficeItems* Value);
  cl::TCustomImageList* Images() const { return FImages; }
  void SetImages(cl::TCustomImageList* Value);
  bool ShowItemTitles() const { return FShowItemTitles; }
  void SetShowItemTitles(bool Value);
  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int Value);
  int HeaderHeight() const { return FHeaderHeight; }
  void SetHeaderHeight(int Value);
  bool ShowLines() const { return FShowLines; }
  void SetShowLines(bool Value);
  bool MouseMoveChangeIndex = false;

  int ItemIndex() const { return FItemIndex; }
  // Selects with events (see the file comment). An index at or beyond Count
  // selects no row but is kept, like -1 plus the number.
  virtual void SetItemIndex(int Value);

  TbsDrawSkinOfficeItemEvent OnDrawItem;
  rtl::TNotifyEvent OnItemClick;

  // Layout: ItemsRect, every row's ItemRect and IsVisible, MaxBottom and
  // RealMax.
  void CalcItemRects();
  // Height showing min(AItemCount, Count) rows of ItemHeight with the frame.
  int CalcHeight(int AItemCount);
  void ScrollToItem(int Index);
  void Scroll(int AScrollOffset);
  void GetScrollInfo(int& AMin, int& AMax, int& APosition, int& APage);
  void UpdateScrollInfo();
  // First enabled row (headers included) under the point; -1 if none.
  int ItemAtPos(int X, int Y);
  void FindUp();
  void FindDown();
  void FindPageUp();
  void FindPageDown();
  void DrawItem(int Index, gfx::TCanvas* Cnvs);

  TRect ItemsRect() const { return FItemsRect; }
  int ScrollOffset() const { return FScrollOffset; }
  int MaxBottom() const { return FMax; }
  int RealMax() const { return FRealMax; }
  TbsSkinScrollBar* ScrollBar() const { return FScrollBar; }
  gfx::TColor DisabledFontColor() const { return FDisabledFontColor; }

  void ChangeSkinData() override;
  // A new size also places the scroll bar, even before the window exists.
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void WndProc(cl::TMessage& Msg) override;
  void Dispatch(cl::TMessage& Msg) override;

  // Selection without events: flags, repaint, scroll into view.
  void SelectItem(int Index);
  // The mouse-move rule, also run by the office combo's tracking.
  void MouseMove(cl::TShiftState Shift, int X, int Y) override;
  // The row last reached by the pointer is forgotten: the next move onto any
  // row selects it, also onto the one the pointer left last time.
  void ForgetPointedRow() { FMouseActive = -1; }

 protected:
  void Destroy() override;
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  void MouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  void MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  void KeyDown(uint16_t& Key, cl::TShiftState Shift) override;
  void CreateControlDefaultImage(gfx::TBitmap* B) override;
  void CreateControlSkinImage(gfx::TBitmap* B) override;
  void DefaultDrawItem(int Index, gfx::TCanvas* Cnvs);
  void SkinDrawItem(int Index, gfx::TCanvas* Cnvs);
  void SkinDrawHeaderItem(int Index, gfx::TCanvas* Cnvs);
  // Title, picture and caption of a row in R (classic: Skinned false).
  void DrawItemContent(gfx::TCanvas* C, TbsSkinOfficeItem* It, TRect R, bool Skinned);
  void ShowScrollbar();
  void HideScrollBar();
  void AdjustScrollBar();
  // Whether the list draws as focused (never inside a combo's drop-down).
  virtual bool DrawFocused();
  std::string ClassName() const override { return "TbsSkinOfficeListBox"; }

  TbsSkinOfficeItems* FItems = nullptr;
  cl::TCustomImageList* FImages = nullptr;
  bool FShowItemTitles = true;
  int FItemHeight = 30;
  int FHeaderHeight = 20;
  int FItemIndex = -1;
  bool FShowLines = false;
  gfx::TColor FDisabledFontColor = gfx::clGray;
  TRect FItemsRect;
  int FScrollOffset = 0;
  int FMax = 0;
  int FRealMax = 0;
  int FOldHeight = -1;
  TbsSkinScrollBar* FScrollBar = nullptr;
  bool FMouseDown = false;
  int FMouseActive = -1;
  bool FClicksDisabled = false;

 private:
  void SBChange(rtl::TObject* Sender);
  void WMSize(cl::TMessage& Msg);
  bool Selectable(int I) const;
  void FrameRect(TRect& R);
};

// The drop-down of the office combo box: a never-activated top-level popup
// placed at screen coordinates, translucent when its combo asks for it. The
// fade-in steps on window timer 2 (every 6 ms by AlphaBlendValue div 15),
// so no loop waits inside Show while clicks could close or free the list.
class TbsPopupOfficeListBox : public TbsSkinOfficeListBox {
 public:
  explicit TbsPopupOfficeListBox(cl::TComponent* AOwner);
  // Shows at the screen point without taking activation.
  void Show(TPoint Origin);
  void Hide();
  bool OldAlphaBlend() const { return FOldAlphaBlend; }
  bool Fading() const { return FFadeTarget >= 0; }
  uint8_t OldAlphaBlendValue() const { return FOldAlphaBlendValue; }
  void Dispatch(cl::TMessage& Msg) override;

 protected:
  void CreateParams(cl::TCreateParams& Params) override;
  bool DrawFocused() override { return false; }
  std::string ClassName() const override { return "TbsPopupOfficeListBox"; }

 private:
  void FadeStep();
  bool FOldAlphaBlend = false;
  uint8_t FOldAlphaBlendValue = 0;
  int FFadeAlpha = 0, FFadeStep = 1, FFadeTarget = -1;
};

}  // namespace skin
