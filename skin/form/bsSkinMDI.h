// Multiple-document forms in the layer's own window system: a main form
// whose client area holds framed child forms (each with its own form
// skinning component), with tile, cascade and the all-children commands,
// the children listed in the main form's window menu, and the lookups of
// the maximized and active child. The program itself has no such forms.
#pragma once

#include <string>
#include <vector>

#include "platform/cl/forms.h"
#include "platform/cl/menus.h"
#include "skin/controls/bsSkinControls.h"
#include "skin/form/bsSkinForm.h"

namespace skin {

class TbsSkinMDI;
class TbsSkinMDITabsBar;
class TbsSkinMenuSpeedButton;
class TbsSkinPopupMenu;

// Tabs on a base strip, or free-standing buttons in the skin's
// "resizebutton" looks.
enum TbsSkinMDITabKind { bstkTab, bstkButton };

// One tab per child.
struct TbsMDITab {
  TbsSkinMDITabsBar* TabsBar = nullptr;
  cl::TCustomForm* Child = nullptr;
  TRect ObjectRect, ButtonRect;
  bool Active = false, MouseIn = false, Visible = false;
  bool ButtonMouseIn = false, ButtonMouseDown = false;
};

// A row of tabs, one per child: a press activates the child, a tab can be
// dragged to another place, and with ShowCloseButtons each tab closes its
// child. Tabs that do not fit (narrower than MinTabWidth) are hidden. A list
// button at the left lists every child, one at the right the hidden ones.
// With the skin's "tab" record the tabs, their close buttons and the bar's
// background come from its pictures. While a tab is dragged, a marker shows
// where it would land.
class TbsSkinMDITabsBar : public TbsSkinControl {
 public:
  explicit TbsSkinMDITabsBar(cl::TComponent* AOwner);
  TbsSkinMDI* MDI = nullptr;
  bool ShowCloseButtons = false;
  bool MoveTabs = true;
  // A right click on a tab opens its child's system menu.
  bool SupportChildMenus = true;
  int DefaultTabWidth = 100;
  int MinTabWidth = 0;
  gfx::TFont DefaultFont;
  TbsSkinMDITabKind TabKind() const { return FTabKind; }
  void SetTabKind(TbsSkinMDITabKind Value);
  // The bar takes the skin's tab height and the tabs their pictures' own
  // height; otherwise the bar keeps DefaultHeight and the tabs' pictures
  // are stretched to it.
  bool UseSkinSize = true;
  // The height while no skin record gives one (applied at once then).
  int DefaultHeight() const { return FDefaultHeight; }
  void SetDefaultHeight(int Value);
  // Whether a skin record draws the bar.
  bool Skinned() const;
  rtl::Event<void(TbsMDITab*MDITab)> OnTabMouseEnter, OnTabMouseLeave;
  rtl::Event<void(cl::TMouseButton Button, cl::TShiftState Shift, TbsMDITab*MDITab)> OnTabMouseDown, OnTabMouseUp;
  // Before a tab's caption is drawn: the handler may change the font.
  rtl::Event<void(TbsMDITab* MDITab, gfx::TCanvas* Cnvs)> OnTabGetDrawParamsEvent;

  void AddTab(cl::TCustomForm* AChild);
  void DeleteTab(cl::TCustomForm* AChild);
  void UpdateActiveTab();
  // Places the tabs for the current width (also before every paint).
  void CalcTabs();
  int GetTabIndex(int X, int Y) const;
  std::vector<TbsMDITab> Tabs;
  int InVisibleCount = 0;
  static constexpr int CloseSize = 14;
  // The list buttons (nil while not shown) and their menus.
  TbsSkinMenuSpeedButton* ListButton() const { return FListButton; }
  TbsSkinMenuSpeedButton* HideListButton() const { return FHideListButton; }
  TbsSkinPopupMenu* ListMenu() const { return FListMenu; }
  TbsSkinPopupMenu* HideListMenu() const { return FHideListMenu; }
  // Fills a list menu: one radio item per tab (only the hidden ones for the
  // right-hand list), the active child checked.
  void FillListMenu(bool AHidden);
  void GetSkinData() override;
  void ChangeSkinData() override;
  // The tab a dragged tab would land on (-1: none).
  int DropTarget() const;
  bool Dragging() const { return IsDrag; }

 protected:
  void Paint() override;
  void AdjustClientRect(TRect& R) override;
  void CMMouseLeave(cl::TMessage& Msg) override;
  void CreateControlDefaultImage(gfx::TBitmap* B) override;
  void CreateControlSkinImage(gfx::TBitmap* B) override;
  void MouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  void MouseMove(cl::TShiftState Shift, int X, int Y) override;
  void MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  std::string ClassName() const override { return "TbsSkinMDITabsBar"; }
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;

 private:
  TbsDataSkinTabControl* TabData() const;
  TbsDataSkinButtonControl* ButtonData() const;
  void PaintTabs(gfx::TCanvas* C);
  void DrawTab(gfx::TCanvas* C, TbsMDITab& T);
  void DrawCaption(gfx::TCanvas* IC, TbsMDITab& T, TbsDataSkinTabControl* D, int W, int H);
  void DrawDropMarker(gfx::TCanvas* C);
  void TestTabHover(int X, int Y);
  void UpdateListButtons();
  TbsSkinMenuSpeedButton* MakeListButton(bool AHidden);
  void ListItemClick(rtl::TObject* Sender);
  int DragIndex = -1, DX = 0, TabDX = 0;
  bool FDown = false, IsDrag = false;
  int ActiveTabIndex = -1;
  TbsSkinMDITabKind FTabKind = bstkTab;
  int FDefaultHeight = 21;
  int FBottomOffset = 0, FActiveTabOffset = 0;
  TBitmap* FPicture = nullptr;
  TbsSkinMenuSpeedButton *FListButton = nullptr, *FHideListButton = nullptr;
  TbsSkinPopupMenu *FListMenu = nullptr, *FHideListMenu = nullptr;
};

class TbsSkinMDI : public cl::TComponent {
 public:
  // AMain: the main form's component; AClient: the control whose client
  // area holds the children (usually aligned to the rest of the form).
  TbsSkinMDI(TbsSkinForm* AMain, cl::TWinControl* AClient);
  ~TbsSkinMDI() override;

  // Takes AChild (a form with its own skinning component) into the client.
  void AddChild(cl::TCustomForm* AChild);
  const std::vector<cl::TCustomForm*>& Children() const { return FChildren; }
  cl::TCustomForm* ActiveChild() const;
  void SetActiveChild(cl::TCustomForm* AChild);

  // The main form's client rectangle less its visible aligned controls
  // (relative to the main form's client).
  TRect GetMDIClientArea() const;
  void Tile();
  void Cascade();
  void MinimizeAll();
  void MaximizeAll();
  void RestoreAll();
  void CloseAll();
  cl::TCustomForm* FindMaximizedMDIChild() const;
  // Maximized children take the client's new size; minimized ones their
  // strip places again.
  void FitMDIChildren();
  void ArrangeMinimizedChildren();
  // A child's window state changed (or a child went): the main form's menu
  // bar shows or drops the maximized child's buttons, its caption the
  // child's caption.
  void ChildStateChanged();

  // The main form's window menu: one item per child, named after it.
  cl::TMenuItem* WindowMenu = nullptr;
  TbsSkinMDITabsBar* TabsBar = nullptr;
  void AddChildToMenu(cl::TCustomForm* AChild);
  void DeleteChildFromMenu(cl::TCustomForm* AChild);
  void UpDateChildActiveInMenu();
  void MDIItemClick(rtl::TObject* Sender);

 protected:
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  std::string ClassName() const override { return "TbsSkinMDI"; }
  // The client's window procedure while this component lives: the client
  // has no frame of its own and its background is the main form's.
  void ClientWindowProc(cl::TMessage& Msg);

 private:
  TbsSkinForm* FMain;
  cl::TWinControl* FClient;
  std::function<void(cl::TMessage&)> FPrevClientProc;
  std::vector<cl::TCustomForm*> FChildren;
  cl::TCustomForm* FActive = nullptr;
};

// The form component of the first child (in order) of the application main
// form's multiple-document client whose component is maximized; nullptr
// when there is none. Children without a component are passed over.
TbsSkinForm* GetMaxMDIChildSkinForm();
// The form component of the main form's active child; nullptr without a
// main form, a client or an active child.
TbsSkinForm* GetActiveMDIChildSkinForm();
// The multiple-document support of the application's main form, if any.
TbsSkinMDI* GetMainFormMDI();

}  // namespace skin
