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

// One tab per child.
struct TbsMDITab {
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
// background come from its pictures.
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

 protected:
  void Paint() override;
  void CreateControlDefaultImage(gfx::TBitmap* B) override;
  void CreateControlSkinImage(gfx::TBitmap* B) override;
  void MouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  void MouseMove(cl::TShiftState Shift, int X, int Y) override;
  void MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  std::string ClassName() const override { return "TbsSkinMDITabsBar"; }
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;

 private:
  TbsDataSkinTabControl* TabData() const;
  void DrawTab(gfx::TCanvas* C, TbsMDITab& T, TbsDataSkinTabControl* D);
  void UpdateListButtons();
  TbsSkinMenuSpeedButton* MakeListButton(bool AHidden);
  void ListItemClick(rtl::TObject* Sender);
  int DragIndex = -1, DX = 0, TabDX = 0;
  bool FDown = false, IsDrag = false;
  int FBottomOffset = 0;
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
