// The form skinning component: one per form. It takes over the form's
// window procedure and from then on computes the non-client area, answers
// hit tests, paints the frame and the client background, cuts the window
// region from the skin's mask, tracks the caption objects, runs the window
// commands (minimize, maximize, roll-up, close), owns the form's menu
// cascade and carries every skin change of the store to the form's
// controls.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/cl/forms.h"
#include "platform/cl/menus.h"
#include "platform/cl/timer.h"
#include "skin/form/bsSkinCaptionObjects.h"
#include "skin/data/bsSkinData.h"
#include "skin/draw/bsSkinBitmap.h"
#include "skin/menus/bsSkinMenus.h"

namespace skin {

class TbsTrayIcon;

// Library messages answered by the form's hook.
constexpr unsigned WM_TRAY_RESTORED = 1426;
constexpr unsigned WM_QUERY_SKINNABLE = 0xB1B2;
constexpr unsigned WM_SMART_EFFECTS_BEGIN = 0xB1B3;
constexpr unsigned WM_SMART_EFFECTS_END = 0xB1B4;
// CM_PAINT_FRAME_TO_DC, WM_PAINT_FRAME_TO_DC2 and PAINT_TO_DC2_KEY come with the skin data.
constexpr intptr_t FRAME_PAINTED = 12851;
constexpr intptr_t FORM_NOT_SKINNABLE = 12852;
constexpr intptr_t FORM_SKINNABLE = 12853;
// Caption objects answer this hit-test code.
constexpr int HTOBJECT = 19;

enum TbsBorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4, biRollUp = 8, biMinimizeToTray = 16 };
using TbsBorderIcons = unsigned;
enum TbsPositionInMonitor { bspDefault, bspScreenCenter, bspDesktopCenter };

class TbsSkinMainMenuBar;
class TbsSkinStatusBar;
class TbsFormLayerBorder;
class TbsSkinHint;
class TbsSkinMDI;
class TbsLayerManager;

enum TbsClientInActiveEffect { bsieSemiTransparent, bsieBlur };

// Covers an inactive form's client area with a picture of it taken when it
// shows: washed with the form's background or blurred.
class TbsClientInActivePanel : public cl::TCustomControl {
 public:
  explicit TbsClientInActivePanel(cl::TComponent* AOwner);
  void ShowPanel(cl::TCustomForm* AForm, TbsClientInActiveEffect AEffect);
  void HidePanel();
  // The picture shown; nullptr while hidden.
  std::unique_ptr<TbsBitmap> Buffer;

 protected:
  void Paint() override;
  std::string ClassName() const override { return "TbsClientInActivePanel"; }
};

class TbsSkinForm : public cl::TComponent, public IbsSkinMenuHost {
 public:
  // AOwner must be a form; its window procedure is taken over at once.
  explicit TbsSkinForm(cl::TComponent* AOwner);

  cl::TCustomForm* Form() const { return FForm; }

  // --- skin -----------------------------------------------------------------
  TbsSkinData* SkinData() override { return FSD; }
  void SetSkinData(TbsSkinData* Value);
  TbsSkinData* MenusSkinData() override { return FMSD; }
  void SetMenusSkinData(TbsSkinData* Value) { FMSD = Value; }
  bool SkinnableForm() const { return FSkinnableForm; }
  void SetSkinnableForm(bool Value);
  void ApplySkinData();
  // The skin-change walks over AControl and its children (parents first).
  void ChangeChildrenSkinData(TbsSkinData* ASkinData, cl::TControl* AControl);
  void BeforeChangeChildrenSkinData(TbsSkinData* ASkinData, cl::TControl* AControl);

  // --- settings -------------------------------------------------------------
  TbsBorderIcons BorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TbsBorderIcons Value);
  int MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0;
  int ClientWidth = 0, ClientHeight = 0;
  bool ShowIcon = false;
  bool HideCaptionButtons = false, AlwaysResize = false, UseFormCursorInNCArea = false;
  bool MaximizeOnFullScreen = false;
  bool Magnetic = false;
  int MagneticSize = 5;
  bool DisableSystemMenu = false, UseDefaultSysMenu = true;
  bool AlwaysMinimizeToTray = false, MinimizeDefault = false;
  // The notification-area icon the form goes to on "minimize to tray".
  TbsTrayIcon* TrayIcon() const { return FTrayIcon; }
  void SetTrayIcon(TbsTrayIcon* Value);
  bool PreviewMode = false;
  bool UseDefaultObjectHint = true;
  // Hints of the caption objects, shown through SkinHint.
  bool ShowObjectHint = false;
  TbsSkinHint* SkinHint() const { return FSkinHint; }
  void SetSkinHint(TbsSkinHint* Value);
  // Repaints the frame (the non-client area).
  void SendNCPaint();
  gfx::TFont* DefCaptionFont() { return &FDefCaptionFont; }
  // Small image buttons at the left of the caption text.
  TbsQuickButtonItems* QuickButtons() const { return FQuickButtons; }
  void SetQuickButtons(TbsQuickButtonItems* Value) { FQuickButtons->Assign(Value); }
  cl::TCustomImageList* QuickImageList() const { return FQuickImageList; }
  void SetQuickImageList(cl::TCustomImageList* Value);
  bool QuickButtonsShowHint = false;
  // The multiple-document part of a main form, when it has one; on a child
  // form, the part it lives in (MDIMain).
  TbsSkinMDI* MDI = nullptr;
  TbsSkinMDI* MDIMain = nullptr;
  cl::TShortCut CloseShortCut() const;
  gfx::TFont* DefInActiveCaptionFont() { return &FDefInActiveCaptionFont; }
  cl::TPopupMenu* SystemMenu = nullptr;
  // The form's skinned menu bar (set by the bar's SetSkinForm).
  TbsSkinMainMenuBar* MainMenuBar = nullptr;
  rtl::TNotifyEvent OnMainMenuEnter, OnMainMenuExit;
  // The form's short-cut path: OnShortCut, Alt+Space, the bar's accelerators,
  // then the bar's menu.
  rtl::Event<void(cl::TMessage& Msg, bool& Handled)> OnShortCut;
  void FormShortCut(cl::TMessage& Msg, bool& Handled);

  // --- events ---------------------------------------------------------------
  rtl::TNotifyEvent OnChangeSkinData, OnBeforeChangeSkinData, OnAfterChangeSkinData, OnActivate, OnDeActivate,
      OnSkinMenuOpen, OnSkinMenuClose, OnMinimize, OnRestore, OnMaximize, OnChangeRollUpState;
  rtl::Event<void(const std::string& IDName, gfx::TCanvas* Cnvs, TRect R)> OnPaintEvent;
  rtl::Event<void(const std::string&IDName, int X, int Y, TRect R, cl::TMouseButton B)> OnMouseDownEvent,
      OnMouseUpEvent;
  rtl::Event<void(const std::string& IDName, int X, int Y, TRect R)> OnMouseMoveEvent;
  rtl::Event<void(const std::string&IDName)> OnMouseEnterEvent, OnMouseLeaveEvent;
  rtl::Event<void(const std::string& IDName, bool& Visible)> OnActivateCustomObject;
  rtl::Event<void(gfx::TCanvas* Cnvs, TRect R, bool Active)> OnCaptionPaint;

  // --- size limits and activity ---------------------------------------------
  int GetMinWidth();
  int GetMinHeight();
  int GetMaxWidth();
  int GetMaxHeight();
  bool GetFormActive();

  // --- geometry (form coordinates) -------------------------------------------
  void CalcSkinRects();
  void ArrangeObjects();
  TRect MapSkinRect(const TRect& R);
  void CalcDefRects();
  TRect GetDefCaptionRect();
  int GetDefCaptionHeight();
  int GetDefButtonSize();
  bool CanResize();
  int SkinHitTest(TPoint P);
  int DefaultHitTest(TPoint P);
  bool PointInMask(TPoint P);
  void ScreenToFormPoint(TPoint& P);
  void UpdateFormRegion();
  void UpdateFrame();
  void RefreshFormSize();
  void NotifyControlsBGChanged();
  // The region last handed to the window (0 = none); owned here.
  gfx::HRGN FormRegion() const { return FRgn; }
  bool FrameShown();

  // --- painting ---------------------------------------------------------------
  void PaintNCSkin(gfx::HDC DC, bool AUseExternalDC);
  void PaintNCDefault(gfx::HDC DC, bool AUseExternalDC);
  void PaintBG(gfx::HDC DC);
  void PaintBG2(gfx::HDC DC);
  void PaintBGDefault(gfx::HDC DC);
  void DrawSkinObject(TbsActiveSkinObject* AObject);
  void UserObjectDraw(const std::string& AIDName);
  void DrawFormIcon(gfx::TCanvas* Cnvs, int X, int Y);
  void GetSmallIconSize(int& W, int& H);

  // --- caption objects --------------------------------------------------------
  std::vector<std::unique_ptr<TbsActiveSkinObject>> ObjectList;
  int ActiveObject = -1, OldActiveObject = -1, MouseCaptureObject = -1;
  void CreateSkinObjects();
  void CreateDefaultObjects();
  void ClearObjects();
  int GetIndex(const std::string& AIDName);
  void TestActive(int X, int Y, bool AFlag);
  void ObjectsMouseMove(int X, int Y);
  void ObjectsMouseDown(cl::TMouseButton Button, int X, int Y);
  void ObjectsMouseUp(cl::TMouseButton Button, int X, int Y);
  void ObjectsDblClick();
  void UpdateCaptionActivity(bool AAnimate);
  void ResetObjectStates();
  void UpdateObjectsByBorderIcons();
  void UpdateObjectHints();
  void LinkMenu(const std::string& AIDName, cl::TMenu* AMenu, bool APopupUp);
  void SetEnabled(const std::string& AIDName, bool Value);
  cl::TTimer* MouseTimer() const { return FMouseTimer; }
  cl::TTimer* MorphTimer() const { return FMorphTimer; }
  cl::TTimer* AnimateTimer() const { return FAnimateTimer; }
  // The glow windows of the caption objects: one for the hovered object, one
  // for an object whose menu is open.
  TbsLayerManager* LayerManager() const { return FLayerManager; }
  TbsLayerManager* MenuLayerManager() const { return FMenuLayerManager; }
  void HideLayers();

  // --- window states ----------------------------------------------------------
  cl::TWindowState WindowState() const { return FWindowState; }
  void SetWindowState(cl::TWindowState Value);
  bool RollUpState() const { return FRollUpState; }
  void SetRollUpState(bool Value);
  int RealHeight() const;
  TbsPositionInMonitor PositionInMonitor = bspDefault;
  // Centres the form on its monitor (bspScreenCenter) or its work area
  // (bspDesktopCenter); runs at the first show.
  void ApplyPositionInMonitor();
  TPoint GetPositionInMonitor(int AX, int AY, int AW, int AH);
  // Snaps a proposed window position to the work area's edges (Magnetic).
  void CheckMagnetic(int& L, int& T, int W, int H);
  // Where a minimized secondary form goes: a strip at the bottom left of
  // the work area, right of the strips already there, a row higher when
  // the row is full.
  TPoint GetMinimizedPosition();
  TRect StateArea(bool WorkArea);
  // The application iconifies and the linked tray icon stands for it (this
  // form alone when no main form is on screen); without a linked icon
  // nothing happens (the form would be lost).
  void MinimizeToTray();

  // --- alpha, fade-in and shadow ----------------------------------------------
  // Translucency needs a compositor ("layered windows available"); without
  // one every form shows at once and opaque.
  bool AlphaBlend() const { return FAlphaBlend; }
  void SetAlphaBlend(bool Value);
  uint8_t AlphaBlendValue() const { return FAlphaBlendValue; }
  void SetAlphaBlendValue(uint8_t Value);
  bool AlphaBlendAnimation = false;
  bool AlwaysDisableLayeredFrames = false;
  bool IsLayerBorderUsable();
  bool IsLayerBorderShowOnly();
  bool AlphaWanted();
  bool FadeWanted();
  // X11 has no class-style drop shadow (shadows are the compositor's
  // business): the setting is kept and nothing is drawn.
  void EnableShadow(bool AShowShadow, bool AHideFormBefore);
  bool HaveShadow() const { return FHaveShadow; }
  bool ClientInActiveEffect = false;
  TbsClientInActiveEffect ClientInActiveEffectType = bsieSemiTransparent;
  void ShowClientInActiveEffect();
  void HideClientInActiveEffect();
  TbsClientInActivePanel* InActivePanel() const { return FInActivePanel; }
  // The layered border (shown only while IsLayerBorderUsable holds).
  TbsFormLayerBorder* BorderLayer() const { return FBorderLayer; }
  // The fade runs one step per tick of window timer 1 (no nested message
  // loop), so a form closed meanwhile simply stops ticking.
  bool Fading() const { return FFadeTarget >= 0; }
  int FadeAlpha() const { return FFadeAlpha; }

  // --- menus --------------------------------------------------------------------
  TbsSkinMenu* SkinMenu() override { return FSkinMenu; }
  void SkinMenuOpen() override;
  void SkinMenuClose() override;
  // The built-in system menu (or SystemMenu when set), refreshed for the state.
  cl::TMenuItem* SystemMenuItems();
  void PopupSysMenuAt(int X, int Y);
  bool InMenu() const { return FInMenu; }
  bool InMainMenu() const { return FInMainMenu; }
  void SetInMainMenu(bool V) { FInMainMenu = V; }
  void EndMainMenuMode();
  // Alt or F10: the bar takes the keyboard.
  void EnterMainMenuMode();
  bool AppHooked() const { return FAppHook != 0; }

  // The hook itself (tests send messages through the form as usual).
  void FormWindowProc(cl::TMessage& Msg);

  // State visible to tests and to the caption objects.
  int FFormWidth = 0, FFormHeight = 0, FFormLeft = 0, FFormTop = 0;
  bool FSkinSupport = false;
  bool FStopPainting = false;
  bool FInChangeSkinData = false;
  bool FSizeMove = false, FSizing = false;
  TPoint NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint;
  TRect NewClRect, NewCaptionRect, NewButtonsRect, NewMaskRectArea, NewDefCaptionRect;
  int NewButtonsOffset = 0;
  bool NewButtonsInLeft = false;
  TPoint NewHitTestLTPoint, NewHitTestRTPoint, NewHitTestLBPoint, NewHitTestRBPoint;
  TBitmap RMTop, RMBottom, RMLeft, RMRight;

  // --- menu settings handed on to the form's menu cascade -------------------
  bool MenusAlphaBlend() const { return FMenusAlphaBlend; }
  void SetMenusAlphaBlend(bool Value);
  uint8_t MenusAlphaBlendValue() const { return FMenusAlphaBlendValue; }
  void SetMenusAlphaBlendValue(uint8_t Value);
  bool MenusAlphaBlendAnimation() const { return FMenusAlphaBlendAnimation; }
  void SetMenusAlphaBlendAnimation(bool Value);
  // A negative count is ignored.
  int MaxMenuItemsInWindow() const { return FMaxMenuItemsInWindow; }
  void SetMaxMenuItemsInWindow(int Value);
  // Read and written straight through to the menu; a height <= 0 is ignored.
  int DefMenuItemHeight() const;
  void SetDefMenuItemHeight(int Value);
  gfx::TFont* DefMenuItemFont();
  void SetDefMenuItemFont(const gfx::TFont& Value);
  bool GetUseSkinFontInMenu() const;
  void SetUseSkinFontInMenu(bool Value);

  // --- logo ---------------------------------------------------------------------
  // Drawn centred over the client background (at 0 when it is larger).
  gfx::TBitmap* LogoBitMap() { return &FLogoBitMap; }
  void SetLogoBitMap(const gfx::TBitmap* Value);
  bool LogoBitMapTransparent = false;
  void DrawLogo(gfx::TCanvas* Cnvs);
  // The background of a multiple-document client: the skin's picture for it,
  // else the application work-space colour; the logo on top.
  void PaintBG3(gfx::HDC DC);
  void PaintMDIBGDefault(gfx::HDC DC);

  // --- tray and status bar ------------------------------------------------------
  // The tray icon stays visible while the form is on screen too.
  bool AlwaysShowInTray = false;
  rtl::TNotifyEvent OnMinimizeToTray, OnRestoreFromTray;
  void RestoreFromTray();
  // The menu a linked tray icon gets when it has none: restore and close.
  TbsSkinPopupMenu* SysTrayMenu() const { return FSysTrayMenu; }
  // The status bar whose size grip hides while the form is maximized.
  TbsSkinStatusBar* StatusBar() const { return FStatusBar; }
  void SetStatusBar(TbsSkinStatusBar* Value);

  // --- the form's own style -----------------------------------------------------
  // Both walk the controls again: their looks may depend on the frame.
  void SetFormBorderStyle(cl::TBorderStyle BS);
  // Only fsNormal and fsStayOnTop; the multiple-document styles are not
  // switched at run time.
  void SetFormStyle(cl::TFormStyle FS);
  static std::string GetProductVersion() { return "7.81"; }

 protected:
  void Destroy() override;
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  std::string ClassName() const override { return "TbsSkinForm"; }

 private:
  bool HasSkin() const { return FSD && !FSD->Empty; }
  void OldProc(cl::TMessage& Msg);
  void CheckMenuCloseMessage(cl::TMessage& Msg);
  bool LibraryMessage(cl::TMessage& Msg);
  void AfterMessage(cl::TMessage& Msg);
  void NCActivate(cl::TMessage& Msg);
  void MouseTimerTick(rtl::TObject*);
  void MorphTimerTick(rtl::TObject*);
  void AnimateTimerTick(rtl::TObject*);
  void HookAppMessages();
  void UnhookAppMessages();
  void AppMessage(win::MSG& M, bool& Handled);
  void BuildSysMenu();
  void UpdateUserSysMenu();
  void SysMenuClick(rtl::TObject* Sender);
  void ApplyClientSize();
  TPoint LParamToForm(win::LPARAM lp);

  cl::TCustomForm* FForm = nullptr;
  std::function<void(cl::TMessage&)> OldWindowProc;
  TbsSkinData* FSD = nullptr;
  TbsSkinData* FMSD = nullptr;
  bool FSkinnableForm = true;
  TbsBorderIcons FBorderIcons = biSystemMenu | biMinimize | biMaximize | biRollUp;
  cl::TWindowState FWindowState = cl::wsNormal;
  bool FRollUpState = false, MaxRollUpState = false;
  int OldHeight = 0;
  TRect OldBoundsRect;
  bool FFullDrag = true;
  bool FStartShow = true;
  bool HMagnetized = false, VMagnetized = false, HMagnetized2 = false, VMagnetized2 = false;
  TPoint FOnMouseDownCoord;
  bool FFormActive = false;
  bool FAlphaBlend = false;
  uint8_t FAlphaBlendValue = 200;
  bool FHaveShadow = false;
  TbsFormLayerBorder* FBorderLayer = nullptr;
  TbsLayerManager* FLayerManager = nullptr;
  TbsLayerManager* FMenuLayerManager = nullptr;
  TbsSkinHint* FSkinHint = nullptr;
  TbsQuickButtonItems* FQuickButtons = nullptr;
  cl::TCustomImageList* FQuickImageList = nullptr;
  TbsTrayIcon* FTrayIcon = nullptr;
  TbsClientInActivePanel* FInActivePanel = nullptr;
  void UpdateBorderLayer();
  bool FSmartEffectsShow = false;
  int FFadeAlpha = 0, FFadeStep = 1, FFadeTarget = -1;
  uint32_t FFadeLast = 0;
  void StartShowEffect();
  void FadeTick();
  void BorderFollowsAlpha(int AFormAlpha);
  void SetLayered(bool On);
  bool FInMenu = false, FInMainMenu = false;
  int FAppHook = 0;
  gfx::HRGN FRgn;
  gfx::TFont FDefCaptionFont, FDefInActiveCaptionFont;
  cl::TTimer* FMouseTimer = nullptr;
  cl::TTimer* FMorphTimer = nullptr;
  cl::TTimer* FAnimateTimer = nullptr;
  TbsSkinMenu* FSkinMenu = nullptr;
  cl::TPopupMenu* FSysMenu = nullptr;
  // Tray, menu pass-through, logo and status bar.
  void CreateSysTrayMenu();
  void DrawLogoDC(gfx::HDC DC);
  void RestoreWindow();
  void UpdateSysTrayMenuTexts();
  void SysTrayDblClick(rtl::TObject* Sender);
  void UnlinkTrayIcon();
  void DisplayChanged();
  void CancelModeInMDIControls();
  void CheckActiveMDIChildMenus(cl::TMessage& Msg);
  TbsSkinPopupMenu* FSysTrayMenu = nullptr;
  bool FTrayMenuGiven = false, FTrayDblClickGiven = false;
  bool FHiddenToTray = false;
  bool FRollUpBeforeMaximize = false;
  TbsSkinStatusBar* FStatusBar = nullptr;
  bool FMenusAlphaBlend = false, FMenusAlphaBlendAnimation = false;
  uint8_t FMenusAlphaBlendValue = 200;
  int FMaxMenuItemsInWindow = 0;
  gfx::TBitmap FLogoBitMap;
};

// The first skinning component owned by AForm; nullptr when none.
TbsSkinForm* GetSkinFormComponent(cl::TComponent* AForm);

}  // namespace skin
