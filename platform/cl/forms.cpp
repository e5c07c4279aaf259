#include "platform/cl/forms.h"

#include "platform/cl/application.h"
#include "platform/cl/menus.h"
#include "platform/win/metrics.h"

#include <algorithm>

namespace cl {

using namespace win;

namespace {
int g_focusCount = 0;
TCustomForm* g_focusedForm = nullptr;

// Sends a focus notification; false when a nested focus change happened
// while it was handled (the handler took the focus elsewhere).
bool SendFocusMessage(HWND h, UINT msg) {
  int count = g_focusCount;
  SendMessage(h, msg, 0, 0);
  return g_focusCount == count;
}
}  // namespace

TCustomForm::TCustomForm(TComponent* AOwner) : TWinControl(AOwner) {
  visible_ = false;
  ControlStyle = csAcceptsControls | csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  color_ = gfx::clBtnFace;
  brush_.SetColor(color_);
  parentFont_ = false;
  fontChanging_ = true;
  font_.SetName("MS Sans Serif");
  font_.SetHeight(-11);
  font_.SetColor(gfx::clWindowText);
  fontChanging_ = false;
  width_ = 320;
  height_ = 240;
  canvas_ = new TControlCanvas(this);
  Screen->AddForm(this);
}

TCustomForm::~TCustomForm() { delete canvas_; }

void TCustomForm::DoCreate() { OnCreate(this); }

void TCustomForm::Destroy() {
  Keep<TCustomForm> keep(this);
  OnDestroy(this);
  if (g_focusedForm == this) g_focusedForm = nullptr;
  Screen->RemoveForm(this);
  TWinControl::Destroy();
  if (Application) Application->FormDestroyed(this);
}

void TCustomForm::PaintWindow(gfx::HDC dc) {
  canvas_->Lock();
  canvas_->SetHandle(dc);
  try {
    Paint();
  } catch (...) {
    canvas_->SetHandle(gfx::HDC());
    canvas_->Unlock();
    throw;
  }
  canvas_->SetHandle(gfx::HDC());
  canvas_->Unlock();
}

void TCustomForm::SetBorderIcons(TBorderIcons v) {
  if (v == borderIcons_) return;
  borderIcons_ = v;
  RecreateWnd();
}

void TCustomForm::SetFormStyle(TFormStyle v) {
  if (v == formStyle_) return;
  formStyle_ = v;
  if (HandleAllocated())
    SetWindowPos(handle_, v == fsStayOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void TCustomForm::SetWindowState(TWindowState v) {
  if (v == windowState_) return;
  TWindowState old = windowState_;
  windowState_ = v;
  if (!HandleAllocated() || !visible_) return;
  if (v == wsMinimized) {
    ShowWindow(handle_, SW_MINIMIZE);
    return;
  }
  if (old == wsMinimized) ShowWindow(handle_, SW_RESTORE);
  if (v == wsMaximized) {
    // No window manager is assumed: the layer fills the work area itself.
    restoreBounds_ = BoundsRect();
    MONITORINFO mi;
    GetMonitorInfo(MonitorFromWindow(handle_, MONITOR_DEFAULTTONEAREST), &mi);
    SetBoundsRect(mi.rcWork);
  } else if (old == wsMaximized && restoreBounds_.Width() > 0) {
    SetBoundsRect(restoreBounds_);
  }
}

void TCustomForm::ApplyPosition() {
  if (positioned_) return;
  positioned_ = true;
  TRect area;
  TCustomForm* center = nullptr;
  switch (position_) {
    case poScreenCenter:
      area = {0, 0, Screen->Width(), Screen->Height()};
      break;
    case poDesktopCenter:
      area = {0, 0, Screen->DesktopWidth(), Screen->DesktopHeight()};
      break;
    case poMainFormCenter:
      center = Application->MainForm();
      break;
    case poOwnerFormCenter:
      center = dynamic_cast<TCustomForm*>(Owner());
      if (!center) center = Application->MainForm();
      break;
    default:
      return;
  }
  if (center == this) center = nullptr;
  if (center)
    area = center->BoundsRect();
  else if (position_ == poMainFormCenter || position_ == poOwnerFormCenter)
    area = {0, 0, Screen->Width(), Screen->Height()};
  SetBounds(area.Left + (area.Width() - width_) / 2, area.Top + (area.Height() - height_) / 2, width_, height_);
}

void TCustomForm::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  if (parent_ || ParentWindow) return;  // a form parented into another window is a child
  p.Style = WS_CLIPCHILDREN;
  switch (borderStyle_) {
    case bsNone:
      p.Style |= WS_POPUP;
      break;
    case bsSingle:
    case bsToolWindow:
      p.Style |= WS_CAPTION | WS_SYSMENU;
      break;
    case bsDialog:
      p.Style |= WS_POPUP | WS_CAPTION | WS_SYSMENU;
      p.ExStyle |= WS_EX_DLGMODALFRAME;
      break;
    case bsSizeable:
    case bsSizeToolWin:
      p.Style |= WS_CAPTION | WS_SYSMENU | WS_THICKFRAME;
      break;
  }
  if (borderStyle_ == bsToolWindow || borderStyle_ == bsSizeToolWin) p.ExStyle |= WS_EX_TOOLWINDOW;
  if (borderStyle_ != bsNone && borderStyle_ != bsDialog) {
    if (!(borderIcons_ & biSystemMenu)) p.Style &= ~WS_SYSMENU;
    if (borderIcons_ & biMinimize) p.Style |= WS_MINIMIZEBOX;
    if (borderIcons_ & biMaximize) p.Style |= WS_MAXIMIZEBOX;
  }
  if (formStyle_ == fsStayOnTop) p.ExStyle |= WS_EX_TOPMOST;
  if (!enabled_) p.Style |= WS_DISABLED;
  p.WndParent = nullptr;
  p.WindowClass.style = CS_DBLCLKS;
}

void TCustomForm::SetBorderStyle(TBorderStyle b) {
  if (b == borderStyle_) return;
  borderStyle_ = b;
  RecreateWnd();
}

void TCustomForm::SetActiveControl(TWinControl* c) {
  if (activeControl_ == c) return;
  if (c && (c == this || c->GetParentForm() != this || (!Loading() && !c->CanFocus())))
    throw rtl::EInvalidOperation("Cannot focus a disabled or invisible window");
  activeControl_ = c;
  if (!Loading() && active_) SetWindowFocus();
}

void TCustomForm::SetWindowFocus() {
  TWinControl* c = activeControl_ ? activeControl_ : this;
  win::SetFocus(c->Handle());
}

void TCustomForm::FocusControl(TWinControl* c) {
  bool wasActive = active_;
  SetActiveControl(c == this ? nullptr : c);
  if (!wasActive) {
    HandleNeeded();
    if (HandleAllocated()) SetActiveWindow(handle_);
    if (!active_ && HandleAllocated()) SetWindowFocus();
  } else if (c == this) {
    SetWindowFocus();
  }
}

bool TCustomForm::SetFocusedControl(TWinControl* control) {
  g_focusCount++;
  activeControl_ = control != this ? control : nullptr;
  if (control->ControlState & csFocusing) return false;
  Keep<TWinControl> keepControl(control);
  Keep<TCustomForm> keepSelf(this);
  control->ControlState |= csFocusing;
  struct Clear {
    TWinControl* c;
    ~Clear() { c->ControlState &= ~csFocusing; }
  } clear{control};
  if (g_focusedForm != this) {
    if (g_focusedForm) {
      HWND h = g_focusedForm->handle_;
      g_focusedForm = nullptr;
      if (!SendFocusMessage(h, CM_DEACTIVATE)) return false;
    }
    g_focusedForm = this;
    if (!SendFocusMessage(handle_, CM_ACTIVATE)) return false;
  }
  if (!focusedControl_) focusedControl_ = this;
  if (focusedControl_ != control) {
    while (focusedControl_ && !focusedControl_->ContainsControl(control)) {
      HWND h = focusedControl_->handle_;
      focusedControl_ = focusedControl_->Parent();
      if (!SendFocusMessage(h, CM_EXIT)) return false;
    }
    while (focusedControl_ != control) {
      TWinControl* t = control;
      while (t->Parent() != focusedControl_) t = t->Parent();
      focusedControl_ = t;
      if (!SendFocusMessage(t->Handle(), CM_ENTER)) return false;
    }
    Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(control));
  }
  return true;
}

void TCustomForm::DefocusControl(TWinControl* c, bool removing) {
  if (removing && c->ContainsControl(focusedControl_)) focusedControl_ = c->Parent();
  if (c->ContainsControl(activeControl_)) {
    bool wasFocused = activeControl_ && activeControl_->Focused();
    activeControl_ = nullptr;
    if (wasFocused && HandleAllocated() && !Destroyed()) win::SetFocus(handle_);
  }
}

void TCustomForm::SetActive(bool v) {
  active_ = v;
  if (v) {
    if (!activeControl_) activeControl_ = FindNextControl(nullptr, true, true, false);
    SetWindowFocus();
  }
}

int TCustomForm::ShowModal() {
  if (visible_ || !enabled_) throw rtl::EInvalidOperation("Cannot make a visible window modal");
  Application->CancelHint();
  HandleNeeded();
  HWND self = handle_;
  HWND wasActive = GetActiveWindow();
  std::vector<HWND> disabled;
  for (HWND t : TopLevelWindows())
    if (t != self && IsWindowVisible(t) && IsWindowEnabled(t)) {
      EnableWindow(t, FALSE);
      disabled.push_back(t);
    }
  Keep<TCustomForm> keep(this);
  modalResult_ = 0;
  modal_ = true;
  SetVisible(true);
  bool freeAfter = false;
  bool ended = RunModalLoop(self, [&] {
    if (Destroyed()) return true;
    if (modalResult_ != 0) {
      // The close sequence of a modal form: a veto keeps the loop running.
      TCloseAction action = caNone;
      if (CloseQuery()) {
        action = caHide;
        DoClose(action);
      }
      if (Destroyed()) return true;
      if (action == caNone) {
        modalResult_ = 0;
        return false;
      }
      freeAfter = action == caFree;
      return true;
    }
    return false;
  });
  if (!ended && modalResult_ == 0) modalResult_ = mrCancel;  // the application is ending
  modal_ = false;
  for (HWND t : disabled) EnableWindow(t, TRUE);
  if (!Destroyed()) SetVisible(false);
  if (IsWindow(wasActive) && IsWindowVisible(wasActive)) SetActiveWindow(wasActive);
  int result = modalResult_;
  if (freeAfter && !Destroyed()) Release();
  return result;
}

bool TCustomForm::CloseQuery() {
  bool can = true;
  OnCloseQuery(this, can);
  return can;
}

void TCustomForm::Close() {
  if (modal_) {
    modalResult_ = mrCancel;
    return;
  }
  Keep<TCustomForm> keep(this);
  if (!CloseQuery() || Destroyed()) return;
  TCloseAction action = caHide;
  DoClose(action);
  if (action == caNone || Destroyed()) return;
  if (Application->MainForm() == this) {
    Application->Terminate();
    return;
  }
  if (action == caHide)
    SetVisible(false);
  else if (action == caFree)
    Release();
  else if (action == caMinimize)
    SetWindowState(wsMinimized);
}

bool TCustomForm::IsShortCut(TMessage& msg) {
  bool handled = false;
  OnShortCut(msg, handled);
  if (handled) return true;
  return Menu && !Destroyed() && Menu->IsShortCut(msg);
}

void TCustomForm::Release() {
  if (HandleAllocated())
    PostMessage(handle_, CM_RELEASE, 0, 0);
  else
    Free();
}

void TCustomForm::Dispatch(TMessage& m) {
  switch (m.Msg) {
    case WM_ACTIVATE:
      if (LOWORD(m.WParam) != WA_INACTIVE) Screen->FormActivated(this);
      SetActive(LOWORD(m.WParam) != WA_INACTIVE);
      return;
    case CM_ACTIVATE:
      OnActivate(this);
      return;
    case CM_DEACTIVATE:
      OnDeactivate(this);
      return;
    case WM_CLOSE:
      Close();
      return;
    case CM_RELEASE:
      Free();
      return;
    case CM_VISIBLECHANGED:
      if (visible_) {
        ApplyPosition();
        if (Application->ShowHint()) Application->CancelHint();
      }
      TWinControl::Dispatch(m);
      if (visible_ && HandleAllocated() && windowState_ != wsNormal) {
        TWindowState want = windowState_;
        windowState_ = wsNormal;
        SetWindowState(want);
      }
      return;
    case WM_SYSCOMMAND:
      // The main form's minimize box minimizes the whole application.
      if ((m.WParam & 0xFFF0) == SC_MINIMIZE && Application->MainForm() == this) {
        Application->Minimize();
        return;
      }
      if ((m.WParam & 0xFFF0) == SC_RESTORE && Application->MainForm() == this && IsIconic(handle_)) {
        Application->Restore();
        return;
      }
      break;
    case WM_SIZE:
      if (m.WParam == SIZE_MINIMIZED)
        windowState_ = wsMinimized;
      else if (windowState_ == wsMinimized && m.WParam == SIZE_RESTORED)
        windowState_ = wsNormal;
      break;
    case WM_SHOWWINDOW:
      DefaultHandler(m);
      if (m.WParam)
        OnShow(this);
      else
        OnHide(this);
      return;
    case CM_DIALOGKEY:
      if (GetKeyState(VK_MENU) >= 0) {
        if (m.WParam == VK_TAB && GetKeyState(VK_CONTROL) >= 0) {
          SelectNext(activeControl_, GetKeyState(VK_SHIFT) >= 0, true);
          m.Result = 1;
          return;
        }
        if (m.WParam == VK_LEFT || m.WParam == VK_RIGHT || m.WParam == VK_UP || m.WParam == VK_DOWN) {
          if (activeControl_ && activeControl_->Parent())
            activeControl_->Parent()->SelectNext(activeControl_, m.WParam == VK_RIGHT || m.WParam == VK_DOWN, false);
          m.Result = 1;
          return;
        }
      }
      break;
  }
  TWinControl::Dispatch(m);
}

}  // namespace cl
