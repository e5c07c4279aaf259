// Skinned popup menus: the popup menu component, the cascade manager that
// keeps one cascade of menu windows open per form, the menu windows (one per
// level, never activated, polling the mouse) and the entries they draw.
//
// Lifetime: a level's window is freed by the cascade while one of its own
// handlers (or one of its entries' handlers) may still be on the stack. The
// class library's two-phase Free makes that safe: the window and its entries
// end at once (the window is gone from the screen before a command runs) and
// their memory stays until every caller holding a Keep has returned. Every
// path that can close the cascade from inside a window or an entry holds such
// a Keep and checks Destroyed() before it touches its object again.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/cl/forms.h"
#include "platform/cl/imglist.h"
#include "platform/cl/menus.h"
#include "platform/cl/timer.h"
#include "platform/gfx/graphics.h"
#include "skin/data/bsSkinData.h"

namespace skin {

using cl::TMenuItem;

// The cascade tells the control that opened it, and then its form, that it
// closed (both without parameters).
constexpr unsigned WM_SKIN_MENU_CLOSED = WM_CLOSE_SKIN_MENU;
// Sent to the opening control after a command of its menu ran, so that a
// control that built its menu for this one opening can free it.
constexpr unsigned WM_FREE_EDIT_POPUP_MENU = 1229;

// The messages of a form on which its open cascade closes: moves, sizes,
// activation and focus changes, cancel-mode, any button press on the frame
// or in the client area (children's presses reach the form as
// WM_PARENTNOTIFY).
bool IsMenuCloseMessage(unsigned Msg);

class TbsSkinMenu;
class TbsSkinPopupWindow;
class TbsSkinMenuItem;

// What the form skinning component offers the popup menus of its form. The
// component implements it; a popup menu finds it among the components of
// its form (FindSkinMenuHost).
class IbsSkinMenuHost {
 public:
  virtual ~IbsSkinMenuHost() = default;
  // The form's one cascade manager.
  virtual TbsSkinMenu* SkinMenu() = 0;
  // The skin for menus (nullptr: use SkinData).
  virtual TbsSkinData* MenusSkinData() = 0;
  virtual TbsSkinData* SkinData() = 0;
  // The form enters and leaves its menu state.
  virtual void SkinMenuOpen() = 0;
  virtual void SkinMenuClose() = 0;
};

// The first component owned by the form that is a menu host; nullptr when none.
IbsSkinMenuHost* FindSkinMenuHost(cl::TComponent* Form);

// ---------------------------------------------------------------------------
// Placement of a menu window against a point, a rectangle or the entry that
// opened it (screen coordinates).
struct TbsMenuPlacement {
  TRect R;         // what the window is placed against
  TRect WorkArea;  // the bounds to keep to
  int Width = 0;   // the window's size
  int Height = 0;
  int ItemsTop = 0;      // top of the items area inside the window
  bool Scroll = false;   // taller than it can show
  bool Scroll2 = false;  // ... because of the item-count limit
  bool PopupByItem = false;
  bool PopupUp = false;
};
TPoint CalcMenuPosition(const TbsMenuPlacement& P);

// Default glyphs of the entries, in one colour, at anchor (X, Y).
void DrawCheckMark(gfx::TCanvas* C, int X, int Y, gfx::TColor Color);
void DrawMenuArrow(gfx::TCanvas* C, int X, int Y, gfx::TColor Color);
void DrawRadioDot(gfx::TCanvas* C, int X, int Y, gfx::TColor Color);

// ---------------------------------------------------------------------------
// The cascade manager: at most one cascade open per form.
class TbsSkinMenu : public cl::TComponent {
 public:
  TbsSkinMenu(cl::TComponent* AOwner, cl::TCustomForm* AForm);

  // Opens a cascade on AItem's children from StartIndex, placed against R
  // (a point as a rectangle of no size). Windows of an older cascade close
  // first (telling its opening control), then APopupCtrl becomes the
  // control to tell when this one closes.
  void Popup(cl::TControl* APopupCtrl, TbsSkinData* ASkinData, int StartIndex, TRect R, TMenuItem* AItem, bool PopupUp);
  // The same with AItem2's children listed after AItem's in the first window.
  void Popup2(cl::TControl* APopupCtrl, TbsSkinData* ASkinData, int StartIndex, TRect R, TMenuItem* AItem,
              TMenuItem* AItem2, bool PopupUp);
  // Closes the whole cascade and tells the form.
  void Hide();
  // The window's level (0 = the first window); the window count when absent.
  int GetLevel(TbsSkinPopupWindow* Window) const;
  // Ends the windows of Level and deeper; level 0 closes the cascade.
  void CloseLevels(int Level);
  // What an entry does when it becomes active (Click false) or is chosen.
  void ProcessItem(TbsSkinPopupWindow* Window, TbsSkinMenuItem* Item, bool Kb, bool Click);

  bool Visible() const { return FVisible; }
  bool First() const { return FFirst; }
  const std::vector<TbsSkinPopupWindow*>& PopupList() const { return FPopupList; }
  // The deepest open window (nullptr when closed): the keys go there.
  TbsSkinPopupWindow* LastWindow() const { return FPopupList.empty() ? nullptr : FPopupList.back(); }
  cl::TCustomForm* Form() const { return FForm; }

  bool UseSkinFont = true;
  int DefaultMenuItemHeight = 20;
  gfx::TFont* DefaultMenuItemFont() { return &FDefaultMenuItemFont; }
  void SetDefaultMenuItemFont(const gfx::TFont& F) { FDefaultMenuItemFont.Assign(F); }
  cl::TControl* PopupCtrl = nullptr;
  cl::TControl* DCtrl = nullptr;
  cl::TTimer* WaitTimer = nullptr;
  TbsSkinMenuItem* WItem = nullptr;
  TRect WorkArea;
  TbsSkinData* SkinData = nullptr;
  rtl::TNotifyEvent OnMenuClose;
  bool AlphaBlend = false;
  int AlphaBlendValue = 150;
  bool AlphaBlendAnimation = false;
  int MaxMenuItemsInWindow = 0;

 protected:
  void Destroy() override;
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  std::string ClassName() const override { return "TbsSkinMenu"; }

 private:
  void WaitTimerTick(rtl::TObject* Sender);
  void StopWait();
  void Tell(cl::TControl* C, unsigned Msg);
  void Watch(cl::TControl* C);
  TbsSkinPopupWindow* NewWindow();

  cl::TCustomForm* FForm = nullptr;
  bool FVisible = false;
  bool FFirst = false;
  std::vector<TbsSkinPopupWindow*> FPopupList;
  gfx::TFont FDefaultMenuItemFont;
};

// ---------------------------------------------------------------------------
// The popup menu component: its items open as a skinned cascade through the
// cascade manager of its form.
class TbsSkinPopupMenu : public cl::TPopupMenu {
 public:
  explicit TbsSkinPopupMenu(cl::TComponent* AOwner);

  void Popup(int X, int Y) override;
  void PopupFromRect(TRect R, bool APopupUp);
  void Popup2(cl::TControl* ACtrl, int X, int Y);
  void PopupFromRect2(cl::TControl* ACtrl, TRect R, bool APopupUp);

  TPoint PopupPoint() const { return FPopupPoint; }
  TbsSkinData* SkinData() const { return FSkinData; }
  void SetSkinData(TbsSkinData* A);
  rtl::TNotifyEvent OnMenuClose;
  cl::TCustomForm* ComponentForm = nullptr;
  IbsSkinMenuHost* SkinComponent = nullptr;

 protected:
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  std::string ClassName() const override { return "TbsSkinPopupMenu"; }

 private:
  IbsSkinMenuHost* FindHost();
  void Open(cl::TControl* ACtrl, TRect R, bool APopupUp, bool NeedSkin);
  TPoint FPopupPoint{-1, -1};
  TbsSkinData* FSkinData = nullptr;
};

// ---------------------------------------------------------------------------
// One entry of a menu window.
class TbsSkinMenuItem : public cl::TObject {
 public:
  TbsSkinMenuItem(TbsSkinPopupWindow* AParent, TMenuItem* AMenuItem, TbsDataSkinMenuItem* AData);

  bool EnableMorphing() const;
  bool EnableAnimation() const;
  virtual bool CanMorphing();
  void DoMorphing();
  double MorphKf() const { return FMorphKf; }
  void SetMorphKf(double V);

  void MouseEnter(bool Kb);
  void MouseLeave();
  void MouseDown(int X, int Y);
  void Draw(gfx::TCanvas* Cnvs);
  void DefaultDraw(gfx::TCanvas* Cnvs);
  void ReDraw();
  // The source rectangle of hover frame K (1..FrameCount).
  TRect FrameRect(int K) const;

  bool IsSeparator() const { return MenuItem->Caption == "-"; }
  bool IsHeader() const;
  bool Selectable() const { return MenuItem->Enabled && !IsSeparator(); }
  int ItemHeight() const;

  TbsSkinPopupWindow* Parent;
  TbsDataSkinMenuItem* MI;
  gfx::TBitmap* ActivePicture = nullptr;
  TMenuItem* MenuItem;
  TRect ObjectRect;
  bool Active = false;
  bool Down = false;
  bool FVisible = true;
  bool WaitCommand = false;
  int CurrentFrame = 0;

 protected:
  void Destroy() override;

 private:
  void DrawItemImage(gfx::TBitmap* B, bool A, const TRect& Source, bool FromFrame);
  void DrawHeader(gfx::TBitmap* B);
  void DrawPicturePart(gfx::TCanvas* C, const TRect& Part, const TRect& Into);
  void SetCanvasFont(gfx::TCanvas* C);
  double FMorphKf = 0;
};

// ---------------------------------------------------------------------------
// One level of a cascade.
class TbsSkinPopupWindow : public cl::TCustomControl {
 public:
  TbsSkinPopupWindow(cl::TComponent* AOwner, TbsSkinMenu* AParentMenu, TbsDataSkinPopupWindow* AData);

  void Show(TRect R, TMenuItem* AItem, int StartIndex, bool PopupByItem, bool PopupUp);
  void Show2(TRect R, TMenuItem* AItem, TMenuItem* AItem2, int StartIndex, bool PopupByItem, bool PopupUp);
  // One key of the form's keyboard (a virtual-key code).
  void PopupKeyDown(int CharCode);
  void PaintMenu(gfx::HDC DC);
  void HideWindow();
  void HideSubLevels();

  // Measuring and placement (also for tests).
  void BuildItems(TMenuItem* AItem, TMenuItem* AItem2, int StartIndex, bool Two);
  void ArrangeItems();
  void CalcPosition(TRect R, bool PopupByItem, bool PopupUp);
  int GetLastStartIndex() const;
  bool CanScrollUp() const { return VisibleStartIndex > 0; }
  bool CanScrollDown() const { return VisibleStartIndex + VisibleCount - 1 < int(ItemList.size()) - 1; }
  void ScrollUp(bool Cycle);
  void ScrollDown(bool Cycle);
  void TestActive(int X, int Y);
  void NextItem();
  void PriorItem();
  void DrawItemBackground(gfx::TCanvas* C, TRect R);
  void CreateWindowImage(gfx::TBitmap* B, bool DrawClient);
  void MouseTimerTick(rtl::TObject* Sender);
  // Draws one entry on the window at once (hover changes between paints).
  void DrawItemNow(TbsSkinMenuItem* Item);
  bool IsSkinned() const;

  TbsDataSkinMenuItem* DSMI = nullptr;
  int VisibleCount = 0;
  int VisibleStartIndex = 0;
  bool Scroll = false;
  bool Scroll2 = false;
  int ScrollCode = 0;
  TPoint NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint;
  TRect NewItemsRect;
  gfx::HRGN FRgn;
  int ShowX = 0, ShowY = 0;
  int OMX = -1, OMY = -1;
  cl::TCustomImageList* ImgL = nullptr;
  int GlyphWidth = 19;
  gfx::TBitmap* WindowPicture = nullptr;
  gfx::TBitmap* MaskPicture = nullptr;
  int ActiveItem = -1, OldActiveItem = -1;
  cl::TTimer* MouseTimer = nullptr;
  cl::TTimer* MorphTimer = nullptr;
  TbsSkinMenu* ParentMenu;
  TbsSkinData* SD = nullptr;
  TbsDataSkinPopupWindow* PW = nullptr;
  std::vector<TbsSkinMenuItem*> ItemList;
  std::unique_ptr<gfx::TBitmap> FPaintBuffer;

  void Dispatch(cl::TMessage& Msg) override;

 protected:
  void CreateParams(cl::TCreateParams& Params) override;
  void Destroy() override;
  void MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  void Paint() override;
  std::string ClassName() const override { return "TbsSkinPopupWindow"; }

 private:
  void ShowCommon(TRect R, bool PopupByItem, bool PopupUp);
  void MorphTimerTick(rtl::TObject* Sender);
  void DrawMarkers(gfx::TCanvas* C);
  void RedrawMarkers();
  void StartScroll();
  void StopScroll();
  void SetItemFont(gfx::TCanvas* C);
  bool ItemVisibleAt(int I, int X, int Y) const;
};

}  // namespace skin
