#include "skin/menus/bsTrayIcon.h"

#include <algorithm>
#include <map>

#include "platform/cl/application.h"
#include "platform/cl/forms.h"
#include "platform/shell/tray.h"
#include "platform/win/window.h"
#include "skin/form/bsSkinForm.h"

namespace skin {

namespace {

// Live icons by id, so the backend's one mouse report handler finds its icon.
std::map<uint32_t, TbsTrayIcon*>& Icons() {
  static std::map<uint32_t, TbsTrayIcon*> m;
  return m;
}
uint32_t g_nextId = 1;
win::UINT g_taskbarCreated = 0;

}  // namespace

struct TbsTrayIconAccess {
  static void SetCursor(TbsTrayIcon* T, int X, int Y) { T->FCursor = {X, Y}; }
};

namespace {

// The backend's reports become the callback message of the icon's hidden
// window: wParam the icon's id, lParam the mouse message; the pointer
// position travels beside it.
void OnTrayMouse(int id, unsigned msg, int x, int y) {
  auto it = Icons().find(uint32_t(id));
  if (it == Icons().end()) return;
  TbsTrayIconAccess::SetCursor(it->second, x, y);
  win::PostMessage(it->second->Handle(), WM_TRAY_CALLBACK, win::WPARAM(id), win::LPARAM(msg));
}

void InstallMouseHandler() { shell::TrayBackend().OnMouse = OnTrayMouse; }

cl::TShiftState ShiftKeys() {
  cl::TShiftState S = 0;
  if (win::GetAsyncKeyState(win::VK_SHIFT) < 0) S |= cl::ssShift;
  if (win::GetAsyncKeyState(win::VK_MENU) < 0) S |= cl::ssAlt;
  if (win::GetAsyncKeyState(win::VK_CONTROL) < 0) S |= cl::ssCtrl;
  return S;
}

}  // namespace

std::string CutUtf8(const std::string& S, size_t Count) {
  size_t I = 0, N = 0;
  while (I < S.size() && N < Count) {
    unsigned char C = static_cast<unsigned char>(S[I]);
    size_t Len = C < 0x80 ? 1 : (C >> 5) == 6 ? 2 : (C >> 4) == 14 ? 3 : (C >> 3) == 30 ? 4 : 1;
    I = std::min(S.size(), I + Len);
    ++N;
  }
  return S.substr(0, I);
}

bool Shell_NotifyIcon(unsigned AMessage, const TbsNotifyIconData& AData) {
  shell::ITrayBackend& B = shell::TrayBackend();
  int Id = int(AData.uID);
  switch (AMessage) {
    case NIM_ADD:
      InstallMouseHandler();
      return B.Add(Id, AData.szTip, AData.hIcon);
    case NIM_MODIFY: {
      bool Ok = B.Modify(Id, AData.szTip, AData.hIcon);
      if (Ok && (AData.uFlags & NIF_INFO) && !AData.szInfo.empty())
        Ok = B.ShowBalloon(Id, AData.szInfoTitle, AData.szInfo, 10000);
      return Ok;
    }
    case NIM_DELETE:
      return B.Delete(Id);
  }
  return false;
}

// ---------------------------------------------------------------------------

TbsTrayIcon::TbsTrayIcon(cl::TComponent* AOwner) : cl::TComponent(AOwner) {
  // 1.
  g_taskbarCreated = win::RegisterWindowMessage("TaskbarCreated");
  // 2. The record and the hidden window the callbacks arrive at.
  IconData.uID = g_nextId++;
  IconData.hWnd = win::AllocateHWnd([this](win::TMessage& M) { TrayWndProc(M); });
  FWindowHandle = win::HWND(uint32_t(win::GetWindowLong(IconData.hWnd, win::GWL_HWNDPARENT)));
  Icons()[IconData.uID] = this;
  InstallMouseHandler();
  // 3.
  AnimateTimer = new cl::TTimer(this);
  AnimateTimer->SetEnabled(false);
  AnimateTimer->SetInterval(FAnimateTimerInterval);
  AnimateTimer->SetOnTimer([this](rtl::TObject* S) { AnimateTimerTick(S); });
  ClickTimer = new cl::TTimer(this);
  ClickTimer->SetEnabled(false);
  ClickTimer->SetInterval(win::GetDoubleClickTime());
  ClickTimer->SetOnTimer([this](rtl::TObject* S) { ClickTimerTick(S); });
  // 4. The application's icon, and the owner form's messages.
  if (FIcon.Empty() && UseApplicationIcon() && !cl::Application->Icon()->Empty()) FIcon.Assign(cl::Application->Icon());
  if (cl::TWinControl* O = WindowedOwner()) {
    OldWndProc = O->WindowProc;
    O->WindowProc = [this](cl::TMessage& M) { OwnerWndProc(M); };
    OwnerHooked = true;
  }
}

cl::TWinControl* TbsTrayIcon::WindowedOwner() const { return dynamic_cast<cl::TWinControl*>(Owner()); }

void TbsTrayIcon::Destroy() {
  SetIconVisible(false);
  SetDesignPreview(false);
  Icons().erase(IconData.uID);
  if (IconData.hWnd) win::DeallocateHWnd(IconData.hWnd);
  IconData.hWnd = {};
  if (OwnerHooked) {
    if (cl::TWinControl* O = WindowedOwner()) O->WindowProc = OldWndProc;
    OwnerHooked = false;
  }
  cl::TComponent::Destroy();
}

void TbsTrayIcon::Notification(cl::TComponent* AComponent, cl::TOperation Operation) {
  cl::TComponent::Notification(AComponent, Operation);
  if (Operation != cl::opRemove) return;
  if (AComponent == FPopupMenu) FPopupMenu = nullptr;
  if (AComponent == FIconList) FIconList = nullptr;
}

void TbsTrayIcon::Loaded() {
  cl::TComponent::Loaded();
  if (WindowedOwner() && MinimizedOnStart) {
    SetIconVisible(true);
    MinimizeToTray = true;
    if (cl::TCustomForm* M = cl::Application->MainForm()) M->SetVisible(false);
  }
  ModifyIcon();
  SetIconVisible(FIconVisible);
}

// --- the icon ---------------------------------------------------------------

bool TbsTrayIcon::PrepareIconData() {
  IconData.hIcon = FIcon.Handle();
  IconData.szTip = (!FHint.empty() && FShowHint) ? CutUtf8(FHint, 127) : std::string();
  return true;
}

bool TbsTrayIcon::ShowIcon() {
  if (!SettingPreview) FIconVisible = true;
  return PrepareIconData() && Shell_NotifyIcon(NIM_ADD, IconData);
}

bool TbsTrayIcon::HideIcon() {
  if (!SettingPreview) FIconVisible = false;
  return PrepareIconData() && Shell_NotifyIcon(NIM_DELETE, IconData);
}

bool TbsTrayIcon::ModifyIcon() { return PrepareIconData() && Shell_NotifyIcon(NIM_MODIFY, IconData); }

void TbsTrayIcon::SetIcon(const gfx::TIcon* Value) {
  FIcon.Assign(Value);
  ModifyIcon();
}

void TbsTrayIcon::SetHint(const std::string& Value) {
  FHint = Value;
  ModifyIcon();
}

void TbsTrayIcon::SetShowHint(bool Value) {
  FShowHint = Value;
  ModifyIcon();
}

void TbsTrayIcon::SetIconVisible(bool Value) {
  if (Value)
    ShowIcon();
  else
    HideIcon();
}

void TbsTrayIcon::SetDesignPreview(bool Value) {
  FDesignPreview = Value;
  SettingPreview = true;
  SetIconVisible(Value);
  SettingPreview = false;
}

void TbsTrayIcon::SetPopupMenu(cl::TPopupMenu* Value) {
  FPopupMenu = Value;
  if (Value) Value->FreeNotification(this);
}

void TbsTrayIcon::SetIconList(cl::TCustomImageList* Value) {
  FIconList = Value;
  if (Value) Value->FreeNotification(this);
  SetIconIndex(0);
}

void TbsTrayIcon::SetIconIndex(int Value) {
  // A list without frames, or an index before the first, keeps the icon
  // as it is: there is no frame to take.
  if (FIconList && FIconList->Count() > 0) {
    FIconIndex = std::clamp(Value, 0, FIconList->Count() - 1);
    FIconList->GetIcon(FIconIndex, &FIcon);
  } else {
    FIconIndex = 0;
  }
  ModifyIcon();
}

void TbsTrayIcon::SetCycleIcons(bool Value) {
  FCycleIcons = Value;
  if (Value) SetIconIndex(0);
  AnimateTimer->SetEnabled(Value);
}

void TbsTrayIcon::SetAnimateTimerInterval(unsigned Value) {
  FAnimateTimerInterval = Value;
  AnimateTimer->SetInterval(Value);
}

// --- balloons -----------------------------------------------------------------

bool TbsTrayIcon::ShowBalloonHint(const std::string& Title, const std::string& Text, TbsBalloonHintIcon IconType) {
  HideBalloonHint();
  IconData.uFlags |= NIF_INFO;
  IconData.szInfo = CutUtf8(Text, 255);
  IconData.szInfoTitle = CutUtf8(Title, 63);
  IconData.dwInfoFlags = uint32_t(IconType);
  bool Result = ModifyIcon();
  IconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  return Result;
}

bool TbsTrayIcon::HideBalloonHint() {
  IconData.uFlags |= NIF_INFO;
  IconData.szInfo.clear();
  bool Result = ModifyIcon();
  IconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  return Result;
}

bool TbsTrayIcon::BitmapToIcon(gfx::TBitmap* Bitmap, gfx::TIcon* Icon, gfx::TColor MaskColor) {
  auto* List = new cl::TCustomImageList(nullptr);
  List->SetSize(16, 16);
  List->AddMasked(Bitmap, MaskColor);
  List->GetIcon(0, Icon);
  List->Free();
  return true;
}

// --- animation ----------------------------------------------------------------

void TbsTrayIcon::Cycle() {
  int Next = FIconList && FIconIndex < FIconList->Count() - 1 ? FIconIndex + 1 : 0;
  OnCycle(this, Next);
}

void TbsTrayIcon::AnimateTimerTick(rtl::TObject*) {
  if (!FIconList || FIconList->Count() == 0) return;
  FIconList->GetIcon(std::clamp(FIconIndex, 0, FIconList->Count() - 1), &FIcon);
  Cycle();
  ModifyIcon();
  SetIconIndex(FIconIndex < FIconList->Count() - 1 ? FIconIndex + 1 : 0);
}

// --- callbacks ------------------------------------------------------------------

void TbsTrayIcon::TrayWndProc(win::TMessage& Msg) {
  if (Msg.Msg == WM_TRAY_CALLBACK) {
    if (!Enabled) return;
    int X = FCursor.X, Y = FCursor.Y;
    cl::TShiftState S = ShiftKeys();
    switch (unsigned(Msg.LParam)) {
      case win::WM_MOUSEMOVE:
        MouseMove(S, X, Y);
        break;
      case win::WM_LBUTTONDOWN:
        ClickTimer->SetEnabled(true);
        MouseDown(cl::mbLeft, S | cl::ssLeft, X, Y);
        FClickStart = true;
        if (PopupByLeftButton) PopupAtCursor();
        break;
      case win::WM_LBUTTONUP:
        if (FClickStart) FClickReady = true;
        if (FClickStart && !ClickTimer->Enabled()) {
          // Held longer than the double-click time: the click is now.
          FClickStart = false;
          FClickReady = false;
          Click();
        }
        FClickStart = false;
        MouseUp(cl::mbLeft, S | cl::ssLeft, X, Y);
        break;
      case win::WM_LBUTTONDBLCLK:
        FClickReady = false;
        IsDblClick = true;
        DblClick();
        if (FPopupMenu && FPopupMenu->AutoPopup && !PopupByLeftButton) {
          cl::TMenuItem* Items = FPopupMenu->Items();
          for (int I = 0; Items && I < Items->Count(); ++I)
            if (Items->Items(I)->Default) {
              Items->Items(I)->Click();
              break;
            }
        }
        break;
      case win::WM_RBUTTONDOWN:
        MouseDown(cl::mbRight, S | cl::ssRight, X, Y);
        PopupAtCursor();
        break;
      case win::WM_RBUTTONUP:
        MouseUp(cl::mbRight, S | cl::ssRight, X, Y);
        break;
      case win::WM_MBUTTONDOWN:
        MouseDown(cl::mbMiddle, S | cl::ssMiddle, X, Y);
        break;
      case win::WM_MBUTTONUP:
        MouseUp(cl::mbMiddle, S | cl::ssMiddle, X, Y);
        break;
      case NIN_BALLOONUSERCLICK:
        OnBalloonHintClick(this);
        break;
      default:
        break;
    }
    return;
  }
  if (g_taskbarCreated && Msg.Msg == g_taskbarCreated) {
    TaskbarCreated();
    return;
  }
  switch (Msg.Msg) {
    case win::WM_DESTROY:
    case win::WM_CLOSE:
    case win::WM_QUERYENDSESSION:
    case win::WM_QUIT:
    case win::WM_USERCHANGED:
    case win::WM_NCDESTROY:
      Msg.Result = 1;
      return;
  }
  Msg.Result = win::DefWindowProc(IconData.hWnd, Msg.Msg, Msg.WParam, Msg.LParam);
}

void TbsTrayIcon::TaskbarCreated() {
  if (FIconVisible) ShowIcon();
}

void TbsTrayIcon::ClickTimerTick(rtl::TObject*) {
  ClickTimer->SetEnabled(false);
  if (!IsDblClick && FClickReady) {
    FClickReady = false;
    Click();
  }
  IsDblClick = false;
}

void TbsTrayIcon::PopupAtCursor() {
  if (!FPopupMenu || !FPopupMenu->AutoPopup) return;
  int X = FCursor.X, Y = FCursor.Y;
  cl::Keep<TbsTrayIcon> Alive(this);
  cl::Application->ProcessMessages();
  if (Destroyed() || !FPopupMenu) return;
  win::SetForegroundWindow(IconData.hWnd);
  cl::TWinControl* O = WindowedOwner();
  if (O && O->HandleAllocated()) win::SetForegroundWindow(O->Handle());
  FPopupMenu->PopupComponent = this;
  FPopupMenu->Popup(X, Y);
  if (O && O->HandleAllocated()) win::PostMessage(O->Handle(), win::WM_NULL, 0, 0);
}

// The owner is the window the application shows; there is no separate
// application window here, so its minimizing is the owner's.
void TbsTrayIcon::OwnerWndProc(cl::TMessage& Msg) {
  cl::TWinControl* O = WindowedOwner();
  switch (Msg.Msg) {
    case win::WM_SIZE:
      if (Msg.WParam == win::SIZE_MINIMIZED && MinimizeToTray) DoMinimizeToTray();
      break;
    case win::WM_WINDOWPOSCHANGED:
      if (SettingMDIForm && cl::Application->MainForm()) {
        cl::TCustomForm* M = cl::Application->MainForm();
        if (M->FormStyle() == cl::fsMDIForm && MinimizedOnStart) M->SetVisible(false);
        SettingMDIForm = false;
      }
      break;
    case win::WM_ACTIVATE:
      if ((Msg.WParam & 0xFFFF) == win::WA_ACTIVE || (Msg.WParam & 0xFFFF) == win::WA_CLICKACTIVE)
        if (cl::TWinControl* A = cl::Screen->ActiveControl(); A && A->HandleAllocated()) {
          win::HWND Other = win::HWND(uint32_t(Msg.LParam));
          cl::TWinControl* P = A->Parent();
          if ((P && P->HandleAllocated() && Other != P->Handle()) || (!P && Other != A->Handle())) A->SetFocus();
        }
      break;
    case win::WM_SHOWWINDOW:
      if (Msg.WParam == 1 && Msg.LParam == 0) {
        cl::Application->Restore();
        if (O && O->HandleAllocated()) win::SetForegroundWindow(O->Handle());
      }
      break;
  }
  if (OldWndProc) OldWndProc(Msg);
}

void TbsTrayIcon::DoMinimizeToTray() {
  HideMainForm();
  SetIconVisible(true);
}

void TbsTrayIcon::HideMainForm() {
  cl::TCustomForm* M = cl::Application->MainForm();
  if (!WindowedOwner() || !M) return;
  M->SetVisible(false);
  M->Tag = -10000;
}

void TbsTrayIcon::ShowMainForm() {
  cl::TCustomForm* M = cl::Application->MainForm();
  if (!WindowedOwner() || !M) return;
  M->SetVisible(true);
  if (M->WindowState() == cl::wsMinimized) M->SetWindowState(cl::wsNormal);
  M->Tag = -10000;
  if (M->HandleAllocated()) win::PostMessage(M->Handle(), WM_TRAY_RESTORED, 0, 0);
}

}  // namespace skin
