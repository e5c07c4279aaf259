// The images menu: a drop-down grid of an image list's pictures, mixed with
// full-width button rows and header rows, in a skinned or plain popup that
// takes the mouse capture and watches the application's messages while open.
// Choosing a cell sets ItemIndex and runs the cell's and the menu's events.
//
// The popup ends itself from inside its own key, mouse and message handling;
// the class library's two-phase Free keeps its memory until those handlers
// have returned, and they touch nothing of it once it is destroyed.
#pragma once

#include <string>

#include "platform/cl/collection.h"
#include "platform/cl/controls.h"
#include "platform/cl/imglist.h"
#include "skin/data/bsSkinData.h"

namespace skin {

class TbsSkinImagesMenu;
class TbsSkinHint;

class TbsImagesMenuItem : public cl::TCollectionItem {
 public:
  explicit TbsImagesMenuItem(cl::TCollection* C) : cl::TCollectionItem(C) {}
  int ImageIndex() const { return FImageIndex; }
  virtual void SetImageIndex(int V) { FImageIndex = V; }
  const std::string& Caption() const { return FCaption; }
  virtual void SetCaption(const std::string& V) { FCaption = V; }
  std::string Hint;
  bool Button = false;
  bool Header = false;
  rtl::TNotifyEvent OnClick;
  TRect ItemRect;
  // Copies the image, caption, button flag and hint (not Header, not OnClick).
  void Assign(cl::TPersistent* Source) override;

 protected:
  std::string ClassName() const override { return "TbsImagesMenuItem"; }

 private:
  int FImageIndex = -1;
  std::string FCaption;
};

class TbsImagesMenuItems : public cl::TCollection {
 public:
  explicit TbsImagesMenuItems(TbsSkinImagesMenu* AMenu);
  TbsSkinImagesMenu* ImagesMenu() const { return FMenu; }
  TbsImagesMenuItem* Items(int I) const { return static_cast<TbsImagesMenuItem*>(cl::TCollection::Items(I)); }
  TbsImagesMenuItem* Add() { return static_cast<TbsImagesMenuItem*>(cl::TCollection::Add()); }

 private:
  TbsSkinImagesMenu* FMenu;
};

class TbsSkinImagesMenuPopupWindow;

class TbsSkinImagesMenu : public cl::TComponent {
 public:
  explicit TbsSkinImagesMenu(cl::TComponent* AOwner);

  void Popup(int X, int Y);
  // Below R, or above it near the bottom of the screen.
  void PopupFromRect(TRect R);
  // Closes without a choice.
  void Hide();

  cl::TCustomImageList* Images() const { return FImages; }
  void SetImages(cl::TCustomImageList* V);
  TbsImagesMenuItems* ImagesItems() const { return FImagesItems; }
  void SetImagesItems(TbsImagesMenuItems* V) { FImagesItems->Assign(V); }
  int ItemIndex = -1;
  int ColumnsCount() const { return FColumnsCount; }
  // 1 to 50; other values are ignored.
  void SetColumnsCount(int V);
  bool ShowSelectedItem = true;
  bool ShowHints = true;
  TbsSkinHint* SkinHint() const { return FSkinHint; }
  void SetSkinHint(TbsSkinHint* V);
  TbsSkinData* SkinData() const { return FSkinData; }
  void SetSkinData(TbsSkinData* V);
  bool UseSkinFont = true;
  gfx::TFont* DefaultFont() { return &FDefaultFont; }
  bool AlphaBlend = false;
  int AlphaBlendValue = 200;
  bool AlphaBlendAnimation = false;
  rtl::TNotifyEvent OnItemClick, OnChange, OnMenuPopup, OnMenuClose;
  rtl::TNotifyEvent OnInternalChange, OnInternalMenuClose;
  // The item at ItemIndex, nullptr when ItemIndex is outside the items.
  TbsImagesMenuItem* SelectedItem() const;
  TbsSkinImagesMenuPopupWindow* FPopupWindow = nullptr;
  int FOldItemIndex = -1;

  // The window closed up (called by the window as its last step).
  void WindowClosed(bool AProcessEvents);

 protected:
  void Destroy() override;
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  std::string ClassName() const override { return "TbsSkinImagesMenu"; }

 private:
  void Open(TRect R);
  cl::TCustomImageList* FImages = nullptr;
  TbsImagesMenuItems* FImagesItems;
  int FColumnsCount = 1;
  TbsSkinHint* FSkinHint = nullptr;
  TbsSkinData* FSkinData = nullptr;
  gfx::TFont FDefaultFont;
};

class TbsSkinImagesMenuPopupWindow : public cl::TCustomControl {
 public:
  explicit TbsSkinImagesMenuPopupWindow(TbsSkinImagesMenu* AMenu);

  void Show(TRect PopupRect);
  void Hide(bool AProcessEvents);
  // Lays the items out and sizes the window.
  void Layout();
  // One key of the application's keyboard while open.
  void KeyDown(int Key);
  void Dispatch(cl::TMessage& Msg) override;
  void WndProc(cl::TMessage& Msg) override;

  bool FSkinSupport = false;
  TbsSkinImagesMenu* ImagesMenu;
  TPoint NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint;
  TRect NewItemsRect;
  gfx::TBitmap* WindowPicture = nullptr;
  gfx::TBitmap* MaskPicture = nullptr;
  int MouseInItem = -1, OldMouseInItem = -1;
  bool FDown = false;
  bool FItemDown = false;

 protected:
  void CreateParams(cl::TCreateParams& Params) override;
  void Destroy() override;
  void Paint() override;
  void MouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  void MouseMove(cl::TShiftState Shift, int X, int Y) override;
  void MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  std::string ClassName() const override { return "TbsSkinImagesMenuPopupWindow"; }

 private:
  int ItemAt(int X, int Y) const;
  void HideCellHint();
  void DrawFrame(gfx::TCanvas* C, TRect R, bool Pressed);
  void DrawHeader(gfx::TCanvas* C, TbsImagesMenuItem* It);
  void DrawButtonCaption(gfx::TCanvas* C, TbsImagesMenuItem* It, TRect R, int State);
  int FHook = 0;
  bool FClosing = false;
};

}  // namespace skin
