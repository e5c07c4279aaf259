// The skinned main menu bar: a row of the top-level items of a main menu
// at the top of a form. Each item opens its submenu as a skinned cascade
// through the form skinning component; moving along the bar while a
// submenu is open switches submenus; Alt (or F10) puts the bar in keyboard
// menu mode, with the arrows, Return, Escape and the items' accelerators.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/cl/menus.h"
#include "skin/controls/bsSkinControls.h"

namespace skin {

class TbsSkinForm;
class TbsSkinMainMenuBar;

// The pointer enters or leaves one item of the bar.
using TbsItemEnterEvent = rtl::Event<void(cl::TMenuItem* MenuItem)>;
using TbsItemLeaveEvent = rtl::Event<void(cl::TMenuItem* MenuItem)>;

class TbsSkinMainMenu : public cl::TMainMenu {
 public:
  using cl::TMainMenu::TMainMenu;
  TbsSkinData* SkinData = nullptr;
};

class TbsSkinMainMenuBarItem {
 public:
  TbsSkinMainMenuBarItem(TbsSkinMainMenuBar* AParent, TbsDataSkinMainMenuBarItem* AData, cl::TMenuItem* AItem);
  void Draw(gfx::TCanvas* Cnvs);
  void MouseEnter();
  void MouseLeave();
  void MouseDown();
  void SetPressed(bool Value);

  TbsSkinMainMenuBar* Parent;
  cl::TMenuItem* MenuItem;
  TbsDataSkinMainMenuBarItem* Data;
  TBitmap* Picture = nullptr;
  TRect ObjectRect;
  bool Active = false, FMouseIn = false, FDown = false;
  bool Enabled = true, Visible = true, OldEnabled = true;
};

// A caption button of the maximized multiple-document child, shown on the
// bar while the child has no frame of its own: system menu at the left,
// minimize, restore and close at the right.
class TbsSkinMainMenuBarButton {
 public:
  TbsSkinMainMenuBarButton(TbsSkinMainMenuBar* AParent, TbsDataSkinStdButton* AData, TbsStdCommand ACommand);
  void Draw(gfx::TCanvas* Cnvs);
  void DefaultDraw(gfx::TCanvas* Cnvs);

  TbsSkinMainMenuBar* Parent;
  TbsStdCommand Command;
  bool FSkinSupport = false;
  std::string IDName;
  TBitmap* Picture = nullptr;
  TRect SkinRect, ActiveSkinRect, DownRect, RestoreRect, RestoreActiveRect, RestoreDownRect;
  TRect ObjectRect;
  bool Active = false, FDown = false, Visible = true;
};

class TbsSkinMainMenuBar : public TbsSkinControl {
 public:
  explicit TbsSkinMainMenuBar(cl::TComponent* AOwner);

  cl::TMainMenu* MainMenu() const { return FMainMenu; }
  void SetMainMenu(cl::TMainMenu* Value);
  TbsSkinForm* SkinForm() const { return FSkinForm; }
  // Ties the bar and the form component to each other.
  void SetSkinForm(TbsSkinForm* Value);
  bool ScrollMenu = true;
  bool PopupToUp = false;
  gfx::TFont DefItemFont;
  int DefaultHeight = 22;

  void CreateMenu();
  void UpDateItems();
  // The items take their menu items' enabled states again (after the
  // program enabled or disabled a top-level item).
  void UpDateEnabledItems();
  TbsItemEnterEvent OnItemMouseEnter;
  TbsItemLeaveEvent OnItemMouseLeave;
  void CalcObjectRects();
  void TestActive(int X, int Y);
  // Keyboard menu mode, as the form component routes it.
  void MenuEnter();
  void MenuExit();
  void RestoreActiveItem();
  void NextItem();
  void PriorItem();
  bool FindHotKeyItem(int VK);
  bool PressActiveItem();
  // One key while the form is in menu mode; true when the bar took it.
  bool MenuKeyDown(int VK);
  // Opens the items that did not fit, from the first hidden one.
  void PopupRemainingItems();
  // A child of the form's multiple-document area was maximized: its caption
  // buttons come onto the bar. MDIChildRestore takes them away once no
  // child is maximized any more (else it only re-reads their visibility).
  void MDIChildMaximize();
  void MDIChildRestore();
  bool MDIChildMax() const { return FMDIChildMax; }
  // System menu, close, maximize (shown as restore), minimize.
  std::vector<std::unique_ptr<TbsSkinMainMenuBarButton>> MDIButtons;

  std::vector<std::unique_ptr<TbsSkinMainMenuBarItem>> ObjectList;
  int ActiveObject = -1, OldActiveObject = -1;
  bool MenuActive = false;
  bool Scroll = false;
  TRect NewItemsRect;
  TRect MarkerRect() const;
  // The bar's record, nil without one.
  TbsDataSkinMainMenuBar* BarData() const;
  void DrawObject(TbsSkinMainMenuBarItem* O);

  void GetSkinData() override;
  void ChangeSkinData() override;
  void BeforeChangeSkinData() override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

 protected:
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  void CreateControlDefaultImage(gfx::TBitmap* B) override;
  void CreateControlSkinImage(gfx::TBitmap* B) override;
  void MouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  void MouseMove(cl::TShiftState Shift, int X, int Y) override;
  void MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) override;
  void CMMouseLeave(cl::TMessage& Msg) override;
  std::string ClassName() const override { return "TbsSkinMainMenuBar"; }

 private:
  void DrawItems(gfx::TBitmap* B);
  void CreateMDIButtons();
  void SetMDIButtonsVisibility();
  void PlaceMDIButtons();
  // The maximized child's form component, nil when none.
  TbsSkinForm* MaxChildSkinForm() const;
  void RunMDIButton(TbsSkinMainMenuBarButton* B);
  bool FMDIChildMax = false;
  int MDIButtonDown = -1;
  cl::TMainMenu* FMainMenu = nullptr;
  TbsSkinForm* FSkinForm = nullptr;
  TbsDataSkinMainMenuBarItem* FItemData = nullptr;
  TBitmap* FPicture = nullptr;
};

}  // namespace skin
