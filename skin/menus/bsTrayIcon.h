// The notification-area icon: a component that keeps the shell's icon
// record, adds, changes and removes the icon through the layer's tray
// backend (shell::TrayBackend), turns the backend's mouse reports into
// click, double-click, press, release and move events (a single click fires
// one double-click time after the press, a double click fires only
// DblClick), pops up its menu at the pointer, animates the icon from an
// image list, shows balloon hints, and can hide the main form while the
// icon stands for it.
//
// The backend's reports reach the component as the callback message of its
// hidden window, so they are handled in queue order like any input.
// The program ships the null backend, so its icon never shows.
#pragma once

#include <cstdint>
#include <string>

#include "platform/cl/controls.h"
#include "platform/cl/imglist.h"
#include "platform/cl/menus.h"
#include "platform/cl/timer.h"
#include "platform/gfx/graphics.h"
#include "platform/win/handles.h"

namespace skin {

enum TbsBalloonHintIcon { bsbitNone, bsbitInfo, bsbitWarning, bsbitError };

// The shell's icon record. Texts are UTF-8 and hold at most 127 (tip), 255
// (balloon text) and 63 (balloon title) characters.
struct TbsNotifyIconData {
  uint32_t cbSize = 956;
  win::HWND hWnd{};
  uint32_t uID = 1;
  uint32_t uFlags = 7;
  uint32_t uCallbackMessage = 2048;
  gfx::HICON hIcon{};
  std::string szTip, szInfo, szInfoTitle;
  uint32_t dwInfoFlags = 0;
};
constexpr uint32_t NIF_MESSAGE = 1, NIF_ICON = 2, NIF_TIP = 4, NIF_INFO = 0x10;
constexpr unsigned NIM_ADD = 0, NIM_MODIFY = 1, NIM_DELETE = 2;
constexpr unsigned WM_TRAY_CALLBACK = 2048;
constexpr unsigned NIN_BALLOONUSERCLICK = 1029;

// Adds, changes or removes an icon through the tray backend; false when the
// backend refuses (the null backend always does).
bool Shell_NotifyIcon(unsigned AMessage, const TbsNotifyIconData& AData);

// The first Count characters (code points) of a UTF-8 text.
std::string CutUtf8(const std::string& S, size_t Count);

class TbsTrayIcon : public cl::TComponent {
 public:
  explicit TbsTrayIcon(cl::TComponent* AOwner);

  bool Enabled = true;
  bool PopupByLeftButton = false;
  bool MinimizedOnStart = false;
  bool MinimizeToTray = true;

  gfx::TIcon* Icon() { return &FIcon; }
  void SetIcon(const gfx::TIcon* Value);
  bool IconVisible() const { return FIconVisible; }
  void SetIconVisible(bool Value);
  const std::string& Hint() const { return FHint; }
  void SetHint(const std::string& Value);
  bool ShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  cl::TPopupMenu* PopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(cl::TPopupMenu* Value);
  cl::TCustomImageList* IconList() const { return FIconList; }
  void SetIconList(cl::TCustomImageList* Value);
  int IconIndex() const { return FIconIndex; }
  void SetIconIndex(int Value);
  bool CycleIcons() const { return FCycleIcons; }
  void SetCycleIcons(bool Value);
  unsigned AnimateTimerInterval() const { return FAnimateTimerInterval; }
  void SetAnimateTimerInterval(unsigned Value);
  bool DesignPreview() const { return FDesignPreview; }
  void SetDesignPreview(bool Value);

  rtl::TNotifyEvent OnClick, OnDblClick, OnBalloonHintClick;
  cl::TMouseEvent OnMouseDown, OnMouseUp;
  cl::TMouseMoveEvent OnMouseMove;
  rtl::Event<void(rtl::TObject* Sender, int NextIndex)> OnCycle;

  // The hidden window the callbacks arrive at, and the window that owns it.
  win::HWND Handle() const { return IconData.hWnd; }
  win::HWND WindowHandle() const { return FWindowHandle; }
  const TbsNotifyIconData& Data() const { return IconData; }

  virtual bool UseApplicationIcon() { return true; }
  virtual bool ShowIcon();
  virtual bool HideIcon();
  virtual bool ModifyIcon();
  bool Refresh() { return ModifyIcon(); }
  bool ShowBalloonHint(const std::string& Title, const std::string& Text, TbsBalloonHintIcon IconType);
  bool HideBalloonHint();
  bool BitmapToIcon(gfx::TBitmap* Bitmap, gfx::TIcon* Icon, gfx::TColor MaskColor);
  void ShowMainForm();
  void HideMainForm();
  // What the shell's restart message does: a visible icon is added again.
  void TaskbarCreated();

  void Loaded() override;

 protected:
  virtual void Click() { OnClick(this); }
  virtual void DblClick() { OnDblClick(this); }
  virtual void MouseDown(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
    OnMouseDown(this, Button, Shift, X, Y);
  }
  virtual void MouseUp(cl::TMouseButton Button, cl::TShiftState Shift, int X, int Y) {
    OnMouseUp(this, Button, Shift, X, Y);
  }
  virtual void MouseMove(cl::TShiftState Shift, int X, int Y) { OnMouseMove(this, Shift, X, Y); }
  virtual void Cycle();
  virtual void DoMinimizeToTray();

  void Destroy() override;
  void Notification(cl::TComponent* AComponent, cl::TOperation Operation) override;
  std::string ClassName() const override { return "TbsTrayIcon"; }

  TbsNotifyIconData IconData;

 private:
  friend struct TbsTrayIconAccess;
  bool PrepareIconData();
  void TrayWndProc(win::TMessage& Msg);
  void OwnerWndProc(cl::TMessage& Msg);
  void AnimateTimerTick(rtl::TObject*);
  void ClickTimerTick(rtl::TObject*);
  void PopupAtCursor();
  cl::TWinControl* WindowedOwner() const;

  gfx::TIcon FIcon;
  bool FIconVisible = true;
  std::string FHint;
  bool FShowHint = true;
  cl::TPopupMenu* FPopupMenu = nullptr;
  cl::TCustomImageList* FIconList = nullptr;
  int FIconIndex = 0;
  bool FCycleIcons = false;
  unsigned FAnimateTimerInterval = 0;
  bool FDesignPreview = false;
  bool SettingPreview = false;
  bool SettingMDIForm = true;
  bool FClickStart = false, FClickReady = false, IsDblClick = false;
  cl::TTimer* AnimateTimer = nullptr;
  cl::TTimer* ClickTimer = nullptr;
  win::HWND FWindowHandle{};
  win::TPoint FCursor{};  // where the backend last reported the pointer
  std::function<void(cl::TMessage&)> OldWndProc;
  bool OwnerHooked = false;
};

}  // namespace skin
