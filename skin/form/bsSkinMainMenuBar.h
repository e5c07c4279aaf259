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
#include "platform/cl/timer.h"
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

// One object of the bar: a top-level item or a caption button of the
// maximized multiple-document child. The bar keeps them in one list (the
// buttons first), tracks the pointer over them, captures the pressed one
// and hands it the mouse; each kind answers in its own way. The hover look
// fades in and out by the bar's transition timer when the record asks for it.
class TbsMenuBarObject {
 public:
  TbsMenuBarObject(TbsSkinMainMenuBar* AParent, TbsDataSkinObject* AData);
  virtual ~TbsMenuBarObject() = default;
  TbsMenuBarObject(const TbsMenuBarObject&) = delete;
  TbsMenuBarObject& operator=(const TbsMenuBarObject&) = delete;

  // Shows a change of state: through the transition timer when the object
  // fades, else at once.
  virtual void ReDraw();
  virtual void Draw(gfx::TCanvas* Cnvs) { (void)Cnvs; }
  virtual void MouseDown(int X, int Y, cl::TMouseButton Button) { (void)X, (void)Y, (void)Button; }
  virtual void MouseUp(int X, int Y, cl::TMouseButton Button) { (void)X, (void)Y, (void)Button; }
  virtual void DblClick() {}
  virtual void MouseEnter();
  virtual void MouseLeave();
  // The look still has to move towards the object's state.
  virtual bool CanMorphing();

  bool EnableMorphing() const;
  // One step of the transition (a fifth of the way), then drawn.
  void DoMorphing();
  double MorphKf() const { return FMorphKf; }
  void SetMorphKf(double Value);

  TbsSkinMainMenuBar* Parent;
  bool FMouseIn = false;
  TBitmap* Picture = nullptr;
  bool FDown = false;
  double FMorphKf = 0;
  std::string IDName;
  TRect SkinRect, ActiveSkinRect, DownRect, ObjectRect;
  bool Active = false;
  bool Enabled = true;
  // For an item: it fitted on the bar at the last paint.
  bool Visible = true;
  bool Morphing = false;
  TbsMorphKind MorphKind = mkDefault;
};

class TbsSkinMainMenuBarItem : public TbsMenuBarObject {
 public:
  TbsSkinMainMenuBarItem(TbsSkinMainMenuBar* AParent, TbsDataSkinMainMenuBarItem* AData, cl::TMenuItem* AItem);
  void ReDraw() override;
  void Draw(gfx::TCanvas* Cnvs) override;
  void MouseDown(int X, int Y, cl::TMouseButton Button) override;
  void MouseEnter() override;
  void MouseLeave() override;
  // The frames of AnimateSkinRect play while the pointer is over the item.
  bool EnableAnimation() const;
  // Pressed: the submenu opens; released: the look goes back.
  void SetPressed(bool Value);

  bool FSkinSupport = false;
  cl::TMenuItem* MenuItem;
  TbsDataSkinMainMenuBarItem* Data;
  bool OldEnabled = true;
  TRect AnimateSkinRect;
  int FrameCount = 0, AnimateInterval = 0;
  bool InActiveAnimation = false;
  int CurrentFrame = 0;

 private:
  // The item's image from Src of the picture (or the background under it),
  // with its caption in the colour of the state.
  void DrawImage(gfx::TCanvas* Cnvs, gfx::TBitmap* B, const TRect& Src, bool AActive);
  void DefaultDraw(gfx::TCanvas* Cnvs, gfx::TBitmap* B);
  void DrawCaption(gfx::TBitmap* B, TColor Color);
};

// A caption button of the maximized multiple-document child, shown on the
// bar while the child has no frame of its own: system menu at the left,
// minimize, restore and close at the right.
class TbsSkinMainMenuBarButton : public TbsMenuBarObject {
 public:
  TbsSkinMainMenuBarButton(TbsSkinMainMenuBar* AParent, TbsDataSkinStdButton* AData, TbsStdCommand ACommand);
  void Draw(gfx::TCanvas* Cnvs) override;
  void DefaultDraw(gfx::TCanvas* Cnvs);
  void MouseDown(int X, int Y, cl::TMouseButton Button) override;
  void MouseUp(int X, int Y, cl::TMouseButton Button) override;
  void DblClick() override;
  void MouseEnter() override;
  void MouseLeave() override;

  bool FSkinSupport = false;
  TbsStdCommand Command;
  TRect RestoreRect, RestoreActiveRect, RestoreDownRect;

 private:
  void DoCommand();
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
  // The child's buttons at the head of ObjectList (0 or 4), in the order
  // system menu, close, maximize (shown as restore), minimize; then the
  // items.
  int ButtonsCount = 0;
  TbsSkinMainMenuBarButton* MDIButton(int Index) const;
  // The button the maximized child's system menu opened from is released.
  void SkinMenuClosed();

  std::vector<std::unique_ptr<TbsMenuBarObject>> ObjectList;
  // The items of ObjectList (after the buttons).
  std::vector<TbsSkinMainMenuBarItem*> Items() const;
  int ActiveObject = -1, OldActiveObject = -1, MouseCaptureObject = -1;
  bool MenuActive = false;
  bool Scroll = false;
  // The pointer is over the overflow arrow (drawn in the hot colour).
  bool MarkerActive = false;
  TRect NewItemsRect;
  TRect MarkerRect() const;
  // The bar's record, nil without one.
  TbsDataSkinMainMenuBar* BarData() const;
  void DrawObject(TbsMenuBarObject* O);
  // The maximized child's form component, nil when none.
  TbsSkinForm* MaxChildSkinForm() const;
  // Steps the hover transitions (25 ms) and the items' frame strips (the
  // interval of the item that started it); each stops once nothing moves.
  cl::TTimer* MorphTimer() const { return FMorphTimer; }
  cl::TTimer* AnimateTimer() const { return FAnimateTimer; }
  // The record asks for items drawn over the bar's own background.
  bool ItemTransparent() const;

  void GetSkinData() override;
  void ChangeSkinData() override;
  void BeforeChangeSkinData() override;
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void Dispatch(cl::TMessage& Msg) override;

 protected:
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  void WMMove(cl::TMessage& Msg) override;
  void CheckParentBackground() override;
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
  void DeleteMDIButtons();
  void SetMDIButtonsVisibility();
  void PlaceMDIButtons();
  void MorphTimerTick(rtl::TObject*);
  void AnimateTimerTick(rtl::TObject*);
  // The skin asks for a bar that shows its parent through it.
  bool BarTransparent() const;
  bool FMDIChildMax = false;
  cl::TTimer* FMorphTimer = nullptr;
  cl::TTimer* FAnimateTimer = nullptr;
  cl::TMainMenu* FMainMenu = nullptr;
  TbsSkinForm* FSkinForm = nullptr;
  TbsDataSkinMainMenuBarItem* FItemData = nullptr;
  TBitmap* FPicture = nullptr;
};

}  // namespace skin
